// The settings file TEVRAN.ini: read at start-up, written at shutdown.
#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <filesystem>

#include "program_fixture.h"
#include "runtime/panels.h"

using namespace tevran_test;

namespace {
constexpr const char* kDefaultsLine =
    " 1 1.000000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n";
}

class Settings : public ProgramTest {
protected:
    void expectDefaults() {
        EXPECT_EQ(app.com_nummer, 1);
        EXPECT_EQ(app.abtast, 1.0);
        EXPECT_EQ(app.was[0], 0);
        EXPECT_EQ(app.was[1], 1);
        EXPECT_EQ(app.skl[0], 0.0);
        EXPECT_EQ(app.skl[1], 10.0);
        EXPECT_EQ(app.skl[2], 0.0);
        EXPECT_EQ(app.skl[3], 10.0);
        EXPECT_EQ(app.autoscale[0], 0);
        EXPECT_EQ(app.autoscale[1], 0);
    }
};

TEST_F(Settings, MissingFileGivesDefaultsAndCloseWritesThem) {
    start(nullptr);
    expectDefaults();
    EXPECT_EQ(app.com_open, 0);  // port 1 is a dangling link here
    EXPECT_EQ(app.hol, 0);
    EXPECT_EQ(app.speichern, 0);
    EXPECT_TRUE(rt::Model::instance().panel(app.p1)->visible);
    EXPECT_EQ(ctrl(app.p1, MAIN_TIMER).interval, 1.0);
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(readBytes(path("TEVRAN.ini")), kDefaultsLine);
    EXPECT_EQ(popups, 0);
}

TEST_F(Settings, FileIsTakenWholeOrNotAtAll) {
    // Nine numbers: all ten defaults, the nine present ones included.
    start(" 200 0.5 2 3 -1.0 5.0 -2.0 7.0 1\r\n");
    expectDefaults();

    // A field that does not parse as its type.
    fresh();
    start(" 200 0.5 two 3 -1.0 5.0 -2.0 7.0 1 1 Kv_2016\r\n");
    expectDefaults();
}

TEST_F(Settings, TrailerTokenIsNotChecked) {
    for (const char* ini : {" 200 2.5 2 3 -1.5 5.25 -2.0 7.0 1 1 Foo_99\r\n",
                            " 200 2.5 2 3 -1.5 5.25 -2.0 7.0 1 1\n",
                            "200\t2.5\t2\t3\t-1.5\t5.25\t-2.0\t7.0\t1\t1 Kv_2016\nmore text\n"}) {
        SCOPED_TRACE(ini);
        fresh();
        start(ini);
        EXPECT_EQ(app.com_nummer, 200);
        EXPECT_EQ(app.abtast, 2.5);
        EXPECT_EQ(app.was[0], 2);
        EXPECT_EQ(app.was[1], 3);
        EXPECT_EQ(app.skl[0], -1.5);
        EXPECT_EQ(app.skl[1], 5.25);
        EXPECT_EQ(app.skl[2], -2.0);
        EXPECT_EQ(app.skl[3], 7.0);
        EXPECT_EQ(app.autoscale[0], 1);
        EXPECT_EQ(app.autoscale[1], 1);
        // The values reach their controls.
        EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_MIN).doubleValue, -1.5);
        EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_MAX).doubleValue, 5.25);
        EXPECT_EQ(ctrl(app.p1, MAIN_RIGHT_MIN).doubleValue, -2.0);
        EXPECT_EQ(ctrl(app.p1, MAIN_RIGHT_MAX).doubleValue, 7.0);
        EXPECT_EQ(ctrl(app.p1, MAIN_TRACE1_SELECT).intValue, 2);
        EXPECT_EQ(ctrl(app.p1, MAIN_TRACE2_SELECT).intValue, 3);
        EXPECT_EQ(ctrl(app.p1, MAIN_LEFT_AUTO).intValue, 1);
        EXPECT_EQ(ctrl(app.p1, MAIN_RIGHT_AUTO).intValue, 1);
    }
}

TEST_F(Settings, HalfSecondIntervalReachesFieldAndTimer) {
    start(" 200 0.500000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n");
    EXPECT_EQ(app.abtast, 0.5);
    EXPECT_EQ(ctrl(app.p1, MAIN_INTERVAL).doubleValue, 0.5);
    EXPECT_EQ(ctrl(app.p1, MAIN_TIMER).interval, 0.5);
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(readBytes(path("TEVRAN.ini")),
              " 200 0.500000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n");
}

