// Clicks and keys made while a callback waits for the instrument, sent as the window system
// sends them (to the window, spontaneous), act where they were aimed once the wait is over.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "qt_test_support.h"
#include "runtime/panels.h"
#include "runtime/qt/event_delivery.h"
#include "runtime/timing.h"

using namespace guitest;
using rt::ControlKind;
using rt::ValueType;

namespace {

enum { kStop = 2, kRun = 3, kWait = 4, kField = 5 };

std::vector<int> commits;
// What happens during the next waits, one step per wait.
std::vector<std::function<void()>> duringWaits;

int record(int, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) commits.push_back(control);
    return 0;
}

// A callback that waits for the instrument for 0.3 s.
int waitForInstrument(int panel, int control, int event, void* data, int a, int b) {
    record(panel, control, event, data, a, b);
    if (!duringWaits.empty()) {
        QTimer::singleShot(20, duringWaits.front());
        duringWaits.erase(duringWaits.begin());
    }
    Delay(0.3);
    return 0;
}

int hideOnClose(int panel, int event, void*, int, int) {
    if (event == EVENT_CLOSE) HidePanel(panel);
    return 0;
}

QPoint centre(QWidget* w) { return w->mapTo(w->window(), w->rect().center()); }

void click(QWidget* w) {
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {}, centre(w));
}

TEST_F(FrontEndTest, InputMadeDuringAWaitActsWhereItWasAimed) {
    rt::Panel main;
    main.name = "MAIN";
    auto add = [](rt::Panel& p, rt::Control c, CtrlCallback cb = record) {
        c.callback = cb;
        p.controls.push_back(c);
    };
    add(main, makeControl(kStop, ControlKind::Button, ValueType::None, 10, 10, 90, 30, "Stop"));
    rt::Control run =
        makeControl(kRun, ControlKind::Button, ValueType::None, 150, 10, 90, 30, "Run");
    run.shortcut = "F5";
    add(main, run);
    add(main, makeControl(kWait, ControlKind::Button, ValueType::None, 10, 60, 90, 30, "Wait"),
        waitForInstrument);
    rt::Control field =
        makeControl(kField, ControlKind::Numeric, ValueType::Double, 150, 60, 90, 26, "Interval");
    field.maximum = 100;
    add(main, field);
    const int h = load(main);
    rt::Panel params;
    params.name = "PARAMS";
    params.callback = hideOnClose;
    add(params, makeControl(kField, ControlKind::Numeric, ValueType::Double, 10, 10, 90, 26, "P0"));
    const int p = load(params);
    DisplayPanel(h);
    QWidget* mainWindow = fe->panelWidget(h);
    QWidget* paramWindow = fe->panelWidget(p);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow));
    QWidget* stop = fe->controlWidget(h, kStop);
    QWidget* runButton = fe->controlWidget(h, kRun);
    QWidget* wait = fe->controlWidget(h, kWait);
    QWidget* mainField = fe->controlWidget(h, kField);

    struct Case {
        const char* name;
        std::function<void()> before;
        std::vector<std::function<void()>> during;  // one step per wait
        std::vector<int> want;
    };
    const std::vector<Case> cases = {
        {"click, then the pointer moves away",
         {},
         {[&] {
             click(stop);
             QTest::mouseMove(mainWindow->windowHandle(), centre(runButton));
         }},
         {kWait, kStop}},
        {"click, then a click elsewhere",
         {},
         {[&] { click(stop), click(runButton); }},
         {kWait, kStop, kRun}},
        {"keys across a panel that closes",
         [&] {
             DisplayPanel(p);
             QApplication::setActiveWindow(paramWindow);
             fe->controlWidget(p, kField)->setFocus();
         },
         {[&] {
             QTest::keyClick(paramWindow->windowHandle(), Qt::Key_Escape);
             QTest::keyClick(paramWindow->windowHandle(), Qt::Key_F5);
         }},
         {kWait, kRun}},
        {"input during a wait that starts from a handed-back event",
         {},
         {[&] { click(wait), click(stop); }, [&] { click(runButton); }},
         {kWait, kWait, kStop, kRun}},
        {"a focus change during a wait",
         [&] {
             QApplication::setActiveWindow(mainWindow);
             mainField->setFocus();
             QTest::keyClicks(mainField, "42");  // typed, not committed
         },
         {[&] {
             DisplayPanel(p);
             QApplication::setActiveWindow(paramWindow);
         }},
         {kWait}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.before) c.before();
        pumpFor(50);
        commits.clear();
        duringWaits = c.during;
        // The wait starts from the program's side, as a timer tick's poll does.
        rt::qt::deliverCommit(h, kWait);
        EXPECT_TRUE(pumpUntil([&] { return commits.size() >= c.want.size(); }, 3000));
        pumpFor(100);
        EXPECT_EQ(commits, c.want);
        HidePanel(p);
    }
    EXPECT_FALSE(paramWindow->isVisible());
}

}  // namespace
