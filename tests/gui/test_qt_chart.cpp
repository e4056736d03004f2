// The strip chart: series built from the graph model's visible traces, axis ranges, one redraw
// per callback, and the cost of one poll's update.
#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <thread>

#include "qt_test_support.h"
#include "runtime/core/dispatch.h"
#include "runtime/core/model.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/qt/chart_picture.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/trace_points.h"

using namespace guitest;
using rt::ControlKind;
using rt::ValueType;

namespace {

constexpr int kGraph = 2, kTimer = 3, kText = 4;
constexpr int kPoints = 899;
constexpr int kBlue = 0x0000FF, kRed = 0xFF0000;

int plotsPerTick = 0;
int ticks = 0;
int graphPanel = 0;

// One poll of the strip chart as the program makes it: both traces plotted again.
void plotBoth(int panel, int shift) {
    static double x[kPoints], y1[kPoints], y2[kPoints];
    for (int i = 0; i < kPoints; ++i) {
        x[i] = i + shift;
        y1[i] = 10.0 + 5.0 * std::sin((i + shift) * 0.05);
        y2[i] = 700.0 + 50.0 * std::cos((i + shift) * 0.03);
    }
    DeleteGraphPlot(panel, kGraph, -1, VAL_IMMEDIATE_DRAW);
    SetCtrlAttribute(panel, kGraph, ATTR_ACTIVE_YAXIS, VAL_LEFT_YAXIS);
    PlotXY(panel, kGraph, x, y1, kPoints, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, 1, kBlue);
    SetCtrlAttribute(panel, kGraph, ATTR_ACTIVE_YAXIS, VAL_RIGHT_YAXIS);
    PlotXY(panel, kGraph, x, y2, kPoints, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, 1, kRed);
    SetAxisScalingMode(panel, kGraph, VAL_XAXIS, VAL_MANUAL, shift, shift + kPoints);
}

int onTick(int panel, int, int event, void*, int, int) {
    EXPECT_EQ(event, EVENT_TIMER_TICK);
    ++ticks;
    for (int i = 0; i < plotsPerTick; ++i) plotBoth(panel, ticks);
    return 0;
}

class ChartView : public FrontEndTest {
  protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        ticks = 0;
        plotsPerTick = 0;
        rt::Panel p;
        p.name = "MAIN";
        p.width = 820;
        p.height = 600;
        rt::Control g = makeControl(kGraph, ControlKind::Graph, ValueType::None, 10, 10, 780, 520);
        g.graph = std::make_shared<rt::GraphModel>();
        g.graph->axis[0] = {0, 0.0, 100.0};
        g.graph->xLabel = "Time [s]";
        g.graph->leftLabel =
            "Tz [\xB0"
            "C]";
        g.graph->rightLabel = "Trace 2";
        p.controls.push_back(g);
        rt::Control t = makeControl(kTimer, ControlKind::Timer, ValueType::None, 0, 0, 0, 0);
        t.interval = 0.05;
        t.callback = onTick;
        p.controls.push_back(t);
        p.controls.push_back(
            makeControl(kText, ControlKind::TextDisplay, ValueType::String, 10, 540, 300, 30));
        panel = graphPanel = load(p);
        DisplayPanel(panel);
        // A shown window is painted once the platform has exposed it.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fe->panelWidget(panel)));
        chart = fe->chart(panel, kGraph);
        ASSERT_NE(chart, nullptr);
    }
    QLineSeries* seriesOfColour(int rgb) {
        for (QLineSeries* s : chart->shownSeries()) {
            if (s->pen().color() == rt::qt::rgbColour(rgb)) return s;
        }
        return nullptr;
    }
    int panel = 0;
    rt::qt::ChartView* chart = nullptr;
};

