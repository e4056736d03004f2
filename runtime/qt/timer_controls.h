#pragma once
// The timer controls of all panels as QTimers. They tick from the first pass of the event loop
// until the process ends, hidden panels included; each tick goes to the program.

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
    // The interval was set or the timer reset: the next tick comes one full interval from now.
    void restart(int panel, int control, double interval);
    // The event loop runs: start every timer.
    void startAll();
    void forgetPanel(int panel);
    bool running() const { return running_; }
    QTimer* timer(int panel, int control) const;

private:
    std::map<std::pair<int, int>, QTimer*> timers_;
    bool running_ = false;
};

}  // namespace rt::qt
