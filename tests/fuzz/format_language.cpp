// The format language: the program's scan formats over fuzzed text, fuzzed formats with fixed
// arguments and targets, and numbers formatted and scanned back.
//
// Byte 0 picks the part; the rest is its input.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "runtime/textfiles.h"

namespace {

const char* const kProgramScans[] = {
    "%s>%f%f%f",                // measurement reply
    "%s>%f",                    // parameter reply
    "%s>%d%f%d%d%f%f%f%f%d%d",  // settings file
    "%s>%f %f %f %f %f",        // data file line
};

// A double from 8 bytes; the caller gets false for NaN and infinities.
bool doubleFrom(const std::uint8_t* p, double& d) {
    std::memcpy(&d, p, sizeof d);
    return std::isfinite(d);
}

// The program's scans over fuzzed text.
void programScans(const char* text, std::size_t size, unsigned pick) {
    double v[10] = {};
    int iv[5] = {};
    const char* format = kProgramScans[pick % 4];
    int n = 0;
    std::size_t consumed = 0;
    switch (pick % 4) {
        case 0:
            n = rt::scanTextAt(text, size, &consumed, format, {&v[0], &v[1], &v[2]});
            break;
        case 1:
            n = rt::scanTextAt(text, size, &consumed, format, {&v[0]});
            break;
        case 2:
            n = rt::scanTextAt(
                text, size, &consumed, format,
                {&iv[0], &v[0], &iv[1], &iv[2], &v[1], &v[2], &v[3], &v[4], &iv[3], &iv[4]});
            break;
        default:
            n = rt::scanTextAt(text, size, &consumed, format, {&v[0], &v[1], &v[2], &v[3], &v[4]});
    }
    const int targets[4] = {3, 1, 10, 5};
    FUZZ_CHECK(n >= 0 && n <= targets[pick % 4]);
    FUZZ_CHECK(consumed <= size);
    for (double x : v) FUZZ_CHECK(std::isfinite(x));

    // One number: the same value and the same end as the C library's reading of it.
    if (pick % 4 == 1 && n == 1) {
        std::string copy(text, consumed);
        char* end = nullptr;
        const double c = std::strtod(copy.c_str(), &end);
        FUZZ_CHECK(end == copy.c_str() + copy.size());
        FUZZ_CHECK(std::memcmp(&c, &v[0], sizeof c) == 0);
    }
}

// A fuzzed format with a fixed set of arguments, and a fuzzed scan format with fixed targets.
void fuzzedFormats(const char* bytes, std::size_t size) {
    // Format first, up to the first NUL; the text to scan after it.
    const std::size_t split = strnlen(bytes, size);
    const std::string format(bytes, split);
    const char* text = split < size ? bytes + split + 1 : "";
    const std::size_t textSize = split < size ? size - split - 1 : 0;

    std::string out;
    const int used = rt::formatText(
        out, format.c_str(),
        {FmtArg(42), FmtArg(-7L), FmtArg(3.25), FmtArg(-1e300), FmtArg('x'), FmtArg("text"),
         FmtArg(1e-300), FmtArg(std::numeric_limits<double>::quiet_NaN()),
         FmtArg(static_cast<const char*>(nullptr)), FmtArg(13)});
    FUZZ_CHECK(used >= -1 && used <= 10);
    char small[16];
    std::memset(small, 'z', sizeof small);
    Fmt(small, format.c_str(), 42, 3.25, 'x', "text");
    FUZZ_CHECK(std::memchr(small, '\0', sizeof small) != nullptr);

    int i1 = 0, i2 = 0;
    double d1 = 0, d2 = 0;
    // Exactly as large as they claim, so that a write beyond them is caught.
    auto word = std::make_unique<char[]>(4);
    auto letter = std::make_unique<char[]>(2);
    std::size_t consumed = 0;
    const int n = rt::scanTextAt(
        text, textSize, &consumed, format.c_str(),
        {&i1, &d1, ScanString{word.get(), 4}, &i2, &d2, ScanString{letter.get(), 2}});
    FUZZ_CHECK(n >= -1 && n <= 6);
    FUZZ_CHECK(consumed <= textSize);
}

// Numbers out and back in.
void roundTrips(const std::uint8_t* p, std::size_t size) {
    if (size < 10) return;
    double d;
    if (!doubleFrom(p, d)) return;
    const int digits = p[8] % 21;
    const int width = p[9] % 40;

    // Exponential notation with 17 significant digits reads back to the very same double.
    char buf[1100];
    Fmt(buf, "%f[p16e1]", d);
    double back = 0;
    FUZZ_CHECK(Scan(buf, "%f", &back) == 1);
    FUZZ_CHECK(std::memcmp(&back, &d, sizeof d) == 0 || (d == 0 && back == 0));

    // Fixed point: within half a unit of the last digit written, the padding included.
    std::string format = "%f[p" + std::to_string(digits) + "w" + std::to_string(width) + "]";
    Fmt(buf, format.c_str(), d);
    FUZZ_CHECK(std::strlen(buf) >= static_cast<std::size_t>(width));
    FUZZ_CHECK(Scan(buf, "%f", &back) == 1);
    const double half = 0.5 * std::pow(10.0, -digits);
    FUZZ_CHECK(std::abs(back - d) <= half * (1 + 1e-9) + std::abs(d) * 4e-16);

    // At least the asked number of exponent digits, and no more than needed beyond that.
    const int expDigits = 1 + p[8] % 3;
    format = "%f[p3e" + std::to_string(expDigits) + "]";
    Fmt(buf, format.c_str(), d);
    const char* e = std::strchr(buf, 'e');
    FUZZ_CHECK(e != nullptr && (e[1] == '+' || e[1] == '-'));
    if (e != nullptr) {
        const std::size_t have = std::strlen(e + 2);
        FUZZ_CHECK(have >= static_cast<std::size_t>(expDigits));
        FUZZ_CHECK(have == static_cast<std::size_t>(expDigits) || e[2] != '0');
    }

    int k;
    std::memcpy(&k, p, sizeof k);
    Fmt(buf, "%d[w12]", k);
    int kb = 0;
    FUZZ_CHECK(Scan(buf, "%d", &kb) == 1 && kb == k);
}

}  // namespace

int fuzzFormatLanguage(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned pick = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    switch (pick % 3) {
        case 0:
            programScans(text, size - 1, pick / 3);
            break;
        case 1:
            fuzzedFormats(text, size - 1);
            break;
        default:
            roundTrips(data + 1, size - 1);
            break;
    }
    return 0;
}
