#pragma once
// Reading a stored data file at any depth. One pass over the whole file learns where its lines
// lie (an index of byte offsets with the times and values each stretch of lines holds) and the
// lowest and highest values per time column; a time range is then read again from the stretches
// that hold it, thinned as the whole file is.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "datafiles/time_columns.h"

struct StoredPoints {
    std::vector<double> t, y1, y2;
};

// A stretch of consecutive lines of the file.
struct StoredBlock {
    long offset = 0;  // of its first line [bytes]
    long firstLine = 0;
    long lines = 0;
    double tLo, tHi;  // times of its data lines; tLo > tHi when it has none
    double qLo[4], qHi[4];
    bool ordered = true;  // its times never go back from one data line to the next
};

struct StoredFile {
    long size = 0;   // bytes taken in: up to the end of the last whole line
    long lines = 0;  // lines taken in
    long linesPerBlock = 1024;
    std::vector<StoredBlock> blocks;
    TimeColumns band;  // over every data line taken in
    // The last whole line taken in: where it begins, and its text as a line read has it, to tell
    // a file written anew since from one that only grew.
    long lastLine = -1;
    std::string lastText;
    // A last line without its line end, found by the first open, as a line-by-line read has it:
    // shown as the lines before it are, in the whole view and in a range.
    struct {
        int numbers = 0;
        double v[5] = {};
        long length = 0;
    } unended;
    // A file followed as it grows keeps the numbers of its data lines (t and the four
    // quantities) and their bytes while it is short, so that its whole view is thinned from them
    // rather than read again; when it grows long, the view is read through the index.
    bool keepsLines = false;
    std::vector<std::array<double, 5>> kept;
    long keptBytes = 0;
};

// The first pass over an open file, from its start: index and band from every line; and, from
// the last line of each group of `ausl`, the thinned points until 999 of them or a line shorter
// than 7 characters, exactly the points reading the groups line by line gives.
void scanStoredFile(int file, int ausl, int was0, int was1, StoredFile& f, StoredPoints& points,
                    const std::function<void(int)>& progress);
// True when the file no longer holds the last line taken in where it was (shortened, or written
// anew): what was taken in is not the file's any more.
bool storedFileChanged(int file, const StoredFile& f);
// Lines added to the file since (a recording going on): index and band take them in. Returns
// the number of lines taken in.
long scanMoreLines(int file, StoredFile& f);
// The thinned points of the whole file taken in so far, as readStoredRange gives them for all its
// times.
void readStoredWhole(int file, const StoredFile& f, int was0, int was1, StoredPoints& points);
// The data lines with times from t0 to t1 read again: every n-th of them, with n from the
// range's bytes as the whole file's step is from the file's (at most 999 points), and the band
// over all of them.
void readStoredRange(int file, const StoredFile& f, double t0, double t1, int was0, int was1,
                     StoredPoints& points, TimeColumns& band);
