#include "runtime/qt/user_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "runtime/core/user_settings_file.h"
#include "runtime/popups.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/window_placement.h"

namespace rt::qt {

namespace {

// The Load dialog opens stored files; the others name a file to write (a recording).
QString folderKey(int buttonLabel) {
    return buttonLabel == VAL_LOAD_BUTTON ? QStringLiteral("folders/open")
                                          : QStringLiteral("folders/save");
}

QString existingFolder(const QString& key) {
    const QString folder = openUserSettings().value(key).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

}  // namespace

QString rememberedFolder(int buttonLabel, const QString& fallback) {
    QString folder = existingFolder(folderKey(buttonLabel));
    // Stored files are usually where the recordings went.
    if (folder.isEmpty() && buttonLabel == VAL_LOAD_BUTTON)
        folder = existingFolder(folderKey(VAL_OK_BUTTON));
    return folder.isEmpty() ? fallback : folder;
}

void rememberFolder(int buttonLabel, const QString& chosenFile) {
    if (chosenFile.isEmpty()) return;
    openUserSettings().setValue(folderKey(buttonLabel), QFileInfo(chosenFile).absolutePath());
}

void placeWindow(QWidget& window, const QString& name) {
    const QSettings settings = openUserSettings();
    const QString key = QStringLiteral("windows/") + name;
    const QRect remembered = settings.value(key + QStringLiteral("/geometry")).toRect();
    const QScreen* screen =
        remembered.isValid() ? QGuiApplication::screenAt(remembered.center()) : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const std::vector<QRect> others = otherInstanceWindows();
    const WindowPlace place =
        chooseWindowPlace(remembered, window.minimumSizeHint().expandedTo(window.minimumSize()),
                          window.sizeHint(), available, others);
    window.setGeometry(place.rect);
    // Beside another instance's window only this place will do, whatever the window manager's
    // own rule for new windows.
    if (auto* panel = qobject_cast<PanelWindow*>(&window); panel && !others.empty())
        panel->setOpeningPlace(window.pos());
    if (place.remembered && settings.value(key + QStringLiteral("/maximised")).toBool())
        window.setWindowState(Qt::WindowMaximized);
}

void saveWindow(const QWidget& window, const QString& name) {
    QSettings settings = openUserSettings();
    const QString key = QStringLiteral("windows/") + name;
    settings.remove(key);  // also a packed geometry of another build: one form only
    settings.setValue(key + QStringLiteral("/geometry"), window.normalGeometry());
    settings.setValue(key + QStringLiteral("/maximised"), window.isMaximized());
}

}  // namespace rt::qt
