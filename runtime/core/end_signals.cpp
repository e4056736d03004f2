// The self-pipe behind watchEndSignals: nothing but a write(2) runs inside the handler.
#include "runtime/core/end_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

namespace rt {

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request: one is enough.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
}  // namespace

int watchEndSignals() {
    if (g_pipe[0] >= 0) return g_pipe[0];
    if (::pipe2(g_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return -1;
    }
    struct sigaction sa {};
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(sig, &sa, nullptr);
    return g_pipe[0];
}

bool takeEndSignal() {
    if (g_pipe[0] < 0) return false;
    bool came = false;
    char buf[64];
    for (;;) {
        const ssize_t n = ::read(g_pipe[0], buf, sizeof buf);
        if (n > 0) {
            came = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return came;
    }
}

}  // namespace rt
