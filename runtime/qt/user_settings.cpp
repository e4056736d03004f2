#include "runtime/qt/user_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

#include "runtime/core/user_settings_file.h"
#include "runtime/popups.h"

namespace rt::qt {

namespace {

QSettings userSettings() { return openUserSettings(); }

// The Load dialog opens stored files; the others name a file to write (a recording).
QString folderKey(int buttonLabel) {
    return buttonLabel == VAL_LOAD_BUTTON ? QStringLiteral("folders/open")
                                          : QStringLiteral("folders/save");
}

}  // namespace

QString rememberedFolder(int buttonLabel, const QString& fallback) {
    const QString folder = userSettings().value(folderKey(buttonLabel)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fallback;
}

void rememberFolder(int buttonLabel, const QString& chosenFile) {
    if (chosenFile.isEmpty()) return;
    userSettings().setValue(folderKey(buttonLabel), QFileInfo(chosenFile).absolutePath());
}

bool restoreWindow(QWidget& window, const QString& name) {
    const QByteArray geometry =
        userSettings().value(QStringLiteral("windows/") + name).toByteArray();
    return !geometry.isEmpty() && window.restoreGeometry(geometry);
}

void saveWindow(const QWidget& window, const QString& name) {
    userSettings().setValue(QStringLiteral("windows/") + name, window.saveGeometry());
}

}  // namespace rt::qt
