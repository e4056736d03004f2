// A stored file on a chart: its thinned traces over the bands of all its lines.
#include <cstddef>
#include <vector>

#include "display/chart.h"
#include "runtime/graph.h"
#include "runtime/panels.h"

namespace {
constexpr int kTrace1Colour = 0x0000FF;
constexpr int kTrace2Colour = 0xFF0000;
constexpr int kThinLine = 5;

void drawTrace(int panel, int control, int axis, const std::vector<double>& t,
               const std::vector<double>& y, const ChartBand& band, int pointStyle, int colour) {
    SetCtrlAttribute(panel, control, ATTR_ACTIVE_YAXIS, axis);
    if (!band.lo.empty())
        PlotBand(panel, control, band.x0, band.dx, band.lo.data(), band.hi.data(),
                 static_cast<int>(band.lo.size()), colour);
    const std::vector<std::size_t> starts = segmentStarts(t);
    if (starts.empty()) {
        // An empty file still gets its (empty) trace, as any file does.
        PlotXY(panel, control, t.data(), y.data(), 0, kThinLine, pointStyle, 0, 1, colour);
        return;
    }
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : t.size();
        PlotXY(panel, control, t.data() + starts[k], y.data() + starts[k],
               static_cast<int>(end - starts[k]), kThinLine, pointStyle, 0, 1, colour);
    }
}
}  // namespace

std::vector<std::size_t> segmentStarts(const std::vector<double>& t) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (i == 0 || t[i] < t[i - 1]) starts.push_back(i);
    return starts;
}

void drawStoredTraces(int panel, int control, const std::vector<double>& t,
                      const std::vector<double>& y1, const std::vector<double>& y2,
                      const ChartBand& band1, const ChartBand& band2) {
    DeleteGraphPlot(panel, control, -1, VAL_IMMEDIATE_DRAW);
    drawTrace(panel, control, VAL_LEFT_YAXIS, t, y1, band1, 0, kTrace1Colour);
    drawTrace(panel, control, VAL_RIGHT_YAXIS, t, y2, band2, 19, kTrace2Colour);
}
