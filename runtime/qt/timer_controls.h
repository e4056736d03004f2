#pragma once
// The timer controls of all panels as QTimers. They tick from the first pass of the event loop
// until the process ends, hidden panels included; each tick goes to the program.
//
// A timer keeps its rhythm when its interval is set: an unchanged interval changes nothing, and
// a new one applies from the next tick, which falls due one new interval after the last tick (at
// once when that moment has passed). Only a reset starts the countdown anew. So settings that
// the operator commits faster than the interval never hold the polls back.

#include <QElapsedTimer>
#include <QObject>
#include <map>
#include <utility>

class QTimer;

namespace rt::qt {

// Milliseconds of a timer interval in seconds: at least 10 ms, so that a zero, negative or
// non-finite interval never makes a timer spin.
int timerMilliseconds(double seconds);

class TimerControls : public QObject {
    Q_OBJECT
  public:
    explicit TimerControls(QObject* parent = nullptr);
    // A timer control of a loaded panel. It starts with the event loop.
    void add(int panel, int control, double interval);
    // The interval was set: the rhythm stays, a new interval applies from the next tick.
    void setInterval(int panel, int control, double interval);
    // The timer was reset: the next tick comes one full interval from now.
    void restart(int panel, int control, double interval);
    // The event loop runs: start every timer.
    void startAll();
    void forgetPanel(int panel);
    bool running() const { return running_; }
    QTimer* timer(int panel, int control) const;

  private:
    struct Entry {
        QTimer* timer = nullptr;
        int intervalMs = 0;       // the interval last set
        int pendingMs = 0;        // a new interval, taken up at the next tick; 0 = none
        QElapsedTimer sinceTick;  // since the last tick (or the start, or the last reset)
    };
    void tick(int panel, int control);

    std::map<std::pair<int, int>, Entry> timers_;
    bool running_ = false;
};

}  // namespace rt::qt
