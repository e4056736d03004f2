// The chart under the operator's hands: the values under the pointer, zoom and pan with the
// wheel, the mouse and the keys, and what the chart paints for them (the bands behind the traces,
// the readout, the rectangle being drawn, the mark of a live chart that no longer follows).
#include <QChart>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "runtime/core/graph_view.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/text_encoding.h"

namespace rt::qt {

namespace {
constexpr double kWheelStep = 0.8;  // a wheel notch (or + key) shows 80 % of the range
constexpr double kKeyPan = 0.1;     // an arrow key moves the range by a tenth of it
constexpr double kLeast = 4.0;      // a rectangle narrower than this zooms nowhere [px]
constexpr double kGap = 6.0;        // readout box from its line, mark from the plot's edge [px]

// A trace's colour a quarter strong on white: the band behind it, light enough for the trace
// to stay readable over it.
QColor lightShade(int rgb) {
    const QColor c = rgbColour(rgb);
    return QColor((c.red() + 3 * 255) / 4, (c.green() + 3 * 255) / 4, (c.blue() + 3 * 255) / 4);
}

double at(double v, double lo, double hi, double from, double to) {
    return from + (v - lo) / (hi - lo) * (to - from);
}

// A text in a box of white, drawn at `topLeft`; returns the box.
QRectF boxedText(QPainter& p, QPointF topLeft, const std::vector<QString>& parts,
                 const std::vector<QColor>& colours) {
    const QFontMetricsF fm(p.font());
    const QString gap = QStringLiteral("   ");
    double width = 0;
    for (std::size_t k = 0; k < parts.size(); ++k)
        width += fm.horizontalAdvance(parts[k]) + (k ? fm.horizontalAdvance(gap) : 0);
    const QRectF box(topLeft, QSizeF(width + 8, fm.height() + 4));
    p.fillRect(box, QColor(255, 255, 255, 230));
    p.setPen(QColor(160, 160, 160));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    double x = box.left() + 4;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k) x += fm.horizontalAdvance(gap);
        p.setPen(colours[std::min(k, colours.size() - 1)]);
        p.drawText(QPointF(x, box.top() + 2 + fm.ascent()), parts[k]);
        x += fm.horizontalAdvance(parts[k]);
    }
    return box;
}
}  // namespace