TEST_F(ChartView, TwoTracesBecomeTwoSeriesOnTheirAxes) {
    EXPECT_EQ(chart->xAxis()->titleText(), "Time [s]");
    EXPECT_EQ(chart->yAxis(1)->titleText(), QString::fromUtf8("Tz [°C]"));
    EXPECT_EQ(chart->yAxis(2)->titleText(), "Trace 2");

    plotBoth(panel, 0);
    fe->flushPending();
    ASSERT_EQ(chart->shownSeries().size(), 2u);
    QLineSeries* left = seriesOfColour(kBlue);
    QLineSeries* right = seriesOfColour(kRed);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->count(), kPoints);
    EXPECT_EQ(right->count(), kPoints);
    EXPECT_TRUE(left->attachedAxes().contains(chart->yAxis(1)));
    EXPECT_TRUE(right->attachedAxes().contains(chart->yAxis(2)));
    EXPECT_TRUE(right->attachedAxes().contains(chart->xAxis()));
    EXPECT_DOUBLE_EQ(left->at(10).x(), 10.0);
    EXPECT_DOUBLE_EQ(right->at(10).y(), 700.0 + 50.0 * std::cos(0.3));
    EXPECT_DOUBLE_EQ(chart->xAxis()->min(), 0.0);
    EXPECT_DOUBLE_EQ(chart->xAxis()->max(), kPoints);

    // Polls later the same series are reused: the pool does not grow, pens stay put.
    for (int shift = 1; shift <= 5; ++shift) {
        plotBoth(panel, shift);
        fe->flushPending();
    }
    EXPECT_EQ(chart->seriesPoolSize(), 2);
    EXPECT_EQ(seriesOfColour(kBlue), left);
    EXPECT_EQ(left->at(0).x(), 5.0);

    // Fewer traces: the rest are emptied and hidden.
    DeleteGraphPlot(panel, kGraph, -1, VAL_IMMEDIATE_DRAW);
    fe->flushPending();
    EXPECT_TRUE(chart->shownSeries().empty());
    EXPECT_EQ(left->count(), 0);
    EXPECT_FALSE(left->isVisible());
}

TEST_F(ChartView, PointsThatAreNotNumbersAreLeftOut) {
    double x[5] = {0, 1, 2, 3, 4};
    double y[5] = {1, std::nan(""), 3, INFINITY, 5};
    PlotXY(panel, kGraph, x, y, 5, VAL_THIN_LINE, VAL_NO_POINT, VAL_SOLID, 1, kBlue);
    SetAxisScalingMode(panel, kGraph, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0, 10);
    fe->flushPending();
    ASSERT_EQ(chart->shownSeries().size(), 1u);
    QLineSeries* s = chart->shownSeries()[0];
    ASSERT_EQ(s->count(), 3);
    EXPECT_EQ(s->at(1), QPointF(2, 3));
    EXPECT_TRUE(std::isfinite(chart->yAxis(1)->min()) && std::isfinite(chart->yAxis(1)->max()));
    EXPECT_LT(chart->yAxis(1)->min(), 1.0);
    EXPECT_GT(chart->yAxis(1)->max(), 5.0);
}

TEST_F(ChartView, AxisRangesManualAutomaticAndEmpty) {
    plotBoth(panel, 0);
    SetAxisScalingMode(panel, kGraph, VAL_LEFT_YAXIS, VAL_MANUAL, -2.0, 30.0);
    SetAxisScalingMode(panel, kGraph, VAL_RIGHT_YAXIS, VAL_AUTOSCALE, 0.0, 10.0);
    fe->flushPending();
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->min(), -2.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->max(), 30.0);
    // Automatic: the data (650..750) with 5 % room, widened to whole ticks of 10; not the
    // manual 0..10.
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->min(), 640.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->max(), 760.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->tickInterval(), 10.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->tickAnchor(), 640.0);
    // Polls whose data stay inside leave the axis alone (no new layout of its labels).
    int rangeChanges = 0;
    QObject::connect(chart->yAxis(2), &QValueAxis::rangeChanged, [&] { ++rangeChanges; });
    for (int shift = 1; shift <= 20; ++shift) {
        plotBoth(panel, shift);
        fe->flushPending();
    }
    EXPECT_EQ(rangeChanges, 0);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->min(), 640.0);

    // min == max and min > max give valid ranges, not a crash or an empty axis.
    SetAxisScalingMode(panel, kGraph, VAL_LEFT_YAXIS, VAL_MANUAL, 5.0, 5.0);
    SetAxisScalingMode(panel, kGraph, VAL_RIGHT_YAXIS, VAL_MANUAL, 10.0, -10.0);
    fe->flushPending();
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->min(), 4.5);
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->max(), 5.5);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->min(), -10.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(2)->max(), 10.0);

    // Automatic without data keeps the manual numbers.
    DeleteGraphPlot(panel, kGraph, -1, VAL_IMMEDIATE_DRAW);
    SetAxisScalingMode(panel, kGraph, VAL_LEFT_YAXIS, VAL_AUTOSCALE, 0.0, 200.0);
    fe->flushPending();
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->min(), 0.0);
    EXPECT_DOUBLE_EQ(chart->yAxis(1)->max(), 200.0);
    chart->repaint();  // draws without trouble
}

