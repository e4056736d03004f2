#pragma once
// The Qt 6 Widgets front end: real windows built from the model, the chart on Qt Charts, popups
// as Qt dialogs, timer controls as QTimers, the event loop QApplication::exec().
//
// A QApplication must exist before the front end is made.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "runtime/core/frontend.h"
#include "runtime/qt/held_input.h"
#include "runtime/qt/timer_controls.h"

class QWidget;
class QMenuBar;

namespace rt::qt {
class PanelContent;
class PanelWindow;
class ChildPanelFrame;
class MenuBarView;
class ChartView;
}  // namespace rt::qt

namespace rt {

class QtFrontEnd : public QObject, public FrontEnd {
    Q_OBJECT
  public:
    QtFrontEnd();
    ~QtFrontEnd() override;

    // The front end in use (the last one made), or null.
    static QtFrontEnd* active();

    // ---- FrontEnd
    void panelLoaded(int panel) override;
    void panelChanged(int panel) override;
    void titleChanged(int panel) override;
    void activeControlChanged(int panel) override;
    void controlChanged(int panel, int control) override;
    void graphChanged(int panel, int control) override;
    void menuChanged(int menuBar) override;
    void timerChanged(int panel, int control) override;
    void waitCursor(bool on) override;
    void processDrawEvents() override;
    void whileWaiting() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void messagePopup(const std::string& title, const std::string& message) override;
    int confirmPopup(const std::string& title, const std::string& question) override;
    int confirmPopupDefaultNo(const std::string& title, const std::string& question) override;
    int genericPopup(const GenericPopupRequest& request, std::string& response) override;
    int fileSelectPopup(const FileSelectRequest& request, std::string& path) override;
    void closingMessage(const std::string& message) override;
    int saveGraphImage(int panel, int control, const std::string& path, int width,
                       int height) override;
    int copyGraphImage(int panel, int control) override;
    void desktopNotification(const std::string& summary, const std::string& body,
                             bool urgent) override;

    int runUserInterface() override;
    [[noreturn]] void exitProgram(int status) override;

    double now() override;
    void delay(double seconds) override;
    std::string dateText() override;
    std::string timeText() override;

    // ---- Windows, for tests and checks
    // The panel's window: the top-level window, or for a child panel its frame.
    QWidget* panelWidget(int panel) const;
    qt::PanelContent* panelContent(int panel) const;
    // The widget the operator uses or reads for a control.
    QWidget* controlWidget(int panel, int control) const;
    qt::ChartView* chart(int panel, int control) const;
    qt::MenuBarView* menuBarView(int menuBar) const;
    qt::TimerControls& timers() { return timers_; }

    // Redraws the charts whose graphs changed since the last redraw. Called after each event the
    // program handled, before a popup, and on the next pass of the event loop.
    void flushPending();
    // The same after a timer tick, at the screen's pace: the charts are redrawn at once when the
    // last redraw is a frame ago, otherwise when the frame is due.
    void flushAtFramePace();
    bool redrawPending() const { return !dirtyGraphs_.empty(); }

    // Events that arrive while a callback waits for a device are held (qt/held_input.h), and
    // delivered once no callback runs: operator events in order, then one timer tick if one fell
    // due meanwhile.
    bool holding() const { return held_.holding(); }
    // Ticks are also held until held operator events are handed back, so that these go first.
    bool holdingTicks() const { return held_.holding() || held_.pending(); }
    void hold(std::function<void()> event) { held_.hold(std::move(event)); }
    void holdTick(int panel, int control);
    void tickDelivered() { tickHeld_ = false; }
    void releaseHeld() { held_.release(); }

  private:
    struct PanelEntry {
        QPointer<QWidget> frame;  // PanelWindow or ChildPanelFrame
        qt::PanelContent* content = nullptr;
        bool topLevel = true;
    };
    const PanelEntry* entry(int panel) const;
    // The tick held during a wait, after the held operator events.
    void deliverHeldTick();
    void attachMenuBar(int panel);
    // The window a popup belongs to.
    QWidget* popupParent() const;
    // Around each popup: the picture is current, the wait cursor off, the core told.
    template <class F>
    auto runPopup(F&& body);

    std::map<int, PanelEntry> panels_;
    std::map<int, qt::MenuBarView*> menuBars_;  // by menu bar handle; children of their QMenuBar
    qt::TimerControls timers_;
    std::map<std::pair<int, int>, std::uint64_t> timerResetsSeen_;
    std::set<std::pair<int, int>> dirtyGraphs_;
    std::set<std::pair<int, int>> changedControls_;  // since the event loop last ran
    QTimer flushTimer_;
    QTimer portWatch_;              // the program's watch of the serial devices, once a second
    QElapsedTimer lastChartFrame_;  // since the charts were last redrawn
    bool waitCursor_ = false;
    bool exposed_ = false;    // a window was exposed during this pass of whileWaiting
    qt::HeldInput held_;
    bool tickHeld_ = false;
    std::pair<int, int> heldTick_{0, 0};
};

}  // namespace rt
