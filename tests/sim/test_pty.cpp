// The pseudo-terminal link: what a client sees when the simulated instrument is unplugged and
// plugged in again.
#include "pty_link.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace tevran::sim;

namespace {

struct TempDir {
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/tevran-pty-XXXXXX";
        path = ::mkdtemp(tmpl) ? tmpl : "";
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::string target_of(const std::string& link)
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n < 0 ? "" : std::string(buf, static_cast<std::size_t>(n));
}

// Writes `text` on one side and reads it on the other, waiting up to a second.
std::string pass(int from, int to, const std::string& text)
{
    EXPECT_EQ(::write(from, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    std::string got;
    while (got.size() < text.size()) {
        pollfd p{to, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break;
        char buf[64];
        const ssize_t n = ::read(to, buf, sizeof buf);
        if (n <= 0)
            break;
        got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

} // namespace

TEST(PtyLink, UnplugHangsUpTheClientLeavesTheLinkDanglingAndReplugServesANewTerminal)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const std::string link = dir.path + "/COM1";
    PtyLink pty(link);
    const std::string first = pty.device();
    EXPECT_EQ(target_of(link), first);

    const int client = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(client, 0);
    EXPECT_EQ(pass(client, pty.master(), "u6\r"), "u6\r");
    EXPECT_EQ(pass(pty.master(), client, "u6 1 2 3\r"), "u6 1 2 3\r");

    pty.unplug();
    EXPECT_FALSE(pty.plugged());
    EXPECT_EQ(pty.master(), -1);
    // The client holding the old terminal sees a hang-up, and reads fail or end.
    pollfd p{client, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    char byte;
    EXPECT_LE(::read(client, &byte, 1), 0);
    // The link is still there but names nothing, so reopening fails instead of finding
    // another terminal.
    struct stat st;
    EXPECT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_NE(::stat(link.c_str(), &st), 0);
    EXPECT_LT(::open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC), 0);

    pty.replug();
    EXPECT_TRUE(pty.plugged());
    EXPECT_NE(pty.device(), first); // the old one is still held by the client
    EXPECT_EQ(target_of(link), pty.device());
    const int again = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(again, 0);
    EXPECT_EQ(pass(again, pty.master(), "u6\r"), "u6\r");
    EXPECT_EQ(pass(pty.master(), again, "u6 4 5 6\r"), "u6 4 5 6\r");
    ::close(again);
    ::close(client);
}