TEST_F(ChartView, ChangesInOneCallbackMakeOneRedrawWithinAFrame) {
    // A frame's time after the last redraw (the load's): the tick's picture is drawn at once.
    pumpFor(40);
    int before = chart->redraws();
    plotsPerTick = 3;
    rt::qt::deliverTimerTick(panel, kTimer);
    EXPECT_EQ(ticks, 1);
    // Current as soon as the callback has returned, drawn once.
    EXPECT_EQ(chart->redraws(), before + 1);
    EXPECT_FALSE(fe->redrawPending());
    ASSERT_EQ(chart->shownSeries().size(), 2u);
    EXPECT_EQ(chart->shownSeries()[0]->count(), kPoints);

    // Ticks faster than the screen's frames (100 a second) are drawn at the screen's pace, and
    // each tick's picture reaches the chart by itself, without waiting for another tick. A frame
    // is 17 ms; the bound leaves room for a loaded machine (a picture left for the next tick
    // never comes, as no tick follows).
    plotsPerTick = 1;
    const int firstRedraw = chart->redraws();
    QElapsedTimer run;
    run.start();
    int late = 0;
    for (int i = 0; i < 30; ++i) {
        rt::qt::deliverTimerTick(panel, kTimer);
        QElapsedTimer sinceTick;
        sinceTick.start();
        const double shift = ticks;
        pumpUntil([&] { return chart->xAxis()->min() == shift && !fe->redrawPending(); }, 1000);
        if (chart->xAxis()->min() != shift || sinceTick.elapsed() > 250) ++late;
        while (sinceTick.elapsed() < 10) QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    const int redraws = chart->redraws() - firstRedraw;
    EXPECT_EQ(late, 0) << "ticks whose picture did not follow its callback";
    EXPECT_LE(redraws, int(run.elapsed() * 60 / 1000) + 2) << "more redraws than frames";

    // Changes outside a callback are drawn on the next pass of the event loop, also once.
    before = chart->redraws();
    plotBoth(panel, 7);
    plotBoth(panel, 8);
    EXPECT_EQ(chart->redraws(), before);
    EXPECT_TRUE(fe->redrawPending());
    pumpUntil([&] { return !fe->redrawPending(); }, 3000);
    EXPECT_EQ(chart->redraws(), before + 1);
    EXPECT_DOUBLE_EQ(chart->xAxis()->min(), 8.0);
}

TEST_F(ChartView, ProcessDrawEventsPaintsWithoutDeliveringEvents) {
    // The timer runs and is due, but processDrawEvents must not deliver its tick.
    fe->timers().startAll();
    plotsPerTick = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    SetCtrlVal(panel, kText, "new value");
    plotBoth(panel, 3);

    int paints = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++*n;
            return false;
        }
    } counter(&paints);
    QWidget* text = fe->controlWidget(panel, kText);
    text->installEventFilter(&counter);
    fe->processDrawEvents();
    EXPECT_EQ(ticks, 0);
    EXPECT_GE(paints, 1);
    EXPECT_FALSE(fe->redrawPending());
    EXPECT_EQ(chart->shownSeries().size(), 2u);

    // What the screen shows is the new picture: the trace's blue is in the window's pixels.
    QWidget* window = fe->panelWidget(panel);
    QImage shot = window->screen()->grabWindow(window->winId()).toImage();
    ASSERT_FALSE(shot.isNull());
    bool blue = false;
    for (int y = 0; y < shot.height() && !blue; y += 1) {
        for (int x = 0; x < shot.width() && !blue; x += 1) {
            QColor c = shot.pixelColor(x, y);
            blue = c.blue() > 200 && c.red() < 60 && c.green() < 60;
        }
    }
    EXPECT_TRUE(blue);
    text->removeEventFilter(&counter);
}

