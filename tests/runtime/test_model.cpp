// The graph model: stacked strip-chart plots share their points, and the picture drawn from
// them is the union of their ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "runtime/core/model.h"

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
    for (int n = 3; n <= 899; ++n) plot(g, Window(0, n));  // filling
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
