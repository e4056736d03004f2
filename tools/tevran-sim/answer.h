// What the simulated instrument sends in response to one request.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace tevran::sim {

// One piece of output, to be sent `after` the arrival of the request's CR. An emission with a
// non-zero `unplug` sends nothing: at `after` the line goes away for that long and then comes
// back (a new terminal under the same link).
struct Emission {
    std::chrono::milliseconds after{0};
    std::string bytes;
    std::chrono::milliseconds unplug{0};

    Emission() = default;
    Emission(std::chrono::milliseconds after_, std::string bytes_,
             std::chrono::milliseconds unplug_ = std::chrono::milliseconds{0})
        : after(after_), bytes(std::move(bytes_)), unplug(unplug_)
    {
    }

    bool operator==(const Emission&) const = default;
};

// Everything sent in response to one request; empty means no answer.
using Answer = std::vector<Emission>;

} // namespace tevran::sim
