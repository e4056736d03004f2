// Decoding of the backslash escapes accepted in reply texts (--fixed, --replies).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tevran::sim {

// Raised for a malformed escape; what() says which one.
struct EscapeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Replaces \r \n \t \\ and \xHH (exactly two hex digits) by the bytes they
// stand for; every other character is copied unchanged. Any other escape and
// a trailing lone backslash raise EscapeError.
std::string decode_escapes(std::string_view text);

} // namespace tevran::sim