// Many polls in a row, each replotting both traces: the chart shows only the newest pair, with
// the newest points, however many plots the program has stacked meanwhile. (What one such update
// costs is measured by the chart benchmark, not here.)
TEST_F(ChartView, RepeatedPollsShowOnlyTheNewestPicture) {
    constexpr int kPolls = 40;
    for (int i = 0; i <= kPolls; ++i) {
        plotBoth(panel, i);
        fe->flushPending();
        chart->viewport()->repaint();
    }
    ASSERT_EQ(chart->shownSeries().size(), 2u);
    QLineSeries* left = seriesOfColour(kBlue);
    QLineSeries* right = seriesOfColour(kRed);
    ASSERT_TRUE(left && right);
    ASSERT_EQ(left->count(), kPoints);
    EXPECT_DOUBLE_EQ(left->at(0).x(), kPolls);
    EXPECT_DOUBLE_EQ(left->at(kPoints - 1).x(), kPolls + kPoints - 1);
    EXPECT_DOUBLE_EQ(right->at(kPoints - 1).y(),
                     700.0 + 50.0 * std::cos((kPoints - 1 + kPolls) * 0.03));
    EXPECT_DOUBLE_EQ(chart->xAxis()->min(), kPolls);
}

// A picture for a screen scaled to 200 % has twice the pixels each way and the same drawing:
// the blue trace covers twice the box, not a part of the chart blown up.
TEST_F(ChartView, PictureAtTwiceThePixelsDrawsTheSameChart) {
    plotBoth(panel, 0);
    const rt::GraphModel& g = *rt::Model::instance().control(panel, kGraph)->graph;
    const auto blueBox = [](const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.blue() > 200 && c.red() < 80 && c.green() < 80) box |= QRect(x, y, 1, 1);
            }
        return box;
    };
    const QImage one = rt::qt::graphImage(g, QSize(390, 260), 1.0);
    const QImage two = rt::qt::graphImage(g, QSize(390, 260), 2.0);
    ASSERT_EQ(two.size(), QSize(780, 520));
    const QRect a = blueBox(one), b = blueBox(two);
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NEAR(b.left(), 2 * a.left(), 4);
    EXPECT_NEAR(b.right(), 2 * a.right(), 4);
    EXPECT_NEAR(b.top(), 2 * a.top(), 4);
    EXPECT_NEAR(b.bottom(), 2 * a.bottom(), 4);
}

