// Panels as windows: operator input becomes exactly one commit with the model updated first;
// the program's changes show without a commit; dimming, hiding, closing, child panels, menus.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <vector>

#include "qt_test_support.h"
#include "runtime/core/dispatch.h"
#include "runtime/panels.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/menu_bar.h"
#include "runtime/qt/panel_window.h"

using namespace guitest;
using rt::ControlKind;
using rt::ValueType;

namespace {

enum {
    kNumber = 2, kWide = 3, kCount = 4, kSwitch = 5, kSelector = 6, kButton = 7, kText = 8,
    kLed = 9, kGroup = 10, kInGroup = 11, kGroupButton = 12, kTimer = 13, kMark = 14, kInput = 15,
};

// What a callback saw: the control and the model's value at the time.
struct Commit {
    int control;
    double value;
    int event;
};
std::vector<Commit> commits;
int closes = 0;
bool hideOnClose = false;

int recordCommit(int panel, int control, int event, void*, int, int) {
    rt::Control* c = rt::Model::instance().control(panel, control);
    double v = c->type == ValueType::Double ? c->doubleValue : c->intValue;
    commits.push_back({control, v, event});
    return 0;
}

int onClose(int panel, int event, void*, int, int) {
    EXPECT_EQ(event, EVENT_CLOSE);
    ++closes;
    if (hideOnClose) HidePanel(panel);
    return 0;
}

rt::Panel settingsPanel() {
    rt::Panel p;
    p.name = "SETTINGS";
    p.title = "Settings";
    p.width = 500;
    p.height = 360;
    p.callback = onClose;
    auto add = [&](rt::Control c) {
        c.callback = recordCommit;
        p.controls.push_back(c);
        return &p.controls.back();
    };
    rt::Control* n = add(makeControl(kNumber, ControlKind::Numeric, ValueType::Double, 110, 10,
                                     100, 26, "Interval [s]"));
    n->minimum = 0.01;
    n->maximum = 3600;
    n->increment = 0.1;
    n->precision = 3;
    n->doubleValue = 1.0;
    rt::Control* w = add(makeControl(kWide, ControlKind::Numeric, ValueType::Double, 110, 44,
                                     120, 26, "Minimum"));
    w->minimum = -1e12;
    w->maximum = 1e12;
    w->precision = 2;
    rt::Control* i = add(makeControl(kCount, ControlKind::Numeric, ValueType::Int, 110, 78, 80,
                                     26, "Port"));
    i->minimum = 1;
    i->maximum = 255;
    i->precision = 0;
    i->intValue = 1;
    add(makeControl(kSwitch, ControlKind::Switch, ValueType::Int, 10, 112, 180, 24,
                    "Automatic scaling"));
    rt::Control* s = add(makeControl(kSelector, ControlKind::Selector, ValueType::Int, 110, 142,
                                     120, 26, "Quantity"));
    s->items = {{"Vz [mV]", 0}, {"Tz [\xB0" "C]", 1}, {"pO2 [ppm]", 2}};
    add(makeControl(kButton, ControlKind::Button, ValueType::None, 10, 176, 90, 30, "Run"));
    rt::Control* t = add(makeControl(kText, ControlKind::TextDisplay, ValueType::String, 10, 214,
                                     300, 70, "Trace 1"));
    t->textSize = 20;
    t->colour = 0x0000FF;
    add(makeControl(kLed, ControlKind::Led, ValueType::Int, 320, 214, 60, 30, "COM"))->colour =
        0x00C000;
    add(makeControl(kMark, ControlKind::Mark, ValueType::None, 400, 214, 70, 30, "Idle"))->colour =
        0x008000;
    add(makeControl(kGroup, ControlKind::Group, ValueType::None, 250, 10, 240, 120, "Stored"));
    rt::Control* g1 = add(makeControl(kInGroup, ControlKind::Numeric, ValueType::Int, 340, 40, 80,
                                      26, "Points"));
    g1->group = kGroup;
    g1->minimum = 0;
    g1->maximum = 1000;
    add(makeControl(kGroupButton, ControlKind::Button, ValueType::None, 262, 80, 90, 30,
                    "Open..."))
        ->group = kGroup;
    add(makeControl(kInput, ControlKind::TextInput, ValueType::String, 110, 300, 300, 26,
                    "Command"));
    rt::Control* timer = add(makeControl(kTimer, ControlKind::Timer, ValueType::None, 0, 0, 0, 0));
    timer->interval = 1.0;
    return p;
}

class PanelWidgets : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        commits.clear();
        closes = 0;
        hideOnClose = false;
        panel = load(settingsPanel());
        DisplayPanel(panel);
        window = fe->panelWidget(panel);
        ASSERT_NE(window, nullptr);
        QApplication::setActiveWindow(window);
        pumpUntil([&] { return window->isActiveWindow(); }, 3000);
    }
    // Replaces the field's text as an operator would, then presses Enter.
    void typeAndEnter(QAbstractSpinBox* spin, const QString& text) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, text);
        QTest::keyClick(spin, Qt::Key_Return);
    }
    int panel = 0;
    QWidget* window = nullptr;
};

