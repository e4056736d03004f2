// The strip chart: the sliding window of plotten, the x range that moves in steps, plots that
// share their points, and the chart-settings controls (skaliere, scaleSC).
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "runtime/graph.h"
#include "runtime/panels.h"

using namespace tevran_test;

namespace {
// y of sample k (1-based) on trace 1 and trace 2: unique, so a drawn point names its sample.
double v1(int k) { return 1000.0 + k; }
double v2(int k) { return -k; }
}  // namespace

class Chart : public ProgramTest {
  protected:
    // Start-up, then Run without a port: the chart is reset as for every run.
    void startRun(double interval = 1.0) {
        start();
        app.abtast = interval;
        fe.messageAnswers = 0;
        m_run(app.p1, MAIN_RUN, EVENT_COMMIT, nullptr, 0, 0);
        ASSERT_EQ(app.mpoint, 0);
    }

    // Poll k of the run, taken at k intervals: trace 1 shows Vz, trace 2 shows Tz.
    void poll(int k) {
        app.mzeit = k * app.abtast;
        app.mw[0] = v1(k);
        app.mw[1] = v2(k);
        plotten();
    }

    std::size_t plots() { return chart().plots.size(); }
    const rt::Plot& lastPlot(int yAxis) {
        const auto& ps = chart().plots;
        for (auto it = ps.rbegin(); it != ps.rend(); ++it)
            if (it->yAxis == yAxis) return *it;
        static rt::Plot none;
        ADD_FAILURE() << "no plot on axis " << yAxis;
        return none;
    }
    void expectRange(int lo, int hi) {
        EXPECT_EQ(app.xmin, lo);
        EXPECT_EQ(app.xmax, hi);
        EXPECT_EQ(chart().axis[0].mode, VAL_MANUAL);
        EXPECT_EQ(chart().axis[0].min, lo);
        EXPECT_EQ(chart().axis[0].max, hi);
    }
};

TEST_F(Chart, WindowFillsThenSlidesWithoutTheNinehundredthSample) {
    startRun();
    for (int k = 1; k <= 3; ++k) {
        poll(k);
        EXPECT_EQ(plots(), 0u) << "poll " << k;
    }
    poll(4);
    ASSERT_EQ(plots(), 2u);
    for (int axis : {1, 2}) {
        const rt::Plot& p = lastPlot(axis);
        ASSERT_EQ(p.count, 3u);
        EXPECT_EQ(px(p, 0), 1.0);
        EXPECT_EQ(px(p, 2), 3.0);
        EXPECT_EQ(py(p, 2), axis == 1 ? v1(3) : v2(3));
        EXPECT_EQ(p.colour, axis == 1 ? 0x0000FF : 0xFF0000);
    }

    for (int k = 5; k <= 900; ++k) poll(k);
    EXPECT_EQ(lastPlot(1).count, 899u);
    EXPECT_EQ(py(lastPlot(1), 898), v1(899));
    EXPECT_EQ(app.g1wert[899], v1(900));  // stored, not drawn
    EXPECT_EQ(app.xsec[899], 900);
    EXPECT_EQ(app.mpoint, 900);

    for (int k = 901; k <= 1000; ++k) {
        poll(k);
        ASSERT_EQ(app.mpoint, 900);
        for (int axis : {1, 2}) {
            const rt::Plot& p = lastPlot(axis);
            ASSERT_EQ(p.count, 899u) << "poll " << k;
            EXPECT_EQ(px(p, 898), k);
            EXPECT_EQ(py(p, 898), axis == 1 ? v1(k) : v2(k));
            // The oldest sample is k - 899: sample 1 left at the 901st poll.
            EXPECT_EQ(px(p, 0), k - 899) << "poll " << k;
            // Sample 900 is in no plot.
            for (std::size_t i = 0; i < p.count; ++i) ASSERT_NE(px(p, i), 900.0) << "poll " << k;
        }
    }
}

