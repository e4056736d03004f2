// The format language: formatting values into text (Fmt, FmtFile) and scanning values out of
// text (Scan, ScanFile). Numbers are converted with std::to_chars / std::from_chars, which never
// consult the process locale, so the program writes and reads a point under any LC_NUMERIC.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "runtime/textfiles.h"

namespace {

// Largest number accepted in a modifier: keeps the conversion buffer a fixed size.
constexpr long kMaxModifier = 500;

struct Modifiers {
    int precision = -1;  // p<n>; -1: the default of the conversion
    int width = 0;       // w<n>
    int expDigits = -1;  // e<n>; -1: fixed-point notation
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the bracketed modifiers after a conversion letter, if any. Returns false when the
// bracket is malformed: an unknown letter, a letter without a number, or no closing bracket.
bool parseModifiers(const char*& f, Modifiers& m) {
    if (*f != '[') return true;
    ++f;
    while (*f != ']') {
        const char key = *f;
        if (key != 'p' && key != 'w' && key != 'e') return false;
        ++f;
        if (!isDigit(*f)) return false;
        long value = 0;
        while (isDigit(*f)) {
            value = value * 10 + (*f - '0');
            if (value > kMaxModifier) return false;
            ++f;
        }
        const int v = static_cast<int>(value);
        if (key == 'p')
            m.precision = v;
        else if (key == 'w')
            m.width = v;
        else
            m.expDigits = v;
    }
    ++f;
    return true;
}

void appendPadded(std::string& out, const char* text, std::size_t len, int width) {
    if (len < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - len, ' ');
    out.append(text, len);
}

// A double in fixed or exponential notation. Rounding is that of printf ("%.*f" / "%.*e"):
// exact decimal expansion of the binary value, ties to even. The exponent is then rewritten to
// its minimum number of digits ("e+05" with e1 becomes "e+5").
void appendDouble(std::string& out, double v, const Modifiers& m) {
    if (std::isnan(v)) {
        appendPadded(out, "NaN", 3, m.width);
        return;
    }
    if (std::isinf(v)) {
        if (v < 0)
            appendPadded(out, "-Inf", 4, m.width);
        else
            appendPadded(out, "Inf", 3, m.width);
        return;
    }
    const int precision = m.precision < 0 ? 6 : m.precision;
    // Widest text: sign, 309 integer digits, point, kMaxModifier fraction digits.
    char buf[1024];
    if (m.expDigits < 0) {
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
        appendPadded(out, buf, static_cast<std::size_t>(r.ptr - buf), m.width);
        return;
    }
    const auto r =
        std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, precision);
    char* e = std::find(buf, r.ptr, 'e');
    // Mantissa, 'e' and the sign, which to_chars always writes.
    std::string text(buf, e + 2);
    const char* digits = e + 2;
    while (digits + 1 < r.ptr && *digits == '0') ++digits;
    const std::size_t have = static_cast<std::size_t>(r.ptr - digits);
    const std::size_t want = static_cast<std::size_t>(std::max(m.expDigits, 1));
    if (have < want) text.append(want - have, '0');
    text.append(digits, have);
    appendPadded(out, text.data(), text.size(), m.width);
}

void appendInteger(std::string& out, long long v, const Modifiers& m) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    appendPadded(out, buf, static_cast<std::size_t>(r.ptr - buf), m.width);
}

// A double given to %d is truncated toward zero; out-of-range values are clamped, NaN gives 0.
long long truncateToInteger(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9.2e18) return LLONG_MAX;
    if (d <= -9.2e18) return LLONG_MIN;
    return static_cast<long long>(d);
}

// ---- scanning ----

// Cursor over the source text; never looks beyond `end`.
struct Source {
    const char* p;
    const char* end;
    void skipBlanks() {
        while (p < end && isBlank(*p)) ++p;
    }
};

// Decimal floating number, as rt::scanNumber reads it.
bool scanDouble(Source& s, double& result) {
    s.skipBlanks();
    const char* q = rt::scanNumber(s.p, s.end, result);
    if (!q) return false;
    s.p = q;
    return true;
}

