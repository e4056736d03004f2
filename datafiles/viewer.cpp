// The stored-file viewer: a data file on the chart, thinned to at most 999 points.
#include "datafiles/viewer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {
constexpr int kMaxPoints = 999;
constexpr int kLineChars = 150;
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

int loadStoredPoints(int file, int ausl, int was0, int was1, double* mwo1, double* mwo2,
                     double* mwo3, const std::function<void(int)>& progress) {
    double mwh[4] = {};
    char f_buf[160];
    int i = 0;
    while (i < kMaxPoints) {
        // Only the last line of each group is looked at; the others are skipped unread.
        if (ausl > 1) SkipLines(file, ausl - 1);
        int test = ReadLine(file, f_buf, kLineChars);
        if (test < 0) f_buf[0] = '\0';  // a failed read leaves no text to parse
        int ret = Scan(f_buf, "%s>%f %f %f %f %f", &mwo1[i], &mwh[0], &mwh[1], &mwh[2], &mwh[3]);
        if (ret == 5) {
            mwo2[i] = columnValue(mwh, was0);
            mwo3[i] = columnValue(mwh, was1);
            if (progress) progress(i);
            ++i;
        }
        if (test < 7) break;  // short line, end of file or read error: end of the data
    }
    return i;
}

void darstellen() {
    if (!app.o_dat_offen) return;
    static double mwo1[1000], mwo2[1000], mwo3[1000];
    long filesize = 0;
    app.file_o = OpenFile(app.o_dat, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    GetFileInfo(app.o_dat, &filesize);
    int ausl = thinningStep(filesize);
    SetCtrlVal(app.p1, MAIN_FILENAME, app.o_dat);
    // A stored file is shown scaled to its data: both switches go on, and the settings with them,
    // so that the next Run, the switches and TEVRAN.ini agree (the manual limits stay stored).
    for (int axis = 0; axis < 2; ++axis) {
        app.autoscale[axis] = 1;
        SetCtrlVal(app.p1, MAIN_LEFT_AUTO + axis, 1);
    }
    dimAxisLimits();
    SetWaitCursor(1);
    SetCtrlAttribute(app.p1, MAIN_LOADCOUNT, ATTR_VISIBLE, 1);
    int mwzd = 0;
    if (app.file_o > 0)
        mwzd = loadStoredPoints(app.file_o, ausl, app.was[0], app.was[1], mwo1, mwo2, mwo3,
                                [](int i) {
                                    SetCtrlVal(app.p1, MAIN_LOADCOUNT, i);
                                    if (i % kRepaintEvery == 0) ProcessDrawEvents();
                                });
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
    DeleteGraphPlot(app.p1, MAIN_STRIPCHART, -1, VAL_IMMEDIATE_DRAW);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_AUTOSCALE, app.xmin, app.xmax);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_LEFT_YAXIS, VAL_AUTOSCALE, app.skl[0],
                       app.skl[1]);
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_RIGHT_YAXIS, VAL_AUTOSCALE, app.skl[2],
                       app.skl[3]);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_LEFT_YAXIS);
    PlotXY(app.p1, MAIN_STRIPCHART, mwo1, mwo2, mwzd, 5, 0, 0, 1, 0x0000FF);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, ATTR_ACTIVE_YAXIS, VAL_RIGHT_YAXIS);
    PlotXY(app.p1, MAIN_STRIPCHART, mwo1, mwo3, mwzd, 5, 19, 0, 1, 0xFF0000);
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
