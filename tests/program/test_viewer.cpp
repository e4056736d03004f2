// The stored-file viewer: thinning, the line rules of the load, the chart it leaves, and how the
// view reloads and ends.
#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "datafiles/stored_scan.h"
#include "datafiles/viewer.h"
#include "program_fixture.h"
#include "runtime/core/dispatch.h"
#include "runtime/core/graph_view.h"
#include "runtime/popups.h"

using namespace tevran_test;

namespace {

// The six header lines, `bytes` long in all with CR LF ends: the comment is padded to reach it.
std::string header(std::size_t bytes) {
    const std::string rest =
        "Date: 12-08-2026\r\nTime: 09:30:00\r\nDataset\r\n"
        "time[s]\tVz[mV]\tTz[\xB0"
        "C]\tpO2[ppm]\tIe[mA]\r\n";
    std::string head = "File: x.dt\r\nComment: ";
    const std::size_t fixed = head.size() + 2 + rest.size();
    EXPECT_GE(bytes, fixed);
    head.append(bytes - fixed, 'c');
    return head + "\r\n" + rest;
}

// Data line k (1 .. 8999), 37 bytes with its CR LF: time 1000 + k, Vz -50, Tz 500 + k % 100,
// pO2 1.90e+4, Ie (500 + k % 500) / 1000.
std::string line37(int k) {
    char b[64];
    std::snprintf(b, sizeof b, "%d.0\t-50.0\t%d.0\t1.90e+4\t1.%03de+0\r\n", 1000 + k, 500 + k % 100,
                  500 + k % 500);
    return b;
}
double tzOf(int k) { return 500.0 + k % 100; }
double ieOf(int k) { return 1.0 + (500 + k % 500) / 1000.0; }

// A failed poll's line at time k: as written by the recorder, of varying length.
std::string zeroLine(int k) { return std::to_string(k) + ".0\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n"; }

}  // namespace

class Viewer : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        restart(kPort200Ini);
    }

    // A program start with `ini` as TEVRAN.ini; popups other than the file dialog are counted.
    void restart(const char* ini) {
        fresh();
        start(ini);
        fe.report = [this](const std::string& r) {
            if (r.rfind("popup file", 0) != 0) ++popups;
        };
    }

    // Open through the button with the file dialog answering `result` and `file`.
    void open(const std::string& file, int result = VAL_EXISTING_FILE_SELECTED) {
        fe.fileAnswers.push_back({result, file});
        ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_OPEN));
        EXPECT_TRUE(fe.fileAnswers.empty());
    }

    // Choose the two quantities with the selectors.
    void select(int trace1, int trace2, int commitOn = MAIN_TRACE1_SELECT) {
        ctrl(app.p1, MAIN_TRACE1_SELECT).intValue = trace1;
        ctrl(app.p1, MAIN_TRACE2_SELECT).intValue = trace2;
        ASSERT_TRUE(rt::dispatchCommit(app.p1, commitOn));
    }

    const rt::Plot& plot(std::size_t i) {
        static rt::Plot none;
        EXPECT_LT(i, chart().plots.size());
        return i < chart().plots.size() ? chart().plots[i] : none;
    }
    std::size_t pointsShown() {
        std::size_t n = 0;
        for (const rt::Plot& p : chart().plots) n += p.count;
        return n;
    }
    std::vector<double> xs(std::size_t i) {
        std::vector<double> v;
        for (std::size_t k = 0; k < plot(i).count; ++k) v.push_back(px(plot(i), k));
        return v;
    }
    std::vector<double> ys(std::size_t i) {
        std::vector<double> v;
        for (std::size_t k = 0; k < plot(i).count; ++k) v.push_back(py(plot(i), k));
        return v;
    }
};

TEST(ViewerThinning, StepGrowsEvery36000BytesAfterTheHeader) {
    EXPECT_EQ(thinningStep(0), 1);   // a size that could not be found
    EXPECT_EQ(thinningStep(50), 1);  // (50 - 105) / 36000 truncates toward zero, not down
    EXPECT_EQ(thinningStep(105), 1);
    EXPECT_EQ(thinningStep(36104), 1);
    EXPECT_EQ(thinningStep(36105), 2);
    EXPECT_EQ(thinningStep(72104), 2);
    EXPECT_EQ(thinningStep(72105), 3);
    EXPECT_EQ(thinningStep(74105), 3);
    EXPECT_EQ(thinningStep(1L << 30), 29827);  // 1 GiB
    EXPECT_GE(thinningStep(LONG_MAX), 1);      // never zero or negative, whatever the size
}

