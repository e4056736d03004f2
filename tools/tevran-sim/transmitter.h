// The outgoing side of the line: scheduled answers, optionally paced like a 9600 baud line.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tevran::sim {

using Clock = std::chrono::steady_clock;

// Time one byte takes on a 9600 baud line with 8 data bits, 1 start and 1
// stop bit.
inline constexpr Clock::duration byte_time_9600 =
    std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(10'000'000'000LL / 9600));

// Holds output until it is due and hands it out in due-time order (items with
// equal due times in scheduling order). With a byte time set, at most one
// byte is released per byte time, keeping the cadence exact over a reply.
// The class never touches a descriptor: the caller writes what sendable()
// returns and reports how much went out with sent().
class Transmitter {
public:
    explicit Transmitter(std::optional<Clock::duration> byte_time = std::nullopt)
        : byte_time_(byte_time) {}

    void schedule(Clock::time_point due, std::string bytes);

    // Bytes that may be written at `now` (possibly empty).
    std::string_view sendable(Clock::time_point now);

    // The first n bytes of the last sendable() were written at `now`.
    void sent(std::size_t n, Clock::time_point now);

    // When sendable() will next have something new to give; nullopt if
    // nothing is waiting. A time at or before now means "already".
    std::optional<Clock::time_point> next_due() const;

    bool idle() const { return line_.empty() && scheduled_.empty(); }

private:
    void release_due(Clock::time_point now);

    std::optional<Clock::duration> byte_time_;
    std::multimap<Clock::time_point, std::string> scheduled_;
    std::string line_; // due bytes not yet written
    Clock::time_point next_byte_at_{};
};

} // namespace tevran::sim
