// The main window as the resource file lays it out, from its smallest size (a 1024 x 600 laptop
// with room to spare) to a maximised wide screen: the chart takes the room or gives it up first,
// the settings column keeps its width along the right edge and scrolls when the window is too
// short for it, the file name and status lines stretch along the bottom, and nothing leaves the
// window or is cut off.
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "qt_test_support.h"
#include "runtime/core/resource.h"
#include "runtime/panels.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/panel_window.h"
#include "runtime/qt/user_settings.h"
#include "runtime/qt/window_placement.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

using namespace guitest;

namespace {

class MainWindow : public FrontEndTest {
  protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        // The per-user settings of this test, not the user's.
        ASSERT_TRUE(config.isValid());
        rt::setProjectDir(config.path().toStdString());
        rt::ResourceFile file;
        std::string error;
        ASSERT_TRUE(rt::readResourceFile(TEVRAN_SOURCE_DIR "/ui/TEVRAN.uir", file, error)) << error;
        const rt::PanelResource* res = file.panel(2);
        ASSERT_TRUE(res);
        design = res->panel;
        panel = load(design);
        DisplayPanel(panel);
        window = fe->panelWidget(panel);
        content = fe->panelContent(panel);
        ASSERT_TRUE(window && content);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override {
        rt::setProjectDir("");
        FrontEndTest::TearDown();
    }
    // Shows the window at `size` (content area) and checks every control against the layout the
    // resource file gives it at the smallest size.
    void checkAt(QSize size) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        window->resize(size + (window->size() - content->size()));
        pumpUntil([&] { return content->size() == size; }, 2000);
        ASSERT_EQ(content->size(), size);
        const QSize grown = size - QSize(design.width, design.height);
        auto* column = dynamic_cast<rt::qt::ScrollColumnView*>(content->view(MAIN_SETTINGS));
        ASSERT_TRUE(column);
        const rt::Control& columnDesign = *design.find(MAIN_SETTINGS);
        const QRect columnWas(columnDesign.x, columnDesign.y, columnDesign.width,
                              columnDesign.height);
        QWidget* inner = column->inner();
        const auto inColumn = [&](const rt::Control& c) {
            for (int g = c.group; g; g = design.find(g)->group)
                if (g == MAIN_SETTINGS) return true;
            return false;
        };
        for (const rt::Control& c : design.controls) {
            if (c.kind == rt::ControlKind::Timer || !c.visible) continue;
            rt::qt::ControlView* v = content->view(c.id);
            ASSERT_TRUE(v) << c.name;
            // Inside the window, or inside the column, which scrolls to every part of it.
            QWidget* area = inColumn(c) ? inner : static_cast<QWidget*>(content);
            const QRect r(v->outer()->mapTo(area, QPoint(0, 0)), v->outer()->size());
            EXPECT_TRUE(area->rect().contains(r)) << c.name << " leaves the window";
            if (QLabel* caption = v->caption()) {
                const QRect cr(caption->mapTo(area, QPoint(0, 0)), caption->size());
                EXPECT_TRUE(area->rect().contains(cr)) << c.name << "'s caption leaves the window";
                EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()),
                          caption->contentsRect().width())
                    << c.name << "'s caption is cut off";
            }
            const QRect was(c.x, c.y, c.width, c.height);
            if (c.group == MAIN_SETTINGS) {
                // Along the column's right edge, less a scroll bar where there is one.
                EXPECT_EQ(r, was.translated(inner->width() - columnWas.right() - 1, -columnWas.y()))
                    << c.name;
            } else if (c.group) {
                continue;  // inside a group that keeps its size
            } else if (c.id == MAIN_STRIPCHART) {
                EXPECT_EQ(r, was.adjusted(0, 0, grown.width(), grown.height())) << "the chart";
            } else if (c.id == MAIN_ALARM) {
                EXPECT_EQ(r, was.adjusted(0, 0, grown.width(), 0)) << c.name;
            } else if (c.id == MAIN_FILENAME || c.id == MAIN_STATUS) {
                EXPECT_EQ(r, was.translated(0, grown.height()).adjusted(0, 0, grown.width(), 0))
                    << c.name;
            } else if (c.id == MAIN_SETTINGS) {
                EXPECT_EQ(r, was.translated(grown.width(), 0).adjusted(0, 0, 0, grown.height()));
            } else {
                EXPECT_EQ(r, was) << c.name;
            }
        }
        // The column scrolls exactly as far as its lowest group needs.
        auto* scroll = static_cast<QScrollArea*>(column->outer());
        EXPECT_EQ(inner->height(), columnWas.height());
        EXPECT_EQ(scroll->verticalScrollBar()->maximum(),
                  std::max(0, columnWas.height() - scroll->viewport()->height()));
        // The chart's plot area follows its size.
        rt::qt::ChartView* chart = fe->chart(panel, MAIN_STRIPCHART);
        ASSERT_TRUE(chart);
        const QSizeF plot = chart->chart()->plotArea().size();
        if (firstPlot.isEmpty()) firstPlot = plot, firstGrown = grown;
        // Labels may take a few pixels more or less at another range of ticks.
        EXPECT_NEAR(plot.width(), firstPlot.width() + grown.width() - firstGrown.width(), 12);
        EXPECT_NEAR(plot.height(), firstPlot.height() + grown.height() - firstGrown.height(), 12);
    }

    QTemporaryDir config;
    rt::Panel design;
    QSizeF firstPlot;
    QSize firstGrown;
    int panel = 0;
    QWidget* window = nullptr;
    rt::qt::PanelContent* content = nullptr;
};

