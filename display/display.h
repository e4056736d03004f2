#pragma once
// Value texts, the idle and run appearance, and the strip chart: the only code that draws on it.
#include <cstddef>
#include <string>
#include <vector>

// Formats quantity `no` (0 Vz, 1 Tz, 2 pO2, 3 Ie, 4 the fifth value) with its unit into mw_buf.
void messwert(int no);

// The idle (0) or the run (1) appearance of the main panel, the all-values panel and the menu bar.
void faerben(int anders);

// Adds the current sample to the live chart's window and draws both traces.
void plotten();

// Sets the y axes' scaling from the chart settings and names the axes.
void scaleSC();

// Dims the minimum and maximum fields of each axis whose automatic-scaling switch is on: the
// limits stay stored and apply again once the switch is off.
void dimAxisLimits();

// An empty live chart for a new run: no plots, x from 0 to 100 s.
void startLiveChart();

// Behind a trace: column c from x0 + c * dx spans lo[c] to hi[c] (NaN: empty).
struct ChartBand {
    double x0 = 0.0, dx = 1.0;
    std::vector<double> lo, hi;
};

// Shows a stored file instead of whatever the chart showed: its thinned traces (time t, trace 1
// y1, trace 2 y2), each segment of its time column a line of its own, over the bands of all its
// lines; every axis scaled to the data.
void plotStoredPoints(int panel, int control, const std::vector<double>& t,
                      const std::vector<double>& y1, const std::vector<double>& y2,
                      const ChartBand& band1, const ChartBand& band2);

// Where each segment of a time column begins: a time below the one before starts a new one (Run
// pressed again during a recording starts the time near 0 again).
std::vector<std::size_t> segmentStarts(const std::vector<double>& t);

// The value display's text of `value` as quantity `no`, padded as the display shows it:
// "    -104.1 mV  ", " 1.435e+03 ppm ".
std::string quantityText(int no, double value);

// The texts of the values under the pointer: the time in seconds (past an hour also as h:mm:ss)
// and each value as the value display shows it, without its padding: "3725 s (1:02:05)",
// "-104.1 mV", "1.435e+03 ppm".
std::vector<std::string> readoutTexts(double seconds, int was0, double v1, int was1, double v2);

// Shows the values under the pointer on a chart, or hides them once the pointer left.
void showReadout(int panel, int control);

// The current value of quantity `no`; 0.0 for an index that has no value (outside 0..4).
double quantityValue(int no);

// Axis name of quantity `no`, e.g. "Tz [°C]" (Windows-1252).
const char* quantityName(int no);

// Gives the chart's two y axes the names of the quantities their traces show.
void nameAxes();
