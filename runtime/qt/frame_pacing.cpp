// When what the program changed reaches the screen: the charts a callback changed are redrawn
// once, when it has returned, and after a timer tick no more often than the screen shows frames;
// while a callback waits for a device, and so holds up the event loop, the changed controls and
// uncovered windows are painted from the wait itself.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

#include "runtime/core/dispatch.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/qt_frontend.h"

namespace rt {

void QtFrontEnd::flushAtFramePace() {
    // A poll at 0.01 s would redraw the chart 100 times a second, more than a screen shows: its
    // picture waits for the next frame, at most one frame's time.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double rate = screen ? std::clamp(screen->refreshRate(), 24.0, 240.0) : 60.0;
    const qint64 frame = qint64(1000.0 / rate);
    const qint64 since = lastChartFrame_.isValid() ? lastChartFrame_.elapsed() : frame;
    if (dirtyGraphs_.empty() || since >= frame) {
        flushPending();
        return;
    }
    changedControls_.clear();
    flushTimer_.start(int(frame - since));
}

void QtFrontEnd::flushPending() {
    flushTimer_.stop();
    changedControls_.clear();  // from here on the event loop paints them
    auto dirty = std::move(dirtyGraphs_);
    dirtyGraphs_.clear();
    if (!dirty.empty()) lastChartFrame_.start();
    for (const auto& [panel, control] : dirty) {
        const PanelEntry* e = entry(panel);
        if (!e) continue;
        if (qt::GraphView* g = e->content->graph(control)) g->redraw();
    }
}

void QtFrontEnd::processDrawEvents() {
    // The controls the program changed since the last pass of the event loop, painted one by
    // one: neither a repaint of their window nor of a box holding caption and value reaches a
    // widget that was hidden until now (the point count of a load, for one).
    auto changed = std::move(changedControls_);
    changedControls_.clear();
    flushPending();
    // Lay out and paint what changed, and nothing else: no input, no timers, no queued calls
    // (so no callback can run from here).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    // Paint every shown window at once. Pending updates travel as posted or platform requests
    // that are not delivered here; the chart's scene also reports its changes by a queued call.
    for (const auto& [handle, e] : panels_) {
        if (e.topLevel && e.frame && e.frame->isVisible()) e.frame->repaint();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    for (const auto& [panel, control] : changed) {
        const PanelEntry* e = entry(panel);
        qt::ControlView* v = e ? e->content->view(control) : nullptr;
        if (!v) continue;
        for (QWidget* w : {v->outer(), v->widget(), static_cast<QWidget*>(v->caption())}) {
            if (w && w->isVisible()) w->repaint();
        }
    }
}

void QtFrontEnd::whileWaiting() {
    // Only a callback waits; during its popups the popup's own event loop runs.
    if (held_.holding() || !callbackRunning() || popupOpen()) return;
    held_.begin();
    exposed_ = false;
    // Everything is processed except what would reach the program: operator input is taken off
    // at its window (eventFilter), operator events and timer ticks are held by the delivery
    // functions. (Excluding user input in processEvents leaves it stuck in the X11 queue until
    // some other X event arrives.)
    qApp->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
    // A window's repaint after an exposure, and a control's after the program changed it, wait
    // for the event loop's next pass, which does not come while a callback waits: paint them now.
    if (exposed_ || !changedControls_.empty() || redrawPending()) processDrawEvents();
    // The window system's connection sends what was painted when the event loop is about to
    // block, which it does not while we wait: tell it now, or nothing reaches the screen.
    if (QAbstractEventDispatcher* dispatcher = QCoreApplication::eventDispatcher())
        emit dispatcher->aboutToBlock();
    held_.end();
}

bool QtFrontEnd::eventFilter(QObject* watched, QEvent* event) {
    if (!held_.holding()) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::Expose) exposed_ = true;
    return held_.filter(watched, event) || QObject::eventFilter(watched, event);
}

}  // namespace rt
