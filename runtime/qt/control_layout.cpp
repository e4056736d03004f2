#include "runtime/qt/control_layout.h"

#include <algorithm>

#include "runtime/core/model.h"

namespace rt::qt {
namespace {

bool hitsAny(const QRect& r, const std::vector<QRect>& obstacles) {
    return std::any_of(obstacles.begin(), obstacles.end(),
                       [&](const QRect& o) { return o.intersects(r); });
}

}  // namespace

CaptionLayout chooseCaptionPlace(const QRect& control, QSize caption, const QRect& free,
                                 const std::vector<QRect>& obstacles, int valueHeight) {
    CaptionLayout out;

    // Left: from the nearest obstacle beside the control (or the container's edge) up to the
    // control, so captions of one column start at the same x and read as a form.
    int leftLimit = free.left();
    for (const QRect& o : obstacles) {
        bool besideVertically = o.top() <= control.bottom() && o.bottom() >= control.top();
        if (besideVertically && o.right() < control.left()) {
            leftLimit = std::max(leftLimit, o.right() + 1 + kCaptionGap);
        }
    }
    int leftWidth = control.left() - kCaptionGap - leftLimit;
    // At a window's own left edge (not a group frame's), captions keep a margin where they have
    // the room: text flush with the window's border reads as cut off.
    if (leftLimit == 0 && leftWidth - caption.width() >= kWindowMargin) {
        leftLimit += kWindowMargin;
        leftWidth -= kWindowMargin;
    }
    if (leftWidth >= caption.width()) {
        out.place = CaptionPlace::Left;
        out.rect = QRect(leftLimit, control.top(), leftWidth, control.height());
        return out;
    }

    // Above: a strip as wide as the control (or the caption), just over it.
    QRect above(control.left(), control.top() - 2 - caption.height(),
                std::max(control.width(), caption.width()), caption.height());
    if (free.contains(above) && !hitsAny(above, obstacles)) {
        out.place = CaptionPlace::Above;
        out.rect = above;
        return out;
    }

    // Inside: a strip at the top when the content still fits below it, else a column.
    if (control.height() >= caption.height() + valueHeight) {
        out.place = CaptionPlace::InsideTop;
    } else {
        out.place = CaptionPlace::InsideLeft;
        out.insideWidth = std::min(caption.width(), control.width() / 2);
    }
    return out;
}

QRect anchoredRect(const QRect& rect, int anchors, QSize grown) {
    QRect r = rect;
    const auto follow = [](int& start, int& length, int grow, bool first, bool second) {
        if (first && second)
            length = std::max(0, length + grow);
        else if (second)
            start += grow;
    };
    int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    follow(x, w, grown.width(), anchors & AnchorLeft, anchors & AnchorRight);
    follow(y, h, grown.height(), anchors & AnchorTop, anchors & AnchorBottom);
    return QRect(x, y, w, h);
}

}  // namespace rt::qt
