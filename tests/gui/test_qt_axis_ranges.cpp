// Axis ranges that jump by orders of magnitude (an operator typing a maximum of 100000, a run
// switching to automatic scaling): the chart never passes through a state with a huge number of
// ticks, which would keep it busy for minutes (a regression shows as this test stalling).
#include <QValueAxis>
#include <algorithm>

#include "qt_test_support.h"
#include "runtime/qt/chart_view.h"

using namespace guitest;

namespace {

TEST(AxisRanges, JumpsOfManyDecadesNeverLayOutThousandsOfTicks) {
    qtApp();
    rt::qt::ChartView view;
    view.resize(600, 400);
    double worst = 0.0;
    for (int which : {0, 1, 2}) {
        QValueAxis* axis = which == 0 ? view.xAxis() : view.yAxis(which);
        auto watch = [axis, &worst] {
            if (axis->tickInterval() <= 0) return;
            worst = std::max(worst, (axis->max() - axis->min()) / axis->tickInterval());
        };
        QObject::connect(axis, &QValueAxis::rangeChanged, watch);
        QObject::connect(axis, &QValueAxis::tickIntervalChanged, watch);
    }

    rt::GraphModel g;
    const double ranges[][2] = {{0, 10}, {0, 100000}, {-1e9, 1e9}, {0, 1}, {5, 5.001}, {0, 1e6},
                                {-100, 0}};
    for (const auto& r : ranges) {
        for (rt::AxisSetting& a : g.axis) a = {0, r[0], r[1]};
        view.showGraph(g);
        for (int which : {1, 2}) {
            EXPECT_DOUBLE_EQ(view.yAxis(which)->min(), r[0]);
            EXPECT_DOUBLE_EQ(view.yAxis(which)->max(), r[1]);
        }
    }
    EXPECT_LE(worst, 25.0) << "ticks laid out at one time";
}

}  // namespace
