#include "runtime/qt/chart_picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QLineSeries>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QValueAxis>
#include <vector>

#include "runtime/qt/chart_view.h"
#include "runtime/qt/trace_points.h"

namespace rt::qt {

namespace {
// The SVG writer knows no clipping, so the traces are cut at the plot's edges before they are
// drawn: each piece inside becomes a line of its own (in the picture's chart only).
void cutTracesAtThePlot(ChartView& view) {
    QValueAxis* x = view.xAxis();
    for (QLineSeries* s : view.shownSeries()) {
        QValueAxis* y = s->attachedAxes().contains(view.yAxis(2)) ? view.yAxis(2) : view.yAxis(1);
        const QRectF range(QPointF(x->min(), y->min()), QPointF(x->max(), y->max()));
        std::vector<QList<QPointF>> pieces = linePiecesInside(s->points(), range.normalized());
        s->replace(pieces.empty() ? QList<QPointF>() : pieces.front());
        for (std::size_t k = 1; k < pieces.size(); ++k) {
            auto* more = new QLineSeries;
            more->setPen(s->pen());
            view.chart()->addSeries(more);
            more->attachAxis(x);
            more->attachAxis(y);
            more->replace(pieces[k]);
        }
    }
}

// Draws the graph at `size` onto `device` through a chart of its own, never shown on the screen.
// False when the device cannot be painted on.
bool paintGraph(const GraphModel& graph, QSize size, QPaintDevice& device) {
    ChartView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setFrameStyle(QFrame::NoFrame);
    view.drawAsPicture();
    view.resize(size);
    view.show();  // delivers the resize that lays the chart out
    view.showGraph(graph);
    cutTracesAtThePlot(view);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    view.render(&painter);  // scaled to fill the device: a picture larger than `size` is sharp
    return painter.end();
}
}  // namespace

QImage graphImage(const GraphModel& graph, QSize size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.fill(Qt::white);
    paintGraph(graph, size, image);
    return image;
}

int saveGraphPicture(const GraphModel& graph, const QString& path, QSize size, qreal ratio) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QBuffer text;
        text.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&text);
        svg.setSize(size);
        svg.setResolution(96);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("TEVRAN chart"));
        if (!paintGraph(graph, size, svg)) return -1;
        // The generator gives the size in millimetres, rounded: 800 pixels come back as 800.001
        // and viewers make 801 of them. The size in pixels instead (CSS pixels, as viewers
        // show them).
        QByteArray out = text.data();
        static const QRegularExpression mm(
            QStringLiteral("width=\"[0-9.]+mm\" height=\"[0-9.]+mm\""));
        const QRegularExpressionMatch m = mm.match(QString::fromLatin1(out.left(400)));
        if (m.hasMatch())
            out.replace(m.capturedStart(), m.capturedLength(),
                        QStringLiteral("width=\"%1\" height=\"%2\"")
                            .arg(size.width())
                            .arg(size.height())
                            .toLatin1());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return -1;
        // A full disk shows here, as the text goes out.
        return file.write(out) == out.size() && file.flush() ? 0 : -1;
    }
    return graphImage(graph, size, ratio).save(path, "PNG") ? 0 : -1;
}

}  // namespace rt::qt
