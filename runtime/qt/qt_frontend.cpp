// The Qt front end's life and its windows: made once the QApplication exists, the event loop
// run, the process ended with the windows' places kept; the windows and charts looked up by their
// handles, and pictures of a chart. What it does between those is in the files beside it:
// event_delivery.cpp, model_sync.cpp, frame_pacing.cpp, frontend_popups.cpp, frontend_clock.cpp.
#include "runtime/qt/qt_frontend.h"

#include <QApplication>
#include <QClipboard>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>

#include "runtime/core/dispatch.h"
#include "runtime/core/end_signals.h"
#include "runtime/core/model.h"
#include "runtime/qt/chart_picture.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/text_encoding.h"
#include "runtime/qt/user_settings.h"
#include "runtime/qt/window_placement.h"

namespace rt {

namespace {
QtFrontEnd* g_active = nullptr;
}

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
// Device pixels to each of the picture's: as the screen has them when the picture takes the
// chart's size there, so that it is as sharp as the chart on a scaled screen; a typed size is
// the picture's size in pixels.
qreal pictureRatio(const qt::ChartView* chart, int width, int height) {
    if ((width > 0 && height > 0) || !chart) return 1.0;
    return chart->devicePixelRatioF();
}
}  // namespace

int QtFrontEnd::saveGraphImage(int panel, int control, const std::string& path, int width,
                               int height) {
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph) return -1;
    return qt::saveGraphPicture(*c->graph, qt::fromCp1252(path),
                                pictureSize(chart(panel, control), width, height),
                                pictureRatio(chart(panel, control), width, height));
}

int QtFrontEnd::copyGraphImage(int panel, int control) {
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph) return -1;
    QApplication::clipboard()->setImage(qt::graphImage(*c->graph,
                                                       pictureSize(chart(panel, control), 0, 0),
                                                       pictureRatio(chart(panel, control), 0, 0)));
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
