// The main window's title.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"

void showTitle() {
    // An alarm comes first, where a taskbar entry cut short still shows it.
    const std::string title = app.alarmUp ? "ALARM - " + app.mainTitle : app.mainTitle;
    SetPanelAttribute(app.p1, ATTR_TITLE, title.c_str());
}