TEST_F(PanelWidgets, NumericFieldCommitsOncePerEnterStepOrChangedExit) {
    auto* spin = widget<QDoubleSpinBox>(panel, kNumber);
    ASSERT_TRUE(spin);
    EXPECT_EQ(spin->decimals(), 3);
    EXPECT_EQ(spin->text(), "1.000");
    EXPECT_FALSE(spin->keyboardTracking());

    // Typing alone commits nothing; Enter commits once, with the model already updated.
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "2.5");
    EXPECT_TRUE(commits.empty());
    QTest::keyClick(spin, Qt::Key_Return);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].control, kNumber);
    EXPECT_EQ(commits[0].event, EVENT_COMMIT);
    EXPECT_DOUBLE_EQ(commits[0].value, 2.5);

    // Enter on an unchanged value commits again, once.
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(commits.size(), 2u);

    // A step commits the stepped value, once.
    QTest::keyClick(spin, Qt::Key_Up);
    ASSERT_EQ(commits.size(), 3u);
    EXPECT_DOUBLE_EQ(commits[2].value, 2.6);

    // Leaving the field after a change commits once; leaving it unchanged does not.
    spin->selectAll();
    QTest::keyClicks(spin, "0.125");
    auto* other = widget<QSpinBox>(panel, kCount);
    other->setFocus();
    pumpUntil([&] { return other->hasFocus(); }, 3000);
    ASSERT_TRUE(other->hasFocus());
    ASSERT_EQ(commits.size(), 4u);
    EXPECT_DOUBLE_EQ(commits[3].value, 0.125);
    spin->setFocus();
    other->setFocus();
    pumpFor(20);
    EXPECT_EQ(commits.size(), 4u);
    EXPECT_DOUBLE_EQ(rt::Model::instance().control(panel, kNumber)->doubleValue, 0.125);
}

TEST_F(PanelWidgets, WideRangeFieldShowsItsPrecisionAndTakesLargeNumbers) {
    auto* spin = widget<QDoubleSpinBox>(panel, kWide);
    ASSERT_TRUE(spin);
    EXPECT_EQ(spin->decimals(), 2);
    EXPECT_DOUBLE_EQ(spin->maximum(), 1e12);
    typeAndEnter(spin, "-987654321.25");
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_DOUBLE_EQ(commits[0].value, -987654321.25);
    SetCtrlVal(panel, kWide, 1234.5);
    EXPECT_EQ(spin->text(), "1234.50");  // a point, no group separators

    auto* port = widget<QSpinBox>(panel, kCount);
    ASSERT_TRUE(port);
    typeAndEnter(port, "7");
    ASSERT_EQ(commits.size(), 2u);
    EXPECT_EQ(rt::Model::instance().control(panel, kCount)->intValue, 7);
    // Out of range: the field keeps to its limits.
    typeAndEnter(port, "999");
    EXPECT_LE(rt::Model::instance().control(panel, kCount)->intValue, 255);
}

