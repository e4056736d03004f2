// The front end in use.
#include "runtime/core/frontend.h"

namespace rt {

namespace {
FrontEnd* current = nullptr;
}

void setFrontEnd(FrontEnd* fe) { current = fe; }
FrontEnd* frontEnd() { return current; }

void whileWaiting() {
    if (current) current->whileWaiting();
}

}  // namespace rt
