#include "runtime/qt/chart_view.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "runtime/qt/control_widgets.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/trace_points.h"

namespace rt::qt {

namespace {

// A valid range around one value.
AxisRange around(double v) {
    double half = std::max(0.5, std::abs(v) * 1e-6);
    return {v - half, v + half};
}

// Bounds beyond a quarter of the largest double are pulled in to it, so that a span, its room
// and its ticks stay finite numbers: an infinite span would get a tick distance of 1 and an axis
// with countless ticks.
double limited(double v) {
    constexpr double kLimit = std::numeric_limits<double>::max() / 4;
    return std::clamp(v, -kLimit, kLimit);
}

AxisRange validRange(double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
    lo = limited(lo);
    hi = limited(hi);
    if (lo > hi) std::swap(lo, hi);
    if (lo == hi) return around(lo);
    return {lo, hi};
}

// Label format for ticks `interval` apart: just enough decimals, exponents for huge numbers.
QString labelFormat(double interval, const AxisRange& r) {
    double biggest = std::max(std::abs(r.lo), std::abs(r.hi));
    if (biggest >= 1e7 || interval < 1e-4) return QStringLiteral("%.4g");
    int decimals = std::max(0, int(-std::floor(std::log10(interval) + 1e-9)));
    return QStringLiteral("%.%1f").arg(decimals);
}

// `r` widened to whole multiples of its tick distance; `r` as it is where the numbers are too
// big for that (lo / tick overflows, or a tick is lost in rounding).
AxisRange snappedOutward(const AxisRange& r, int ticks) {
    double tick = niceTickInterval(r.hi - r.lo, ticks);
    double lo = std::floor(r.lo / tick) * tick;
    double hi = std::ceil(r.hi / tick) * tick;
    // The division may round a bound that is a multiple already to just inside the data.
    if (lo > r.lo) lo -= tick;
    if (hi < r.hi) hi += tick;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi)) return r;
    return {lo, hi, tick};
}

// The number of ticks an axis aims for: a plot area of ~500 pixels reads well with 5 to 10
// labelled ticks; the x axis has more room for its labels.
int tickCount(Qt::Orientation o) { return o == Qt::Horizontal ? 10 : 8; }

}  // namespace

AxisRange shownAxisRange(const AxisSetting& s, bool haveData, double dataLo, double dataHi,
                         int ticks) {
    if (s.mode == 1 && haveData && std::isfinite(dataLo) && std::isfinite(dataHi)) {
        if (dataLo > dataHi) std::swap(dataLo, dataHi);
        dataLo = limited(dataLo);
        dataHi = limited(dataHi);
        if (dataLo == dataHi) return snappedOutward(around(dataLo), ticks);
        double room = (dataHi - dataLo) * 0.05;
        return snappedOutward({dataLo - room, dataHi + room}, ticks);
    }
    return validRange(s.min, s.max);
}

AxisRange shownTimeRange(const AxisSetting& s, bool haveData, double dataLo, double dataHi,
                         int ticks) {
    if (s.mode != 1 || !haveData || !std::isfinite(dataLo) || !std::isfinite(dataHi))
        return shownAxisRange(s, haveData, dataLo, dataHi, ticks);
    if (dataLo > dataHi) std::swap(dataLo, dataHi);
    dataLo = limited(dataLo);
    dataHi = limited(dataHi);
    if (dataLo == dataHi) {
        const AxisRange r = around(dataLo);
        return {dataLo, dataLo + (r.hi - r.lo)};
    }
    const double tick = niceTickInterval(dataHi - dataLo, ticks);
    double hi = std::ceil(dataHi / tick) * tick;
    // Rounding may put the next tick just inside the data, or lose it among large numbers.
    if (!(hi >= dataHi) || !std::isfinite(hi)) hi = dataHi;
    return {dataLo, hi};
}

double niceTickInterval(double span, int ticks) {
    if (!(span > 0) || !std::isfinite(span) || ticks < 1) return 1.0;
    double raw = span / ticks;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    double f = raw / power;
    double nice = f < 1.5 ? 1.0 : f < 2.5 ? 2.0 : f < 7.0 ? 5.0 : 10.0;
    return nice * power;
}

