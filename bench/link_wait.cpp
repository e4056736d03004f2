// The windows while the program waits for a silent instrument, in the real program under an X
// server (bench/link_wait.sh runs it under xvfb-run against a silent tevran-sim on COM1):
//   - the controller-parameter panel: from the menu choice to its first paint on screen, while
//     its read (five 0.6 s time-outs) still runs;
//   - the main window uncovered while a poll waits for its 0.5 s time-out: from the covering
//     window's unmap to the main window's next paint;
//   - polls every 0.1 s, each timing out: from a real click (xdotool) on Stop, or on the View
//     menu, to its effect; measured from the start of xdotool (an upper bound: it includes
//     starting the tool) and from its end (the click is at the X server then).
//
//   link_wait DIR      (DIR holds TEVRAN.uir, TEVRAN.ini and the simulator's COM1)
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/qt_program.h"
#include "app/state.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/menu_bar.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {

void report(const char* what, std::vector<double> ms, const char* target) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s median %6.1f ms, worst %6.1f ms of %zu  (target %s)\n", what,
                ms[ms.size() / 2], ms.back(), ms.size(), target);
    std::fflush(stdout);
}

// A real click of the X server's pointer (input the program gets like an operator's).
void clickAt(QPoint p) {
    QProcess::execute("xdotool",
                      {"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}

void click(QWidget* w) { clickAt(w->mapToGlobal(w->rect().center())); }

// Runs inside the program's process; its timer fires from the event loop and, while the program
// waits for the instrument, from the wait's painting passes.
class Bench : public QObject {
public:
    Bench() {
        qApp->installEventFilter(this);
        tick_.setInterval(2);
        connect(&tick_, &QTimer::timeout, this, [this] { step(); });
        tick_.start();
        clock_.start();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Any widget of the watched window: a window whose children cover it gets no paint itself.
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && paintFrom_ >= 0 && w && w->window() == watched_) {
            samples_.push_back(double(clock_.nsecsElapsed()) / 1e6 - paintFrom_);
            paintedWhileBusy_ = paintedWhileBusy_ && busy();
            paintFrom_ = -1;
        }
        return false;
    }

private:
    rt::QtFrontEnd* fe() const { return rt::QtFrontEnd::active(); }
    QAction* action(int id) const { return fe()->menuBarView(app.m1)->action(id); }
    // An exchange with the instrument runs (the COM indicator is on).
    bool busy() const {
        auto* led = static_cast<rt::qt::LedWidget*>(fe()->controlWidget(app.p1, MAIN_COM_LED));
        return led && led->isOn();
    }
    double now() const { return double(clock_.nsecsElapsed()) / 1e6; }

    // One state at a time; each returns when its condition is not yet there.
    void step() {
        if (!fe() || !fe()->panelWidget(app.p1) || !fe()->panelWidget(app.p1)->isVisible()) return;
        if (stepping_) return;
        stepping_ = true;
        const bool polling = busy();
        if (polling && !wasBusy_) pollStart_ = now();
        wasBusy_ = polling;
        if (phase_ == 0)
            parameterPanel();
        else if (phase_ == 1)
            uncover();
        else if (phase_ == 2)
            clicks();
        stepping_ = false;
    }

    void parameterPanel() {
        if (inRun_) return;
        if (runs_ == 5) {
            report("parameter panel painted after it was chosen", samples_, "<= 300 ms");
            std::printf("  %s\n", paintedWhileBusy_ ? "each time while its read still ran"
                                                    : "NOT while its read ran");
            samples_.clear();
            runs_ = 0;
            phase_ = 1;
            paintedWhileBusy_ = true;
            app.tstart = Timer();
            app.hol = 1;  // polling, no file: every poll times out at 0.5 s
            return;
        }
        QWidget* panel = fe()->panelWidget(app.pr);
        panel->hide();
        QApplication::processEvents();
        watched_ = panel;
        ++runs_;
        inRun_ = true;
        QTimer::singleShot(0, this, [this] {
            paintFrom_ = now();
            action(MENU_PARAMETERS)->trigger();  // returns when the read has failed
            fe()->panelWidget(app.pr)->hide();
            if (paintFrom_ >= 0) samples_.push_back(1e9);  // never painted during the read
            paintFrom_ = -1;
            inRun_ = false;
        });
    }

    void uncover() {
        if (paintFrom_ >= 0 || (cover_ && coverShown_ && now() < coverUntil_)) return;
        if (runs_ == 20) {
            report("main window repainted after it was uncovered, poll waiting", samples_,
                   "<= 50 ms");
            std::printf("  %s\n",
                        paintedWhileBusy_ ? "each time during a poll" : "NOT always during a poll");
            samples_.clear();
            runs_ = 0;
            phase_ = 2;
            delete cover_;
            cover_ = nullptr;
            return;
        }
        QWidget* main = fe()->panelWidget(app.p1);
        if (!cover_) {
            cover_ = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
            cover_->setGeometry(main->frameGeometry());
            watched_ = main;
        }
        if (!coverShown_) {
            // Mapped and unmapped by another X client (xdotool), as another program's window
            // would be: the X server sends the exposure itself.
            if (!cover_->isVisible())
                cover_->show();
            else
                QProcess::execute("xdotool", {"windowmap", QString::number(cover_->winId())});
            coverShown_ = true;
            coverUntil_ = now() + 150 + 37 * (runs_ % 7);  // uncovered at varying points of a poll
            return;
        }
        // Uncovered while a poll waits, with at least 0.25 s of its 0.5 s time-out still to go.
        if (!busy() || now() - pollStart_ > 250) return;
        ++runs_;
        QProcess::execute("xdotool", {"windowunmap", QString::number(cover_->winId())});
        paintFrom_ = now();  // nothing is painted while xdotool runs: we wait for it
        coverShown_ = false;
    }

    void clicks() {
        if (clickFrom_ >= 0) {
            bool done = runs_ <= 20 ? app.hol == 0 : QApplication::activePopupWidget() != nullptr;
            if (!done) return;
            samples_.push_back(now() - clickFrom_);
            fromSent_.push_back(now() - clickSent_);
            clickFrom_ = -1;
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            app.hol = 1;  // polling again
            nextClick_ = now() + 200 + 53 * (runs_ % 9);
            if (runs_ == 20) {
                report("click on Stop took effect, polls timing out at 0.1 s", samples_,
                       "<= 600 ms");
                report("  the same from the click at the X server", fromSent_, "<= 600 ms");
                samples_.clear();
                fromSent_.clear();
            }
            if (runs_ == 40) {
                report("click on the View menu opened it, polls timing out", samples_, "<= 600 ms");
                report("  the same from the click at the X server", fromSent_, "<= 600 ms");
                app.hol = 0;
                fe()->panelWidget(app.p1)->close();  // ends the program
            }
            return;
        }
        if (now() < nextClick_) return;
        ++runs_;
        clickFrom_ = now();
        if (runs_ <= 20) {
            click(fe()->controlWidget(app.p1, MAIN_STOP));
        } else {
            QMenuBar* bar = static_cast<QMainWindow*>(fe()->panelWidget(app.p1))->menuBar();
            clickAt(bar->mapToGlobal(bar->actionGeometry(action(MENU_VIEW)).center()));
        }
        // xdotool has ended: its click is at the X server (the time before includes starting it).
        clickSent_ = now();
    }

    QTimer tick_;
    QElapsedTimer clock_;
    int phase_ = 0;
    int runs_ = 0;
    bool stepping_ = false;
    bool inRun_ = false;
    QObject* watched_ = nullptr;
    double paintFrom_ = -1;
    bool paintedWhileBusy_ = true;
    std::vector<double> samples_;
    QWidget* cover_ = nullptr;
    double coverUntil_ = 0;
    bool coverShown_ = false;
    bool wasBusy_ = false;
    double pollStart_ = 0;
    double clickFrom_ = -1;
    double clickSent_ = 0;
    std::vector<double> fromSent_;
    double nextClick_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: link_wait DIR\n");
        return 2;
    }
    QApplication qtApp(argc, argv);
    rt::setProjectDir(argv[1]);
    Bench bench;
    return runTevranInWindows(qtApp);
}
