// Command line of tevran-sim.
#pragma once

#include "fault_plan.h"
#include "parameters.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tevran::sim {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string link;                     // --link PATH (required)
    std::uint64_t seed = 1;               // --seed N
    std::optional<std::string> fixed;     // --fixed TEXT, escapes decoded
    std::optional<std::string> replies;   // --replies FILE
    ParameterStore::Values params = ParameterStore::defaults(); // --params a,b,c,d,e
    std::optional<std::string> log;       // --log FILE
    std::chrono::milliseconds delay{0};   // --delay MS
    bool line_speed = false;              // --line-speed
    FaultPlan faults;                     // --fault KIND[:EVERY], any number of times
    bool verbose = false;                 // --verbose
    bool help = false;                    // --help / -h
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after '=' (--seed=3). Throws UsageError.
Options parse_options(const std::vector<std::string_view>& args);

// The usage text printed for --help and with usage errors.
std::string usage_text(std::string_view program);

} // namespace tevran::sim
