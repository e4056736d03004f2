// Graph controls: plots that share their points, and the graph operations the program calls.
#include "runtime/graph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "runtime/core/frontend.h"
#include "runtime/core/model.h"
#include "runtime/panels.h"

namespace rt {

namespace {
// Every point buffer of the process, by id; a slot is free again once no graph holds it.
struct BufferSlot {
    std::unique_ptr<PointBuffer> buffer;
    std::uint32_t holders = 0;
};
struct BufferTable {
    std::vector<BufferSlot> slots = std::vector<BufferSlot>(1);  // id 0 refers to nothing
    std::vector<std::uint32_t> freeIds;
};
// Never destroyed: graphs held by other statics let go of their buffers during exit.
BufferTable& bufferTable() {
    static BufferTable* table = new BufferTable;
    return *table;
}

void hold(BufferRef r) { ++bufferTable().slots[r.id()].holders; }

void release(BufferRef r) {
    BufferTable& t = bufferTable();
    BufferSlot& s = t.slots[r.id()];
    if (--s.holders == 0) {
        s.buffer.reset();
        t.freeIds.push_back(r.id());
    }
}
}  // namespace

PointBuffer* BufferRef::get() const {
    return id_ == 0 ? nullptr : bufferTable().slots[id_].buffer.get();
}

BufferSet::BufferSet(const BufferSet& other) : held_(other.held_) {
    for (BufferRef r : held_) hold(r);
}

BufferSet& BufferSet::operator=(const BufferSet& other) {
    if (this != &other) {
        for (BufferRef r : other.held_) hold(r);
        clear();
        held_ = other.held_;
    }
    return *this;
}

BufferSet::~BufferSet() { clear(); }

BufferRef BufferSet::make() {
    BufferTable& t = bufferTable();
    std::uint32_t id;
    if (!t.freeIds.empty()) {
        id = t.freeIds.back();
        t.freeIds.pop_back();
    } else {
        id = static_cast<std::uint32_t>(t.slots.size());
        t.slots.emplace_back();
    }
    t.slots[id].buffer = std::make_unique<PointBuffer>();
    t.slots[id].holders = 1;
    held_.push_back(BufferRef(id));
    return held_.back();
}

void BufferSet::keepOnly(const std::vector<std::uint32_t>& used) {
    auto unused = [&](BufferRef r) {
        return !std::binary_search(used.begin(), used.end(), r.id());
    };
    for (BufferRef r : held_)
        if (unused(r)) release(r);
    held_.erase(std::remove_if(held_.begin(), held_.end(), unused), held_.end());
}

void BufferSet::clear() {
    for (BufferRef r : held_) release(r);
    held_.clear();
}

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

// A plot's offset and count are 32-bit: a buffer that long takes no more points.
constexpr std::size_t bufferLimit = std::numeric_limits<std::uint32_t>::max();
}  // namespace

int GraphModel::addPlot(const double* x, const double* y, std::size_t n, int colour, int plotStyle,
                        int pointStyle, int lineStyle, int pointFrequency) {
    Plot p;
    p.handle = nextPlotHandle++;
    p.yAxis = activeYAxis;
    p.colour = colour & 0xFFFFFF;
    p.plotStyle = static_cast<std::int16_t>(plotStyle);
    p.pointStyle = static_cast<std::int16_t>(pointStyle);
    p.lineStyle = static_cast<std::int16_t>(lineStyle);
    p.pointFrequency = static_cast<std::int16_t>(pointFrequency);
    p.count = static_cast<std::uint32_t>(n);

    // A strip chart redraws its window every poll: the new data are then the last plot's points,
    // or those shifted by one with a new point at the end. Such a plot keeps pointing into the
    // last plot's buffer instead of holding a copy.
    const Plot* last = nullptr;
    for (auto it = plots.rbegin(); it != plots.rend(); ++it)
        if (sameStyle(*it, p.yAxis, p.colour, p.plotStyle, p.pointStyle, p.lineStyle)) {
            last = &*it;
            break;
        }
    if (last && n > 0) {
        PointBuffer& b = *last->points;
        if (tailEquals(b, x, y, n)) {
            p.points = last->points;
            p.offset = static_cast<std::uint32_t>(b.x.size() - n);
        } else if (n >= 2 && b.x.size() < bufferLimit && tailEquals(b, x, y, n - 1)) {
            p.points = last->points;
            p.offset = static_cast<std::uint32_t>(b.x.size() - (n - 1));
            b.x.push_back(x[n - 1]);
            b.y.push_back(y[n - 1]);
        }
    }
    if (!p.points) {
        p.points = buffers_.make();
        p.points->x.assign(x, x + n);
        p.points->y.assign(y, y + n);
        p.offset = 0;
    }
    plots.push_back(p);
    showPlot(p);
    return p.handle;
}

void GraphModel::deletePlot(int handle) {
    if (handle == -1) {
        plots.clear();
        bands.clear();
        visible_.clear();
        buffers_.clear();
        return;
    }
    plots.erase(std::remove_if(plots.begin(), plots.end(),
                               [&](const Plot& p) { return p.handle == handle; }),
                plots.end());
    // Buffers that no remaining plot draws from are freed.
    std::vector<std::uint32_t> used;
    for (const Plot& p : plots)
        if (used.empty() || used.back() != p.points.id()) used.push_back(p.points.id());
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    buffers_.keepOnly(used);
    rebuildVisible();
}

namespace {
// The order of the visible traces: buffer, then style, then first point.
auto traceKey(const VisibleTrace& t) {
    return std::make_tuple(t.points.id(), t.colour, t.yAxis, t.plotStyle, t.pointStyle,
                           t.lineStyle);
}
}  // namespace

