// The strip chart's cost per poll in real Qt windows (offscreen): the worst stack of plots the
// chart allows, then the sliding window. The x range does not move during the first 100 s, so
// every poll adds two plots on top of the earlier ones (about 4 000 by then at 0.05 s, 20 000
// at 0.01 s); afterwards the range moves on every ten intervals, at least every second, deleting
// the plots, and the window of the last 899 samples is drawn again at each poll.
//
//   chart_cost [-i INTERVAL] [-e] [STACK_POLLS [SLIDING_POLLS [PICTURE.png]]]
//
// INTERVAL defaults to 0.05 s, STACK_POLLS to 100 s of polls, SLIDING_POLLS to 1000. The chart
// is redrawn and painted at the screen's pace, 60 frames a second of the run's time (at 0.05 s
// every poll), as the program's window does; -e redraws and paints it after every poll.
// PICTURE.png, if given, receives the chart as the last poll left it.
//
// Each poll is timed from `plotten` to the end of its frame, if it makes one: the program's
// drawing, the front end's redraw of the chart, the posted scene work and the one paint the
// program's event loop makes of it. The clock of the run is virtual (the elapsed time is set for
// each poll), so only that work counts.
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QValueAxis>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/state.h"
#include "app/system.h"
#include "runtime/core/model.h"
#include "runtime/core/resource.h"
#include "runtime/panels.h"
#include "runtime/qt/chart_view.h"
#include "runtime/qt/qt_frontend.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {

double pollInterval = 0.05;          // [s]
constexpr double kFrame = 1.0 / 60;  // [s] between two frames of the screen

// A line of /proc/self/status in KiB ("VmRSS", "VmHWM").
long statusKiB(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::atol(line.c_str() + prefix.size());
    return 0;
}

// CPU time of this thread [s]: the work itself, without the time other processes took the CPU.
double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Phase {
    const char* name = "";
    std::vector<double> seconds;
    std::vector<double> cpu;
    int worstPoll = 0;
    std::size_t worstPlots = 0;
};

