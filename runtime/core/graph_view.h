#pragma once
// What the operator does to a graph's view, from either front end (the pointer and wheel of the
// real window, the verbs of the scenario driver): the view changes, the front end is told, and
// the graph's callback hears of it (EVENT_VIEW_CHANGED, EVENT_POINTER_MOVED). Only runtime/ and
// the driver include this header.

#include "runtime/core/view_math.h"

namespace rt {

// The time range shown (a zoom or a pan). While a drag still moves it (`settled` false) the
// callback does not hear of it yet: a stored file is read again once, where the drag ends.
void zoomView(int panel, int control, double xLo, double xHi, bool settled = true);
// The ranges of both y axes (y[1] left, y[2] right).
void zoomValues(int panel, int control, const Span (&y)[3]);
// Back to the full view: the axes as set, a live chart following its newest sample.
void homeView(int panel, int control);
// The pointer over the plot at time x, or gone from it.
void pointerMoved(int panel, int control, double x);
void pointerLeft(int panel, int control);

}  // namespace rt
