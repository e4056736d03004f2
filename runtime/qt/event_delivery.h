#pragma once
// Operator events from the widgets to the program. Each hands the event to the core's dispatch
// and then brings the windows up to date (the charts the callback changed are redrawn once, when
// it has returned).

namespace rt::qt {

void deliverCommit(int panel, int control);
void deliverClose(int panel);
void deliverMenu(int menuBar, int menuItem);
void deliverTimerTick(int panel, int control);
// The system's request to end (a signal): delivered at once, also during a popup.
void deliverEndTask();

}  // namespace rt::qt
