#pragma once
// The arithmetic of a chart's view: zooming a range around a point, panning it, a range from a
// dragged rectangle. Plain numbers, shared by both front ends.

namespace rt {

struct Span {
    double lo = 0.0;
    double hi = 0.0;
};

// `s` scaled by `factor` (below 1 zooms in) so that `at` stays where it is on the screen. A span
// narrower than a millionth of its distance from zero (or of a second near zero) is not made
// narrower: the axis could no longer label it.
Span zoomedSpan(Span s, double at, double factor);
// `s` moved by `by`.
Span pannedSpan(Span s, double by);
// The span between two dragged positions, in order; false when they are too close to zoom to
// (the same point, or nearly), not numbers, or farther apart than a double holds.
bool draggedSpan(double a, double b, Span& out);

}  // namespace rt
