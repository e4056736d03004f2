// The chart-settings controls: interval, axis limits, automatic scaling and the traces'
// quantities, taken over on each change.
#include "app/settings.h"
#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

int skaliere(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    GetCtrlVal(app.p1, MAIN_INTERVAL, &app.abtast);
    app.abtast = usableInterval(app.abtast);
    SetCtrlAttribute(app.p1, MAIN_TIMER, ATTR_INTERVAL, app.abtast);
    for (int i = 0; i < 4; ++i) GetCtrlVal(app.p1, MAIN_LEFT_MIN + i, &app.skl[i]);
    for (int i = 0; i < 2; ++i) GetCtrlVal(app.p1, MAIN_TRACE1_SELECT + i, &app.was[i]);
    for (int i = 0; i < 2; ++i) GetCtrlVal(app.p1, MAIN_LEFT_AUTO + i, &app.autoscale[i]);
    scaleSC();
    dimAxisLimits();
    if ((control == MAIN_TRACE1_SELECT || control == MAIN_TRACE2_SELECT) && app.o_dat_offen)
        darstellen();
    return 0;
}
