#pragma once
// Value texts, the idle and run appearance, and the strip chart: the only code that draws on it.

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

// Shows a stored file's points instead of the live chart: time in mwo1, trace 1 in mwo2, trace 2
// in mwo3, n points, every axis scaled to the data.
void plotStoredPoints(const double* mwo1, const double* mwo2, const double* mwo3, int n);

// The current value of quantity `no`; 0.0 for an index that has no value (outside 0..4).
double quantityValue(int no);

// Axis name of quantity `no`, e.g. "Tz [°C]" (Windows-1252).
const char* quantityName(int no);

// Gives the chart's two y axes the names of the quantities their traces show.
void nameAxes();
