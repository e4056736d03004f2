// The measurement poll cycle: one request, one reply, the oxygen computation, and every output.
#include "app/state.h"
#include "app/system.h"
#include "instrument/exchange.h"
#include "instrument/link_status.h"
#include "instrument/measurement.h"
#include "runtime/panels.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

void wert() {
    int fehl1 = 0;
    char fehler[40] = {};
    app.mzeit = Timer() - app.tstart;
    SetCtrlVal(app.p1, MAIN_COM_LED, 1);
    measurementRequest(app.wr_buf);
    fehl1 = exchange(app.wr_buf, 0.5, app.rd_buf, 44);
    parseMeasurementReply(app.rd_buf, app.mw[0], app.mw[1], app.mw[3]);
    if (app.rd_buf[0] != 'u' && fehl1 == 0) fehl1 = 1;
    if (fehl1 != 0) {
        app.mw[0] = 0.0;
        app.mw[1] = 0.0;
        app.mw[3] = 0.0;
        Fmt(fehler, "ERROR (%d)", fehl1);
        noteLinkFailure(fehl1, 0.5);
    }
    app.o2soll = kO2Reference;
    app.mw[2] = nernst(app.o2soll, app.mw[0], app.mw[1]);

    messwert(app.was[0]);
    SetCtrlVal(app.p1, MAIN_VALUE1, app.mw_buf);
    messwert(app.was[1]);
    SetCtrlVal(app.p1, MAIN_VALUE2, fehl1 == 0 ? app.mw_buf : fehler);
    for (int k = 0; k < 4; ++k) {
        messwert(k);
        SetCtrlVal(app.av, ALLVAL_VZ + k, app.mw_buf);
    }
    if (app.speichern) wertspeichern();
    plotten();
    SetCtrlVal(app.p1, MAIN_COM_LED, 0);
}
