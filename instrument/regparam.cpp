// The controller-parameter exchange: five parameters read from the instrument or written to it.
#include <string>

#include "app/state.h"
#include "instrument/exchange.h"
#include "instrument/instrument.h"
#include "instrument/link_status.h"
#include "instrument/measurement.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

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
    if (stellen == 1) {
        for (int n = 0; n <= 4; ++n) GetCtrlVal(app.pr, REG_PARAM0 + n, &app.rpara[n]);
    } else {
        // REG_PARAM0 keeps its value until the exchange ends.
        for (int n = 1; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, null);
    }
    int unread = 0;        // bit n: parameter n got no number from the instrument
    int problem = 0;       // the status of the last message, when it got no answer
    bool garbled = false;  // a read parameter was answered without a number
    for (int i = 0; i <= 4 + stellen; ++i) {
        if (stellen == 1 && i < 5)
            parameterWriteRequest(app.wr_buf, i, app.rpara[i]);
        else if (stellen == 1)
            closingRequest(app.wr_buf);  // after the five writes
        else
            parameterReadRequest(app.wr_buf, i);
        // A reply that echoes another parameter's number is a late answer to an earlier
        // message: the exchange drops it and waits on for this one's.
        int status = exchange(app.wr_buf, 0.6, app.rd_buf, 44, parameterReplyAnswers, i);
        // reply: the echo ("rN " or "RN "), then the value
        bool taken = i < 5 && status == 0 && parseParameterReply(app.rd_buf, app.rpara[i]) == 1;
        if (i < 5 && !taken) unread |= 1 << i;
        if (stellen == 0 && status == 0 && !taken) garbled = true;
        problem = status;
    }
    for (int n = 0; n <= 4; ++n) SetCtrlVal(app.pr, REG_PARAM0 + n, app.rpara[n]);
    if (stellen == 0) markUnread(unread);
    // The link is as its last message found it: a device that went away and came back during
    // the exchange, or a message the instrument missed, is history once a later one is answered.
    if (problem != 0 || garbled)
        noteLinkFailure(problem != 0 ? problem : 1, 0.6,
                        stellen == 1 ? "writing the controller parameters"
                                     : "reading the controller parameters");
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
        if (!ConfirmPopupDefaultNo("Controller parameters", question.c_str())) return 0;
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
