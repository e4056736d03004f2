// Alarms: the alarm panel and the per-user settings behind it, the check at every poll, and what a
// raised or cleared alarm does: the main panel's alarm line and title, a desktop notification,
// the operator's command, and during a recording a line in the alarm file.
#include <string>
#include <vector>

#include "app/alarm_watch.h"
#include "app/state.h"
#include "app/system.h"
#include "runtime/commands.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "runtime/user_settings.h"
#include "ui/tevran_ids.h"

namespace {

// The alarms' settings and state; setupAlarms starts them afresh.
struct Alarms {
    // The limits and the command, kept per user (tevran.conf).
    AlarmLimits limits;
    std::string command;
    // This run's alarms, and the clock time each one that is up was raised at.
    AlarmWatch watch;
    std::string since[kAlarmCount];
    std::string shown;  // what MAIN_ALARM shows
    int file = 0;       // the recording's alarm file, open from its first alarm to Stop
};
Alarms g;

// tevran.conf keys of the limits, in alarm-number order.
constexpr const char* kLimitKeys[kLimitAlarms] = {"vz_low",  "vz_high",  "tz_low", "tz_high",
                                                  "po2_low", "po2_high", "ie_low", "ie_high"};

int limitControl(int alarm) { return ALARM_VZ_LOW + 2 * alarm; }
int switchControl(int alarm) { return ALARM_VZ_LOW_ON + 2 * alarm; }

std::string key(const std::string& name) { return "alarms/" + name; }

double settingNumber(const std::string& name) {
    double v = 0.0;
    Scan(GetUserSetting(key(name).c_str(), "0").c_str(), "%f", &v);
    return v;
}

void saveNumber(const std::string& name, double value, const char* format = "%f[p6]") {
    std::string text;
    rt::formatText(text, format, {value});
    SetUserSetting(key(name).c_str(), text.c_str());
}

void fillPanel() {
    for (int a = 0; a < kLimitAlarms; ++a) {
        SetCtrlVal(app.pa, limitControl(a), g.limits.limit[a]);
        SetCtrlVal(app.pa, switchControl(a), g.limits.on[a] ? 1 : 0);
    }
    SetCtrlVal(app.pa, ALARM_SILENT_S, static_cast<int>(g.limits.silentSeconds));
    SetCtrlVal(app.pa, ALARM_COMMAND, g.command.c_str());
}

std::string alarmFilePath() { return std::string(app.datei) + ".alarms"; }

// An alarm file whose name went with its folder (or was deleted) is given one again beside the
// data file, which has already been given its own, so that no alarm line is lost with it.
void keepAlarmFileNamed() {
    if (g.file > 0 && FileUnlinked(g.file) == 1) RecreateFile(g.file, alarmFilePath().c_str());
}

// The alarm file is made at a recording's first alarm, with a line naming its columns.
void logAlarm(const AlarmChange& c, const char* clock) {
    keepAlarmFileNamed();
    if (g.file <= 0) {
        // Read and write: a file that loses its name is copied from its handle
        // (keepAlarmFileNamed).
        g.file = OpenFile(alarmFilePath().c_str(), VAL_READ_WRITE, VAL_APPEND, VAL_ASCII);
        if (g.file <= 0) {
            g.file = 0;
            setStatus(StatusTopic::File, "Alarm file " + alarmFilePath() + " cannot be written (" +
                                             fileErrorText() + ").");
            return;
        }
        FmtFile(g.file, "%s<time[s]\tclock\tquantity\tvalue\tlimit\tstate\n");
    }
    // time [s] as the data file's lines give it
    FmtFile(g.file, "%s<%f[p1]\t%s\t%s\t%s\t%s\t%s\n", app.mzeit, clock, alarmQuantity(c.alarm),
            alarmValueText(c.alarm, c.value).c_str(), alarmValueText(c.alarm, c.limit).c_str(),
            c.raised ? "raised" : "cleared");
}

// Tells everyone who should know of a raise or a clear.
void announce(const AlarmChange& c) {
    const std::string clock = TimeStr();
    if (c.raised) g.since[c.alarm] = clock;
    const std::string text =
        alarmText(c.alarm, c.raised, c.value, c.limit) + (c.raised ? " since " : " at ") + clock;
    DesktopNotification(c.raised ? "TEVRAN alarm" : "TEVRAN alarm cleared", text.c_str(), c.raised);
    if (!g.command.empty() &&
        LaunchShellCommand(g.command.c_str(),
                           {{"TEVRAN_ALARM", text.c_str()},
                            {"TEVRAN_ALARM_STATE", c.raised ? "raised" : "cleared"}}) < 0)
        setStatus(StatusTopic::File,
                  std::string("The alarm command could not be started (") + fileErrorText() + ").");
    if (app.speichern) logAlarm(c, clock.c_str());
}

// MAIN_ALARM and the title show what is up now, with the latest values.
void showAlarms() {
    std::string text;
    for (int a = 0; a < kAlarmCount; ++a) {
        if (!g.watch.up(a)) continue;
        if (!text.empty()) text += "; ";
        const double limit = a == kSilenceAlarm ? g.limits.silentSeconds : g.limits.limit[a];
        text += alarmText(a, true, g.watch.value(a), limit) + " since " + g.since[a];
    }
    if (text == g.shown) return;
    g.shown = text;
    SetCtrlVal(app.p1, MAIN_ALARM, text.c_str());
    if (app.alarmUp == text.empty()) {
        app.alarmUp = !text.empty();
        showTitle();
    }
}

}  // namespace

