#pragma once
// The graph control on Qt Charts: an x axis at the bottom and a left and a right y axis, one
// line series per visible trace of the graph model.

#include <QChartView>
#include <QList>
#include <QPointF>
#include <vector>

#include "runtime/core/model.h"
#include "runtime/qt/axis_painter.h"

class QChart;
class QLineSeries;
class QValueAxis;

namespace rt::qt {

struct AxisRange {
    double lo = 0.0;
    double hi = 10.0;
    double tick = 0.0;  // the tick distance lo and hi are whole multiples of; 0: not snapped
};

// The range an axis shows. Manual: min..max as set. Automatic: the data's range with 5 % room
// on both sides, widened outward to whole multiples of the tick distance that puts about
// `ticks` ticks on it; without data, the manual numbers. Snapping keeps the range, and with it
// the labels and the chart's layout, unchanged while new data stay inside it. A range that is
// empty or inverted is made valid: min > max is shown swapped, min == max as
// min +- max(0.5, |min| * 1e-6); numbers that are not finite give 0..10.
AxisRange shownAxisRange(const AxisSetting& setting, bool haveData, double dataLo, double dataHi,
                         int ticks = 8);
// The range a time axis shows. Automatic: from the data's first time, not before it, to its last
// or the next whole tick after it; otherwise as shownAxisRange.
AxisRange shownTimeRange(const AxisSetting& setting, bool haveData, double dataLo, double dataHi,
                         int ticks = 10);
// A tick distance of 1, 2 or 5 times a power of ten that puts about `ticks` ticks on `span`.
double niceTickInterval(double span, int ticks);

class ChartView : public QChartView {
    Q_OBJECT
  public:
    explicit ChartView(QWidget* parent = nullptr);

    // Redraws from the model: series, axis ranges and titles.
    void showGraph(const GraphModel& graph);

    QValueAxis* xAxis() const { return x_; }
    QValueAxis* yAxis(int which) const { return which == 2 ? right_ : left_; }
    // The series in use, in the order of GraphModel::visibleTraces().
    std::vector<QLineSeries*> shownSeries() const;
    int seriesPoolSize() const { return int(pool_.size()); }
    int redraws() const { return redraws_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The background and the grid under the traces; the axes over them.
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

  private:
    ChartAxes axes() const;
    // Fits the plot area to the chart's size and the axes' labels and titles.
    void placePlotArea();
    // The pooled series for a trace: preferably the one that drew the same axis and colour last
    // time (the core's trace order may change from one redraw to the next; a series that keeps
    // its pen and axis costs nothing to restyle).
    QLineSeries* seriesFor(int yAxis, int colour, std::vector<bool>& taken);
    static void setAxis(QValueAxis* axis, const AxisRange& range);
    static void setTitle(QValueAxis* axis, const std::string& title, QColor colour);

    QChart* chart_;
    QValueAxis* x_;
    QValueAxis* left_;
    QValueAxis* right_;
    std::vector<QLineSeries*> pool_;
    std::vector<int> poolAxis_;        // y axis each series of the pool is attached to
    std::vector<int> poolColour_;      // colour it drew last, -1 none
    std::vector<QLineSeries*> shown_;  // in trace order
    int redraws_ = 0;
    AxisPainter axisPainter_;
    QList<QPointF> points_;  // reused for each trace
};

}  // namespace rt::qt
