#pragma once
// Resource IDs of the panels in TEVRAN.uir and the IDs of the controls and menu items the program
// uses. TEVRAN.uir defines the same numbers; start-up checks that it does.

// Panels (resource IDs).
enum {
    ALLVAL = 1,  // all-values panel
    MAIN = 2,    // main panel
    PORT = 3,    // serial-port panel, a child of the main panel
    REG = 4,     // controller-parameter panel
    INFO = 5,    // instrument information panel
    ALARM = 6,   // alarm limits, the silence alarm and the alarm command
    WHOLE = 7,   // the whole recording so far, a chart window of its own
};

// Whole-recording window.
enum {
    WHOLE_CHART = 2,
    WHOLE_FILE = 3,  // the data file shown
};

// Main panel.
enum {
    MAIN_INTERVAL = 2,
    MAIN_LEFT_MIN = 3,
    MAIN_LEFT_MAX = 4,
    MAIN_RIGHT_MIN = 5,
    MAIN_RIGHT_MAX = 6,
    MAIN_LEFT_AUTO = 7,
    MAIN_RIGHT_AUTO = 8,
    MAIN_STRIPCHART = 9,
    MAIN_COM_LED = 10,
    MAIN_RUN_MARK = 11,
    MAIN_IDLE_MARK = 12,
    MAIN_IDLE_ONLY = 13,
    MAIN_VALUE1 = 14,
    MAIN_FILENAME = 15,
    MAIN_TIMER = 16,
    MAIN_TRACE1_SELECT = 17,
    MAIN_TRACE2_SELECT = 18,
    MAIN_VALUE2 = 20,
    MAIN_RUN = 21,
    MAIN_STOP = 22,
    MAIN_OPEN = 23,
    MAIN_STATUS = 24,  // status line: problems the operator must know of without a popup
    MAIN_LOADCOUNT = 26,
    MAIN_ALARM = 40,  // every alarm that is up, in words; empty when none
    MAIN_SETTINGS = 70,  // the column of settings groups, which scrolls on a short screen
};

// Serial-port panel.
enum {
    PORT_NUMBER = 2,
    PORT_OK = 3,
    PORT_LIST =
        4,  // the system's serial devices and the COMn entries; choosing one fills PORT_NUMBER
    PORT_DIR = 6,      // the directory the COMn entries live in
    PORT_HINT = 7,     // what the chosen device needs (a COMn entry made at OK, the dialout group)
    PORT_CANCEL = 10,  // closes the panel, changing nothing (also Escape)
};

// Controller-parameter panel: parameter n lives in field REG_PARAM0 + n.
enum {
    REG_PARAM0 = 2,
    REG_PARAM1 = 3,
    REG_PARAM2 = 4,
    REG_PARAM3 = 5,
    REG_PARAM4 = 6,
    REG_OK = 7,
    REG_STATUS = 8,  // which parameters the last read left unread
};

// All-values panel: quantity k lives in field ALLVAL_VZ + k.
enum {
    ALLVAL_VZ = 2,
    ALLVAL_TZ = 3,
    ALLVAL_PO2 = 4,
    ALLVAL_IE = 5,
};

// Alarm panel: the limits of alarm a (alarm_watch.h: 2k low, 2k + 1 high limit of quantity k)
// live in ALARM_VZ_LOW + 2a, their switches in ALARM_VZ_LOW_ON + 2a.
enum {
    ALARM_VZ_LOW = 2,
    ALARM_VZ_LOW_ON = 3,
    ALARM_VZ_HIGH = 4,
    ALARM_VZ_HIGH_ON = 5,
    ALARM_TZ_LOW = 6,
    ALARM_TZ_LOW_ON = 7,
    ALARM_TZ_HIGH = 8,
    ALARM_TZ_HIGH_ON = 9,
    ALARM_PO2_LOW = 10,
    ALARM_PO2_LOW_ON = 11,
    ALARM_PO2_HIGH = 12,
    ALARM_PO2_HIGH_ON = 13,
    ALARM_IE_LOW = 14,
    ALARM_IE_LOW_ON = 15,
    ALARM_IE_HIGH = 16,
    ALARM_IE_HIGH_ON = 17,
    ALARM_SILENT_S = 18,  // no good poll for this long raises an alarm [s]; 0 off
    ALARM_COMMAND = 19,   // run with /bin/sh at each raise and clear; empty: none
};

// Main menu bar.
enum {
    MENU_VIEW = 1,
    MENU_IDLE_ONLY = 2,  // the "Instrument" entry, dimmed while a measurement runs
    MENU_ALLVALUES = 3,
    MENU_COMPORT = 4,
    MENU_PARAMETERS = 5,
    MENU_HELP = 6,
    MENU_INFO = 7,
    MENU_ABOUT = 8,
    MENU_ALARMS = 20,
    MENU_CHART = 30,  // the chart as a picture, the whole recording
    MENU_SAVE_CHART = 31,
    MENU_COPY_CHART = 32,
    MENU_WHOLE_RECORDING = 33,
};
