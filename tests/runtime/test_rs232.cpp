// RS-232 ports on a pseudo-terminal: the test holds the master side and plays the instrument,
// the port under test is COM7 in a temporary program directory, linked to the slave side.
#include "runtime/rs232.h"
#include "runtime/textfiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Rs232Pty : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        slavePath = ptsname(master);
        // Held open by the test, so the port closing does not hang up the master side.
        slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(slave, 0);
        termios t{};
        ASSERT_EQ(tcgetattr(slave, &t), 0);
        cfmakeraw(&t);
        ASSERT_EQ(tcsetattr(slave, TCSANOW, &t), 0);

        char tmpl[] = "/tmp/tevran-rs232-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        rt::setProjectDir(dir);
        link("COM7", slavePath);
        ASSERT_EQ(OpenComConfig(7, "", 9600, 0, 8, 1, 128, 24), 0);
        ASSERT_EQ(SetComTime(7, 0.3), 0);
    }
    void TearDown() override {
        CloseCom(7);
        if (master >= 0) close(master);
        if (slave >= 0) close(slave);
        std::system(("rm -rf " + dir).c_str());
    }
    void link(const std::string& name, const std::string& target) {
        ASSERT_EQ(symlink(target.c_str(), rt::joinPath(dir, name).c_str()), 0);
    }
    void send(const std::string& bytes) {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // What the port sent, until `count` bytes or 0.5 s without data.
    std::string received(size_t count = SIZE_MAX) {
        std::string out;
        char buf[65536];
        pollfd p{master, POLLIN, 0};
        while (out.size() < count && poll(&p, 1, 500) == 1) {
            ssize_t n = read(master, buf, std::min(sizeof buf, count - out.size()));
            if (n <= 0) break;
            out.append(buf, size_t(n));
        }
        return out;
    }
    // One ComRdTerm into a buffer filled with 'x', to see which bytes it wrote.
    std::string readTerm(int maxCount, int* status = nullptr) {
        std::memset(buf, 'x', sizeof buf);
        int n = ComRdTerm(7, buf, maxCount, '\r');
        if (status) *status = ReturnRS232Err();
        EXPECT_EQ(buf[n < 0 ? 0 : n], 'x') << "wrote past the bytes it stored";
        return n < 0 ? "<" + std::to_string(n) + ">" : std::string(buf, size_t(n));
    }

    int master = -1, slave = -1;
    std::string slavePath, dir;
    char buf[128];
};

TEST_F(Rs232Pty, ReadStopsAtTerminatorCountOrTimeOut) {
    int status = 1;
    send("12.5\r");
    EXPECT_EQ(readTerm(64, &status), "12.5");
    EXPECT_EQ(status, 0);

    send("ABCDEFG\r");
    EXPECT_EQ(readTerm(3, &status), "ABC");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readTerm(64), "DEFG");

    // A reply in two pieces: the read waits for the rest.
    std::thread late([&] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); send("C\r"); });
    send("AB");
    EXPECT_EQ(readTerm(64, &status), "ABC");
    late.join();
    EXPECT_EQ(status, 0);

    send("PART");
    auto start = Clock::now();
    EXPECT_EQ(readTerm(64, &status), "PART");
    EXPECT_EQ(status, RS232_ERR_TIMEOUT);
    EXPECT_EQ(_GetRs232Err(), RS232_ERR_TIMEOUT);
    EXPECT_GE(secondsSince(start), 0.25);
    EXPECT_LT(secondsSince(start), 1.5);
}

TEST_F(Rs232Pty, BytesAfterTheTerminatorStayForTheNextRead) {
    send("ONE\rTWO\rTHR");
    EXPECT_EQ(readTerm(64), "ONE");
    // A read that waited for new data would take the whole 2 s time-out.
    ASSERT_EQ(SetComTime(7, 2.0), 0);
    auto start = Clock::now();
    EXPECT_EQ(readTerm(64), "TWO");  // no new data arrives: it must come from what is queued
    EXPECT_LT(secondsSince(start), 1.0);
    ASSERT_EQ(SetComTime(7, 0.3), 0);
    int status = 0;
    EXPECT_EQ(readTerm(64, &status), "THR");
    EXPECT_EQ(status, RS232_ERR_TIMEOUT);
}