ChartView::ChartView(QWidget* parent)
    : QChartView(parent),
      chart_(new QChart),
      x_(new QValueAxis),
      left_(new QValueAxis),
      right_(new QValueAxis) {
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->addAxis(x_, Qt::AlignBottom);
    chart_->addAxis(left_, Qt::AlignLeft);
    chart_->addAxis(right_, Qt::AlignRight);
    // The axes keep the ranges that map the traces and the settings the view paints its axes
    // from (axis_painter.h); the chart itself draws none of them. Its own axis drawing lays out
    // the whole chart again whenever a tick interval or a label changes, and measures every
    // label through a rich-text document to do it.
    for (QValueAxis* a : {x_, left_, right_}) {
        a->setVisible(false);
        a->setTickType(QValueAxis::TicksDynamic);
        a->setMinorTickCount(0);
        setAxis(a, AxisRange{});
    }
    // Grid lines of the left quantity only: a second set, at other heights, would cross it.
    right_->setGridLineVisible(false);
    // The view paints the background, under the grid it draws behind the scene's items.
    chart_->setBackgroundVisible(false);
    setChart(chart_);  // the view owns the chart
    // Plain lines, as a strip chart draws them: smoothing their edges doubles the cost of
    // each poll's repaint. (Text keeps its own smoothing.)
    setRenderHint(QPainter::Antialiasing, false);
    // Lines change across the whole plot on every poll: repainting the whole viewport is
    // cheaper than working out the changed regions.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // The series change shape on every poll: keeping a spatial index of the scene's items
    // up to date would cost more than it saves.
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    // drawBackground covers every pixel it is asked for: no second fill of the viewport first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

ChartAxes ChartView::axes() const { return {x_, left_, right_}; }

void ChartView::placePlotArea() {
    const QRectF bounds =
        QRectF(QPointF(0, 0), chart_->size()).marginsRemoved(QMarginsF(chart_->margins()));
    const QRectF plot = axisPainter_.plotArea(bounds, axes());
    if (plot != chart_->plotArea()) chart_->setPlotArea(plot);
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);  // resizes the chart to the view
    placePlotArea();
}

void ChartView::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Qt::white);
    axisPainter_.drawGrid(*painter, chart_->plotArea(), axes());
    drawBands(*painter, chart_->plotArea());
}

void ChartView::drawForeground(QPainter* painter, const QRectF&) {
    axisPainter_.drawAxes(*painter, chart_->plotArea(), axes());
    drawReadout(*painter, chart_->plotArea());
    drawPausedMark(*painter, chart_->plotArea());
}

void ChartView::setAxis(QValueAxis* axis, const AxisRange& r) {
    double interval =
        r.tick > 0 ? r.tick : niceTickInterval(r.hi - r.lo, tickCount(axis->orientation()));
    // Ticks lie on whole multiples of the interval, counted from the anchor. The anchor stays
    // while it is still a multiple of the interval and near the range (far away, the sum
    // anchor + k * interval would lose digits): a sliding x range then moves its ticks and
    // keeps their labels, which stay laid out.
    double anchor = axis->tickAnchor();
    const double steps = anchor / interval;
    const double span = r.hi - r.lo;
    if (!(std::abs(steps - std::round(steps)) < 1e-9 && anchor >= r.lo - span &&
          anchor <= r.hi + span))
        anchor = std::floor(r.lo / interval) * interval;
    // The axis lays out its ticks on every change. Range and interval change one after the
    // other, so the wider of the two steps goes first: a new range of 0..100000 under the old
    // interval of 1 would make the axis build 100000 ticks (for seconds or minutes).
    const bool widening = interval > axis->tickInterval();
    if (widening && axis->tickInterval() != interval) axis->setTickInterval(interval);
    if (axis->min() != r.lo || axis->max() != r.hi) axis->setRange(r.lo, r.hi);
    if (!widening && axis->tickInterval() != interval) axis->setTickInterval(interval);
    if (axis->tickAnchor() != anchor) axis->setTickAnchor(anchor);
    QString format = labelFormat(interval, r);
    if (axis->labelFormat() != format) axis->setLabelFormat(format);
}

void ChartView::setTitle(QValueAxis* axis, const std::string& title, QColor colour) {
    QString text = fromCp1252(title);
    if (axis->titleText() != text) axis->setTitleText(text);
    if (axis->titleBrush().color() != colour) axis->setTitleBrush(colour);
}

QLineSeries* ChartView::seriesFor(int yAxis, int colour, std::vector<bool>& taken) {
    std::size_t pick = pool_.size();
    for (int pass = 0; pass < 3 && pick == pool_.size(); ++pass) {
        for (std::size_t i = 0; i < pool_.size(); ++i) {
            if (taken[i]) continue;
            bool fits = pass == 0   ? poolAxis_[i] == yAxis && poolColour_[i] == colour
                        : pass == 1 ? poolAxis_[i] == yAxis
                                    : true;
            if (fits) {
                pick = i;
                break;
            }
        }
    }
    if (pick == pool_.size()) {
        auto* s = new QLineSeries;
        s->setUseOpenGL(false);
        chart_->addSeries(s);  // the chart owns it
        s->attachAxis(x_);
        s->attachAxis(this->yAxis(yAxis));
        pool_.push_back(s);
        poolAxis_.push_back(yAxis);
        poolColour_.push_back(-1);
        taken.push_back(false);
    }
    taken[pick] = true;
    QLineSeries* s = pool_[pick];
    if (poolAxis_[pick] != yAxis) {
        s->detachAxis(this->yAxis(poolAxis_[pick]));
        s->attachAxis(this->yAxis(yAxis));
        poolAxis_[pick] = yAxis;
    }
    if (poolColour_[pick] != colour) {
        // A cosmetic pen of one pixel: the painter draws it along the points directly, while a
        // wider line (round joins above all) is first turned into an outline at each of the up
        // to 899 vertices, which costs several times the rest of a repaint.
        QPen pen(rgbColour(colour), 1.0);
        pen.setCosmetic(true);
        s->setPen(pen);
        poolColour_[pick] = colour;
    }
    return s;
}

