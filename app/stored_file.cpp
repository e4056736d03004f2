// A stored data file on the chart: chosen in the Open dialog, read again when a trace's quantity
// changes.
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kRepaintEvery = 25;  // points between two repaints of the load count
}  // namespace

void darstellen() {
    if (!app.o_dat_offen) return;
    static double mwo1[1000], mwo2[1000], mwo3[1000];
    SetCtrlVal(app.p1, MAIN_FILENAME, app.o_dat);
    // A stored file is shown scaled to its data: both switches go on, and the settings with them,
    // so that the next Run, the switches and TEVRAN.ini agree (the manual limits stay stored).
    for (int axis = 0; axis < 2; ++axis) {
        app.autoscale[axis] = 1;
        SetCtrlVal(app.p1, MAIN_LEFT_AUTO + axis, 1);
    }
    dimAxisLimits();
    SetWaitCursor(1);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 1);
    // The status line says when nothing could be shown, and why.
    std::string status;
    int mwzd = readStoredFile(
        mwo1, mwo2, mwo3,
        [](int i) {
            SetCtrlVal(app.p1, MAIN_LOADCOUNT, i);
            if (i % kRepaintEvery == 0) ProcessDrawEvents();
        },
        status);
    if (!status.empty() || !app.writeFailed) setStatus(StatusTopic::File, status);
    SetWaitCursor(0);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 0);
    plotStoredPoints(mwo1, mwo2, mwo3, mwzd);
}

void offen_odat() {
    // The dialog's path is taken only for an existing file: any other answer leaves `o_dat`
    // naming the file shown, which a selector change reads again.
    char chosen[sizeof app.o_dat] = {};
    int ret = FileSelectPopup("", "*.dat", "*.dat", "", VAL_LOAD_BUTTON, 0, 1, 1, 0, chosen);
    if (ret == VAL_EXISTING_FILE_SELECTED) {
        std::memcpy(app.o_dat, chosen, sizeof app.o_dat);
        app.o_dat_offen = 1;
        darstellen();
    }
}

int oeffnen(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) offen_odat();
    return 0;
}
