// The serial-port panel as the operator meets it: the list follows devices plugged in while it
// is shown, Escape leaves everything as it was, and a failed OK says which device and why.
#include <filesystem>

#include "program_fixture.h"
#include "runtime/core/dispatch.h"

using namespace tevran_test;

namespace {

class PortPanel : public ProgramTest {
  protected:
    std::string listLabel(int value) {
        for (const rt::SelectorItem& item : ctrl(app.p4, PORT_LIST).items)
            if (item.value == value) return item.label;
        return "";
    }
    std::string labelChosen() { return listLabel(ctrl(app.p4, PORT_LIST).intValue); }
    bool shown() { return rt::Model::instance().panel(app.p4)->visible; }
};

TEST_F(PortPanel, ListFollowsDevicesEscapeChangesNothingFailedOkSaysWhy) {
    start();  // port 200 names nothing: the panel is shown at start
    ASSERT_TRUE(shown());
    EXPECT_EQ(rt::Model::instance().panel(app.p4)->activeControl, PORT_LIST);

    // An adapter appears while the panel is open; the operator picks it.
    std::filesystem::create_symlink("/dev/null", path("COM7"));
    ASSERT_TRUE(rt::dispatchComPortWatch());
    bool found = false;
    for (const rt::SelectorItem& item : ctrl(app.p4, PORT_LIST).items) {
        if (item.label.rfind("COM7: /dev/null", 0) != 0) continue;
        found = true;
        ctrl(app.p4, PORT_LIST).intValue = item.value;
    }
    ASSERT_TRUE(found);
    ASSERT_TRUE(rt::dispatchCommit(app.p4, PORT_LIST));
    EXPECT_EQ(ctrl(app.p4, PORT_NUMBER).intValue, 7);
    // Another one ahead of it in the list: the choice stays on the same device.
    std::filesystem::create_symlink("/dev/zero", path("COM5"));
    rt::dispatchComPortWatch();
    EXPECT_EQ(labelChosen().rfind("COM7: /dev/null", 0), 0u) << labelChosen();

    // Escape: hidden, and the port is what it was.
    ASSERT_TRUE(rt::dispatchClose(app.p4));
    EXPECT_FALSE(shown());
    EXPECT_EQ(app.com_nummer, 200);
    EXPECT_FALSE(rt::dispatchComPortWatch()) << "the watch reaches the program while hidden";

    // OK on a device that is no serial port: the popup, then the panel stays and says why.
    comport(app.m1, MENU_COMPORT, nullptr, app.p1);
    SetCtrlVal(app.p4, PORT_NUMBER, 7);
    fe.messageAnswers = 1;
    ASSERT_TRUE(rt::dispatchCommit(app.p4, PORT_OK));
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(shown());
    EXPECT_NE(ctrl(app.p4, PORT_HINT).stringValue.find("COM7 (/dev/null)"), std::string::npos)
        << ctrl(app.p4, PORT_HINT).stringValue;
}

TEST(MainTitle, NamesThePortWhileOpenAndTheFileWhileRecorded) {
    const struct {
        int open, recording;
        const char* file;
        const char* title;
    } cases[] = {
        {0, 0, "", "TEVRAN - oxygen measurement"},
        {1, 0, "/data/furnace3.dat", "TEVRAN - oxygen measurement - COM3"},
        {1, 1, "/data/furnace3.dat", "TEVRAN - oxygen measurement - COM3 - furnace3.dat"},
        {0, 1, "C:\\runs\\f.dat", "TEVRAN - oxygen measurement - f.dat"},
    };
    for (const auto& c : cases) {
        app = AppState{};
        app.mainTitle = "TEVRAN - oxygen measurement";  // the resource file's
        app.com_nummer = 3;
        app.com_open = c.open;
        app.speichern = c.recording;
        std::snprintf(app.datei, sizeof app.datei, "%s", c.file);
        EXPECT_EQ(mainTitle(), c.title);
    }
}

}  // namespace
