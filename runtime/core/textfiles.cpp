// Files of the program: handles over POSIX descriptors (file_table.h), text-mode line ends,
// unbuffered formatted writes and replacing a file as a whole. Reading is in line_reader.cpp.
//
// Writes are never buffered here: each FmtFile text reaches the kernel in one write(), so a
// process killed at any moment leaves every completed text whole on disk. A text that does not
// fit (a full disk) is taken back off the end of the file, so no torn line stays behind. What is
// written is synced to the disk in the background (file_sync.cpp).
#include "runtime/textfiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "runtime/core/file_checks.h"
#include "runtime/core/file_table.h"
#include "runtime/core/system_paths.h"

namespace rt::files {

// Constant-initialized: usable from any static initializer, and no guard on each access.
// (clang 14 cannot evaluate libstdc++ 12's std::string constructor at compile time; there it
// is initialized before main like any other global, which the fuzz build is content with.)
#if defined(__clang__)
FileTable g_table;
#else
constinit FileTable g_table;
#endif

namespace {
thread_local char g_errorText[8192] = "";  // room for a sentence naming a whole path
}  // namespace

void setError(const char* text) { rt::copyBounded(g_errorText, sizeof g_errorText, text); }
void setErrno(int err) { setError(std::strerror(err)); }

}  // namespace rt::files

using namespace rt::files;

namespace {

// Takes a free slot and fills it; returns the handle or -1 when the table is full. A non-empty
// `finalPath` makes it a replace handle writing to `tempPath`.
int claimSlot(int fd, bool text, bool canRead, bool canWrite, std::string finalPath = {},
              std::string tempPath = {}) {
    FileTable& t = g_table;
    std::lock_guard lock(t.mutex);
    for (int i = 0; i < kMaxHandles; ++i) {
        FileSlot& s = t.slots[i];
        if (s.open.load(std::memory_order_relaxed)) continue;
        s.fd = fd;
        s.text = text;
        s.canRead = canRead;
        s.canWrite = canWrite;
        s.replace = !finalPath.empty();
        s.writeFailed = false;
        s.trimAtClose = false;
        s.dirty.store(false);
        s.lastSync = 0;
        s.written = false;
        s.finalPath = std::move(finalPath);
        s.tempPath = std::move(tempPath);
        s.path.clear();
        char* buffer = nullptr;
        if (canRead) {
            buffer = static_cast<char*>(
                ::operator new[](kReadBufferSize, kBufferAlignment, std::nothrow));
            if (buffer == nullptr) {
                setErrno(ENOMEM);
                return -1;
            }
            std::memset(buffer, 0, kReadBufferSize);  // the line-end search may look past `end`
        }
        s.buffer.reset(buffer);
        s.pos = s.end = 0;
        s.lfBase = kNoBlock;
        s.open.store(true, std::memory_order_release);
        return i + 1;
    }
    setError("too many open files");
    return -1;
}

// Writes all of `data`, continuing after partial writes and interruptions. `done` tells how
// much went out, also when the write failed part-way.
bool writeAll(int fd, const char* data, std::size_t size, std::size_t& done) {
    done = 0;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            setErrno(errno);
            return false;
        }
        if (n == 0) {
            setErrno(ENOSPC);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A text that went out only in part is taken back when it ends the file, so the file ends with
// the last whole text (a full disk must not leave a torn line for the next one to follow). A
// text written into the middle of a file is left as it is.
void takeBackPartial(int fd, std::size_t done) {
    if (done == 0) return;
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    struct stat st;
    if (end < 0 || ::fstat(fd, &st) != 0 || st.st_size != end) return;
    const off_t start = end - static_cast<off_t>(done);
    if (::ftruncate(fd, start) == 0) ::lseek(fd, start, SEEK_SET);
}

// Mode for a new file: what open(..., 0666) would give under the process umask. The umask is
// read from /proc rather than with umask(), which would change it for other threads meanwhile.
mode_t newFileMode() {
    mode_t mask = 022;
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            unsigned value;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(f);
    }
    return 0666 & ~mask;
}

}  // namespace

