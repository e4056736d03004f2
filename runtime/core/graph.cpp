// Graph controls: plots that share their points, and the graph operations the program calls.
#include "runtime/graph.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <set>

#include "runtime/core/frontend.h"
#include "runtime/core/model.h"
#include "runtime/panels.h"

namespace rt {

namespace {
bool sameStyle(const Plot& a, int yAxis, int colour, int plotStyle, int pointStyle, int lineStyle) {
    return a.yAxis == yAxis && a.colour == colour && a.plotStyle == plotStyle &&
           a.pointStyle == pointStyle && a.lineStyle == lineStyle;
}

// True when points [0, k) of x/y equal the last k points of the buffer.
bool tailEquals(const PointBuffer& b, const double* x, const double* y, std::size_t k) {
    std::size_t m = b.x.size();
    if (k > m) return false;
    std::size_t start = m - k;
    for (std::size_t i = 0; i < k; ++i) {
        // Compared bit for bit: NaN points must match themselves too.
        if (std::memcmp(&b.x[start + i], &x[i], sizeof(double)) != 0 ||
            std::memcmp(&b.y[start + i], &y[i], sizeof(double)) != 0)
            return false;
    }
    return true;
}
}  // namespace

int GraphModel::addPlot(const double* x, const double* y, std::size_t n, int colour,
                        int plotStyle, int pointStyle, int lineStyle, int pointFrequency) {
    Plot p;
    p.handle = nextPlotHandle++;
    p.yAxis = activeYAxis;
    p.colour = colour;
    p.plotStyle = plotStyle;
    p.pointStyle = pointStyle;
    p.lineStyle = lineStyle;
    p.pointFrequency = pointFrequency;
    p.count = n;

    // A strip chart redraws its window every poll: the new data are then the last plot's points,
    // or those shifted by one with a new point at the end. Such a plot keeps pointing into the
    // last plot's buffer instead of holding a copy.
    const Plot* last = nullptr;
    for (auto it = plots.rbegin(); it != plots.rend(); ++it)
        if (sameStyle(*it, p.yAxis, colour, plotStyle, pointStyle, lineStyle)) {
            last = &*it;
            break;
        }
    if (last && n > 0) {
        PointBuffer& b = *last->points;
        if (tailEquals(b, x, y, n)) {
            p.points = last->points;
            p.offset = b.x.size() - n;
        } else if (n >= 2 && tailEquals(b, x, y, n - 1)) {
            p.points = last->points;
            p.offset = b.x.size() - (n - 1);
            b.x.push_back(x[n - 1]);
            b.y.push_back(y[n - 1]);
        }
    }
    if (!p.points) {
        p.points = std::make_shared<PointBuffer>();
        p.points->x.assign(x, x + n);
        p.points->y.assign(y, y + n);
        p.offset = 0;
    }
    plots.push_back(std::move(p));
    return plots.back().handle;
}

void GraphModel::deletePlot(int handle) {
    if (handle == -1) {
        plots.clear();
        return;
    }
    plots.erase(std::remove_if(plots.begin(), plots.end(),
                               [&](const Plot& p) { return p.handle == handle; }),
                plots.end());
}

std::vector<VisibleTrace> GraphModel::visibleTraces() const {
    // Plots drawn from one buffer in one style overlap along the same polyline: their picture is
    // the polyline over the union of their ranges. Ranges that share no point stay apart.
    std::vector<const Plot*> order;
    order.reserve(plots.size());
    for (const Plot& p : plots)
        if (p.count > 0) order.push_back(&p);
    std::stable_sort(order.begin(), order.end(), [](const Plot* a, const Plot* b) {
        if (a->points != b->points) return a->points.get() < b->points.get();
        if (a->colour != b->colour) return a->colour < b->colour;
        if (a->yAxis != b->yAxis) return a->yAxis < b->yAxis;
        if (a->plotStyle != b->plotStyle) return a->plotStyle < b->plotStyle;
        if (a->pointStyle != b->pointStyle) return a->pointStyle < b->pointStyle;
        if (a->lineStyle != b->lineStyle) return a->lineStyle < b->lineStyle;
        return a->offset < b->offset;
    });
    std::vector<VisibleTrace> out;
    for (const Plot* p : order) {
        std::size_t begin = p->offset, end = p->offset + p->count;
        if (!out.empty()) {
            VisibleTrace& t = out.back();
            if (t.points == p->points && t.colour == p->colour && t.yAxis == p->yAxis &&
                t.plotStyle == p->plotStyle && t.pointStyle == p->pointStyle &&
                t.lineStyle == p->lineStyle && begin < t.end) {
                t.end = std::max(t.end, end);
                continue;
            }
        }
        out.push_back({p->points, begin, end, p->yAxis, p->colour, p->plotStyle, p->pointStyle,
                       p->lineStyle});
    }
    return out;
}

bool GraphModel::dataRange(int axisIndex, double& lo, double& hi) const {
    bool any = false;
    for (const VisibleTrace& t : visibleTraces()) {
        if (axisIndex != 0 && t.yAxis != axisIndex) continue;
        const std::vector<double>& v = axisIndex == 0 ? t.points->x : t.points->y;
        for (std::size_t i = t.begin; i < t.end; ++i) {
            if (!std::isfinite(v[i])) continue;
            if (!any) {
                lo = hi = v[i];
                any = true;
            } else {
                lo = std::min(lo, v[i]);
                hi = std::max(hi, v[i]);
            }
        }
    }
    return any;
}

std::size_t GraphModel::storedPoints() const {
    std::set<const PointBuffer*> seen;
    std::size_t total = 0;
    for (const Plot& p : plots)
        if (seen.insert(p.points.get()).second) total += p.points->x.size();
    return total;
}

namespace {
GraphModel* graphOf(int panel, int control, int& err) {
    Control* c = Model::instance().control(panel, control);
    if (!c) {
        err = Model::instance().panel(panel) ? UIE_BAD_CONTROL : UIE_BAD_HANDLE;
        return nullptr;
    }
    if (!c->graph) {
        err = UIE_BAD_TYPE;
        return nullptr;
    }
    return c->graph.get();
}

void graphChanged(int panel, int control) {
    if (FrontEnd* fe = frontEnd()) fe->graphChanged(panel, control);
}

int plot(int panel, int control, const double* x, const double* y, int n, int plotStyle,
         int pointStyle, int lineStyle, int pointFrequency, int colour) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    if (n < 0 || (n > 0 && (!x || !y))) return UIE_BAD_TYPE;
    int handle = g->addPlot(x, y, static_cast<std::size_t>(n), colour & 0xFFFFFF, plotStyle,
                            pointStyle, lineStyle, pointFrequency);
    graphChanged(panel, control);
    return handle;
}
}  // namespace

}  // namespace rt

