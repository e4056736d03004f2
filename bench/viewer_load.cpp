// Viewer load benchmark: makes a large data file of the recorder's format, and times the viewer's
// load of it (darstellen, through the Open dialog) on the headless front end.
//
//   viewer_load --make FILE BYTES   write a data file of about BYTES bytes
//   viewer_load FILE [REPEAT]       load FILE REPEAT times (default 3); print the best time
//                                   [us], the points drawn, the times of zooms into it (each
//                                   read again from the file) and the peak resident memory [KiB]
//   viewer_load --follow FILE       write FILE as a recording at 0.01 s does, to 400 000 lines,
//                                   and time the whole-recording window's looks at it every 3 s
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "datafiles/datafiles.h"
#include "runtime/core/dispatch.h"
#include "runtime/core/graph_view.h"
#include "runtime/core/model.h"
#include "runtime/core/resource.h"
#include "runtime/headless/headless_frontend.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {

// CPU time of this process so far (all its threads), user and system [s].
double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

long peakRssKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Line k of a data file as a recording at 1 s writes it, from integer arithmetic only (the same
// bytes on every machine): about 36 bytes, slowly varying values, the time restarting every
// 100000 s. Returns its length.
int dataLine(long k, char (&line)[96]) {
    const int vz = -99 + static_cast<int>(k % 199);    // [0.1 mV]
    const int tz = 6500 + static_cast<int>(k % 1013);  // [0.1 °C]
    const int p1 = 100 + static_cast<int>(k % 899);
    const int ie = 1000 + static_cast<int>(k % 8999);
    return std::snprintf(line, sizeof line, "%ld.0\t%s%d.%d\t%d.%d\t%d.%02de+%d\t%d.%03de+0\r\n",
                         k % 100000, vz < 0 ? "-" : "", std::abs(vz) / 10, std::abs(vz) % 10,
                         tz / 10, tz % 10, p1 / 100, p1 % 100, static_cast<int>(k % 6), ie / 1000,
                         ie % 1000);
}

const char kHeader[] =
    "File: %s\r\nComment: benchmark\r\nDate: 01-01-2026\r\nTime: 00:00:00\r\nDataset\r\n"
    "time[s]\tVz[mV]\tTz[\xB0"
    "C]\tpO2[ppm]\tIe[mA]\r\n";

// A data file as a recording writes it: the six header lines, then one line per second, written
// through a 1 MiB buffer.
int makeFile(const char* path, long long bytes) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::perror(path);
        return 1;
    }
    static char buffer[1 << 20];
    std::setvbuf(f, buffer, _IOFBF, sizeof buffer);
    long long written = std::fprintf(f, kHeader, path);
    char line[96];
    for (long k = 1; written < bytes; ++k) {
        const int n = dataLine(k, line);
        written += static_cast<long long>(std::fwrite(line, 1, static_cast<std::size_t>(n), f));
    }
    if (std::fclose(f) != 0) {
        std::perror(path);
        return 1;
    }
    std::printf("made %s: %lld bytes\n", path, written);
    return 0;
}

// The whole-recording window's looks at a recording at 0.01 s: every 3 s, 300 lines more. The
// file grows to 400 000 lines; the looks at some sizes on the way are timed (CPU time [us]).
int followFile(const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::perror(path);
        return 1;
    }
    std::fprintf(f, kHeader, path);
    constexpr long kPerLook = 300;
    constexpr int kLooks = 10;
    char line[96];
    long next = 1;
    for (const long at : {10000L, 50000L, 100000L, 195000L, 250000L, 400000L}) {
        double total = 0, slowest = 0;
        for (int look = 0; look < kLooks; ++look) {
            for (const long until = at - kPerLook * (kLooks - look - 1); next <= until; ++next)
                std::fwrite(line, 1, static_cast<std::size_t>(dataLine(next, line)), f);
            std::fflush(f);
            const double c0 = cpuSeconds();
            followStoredFile(1, 1, path);
            const double s = cpuSeconds() - c0;
            if (look > 0) {  // the first look takes in all lines since the last size
                total += s;
                slowest = std::max(slowest, s);
            }
        }
        std::printf("follow_lines %ld look_mean_us %.0f look_max_us %.0f share_of_a_core %.5f\n",
                    at, total / (kLooks - 1) * 1e6, slowest * 1e6, total / (kLooks - 1) / 3.0);
    }
    std::fclose(f);
    std::printf("peak_rss_kib %ld\n", peakRssKiB());
    return 0;
}

