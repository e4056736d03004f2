#pragma once
// Alarm limits and their evaluation, poll by poll, apart from what an alarm then does.
//
// Alarm numbers: 2k is the low limit of quantity k (the index into mw: 0 Vz, 1 Tz, 2 pO2, 3 Ie),
// 2k + 1 its high limit; kSilenceAlarm is the instrument's silence.

#include <string>
#include <vector>

constexpr int kLimitAlarms = 8;
constexpr int kSilenceAlarm = 8;
constexpr int kAlarmCount = 9;

struct AlarmLimits {
    bool on[kLimitAlarms] = {};
    double limit[kLimitAlarms] = {};  // in the unit of the alarm's quantity
    double silentSeconds = 0.0;  // no good poll for this long raises the silence alarm [s]; 0 off
};

struct AlarmChange {
    int alarm = 0;
    bool raised = false;  // false: cleared
    double value = 0.0;   // the quantity's value, or for silence the time without a good poll [s]
    double limit = 0.0;   // the limit, or for silence the time that raises it [s]
};

class AlarmWatch {
  public:
    // A run starts at run time t [s]: nothing is up, the silence is counted from t.
    void restart(double t);
    // One poll at run time t [s]: `mw` holds a good poll's values, null for a failed one. A limit
    // alarm is raised after two good polls in a row beyond its limit and cleared after two back
    // inside (a value at the limit is inside), so a value hovering at the limit does not make it
    // flicker; a failed poll leaves it as it is. The silence alarm is raised by a poll that finds
    // no good one for `silentSeconds` and cleared by the next good one. An alarm whose limit is
    // turned off is cleared. Returns what changed, in alarm-number order.
    std::vector<AlarmChange> poll(const AlarmLimits& limits, double t, const double* mw);
    bool up(int alarm) const { return state_[alarm].up; }
    bool anyUp() const;
    // The latest value compared with the alarm's limit (for silence: the time without answer).
    double value(int alarm) const { return state_[alarm].value; }

  private:
    struct State {
        bool up = false;
        int streak = 0;  // good polls in a row on the other side of the limit than `up` says
        double value = 0.0;
    };
    State state_[kAlarmCount];
    double lastGood_ = 0.0;  // run time of the last good poll [s]
};

// An alarm in words, e.g. "pO2 2.21e+04 ppm above 2.00e+04" or, cleared, "pO2 1.90e+04 ppm no
// longer above 2.00e+04". Texts are Windows-1252.
std::string alarmText(int alarm, bool up, double value, double limit);
// The quantity an alarm watches, as the alarm file names it ("pO2", "no answer").
const char* alarmQuantity(int alarm);
// Values as the alarm texts and the alarm file show them: in the precision of the quantity.
std::string alarmValueText(int alarm, double value);