TEST_F(Chart, RangeAdvancesInStepsAndFollowsTheOldestSample) {
    startRun();
    for (int k = 1; k <= 100; ++k) poll(k);
    expectRange(0, 100);          // 100 s elapsed is not past 100
    EXPECT_EQ(plots(), 2u * 97);  // one more plot per trace each poll, none deleted

    poll(101);
    expectRange(1, 110);  // 110 - 899 + 1 lies before the oldest sample, at 1 s
    EXPECT_EQ(plots(), 2u);
    for (int k = 102; k <= 110; ++k) poll(k);
    expectRange(1, 110);
    EXPECT_EQ(plots(), 20u);
    poll(111);
    expectRange(1, 120);

    for (int k = 112; k <= 890; ++k) poll(k);
    expectRange(1, 890);  // moved at 881 s: 890 - 898 lies before the oldest sample
    for (int k = 891; k <= 900; ++k) poll(k);
    expectRange(2, 900);  // moved at 891 s: 900 - 898 = 2 is later than the oldest sample
    for (int k = 901; k <= 1000; ++k) poll(k);
    expectRange(102, 1000);  // moved at 991 s, when the oldest sample was at 92 s
    poll(1001);
    expectRange(112, 1010);

    // The step follows the interval committed during the run from the next move on; samples
    // already taken keep their x values.
    ctrl(app.p1, MAIN_INTERVAL).doubleValue = 2.0;
    skaliere(app.p1, MAIN_INTERVAL, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(ctrl(app.p1, MAIN_TIMER).interval, 2.0);
    app.mzeit = 1011.0;
    app.mw[0] = v1(1002);
    plotten();
    expectRange(103, 1030);  // 1030 - 1798 + 1 lies before the oldest sample, at 103 s
    EXPECT_EQ(app.xsec[897], 1001);
    EXPECT_EQ(app.xsec[898], 1011);
}

TEST_F(Chart, ShortIntervalStacksPlotsOnSharedPointsThenSlidesBySeconds) {
    startRun(0.0625);
    for (int k = 1; k <= 1599; ++k) poll(k);
    expectRange(0, 100);
    ASSERT_EQ(plots(), 3192u);

    // Every plot of a trace points into one buffer; no copy per poll.
    std::set<const rt::PointBuffer*> buffers[3];
    std::size_t drawn = 0;
    for (const rt::Plot& p : chart().plots) {
        buffers[p.yAxis].insert(p.points.get());
        drawn += p.count;
    }
    EXPECT_EQ(buffers[1].size(), 1u);
    EXPECT_EQ(buffers[2].size(), 1u);
    EXPECT_GT(drawn, 2'000'000u);  // what copies would have cost
    EXPECT_LE(chart().storedPoints(), 2u * 1599);
    // The shared buffer still gives every plot its own points.
    const rt::Plot& first = chart().plots.front();
    EXPECT_EQ(first.count, 3u);
    EXPECT_EQ(py(first, 2), v1(3));
    const rt::Plot& newest = lastPlot(1);
    EXPECT_EQ(py(newest, 0), v1(1599 - 899));
    EXPECT_EQ(py(newest, 898), v1(1599));

    poll(1600);  // exactly 100 s
    EXPECT_EQ(plots(), 3194u);
    // From 100.0625 s on, ten intervals add less than one second: the upper end moves on by one
    // second each time the elapsed time passes it (16 polls), so the newest samples stay in
    // sight, and the plots stack up only between two moves.
    for (int k = 1601; k <= 1640; ++k) {
        poll(k);
        const int moves = (k - 1601) / 16;  // 101.0 s is the 1616th poll, not past 101
        const int sinceMove = (k - 1601) % 16;
        ASSERT_EQ(plots(), 2u * (sinceMove + 1)) << "poll " << k;
        EXPECT_EQ(app.xmax, 101 + moves) << "poll " << k;
        // 101 - 899 x 0.0625 + 1 = 45.8 is later than the oldest sample (43 s at the 1601st).
        EXPECT_EQ(app.xmin, 45 + moves) << "poll " << k;
        EXPECT_EQ(lastPlot(2).count, 899u);
        EXPECT_EQ(px(lastPlot(1), 898), std::trunc(k * 0.0625));  // the newest sample, in range
        EXPECT_LE(px(lastPlot(1), 898), app.xmax);
    }
    EXPECT_LE(chart().storedPoints(), 2u * (899 + 16));
}

TEST_F(Chart, SamplesOfOneSecondShareTheirX) {
    startRun(0.5);
    for (int k = 1; k <= 5; ++k) poll(k);
    const rt::Plot& p = lastPlot(1);
    ASSERT_EQ(p.count, 4u);
    EXPECT_EQ(px(p, 0), 0.0);  // 0.5 s
    EXPECT_EQ(px(p, 1), 1.0);  // 1.0 s
    EXPECT_EQ(px(p, 2), 1.0);  // 1.5 s
    EXPECT_EQ(px(p, 3), 2.0);  // 2.0 s
    EXPECT_EQ(py(p, 1), v1(2));
    EXPECT_EQ(py(p, 2), v1(3));
}

// A poll on a port that is not open fails: both traces get a point at 0 at that poll's time.
TEST_F(Chart, FailedPollAddsZeros) {
    startRun();
    ASSERT_EQ(app.com_open, 0);
    app.was[0] = 2;  // pO2
    app.was[1] = 3;  // Ie
    for (int k = 1; k <= 3; ++k) {
        app.mzeit = k;
        app.mw[2] = 5.0 + k;
        app.mw[3] = 7.0;
        plotten();
    }
    fe.advanceClock(4.0);
    wert();
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE2).stringValue, "ERROR (-3)");
    ASSERT_EQ(plots(), 2u);
    for (int axis : {1, 2}) {
        const rt::Plot& p = lastPlot(axis);
        ASSERT_EQ(p.count, 3u);  // the failed sample is drawn from the next poll on
        EXPECT_EQ(py(p, 2), axis == 1 ? 8.0 : 7.0);
    }
    EXPECT_EQ(app.xsec[3], 4);
    EXPECT_EQ(app.g1wert[3], 0.0);
    EXPECT_EQ(app.g2wert[3], 0.0);
    fe.advanceClock(1.0);
    wert();
    for (int axis : {1, 2}) {
        const rt::Plot& p = lastPlot(axis);
        ASSERT_EQ(p.count, 4u);
        EXPECT_EQ(px(p, 3), 4.0);
        EXPECT_EQ(py(p, 3), 0.0);
    }
}