int loadFile(const char* file, int repeat) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string target = fs::absolute(file, ec).string();
    char tmpl[] = "/tmp/tevran-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = tmpl;
    // Port 200 exists nowhere: the start-up opens no serial port.
    if (std::FILE* ini = std::fopen((dir + "/TEVRAN.ini").c_str(), "wb")) {
        std::fputs(" 200 1.0 0 1 0.0 10.0 0.0 10.0 0 0 Kv_2016\r\n", ini);
        std::fclose(ini);
    }
    rt::HeadlessFrontEnd fe;
    fe.realDelays = false;
    rt::setFrontEnd(&fe);
    rt::setProjectDir(dir);
    rt::setResourceFallbackDir(fs::canonical("/proc/self/exe", ec).parent_path().string());
    const int started = tevranStartup();
    fs::remove_all(dir, ec);
    if (started != 0) {
        std::fprintf(stderr, "viewer_load: the start-up failed\n");
        return 1;
    }

    const long rssBefore = peakRssKiB();
    double best = 1e300, bestCpu = 1e300;
    for (int r = 0; r < repeat; ++r) {
        fe.fileAnswers.push_back({VAL_EXISTING_FILE_SELECTED, target});
        const double c0 = cpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        rt::dispatchCommit(app.p1, MAIN_OPEN);
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        bestCpu = std::min(bestCpu, cpuSeconds() - c0);
    }
    std::size_t points = 0;
    const rt::Control* c = rt::Model::instance().control(app.p1, MAIN_STRIPCHART);
    if (c)
        for (const rt::Plot& p : c->graph->plots) points += p.count;
    const long rssLoaded = peakRssKiB();
    // Zooms as the wheel makes them: ranges from a tenth of the file's time down to ten seconds,
    // spread over it, each read again from the file; then Home.
    double lo = 0, hi = 0, slowest = 0, total = 0;
    int zooms = 0;
    if (c) c->graph->dataRange(0, lo, hi);
    for (double width = (hi - lo) / 10; width >= 10 && c; width /= 10)
        for (int k = 0; k < 5; ++k) {
            const double from = lo + (hi - lo - width) * (k + 0.5) / 5;
            const auto z0 = std::chrono::steady_clock::now();
            rt::zoomView(app.p1, MAIN_STRIPCHART, from, from + width);
            const double s =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - z0).count();
            slowest = std::max(slowest, s);
            total += s;
            ++zooms;
        }
    const auto h0 = std::chrono::steady_clock::now();
    if (c) rt::homeView(app.p1, MAIN_STRIPCHART);
    const double home =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - h0).count();
    std::printf(
        "load_us %.0f\nload_cpu_us %.0f\npoints %zu\nrss_before_load_kib %ld\nrss_after_load_kib "
        "%ld\n"
        "zooms %d\nzoom_mean_us %.0f\nzoom_max_us %.0f\nhome_us %.0f\npeak_rss_kib %ld\n",
        best * 1e6, bestCpu * 1e6, points, rssBefore, rssLoaded, zooms,
        zooms ? total / zooms * 1e6 : 0.0, slowest * 1e6, home * 1e6, peakRssKiB());
    rt::setFrontEnd(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0)
        return makeFile(argv[2], std::atoll(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--follow") == 0) return followFile(argv[2]);
    if (argc == 2 || argc == 3) return loadFile(argv[1], argc == 3 ? std::atoi(argv[2]) : 3);
    std::fprintf(stderr,
                 "usage: viewer_load --make FILE BYTES | viewer_load FILE [REPEAT] |\n"
                 "       viewer_load --follow FILE\n");
    return 2;
}