TEST_F(PanelWidgets, SwitchSelectorAndButtonCommitOnOperatorAction) {
    auto* box = widget<QCheckBox>(panel, kSwitch);
    ASSERT_TRUE(box);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].control, kSwitch);
    EXPECT_EQ(commits[0].value, 1);

    auto* combo = widget<QComboBox>(panel, kSelector);
    ASSERT_TRUE(combo);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), QString::fromUtf8("Tz [°C]"));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // chooses the next entry
    ASSERT_EQ(commits.size(), 2u);
    EXPECT_EQ(commits[1].control, kSelector);
    EXPECT_EQ(commits[1].value, 1);

    auto* button = widget<QPushButton>(panel, kButton);
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(commits.size(), 3u);
    EXPECT_EQ(commits[2].control, kButton);
}

TEST_F(PanelWidgets, TextInputCommitsAChangedTextOnceInTheProgramsEncoding) {
    auto* edit = widget<QLineEdit>(panel, kInput);
    ASSERT_TRUE(edit);
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromUtf8("mail \"°C\""));
    EXPECT_TRUE(commits.empty());
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Return);  // unchanged: no second commit
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].control, kInput);
    EXPECT_EQ(rt::Model::instance().control(panel, kInput)->stringValue, "mail \"\xB0" "C\"");

    SetCtrlVal(panel, kInput, "echo \xB0");
    pumpFor(10);
    EXPECT_EQ(edit->text(), QString::fromUtf8("echo °"));
    EXPECT_EQ(commits.size(), 1u);
}

TEST_F(PanelWidgets, ProgramChangesShowWithoutCommits) {
    SetCtrlVal(panel, kNumber, 0.25);
    SetCtrlVal(panel, kCount, 42);
    SetCtrlVal(panel, kSwitch, 1);
    SetCtrlVal(panel, kSelector, 2);
    SetCtrlVal(panel, kText, "Tz = 750.0 \xB0" "C");
    SetCtrlVal(panel, kLed, 1);
    SetCtrlAttribute(panel, kMark, ATTR_COLOR, 0xFF0000);
    SetCtrlAttribute(panel, kText, ATTR_COLOR, 0x00FF00);
    pumpFor(10);
    EXPECT_TRUE(commits.empty());

    EXPECT_EQ(widget<QDoubleSpinBox>(panel, kNumber)->value(), 0.25);
    EXPECT_EQ(widget<QSpinBox>(panel, kCount)->value(), 42);
    EXPECT_TRUE(widget<QCheckBox>(panel, kSwitch)->isChecked());
    EXPECT_EQ(widget<QComboBox>(panel, kSelector)->currentText(), "pO2 [ppm]");
    auto* text = widget<QLabel>(panel, kText);
    EXPECT_EQ(text->text(), QString::fromUtf8("Tz = 750.0 °C"));
    EXPECT_EQ(text->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(text->font().pointSize(), 20);
    // A text longer than its line is cut at the box's edge: the tooltip holds it whole.
    const QString longText = "Data file: the recording goes on in /home/lab/rec (2).dat";
    SetCtrlVal(panel, kText, longText.toLatin1().constData());
    EXPECT_TRUE(text->toolTip().contains(longText)) << text->toolTip().toStdString();
    SetCtrlVal(panel, kText, "Tz");
    EXPECT_EQ(text->toolTip(), "");
    EXPECT_TRUE(widget<rt::qt::LedWidget>(panel, kLed)->isOn());
    EXPECT_EQ(widget<rt::qt::MarkWidget>(panel, kMark)->colour(), QColor(255, 0, 0));

    // A change the program makes while the operator types keeps the typed text when the
    // number shown stays the same.
    auto* spin = widget<QDoubleSpinBox>(panel, kNumber);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "3");
    SetCtrlVal(panel, kNumber, 0.25);
    EXPECT_EQ(spin->text(), "3");
    QTest::keyClick(spin, Qt::Key_Return);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_DOUBLE_EQ(commits[0].value, 3.0);
}

