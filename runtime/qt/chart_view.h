#pragma once
// The graph control on Qt Charts: an x axis at the bottom and a left and a right y axis, one
// line series per visible trace of the graph model.

#include <QChartView>
#include <QList>
#include <QPointF>
#include <functional>
#include <vector>

#include "runtime/core/model.h"
#include "runtime/core/view_math.h"
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
    // The graph control the operator's zoom, pan and pointer act on; none: the chart only shows.
    void setControl(int panel, int control);

    // Redraws from the model: series, axis ranges and titles.
    void showGraph(const GraphModel& graph);

    QValueAxis* xAxis() const { return x_; }
    QValueAxis* yAxis(int which) const { return which == 2 ? right_ : left_; }
    // The series in use, in the order of GraphModel::visibleTraces().
    std::vector<QLineSeries*> shownSeries() const;
    // A chart drawn as a picture leaves out what speaks to the operator (the paused mark).
    void drawAsPicture() { picture_ = true; }
    int seriesPoolSize() const { return int(pool_.size()); }
    int redraws() const { return redraws_; }

    // The time (x) and the values of both y axes at a point of the view; false outside the plot.
    bool valuesAt(QPointF pos, double& x, double (&y)[3]) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The operator's view: the pointer's readout, wheel zoom, drag to pan, Shift+drag to zoom to
    // a rectangle, double click and Home for the full view, + - and the arrows.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // The chart's tooltip only where it hides no values: over the plot, while the values under
    // the pointer are shown, the operator is reading them.
    bool viewportEvent(QEvent* event) override;
    // The background and the grid under the traces; the axes over them.
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

  private:
    ChartAxes axes() const;
    // Zooms or pans: time by `factor` around `at` and shifted by `shift` (in the axis's units),
    // the y axes likewise when `values`.
    void zoomTime(double at, double factor, double shift, bool settled = true);
    void zoomValues(double (&at)[3], double factor, double (&shift)[3]);
    // The time range of a drag that pans: the range when it began, moved with the pointer.
    Span draggedTime() const;
    // The model's operations, delivered as operator events (held while a callback waits).
    void act(std::function<void()> action);
    void drawBands(QPainter& p, const QRectF& plot);
    void drawReadout(QPainter& p, const QRectF& plot);
    void drawPausedMark(QPainter& p, const QRectF& plot);
    // The time under a pointer that rests on the plot while the time axis moves under it (a live
    // chart moving on, the keys' zoom and pan), told to the program as a pointer move.
    void followPointer();
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
    int panel_ = 0, control_ = 0;
    std::vector<Band> bands_;  // as last shown
    GraphViewState view_;
    bool live_ = false;  // the program moves the time axis itself: a zoom pauses it
    bool picture_ = false;
    // A drag: where it began, the ranges then, and whether it draws a rectangle to zoom to.
    bool dragging_ = false, rubber_ = false, dragged_ = false;
    bool pointerIn_ = false;
    QPointF pointerAt_;           // where it last moved over the chart
    bool followPending_ = false;  // followPointer() is on its way
    QPointF dragFrom_, dragTo_;
    double dragX_[2] = {};
};

}  // namespace rt::qt
