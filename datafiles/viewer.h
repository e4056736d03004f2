#pragma once
// Pure parts of the stored-file viewer.
#include <functional>

// Lines read per point for a file of `filesize` bytes: (filesize − 105) / 36000 + 1, truncated
// toward zero, so a file of any size gives about 1000 points or fewer. Always at least 1.
int thinningStep(long filesize);

// The value of column quantity `no` (0 Vz, 1 Tz, 2 pO2, 3 Ie) of a parsed line; 0.0 for an
// index the file has no column for.
double columnValue(const double (&mwh)[4], int no);
