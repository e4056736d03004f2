// The format language: Fmt's number texts (which other tools read byte for byte), its errors,
// and Scan's conversions and stopping rules, also under a comma locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale>
#include <memory>
#include <random>
#include <string>

#include "runtime/textfiles.h"

namespace {

std::string fmt(const char* format, std::initializer_list<FmtArg> args) {
    std::string out;
    rt::formatText(out, format, args);
    return out;
}

TEST(Format, NumberTexts) {
    struct Case {
        const char* format;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"%f[p2e1]", 206400, "2.06e+5"},
        {"%f[p2e1]", 3.94e-16, "3.94e-16"},
        {"%f[p2e1]", 0, "0.00e+0"},
        {"%f[p2e1]", -1234.5, "-1.23e+3"},
        {"%f[p3e1]", 0.05, "5.000e-2"},
        {"%f[p3e1]", 1.234, "1.234e+0"},
        {"%f[e2p3w10]", 206400, " 2.064e+05"},
        {"%f[w10e2p3]", 206400, " 2.064e+05"},
        {"%f[p1w10]", 600, "     600.0"},
        {"%f", 1.0, "1.000000"},
        {"%f[p1]", -850.25, "-850.2"},  // exact tie: even digit, as printf
        {"%f[p4w10]", 3.14159265, "    3.1416"},
        {"%f[p0]", 2.5, "2"},
        {"%f[p2w3]", 12345.678, "12345.68"},  // wider than w: written in full
        // The exponent is rewritten to its minimum width, never shortened below it.
        {"%f[p2e1]", 1e100, "1.00e+100"},
        {"%f[p2e1]", 9.999e9, "1.00e+10"},
        {"%f[p2e3]", 206400, "2.06e+005"},
        {"%f[p0e1]", 206400, "2e+5"},
        {"%f[p2e1]", 1e-300, "1.00e-300"},
        {"%f[p3e1]", 9.9995, "9.999e+0"},  // 9.9995 is just below the tie in binary
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fmt(c.format, {c.value}), c.expected) << c.format << " of " << c.value;
    }
}

// Rounding is printf's for every value, in fixed and exponential notation.
TEST(Format, RoundingMatchesPrintf) {
    std::mt19937_64 gen(1234);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    char expected[512];
    for (int i = 0; i < 20000; ++i) {
        double v = mantissa(gen) * std::pow(10.0, exponent(gen));
        // Values on exact decimal ties, where rounding modes differ.
        if (i % 4 == 0) v = std::round(v * 8) / 8;
        const int p = i % 9;
        std::string format = "%f[p" + std::to_string(p) + "]";
        std::snprintf(expected, sizeof expected, "%.*f", p, v);
        ASSERT_EQ(fmt(format.c_str(), {v}), expected) << v;

        format = "%f[p" + std::to_string(p) + "e2]";
        std::snprintf(expected, sizeof expected, "%.*e", p, v);
        ASSERT_EQ(fmt(format.c_str(), {v}), expected) << v;
    }
}

TEST(Format, OtherConversionsAndText) {
    EXPECT_EQ(fmt("%d|%i|%d", {42, 7L, -3.9}), "42|7|-3");
    EXPECT_EQ(fmt("%d[w5]|%i[w1]", {42, -1234}), "   42|-1234");
    EXPECT_EQ(fmt("%f[p2]", {3}), "3.00");  // an int given to %f
    EXPECT_EQ(fmt("%c", {13}), "\r");
    EXPECT_EQ(fmt("%c%c", {'A', 10}), "A\n");
    EXPECT_EQ(fmt("[%s][%s][%s[w4]]", {"ab", static_cast<const char*>(nullptr), "x"}),
              "[ab][][   x]");
    EXPECT_EQ(fmt("%s<T=%d%%", {5}), "T=5%");
    EXPECT_EQ(fmt("plain < text", {}), "plain < text");
    EXPECT_EQ(fmt("%d %s", {1, "x%dy"}), "1 x%dy");  // string arguments are not formats

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fmt("%f[w5]|%f|%f[p2e1w6]", {nan, inf, -inf}), "  NaN|Inf|  -Inf");
    EXPECT_EQ(fmt("%d", {nan}), "0");

    std::string out;
    EXPECT_EQ(rt::formatText(out, "%d %f", {1, 2.0, 3}), 2);  // arguments used, not given
    EXPECT_EQ(rt::formatText(out, "no conversions", {}), 0);
}

TEST(Format, MalformedFormatsReturnNegative) {
    std::string out;
    // A missing argument stops formatting; the text so far is kept.
    EXPECT_EQ(rt::formatText(out, "a=%d b=%d c", {1}), -1);
    EXPECT_EQ(out, "a=1 b=");
    const char* bad[] = {"%x", "%", "%f[p]", "%f[q2]", "%f[p2", "%f[p2 w3]", "%f[p99999]"};
    for (const char* f : bad) EXPECT_LT(rt::formatText(out, f, {1.0}), 0) << f;
    // An argument of the wrong kind.
    EXPECT_LT(rt::formatText(out, "%s", {5}), 0);
    EXPECT_LT(rt::formatText(out, "%d", {"5"}), 0);
    EXPECT_LT(rt::formatText(out, nullptr, {}), 0);

    char small[6];
    EXPECT_EQ(Fmt(small, "%d", 1), 1);
    EXPECT_EQ(Fmt(small, "%d", 1234567890), 1);
    EXPECT_STREQ(small, "12345");
    EXPECT_EQ(Fmt(small, "%d %d", 1), -1);
    EXPECT_STREQ(small, "1 ");
}

