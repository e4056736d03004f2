// The settings file TEVRAN.ini: read once at start (setup), written once at the end (enden).
#include "app/settings.h"

#include <cmath>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
// One line: " %d %f %d %d %f %f %f %f %d %d Kv_2016" and the line end, in the order below.
constexpr const char* kWriteFormat = " %d %f %d %d %f %f %f %f %d %d Kv_2016\n";
constexpr const char* kReadFormat = "%s>%d%f%d%d%f%f%f%f%d%d";

// The settings file's path; false, with the reason in fileErrorText(), when the path does not
// fit its buffer: the file is then neither read nor written, never one of a shorter name.
bool settingsPath(char (&d_ini)[260]) {
    char projdir[260];
    return GetProjectDir(projdir) == 0 && MakePathname(projdir, "TEVRAN.ini", d_ini) == 0;
}

void defaults() {
    app.was[0] = 0;
    app.was[1] = 1;
    app.abtast = 1.0;
    app.skl[0] = 0.0;
    app.skl[1] = 10.0;
    app.skl[2] = 0.0;
    app.skl[3] = 10.0;
    app.com_nummer = 1;
    app.autoscale[0] = 0;
    app.autoscale[1] = 0;
}
}  // namespace

double usableInterval(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0) return 1.0;
    return seconds < 0.01 ? 0.01 : seconds;
}

void readSettings(const char* path) {
    int fileini = OpenFile(path, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    // Read even when the open failed: that read reads nothing. The file is taken whole or not.
    int gelesen = ScanFile(fileini, kReadFormat, &app.com_nummer, &app.abtast, &app.was[0],
                           &app.was[1], &app.skl[0], &app.skl[1], &app.skl[2], &app.skl[3],
                           &app.autoscale[0], &app.autoscale[1]);
    if (fileini < 0 || gelesen < 10) defaults();
    CloseFile(fileini);
    // An interval of 0 s, a negative or a non-finite one would make the timer spin.
    app.abtast = usableInterval(app.abtast);
}

int writeSettings(const char* path) {
    // The new settings replace the file only once they are written whole: a failing write
    // leaves the old file as it was.
    int fileini = OpenFileForReplace(path, VAL_ASCII);
    if (fileini < 0) return -1;  // fileErrorText() keeps the reason of the failed open
    int written = FmtFile(fileini, kWriteFormat, app.com_nummer, app.abtast, app.was[0],
                          app.was[1], app.skl[0], app.skl[1], app.skl[2], app.skl[3],
                          app.autoscale[0], app.autoscale[1]);
    if (CloseFile(fileini) < 0 || written < 0) return -1;
    return 0;
}

void setup() {
    app.com_open = 0;
    app.hol = 0;
    app.speichern = 0;

    char d_ini[260];
    if (settingsPath(d_ini))
        readSettings(d_ini);
    else
        readSettings("");  // nothing to read: the defaults

    SetCtrlVal(app.p1, MAIN_INTERVAL, app.abtast);
    SetCtrlAttribute(app.p1, MAIN_TIMER, ATTR_INTERVAL, app.abtast);
    for (int i = 0; i < 4; ++i) SetCtrlVal(app.p1, MAIN_LEFT_MIN + i, app.skl[i]);
    for (int i = 0; i < 2; ++i) SetCtrlVal(app.p1, MAIN_TRACE1_SELECT + i, app.was[i]);
    for (int i = 0; i < 2; ++i) SetCtrlVal(app.p1, MAIN_LEFT_AUTO + i, app.autoscale[i]);
    dimAxisLimits();
    nameAxes();  // the axes name their quantities from the start, not only after the first Run
    DisplayPanel(app.p1);
    ComOpen();
    showTitle();
}

void enden() {
    // From here on nothing is polled and nothing is written: a message below is a popup, and
    // timer ticks reach the program during popups. A recording still running is closed, so its
    // last lines are on disk before the end, and the window shows what is true behind a message.
    const bool running = app.hol || app.speichern;
    app.hol = 0;
    closeDataFile();
    closeAlarmFile();
    if (running) faerben(0);

    // A failed save is told before the window goes; the end is an ordinary one all the same.
    char d_ini[260];
    if (!settingsPath(d_ini))
        ClosingMessage((std::string("The settings could not be saved.\n") + fileErrorText()).c_str());
    else if (writeSettings(d_ini) < 0)
        ClosingMessage((std::string("The settings could not be saved to\n") + d_ini + "\n" +
                        fileErrorText() + ".")
                           .c_str());
    exitProgram(0);
}
