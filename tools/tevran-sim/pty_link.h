// The pseudo-terminal the simulated instrument is reached through.
#pragma once

#include "fd.h"

#include <string>

namespace tevran::sim {

// Opens a pseudo-terminal, puts its terminal side in raw mode and makes
// `link` a symbolic link to the terminal device (replacing whatever was at
// `link` in one rename). A descriptor of the terminal side is kept open for
// the whole run, so the master never reads EIO/hangup while no client has the
// device open.
// All descriptors are close-on-exec. The destructor removes the link if it
// still points to our device. Construction throws std::system_error.
class PtyLink {
public:
    explicit PtyLink(std::string link);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    int master() const { return master_.get(); }
    const std::string& device() const { return device_; }
    const std::string& link() const { return link_; }

private:
    std::string link_;
    std::string device_;
    Fd master_;
    Fd slave_;
    bool linked_ = false;
};

} // namespace tevran::sim
