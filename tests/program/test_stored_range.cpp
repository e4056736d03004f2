// A stored file read again for a time range: the band holds every line of the range and the
// points are lines of it, whether the range is read line by line or, when long, from the index's
// stretches; the band of the whole file holds every line too.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/data_line.h"
#include "datafiles/stored_scan.h"
#include "datafiles/viewer.h"
#include "runtime/textfiles.h"

namespace {
struct Row {
    double t, vz, ie;
};

// A data file's path in the temporary folder, of this process's own.
std::string tempDataPath(const char* stem) {
    return (std::filesystem::temp_directory_path() /
            (std::string(stem) + "_" + std::to_string(getpid()) + ".dat"))
        .string();
}

// A file scanned whole, then read again for the range t0..t1; the file is removed.
struct ScannedAndRead {
    StoredFile scanned;
    StoredPoints whole, points;
    TimeColumns range;
};
ScannedAndRead scanAndRead(const std::string& path, double t0, double t1) {
    ScannedAndRead r;
    const int file = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    EXPECT_GT(file, 0);
    scanStoredFile(file, 1, 0, 3, r.scanned, r.whole, nullptr);
    readStoredRange(file, r.scanned, t0, t1, 0, 3, r.points, r.range);
    CloseFile(file);
    std::filesystem::remove(path);
    return r;
}

// The lowest and highest Vz over all of a band's columns.
std::pair<double, double> vzExtent(const TimeColumns& band) {
    double lo = INFINITY, hi = -INFINITY, a, b;
    for (int col = 0; col < TimeColumns::kColumns; ++col)
        if (band.column(col, 0, a, b)) {
            lo = std::min(lo, a);
            hi = std::max(hi, b);
        }
    return {lo, hi};
}

// Run 1: 250 000 lines 0.5 s apart with one spike of Vz to -10 mV; then Run pressed again: 10 000
// lines from 0.5 s on.
std::vector<Row> writeFile(const std::string& path) {
    std::vector<Row> rows;
    std::string text = "File: x\r\nComment: c\r\nDate: d\r\nTime: t\r\nDataset\r\nheads\r\n";
    char line[96];
    for (int run = 0; run < 2; ++run)
        for (int k = 1; k <= (run ? 10000 : 250000); ++k) {
            Row r{0.5 * k, run ? -80.0 : -50.0 - (k % 100) * 0.1, run ? 2.5 : 1.0 + k % 7};
            if (!run && k == 123457) r.vz = -10.0;
            rows.push_back(r);
            std::snprintf(line, sizeof line, "%.1f\t%.1f\t700.0\t1.90e+4\t%.3fe+0\r\n", r.t, r.vz,
                          r.ie);
            text += line;
        }
    std::ofstream(path, std::ios::binary) << text;
    return rows;
}
}  // namespace

