#pragma once
// Helpers of the strip chart shared with start-up.
#include <cstddef>
#include <string>
#include <vector>

// The sampling interval the timer may be given: a value that is not finite or not above 0 s
// becomes the default 1 s, one below 0.01 s becomes 0.01 s, so the timer never spins.
double usableInterval(double seconds);

// The current value of quantity `no`; 0.0 for an index that has no value (outside 0..4).
double quantityValue(int no);

// Axis name of quantity `no`, e.g. "Tz [°C]" (Windows-1252).
const char* quantityName(int no);

// Gives the chart's two y axes the names of the quantities their traces show.
void nameAxes();

// The value display's text of `value` as quantity `no`, padded as the display shows it:
// "    -104.1 mV  ", " 1.435e+03 ppm ".
std::string quantityText(int no, double value);

// The texts of the values under the pointer: the time in seconds (past an hour also as h:mm:ss)
// and each value as the value display shows it, without its padding: "3725 s (1:02:05)",
// "-104.1 mV", "1.435e+03 ppm".
std::vector<std::string> readoutTexts(double seconds, int was0, double v1, int was1, double v2);

// Shows the values under the pointer on a chart, or hides them once the pointer left.
void showReadout(int panel, int control);

// Behind a trace: column c from x0 + c * dx spans lo[c] to hi[c] (NaN: empty).
struct ChartBand {
    double x0 = 0.0, dx = 1.0;
    std::vector<double> lo, hi;
};

// Where each segment of a time column begins: a time below the one before starts a new one (Run
// pressed again during a recording starts the time near 0 again).
std::vector<std::size_t> segmentStarts(const std::vector<double>& t);

// Draws a stored file's two thinned traces, each segment of its time column a line of its own,
// over the bands of all its lines, in place of whatever the chart showed.
void drawStoredTraces(int panel, int control, const std::vector<double>& t,
                      const std::vector<double>& y1, const std::vector<double>& y2,
                      const ChartBand& band1, const ChartBand& band2);