TEST_F(Rs232Pty, WritesArriveExactlyAndAStuckWriteTimesOut) {
    const std::string command("MEAS?\r\0\xff\n", 9);
    EXPECT_EQ(ComWrt(7, command.data(), int(command.size())), 9);
    EXPECT_EQ(ReturnRS232Err(), 0);
    EXPECT_EQ(received(9), command);

    // Nobody reads the master side: the pseudo-terminal fills up and the write times out.
    std::string big(4 << 20, 'z');
    auto start = Clock::now();
    EXPECT_EQ(ComWrt(7, big.data(), int(big.size())), RS232_ERR_TIMEOUT);
    EXPECT_LT(secondsSince(start), 1.5);
    received();
    // The rest of the stuck block must not go out in front of the next command.
    EXPECT_EQ(ComWrt(7, "OK\r", 3), 3);
    EXPECT_EQ(received(), "OK\r");
}

TEST_F(Rs232Pty, FlushInQDropsWhatWasReceived) {
    send("OLD1\rOLD2\r");
    EXPECT_EQ(readTerm(64), "OLD1");  // OLD2 now waits in Qt's buffer
    send("OLD3\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // OLD3 waits in the system's
    EXPECT_EQ(FlushInQ(7), 0);
    send("NEW\r");
    EXPECT_EQ(readTerm(64), "NEW");
}

// Reopened under a QCoreApplication (as the headless driver runs it); the other tests run without.
TEST_F(Rs232Pty, ReopenStartsClean) {
    int argc = 1;
    char name[] = "test_rs232";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    send("STALE\r");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(OpenComConfig(7, "", 19200, 0, 8, 2, 128, 24), 0);
    ASSERT_EQ(SetComTime(7, 0.3), 0);
    EXPECT_EQ(FlushOutQ(7), 0);
    send("FRESH\rB\r");
    EXPECT_EQ(readTerm(64), "FRESH");
    EXPECT_EQ(readTerm(64), "B");
    EXPECT_EQ(ComWrt(7, "X", 1), 1);
    EXPECT_EQ(received(1), "X");
    EXPECT_EQ(CloseCom(7), 0);
}

TEST_F(Rs232Pty, ClosedAndInvalidPortsFailAtOnce) {
    ASSERT_EQ(SetComTime(7, 2.0), 0);  // what a wait for the closed port would take
    ASSERT_EQ(CloseCom(7), 0);
    auto start = Clock::now();
    EXPECT_EQ(ComRdTerm(7, buf, 10, '\r'), RS232_ERR_NOT_OPEN);
    EXPECT_EQ(ReturnRS232Err(), RS232_ERR_NOT_OPEN);
    EXPECT_EQ(ComWrt(7, "A", 1), RS232_ERR_NOT_OPEN);
    EXPECT_EQ(FlushInQ(7), RS232_ERR_NOT_OPEN);
    EXPECT_EQ(SetComTime(7, 1.0), RS232_ERR_NOT_OPEN);
    EXPECT_EQ(CloseCom(7), RS232_ERR_NOT_OPEN);
    EXPECT_LT(secondsSince(start), 1.0);
    EXPECT_EQ(OpenComConfig(0, "", 9600, 0, 8, 1, 128, 24), RS232_ERR_BAD_PORT);
    EXPECT_EQ(ComWrt(256, "A", 1), RS232_ERR_BAD_PORT);
}

TEST_F(Rs232Pty, OpenFailuresAreReported) {
    auto openFails = [](int port) {
        ::testing::internal::CaptureStderr();
        auto start = Clock::now();
        int rc = OpenComConfig(port, "", 9600, 0, 8, 1, 128, 24);
        EXPECT_LT(secondsSince(start), 1.0);
        EXPECT_EQ(ReturnRS232Err(), rc);
        return std::pair(rc, ::testing::internal::GetCapturedStderr());
    };
    auto [rc, message] = openFails(200);  // no COM200 entry and no /dev/ttyS199
    EXPECT_TRUE(rc == RS232_ERR_NO_DEVICE || rc == RS232_ERR_CANNOT_OPEN) << rc;
    EXPECT_NE(message.find("serial port 200 (/dev/ttyS199)"), std::string::npos) << message;

    link("COM9", "/dev/ttyUSB-unplugged");
    std::tie(rc, message) = openFails(9);
    EXPECT_EQ(rc, RS232_ERR_NO_DEVICE);
    EXPECT_NE(message.find("/dev/ttyUSB-unplugged"), std::string::npos) << message;

    link("COM8", slavePath);  // the device port 7 holds
    std::tie(rc, message) = openFails(8);
    EXPECT_EQ(rc, RS232_ERR_BUSY);
    EXPECT_NE(message.find("in use by another program"), std::string::npos) << message;

    ASSERT_EQ(CloseCom(7), 0);
    EXPECT_EQ(OpenComConfig(8, "", 9600, 0, 8, 1, 128, 24), 0);  // free once 7 let it go
    EXPECT_EQ(CloseCom(8), 0);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(OpenComConfig(7, "", 9600, 5, 8, 1, 0, 0), RS232_ERR_BAD_SETTINGS);
    EXPECT_EQ(OpenComConfig(7, "", 9600, 0, 9, 3, 0, 0), RS232_ERR_BAD_SETTINGS);
    // A pseudo-terminal always runs 8 bits without parity: the device refuses even parity.
    EXPECT_EQ(OpenComConfig(7, "", 9600, 2, 8, 1, 0, 0), RS232_ERR_BAD_SETTINGS);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ComWrt(7, "A", 1), RS232_ERR_NOT_OPEN);  // a failed open leaves the port closed
}