TEST(StoredRange, BandAndPointsComeFromEveryLineOfTheRange) {
    const std::string path = tempDataPath("stored_range");
    const std::vector<Row> rows = writeFile(path);
    const int file = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GT(file, 0);
    StoredFile scanned;
    StoredPoints whole;
    scanStoredFile(file, 8, 0, 3, scanned, whole, nullptr);
    // The last line of each group of 8, the header's six lines counted, in the file's order.
    ASSERT_EQ(whole.t.size(), 999u);
    for (std::size_t g = 0; g < whole.t.size(); ++g) ASSERT_EQ(whole.t[g], rows[8 * g + 1].t) << g;

    struct Case {
        double t0, t1;
        bool exactColumns;  // read line by line: each column as every line gives it
        int beside;         // points outside the range: the lines next to it, where it has few
    } cases[] = {
        {61728.0, 61729.0, true, 2},    // around the spike: every line, the spike among them
        {61728.1, 61728.4, true, 2},    // between two lines: the two
        {509.1, 509.4, true, 4},        // run 1: between two stretches of the index
        {509.5, 510.0, true, 4},        // run 1: from a stretch's first line
        {0.0, 2000.0, true, 0},         // both runs share these times
        {10000.0, 120000.0, false, 0},  // 220 000 lines: the index's stretches give the band
        {-1e9, 1e9, false, 0},          // the whole file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t0);
        StoredPoints points;
        TimeColumns band;
        readStoredRange(file, scanned, c.t0, c.t1, 0, 3, points, band);
        double lo = INFINITY, hi = -INFINITY;
        std::vector<double> colLo(TimeColumns::kColumns, INFINITY),
            colHi(TimeColumns::kColumns, -INFINITY);
        long inRange = 0;
        for (const Row& r : rows) {
            if (r.t < c.t0 || r.t > c.t1) continue;
            ++inRange;
            lo = std::min(lo, r.vz);
            hi = std::max(hi, r.vz);
            const int col = std::min(TimeColumns::kColumns - 1,
                                     static_cast<int>(std::floor((r.t - band.x0()) / band.dx())));
            colLo[col] = std::min(colLo[col], r.vz);
            colHi[col] = std::max(colHi[col], r.vz);
        }
        double bLo = INFINITY, bHi = -INFINITY;
        for (int col = 0; col < TimeColumns::kColumns; ++col) {
            double a, b;
            if (!band.column(col, 0, a, b)) continue;
            bLo = std::min(bLo, a);
            bHi = std::max(bHi, b);
            if (c.exactColumns) {
                EXPECT_EQ(a, colLo[col]) << col;
                EXPECT_EQ(b, colHi[col]) << col;
            }
        }
        EXPECT_EQ(bLo, lo);
        EXPECT_EQ(bHi, hi);
        // Thinned as a whole file of the range's bytes is (about 36 bytes a line here).
        EXPECT_LE(points.t.size(), 999u);
        EXPECT_GE(points.t.size(), std::min<long>(inRange, 800));
        int outside = 0;
        for (std::size_t i = 0; i < points.t.size(); ++i) {
            // Lines are 0.5 s apart.
            ASSERT_GE(points.t[i], c.t0 - 0.5);
            ASSERT_LE(points.t[i], c.t1 + 0.5);
            outside += points.t[i] < c.t0 || points.t[i] > c.t1;
            // Line k of either run has the time 0.5 * k.
            const long k = std::lround(points.t[i] * 2);
            const auto same = [&](std::size_t at) {
                return at < rows.size() && rows[at].t == points.t[i] &&
                       rows[at].vz == points.y1[i] && rows[at].ie == points.y2[i];
            };
            ASSERT_TRUE(same(k - 1) || same(250000 + k - 1)) << points.t[i];
        }
        EXPECT_EQ(outside, c.beside);
    }
    // The whole file's band, its columns widening as the times went on, holds the spike.
    const auto [lo, hi] = vzExtent(scanned.band);
    EXPECT_EQ(lo, -80.0);
    EXPECT_EQ(hi, -10.0);
    CloseFile(file);
    std::filesystem::remove(path);
}

// The time not spread evenly over a stretch: a run every 1 500 lines (Run pressed again, the
// time back at 0), its first 1 000 lines 1 s apart and the rest 100 s apart. Vz grows with every
// line, so a line of the range left out changes its lowest or highest value.
TEST(StoredRange, RangeFindsItsLinesWhereverTheTimesLieInAStretch) {
    const std::string path = tempDataPath("stored_uneven");
    std::vector<Row> rows;
    std::string text = "File: x\r\nComment: c\r\nDate: d\r\nTime: t\r\nDataset\r\nheads\r\n";
    char line[96];
    for (int k = 0; k < 300000; ++k) {
        const int j = k % 1500;
        rows.push_back({j < 1000 ? j : 1000.0 + (j - 1000) * 100.0, k / 1000.0, 1.0});
        std::snprintf(line, sizeof line, "%.1f\t%.3f\t700.0\t1.90e+4\t1.000e+0\r\n", rows.back().t,
                      rows.back().vz);
        text += line;
    }
    std::ofstream(path, std::ios::binary) << text;
    const int file = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    ASSERT_GT(file, 0);
    StoredFile scanned;
    StoredPoints whole;
    scanStoredFile(file, 1, 0, 3, scanned, whole, nullptr);
    for (const auto& [t0, t1] :
         {std::pair{100.0, 110.0}, {990.0, 1500.0}, {5000.0, 30000.0}, {3.0, 20000.0}}) {
        SCOPED_TRACE(t0);
        StoredPoints points;
        TimeColumns band;
        readStoredRange(file, scanned, t0, t1, 0, 3, points, band);
        double lo = INFINITY, hi = -INFINITY;
        for (const Row& r : rows)
            if (r.t >= t0 && r.t <= t1) {
                lo = std::min(lo, r.vz);
                hi = std::max(hi, r.vz);
            }
        EXPECT_EQ(vzExtent(band), std::make_pair(lo, hi));
    }
    CloseFile(file);
    std::filesystem::remove(path);
}