// Counts the paint events a widget gets, and whether the indicator was on in them.
class PaintCounter : public QObject {
public:
    int paints = 0;
    int paintsWhileOn = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (auto* led = qobject_cast<rt::qt::LedWidget*>(watched); led && led->isOn())
                ++paintsWhileOn;
        }
        return false;
    }
};

// A callback that blocks (a serial exchange waiting for its reply) holds up the event loop:
// what the operator must see during it has to reach the screen before, without the loop.
TEST_F(PanelWidgets, ChangesArePaintedBeforeACallbackBlocks) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    pumpFor(20);
    PaintCounter led, count;
    widget<rt::qt::LedWidget>(panel, kLed)->installEventFilter(&led);
    widget<QSpinBox>(panel, kInGroup)->installEventFilter(&count);
    SetCtrlAttribute(panel, kInGroup, ATTR_VISIBLE, 0);
    pumpFor(20);

    // No event loop from here on, as inside a callback.
    SetCtrlVal(panel, kLed, 1);
    EXPECT_GE(led.paintsWhileOn, 1) << "the indicator shows on before the exchange blocks";
    SetCtrlVal(panel, kLed, 0);

    // A control shown in the middle of a callback (the point count of a load) is painted by
    // ProcessDrawEvents, with its new value.
    SetCtrlAttribute(panel, kInGroup, ATTR_VISIBLE, 1);
    SetCtrlVal(panel, kInGroup, 25);
    int before = count.paints;
    ProcessDrawEvents();
    EXPECT_GT(count.paints, before);
    EXPECT_EQ(widget<QSpinBox>(panel, kInGroup)->text(), "25");
}

TEST_F(PanelWidgets, DimmedAndHiddenControlsAndGroups) {
    auto* inGroup = widget<QSpinBox>(panel, kInGroup);
    auto* groupButton = widget<QPushButton>(panel, kGroupButton);
    auto* box = widget<QGroupBox>(panel, kGroup);
    ASSERT_TRUE(inGroup && groupButton && box);
    // Laid out inside the group: panel coordinates become group coordinates.
    EXPECT_EQ(groupButton->parentWidget(), box);
    EXPECT_EQ(groupButton->geometry(), QRect(12, 70, 90, 30));

    SetCtrlAttribute(panel, kGroup, ATTR_DIMMED, 1);
    EXPECT_FALSE(inGroup->isEnabled());
    EXPECT_FALSE(groupButton->isEnabled());
    QTest::mouseClick(groupButton, Qt::LeftButton);
    EXPECT_TRUE(commits.empty());

    // Undimming the group gives back what was not dimmed on its own.
    SetCtrlAttribute(panel, kInGroup, ATTR_DIMMED, 1);
    SetCtrlAttribute(panel, kGroup, ATTR_DIMMED, 0);
    EXPECT_TRUE(groupButton->isEnabled());
    EXPECT_FALSE(inGroup->isEnabled());
    EXPECT_FALSE(fe->panelContent(panel)->view(kInGroup)->caption()->isEnabled());

    SetCtrlAttribute(panel, kButton, ATTR_DIMMED, 1);
    EXPECT_FALSE(widget<QPushButton>(panel, kButton)->isEnabled());
    SetCtrlAttribute(panel, kText, ATTR_VISIBLE, 0);
    EXPECT_FALSE(fe->panelContent(panel)->view(kText)->outer()->isVisible());
    SetCtrlAttribute(panel, kGroup, ATTR_VISIBLE, 0);
    EXPECT_FALSE(groupButton->isVisible());
    SetCtrlAttribute(panel, kGroup, ATTR_VISIBLE, 1);
    EXPECT_TRUE(groupButton->isVisible());
}