// A trace index outside 0..4 can come from the settings file; such a trace draws 0.0 and never
// reads beside the values (index 5 would be the pO2 reference, -1 the scaling switches).
TEST_F(Chart, TraceIndexOutsideTheQuantitiesDrawsZero) {
    start(" 200 1.000000 5 -1 0.000000 10.000000 0.000000 10.000000 1 1 Kv_2016\r\n");
    ASSERT_EQ(app.was[0], 5);
    ASSERT_EQ(app.was[1], -1);
    ASSERT_EQ(app.autoscale[0], 1);
    m_run(app.p1, MAIN_RUN, EVENT_COMMIT, nullptr, 0, 0);
    for (int k = 1; k <= 5; ++k) {
        fe.advanceClock(1.0);
        wert();
        ASSERT_EQ(app.o2soll, 206400.0);
    }
    ASSERT_EQ(plots(), 4u);
    for (const rt::Plot& p : chart().plots)
        for (std::size_t i = 0; i < p.count; ++i) EXPECT_EQ(py(p, i), 0.0) << i;
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE1).stringValue, " 0.0    ");
    EXPECT_EQ(app.was[0], 5);
}

TEST_F(Chart, SettingsCommitReadsEveryControl) {
    start();
    ctrl(app.p1, MAIN_INTERVAL).doubleValue = 0.5;
    ctrl(app.p1, MAIN_LEFT_MIN).doubleValue = -1.0;
    ctrl(app.p1, MAIN_LEFT_MAX).doubleValue = 2.0;
    ctrl(app.p1, MAIN_RIGHT_MIN).doubleValue = -3.0;
    ctrl(app.p1, MAIN_RIGHT_MAX).doubleValue = 4.0;
    ctrl(app.p1, MAIN_LEFT_AUTO).intValue = 1;
    ctrl(app.p1, MAIN_RIGHT_AUTO).intValue = 0;
    ctrl(app.p1, MAIN_TRACE1_SELECT).intValue = 2;
    ctrl(app.p1, MAIN_TRACE2_SELECT).intValue = 3;
    // Only the commit event acts.
    skaliere(app.p1, MAIN_RIGHT_MAX, EVENT_COMMIT + 1, nullptr, 0, 0);
    EXPECT_EQ(app.abtast, 1.0);
    EXPECT_EQ(app.skl[3], 10.0);

    // A commit of one control takes them all.
    skaliere(app.p1, MAIN_RIGHT_MAX, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(app.abtast, 0.5);
    EXPECT_EQ(ctrl(app.p1, MAIN_TIMER).interval, 0.5);
    EXPECT_EQ(app.skl[0], -1.0);
    EXPECT_EQ(app.skl[1], 2.0);
    EXPECT_EQ(app.skl[2], -3.0);
    EXPECT_EQ(app.skl[3], 4.0);
    EXPECT_EQ(app.autoscale[0], 1);
    EXPECT_EQ(app.autoscale[1], 0);
    EXPECT_EQ(app.was[0], 2);
    EXPECT_EQ(app.was[1], 3);
    const rt::GraphModel& g = chart();
    EXPECT_EQ(g.axis[1].mode, VAL_AUTOSCALE);
    EXPECT_EQ(g.axis[2].mode, VAL_MANUAL);
    EXPECT_EQ(g.axis[2].min, -3.0);
    EXPECT_EQ(g.axis[2].max, 4.0);
    // The limits of an axis scaled automatically are dimmed: they do not apply.
    EXPECT_TRUE(ctrl(app.p1, MAIN_LEFT_MIN).dimmed);
    EXPECT_TRUE(ctrl(app.p1, MAIN_LEFT_MAX).dimmed);
    EXPECT_FALSE(ctrl(app.p1, MAIN_RIGHT_MIN).dimmed);
    EXPECT_FALSE(ctrl(app.p1, MAIN_RIGHT_MAX).dimmed);

    // The manual limits stay stored under automatic scaling and apply again when it is off.
    ctrl(app.p1, MAIN_LEFT_AUTO).intValue = 0;
    skaliere(app.p1, MAIN_LEFT_AUTO, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(g.axis[1].mode, VAL_MANUAL);
    EXPECT_EQ(g.axis[1].min, -1.0);
    EXPECT_EQ(g.axis[1].max, 2.0);
    EXPECT_FALSE(ctrl(app.p1, MAIN_LEFT_MIN).dimmed);
    EXPECT_FALSE(ctrl(app.p1, MAIN_LEFT_MAX).dimmed);

    // A range whose minimum is not below its maximum is passed on unchanged.
    ctrl(app.p1, MAIN_LEFT_MIN).doubleValue = 5.0;
    skaliere(app.p1, MAIN_LEFT_MIN, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(g.axis[1].min, 5.0);
    EXPECT_EQ(g.axis[1].max, 2.0);
    EXPECT_EQ(popups, 0);
}

// While a stored file is shown, a selector commit draws it again with the new quantities; other
// settings do not reload it, and after Run no commit does.
TEST_F(Chart, SelectorCommitRedrawsTheStoredFile) {
    start();
    writeBytes(path("stored.dat"),
               "File: stored.dat\r\nComment: \r\nDate: 01-01-2026\r\nTime: 00:00:00\r\nDataset\r\n"
               "time[s]\tVz[mV]\tTz[\xB0"
               "C]\tpO2[ppm]\tIe[mA]\r\n"
               "1.0\t-50.0\t700.0\t1.90e+4\t1.500e+0\r\n"
               "2.0\t-51.0\t701.0\t1.80e+4\t1.600e+0\r\n");
    rt::copyBounded(app.o_dat, sizeof app.o_dat, path("stored.dat"));
    app.o_dat_offen = 1;

    skaliere(app.p1, MAIN_LEFT_MAX, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(plots(), 0u);

    ctrl(app.p1, MAIN_TRACE2_SELECT).intValue = 3;
    skaliere(app.p1, MAIN_TRACE2_SELECT, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_GE(plots(), 2u);
    // The viewer scales both axes automatically: their limits are dimmed with the switches on.
    for (int id : {MAIN_LEFT_MIN, MAIN_LEFT_MAX, MAIN_RIGHT_MIN, MAIN_RIGHT_MAX})
        EXPECT_TRUE(ctrl(app.p1, id).dimmed) << id;
    double ieSeen = 0.0;
    for (const rt::Plot& p : chart().plots)
        if (p.yAxis == 2 && p.count == 2) ieSeen = py(p, 1);
    EXPECT_EQ(ieSeen, 1.6);

    // Run ends the view: the chart returns to the live layout and stays empty.
    m_run(app.p1, MAIN_RUN, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(app.o_dat_offen, 0);
    expectRange(0, 100);
    EXPECT_EQ(plots(), 0u);
    skaliere(app.p1, MAIN_TRACE1_SELECT, EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(plots(), 0u);
}
