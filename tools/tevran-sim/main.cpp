// tevran-sim: the simulated oxygen measuring instrument, served on a pseudo-terminal.
//
// A single-threaded loop polls the pseudo-terminal master and a self-pipe
// fed by the SIGTERM/SIGINT handler. Received bytes go to the log file (if
// any) and to the request reader; each complete request is answered by the
// Responder, whose output is scheduled in the Transmitter and written when
// due, so delayed answers never hold up reading. An unplug fault closes the
// terminal for a while; the loop then only waits for the time to replug.

#include "fd.h"
#include "options.h"
#include "pty_link.h"
#include "reply_script.h"
#include "request_reader.h"
#include "responder.h"
#include "transmitter.h"

#include <poll.h>
#include <signal.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

using namespace tevran::sim;

namespace {

int signal_pipe_write = -1;

extern "C" void on_stop_signal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signal_pipe_write, &byte, 1);
    errno = saved;
}

Fd install_stop_signals()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) < 0)
        throw system_failure("pipe2");
    Fd read_end(fds[0]);
    signal_pipe_write = fds[1]; // lives until exit

    struct sigaction sa{};
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    if (::sigaction(SIGTERM, &sa, nullptr) < 0 || ::sigaction(SIGINT, &sa, nullptr) < 0)
        throw system_failure("sigaction");
    ::signal(SIGPIPE, SIG_IGN);
    return read_end;
}

