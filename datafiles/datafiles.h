#pragma once
// The data file writer and the stored-file viewer's reading.
#include <functional>
#include <string>

// Asks for the comment and writes the data file's six header lines.
void dateikopf();

// Appends the current sample's line to the data file.
void wertspeichern();

// Asks for the data file until the answer is a new file, one the operator lets be overwritten, or
// a cancel, and opens it, never one that another recording holds. Returns the dialog's result
// (VAL_NEW_FILE_SELECTED when a file was chosen); `filedat` holds the open's.
int chooseAndOpenFile();

// Reads the stored file o_dat for the chart, thinned to at most 999 points: time into mwo1, the
// quantities of trace 1 and 2 into mwo2 and mwo3. `progress` is told each point read. Returns the
// number of points; `status` says why none could be read, and is empty otherwise.
int readStoredFile(double* mwo1, double* mwo2, double* mwo3,
                   const std::function<void(int)>& progress, std::string& status);
