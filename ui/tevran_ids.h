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
    MAIN_SETTINGS = 70,  // the column of settings groups, which scrolls on a short screen
};

// Serial-port panel.
enum {
    PORT_NUMBER = 2,
    PORT_OK = 3,
    PORT_LIST =
        4,  // the system's serial devices and the COMn entries; choosing one fills PORT_NUMBER
    PORT_DIR = 6,  // the directory the COMn entries live in
    PORT_HINT = 7,
    PORT_CANCEL = 10,  // closes the panel, changing nothing (also Escape)  // what the chosen
                       // device needs (a COMn entry made at OK, the dialout group)
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
};
