// The measurement exchange of the poll cycle: one request, one reply, the oxygen computation.
#include "app/state.h"
#include "instrument/exchange.h"
#include "instrument/instrument.h"
#include "instrument/link_status.h"
#include "instrument/measurement.h"
#include "runtime/panels.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

int pollInstrument() {
    int fehl1 = 0;
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
        noteLinkFailure(fehl1, 0.5);
    }
    app.o2soll = kO2Reference;
    app.mw[2] = nernst(app.o2soll, app.mw[0], app.mw[1]);
    return fehl1;
}
