// The numbers of a data line. The first open of a stored file parses every line of it (tens of
// millions for a long recording), so the numbers as a recording writes them ("12.3", "-9.8",
// "1.44e+03", "1.234e-01") are read a quicker way, the values to the bit those of the general
// way, which reads anything else.
#include "datafiles/data_line.h"

#include <charconv>
#include <cstdint>

namespace {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Powers of ten a double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// One number at p: [sign] digits [. digits] [e [sign] digits]; the position after it, or null.
// Digits that fit 53 bits and a power of ten up to 22 give the correctly rounded value with one
// division or multiplication; anything else goes the long way.
const char* parseNumber(const char* p, const char* end, double& out) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* start = p;
    std::uint64_t m = 0;
    int significant = 0, scale = 0, digits = 0;
    bool dropped = false;
    for (; p < end && isDigit(*p); ++p, ++digits) {
        if (significant < 19) {
            m = m * 10 + unsigned(*p - '0');
            if (m) ++significant;
        } else {
            ++scale;
            dropped = true;
        }
    }
    if (p < end && *p == '.')
        for (++p; p < end && isDigit(*p); ++p, ++digits) {
            if (significant < 19) {
                m = m * 10 + unsigned(*p - '0');
                if (m) ++significant;
                --scale;
            } else {
                dropped = true;
            }
        }
    if (digits == 0) return nullptr;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* x = p + 1;
        bool down = false;
        if (x < end && (*x == '+' || *x == '-')) down = *x++ == '-';
        if (x < end && isDigit(*x)) {
            int e = 0;
            for (; x < end && isDigit(*x); ++x)
                if (e < 100000) e = e * 10 + (*x - '0');
            scale += down ? -e : e;
            p = x;
        }
    }
    double v;
    if (!dropped && m < (std::uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
        v = static_cast<double>(m);
        v = scale < 0 ? v / kPow10[-scale] : v * kPow10[scale];
    } else {
        const auto r = std::from_chars(start, p, v, std::chars_format::general);
        if (r.ec != std::errc() || r.ptr != p) return nullptr;
    }
    out = negative ? -v : v;
    return p;
}

// A number of at most 7 digits before and 7 after the point, with an exponent of at most three
// digits, read as parseNumber reads it; null for anything else. Fewer tests a byte than
// parseNumber, for numbers that can never have more digits than a double holds. Looks at up to 24
// bytes from p.
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
        const char* next = parseNumber(p, end, v[n]);
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
        if (!next || next > end) next = parseNumber(p, end, v[n]);
        if (!next) break;
        p = next;
    }
    return n;
}
