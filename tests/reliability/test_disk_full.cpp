// A full disk during a recording: the line that does not fit leaves no torn remains, polling goes
// on, the operator is told on the main panel, and lines come again once there is room. Needs
// root (a small tmpfs is mounted); skipped otherwise.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "program_fixture.h"
#include "runtime/core/dispatch.h"
#include "runtime/popups.h"

namespace {

using tevran_test::crlfLines;
using tevran_test::readBytes;

// A tmpfs of `size` bytes, filled by "filler" until only `room` bytes are left.
class SmallDisk {
  public:
    std::string dir;
    std::string skipReason;

    SmallDisk(std::size_t size, std::size_t room) {
        if (::geteuid() != 0) {
            skipReason = "needs root to mount a small tmpfs";
            return;
        }
        char tmpl[] = "/tmp/tevran-full-XXXXXX";
        if (::mkdtemp(tmpl) == nullptr) {
            skipReason = std::string("mkdtemp: ") + std::strerror(errno);
            return;
        }
        dir = tmpl;
        const std::string options = "size=" + std::to_string(size);
        if (::mount("tevran-full", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            skipReason = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            ::rmdir(dir.c_str());
            dir.clear();
            return;
        }
        mounted_ = true;
        // Reserve the room, fill everything else, then give the room back.
        writeUntilFull(path("room"), room);
        writeUntilFull(path("filler"), ~std::size_t{0});
        ::unlink(path("room").c_str());
    }

    ~SmallDisk() {
        if (mounted_) ::umount2(dir.c_str(), MNT_DETACH);
        if (!dir.empty()) ::rmdir(dir.c_str());
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    void makeRoom() { ::unlink(path("filler").c_str()); }

  private:
    static void writeUntilFull(const std::string& p, std::size_t limit) {
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return;
        const std::string block(4096, 'f');
        std::size_t done = 0;
        while (done < limit) {
            const ssize_t n = ::write(fd, block.data(), std::min(block.size(), limit - done));
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
    }

    bool mounted_ = false;
};

}  // namespace

TEST(DiskFull, AWriteThatDoesNotFitLeavesNoPartOfItBehind) {
    SmallDisk disk(64 * 1024, 8192);
    if (!disk.skipReason.empty()) GTEST_SKIP() << disk.skipReason;

    const int f = OpenFile(disk.path("lines.dat").c_str(), VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
    ASSERT_GT(f, 0);
    // 27 bytes a line never divides a page: one line is bound to straddle the end of the room.
    const char* line = "%s<%f[p1]\t0123456789abcdef\n";
    int written = 0;
    while (written < 10000 && FmtFile(f, line, written + 1.0) > 0) ++written;
    ASSERT_LT(written, 10000) << "the disk never filled";
    EXPECT_NE(std::string(fileErrorText()).find("space"), std::string::npos) << fileErrorText();
    // A second attempt fails the same way and adds nothing.
    EXPECT_LT(FmtFile(f, line, 0.5), 0);

    disk.makeRoom();
    for (int k = 0; k < 5; ++k) EXPECT_GT(FmtFile(f, line, written + 1.0 + k), 0);
    EXPECT_EQ(CloseFile(f), 0);

    bool whole = false;
    const auto lines = crlfLines(readBytes(disk.path("lines.dat")), &whole);
    EXPECT_TRUE(whole);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(written + 5));
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i], std::to_string(i + 1) + ".0\t0123456789abcdef") << "line " << i + 1;
}

class DiskFullRecording : public tevran_test::ProgramTest {};

TEST_F(DiskFullRecording, PollingGoesOnTheStatusSaysWhyAndLinesResumeWithRoom) {
    SmallDisk disk(64 * 1024, 8192);
    if (!disk.skipReason.empty()) GTEST_SKIP() << disk.skipReason;

    start();
    // Port 200 does not exist, but counted as open every poll runs and fails at once, writing its
    // line of zeros: enough lines to fill the room quickly.
    app.com_open = 1;
    const std::string data = disk.path("run.dat");
    fe.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, data});
    fe.commentAnswers.push_back("full disk");
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_RUN));
    ASSERT_EQ(app.speichern, 1);
    EXPECT_EQ(app.fileStatus, "");  // the line also says port 200 is missing

    auto tick = [&](int n) {
        for (int k = 0; k < n; ++k) {
            fe.advanceClock(1.0);
            rt::dispatchTimerTick(app.p1, MAIN_TIMER);
        }
    };
    tick(400);  // about 270 lines of zeros fit into 8 KiB
    EXPECT_EQ(app.hol, 1);
    EXPECT_EQ(app.speichern, 1);
    EXPECT_DOUBLE_EQ(app.mzeit, 400.0);
    const std::string status = ctrl(app.p1, MAIN_STATUS).stringValue;
    EXPECT_EQ(status.rfind("Data file: a line could not be written (", 0), 0u) << status;
    EXPECT_NE(status.find("Polling goes on"), std::string::npos) << status;

    disk.makeRoom();
    tick(10);
    EXPECT_EQ(app.fileStatus, "");  // the line also says port 200 is missing
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_STOP));

    bool whole = false;
    const auto lines = crlfLines(readBytes(data), &whole);
    EXPECT_TRUE(whole) << "the file ends in a torn line";
    ASSERT_GT(lines.size(), 6u + 100u);
    EXPECT_EQ(lines[0], "File: " + data);
    EXPECT_EQ(lines[5],
              "time[s]\tVz[mV]\tTz[\xB0"
              "C]\tpO2[ppm]\tIe[mA]");
    // Lines 1, 2, ... up to where the disk filled, then the ten after the room came back.
    std::size_t i = 6;
    int t = 1;
    for (; i < lines.size() && t <= 400; ++i, ++t)
        if (lines[i] != std::to_string(t) + ".0\t0.0\t0.0\t0.00e+0\t0.000e+0") break;
    const int lastBeforeFull = t - 1;
    EXPECT_LT(lastBeforeFull, 400);
    EXPECT_GT(lastBeforeFull, 100);
    ASSERT_EQ(lines.size() - i, 10u) << "lines after the room came back";
    for (int k = 0; k < 10; ++k, ++i)
        EXPECT_EQ(lines[i], std::to_string(401 + k) + ".0\t0.0\t0.0\t0.00e+0\t0.000e+0");
}

