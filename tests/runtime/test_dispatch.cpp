// The event model: one callback at a time, ticks coalesce, and only ticks reach the program
// while a modal popup is open.
#include <gtest/gtest.h>

#include "runtime/core/dispatch.h"
#include "runtime/core/graph_view.h"
#include "runtime/core/model.h"
#include "runtime/graph.h"
#include "runtime/headless/headless_frontend.h"
#include "runtime/popups.h"

namespace {

constexpr int kButton = 2, kTimer = 3, kGraph = 4;
int panelHandle = 0;
int menuBarHandle = 0;
int ticks = 0, commits = 0, menus = 0;
bool nestedTick = false, nestedCommit = false, nestedMenu = false;

int onTick(int, int, int event, void*, int, int) {
    EXPECT_EQ(event, EVENT_TIMER_TICK);
    ++ticks;
    nestedTick = rt::dispatchTimerTick(panelHandle, kTimer);  // falls due meanwhile
    return 0;
}

int onCommit(int, int, int event, void*, int, int) {
    EXPECT_EQ(event, EVENT_COMMIT);
    ++commits;
    nestedTick = rt::dispatchTimerTick(panelHandle, kTimer);
    nestedCommit = rt::dispatchCommit(panelHandle, kButton);
    nestedMenu = rt::dispatchMenu(menuBarHandle, 11);
    return 0;
}

int onCommitWithPopup(int, int, int, void*, int, int) {
    MessagePopup("", "modal");
    return 0;
}

// A dialog opens over the chart: the pointer leaves it during the callback.
int onCommitLeavingTheChart(int, int, int, void*, int, int) {
    rt::pointerLeft(panelHandle, kGraph);
    return 0;
}

void onMenu(int, int, void*, int) { ++menus; }

int onClose(int, int, void*, int, int) { throw rt::ProcessExit{0}; }

// A front end whose message popup acts as the operator and the clock would meanwhile.
struct PopupActor : rt::HeadlessFrontEnd {
    bool tickDelivered = false, commitDelivered = false;
    void messagePopup(const std::string&, const std::string&) override {
        EXPECT_TRUE(rt::popupOpen());
        tickDelivered = rt::dispatchTimerTick(panelHandle, kTimer);
        commitDelivered = rt::dispatchCommit(panelHandle, kButton);
    }
};

class Dispatch : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::Model& m = rt::Model::instance();
        m.reset();
        rt::Panel p;
        rt::Control button, timer, graph;
        button.id = kButton;
        button.kind = rt::ControlKind::Button;
        button.callback = onCommit;
        timer.id = kTimer;
        timer.kind = rt::ControlKind::Timer;
        timer.callback = onTick;
        graph.id = kGraph;
        graph.kind = rt::ControlKind::Graph;
        graph.graph = std::make_shared<rt::GraphModel>();
        p.controls = {button, timer, graph};
        p.callback = onClose;
        p.visible = true;
        panelHandle = m.addPanel(p);
        rt::MenuBar bar;
        bar.panel = panelHandle;
        rt::MenuItem entry;
        entry.id = 10;
        rt::MenuItem item;
        item.id = 11;
        item.callback = onMenu;
        entry.items.push_back(item);
        bar.menus.push_back(entry);
        menuBarHandle = m.addMenuBar(bar);
        ticks = commits = menus = 0;
        nestedTick = nestedCommit = nestedMenu = true;
        rt::setFrontEnd(&actor);
    }
    void TearDown() override {
        rt::setFrontEnd(nullptr);
        rt::Model::instance().reset();
    }
    PopupActor actor;
};

TEST_F(Dispatch, TickDuringATickCoalescesWithIt) {
    EXPECT_TRUE(rt::dispatchTimerTick(panelHandle, kTimer));
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(nestedTick);
    EXPECT_FALSE(rt::callbackRunning());
}

TEST_F(Dispatch, NothingReachesTheProgramWhileACallbackRuns) {
    EXPECT_TRUE(rt::dispatchCommit(panelHandle, kButton));
    EXPECT_EQ(commits, 1);
    EXPECT_FALSE(nestedTick);
    EXPECT_FALSE(nestedCommit);
    EXPECT_FALSE(nestedMenu);
    EXPECT_EQ(menus, 0);
    EXPECT_TRUE(rt::dispatchMenu(menuBarHandle, 11));
    EXPECT_EQ(menus, 1);
}

TEST_F(Dispatch, OnlyTicksAreDeliveredDuringAModalPopup) {
    rt::Model::instance().control(panelHandle, kButton)->callback = onCommitWithPopup;
    EXPECT_TRUE(rt::dispatchCommit(panelHandle, kButton));
    EXPECT_TRUE(actor.tickDelivered);
    EXPECT_FALSE(actor.commitDelivered);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(rt::popupOpen());
}

TEST_F(Dispatch, DimmedControlsAndMenusTakeNoEvents) {
    rt::Model& m = rt::Model::instance();
    m.control(panelHandle, kButton)->dimmed = true;
    EXPECT_FALSE(rt::dispatchCommit(panelHandle, kButton));
    m.menuBar(menuBarHandle)->menus[0].dimmed = true;
    EXPECT_FALSE(rt::dispatchMenu(menuBarHandle, 11));
    EXPECT_EQ(commits + menus, 0);
    // Events for what does not exist go nowhere.
    EXPECT_FALSE(rt::dispatchCommit(panelHandle, 77));
    EXPECT_FALSE(rt::dispatchTimerTick(panelHandle, kButton));
    EXPECT_FALSE(rt::dispatchClose(panelHandle + 5));
}

TEST_F(Dispatch, AnEndOfTheProgramInsideACallbackLeavesTheDispatcherFree) {
    EXPECT_THROW(rt::dispatchClose(panelHandle), rt::ProcessExit);
    EXPECT_FALSE(rt::callbackRunning());
    EXPECT_TRUE(rt::dispatchTimerTick(panelHandle, kTimer));
}

// The program does not hear of a pointer leaving while a callback runs; the values shown for it
// go all the same.
TEST_F(Dispatch, APointerLeavingWhileACallbackRunsTakesItsValuesAlong) {
    rt::pointerMoved(panelHandle, kGraph, 5.0);  // no callback: nothing hears of it
    const char* parts[] = {"5 s", "-50.5 mV"};
    ASSERT_EQ(SetGraphReadout(panelHandle, kGraph, 5.0, parts, 2), 0);
    rt::Model::instance().control(panelHandle, kButton)->callback = onCommitLeavingTheChart;
    EXPECT_TRUE(rt::dispatchCommit(panelHandle, kButton));
    const rt::GraphModel& g = *rt::Model::instance().control(panelHandle, kGraph)->graph;
    EXPECT_FALSE(g.view.pointerIn);
    EXPECT_TRUE(g.view.readout.empty());
}

}  // namespace
