#include "runtime/qt/qt_frontend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "runtime/core/dispatch.h"
#include "runtime/core/end_signals.h"
#include "runtime/core/model.h"
#include "runtime/qt/chart_picture.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/desktop_notification.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/menu_bar.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/popups_qt.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/user_settings.h"
#include "runtime/qt/window_placement.h"

namespace rt {

namespace {
QtFrontEnd* g_active = nullptr;
}

// ---- Events to the program -------------------------------------------------------------------

namespace qt {

namespace {
// Hands an operator event to the program, or holds it while a callback waits for a device.
template <class Dispatch>
void deliver(std::function<void()> again, Dispatch dispatch) {
    QtFrontEnd* fe = QtFrontEnd::active();
    if (fe && fe->holding()) {
        fe->hold(std::move(again));
        return;
    }
    dispatch();
    if (fe) {
        fe->flushPending();
        fe->releaseHeld();
    }
}
}  // namespace

void deliverCommit(int panel, int control) {
    deliver([=] { deliverCommit(panel, control); }, [=] { dispatchCommit(panel, control); });
}

void deliverClose(int panel) {
    deliver([=] { deliverClose(panel); }, [=] { dispatchClose(panel); });
}

void deliverMenu(int menuBar, int menuItem) {
    deliver([=] { deliverMenu(menuBar, menuItem); }, [=] { dispatchMenu(menuBar, menuItem); });
}

void deliverGraphAction(std::function<void()> action) {
    deliver([=] { deliverGraphAction(action); }, action);
}

void deliverEndTask() {
    deliver([] { deliverEndTask(); }, [] { dispatchEndTask(); });
}

void deliverTimerTick(int panel, int control) {
    QtFrontEnd* fe = QtFrontEnd::active();
    if (fe && fe->holdingTicks()) {
        fe->holdTick(panel, control);  // ticks coalesce: one is held, however many fell due
        return;
    }
    if (dispatchTimerTick(panel, control) && fe) fe->tickDelivered();
    if (fe) {
        fe->flushAtFramePace();
        fe->releaseHeld();
    }
}

}  // namespace qt

// ---- Construction ----------------------------------------------------------------------------

QtFrontEnd::QtFrontEnd()
    : held_([] { return callbackRunning(); },
            [this]() -> QWidget* {
                // The main window: the first window loaded.
                for (const auto& [handle, e] : panels_)
                    if (e.topLevel && e.frame) return e.frame;
                return nullptr;
            },
            [this] { deliverHeldTick(); }) {
    g_active = this;
    // Windows are only ever hidden, and the process ends through exitProgram: a closed popup
    // with no panel shown must not end the event loop.
    QApplication::setQuitOnLastWindowClosed(false);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &QtFrontEnd::flushPending);
    portWatch_.setInterval(1000);
    connect(&portWatch_, &QTimer::timeout, this, [this] {
        if (holding() || popupOpen()) return;
        if (dispatchComPortWatch()) flushPending();
    });
}

QtFrontEnd::~QtFrontEnd() {
    if (g_active == this) g_active = nullptr;
    if (waitCursor_) QApplication::restoreOverrideCursor();
    // Top-level windows take their child panels with them.
    for (auto& [handle, e] : panels_) {
        if (e.topLevel && e.frame) delete e.frame.data();
    }
}

QtFrontEnd* QtFrontEnd::active() { return g_active; }

const QtFrontEnd::PanelEntry* QtFrontEnd::entry(int panel) const {
    auto it = panels_.find(panel);
    return it == panels_.end() || !it->second.frame ? nullptr : &it->second;
}

// ---- Model changes ---------------------------------------------------------------------------

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

void QtFrontEnd::holdTick(int panel, int control) {
    tickHeld_ = true;
    heldTick_ = {panel, control};
}

void QtFrontEnd::deliverHeldTick() {
    if (!tickHeld_) return;
    // From the event loop, after the operator's events: a tick that comes meanwhile takes its
    // place (ticks coalesce).
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!tickHeld_ || holdingTicks()) return;
            tickHeld_ = false;
            qt::deliverTimerTick(heldTick_.first, heldTick_.second);
        },
        Qt::QueuedConnection);
}

// ---- Popups ----------------------------------------------------------------------------------

QWidget* QtFrontEnd::popupParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (const auto& [handle, e] : panels_) {
        if (e.topLevel && e.frame && e.frame->isVisible()) return e.frame;
    }
    return nullptr;
}

template <class F>
auto QtFrontEnd::runPopup(F&& body) {
    flushPending();
    PopupScope scope;
    bool cursor = waitCursor_;
    if (cursor) QApplication::restoreOverrideCursor();
    struct Restore {
        bool on;
        ~Restore() {
            if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        }
    } restore{cursor};
    return body(popupParent());
}

void QtFrontEnd::messagePopup(const std::string& title, const std::string& message) {
    runPopup([&](QWidget* parent) {
        qt::runMessagePopup(parent, title, message);
        return 0;
    });
}