TEST(Format, CopyBounded) {
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(rt::copyBounded(buf, sizeof buf, "abcdef"), 3u);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(rt::copyBounded(buf, sizeof buf, "a"), 1u);
    EXPECT_STREQ(buf, "a");
    EXPECT_EQ(rt::copyBounded(buf, 1, "abc"), 0u);
    EXPECT_EQ(buf[0], '\0');
    buf[0] = 'q';
    EXPECT_EQ(rt::copyBounded(buf, 0, "abc"), 0u);
    EXPECT_EQ(buf[0], 'q');
}

TEST(Scan, NumbersFromAnOffset) {
    const char* line = "u6 -52.31 700.2 0.123";
    double a = 0, b = 0, c = 0;
    EXPECT_EQ(Scan(line + 2, "%f%f%f", &a, &b, &c), 3);
    EXPECT_DOUBLE_EQ(a, -52.31);
    EXPECT_DOUBLE_EQ(b, 700.2);
    EXPECT_DOUBLE_EQ(c, 0.123);

    // Fewer numbers than targets: later targets keep their values.
    a = b = c = -1;
    EXPECT_EQ(Scan(" 4.5 x 7", "%f%f%f", &a, &b, &c), 1);
    EXPECT_DOUBLE_EQ(a, 4.5);
    EXPECT_DOUBLE_EQ(b, -1);
    EXPECT_DOUBLE_EQ(c, -1);

    // Not numbers, or out of the range of double: not converted, target untouched.
    for (const char* text : {"1e999", "-1e999", "nan", "inf", "abc", "-", ".", "+ 1", ""}) {
        double v = 99;
        EXPECT_EQ(Scan(text, "%f", &v), 0) << text;
        EXPECT_EQ(v, 99) << text;
    }
    double v = 0;
    char rest[8] = "";
    EXPECT_EQ(Scan("+2.5E+2x", "%f%s", &v, rest), 2);
    EXPECT_DOUBLE_EQ(v, 250);
    EXPECT_STREQ(rest, "x");
    EXPECT_EQ(Scan("2e+x", "%f%s", &v, rest), 2);  // 'e' without digits is not part of it
    EXPECT_DOUBLE_EQ(v, 2);
    EXPECT_STREQ(rest, "e+x");
    EXPECT_EQ(Scan("5. .5", "%f%f", &a, &b), 2);
    EXPECT_DOUBLE_EQ(a, 5);
    EXPECT_DOUBLE_EQ(b, 0.5);
    EXPECT_EQ(Scan("0x1p3", "%f%s", &v, rest), 2);  // no hexadecimal: 0, then "x1p3"
    EXPECT_EQ(v, 0);
    EXPECT_STREQ(rest, "x1p3");
}

TEST(Scan, Integers) {
    int i = 0, j = 0;
    double d = 0;
    EXPECT_EQ(Scan("1.5", "%d%f", &i, &d), 2);  // %d stops at the point
    EXPECT_EQ(i, 1);
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_EQ(Scan(" +7 -2147483648", "%d%i", &i, &j), 2);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(j, -2147483648);
    i = 5;
    EXPECT_EQ(Scan("2147483648", "%d", &i), 0);
    EXPECT_EQ(Scan("-2147483649", "%d", &i), 0);
    EXPECT_EQ(Scan("99999999999999999999999", "%d", &i), 0);
    EXPECT_EQ(Scan("x1", "%d", &i), 0);
    EXPECT_EQ(i, 5);
}

TEST(Scan, LinesOfTheProgram) {
    const char* ini = " 1 1.000000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n";
    int a = -1, b = -1, c = -1, d = -1, e = -1;
    double f1 = -1, f2 = -1, f3 = -1, f4 = -1, f5 = -1;
    EXPECT_EQ(Scan(ini, "%s>%d%f%d%d%f%f%f%f%d%d", &a, &f1, &b, &c, &f2, &f3, &f4, &f5, &d, &e),
              10);
    EXPECT_EQ(a, 1);
    EXPECT_DOUBLE_EQ(f1, 1.0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 1);
    EXPECT_DOUBLE_EQ(f3, 10.0);
    EXPECT_DOUBLE_EQ(f5, 10.0);
    EXPECT_EQ(e, 0);

    const char* data = "12.0\t0.0\t0.0\t0.00e+0\t0.000e+0";
    EXPECT_EQ(Scan(data, "%f %f %f %f %f", &f1, &f2, &f3, &f4, &f5), 5);
    EXPECT_DOUBLE_EQ(f1, 12.0);
    EXPECT_DOUBLE_EQ(f5, 0.0);

    // What Fmt writes, Scan reads back.
    char text[64];
    Fmt(text, "%f[p3e1] %f[p2e1]", 206400.0, 3.94e-16);
    EXPECT_EQ(Scan(text, "%f%f", &f1, &f2), 2);
    EXPECT_DOUBLE_EQ(f1, 206400.0);
    EXPECT_DOUBLE_EQ(f2, 3.94e-16);
}

