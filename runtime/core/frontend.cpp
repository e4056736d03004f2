// The front end in use.
#include "runtime/core/frontend.h"

#include <cstdio>

#include "runtime/core/encoding.h"

namespace rt {

namespace {
FrontEnd* current = nullptr;
}

void setFrontEnd(FrontEnd* fe) { current = fe; }
FrontEnd* frontEnd() { return current; }

void printClosingMessage(const std::string& message) {
    std::fprintf(stderr, "tevran: %s\n", windows1252ToUtf8(message).c_str());
}

void FrontEnd::closingMessage(const std::string& message) { printClosingMessage(message); }

void whileWaiting() {
    if (current) current->whileWaiting();
}

}  // namespace rt