void ChartView::showGraph(const GraphModel& g) {
    ++redraws_;
    const std::vector<VisibleTrace>& traces = g.visibleTraces();
    QColor axisColour[3] = {Qt::black, Qt::black, Qt::black};
    bool axisColoured[3] = {false, false, false};
    // An axis title takes the colour of the first trace drawn against that axis.
    for (const VisibleTrace& t : traces) {
        int axis = t.yAxis == 2 ? 2 : 1;
        if (t.points && !axisColoured[axis]) {
            axisColour[axis] = rgbColour(t.colour & 0xFFFFFF);
            axisColoured[axis] = true;
        }
    }

    // The axes first, the points after: a series maps all its points to the plot again whenever
    // one of its axes changes range, and once more when its points are replaced. Emptying the
    // series before a range change leaves only the second of these (the points drawn under the
    // old range are about to be replaced anyway), which saves a mapping of every shown series
    // on each poll that moves the x range or rescales a y axis.
    QValueAxis* axes[3] = {x_, left_, right_};
    AxisRange ranges[3];
    bool rangeMoves = false;
    bands_ = g.bands;
    view_ = g.view;
    live_ = g.axis[0].mode == 0;
    for (int a = 0; a < 3; ++a) {
        double lo = 0, hi = 0;
        bool have = g.axis[a].mode == 1 && g.dataRange(a, lo, hi);
        const int ticks = tickCount(axes[a]->orientation());
        // The operator's zoom shows its range; the axes' settings stay for the full view.
        if (a == 0 && g.view.zoomed)
            ranges[a] = {g.view.xLo, g.view.xHi};
        else if (a > 0 && g.view.yZoomed)
            ranges[a] = {g.view.yLo[a], g.view.yHi[a]};
        else
            ranges[a] = a == 0 ? shownTimeRange(g.axis[a], have, lo, hi, ticks)
                               : shownAxisRange(g.axis[a], have, lo, hi, ticks);
        if (axes[a]->min() != ranges[a].lo || axes[a]->max() != ranges[a].hi) rangeMoves = true;
    }
    if (rangeMoves)
        for (QLineSeries* s : pool_)
            if (s->count() > 0) s->replace(QList<QPointF>());
    const bool timeMoves = x_->min() != ranges[0].lo || x_->max() != ranges[0].hi;
    for (int a = 0; a < 3; ++a) setAxis(axes[a], ranges[a]);
    // Another time now lies under a pointer resting on the plot: the program hears of it once
    // this redraw is done (it may come in the middle of a callback).
    if (timeMoves && pointerIn_ && !followPending_) {
        followPending_ = true;
        QTimer::singleShot(0, this, [this] { followPointer(); });
    }

    // The traces' points for the plot's width in device pixels (as it is now: new labels move
    // its edges by a few pixels at most).
    const int columns =
        std::max(1, int(std::ceil(chart_->plotArea().width() * devicePixelRatioF())));
    std::vector<bool> taken(pool_.size(), false);
    shown_.clear();
    for (const VisibleTrace& t : traces) {
        if (!t.points) continue;
        QLineSeries* s = seriesFor(t.yAxis == 2 ? 2 : 1, t.colour & 0xFFFFFF, taken);
        shown_.push_back(s);
        tracePoints(*t.points, t.begin, t.end, ranges[0].lo, ranges[0].hi, columns, points_);
        s->replace(points_);
        if (!s->isVisible()) s->setVisible(true);
    }
    for (std::size_t i = 0; i < pool_.size(); ++i) {
        if (taken[i]) continue;
        if (pool_[i]->count() > 0) pool_[i]->replace(QList<QPointF>());
        if (pool_[i]->isVisible()) pool_[i]->setVisible(false);
    }
    setTitle(x_, g.xLabel, Qt::black);
    setTitle(left_, g.leftLabel, axisColour[1]);
    setTitle(right_, g.rightLabel, axisColour[2]);
    placePlotArea();
    // New labels or titles alone change no item of the scene: ask for the repaint that shows them.
    viewport()->update();
}

std::vector<QLineSeries*> ChartView::shownSeries() const { return shown_; }

}  // namespace rt::qt