int QtFrontEnd::confirmPopup(const std::string& title, const std::string& question) {
    return runPopup([&](QWidget* parent) { return qt::runConfirmPopup(parent, title, question); });
}

int QtFrontEnd::confirmPopupDefaultNo(const std::string& title, const std::string& question) {
    return runPopup(
        [&](QWidget* parent) { return qt::runConfirmPopup(parent, title, question, false); });
}

int QtFrontEnd::genericPopup(const GenericPopupRequest& request, std::string& response) {
    return runPopup(
        [&](QWidget* parent) { return qt::runGenericPopup(parent, request, response); });
}

int QtFrontEnd::fileSelectPopup(const FileSelectRequest& request, std::string& path) {
    return runPopup([&](QWidget* parent) { return qt::runFileSelectPopup(parent, request, path); });
}

void QtFrontEnd::desktopNotification(const std::string& summary, const std::string& body,
                                     bool urgent) {
    qt::notifyDesktop(qt::fromCp1252(summary), qt::fromCp1252(body), urgent);
}

void QtFrontEnd::closingMessage(const std::string& message) {
    FrontEnd::closingMessage(message);  // on standard error too, for whoever keeps a log
    messagePopup("", message);
}

// ---- Event loop and process ------------------------------------------------------------------

int QtFrontEnd::runUserInterface() {
    if (!qApp) return -1;
    flushPending();
    // Timer controls tick from the first pass of the event loop on.
    QMetaObject::invokeMethod(
        this,
        [this] {
            timers_.startAll();
            portWatch_.start();
        },
        Qt::QueuedConnection);
    // A signal to end reaches the program from here, between callbacks or during a popup.
    if (const int fd = watchEndSignals(); fd >= 0) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [] {
            if (takeEndSignal()) qt::deliverEndTask();
        });
    }
    return QApplication::exec();
}

void QtFrontEnd::exitProgram(int status) {
    for (const auto& [handle, e] : panels_) {
        const Panel* p = Model::instance().panel(handle);
        if (p && p->resizable && e.topLevel && e.frame)
            qt::saveWindow(*e.frame, QString::fromStdString(p->name));
    }
    qt::forgetInstanceWindow();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

// ---- Clock -----------------------------------------------------------------------------------

double QtFrontEnd::now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void QtFrontEnd::delay(double seconds) {
    if (!(seconds > 0 && seconds < 1e9)) return;
    // In slices, so that the windows paint during a long delay.
    const double end = now() + seconds;
    for (double left = seconds; left > 0; left = end - now()) {
        std::this_thread::sleep_for(
            std::chrono::duration<double>(std::min(left, rt::kWaitSliceMs / 1000.0)));
        whileWaiting();
    }
}

namespace {
std::tm localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
}  // namespace

std::string QtFrontEnd::dateText() {
    std::tm tm = localNow();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    return buf;
}

std::string QtFrontEnd::timeText() {
    std::tm tm = localNow();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

// ---- Windows ---------------------------------------------------------------------------------

QWidget* QtFrontEnd::panelWidget(int panel) const {
    const PanelEntry* e = entry(panel);
    return e ? e->frame.data() : nullptr;
}

qt::PanelContent* QtFrontEnd::panelContent(int panel) const {
    const PanelEntry* e = entry(panel);
    return e ? e->content : nullptr;
}

QWidget* QtFrontEnd::controlWidget(int panel, int control) const {
    const PanelEntry* e = entry(panel);
    return e ? e->content->controlWidget(control) : nullptr;
}

namespace {
// The size a picture of a chart is drawn at: as typed, or as the chart is on the screen.
QSize pictureSize(const qt::ChartView* chart, int width, int height) {
    if (width > 0 && height > 0) return QSize(width, height);
    return chart ? chart->size() : QSize(780, 520);
}
}  // namespace

int QtFrontEnd::saveGraphImage(int panel, int control, const std::string& path, int width,
                               int height) {
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph) return -1;
    return qt::saveGraphPicture(*c->graph, qt::fromCp1252(path),
                                pictureSize(chart(panel, control), width, height));
}

int QtFrontEnd::copyGraphImage(int panel, int control) {
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph) return -1;
    QApplication::clipboard()->setImage(
        qt::graphImage(*c->graph, pictureSize(chart(panel, control), 0, 0)));
    return 0;
}

qt::ChartView* QtFrontEnd::chart(int panel, int control) const {
    const PanelEntry* e = entry(panel);
    qt::GraphView* g = e ? e->content->graph(control) : nullptr;
    return g ? g->chart() : nullptr;
}

qt::MenuBarView* QtFrontEnd::menuBarView(int menuBar) const {
    auto it = menuBars_.find(menuBar);
    return it == menuBars_.end() ? nullptr : it->second;
}

}  // namespace rt
