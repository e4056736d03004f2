// A measurement reply as the poll cycle gets it (at most 44 bytes, up to the carriage return),
// parsed into Vz, Tz and Ie, turned into pO2 and formatted as the four value texts.
#include <cmath>
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "fuzz_check.h"
#include "instrument/measurement.h"

namespace {
const char* const kUnits[5] = {" mV  ", " \260C  ", " ppm ", " mA  ",
                               "     "};  // \260: degree sign

bool endsWith(const char* text, const char* tail) {
    const std::size_t n = std::strlen(text), m = std::strlen(tail);
    return n >= m && std::memcmp(text + n - m, tail, m) == 0;
}
}  // namespace

int fuzzMeasurementReply(const std::uint8_t* data, std::size_t size) {
    // What ComRdTerm leaves in rd_buf: the bytes before the terminator, at most 44.
    char rd_buf[260] = {};
    std::size_t n = 0;
    while (n < size && n < 44 && data[n] != '\r') {
        rd_buf[n] = static_cast<char>(data[n]);
        ++n;
    }
    // The previous cycle's values stay where the reply carries no number.
    const double before[3] = {-12.5, 701.25, 0.75};
    double vz = before[0], tz = before[1], ie = before[2];
    const int found = parseMeasurementReply(rd_buf, vz, tz, ie);
    FUZZ_CHECK(found >= 0 && found <= 3);
    const double* got[3] = {&vz, &tz, &ie};
    for (int k = 0; k < 3; ++k) {
        if (k < found)
            FUZZ_CHECK(std::isfinite(*got[k]));
        else
            FUZZ_CHECK(std::memcmp(got[k], &before[k], sizeof(double)) == 0);
    }
    // The numbers start at the third byte: a reply shorter than that carries none.
    if (std::strlen(rd_buf) <= 2) FUZZ_CHECK(found == 0);

    app = AppState{};
    app.mw[0] = vz;
    app.mw[1] = tz;
    app.mw[3] = ie;
    app.mw[2] = nernst(kO2Reference, vz, tz);
    FUZZ_CHECK(!std::isnan(app.mw[2]) && app.mw[2] >= 0.0);
    if (!(tz > 500.0)) FUZZ_CHECK(app.mw[2] == 0.0);
    for (int k = 0; k <= 4; ++k) {
        messwert(k);
        // Within its buffer, terminated, and ending with its unit whatever the value.
        FUZZ_CHECK(std::memchr(app.mw_buf, '\0', sizeof app.mw_buf) != nullptr);
        FUZZ_CHECK(endsWith(app.mw_buf, kUnits[k]));
    }
    return 0;
}
