// Value texts (messwert) and the idle/run appearance of the panels (faerben).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "display/display.h"
#include "program_fixture.h"

using namespace tevran_test;

namespace {
std::string text(int no) {
    messwert(no);
    return app.mw_buf;
}

std::string fixed(double v, int decimals, const char* unit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %10.*f %s", decimals, v, unit);
    return buf;
}
}  // namespace

TEST(Messwert, CurrentDecimalsFollowMagnitude) {
    app = AppState{};
    struct Case {
        double ie;
        int decimals;
    } cases[] = {{100.0, 1}, {99.99, 2},  {10.0, 2}, {9.5, 3},
                 {1.0, 3},   {0.9999, 4}, {0.0, 4},  {-0.5, 4}};
    for (const Case& c : cases) {
        app.mw[3] = c.ie;
        std::string t = text(3);
        EXPECT_EQ(t, fixed(c.ie, c.decimals, "mA  ")) << "Ie " << c.ie;
        EXPECT_EQ(t.size(), 16u) << "Ie " << c.ie;
    }
}

TEST(Messwert, CurrentDecimalsApplyOnlyToTheCurrent) {
    app = AppState{};
    app.mw[0] = 12.25;
    app.mw[1] = 700.04;
    app.mw[3] = 0.5;  // four decimals for Ie
    EXPECT_EQ(text(0), fixed(12.25, 1, "mV  "));
    EXPECT_EQ(text(1), fixed(700.04, 1,
                             "\xB0"
                             "C  "));
    EXPECT_EQ(text(3), fixed(0.5, 4, "mA  "));
    app.mw[3] = 250.0;  // one decimal for Ie, the others unchanged
    EXPECT_EQ(text(0), fixed(12.25, 1, "mV  "));
    EXPECT_EQ(text(3), fixed(250.0, 1, "mA  "));
}

TEST(Messwert, FifthSlotAndUnknownIndices) {
    app = AppState{};
    app.mw[3] = 0.5;
    EXPECT_EQ(text(4), std::string(" ") + "       0.0" + "     ");
    EXPECT_EQ(text(4).size(), 16u);
    EXPECT_EQ(text(5), " 0.0    ");
    EXPECT_EQ(text(-1), " 0.0    ");
    EXPECT_EQ(text(-1).size(), 8u);
}

TEST(Messwert, TemperatureCarriesDegreeByteAndOxygenIsExponential) {
    app = AppState{};
    app.mw[1] = 700.0;
    std::string tz = text(1);
    EXPECT_NE(tz.find("700.0 \xB0"
                      "C"),
              std::string::npos)
        << tz;
    EXPECT_EQ(tz.size(), 16u);

    app.mw[2] = 206400.0;
    EXPECT_EQ(text(2), "  2.064e+05 ppm ");
}

TEST(Messwert, ValueWiderThanItsFieldKeepsUnitAndFitsBuffer) {
    app = AppState{};
    struct Case {
        int no;
        double v;
        const char* unit;
    } cases[] = {{0, 1e9, "mV"},
                 {0, -1e300, "mV"},
                 {0, std::numeric_limits<double>::quiet_NaN(), "mV"},
                 {1, 1e12,
                  "\xB0"
                  "C"},
                 {2, 1e300, "ppm"},
                 {3, -1e300, "mA"},
                 {3, 1e15, "mA"}};
    for (const Case& c : cases) {
        app.mw[c.no] = c.v;
        std::string t = text(c.no);
        SCOPED_TRACE("index " + std::to_string(c.no) + " text \"" + t + "\"");
        EXPECT_LE(t.size(), 31u);
        EXPECT_NE(t.find(std::string(" ") + c.unit), std::string::npos);
        if (std::isfinite(c.v)) {
            // The text still reads back as the value, to the precision shown.
            double back = std::strtod(t.c_str(), nullptr);
            EXPECT_NEAR(back / c.v, 1.0, 1e-3);
        }
        app.mw[c.no] = 0.0;
    }
}

class Appearance : public ProgramTest {};

TEST_F(Appearance, RunAndIdleAreExactAndRepeatable) {
    start();
    rt::MenuBar* bar = rt::Model::instance().menuBar(app.m1);
    ASSERT_NE(bar, nullptr);
    auto check = [&](bool run) {
        SCOPED_TRACE(run ? "run" : "idle");
        EXPECT_EQ(ctrl(app.p1, MAIN_IDLE_ONLY).dimmed, run);
        EXPECT_EQ(ctrl(app.p1, MAIN_VALUE1).dimmed, !run);
        EXPECT_EQ(ctrl(app.p1, MAIN_VALUE2).dimmed, !run);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(ctrl(app.av, ALLVAL_VZ + k).dimmed, !run) << k;
        ASSERT_NE(bar->find(MENU_IDLE_ONLY), nullptr);
        EXPECT_EQ(bar->find(MENU_IDLE_ONLY)->dimmed, run);
        EXPECT_EQ(ctrl(app.p1, MAIN_IDLE_MARK).colour, run ? 0xA0A0A0 : 0x008000);
        EXPECT_EQ(ctrl(app.p1, MAIN_RUN_MARK).colour, run ? 0x800000 : 0xA0A0A0);
    };
    faerben(2);
    check(true);
    faerben(2);
    check(true);
    faerben(0);
    check(false);
    faerben(0);
    check(false);
    faerben(-1);
    check(true);
    EXPECT_EQ(popups, 0);
}

TEST(Readout, TimeAndValuesAsTheValueDisplayWritesThem) {
    struct Case {
        double t;
        int was0;
        double v1;
        int was1;
        double v2;
        const char* time;
        const char* first;
        const char* second;
    } cases[] = {
        {12, 0, -104.08, 2, 1435.2, "12 s", "-104.1 mV", "1.435e+03 ppm"},
        {12.5, 1, 700, 3, 0.01234, "12.5 s",
         "700.0 \xB0"
         "C",
         "0.0123 mA"},
        {3725.25, 0, -50, 7, 3, "3725.25 s (1:02:05)", "-50.0 mV", "0.0"},  // no such quantity
        {90061, 0, 1e12, 0, 0, "90061 s (25:01:01)", "1.000e+12 mV", "0.0 mV"},
        {3599.99, 3, 150, 3, 5, "3599.99 s", "150.0 mA", "5.000 mA"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> texts = readoutTexts(c.t, c.was0, c.v1, c.was1, c.v2);
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[0], c.time);
        EXPECT_EQ(texts[1], c.first);
        EXPECT_EQ(texts[2], c.second);
    }
}
