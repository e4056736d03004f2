// The names TEVRAN.uir binds its callbacks by, and the functions they stand for.
#include "app/callbacks.h"

#include "app/system.h"
#include "runtime/core/callbacks.h"

void registerProgramCallbacks() {
    rt::registerCallbacks({
        {"timer", timer, nullptr, nullptr},
        {"beenden", nullptr, beenden, nullptr},
        {"about", nullptr, nullptr, about},
        {"vamor1", nullptr, nullptr, vamor1},
        {"vamor_end", nullptr, vamor_end, nullptr},
        {"allvalues", nullptr, nullptr, allvalues},
        {"av_ende", nullptr, av_ende, nullptr},
        {"comport", nullptr, nullptr, comport},
        {"comok", comok, nullptr, nullptr},
        {"portpick", portpick, nullptr, nullptr},
        {"portcancel", portcancel, nullptr, nullptr},
        {"port_ende", nullptr, port_ende, nullptr},
        {"regoffen", nullptr, nullptr, regoffen},
        {"regok", regok, nullptr, nullptr},
        {"reg_ende", nullptr, reg_ende, nullptr},
        {"skaliere", skaliere, nullptr, nullptr},
        {"m_run", m_run, nullptr, nullptr},
        {"m_stop", m_stop, nullptr, nullptr},
        {"oeffnen", oeffnen, nullptr, nullptr},
        {"chartview", chartview, nullptr, nullptr},
        {"wholerecording", nullptr, nullptr, wholerecording},
        {"whole_ende", nullptr, whole_ende, nullptr},
        {"savechart", nullptr, nullptr, savechart},
        {"copychart", nullptr, nullptr, copychart},
        {"alarms", nullptr, nullptr, alarms},
        {"alarms_close", nullptr, alarms_close, nullptr},
        {"alarms_set", alarms_set, nullptr, nullptr},
    });
}
