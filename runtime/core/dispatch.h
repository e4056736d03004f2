#pragma once
// Events from a front end to the program's callbacks. One callback runs at a time: while one
// runs, only timer ticks are delivered (during its modal popups), and a tick that arrives while a
// tick callback runs is dropped (it coalesces with the one running).

namespace rt {

// Each returns true when the event reached a callback.
bool dispatchCommit(int panel, int control);     // EVENT_COMMIT on a control
bool dispatchClose(int panel);                   // EVENT_CLOSE on a panel
bool dispatchTimerTick(int panel, int control);  // EVENT_TIMER_TICK on a timer control
bool dispatchMenu(int menuBar, int menuItem);    // a menu item chosen
// EVENT_VIEW_CHANGED or EVENT_POINTER_MOVED on a graph.
bool dispatchGraphEvent(int panel, int control, int event);
bool dispatchMenu(int menuBar, int menuItem);  // a menu item chosen
// EVENT_END_TASK to the first top-level panel loaded; delivered also during a modal popup
// (nobody may be there to answer it), not while another callback runs without one.
bool dispatchEndTask();
// The program's watch of the serial devices (WatchComPorts): the panel it is for, and the call a
// front end makes about once a second; it reaches the program only while that panel is shown
// and no callback runs.
void setComPortWatch(int panel, void (*changed)());
int comPortWatchPanel();
bool dispatchComPortWatch();
// True while a callback runs.
bool callbackRunning();
// True while a modal popup is open.
bool popupOpen();
// Popup code marks the popup's duration with this guard.
struct PopupScope {
    PopupScope();
    ~PopupScope();
};

}  // namespace rt
