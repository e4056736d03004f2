// The list of serial ports on the serial-port panel: each device once, with its stable name and
// exactly the port numbers that open it.
#include "runtime/rs232.h"
#include "runtime/rs232/port_names.h"
#include "runtime/textfiles.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PortList : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tevran-ports-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        fs::create_directories(root + "/prog");
        fs::create_directories(root + "/dev");
        fs::create_directories(root + "/by-id");
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        pty = ptsname(master);
    }
    void TearDown() override {
        rt::setProjectDir("");
        if (master >= 0) close(master);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // A stand-in for a device node: a plain file under root/dev.
    std::string device(const std::string& name) {
        std::string path = root + "/dev/" + name;
        std::ofstream(path).put('\n');
        return path;
    }
    void link(const std::string& target, const std::string& at) { fs::create_symlink(target, at); }

    static const ComPortInfo* find(const std::vector<ComPortInfo>& ports, const std::string& dev) {
        auto it = std::find_if(ports.begin(), ports.end(),
                               [&](const ComPortInfo& p) { return p.device == dev; });
        return it == ports.end() ? nullptr : &*it;
    }

    std::string root;
    std::string pty;
    int master = -1;
};

TEST_F(PortList, NamesEachDeviceOnceWithItsStableNameAndNumbers) {
    const std::string usb0 = device("ttyUSB0");
    const std::string usb1 = device("ttyUSB1");
    const std::string stable = root + "/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    link(usb0, stable);
    // COM2 through the stable name, COM7 directly: both open ttyUSB0.
    link(stable, root + "/prog/COM2");
    link(usb0, root + "/prog/COM7");
    link(pty, root + "/prog/COM3");                      // a pseudo-terminal the system doesn't list
    link(root + "/dev/gone", root + "/prog/COM5");       // an adapter that is unplugged
    link("/dev/ttyS3", root + "/prog/COM4");             // COM4 shadows the system's 4th port

    std::vector<rt::rs232::SystemPort> system = {
        {QString::fromStdString(usb1), QString()},
        {QString::fromStdString(usb0), QStringLiteral("FT232R USB UART")},
        {QStringLiteral("/dev/ttyS3"), QString()},
        {QStringLiteral("/dev/ttyS1"), QString()},
    };
    auto ports = rt::rs232::describePorts(system, QString::fromStdString(root + "/prog"),
                                          QString::fromStdString(root + "/by-id"));

    const ComPortInfo* p = find(ports, usb0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->numbers, (std::vector<int>{2, 7}));
    EXPECT_EQ(p->stableName, stable);
    EXPECT_EQ(p->description, "FT232R USB UART");
    EXPECT_TRUE(p->present);

    p = find(ports, pty);
    ASSERT_NE(p, nullptr) << "the pseudo-terminal linked as COM3 is listed";
    EXPECT_EQ(p->numbers, std::vector<int>{3});
    EXPECT_TRUE(p->present);

    p = find(ports, root + "/dev/gone");
    ASSERT_NE(p, nullptr) << "a dangling COM5 shows what it names";
    EXPECT_EQ(p->numbers, std::vector<int>{5});
    EXPECT_FALSE(p->present);

    // /dev/ttyS1 is port 2 only without a COM2 entry, which exists here; /dev/ttyS3 is opened
    // as port 4 through its COM4 link all the same.
    p = find(ports, "/dev/ttyS1");
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->numbers.empty());
    p = find(ports, "/dev/ttyS3");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->numbers, std::vector<int>{4});

    p = find(ports, usb1);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->numbers.empty());
    EXPECT_TRUE(p->stableName.empty());

    // Ordered by port number; devices without one come last.
    ASSERT_EQ(ports.size(), 6u);
    EXPECT_EQ(ports[0].device, usb0);
    EXPECT_EQ(ports[1].device, pty);
    EXPECT_EQ(ports[2].device, "/dev/ttyS3");
    EXPECT_EQ(ports[3].device, root + "/dev/gone");
    EXPECT_TRUE(ports[4].numbers.empty() && ports[5].numbers.empty());
}

TEST_F(PortList, SystemPortWithoutComEntryKeepsItsOwnNumber) {
    std::vector<rt::rs232::SystemPort> system = {{QStringLiteral("/dev/ttyS0"), QString()},
                                                 {QStringLiteral("/dev/ttyS254"), QString()}};
    auto ports = rt::rs232::describePorts(system, QString::fromStdString(root + "/prog"),
                                          QString::fromStdString(root + "/missing-by-id"));
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].device, "/dev/ttyS0");
    EXPECT_EQ(ports[0].numbers, std::vector<int>{1});
    EXPECT_EQ(ports[1].device, "/dev/ttyS254");
    EXPECT_EQ(ports[1].numbers, std::vector<int>{255});
}

TEST_F(PortList, ListComPortsReadsTheProgramDirectory) {
    link(pty, root + "/prog/COM3");
    link(root + "/dev/gone", root + "/prog/COM9");
    rt::setProjectDir(root + "/prog");
    auto ports = ListComPorts();
    const ComPortInfo* p = find(ports, pty);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->numbers, std::vector<int>{3});
    p = find(ports, root + "/dev/gone");
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->present);
    EXPECT_EQ(p->numbers, std::vector<int>{9});

    // The listed number opens the listed device.
    EXPECT_EQ(OpenComConfig(3, "", 9600, 0, 8, 1, 128, 24), 0);
    EXPECT_EQ(CloseCom(3), 0);
}

}  // namespace
