// The strip chart: the sliding window of the last 899 samples, the x range that moves in steps,
// the y-axis scaling, the chart-settings controls, and a stored file's points in its place.

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/state.h"
#include "display/display.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kWindow = 899;  // samples in the window
constexpr int kTrace1Colour = 0x0000FF;
constexpr int kTrace2Colour = 0xFF0000;
constexpr int kPlotStyle = VAL_THIN_LINE;
constexpr int kTrace1Points = VAL_EMPTY_SQUARE;
constexpr int kTrace2Points = VAL_NO_POINT;
constexpr int kSolid = VAL_SOLID;

// Graph settings the live chart and the stored-file view set differently; the chart keeps them
// as its data.
constexpr int kAttrGraphMode = 1143;  // 0 live chart, 1 stored file
constexpr int kAttrGraphColour = 1142;
constexpr int kAttrGraphCopy = 1146;

// Whole seconds, truncated toward zero, within the range of the ints the chart keeps them in:
// an interval of 1e12 s from a hand-edited settings file must not overflow the time axis.
int wholeSeconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(seconds), lo, hi));
}

void store(int k) {
    app.g1wert[k] = quantityValue(app.was[0]);
    app.g2wert[k] = quantityValue(app.was[1]);
    app.xsec[k] = wholeSeconds(app.mzeit);
}

}  // namespace

void nameAxes() {
    SetAxisName(app.p1, MAIN_STRIPCHART, VAL_LEFT_YAXIS, quantityName(app.was[0]));
    SetAxisName(app.p1, MAIN_STRIPCHART, VAL_RIGHT_YAXIS, quantityName(app.was[1]));
}

double quantityValue(int no) { return no >= 0 && no <= 4 ? app.mw[no] : 0.0; }

const char* quantityName(int no) {
    static const char* const names[5] = {"Vz [mV]", "Tz [\xB0" "C]", "pO2 [ppm]", "Ie [mA]",
                                         "fifth value"};
    return no >= 0 && no <= 4 ? names[no] : "no quantity";
}

void plotten() {
    if (app.mpoint > kWindow) {
        // Full: the new sample goes to index 899, then the window shifts down by one.
        app.mpoint = kWindow;
        store(kWindow);
        for (int i = 1; i <= kWindow; ++i) {
            app.g1wert[i - 1] = app.g1wert[i];
            app.g2wert[i - 1] = app.g2wert[i];
            app.xsec[i - 1] = app.xsec[i];
        }
    } else {
        store(app.mpoint);
    }

    if (app.mpoint > 2) {
        if (app.mzeit > app.xmax) {
            // Ten intervals on, in whole seconds, and at least one second: below 0.1 s ten
            // intervals truncate to nothing, and an upper end that never moved on would keep
            // every sample after the first 100 s out of sight.
            app.xmax = wholeSeconds(app.xmax + std::max(1.0, 10.0 * app.abtast));
            app.xmin = wholeSeconds(app.xmax - kWindow * app.abtast + 1);
            if (app.xmin < app.xsec[0]) app.xmin = app.xsec[0];
            SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_MANUAL, app.xmin, app.xmax);
            DeleteGraphPlot(app.p1, MAIN_STRIPCHART, -1, 1);
        }
        SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_LEFT_YAXIS);
        PlotXY(app.p1, MAIN_STRIPCHART, app.xsec, app.g1wert, app.mpoint, kPlotStyle,
               kTrace1Points, kSolid, 1, kTrace1Colour);
        SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_RIGHT_YAXIS);
        PlotXY(app.p1, MAIN_STRIPCHART, app.xsec, app.g2wert, app.mpoint, kPlotStyle,
               kTrace2Points, kSolid, 1, kTrace2Colour);
    }
    ++app.mpoint;
}

void scaleSC() {
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_LEFT_YAXIS,
                       app.autoscale[0] ? VAL_AUTOSCALE : VAL_MANUAL, app.skl[0], app.skl[1]);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_RIGHT_YAXIS,
                       app.autoscale[1] ? VAL_AUTOSCALE : VAL_MANUAL, app.skl[2], app.skl[3]);
    nameAxes();
}

void dimAxisLimits() {
    for (int axis = 0; axis < 2; ++axis) {
        int automatic = 0;
        GetCtrlVal(app.p1, MAIN_LEFT_AUTO + axis, &automatic);
        SetCtrlAttribute(app.p1, MAIN_LEFT_MIN + 2 * axis, ATTR_DIMMED, automatic != 0);
        SetCtrlAttribute(app.p1, MAIN_LEFT_MAX + 2 * axis, ATTR_DIMMED, automatic != 0);
    }
}

void startLiveChart() {
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphMode, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphColour, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphCopy, 1);
    DeleteGraphPlot(app.p1, MAIN_STRIPCHART, -1, VAL_IMMEDIATE_DRAW);
    app.xmax = 100;
    app.xmin = 0;
    app.mpoint = 0;
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_MANUAL, app.xmin, app.xmax);
}

void plotStoredPoints(const double* mwo1, const double* mwo2, const double* mwo3, int n) {
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphMode, 1);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphColour, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphCopy, 1);
    DeleteGraphPlot(app.p1, MAIN_STRIPCHART, -1, VAL_IMMEDIATE_DRAW);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_AUTOSCALE, app.xmin, app.xmax);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_LEFT_YAXIS, VAL_AUTOSCALE, app.skl[0],
                       app.skl[1]);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_RIGHT_YAXIS, VAL_AUTOSCALE, app.skl[2],
                       app.skl[3]);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_LEFT_YAXIS);
    PlotXY(app.p1, MAIN_STRIPCHART, mwo1, mwo2, n, kPlotStyle, kTrace1Points, kSolid, 1,
           kTrace1Colour);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_RIGHT_YAXIS);
    PlotXY(app.p1, MAIN_STRIPCHART, mwo1, mwo3, n, kPlotStyle, kTrace2Points, kSolid, 1,
           kTrace2Colour);
}
