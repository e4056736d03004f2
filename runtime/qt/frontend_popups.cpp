// The program's popups as Qt dialogs (popups_qt.cpp builds them). Around each one the picture is
// brought up to date, the wait cursor taken off and the core told that a popup is open, so that
// timer ticks reach the program meanwhile.
#include <QApplication>
#include <QWidget>

#include "runtime/core/dispatch.h"
#include "runtime/qt/desktop_notification.h"
#include "runtime/qt/popups_qt.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/qt/text_encoding.h"

namespace rt {

QWidget* QtFrontEnd::popupParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (const auto& [handle, e] : panels_) {
        if (e.topLevel && e.frame && e.frame->isVisible()) return e.frame;
    }
    return nullptr;
}

template <class F>
auto QtFrontEnd::runPopup(F&& body) {
    flushPending();
    PopupScope scope;
    bool cursor = waitCursor_;
    if (cursor) QApplication::restoreOverrideCursor();
    struct Restore {
        bool on;
        ~Restore() {
            if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    } restore{cursor};
    return body(popupParent());
}

void QtFrontEnd::messagePopup(const std::string& title, const std::string& message) {
    runPopup([&](QWidget* parent) {
        qt::runMessagePopup(parent, title, message);
        return 0;
    });
}

int QtFrontEnd::confirmPopup(const std::string& title, const std::string& question) {
    return runPopup([&](QWidget* parent) { return qt::runConfirmPopup(parent, title, question); });
}

int QtFrontEnd::confirmPopupDefaultNo(const std::string& title, const std::string& question) {
    return runPopup(
        [&](QWidget* parent) { return qt::runConfirmPopup(parent, title, question, false); });
}

int QtFrontEnd::genericPopup(const GenericPopupRequest& request, std::string& response) {
    return runPopup(
        [&](QWidget* parent) { return qt::runGenericPopup(parent, request, response); });
}

int QtFrontEnd::fileSelectPopup(const FileSelectRequest& request, std::string& path) {
    return runPopup([&](QWidget* parent) { return qt::runFileSelectPopup(parent, request, path); });
}

void QtFrontEnd::desktopNotification(const std::string& summary, const std::string& body,
                                     bool urgent) {
    qt::notifyDesktop(qt::fromCp1252(summary), qt::fromCp1252(body), urgent);
}

void QtFrontEnd::closingMessage(const std::string& message) {
    FrontEnd::closingMessage(message);  // on standard error too, for whoever keeps a log
    messagePopup("", message);
}

}  // namespace rt
