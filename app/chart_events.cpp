// The charts' views: a stored file read again for the range shown, the values under the pointer.
#include "app/state.h"
#include "app/system.h"
#include "datafiles/stored_scan.h"
#include "datafiles/viewer.h"
#include "display/chart.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

namespace {
ChartBand bandOf(const TimeColumns& columns, int quantity) {
    ChartBand b;
    b.dx = columns.dx();
    columns.quantity(quantity, b.x0, b.lo, b.hi);
    return b;
}

// A chart showing a stored file (the main chart only while the viewer shows one).
bool showsStoredFile(int panel, int control) {
    return !(panel == app.p1 && control == MAIN_STRIPCHART) || app.o_dat_offen;
}
}  // namespace

void showStored(int panel, int control) {
    StoredPoints points;
    TimeColumns band;
    if (!storedData(panel, control, points, band)) return;
    drawStoredTraces(panel, control, points.t, points.y1, points.y2, bandOf(band, app.was[0]),
                     bandOf(band, app.was[1]));
    showReadout(panel, control);
}

int chartview(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_VIEW_CHANGED && showsStoredFile(panel, control)) showStored(panel, control);
    if (event == EVENT_VIEW_CHANGED || event == EVENT_POINTER_MOVED) showReadout(panel, control);
    return 0;
}
