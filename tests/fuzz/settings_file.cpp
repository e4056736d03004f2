// TEVRAN.ini of fuzz bytes: read as at start-up, written back as at shutdown, read again; then
// the settings drive a few polls of the strip chart, as a run would right after start-up.
#include <cmath>
#include <cstring>
#include <string>

#include "app/settings.h"
#include "app/state.h"
#include "app/system.h"
#include "fuzz_check.h"
#include "runtime/textfiles.h"

namespace {
struct Settings {
    int com_nummer;
    double abtast;
    int was[2];
    double skl[4];
    int autoscale[2];
};

Settings current() {
    return {app.com_nummer,
            app.abtast,
            {app.was[0], app.was[1]},
            {app.skl[0], app.skl[1], app.skl[2], app.skl[3]},
            {app.autoscale[0], app.autoscale[1]}};
}

bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same(const Settings& a, const Settings& b) {
    bool eq = a.com_nummer == b.com_nummer && same(a.abtast, b.abtast);
    for (int i = 0; i < 2; ++i) eq = eq && a.was[i] == b.was[i] && a.autoscale[i] == b.autoscale[i];
    for (int i = 0; i < 4; ++i) eq = eq && same(a.skl[i], b.skl[i]);
    return eq;
}

bool near(double a, double b) { return std::abs(a - b) <= 5e-7 + std::abs(a) * 1e-15; }
}  // namespace

int fuzzSettingsFile(const std::uint8_t* data, std::size_t size) {
    const std::string ini = fuzz::scratchDir() + "/TEVRAN.ini";
    fuzz::writeFile(ini, data, size);

    // What the file holds, scanned straight from its bytes (the read sees at most 64 KiB).
    Settings want{1, 1.0, {0, 1}, {0.0, 10.0, 0.0, 10.0}, {0, 0}};
    Settings scanned = want;
    const int count = rt::scanText(
        reinterpret_cast<const char*>(data), size < 65536 ? size : 65536, "%s>%d%f%d%d%f%f%f%f%d%d",
        {&scanned.com_nummer, &scanned.abtast, &scanned.was[0], &scanned.was[1], &scanned.skl[0],
         &scanned.skl[1], &scanned.skl[2], &scanned.skl[3], &scanned.autoscale[0],
         &scanned.autoscale[1]});
    if (count == 10) want = scanned;
    want.abtast = usableInterval(want.abtast);

    app = AppState{};
    readSettings(ini.c_str());
    const Settings got = current();
    FUZZ_CHECK(same(got, want));
    FUZZ_CHECK(std::isfinite(app.abtast) && app.abtast >= 0.01);

    // Written back, the line reads back whole with the same values.
    FUZZ_CHECK(writeSettings(ini.c_str()) == 0);
    const std::string line = fuzz::readFile(ini);
    FUZZ_CHECK(line.size() > 11 && line.front() == ' ' &&
               line.compare(line.size() - 10, 10, " Kv_2016\r\n") == 0);
    readSettings(ini.c_str());
    const Settings again = current();
    FUZZ_CHECK(again.com_nummer == got.com_nummer);
    FUZZ_CHECK(near(got.abtast, again.abtast) || again.abtast == 0.01);
    for (int i = 0; i < 2; ++i) FUZZ_CHECK(again.was[i] == got.was[i]);
    for (int i = 0; i < 4; ++i) FUZZ_CHECK(near(got.skl[i], again.skl[i]));
    for (int i = 0; i < 2; ++i) FUZZ_CHECK(again.autoscale[i] == got.autoscale[i]);

    // A run right after start-up: the chart reset, then polls one interval apart and one long
    // after the others. No panel is loaded; the chart's graph calls just fail.
    app.mpoint = 0;
    app.xmin = 0;
    app.xmax = 100;
    app.mw[0] = 1.0;
    app.mw[1] = 700.0;
    for (int k = 1; k <= 6; ++k) {
        app.mzeit = k < 6 ? k * app.abtast : 1e6;
        plotten();
        FUZZ_CHECK(app.xmin <= app.xmax);
    }
    return 0;
}
