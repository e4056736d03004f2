// Time, the calendar and the end of the process, from the front end (or the system without one).
#include "runtime/timing.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "runtime/core/frontend.h"

using namespace rt;

double Timer() {
    if (FrontEnd* fe = frontEnd()) return fe->now();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Delay(double seconds) {
    if (!(seconds > 0)) return;
    if (FrontEnd* fe = frontEnd()) return fe->delay(seconds);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

const char* DateStr() {
    static std::string text;
    FrontEnd* fe = frontEnd();
    text = fe ? fe->dateText() : std::string("01-01-1970");
    return text.c_str();
}

const char* TimeStr() {
    static std::string text;
    FrontEnd* fe = frontEnd();
    text = fe ? fe->timeText() : std::string("00:00:00");
    return text.c_str();
}

void exitProgram(int status) {
    if (FrontEnd* fe = frontEnd()) fe->exitProgram(status);
    std::fflush(nullptr);
    std::exit(status);
}