int OpenFile(const char* path, int action, int mode, int type) {
    if (path == nullptr || *path == '\0') {
        setErrno(ENOENT);
        return -1;
    }
    int flags = 0;
    bool canRead = false;
    bool canWrite = false;
    switch (action) {
        case VAL_READ_WRITE:
            flags |= O_RDWR;
            canRead = canWrite = true;
            break;
        case VAL_READ_ONLY:
            flags |= O_RDONLY;
            canRead = true;
            break;
        case VAL_WRITE_ONLY:
            flags |= O_WRONLY;
            canWrite = true;
            break;
        default:
            setErrno(EINVAL);
            return -1;
    }
    if (mode != VAL_TRUNCATE && mode != VAL_APPEND && mode != VAL_OPEN_AS_IS) {
        setErrno(EINVAL);
        return -1;
    }
    if (type != VAL_ASCII && type != VAL_BINARY) {
        setErrno(EINVAL);
        return -1;
    }
    // A file opened only for reading is never created or emptied, whatever the mode.
    if (canWrite) {
        flags |= O_CREAT;
        if (mode == VAL_APPEND) flags |= O_APPEND;
    }
    const int fd = openRegular(rt::systemPath(path), flags, canWrite);
    if (fd < 0) return -1;
    // A file being written elsewhere is refused before anything of it is touched; only then is
    // it emptied.
    if (canWrite && !lockForWriting(fd)) {
        ::close(fd);
        return FILE_IN_USE;
    }
    struct stat st;
    if (canWrite && mode == VAL_TRUNCATE && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        ::ftruncate(fd, 0) != 0) {
        setErrno(errno);
        ::close(fd);
        return -1;
    }
    if (canRead) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    const int handle = claimSlot(fd, type == VAL_ASCII, canRead, canWrite);
    if (handle < 0) {
        ::close(fd);
        return handle;
    }
    if (canWrite) g_table.slots[handle - 1].path = rt::systemPath(path);
    return handle;
}

int FileInUse(const char* path) {
    if (path == nullptr) return 0;
    switch (writerOf(rt::systemPath(path))) {
        case Writer::Recording:
            return FILE_HELD_BY_RECORDING;
        case Writer::OtherProgram:
            return FILE_HELD_BY_OTHER_PROGRAM;
        default:
            return 0;
    }
}

int DiscardFile(int handle) {
    std::string path;
    struct stat opened {};
    {
        FileSlot* s = writableSlot(handle);
        if (s == nullptr) return -1;
        path = s->path;
        ::fstat(s->fd, &opened);
        // Emptied first, so that nothing of it stays should the name be gone or taken.
        if (::ftruncate(s->fd, 0) == 0) ::lseek(s->fd, 0, SEEK_SET);
    }
    struct stat named;
    if (!path.empty() && ::stat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode) &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        ::unlink(path.c_str());
    return CloseFile(handle);
}

int FileUnlinked(int handle) {
    FileSlot* s = slotFor(handle);
    struct stat st;
    if (s == nullptr || ::fstat(s->fd, &st) != 0) return -1;
    return st.st_nlink == 0 ? 1 : 0;
}

int RecreateFile(int handle, const char* path) {
    FileSlot* s = writableSlot(handle, path != nullptr && *path != '\0');
    if (s == nullptr) return -1;
    const std::string target = rt::systemPath(path);
    // Never over a file that is there: only a name that is free is taken.
    const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        setErrno(errno);
        return -1;
    }
    // Everything written so far, copied from the open file as it stands.
    bool ok = true;
    char chunk[64 * 1024];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(s->fd, chunk, sizeof chunk, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) setErrno(errno);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        std::size_t done = 0;
        if (!writeAll(fd, chunk, static_cast<std::size_t>(n), done)) {
            ok = false;
            break;
        }
        at += n;
    }
    if (!ok || !lockForWriting(fd)) {
        ::close(fd);
        ::unlink(target.c_str());
        return -1;
    }
    {
        std::lock_guard lock(g_table.mutex);
        ::close(s->fd);
        s->fd = fd;
        s->pos = s->end = 0;
        s->lfBase = kNoBlock;
        s->path = target;
    }
    noteWritten(*s);
    return 0;
}

