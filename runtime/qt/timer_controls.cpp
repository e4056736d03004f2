#include "runtime/qt/timer_controls.h"

#include <QTimer>
#include <algorithm>
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
    Entry& e = timers_[{panel, control}];
    if (!e.timer) {
        e.timer = new QTimer(this);
        e.timer->setTimerType(Qt::PreciseTimer);
        // A QTimer whose tick callback overruns does not queue further ticks: they coalesce.
        connect(e.timer, &QTimer::timeout, this, [this, panel, control] { tick(panel, control); });
    }
    e.intervalMs = timerMilliseconds(interval);
    e.pendingMs = 0;
    e.timer->setInterval(e.intervalMs);
    if (running_) {
        e.timer->start();
        e.sinceTick.start();
    }
}

void TimerControls::tick(int panel, int control) {
    auto it = timers_.find({panel, control});
    if (it == timers_.end()) return;
    Entry& e = it->second;
    if (e.pendingMs > 0) {
        // The shortened or stretched wait is over: from here on, ticks come at the new interval.
        e.timer->setInterval(e.pendingMs);
        e.pendingMs = 0;
    }
    e.sinceTick.start();
    deliverTimerTick(panel, control);
}

void TimerControls::setInterval(int panel, int control, double interval) {
    auto it = timers_.find({panel, control});
    if (it == timers_.end()) {
        add(panel, control, interval);
        return;
    }
    Entry& e = it->second;
    const int ms = timerMilliseconds(interval);
    if (ms == e.intervalMs) return;
    e.intervalMs = ms;
    if (!running_ || !e.timer->isActive()) {
        e.timer->setInterval(ms);
        e.pendingMs = 0;
        return;
    }
    // The next tick: one new interval after the last one, or at once when that has passed.
    const qint64 due = std::max<qint64>(0, ms - e.sinceTick.elapsed());
    e.timer->start(int(std::min<qint64>(due, INT_MAX)));
    e.pendingMs = ms;
}

void TimerControls::restart(int panel, int control, double interval) {
    auto it = timers_.find({panel, control});
    if (it == timers_.end()) {
        add(panel, control, interval);
        return;
    }
    Entry& e = it->second;
    e.intervalMs = timerMilliseconds(interval);
    e.pendingMs = 0;
    e.timer->setInterval(e.intervalMs);
    if (running_) {
        e.timer->start();  // start() on a running timer starts its interval anew
        e.sinceTick.start();
    }
}

void TimerControls::startAll() {
    running_ = true;
    for (auto& [key, e] : timers_) {
        e.timer->start();
        e.sinceTick.start();
    }
}

void TimerControls::forgetPanel(int panel) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == panel) {
            delete it->second.timer;
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

QTimer* TimerControls::timer(int panel, int control) const {
    auto it = timers_.find({panel, control});
    return it == timers_.end() ? nullptr : it->second.timer;
}

}  // namespace rt::qt
