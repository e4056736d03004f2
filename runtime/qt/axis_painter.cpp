#include "runtime/qt/axis_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace rt::qt {

namespace {

constexpr double kTickLength = 4.0;  // tick marks outside the plot [px]
constexpr double kGap = 3.0;         // tick mark to label, label to title [px]
constexpr int kMostTexts = 256;      // texts a cache keeps before it starts afresh

// The ticks of an axis as it is set now.
std::vector<double> ticksOf(const QValueAxis& a) {
    return tickValues(a.min(), a.max(), a.tickInterval(), a.tickAnchor());
}

bool hasTitle(const QValueAxis& a) { return a.isTitleVisible() && !a.titleText().isEmpty(); }

// The height of an axis's title, 0 without one.
double titleHeight(const QValueAxis& a) {
    return hasTitle(a) ? QFontMetricsF(a.titleFont()).height() : 0.0;
}

// The room a title takes beside the labels: its height and the gap before it.
double titleRoom(const QValueAxis& a) { return hasTitle(a) ? titleHeight(a) + kGap : 0.0; }

// Where `v` of lo..hi lies between `from` (lo) and `to` (hi).
double position(double v, double lo, double hi, double from, double to) {
    return from + (v - lo) / (hi - lo) * (to - from);
}

// Lines across the plot are filled one-pixel rectangles: the raster engine fills a rectangle
// several times faster than it strokes a line of the same pixels.
void horizontalLine(QPainter& p, double left, double right, double y, const QColor& c) {
    p.fillRect(QRectF(left, std::floor(y), right - left, 1.0), c);
}

void verticalLine(QPainter& p, double x, double top, double bottom, const QColor& c) {
    p.fillRect(QRectF(std::floor(x), top, 1.0, bottom - top), c);
}

// A pixel row or column of the plot for a position on it: the last one for its far edge.
double inside(double v, double from, double to) {
    return std::clamp(v, from, std::max(from, to - 1.0));
}

}  // namespace

std::vector<double> tickValues(double lo, double hi, double interval, double anchor, int limit) {
    std::vector<double> ticks;
    if (!(interval > 0) || !std::isfinite(interval) || !std::isfinite(anchor) ||
        !std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi))
        return ticks;
    // A tick a rounding error outside the range still counts: a range snapped to whole ticks
    // must show the ticks at both of its ends.
    const double slack = interval * 1e-9;
    const double first = std::ceil((lo - anchor - slack) / interval);
    const double last = std::floor((hi - anchor + slack) / interval);
    if (!(last - first < limit)) return ticks;
    for (double k = first; k <= last; ++k) {
        double v = anchor + k * interval;
        if (std::abs(v) < slack) v = 0.0;  // no "-0.0" from a sum that is nearly zero
        ticks.push_back(v);
    }
    return ticks;
}

QString tickLabel(double value, const QString& format) {
    return QString::asprintf(format.toLatin1().constData(), value);
}

const QStaticText& AxisPainter::TextCache::get(const QString& text, const QFont& font) {
    if (font != font_ || texts_.size() >= kMostTexts) {
        texts_.clear();
        font_ = font;
    }
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), font);
        it = texts_.insert(text, laidOut);
    }
    return *it;
}

double AxisPainter::labelWidth(const QValueAxis& a, double value) {
    return labels_.get(tickLabel(value, a.labelFormat()), a.labelsFont()).size().width();
}

double AxisPainter::widestLabel(const QValueAxis& a) {
    double widest = 0.0;
    for (double v : ticksOf(a)) widest = std::max(widest, labelWidth(a, v));
    return widest;
}

QRectF AxisPainter::plotArea(const QRectF& bounds, const ChartAxes& axes) {
    const QValueAxis& x = *axes.x;
    const QValueAxis& left = *axes.left;
    const QValueAxis& right = *axes.right;
    const double labelHeight = QFontMetricsF(x.labelsFont()).height();
    // Room for the axis lines too, which lie just outside the plot.
    double l = bounds.left() + titleRoom(left) + widestLabel(left) + kGap + kTickLength + 1;
    double r = bounds.right() - titleRoom(right) - widestLabel(right) - kGap - kTickLength - 1;
    const double b = bounds.bottom() - titleRoom(x) - labelHeight - kGap - kTickLength;
    // The top label of a y axis is centred on the plot's top edge.
    const double t = bounds.top() + std::max(QFontMetricsF(left.labelsFont()).height(),
                                             QFontMetricsF(right.labelsFont()).height()) /
                                        2;
    // The x labels are centred on their ticks: those at the ends reach beside the plot.
    const std::vector<double> xTicks = ticksOf(x);
    if (!xTicks.empty()) {
        l = std::max(l, bounds.left() + labelWidth(x, xTicks.front()) / 2);
        r = std::min(r, bounds.right() - labelWidth(x, xTicks.back()) / 2);
    }
    QRectF plot(QPointF(std::ceil(l), std::ceil(t)), QPointF(std::floor(r), std::floor(b)));
    // A window too small for the labels still gets a plot area of one pixel.
    if (plot.width() < 1) plot.setWidth(1);
    if (plot.height() < 1) plot.setHeight(1);
    return plot;
}

