// Alarms: when a limit alarm or the silence alarm is raised and cleared, in words; the limits kept
// per user across a restart.
#include <cmath>
#include <string>
#include <vector>

#include "app/alarm_watch.h"
#include "program_fixture.h"
#include "runtime/core/dispatch.h"
#include "runtime/panels.h"

using namespace tevran_test;

namespace {
// The changes of one poll as "+text" (raised) and "-text" (cleared), joined by " | ".
std::string changesText(const std::vector<AlarmChange>& changes) {
    std::string out;
    for (const AlarmChange& c : changes) {
        if (!out.empty()) out += " | ";
        out += (c.raised ? "+" : "-") + alarmText(c.alarm, c.raised, c.value, c.limit);
    }
    return out;
}
}  // namespace

TEST(Alarms, RaisedAfterTwoPollsBeyondClearedAfterTwoInside) {
    constexpr double kFailed = NAN;
    AlarmLimits limits;
    limits.on[5] = true;  // pO2 high
    limits.limit[5] = 20000.0;
    limits.on[2] = true;  // Tz low
    limits.limit[2] = 600.0;
    limits.silentSeconds = 3.0;
    struct Poll {
        double t, po2, tz;
        bool po2HighOn;
        const char* changes;
    } polls[] = {
        {1, 22100, 700, true, ""},  // one poll beyond is not yet an alarm
        {2, 19000, 700, true, ""},
        {3, 22100, 700, true, ""},
        {4, kFailed, 0, true, ""},  // a failed poll neither counts nor breaks the streak
        {5, 22200, 700, true, "+pO2 2.22e+04 ppm above 2.00e+04"},
        {6, 20000, 700, true, ""},  // at the limit is inside
        {7, 30000, 700, true, ""},  // back beyond: the count back inside starts again
        {8, 19000, 700, true, ""},
        {9, 18000, 599, true, "-pO2 1.80e+04 ppm no longer above 2.00e+04"},
        {10, 25000, 550, true,
         "+Tz 550.0 \xB0"
         "C below 600.0"},
        {11, 25000, 550, true, "+pO2 2.50e+04 ppm above 2.00e+04"},
        {12, 25000, 550, false, "-pO2 2.50e+04 ppm no longer above 2.00e+04"},  // turned off
        {13, kFailed, 0, false, ""},
        {14.5, kFailed, 0, false, ""},
        {15, kFailed, 0, false, "+no answer from the instrument for 3 s"},  // since 12 s
        {16, kFailed, 0, false, ""},
        {18, 19000, 550, false, "-the instrument answers again after 6 s"},
    };
    AlarmWatch watch;
    watch.restart(0.0);
    for (const Poll& p : polls) {
        limits.on[5] = p.po2HighOn;
        const double mw[5] = {0.0, p.tz, p.po2, 0.0, 0.0};
        const bool good = !std::isnan(p.po2);
        EXPECT_EQ(changesText(watch.poll(limits, p.t, good ? mw : nullptr)), p.changes)
            << "poll at " << p.t << " s";
    }
    EXPECT_TRUE(watch.up(2));  // Tz is still below its limit
}

TEST_F(ProgramTest, AlarmSettingsAreKeptPerUserApartFromTevranIni) {
    start();
    struct Setting {
        int control;
        double value;
    } settings[] = {
        {ALARM_TZ_LOW, 650.5}, {ALARM_TZ_LOW_ON, 1}, {ALARM_IE_HIGH, 12.25}, {ALARM_SILENT_S, 30}};
    DisplayPanel(app.pa);
    for (const Setting& s : settings) {
        SetCtrlVal(app.pa, s.control, s.value);
        rt::dispatchCommit(app.pa, s.control);
    }
    SetCtrlVal(app.pa, ALARM_COMMAND, "mail -s \"$TEVRAN_ALARM\" lab \xB0");
    rt::dispatchCommit(app.pa, ALARM_COMMAND);
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(readBytes(path("TEVRAN.ini")), kPort200Ini);

    fresh();
    start();
    for (const Setting& s : settings) {
        double v = -1;
        GetCtrlVal(app.pa, s.control, &v);
        EXPECT_EQ(v, s.value) << "control " << s.control;
    }
    int on = -1;
    GetCtrlVal(app.pa, ALARM_IE_HIGH_ON, &on);
    EXPECT_EQ(on, 0);  // its limit kept, its switch still off
    char command[64] = {};
    GetCtrlVal(app.pa, ALARM_COMMAND, command);
    EXPECT_STREQ(command, "mail -s \"$TEVRAN_ALARM\" lab \xB0");
}
