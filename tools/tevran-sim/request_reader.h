// Splits the received byte stream into requests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tevran::sim {

// A request is the bytes up to a CR. LF bytes are dropped wherever they
// appear, empty requests are skipped. A request growing past max_length
// without a CR is discarded up to its CR, so line noise cannot grow the
// buffer without bound.
class RequestReader {
public:
    explicit RequestReader(std::size_t max_length = 1024) : max_length_(max_length) {}

    // Feeds received bytes; returns the requests they complete, without CR.
    std::vector<std::string> feed(std::string_view bytes);

    // Number of requests discarded for being too long.
    std::size_t discarded() const { return discarded_; }

private:
    std::size_t max_length_;
    std::string pending_;
    bool overlong_ = false;
    std::size_t discarded_ = 0;
};

} // namespace tevran::sim
