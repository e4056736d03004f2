// One request to the instrument and its reply, with the line kept in step across failures.
#include "instrument/exchange.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "app/state.h"
#include "instrument/link_status.h"
#include "runtime/rs232.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kCarriageReturn = 13;

double secondsUntil(Clock::time_point t) {
    return std::chrono::duration<double>(t - Clock::now()).count();
}

Clock::duration seconds(double s) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
}

// What the last exchanges left on the line of port `port`.
struct LineState {
    int port = 0;
    bool restPending = false;  // a reply was cut off or timed out: its rest may still come
    bool lateOwed = false;     // a request timed out: its answer may still come, until lateUntil
    bool lateEchoed = false;   // that answer echoes its request, so it can be told apart
    Clock::time_point lateUntil{};
};

LineState line;

// Reads and drops what arrives until the line has been quiet for kQuietSeconds, and, when an
// answer is owed that the next request could not tell from its own, until that answer has come
// or its time is up.
void bringInStep(int port, bool nextChecked) {
    if (line.lateOwed && Clock::now() >= line.lateUntil) line.lateOwed = false;
    const bool waitForLate = line.lateOwed && !(line.lateEchoed && nextChecked);
    if (!line.restPending && !waitForLate) return;
    line.restPending = false;
    const Clock::time_point lateEnd = waitForLate ? line.lateUntil : Clock::now();
    const Clock::time_point end = std::max(lateEnd, Clock::now()) + seconds(kMaxResyncSeconds);
    char scratch[256];
    bool sawLine = false;
    for (;;) {
        const double left = secondsUntil(end);
        if (left <= 0.0) break;
        double wait = kQuietSeconds;
        if (waitForLate && !sawLine) wait = std::max(wait, secondsUntil(lateEnd));
        SetComTime(port, std::min(wait, left));
        const int n = ComRdTerm(port, scratch, int(sizeof scratch), kCarriageReturn);
        const int status = ReturnRS232Err();
        if (status == RS232_OK) {
            if (n < int(sizeof scratch)) sawLine = true;
            continue;
        }
        if (status == RS232_ERR_TIMEOUT && n > 0) continue;  // bytes still coming
        break;  // quiet; or the device failed, which the request will report
    }
    if (sawLine || waitForLate) line.lateOwed = false;
}

}  // namespace

void reopenIfGone() {
    if (!app.com_open || !app.portGone) return;
    if (ReopenCom(app.com_nummer) == 0) app.portGone = 0;
}

namespace {

// The request sent and its reply read, once.
int sendAndRead(int port, const char* request, double timeoutSeconds, char* reply, int maxCount,
                ReplyCheck answers, int requestNumber) {
    bringInStep(port, answers != nullptr);
    SetComTime(port, timeoutSeconds);
    FlushOutQ(port);
    FlushInQ(port);
    const Clock::time_point sent = Clock::now();
    ComWrt(port, request, static_cast<int>(std::strlen(request)));
    int n = 0;
    int status = RS232_OK;
    bool timeoutChanged = false;
    for (;;) {
        n = ComRdTerm(port, reply, maxCount, kCarriageReturn);
        status = ReturnRS232Err();
        // The reply ends where the read ended, whatever an earlier, longer one left in `reply`.
        reply[n > 0 ? n : 0] = '\0';
        if (status != RS232_OK || !answers || answers(reply, requestNumber)) break;
        // An earlier request's answer, come late: dropped; this one's own may still come.
        line.lateOwed = false;
        const double elapsed = std::chrono::duration<double>(Clock::now() - sent).count();
        SetComTime(port, std::max(0.0, timeoutSeconds - elapsed));
        timeoutChanged = true;
    }
    if (timeoutChanged) SetComTime(port, timeoutSeconds);
    if (status == RS232_ERR_TIMEOUT) {
        line.restPending = true;
        line.lateOwed = true;
        line.lateEchoed = answers != nullptr;
        line.lateUntil = sent + seconds(2 * timeoutSeconds + kQuietSeconds);
    } else if (status == RS232_OK && n >= maxCount) {
        line.restPending = true;  // cut off at the limit: the rest is no answer to the next
    }
    return status;
}

}  // namespace

int exchange(const char* request, double timeoutSeconds, char* reply, int maxCount,
             ReplyCheck answers, int requestNumber) {
    // A device found gone by the exchange before (an adapter unplugged and plugged in again) is
    // opened again first.
    reopenIfGone();
    const int port = app.com_nummer;
    if (line.port != port) line = LineState{port};
    int status =
        sendAndRead(port, request, timeoutSeconds, reply, maxCount, answers, requestNumber);
    // A device found gone only now (the instrument switched off and on while nothing polled) may
    // be back already: opened again, it gets the request once more.
    if (status == RS232_ERR_DEVICE_GONE && app.com_open && ReopenCom(port) == RS232_OK)
        status =
            sendAndRead(port, request, timeoutSeconds, reply, maxCount, answers, requestNumber);
    if (status == RS232_ERR_DEVICE_GONE) app.portGone = 1;
    if (status == RS232_OK) noteLinkGood();
    return status;
}
