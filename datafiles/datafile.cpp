// The measurement data file: six header lines, then one tab-separated line per poll.
#include <string>

#include "app/state.h"
#include "datafiles/datafiles.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
// time [s], Vz [mV], Tz [°C] with one decimal; pO2 [ppm] and Ie [mA] in exponential notation.
constexpr const char* kDataLine = "%s<%f[p1]\t%f[p1]\t%f[p1]\t%f[p2e1]\t%f[p3e1]\n";

// Tells the operator on the main panel that lines are missing from the data file, without a
// popup inside the poll, and clears the text once a line is written again.
void reportWrite(bool ok) {
    if (ok == (app.writeFailed == 0)) return;
    app.writeFailed = ok ? 0 : 1;
    std::string text;
    if (!ok)
        text = std::string("Data file: a line could not be written (") + fileErrorText() +
               "). Polling goes on; lines are missing until writes succeed again.";
    setStatus(StatusTopic::File, text);
}
}  // namespace

int dateikopf() {
    char comment[160] = {};
    GenericMessagePopup("Comment", "", "OK", "", "", comment, 150, 0,
                        VAL_GENERIC_POPUP_INPUT_STRING, VAL_GENERIC_POPUP_BTN1,
                        VAL_GENERIC_POPUP_NO_CTRL);
    // Readers skip exactly six header lines: the first write that fails ends the header, and
    // the caller records nothing into such a file.
    const bool whole =
        FmtFile(app.filedat, "%s<File: %s\nComment: %s\n", app.datei, comment) >= 0 &&
        FmtFile(app.filedat, "%s<Date: %s\nTime: %s\n", DateStr(), TimeStr()) >= 0 &&
        FmtFile(app.filedat, "%s<Dataset\n") >= 0 &&
        FmtFile(app.filedat,
                "%s<time[s]\tVz[mV]\tTz[\xB0"
                "C]\tpO2[ppm]\tIe[mA]\n") >= 0;
    if (!whole) return -1;
    reportWrite(true);  // what the status line said of an earlier file's writes is over
    return 0;
}

void wertspeichern() {
    int written = FmtFile(app.filedat, kDataLine, app.mzeit, app.mw[0], app.mw[1], app.mw[2],
                          app.mw[3]);
    reportWrite(written >= 0);
    keepDataFileNamed(false);
}
