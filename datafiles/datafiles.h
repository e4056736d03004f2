#pragma once
// The data file writer and the stored-file viewer's reading.
#include <functional>
#include <string>

// Asks for the comment and writes the data file's six header lines; 0, or -1 when they could not
// be written whole.
int dateikopf();

// Appends the current sample's line to the data file.
void wertspeichern();

// A data file that lost its name during the recording (deleted, its folder removed) is given one
// again, with every line so far, and the status line says where. `now` tries at once; otherwise a
// failed try is repeated at most every 10 s. One fstat when the file still has its name.
void keepDataFileNamed(bool now);

// Closes the data file of a recording, named again first if it lost its name; ends the recording.
void closeDataFile();

// Asks for the data file until the answer is a new file, one the operator lets be overwritten, or
// a cancel, and opens it, never one that another recording holds. Returns the dialog's result
// (VAL_NEW_FILE_SELECTED when a file was chosen); `filedat` holds the open's.
int chooseAndOpenFile();

// Reads the stored file o_dat for the chart, thinned to at most 999 points: time into mwo1, the
// quantities of trace 1 and 2 into mwo2 and mwo3. `progress` is told each point read. Returns the
// number of points; `status` says why none could be read, and is empty otherwise.
int readStoredFile(double* mwo1, double* mwo2, double* mwo3,
                   const std::function<void(int)>& progress, std::string& status);
