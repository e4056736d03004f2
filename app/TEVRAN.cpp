// Start-up, the panel set, timer dispatch, and the small callbacks of the main menu.
#include <string>

#include "app/callbacks.h"
#include "app/state.h"
#include "app/system.h"
#include "runtime/core/frontend.h"
#include "runtime/core/resource.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "ui/tevran_ids.h"

namespace {

constexpr const char* kResourceFile = "TEVRAN.uir";
constexpr const char* kAboutText =
    "TEVRAN oxygen measurement, version 1.0. Copyright (C) 2026 the TEVRAN developers, "
    "GPL-3.0-or-later.";

struct RequiredControl {
    int AppState::*panel;
    int id;
    const char* name;
};

// Every control the program addresses by number, with the name it must carry in TEVRAN.uir.
constexpr RequiredControl kRequired[] = {
    {&AppState::p1, MAIN_INTERVAL, "MAIN_INTERVAL"},
    {&AppState::p1, MAIN_LEFT_MIN, "MAIN_LEFT_MIN"},
    {&AppState::p1, MAIN_LEFT_MAX, "MAIN_LEFT_MAX"},
    {&AppState::p1, MAIN_RIGHT_MIN, "MAIN_RIGHT_MIN"},
    {&AppState::p1, MAIN_RIGHT_MAX, "MAIN_RIGHT_MAX"},
    {&AppState::p1, MAIN_LEFT_AUTO, "MAIN_LEFT_AUTO"},
    {&AppState::p1, MAIN_RIGHT_AUTO, "MAIN_RIGHT_AUTO"},
    {&AppState::p1, MAIN_STRIPCHART, "MAIN_STRIPCHART"},
    {&AppState::p1, MAIN_COM_LED, "MAIN_COM_LED"},
    {&AppState::p1, MAIN_RUN_MARK, "MAIN_RUN_MARK"},
    {&AppState::p1, MAIN_IDLE_MARK, "MAIN_IDLE_MARK"},
    {&AppState::p1, MAIN_IDLE_ONLY, "MAIN_IDLE_ONLY"},
    {&AppState::p1, MAIN_VALUE1, "MAIN_VALUE1"},
    {&AppState::p1, MAIN_VALUE2, "MAIN_VALUE2"},
    {&AppState::p1, MAIN_FILENAME, "MAIN_FILENAME"},
    {&AppState::p1, MAIN_TIMER, "MAIN_TIMER"},
    {&AppState::p1, MAIN_TRACE1_SELECT, "MAIN_TRACE1_SELECT"},
    {&AppState::p1, MAIN_TRACE2_SELECT, "MAIN_TRACE2_SELECT"},
    {&AppState::p1, MAIN_LOADCOUNT, "MAIN_LOADCOUNT"},
    {&AppState::p1, MAIN_STATUS, "MAIN_STATUS"},
    {&AppState::p1, MAIN_ALARM, "MAIN_ALARM"},
    {&AppState::p4, PORT_NUMBER, "PORT_NUMBER"},
    {&AppState::p4, PORT_LIST, "PORT_LIST"},
    {&AppState::p4, PORT_DIR, "PORT_DIR"},
    {&AppState::p4, PORT_HINT, "PORT_HINT"},
    {&AppState::p4, PORT_CANCEL, "PORT_CANCEL"},
    {&AppState::pr, REG_PARAM0, "REG_PARAM0"},
    {&AppState::pr, REG_PARAM1, "REG_PARAM1"},
    {&AppState::pr, REG_PARAM2, "REG_PARAM2"},
    {&AppState::pr, REG_PARAM3, "REG_PARAM3"},
    {&AppState::pr, REG_PARAM4, "REG_PARAM4"},
    {&AppState::pr, REG_STATUS, "REG_STATUS"},
    {&AppState::av, ALLVAL_VZ, "ALLVAL_VZ"},
    {&AppState::av, ALLVAL_TZ, "ALLVAL_TZ"},
    {&AppState::av, ALLVAL_PO2, "ALLVAL_PO2"},
    {&AppState::av, ALLVAL_IE, "ALLVAL_IE"},
    {&AppState::pa, ALARM_VZ_LOW, "ALARM_VZ_LOW"},
    {&AppState::pa, ALARM_VZ_LOW_ON, "ALARM_VZ_LOW_ON"},
    {&AppState::pa, ALARM_VZ_HIGH, "ALARM_VZ_HIGH"},
    {&AppState::pa, ALARM_VZ_HIGH_ON, "ALARM_VZ_HIGH_ON"},
    {&AppState::pa, ALARM_TZ_LOW, "ALARM_TZ_LOW"},
    {&AppState::pa, ALARM_TZ_LOW_ON, "ALARM_TZ_LOW_ON"},
    {&AppState::pa, ALARM_TZ_HIGH, "ALARM_TZ_HIGH"},
    {&AppState::pa, ALARM_TZ_HIGH_ON, "ALARM_TZ_HIGH_ON"},
    {&AppState::pa, ALARM_PO2_LOW, "ALARM_PO2_LOW"},
    {&AppState::pa, ALARM_PO2_LOW_ON, "ALARM_PO2_LOW_ON"},
    {&AppState::pa, ALARM_PO2_HIGH, "ALARM_PO2_HIGH"},
    {&AppState::pa, ALARM_PO2_HIGH_ON, "ALARM_PO2_HIGH_ON"},
    {&AppState::pa, ALARM_IE_LOW, "ALARM_IE_LOW"},
    {&AppState::pa, ALARM_IE_LOW_ON, "ALARM_IE_LOW_ON"},
    {&AppState::pa, ALARM_IE_HIGH, "ALARM_IE_HIGH"},
    {&AppState::pa, ALARM_IE_HIGH_ON, "ALARM_IE_HIGH_ON"},
    {&AppState::pa, ALARM_SILENT_S, "ALARM_SILENT_S"},
    {&AppState::pa, ALARM_COMMAND, "ALARM_COMMAND"},
};

// The program tests no load result of its own; this check turns a broken or incomplete resource
// file into a message naming the file and the problem, instead of a window that cannot work.
bool resourceComplete() {
    struct PanelLoad {
        int handle;
        const char* name;
    } loads[] = {{app.p1, "main"}, {app.p4, "serial-port"}, {app.pz, "instrument information"},
                 {app.pr, "controller-parameter"}, {app.av, "all-values"}, {app.pa, "alarm"}};
    for (const PanelLoad& p : loads) {
        if (p.handle > 0) continue;
        if (rt::lastResourceError().empty())
            rt::setLastResourceError(std::string(kResourceFile) + ": the " + p.name +
                                     " panel cannot be loaded");
        return false;
    }
    std::string path = rt::resolveResourcePath(kResourceFile);
    for (const RequiredControl& r : kRequired) {
        if (!rt::controlHasName(app.*(r.panel), r.id, r.name)) {
            rt::setLastResourceError(path + ": control " + r.name + " (id " + std::to_string(r.id) +
                                     ") is missing");
            return false;
        }
    }
    if (app.m1 <= 0 || SetMenuBarAttribute(app.m1, MENU_IDLE_ONLY, ATTR_DIMMED, 0) < 0) {
        rt::setLastResourceError(path + ": the main panel has no menu bar with entry " +
                                 std::to_string(MENU_IDLE_ONLY) + " (MENU_IDLE_ONLY)");
        return false;
    }
    return true;
}

}  // namespace

