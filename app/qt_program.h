#pragma once
// The program in real windows: the Qt front end wired to the run-time core, TEVRAN's start-up,
// then the event loop. `main` makes the QApplication and hands it over; the GUI test does the
// same in a process of its own.

class QApplication;

// Returns 1 when the user interface cannot be loaded; otherwise the process ends in `enden`
// when the main panel is closed (0 should the loop ever return).
int runTevranInWindows(QApplication& qtApp);
