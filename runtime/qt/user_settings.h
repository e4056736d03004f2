#pragma once
// What the windows remember of their user between sessions, in the per-user settings file of
// the Qt conventions ($XDG_CONFIG_HOME/tevran/tevran.conf on Linux): a resizable window's size and
// position, and the folder each kind of file dialog was last used in. The program's own
// settings file is never touched.

#include <QString>

class QWidget;

namespace rt::qt {

// The folder the file dialog with this accept button (VAL_LOAD_BUTTON, VAL_OK_BUTTON, ...)
// last chose a file in, if it still exists; otherwise `fallback`.
QString rememberedFolder(int buttonLabel, const QString& fallback);
// Notes the folder of the file the dialog with this button chose.
void rememberFolder(int buttonLabel, const QString& chosenFile);

// Gives a window the size, position and maximised state it had when last saved under `name`;
// false, and the window unchanged, when nothing usable is saved.
bool restoreWindow(QWidget& window, const QString& name);
void saveWindow(const QWidget& window, const QString& name);

}  // namespace rt::qt
