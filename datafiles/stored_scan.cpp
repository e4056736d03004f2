// The stored file's index and the reading of a time range.
#include "datafiles/stored_scan.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <future>
#include <limits>
#include <system_error>
#include <thread>

#include "datafiles/data_line.h"
#include "datafiles/viewer.h"
#include "runtime/textfiles.h"

namespace {
constexpr int kMaxPoints = 999;
constexpr int kLineChars = 150;
constexpr int kLineBuffer = 200;            // a line read and room beyond it for the quick parsing
constexpr long kChunk = 1L << 20;           // bytes read at a time
constexpr std::size_t kMostBlocks = 32768;  // the index's size, whatever the file's
// A range of up to this many lines is read line by line; a longer one takes its band from the
// index's stretches and reads only the lines of its points.
constexpr long kReadWhole = 200000;
constexpr long kSlack = 8;      // lines read beyond where a stretch's times put a range's ends
constexpr long kCountOn = 256;  // lines to the next point counted rather than sought
constexpr double kInf = std::numeric_limits<double>::infinity();

// Calls f(begin, end, base, readable) for the whole lines of each buffer read from byte `offset`
// on (base: the file offset of begin), then, when `lastPartial`, for a last line without its line
// end; the bytes from end up to `readable` may be looked at. Returns the offset after the last
// whole line. A line longer than the buffer is given as its first kLongLineKept bytes (more than
// a line read takes), so that the memory stays the buffer's whatever the lines' length.
constexpr std::size_t kLongLineKept = 256;
template <class F>
long eachChunk(int file, long offset, bool lastPartial, F&& f) {
    if (SetFilePtr(file, offset) != 0) return offset;
    constexpr std::size_t kPad = 64;  // bytes beyond those read, for the quick parsing
    constexpr std::size_t kRoom = static_cast<std::size_t>(kChunk);
    std::vector<char> buf(kRoom + kPad);
    std::size_t have = 0;
    long base = offset;  // the file offset of buf[0]
    for (bool more = true; more;) {
        // The buffer filled: a read may give less than asked before the end of the file.
        while (more && have < kRoom) {
            const long n = ReadFile(file, buf.data() + have, static_cast<long>(kRoom - have));
            more = n > 0;
            if (more) have += static_cast<std::size_t>(n);
        }
        const char* lf = static_cast<const char*>(memrchr(buf.data(), '\n', have));
        if (!lf && more) {
            // A line longer than the buffer: its first bytes kept, the rest read past to its end.
            long length = static_cast<long>(have);
            have = kLongLineKept;
            for (;;) {
                const long n = ReadFile(file, buf.data() + have, static_cast<long>(kRoom - have));
                if (n <= 0) break;  // the last line, without its line end
                char* at = buf.data() + have;
                char* end = static_cast<char*>(std::memchr(at, '\n', static_cast<std::size_t>(n)));
                if (!end) {
                    length += n;
                    continue;
                }
                length += end - at;
                *at = '\n';
                f(buf.data(), at + 1, base, buf.data() + buf.size());
                base += length + 1;
                const std::size_t rest = static_cast<std::size_t>(at + n - (end + 1));
                std::memmove(buf.data(), end + 1, rest);
                have = rest;
                break;
            }
            continue;
        }
        if (!lf) continue;
        const std::size_t used = static_cast<std::size_t>(lf + 1 - buf.data());
        f(buf.data(), lf + 1, base, buf.data() + buf.size());
        std::memmove(buf.data(), buf.data() + used, have - used);
        have -= used;
        base += static_cast<long>(used);
    }
    if (lastPartial && have > 0) f(buf.data(), buf.data() + have, base, buf.data() + buf.size());
    return base;
}

// A line of the file, where it lies, and its numbers.
struct ParsedLine {
    const char* begin;
    const char* end;  // without its line end
    long offset;
    // How many of the five were read, and their values, as a line-by-line read has them: the line
    // cut to its first kLineChars characters.
    int numbers;
    double v[5];
};

// The lines of [begin, end) with their numbers into `out`.
void parseLines(const char* begin, const char* end, long base, const char* readable,
                std::vector<ParsedLine>& out) {
    out.clear();
    for (const char* p = begin; p < end;) {
        ParsedLine& line = out.emplace_back();
        line.begin = p;
        line.offset = base + (p - begin);
        // Most lines are as a recording writes them: read with their line end found on the way
        // (such a line is never longer than a line read takes).
        if (const char* e = parseRecordedLine(p, end, readable, line.v)) {
            line.end = e;
            line.numbers = 5;
            p = e + (*e == '\r' ? 2 : 1);
            continue;
        }
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        // Without its line end, a CR is part of the last line, as a line-by-line read has it.
        const char* e = lf ? (lf > p && lf[-1] == '\r' ? lf - 1 : lf) : end;
        line.end = e;
        line.numbers = parseDataLine(p, std::min(e, p + kLineChars), readable, line.v);
        p = lf ? lf + 1 : end;
    }
}

// Room for the numbers of the pieces of a buffer that are being read or wait to be taken in: a
// ring of kAhead pieces for each of the two threads, so that neither writes where the other did.
constexpr int kAhead = 4;
using PieceRoom = std::vector<ParsedLine>[2][kAhead];

// Calls f(line) for each line of [begin, end) (whole lines from file offset `base` on), in order.
// Reading the numbers is most of a first open's time: where the machine has a second core, a
// second thread reads them too, the lines taken in pieces by whichever thread is free (a core
// busy with another program does less), while this thread also takes in the pieces read, in
// order. No piece is read more than kAhead pieces ahead of the one taken in: the memory stays
// small whatever the lines' length.
template <class F>
void eachLineOf(const char* begin, const char* end, long base, const char* readable,
                PieceRoom& room, F& f) {
    constexpr long kPiece = 16 * 1024;  // bytes
    static const bool twoCores = std::thread::hardware_concurrency() >= 2;
    const int n = static_cast<int>((end - begin + kPiece - 1) / kPiece);
    // Piece k: the lines that begin in its kPiece bytes. Found once, in order: a line longer
    // than a piece is searched for its end once, not once for each piece it spans.
    std::vector<const char*> starts(static_cast<std::size_t>(n) + 1, end);
    starts[0] = begin;
    for (int k = 1; k < n; ++k) {
        const char* at = begin + static_cast<long>(k) * kPiece - 1;
        if (at < starts[k - 1]) {
            starts[k] = starts[k - 1];
            continue;
        }
        const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at));
        starts[k] = lf ? lf + 1 : end;  // a last line without its line end
    }
    const auto start = [&](int k) { return starts[static_cast<std::size_t>(std::min(k, n))]; };
    std::atomic<int> next{0}, taken{0};
    std::vector<std::atomic<int>> by(static_cast<std::size_t>(n));  // the thread + 1, once read
    // Reads the numbers of the next piece no thread has taken: 1; 0 when it is too far ahead
    // (wait), -1 when none is left.
    const auto parseOne = [&](int thread) {
        int k = next.load();
        do {
            if (k >= n) return -1;
            if (k >= taken.load() + kAhead) return 0;
        } while (!next.compare_exchange_weak(k, k + 1));
        const char* from = start(k);
        std::vector<ParsedLine>& lines = room[thread][k % kAhead];
        parseLines(from, start(k + 1), base + (from - begin), readable, lines);
        by[k].store(thread + 1, std::memory_order_release);
        return 1;
    };
    std::future<void> other;
    // Leaving early (f threw) leaves the other thread no piece to wait for, so that the future's
    // end, which waits for it, comes.
    struct NoneLeft {
        std::atomic<int>& next;
        int n;
        ~NoneLeft() { next.store(n); }
    } noneLeft{next, n};
    if (twoCores && n > 1) {
        try {
            other = std::async(std::launch::async, [&] {
                for (int r; (r = parseOne(1)) >= 0;)
                    if (r == 0) std::this_thread::yield();
            });
        } catch (const std::system_error&) {
            // no thread to be had: all on this one
        }
    }
    for (int k = 0; k < n;) {
        if (const int thread = by[k].load(std::memory_order_acquire)) {
            std::vector<ParsedLine>& lines = room[thread - 1][k % kAhead];
            for (const ParsedLine& line : lines) f(line);
            if (lines.capacity() > 4096) lines = {};  // very short lines: their room goes
            taken.store(++k);
        } else if (const int r = parseOne(0); r < 0 && other.valid()) {
            other.get();  // the other thread is reading the last pieces
        } else if (r == 0) {
            std::this_thread::yield();  // the other thread is reading piece k
        }
    }
}

