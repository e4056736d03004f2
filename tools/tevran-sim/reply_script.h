// A reply file: the answers to successive measurement requests, one per line.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tevran::sim {

// Raised for a line that cannot be decoded; what() starts with "line N: ".
struct ReplyScriptError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ReplyScript {
public:
    // Splits content at LF (a CR before the LF belongs to the line end).
    // A line of exactly "-" means "no answer"; other lines have their escapes
    // decoded. A final line without LF still counts; nothing after the last
    // LF is not a line.
    static ReplyScript parse(std::string_view content);

    // Reads and parses a file. Throws std::system_error if it cannot be read,
    // ReplyScriptError if a line is malformed.
    static ReplyScript load(const std::string& path);

    // Answer text (without the closing CR) to the measurement request with
    // the given 0-based index; nullopt for a "-" line and for every request
    // past the last line.
    std::optional<std::string> reply(std::size_t index) const;

    std::size_t size() const { return lines_.size(); }

private:
    std::vector<std::optional<std::string>> lines_;
};

} // namespace tevran::sim