TEST_F(Viewer, LongFileShowsEveryThirdLineInLiveStyles) {
    std::string text = header(105);
    for (int k = 1; k <= 2000; ++k) text += line37(k);
    ASSERT_EQ(text.size(), 74105u);
    writeBytes(path("long.dat"), text);
    select(1, 3);

    open(path("long.dat"));
    EXPECT_EQ(app.o_dat_offen, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, path("long.dat"));
    ASSERT_EQ(chart().plots.size(), 2u);
    // Groups of three: header 1-3, header 4-6, then data 1-3, 4-6, ...; the last two lines
    // make no whole group.
    ASSERT_EQ(plot(0).count, 666u);
    ASSERT_EQ(plot(1).count, 666u);
    for (std::size_t j = 0; j < 666; ++j) {
        const int k = 3 * static_cast<int>(j + 1);
        ASSERT_EQ(px(plot(0), j), 1000.0 + k) << j;
        ASSERT_EQ(px(plot(1), j), 1000.0 + k) << j;
        ASSERT_EQ(py(plot(0), j), tzOf(k)) << j;
        ASSERT_DOUBLE_EQ(py(plot(1), j), ieOf(k)) << j;
    }
    EXPECT_EQ(plot(0).yAxis, 1);
    EXPECT_EQ(plot(0).colour, 0x0000FF);
    EXPECT_EQ(plot(0).pointStyle, 0);
    EXPECT_EQ(plot(1).yAxis, 2);
    EXPECT_EQ(plot(1).colour, 0xFF0000);
    EXPECT_EQ(plot(1).pointStyle, 19);
    for (const rt::Plot& p : chart().plots) {
        EXPECT_EQ(p.plotStyle, 5);
        EXPECT_EQ(p.lineStyle, 0);
        EXPECT_EQ(p.pointFrequency, 1);
    }
    for (const rt::AxisSetting& a : chart().axis) EXPECT_EQ(a.mode, 1);
    // The switches go on, and the scaling settings with them.
    EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_AUTO).intValue, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_RIGHT_AUTO).intValue, 1);
    EXPECT_EQ(app.autoscale[0], 1);
    EXPECT_EQ(app.autoscale[1], 1);
    EXPECT_FALSE(ctrl(app.p1, MAIN_LOADCOUNT).visible);
    EXPECT_EQ(ctrl(app.p1, MAIN_LOADCOUNT).intValue, 665);  // the index of the last point
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, LoadEndsAt999Points) {
    std::string text;
    for (int k = 1; k <= 1100; ++k) text += zeroLine(k);
    text = header(35310 - text.size()) + text;
    ASSERT_EQ(text.size(), 35310u);
    writeBytes(path("full.dat"), text);

    open(path("full.dat"));
    ASSERT_EQ(plot(0).count, 999u);
    ASSERT_EQ(plot(1).count, 999u);
    EXPECT_EQ(px(plot(0), 0), 1.0);
    EXPECT_EQ(px(plot(0), 998), 999.0);  // data lines 1000 to 1100 are not shown
    EXPECT_EQ(py(plot(0), 998), 0.0);

    // A file of exactly the six header lines: nothing to show, but the name is.
    writeBytes(path("empty.dat"), header(105));
    open(path("empty.dat"));
    EXPECT_EQ(app.o_dat_offen, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, path("empty.dat"));
    EXPECT_EQ(pointsShown(), 0u);
    EXPECT_FALSE(ctrl(app.p1, MAIN_LOADCOUNT).visible);
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, LineRulesOfTheLoad) {
    // A line of four numbers is passed over; an empty line ends the data.
    writeBytes(path("gap.dat"), header(105) + zeroLine(1) + "2.0\t0.0\t0.0\t0.00e+0\r\n" +
                                    zeroLine(3) + "\r\n" + zeroLine(5));
    open(path("gap.dat"));
    EXPECT_EQ(xs(0), (std::vector<double>{1.0, 3.0}));

    // So does any line under 7 characters: the lines after it are never read.
    writeBytes(path("short.dat"), header(105) + zeroLine(1) + "1 2 3\r\n" + zeroLine(3));
    open(path("short.dat"));
    EXPECT_EQ(xs(0), (std::vector<double>{1.0}));

    // A line of 200 characters is cut at 150: the numbers beyond are lost, and the next line
    // is read whole.
    std::string longLine = "7.0\t1.0\t2.0\t3.0";
    longLine.append(150 - longLine.size(), ' ');
    longLine += "\t4.0";
    longLine.append(200 - longLine.size(), ' ');
    std::string padded = "8.0\t1.0\t2.0\t3.0\t4.0";
    padded.append(200 - padded.size(), ' ');  // five numbers within the first 150
    writeBytes(path("wide.dat"),
               header(105) + longLine + "\r\n" + padded + "\r\n" + zeroLine(9) + zeroLine(10));
    open(path("wide.dat"));
    EXPECT_EQ(xs(0), (std::vector<double>{8.0, 9.0, 10.0}));
    EXPECT_EQ(ys(0), (std::vector<double>{1.0, 0.0, 0.0}));

    // CR LF, bare LF, and a last line without its end all give the same points.
    std::string crlf = header(105), lf, mixed = header(105);
    for (const char c : header(105))
        if (c != '\r') lf += c;
    for (int k = 1; k <= 60; ++k) {
        crlf += line37(k);
        lf += line37(k).substr(0, 35) + "\n";
        mixed += line37(k).substr(0, 35) + (k == 60 ? "" : k % 2 ? "\n" : "\r\n");
    }
    writeBytes(path("crlf.dat"), crlf);
    writeBytes(path("lf.dat"), lf);
    writeBytes(path("mixed.dat"), mixed);
    select(1, 3);
    open(path("crlf.dat"));
    ASSERT_EQ(plot(0).count, 60u);
    const auto x = xs(0), y1 = ys(0), y2 = ys(1);
    for (const char* name : {"lf.dat", "mixed.dat"}) {
        SCOPED_TRACE(name);
        open(path(name));
        EXPECT_EQ(xs(0), x);
        EXPECT_EQ(ys(0), y1);
        EXPECT_EQ(ys(1), y2);
    }
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, UnreadableFilesGiveAnEmptyChartWithoutAMessage) {
    // Something on the chart first, so that clearing it shows.
    writeBytes(path("good.dat"), header(105) + zeroLine(1) + zeroLine(2));
    open(path("good.dat"));
    ASSERT_EQ(pointsShown(), 4u);

    for (const std::string& bad : {path("gone.dat"), dir}) {
        SCOPED_TRACE(bad);
        open(bad);  // the dialog said it exists; it is gone, or is a directory
        EXPECT_EQ(pointsShown(), 0u);
        EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, bad);
        EXPECT_FALSE(ctrl(app.p1, MAIN_LOADCOUNT).visible);
    }

    // Random bytes, NULs and line ends among them, in sizes that thin by 1 and by 3.
    std::mt19937 rng(7);
    for (std::size_t size : {20000u, 100000u}) {
        std::string noise(size, '\0');
        for (char& c : noise) c = static_cast<char>(rng());
        for (std::size_t i = 0; i < size; i += 97) noise[i] = '\0';
        writeBytes(path("noise.dat"), noise);
        open(path("noise.dat"));
        EXPECT_LE(pointsShown(), 2u * 999u);
        EXPECT_FALSE(ctrl(app.p1, MAIN_LOADCOUNT).visible);
    }
    // A NUL inside a data line ends its text there: the line is passed over.
    writeBytes(path("nul.dat"), header(105) + "1.0\t2.0" + std::string(1, '\0') +
                                    "\t3.0\t4.0\t5.0\r\n" + zeroLine(2));
    open(path("nul.dat"));
    EXPECT_EQ(xs(0), (std::vector<double>{2.0}));
    EXPECT_EQ(popups, 0);
}