void AxisPainter::drawGrid(QPainter& p, const QRectF& plot, const ChartAxes& axes) {
    const QValueAxis& x = *axes.x;
    if (x.isGridLineVisible()) {
        const QColor c = x.gridLinePen().color();
        for (double v : ticksOf(x)) {
            const double px = position(v, x.min(), x.max(), plot.left(), plot.right());
            verticalLine(p, inside(px, plot.left(), plot.right()), plot.top(), plot.bottom(), c);
        }
    }
    for (const QValueAxis* y : {axes.left, axes.right}) {
        if (!y->isGridLineVisible()) continue;
        const QColor c = y->gridLinePen().color();
        for (double v : ticksOf(*y)) {
            const double py = position(v, y->min(), y->max(), plot.bottom(), plot.top());
            horizontalLine(p, plot.left(), plot.right(), inside(py, plot.top(), plot.bottom()), c);
        }
    }
}

void AxisPainter::drawAxes(QPainter& p, const QRectF& plot, const ChartAxes& axes) {
    drawXAxis(p, plot, *axes.x);
    drawYAxis(p, plot, *axes.left, true);
    drawYAxis(p, plot, *axes.right, false);
}

void AxisPainter::drawXAxis(QPainter& p, const QRectF& plot, const QValueAxis& a) {
    const QColor line = a.linePen().color();
    horizontalLine(p, plot.left() - 1, plot.right() + 1, plot.bottom(), line);
    const double h = QFontMetricsF(a.labelsFont()).height();
    const double top = plot.bottom() + kTickLength + kGap;
    double freeFrom = -1e300;  // labels go rightwards: the right edge of the last one drawn
    p.setFont(a.labelsFont());
    p.setPen(a.labelsBrush().color());
    for (double v : ticksOf(a)) {
        const double x = inside(position(v, a.min(), a.max(), plot.left(), plot.right()),
                                plot.left(), plot.right());
        verticalLine(p, x, plot.bottom(), plot.bottom() + kTickLength, line);
        const QStaticText& text = labels_.get(tickLabel(v, a.labelFormat()), a.labelsFont());
        const double w = text.size().width();
        if (x - w / 2 < freeFrom + kGap) continue;
        freeFrom = x + w / 2;
        p.drawStaticText(QPointF(std::round(x - w / 2), top), text);
    }
    if (hasTitle(a))
        drawTitle(p, a, QPointF(plot.center().x(), top + h + kGap + titleHeight(a) / 2),
                  plot.width(), 0.0);
}

void AxisPainter::drawYAxis(QPainter& p, const QRectF& plot, const QValueAxis& a, bool leftSide) {
    const QColor line = a.linePen().color();
    // The axis line lies just outside the plot, in the pixel column beside its edge.
    const double edge = leftSide ? plot.left() - 1 : plot.right();
    const double out = leftSide ? -1.0 : 1.0;  // away from the plot
    verticalLine(p, edge, plot.top(), plot.bottom() + 1, line);
    const double h = QFontMetricsF(a.labelsFont()).height();
    double widest = 0.0;
    double freeAbove = plot.bottom() + h;  // labels go upwards: the top edge of the last one
    p.setFont(a.labelsFont());
    p.setPen(a.labelsBrush().color());
    for (double v : ticksOf(a)) {
        const double y = inside(position(v, a.min(), a.max(), plot.bottom(), plot.top()),
                                plot.top(), plot.bottom());
        horizontalLine(p, leftSide ? edge - kTickLength : edge + 1,
                       leftSide ? edge : edge + 1 + kTickLength, y, line);
        const QStaticText& text = labels_.get(tickLabel(v, a.labelFormat()), a.labelsFont());
        const double w = text.size().width();
        widest = std::max(widest, w);
        if (y + h / 2 > freeAbove) continue;
        freeAbove = y - h / 2;
        const double x = leftSide ? edge - kTickLength - kGap - w : edge + 1 + kTickLength + kGap;
        p.drawStaticText(QPointF(std::round(x), std::round(y - h / 2)), text);
    }
    if (hasTitle(a)) {
        const double centre = edge + out * ((leftSide ? 0 : 1) + kTickLength + kGap + widest +
                                            kGap + titleHeight(a) / 2);
        drawTitle(p, a, QPointF(centre, plot.center().y()), plot.height(), leftSide ? -90.0 : 90.0);
    }
}

// A title centred on `centre`, turned by `turn` degrees (-90: reading upwards, 90: downwards),
// cut to `room` pixels.
void AxisPainter::drawTitle(QPainter& p, const QValueAxis& a, QPointF centre, double room,
                            double turn) {
    const QFontMetricsF fm(a.titleFont());
    const QStaticText& text =
        titles_.get(fm.elidedText(a.titleText(), Qt::ElideRight, room), a.titleFont());
    const QSizeF size = text.size();
    p.save();
    p.translate(centre);
    if (turn != 0.0) p.rotate(turn);
    p.setFont(a.titleFont());
    p.setPen(a.titleBrush().color());
    p.drawStaticText(QPointF(-size.width() / 2, -size.height() / 2), text);
    p.restore();
}

}  // namespace rt::qt
