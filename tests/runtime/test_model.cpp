// The graph model: stacked strip-chart plots share their points, and the picture drawn from
// them is the union of their ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "runtime/core/model.h"
#include "runtime/core/view_math.h"

namespace {

// A strip chart's window after k samples: x = 0..k-1, y = 10 * x, the last `n` of them.
struct Window {
    std::vector<double> x, y;
    Window(int first, int count) {
        for (int i = first; i < first + count; ++i) {
            x.push_back(i);
            y.push_back(10.0 * i);
        }
    }
};

int plot(rt::GraphModel& g, const Window& w, int colour = 0x0000FF) {
    return g.addPlot(w.x.data(), w.y.data(), w.x.size(), colour, 5, 0, 0, 1);
}

TEST(GraphModel, GrowingAndSlidingWindowsShareOneBuffer) {
    rt::GraphModel g;
    for (int n = 3; n <= 899; ++n) plot(g, Window(0, n));     // filling
    for (int s = 1; s <= 1000; ++s) plot(g, Window(s, 899));  // sliding
    ASSERT_EQ(g.plots.size(), 897u + 1000u);
    // One buffer of 1899 points serves every plot.
    EXPECT_EQ(g.storedPoints(), 1899u);
    const rt::Plot& last = g.plots.back();
    EXPECT_EQ(last.count, 899u);
    EXPECT_EQ(last.points->x[last.offset], 1000.0);
    EXPECT_EQ(last.points->y[last.offset + 898], 18980.0);
    // The picture is one polyline over the union.
    auto traces = g.visibleTraces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].begin, 0u);
    EXPECT_EQ(traces[0].end, 1899u);
}

TEST(GraphModel, DataThatDoNotContinueTheLastPlotGetTheirOwnPoints) {
    rt::GraphModel g;
    plot(g, Window(0, 10));
    Window changed(0, 10);
    changed.y[4] = -1;  // not a continuation
    plot(g, changed);
    EXPECT_EQ(g.storedPoints(), 20u);
    EXPECT_EQ(g.plots[1].points->y[4], -1.0);
    EXPECT_EQ(g.visibleTraces().size(), 2u);
    // Another colour or axis never shares, even with equal data.
    plot(g, Window(0, 10), 0xFF0000);
    EXPECT_EQ(g.storedPoints(), 30u);
    // A single point after the last plot does not continue it (it would draw a segment that
    // no plot has).
    rt::GraphModel h;
    plot(h, Window(0, 5));
    plot(h, Window(5, 1));
    EXPECT_EQ(h.visibleTraces().size(), 2u);
}

TEST(GraphModel, NearestPointIsTheOneOnThePointersSideHoweverFarAway) {
    rt::GraphModel g;
    plot(g, Window(10, 5));  // x 10..14
    const struct {
        double at, nearest;
    } cases[] = {{12.4, 12}, {12.6, 13}, {1e300, 14}, {-1e300, 10}, {1e17, 14}, {-1e17, 10}};
    for (const auto& c : cases) {
        double px = 0, py = 0;
        ASSERT_TRUE(g.nearestPoint(1, c.at, px, py));
        EXPECT_EQ(px, c.nearest) << c.at;
    }
}

TEST(GraphModel, DeletingPlotsKeepsThePictureOfTheRest) {
    rt::GraphModel g;
    int a = plot(g, Window(0, 4));
    int b = plot(g, Window(0, 5));
    plot(g, Window(1, 5));
    g.deletePlot(b);
    auto traces = g.visibleTraces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].begin, 0u);
    EXPECT_EQ(traces[0].end, 6u);
    g.deletePlot(a);
    traces = g.visibleTraces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].begin, 1u);
    g.deletePlot(-1);
    EXPECT_TRUE(g.plots.empty());
    EXPECT_TRUE(g.visibleTraces().empty());
}

TEST(GraphModel, DataRangeSkipsNonFiniteValuesAndFollowsTheAxis) {
    rt::GraphModel g;
    std::vector<double> x{0, 1, 2, 3}, y{5, std::nan(""), -2, 7};
    g.activeYAxis = 2;
    g.addPlot(x.data(), y.data(), 4, 0xFF0000, 5, 0, 0, 1);
    double lo = 0, hi = 0;
    EXPECT_FALSE(g.dataRange(1, lo, hi));
    ASSERT_TRUE(g.dataRange(2, lo, hi));
    EXPECT_EQ(lo, -2.0);
    EXPECT_EQ(hi, 7.0);
    ASSERT_TRUE(g.dataRange(0, lo, hi));
    EXPECT_EQ(hi, 3.0);
}

