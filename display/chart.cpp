// The strip chart: the sliding window of the last 899 samples, the x range that moves in steps,
// the y-axis scaling, and the chart-settings controls.
#include "display/chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/state.h"
#include "app/system.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kWindow = 899;  // samples in the window
constexpr int kTrace1Colour = 0x0000FF;
constexpr int kTrace2Colour = 0xFF0000;
constexpr int kPlotStyle = 5;  // thin line
constexpr int kTrace1Points = 0;
constexpr int kTrace2Points = 19;
constexpr int kSolid = 0;

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

double usableInterval(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0) return 1.0;
    return seconds < 0.01 ? 0.01 : seconds;
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

int skaliere(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    GetCtrlVal(app.p1, MAIN_INTERVAL, &app.abtast);
    app.abtast = usableInterval(app.abtast);
    SetCtrlAttribute(app.p1, MAIN_TIMER, ATTR_INTERVAL, app.abtast);
    for (int i = 0; i < 4; ++i) GetCtrlVal(app.p1, MAIN_LEFT_MIN + i, &app.skl[i]);
    for (int i = 0; i < 2; ++i) GetCtrlVal(app.p1, MAIN_TRACE1_SELECT + i, &app.was[i]);
    for (int i = 0; i < 2; ++i) GetCtrlVal(app.p1, MAIN_LEFT_AUTO + i, &app.autoscale[i]);
    scaleSC();
    dimAxisLimits();
    if ((control == MAIN_TRACE1_SELECT || control == MAIN_TRACE2_SELECT) && app.o_dat_offen)
        darstellen();
    return 0;
}
