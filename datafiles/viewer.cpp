// The stored-file viewer's reading: a data file thinned to at most 999 points for the chart, and
// read again for the range a chart shows.
#include "datafiles/viewer.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "app/state.h"
#include "datafiles/datafiles.h"
#include "datafiles/stored_scan.h"
#include "runtime/graph.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

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

int readStoredFile(const std::function<void(int)>& progress, std::string& status) {
    long filesize = 0;
    app.file_o = OpenFile(app.o_dat, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    GetFileInfo(app.o_dat, &filesize);
    Shown& shown = showOn(app.p1, MAIN_STRIPCHART);
    shown.path = app.o_dat;
    shown.whole = StoredPoints{};
    shown.file = StoredFile{};
    if (app.file_o > 0)
        scanStoredFile(app.file_o, thinningStep(filesize), app.was[0], app.was[1], shown.file,
                       shown.whole, progress);
    const int mwzd = static_cast<int>(shown.whole.t.size());
    status.clear();
    if (app.file_o <= 0)
        status = std::string("Cannot show ") + app.o_dat + ": " + fileErrorText() + ".";
    else if (mwzd == 0)
        status = std::string("No measurement line in ") + app.o_dat + ".";
    CloseFile(app.file_o);
    return mwzd;
}

bool storedData(int panel, int control, StoredPoints& points, TimeColumns& band,
                std::string& status) {
    status.clear();
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
    if (file <= 0) {
        status = "Cannot show " + s->path + ": " + fileErrorText() + ".";
        return false;
    }
    if (storedFileChanged(file, s->file)) {
        long size = 0;
        GetFileInfo(s->path.c_str(), &size);
        scanStoredFile(file, thinningStep(size), app.was[0], app.was[1], s->file, s->whole,
                       nullptr);
    }
    readStoredRange(file, s->file, t0, t1, app.was[0], app.was[1], points, band);
    CloseFile(file);
    return true;
}

int followStoredFile(int panel, int control, const char* path) {
    Shown& s = showOn(panel, control);
    const int file = OpenFile(path, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    if (file <= 0) return -1;
    if (s.path != path) {
        s.path = path;
        s.file = StoredFile{};
        s.file.band.growing();
        s.file.keepsLines = true;
        s.whole = StoredPoints{};
    }
    const long added = scanMoreLines(file, s.file);
    // The whole file so far, thinned as a range of it is.
    if (added > 0) readStoredWhole(file, s.file, app.was[0], app.was[1], s.whole);
    CloseFile(file);
    return added > 0 ? 1 : 0;
}
