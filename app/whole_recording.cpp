// The whole recording so far: a second chart window showing the file being recorded as the
// viewer shows a stored file, taking in the lines added every few seconds.
#include <cmath>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
constexpr double kEvery = 3.0;  // seconds between two looks at the file
int pw = 0;                     // the window's panel, loaded when first asked for
bool shown = false;
std::string followed;  // the file it shows
double lastLook = -1e300;

// Takes in the lines added since the last look and draws them; `draw` draws even when none were.
void look(bool draw) {
    lastLook = Timer();
    if (followStoredFile(pw, WHOLE_CHART, followed.c_str()) == 1 || draw)
        showStored(pw, WHOLE_CHART);
}

// A new recording's file is taken along, its view starting whole.
void follow(const char* file) {
    if (followed == file) return;
    followed = file;
    ResetGraphView(pw, WHOLE_CHART);
    SetCtrlVal(pw, WHOLE_FILE, file);
}
}  // namespace

void wholerecording(int, int, void*, int) {
    if (!app.speichern) return;  // the menu item is dimmed then
    if (pw <= 0) {
        pw = LoadPanel(0, "TEVRAN.uir", WHOLE);
        if (pw <= 0) {
            MessagePopup("", "The whole-recording window cannot be loaded from TEVRAN.uir.");
            return;
        }
        for (int axis = VAL_XAXIS; axis <= VAL_RIGHT_YAXIS; ++axis)
            SetAxisScalingMode(pw, WHOLE_CHART, axis, VAL_AUTOSCALE, 0.0, 10.0);
    }
    follow(app.datei);
    SetAxisName(pw, WHOLE_CHART, VAL_LEFT_YAXIS, quantityName(app.was[0]));
    SetAxisName(pw, WHOLE_CHART, VAL_RIGHT_YAXIS, quantityName(app.was[1]));
    look(true);
    DisplayPanel(pw);
    shown = true;
}

void followRecording() {
    if (pw <= 0 || followed.empty()) return;
    if (!shown || Timer() - lastLook < kEvery) return;
    // A new recording takes the window along; after Stop it keeps the finished file.
    if (app.speichern) follow(app.datei);
    look(false);
}

int whole_ende(int, int event, void*, int, int) {
    if (event != EVENT_CLOSE) return 0;
    HidePanel(pw);
    shown = false;
    return 0;
}
