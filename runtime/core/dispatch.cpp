// Delivering events to the program's callbacks, one at a time.
#include "runtime/core/dispatch.h"

#include "runtime/core/model.h"

namespace rt {

namespace {
int callbackDepth = 0;
bool tickRunning = false;
int popupDepth = 0;

// Marks a callback's duration; also when the callback leaves by an exception (the headless end
// of the process).
struct CallbackScope {
    bool tick;
    explicit CallbackScope(bool isTick) : tick(isTick) {
        ++callbackDepth;
        if (tick) tickRunning = true;
    }
    ~CallbackScope() {
        --callbackDepth;
        if (tick) tickRunning = false;
    }
};
}  // namespace

bool callbackRunning() { return callbackDepth > 0; }

namespace {
int watchPanel = 0;
void (*watchCall)() = nullptr;
}  // namespace

void setComPortWatch(int panel, void (*changed)()) {
    watchPanel = changed ? panel : 0;
    watchCall = changed;
}

int comPortWatchPanel() { return watchPanel; }

bool dispatchComPortWatch() {
    if (callbackRunning() || !watchCall) return false;
    const Panel* p = Model::instance().panel(watchPanel);
    if (!p || !p->visible) return false;
    CallbackScope scope(false);
    watchCall();
    return true;
}
bool popupOpen() { return popupDepth > 0; }

PopupScope::PopupScope() { ++popupDepth; }
PopupScope::~PopupScope() { --popupDepth; }

bool dispatchCommit(int panel, int control) {
    if (callbackRunning()) return false;
    Model& m = Model::instance();
    Control* c = m.control(panel, control);
    if (!c || !c->callback || !m.operable(panel, control)) return false;
    CallbackScope scope(false);
    c->callback(panel, control, EVENT_COMMIT, nullptr, 0, 0);
    return true;
}

bool dispatchClose(int panel) {
    if (callbackRunning()) return false;
    Panel* p = Model::instance().panel(panel);
    if (!p || !p->callback) return false;
    CallbackScope scope(false);
    p->callback(panel, EVENT_CLOSE, nullptr, 0, 0);
    return true;
}

bool dispatchTimerTick(int panel, int control) {
    // A tick that falls due while a tick runs coalesces with it; while another callback runs,
    // ticks are delivered only during its modal popups.
    if (tickRunning) return false;
    if (callbackRunning() && !popupOpen()) return false;
    Control* c = Model::instance().control(panel, control);
    if (!c || c->kind != ControlKind::Timer || !c->callback) return false;
    CallbackScope scope(true);
    c->callback(panel, control, EVENT_TIMER_TICK, nullptr, 0, 0);
    return true;
}

bool dispatchGraphEvent(int panel, int control, int event) {
    if (callbackRunning()) return false;
    Control* c = Model::instance().control(panel, control);
    if (!c || !c->graph || !c->callback) return false;
    CallbackScope scope(false);
    c->callback(panel, control, event, nullptr, 0, 0);
    return true;
}

bool dispatchEndTask() {
    if (callbackRunning() && !popupOpen()) return false;
    for (const auto& p : Model::instance().panels()) {
        if (p->parent != 0 || !p->callback) continue;
        CallbackScope scope(false);
        p->callback(p->handle, EVENT_END_TASK, nullptr, 0, 0);
        return true;
    }
    return false;
}

bool dispatchMenu(int menuBar, int menuItem) {
    if (callbackRunning()) return false;
    MenuBar* bar = Model::instance().menuBar(menuBar);
    if (!bar) return false;
    for (MenuItem& menu : bar->menus) {
        for (MenuItem& item : menu.items) {
            if (item.id != menuItem) continue;
            if (menu.dimmed || item.dimmed || !item.callback) return false;
            CallbackScope scope(false);
            item.callback(menuBar, menuItem, nullptr, bar->panel);
            return true;
        }
    }
    return false;
}

}  // namespace rt
