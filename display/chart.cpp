// The strip chart: the sliding window of the last 899 samples, the x range that moves in steps,
// the y-axis scaling, the chart-settings controls, and a stored file's points in its place.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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
    static const char* const names[5] = {"Vz [mV]",
                                         "Tz [\xB0"
                                         "C]",
                                         "pO2 [ppm]", "Ie [mA]", "fifth value"};
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
        PlotXY(app.p1, MAIN_STRIPCHART, app.xsec, app.g1wert, app.mpoint, kPlotStyle, kTrace1Points,
               kSolid, 1, kTrace1Colour);
        SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_RIGHT_YAXIS);
        PlotXY(app.p1, MAIN_STRIPCHART, app.xsec, app.g2wert, app.mpoint, kPlotStyle, kTrace2Points,
               kSolid, 1, kTrace2Colour);
        // The values under a pointer that stays put follow the samples scrolling past it.
        if (GetGraphPointer(app.p1, MAIN_STRIPCHART, nullptr) == 1)
            showReadout(app.p1, MAIN_STRIPCHART);
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
    // A new run is followed from its first sample, whatever range the last one was zoomed to.
    ResetGraphView(app.p1, MAIN_STRIPCHART);
    app.xmax = 100;
    app.xmin = 0;
    app.mpoint = 0;
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_MANUAL, app.xmin, app.xmax);
}

std::vector<std::size_t> segmentStarts(const std::vector<double>& t) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i == 0 || t[i] < t[i - 1]) starts.push_back(i);
    return starts;
}

namespace {
// One stored trace over its band, a line per segment of the time column.
void plotStoredTrace(int panel, int control, int axis, const std::vector<double>& t,
                     const std::vector<double>& y, const ChartBand& band, int points, int colour) {
    SetCtrlAttribute(panel, control, ATTR_ACTIVE_YAXIS, axis);
    if (!band.lo.empty())
        PlotBand(panel, control, band.x0, band.dx, band.lo.data(), band.hi.data(),
                 static_cast<int>(band.lo.size()), colour);
    const std::vector<std::size_t> starts = segmentStarts(t);
    if (starts.empty()) {
        // An empty file still gets its (empty) trace, as any file does.
        PlotXY(panel, control, t.data(), y.data(), 0, kPlotStyle, points, kSolid, 1, colour);
        return;
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : t.size();
        PlotXY(panel, control, t.data() + starts[k], y.data() + starts[k],
               static_cast<int>(end - starts[k]), kPlotStyle, points, kSolid, 1, colour);
    }
}
}  // namespace

void plotStoredPoints(int panel, int control, const std::vector<double>& t,
                      const std::vector<double>& y1, const std::vector<double>& y2,
                      const ChartBand& band1, const ChartBand& band2) {
    SetCtrlAttribute(panel, control, kAttrGraphMode, 1);
    SetCtrlAttribute(panel, control, kAttrGraphColour, 0);
    SetCtrlAttribute(panel, control, kAttrGraphCopy, 1);
    DeleteGraphPlot(panel, control, -1, VAL_IMMEDIATE_DRAW);
    // The value axes keep their scaling: automatic as a file is opened, or limits set since,
    // which a zoom that reads the file again must not undo.
    SetAxisScalingMode(panel, control, VAL_XAXIS, VAL_AUTOSCALE, app.xmin, app.xmax);
    plotStoredTrace(panel, control, VAL_LEFT_YAXIS, t, y1, band1, kTrace1Points, kTrace1Colour);
    plotStoredTrace(panel, control, VAL_RIGHT_YAXIS, t, y2, band2, kTrace2Points, kTrace2Colour);
}