TEST(Scan, LiteralsBlanksWordsAndCharacters) {
    int i = 0, j = 0;
    EXPECT_EQ(Scan("1,2", "%d,%d", &i, &j), 2);
    j = 0;
    EXPECT_EQ(Scan("1;2", "%d,%d", &i, &j), 1);
    EXPECT_EQ(j, 0);
    EXPECT_EQ(Scan("3\t\r\n 4", "%d %d", &i, &j), 2);
    EXPECT_EQ(j, 4);
    EXPECT_EQ(Scan("5x", "%d x", &i), 1);  // a blank also matches no white space
    EXPECT_EQ(Scan("T=9%", "T=%d%%", &i), 1);
    EXPECT_EQ(i, 9);

    char word[4] = "old";
    EXPECT_EQ(Scan("  abcdefgh 5", "%s%d", word, &i), 2);  // a long word is cut, rest passed over
    EXPECT_STREQ(word, "abc");
    EXPECT_EQ(i, 5);
    std::strcpy(word, "old");
    EXPECT_EQ(Scan("   ", "%s", word), 0);
    EXPECT_STREQ(word, "old");

    int c = 0;
    char one[2] = "";
    EXPECT_EQ(Scan("5 x", "%d%c%c", &i, &c, one), 3);  // %c does not skip white space
    EXPECT_EQ(c, ' ');
    EXPECT_STREQ(one, "x");

    // A malformed format or target list is an error, not a count.
    double d = 0;
    EXPECT_EQ(Scan("1 2", "%d%d", &i), -1);
    EXPECT_EQ(Scan("1", "%q", &i), -1);
    EXPECT_EQ(Scan("1", "%f", &i), -1);
    EXPECT_EQ(Scan("1", "%d", &d), -1);
}

// The source is bounded by its length alone; it need not be terminated inside it.
TEST(Scan, NeverReadsBeyondLength) {
    const char digits[] = {'1', '2', '3', '4', '5'};
    auto heap = std::make_unique<char[]>(sizeof digits);  // no terminator after it
    std::memcpy(heap.get(), digits, sizeof digits);
    int i = 0, j = -1;
    EXPECT_EQ(rt::scanText(heap.get(), 3, "%d%d", {&i, &j}), 1);
    EXPECT_EQ(i, 123);
    EXPECT_EQ(j, -1);
    double d = 0;
    EXPECT_EQ(rt::scanText(heap.get(), 5, "%f", {&d}), 1);
    EXPECT_DOUBLE_EQ(d, 12345);
    EXPECT_EQ(rt::scanText(heap.get(), 0, "%d", {&i}), 0);

    const char exp[] = {'1', 'e'};  // an exponent cut off by the length
    auto heap2 = std::make_unique<char[]>(sizeof exp);
    std::memcpy(heap2.get(), exp, sizeof exp);
    char word[8] = "";
    EXPECT_EQ(rt::scanText(heap2.get(), 2, "%f%s", {&d, ScanString{word, sizeof word}}), 2);
    EXPECT_DOUBLE_EQ(d, 1);
    EXPECT_STREQ(word, "e");

    std::size_t consumed = 0;
    EXPECT_EQ(rt::scanTextAt("12 34 x", 7, &consumed, "%d%d", {&i, &j}), 2);
    EXPECT_EQ(consumed, 5u);
}

// A comma decimal separator.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

void expectPointTexts() {
    EXPECT_EQ(fmt("%f[p2]|%f[p2e1]", {1.5, 206400.0}), "1.50|2.06e+5");
    double d = 0, e = 0;
    EXPECT_EQ(Scan("2.75 1,5", "%f%f", &d, &e), 2);
    EXPECT_DOUBLE_EQ(d, 2.75);
    EXPECT_DOUBLE_EQ(e, 1.0);  // the comma is not part of a number
}

TEST(Format, PointUnderACommaLocale) {
    const std::locale oldGlobal =
        std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    expectPointTexts();
    std::locale::global(oldGlobal);

    const std::string oldC = std::setlocale(LC_NUMERIC, nullptr);
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
    const char* found = nullptr;
    for (const char* n : names) {
        if (std::setlocale(LC_NUMERIC, n) != nullptr) {
            found = n;
            break;
        }
    }
    if (found == nullptr) GTEST_SKIP() << "no comma locale installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5") << found;  // the locale is really in effect
    expectPointTexts();
    std::setlocale(LC_NUMERIC, oldC.c_str());
}

}  // namespace
