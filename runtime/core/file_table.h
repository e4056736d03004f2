#pragma once
// The table of open files behind the file handles, shared by the file operations
// (textfiles.cpp, line_reader.cpp) and the background sync of written files (file_sync.cpp).

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace rt::files {

constexpr int kMaxHandles = 64;
constexpr std::size_t kReadBufferSize = 256 * 1024;
constexpr std::size_t kNoBlock = ~std::size_t{0};
static_assert(kReadBufferSize % 64 == 0, "line-end blocks must not reach beyond the buffer");

// The read buffer is page-aligned: the kernel copies into an aligned buffer fastest.
constexpr std::align_val_t kBufferAlignment{4096};
struct BufferDelete {
    void operator()(char* p) const { ::operator delete[](p, kBufferAlignment); }
};

struct FileSlot {
    std::atomic<bool> open{false};
    int fd = -1;
    bool text = false;
    bool canRead = false;
    bool canWrite = false;
    // Replace handles: the temporary file is renamed over `finalPath` at close, unless a write
    // on the handle failed.
    bool replace = false;
    bool writeFailed = false;
    // Rewritten in place (no room for a temporary file beside it): cut to the text at close.
    bool trimAtClose = false;
    // Written since the last sync: set by the writer, cleared by the syncer just before it syncs.
    // `dirtySince` is the steady-clock time [ns] of the first write not yet synced.
    std::atomic<bool> dirty{false};
    std::atomic<std::int64_t> dirtySince{0};
    std::int64_t lastSync = 0;  // steady-clock time [ns] of the last sync; under the table mutex
    bool written = false;       // anything written at all: CloseFile syncs
    std::string finalPath;
    std::string tempPath;
    // The path a file opened for writing was opened by (the system's encoding).
    std::string path;
    // Read-ahead: bytes [pos, end) of `buffer` are the next bytes of the file.
    std::unique_ptr<char[], BufferDelete> buffer;
    std::size_t pos = 0;
    std::size_t end = 0;
    // Line ends of the 64-byte block of the buffer starting at `lfBase` (a multiple of 64), one
    // bit per byte, only below `end`. kNoBlock when not known.
    std::size_t lfBase = kNoBlock;
    std::uint64_t lfMask = 0;
    // Set by a seek: the next read-ahead is short, since a reader that seeks mostly wants a line
    // or two where it lands, not the whole buffer.
    bool seeked = false;
};

struct FileTable {
    std::mutex mutex;  // guards opening and closing; a handle is used by one thread at a time
    FileSlot slots[kMaxHandles];
};

extern FileTable g_table;

// The open slot of a handle, or null.
inline FileSlot* slotFor(int handle) {
    if (handle < 1 || handle > kMaxHandles) return nullptr;
    FileSlot& s = g_table.slots[handle - 1];
    return s.open.load(std::memory_order_acquire) ? &s : nullptr;
}

// The text fileErrorText() gives, for this thread.
void setError(const char* text);
void setErrno(int err);

// The open slot of a handle that may be read (written), for an operation whose other arguments
// are good (`argsOk`); otherwise null, with EBADF's text as the error.
inline FileSlot* usableSlot(int handle, bool FileSlot::*may, bool argsOk) {
    FileSlot* s = slotFor(handle);
    if (s != nullptr && s->*may && argsOk) return s;
    setErrno(EBADF);
    return nullptr;
}
inline FileSlot* readableSlot(int handle, bool argsOk = true) {
    return usableSlot(handle, &FileSlot::canRead, argsOk);
}
inline FileSlot* writableSlot(int handle, bool argsOk = true) {
    return usableSlot(handle, &FileSlot::canWrite, argsOk);
}

// The steady clock [ns].
std::int64_t steadyNow();

// Marks a file written: its data are synced to the disk within a second (files replaced as a
// whole are synced when they are closed).
void noteWritten(FileSlot& s);
// Syncs a written file as it is closed; called under the table mutex.
void syncOnClose(FileSlot& s);

// The directory part of a path: "." for a bare name, "/" for a file in the root.
std::string directoryOf(const std::string& path);

}  // namespace rt::files