int OpenFileForReplace(const char* path, int type) {
    if (path == nullptr || *path == '\0') {
        setErrno(ENOENT);
        return -1;
    }
    if (type != VAL_ASCII && type != VAL_BINARY) {
        setErrno(EINVAL);
        return -1;
    }
    // Through symbolic links to the file itself: the link stays, its target gets the text.
    const std::string target = replaceTarget(rt::systemPath(path));
    if (!mayWrite(target)) return -1;
    std::string temp = target + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // A directory that cannot take a temporary file: an existing file that may be written
        // is rewritten in place instead.
        struct stat st;
        if (::stat(target.c_str(), &st) == 0) {
            const int in = openRegular(target, O_WRONLY, false);
            if (in < 0) return -1;
            const int handle = claimSlot(in, type == VAL_ASCII, false, true);
            if (handle < 0) {
                ::close(in);
                return -1;
            }
            g_table.slots[handle - 1].trimAtClose = true;
            return handle;
        }
        setErrno(err);
        return -1;
    }
    // The new version keeps the permissions of the old one (mkostemp creates it 0600).
    struct stat st;
    const mode_t perms = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
    ::fchmod(fd, perms);
    const int handle = claimSlot(fd, type == VAL_ASCII, false, true, target, temp);
    if (handle < 0) {
        ::close(fd);
        ::unlink(temp.c_str());
    }
    return handle;
}

int CloseFile(int handle) {
    FileTable& t = g_table;
    std::lock_guard lock(t.mutex);
    FileSlot* s = slotFor(handle);
    if (s == nullptr) {
        setErrno(EBADF);
        return -1;
    }
    bool ok = true;
    syncOnClose(*s);
    if (s->trimAtClose) {
        // Rewritten in place: what lay beyond the new text goes, and the text reaches the disk.
        const off_t end = ::lseek(s->fd, 0, SEEK_CUR);
        if (s->writeFailed || end < 0 || ::ftruncate(s->fd, end) != 0 || ::fsync(s->fd) != 0) {
            if (!s->writeFailed) setErrno(errno);
            ok = false;
        }
    }
    if (s->replace) {
        if (s->writeFailed) {
            ok = false;
        } else if (::fsync(s->fd) != 0) {
            setErrno(errno);
            ok = false;
        }
    }
    // The writer's lock goes with the handle, also while the background sync still holds a
    // duplicate of the descriptor.
    if (s->canWrite) ::flock(s->fd, LOCK_UN);
    if (::close(s->fd) != 0) {
        setErrno(errno);
        ok = false;
    }
    if (s->replace) {
        if (ok && ::rename(s->tempPath.c_str(), s->finalPath.c_str()) != 0) {
            setErrno(errno);
            ok = false;
        }
        if (ok) {
            // Make the rename itself durable. The replace has happened whatever this reports.
            const int dir =
                ::open(directoryOf(s->finalPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
        } else {
            ::unlink(s->tempPath.c_str());
        }
    }
    s->fd = -1;
    s->trimAtClose = false;
    s->buffer.reset();
    s->open.store(false, std::memory_order_release);
    return ok ? 0 : -1;
}

int DeleteFile(const char* path) {
    if (path == nullptr || ::unlink(rt::systemPath(path).c_str()) == 0 || errno == ENOENT) return 0;
    setErrno(errno);
    return -1;
}

int GetFileInfo(const char* path, long* size) {
    struct stat st;
    const bool exists = path != nullptr && ::stat(rt::systemPath(path).c_str(), &st) == 0;
    if (size != nullptr) *size = exists ? static_cast<long>(st.st_size) : 0;
    return exists ? 1 : 0;
}

const char* fileErrorText() { return rt::files::g_errorText; }

namespace rt {

int formatToFile(int handle, const char* format, std::initializer_list<FmtArg> args) {
    FileSlot* s = writableSlot(handle);
    if (s == nullptr) return -1;
    std::string text;
    if (formatText(text, format, args) < 0) {
        setError("malformed format");
        s->writeFailed = true;
        return -1;
    }
    if (s->text) {
        std::string converted;
        converted.reserve(text.size() + text.size() / 16 + 8);
        for (char c : text) {
            if (c == '\n') converted.push_back('\r');
            converted.push_back(c);
        }
        text.swap(converted);
    }
    // Bytes read ahead but not yet consumed: step back so the text goes where reading stood.
    if (s->canRead && s->end > s->pos) {
        ::lseek(s->fd, -static_cast<off_t>(s->end - s->pos), SEEK_CUR);
        s->pos = s->end = 0;
        s->lfBase = kNoBlock;
    }
    std::size_t done = 0;
    const bool ok = writeAll(s->fd, text.data(), text.size(), done);
    if (!ok) takeBackPartial(s->fd, done);
    if (ok || done > 0) noteWritten(*s);
    if (!ok) {
        s->writeFailed = true;
        return -1;
    }
    return static_cast<int>(text.size());
}

}  // namespace rt