// Lines as a line-by-line read has them, in the whole file's band, its points and a range's:
// a line longer than a line read takes, its fifth number beyond the part read, is no data line;
// a last line without its line end is one. A line of 64 MiB without a line end is read in the
// buffer's memory, and the lines after it are found where they lie.
TEST(StoredRange, LinesAreTakenAsALineByLineReadHasThem) {
    const std::string head = "File: x\r\nComment: c\r\nDate: d\r\nTime: t\r\nDataset\r\nheads\r\n";
    const std::string one = "1.0\t-50.0\t700.0\t1.90e+4\t1.0e+0\r\n";
    const struct {
        std::string body;
        double t0, t1;
        std::pair<double, double> whole, range;  // the bands' lowest and highest Vz
        std::vector<double> rangeVz;             // of the range's points
    } cases[] = {
        {one + "2.0\t-99.0\t700.0\t1.90e+4" + std::string(140, ' ') + "1.0e+0\r\n" +
             "3.0\t-50.0\t700.0\t1.90e+4\t1.0e+0\r\n4.0\t-40.0\t700.0\t1.90e+4\t1.0e+0",
         0.0,
         10.0,
         {-50.0, -40.0},
         {-50.0, -40.0},
         {-50.0, -50.0, -40.0}},
        // With the line before the range, which runs the trace on to the view's edge.
        {one + "2.0\t-60.0\t700.0\t1.90e+4\t1.0e+0" + std::string(64 << 20, '\r') + "\r\n" +
             "3.0\t-70.0\t700.0\t1.90e+4\t1.0e+0\r\n",
         2.5,
         3.5,
         {-70.0, -50.0},
         {-70.0, -70.0},
         {-60.0, -70.0}},
    };
    for (const auto& c : cases) {
        const std::string path = tempDataPath("stored_lines");
        std::ofstream(path, std::ios::binary) << head << c.body;
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const ScannedAndRead r = scanAndRead(path, c.t0, c.t1);
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 << 10);  // [KiB]
        EXPECT_EQ(vzExtent(r.scanned.band), c.whole);
        EXPECT_EQ(vzExtent(r.range), c.range);
        EXPECT_EQ(r.points.y1, c.rangeVz);
    }
}

// A time at the end of a range, or just inside it, whose column the division rounds one past the
// last, is in the last column; a time outside the range is in none.
TEST(StoredRange, BandsLastColumnHoldsTheRangesEndWhateverTheRounding) {
    const double q[4] = {1, 2, 3, 4};
    struct Case {
        double lo, hi, t;
        bool in;
    } cases[] = {
        {-22591.9375, 1503.6875, 1503.6874999999998, true},
        {-2.7834548950195312, -0.98963737487792969, -0.9896373748779298, true},
        {0.1, 0.3, std::nextafter(0.3, 1.0), false},
    };
    for (const Case& c : cases) {
        TimeColumns band;
        band.fixed(c.lo, c.hi);
        band.add(c.t, q);
        int holding = 0;
        double lo, hi;
        for (int col = 0; col < TimeColumns::kColumns; ++col)
            holding += band.column(col, 0, lo, hi);
        EXPECT_EQ(holding, c.in ? 1 : 0) << c.t;
        EXPECT_EQ(band.column(TimeColumns::kColumns - 1, 0, lo, hi), c.in) << c.t;
    }
}

