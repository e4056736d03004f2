// The instrument's five stored parameters and the requests that read and write them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tevran::sim {

class ParameterStore {
public:
    static constexpr std::size_t count = 5;
    using Values = std::array<double, count>;

    static Values defaults() { return {1.5, 20.0, 0.25, 650.0, 0.8}; }

    explicit ParameterStore(Values initial = defaults()) : values_(initial) {}

    // Answer (without the closing CR) to a request (without its CR):
    //   "rN "    -> "rN <value %f>"           read parameter N (0..4)
    //   "RN v"   -> "RN <stored value %f>"    store strtod(v) as parameter N
    //   "R!R!"   -> "R!R!"                    acknowledge
    // nullopt when the request is none of these.
    std::optional<std::string> answer(std::string_view request);

    double value(std::size_t index) const { return values_.at(index); }

private:
    Values values_;
};

} // namespace tevran::sim