// A stack of thousands of samples at 0.01 s: a hundred share each whole second, and the line
// through the few points per pixel column that tracePoints keeps must cover the pixels of the
// line through all of them, with a point count bounded by the plot's width.
TEST(TracePoints, FewPointsPerColumnDrawTheSameLineAsAll) {
    rt::PointBuffer b;
    for (int k = 0; k < 10000; ++k) {
        b.x.push_back(std::trunc(k * 0.01));  // whole seconds, as the strip chart keeps them
        b.y.push_back(k == 5000 ? std::nan("") : 5.0 * std::sin(k * 0.013) + (k % 7) * 0.3);
    }
    constexpr int kWidth = 400, kHeight = 300;
    const auto draw = [&](const QList<QPointF>& points, double xLo, double xHi) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 0));
        QPolygonF line;
        for (const QPointF& q : points)
            line << QPointF((q.x() - xLo) / (xHi - xLo) * kWidth, (8.0 - q.y()) / 16.0 * kHeight);
        p.drawPolyline(line);
        return image;
    };
    // The whole stack in view, then a range that cuts it on both sides.
    for (auto [xLo, xHi] : {std::pair{0.0, 100.0}, std::pair{20.5, 60.5}}) {
        QList<QPointF> all, few;
        rt::qt::tracePoints(b, 0, 10000, xLo, xHi, kWidth, few);
        rt::qt::tracePoints(b, 0, 10000, xLo, xHi, 1 << 20, all);  // too many columns to thin
        EXPECT_EQ(all.size(), 9999) << "every finite point";
        EXPECT_LE(few.size(), 4 * kWidth + 2);
        // The same pixels, but for a few at the ends of vertical runs, where the rasterizer's
        // rule for a segment's last pixel meets another sequence of segments.
        const QImage thin = draw(few, xLo, xHi), full = draw(all, xLo, xHi);
        int differ = 0, line = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                differ += thin.pixel(x, y) != full.pixel(x, y);
                line += full.pixel(x, y) != qRgb(255, 255, 255);
            }
        EXPECT_GT(line, 2 * kWidth);
        EXPECT_LE(differ, 6) << xLo << ".." << xHi << ": of " << line << " pixels of the line";
    }
    // Points whose x goes back are all kept: thinning by columns would draw another line.
    rt::PointBuffer back;
    for (int k = 0; k < 5000; ++k) {
        back.x.push_back(k % 100);
        back.y.push_back(k);
    }
    QList<QPointF> kept;
    rt::qt::tracePoints(back, 0, 5000, 0, 100, kWidth, kept);
    EXPECT_EQ(kept.size(), 5000);
}

// Pictures whose painter does not clip (SVG) get the traces cut at the plot's edges: pieces
// inside, cut exactly at the edge, a line that leaves and comes back in two pieces.
TEST(TracePoints, LinesAreCutIntoThePiecesInsideThePlot) {
    using Line = QList<QPointF>;
    const QRectF plot(QPointF(0, 0), QPointF(10, 10));
    struct Case {
        const char* what;
        Line line;
        std::vector<Line> pieces;
    } cases[] = {
        {"inside", {{1, 1}, {5, 5}, {9, 2}}, {{{1, 1}, {5, 5}, {9, 2}}}},
        {"out on both sides in x", {{-5, 5}, {5, 5}, {15, 5}}, {{{0, 5}, {5, 5}, {10, 5}}}},
        {"a spike above",
         {{2, 5}, {4, 15}, {6, 5}, {8, 5}},
         {{{2, 5}, {3, 10}}, {{5, 10}, {6, 5}, {8, 5}}}},
        {"wholly outside", {{-5, -5}, {-1, 20}, {20, 20}}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rt::qt::linePiecesInside(c.line, plot), c.pieces) << c.what;
}

}  // namespace

namespace {
std::vector<int> graphEvents;
int onGraph(int, int, int event, void*, int, int) {
    graphEvents.push_back(event);
    return 0;
}
}  // namespace

TEST_F(ChartView, WheelZoomsTheViewNotTheAxesAndHomeReturns) {
    graphEvents.clear();
    rt::Control* g = rt::Model::instance().control(panel, kGraph);
    g->callback = onGraph;
    plotBoth(panel, 0);
    fe->flushPending();
    // The pointer at time 300 on the plot.
    double x, y[3];
    const QRectF plot = chart->chart()->plotArea();
    const QPointF at(plot.left() + plot.width() * 300.0 / kPoints, plot.center().y());
    ASSERT_TRUE(chart->valuesAt(at, x, y));
    QMouseEvent move(QEvent::MouseMove, at, chart->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chart->viewport(), &move);
    chart->clearFocus();  // on another control
    QWheelEvent wheel(at, chart->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->viewport(), &wheel);
    ASSERT_TRUE(g->graph->view.zoomed);
    // The keys go to the chart now, without a click on it first.
    EXPECT_EQ(fe->panelWidget(panel)->focusWidget(), chart);
    // Two notches: 64 % of the range, the time under the pointer where it was.
    EXPECT_NEAR(chart->xAxis()->max() - chart->xAxis()->min(), 0.64 * kPoints, 1e-6);
    // (within two pixels: new labels may move the plot's edges by a pixel or so)
    double after, unused[3];
    ASSERT_TRUE(chart->valuesAt(at, after, unused));
    EXPECT_NEAR(after, x, 2 * 0.64 * kPoints / plot.width());
    EXPECT_EQ(g->graph->axis[0].min, 0.0);  // the setting stays
    EXPECT_EQ(g->graph->axis[0].max, kPoints);
    QTest::keyClick(chart, Qt::Key_Home);
    EXPECT_FALSE(g->graph->view.zoomed);
    EXPECT_DOUBLE_EQ(chart->xAxis()->max(), kPoints);
    EXPECT_EQ(graphEvents,
              (std::vector<int>{EVENT_POINTER_MOVED, EVENT_VIEW_CHANGED, EVENT_VIEW_CHANGED}));
}

