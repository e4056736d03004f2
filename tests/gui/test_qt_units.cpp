// The front end's pure pieces: Windows-1252 conversion, caption placement, axis ranges, timer
// intervals and file-type filters.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <limits>
#include <vector>

#include "qt_test_support.h"

#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_layout.h"
#include "runtime/qt/popups_qt.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/timer_controls.h"

using namespace rt::qt;

TEST(TextEncoding, DecodesTheWindows1252Table) {
    EXPECT_EQ(fromCp1252("25.0 \xB0"
                         "C"),
              QString::fromUtf8("25.0 °C"));
    EXPECT_EQ(fromCp1252("\x80\x8A\x93\x94\x9F"), QString::fromUtf8("€Š“”Ÿ"));
    EXPECT_EQ(fromCp1252("\xE4\xF6\xFC\xDF\xA0"), QString::fromUtf8("äöüß\u00A0"));
    // The bytes the table leaves undefined show as replacement characters.
    EXPECT_EQ(fromCp1252("a\x81"
                         "b\x9D"),
              QString::fromUtf8("a\uFFFDb\uFFFD"));
    // Embedded NUL bytes and plain ASCII pass through.
    EXPECT_EQ(fromCp1252(std::string_view("a\0b", 3)).size(), 3);
}

TEST(TextEncoding, EncodesTypedTextWithQuestionMarksForTheRest) {
    EXPECT_EQ(toCp1252(QString::fromUtf8("Tz [°C] €5 – ok")),
              "Tz [\xB0"
              "C] \x80"
              "5 \x96 ok");
    EXPECT_EQ(toCp1252(QString::fromUtf8("π≈3")), "??3");
    // One character outside the BMP is one '?', not two.
    EXPECT_EQ(toCp1252(QString::fromUtf8("a\U0001F600b")), "a?b");
    EXPECT_EQ(toCp1252(QString(QChar(0x0085))), "?");  // a C1 control has no byte
    EXPECT_EQ(toCp1252(QString(QChar(0xFFFD))), "?");
    // Every defined byte survives a round trip.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) all.push_back(char(b));
    }
    EXPECT_EQ(toCp1252(fromCp1252(all)), all);
}

TEST(CaptionPlace, UsesTheRoomLeftOfTheControlAsAFormColumn) {
    QRect free(0, 0, 400, 300);
    // Room on the left: the caption spans from the window's margin to the control...
    CaptionLayout l = chooseCaptionPlace(QRect(130, 16, 200, 40), QSize(90, 16), free, {}, 30);
    EXPECT_EQ(l.place, CaptionPlace::Left);
    EXPECT_EQ(l.rect, QRect(kWindowMargin, 16, 130 - kCaptionGap - kWindowMargin, 40));
    // ...or from the very edge where the margin would not leave the caption its room.
    l = chooseCaptionPlace(QRect(100, 16, 200, 40), QSize(90, 16), free, {}, 30);
    EXPECT_EQ(l.place, CaptionPlace::Left);
    EXPECT_EQ(l.rect.left(), 0);
    // A control beside it on the same row limits the column.
    std::vector<QRect> beside{QRect(10, 20, 80, 20)};
    l = chooseCaptionPlace(QRect(150, 16, 100, 28), QSize(40, 16), free, beside, 20);
    EXPECT_EQ(l.place, CaptionPlace::Left);
    EXPECT_EQ(l.rect.left(), 90 + kCaptionGap);
    // A control on another row does not.
    std::vector<QRect> above{QRect(10, 0, 120, 12)};
    l = chooseCaptionPlace(QRect(150, 16, 100, 28), QSize(40, 16), free, above, 20);
    EXPECT_EQ(l.rect.left(), kWindowMargin);
}

TEST(CaptionPlace, FallsBackToAboveThenInside) {
    QRect free(0, 0, 1040, 680);
    // No room left, room above.
    CaptionLayout l = chooseCaptionPlace(QRect(16, 100, 300, 30), QSize(60, 16), free, {}, 20);
    EXPECT_EQ(l.place, CaptionPlace::Above);
    EXPECT_EQ(l.rect.bottom(), 100 - 3);
    // At the panel's top: inside, a strip above the value when the value still fits...
    l = chooseCaptionPlace(QRect(16, 12, 300, 54), QSize(50, 16), free, {}, 36);
    EXPECT_EQ(l.place, CaptionPlace::InsideTop);
    // ...else a column at its left, never wider than half the control.
    std::vector<QRect> over{QRect(16, 80, 780, 520)};
    l = chooseCaptionPlace(QRect(16, 612, 1008, 26), QSize(60, 16), free, over, 20);
    EXPECT_EQ(l.place, CaptionPlace::InsideLeft);
    EXPECT_EQ(l.insideWidth, 60);
    l = chooseCaptionPlace(QRect(2, 12, 80, 20), QSize(200, 16), free, {}, 20);
    EXPECT_EQ(l.insideWidth, 40);
}

