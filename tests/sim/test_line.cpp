// The line side: request framing, output scheduling and pacing, command line.
#include "options.h"
#include "request_reader.h"
#include "transmitter.h"

#include <gtest/gtest.h>

using namespace tevran::sim;
using namespace std::chrono_literals;
using Requests = std::vector<std::string>;

TEST(RequestReader, SplitsAtCrAcrossReadsDroppingLfAndEmptyRequests)
{
    RequestReader r;
    EXPECT_EQ(r.feed("u"), Requests{});
    EXPECT_EQ(r.feed("6"), Requests{});
    EXPECT_EQ(r.feed("\r"), Requests{"u6"});
    EXPECT_EQ(r.feed("r0 \rR2 12.5\r\n\r\r\nR!R!\r"), (Requests{"r0 ", "R2 12.5", "R!R!"}));
    EXPECT_EQ(r.feed("\nu\n6\n\r"), Requests{"u6"});
    EXPECT_EQ(r.feed(std::string("a\0b\r", 4)), Requests{std::string("a\0b", 3)});
}

TEST(RequestReader, DiscardsAnOverlongRequestUpToItsCr)
{
    RequestReader r(8);
    EXPECT_EQ(r.feed("12345678"), Requests{});
    EXPECT_EQ(r.feed("9 more noise"), Requests{});
    EXPECT_EQ(r.feed("\ru6\r"), Requests{"u6"});
    EXPECT_EQ(r.discarded(), 1u);
    EXPECT_EQ(r.feed("12345678\r"), Requests{"12345678"}); // exactly the limit is fine
}

namespace {

const Clock::time_point t0 = Clock::time_point{} + 1h;

// Drains everything sendable at `now`, as the serving loop does.
std::string take(Transmitter& tx, Clock::time_point now)
{
    std::string out;
    for (std::string_view s; !(s = tx.sendable(now)).empty();) {
        out.append(s);
        tx.sent(s.size(), now);
    }
    return out;
}

} // namespace

TEST(Transmitter, HoldsOutputUntilDueAndKeepsDueOrder)
{
    Transmitter tx;
    tx.schedule(t0 + 100ms, "late\r");
    tx.schedule(t0 + 10ms, "early\r");
    tx.schedule(t0 + 100ms, "late2\r"); // same due time: after "late"
    EXPECT_EQ(tx.next_due(), t0 + 10ms);
    EXPECT_EQ(take(tx, t0 + 9ms), "");
    EXPECT_EQ(take(tx, t0 + 10ms), "early\r");
    EXPECT_EQ(tx.next_due(), t0 + 100ms);
    EXPECT_EQ(take(tx, t0 + 200ms), "late\rlate2\r");
    EXPECT_TRUE(tx.idle());
    EXPECT_EQ(tx.next_due(), std::nullopt);
}

TEST(Transmitter, PartialWritesKeepTheRest)
{
    Transmitter tx;
    tx.schedule(t0, "abcdef");
    EXPECT_EQ(tx.sendable(t0), "abcdef");
    tx.sent(2, t0);
    EXPECT_EQ(tx.sendable(t0), "cdef");
    EXPECT_LE(*tx.next_due(), t0); // still something to write now
}

TEST(Transmitter, PacedLineReleasesOneBytePerByteTime)
{
    const auto byte = byte_time_9600;
    const double byte_ms = std::chrono::duration<double, std::milli>(byte).count();
    EXPECT_NEAR(byte_ms, 1.0417, 0.001);

    Transmitter tx(byte);
    tx.schedule(t0, "abc\r");
    EXPECT_EQ(take(tx, t0), "a");
    EXPECT_EQ(tx.next_due(), t0 + byte);
    EXPECT_EQ(take(tx, t0 + byte - 1ns), "");
    // Waking a little late must not stretch the reply: cadence stays exact.
    EXPECT_EQ(take(tx, t0 + byte + 300us), "b");
    EXPECT_EQ(tx.next_due(), t0 + 2 * byte);
    EXPECT_EQ(take(tx, t0 + 2 * byte), "c");
    EXPECT_EQ(take(tx, t0 + 3 * byte), "\r");
    EXPECT_TRUE(tx.idle());

    // After an idle pause the next reply starts at once, then paces again.
    const auto later = t0 + 1s;
    tx.schedule(later, "xy");
    EXPECT_EQ(take(tx, later), "x");
    EXPECT_EQ(take(tx, later + byte / 2), "");
    EXPECT_EQ(take(tx, later + byte), "y");
}

namespace {

Options parse(std::initializer_list<std::string_view> args)
{
    return parse_options(std::vector<std::string_view>(args));
}

} // namespace

TEST(Options, ParsesValuesInBothForms)
{
    const Options o = parse({"--link", "/tmp/COM1", "--seed=42", "--fixed", R"(u6 1\x41)", "--params",
                             "1,2,3.5,4e2,-5", "--log", "/tmp/l", "--delay=250", "--line-speed"});
    EXPECT_EQ(o.link, "/tmp/COM1");
    EXPECT_EQ(o.seed, 42u);
    EXPECT_EQ(o.fixed, "u6 1A");
    EXPECT_EQ(o.params, (ParameterStore::Values{1, 2, 3.5, 400, -5}));
    EXPECT_EQ(o.log, "/tmp/l");
    EXPECT_EQ(o.delay, 250ms);
    EXPECT_TRUE(o.line_speed);
    EXPECT_FALSE(o.verbose);
    EXPECT_EQ(parse({"--link", "x"}).params, ParameterStore::defaults());
}

TEST(Options, RejectsBadCommandLines)
{
    const std::vector<std::vector<std::string_view>> bad = {
        {},
        {"--seed", "3"},
        {"--link"},
        {"--link", ""},
        {"--link", "x", "--params", "1,2,3,4"},
        {"--link", "x", "--params", "1,2,3,4,5,6"},
        {"--link", "x", "--params", "1,2,,4,5"},
        {"--link", "x", "--params", "1,2,3,4,5x"},
        {"--link", "x", "--delay", "-5"},
        {"--link", "x", "--seed", "abc"},
        {"--link", "x", "--fixed", R"(\q)"},
        {"--link", "x", "--fixed", "a", "--replies", "f"},
        {"--link", "x", "--line-speed=1"},
        {"--link", "x", "--frobnicate"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(parse_options(args), UsageError) << ::testing::PrintToString(args);
}
