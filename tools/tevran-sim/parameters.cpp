#include "parameters.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tevran::sim {

namespace {

// "<prefix><value %f>", sized to fit any double, '.' as decimal point.
std::string with_value(std::string_view prefix, double value)
{
    const int n = std::snprintf(nullptr, 0, "%f", value);
    std::vector<char> digits(static_cast<std::size_t>(n > 0 ? n : 0) + 1);
    std::snprintf(digits.data(), digits.size(), "%f", value);
    std::string out(prefix);
    out.append(digits.data());
    return out;
}

// Index of the parameter named by request[1], if it is a digit 0..4.
std::optional<std::size_t> parameter_index(std::string_view request)
{
    if (request.size() < 3 || request[2] != ' ')
        return std::nullopt;
    const char digit = request[1];
    if (digit < '0' || digit >= static_cast<char>('0' + ParameterStore::count))
        return std::nullopt;
    return static_cast<std::size_t>(digit - '0');
}

} // namespace

std::optional<std::string> ParameterStore::answer(std::string_view request)
{
    if (request == "R!R!")
        return std::string(request);

    const auto index = parameter_index(request);
    if (!index)
        return std::nullopt;

    if (request[0] == 'r' && request.size() == 3)
        return with_value(request.substr(0, 3), values_[*index]);

    if (request[0] == 'R') {
        const std::string text(request.substr(3)); // strtod needs a terminated string
        values_[*index] = std::strtod(text.c_str(), nullptr);
        return with_value(request.substr(0, 3), values_[*index]);
    }
    return std::nullopt;
}

} // namespace tevran::sim
