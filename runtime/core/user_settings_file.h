#pragma once
// The per-user settings file, tevran.conf, shared by everything that keeps per-user settings
// (the windows' places and dialog folders, the program's own per-user settings).

#include <QSettings>

namespace rt {

// The file the front end names, else the system's per-user place for the program
// ($XDG_CONFIG_HOME/tevran/tevran.conf on Linux).
QSettings openUserSettings();

}  // namespace rt
