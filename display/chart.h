#pragma once
// Helpers of the strip chart shared with start-up.

// The sampling interval the timer may be given: a value that is not finite or not above 0 s
// becomes the default 1 s, one below 0.01 s becomes 0.01 s, so the timer never spins.
double usableInterval(double seconds);

// The current value of quantity `no`; 0.0 for an index that has no value (outside 0..4).
double quantityValue(int no);

// Axis name of quantity `no`, e.g. "Tz [°C]" (Windows-1252).
const char* quantityName(int no);

// Gives the chart's two y axes the names of the quantities their traces show.
void nameAxes();
