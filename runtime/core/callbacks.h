#pragma once
// The table that binds callback names written in the resource file to the program's functions.

#include <string>
#include <vector>

#include "runtime/panels.h"

namespace rt {

struct CallbackBinding {
    const char* name;
    CtrlCallback control = nullptr;
    PanelCallback panel = nullptr;
    MenuCallback menu = nullptr;
};

void registerCallbacks(const std::vector<CallbackBinding>& table);
const CallbackBinding* findCallback(const std::string& name);

}  // namespace rt
