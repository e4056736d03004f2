#pragma once
// The system's requests to end the program (SIGTERM at logout or shutdown, SIGHUP when the
// terminal goes, SIGINT from Ctrl+C) as events of the event loop: the signal handler only writes
// a byte into a pipe, and the front end, watching the pipe's read end, delivers EVENT_END_TASK.

namespace rt {

// Catches the three signals from now on. Returns the pipe's read end (non-blocking, the same on
// every call) for the front end to watch; -1 when no pipe could be made, and the signals then
// keep their default action.
int watchEndSignals();

// True when one of the signals came since the last call; empties the pipe.
bool takeEndSignal();

}  // namespace rt
