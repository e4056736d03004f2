// Operator events and timer ticks on their way from the widgets to the program: each is handed to
// the core's dispatch at once, or held while a callback waits for a device and handed back when
// it has returned. The windows are brought up to date after each one.
#include "runtime/qt/event_delivery.h"

#include <utility>

#include "runtime/core/dispatch.h"
#include "runtime/qt/qt_frontend.h"

namespace rt {

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

}  // namespace rt