int tevranStartup() {
    DisableBreakOnLibraryErrors();
    registerProgramCallbacks();
    // The windows paint while an exchange waits for the instrument.
    SetComWaitHook(rt::whileWaiting);
    // The first failure is the one to report: later loads fail for the same reason.
    std::string firstError;
    auto load = [&](int parent, int resourceId) {
        int handle = LoadPanel(parent, kResourceFile, resourceId);
        if (handle < 0 && firstError.empty()) firstError = rt::lastResourceError();
        return handle;
    };
    app.p1 = load(0, MAIN);
    app.p4 = load(app.p1, PORT);
    app.pz = load(0, INFO);
    app.pr = load(0, REG);
    app.av = load(0, ALLVAL);
    app.pa = load(0, ALARM);
    app.m1 = GetPanelMenuBar(app.p1);
    if (!firstError.empty()) rt::setLastResourceError(firstError);
    if (!resourceComplete()) return 1;
    WatchComPorts(app.p4, portwatch);
    char title[256] = {};
    GetPanelAttribute(app.p1, ATTR_TITLE, title);
    app.mainTitle = title;
    setupAlarms();
    setup();
    return 0;
}

int timer(int, int, int event, void*, int, int) {
    if (event != EVENT_TIMER_TICK) return 0;
    followRecording();
    if (app.hol == 0) return 0;
    wert();
    return 0;
}

// Closing the window during a recording asks first; Cancel, the default, keeps it running.
// The system's request to end (logout, shutdown, a signal) asks nothing: no one may be there.
int beenden(int, int event, void*, int, int) {
    if (event == EVENT_END_TASK) enden();
    if (event != EVENT_CLOSE) return 0;
    if (app.speichern) {
        const std::string question =
            std::string("A recording is running into ") + app.datei + ". Stop it and close?";
        if (GenericMessagePopup("", question.c_str(), "Stop and close", "Cancel", "", nullptr, 0, 0,
                                VAL_GENERIC_POPUP_NO_CTRL, VAL_GENERIC_POPUP_BTN2,
                                VAL_GENERIC_POPUP_BTN2) != 1)
            return 0;
    }
    enden();
}

void about(int, int, void*, int) { MessagePopup("", kAboutText); }

void vamor1(int, int, void*, int) { DisplayPanel(app.pz); }

int vamor_end(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(app.pz);
    return 0;
}

void allvalues(int, int, void*, int) { DisplayPanel(app.av); }

int av_ende(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(app.av);
    return 0;
}