TEST_F(Rs232Pty, FarEndClosingIsReportedNotWaitedOut) {
    ASSERT_EQ(SetComTime(7, 3.0), 0);
    close(master);
    master = -1;
    auto start = Clock::now();
    EXPECT_EQ(ComRdTerm(7, buf, 10, '\r'), RS232_ERR_DEVICE_GONE);
    EXPECT_EQ(ReturnRS232Err(), RS232_ERR_DEVICE_GONE);
    EXPECT_EQ(ComWrt(7, "A", 1), RS232_ERR_DEVICE_GONE);
    EXPECT_LT(secondsSince(start), 1.0);
}

}  // namespace

// An adapter unplugged and plugged in again behind the same COM7 entry: while the entry is
// missing or dangling the port stays away (never the system's /dev/ttyS6), then it opens on the
// entry's new device with the time-out it had.
TEST_F(Rs232Pty, AGonePortIsReopenedOnlyThroughItsEntry) {
    ASSERT_EQ(SetComTime(7, 0.4), 0);
    close(master);
    master = -1;
    close(slave);
    slave = -1;
    EXPECT_EQ(ComRdTerm(7, buf, 10, '\r'), RS232_ERR_DEVICE_GONE);

    const std::string entry = rt::joinPath(dir, "COM7");
    ASSERT_EQ(unlink(entry.c_str()), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReopenCom(7), RS232_ERR_DEVICE_GONE);
    link("COM7", slavePath + "-gone");
    EXPECT_EQ(ReopenCom(7), RS232_ERR_DEVICE_GONE);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ComWrt(7, "A", 1), RS232_ERR_NOT_OPEN);

    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string second = ptsname(master);
    ASSERT_EQ(unlink(entry.c_str()), 0);
    link("COM7", second);
    ASSERT_EQ(ReopenCom(7), 0);
    EXPECT_EQ(ComDeviceName(7), second);
    auto start = Clock::now();
    EXPECT_EQ(ComRdTerm(7, buf, 10, '\r'), 0);
    EXPECT_EQ(ReturnRS232Err(), RS232_ERR_TIMEOUT);
    // The time-out set before (0.4 s), not the default 5 s.
    EXPECT_GE(secondsSince(start), 0.3);
    EXPECT_LT(secondsSince(start), 2.5);
    EXPECT_EQ(ComWrt(7, "u6\r", 3), 3);
    EXPECT_EQ(received(3), "u6\r");
}