// Printable form of a request for --verbose.
std::string shown(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

void write_all(int fd, const char* data, std::size_t size, const std::string& what)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw system_failure(what);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

timespec to_timespec(Clock::duration d)
{
    if (d < Clock::duration::zero())
        d = Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

MeasurementSource measurement_source(const Options& o)
{
    if (o.fixed)
        return FixedReply{*o.fixed};
    if (o.replies)
        return ReplyScript::load(*o.replies);
    return CellModel(o.seed);
}

class Server {
public:
    Server(const Options& o, MeasurementSource source, PtyLink& link, int stop_fd, Fd log)
        : verbose_(o.verbose)
        , link_(link)
        , stop_fd_(stop_fd)
        , log_(std::move(log))
        , responder_(std::move(source), ParameterStore(o.params), o.delay, o.faults, o.seed)
        , byte_time_(o.line_speed ? std::optional(byte_time_9600) : std::nullopt)
        , transmitter_(byte_time_)
    {
    }

    void run()
    {
        constexpr auto retry_pause = std::chrono::milliseconds(10);
        for (;;) {
            if (!link_.plugged()) {
                if (Clock::now() >= replug_at_) {
                    link_.replug();
                    if (verbose_)
                        std::fprintf(stderr, "tevran-sim: plugged in again: %s -> %s\n",
                                     link_.link().c_str(), link_.device().c_str());
                }
            }
            const bool waiting_for_room = link_.plugged() && flush(Clock::now());

            pollfd fds[2] = {
                {link_.master(), static_cast<short>(POLLIN | (waiting_for_room ? POLLOUT : 0)), 0},
                {stop_fd_, POLLIN, 0},
            };
            timespec timeout{};
            timespec* timeout_ptr = nullptr;
            if (!link_.plugged()) {
                timeout = to_timespec(replug_at_ - Clock::now());
                timeout_ptr = &timeout;
            } else if (line_trouble_) {
                timeout = to_timespec(retry_pause);
                timeout_ptr = &timeout;
            } else if (const auto due = transmitter_.next_due(); due && !waiting_for_room) {
                timeout = to_timespec(*due - Clock::now());
                timeout_ptr = &timeout;
            }
            line_trouble_ = false;

            if (::ppoll(fds, 2, timeout_ptr, nullptr) < 0) {
                if (errno == EINTR)
                    continue;
                throw system_failure("ppoll");
            }
            if (fds[1].revents & POLLIN)
                return;
            if (fds[0].revents & POLLIN)
                receive();
            else if (fds[0].revents & (POLLHUP | POLLERR))
                line_trouble_ = true; // no terminal side open: wait, then try again
        }
    }

private:
    // Writes whatever is due. Returns true if the line is full and the loop
    // should wait for room.
    bool flush(Clock::time_point now)
    {
        for (;;) {
            const std::string_view out = transmitter_.sendable(now);
            if (out.empty())
                return false;
            const ssize_t n = ::write(link_.master(), out.data(), out.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return true;
                if (errno == EIO) {
                    line_trouble_ = true;
                    return false;
                }
                throw system_failure("write to " + link_.device());
            }
            transmitter_.sent(static_cast<std::size_t>(n), now);
        }
    }

    void receive()
    {
        char buffer[512];
        const ssize_t n = ::read(link_.master(), buffer, sizeof buffer);
        const auto arrived = Clock::now();
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            if (errno == EIO) { // no terminal side open
                line_trouble_ = true;
                return;
            }
            throw system_failure("read from " + link_.device());
        }
        const std::string_view bytes(buffer, static_cast<std::size_t>(n));
        if (log_)
            write_all(log_.get(), bytes.data(), bytes.size(), "write to log");

        const std::size_t discarded_before = reader_.discarded();
        for (const std::string& request : reader_.feed(bytes)) {
            const Answer answer = responder_.answer(request);
            if (verbose_) {
                std::fprintf(stderr, "tevran-sim: request \"%s\"%s\n", shown(request).c_str(),
                             answer.empty() ? ": no answer" : "");
            }
            for (const Emission& e : answer) {
                if (e.unplug > std::chrono::milliseconds::zero()) {
                    unplug(arrived + e.unplug);
                    return; // the rest of what arrived went with the terminal
                }
                transmitter_.schedule(arrived + e.after, e.bytes);
            }
        }
        if (verbose_ && reader_.discarded() != discarded_before)
            std::fprintf(stderr, "tevran-sim: discarded an overlong request\n");
    }

    // Closes the terminal until `back`; pending output and half-read requests are lost with it.
    void unplug(Clock::time_point back)
    {
        link_.unplug();
        transmitter_ = Transmitter(byte_time_);
        reader_ = RequestReader();
        replug_at_ = back;
        line_trouble_ = false;
        if (verbose_)
            std::fprintf(stderr, "tevran-sim: unplugged: %s -> %s\n", link_.link().c_str(),
                         link_.device().c_str());
    }

    bool verbose_;
    PtyLink& link_;
    int stop_fd_;
    Fd log_;
    RequestReader reader_;
    Responder responder_;
    std::optional<Clock::duration> byte_time_;
    Transmitter transmitter_;
    Clock::time_point replug_at_{};
    bool line_trouble_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    const std::string_view program = argc > 0 ? argv[0] : "tevran-sim";
    Options options;
    try {
        options = parse_options(std::vector<std::string_view>(argv + (argc > 0 ? 1 : 0), argv + argc));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tevran-sim: %s\n%s", e.what(), usage_text(program).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usage_text(program).c_str(), stdout);
        return 0;
    }

    try {
        MeasurementSource source = [&]() -> MeasurementSource {
            try {
                return measurement_source(options);
            } catch (const ReplyScriptError& e) {
                throw UsageError(*options.replies + ": " + e.what());
            }
        }();

        Fd log;
        if (options.log) {
            log = Fd(::open(options.log->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
            if (!log)
                throw system_failure("open " + *options.log);
        }

        Fd stop = install_stop_signals();
        PtyLink link(options.link);
        Server server(options, std::move(source), link, stop.get(), std::move(log));

        std::printf("ready %s\n", link.link().c_str());
        std::fflush(stdout);
        if (options.verbose)
            std::fprintf(stderr, "tevran-sim: %s -> %s\n", link.link().c_str(), link.device().c_str());

        server.run();
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tevran-sim: %s\n", e.what());
        return 2;
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "tevran-sim: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tevran-sim: %s\n", e.what());
        return 1;
    }
}
