#include "runtime/qt/held_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace rt::qt {

struct HeldInput::Entry {
    std::function<void()> call;     // an event for the program
    QPointer<QWidget> widget;       // the widget the input acts on
    QPointer<QObject> window;       // or else the window it came to, as it came
    std::unique_ptr<QEvent> event;  // with positions local to `widget`
    bool keyOfGoneWidget = false;   // a key: goes to the main window when `widget` is gone
};

namespace {

// The top-level widget whose window is `window`.
QWidget* widgetOfWindow(QObject* window) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window) return w;
    return nullptr;
}

// The widget at `pos` of a top-level widget, as the window system would deliver a click there.
QWidget* widgetAt(QWidget* top, const QPointF& pos) {
    QWidget* child = top->childAt(pos.toPoint());
    return child ? child : top;
}

bool isMouse(QEvent::Type t) {
    return t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease ||
           t == QEvent::MouseButtonDblClick || t == QEvent::MouseMove;
}

bool isOtherInput(QEvent::Type t) {
    switch (t) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
            return true;
        default:
            return false;
    }
}

// What a click does to the keyboard focus: the nearest widget that takes focus by click gets it.
void focusAsClick(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (w->isWindow()) return;
    }
}

}  // namespace

HeldInput::HeldInput(std::function<bool()> busy, std::function<QWidget*()> mainWindow,
                     std::function<void()> drained)
    : busy_(std::move(busy)), mainWindow_(std::move(mainWindow)), drained_(std::move(drained)) {}

HeldInput::~HeldInput() = default;

bool HeldInput::filter(QObject* watched, QEvent* event) {
    if (!holding_) return false;
    const QEvent::Type t = event->type();
    // Leaving a field commits it; the window system moving the focus during a wait is no
    // operator leaving it.
    if (t == QEvent::FocusOut && watched->isWidgetType()) return true;
    if (!watched->isWindowType()) return false;
    if (isMouse(t)) return takeMouse(watched, event);
    if (t == QEvent::Wheel) return takeWheel(watched, event);
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) return takeKey(watched, event);
    if (isOtherInput(t)) {
        auto e = std::make_unique<Entry>();
        e->window = watched;
        e->event.reset(event->clone());
        queue_.push_back(std::move(e));
        return true;
    }
    return false;
}

bool HeldInput::takeMouse(QObject* window, QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    const QEvent::Type t = me->type();
    QWidget* target = nullptr;
    if (t == QEvent::MouseButtonPress && !grab_ && !dropping_) {
        QWidget* top = widgetOfWindow(window);
        target = top ? widgetAt(top, me->position()) : nullptr;
        grab_ = target;
        dropping_ = !target;
    } else if (grab_ || dropping_) {
        target = grab_;
    } else if (me->buttons() == Qt::NoButton) {
        return true;  // a move that aims at nothing
    }
    if (me->buttons() == Qt::NoButton) {
        grab_ = nullptr;
        dropping_ = false;
    }
    auto e = std::make_unique<Entry>();
    if (target) {
        e->widget = target;
        const QPointF local = target->mapFromGlobal(me->globalPosition());
        auto* copy =
            new QMouseEvent(t, local, me->scenePosition(), me->globalPosition(), me->button(),
                            me->buttons(), me->modifiers(), me->pointingDevice());
        copy->setTimestamp(me->timestamp());
        e->event.reset(copy);
    } else if (!dropping_ && t != QEvent::MouseButtonPress) {
        // A release or drag of a press made before the wait: the window routes it to the
        // widget that press went to.
        e->window = window;
        e->event.reset(me->clone());
    } else {
        return true;
    }
    queue_.push_back(std::move(e));
    return true;
}

bool HeldInput::takeWheel(QObject* window, QEvent* event) {
    auto* we = static_cast<QWheelEvent*>(event);
    QWidget* top = widgetOfWindow(window);
    if (!top) return true;
    QWidget* target = widgetAt(top, we->position());
    auto e = std::make_unique<Entry>();
    e->widget = target;
    e->event = std::make_unique<QWheelEvent>(
        target->mapFromGlobal(we->globalPosition()), we->globalPosition(), we->pixelDelta(),
        we->angleDelta(), we->buttons(), we->modifiers(), we->phase(), we->inverted(), we->source(),
        we->pointingDevice());
    queue_.push_back(std::move(e));
    return true;
}

bool HeldInput::takeKey(QObject* window, QEvent* event) {
    QWidget* target = QApplication::focusWidget();
    if (!target) {
        QWidget* top = widgetOfWindow(window);
        target = top && top->focusWidget() ? top->focusWidget() : top;
    }
    auto e = std::make_unique<Entry>();
    e->widget = target;
    e->keyOfGoneWidget = true;
    e->event.reset(event->clone());
    queue_.push_back(std::move(e));
    return true;
}

void HeldInput::hold(std::function<void()> call) {
    auto e = std::make_unique<Entry>();
    e->call = std::move(call);
    queue_.push_back(std::move(e));
}

void HeldInput::release() {
    if (holding_ || scheduled_ || busy_()) return;
    if (queue_.empty() && !replaying_) {
        if (drained_) drained_();
        return;
    }
    scheduled_ = true;
    // From the event loop, not from inside the event whose callback just returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            scheduled_ = false;
            replayAll();
        },
        Qt::QueuedConnection);
}

void HeldInput::replayAll() {
    if (replaying_ || holding_ || busy_()) return;
    replaying_ = true;
    // One at a time: an entry's callback may wait and hold newer input behind the rest.
    while (!queue_.empty() && !holding_ && !busy_()) {
        std::unique_ptr<Entry> e = std::move(queue_.front());
        queue_.pop_front();
        replay(*e);
    }
    replaying_ = false;
    if (queue_.empty() && !holding_ && !busy_() && drained_) drained_();
}

void HeldInput::replay(Entry& e) {
    if (e.call) {
        e.call();
        return;
    }
    if (e.keyOfGoneWidget) {
        QWidget* target = e.widget;
        if (!target || !target->isVisible()) {
            QWidget* main = mainWindow_ ? mainWindow_() : nullptr;
            if (!main || !main->isVisible()) return;
            target = main->focusWidget() ? main->focusWidget() : main;
            // The main window's shortcuts (menu keys) answer only while it is the active one.
            if (!main->isActiveWindow()) {
                main->activateWindow();
                QApplication::setActiveWindow(main);
            }
        }
        QCoreApplication::sendEvent(target, e.event.get());
        return;
    }
    if (e.widget) {
        if (!e.widget->isVisible()) return;  // its panel was closed meanwhile
        if (e.event->type() == QEvent::MouseButtonPress) focusAsClick(e.widget);
        QCoreApplication::sendEvent(e.widget, e.event.get());
    } else if (e.window) {
        QCoreApplication::sendEvent(e.window, e.event.get());
    }
}

}  // namespace rt::qt
