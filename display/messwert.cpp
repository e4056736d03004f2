// The display text of one quantity: value, unit and a precision that depends on the quantity.
#include <cstring>
#include <string>

#include "app/state.h"
#include "display/display.h"
#include "runtime/textfiles.h"

namespace {
// Templates of the display texts; "%c" becomes '%' and, for the current, "%d" its decimals.
constexpr const char* kTemplates[5] = {
    " %cf[p1w10] mV  ",
    " %cf[p1w10] \xB0"
    "C  ",
    " %cf[e2p3w10] ppm ",
    " %cf[p%dw10] mA  ",
    " %cf[p1w10]     ",
};
// The same units after a value that does not fit its 10 characters in fixed point.
constexpr const char* kWideTemplates[5] = {
    " %cf[e2p3w10] mV  ",
    " %cf[e2p3w10] \xB0"
    "C  ",
    " %cf[e2p3w10] ppm ",
    " %cf[e2p3w10] mA  ",
    " %cf[e2p3w10]     ",
};
constexpr const char* kNoQuantity = " 0.0    ";
constexpr std::size_t kTextLength = 16;  // one blank, 10 for the value, one blank, unit field
}  // namespace

std::string quantityText(int no, double value) {
    if (no < 0 || no > 4) return kNoQuantity;
    // Decimals of the current Ie by its magnitude; the last true test wins.
    int i = 1;
    if (value < 100.0) i = 2;
    if (value < 10.0) i = 3;
    if (value < 1.0) i = 4;

    char hbuf[32];
    char text[sizeof app.mw_buf];
    if (no == 3)
        Fmt(hbuf, kTemplates[no], '%', i);
    else
        Fmt(hbuf, kTemplates[no], '%');
    Fmt(text, hbuf, value);

    // A value wider than its field (a cell voltage of a billion millivolts) is shown in
    // exponential notation, so that the text keeps its unit and stays within mw_buf.
    if (std::strlen(text) > kTextLength) {
        Fmt(hbuf, kWideTemplates[no], '%');
        Fmt(text, hbuf, value);
    }
    return text;
}

void messwert(int no) {
    const double value = no >= 0 && no <= 4 ? app.mw[no] : 0.0;
    rt::copyBounded(app.mw_buf, sizeof app.mw_buf, quantityText(no, value));
}
