#include "app/alarm_watch.h"

#include "runtime/textfiles.h"

namespace {

struct Quantity {
    const char* name;
    const char* unit;
    const char* format;  // as precise as the instrument gives it; pO2 and Ie span decades
};
constexpr Quantity kQuantities[4] = {
    {"Vz", "mV", "%f[p1]"},
    {"Tz",
     "\xB0"
     "C",
     "%f[p1]"},
    {"pO2", "ppm", "%f[p2e2]"},
    {"Ie", "mA", "%f[p3e2]"},
};

// Two polls in a row raise or clear an alarm.
constexpr int kPollsToChange = 2;

}  // namespace

void AlarmWatch::restart(double t) {
    for (State& s : state_) s = State{};
    lastGood_ = t;
}

bool AlarmWatch::anyUp() const {
    for (const State& s : state_)
        if (s.up) return true;
    return false;
}

std::vector<AlarmChange> AlarmWatch::poll(const AlarmLimits& limits, double t, const double* mw) {
    std::vector<AlarmChange> changes;
    for (int a = 0; a < kLimitAlarms; ++a) {
        State& s = state_[a];
        const double limit = limits.limit[a];
        if (!limits.on[a]) {
            if (s.up) changes.push_back({a, false, s.value, limit});
            s = State{};
            continue;
        }
        if (!mw) continue;
        s.value = mw[a / 2];
        const bool high = a % 2 == 1;
        const bool beyond = high ? s.value > limit : s.value < limit;
        s.streak = beyond != s.up ? s.streak + 1 : 0;
        if (s.streak < kPollsToChange) continue;
        s.up = !s.up;
        s.streak = 0;
        changes.push_back({a, s.up, s.value, limit});
    }

    State& silence = state_[kSilenceAlarm];
    const double silent = limits.silentSeconds;
    if (mw) {
        if (silence.up) changes.push_back({kSilenceAlarm, false, t - lastGood_, silent});
        silence.up = false;
        lastGood_ = t;
    } else if (silent > 0 && t - lastGood_ >= silent) {
        silence.value = t - lastGood_;
        if (!silence.up) changes.push_back({kSilenceAlarm, true, silence.value, silent});
        silence.up = true;
    }
    if (!(silent > 0) && silence.up) {
        changes.push_back({kSilenceAlarm, false, silence.value, silent});
        silence.up = false;
    }
    return changes;
}

const char* alarmQuantity(int alarm) {
    return alarm == kSilenceAlarm ? "no answer" : kQuantities[alarm / 2].name;
}

std::string alarmValueText(int alarm, double value) {
    std::string out;
    rt::formatText(out, alarm == kSilenceAlarm ? "%f[p0]" : kQuantities[alarm / 2].format, {value});
    return out;
}

std::string alarmText(int alarm, bool up, double value, double limit) {
    if (alarm == kSilenceAlarm) {
        if (up) return "no answer from the instrument for " + alarmValueText(alarm, value) + " s";
        return "the instrument answers again after " + alarmValueText(alarm, value) + " s";
    }
    const Quantity& q = kQuantities[alarm / 2];
    const char* side = alarm % 2 == 1 ? "above " : "below ";
    return std::string(q.name) + " " + alarmValueText(alarm, value) + " " + q.unit + " " +
           (up ? "" : "no longer ") + side + alarmValueText(alarm, limit);
}
