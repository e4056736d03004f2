// The view of a graph: the range shown, the values under the pointer and the bands behind the
// traces, kept beside the axes' settings without touching them.
#include "runtime/core/graph_view.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "runtime/core/dispatch.h"
#include "runtime/core/file_checks.h"
#include "runtime/core/file_table.h"
#include "runtime/core/frontend.h"
#include "runtime/core/model.h"
#include "runtime/core/system_paths.h"
#include "runtime/graph.h"
#include "runtime/panels.h"

namespace rt {

std::string readoutText(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : "   ") + p;
    return text;
}

bool GraphModel::nearestPoint(int yAxis, double x, double& px, double& py) const {
    bool found = false;
    double best = 0.0;
    for (const VisibleTrace& t : visibleTraces()) {
        if (t.yAxis != yAxis || !t.points) continue;
        const PointBuffer& b = *t.points;
        for (std::size_t i = t.begin; i < t.end; ++i) {
            if (!std::isfinite(b.x[i])) continue;
            const double d = std::abs(b.x[i] - x);
            // Far beyond the samples (a view zoomed out by many powers of ten) their distances
            // round to one number: the sample on the pointer's side is the nearest still.
            const bool beyond = d == best && (x > px ? b.x[i] > px : b.x[i] < px);
            if (!found || d < best || beyond) {
                found = true;
                best = d;
                px = b.x[i];
                py = b.y[i];
            }
        }
    }
    return found;
}

bool GraphModel::valueExtent(int yAxis, double xLo, double xHi, double& lo, double& hi) const {
    VisibleTrace::Extent e;
    bool banded = false;
    for (const Band& b : bands) {
        if (b.yAxis != yAxis) continue;
        banded = true;
        for (std::size_t c = 0; c < b.lo.size(); ++c) {
            const double from = b.x0 + double(c) * b.dx, to = from + b.dx;
            if (to < xLo || from > xHi || std::isnan(b.lo[c])) continue;
            e.add(b.lo[c]);
            e.add(b.hi[c]);
        }
    }
    for (const VisibleTrace& t : visibleTraces()) {
        if (banded || t.yAxis != yAxis || !t.points) continue;
        for (std::size_t i = t.begin; i < t.end; ++i)
            if (t.points->x[i] >= xLo && t.points->x[i] <= xHi) e.add(t.points->y[i]);
    }
    if (e.any) {
        lo = e.lo;
        hi = e.hi;
    }
    return e.any;
}

void GraphModel::shownTimeSpan(double& lo, double& hi) const {
    if (view.zoomed) {
        lo = view.xLo;
        hi = view.xHi;
        return;
    }
    lo = axis[0].min;
    hi = axis[0].max;
    if (axis[0].mode == VAL_AUTOSCALE) dataRange(0, lo, hi);
}

namespace {
GraphModel* graphAt(int panel, int control) {
    Control* c = Model::instance().control(panel, control);
    return c && c->graph ? c->graph.get() : nullptr;
}

}  // namespace

void zoomView(int panel, int control, double xLo, double xHi, bool settled) {
    GraphModel* g = graphAt(panel, control);
    Span s;
    if (!g || !draggedSpan(xLo, xHi, s)) return;
    g->view.zoomed = true;
    g->view.xLo = s.lo;
    g->view.xHi = s.hi;
    graphChanged(panel, control);
    if (settled) dispatchGraphEvent(panel, control, EVENT_VIEW_CHANGED);
}

void zoomValues(int panel, int control, const Span (&y)[3]) {
    GraphModel* g = graphAt(panel, control);
    Span s1, s2;
    if (!g || !draggedSpan(y[1].lo, y[1].hi, s1) || !draggedSpan(y[2].lo, y[2].hi, s2)) return;
    g->view.yZoomed = true;
    g->view.yLo[1] = s1.lo;
    g->view.yHi[1] = s1.hi;
    g->view.yLo[2] = s2.lo;
    g->view.yHi[2] = s2.hi;
    graphChanged(panel, control);
}

void homeView(int panel, int control) {
    GraphModel* g = graphAt(panel, control);
    if (!g) return;
    g->view.zoomed = false;
    g->view.yZoomed = false;
    graphChanged(panel, control);
    dispatchGraphEvent(panel, control, EVENT_VIEW_CHANGED);
}

