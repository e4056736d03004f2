// The measurement data file: the header (dateikopf), the data lines (wertspeichern), and what
// the operator sees when lines cannot be written.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "program_fixture.h"
#include "runtime/panels.h"

using namespace tevran_test;

namespace {
const std::string kTitles =
    "time[s]\tVz[mV]\tTz[\xB0"
    "C]\tpO2[ppm]\tIe[mA]\r\n";

// Limits the size of files this process writes, as a full disk would, until destroyed.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

  private:
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
}  // namespace

class DataFile : public ProgramTest {
  protected:
    std::string file;

    // Start-up and an open data file, as Run leaves it before the header.
    void openData(const std::string& where) {
        start();
        file = where;
        rt::copyBounded(app.datei, sizeof app.datei, file);
        app.filedat = OpenFile(app.datei, VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
        ASSERT_GT(app.filedat, 0) << fileErrorText();
        app.speichern = 1;
    }

    std::string header(const std::string& comment) {
        return "File: " + file + "\r\nComment: " + comment +
               "\r\nDate: 03-27-2017\r\nTime: 14:05:09\r\nDataset\r\n" + kTitles;
    }

    int writeHeader(const std::string& comment) {
        fe.setDate("03-27-2017", "14:05:09");
        fe.commentAnswers.push_back(comment);
        return dateikopf();
    }

    std::string line(double t, double vz, double tz, double po2, double ie) {
        app.mzeit = t;
        app.mw[0] = vz;
        app.mw[1] = tz;
        app.mw[2] = po2;
        app.mw[3] = ie;
        std::string before = readBytes(file);
        wertspeichern();
        std::string after = readBytes(file);  // on disk while the file is still open
        EXPECT_EQ(after.compare(0, before.size(), before), 0);
        return after.substr(before.size());
    }

    // The data file's sentence of the status line (the port these tests poll does not exist, so
    // the line also carries the link's sentence).
    std::string status() { return app.fileStatus; }
};

TEST_F(DataFile, HeaderIsExactAndOnDiskAtOnce) {
    openData(path("run.dat"));
    writeHeader("first run, 100% O2 %s");
    EXPECT_EQ(readBytes(file), header("first run, 100% O2 %s"));
    CloseFile(app.filedat);

    // An empty comment keeps the blank after the colon.
    openData(path("empty.dat"));
    writeHeader("");
    EXPECT_EQ(readBytes(file), header(""));
    EXPECT_NE(readBytes(file).find("\r\nComment: \r\nDate: "), std::string::npos);

    // The comment prompt takes at most 150 characters.
    CloseFile(app.filedat);
    openData(path("long.dat"));
    writeHeader(std::string(200, 'c'));
    EXPECT_EQ(readBytes(file), header(std::string(150, 'c')));
    EXPECT_EQ(status(), "");
    EXPECT_EQ(popups, 3);  // the comment prompts only
}

// A recording ended while its comment was asked for (the session ending) leaves no empty file
// behind; one ended after its header keeps the file.
TEST_F(DataFile, ARecordingEndedBeforeItsHeaderLeavesNoFile) {
    openData(path("ended.dat"));
    closeDataFile();
    EXPECT_FALSE(std::filesystem::exists(file));
    openData(path("kept.dat"));
    writeHeader("kept");
    closeDataFile();
    EXPECT_EQ(readBytes(file), header("kept"));
}

TEST_F(DataFile, DataLinesKeepTheirFormats) {
    openData(path("run.dat"));
    writeHeader("x");
    EXPECT_EQ(line(12.0, 0.0, 0.0, 0.0, 0.0), "12.0\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n");
    EXPECT_EQ(line(1.0, -850.2, 700.1, 206400.0, 0.05),
              "1.0\t-850.2\t700.1\t2.06e+5\t5.000e-2\r\n");
    EXPECT_EQ(line(3.04, 12.0, 600.0, 3.94e-16, 1.234), "3.0\t12.0\t600.0\t3.94e-16\t1.234e+0\r\n");
    // Rounding carries into the exponent; a negative current keeps its sign.
    EXPECT_EQ(line(0.96, -0.04, 500.0, 999999.0, -9.99961),
              "1.0\t-0.0\t500.0\t1.00e+6\t-1.000e+1\r\n");
    EXPECT_EQ(line(86400.5, 1e5, 1e4, 1.5e300, 123456.0),
              "86400.5\t100000.0\t10000.0\t1.50e+300\t1.235e+5\r\n");
    std::string all = readBytes(file);
    EXPECT_EQ(all.find('\n', 0), all.find("\r\n", 0) + 1);
    EXPECT_EQ(status(), "");
}

// A poll while recording writes its line after the values are taken; a failed poll writes zeros
// with its time. The first line comes one interval after the run's start.
TEST_F(DataFile, EveryPollWritesOneLineFailedOnesZeros) {
    openData(path("poll.dat"));
    writeHeader("");
    app.tstart = 0.0;
    app.hol = 1;
    fe.advanceClock(1.0);
    timer(app.p1, MAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);  // port 200 is not open
    fe.advanceClock(11.0);
    timer(app.p1, MAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    const std::string written = header("") + "1.0\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n" +
                                "12.0\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n";
    EXPECT_EQ(readBytes(file), written);
    // Not recording: no line.
    app.speichern = 0;
    fe.advanceClock(1.0);
    timer(app.p1, MAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    EXPECT_EQ(app.mzeit, 13.0);
    EXPECT_EQ(readBytes(file), written);
}

// A full device: the failure is shown on the main panel without a popup, polling goes on.
TEST_F(DataFile, FullDeviceIsReportedAndPollingGoesOn) {
    openData("/dev/full");
    EXPECT_EQ(writeHeader(""), -1);
    app.hol = 1;
    for (int k = 1; k <= 5; ++k) {
        fe.advanceClock(1.0);
        timer(app.p1, MAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    }
    EXPECT_EQ(app.mpoint, 5);
    EXPECT_EQ(app.hol, 1);
    EXPECT_EQ(app.speichern, 1);
    EXPECT_EQ(ctrl(app.p1, MAIN_VALUE2).stringValue, "ERROR (-3)");
    EXPECT_NE(status().find("could not be written"), std::string::npos) << status();
    EXPECT_EQ(popups, 1);  // the comment prompt only
}

// Lines that do not fit (a file size limit cuts the first one short, then refuses writes) are
// reported; once writes succeed again the message goes, and the file holds whole lines only.
TEST_F(DataFile, ShortWriteLeavesNoPartLineAndTheMessageClears) {
    openData(path("limit.dat"));
    writeHeader("");
    const std::string head = header("");
    ASSERT_EQ(readBytes(file), head);
    line(1.0, 1.0, 700.0, 2.0, 0.5);
    const std::string first = readBytes(file);
    {
        FileSizeLimit limit(first.size() + 10);
        ASSERT_TRUE(limit.ok());
        line(2.0, 2.0, 700.0, 2.0, 0.5);
        EXPECT_NE(status().find("File too large"), std::string::npos) << status();
        EXPECT_EQ(app.writeFailed, 1);
        line(3.0, 3.0, 700.0, 2.0, 0.5);
        EXPECT_NE(status(), "");
    }
    EXPECT_EQ(line(4.0, 4.0, 700.0, 2.0, 0.5), "4.0\t4.0\t700.0\t2.00e+0\t5.000e-1\r\n");
    EXPECT_EQ(status(), "");
    EXPECT_EQ(app.writeFailed, 0);
    EXPECT_EQ(readBytes(file), first + "4.0\t4.0\t700.0\t2.00e+0\t5.000e-1\r\n");

    // A later failure is reported again.
    {
        FileSizeLimit limit(1);
        ASSERT_TRUE(limit.ok());
        line(5.0, 5.0, 700.0, 2.0, 0.5);
        EXPECT_NE(status(), "");
    }
    EXPECT_EQ(popups, 1);
}
