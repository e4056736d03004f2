// Reading files: ReadLine, SkipLines and ScanFile through a fixed per-handle buffer, searched
// for line ends 64 bytes at a time, so that ReadLine costs a few instructions and one memcpy per
// line and its memory never grows with the file. The handles are opened in textfiles.cpp.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "runtime/core/file_table.h"
#include "runtime/textfiles.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace rt::files;

namespace {

// ScanFile sees at most this much of the rest of the file.
constexpr std::size_t kScanWindow = 64 * 1024;

// Reads more of the file into the free part of the buffer; returns the bytes read, 0 at the
// end of the file, -1 on an error.
constexpr std::size_t kSeekReadAhead = 16 * 1024;  // the first read-ahead after a seek [bytes]

ssize_t fill(FileSlot& s) {
    if (s.pos == s.end) s.pos = s.end = 0;
    s.lfBase = kNoBlock;
    for (;;) {
        std::size_t want = kReadBufferSize - s.end;
        if (s.seeked) want = std::min(want, kSeekReadAhead);
        const ssize_t n = ::read(s.fd, s.buffer.get() + s.end, want);
        s.seeked = false;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) setErrno(errno);
        if (n > 0) s.end += static_cast<std::size_t>(n);
        return n;
    }
}

// Bit i set: byte i of the 64 bytes at `p` is a LF.
inline std::uint64_t lineEndBits(const char* p) {
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const auto part = [&](int k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        return static_cast<std::uint64_t>(
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf))));
    };
    return part(0) | part(1) << 16 | part(2) << 32 | part(3) << 48;
#else
    std::uint64_t bits = 0;
    for (int k = 0; k < 64; ++k) bits |= static_cast<std::uint64_t>(p[k] == '\n') << k;
    return bits;
#endif
}

// Line ends of the block at `base`, limited to the filled part of the buffer.
inline std::uint64_t blockBits(const char* data, std::size_t base, std::size_t end) {
    std::uint64_t bits = lineEndBits(data + base);
    if (end - base < 64) bits &= (std::uint64_t{1} << (end - base)) - 1;
    return bits;
}

// Position of the first LF in [from, end) of the buffer, or `end` when there is none. The buffer
// is searched 64 bytes at a time, and the block last searched is kept for the next line, so a
// short line costs a few instructions rather than a memchr call.
inline std::size_t findLineEnd(FileSlot& s, std::size_t from) {
    const char* data = s.buffer.get();
    std::size_t base = from & ~std::size_t{63};
    std::uint64_t bits = base == s.lfBase ? s.lfMask : blockBits(data, base, s.end);
    bits &= ~std::uint64_t{0} << (from - base);
    while (bits == 0) {
        base += 64;
        if (base >= s.end) {
            s.lfBase = kNoBlock;
            return s.end;
        }
        bits = blockBits(data, base, s.end);
    }
    s.lfBase = base;
    s.lfMask = bits;
    return base + static_cast<std::size_t>(__builtin_ctzll(bits));
}

// ReadLine when the line is not wholly in the buffer, and its error cases.
int readLineSlow(int handle, char* buf, int maxChars) {
    FileSlot* s = readableSlot(handle, buf != nullptr && maxChars >= 0);
    if (s == nullptr) return -1;
    const std::size_t room = static_cast<std::size_t>(maxChars);
    // The line continues beyond the buffer: take it piece by piece.
    std::size_t stored = 0;
    std::size_t lineLength = 0;  // all bytes of the line before the LF, CR included
    char last = '\0';            // the last of those bytes
    for (;;) {
        if (s->pos == s->end) {
            const ssize_t n = fill(*s);
            if (n < 0) return -1;
            if (n == 0) {
                if (lineLength == 0) return -2;
                break;  // a last line without a line end
            }
        }
        const char* start = s->buffer.get() + s->pos;
        const std::size_t lf = findLineEnd(*s, s->pos);
        const std::size_t segment = lf - s->pos;
        if (stored < room) {
            const std::size_t n = std::min(segment, room - stored);
            std::memcpy(buf + stored, start, n);
            stored += n;
        }
        if (segment > 0) last = start[segment - 1];
        lineLength += segment;
        if (lf < s->end) {
            s->pos = lf + 1;
            // CR LF: the CR belongs to the line end. When the line was cut, it was not stored.
            if (last == '\r' && stored == lineLength) --stored;
            break;
        }
        s->pos = s->end;
    }
    buf[stored] = '\0';
    return static_cast<int>(stored);
}

}  // namespace

int ReadLine(int handle, char* buf, int maxChars) {
    // The common case, kept short: the whole line, with its end, is in the buffer. The state is
    // read into locals once and written back once.
    const unsigned index = static_cast<unsigned>(handle) - 1u;
    if (index < static_cast<unsigned>(kMaxHandles) && buf != nullptr && maxChars >= 0) {
        FileSlot& s = g_table.slots[index];
        if (s.open.load(std::memory_order_acquire) && s.canRead && s.pos < s.end) {
            const char* data = s.buffer.get();
            const std::size_t pos = s.pos;
            const std::size_t end = s.end;
            std::size_t base = pos & ~std::size_t{63};
            std::uint64_t bits = base == s.lfBase ? s.lfMask : blockBits(data, base, end);
            bits &= ~std::uint64_t{0} << (pos - base);
            while (bits == 0 && base + 64 < end) {
                base += 64;
                bits = blockBits(data, base, end);
            }
            if (bits != 0) {
                const std::size_t lf = base + static_cast<std::size_t>(__builtin_ctzll(bits));
                std::size_t n = lf - pos;
                if (n > 0 && data[lf - 1] == '\r') --n;  // CR LF
                if (n > static_cast<std::size_t>(maxChars)) n = static_cast<std::size_t>(maxChars);
                std::memcpy(buf, data + pos, n);
                buf[n] = '\0';
                s.pos = lf + 1;
                s.lfBase = base;
                s.lfMask = bits;
                return static_cast<int>(n);
            }
        }
    }
    return readLineSlow(handle, buf, maxChars);
}