TEST(StoredRange, QuickLineReadingGivesTheGeneralReadingsValues) {
    // Each line cut at every length, the rest of it still there to be looked at: the quick reading
    // must never take a byte beyond the line's end, nor read a number differently.
    const char* lines[] = {
        "36000.0\t-104.1\t25.3\t1.44e+03\t1.234e-01",
        "1\t2\t3\t4\t5",
        "+1.5\t-0\t.5\t5.\t-.25e3",
        "12345678.9\t1.23456789\t0.000000001\t1e22\t1e23",
        "1e-22\t1E+5\t2e\t3e+\t4",
        "1.5e+0004\t1.0e-1000\t9.9e999\t7.0000001e-15\t8",
        "99999999999999999999\t1.7976931348623157e308\t4.9e-324\t1\t1",
        "   7.5  8.5\t\t9.5 x 10",
        "-\t+\t.\te5\t5",
        "1.2.3\t4",
        "0001.1000\t-0.0\t00000000.00000001\t1\t2",
    };
    for (const char* text : lines) {
        std::string buffer = std::string(text) + "\r\n0123456789.e+-";
        buffer.append(64, '7');
        const char* b = buffer.data();
        for (std::size_t cut = 0; cut <= std::strlen(text); ++cut) {
            SCOPED_TRACE(std::string(text, cut));
            double general[5], quick[5];
            const int n = parseDataLine(b, b + cut, general);
            ASSERT_EQ(parseDataLine(b, b + cut, b + buffer.size(), quick), n);
            EXPECT_EQ(std::memcmp(general, quick, sizeof(double) * static_cast<std::size_t>(n)), 0);
        }
        // The whole line read with its line end found on the way: taken only where the general
        // reading has five numbers, its end at the text's end, and never beyond a line end.
        for (const char* ending : {"\r\n", "\n", "\r9\n", "\t6\n", ""}) {
            SCOPED_TRACE(std::string(text) + " ending " + std::to_string(std::strlen(ending)));
            const std::string line = std::string(text) + ending;
            std::string next = line + "7\r\n1\t2\t3\t4\t5\r\n";
            next.append(64, ' ');
            double general[5], whole[5];
            const char* b = next.data();
            const char* e = parseRecordedLine(b, b + line.size(), b + next.size(), whole);
            // A line as a recording writes it is taken.
            EXPECT_TRUE(e || text != lines[0] || std::strcmp(ending, "\r\n") != 0);
            if (!e) continue;
            EXPECT_EQ(e, b + std::strlen(text));
            ASSERT_EQ(parseDataLine(b, e, general), 5);
            EXPECT_EQ(std::memcmp(general, whole, sizeof general), 0);
        }
    }
}

TEST(StoredRange, FollowedFileKeepsTheWholeViewThatReadingItAgainGives) {
    const std::string path = tempDataPath("stored_follow");
    StoredFile followed;
    followed.band.growing();
    followed.keepsLines = true;
    std::ofstream out(path, std::ios::binary);
    out << "File: x\r\nComment: c\r\nDate: d\r\nTime: t\r\nDataset\r\nheads\r\n";
    char line[200];
    // 60 000 lines in three looks (about 60 lines a point), with a line that is no data and one
    // longer than a line read takes whole, its last number beyond the part read.
    for (int k = 1, look = 0; look < 3; ++look) {
        for (; k <= 20000 * (look + 1); ++k) {
            if (k == 777) out << "interrupted\r\n";
            std::snprintf(line, sizeof line, "%.1f\t%.1f\t700.0\t1.90e+4\t%s%.3fe+0\r\n", 0.5 * k,
                          -50.0 - (k % 100) * 0.1, k == 30001 ? std::string(140, ' ').c_str() : "",
                          1.0 + k % 7);
            out << line;
        }
        out.flush();
        const int file = OpenFile(path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
        ASSERT_GT(file, 0);
        scanMoreLines(file, followed);
        StoredPoints kept, readAgain;
        TimeColumns band;
        readStoredWhole(file, followed, 0, 3, kept);
        readStoredRange(file, followed, 0.5, 0.5 * (k - 1), 0, 3, readAgain, band);
        CloseFile(file);
        EXPECT_GT(kept.t.size(), 300u);
        EXPECT_EQ(kept.t, readAgain.t);
        EXPECT_EQ(kept.y1, readAgain.y1);
        EXPECT_EQ(kept.y2, readAgain.y2);
    }
    std::filesystem::remove(path);
}
