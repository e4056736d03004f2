// The stored-file viewer: a data file on the chart, thinned to at most 999 points.
#include "datafiles/viewer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "datafiles/stored_scan.h"
#include "display/chart.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kAttrGraphMode = 1143;
constexpr int kAttrGraphColour = 1142;
constexpr int kAttrGraphCopy = 1146;
constexpr int kRepaintEvery = 25;  // points between two repaints of the load count
}  // namespace

int thinningStep(long filesize) {
    const long step = (filesize - 105) / 36000 + 1;
    return static_cast<int>(std::clamp(step, 1L, static_cast<long>(INT_MAX)));
}

double columnValue(const double (&mwh)[4], int no) { return no >= 0 && no <= 3 ? mwh[no] : 0.0; }

namespace {
// A stored file on a chart, kept between two reads of it.
struct Shown {
    int panel = 0, control = 0;
    std::string path;
    StoredFile file;
    StoredPoints whole;  // the whole-file view
};
std::vector<Shown>& shownFiles() {
    static std::vector<Shown> files;
    return files;
}
Shown* shownOn(int panel, int control) {
    for (Shown& s : shownFiles())
        if (s.panel == panel && s.control == control) return &s;
    return nullptr;
}
Shown& showOn(int panel, int control) {
    if (Shown* s = shownOn(panel, control)) return *s;
    shownFiles().push_back(Shown{panel, control, {}, {}, {}});
    return shownFiles().back();
}
}  // namespace

bool storedData(int panel, int control, StoredPoints& points, TimeColumns& band) {
    Shown* s = shownOn(panel, control);
    if (!s) return false;
    int zoomed = 0;
    double t0 = 0, t1 = 0;
    GetGraphView(panel, control, &zoomed, &t0, &t1);
    if (!zoomed) {
        points = s->whole;
        band = s->file.band;
        return true;
    }
    const int file = OpenFile(s->path.c_str(), VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    if (file <= 0) return false;
    readStoredRange(file, s->file, t0, t1, app.was[0], app.was[1], points, band);
    CloseFile(file);
    return true;
}

namespace {
ChartBand bandOf(const TimeColumns& columns, int quantity) {
    ChartBand b;
    b.dx = columns.dx();
    columns.quantity(quantity, b.x0, b.lo, b.hi);
    return b;
}
}  // namespace

void showStored(int panel, int control) {
    StoredPoints points;
    TimeColumns band;
    if (!storedData(panel, control, points, band)) return;
    drawStoredTraces(panel, control, points.t, points.y1, points.y2, bandOf(band, app.was[0]),
                     bandOf(band, app.was[1]));
    showReadout(panel, control);
}

int followStoredFile(int panel, int control, const char* path) {
    Shown& s = showOn(panel, control);
    const int file = OpenFile(path, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    if (file <= 0) return -1;
    if (s.path != path) {
        s.path = path;
        s.file = StoredFile{};
        s.file.band.growing();
    }
    const long added = scanMoreLines(file, s.file);
    if (added > 0 || s.whole.t.empty()) {
        // The whole file so far, thinned as a range of it is.
        double lo = 0, hi = 0;
        bool any = false;
        for (const StoredBlock& b : s.file.blocks) {
            if (b.tLo > b.tHi) continue;
            lo = any ? std::min(lo, b.tLo) : b.tLo;
            hi = any ? std::max(hi, b.tHi) : b.tHi;
            any = true;
        }
        TimeColumns unused;
        if (any) readStoredRange(file, s.file, lo, hi, app.was[0], app.was[1], s.whole, unused);
    }
    CloseFile(file);
    return added > 0 ? 1 : 0;
}

void darstellen() {
    if (!app.o_dat_offen) return;
    long filesize = 0;
    app.file_o = OpenFile(app.o_dat, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    GetFileInfo(app.o_dat, &filesize);
    int ausl = thinningStep(filesize);
    SetCtrlVal(app.p1, MAIN_FILENAME, app.o_dat);
    SetCtrlVal(app.p1, MAIN_LEFT_AUTO, 1);
    SetCtrlVal(app.p1, MAIN_RIGHT_AUTO, 1);
    dimAxisLimits();
    SetWaitCursor(1);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 1);
    Shown& shown = showOn(app.p1, MAIN_STRIPCHART);
    // Another file starts at its whole view; the same file read again for other quantities
    // keeps the range shown.
    if (shown.path != app.o_dat) ResetGraphView(app.p1, MAIN_STRIPCHART);
    shown.path = app.o_dat;
    shown.whole = StoredPoints{};
    shown.file = StoredFile{};
    if (app.file_o > 0)
        scanStoredFile(app.file_o, ausl, app.was[0], app.was[1], shown.file, shown.whole,
                       [](int i) {
                           SetCtrlVal(app.p1, MAIN_LOADCOUNT, i);
                           if (i % kRepaintEvery == 0) ProcessDrawEvents();
                       });
    const std::size_t mwzd = shown.whole.t.size();
    // The status line says when nothing could be shown, and why.
    std::string status;
    if (app.file_o <= 0)
        status = std::string("Cannot show ") + app.o_dat + ": " + fileErrorText() + ".";
    else if (mwzd == 0)
        status = std::string("No measurement line in ") + app.o_dat + ".";
    CloseFile(app.file_o);
    if (!status.empty() || !app.writeFailed) setStatus(StatusTopic::File, status);
    SetWaitCursor(0);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 0);

    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphMode, 1);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphColour, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphCopy, 1);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_AUTOSCALE, app.xmin, app.xmax);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_LEFT_YAXIS, VAL_AUTOSCALE, app.skl[0],
                       app.skl[1]);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_RIGHT_YAXIS, VAL_AUTOSCALE, app.skl[2],
                       app.skl[3]);
    showStored(app.p1, MAIN_STRIPCHART);
}

void offen_odat() {
    // The dialog's path is taken only for an existing file: any other answer leaves `o_dat`
    // naming the file shown, which a selector change reads again.
    char chosen[sizeof app.o_dat] = {};
    int ret = FileSelectPopup("", "*.dat", "*.dat", "", VAL_LOAD_BUTTON, 0, 1, 1, 0, chosen);
    if (ret == VAL_EXISTING_FILE_SELECTED) {
        std::memcpy(app.o_dat, chosen, sizeof app.o_dat);
        app.o_dat_offen = 1;
        darstellen();
    }
}

int oeffnen(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) offen_odat();
    return 0;
}