// The axis moves under a pointer that rests on the plot: the program moving a live chart on, an
// arrow key panning, a rectangle drawn with Shift to zoom to. The pointer's time is the one now
// under it, not the one it had.
TEST_F(ChartView, ARestingPointerHasTheTimeThatIsNowUnderIt) {
    plotBoth(panel, 0);
    fe->flushPending();
    const QRectF plot = chart->chart()->plotArea();
    const QPointF at(plot.left() + plot.width() * 0.7, plot.center().y());
    const QPointF corner(plot.left() + plot.width() * 0.2, plot.top() + 10);
    const auto mouse = [&](QEvent::Type type, QPointF where, Qt::MouseButtons buttons) {
        QMouseEvent e(type, where, chart->viewport()->mapToGlobal(where),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::ShiftModifier);
        QApplication::sendEvent(chart->viewport(), &e);
    };
    mouse(QEvent::MouseMove, at, Qt::NoButton);
    const struct {
        std::function<void()> moveAxis;
        QPointF pointer;  // where it rests then
    } cases[] = {
        {[&] {
             SetAxisScalingMode(panel, kGraph, VAL_XAXIS, VAL_MANUAL, 100.0, 100.0 + kPoints);
             fe->flushPending();
         },
         at},
        {[&] { QTest::keyClick(chart, Qt::Key_Right); }, at},
        {[&] {
             mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
             mouse(QEvent::MouseMove, corner, Qt::LeftButton);
             mouse(QEvent::MouseButtonRelease, corner, Qt::NoButton);
         },
         corner},
    };
    for (const auto& c : cases) {
        const double before = chart->xAxis()->min();
        c.moveAxis();
        ASSERT_NE(chart->xAxis()->min(), before);
        QCoreApplication::processEvents();
        double x = 0, under, y[3];
        ASSERT_EQ(GetGraphPointer(panel, kGraph, &x), 1);
        ASSERT_TRUE(chart->valuesAt(c.pointer, under, y));
        EXPECT_NEAR(x, under, 1e-9);
    }
}

// The chart's tooltip covers no values being read: over the plot while they are shown, none;
// over the axes, and over the plot with nothing to read, the chart's help.
TEST_F(ChartView, TooltipOnlyWhereItHidesNoValues) {
    chart->setToolTip("help");
    plotBoth(panel, 0);
    fe->flushPending();
    const QRectF plot = chart->chart()->plotArea();
    const auto tipAt = [&](QPointF where) {
        QToolTip::hideText();  // after a moment
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
        QHelpEvent help(QEvent::ToolTip, where.toPoint(),
                        chart->viewport()->mapToGlobal(where.toPoint()));
        QApplication::sendEvent(chart->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(plot.center()), "help");
    const char* parts[] = {"300 s", "-50.0 mV"};
    SetGraphReadout(panel, kGraph, 300.0, parts, 2);
    fe->flushPending();
    EXPECT_EQ(tipAt(plot.center()), "");
    EXPECT_EQ(tipAt(QPointF(2, 2)), "help");
}
