#pragma once
// The chart's axes as the view draws them around the plot area: the tick values of a range,
// their labels, the room the labels and titles take, the grid under the traces and the axis
// lines, tick marks, labels and titles over them. They are painted straight from the axes'
// settings (range, tick interval and anchor, label format, title, fonts and colours): new ticks
// or labels then cost one repaint instead of a layout of the whole chart, which at a 0.05 s
// poll interval took a good part of the interval.

#include <QFont>
#include <QHash>
#include <QRectF>
#include <QStaticText>
#include <QString>
#include <vector>

class QPainter;
class QValueAxis;

namespace rt::qt {

// The chart's three axes: time at the bottom, one quantity on the left and one on the right.
struct ChartAxes {
    const QValueAxis* x = nullptr;
    const QValueAxis* left = nullptr;
    const QValueAxis* right = nullptr;
};

// The tick values inside lo..hi: whole multiples of `interval` counted from `anchor`, ascending.
// None for an interval that is not a positive number, for an empty range, or where the range
// would take more than `limit` ticks.
std::vector<double> tickValues(double lo, double hi, double interval, double anchor,
                               int limit = 1000);

// A tick's label: `value` under `format`, a printf format of one double ("%.2f", "%.4g").
// Numbers keep their decimal point whatever the locale.
QString tickLabel(double value, const QString& format);

class AxisPainter {
  public:
    // The plot area inside `bounds` (the chart less its margins) that leaves room for the tick
    // marks, labels and titles of the axes, in whole pixels. It changes only when the widest
    // label of a y axis, the labels at the ends of the x axis or a title's presence changes.
    QRectF plotArea(const QRectF& bounds, const ChartAxes& axes);

    // The grid lines, one pixel wide, of the axes that show a grid, inside `plot`.
    void drawGrid(QPainter& p, const QRectF& plot, const ChartAxes& axes);

    // The axis lines along the plot's edges, the tick marks, labels and titles outside it.
    // Labels that would overlap the one drawn before them are left out.
    void drawAxes(QPainter& p, const QRectF& plot, const ChartAxes& axes);

  private:
    // Texts laid out once and drawn many times: labels and titles repeat from one repaint to
    // the next, and laying out a text costs several times drawing it.
    class TextCache {
      public:
        const QStaticText& get(const QString& text, const QFont& font);

      private:
        QFont font_;
        QHash<QString, QStaticText> texts_;
    };

    double widestLabel(const QValueAxis& a);
    double labelWidth(const QValueAxis& a, double value);
    void drawXAxis(QPainter& p, const QRectF& plot, const QValueAxis& a);
    void drawYAxis(QPainter& p, const QRectF& plot, const QValueAxis& a, bool leftSide);
    void drawTitle(QPainter& p, const QValueAxis& a, QPointF centre, double room, double turn);

    TextCache labels_;
    TextCache titles_;
};

}  // namespace rt::qt
