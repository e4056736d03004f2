// The main window as the resource file lays it out, from its smallest size to a maximised wide
// screen: the chart takes the room, the settings column keeps its size along the right edge,
// the file name and status lines stretch along the bottom, and nothing leaves the window or
// is cut off.
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
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
#include "ui/tevran_ids.h"

using namespace guitest;

namespace {

class MainWindow : public FrontEndTest {
  protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        // The per-user settings of this test, not the user's.
        ASSERT_TRUE(config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
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
    // Shows the window at `size` (content area) and checks every control against the layout the
    // resource file gives it at the smallest size.
    void checkAt(QSize size) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        window->resize(size + (window->size() - content->size()));
        pumpUntil([&] { return content->size() == size; }, 2000);
        ASSERT_EQ(content->size(), size);
        const QSize grown = size - QSize(design.width, design.height);
        const QRect area = content->rect();
        for (const rt::Control& c : design.controls) {
            if (c.kind == rt::ControlKind::Timer || !c.visible) continue;
            rt::qt::ControlView* v = content->view(c.id);
            ASSERT_TRUE(v) << c.name;
            const QRect r(v->outer()->mapTo(content, QPoint(0, 0)), v->outer()->size());
            EXPECT_TRUE(area.contains(r)) << c.name << " leaves the window";
            if (QLabel* caption = v->caption()) {
                const QRect cr(caption->mapTo(content, QPoint(0, 0)), caption->size());
                EXPECT_TRUE(area.contains(cr)) << c.name << "'s caption leaves the window";
                EXPECT_LE(caption->fontMetrics().horizontalAdvance(caption->text()),
                          caption->contentsRect().width())
                    << c.name << "'s caption is cut off";
            }
            const QRect was(c.x, c.y, c.width, c.height);
            if (c.group) continue;  // inside a group that keeps its size
            if (c.id == MAIN_STRIPCHART) {
                EXPECT_EQ(r, was.adjusted(0, 0, grown.width(), grown.height())) << "the chart";
            } else if (c.id == MAIN_ALARM) {
                EXPECT_EQ(r, was.adjusted(0, 0, grown.width(), 0)) << c.name;
            } else if (c.id == MAIN_FILENAME || c.id == MAIN_STATUS) {
                EXPECT_EQ(r, was.translated(0, grown.height()).adjusted(0, 0, grown.width(), 0))
                    << c.name;
            } else if (c.kind == rt::ControlKind::Group) {
                EXPECT_EQ(r, was.translated(grown.width(), 0)) << c.name;
            } else {
                EXPECT_EQ(r, was) << c.name;
            }
        }
        // The chart's plot area follows its size.
        rt::qt::ChartView* chart = fe->chart(panel, MAIN_STRIPCHART);
        ASSERT_TRUE(chart);
        const QSizeF plot = chart->chart()->plotArea().size();
        if (grown.isNull()) smallestPlot = plot;
        // Labels may take a few pixels more or less at another range of ticks.
        EXPECT_NEAR(plot.width(), smallestPlot.width() + grown.width(), 12);
        EXPECT_NEAR(plot.height(), smallestPlot.height() + grown.height(), 12);
    }

    QTemporaryDir config;
    rt::Panel design;
    QSizeF smallestPlot;
    int panel = 0;
    QWidget* window = nullptr;
    rt::qt::PanelContent* content = nullptr;
};

TEST_F(MainWindow, ChartTakesTheRoomFromTheSmallestSizeToAMaximisedWideScreen) {
    const QSize smallest(design.width, design.height);
    EXPECT_EQ(content->minimumSize(), smallest);
    checkAt(smallest);
    checkAt(QSize(1920, 1080 - 60));  // a wide screen, less the title and menu bars
    checkAt(QSize(1300, 760));
    // It does not shrink below the resource file's layout.
    window->resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(content->size(), smallest);
}

// The window as the operator left it (saved when the program ends) is how it opens next time.
TEST_F(MainWindow, OpensAsTheOperatorLeftIt) {
    window->resize(1500, 900);
    ASSERT_TRUE(pumpUntil([&] { return window->size() == QSize(1500, 900); }, 2000));
    rt::qt::saveWindow(*window, "MAIN");
    const int again = load(design);
    DisplayPanel(again);
    QWidget* next = fe->panelWidget(again);
    ASSERT_TRUE(next && QTest::qWaitForWindowExposed(next));
    EXPECT_EQ(next->size(), QSize(1500, 900));
}

}  // namespace
