// The display text of one quantity: value, unit and a precision that depends on the quantity.
#include <cstring>

#include "app/state.h"
#include "display/display.h"
#include "runtime/textfiles.h"

namespace {
// Templates of the display texts; "%c" becomes '%' and, for the current, "%d" its decimals.
constexpr const char* kTemplates[5] = {
    " %cf[p1w10] mV  ",
    " %cf[p1w10] \xB0" "C  ",
    " %cf[e2p3w10] ppm ",
    " %cf[p%dw10] mA  ",
    " %cf[p1w10]     ",
};
// The same units after a value that does not fit its 10 characters in fixed point.
constexpr const char* kWideTemplates[5] = {
    " %cf[e2p3w10] mV  ",
    " %cf[e2p3w10] \xB0" "C  ",
    " %cf[e2p3w10] ppm ",
    " %cf[e2p3w10] mA  ",
    " %cf[e2p3w10]     ",
};
constexpr const char* kNoQuantity = " 0.0    ";
constexpr std::size_t kTextLength = 16;  // one blank, 10 for the value, one blank, unit field
}  // namespace

void messwert(int no) {
    // Decimals of the current Ie by its magnitude; the last true test wins.
    int i = 1;
    if (app.mw[3] < 100.0) i = 2;
    if (app.mw[3] < 10.0) i = 3;
    if (app.mw[3] < 1.0) i = 4;

    if (no < 0 || no > 4) {
        Fmt(app.mw_buf, "%s", kNoQuantity);
        return;
    }
    char hbuf[32];
    if (no == 3)
        Fmt(hbuf, kTemplates[no], '%', i);
    else
        Fmt(hbuf, kTemplates[no], '%');
    Fmt(app.mw_buf, hbuf, app.mw[no]);

    // A value wider than its field (a cell voltage of a billion millivolts) is shown in
    // exponential notation, so that the text keeps its unit and stays within mw_buf.
    if (std::strlen(app.mw_buf) > kTextLength) {
        Fmt(hbuf, kWideTemplates[no], '%');
        Fmt(app.mw_buf, hbuf, app.mw[no]);
    }
}
