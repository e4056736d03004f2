// Faults the simulated instrument can put on the line, for testing the program's recovery.
#pragma once

#include "answer.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tevran::sim {

enum class FaultKind {
    silent,           // no answer at all
    wrong_first_byte, // the answer with its first byte changed ('x' instead of 'u')
    garbage,          // random bytes (NUL and bytes above 0x7F included, never CR), then CR
    partial,          // the first half of the answer, never its CR
    long_reply,       // the answer padded to more than 44 bytes, then CR
    split,            // the answer in pieces, with pauses shorter than the program's time-out
    nan,              // numbers the program cannot read: nan, inf, 1e999
    slow,             // the answer, but only after the program's 0.5 s time-out
    unplug,           // no answer; the terminal goes away for a while and comes back
};

// Raised for a malformed --fault value; what() says why.
struct FaultError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Fault {
    FaultKind kind = FaultKind::silent;
    std::size_t every = 1; // requests number every, 2*every, ... are faulted (counting from 1)

    bool operator==(const Fault&) const = default;
};

// "KIND" or "KIND:EVERY" with EVERY >= 1, KIND one of the names of fault_name().
Fault parse_fault(std::string_view text);

// The command-line name of a kind: silent, wrong-first-byte, garbage, partial, long, split, nan,
// slow, unplug.
std::string_view fault_name(FaultKind kind);

// Timing and sizes of the faults. The program waits 0.5 s for an answer.
inline constexpr std::chrono::milliseconds slow_answer_after{700};
inline constexpr std::chrono::milliseconds split_pause{120};
inline constexpr std::size_t split_pieces = 3;
inline constexpr std::chrono::milliseconds unplug_duration{1500};
inline constexpr std::size_t long_reply_length = 64; // bytes before the CR

// Which measurement requests get which fault.
class FaultPlan {
public:
    FaultPlan() = default;
    explicit FaultPlan(std::vector<Fault> faults) : faults_(std::move(faults)) {}

    void add(const Fault& f) { faults_.push_back(f); }
    bool empty() const { return faults_.empty(); }
    const std::vector<Fault>& faults() const { return faults_; }

    // The fault of the measurement request with the 1-based number n: the first one of the plan
    // whose EVERY divides n; nullopt when none does.
    std::optional<FaultKind> fault_for(std::size_t n) const;

private:
    std::vector<Fault> faults_;
};

// The faulted form of a measurement answer. `text` is the good answer without its CR, due
// `delay` after the request; `n` is the request's number (garbage is drawn from `seed` and n,
// nan answers vary with n). A fault that needs the good text gives no answer when there is none.
Answer disturb(FaultKind kind, const std::optional<std::string>& text,
               std::chrono::milliseconds delay, std::uint64_t seed, std::size_t n);

} // namespace tevran::sim
