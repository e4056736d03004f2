// A controller-parameter reply (at most 44 bytes, up to the carriage return): one number after
// three bytes that are not examined. The value read then goes out again in a write message.
#include <cmath>
#include <cstring>

#include "fuzz_check.h"
#include "instrument/measurement.h"
#include "runtime/textfiles.h"

int fuzzParameterReply(const std::uint8_t* data, std::size_t size) {
    char rd_buf[260] = {};
    std::size_t n = 0;
    while (n < size && n < 44 && data[n] != '\r') {
        rd_buf[n] = static_cast<char>(data[n]);
        ++n;
    }
    const double before = 3.25;
    double value = before;
    const int found = parseParameterReply(rd_buf, value);
    FUZZ_CHECK(found == 0 || found == 1);
    if (found == 1)
        FUZZ_CHECK(std::abs(value) <= kMaxParameter);
    else
        FUZZ_CHECK(value == before);
    if (std::strlen(rd_buf) <= 3) FUZZ_CHECK(found == 0);

    // The write message of that value: "R2 <value>" and the carriage return, which must survive
    // whatever the value is, or the instrument never sees the end of the message.
    char wr_buf[260];
    Fmt(wr_buf, "R%i %f%c", 2, value, 13);
    const std::size_t len = std::strlen(wr_buf);
    FUZZ_CHECK(len >= 5 && wr_buf[len - 1] == '\r');
    double back = 0;
    FUZZ_CHECK(Scan(wr_buf + 3, "%s>%f", &back) == 1);
    FUZZ_CHECK(std::abs(back - value) <= 5e-7 + std::abs(value) * 1e-15);
    return 0;
}