TEST_F(Settings, TimerIntervalIsNeverZero) {
    for (const char* interval : {"0", "0.0", "-3.5", "1e-9", "1e300"}) {
        SCOPED_TRACE(interval);
        fresh();
        start((std::string(" 200 ") + interval + " 0 1 0.0 10.0 0.0 10.0 0 0 Kv_2016\r\n").c_str());
        double t = ctrl(app.p1, MAIN_TIMER).interval;
        EXPECT_TRUE(std::isfinite(t));
        EXPECT_GT(t, 0.0);
        EXPECT_EQ(t, app.abtast);
        EXPECT_EQ(ctrl(app.p1, MAIN_INTERVAL).doubleValue, app.abtast);
    }
    // The same through the interval field.
    for (double typed : {0.0, -1.0, std::nan(""), double(INFINITY)}) {
        SCOPED_TRACE(typed);
        ctrl(app.p1, MAIN_INTERVAL).doubleValue = typed;
        skaliere(app.p1, MAIN_INTERVAL, EVENT_COMMIT, nullptr, 0, 0);
        double t = ctrl(app.p1, MAIN_TIMER).interval;
        EXPECT_TRUE(std::isfinite(t));
        EXPECT_GT(t, 0.0);
        EXPECT_EQ(t, app.abtast);
    }
}

TEST_F(Settings, ShutdownSavesCommittedValuesOnly) {
    start();
    ctrl(app.p1, MAIN_LEFT_MAX).doubleValue = 55.5;
    skaliere(app.p1, MAIN_LEFT_MAX, EVENT_COMMIT, nullptr, 0, 0);
    ctrl(app.p1, MAIN_RIGHT_MAX).doubleValue = 77.0;  // typed, never committed
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(readBytes(path("TEVRAN.ini")),
              " 200 1.000000 0 1 0.000000 55.500000 0.000000 10.000000 0 0 Kv_2016\r\n");
}

TEST_F(Settings, ShutdownWhileRecordingClosesDataFileAndSaves) {
    start();
    app.filedat = OpenFile(path("run.dat").c_str(), VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GT(app.filedat, 0);
    app.speichern = 1;
    app.mzeit = 1.0;
    wertspeichern();
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(readBytes(path("run.dat")), "1.0\t0.0\t0.0\t0.00e+0\t0.000e+0\r\n");
    EXPECT_EQ(readBytes(path("TEVRAN.ini")), kPort200Ini);
}

// The settings location is a directory: nothing can be written, the end is still status 0.
TEST_F(Settings, UnwritableLocationStillEndsWithStatusZero) {
    std::filesystem::create_directory(path("TEVRAN.ini"));
    start(nullptr);
    expectDefaults();
    EXPECT_EQ(shutdown(), 0);
    EXPECT_TRUE(std::filesystem::is_directory(path("TEVRAN.ini")));

    // A program directory below a regular file.
    writeBytes(path("plain"), "x");
    fresh();
    rt::setProjectDir(path("plain/sub"));
    ASSERT_EQ(tevranStartup(), 0);
    EXPECT_EQ(shutdown(), 0);
    EXPECT_EQ(popups, 0);
}

// A write that fails half-way (file size limit, which holds for root too) leaves the old file
// exactly as it was and no temporary file behind.
TEST_F(Settings, FailedWriteKeepsOldFileIntact) {
    const std::string old = " 200 2.000000 1 0 0.000000 20.000000 0.000000 30.000000 1 0 Kv_2016\r\n";
    start(old.c_str());
    app.abtast = 3.0;
    app.skl[1] = 123456789.0;

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    int status = shutdown();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(path("TEVRAN.ini")), old);
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find("TEVRAN.ini."), std::string::npos)
            << "left behind: " << e.path();
}

// The file as the operator set it up: a read-only file keeps its content (also when the program
// runs as root), and the close says the settings were not saved; a symbolic link is followed and
// its target replaced, the link staying a link. Either way the end is an ordinary one.
TEST_F(Settings, ReadOnlyFileIsKeptAndALinkStaysALink) {
    namespace fs = std::filesystem;
    const std::string old = " 200 2.000000 1 0 0.000000 20.000000 0.000000 30.000000 1 0 Kv_2016\r\n";
    start(old.c_str());
    ::chmod(path("TEVRAN.ini").c_str(), 0444);
    app.abtast = 3.0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(shutdown(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("The settings could not be saved to\n" + path("TEVRAN.ini") +
                       "\nThe file is read-only"),
              std::string::npos)
        << err;
    EXPECT_EQ(readBytes(path("TEVRAN.ini")), old);
    EXPECT_EQ(fs::status(path("TEVRAN.ini")).permissions() & fs::perms::all, fs::perms(0444));

    fs::remove(path("TEVRAN.ini"));
    fs::create_directory(path("shared"));
    writeBytes(path("shared/lab.ini"), old);
    fs::create_symlink("shared/lab.ini", path("TEVRAN.ini"));
    fresh();
    start(nullptr);
    EXPECT_EQ(app.abtast, 2.0);
    app.abtast = 3.0;
    EXPECT_EQ(shutdown(), 0);
    EXPECT_TRUE(fs::is_symlink(path("TEVRAN.ini")));
    EXPECT_EQ(readBytes(path("shared/lab.ini")),
              " 200 3.000000 1 0 0.000000 20.000000 0.000000 30.000000 1 0 Kv_2016\r\n");
    EXPECT_EQ(popups, 0);
}
