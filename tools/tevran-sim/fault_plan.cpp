#include "fault_plan.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tevran::sim {

namespace {

constexpr std::array<std::pair<FaultKind, std::string_view>, 9> names{{
    {FaultKind::silent, "silent"},
    {FaultKind::wrong_first_byte, "wrong-first-byte"},
    {FaultKind::garbage, "garbage"},
    {FaultKind::partial, "partial"},
    {FaultKind::long_reply, "long"},
    {FaultKind::split, "split"},
    {FaultKind::nan, "nan"},
    {FaultKind::slow, "slow"},
    {FaultKind::unplug, "unplug"},
}};

// splitmix64 over (seed, n): the same bytes for the same seed and request on every platform.
std::uint64_t mix(std::uint64_t z)
{
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string garbage_bytes(std::uint64_t seed, std::size_t n)
{
    std::uint64_t state = mix(seed ^ mix(n));
    auto next = [&state] { return state = mix(state); };
    std::string bytes(8 + next() % 24, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(next() & 0xFF);
        if (c == '\r') // a CR would end the reply early
            c = '\n';
    }
    if (bytes[0] == 'u') // never mistaken for a measurement answer
        bytes[0] = 'U';
    bytes[next() % bytes.size()] = '\0';
    return bytes;
}

// The answer's numbers, after its first two bytes, split at blanks.
std::vector<std::string> numbers_of(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t i = text.size() < 2 ? text.size() : 2;
    while (i < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t", i);
        if (start == std::string::npos)
            break;
        const std::size_t end = text.find_first_of(" \t", start);
        out.push_back(text.substr(start, end - start));
        i = end == std::string::npos ? text.size() : end;
    }
    return out;
}

// Three forms in turn: no number readable; only Vz readable; Vz and Tz readable.
std::string with_unreadable_numbers(const std::string& text, std::size_t n)
{
    const std::string head = text.substr(0, 2);
    std::vector<std::string> good = numbers_of(text);
    good.resize(3, "0");
    switch (n % 3) {
    case 0: return head + " nan inf 1e999";
    case 1: return head + " " + good[0] + " -inf nan";
    default: return head + " " + good[0] + " " + good[1] + " 1e999";
    }
}

} // namespace

std::string_view fault_name(FaultKind kind)
{
    for (const auto& [k, name] : names)
        if (k == kind)
            return name;
    return "?";
}

Fault parse_fault(std::string_view text)
{
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    Fault fault;
    bool known = false;
    for (const auto& [k, n] : names) {
        if (n == name) {
            fault.kind = k;
            known = true;
        }
    }
    if (!known) {
        std::string all;
        for (const auto& [k, n] : names)
            all += (all.empty() ? "" : ", ") + std::string(n);
        throw FaultError("unknown fault '" + std::string(name) + "' (known: " + all + ")");
    }
    if (colon != std::string_view::npos) {
        const std::string every(text.substr(colon + 1));
        if (every.empty() || every.find_first_not_of("0123456789") != std::string::npos)
            throw FaultError("fault '" + std::string(text) + "': EVERY must be a positive integer");
        errno = 0;
        const unsigned long long v = std::strtoull(every.c_str(), nullptr, 10);
        if (errno == ERANGE || v == 0)
            throw FaultError("fault '" + std::string(text) + "': EVERY must be a positive integer");
        fault.every = static_cast<std::size_t>(v);
    }
    return fault;
}

std::optional<FaultKind> FaultPlan::fault_for(std::size_t n) const
{
    for (const Fault& f : faults_)
        if (n > 0 && n % f.every == 0)
            return f.kind;
    return std::nullopt;
}

Answer disturb(FaultKind kind, const std::optional<std::string>& text,
               std::chrono::milliseconds delay, std::uint64_t seed, std::size_t n)
{
    switch (kind) {
    case FaultKind::silent:
        return {};
    case FaultKind::garbage:
        return {Emission{delay, garbage_bytes(seed, n) + '\r'}};
    case FaultKind::unplug:
        return {Emission{std::chrono::milliseconds{0}, "", unplug_duration}};
    default:
        break;
    }
    if (!text)
        return {};
    const std::string& t = *text;
    switch (kind) {
    case FaultKind::wrong_first_byte:
        return {Emission{delay, (t.empty() ? std::string("x") : 'x' + t.substr(1)) + '\r'}};
    case FaultKind::partial:
        return {Emission{delay, t.substr(0, t.size() / 2 > 0 ? t.size() / 2 : t.size())}};
    case FaultKind::long_reply: {
        std::string padded = t + ' ';
        if (padded.size() < long_reply_length)
            padded.append(long_reply_length - padded.size(), 'z');
        else
            padded += 'z';
        return {Emission{delay, padded + '\r'}};
    }
    case FaultKind::split: {
        const std::string whole = t + '\r';
        Answer pieces;
        const std::size_t size = (whole.size() + split_pieces - 1) / split_pieces;
        for (std::size_t i = 0; i * size < whole.size(); ++i)
            pieces.emplace_back(delay + static_cast<long>(i) * split_pause, whole.substr(i * size, size));
        return pieces;
    }
    case FaultKind::nan:
        return {Emission{delay, with_unreadable_numbers(t, n) + '\r'}};
    case FaultKind::slow:
        return {Emission{delay + slow_answer_after, t + '\r'}};
    default:
        return {};
    }
}

} // namespace tevran::sim