namespace {

// SkipLines counts line ends a chunk at a time while the line it looks for lies beyond the chunk.
constexpr std::size_t kCountChunk = 1024;
static_assert(kReadBufferSize % kCountChunk == 0, "chunks must not reach beyond the buffer");

// Number of LF bytes in the kCountChunk bytes at `p` (64-byte aligned).
inline int lineEndsInChunk(const char* p) {
#if defined(__SSE2__)
    // Each compare gives -1 per LF; subtracting it counts per byte lane. Four accumulators keep
    // the loads independent; each lane reaches at most 16, the sum at most 64.
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(),
                      _mm_setzero_si128()};
    for (std::size_t k = 0; k < kCountChunk; k += 64)
        for (int j = 0; j < 4; ++j) {
            const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(p + k + 16 * j));
            acc[j] = _mm_sub_epi8(acc[j], _mm_cmpeq_epi8(v, lf));
        }
    const __m128i all = _mm_add_epi8(_mm_add_epi8(acc[0], acc[1]), _mm_add_epi8(acc[2], acc[3]));
    const __m128i sums = _mm_sad_epu8(all, _mm_setzero_si128());
    return _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
#else
    int n = 0;
    for (std::size_t k = 0; k < kCountChunk; ++k) n += p[k] == '\n';
    return n;
#endif
}

}  // namespace

int SkipLines(int handle, int count) {
    FileSlot* s = readableSlot(handle, count >= 0);
    if (s == nullptr) return -1;
    // The viewer skips thousands of lines per point: line ends are counted a chunk at a time,
    // and only the block holding the last one wanted is searched bit by bit.
    int need = count;
    bool partial = false;  // bytes of a line whose end has not been seen yet
    while (need > 0) {
        if (s->pos == s->end) {
            const ssize_t n = fill(*s);
            if (n < 0) return -1;
            if (n == 0) return count - need + (partial ? 1 : 0);  // a last line without an end
        }
        const char* data = s->buffer.get();
        const std::size_t end = s->end;
        std::size_t base = s->pos & ~std::size_t{63};
        std::uint64_t bits = blockBits(data, base, end) & (~std::uint64_t{0} << (s->pos - base));
        for (;;) {
            const int found = __builtin_popcountll(bits);
            if (found >= need) break;
            need -= found;
            base += 64;
            while (base % kCountChunk == 0 && base + kCountChunk <= end) {
                const int inChunk = lineEndsInChunk(data + base);
                if (inChunk >= need) break;
                need -= inChunk;
                base += kCountChunk;
            }
            if (base >= end) break;
            bits = blockBits(data, base, end);
        }
        if (base >= end) {
            // The buffer is used up before the line wanted: it ends inside a line unless its
            // last byte is a line end.
            partial = data[end - 1] != '\n';
            s->pos = end;
            continue;
        }
        for (int k = 1; k < need; ++k) bits &= bits - 1;  // drop the line ends before the last
        s->pos = base + static_cast<std::size_t>(__builtin_ctzll(bits)) + 1;
        need = 0;
    }
    s->lfBase = kNoBlock;
    return count;
}

namespace rt {

int scanFromFile(int handle, const char* format, std::initializer_list<ScanArg> args) {
    FileSlot* s = readableSlot(handle);
    if (s == nullptr) return -1;
    // Bring up to kScanWindow bytes of the rest of the file into the buffer, in one piece.
    if (s->end - s->pos < kScanWindow) {
        if (s->pos > 0) {
            std::memmove(s->buffer.get(), s->buffer.get() + s->pos, s->end - s->pos);
            s->end -= s->pos;
            s->pos = 0;
            s->lfBase = kNoBlock;
        }
        while (s->end < kScanWindow) {
            const ssize_t n = fill(*s);
            if (n < 0) return -1;
            if (n == 0) break;
        }
    }
    const std::size_t length = std::min(s->end - s->pos, kScanWindow);
    std::size_t consumed = 0;
    const int result = scanTextAt(s->buffer.get() + s->pos, length, &consumed, format, args);
    s->pos += consumed;
    return result;
}

}  // namespace rt

long ReadFile(int handle, char* buf, long count) {
    FileSlot* s = readableSlot(handle, buf != nullptr && count >= 0);
    if (s == nullptr) return -1;
    // What the read-ahead holds first, then straight from the file.
    std::size_t done = std::min(static_cast<std::size_t>(count), s->end - s->pos);
    std::memcpy(buf, s->buffer.get() + s->pos, done);
    s->pos += done;
    while (done < static_cast<std::size_t>(count)) {
        const ssize_t n = ::read(s->fd, buf + done, static_cast<std::size_t>(count) - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            setErrno(errno);
            return done > 0 ? static_cast<long>(done) : -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

int SetFilePtr(int handle, long offset) {
    FileSlot* s = readableSlot(handle, offset >= 0);
    if (s == nullptr) return -1;
    if (::lseek(s->fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        setErrno(errno);
        return -1;
    }
    s->pos = s->end = 0;
    s->lfBase = kNoBlock;
    s->seeked = true;
    return 0;
}
