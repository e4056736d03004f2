#include "runtime/qt/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace rt::qt {

void notifyDesktop(const QString& summary, const QString& body, bool urgent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(urgent ? 2 : 1)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tevran"));
    // app_name, replaces_id (0: a new one), icon, summary, body, actions, hints, expire_timeout
    // [ms] (0: never, -1: the server's default).
    call << QStringLiteral("TEVRAN") << uint(0) << QStringLiteral("tevran") << summary << body
         << QStringList() << hints << int(urgent ? 0 : -1);
    // The reply (the notification's number, or an error when no service answers) is not needed:
    // sending does not wait for it.
    bus.send(call);
}

}  // namespace rt::qt
