#pragma once
// Where a control's caption goes. The resource file places numeric fields, selectors and text
// displays with room for their caption to the left (a form layout), but not always: a value text
// at the panel's top-left corner has no room outside, so its caption goes inside its own
// rectangle, above the value or to its left.

#include <QRect>
#include <QSize>
#include <vector>

namespace rt::qt {

enum class CaptionPlace {
    None,        // no caption (no label, or the widget draws its own)
    Left,        // outside, in `rect`, left of the control
    Above,       // outside, in `rect`, above the control
    InsideTop,   // inside the control's rectangle, a strip at its top
    InsideLeft,  // inside the control's rectangle, a column of `insideWidth` at its left
};

struct CaptionLayout {
    CaptionPlace place = CaptionPlace::None;
    QRect rect;           // Left and Above: the caption's rectangle in the container
    int insideWidth = 0;  // InsideLeft: width of the caption column
};

// Distance between a caption and its control.
constexpr int kCaptionGap = 6;
// Distance of a caption from the window's left edge, where there is room for it.
constexpr int kWindowMargin = 12;

// Chooses the caption place of a control at `control` (container coordinates) whose caption
// text needs `caption` pixels. `free` is the part of the container controls may use (inside the
// group frame, below its title); `obstacles` are the other controls of the container.
// `valueHeight` is the height the control's own content needs, to decide whether a strip at the
// top leaves it enough room.
CaptionLayout chooseCaptionPlace(const QRect& control, QSize caption, const QRect& free,
                                 const std::vector<QRect>& obstacles, int valueHeight);

// Where a control with `anchors` (the Anchor bits of the model) goes when its container has grown
// by `grown` beyond the size the resource file gives it: kept to the right edge it moves along,
// kept to both edges it stretches; likewise downward.
QRect anchoredRect(const QRect& rect, int anchors, QSize grown);

}  // namespace rt::qt
