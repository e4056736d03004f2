// Reading the resource file: the program's own file is complete, and a broken one is reported
// with the file and the problem.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "runtime/core/callbacks.h"
#include "runtime/core/model.h"
#include "runtime/core/resource.h"
#include "runtime/panels.h"

namespace {

std::string errorOf(const std::string& text) {
    rt::ResourceFile f;
    std::string error;
    EXPECT_FALSE(rt::parseResource(text, "X.uir", f, error));
    return error;
}

const std::string kHead = R"({"format": "TEVRAN user interface resources 1", )";

TEST(Resource, TheProgramsFileHasItsFivePanelsAndMenuBar) {
    rt::ResourceFile f;
    std::string error;
    ASSERT_TRUE(rt::readResourceFile(TEVRAN_SOURCE_DIR "/ui/TEVRAN.uir", f, error)) << error;
    for (int id = 1; id <= 5; ++id) EXPECT_NE(f.panel(id), nullptr) << id;
    EXPECT_EQ(f.panel(2)->menuBarName, "MAINMENU");
    rt::MenuBar bar = f.menuBars.at("MAINMENU");
    ASSERT_NE(bar.find(2), nullptr);
    EXPECT_EQ(bar.find(2)->name, "MENU_IDLE_ONLY");
    // Texts are Windows-1252: the degree sign is one byte.
    rt::Panel main = f.panel(2)->panel;
    EXPECT_EQ(main.findByName("MAIN_TRACE1_SELECT")->items[1].label, "Tz [\xB0" "C]");
    EXPECT_EQ(main.findByName("MAIN_STRIPCHART")->graph->axis[0].max, 100.0);
    // The main window grows; a direction without an anchor keeps to the left or the top.
    EXPECT_TRUE(main.resizable);
    EXPECT_EQ(main.findByName("MAIN_RUN_GROUP")->anchors, rt::AnchorRight | rt::AnchorTop);
    EXPECT_EQ(main.findByName("MAIN_STATUS")->anchors,
              rt::AnchorLeft | rt::AnchorRight | rt::AnchorBottom);
    EXPECT_EQ(main.findByName("MAIN_VALUE1")->anchors, rt::AnchorLeft | rt::AnchorTop);
    // Every control the operator reads or uses explains itself; static texts, frames and the
    // invisible timer need no hint.
    for (const rt::PanelResource& p : f.panels)
        for (const rt::Control& c : p.panel.controls)
            if (c.kind != rt::ControlKind::Label && c.kind != rt::ControlKind::Group &&
                c.kind != rt::ControlKind::Timer) {
                EXPECT_FALSE(c.tooltip.empty()) << c.name << " has no tooltip";
            }
}

TEST(Resource, BrokenFilesNameTheFileAndTheProblem) {
    EXPECT_NE(errorOf("{").find("X.uir: not valid JSON"), std::string::npos);
    EXPECT_NE(errorOf(R"({"format": "other"})").find("\"format\""), std::string::npos);
    EXPECT_NE(errorOf(kHead + R"("panels": []})").find("no panels"), std::string::npos);
    std::string twice = kHead + R"("panels": [{"resourceId": 1, "name": "A", "controls": [
        {"id": 2, "name": "B", "kind": "button"}, {"id": 2, "name": "C", "kind": "button"}]}]})";
    EXPECT_NE(errorOf(twice).find("control id 2 is used twice"), std::string::npos);
    std::string kind = kHead + R"("panels": [{"resourceId": 1, "name": "A", "controls": [
        {"id": 2, "name": "B", "kind": "knob"}]}]})";
    EXPECT_NE(errorOf(kind).find("panel A, control B: unknown kind 'knob'"), std::string::npos);
    std::string group = kHead + R"("panels": [{"resourceId": 1, "name": "A", "controls": [
        {"id": 2, "name": "B", "kind": "button", "group": 9}]}]})";
    EXPECT_NE(errorOf(group).find("names no group"), std::string::npos);
    std::string anchors = kHead + R"("panels": [{"resourceId": 1, "name": "A", "controls": [
        {"id": 2, "name": "B", "kind": "button", "anchors": "left stretch"}]}]})";
    EXPECT_NE(errorOf(anchors).find("control B: \"anchors\""), std::string::npos);
    std::string menu = kHead + R"("menuBars": [{"name": "M", "menus": [{"id": 1, "name": "E",
        "items": [{"id": 1, "name": "I"}]}]}], "panels": [{"resourceId": 1, "name": "A"}]})";
    EXPECT_NE(errorOf(menu).find("repeated id"), std::string::npos);
}

TEST(Resource, LoadPanelRefusesUnknownCallbacksAndMissingFiles) {
    rt::Model::instance().reset();
    EXPECT_LT(LoadPanel(0, "/nonexistent/TEVRAN.uir", 2), 0);
    EXPECT_NE(rt::lastResourceError().find("/nonexistent/TEVRAN.uir: cannot be read"),
              std::string::npos);

    std::string path = ::testing::TempDir() + "callbacks.uir";
    std::ofstream(path) << kHead
                        << R"("panels": [{"resourceId": 1, "name": "A", "controls": [
        {"id": 2, "name": "B", "kind": "button", "callback": "nosuch"}]}]})";
    rt::registerCallbacks({});
    EXPECT_LT(LoadPanel(0, path.c_str(), 1), 0);
    EXPECT_NE(rt::lastResourceError().find("control B: unknown callback 'nosuch'"),
              std::string::npos);
    EXPECT_LT(LoadPanel(0, path.c_str(), 7), 0);
    EXPECT_NE(rt::lastResourceError().find("no panel with resource id 7"), std::string::npos);
    EXPECT_TRUE(rt::Model::instance().panels().empty());
}

}  // namespace
