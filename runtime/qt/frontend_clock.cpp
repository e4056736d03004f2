// The front end's clock: seconds from a steady clock for intervals, the wall clock's date and
// time as the program shows them, and a delay that keeps the windows painted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "runtime/qt/qt_frontend.h"

namespace rt {

double QtFrontEnd::now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void QtFrontEnd::delay(double seconds) {
    if (!(seconds > 0 && seconds < 1e9)) return;
    // In slices, so that the windows paint during a long delay.
    const double end = now() + seconds;
    for (double left = seconds; left > 0; left = end - now()) {
        std::this_thread::sleep_for(
            std::chrono::duration<double>(std::min(left, rt::kWaitSliceMs / 1000.0)));
        whileWaiting();
    }
}

namespace {
std::tm localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
}  // namespace

std::string QtFrontEnd::dateText() {
    std::tm tm = localNow();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    return buf;
}

std::string QtFrontEnd::timeText() {
    std::tm tm = localNow();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

}  // namespace rt
