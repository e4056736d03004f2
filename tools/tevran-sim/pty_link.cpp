#include "pty_link.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tevran::sim {

namespace {

void set_cloexec(int fd, const char* what)
{
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags < 0 || ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) < 0)
        throw system_failure(what);
}

void set_nonblocking(int fd, const char* what)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        throw system_failure(what);
}

// Raw 8N1 at 9600 baud: no echo, no CR/NL translation, no signals, byte-wise reads.
void make_raw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) < 0)
        throw system_failure("tcgetattr");
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    if (::tcsetattr(fd, TCSANOW, &t) < 0)
        throw system_failure("tcsetattr");
}

} // namespace

PtyLink::PtyLink(std::string link)
    : link_(std::move(link))
{
    open_terminal();
    point_link_at(device_);
    linked_ = true;
}

void PtyLink::open_terminal()
{
    master_ = Fd(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master_)
        throw system_failure("posix_openpt");
    set_cloexec(master_.get(), "fcntl(master)");
    if (::grantpt(master_.get()) < 0)
        throw system_failure("grantpt");
    if (::unlockpt(master_.get()) < 0)
        throw system_failure("unlockpt");

    char name[PATH_MAX];
    if (const int err = ::ptsname_r(master_.get(), name, sizeof name); err != 0) {
        errno = err;
        throw system_failure("ptsname_r");
    }
    device_ = name;

    slave_ = Fd(::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave_)
        throw system_failure("open " + device_);
    make_raw(slave_.get());
    set_nonblocking(master_.get(), "fcntl(master)");
}

// Replaces whatever is at link_ by a link to `target` in one rename, so a client
// never finds the path missing.
void PtyLink::point_link_at(const std::string& target)
{
    const std::string tmp = link_ + ".tmp";
    if (::unlink(tmp.c_str()) < 0 && errno != ENOENT)
        throw system_failure("unlink " + tmp);
    if (::symlink(target.c_str(), tmp.c_str()) < 0)
        throw system_failure("symlink " + tmp);
    if (::rename(tmp.c_str(), link_.c_str()) < 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        errno = err;
        throw system_failure("rename " + tmp + " to " + link_);
    }
}

void PtyLink::unplug()
{
    if (!plugged())
        return;
    // The link first: a client that reopens at once must not reach the old
    // terminal, nor another program's terminal that gets its number next.
    const std::string gone = device_ + "-unplugged";
    point_link_at(gone);
    device_ = gone;
    slave_.reset();
    master_.reset();
}

void PtyLink::replug()
{
    if (plugged())
        return;
    open_terminal();
    point_link_at(device_);
}

PtyLink::~PtyLink()
{
    if (!linked_)
        return;
    // Only remove the link if nobody has replaced it meanwhile.
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
    if (n >= 0 && std::string(target, static_cast<std::size_t>(n)) == device_)
        ::unlink(link_.c_str());
}

} // namespace tevran::sim
