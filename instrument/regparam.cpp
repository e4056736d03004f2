// The controller-parameter exchange: five parameters read from the instrument or written to it.
#include <cmath>
#include <cstring>

#include "app/state.h"
#include "app/system.h"
#include "instrument/measurement.h"
#include "runtime/panels.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

int parseParameterReply(const char* reply, double& value) {
    if (std::strlen(reply) <= 3) return 0;
    double v = 0.0;
    if (Scan(reply + 3, "%s>%f", &v) != 1) return 0;
    // A garbled reply can carry a number of 300 digits: shown in a field and written back, it
    // would push the carriage return out of the transmit buffer.
    if (!(std::abs(v) <= kMaxParameter)) return 0;
    value = v;
    return 1;
}

void stellregelparameter(int stellen) {
    const double null = 0.0;
    SetCtrlVal(app.p1, MAIN_COM_LED, 1);
    reopenIfGone();
    SetComTime(app.com_nummer, 0.6);
    if (stellen == 1) {
        for (int n = 0; n <= 4; ++n) GetCtrlVal(app.pr, REG_PARAM0 + n, &app.rpara[n]);
    } else {
        // REG_PARAM0 keeps its value until the exchange ends.
        for (int n = 1; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, null);
    }
    for (int i = 0; i <= 4 + stellen; ++i) {
        if (stellen == 1 && i < 5)
            Fmt(app.wr_buf, "R%i %f%c", i, app.rpara[i], 13);  // e.g. "R2 12.500000" CR
        else if (stellen == 1)
            Fmt(app.wr_buf, "R!R!%c", 13);  // closing command after the five writes
        else
            Fmt(app.wr_buf, "r%i %c", i, 13);  // e.g. "r0 " CR
        std::memset(app.rd_buf, 0, 24);
        FlushOutQ(app.com_nummer);
        FlushInQ(app.com_nummer);
        ComWrt(app.com_nummer, app.wr_buf, static_cast<int>(std::strlen(app.wr_buf)));
        int count = ComRdTerm(app.com_nummer, app.rd_buf, 44, 13);
        // Only the bytes of this reply count, not what an earlier exchange left in the buffer.
        app.rd_buf[count > 0 ? count : 0] = '\0';
        int fehl1 = ReturnRS232Err();
        notePortStatus(fehl1);
        // reply: three bytes not examined ("rN " or "RN "), then the value
        if (i < 5 && fehl1 == 0) parseParameterReply(app.rd_buf, app.rpara[i]);
    }
    for (int n = 0; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, app.rpara[n]);
    SetCtrlVal(app.p1, MAIN_COM_LED, 0);
}

void regoffen(int, int, void*, int) {
    DisplayPanel(app.pr);
    stellregelparameter(0);
}

int regok(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    stellregelparameter(1);
    Delay(0.2);
    stellregelparameter(0);
    return 0;
}

int reg_ende(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(app.pr);
    return 0;
}
