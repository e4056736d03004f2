// Choosing a device in the serial-port panel's list: the number that opens it, and for a device
// without one the COMn entry made by its stable name, which then opens it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <string>

#include "instrument/port_choice.h"
#include "runtime/rs232.h"
#include "runtime/rs232/port_names.h"
#include "runtime/textfiles.h"

namespace fs = std::filesystem;

TEST(PortChoice, AnUnnumberedDeviceGetsTheLowestFreeNumberAndAnEntryByItsStableName) {
    char tmpl[] = "/tmp/tevran-choice-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string root = tmpl;
    for (const char* d : {"/prog", "/dev", "/by-id"}) fs::create_directories(root + d);
    auto device = [&](const std::string& name) {
        std::ofstream(root + "/dev/" + name).put('\n');
        return root + "/dev/" + name;
    };
    const std::string usb0 = device("ttyUSB0"), usb1 = device("ttyUSB1"), pty = device("pts3");
    const std::string stable = root + "/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    fs::create_symlink(usb0, stable);
    fs::create_symlink(pty, root + "/prog/COM2");
    fs::create_symlink(root + "/dev/gone", root + "/prog/COM3");  // taken, though dangling
    const QString prog = QString::fromStdString(root + "/prog");
    const QString byId = QString::fromStdString(root + "/by-id");
    const std::vector<rt::rs232::SystemPort> system = {
        {QStringLiteral("/dev/ttyS0"), QString()},  // port 1 of its own
        {QString::fromStdString(usb0), QStringLiteral("FT232R USB UART")},
        {QString::fromStdString(usb1), QString()},
    };
    auto ports = rt::rs232::describePorts(system, prog, byId);
    auto find = [&](const std::string& dev) -> const ComPortInfo& {
        for (const ComPortInfo& p : ports)
            if (p.device == dev) return p;
        ADD_FAILURE() << dev << " not listed";
        return ports.front();
    };

    // A device with a number keeps it and needs no entry.
    PortChoice choice = choosePort(ports, find(pty));
    EXPECT_EQ(choice.number, 2);
    EXPECT_EQ(choice.target, "");
    // Numbers 1 (a system port), 2 and 3 (entries) are taken: the adapter gets 4, by its stable
    // name; one without a stable name gets the same number, by its device.
    choice = choosePort(ports, find(usb0));
    EXPECT_EQ(choice.number, 4);
    EXPECT_EQ(choice.target, stable);
    EXPECT_EQ(choosePort(ports, find(usb1)).target, usb1);
    EXPECT_EQ(portListLabel(find(usb0)), "no number: " + usb0 + " (FT232R USB UART) = " + stable);

    // The entry made at OK gives the adapter its number in the list, and opening it follows it.
    rt::setProjectDir(root + "/prog");
    std::string reason;
    ASSERT_EQ(LinkComEntry(4, stable.c_str(), reason), 0) << reason;
    ports = rt::rs232::describePorts(system, prog, byId);
    EXPECT_EQ(find(usb0).numbers, std::vector<int>{4});
    EXPECT_EQ(rt::rs232::devicePath(4, "").toStdString(), usb0);
    // An entry that is there already (another instance's, its adapter unplugged) is never
    // replaced: the call says what it leads to.
    EXPECT_EQ(LinkComEntry(3, usb1.c_str(), reason), kComEntryTaken);
    EXPECT_EQ(reason, root + "/dev/gone");
    EXPECT_EQ(fs::read_symlink(root + "/prog/COM3"), root + "/dev/gone");
    // One that cannot be made says where and why.
    rt::setProjectDir(root + "/none");
    EXPECT_EQ(LinkComEntry(5, usb1.c_str(), reason), -1);
    EXPECT_EQ(reason, "cannot make COM5 in " + root + "/none: no such file or directory");

    // A device the operator may not open says so (root may open anything).
    if (geteuid() != 0) {
        chmod(usb1.c_str(), 0);
        ports = rt::rs232::describePorts(system, prog, byId);
        EXPECT_FALSE(find(usb1).mayOpen);
        EXPECT_NE(portListLabel(find(usb1)).find("no permission (dialout group)"),
                  std::string::npos);
    }
    rt::setProjectDir("");
    fs::remove_all(root);
}