void GraphModel::showPlot(const Plot& p) {
    // Plots drawn from one buffer in one style overlap along the same polyline: their picture is
    // the polyline over the union of their ranges. Ranges that share no point stay apart.
    if (p.count == 0) return;
    VisibleTrace t{p.points,
                   p.offset,
                   std::size_t{p.offset} + p.count,
                   p.yAxis,
                   p.colour,
                   p.plotStyle,
                   p.pointStyle,
                   p.lineStyle,
                   {},
                   {}};
    const auto key = traceKey(t);
    // The traces of this buffer and style lie side by side, disjoint and sorted by their first
    // point; those the new range shares a point with are one run among them.
    auto first = std::lower_bound(visible_.begin(), visible_.end(), t,
                                  [&](const VisibleTrace& a, const VisibleTrace& b) {
                                      auto ka = traceKey(a), kb = traceKey(b);
                                      return ka != kb ? ka < kb : a.end <= b.begin;
                                  });
    auto last = first;
    while (last != visible_.end() && traceKey(*last) == key && last->begin < t.end) ++last;
    // The extent: that of the joined traces, and of the plot's points none of them covers (a
    // strip chart's new plot adds one point to its trace, whatever the length of either).
    std::size_t i = t.begin;
    const auto addUpTo = [&](std::size_t end) {
        for (; i < end; ++i) {
            t.xExtent.add(p.points->x[i]);
            t.yExtent.add(p.points->y[i]);
        }
    };
    const std::size_t plotEnd = t.end;
    for (auto it = first; it != last; ++it) {
        addUpTo(std::min(it->begin, plotEnd));
        i = std::max(i, it->end);
        t.begin = std::min(t.begin, it->begin);
        t.end = std::max(t.end, it->end);
        t.xExtent.add(it->xExtent);
        t.yExtent.add(it->yExtent);
    }
    addUpTo(plotEnd);
    if (first == last) {
        visible_.insert(first, t);
    } else {
        *first = t;
        visible_.erase(first + 1, last);
    }
}

void GraphModel::rebuildVisible() {
    visible_.clear();
    for (const Plot& p : plots) showPlot(p);
}

bool GraphModel::dataRange(int axisIndex, double& lo, double& hi) const {
    VisibleTrace::Extent all;
    if (dataRange(visibleTraces(), axisIndex, all.lo, all.hi)) {
        all.any = true;
    }
    // Automatic scaling covers the bands too: an excursion in a band must not leave the plot.
    for (const Band& b : bands) {
        if (axisIndex != 0 && b.yAxis != axisIndex) continue;
        for (std::size_t c = 0; c < b.lo.size(); ++c) {
            if (std::isnan(b.lo[c])) continue;
            if (axisIndex == 0) {
                all.add(b.x0 + double(c) * b.dx);
                all.add(b.x0 + double(c + 1) * b.dx);
            } else {
                all.add(b.lo[c]);
                all.add(b.hi[c]);
            }
        }
    }
    if (all.any) {
        lo = all.lo;
        hi = all.hi;
    }
    return all.any;
}

bool GraphModel::dataRange(const std::vector<VisibleTrace>& traces, int axisIndex, double& lo,
                           double& hi) {
    VisibleTrace::Extent all;
    for (const VisibleTrace& t : traces) {
        if (axisIndex != 0 && t.yAxis != axisIndex) continue;
        all.add(axisIndex == 0 ? t.xExtent : t.yExtent);
    }
    if (all.any) {
        lo = all.lo;
        hi = all.hi;
    }
    return all.any;
}

void VisibleTrace::Extent::add(double v) {
    if (!std::isfinite(v)) return;
    if (!any) {
        lo = hi = v;
        any = true;
    } else {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
}

void VisibleTrace::Extent::add(const Extent& e) {
    if (!e.any) return;
    add(e.lo);
    add(e.hi);
}

std::size_t GraphModel::storedPoints() const {
    std::set<std::uint32_t> seen;
    std::size_t total = 0;
    for (const Plot& p : plots)
        if (seen.insert(p.points.id()).second) total += p.points->x.size();
    return total;
}

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

namespace {

int plot(int panel, int control, const double* x, const double* y, int n, int plotStyle,
         int pointStyle, int lineStyle, int pointFrequency, int colour) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    if (n < 0 || (n > 0 && (!x || !y))) return UIE_BAD_TYPE;
    // A plot keeps its style codes in 16 bits; the engine's codes are far smaller.
    auto fits = [](int v) {
        return v >= std::numeric_limits<std::int16_t>::min() &&
               v <= std::numeric_limits<std::int16_t>::max();
    };
    if (!fits(plotStyle) || !fits(pointStyle) || !fits(lineStyle) || !fits(pointFrequency))
        return UIE_BAD_ATTRIBUTE;
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
    return plot(panel, control, xs.data(), y, n, plotStyle, pointStyle, lineStyle, pointFrequency,
                colour);
}

int PlotXY(int panel, int control, const double* x, const double* y, int n, int plotStyle,
           int pointStyle, int lineStyle, int pointFrequency, int colour) {
    return plot(panel, control, x, y, n, plotStyle, pointStyle, lineStyle, pointFrequency, colour);
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
        case VAL_XAXIS:
            g->xLabel = text;
            break;
        case VAL_LEFT_YAXIS:
            g->leftLabel = text;
            break;
        case VAL_RIGHT_YAXIS:
            g->rightLabel = text;
            break;
        default:
            return UIE_BAD_ATTRIBUTE;
    }
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}