TEST(AxisRange, ManualAutomaticAndDegenerate) {
    rt::AxisSetting manual{0, -5.0, 20.0};
    AxisRange r = shownAxisRange(manual, true, 100.0, 200.0);  // data ignored in manual mode
    EXPECT_DOUBLE_EQ(r.lo, -5.0);
    EXPECT_DOUBLE_EQ(r.hi, 20.0);

    // Automatic: the data with 5 % room (95..205), widened to whole ticks of 10 (eight ticks
    // on a span of 110 are 13.75 apart, the nice distance below that is 10).
    rt::AxisSetting automatic{1, 0.0, 10.0};
    r = shownAxisRange(automatic, true, 100.0, 200.0);
    EXPECT_DOUBLE_EQ(r.lo, 90.0);
    EXPECT_DOUBLE_EQ(r.hi, 210.0);
    EXPECT_DOUBLE_EQ(r.tick, 10.0);
    // Automatic without data: the manual numbers.
    r = shownAxisRange(automatic, false, 0, 0);
    EXPECT_DOUBLE_EQ(r.lo, 0.0);
    EXPECT_DOUBLE_EQ(r.hi, 10.0);
    // Constant data: a range around the value.
    r = shownAxisRange(automatic, true, 750.0, 750.0);
    EXPECT_LT(r.lo, 750.0);
    EXPECT_GT(r.hi, 750.0);

    // min == max: around min; min > max: swapped; huge equal values still give lo < hi.
    r = shownAxisRange(rt::AxisSetting{0, 3.0, 3.0}, false, 0, 0);
    EXPECT_DOUBLE_EQ(r.lo, 2.5);
    EXPECT_DOUBLE_EQ(r.hi, 3.5);
    r = shownAxisRange(rt::AxisSetting{0, 10.0, -10.0}, false, 0, 0);
    EXPECT_DOUBLE_EQ(r.lo, -10.0);
    EXPECT_DOUBLE_EQ(r.hi, 10.0);
    r = shownAxisRange(rt::AxisSetting{0, 1e17, 1e17}, false, 0, 0);
    EXPECT_LT(r.lo, r.hi);
    // Numbers that are not finite: the default range.
    r = shownAxisRange(rt::AxisSetting{0, std::nan(""), 1.0}, false, 0, 0);
    EXPECT_DOUBLE_EQ(r.lo, 0.0);
    EXPECT_DOUBLE_EQ(r.hi, 10.0);
}

// An automatic range moves only when the data leave it, so neither labels nor layout change
// from one poll to the next while a trace wanders inside it.
TEST(AxisRange, AutomaticRangeSnapsToWholeTicksAndHoldsStill) {
    rt::AxisSetting automatic{1, 0.0, 10.0};
    AxisRange first = shownAxisRange(automatic, true, -55.0, -45.0);
    EXPECT_LE(first.lo, -55.5);  // the room is kept
    EXPECT_GE(first.hi, -44.5);
    ASSERT_GT(first.tick, 0.0);
    EXPECT_DOUBLE_EQ(std::remainder(first.lo, first.tick), 0.0);
    EXPECT_DOUBLE_EQ(std::remainder(first.hi, first.tick), 0.0);
    for (double wobble : {0.01, 0.1, 0.2}) {
        AxisRange r = shownAxisRange(automatic, true, -55.0 + wobble, -45.0 - wobble);
        EXPECT_EQ(r.lo, first.lo) << wobble;
        EXPECT_EQ(r.hi, first.hi) << wobble;
    }
    // Data beyond it move it.
    EXPECT_GT(shownAxisRange(automatic, true, -55.0, -40.0).hi, first.hi);

    // Decimal ticks that a division rounds (0.3 / 0.1 < 3) still enclose the data.
    AxisRange small = shownAxisRange(automatic, true, 0.3, 0.9);
    EXPECT_LT(small.lo, 0.3);
    EXPECT_GT(small.hi, 0.9);
    // Constant and huge data: still a valid range around them; the x axis's own tick count.
    AxisRange flat = shownAxisRange(automatic, true, 750.0, 750.0, 10);
    EXPECT_LT(flat.lo, 750.0);
    EXPECT_GT(flat.hi, 750.0);
    AxisRange huge = shownAxisRange(automatic, true, 1e17, 1e17);
    EXPECT_LT(huge.lo, huge.hi);
    // Data or limits whose span overflows a double: a finite range with a handful of ticks,
    // not an infinite one (whose tick distance would come out as 1).
    for (AxisRange r : {shownAxisRange(automatic, true, -1e308, 1e308),
                        shownAxisRange(rt::AxisSetting{0, -1.7e308, 1.7e308}, false, 0, 0)}) {
        ASSERT_TRUE(std::isfinite(r.lo) && std::isfinite(r.hi) && std::isfinite(r.hi - r.lo));
        EXPECT_LT(r.lo, r.hi);
        EXPECT_LT((r.hi - r.lo) / niceTickInterval(r.hi - r.lo, 8), 20.0);
    }
}

