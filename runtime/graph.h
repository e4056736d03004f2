#pragma once
// The graph control: plots of x/y data against an x axis and a left and a right y axis.

enum { VAL_XAXIS = 0, VAL_LEFT_YAXIS = 1, VAL_RIGHT_YAXIS = 2 };
enum { VAL_MANUAL = 0, VAL_AUTOSCALE = 1 };
// Plot styles (others are drawn as VAL_THIN_LINE).
enum { VAL_THIN_LINE = 5 };
// Point styles and line styles.
enum { VAL_EMPTY_SQUARE = 0, VAL_NO_POINT = 19 };
enum { VAL_SOLID = 0 };
enum { VAL_IMMEDIATE_DRAW = 1 };

// Adds one plot of n points against the active y axis (ATTR_ACTIVE_YAXIS); returns its handle
// (> 0) or a negative value.
int PlotXY(int panel, int control, const int* x, const double* y, int n, int plotStyle,
           int pointStyle, int lineStyle, int pointFrequency, int colour);
int PlotXY(int panel, int control, const double* x, const double* y, int n, int plotStyle,
           int pointStyle, int lineStyle, int pointFrequency, int colour);
// Deletes one plot, or all of them with plotHandle -1.
int DeleteGraphPlot(int panel, int control, int plotHandle, int refresh);
// Axis VAL_XAXIS, VAL_LEFT_YAXIS or VAL_RIGHT_YAXIS; mode VAL_MANUAL (range min..max) or
// VAL_AUTOSCALE (range from the data; min and max kept for later).
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);

// Names an axis (VAL_XAXIS, VAL_LEFT_YAXIS, VAL_RIGHT_YAXIS); the text is Windows-1252.
int SetAxisName(int panel, int control, int axis, const char* name);

// ---- The operator's view
// The operator zooms and pans a graph and points at it; the view is kept beside the axes'
// settings and never changes them. The graph's callback hears of it: EVENT_VIEW_CHANGED when the
// time range shown changed, EVENT_POINTER_MOVED when the pointer moved over the plot or left it.

// The time range shown: `zoomed` 1 with the operator's range, 0 in the full view (the axis's
// manual range or the data's).
int GetGraphView(int panel, int control, int* zoomed, double* xLo, double* xHi);
// Back to the full view without telling the callback (a chart the program starts afresh).
int ResetGraphView(int panel, int control);
// 1 while the pointer is over the plot (`x` its time), 0 when not; negative on an error.
int GetGraphPointer(int panel, int control, double* x);
// The point of the traces on `yAxis` whose x lies nearest to `x`: 1 found, 0 none.
int GetNearestGraphPoint(int panel, int control, int yAxis, double x, double* px, double* py);
// The values under the pointer: a thin line at `x` and `n` texts beside it (Windows-1252), the
// first in black, the others in the colours of the traces; n 0 hides them.
int SetGraphReadout(int panel, int control, double x, const char* const* parts, int n);
// Adds a band against the active y axis: column c from x0 + c * dx to x0 + (c + 1) * dx spans
// lo[c] to hi[c] (NaN: nothing in that column), in a light shade of `colour`. Deleted with all
// plots (DeleteGraphPlot -1).
int PlotBand(int panel, int control, double x0, double dx, const double* lo, const double* hi,
             int n, int colour);
// The largest picture of a graph either way [pixels]: larger ones take gigabytes.
constexpr int kLargestGraphImage = 16384;
// The graph as a picture: PNG, or SVG for a path ending in ".svg" (Windows-1252), `width` x
// `height` pixels (1 to kLargestGraphImage each), or as large as it is on the screen with 0 x 0.
// 0, or negative on a failure (fileErrorText() says why; a file that was not there is not left
// behind).
int SaveGraphImage(int panel, int control, const char* path, int width, int height);
// The graph as a picture on the clipboard. 0, or negative on a failure.
int CopyGraphImage(int panel, int control);
