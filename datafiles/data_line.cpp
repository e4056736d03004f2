// The numbers of a data line. The first open of a stored file parses every line of it (tens of
// millions for a long recording), so the numbers as a recording writes them ("12.3", "-9.8",
// "1.44e+03", "1.234e-01") are read a quicker way, the values to the bit those of the general
// way, which reads anything else.
#include "datafiles/data_line.h"

#include <cstdint>

#include "runtime/textfiles.h"

namespace {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Powers of ten a double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A number of at most 7 digits before and 7 after the point, with an exponent of at most three
// digits, read as rt::scanNumber reads it; null for anything else. Fewer tests a byte than
// rt::scanNumber, for numbers that can never have more digits than a double holds. Looks at up to
// 24 bytes from p.
const char* quickNumber(const char* p, double& out) {
    const char* s = p;
    const bool negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    std::uint64_t m = 0;
    const char* digits = s;
    for (const char* stop = s + 8; s < stop && isDigit(*s); ++s) m = m * 10 + unsigned(*s - '0');
    const int whole = static_cast<int>(s - digits);
    int fraction = 0;
    if (*s == '.') {
        digits = ++s;
        for (const char* stop = s + 8; s < stop && isDigit(*s); ++s)
            m = m * 10 + unsigned(*s - '0');
        fraction = static_cast<int>(s - digits);
    }
    if (whole == 8 || fraction == 8 || whole + fraction == 0) return nullptr;
    int scale = -fraction;
    if ((*s | 0x20) == 'e') {
        const char* x = s + 1;
        const bool down = *x == '-';
        if (*x == '+' || *x == '-') ++x;
        int e = 0, k = 0;
        for (; k < 4 && isDigit(x[k]); ++k) e = e * 10 + (x[k] - '0');
        if (k == 4) return nullptr;
        if (k > 0) {
            scale += down ? -e : e;
            s = x + k;
        }
    }
    if (scale < -22 || scale > 22) return nullptr;
    double v = static_cast<double>(static_cast<std::int64_t>(m));  // below 2^53: exact
    v = scale < 0 ? v / kPow10[-scale] : v * kPow10[scale];
    out = negative ? -v : v;
    return s;
}

constexpr long kQuickLooks = 32;  // bytes quickNumber may look at, and some to spare

}  // namespace

int parseDataLine(const char* p, const char* end, double (&v)[5]) {
    int n = 0;
    for (; n < 5; ++n) {
        while (p < end && isBlank(*p)) ++p;
        const char* next = rt::scanNumber(p, end, v[n]);
        if (!next) break;
        p = next;
    }
    return n;
}

int parseDataLine(const char* p, const char* end, const char* readable, double (&v)[5]) {
    int n = 0;
    for (; n < 5; ++n) {
        while (p < end && isBlank(*p)) ++p;
        // A number the quick way read past the line's end is not the line's: the general way
        // stops at the end.
        const char* next = readable - p >= kQuickLooks ? quickNumber(p, v[n]) : nullptr;
        if (!next || next > end) next = rt::scanNumber(p, end, v[n]);
        if (!next) break;
        p = next;
    }
    return n;
}

const char* parseRecordedLine(const char* p, const char* end, const char* readable,
                              double (&v)[5]) {
    for (int n = 0; n < 5; ++n) {
        if (readable - p < kQuickLooks) return nullptr;
        p = quickNumber(p, v[n]);
        // A number stops at a line end: it never runs into the next line.
        if (!p || p >= end) return nullptr;
        if (n < 4) {
            if (*p != '\t') return nullptr;
            ++p;
        }
    }
    const char* lf = *p == '\r' ? p + 1 : p;
    return lf < end && *lf == '\n' ? p : nullptr;
}