// Calls f(line) for each line from byte `offset` on, in order, as eachChunk reads them.
template <class F>
long eachParsedLine(int file, long offset, bool lastPartial, F&& f) {
    PieceRoom room;
    return eachChunk(file, offset, lastPartial,
                     [&](const char* begin, const char* end, long base, const char* readable) {
                         eachLineOf(begin, end, base, readable, room, f);
                     });
}

void widen(double& lo, double& hi, double v) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
}

StoredBlock newBlock(long offset, long firstLine) {
    StoredBlock b;
    b.offset = offset;
    b.firstLine = firstLine;
    b.tLo = kInf;
    b.tHi = -kInf;
    std::fill(b.qLo, b.qLo + 4, kInf);
    std::fill(b.qHi, b.qHi + 4, -kInf);
    return b;
}

bool hasData(const StoredBlock& b) { return b.tLo <= b.tHi; }

// True when the time goes back from stretch b to the next, c, both with their times in order.
bool runEndsBetween(const StoredBlock& b, const StoredBlock& c) {
    return b.ordered && c.ordered && hasData(b) && hasData(c) && c.tLo < b.tHi;
}

// Stretch c, the one after b, into b.
void join(StoredBlock& b, const StoredBlock& c) {
    b.ordered = b.ordered && c.ordered && !runEndsBetween(b, c);
    b.lines += c.lines;
    widen(b.tLo, b.tHi, c.tLo);
    widen(b.tLo, b.tHi, c.tHi);
    for (int q = 0; q < 4; ++q) {
        b.qLo[q] = std::min(b.qLo[q], c.qLo[q]);
        b.qHi[q] = std::max(b.qHi[q], c.qHi[q]);
    }
}