// Plots refer to their points by id into a shared table: deleting plots, copying a graph (each
// loaded panel copies its resource's graph) and destroying graphs must never leave a plot
// reading freed or foreign points, and a record keeps every field the caller gave it.
TEST(GraphModel, PlotsKeepTheirPointsAndStyleThroughCopiesAndDeletions) {
    auto copy = std::make_unique<rt::GraphModel>();
    {
        rt::GraphModel g;
        for (int n = 3; n <= 20; ++n) plot(g, Window(0, n));
        g.activeYAxis = 2;
        int other = g.addPlot(Window(0, 5).x.data(), Window(0, 5).y.data(), 5, 0xFFFFFF, 32767,
                              -32768, 3, 1000);
        *copy = g;
        // The original lets go of everything; its buffer ids go back to the table and are
        // handed out again to new data.
        g.deletePlot(-1);
        EXPECT_EQ(g.storedPoints(), 0u);
        plot(g, Window(100, 30));
        ASSERT_EQ(copy->plots.size(), 19u);
        EXPECT_EQ(copy->plots.back().handle, other);
    }
    // The copy still reads its own points after the original is gone.
    rt::GraphModel& c = *copy;
    EXPECT_EQ(c.storedPoints(), 25u);
    const rt::Plot& p = c.plots.back();
    EXPECT_EQ(p.colour, 0xFFFFFF);
    EXPECT_EQ(p.yAxis, 2);
    EXPECT_EQ(p.plotStyle, 32767);
    EXPECT_EQ(p.pointStyle, -32768);
    EXPECT_EQ(p.lineStyle, 3);
    EXPECT_EQ(p.pointFrequency, 1000);
    EXPECT_EQ(p.points->y[p.offset + 4], 40.0);
    EXPECT_EQ(c.plots[17].points->x[c.plots[17].offset + 19], 19.0);
    // Deleting single plots frees a buffer only with its last plot.
    c.deletePlot(p.handle);
    EXPECT_EQ(c.storedPoints(), 20u);
    for (int h = 1; h <= 17; ++h) c.deletePlot(h);
    ASSERT_EQ(c.plots.size(), 1u);
    EXPECT_EQ(c.plots[0].count, 20u);
    EXPECT_EQ(c.plots[0].points->y[19], 190.0);
    auto traces = c.visibleTraces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].end, 20u);
    // New plots on the same axis continue the surviving buffer as before.
    c.activeYAxis = 1;
    plot(c, Window(1, 20));
    EXPECT_EQ(c.storedPoints(), 21u);
    EXPECT_EQ(c.plots.back().handle, 20);
}

// The visible traces are kept up to date plot by plot (a strip chart stacks thousands between
// two moves of its x range). Whatever the order of plots and deletions, they must be the union
// of the remaining plots' ranges, computed here from scratch, with the extent of their values.
TEST(GraphModel, VisibleTracesFollowEveryPlotAndDeletionAsTheUnionOfTheirRanges) {
    rt::GraphModel g;
    unsigned seed = 12345;
    auto next = [&](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    std::vector<int> handles;
    for (int step = 0; step < 3000; ++step) {
        const unsigned what = next(20);
        if (what == 0 && !handles.empty()) {
            const std::size_t k = next(unsigned(handles.size()));
            g.deletePlot(handles[k]);
            handles.erase(handles.begin() + long(k));
        } else if (what == 1 && step % 500 == 0) {
            g.deletePlot(-1);
            handles.clear();
        } else {
            // Windows of a strip chart at a few positions (some continue a buffer, some start
            // one), a NaN now and then, on one of two axes in one of two colours.
            Window w(int(next(60)), 1 + int(next(12)));
            if (next(10) == 0) w.y[next(unsigned(w.y.size()))] = std::nan("");
            g.activeYAxis = 1 + int(next(2));
            handles.push_back(plot(g, w, next(2) ? 0x0000FF : 0xFF0000));
        }
        if (step % 50 != 0) continue;
        // From scratch: per buffer and style, the ranges that share a point joined.
        std::vector<rt::VisibleTrace> expected;
        std::vector<const rt::Plot*> order;
        for (const rt::Plot& p : g.plots) order.push_back(&p);
        std::stable_sort(order.begin(), order.end(), [](const rt::Plot* a, const rt::Plot* b) {
            return std::make_tuple(a->points.id(), int(a->colour), int(a->yAxis), a->offset) <
                   std::make_tuple(b->points.id(), int(b->colour), int(b->yAxis), b->offset);
        });
        for (const rt::Plot* p : order) {
            std::size_t b = p->offset, e = b + p->count;
            rt::VisibleTrace* t = expected.empty() ? nullptr : &expected.back();
            if (t && t->points == p->points && t->colour == p->colour && t->yAxis == p->yAxis &&
                b < t->end) {
                t->end = std::max(t->end, e);
            } else {
                expected.push_back({p->points, b, e, p->yAxis, p->colour, 0, 0, 0, {}, {}});
            }
        }
        const auto& shown = g.visibleTraces();
        ASSERT_EQ(shown.size(), expected.size()) << "step " << step;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            ASSERT_EQ(shown[i].points, expected[i].points) << "step " << step;
            ASSERT_EQ(shown[i].begin, expected[i].begin) << "step " << step;
            ASSERT_EQ(shown[i].end, expected[i].end) << "step " << step;
            ASSERT_EQ(shown[i].colour, expected[i].colour);
            ASSERT_EQ(shown[i].yAxis, expected[i].yAxis);
            // Its extent is that of its finite values.
            rt::VisibleTrace::Extent y;
            for (std::size_t k = shown[i].begin; k < shown[i].end; ++k)
                y.add(shown[i].points->y[k]);
            ASSERT_EQ(shown[i].yExtent.any, y.any) << "step " << step;
            if (y.any) {
                ASSERT_EQ(shown[i].yExtent.lo, y.lo) << "step " << step;
                ASSERT_EQ(shown[i].yExtent.hi, y.hi) << "step " << step;
            }
        }
    }
}

