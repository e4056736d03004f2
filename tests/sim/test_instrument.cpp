// What the instrument answers: parameters, measurements, the cell model.
#include "cell_model.h"
#include "parameters.h"
#include "responder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace tevran::sim;
using namespace std::chrono_literals;

TEST(Parameters, ReadWriteAndAcknowledge)
{
    ParameterStore p({1.5, 20, 0.25, 650, 0.8});
    EXPECT_EQ(p.answer("r0 "), "r0 1.500000");
    EXPECT_EQ(p.answer("r3 "), "r3 650.000000");
    EXPECT_EQ(p.answer("r4 "), "r4 0.800000");

    EXPECT_EQ(p.answer("R2 12.5"), "R2 12.500000");
    EXPECT_EQ(p.answer("r2 "), "r2 12.500000");
    EXPECT_EQ(p.answer("R1 -3e-2"), "R1 -0.030000");
    EXPECT_EQ(p.answer("R0 7junk"), "R0 7.000000"); // strtod stops at the junk
    EXPECT_EQ(p.answer("R4 1e20"), "R4 100000000000000000000.000000");
    EXPECT_EQ(p.answer("r4 "), "r4 100000000000000000000.000000");

    EXPECT_EQ(p.answer("R!R!"), "R!R!");
    // Other parameters are untouched by the writes above.
    EXPECT_EQ(p.value(3), 650.0);
}

TEST(Parameters, IgnoresAnythingElse)
{
    ParameterStore p;
    for (const char* request : {"r5 ", "R5 1", "r2", "r2  ", "r2x", "rA ", "x2 ", "R2", "R!R", "R!R!x", "u7", ""})
        EXPECT_EQ(p.answer(request), std::nullopt) << '"' << request << '"';
    EXPECT_EQ(p.value(2), ParameterStore::defaults()[2]);
}

TEST(Responder, AnswersEndInCrAndCarryTheDelay)
{
    Responder r(FixedReply{"u6 -52.31 700.2 0.123"}, ParameterStore(), 250ms);
    EXPECT_EQ(r.answer("u6"), (Answer{{250ms, "u6 -52.31 700.2 0.123\r"}}));
    EXPECT_EQ(r.answer("r0 "), (Answer{{250ms, "r0 1.500000\r"}}));
    EXPECT_EQ(r.answer("R!R!"), (Answer{{250ms, "R!R!\r"}}));
    EXPECT_TRUE(r.answer("u66").empty());
    EXPECT_TRUE(r.answer("U6").empty());
}

TEST(Responder, OnlyMeasurementRequestsAdvanceTheReplyFile)
{
    Responder r(ReplyScript::parse("one\n-\nthree\n"), ParameterStore());
    EXPECT_EQ(r.answer("u6"), (Answer{{0ms, "one\r"}}));
    EXPECT_FALSE(r.answer("r1 ").empty());
    EXPECT_TRUE(r.answer("junk").empty());
    EXPECT_TRUE(r.answer("u6").empty()); // the "-" line
    EXPECT_EQ(r.answer("u6"), (Answer{{0ms, "three\r"}}));
    EXPECT_TRUE(r.answer("u6").empty()); // past the end: silent for good
    EXPECT_TRUE(r.answer("u6").empty());
    EXPECT_EQ(r.measurement_requests(), 5u);
    EXPECT_FALSE(r.answer("r1 ").empty()); // parameters still answer
}

namespace {

struct Parsed {
    double vz, tz, ie;
};

// Reads a measurement answer (with its CR) back the way the program would.
Parsed parse_measurement(const std::string& text)
{
    Parsed p{};
    char end = 0;
    EXPECT_EQ(std::sscanf(text.c_str(), "u6 %lf %lf %lf%c", &p.vz, &p.tz, &p.ie, &end), 4) << text;
    EXPECT_EQ(end, '\r') << text;
    return p;
}

std::vector<std::string> measurements(std::uint64_t seed, int n)
{
    Responder r{CellModel(seed), ParameterStore()};
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        const Answer a = r.answer("u6");
        EXPECT_EQ(a.size(), 1u);
        out.push_back(a.empty() ? "" : a[0].bytes);
    }
    return out;
}

} // namespace

TEST(CellModel, SameSeedSameSequenceOtherSeedOtherSequence)
{
    const auto a = measurements(1, 200);
    EXPECT_EQ(a, measurements(1, 200));
    EXPECT_NE(a, measurements(2, 200));
    EXPECT_NE(a[0], a[1]);
}

TEST(CellModel, AnswerHasTheInstrumentsLayout)
{
    const std::string text = format_measurement({-52.314, 700.25, 0.1234});
    EXPECT_EQ(text, "u6 -52.31 700.2 0.123");
    for (const std::string& answer : measurements(7, 50)) {
        ASSERT_EQ(answer.back(), '\r');
        ASSERT_EQ(answer.find_first_not_of("u6 -.0123456789\r"), std::string::npos) << answer;
        ASSERT_EQ(std::count(answer.begin(), answer.end(), ' '), 3) << answer;
    }
}

TEST(CellModel, ValuesArePlausibleAndWanderSlowly)
{
    for (const std::uint64_t seed : {1u, 2u, 12345u}) {
        double lo = 1e300, hi = 0, prev = -1, biggest_step = 0;
        for (const std::string& answer : measurements(seed, 20000)) {
            const Parsed m = parse_measurement(answer);
            ASSERT_GE(m.tz, 690.0);
            ASSERT_LE(m.tz, 710.0);
            ASSERT_GE(m.ie, 0.05);
            ASSERT_LE(m.ie, 2.0);
            const double ppm = oxygen_ppm(m.vz, m.tz);
            ASSERT_GE(ppm, 1e3) << answer;
            ASSERT_LE(ppm, 2e5) << answer;
            lo = std::min(lo, ppm);
            hi = std::max(hi, ppm);
            if (prev > 0)
                biggest_step = std::max(biggest_step, std::abs(std::log(ppm / prev)));
            prev = ppm;
        }
        EXPECT_GT(hi / lo, 10.0) << "seed " << seed << ": oxygen level hardly moves";
        EXPECT_LT(biggest_step, 0.1) << "seed " << seed << ": oxygen level jumps";
    }
}

TEST(CellModel, VoltageAndOxygenLevelAreInverse)
{
    EXPECT_NEAR(cell_voltage_mv(206400, 700), 0.0, 1e-12);
    EXPECT_NEAR(cell_voltage_mv(20640, 726.9), -std::log(10.0) * 1000 / 46.42, 1e-9);
    EXPECT_NEAR(oxygen_ppm(cell_voltage_mv(1234.5, 701.3), 701.3), 1234.5, 1e-6);
}