// Stretches twice as long: each takes in the next ones while it stays that long, but not across
// a place where the time goes back, so that each run's stretches keep their times in order. Where
// such places are so many that the index would not shrink enough, pairs are joined regardless.
void halveIndex(StoredFile& f) {
    const long most = 2 * f.linesPerBlock;
    std::vector<StoredBlock>& v = f.blocks;
    for (const bool regardless : {false, true}) {
        std::size_t k = 0;
        for (std::size_t i = 0; i < v.size(); ++k) {
            StoredBlock b = v[i++];
            if (regardless) {
                if (i < v.size()) join(b, v[i++]);
            } else {
                while (i < v.size() && b.lines + v[i].lines <= most && !runEndsBetween(b, v[i]))
                    join(b, v[i++]);
            }
            v[k] = b;
        }
        v.resize(k);
        if (v.size() <= kMostBlocks * 3 / 4) break;
    }
    f.linesPerBlock = most;
}

// One whole line into the index and the band. Where the time goes back (a second run in the
// same file), a stretch at least a quarter full ends, so that stretches keep their times in order
// and a range is found within them.
inline void takeLine(StoredFile& f, const ParsedLine& line) {
    const bool data = line.numbers == 5;
    if (f.blocks.empty() || f.blocks.back().lines == f.linesPerBlock ||
        (data && line.v[0] < f.blocks.back().tHi && f.blocks.back().ordered &&
         f.blocks.back().lines >= f.linesPerBlock / 4)) {
        if (f.blocks.size() >= kMostBlocks) halveIndex(f);
        f.blocks.push_back(newBlock(line.offset, f.lines));
    }
    StoredBlock& block = f.blocks.back();
    ++block.lines;
    ++f.lines;
    f.lastLine = line.offset;
    if (!data) return;
    const double* v = line.v;
    if (v[0] < block.tHi) block.ordered = false;
    widen(block.tLo, block.tHi, v[0]);
    for (int q = 0; q < 4; ++q) widen(block.qLo[q], block.qHi[q], v[1 + q]);
    f.band.add(v[0], v + 1);
}

