#include "transmitter.h"

#include <algorithm>
#include <utility>

namespace tevran::sim {

void Transmitter::schedule(Clock::time_point due, std::string bytes)
{
    if (!bytes.empty())
        scheduled_.emplace(due, std::move(bytes));
}

void Transmitter::release_due(Clock::time_point now)
{
    while (!scheduled_.empty() && scheduled_.begin()->first <= now) {
        line_ += scheduled_.begin()->second;
        scheduled_.erase(scheduled_.begin());
    }
}

std::string_view Transmitter::sendable(Clock::time_point now)
{
    release_due(now);
    if (line_.empty())
        return {};
    if (!byte_time_)
        return line_;
    if (now < next_byte_at_)
        return {};
    return std::string_view(line_).substr(0, 1);
}

void Transmitter::sent(std::size_t n, Clock::time_point now)
{
    n = std::min(n, line_.size());
    line_.erase(0, n);
    if (!byte_time_ || n == 0)
        return;
    // Keep the exact cadence while a reply is flowing; after a pause longer
    // than a byte time the line was idle, so start counting from now.
    Clock::time_point slot = next_byte_at_;
    if (now - slot > *byte_time_)
        slot = now;
    next_byte_at_ = slot + static_cast<long>(n) * *byte_time_;
}

std::optional<Clock::time_point> Transmitter::next_due() const
{
    std::optional<Clock::time_point> due;
    if (!line_.empty())
        due = byte_time_ ? next_byte_at_ : Clock::time_point::min();
    if (!scheduled_.empty()) {
        const auto first = scheduled_.begin()->first;
        due = due ? std::min(*due, first) : first;
    }
    return due;
}

} // namespace tevran::sim
