// The measurement exchange of the poll cycle: one request, one reply, the oxygen computation.
#include <cmath>
#include <cstring>

#include "app/state.h"
#include "instrument/instrument.h"
#include "instrument/link_status.h"
#include "instrument/measurement.h"
#include "runtime/panels.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

double nernst(double o2soll, double vz, double tz) {
    if (tz > 500.0) return o2soll * std::exp((vz * 46.42) / (tz + 273.1));
    return 0.0;
}

int parseMeasurementReply(const char* reply, double& vz, double& tz, double& ie) {
    // reply: 'u', one byte not examined, then Vz [mV] Tz [°C] Ie [mA]
    std::size_t n = std::strlen(reply);
    if (n < 2) return 0;
    return Scan(reply + 2, "%s>%f%f%f", &vz, &tz, &ie);
}

int pollInstrument() {
    int fehl1 = 0;
    app.mzeit = Timer() - app.tstart;
    SetCtrlVal(app.p1, MAIN_COM_LED, 1);
    reopenIfGone();
    SetComTime(app.com_nummer, 0.5);
    Fmt(app.wr_buf, "u6%c", 13);
    std::memset(app.rd_buf, 0, 34);
    FlushOutQ(app.com_nummer);
    FlushInQ(app.com_nummer);
    ComWrt(app.com_nummer, app.wr_buf, static_cast<int>(std::strlen(app.wr_buf)));
    int n = ComRdTerm(app.com_nummer, app.rd_buf, 44, 13);
    // The reply ends where the read ended: bytes left in the buffer by an earlier, longer
    // exchange must not be parsed as part of it.
    app.rd_buf[n > 0 ? n : 0] = '\0';
    parseMeasurementReply(app.rd_buf, app.mw[0], app.mw[1], app.mw[3]);
    fehl1 = ReturnRS232Err();
    notePortStatus(fehl1);
    if (app.rd_buf[0] != 'u' && fehl1 == 0) fehl1 = 1;
    if (fehl1 != 0) {
        app.mw[0] = 0.0;
        app.mw[1] = 0.0;
        app.mw[3] = 0.0;
        noteLinkFailure(fehl1, 0.5);
    } else {
        noteLinkGood();
    }
    app.o2soll = kO2Reference;
    app.mw[2] = nernst(app.o2soll, app.mw[0], app.mw[1]);
    return fehl1;
}