void ChartView::setControl(int panel, int control) {
    panel_ = panel;
    control_ = control;
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

bool ChartView::valuesAt(QPointF pos, double& x, double (&y)[3]) const {
    const QRectF plot = chart_->plotArea();
    const QPointF p = chart_->mapFromScene(mapToScene(pos.toPoint()));
    if (!plot.contains(p) || plot.width() <= 0 || plot.height() <= 0) return false;
    x = at(p.x(), plot.left(), plot.right(), x_->min(), x_->max());
    y[0] = 0;
    y[1] = at(p.y(), plot.bottom(), plot.top(), left_->min(), left_->max());
    y[2] = at(p.y(), plot.bottom(), plot.top(), right_->min(), right_->max());
    return true;
}

void ChartView::act(std::function<void()> action) { deliverGraphAction(std::move(action)); }

Span ChartView::draggedTime() const {
    // The time under the pointer stays under it.
    const double by =
        -(dragTo_.x() - dragFrom_.x()) / chart_->plotArea().width() * (dragX_[1] - dragX_[0]);
    return pannedSpan({dragX_[0], dragX_[1]}, by);
}

void ChartView::zoomTime(double centre, double factor, double shift, bool settled) {
    const Span s = pannedSpan(zoomedSpan({x_->min(), x_->max()}, centre, factor), shift);
    const int p = panel_, c = control_;
    act([=] { rt::zoomView(p, c, s.lo, s.hi, settled); });
}

void ChartView::zoomValues(double (&centre)[3], double factor, double (&shift)[3]) {
    Span y[3];
    const QValueAxis* axis[3] = {nullptr, left_, right_};
    for (int k = 1; k <= 2; ++k)
        y[k] =
            pannedSpan(zoomedSpan({axis[k]->min(), axis[k]->max()}, centre[k], factor), shift[k]);
    const int p = panel_, c = control_;
    act([=] { rt::zoomValues(p, c, y); });
}

void ChartView::mousePressEvent(QMouseEvent* e) {
    double x, y[3];
    if (!panel_ || e->button() != Qt::LeftButton || !valuesAt(e->position(), x, y)) {
        QChartView::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    dragged_ = false;
    rubber_ = e->modifiers() & Qt::ShiftModifier;
    dragFrom_ = dragTo_ = e->position();
    dragX_[0] = x_->min();
    dragX_[1] = x_->max();
}

void ChartView::mouseMoveEvent(QMouseEvent* e) {
    if (!panel_) {
        QChartView::mouseMoveEvent(e);
        return;
    }
    const int p = panel_, c = control_;
    pointerAt_ = e->position();
    if (dragging_) {
        dragTo_ = e->position();
        dragged_ = true;
        if (rubber_) {
            viewport()->update();
            return;
        }
        // The file is read again where the drag ends.
        const Span s = draggedTime();
        act([=] { rt::zoomView(p, c, s.lo, s.hi, false); });
        return;
    }
    double x, y[3];
    if (valuesAt(e->position(), x, y)) {
        pointerIn_ = true;
        act([=] { rt::pointerMoved(p, c, x); });
    } else if (pointerIn_) {
        pointerIn_ = false;
        act([=] { rt::pointerLeft(p, c); });
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragging_ || e->button() != Qt::LeftButton) {
        QChartView::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    const int p = panel_, c = control_;
    const QRectF plot = chart_->plotArea();
    if (rubber_) {
        viewport()->update();
        const QRectF r = QRectF(dragFrom_, dragTo_).normalized();
        if (!dragged_ || r.width() < kLeast || r.height() < kLeast) return;
        // The corners, kept inside the plot, give the ranges of all three axes.
        const auto inside = [&](QPointF q) {
            const QPointF s =
                chart_->mapToScene(QPointF(std::clamp(q.x(), plot.left(), plot.right() - 1),
                                           std::clamp(q.y(), plot.top(), plot.bottom() - 1)));
            return mapFromScene(s);
        };
        double x0, x1, a[3], b[3];
        if (!valuesAt(inside(r.topLeft()), x0, a) || !valuesAt(inside(r.bottomRight()), x1, b))
            return;
        const Span y[3] = {{}, {b[1], a[1]}, {b[2], a[2]}};
        act([=] {
            rt::zoomValues(p, c, y);
            rt::zoomView(p, c, x0, x1);
        });
        return;
    }
    if (dragged_) {
        const Span s = draggedTime();
        act([=] { rt::zoomView(p, c, s.lo, s.hi, true); });
    }
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!panel_ || e->button() != Qt::LeftButton) {
        QChartView::mouseDoubleClickEvent(e);
        return;
    }
    const int p = panel_, c = control_;
    act([=] { rt::homeView(p, c); });
}

void ChartView::wheelEvent(QWheelEvent* e) {
    double x, y[3];
    const double notches = e->angleDelta().y() / 120.0;
    if (!panel_ || notches == 0 || !valuesAt(e->position(), x, y)) {
        QChartView::wheelEvent(e);
        return;
    }
    // The keys act on the chart the wheel has zoomed: Home, as its paused mark says, follows
    // the newest sample again.
    setFocus(Qt::MouseFocusReason);
    const double factor = std::pow(kWheelStep, notches);
    double none[3] = {0, 0, 0};
    if (e->modifiers() & Qt::ControlModifier)
        zoomValues(y, factor, none);
    else
        zoomTime(x, factor, 0.0);
    e->accept();
}

void ChartView::keyPressEvent(QKeyEvent* e) {
    if (!panel_) {
        QChartView::keyPressEvent(e);
        return;
    }
    const double centre = (x_->min() + x_->max()) / 2;
    const double width = x_->max() - x_->min();
    double mid[3] = {0, (left_->min() + left_->max()) / 2, (right_->min() + right_->max()) / 2};
    double up[3] = {0, (left_->max() - left_->min()) * kKeyPan,
                    (right_->max() - right_->min()) * kKeyPan};
    double down[3] = {0, -up[1], -up[2]};
    const int p = panel_, c = control_;
    switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomTime(centre, kWheelStep, 0.0);
            break;
        case Qt::Key_Minus:
            zoomTime(centre, 1 / kWheelStep, 0.0);
            break;
        case Qt::Key_Left:
            zoomTime(centre, 1.0, -width * kKeyPan);
            break;
        case Qt::Key_Right:
            zoomTime(centre, 1.0, width * kKeyPan);
            break;
        case Qt::Key_Up:
            zoomValues(mid, 1.0, up);
            break;
        case Qt::Key_Down:
            zoomValues(mid, 1.0, down);
            break;
        case Qt::Key_Home:
            act([=] { rt::homeView(p, c); });
            break;
        default:
            QChartView::keyPressEvent(e);
            return;
    }
    e->accept();
}

void ChartView::leaveEvent(QEvent* e) {
    QChartView::leaveEvent(e);
    if (!panel_ || !pointerIn_ || dragging_) return;
    pointerIn_ = false;
    const int p = panel_, c = control_;
    act([=] { rt::pointerLeft(p, c); });
}

bool ChartView::viewportEvent(QEvent* e) {
    double x, y[3];
    if (e->type() == QEvent::ToolTip && !view_.readout.empty() &&
        valuesAt(static_cast<QHelpEvent*>(e)->pos(), x, y)) {
        QToolTip::hideText();
        e->accept();  // not passed on to the chart, whose tooltip it is
        return true;
    }
    return QChartView::viewportEvent(e);
}

void ChartView::followPointer() {
    followPending_ = false;
    if (!panel_ || !pointerIn_ || dragging_) return;
    const int p = panel_, c = control_;
    double x, y[3];
    if (valuesAt(pointerAt_, x, y)) {
        act([=] { rt::pointerMoved(p, c, x); });
    } else {
        pointerIn_ = false;
        act([=] { rt::pointerLeft(p, c); });
    }
}

// ---- Painting --------------------------------------------------------------------------------

void ChartView::drawBands(QPainter& p, const QRectF& plot) {
    if (bands_.empty() || plot.width() <= 0) return;
    p.save();
    p.setClipRect(plot);
    const double xLo = x_->min(), xHi = x_->max();
    for (const Band& b : bands_) {
        const QValueAxis* axis = b.yAxis == 2 ? right_ : left_;
        const double yLo = axis->min(), yHi = axis->max();
        const QColor shade = lightShade(b.colour);
        for (std::size_t c = 0; c < b.lo.size(); ++c) {
            if (!std::isfinite(b.lo[c]) || !std::isfinite(b.hi[c])) continue;
            const double from = b.x0 + double(c) * b.dx;
            double left = at(from, xLo, xHi, plot.left(), plot.right());
            double right = at(from + b.dx, xLo, xHi, plot.left(), plot.right());
            if (right < plot.left() || left > plot.right()) continue;
            double top = at(b.hi[c], yLo, yHi, plot.bottom(), plot.top());
            double bottom = at(b.lo[c], yLo, yHi, plot.bottom(), plot.top());
            // Every column at least a pixel either way: a single value stays in sight. Cut at the
            // plot's edges here too, for pictures whose painter does not clip (SVG).
            left = std::floor(std::max(left, plot.left()));
            right = std::max(left + 1, std::ceil(std::min(right, plot.right())));
            top = std::floor(std::clamp(top, plot.top() - 1, plot.bottom() + 1));
            bottom =
                std::max(top + 1, std::ceil(std::clamp(bottom, plot.top() - 1, plot.bottom() + 1)));
            p.fillRect(QRectF(left, top, right - left, bottom - top), shade);
        }
    }
    p.restore();
}

void ChartView::drawReadout(QPainter& p, const QRectF& plot) {
    if (dragging_ && rubber_ && dragged_) {
        const QRectF r = QRectF(chart_->mapFromScene(mapToScene(dragFrom_.toPoint())),
                                chart_->mapFromScene(mapToScene(dragTo_.toPoint())))
                             .normalized()
                             .intersected(plot);
        p.save();
        p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
        p.fillRect(r, QColor(0, 0, 0, 20));
        p.drawRect(r);
        p.restore();
    }
    if (view_.readout.empty() || x_->max() <= x_->min()) return;
    // A nearest sample outside the view (zoomed in between two samples, panned past the data)
    // has its values at the plot's edge on its side, without a line.
    const double sample = at(view_.readoutX, x_->min(), x_->max(), plot.left(), plot.right());
    if (std::isnan(sample)) return;
    const double x = std::clamp(sample, plot.left(), plot.right());
    p.save();
    if (x == sample)
        p.fillRect(QRectF(std::floor(x), plot.top(), 1.0, plot.height()), QColor(90, 90, 90));
    std::vector<QString> parts;
    for (const std::string& t : view_.readout) parts.push_back(fromCp1252(t));
    const std::vector<QColor> colours = {Qt::black, left_->titleBrush().color(),
                                         right_->titleBrush().color()};
    // Beside the line, on the side with room for it.
    const QFontMetricsF fm(p.font());
    double width = 8;
    for (const QString& s : parts) width += fm.horizontalAdvance(s + QStringLiteral("   "));
    double left = x + kGap;
    if (left + width > plot.right()) left = std::max(plot.left(), x - kGap - width);
    boxedText(p, QPointF(left, plot.top() + kGap), parts, colours);
    p.restore();
}

void ChartView::drawPausedMark(QPainter& p, const QRectF& plot) {
    if (!live_ || !view_.zoomed || picture_) return;
    p.save();
    QFont bold = p.font();
    bold.setBold(true);
    p.setFont(bold);
    const QFontMetricsF fm(bold);
    const QString mark = QString::fromUtf8("paused \xE2\x80\x94 Home to follow");
    boxedText(p,
              QPointF(plot.right() - kGap - fm.horizontalAdvance(mark) - 8,
                      plot.bottom() - kGap - fm.height() - 4),
              {mark}, {QColor(0xA0, 0x50, 0x00)});
    p.restore();
}

}  // namespace rt::qt
