// The main window's title, and the menu item that only a recording has, both following the
// recording's state.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string mainTitle() {
    std::string title = app.mainTitle;
    if (app.com_open) title += " - COM" + std::to_string(app.com_nummer);
    if (app.speichern) title += " - " + fileNameOf(app.datei);
    return title;
}

void showTitle() {
    // An alarm comes first, where a taskbar entry cut short still shows it.
    const std::string title = app.alarmUp ? "ALARM - " + mainTitle() : mainTitle();
    SetPanelAttribute(app.p1, ATTR_TITLE, title.c_str());
    // The whole-recording window shows the file being recorded: without one there is nothing to
    // show.
    SetMenuBarAttribute(app.m1, MENU_WHOLE_RECORDING, ATTR_DIMMED, !app.speichern);
}
