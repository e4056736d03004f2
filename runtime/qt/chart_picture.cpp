#include "runtime/qt/chart_picture.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QSvgGenerator>

#include "runtime/qt/chart_view.h"

namespace rt::qt {

namespace {
// Draws the graph at `size` onto `device` through a chart of its own, never shown on the screen.
void paintGraph(const GraphModel& graph, QSize size, QPaintDevice& device) {
    ChartView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setFrameStyle(QFrame::NoFrame);
    view.resize(size);
    view.show();  // delivers the resize that lays the chart out
    view.showGraph(graph);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QPainter painter(&device);
    view.render(&painter);
}
}  // namespace

QImage graphImage(const GraphModel& graph, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    paintGraph(graph, size, image);
    return image;
}

int saveGraphPicture(const GraphModel& graph, const QString& path, QSize size) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("TEVRAN chart"));
        paintGraph(graph, size, svg);
        return QFile::exists(path) ? 0 : -1;
    }
    return graphImage(graph, size).save(path, "PNG") ? 0 : -1;
}

}  // namespace rt::qt