long blockBytes(const StoredFile& f, std::size_t i) {
    return (i + 1 < f.blocks.size() ? f.blocks[i + 1].offset : f.size) - f.blocks[i].offset;
}

void addPoint(StoredPoints& points, const double* v, int was0, int was1) {
    const double mwh[4] = {v[1], v[2], v[3], v[4]};
    points.t.push_back(v[0]);
    points.y1.push_back(columnValue(mwh, was0));
    points.y2.push_back(columnValue(mwh, was1));
}

// Every step-th of a range's data lines, the step as for a whole file of the range's bytes.
void thinLines(const std::vector<std::array<double, 5>>& lines, long bytes, int was0, int was1,
               StoredPoints& points) {
    const std::size_t step = static_cast<std::size_t>(thinningStep(bytes + 105));
    for (std::size_t k = step - 1; k < lines.size() && points.t.size() < kMaxPoints; k += step)
        addPoint(points, lines[k].data(), was0, was1);
}

// The same for a range read line by line, with the lines next to it (`beside`) among them: where
// every line of the range is a point, they are points too, outside the count.
void thinLines(const std::vector<std::array<double, 5>>& lines, const std::vector<char>& beside,
               long bytes, int was0, int was1, StoredPoints& points) {
    std::vector<std::array<double, 5>> inside;
    for (std::size_t k = 0; k < lines.size(); ++k)
        if (!beside[k]) inside.push_back(lines[k]);
    if (thinningStep(bytes + 105) > 1 || inside.size() > kMaxPoints) {
        thinLines(inside, bytes, was0, was1, points);
        return;
    }
    for (const std::array<double, 5>& line : lines) addPoint(points, line.data(), was0, was1);
}

// The numbers of a line as a line-by-line read has them, and the length it reads.
int numbersAsRead(const ParsedLine& line, double (&v)[5], long& length) {
    length = std::min<long>(line.end - line.begin, kLineChars);
    std::copy(line.v, line.v + 5, v);
    return line.numbers;
}

// The text of the last whole line taken in, as a line read has it; empty when there is none.
std::string lastLineText(int file, const StoredFile& f) {
    char text[kLineBuffer] = {};
    if (f.lastLine < 0 || SetFilePtr(file, f.lastLine) != 0 || ReadLine(file, text, kLineChars) < 0)
        return {};
    return text;
}

}  // namespace

// ---- Reading ---------------------------------------------------------------------------------

void scanStoredFile(int file, int ausl, int was0, int was1, StoredFile& f, StoredPoints& points,
                    const std::function<void(int)>& progress) {
    f = StoredFile{};
    f.band.growing();
    points = StoredPoints{};
    ausl = std::max(ausl, 1);
    bool collecting = true;
    int inGroup = 0;  // lines of the current group of `ausl` before this one
    const auto thinned = [&](const ParsedLine& line) {
        // The last line of each group of `ausl`, as a line-by-line read parses it.
        if (++inGroup < ausl) return;
        inGroup = 0;
        if (!collecting) return;
        double v[5];
        long length = 0;
        if (numbersAsRead(line, v, length) == 5) {
            addPoint(points, v, was0, was1);
            if (progress) progress(static_cast<int>(points.t.size()) - 1);
        }
        if (length < 7 || points.t.size() == kMaxPoints) collecting = false;
    };
    f.size = eachParsedLine(file, 0, false, [&](const ParsedLine& line) {
        thinned(line);
        takeLine(f, line);
    });
    // A last line without its line end still makes a point (and a recording finishes it).
    eachParsedLine(file, f.size, true, [&](const ParsedLine& line) {
        thinned(line);
        f.unended.numbers = numbersAsRead(line, f.unended.v, f.unended.length);
        if (line.numbers == 5) f.band.add(line.v[0], line.v + 1);
    });
    f.lastText = lastLineText(file, f);
}