TEST_F(MainWindow, ChartTakesTheRoomFromTheSmallestSizeToAMaximisedWideScreen) {
    const QSize smallest(design.minWidth, design.minHeight);
    EXPECT_EQ(content->minimumSize(), smallest);
    checkAt(smallest);
    checkAt(QSize(1024, 600 - 56));  // a 1024 x 600 laptop, less the title and menu bars
    checkAt(QSize(960, 540 - 56));   // scale 2 on 1920 x 1080
    checkAt(QSize(design.width, design.height));
    checkAt(QSize(1920, 1080 - 60));
    // It does not shrink below its smallest size.
    window->resize(600, 300);
    QApplication::processEvents();
    EXPECT_EQ(content->size(), smallest);
}

// A remembered size that does not fit the screen (a hand-edited or foreign tevran.conf) is not
// taken: the window opens at its smallest size, and that is what is saved again.
TEST_F(MainWindow, OpensNoLargerThanItsScreen) {
    const QRect screen = window->screen()->availableGeometry();
    for (const QRect huge : {QRect(0, 0, 5000, 5000), QRect(10, 10, 2000000000, 2000000000)}) {
        QSettings conf(config.filePath("tevran.conf"), QSettings::IniFormat);
        conf.setValue("windows/MAIN/geometry", huge);
        conf.sync();
        const int again = load(design);
        QWidget* next = fe->panelWidget(again);
        ASSERT_TRUE(next);
        EXPECT_LE(next->width(), std::max(screen.width(), next->minimumSizeHint().width()));
        EXPECT_LE(next->height(), std::max(screen.height(), next->minimumSizeHint().height()));
        rt::qt::saveWindow(*next, "MAIN");
        QSettings saved(config.filePath("tevran.conf"), QSettings::IniFormat);
        EXPECT_NE(saved.value("windows/MAIN/geometry").toRect(), huge);
    }
}

TEST(WindowPlace, FitsTheScreenAndStandsBesideOtherInstances) {
    const QRect screen(0, 0, 1920, 1040);
    const QRect area = screen.marginsRemoved(rt::qt::kFrameAllowance);
    const QSize smallest(920, 430), preferred(1040, 710);
    const QRect fitting(100, 100, 1200, 800), first(40, 40, 920, 430), big(4, 32, 1500, 900);
    const struct {
        QRect remembered;
        std::vector<QRect> others;
        QRect expected;  // empty: centred at `size`
        QSize size;
        bool taken;
    } cases[] = {
        {fitting, {}, fitting, {}, true},
        {QRect(0, 0, 5000, 5000), {}, {}, smallest, false},
        {QRect(10, 10, 2000000000, 2000000000), {}, {}, smallest, false},
        {QRect(3000, 100, 1200, 800), {}, {}, smallest, false},  // on a screen no longer there
        {QRect(), {}, {}, preferred, false},
        // The first instance's window is there: beside it, to its right.
        {first, {first}, QRect(976, 40, 920, 430), {}, true},
        // No room beside or below: a step down and right.
        {big, {big}, big.translated(32, 32), {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remembered.x());
        const rt::qt::WindowPlace place =
            rt::qt::chooseWindowPlace(c.remembered, smallest, preferred, screen, c.others);
        if (c.expected.isEmpty()) {
            EXPECT_EQ(place.rect.size(), c.size);
            EXPECT_LE((place.rect.center() - area.center()).manhattanLength(), 2);
        } else {
            EXPECT_EQ(place.rect, c.expected);
        }
        EXPECT_EQ(place.remembered, c.taken);
    }
}

}  // namespace