// What cannot be read is refused at once, and the status line says so: a FIFO (whose open would
// wait for a writer for ever), a device behind a .dat link (endless bytes without a line end), a
// directory, a file gone since the dialog, a file without a single measurement line. The chart
// is cleared as for any load, and the next file that loads takes the message away.
TEST_F(Viewer, WhatCannotBeShownIsRefusedAtOnceAndTheStatusLineSaysWhy) {
    ASSERT_EQ(::mkfifo(path("pipe.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", path("zero.dat"));
    writeBytes(path("header-only.dat"), header(105));
    writeBytes(path("good.dat"), header(105) + zeroLine(1) + zeroLine(2));
    struct Case {
        std::string file;
        std::string status;
    } cases[] = {
        {path("pipe.dat"),
         "Cannot show " + path("pipe.dat") + ": Is a named pipe (FIFO), not a file."},
        {path("zero.dat"), "Cannot show " + path("zero.dat") + ": Is a device, not a file."},
        {dir, "Cannot show " + dir + ": Is a directory."},
        {path("gone.dat"), "Cannot show " + path("gone.dat") + ": No such file or directory."},
        {path("header-only.dat"), "No measurement line in " + path("header-only.dat") + "."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        open(path("good.dat"));
        ASSERT_EQ(pointsShown(), 4u);
        EXPECT_EQ(app.fileStatus, "");
        const auto begin = std::chrono::steady_clock::now();
        open(c.file);
        // Refused without reading: a FIFO without a writer or a device would keep it forever.
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
        EXPECT_EQ(app.fileStatus, c.status);
        EXPECT_EQ(pointsShown(), 0u);
        EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, c.file);
    }
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, SelectorCommitReloadsTheFile) {
    std::string text = header(105);
    for (int k = 1; k <= 10; ++k) text += line37(k);
    writeBytes(path("a.dat"), text);
    open(path("a.dat"));
    EXPECT_EQ(ys(0), std::vector<double>(10, -50.0));  // Vz and Tz, the start-up choice
    EXPECT_EQ(ys(1)[0], tzOf(1));

    // The file changes on disk: only a selector commit reads it again, whole.
    writeBytes(path("a.dat"), header(105) + zeroLine(1) + line37(2));
    // (The axis limits are dimmed while the view scales automatically; the interval is not.)
    EXPECT_FALSE(rt::dispatchCommit(app.p1, MAIN_LEFT_MAX));
    ctrl(app.p1, MAIN_INTERVAL).doubleValue = 0.5;
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_INTERVAL));
    EXPECT_EQ(plot(0).count, 10u);
    select(2, 2, MAIN_TRACE2_SELECT);
    ASSERT_EQ(chart().plots.size(), 2u);
    EXPECT_EQ(ys(0), (std::vector<double>{0.0, 1.90e+4}));
    EXPECT_EQ(ys(0), ys(1));  // the same quantity on both axes: identical curves
    EXPECT_EQ(plot(0).yAxis, 1);
    EXPECT_EQ(plot(1).yAxis, 2);
    select(3, 1);
    EXPECT_DOUBLE_EQ(ys(0)[1], ieOf(2));
    EXPECT_EQ(ys(1)[1], tzOf(2));
    EXPECT_EQ(popups, 0);
}

