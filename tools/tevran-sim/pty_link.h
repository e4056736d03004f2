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
//
// unplug() imitates a USB adapter pulled out: the terminal is closed, so a
// client holding it open gets a hang-up, and the link is left dangling (it
// names a device that does not exist), like a link to an adapter's
// /dev/serial/by-id entry. replug() opens a new terminal, usually under another
// /dev/pts/N, and points the link at it again.
class PtyLink {
public:
    explicit PtyLink(std::string link);
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    void unplug();
    void replug();
    bool plugged() const { return static_cast<bool>(master_); }

    // The master side; -1 while unplugged.
    int master() const { return master_.get(); }
    const std::string& device() const { return device_; }
    const std::string& link() const { return link_; }

private:
    void open_terminal();
    void point_link_at(const std::string& target);

    std::string link_;
    std::string device_;
    Fd master_;
    Fd slave_;
    bool linked_ = false;
};

} // namespace tevran::sim
