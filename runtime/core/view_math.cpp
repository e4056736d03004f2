#include "runtime/core/view_math.h"

#include <algorithm>
#include <cmath>

namespace rt {

namespace {
// The narrowest span an axis shows around `centre`.
double narrowest(double centre) { return std::max(1e-6, std::abs(centre) * 1e-6); }
}  // namespace

Span zoomedSpan(Span s, double at, double factor) {
    if (!std::isfinite(s.lo) || !std::isfinite(s.hi) || !(s.hi > s.lo) || !(factor > 0) ||
        !std::isfinite(factor))
        return s;
    if (!std::isfinite(at)) at = (s.lo + s.hi) / 2;
    const double width = s.hi - s.lo;
    const double least = narrowest(at);
    double newWidth = width * factor;
    if (newWidth < least) newWidth = std::min(width, least);
    if (!std::isfinite(newWidth)) return s;
    // `at` keeps its fraction of the way across.
    const double share = (at - s.lo) / width;
    const Span out{at - share * newWidth, at + (1 - share) * newWidth};
    return std::isfinite(out.lo) && std::isfinite(out.hi) ? out : s;
}

Span pannedSpan(Span s, double by) {
    if (!std::isfinite(by)) return s;
    const Span out{s.lo + by, s.hi + by};
    return std::isfinite(out.lo) && std::isfinite(out.hi) ? out : s;
}

bool draggedSpan(double a, double b, Span& out) {
    if (!std::isfinite(a) || !std::isfinite(b)) return false;
    if (a > b) std::swap(a, b);
    // Too narrow to show, or wider than a number can hold (its labels could not be made).
    if (!(b - a >= narrowest(a / 2 + b / 2)) || !std::isfinite(b - a)) return false;
    out = {a, b};
    return true;
}

}  // namespace rt