// The file written anew after it was opened: a zoom reads it again whole and shows what it holds
// now; when it is gone, the view stays as it was and the status line says why.
TEST_F(Viewer, ZoomIntoAFileWrittenAnewOrGone) {
    std::string text = header(105);
    for (int k = 1; k <= 10; ++k) text += line37(k);
    writeBytes(path("a.dat"), text);
    open(path("a.dat"));
    writeBytes(path("a.dat"), header(105) + line37(1002) + line37(1003));
    rt::zoomView(app.p1, MAIN_STRIPCHART, 2000.0, 2005.0);
    EXPECT_EQ(xs(0), (std::vector<double>{2002.0, 2003.0}));
    std::filesystem::remove(path("a.dat"));
    rt::zoomView(app.p1, MAIN_STRIPCHART, 2001.0, 2004.0);
    EXPECT_EQ(xs(0), (std::vector<double>{2002.0, 2003.0}));
    EXPECT_EQ(app.fileStatus, "Cannot show " + path("a.dat") + ": No such file or directory.");
}

TEST_F(Viewer, QuantityWithoutAColumnDrawsZero) {
    // Indices outside 0..3 can come from the settings file; 4 is the live chart's empty slot.
    restart(" 200 1.0 4 -7 0.0 10.0 0.0 10.0 0 0 Kv_2016\r\n");
    ASSERT_EQ(app.was[0], 4);
    ASSERT_EQ(app.was[1], -7);
    writeBytes(path("b.dat"), header(105) + line37(1) + line37(2) + line37(3));
    open(path("b.dat"));
    EXPECT_EQ(xs(0), (std::vector<double>{1001.0, 1002.0, 1003.0}));
    EXPECT_EQ(ys(0), std::vector<double>(3, 0.0));
    EXPECT_EQ(ys(1), std::vector<double>(3, 0.0));

    // The pure column choice, around the edges.
    const double mwh[4] = {1.5, 2.5, 3.5, 4.5};
    EXPECT_EQ(columnValue(mwh, 0), 1.5);
    EXPECT_EQ(columnValue(mwh, 3), 4.5);
    for (int no : {4, 5, -1, INT_MIN, INT_MAX}) EXPECT_EQ(columnValue(mwh, no), 0.0) << no;
}

