// One poll cycle: the measurement exchange, then the value fields, the data file and the chart.
#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

void wert() {
    char fehler[40] = {};
    int fehl1 = pollInstrument();
    if (fehl1 != 0) Fmt(fehler, "ERROR (%d)", fehl1);

    messwert(app.was[0]);
    SetCtrlVal(app.p1, MAIN_VALUE1, app.mw_buf);
    messwert(app.was[1]);
    SetCtrlVal(app.p1, MAIN_VALUE2, fehl1 == 0 ? app.mw_buf : fehler);
    for (int k = 0; k < 4; ++k) {
        messwert(k);
        SetCtrlVal(app.av, ALLVAL_VZ + k, app.mw_buf);
    }
    alarmPoll(fehl1 == 0);
    if (app.speichern) wertspeichern();
    plotten();
    SetCtrlVal(app.p1, MAIN_COM_LED, 0);
}
