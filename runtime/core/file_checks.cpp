// Checks before a file is opened or replaced.
#include "runtime/core/file_checks.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "runtime/core/file_table.h"

namespace rt::files {

namespace {

// The reason a file of this kind is refused; "" for a regular file, and for a device when
// devices are allowed.
const char* refused(mode_t mode, bool allowDevices) {
    if (S_ISREG(mode)) return "";
    if (allowDevices && (S_ISCHR(mode) || S_ISBLK(mode))) return "";
    if (S_ISDIR(mode)) return "Is a directory";
    if (S_ISFIFO(mode)) return "Is a named pipe (FIFO), not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "Is a device, not a file";
    if (S_ISSOCK(mode)) return "Is a socket, not a file";
    return "Is not a regular file";
}

}  // namespace

int openRegular(const std::string& path, int flags, bool allowDevices) {
    // Look first, so that a FIFO or a device is never opened at all; then open without waiting
    // and look again at what was opened, in case the name changed meanwhile.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && *refused(st.st_mode, allowDevices) != '\0') {
        setError(refused(st.st_mode, allowDevices));
        return -1;
    }
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        setErrno(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        setErrno(errno);
        ::close(fd);
        return -1;
    }
    if (*refused(st.st_mode, allowDevices) != '\0') {
        setError(refused(st.st_mode, allowDevices));
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

namespace {

// A recording holds two locks: the writer's lock (flock) that every writer honours, and a record
// lock over the whole file (open file description lock) that only this program takes, so that a
// file held by another program (the flock tool, say) can be told from one being recorded.
struct flock wholeFile(short type) {
    struct flock lk {};
    lk.l_type = type;
    lk.l_whence = SEEK_SET;
    return lk;  // l_start 0, l_len 0: the whole file, however long it grows
}

// Whose lock stops a writer of the file open at `fd`, once its writer's lock was found taken.
Writer holderOf(int fd) {
    struct flock lk = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &lk) == 0 && lk.l_type != F_UNLCK) return Writer::Recording;
    return Writer::OtherProgram;
}

}  // namespace

bool lockForWriting(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        // Only a lock held elsewhere refuses the file; a file system without locks does not.
        if (errno != EWOULDBLOCK) return true;
        setError(holderOf(fd) == Writer::Recording
                     ? "The file is being written by another recording"
                     : "Another program holds the file (it has locked it)");
        return false;
    }
    // The recording's mark; a file system without record locks simply carries none.
    struct flock lk = wholeFile(F_WRLCK);
    ::fcntl(fd, F_OFD_SETLK, &lk);
    return true;
}

Writer writerOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Writer::None;
    struct stat st;
    Writer writer = Writer::None;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        int r;
        while ((r = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (r != 0 && errno == EWOULDBLOCK) writer = holderOf(fd);
    }
    ::close(fd);  // also drops the lock this probe took
    return writer;
}

std::string replaceTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) return current;  // not a link (or unreadable): this is the file
        std::string next(target, static_cast<std::size_t>(n));
        if (next.front() != '/') {
            const std::string dir = directoryOf(current);
            next = (dir == "/" ? "" : dir) + "/" + next;
        }
        current = next;
    }
    return current;  // a loop of links: the open will report it
}

bool mayWrite(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return true;  // missing: it will be created
    if (::access(path.c_str(), W_OK) != 0) {
        setErrno(errno);
        return false;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        setError("The file is read-only");
        return false;
    }
    return true;
}

}  // namespace rt::files
