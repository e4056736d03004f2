#pragma once
// The per-user settings file, tevran.conf, shared by everything that keeps per-user settings
// (the windows' places and dialog folders, the program's own per-user settings).

#include <QSettings>

namespace rt {

// The file the front end names, else tevran.conf beside TEVRAN.ini in the settings directory.
QSettings openUserSettings();

}  // namespace rt
