// The main window's title.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"

namespace {
constexpr const char* kProgramTitle = "TEVRAN - oxygen measurement";
}

std::string mainTitle() {
    std::string title = kProgramTitle;
    if (app.com_open) title += " - COM" + std::to_string(app.com_nummer);
    if (app.speichern) {
        const std::string path = app.datei;
        const auto slash = path.find_last_of("/\\");
        title += " - " + (slash == std::string::npos ? path : path.substr(slash + 1));
    }
    return title;
}

void showTitle() { SetPanelAttribute(app.p1, ATTR_TITLE, mainTitle().c_str()); }
