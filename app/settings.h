#pragma once
// The settings file TEVRAN.ini, read and written apart from start-up and shutdown.

// Reads the ten settings from the file at `path` into the application state: all ten when the
// file holds them, otherwise all ten defaults. The interval is then made usable for the timer.
void readSettings(const char* path);

// Writes the ten settings to `path`. The file is replaced only once the whole line is written.
// Returns 0, or a negative value when it could not be written.
int writeSettings(const char* path);

// The sampling interval the timer may be given: a value that is not finite or not above 0 s
// becomes the default 1 s, one below 0.01 s becomes 0.01 s, so the timer never spins.
double usableInterval(double seconds);
