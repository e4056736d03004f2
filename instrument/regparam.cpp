// The controller-parameter exchange: five parameters read from the instrument or written to it.
#include <cmath>
#include <cstring>
#include <string>

#include "app/state.h"
#include "instrument/instrument.h"
#include "instrument/link_status.h"
#include "instrument/measurement.h"
#include "runtime/popups.h"
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

namespace {

// "parameter 3", "parameters 1, 2 and 4": the parameters whose bits are set.
std::string parametersNamed(int bits) {
    std::string out = bits & (bits - 1) ? "parameters " : "parameter ";
    int left = 0;
    for (int n = 0; n <= 4; ++n) left += (bits >> n) & 1;
    for (int n = 0; n <= 4; ++n) {
        if (!((bits >> n) & 1)) continue;
        --left;
        out += std::to_string(n);
        if (left > 1) out += ", ";
        if (left == 1) out += " and ";
    }
    return out;
}

constexpr int kUnreadColour = 0xC00000;
constexpr int kDoneColour = 0x006000;

// Fields the last read left unread are shown in red, and the panel says which they are.
void markUnread(int bits) {
    app.regUnread = bits;
    for (int n = 0; n <= 4; ++n)
        SetCtrlAttribute(app.pr, REG_PARAM0 + n, ATTR_COLOR, (bits >> n) & 1 ? kUnreadColour : 0);
    std::string text;
    if (bits != 0) text = "Not read from the instrument (red): " + parametersNamed(bits);
    SetCtrlAttribute(app.pr, REG_STATUS, ATTR_COLOR, kUnreadColour);
    SetCtrlVal(app.pr, REG_STATUS, text.c_str());
}

}  // namespace

void stellregelparameter(int stellen) {
    const double null = 0.0;
    SetCtrlVal(app.p1, MAIN_COM_LED, 1);
    SetComTime(app.com_nummer, 0.6);
    if (stellen == 1) {
        for (int n = 0; n <= 4; ++n) GetCtrlVal(app.pr, REG_PARAM0 + n, &app.rpara[n]);
    } else {
        // REG_PARAM0 keeps its value until the exchange ends.
        for (int n = 1; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, null);
    }
    int unread = 0;     // bit n: parameter n got no number from the instrument
    int failure = 0;    // the first failed message's status
    for (int i = 0; i <= 4 + stellen; ++i) {
        if (stellen == 1 && i < 5)
            Fmt(app.wr_buf, "R%i %f%c", i, app.rpara[i], 13);  // e.g. "R2 12.500000" CR
        else if (stellen == 1)
            Fmt(app.wr_buf, "R!R!%c", 13);  // closing command after the five writes
        else
            Fmt(app.wr_buf, "r%i %c", i, 13);  // e.g. "r0 " CR
        std::memset(app.rd_buf, 0, 24);
        // Before each message: a device found gone by the one before (an adapter unplugged and
        // plugged in again while no run polled) is opened again at once, not only at the next
        // exchange.
        reopenIfGone();
        FlushOutQ(app.com_nummer);
        FlushInQ(app.com_nummer);
        ComWrt(app.com_nummer, app.wr_buf, static_cast<int>(std::strlen(app.wr_buf)));
        int count = ComRdTerm(app.com_nummer, app.rd_buf, 44, 13);
        // Only the bytes of this reply count, not what an earlier exchange left in the buffer.
        app.rd_buf[count > 0 ? count : 0] = '\0';
        int fehl1 = ReturnRS232Err();
        notePortStatus(fehl1);
        if (fehl1 != 0 && failure == 0) failure = fehl1;
        // reply: three bytes not examined ("rN " or "RN "), then the value
        bool taken = i < 5 && fehl1 == 0 && parseParameterReply(app.rd_buf, app.rpara[i]) == 1;
        if (i < 5 && !taken) unread |= 1 << i;
    }
    for (int n = 0; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, app.rpara[n]);
    if (stellen == 0) markUnread(unread);
    if (failure != 0)
        noteLinkFailure(failure, 0.6, stellen == 1 ? "writing the controller parameters"
                                                   : "reading the controller parameters");
    else if (stellen == 0 && unread != 0)
        noteLinkFailure(1, 0.6, "reading the controller parameters");
    else
        noteLinkGood();
    SetCtrlVal(app.p1, MAIN_COM_LED, 0);
}

void regoffen(int, int, void*, int) {
    DisplayPanel(app.pr);
    stellregelparameter(0);
}

int regok(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    // A field that was never read holds whatever it held before (0.0 at first): written without a
    // question, it would set the instrument's controller to it.
    if (app.regUnread != 0) {
        std::string question = "Not read from the instrument: " + parametersNamed(app.regUnread) +
                               ".\nWrite the values shown anyway?";
        if (!ConfirmPopup("Controller parameters", question.c_str())) return 0;
    }
    stellregelparameter(1);
    // The link's sentence is cleared by an exchange without a failure, and set by one with.
    const bool written = app.linkStatus.empty();
    Delay(0.2);
    stellregelparameter(0);
    if (written && app.linkStatus.empty() && app.regUnread == 0) {
        SetCtrlAttribute(app.pr, REG_STATUS, ATTR_COLOR, kDoneColour);
        SetCtrlVal(app.pr, REG_STATUS, "The five parameters were written and read back.");
    }
    return 0;
}

int reg_ende(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(app.pr);
    return 0;
}
