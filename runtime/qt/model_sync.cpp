// Keeping the windows in step with the model: the core reports each change it makes to a panel,
// control, chart, menu bar or timer, and the matching widget follows. Charts are only marked
// here; they are redrawn once the callback that changed them has returned (frame_pacing.cpp).
#include <QApplication>
#include <QMenuBar>

#include "runtime/core/model.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/menu_bar.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/qt/user_settings.h"

namespace rt {

void QtFrontEnd::panelLoaded(int handle) {
    Panel* p = Model::instance().panel(handle);
    if (!p || entry(handle)) return;
    PanelEntry e;
    const PanelEntry* parent = p->parent ? entry(p->parent) : nullptr;
    if (parent) {
        auto* frame = new qt::ChildPanelFrame(handle, *p, parent->content);
        e.frame = frame;
        e.content = frame->content();
        e.topLevel = false;
    } else {
        auto* window = new qt::PanelWindow(handle, *p);
        e.frame = window;
        e.content = window->content();
    }
    e.content->build(*p);
    panels_[handle] = e;
    for (const Control& c : p->controls) {
        if (c.kind == ControlKind::Timer) timers_.add(handle, c.id, c.interval);
        if (c.kind == ControlKind::Graph) dirtyGraphs_.insert({handle, c.id});
    }
    attachMenuBar(handle);
    // A window the operator may size opens as it was left in the last session, where that fits
    // (its size with the menu bar, so after the menu bar is filled).
    if (p->resizable && !parent) qt::placeWindow(*e.frame, QString::fromStdString(p->name));
    flushPending();
    panelChanged(handle);
}

void QtFrontEnd::attachMenuBar(int handle) {
    Panel* p = Model::instance().panel(handle);
    const PanelEntry* e = entry(handle);
    if (!p || !e || !e->topLevel || p->menuBar == 0 || menuBars_.count(p->menuBar)) return;
    MenuBar* mb = Model::instance().menuBar(p->menuBar);
    if (!mb) return;
    auto* window = static_cast<qt::PanelWindow*>(e->frame.data());
    menuBars_[p->menuBar] = new qt::MenuBarView(*mb, window->menuBar());
}

void QtFrontEnd::titleChanged(int handle) {
    Panel* p = Model::instance().panel(handle);
    const PanelEntry* e = entry(handle);
    if (!p || !e) return;
    if (e->topLevel) {
        static_cast<qt::PanelWindow*>(e->frame.data())->setTitle(p->title);
    } else {
        static_cast<qt::ChildPanelFrame*>(e->frame.data())->setTitle(p->title);
    }
}

void QtFrontEnd::panelChanged(int handle) {
    Panel* p = Model::instance().panel(handle);
    const PanelEntry* e = entry(handle);
    if (!p || !e) return;
    QWidget* w = e->frame;
    titleChanged(handle);
    if (!p->visible) {
        w->hide();
        return;
    }
    w->show();
    w->raise();  // a child panel covers the parent's controls; a window comes to the front
    if (e->topLevel) w->activateWindow();
    activeControlChanged(handle);
}

void QtFrontEnd::activeControlChanged(int handle) {
    Panel* p = Model::instance().panel(handle);
    const PanelEntry* e = entry(handle);
    if (!p || !e || !p->visible || p->activeControl == 0) return;
    if (QWidget* w = e->content->controlWidget(p->activeControl)) w->setFocus(Qt::OtherFocusReason);
}

void QtFrontEnd::controlChanged(int panel, int control) {
    const PanelEntry* e = entry(panel);
    if (!e) return;
    e->content->refreshControl(control);
    changedControls_.insert({panel, control});
    // An indicator is switched on right before the program blocks in a serial exchange, which
    // holds up the event loop until the reply or the time-out: paint it now, or the operator
    // would only ever see it off.
    Control* c = Model::instance().control(panel, control);
    QWidget* w = e->content->controlWidget(control);
    if (c && c->kind == ControlKind::Led && w && w->isVisible()) w->repaint();
}

void QtFrontEnd::graphChanged(int panel, int control) {
    // Several changes in one callback make one redraw, when it has returned.
    dirtyGraphs_.insert({panel, control});
    if (!flushTimer_.isActive()) flushTimer_.start(0);
}

void QtFrontEnd::menuChanged(int menuBar) {
    MenuBar* mb = Model::instance().menuBar(menuBar);
    if (!mb) return;
    if (!menuBars_.count(menuBar)) attachMenuBar(mb->panel);
    auto it = menuBars_.find(menuBar);
    if (it != menuBars_.end()) it->second->refresh(*mb);
}

void QtFrontEnd::timerChanged(int panel, int control) {
    Control* c = Model::instance().control(panel, control);
    if (!c) return;
    // ResetTimer counts its resets: a new count restarts the countdown, anything else is an
    // interval set, which keeps the rhythm.
    std::uint64_t& seen = timerResetsSeen_[{panel, control}];
    if (c->timerResets != seen) {
        seen = c->timerResets;
        timers_.restart(panel, control, c->interval);
    } else {
        timers_.setInterval(panel, control, c->interval);
    }
}

void QtFrontEnd::waitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace rt