void setupAlarms() {
    g = Alarms{};
    for (int a = 0; a < kLimitAlarms; ++a) {
        g.limits.limit[a] = settingNumber(kLimitKeys[a]);
        g.limits.on[a] = settingNumber(std::string(kLimitKeys[a]) + "_on") != 0.0;
    }
    // Whole seconds from 0 to a day, as the panel takes them.
    double silent = settingNumber("silent_s");
    g.limits.silentSeconds = silent >= 1.0 && silent <= 86400.0 ? static_cast<int>(silent) : 0;
    g.command = GetUserSetting(key("command").c_str(), "");
    fillPanel();
}

void alarmPoll(bool good) {
    const std::vector<AlarmChange> changes =
        g.watch.poll(g.limits, app.mzeit, good ? app.mw : nullptr);
    if (changes.empty() && !g.watch.anyUp()) return;
    for (const AlarmChange& c : changes) announce(c);
    showAlarms();
}

void alarmsRunStarted() {
    g.watch.restart(0.0);
    showAlarms();
}

void alarmsRecordingStarted() {
    closeAlarmFile();
    // An alarm file left by an earlier recording into this file belongs to the data that the
    // new recording has just replaced.
    DeleteFile(alarmFilePath().c_str());
}

void alarmsRunEnded() {
    g.watch.restart(0.0);
    showAlarms();
    closeAlarmFile();
}

void closeAlarmFile() {
    keepAlarmFileNamed();
    if (g.file > 0) CloseFile(g.file);
    g.file = 0;
}

void alarms(int, int, void*, int) { DisplayPanel(app.pa); }

int alarms_close(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(app.pa);
    return 0;
}

int alarms_set(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    for (int a = 0; a < kLimitAlarms; ++a) {
        if (control == limitControl(a)) {
            GetCtrlVal(app.pa, control, &g.limits.limit[a]);
            saveNumber(kLimitKeys[a], g.limits.limit[a]);
        } else if (control == switchControl(a)) {
            int on = 0;
            GetCtrlVal(app.pa, control, &on);
            g.limits.on[a] = on != 0;
            saveNumber(std::string(kLimitKeys[a]) + "_on", on != 0, "%f[p0]");
        }
    }
    if (control == ALARM_SILENT_S) {
        int seconds = 0;
        GetCtrlVal(app.pa, control, &seconds);
        g.limits.silentSeconds = seconds;
        saveNumber("silent_s", seconds, "%f[p0]");
    } else if (control == ALARM_COMMAND) {
        char command[4096] = {};
        GetCtrlVal(app.pa, control, command);
        g.command = command;
        SetUserSetting(key("command").c_str(), command);
    }
    return 0;
}
