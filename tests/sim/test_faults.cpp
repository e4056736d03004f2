// The fault plan of --fault and what each kind of fault puts on the line.
#include "fault_plan.h"
#include "options.h"
#include "responder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

using namespace tevran::sim;
using namespace std::chrono_literals;

namespace {

const std::string good = "u6 -50.00 700.0 1.500";

// Answer to the n-th measurement request (1-based) of a responder whose every request has the
// given fault.
Answer faulted(FaultKind kind, std::size_t n = 1, std::uint64_t seed = 1)
{
    Responder r(FixedReply{good}, ParameterStore(), 100ms, FaultPlan({{kind, 1}}), seed);
    Answer a;
    for (std::size_t i = 0; i < n; ++i)
        a = r.answer("u6");
    return a;
}

std::string joined(const Answer& a)
{
    std::string all;
    for (const Emission& e : a)
        all += e.bytes;
    return all;
}

} // namespace

TEST(FaultPlan, ParsesKindsAndPeriodsAndRejectsTheRest)
{
    EXPECT_EQ(parse_fault("silent"), (Fault{FaultKind::silent, 1}));
    EXPECT_EQ(parse_fault("wrong-first-byte:1"), (Fault{FaultKind::wrong_first_byte, 1}));
    EXPECT_EQ(parse_fault("long:7"), (Fault{FaultKind::long_reply, 7}));
    EXPECT_EQ(parse_fault("unplug:25"), (Fault{FaultKind::unplug, 25}));
    for (const FaultKind k : {FaultKind::silent, FaultKind::wrong_first_byte, FaultKind::garbage,
                              FaultKind::partial, FaultKind::long_reply, FaultKind::split,
                              FaultKind::nan, FaultKind::slow, FaultKind::unplug})
        EXPECT_EQ(parse_fault(fault_name(k)).kind, k) << fault_name(k);

    for (const char* bad : {"", "bogus", "Silent", "slow:", "slow:0", "slow:-1", "slow:x",
                            "slow:3:4", "slow: 3", ":3", "slow:99999999999999999999999"})
        EXPECT_THROW(parse_fault(bad), FaultError) << '"' << bad << '"';

    const Options o = parse_options({"--link", "x", "--fault", "garbage:3", "--fault=silent:2"});
    EXPECT_EQ(o.faults.faults(), (std::vector<Fault>{{FaultKind::garbage, 3}, {FaultKind::silent, 2}}));
    EXPECT_TRUE(parse_options({"--link", "x"}).faults.empty());
    EXPECT_THROW(parse_options({"--link", "x", "--fault", "lost"}), UsageError);
    EXPECT_THROW(parse_options({"--link", "x", "--fault"}), UsageError);
}

TEST(FaultPlan, FirstFaultWhosePeriodDividesTheRequestNumberApplies)
{
    const FaultPlan plan({{FaultKind::garbage, 3}, {FaultKind::silent, 2}});
    EXPECT_EQ(plan.fault_for(1), std::nullopt);
    EXPECT_EQ(plan.fault_for(2), FaultKind::silent);
    EXPECT_EQ(plan.fault_for(3), FaultKind::garbage);
    EXPECT_EQ(plan.fault_for(4), FaultKind::silent);
    EXPECT_EQ(plan.fault_for(5), std::nullopt);
    EXPECT_EQ(plan.fault_for(6), FaultKind::garbage);
    EXPECT_EQ(FaultPlan().fault_for(1), std::nullopt);

    // Only measurement requests count, and only they are disturbed.
    Responder r(FixedReply{good}, ParameterStore(), 0ms, FaultPlan({{FaultKind::silent, 2}}));
    EXPECT_EQ(r.answer("u6"), (Answer{{0ms, good + '\r'}}));
    EXPECT_EQ(r.answer("r0 "), (Answer{{0ms, "r0 1.500000\r"}}));
    EXPECT_TRUE(r.answer("u6").empty());
    EXPECT_EQ(r.answer("r0 "), (Answer{{0ms, "r0 1.500000\r"}}));
    EXPECT_EQ(r.answer("u6"), (Answer{{0ms, good + '\r'}}));
}

TEST(Faults, ShortAndWrongAnswers)
{
    EXPECT_TRUE(faulted(FaultKind::silent).empty());
    EXPECT_EQ(faulted(FaultKind::wrong_first_byte), (Answer{{100ms, "x6 -50.00 700.0 1.500\r"}}));

    // partial: a non-empty start of the answer that never ends.
    const Answer partial = faulted(FaultKind::partial);
    ASSERT_EQ(partial.size(), 1u);
    EXPECT_FALSE(partial[0].bytes.empty());
    EXPECT_EQ(good.compare(0, partial[0].bytes.size(), partial[0].bytes), 0);
    EXPECT_EQ(partial[0].bytes.find('\r'), std::string::npos);

    // A reply file's "-" line stays silent whatever the fault needs to change.
    Responder r(ReplyScript::parse("-\n"), ParameterStore(), 0ms,
                FaultPlan({{FaultKind::wrong_first_byte, 1}}));
    EXPECT_TRUE(r.answer("u6").empty());
}

