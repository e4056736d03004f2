#include "runtime/qt/trace_points.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace rt::qt {

namespace {

bool finitePoint(const PointBuffer& b, std::size_t i) {
    return std::isfinite(b.x[i]) && std::isfinite(b.y[i]);
}

void allPoints(const PointBuffer& b, std::size_t begin, std::size_t end, QList<QPointF>& out) {
    out.reserve(qsizetype(end - begin));
    for (std::size_t i = begin; i < end; ++i)
        if (finitePoint(b, i)) out.append(QPointF(b.x[i], b.y[i]));
}

}  // namespace

void tracePoints(const PointBuffer& b, std::size_t begin, std::size_t end, double xLo, double xHi,
                 int columns, QList<QPointF>& out) {
    out.clear();
    end = std::min({end, b.x.size(), b.y.size()});
    if (end <= begin) return;
    const std::size_t n = end - begin;
    bool rising =
        columns > 0 && n > 2 * std::size_t(columns) && xHi > xLo && std::isfinite(xHi - xLo);
    for (std::size_t i = begin, previous = end; rising && i < end; ++i) {
        if (!finitePoint(b, i)) continue;
        if (previous != end && b.x[i] < b.x[previous]) rising = false;
        previous = i;
    }
    if (!rising) {
        allPoints(b, begin, end, out);
        return;
    }

    const double scale = columns / (xHi - xLo);
    const auto append = [&](std::size_t i) { out.append(QPointF(b.x[i], b.y[i])); };
    // The column being gathered: its first, lowest, highest and last point.
    std::int64_t column = -1;
    std::size_t first = 0, lowest = 0, highest = 0, last = 0;
    const auto flush = [&] {
        if (column < 0) return;
        std::size_t keep[4] = {first, lowest, highest, last};
        std::sort(keep, keep + 4);
        for (int k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1]) append(keep[k]);
    };
    std::size_t before = end;  // the last point left of the range
    for (std::size_t i = begin; i < end; ++i) {
        if (!finitePoint(b, i)) continue;
        const double x = b.x[i], y = b.y[i];
        if (x < xLo) {
            before = i;
            continue;
        }
        if (before != end) {
            append(before);
            before = end;
        }
        if (x > xHi) {
            // x never decreases: every later point lies right of the range too.
            flush();
            column = -1;
            append(i);
            break;
        }
        const std::int64_t c =
            std::clamp<std::int64_t>(std::int64_t((x - xLo) * scale), 0, columns - 1);
        if (c != column) {
            flush();
            column = c;
            first = lowest = highest = last = i;
            continue;
        }
        last = i;
        if (y < b.y[lowest]) lowest = i;
        if (y > b.y[highest]) highest = i;
    }
    flush();
    if (before != end) append(before);  // every point lay left of the range
}

// Each segment clipped as Liang and Barsky do it.
std::vector<QList<QPointF>> linePiecesInside(const QList<QPointF>& line, const QRectF& r) {
    std::vector<QList<QPointF>> pieces;
    bool joined = false;  // the last segment ended inside, at the point the next one starts
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1], d = line[i] - a;
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-d.x(), d.x(), -d.y(), d.y()};
        const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(),
                             r.bottom() - a.y()};
        bool inside = true;
        for (int k = 0; k < 4 && inside; ++k) {
            if (p[k] == 0.0) {
                inside = q[k] >= 0.0;
            } else if (p[k] < 0.0) {
                t0 = std::max(t0, q[k] / p[k]);
            } else {
                t1 = std::min(t1, q[k] / p[k]);
            }
        }
        if (!inside || t0 > t1) {
            joined = false;
            continue;
        }
        if (!(joined && t0 == 0.0)) pieces.push_back({a + t0 * d});
        pieces.back().append(t1 == 1.0 ? line[i] : a + t1 * d);
        joined = t1 == 1.0;
    }
    return pieces;
}

}  // namespace rt::qt