using namespace rt;

int PlotXY(int panel, int control, const int* x, const double* y, int n, int plotStyle,
           int pointStyle, int lineStyle, int pointFrequency, int colour) {
    // The x values are converted once into a scratch array that is kept between calls.
    static std::vector<double> xs;
    xs.assign(x, x + std::max(n, 0));
    return plot(panel, control, xs.data(), y, n, plotStyle, pointStyle, lineStyle,
                pointFrequency, colour);
}

int PlotXY(int panel, int control, const double* x, const double* y, int n, int plotStyle,
           int pointStyle, int lineStyle, int pointFrequency, int colour) {
    return plot(panel, control, x, y, n, plotStyle, pointStyle, lineStyle, pointFrequency,
                colour);
}

int DeleteGraphPlot(int panel, int control, int plotHandle, int /*refresh*/) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    g->deletePlot(plotHandle);
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    if (axis < 0 || axis > 2 || (mode != VAL_MANUAL && mode != VAL_AUTOSCALE))
        return UIE_BAD_ATTRIBUTE;
    g->axis[axis].mode = mode;
    g->axis[axis].min = min;
    g->axis[axis].max = max;
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}

int SetAxisName(int panel, int control, int axis, const char* name) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    std::string text = name ? name : "";
    switch (axis) {
        case VAL_XAXIS: g->xLabel = text; break;
        case VAL_LEFT_YAXIS: g->leftLabel = text; break;
        case VAL_RIGHT_YAXIS: g->rightLabel = text; break;
        default: return UIE_BAD_ATTRIBUTE;
    }
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}