TEST(Faults, GarbageIsSeededNeverLooksLikeAnAnswerAndEndsInItsOnlyCr)
{
    std::set<std::string> seen;
    for (std::size_t n = 1; n <= 300; ++n) {
        const Answer a = faulted(FaultKind::garbage, 1, n); // n as the seed: many draws
        ASSERT_EQ(a.size(), 1u);
        const std::string& b = a[0].bytes;
        ASSERT_GE(b.size(), 2u);
        ASSERT_LE(b.size(), 44u) << "the program must see the whole of it";
        EXPECT_EQ(b.find('\r'), b.size() - 1);
        EXPECT_NE(b[0], 'u');
        EXPECT_NE(b.find('\0'), std::string::npos);
        seen.insert(b);
    }
    EXPECT_GT(seen.size(), 290u);
    bool high = false;
    for (const std::string& b : seen)
        for (const char c : b)
            high = high || static_cast<unsigned char>(c) >= 0x80;
    EXPECT_TRUE(high);
    EXPECT_EQ(faulted(FaultKind::garbage, 2, 9), faulted(FaultKind::garbage, 2, 9));
    EXPECT_NE(faulted(FaultKind::garbage, 2, 9), faulted(FaultKind::garbage, 3, 9));
}

TEST(Faults, LongSplitAndSlowAnswersKeepTheGoodText)
{
    // long: more than the 44 bytes the program takes, its first 44 still carry the numbers.
    const Answer longer = faulted(FaultKind::long_reply);
    ASSERT_EQ(longer.size(), 1u);
    const std::string& l = longer[0].bytes;
    EXPECT_GT(l.size(), 45u);
    EXPECT_EQ(l.find('\r'), l.size() - 1);
    EXPECT_EQ(l.compare(0, good.size(), good), 0);
    double vz = 0, tz = 0, ie = 0;
    EXPECT_EQ(std::sscanf(l.substr(2, 42).c_str(), "%lf%lf%lf", &vz, &tz, &ie), 3);
    EXPECT_EQ(ie, 1.5);

    // split: pieces that make up the answer, in order, all within the 0.5 s time-out.
    const Answer split = faulted(FaultKind::split);
    ASSERT_GE(split.size(), 2u);
    EXPECT_EQ(joined(split), good + '\r');
    EXPECT_EQ(split.front().after, 100ms);
    for (std::size_t i = 1; i < split.size(); ++i) {
        EXPECT_GT(split[i].after, split[i - 1].after);
        EXPECT_FALSE(split[i].bytes.empty());
    }
    EXPECT_LT(split.back().after - split.front().after, 500ms);

    // slow: the whole answer, after the time-out.
    EXPECT_EQ(faulted(FaultKind::slow), (Answer{{100ms + slow_answer_after, good + '\r'}}));
    EXPECT_GT(slow_answer_after, 500ms);
}

TEST(Faults, NanAnswersCycleThroughUnreadableNumbers)
{
    std::set<std::string> forms;
    for (std::size_t n = 1; n <= 3; ++n) {
        const Answer a = faulted(FaultKind::nan, n);
        ASSERT_EQ(a.size(), 1u);
        const std::string& b = a[0].bytes;
        EXPECT_EQ(b.compare(0, 3, "u6 "), 0) << b;
        EXPECT_EQ(b.back(), '\r');
        EXPECT_TRUE(b.find("nan") != std::string::npos || b.find("inf") != std::string::npos ||
                    b.find("1e999") != std::string::npos)
            << b;
        forms.insert(b);
    }
    EXPECT_EQ(forms, (std::set<std::string>{"u6 nan inf 1e999\r", "u6 -50.00 -inf nan\r",
                                            "u6 -50.00 700.0 1e999\r"}));
    EXPECT_EQ(faulted(FaultKind::nan, 4), faulted(FaultKind::nan, 1));
}

TEST(Faults, UnplugSendsNothingAndTakesTheLineAway)
{
    const Answer a = faulted(FaultKind::unplug);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_TRUE(a[0].bytes.empty());
    EXPECT_EQ(a[0].unplug, unplug_duration);
    EXPECT_GT(unplug_duration, 500ms);
}
