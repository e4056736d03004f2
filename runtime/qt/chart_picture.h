#pragma once
// A chart as a picture: the graph drawn offscreen at a given size, everything the window shows
// of it (axes, titles, bands, traces, the values under the pointer; not the paused mark), for a
// file or the clipboard.

#include <QImage>
#include <QSize>
#include <QString>

#include "runtime/core/model.h"

namespace rt::qt {

// `size` in the chart's own pixels; `ratio` device pixels to each of them (2 draws a picture of
// a chart on a screen scaled to 200 % as sharp as the screen shows it, twice the size in pixels).
QImage graphImage(const GraphModel& graph, QSize size, qreal ratio = 1.0);
// Into `path`: SVG when it ends in ".svg" (any case), else PNG. 0, or -1 when the file could
// not be written.
int saveGraphPicture(const GraphModel& graph, const QString& path, QSize size, qreal ratio = 1.0);

}  // namespace rt::qt