// A stored file's time axis: from its first time, never before it (a 60 s file once began at
// -5 s, a large one at -50 000 s), to its last or the next whole tick after that.
TEST(AxisRange, TimeAxisStartsAtTheFirstTimeAndEndsAtOrJustAfterTheLast) {
    rt::AxisSetting automatic{1, 0.0, 100.0};
    for (auto [first, last] : {std::pair{1.0, 60.0}, std::pair{0.2, 986000.4},
                               std::pair{3600.0, 3600.5}, std::pair{-20.0, 7.0}}) {
        AxisRange r = rt::qt::shownTimeRange(automatic, true, first, last);
        EXPECT_EQ(r.lo, first) << first << ".." << last;
        EXPECT_GE(r.hi, last) << first << ".." << last;
        EXPECT_LE(r.hi - last, rt::qt::niceTickInterval(last - first, 10)) << first << ".." << last;
    }
    AxisRange one = rt::qt::shownTimeRange(automatic, true, 5.0, 5.0);
    EXPECT_EQ(one.lo, 5.0);
    EXPECT_GT(one.hi, 5.0);
    // Manual, or no data: as every axis.
    AxisRange manual = rt::qt::shownTimeRange(rt::AxisSetting{0, 0.0, 100.0}, true, 1.0, 60.0);
    EXPECT_EQ(manual.lo, 0.0);
    EXPECT_EQ(manual.hi, 100.0);
}

TEST(AxisRange, TickIntervalsAreOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(niceTickInterval(100.0, 10), 10.0);
    EXPECT_DOUBLE_EQ(niceTickInterval(206400.0 * 1.1, 8), 50000.0);
    EXPECT_DOUBLE_EQ(niceTickInterval(1.0, 8), 0.1);
    EXPECT_DOUBLE_EQ(niceTickInterval(0.0, 8), 1.0);
    EXPECT_DOUBLE_EQ(niceTickInterval(std::numeric_limits<double>::infinity(), 8), 1.0);
}

TEST(TimerInterval, NeverSpinsAndRounds) {
    EXPECT_EQ(timerMilliseconds(0.05), 50);
    EXPECT_EQ(timerMilliseconds(1.0), 1000);
    EXPECT_EQ(timerMilliseconds(0.0104), 10);
    EXPECT_EQ(timerMilliseconds(0.0), 10);
    EXPECT_EQ(timerMilliseconds(-3.0), 10);
    EXPECT_EQ(timerMilliseconds(std::nan("")), 10);
    EXPECT_EQ(timerMilliseconds(std::numeric_limits<double>::infinity()), 10);
    EXPECT_EQ(timerMilliseconds(1e12), std::numeric_limits<int>::max());
}

// Setting a timer's interval keeps its rhythm: the same interval set again and again changes
// nothing, a new one whose time since the last tick has passed ticks at once and then at its own
// pace, and a longer one comes one new interval after the last tick. Each bound lies 0.25 s or
// more from what a wrong rule gives.
TEST(TimerRhythm, SettingTheIntervalKeepsTheRhythm) {
    guitest::qtApp();
    TimerControls timers;
    timers.add(1, 1, 1.0);
    std::vector<qint64> ticks;  // [ms]
    QElapsedTimer clock;
    clock.start();
    QObject::connect(timers.timer(1, 1), &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
    timers.startAll();
    auto waitTicks = [&](std::size_t n) {
        return QTest::qWaitFor([&] { return ticks.size() >= n; }, 5000);
    };
    ASSERT_TRUE(waitTicks(1));
    // The same 1 s every 0.1 s for 0.6 s: a restarted countdown would tick 1.6 s after the last.
    for (int k = 0; k < 6; ++k) {
        QTest::qWait(100);
        timers.setInterval(1, 1, 1.0);
    }
    ASSERT_TRUE(waitTicks(2));
    EXPECT_LT(ticks[1] - ticks[0], 1400);
    // 0.05 s set 0.2 s after a tick: due already, so at once (the old interval: 0.8 s later).
    QTest::qWait(200);
    const qint64 set = clock.elapsed();
    timers.setInterval(1, 1, 0.05);
    ASSERT_TRUE(waitTicks(3));
    EXPECT_LT(ticks[2] - set, 400);
    ASSERT_TRUE(waitTicks(6));
    EXPECT_LT(ticks[5] - ticks[2], 600);
    // 1 s set just after a tick, then 1.5 s set 0.6 s after the next: that one comes 1.5 s after
    // its tick (counted from the setting, it would come 2.1 s after).
    timers.setInterval(1, 1, 1.0);
    const std::size_t n = ticks.size();
    ASSERT_TRUE(waitTicks(n + 1));
    EXPECT_GE(ticks[n] - ticks[n - 1], 900);
    QTest::qWait(600);
    timers.setInterval(1, 1, 1.5);
    ASSERT_TRUE(waitTicks(n + 2));
    EXPECT_GE(ticks[n + 1] - ticks[n], 1400);
    EXPECT_LT(ticks[n + 1] - ticks[n], 1850);
}

TEST(FileTypes, TypeListBecomesNameFilters) {
    EXPECT_EQ(nameFiltersOf("*.dat;*.*;"), (QStringList{"*.dat", "*.*"}));
    EXPECT_EQ(nameFiltersOf(" *.txt ;;*.txt"), (QStringList{"*.txt"}));
    EXPECT_TRUE(nameFiltersOf("").isEmpty());
}
