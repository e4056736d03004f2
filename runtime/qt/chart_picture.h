#pragma once
// A chart as a picture: the graph drawn offscreen at a given size, everything the window shows
// of it (axes, titles, bands, traces, the values under the pointer; not the paused mark), for a
// file or the clipboard.

#include <QImage>
#include <QSize>
#include <QString>

#include "runtime/core/model.h"

namespace rt::qt {

QImage graphImage(const GraphModel& graph, QSize size);
// Into `path`: SVG when it ends in ".svg" (any case), else PNG. 0, or -1 when the file could
// not be written.
int saveGraphPicture(const GraphModel& graph, const QString& path, QSize size);

}  // namespace rt::qt
