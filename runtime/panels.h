#pragma once
// Panels, controls, menus and the event loop.
//
// Panels come from the resource file and are kept as data by the run-time core; a front end
// (real windows or headless) shows them and turns operator actions into events. One callback runs
// at a time. Timer ticks that fall due while a callback runs coalesce into one; while a modal
// popup is open, timer ticks are still delivered and nothing else is.

// Event codes handed to callbacks. EVENT_END_TASK reaches the callback of the first top-level
// panel loaded when the system asks the program to end (SIGTERM at logout or shutdown, SIGHUP,
// SIGINT): no operator is there to answer a question. It comes from the event loop, never from
// inside a signal handler, also while a popup is open.
enum { EVENT_COMMIT = 1, EVENT_CLOSE = 11, EVENT_TIMER_TICK = 15, EVENT_END_TASK = 24 };
// To a graph's callback: the operator changed the time range shown, or moved the pointer over
// the plot or off it (graph.h).
enum { EVENT_VIEW_CHANGED = 40, EVENT_POINTER_MOVED = 41 };

// Control attributes.
enum {
    ATTR_DIMMED = 500,         // int: 1 dimmed and inoperable, 0 enabled
    ATTR_VISIBLE = 530,        // int: 1 visible
    ATTR_COLOR = 880,          // int: 0xRRGGBB
    ATTR_ACTIVE_YAXIS = 1149,  // graph, int: y axis of the following plots (1 left, 2 right)
    ATTR_INTERVAL = 1270,      // timer, double: interval [s]
};

using CtrlCallback = int (*)(int panel, int control, int event, void* callbackData, int eventData1,
                             int eventData2);
using PanelCallback = int (*)(int panel, int event, void* callbackData, int eventData1,
                              int eventData2);
using MenuCallback = void (*)(int menuBar, int menuItem, void* callbackData, int panel);

// Creates the panel `resourceId` of the resource file, hidden; `parent` 0 makes a top-level
// window, a panel handle a child panel inside it. Returns a handle > 0, or a negative value.
int LoadPanel(int parent, const char* resourceFile, int resourceId);
int DisplayPanel(int panel);
int HidePanel(int panel);
int GetPanelMenuBar(int panel);
// Panel attributes.
enum { ATTR_TITLE = 1000 };  // string: the window's title
int SetPanelAttribute(int panel, int attribute, const char* value);
namespace rt {
int getPanelString(int panel, int attribute, char* buf, int capacity);
}
template <int N>
int GetPanelAttribute(int panel, int attribute, char (&value)[N]) {
    return rt::getPanelString(panel, attribute, value, N);
}
// Runs the event loop; returns only when the front end ends it.
int RunUserInterface();
// From now on a failing operation only returns its error code (the only mode there is).
int DisableBreakOnLibraryErrors();

// Values. A value of another type than the control's is converted (numbers) or refused.
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, const char* value);
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, double* value);
namespace rt {
int getCtrlString(int panel, int control, char* buf, int capacity);
}
template <int N>
int GetCtrlVal(int panel, int control, char (&value)[N]) {
    return rt::getCtrlString(panel, control, value, N);
}

// Entries of a selector or list: each a label and an int value, the control's value when chosen.
int ClearListCtrl(int panel, int control);
// Inserts an entry before `index` (-1: at the end).
int InsertListItem(int panel, int control, int index, const char* label, int value);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int GetCtrlAttribute(int panel, int control, int attribute, int* value);
int GetCtrlAttribute(int panel, int control, int attribute, double* value);
int SetMenuBarAttribute(int menuBar, int menuItem, int attribute, int value);
// Gives `control` the keyboard focus when its panel is shown (at once, if it is).
int SetActiveCtrl(int panel, int control);
// Restarts the interval of a timer control: its next tick comes one full interval from now.
int ResetTimer(int panel, int control);
int SetWaitCursor(int on);
// Lets the front end repaint what changed while a long callback runs (no events are delivered).
int ProcessDrawEvents();

// Return codes of the operations above.
enum {
    UIE_NO_ERROR = 0,
    UIE_BAD_HANDLE = -1,     // no such panel or menu bar
    UIE_BAD_CONTROL = -2,    // no such control on the panel
    UIE_BAD_ATTRIBUTE = -3,  // attribute not valid for the control
    UIE_BAD_TYPE = -4,       // value of the wrong type
    UIE_RESOURCE = -5,       // resource file missing, unreadable or without that panel
};
