#include "runtime/core/user_settings_file.h"

#include <string>

#include "runtime/core/encoding.h"
#include "runtime/core/frontend.h"
#include "runtime/textfiles.h"
#include "runtime/user_settings.h"

namespace rt {

QSettings openUserSettings() {
    std::string file = frontEnd() ? frontEnd()->userSettingsFile() : std::string();
    // Beside TEVRAN.ini, in the settings directory the program's rule (or --settings) gives.
    if (file.empty()) file = joinPath(projectDir(), "tevran.conf");
    return QSettings(QString::fromStdString(file), QSettings::IniFormat);
}

}  // namespace rt

std::string GetUserSetting(const char* key, const char* fallback) {
    const QVariant value = rt::openUserSettings().value(QString::fromUtf8(key));
    if (!value.isValid()) return fallback;
    return rt::utf8ToWindows1252(value.toString().toStdString());
}

void SetUserSetting(const char* key, const char* value) {
    rt::openUserSettings().setValue(QString::fromUtf8(key),
                                    QString::fromStdString(rt::windows1252ToUtf8(value)));
}
