#include "request_reader.h"

namespace tevran::sim {

std::vector<std::string> RequestReader::feed(std::string_view bytes)
{
    std::vector<std::string> complete;
    for (const char c : bytes) {
        if (c == '\n')
            continue;
        if (c == '\r') {
            if (overlong_)
                ++discarded_;
            else if (!pending_.empty())
                complete.push_back(pending_);
            pending_.clear();
            overlong_ = false;
            continue;
        }
        if (overlong_)
            continue;
        if (pending_.size() >= max_length_) {
            pending_.clear();
            overlong_ = true;
            continue;
        }
        pending_.push_back(c);
    }
    return complete;
}

} // namespace tevran::sim
