// A stored data file of fuzz bytes loaded by the viewer, compared with a plain reading of the
// same bytes: lines end at LF (a CR before it belongs to the line end), are cut to 150
// characters, and are taken in groups of `ausl`, only the last of each group parsed.
//
// Input: byte 0 picks the group size (1 to 4) and whether the bytes are preceded by filler
// that puts them across the boundary of the file reader's 256 KiB buffer; bytes 1 and 2 pick
// the two quantities (-1 to 5, so also indices the file has no column for); the rest is the file.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/stored_scan.h"
#include "datafiles/viewer.h"
#include "fuzz_check.h"
#include "runtime/textfiles.h"

namespace {

constexpr int kMaxPoints = 999;
constexpr std::size_t kLineChars = 150;
constexpr std::size_t kReaderBuffer = 256 * 1024;

// The file read line by line without any buffering tricks.
struct PlainReader {
    std::string_view bytes;
    std::size_t pos = 0;

    // Length of the line stored in `line`, -2 at the end of the file.
    int readLine(std::string& line) {
        if (pos >= bytes.size()) return -2;
        std::size_t lf = bytes.find('\n', pos);
        std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        std::string_view l = bytes.substr(pos, end - pos);
        if (lf != std::string_view::npos && !l.empty() && l.back() == '\r') l.remove_suffix(1);
        pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
        if (l.size() > kLineChars) l = l.substr(0, kLineChars);
        line.assign(l);
        return static_cast<int>(l.size());
    }
    void skipLines(int count) {
        std::string ignored;
        for (int k = 0; k < count; ++k) readLine(ignored);
    }
};

double column(const double (&mwh)[4], int no) { return no >= 0 && no <= 3 ? mwh[no] : 0.0; }

int plainLoad(std::string_view bytes, int ausl, int was0, int was1, double* t, double* y1,
              double* y2) {
    PlainReader r{bytes};
    std::string line;
    double mwh[4] = {};
    int i = 0;
    while (i < kMaxPoints) {
        if (ausl > 1) r.skipLines(ausl - 1);
        int test = r.readLine(line);
        if (test < 0) line.clear();
        if (Scan(line.c_str(), "%s>%f %f %f %f %f", &t[i], &mwh[0], &mwh[1], &mwh[2], &mwh[3]) ==
            5) {
            y1[i] = column(mwh, was0);
            y2[i] = column(mwh, was1);
            ++i;
        }
        if (test < 7) break;
    }
    return i;
}

bool sameBits(const double* a, const double* b, int n) {
    return std::memcmp(a, b, sizeof(double) * static_cast<std::size_t>(n)) == 0;
}

}  // namespace

int fuzzViewerLines(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int ausl = 1 + (data[0] & 3);
    const int was0 = data[1] % 7 - 1;
    const int was1 = data[2] % 7 - 1;

    std::string bytes;
    if (data[0] & 0x80) {
        // Filler ending a few bytes before or after the buffer boundary: either one endless
        // line or lines of 4000 characters, none of which parses.
        const std::size_t fill = kReaderBuffer - 96 + ((data[0] >> 2) & 0x1F) * 7;
        if (data[0] & 0x40) {
            bytes.assign(fill - 1, 'x');
            bytes.push_back('\n');
        } else {
            bytes.assign(fill, 'x');
            for (std::size_t k = 3999; k < fill; k += 4000) bytes[k] = '\n';
        }
    }
    bytes.append(reinterpret_cast<const char*>(data + 3), size - 3);

    const std::string path = fuzz::scratchDir() + "/stored.dat";
    fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());

    static double wt[1000], wy1[1000], wy2[1000];
    const int want = plainLoad(bytes, ausl, was0, was1, wt, wy1, wy2);

    const int file = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    FUZZ_CHECK(file > 0);
    if (file <= 0) return 0;
    int last = -1;
    bool inOrder = true;
    StoredFile scanned;
    StoredPoints points;
    scanStoredFile(file, ausl, was0, was1, scanned, points, [&](int i) {
        inOrder = inOrder && i == last + 1;
        last = i;
    });
    CloseFile(file);
    const int got = static_cast<int>(points.t.size());
    const double* t = points.t.data();
    const double* y1 = points.y1.data();
    const double* y2 = points.y2.data();

    FUZZ_CHECK(got >= 0 && got <= kMaxPoints);
    FUZZ_CHECK(inOrder && last == got - 1);
    FUZZ_CHECK(got == want);
    if (got == want) {
        FUZZ_CHECK(sameBits(t, wt, got));
        FUZZ_CHECK(sameBits(y1, wy1, got));
        FUZZ_CHECK(sameBits(y2, wy2, got));
    }
    return 0;
}