TEST_F(PanelWidgets, CaptionsSitBesideTheirFields) {
    auto* content = fe->panelContent(panel);
    QLabel* caption = content->view(kNumber)->caption();
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->text(), "Interval [s]");
    EXPECT_LT(caption->geometry().right(), 110);  // left of the field
    EXPECT_EQ(caption->parentWidget(), content);
    // The text display at x = 10 has no room on its left and a button above it: its caption
    // goes inside its rectangle, above the value.
    rt::qt::ControlView* text = content->view(kText);
    ASSERT_TRUE(text->caption());
    EXPECT_EQ(text->caption()->text(), "Trace 1");
    EXPECT_EQ(text->outer()->geometry(), QRect(10, 214, 300, 70));
    EXPECT_EQ(text->caption()->parentWidget(), text->outer());
    EXPECT_LE(text->caption()->geometry().bottom(), text->widget()->geometry().top());
}

TEST_F(PanelWidgets, ClosingTheWindowAsksTheProgramAndKeepsIt) {
    auto* main = qobject_cast<rt::qt::PanelWindow*>(window);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->objectName(), "SETTINGS");
    EXPECT_EQ(main->windowTitle(), "Settings");
    EXPECT_FALSE(main->close());  // the close is refused...
    EXPECT_EQ(closes, 1);         // ...and reported to the program
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(fe->panelWidget(panel), main);

    // The program decides to hide it: hidden, not destroyed; it shows again.
    hideOnClose = true;
    main->close();
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(fe->panelWidget(panel), main);
    DisplayPanel(panel);
    EXPECT_TRUE(main->isVisible());
}

TEST_F(FrontEndTest, ChildPanelShowsInsideItsParentAboveTheControls) {
    rt::Panel parent;
    parent.name = "MAIN";
    parent.width = 600;
    parent.height = 400;
    parent.controls.push_back(
        makeControl(2, ControlKind::Button, ValueType::None, 200, 100, 100, 30, "Under"));
    int main = load(parent);
    rt::Panel child;
    child.name = "PORT";
    child.title = "Serial port";
    child.parent = main;
    child.x = 150;
    child.y = 80;
    child.width = 300;
    child.height = 150;
    child.controls.push_back(
        makeControl(2, ControlKind::Numeric, ValueType::Int, 80, 20, 80, 26, "Port"));
    int port = load(child);
    DisplayPanel(main);

    QWidget* frame = fe->panelWidget(port);
    ASSERT_TRUE(frame);
    EXPECT_FALSE(frame->isWindow());
    EXPECT_EQ(frame->window(), fe->panelWidget(main));
    EXPECT_FALSE(frame->isVisible());
    DisplayPanel(port);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->pos(), QPoint(150, 80));
    // Raised: the topmost widget at the covered button's place belongs to the child panel.
    QWidget* area = fe->panelContent(main);
    QWidget* top = area->childAt(QPoint(250, 115));
    ASSERT_TRUE(top);
    EXPECT_TRUE(frame->isAncestorOf(top) || top == frame);
    EXPECT_TRUE(frame->findChild<QLabel*>() != nullptr);
    HidePanel(port);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(fe->panelWidget(main)->isVisible());
}

namespace {
std::vector<int> menuChoices;
void onMenu(int, int item, void*, int) { menuChoices.push_back(item); }
}  // namespace

