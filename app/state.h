#pragma once
#include <string>

// The application state: every program-wide variable of TEVRAN, in one instance `app` that lives
// as long as the process. Members keep the program's names. Everything starts at zero.

struct AppState {
    // Panel handles and the main menu bar, written once at start.
    int p1 = 0;  // main panel
    int p4 = 0;  // serial-port panel (child of p1)
    int pz = 0;  // instrument information panel
    int pr = 0;  // controller-parameter panel
    int av = 0;  // all-values panel
    int pa = 0;  // alarm panel
    int m1 = 0;  // menu bar of the main panel

    // Run flags (0 or 1).
    int hol = 0;          // polling on: a timer tick runs one poll cycle
    int speichern = 0;    // recording: the data file is open and each poll appends a line
    int com_open = 0;     // serial port com_nummer is open
    int o_dat_offen = 0;  // a stored data file is shown on the chart

    // Settings, kept in TEVRAN.ini.
    int com_nummer = 0;      // serial port number, 1 = first port
    double abtast = 0.0;     // sampling interval = timer period [s]
    int was[2] = {};         // quantity index of trace 1 (left) and trace 2 (right)
    double skl[4] = {};      // manual y limits: left min, left max, right min, right max
    int autoscale[2] = {};   // automatic scaling of the left / right y axis

    // Current measurement.
    double mw[5] = {};       // Vz [mV], Tz [°C], pO2 [ppm], Ie [mA], fifth slot (always 0.0)
    double o2soll = 0.0;     // reference pO2 of the Nernst relation [ppm]
    double tstart = 0.0;     // Timer() at the start of the run [s]
    double mzeit = 0.0;      // time of the current sample since tstart [s]
    char mw_buf[32] = {};    // text of one formatted value

    // Serial exchange, shared by the poll cycle and the parameter exchange.
    char wr_buf[260] = {};
    char rd_buf[260] = {};

    // Controller parameters; elements 0 to 4 are used.
    double rpara[8] = {};

    // Live chart window: oldest sample first.
    double g1wert[910] = {};
    double g2wert[910] = {};
    int xsec[910] = {};      // sample time truncated to whole seconds
    int mpoint = 0;          // samples stored (at most 900 between polls)
    int xmin = 0, xmax = 0;  // visible x range [s]

    // Data files.
    int filedat = 0;         // handle of the data file being recorded
    char datei[290] = {};    // its full path
    int file_o = 0;          // handle of the stored file while the viewer reads it
    char o_dat[260] = {};    // full path of the stored file the viewer shows

    // Write failures of the data file, shown in MAIN_STATUS until a write succeeds again.
    int writeFailed = 0;
    // Timer() [s] before which a data file that lost its name and could not be given one again
    // is not tried again.
    double renameRetryAt = 0.0;
    // The device of the open port went away (an unplugged adapter); the next exchange reopens it.
    int portGone = 0;
    // Controller parameters the last read left unread (bit n: parameter n): their fields do not
    // show the instrument's values, and OK asks before writing them.
    int regUnread = 0;
    // A device chosen in the serial-port panel's list: the number put into PORT_NUMBER and the
    // device its COMn entry is to name when OK opens that number ("" when the number opens it
    // already).
    int portChoiceNumber = 0;
    std::string portChoiceTarget;

    // The two sentences of MAIN_STATUS (see setStatus): the data file's and the instrument link's.
    std::string fileStatus;
    std::string linkStatus;

    // 1 while an alarm is up (app/alarms.cpp keeps the alarms themselves).
    int alarmUp = 0;
    // The main window's title as the resource file gives it.
    std::string mainTitle;
};

extern AppState app;

// The main panel's status line: a sentence about the data file and one about the instrument link,
// shown together, the file's first. An empty text clears that topic's sentence.
enum class StatusTopic { File, Link };
void setStatus(StatusTopic topic, const std::string& text);
