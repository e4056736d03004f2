#pragma once
// Pure parts of the stored-file viewer.
#include <functional>

// Lines read per point for a file of `filesize` bytes: (filesize − 105) / 36000 + 1, truncated
// toward zero, so a file of any size gives about 1000 points or fewer. Always at least 1.
int thinningStep(long filesize);

// The value of column quantity `no` (0 Vz, 1 Tz, 2 pO2, 3 Ie) of a parsed line; 0.0 for an
// index the file has no column for.
double columnValue(const double (&mwh)[4], int no);

struct StoredPoints;
class TimeColumns;

// The points and band of the stored file a chart shows: of the whole file in the full view,
// read again from the file for the range shown when zoomed. False when the chart shows no stored
// file or the file cannot be read.
bool storedData(int panel, int control, StoredPoints& points, TimeColumns& band);
// A chart that shows the file at `path` as it grows (a recording): the lines added since the
// last call are taken in. 1 when there were any, 0 when not, -1 when the file cannot be read.
int followStoredFile(int panel, int control, const char* path);