TEST_F(FrontEndTest, MenuItemsReachTheProgramAndDimmedEntriesAreDisabled) {
    menuChoices.clear();
    rt::MenuBar bar;
    bar.name = "MAINMENU";
    rt::MenuItem view{1, "MENU_VIEW", "&View", "", nullptr, false, {}};
    view.items.push_back({3, "MENU_ALL", "&All values...", "", onMenu, false, {}});
    rt::MenuItem instrument{2, "MENU_INSTRUMENT", "&Instrument", "", nullptr, false, {}};
    instrument.items.push_back({4, "MENU_PORT", "&Serial port...", "", onMenu, false, {}});
    bar.menus = {view, instrument};
    int mb = rt::Model::instance().addMenuBar(bar);
    rt::Panel p;
    p.name = "MAIN";
    p.menuBar = mb;
    int h = load(p);
    rt::Model::instance().menuBar(mb)->panel = h;
    DisplayPanel(h);

    rt::qt::MenuBarView* menus = fe->menuBarView(mb);
    ASSERT_TRUE(menus);
    auto* window = qobject_cast<QMainWindow*>(fe->panelWidget(h));
    ASSERT_TRUE(window);
    EXPECT_EQ(menus->bar(), window->menuBar());
    EXPECT_EQ(window->menuBar()->actions().size(), 2);
    ASSERT_TRUE(menus->action(3));
    EXPECT_EQ(menus->action(3)->text(), "&All values...");
    menus->action(3)->trigger();
    EXPECT_EQ(menuChoices, std::vector<int>{3});

    SetMenuBarAttribute(mb, 2, ATTR_DIMMED, 1);
    EXPECT_FALSE(menus->action(2)->isEnabled());
    EXPECT_TRUE(menus->action(4)->isEnabled());
    SetMenuBarAttribute(mb, 2, ATTR_DIMMED, 0);
    EXPECT_TRUE(menus->action(2)->isEnabled());
    SetMenuBarAttribute(mb, 3, ATTR_DIMMED, 1);
    EXPECT_FALSE(menus->action(3)->isEnabled());
}

// The keyboard: a button's key presses it (not while it is dimmed) and its hint names the key;
// Escape on a window of its own asks the program to close it, as the title bar's button does,
// but never on the main window (the one with the menu bar), whose close ends the program.
TEST_F(FrontEndTest, ShortcutsPressButtonsAndEscapeAsksToCloseSecondaryWindows) {
    commits.clear();
    closes = 0;
    hideOnClose = false;
    int mb = rt::Model::instance().addMenuBar(rt::MenuBar{});
    rt::Panel main;
    main.name = "MAIN";
    main.menuBar = mb;
    main.callback = onClose;
    rt::Control run = makeControl(kButton, ControlKind::Button, ValueType::None, 10, 10, 90, 30,
                                  "Run");
    run.callback = recordCommit;
    run.shortcut = "F5";
    run.tooltip = "Start a measurement.";
    main.controls.push_back(run);
    const int h = load(main);
    rt::Panel info;
    info.name = "INFO";
    info.callback = onClose;
    const int i = load(info);
    DisplayPanel(h);

    QWidget* mainWindow = fe->panelWidget(h);
    QWidget* infoWindow = fe->panelWidget(i);
    auto* button = qobject_cast<QPushButton*>(fe->controlWidget(h, kButton));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->toolTip(), "Start a measurement. (F5)");
    QApplication::setActiveWindow(mainWindow);
    ASSERT_TRUE(pumpUntil([&] { return mainWindow->isActiveWindow(); }, 3000));
    // A button pressed by its key shows itself pressed for a moment, then commits.
    QTest::keyClick(mainWindow, Qt::Key_F5);
    EXPECT_TRUE(pumpUntil([] { return commits.size() == 1; }, 2000));
    SetCtrlAttribute(h, kButton, ATTR_DIMMED, 1);
    QTest::keyClick(mainWindow, Qt::Key_F5);
    pumpFor(300);
    EXPECT_EQ(commits.size(), 1u) << "a dimmed button ignores its key";
    QTest::keyClick(mainWindow, Qt::Key_Escape);
    EXPECT_EQ(closes, 0) << "Escape does not close the main window";

    DisplayPanel(i);
    QApplication::setActiveWindow(infoWindow);
    ASSERT_TRUE(pumpUntil([&] { return infoWindow->isActiveWindow(); }, 3000));
    hideOnClose = true;
    QTest::keyClick(infoWindow, Qt::Key_Escape);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(infoWindow->isVisible());
}

}  // namespace
