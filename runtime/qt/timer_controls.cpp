#include "runtime/qt/timer_controls.h"

#include <QTimer>
#include <climits>
#include <cmath>

#include "runtime/qt/event_delivery.h"

namespace rt::qt {

int timerMilliseconds(double seconds) {
    constexpr int kFloor = 10;
    if (!std::isfinite(seconds)) return kFloor;
    double ms = std::round(seconds * 1000.0);
    if (ms < kFloor) return kFloor;
    if (ms > INT_MAX) return INT_MAX;
    return int(ms);
}

TimerControls::TimerControls(QObject* parent) : QObject(parent) {}

void TimerControls::add(int panel, int control, double interval) {
    auto key = std::make_pair(panel, control);
    QTimer*& t = timers_[key];
    if (!t) {
        t = new QTimer(this);
        t->setTimerType(Qt::PreciseTimer);
        // A QTimer whose tick callback overruns does not queue further ticks: they coalesce.
        connect(t, &QTimer::timeout, this, [panel, control] { deliverTimerTick(panel, control); });
    }
    t->setInterval(timerMilliseconds(interval));
    if (running_) t->start();
}

void TimerControls::restart(int panel, int control, double interval) {
    QTimer* t = timer(panel, control);
    if (!t) {
        add(panel, control, interval);
        return;
    }
    t->setInterval(timerMilliseconds(interval));
    if (running_) t->start();  // start() on a running timer starts its interval anew
}

void TimerControls::startAll() {
    running_ = true;
    for (auto& [key, t] : timers_) t->start();
}

void TimerControls::forgetPanel(int panel) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == panel) {
            delete it->second;
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

QTimer* TimerControls::timer(int panel, int control) const {
    auto it = timers_.find({panel, control});
    return it == timers_.end() ? nullptr : it->second;
}

}  // namespace rt::qt
