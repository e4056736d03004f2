// The stored-file viewer's reading: a data file thinned to at most 999 points for the chart.
#include "datafiles/viewer.h"

#include <algorithm>
#include <climits>
#include <string>

#include "app/state.h"
#include "datafiles/datafiles.h"
#include "runtime/textfiles.h"

namespace {
constexpr int kMaxPoints = 999;
constexpr int kLineChars = 150;
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

int readStoredFile(double* mwo1, double* mwo2, double* mwo3,
                   const std::function<void(int)>& progress, std::string& status) {
    long filesize = 0;
    app.file_o = OpenFile(app.o_dat, VAL_READ_ONLY, VAL_OPEN_AS_IS, VAL_ASCII);
    GetFileInfo(app.o_dat, &filesize);
    int ausl = thinningStep(filesize);
    int mwzd = 0;
    if (app.file_o > 0)
        mwzd =
            loadStoredPoints(app.file_o, ausl, app.was[0], app.was[1], mwo1, mwo2, mwo3, progress);
    status.clear();
    if (app.file_o <= 0)
        status = std::string("Cannot show ") + app.o_dat + ": " + fileErrorText() + ".";
    else if (mwzd == 0)
        status = std::string("No measurement line in ") + app.o_dat + ".";
    CloseFile(app.file_o);
    return mwzd;
}