// Decimal integer: [sign] digits, within the range of int.
bool scanInt(Source& s, int& result) {
    s.skipBlanks();
    const char* q = s.p;
    bool negative = false;
    if (q < s.end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (q >= s.end || !isDigit(*q)) return false;
    long long value = 0;
    while (q < s.end && isDigit(*q)) {
        value = value * 10 + (*q - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return false;
        ++q;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return false;
    result = static_cast<int>(value);
    s.p = q;
    return true;
}


// Powers of ten a double holds exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
}  // namespace

namespace rt {

// Digits that fit 53 bits and a power of ten up to 22 give the correctly rounded value with one
// division or multiplication, as from_chars would; anything else goes the long way.
const char* scanNumber(const char* p, const char* end, double& out) {
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




int formatText(std::string& out, const char* format, std::initializer_list<FmtArg> args) {
    out.clear();
    if (format == nullptr) return -1;
    const FmtArg* arg = args.begin();
    int used = 0;
    const char* f = format;
    if (std::strncmp(f, "%s<", 3) == 0) f += 3;
    while (*f != '\0') {
        if (*f != '%') {
            out.push_back(*f++);
            continue;
        }
        ++f;
        const char conv = *f;
        if (conv == '%') {
            out.push_back('%');
            ++f;
            continue;
        }
        if (conv != 'd' && conv != 'i' && conv != 'f' && conv != 'c' && conv != 's') return -1;
        ++f;
        Modifiers m;
        if (!parseModifiers(f, m)) return -1;
        if (arg == args.end()) return -1;
        const FmtArg& a = *arg++;
        ++used;
        switch (conv) {
            case 'd':
            case 'i':
                if (auto* v = std::get_if<int>(&a))
                    appendInteger(out, *v, m);
                else if (auto* l = std::get_if<long>(&a))
                    appendInteger(out, *l, m);
                else if (auto* d = std::get_if<double>(&a))
                    appendInteger(out, truncateToInteger(*d), m);
                else if (auto* c = std::get_if<char>(&a))
                    appendInteger(out, *c, m);
                else
                    return -1;
                break;
            case 'f':
                if (auto* d = std::get_if<double>(&a))
                    appendDouble(out, *d, m);
                else if (auto* v = std::get_if<int>(&a))
                    appendDouble(out, *v, m);
                else if (auto* l = std::get_if<long>(&a))
                    appendDouble(out, static_cast<double>(*l), m);
                else
                    return -1;
                break;
            case 'c': {
                char c;
                if (auto* v = std::get_if<int>(&a))
                    c = static_cast<char>(*v);
                else if (auto* ch = std::get_if<char>(&a))
                    c = *ch;
                else
                    return -1;
                appendPadded(out, &c, 1, m.width);
                break;
            }
            case 's': {
                auto* s = std::get_if<const char*>(&a);
                if (s == nullptr) return -1;
                const char* text = *s != nullptr ? *s : "";
                appendPadded(out, text, std::strlen(text), m.width);
                break;
            }
        }
    }
    return used;
}

int scanTextAt(const char* source, std::size_t length, std::size_t* consumed, const char* format,
               std::initializer_list<ScanArg> args) {
    if (consumed != nullptr) *consumed = 0;
    if (format == nullptr || (source == nullptr && length > 0)) return -1;
    // A NUL byte ends the text even when `length` reaches further.
    const char* end = source;
    if (length > 0) {
        const void* nul = std::memchr(source, '\0', length);
        end = nul != nullptr ? static_cast<const char*>(nul) : source + length;
    }
    Source s{source, end};
    const ScanArg* arg = args.begin();
    int converted = 0;
    int result = 0;
    const char* f = format;
    if (std::strncmp(f, "%s>", 3) == 0) f += 3;
    while (*f != '\0') {
        if (isBlank(*f)) {
            while (isBlank(*f)) ++f;
            s.skipBlanks();
            continue;
        }
        if (*f != '%' || f[1] == '%') {
            const char literal = *f;
            f += literal == '%' ? 2 : 1;
            if (s.p >= s.end || *s.p != literal) break;
            ++s.p;
            continue;
        }
        const char conv = f[1];
        f += 2;
        if (conv != 'd' && conv != 'i' && conv != 'f' && conv != 'c' && conv != 's') {
            result = -1;
            break;
        }
        if (arg == args.end()) {
            result = -1;
            break;
        }
        const ScanArg& a = *arg++;
        bool ok = false;
        if (conv == 'f') {
            auto* target = std::get_if<double*>(&a);
            if (target == nullptr || *target == nullptr) {
                result = -1;
                break;
            }
            double v;
            ok = scanDouble(s, v);
            if (ok) **target = v;
        } else if (conv == 'd' || conv == 'i') {
            auto* target = std::get_if<int*>(&a);
            if (target == nullptr || *target == nullptr) {
                result = -1;
                break;
            }
            int v;
            ok = scanInt(s, v);
            if (ok) **target = v;
        } else if (conv == 's') {
            auto* target = std::get_if<ScanString>(&a);
            if (target == nullptr || target->buf == nullptr || target->capacity == 0) {
                result = -1;
                break;
            }
            s.skipBlanks();
            const char* word = s.p;
            while (s.p < s.end && !isBlank(*s.p)) ++s.p;
            ok = s.p > word;
            if (ok) {
                // Bounded copy; the rest of a longer word is passed over.
                const std::size_t n = std::min<std::size_t>(s.p - word, target->capacity - 1);
                std::memcpy(target->buf, word, n);
                target->buf[n] = '\0';
            }
        } else {  // 'c': one byte, white space included
            auto* asInt = std::get_if<int*>(&a);
            auto* asString = std::get_if<ScanString>(&a);
            const bool validInt = asInt != nullptr && *asInt != nullptr;
            const bool validString =
                asString != nullptr && asString->buf != nullptr && asString->capacity >= 2;
            if (!validInt && !validString) {
                result = -1;
                break;
            }
            ok = s.p < s.end;
            if (ok) {
                const char c = *s.p++;
                if (validInt) {
                    **asInt = static_cast<unsigned char>(c);
                } else {
                    asString->buf[0] = c;
                    asString->buf[1] = '\0';
                }
            }
        }
        if (!ok) break;
        ++converted;
    }
    if (consumed != nullptr) *consumed = static_cast<std::size_t>(s.p - source);
    return result < 0 ? result : converted;
}

int scanText(const char* source, std::size_t length, const char* format,
             std::initializer_list<ScanArg> args) {
    return scanTextAt(source, length, nullptr, format, args);
}

std::size_t copyBounded(char* dest, std::size_t capacity, const std::string& text) {
    if (dest == nullptr || capacity == 0) return 0;
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
    return n;
}

}  // namespace rt
