#pragma once
// The numbers of a data line, as the stored-file viewer reads them.

// The numbers of a data line as the viewer reads them ("%f %f %f %f %f"): how many of the five
// were read, stopping at the first that is not a number.
int parseDataLine(const char* p, const char* end, double (&v)[5]);

// The same numbers to the bit, read quicker for lines as a recording writes them.
// The bytes from `end` up to `readable` may be looked at (never taken as part of the line).
int parseDataLine(const char* p, const char* end, const char* readable, double (&v)[5]);

// A whole line as a recording writes it, its line end found on the way: five numbers read the
// quicker way, one tab between two, then CR LF or LF before `end`. Returns where its line end
// begins, or null for any other line (which the two above then read).
const char* parseRecordedLine(const char* p, const char* end, const char* readable, double (&v)[5]);