TEST(Model, ControlsInADimmedGroupAreNotOperable) {
    rt::Model& m = rt::Model::instance();
    m.reset();
    rt::Panel p;
    rt::Control group;
    group.id = 5;
    group.kind = rt::ControlKind::Group;
    rt::Control button;
    button.id = 6;
    button.kind = rt::ControlKind::Button;
    button.group = 5;
    p.controls = {group, button};
    p.visible = true;
    int h = m.addPanel(p);
    EXPECT_TRUE(m.operable(h, 6));
    m.control(h, 5)->dimmed = true;
    EXPECT_FALSE(m.operable(h, 6));
    m.control(h, 5)->dimmed = false;
    m.control(h, 6)->visible = false;
    EXPECT_FALSE(m.operable(h, 6));
    EXPECT_FALSE(m.operable(h, 99));
    m.control(h, 6)->visible = true;
    m.panel(h)->visible = false;
    EXPECT_FALSE(m.operable(h, 6));
    EXPECT_FALSE(m.operable(h + 1, 6));
    m.reset();
}

}  // namespace

TEST(ChartView, ZoomKeepsThePointerPlaceAndRefusesWhatAnAxisCannotShow) {
    struct Case {
        rt::Span s;
        double at, factor;
        rt::Span want;
    } cases[] = {
        {{0, 100}, 25, 0.5, {12.5, 62.5}},  // 25 stays a quarter of the way across
        {{0, 100}, 100, 2, {-100, 100}},    // zoomed out around the right edge
        {{1e6 - 1, 1e6 + 1}, 1e6, 1e-9, {1e6 - 0.5, 1e6 + 0.5}},  // a millionth of 1e6 at least
        {{0, 10}, NAN, 0.5, {2.5, 7.5}},                          // no pointer: around the middle
        {{0, 10}, 5, 0, {0, 10}},                                 // no factor: unchanged
        {{0, 10}, 5, INFINITY, {0, 10}},
    };
    for (const auto& c : cases) {
        const rt::Span z = rt::zoomedSpan(c.s, c.at, c.factor);
        EXPECT_DOUBLE_EQ(z.lo, c.want.lo) << c.s.lo << " " << c.factor;
        EXPECT_DOUBLE_EQ(z.hi, c.want.hi) << c.s.lo << " " << c.factor;
    }
    rt::Span d;
    ASSERT_TRUE(rt::draggedSpan(8, 3, d));  // dragged leftward
    EXPECT_EQ(d.lo, 3);
    EXPECT_EQ(d.hi, 8);
    EXPECT_FALSE(rt::draggedSpan(5, 5, d));
    EXPECT_FALSE(rt::draggedSpan(5, NAN, d));
    EXPECT_FALSE(rt::draggedSpan(-1e308, 1e308, d));  // wider than a double holds
    EXPECT_EQ(rt::pannedSpan({0, 10}, INFINITY).hi, 10);
}