void pointerMoved(int panel, int control, double x) {
    GraphModel* g = graphAt(panel, control);
    if (!g || !std::isfinite(x)) return;
    g->view.pointerIn = true;
    g->view.pointerX = x;
    dispatchGraphEvent(panel, control, EVENT_POINTER_MOVED);
}

void pointerLeft(int panel, int control) {
    GraphModel* g = graphAt(panel, control);
    if (!g || !g->view.pointerIn) return;
    g->view.pointerIn = false;
    if (dispatchGraphEvent(panel, control, EVENT_POINTER_MOVED) || g->view.readout.empty()) return;
    // The pointer left while a callback ran (a dialog opened over the chart): its values go with
    // it, as the program takes them away when it hears of it.
    g->view.readout.clear();
    graphChanged(panel, control);
}

}  // namespace rt

using namespace rt;

int GetGraphView(int panel, int control, int* zoomed, double* xLo, double* xHi) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    double lo, hi;
    g->shownTimeSpan(lo, hi);
    if (zoomed) *zoomed = g->view.zoomed;
    if (xLo) *xLo = lo;
    if (xHi) *xHi = hi;
    return UIE_NO_ERROR;
}

int ResetGraphView(int panel, int control) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    g->view.zoomed = false;
    g->view.yZoomed = false;
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}

int GetGraphPointer(int panel, int control, double* x) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    if (x) *x = g->view.pointerX;
    return g->view.pointerIn ? 1 : 0;
}

int GetNearestGraphPoint(int panel, int control, int yAxis, double x, double* px, double* py) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    double a = 0, b = 0;
    if (!g->nearestPoint(yAxis, x, a, b)) return 0;
    if (px) *px = a;
    if (py) *py = b;
    return 1;
}

int SetGraphReadout(int panel, int control, double x, const char* const* parts, int n) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) texts.emplace_back(parts[i] ? parts[i] : "");
    if (texts == g->view.readout && (texts.empty() || x == g->view.readoutX)) return UIE_NO_ERROR;
    g->view.readoutX = x;
    g->view.readout = std::move(texts);
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}

int PlotBand(int panel, int control, double x0, double dx, const double* lo, const double* hi,
             int n, int colour) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    if (n < 0 || (n > 0 && (!lo || !hi)) || !(dx > 0)) return UIE_BAD_TYPE;
    Band b;
    b.yAxis = g->activeYAxis;
    b.colour = colour & 0xFFFFFF;
    b.x0 = x0;
    b.dx = dx;
    b.lo.assign(lo, lo + n);
    b.hi.assign(hi, hi + n);
    g->bands.push_back(std::move(b));
    graphChanged(panel, control);
    return UIE_NO_ERROR;
}

int SaveGraphImage(int panel, int control, const char* path, int width, int height) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    // 0 x 0 is the size on the screen; a larger picture than kLargestGraphImage takes gigabytes
    // to draw, and nothing is drawn.
    const auto fits = [](int n) { return n >= 1 && n <= kLargestGraphImage; };
    if (!(width == 0 && height == 0) && !(fits(width) && fits(height))) {
        files::setError(
            ("The size must be 1 to " + std::to_string(kLargestGraphImage) + " pixels each way")
                .c_str());
        return UIE_BAD_TYPE;
    }
    FrontEnd* fe = frontEnd();
    if (!fe || !path) return -1;
    // Only into a regular file that may be written: a FIFO would hold the program until
    // something reads it, and a read-only file stays as it is.
    const std::string target = files::replaceTarget(systemPath(path));
    struct stat st;
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (!files::mayWrite(target)) return -1;
    const int fd = files::openRegular(target, O_WRONLY | O_CREAT, false);
    if (fd < 0) return -1;
    ::close(fd);
    const int status = fe->saveGraphImage(panel, control, path, width, height);
    if (status != 0) {
        files::setError("The picture could not be written");
        if (!existed) ::unlink(target.c_str());
    }
    return status;
}

int CopyGraphImage(int panel, int control) {
    int err;
    GraphModel* g = graphOf(panel, control, err);
    if (!g) return err;
    FrontEnd* fe = frontEnd();
    return fe ? fe->copyGraphImage(panel, control) : -1;
}
