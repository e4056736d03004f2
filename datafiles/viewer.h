#pragma once
// Pure parts of the stored-file viewer.
#include <functional>

// Lines read per point for a file of `filesize` bytes: (filesize − 105) / 36000 + 1, truncated
// toward zero, so a file of any size gives about 1000 points or fewer. Always at least 1.
int thinningStep(long filesize);

// The value of column quantity `no` (0 Vz, 1 Tz, 2 pO2, 3 Ie) of a parsed line; 0.0 for an
// index the file has no column for.
double columnValue(const double (&mwh)[4], int no);

// Reads the data of an open file in groups of `ausl` lines, parsing only the last line of each
// group, until 999 points, a line shorter than 7 characters, the end of the file or a read
// error. Fills time, trace-1 and trace-2 values; returns the number of points.
int loadStoredPoints(int file, int ausl, int was0, int was1, double* mwo1, double* mwo2,
                     double* mwo3, const std::function<void(int)>& progress);
