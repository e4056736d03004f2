#pragma once
// The points that draw a trace's line on a plot of a given width. Where they are few, all of
// them; where many share a pixel column (a strip chart's stack of thousands of samples at a short
// interval), per column only those that shape the line, so that the chart's work for a trace is
// bounded by the plot's width, not by the number of samples.

#include <QList>
#include <QPointF>
#include <QRectF>
#include <cstddef>
#include <vector>

#include "runtime/core/model.h"

namespace rt::qt {

// Points [begin, end) of `points` for a line over x from xLo to xHi that is `columns` pixels
// wide, into `out`. Points that are not finite are left out. When x never decreases and there
// are more than two points a column on average, each column keeps its first, lowest, highest
// and last point, in their order (never more than it has), and of the points outside the range
// only the nearest on either side: the line through them covers the same pixels as the line
// through all.
void tracePoints(const PointBuffer& points, std::size_t begin, std::size_t end, double xLo,
                 double xHi, int columns, QList<QPointF>& out);

// The pieces of the line through `line` that lie inside `r` (x and y as the points have them),
// each cut where it crosses r's edge, for painters that do not clip.
std::vector<QList<QPointF>> linePiecesInside(const QList<QPointF>& line, const QRectF& r);

}  // namespace rt::qt