bool storedFileChanged(int file, const StoredFile& f) {
    return f.lastLine >= 0 && lastLineText(file, f) != f.lastText;
}

long scanMoreLines(int file, StoredFile& f) {
    const long before = f.lines;
    f.size = eachParsedLine(file, f.size, false, [&](const ParsedLine& line) {
        takeLine(f, line);
        if (!f.keepsLines) return;
        if (f.lines > kReadWhole) {
            f.keepsLines = false;
            f.kept = {};
            return;
        }
        double v[5];
        long length = 0;
        if (numbersAsRead(line, v, length) != 5) return;
        f.kept.push_back({v[0], v[1], v[2], v[3], v[4]});
        f.keptBytes += length + 2;  // with its CR LF
    });
    if (f.lines != before) f.lastText = lastLineText(file, f);
    return f.lines - before;
}

namespace {
// Lines [from, to) of a stretch.
struct Part {
    const StoredBlock* block;
    long from, to;
    long bytes;  // of the whole stretch
};

// Positions the file at line j of a part's stretch: its first line exactly; another where the
// stretch's bytes, spread evenly over its lines, put it (the line the seek lands in is passed
// over), which spares counting the line ends of all lines before it.
bool seekLine(int file, const Part& p, long j) {
    const StoredBlock& b = *p.block;
    if (j <= 0) return SetFilePtr(file, b.offset) == 0;
    const long at = b.offset + static_cast<long>(static_cast<double>(j) * p.bytes / b.lines) - 1;
    char rest[160];
    return SetFilePtr(file, at) == 0 && ReadLine(file, rest, kLineChars) >= 0;
}

// Calls f(values, length, number) for each data line of a part, read line by line from where
// it lies; `number` counts the file's lines from 0.
template <class F>
void eachPartLine(int file, const Part& p, F&& f) {
    if (!seekLine(file, p, p.from)) return;
    char line[kLineBuffer] = {};
    for (long j = p.from; j < p.to; ++j) {
        const int n = ReadLine(file, line, kLineChars);
        if (n < 0) return;
        double v[5];
        if (parseDataLine(line, line + n, line + kLineBuffer, v) == 5)
            f(v, n, p.block->firstLine + j);
    }
}

// A data line of a part: its numbers, its length as read and its number in the file.
struct RangeLine {
    double v[5];
    int length;
    long number;
};

// The data lines of a part into `out`, in order, for a range from t0 to t1. A stretch whose
// times are in order holds the range in one run of lines; when the lines read may not hold all
// of that run (they begin at or after t0, or end at or before t1, with more of the stretch
// beyond them: its times were not spread evenly), the part grows on that side and is read again.
void partLines(int file, Part& p, double t0, double t1, std::vector<RangeLine>& out) {
    for (;;) {
        out.clear();
        eachPartLine(file, p, [&](const double(&v)[5], int length, long number) {
            out.push_back({{v[0], v[1], v[2], v[3], v[4]}, length, number});
        });
        const double first = out.empty() ? kInf : out.front().v[0];
        const double last = out.empty() ? -kInf : out.back().v[0];
        const bool before = p.from > 0 && !(first < t0);
        const bool after = p.to < p.block->lines && !(last > t1);
        if (!before && !after) return;
        // Read again with more lines on the side that may hold more of the range.
        const long more = std::max(kCountOn, p.to - p.from);
        if (before) p.from = std::max(0L, p.from - more);
        if (after) p.to = std::min(p.block->lines, p.to + more);
    }
}

// The parts with the lines next to the range's ends, which may lie in the stretch before or after
// a part's: the stretch before a part that begins with its stretch (read from its start, where
// its first line lies exactly) and a few lines of the stretch after one that ends with it, and
// these either side of a gap between two stretches that the range lies in. In file order, no
// line twice.
std::vector<Part> withNeighbours(const StoredFile& f, std::vector<Part> parts, double t0,
                                 double t1) {
    const std::size_t n = f.blocks.size();
    const auto head = [&](std::size_t i) {
        parts.push_back({&f.blocks[i], 0, std::min(kSlack, f.blocks[i].lines), blockBytes(f, i)});
    };
    const auto tail = [&](std::size_t i) {
        parts.push_back({&f.blocks[i], 0, f.blocks[i].lines, blockBytes(f, i)});
    };
    const std::size_t chosen = parts.size();
    for (std::size_t k = 0; k < chosen; ++k) {
        const std::size_t i = static_cast<std::size_t>(parts[k].block - f.blocks.data());
        if (parts[k].from == 0 && i > 0) tail(i - 1);
        if (parts[k].to == parts[k].block->lines && i + 1 < n) head(i + 1);
    }
    for (std::size_t i = 0; i + 1 < n; ++i)
        if (f.blocks[i].tHi < t0 && f.blocks[i + 1].tLo > t1 && hasData(f.blocks[i]) &&
            hasData(f.blocks[i + 1])) {
            tail(i);
            head(i + 1);
        }
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
        return a.block != b.block ? a.block < b.block : a.from < b.from;
    });
    std::vector<Part> out;
    for (const Part& p : parts) {
        if (!out.empty() && out.back().block == p.block && p.from <= out.back().to)
            out.back().to = std::max(out.back().to, p.to);
        else
            out.push_back(p);
    }
    return out;
}
}  // namespace

