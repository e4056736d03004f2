// A stored data file on the chart: chosen in the Open dialog, read again when a trace's quantity
// changes, and for the range a chart shows.
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "datafiles/stored_scan.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kRepaintEvery = 25;  // points between two repaints of the load count

ChartBand bandOf(const TimeColumns& columns, int quantity) {
    ChartBand b;
    b.dx = columns.dx();
    columns.quantity(quantity, b.x0, b.lo, b.hi);
    return b;
}
}  // namespace

void darstellen() {
    if (!app.o_dat_offen) return;
    SetCtrlVal(app.p1, MAIN_FILENAME, app.o_dat);
    // A stored file is shown scaled to its data: both switches go on, and the settings with them,
    // so that the next Run, the switches and TEVRAN.ini agree (the manual limits stay stored).
    for (int axis = 0; axis < 2; ++axis) {
        app.autoscale[axis] = 1;
        SetCtrlVal(app.p1, MAIN_LEFT_AUTO + axis, 1);
    }
    scaleSC();
    dimAxisLimits();
    SetWaitCursor(1);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 1);
    // The status line says when nothing could be shown, and why.
    std::string status;
    readStoredFile(
        [](int i) {
            SetCtrlVal(app.p1, MAIN_LOADCOUNT, i);
            if (i % kRepaintEvery == 0) ProcessDrawEvents();
        },
        status);
    if (!status.empty() || !app.writeFailed) setStatus(StatusTopic::File, status);
    SetWaitCursor(0);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 0);
    showStored(app.p1, MAIN_STRIPCHART);
}

void showStored(int panel, int control) {
    StoredPoints points;
    TimeColumns band;
    std::string status;
    if (!storedData(panel, control, points, band, status)) {
        if (!status.empty()) setStatus(StatusTopic::File, status);
        return;
    }
    plotStoredPoints(panel, control, points.t, points.y1, points.y2, bandOf(band, app.was[0]),
                     bandOf(band, app.was[1]));
    showReadout(panel, control);
}

void offen_odat() {
    // The dialog's path is taken only for an existing file: any other answer leaves `o_dat`
    // naming the file shown, which a selector change reads again.
    char chosen[sizeof app.o_dat] = {};
    int ret = FileSelectPopup("", "*.dat", "*.dat", "", VAL_LOAD_BUTTON, 0, 1, 1, 0, chosen);
    if (ret == VAL_EXISTING_FILE_SELECTED) {
        std::memcpy(app.o_dat, chosen, sizeof app.o_dat);
        app.o_dat_offen = 1;
        // A file chosen is shown whole; a quantity chosen later keeps the range shown.
        ResetGraphView(app.p1, MAIN_STRIPCHART);
        darstellen();
    }
}

int oeffnen(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) offen_odat();
    return 0;
}
