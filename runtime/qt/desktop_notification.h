#pragma once
// Notifications on the desktop through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus).

#include <QString>

namespace rt::qt {

// Sends the notification without waiting for the service. An urgent one stays until the operator
// dismisses it. Without a session bus, or with no service on it, nothing happens.
void notifyDesktop(const QString& summary, const QString& body, bool urgent);

}  // namespace rt::qt
