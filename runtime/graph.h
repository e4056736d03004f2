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
