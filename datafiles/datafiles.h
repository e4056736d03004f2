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

// Reads the stored file o_dat for the main chart: its index and band from every line, and the
// points thinned to at most 999 as reading every n-th line gives them. `progress` is told each
// point read. Returns the number of points; `status` says why none could be read, and is empty
// otherwise.
int readStoredFile(const std::function<void(int)>& progress, std::string& status);

struct StoredPoints;
class TimeColumns;

// The points and band of the stored file a chart shows: of the whole file in the full view,
// read again from the file for the range shown when zoomed (a file written anew since it was read
// is read whole again first). False when the chart shows no stored file, or when the file cannot
// be read: `status` then says why.
bool storedData(int panel, int control, StoredPoints& points, TimeColumns& band,
                std::string& status);

// A chart that shows the file at `path` as it grows (a recording): the lines added since the
// last call are taken in. 1 when there were any, 0 when not, -1 when the file cannot be read.
int followStoredFile(int panel, int control, const char* path);
