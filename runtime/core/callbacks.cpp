// Callback names of the resource file bound to the program's functions.
#include "runtime/core/callbacks.h"

namespace rt {

namespace {
std::vector<CallbackBinding>& table() {
    static std::vector<CallbackBinding> bindings;
    return bindings;
}
}  // namespace

void registerCallbacks(const std::vector<CallbackBinding>& bindings) { table() = bindings; }

const CallbackBinding* findCallback(const std::string& name) {
    for (const CallbackBinding& b : table())
        if (name == b.name) return &b;
    return nullptr;
}

}  // namespace rt