TEST_F(Viewer, CancelledDialogChangesNothing) {
    // Live chart, no file shown: no choice made, nothing changes.
    for (int result : {int{VAL_NO_FILE_SELECTED}, int{VAL_NEW_FILE_SELECTED}, -1}) {
        open(path("new.dat"), result);
        EXPECT_EQ(app.o_dat_offen, 0);
        EXPECT_EQ(chart().plots.size(), 0u);
        EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_AUTO).intValue, 0);
    }
    // A file shown: it stays, and so does its path.
    writeBytes(path("c.dat"), header(105) + zeroLine(1) + zeroLine(2) + zeroLine(3));
    open(path("c.dat"));
    for (int result : {int{VAL_NO_FILE_SELECTED}, int{VAL_NEW_FILE_SELECTED}, -1}) {
        open(path("other.dat"), result);
        EXPECT_EQ(app.o_dat_offen, 1);
        EXPECT_STREQ(app.o_dat, path("c.dat").c_str());
        EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, path("c.dat"));
        EXPECT_EQ(chart().plots.size(), 2u);
        EXPECT_EQ(pointsShown(), 6u);
    }
    // A later reload still reads the file shown, not a name the dialog offered meanwhile.
    select(2, 3);
    EXPECT_EQ(pointsShown(), 6u);
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, RunEndsTheView) {
    writeBytes(path("d.dat"), header(105) + zeroLine(1) + zeroLine(2) + zeroLine(3));
    open(path("d.dat"));
    ASSERT_EQ(pointsShown(), 6u);

    // No port is open here: Run shows the port panel, and still returns to the live chart.
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_RUN));
    EXPECT_EQ(app.o_dat_offen, 0);
    EXPECT_EQ(chart().plots.size(), 0u);
    EXPECT_EQ(chart().axis[0].mode, 0);
    EXPECT_EQ(chart().axis[0].min, 0.0);
    EXPECT_EQ(chart().axis[0].max, 100.0);
    // The live chart scales as the switches the view turned on say.
    EXPECT_EQ(chart().axis[1].mode, 1);
    EXPECT_EQ(chart().axis[2].mode, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_MIN).dimmed, 1);
    select(2, 3);
    EXPECT_EQ(chart().plots.size(), 0u);  // the stored file is not read again
    EXPECT_EQ(popups, 0);
}

TEST_F(Viewer, DirectLoadReadsGroupsAndStopsWhereTheFileDoes) {
    // The first pass on its own: whole groups across the read buffer's refills, and a last
    // group cut short by the end of the file.
    std::string text = header(105);
    const int lines = 30000;  // about 1.1 MB: several refills of the read buffer
    for (int k = 1; k <= lines; ++k) text += line37(k % 8999 + 1);
    writeBytes(path("e.dat"), text);
    for (int ausl : {1, 2, 7, 31, 34}) {
        SCOPED_TRACE(ausl);
        const int h = OpenFile(path("e.dat").c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
        ASSERT_GE(h, 1);
        StoredFile scanned;
        StoredPoints points;
        int shown = -1;
        scanStoredFile(h, ausl, 1, 3, scanned, points, [&](int i) { shown = i; });
        const int n = static_cast<int>(points.t.size());
        const std::vector<double>& x = points.t;
        const std::vector<double>& y1 = points.y1;
        const std::vector<double>& y2 = points.y2;
        EXPECT_EQ(CloseFile(h), 0);
        // File line m (1-based) is the last of group m / ausl; data line d is file line d + 6.
        int expected = 0;
        for (int m = ausl; m <= lines + 6 && expected < 999; m += ausl)
            if (m > 6) ++expected;
        ASSERT_EQ(n, expected);
        EXPECT_EQ(shown, n - 1);
        int j = 0;
        for (int m = ausl; j < n; m += ausl) {
            if (m <= 6) continue;
            const int k = (m - 6) % 8999 + 1;
            ASSERT_EQ(x[j], 1000.0 + k) << j;
            ASSERT_EQ(y1[j], tzOf(k)) << j;
            ASSERT_DOUBLE_EQ(y2[j], ieOf(k)) << j;
            ++j;
        }
    }
}