void readStoredRange(int file, const StoredFile& f, double t0, double t1, int was0, int was1,
                     StoredPoints& points, TimeColumns& band) {
    points = StoredPoints{};
    band.fixed(t0, t1);
    // The stretches that hold times of the range, and within each the lines that should hold
    // them, its times taken as spread evenly over its lines (a few more either side).
    std::vector<Part> whole, narrowed;
    long wholeLines = 0, narrowLines = 0;
    double bytes = 0;  // of the range, estimated the same way
    for (std::size_t i = 0; i < f.blocks.size(); ++i) {
        const StoredBlock& b = f.blocks[i];
        if (b.tLo > t1 || b.tHi < t0) continue;
        // Only a stretch with its times in order holds a range's lines together.
        const double span = b.ordered ? b.tHi - b.tLo : 0.0;
        const double first = span > 0 ? (std::max(b.tLo, t0) - b.tLo) / span : 0.0;
        const double last = span > 0 ? (std::min(b.tHi, t1) - b.tLo) / span : 1.0;
        const long from = std::clamp(static_cast<long>(first * b.lines) - kSlack, 0L, b.lines);
        const long to =
            std::clamp(static_cast<long>(std::ceil(last * b.lines)) + kSlack, from, b.lines);
        const long size = blockBytes(f, i);
        whole.push_back({&b, 0, b.lines, size});
        narrowed.push_back({&b, from, to, size});
        wholeLines += b.lines;
        narrowLines += to - from;
        bytes += (last - first) * static_cast<double>(size);
    }
    const auto inRange = [&](double t) { return t >= t0 && t <= t1; };
    std::vector<RangeLine> lines;
    // Few lines: every one read.
    if (narrowLines <= kReadWhole) {
        std::vector<std::array<double, 5>> all;
        std::vector<char> beside;  // of `all`: a line next to the range, outside it
        long rangeBytes = 0;
        // The line taken before, when it was a data line.
        long lastNumber = -2;
        std::array<double, 5> last{};
        const auto keep = [&](const double* v, bool outside) {
            all.push_back({v[0], v[1], v[2], v[3], v[4]});
            beside.push_back(outside);
        };
        for (Part& p : withNeighbours(f, wholeLines <= kReadWhole ? whole : narrowed, t0, t1)) {
            partLines(file, p, t0, t1, lines);
            for (const RangeLine& l : lines) {
                if (l.number <= lastNumber) continue;  // a part grown over the one before
                const double* v = l.v;
                // A trace that runs on beyond the range is drawn to the edge of the view, and a
                // range between two lines shows the line between them: the lines next to the
                // range, of the same run (the time going on), are kept too.
                const bool in = inRange(v[0]), lastIn = inRange(last[0]);
                const bool joined = l.number == lastNumber + 1 && last[0] < v[0];
                if (joined && in && !lastIn) keep(last.data(), true);
                if (joined && !in && !lastIn && last[0] < t0 && v[0] > t1) keep(last.data(), true);
                if (joined && !in && (lastIn || last[0] < t0) && v[0] > t1) keep(v, true);
                lastNumber = l.number;
                std::copy(v, v + 5, last.begin());
                if (!in) continue;
                band.add(v[0], v + 1);
                keep(v, false);
                rangeBytes += l.length + 2;  // with its CR LF
            }
        }
        if (const auto& u = f.unended; u.numbers == 5 && inRange(u.v[0])) {
            band.add(u.v[0], u.v + 1);
            keep(u.v, false);
            rangeBytes += u.length;
        }
        thinLines(all, beside, rangeBytes, was0, was1, points);
        return;
    }
    // A long range: the stretches inside it give their band whole; those it cuts are read.
    for (Part& p : narrowed) {
        const StoredBlock& b = *p.block;
        if (b.tLo >= t0 && b.tHi <= t1) {
            band.addSpan(b.tLo, b.tHi, b.qLo, b.qHi);
            continue;
        }
        partLines(file, p, t0, t1, lines);
        for (const RangeLine& l : lines)
            if (inRange(l.v[0])) band.add(l.v[0], l.v + 1);
    }
    if (const auto& u = f.unended; u.numbers == 5 && inRange(u.v[0])) band.add(u.v[0], u.v + 1);
    // The points: every step-th line of the stretches (those outside the range passed over),
    // each read where it lies.
    const long step = thinningStep(static_cast<long>(bytes) + 105);
    char line[kLineBuffer] = {};
    long r = 0;  // lines of the stretches before the current one
    for (const Part& p : narrowed) {
        long at = -1;  // the line of this stretch the file is positioned at
        for (long j = p.from + (step - 1 - r % step + step) % step; j < p.to; j += step) {
            if (points.t.size() >= kMaxPoints) return;
            // Lines far apart are sought where they lie; near ones counted on to.
            if (at < 0 || j - at > kCountOn) {
                if (!seekLine(file, p, j)) return;
            } else if (j > at && SkipLines(file, static_cast<int>(j - at)) < 0) {
                return;
            }
            const int n = ReadLine(file, line, kLineChars);
            at = j + 1;
            double v[5];
            if (n >= 0 && parseDataLine(line, line + n, line + kLineBuffer, v) == 5 &&
                inRange(v[0]))
                addPoint(points, v, was0, was1);
        }
        r += p.to - p.from;
    }
}

void readStoredWhole(int file, const StoredFile& f, int was0, int was1, StoredPoints& points) {
    double lo = kInf, hi = -kInf;
    long lines = 0;  // of the stretches with data lines
    for (const StoredBlock& b : f.blocks) {
        if (!hasData(b)) continue;
        lo = std::min(lo, b.tLo);
        hi = std::max(hi, b.tHi);
        lines += b.lines;
    }
    points = StoredPoints{};
    if (lo > hi) return;
    // Read line by line, these would be the lines read: the data lines kept.
    if (f.keepsLines && lines <= kReadWhole) {
        thinLines(f.kept, f.keptBytes, was0, was1, points);
        return;
    }
    TimeColumns unused;
    readStoredRange(file, f, lo, hi, was0, was1, points, unused);
}
