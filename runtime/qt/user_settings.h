#pragma once
// What the windows remember of their user between sessions, in tevran.conf in the program's
// settings directory (beside TEVRAN.ini): a resizable window's size and position, and the folder
// each kind of file dialog was last used in. The program's own settings file is never touched.

#include <QString>

class QWidget;

namespace rt::qt {

// The folder the file dialog with this accept button (VAL_LOAD_BUTTON, VAL_OK_BUTTON, ...)
// last chose a file in, if it still exists; otherwise `fallback`.
QString rememberedFolder(int buttonLabel, const QString& fallback);
// Notes the folder of the file the dialog with this button chose.
void rememberFolder(int buttonLabel, const QString& chosenFile);

// Gives a window, before it is first shown, the place it had when last saved under `name` where
// that fits the screen it opens on; otherwise the screen's centre at its smallest size. Either
// way beside the windows of other running instances rather than on top of them.
void placeWindow(QWidget& window, const QString& name);
void saveWindow(const QWidget& window, const QString& name);

}  // namespace rt::qt
