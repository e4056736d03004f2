// The chart's axes as the view paints them: which ticks a range has, their labels, the room the
// plot leaves for labels and titles, and what ends up in the pixels beside the plot.
#include <QChart>
#include <QImage>
#include <QValueAxis>
#include <clocale>
#include <cmath>

#include "qt_test_support.h"
#include "runtime/qt/axis_painter.h"
#include "runtime/qt/chart_view.h"

using namespace guitest;
using rt::qt::tickLabel;
using rt::qt::tickValues;

namespace {

TEST(AxisTicks, WholeMultiplesFromTheAnchorInsideTheRange) {
    // A range snapped to whole ticks shows the ticks at both of its ends.
    std::vector<double> t = tickValues(640.0, 760.0, 10.0, 640.0);
    ASSERT_EQ(t.size(), 13u);
    EXPECT_DOUBLE_EQ(t.front(), 640.0);
    EXPECT_DOUBLE_EQ(t.back(), 760.0);

    // A sliding range keeps its anchor: ticks stay on multiples of the interval from it.
    t = tickValues(3.7, 8.2, 1.0, 0.5);
    EXPECT_EQ(t, (std::vector<double>{4.5, 5.5, 6.5, 7.5}));

    // Sums that land a rounding error beside an end or beside zero still give that tick, and
    // zero as zero: 0.3 - 3 * 0.1 is -5.6e-17, which would be labelled "-0.0".
    t = tickValues(-0.3, 0.3, 0.1, 0.3);
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(tickLabel(t[3], "%.1f"), "0.0");
    EXPECT_EQ(tickLabel(t.front(), "%.1f"), "-0.3");

    // Nothing to lay out: a bad interval, an empty range, or far too many ticks for one axis.
    EXPECT_TRUE(tickValues(0, 10, 0.0, 0).empty());
    EXPECT_TRUE(tickValues(0, 10, -1.0, 0).empty());
    EXPECT_TRUE(tickValues(0, 10, std::nan(""), 0).empty());
    EXPECT_TRUE(tickValues(5, 5, 1.0, 0).empty());
    EXPECT_TRUE(tickValues(0, 1e6, 1.0, 0).empty());
    EXPECT_TRUE(tickValues(0, INFINITY, 1.0, 0).empty());
}

TEST(AxisTicks, LabelsKeepTheirPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_EQ(tickLabel(2.5, "%.1f"), "2.5");
    EXPECT_EQ(tickLabel(2.064e5, "%.4g"), "2.064e+05");
    std::setlocale(LC_NUMERIC, before.c_str());
}

// The colour's pixels in columns [from, to) of the image.
int pixelsOfColour(const QImage& img, int from, int to, QColor colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = std::max(0, from); x < std::min(to, img.width()); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 60 &&
                std::abs(c.green() - colour.green()) < 60 &&
                std::abs(c.blue() - colour.blue()) < 60)
                ++n;
        }
    return n;
}

TEST(ChartAxes, PlotLeavesRoomForLabelsAndTitlesPaintedInTheirColours) {
    qtApp();
    rt::qt::ChartView view;
    view.resize(600, 400);
    view.show();
    rt::GraphModel g;
    g.axis[0] = {0, 0.0, 100.0};
    g.axis[1] = {0, -1000000.0, 1000000.0};
    g.axis[2] = {0, 0.0, 1.0};
    g.xLabel = "Time [s]";
    g.leftLabel = "Wide labels";
    g.rightLabel = "Narrow labels";
    const double x[] = {0, 50, 100}, y1[] = {-5e5, 0, 5e5}, y2[] = {0.2, 0.5, 0.8};
    g.activeYAxis = 1;
    g.addPlot(x, y1, 3, 0x0000FF, 0, 0, 0, 1);
    g.activeYAxis = 2;
    g.addPlot(x, y2, 3, 0xFF0000, 0, 0, 0, 1);
    view.showGraph(g);

    const QRect plot = view.chart()->plotArea().toRect();
    const QImage img = view.viewport()->grab().toImage();
    ASSERT_FALSE(img.isNull());
    // "-1000000" on the left takes more room than "0.9" on the right.
    EXPECT_GT(plot.left(), img.width() - 1 - plot.right());
    // The titles take their trace's colour, beside the plot; the labels are dark grey.
    EXPECT_GT(pixelsOfColour(img, 0, plot.left() - 1, Qt::blue), 20);
    EXPECT_GT(pixelsOfColour(img, plot.right() + 2, img.width(), Qt::red), 20);
    EXPECT_EQ(pixelsOfColour(img, plot.right() + 2, img.width(), Qt::blue), 0);
    QImage below = img.copy(0, plot.bottom() + 2, img.width(), img.height() - plot.bottom() - 2);
    EXPECT_GT(pixelsOfColour(below, 0, below.width(), QColor(0x40, 0x40, 0x44)), 20);

    // Narrower labels and no title on the left: the plot grows to the left, the right stays.
    const int wideLeft = plot.left();
    g.axis[1] = {0, 0.0, 1.0};
    view.showGraph(g);
    const int narrowLeft = view.chart()->plotArea().toRect().left();
    EXPECT_LT(narrowLeft, wideLeft);
    g.leftLabel.clear();
    view.showGraph(g);
    EXPECT_LT(view.chart()->plotArea().toRect().left(), narrowLeft);
    EXPECT_EQ(view.chart()->plotArea().toRect().right(), plot.right());

    // A window too small for its labels still has a plot area and paints without trouble.
    view.resize(40, 30);
    view.showGraph(g);
    EXPECT_GE(view.chart()->plotArea().width(), 1.0);
    EXPECT_FALSE(view.viewport()->grab().isNull());
}

}  // namespace
