// The charts' views: a stored file read again for the range shown, the values under the pointer.
#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

namespace {
// A chart showing a stored file (the main chart only while the viewer shows one).
bool showsStoredFile(int panel, int control) {
    return !(panel == app.p1 && control == MAIN_STRIPCHART) || app.o_dat_offen;
}
}  // namespace

int chartview(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_VIEW_CHANGED && showsStoredFile(panel, control)) showStored(panel, control);
    if (event == EVENT_VIEW_CHANGED || event == EVENT_POINTER_MOVED) showReadout(panel, control);
    return 0;
}