void report(const Phase& p) {
    if (p.seconds.empty()) return;
    const auto meanOf = [](const std::vector<double>& v) {
        double sum = 0;
        for (double x : v) sum += x;
        return sum / double(v.size());
    };
    const double mean = meanOf(p.seconds),
                 worst = *std::max_element(p.seconds.begin(), p.seconds.end());
    const double cpuMean = meanOf(p.cpu), cpuWorst = *std::max_element(p.cpu.begin(), p.cpu.end());
    std::printf(
        "%-8s %5zu polls: wall mean %6.2f ms (%5.1f %% of the interval), worst %6.2f ms "
        "(%5.1f %%) at poll %d with %zu plots\n",
        p.name, p.seconds.size(), mean * 1e3, 100 * mean / pollInterval, worst * 1e3,
        100 * worst / pollInterval, p.worstPoll, p.worstPlots);
    std::printf("%-8s %5s        CPU  mean %6.2f ms (%5.1f %%), worst %6.2f ms (%5.1f %%)\n", "",
                "", cpuMean * 1e3, 100 * cpuMean / pollInterval, cpuWorst * 1e3,
                100 * cpuWorst / pollInterval);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bool everyPoll = false;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (std::string(argv[arg]) == "-e") {
            everyPoll = true;
        } else if (std::string(argv[arg]) == "-i" && arg + 1 < argc) {
            pollInterval = std::atof(argv[++arg]);
        } else {
            std::fprintf(stderr, "usage: chart_cost [-i INTERVAL] [-e] [STACK [SLIDING [PNG]]]\n");
            return 2;
        }
    }
    if (!(pollInterval >= 0.01)) pollInterval = 0.01;
    const int stackPolls = argc > arg ? std::atoi(argv[arg]) : int(std::lround(100 / pollInterval));
    const int slidingPolls = argc > arg + 1 ? std::atoi(argv[arg + 1]) : 1000;
    const char* picture = argc > arg + 2 ? argv[arg + 2] : nullptr;
    QApplication qtApp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    // A program directory whose settings name a port no system has: the run starts without one.
    char tmpl[] = "/tmp/tevran-chart-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;
    char settings[128];
    std::snprintf(settings, sizeof settings,
                  " 200 %f 0 1 0.000000 10.000000 0.000000 10.000000 1 1 Kv_2016\r\n",
                  pollInterval);
    std::ofstream(dir + "/TEVRAN.ini") << settings;
    rt::setProjectDir(dir);
    rt::setResourceFallbackDir(TEVRAN_BIN_DIR);

    rt::QtFrontEnd fe;
    rt::setFrontEnd(&fe);
    if (tevranStartup() != 0) {
        std::fprintf(stderr, "chart_cost: %s\n", rt::lastResourceError().c_str());
        return 1;
    }
    rt::qt::ChartView* view = fe.chart(app.p1, MAIN_STRIPCHART);
    rt::GraphModel* graph = rt::Model::instance().control(app.p1, MAIN_STRIPCHART)->graph.get();
    if (!view || !graph) return 1;

    // Run without a port: the serial-port panel comes up (hidden again here) and the chart is
    // reset as for every run. hol stays 0, so the program's own timer never polls.
    m_run(app.p1, MAIN_RUN, EVENT_COMMIT, nullptr, 0, 0);
    HidePanel(app.p4);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 10);
    const long startKiB = statusKiB("VmRSS");

    // Counts the chart's paints: the poll should cost one.
    struct PaintCounter : QObject {
        long paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    view->viewport()->installEventFilter(&counter);
    // Counts the axes' range changes: each one lays out the axis and its labels again.
    long rangeChanges = 0;
    int changedAxes = 0;  // bit a: axis a (0 x, 1 left, 2 right) changed its range this poll
    for (int a = 0; a < 3; ++a) {
        QValueAxis* axis = a == 0 ? view->xAxis() : view->yAxis(a);
        QObject::connect(axis, &QValueAxis::rangeChanged, [&, a] {
            ++rangeChanges;
            changedAxes |= 1 << a;
        });
    }
    // What each poll did, to tell the causes of the slow ones apart.
    struct PollNote {
        int poll;
        double cpu;             // [s], up to the end of the poll's paint
        double update, layout;  // [s] of cpu: plotten; the frame (update, posted work, paint)
        int axes;
        std::size_t plots;
        long paintsBefore;
        bool plotAreaMoved;
        bool ticksMoved;  // a tick interval, anchor or label format changed
    };
    // The tick settings of the three axes, to tell when they change.
    const auto tickSettings = [&] {
        QString t;
        for (int a = 0; a < 3; ++a) {
            QValueAxis* axis = a == 0 ? view->xAxis() : view->yAxis(a);
            t += QString::number(axis->tickInterval(), 'g', 17) + ' ' +
                 QString::number(axis->tickAnchor(), 'g', 17) + ' ' + axis->labelFormat() + ';';
        }
        return t;
    };
    QString ticks = tickSettings();
    QRectF plotArea = view->chart()->plotArea();
    std::vector<PollNote> notes;

    Phase stack, sliding;
    stack.name = "stack";
    sliding.name = "sliding";
    long peakKiB = startKiB;
    QElapsedTimer clock;
    double parts[2] = {};     // CPU of plotten and the series update; of the posted work and paint
    long explicitPaints = 0;  // frames whose posted events painted nothing
    long frames = 0;          // polls that ended with a frame
    double nextFrame = 0.0;   // [s] of the run's time
    int slowPolls = 0;        // polls whose CPU time exceeds 10 % of the interval
    for (int k = 1; k <= stackPolls + slidingPolls; ++k) {
        app.mzeit = k * pollInterval;
        app.mw[0] = -50.0 + 5.0 * std::sin(k * 0.05);
        app.mw[1] = 700.0 + 20.0 * std::cos(k * 0.03);
        changedAxes = 0;
        const long paintsAtStart = counter.paints;
        const double cpu0 = cpuSeconds();
        clock.start();
        plotten();
        const double cpu1 = cpuSeconds();
        // A frame when the screen's next one is due: the charts redrawn, then painted once by
        // the program's event loop from the posted update request (or here, where nothing was
        // posted, so that every frame is counted with one paint).
        if (everyPoll || app.mzeit >= nextFrame - 1e-9) {
            while (nextFrame <= app.mzeit + 1e-9) nextFrame += kFrame;
            ++frames;
            fe.flushPending();
            QCoreApplication::sendPostedEvents();
            if (counter.paints == paintsAtStart) {
                view->viewport()->repaint();
                ++explicitPaints;
            }
        }
        const double cpu2 = cpuSeconds();
        const double s = clock.nsecsElapsed() / 1e9;
        parts[0] += cpu1 - cpu0;
        parts[1] += cpu2 - cpu1;
        if (cpu2 - cpu0 > 0.1 * pollInterval) ++slowPolls;
        Phase& p = k <= stackPolls ? stack : sliding;
        if (p.seconds.empty() || s > *std::max_element(p.seconds.begin(), p.seconds.end())) {
            p.worstPoll = k;
            p.worstPlots = graph->plots.size();
        }
        p.seconds.push_back(s);
        p.cpu.push_back(cpu2 - cpu0);
        notes.push_back({k, cpu2 - cpu0, cpu1 - cpu0, cpu2 - cpu1, changedAxes, graph->plots.size(),
                         paintsAtStart, view->chart()->plotArea() != plotArea,
                         tickSettings() != ticks});
        ticks = tickSettings();
        plotArea = view->chart()->plotArea();
        if (k % 50 == 0) peakKiB = std::max(peakKiB, statusKiB("VmRSS"));
    }
    peakKiB = std::max(peakKiB, statusKiB("VmRSS"));

    std::printf("chart cost per poll, interval %.2f s, chart %dx%d pixels (offscreen), %s\n",
                pollInterval, view->width(), view->height(),
                everyPoll ? "a frame every poll" : "frames at 60 a second of the run's time");
    report(stack);
    report(sliding);
    const double polls = stackPolls + slidingPolls;
    std::printf(
        "mean CPU parts: plotten %.2f ms, frame (series update, posted work and paint) %.2f ms; "
        "%d polls above 10 %% CPU\n",
        parts[0] / polls * 1e3, parts[1] / polls * 1e3, slowPolls);
    std::printf("CPU per second of the run: %.3f s (a core's share)\n",
                (parts[0] + parts[1]) / (polls * pollInterval));
    std::printf(
        "frames: %.2f per poll; chart paints: %.2f per poll, %ld frames painted here for want of "
        "a posted one; axis range changes: %.3f per poll\n",
        frames / polls, counter.paints / polls, explicitPaints, rangeChanges / polls);
    // The ten slowest polls (CPU up to the first paint) and what happened at each.
    std::sort(notes.begin(), notes.end(),
              [](const PollNote& a, const PollNote& b) { return a.cpu > b.cpu; });
    {
        // The polls that changed an axis range against the others: the cost of a range change.
        double sum[2] = {}, update[2] = {};
        int count[2] = {};
        int ticksMovedPolls = 0;
        for (const PollNote& n : notes) {
            const int c = n.axes ? 1 : 0;
            ticksMovedPolls += n.ticksMoved;
            sum[c] += n.cpu;
            update[c] += n.update;
            ++count[c];
        }
        for (int c = 1; c >= 0; --c)
            if (count[c] > 0)
                std::printf("%4d polls %s a range change: CPU mean %.2f ms (update %.2f ms)\n",
                            count[c], c ? "with" : "without", sum[c] / count[c] * 1e3,
                            update[c] / count[c] * 1e3);
        std::printf("%4d polls changed a tick interval, anchor or label format\n", ticksMovedPolls);
    }
    std::printf("slowest polls (CPU):\n");
    for (std::size_t i = 0; i < std::min<std::size_t>(10, notes.size()); ++i) {
        const PollNote& n = notes[i];
        std::printf(
            "  poll %5d %6.2f ms (update %5.2f, layout and paint %5.2f), %4zu plots, "
            "range changed:%s%s%s%s%s%s%s\n",
            n.poll, n.cpu * 1e3, n.update * 1e3, n.layout * 1e3, n.plots, n.axes & 1 ? " x" : "",
            n.axes & 2 ? " left" : "", n.axes & 4 ? " right" : "", n.axes ? "" : " none",
            n.paintsBefore == 0 ? ", first paint" : "", n.plotAreaMoved ? ", plot area moved" : "",
            n.ticksMoved ? ", ticks moved" : "");
    }
    std::printf(
        "memory above the start: %.1f MiB at the most (RSS %.1f -> %.1f MiB; peak %.1f "
        "MiB)\n",
        (peakKiB - startKiB) / 1024.0, startKiB / 1024.0, statusKiB("VmRSS") / 1024.0,
        statusKiB("VmHWM") / 1024.0);
    if (picture && !view->grab().save(picture))
        std::fprintf(stderr, "chart_cost: cannot write %s\n", picture);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    std::fflush(stdout);
    _exit(0);  // skip the teardown of windows and the front end
}
