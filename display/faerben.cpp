// The idle and the run appearance of the main panel, the all-values panel and the menu bar.
#include "app/state.h"
#include "display/display.h"
#include "runtime/panels.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kGrey = 0xA0A0A0;
constexpr int kDarkGreen = 0x008000;
constexpr int kDarkRed = 0x800000;
}  // namespace

void faerben(int anders) {
    int run = anders != 0;
    SetCtrlAttribute(app.p1, MAIN_IDLE_ONLY, ATTR_DIMMED, run);
    SetCtrlAttribute(app.p1, MAIN_VALUE1, ATTR_DIMMED, !run);
    SetCtrlAttribute(app.p1, MAIN_VALUE2, ATTR_DIMMED, !run);
    for (int i = 0; i < 4; ++i) SetCtrlAttribute(app.av, ALLVAL_VZ + i, ATTR_DIMMED, !run);
    SetMenuBarAttribute(app.m1, MENU_IDLE_ONLY, ATTR_DIMMED, run);
    SetCtrlAttribute(app.p1, MAIN_IDLE_MARK, ATTR_COLOR, run ? kGrey : kDarkGreen);
    SetCtrlAttribute(app.p1, MAIN_RUN_MARK, ATTR_COLOR, run ? kDarkRed : kGrey);
}
