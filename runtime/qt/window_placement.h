#pragma once
// Where a resizable window opens: never larger than the screen, never on top of the window of
// another running TEVRAN (two instruments, two windows side by side).

#include <QMargins>
#include <QRect>
#include <vector>

namespace rt::qt {

// The window manager's frame around a window's client area, allowed for before the window is
// shown and the real frame is known [px]: a title bar above, thin borders elsewhere.
inline constexpr QMargins kFrameAllowance{4, 32, 4, 4};

struct WindowPlace {
    QRect rect;               // the client area, in screen coordinates
    bool remembered = false;  // the remembered place was taken
};

// `remembered` (client area; invalid when nothing was saved) is taken only when it fits into
// `available` with its frame; a remembered place that does not fit gives the centre at the
// `smallest` size, nothing remembered the `preferred` size as far as the screen allows. A place
// that overlaps one of `others` (client areas of other instances' windows) moves beside it, or
// else a step down and right.
WindowPlace chooseWindowPlace(const QRect& remembered, QSize smallest, QSize preferred,
                              const QRect& available, const std::vector<QRect>& others);

// The windows of other running instances, as they last noted them.
std::vector<QRect> otherInstanceWindows();
// Notes where this process's window is, for instances started later; forgotten at the end.
void noteInstanceWindow(const QRect& rect);
void forgetInstanceWindow();

}  // namespace rt::qt