// A disk with no room for the header: nothing is recorded, the file is removed, the operator is
// told which file and why, and the panels are idle; room coming back adds no headless lines.
TEST_F(DiskFullRecording, HeaderThatDoesNotFitRecordsNothing) {
    SmallDisk disk(64 * 1024, 0);
    if (!disk.skipReason.empty()) GTEST_SKIP() << disk.skipReason;
    std::vector<std::string> shown;
    fe.report = [&](const std::string& line) { shown.push_back(line); };
    start();
    app.com_open = 1;
    const std::string data = disk.path("run.dat");
    fe.fileAnswers.push_back({VAL_NEW_FILE_SELECTED, data});
    fe.commentAnswers.push_back("no room");
    fe.messageAnswers = 1;
    ASSERT_TRUE(rt::dispatchCommit(app.p1, MAIN_RUN));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(),
              "popup message \"\" \"The header could not be written to the data "
              "file:\\n" +
                  data +
                  "\\nNo space left on device\\nNothing is "
                  "recorded; the file is removed.\"");
    EXPECT_EQ(app.speichern, 0);
    EXPECT_EQ(app.hol, 0);
    EXPECT_EQ(ctrl(app.p1, MAIN_FILENAME).stringValue, "no file");
    disk.makeRoom();
    rt::dispatchTimerTick(app.p1, MAIN_TIMER);
    EXPECT_FALSE(std::filesystem::exists(data));
}
