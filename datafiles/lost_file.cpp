// A data file deleted during its recording, or with its folder removed: the open file still holds
// every line, and is given a name again before anything is lost.
#include <string>

#include "app/state.h"
#include "datafiles/datafiles.h"
#include "runtime/panels.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
constexpr double kRetryAfter = 10.0;  // [s] between two tries that found no name to take
constexpr int kRescueNames = 20;      // "run.dat", "run (2).dat", ... in the home folder

// Its own name is taken when it is free (a file deleted from a folder still there).
// Otherwise the same file name in the home folder, numbered when taken.
bool giveName(std::string& where) {
    where = app.datei;
    if (RecreateFile(app.filedat, app.datei) == 0) return true;
    const std::string home = rt::homeDir();
    if (home.empty()) return false;
    const std::string path = app.datei;
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = stem.size() == name.size() ? "" : name.substr(dot);
    for (int n = 1; n <= kRescueNames; ++n) {
        where = rt::joinPath(home, n == 1 ? name : stem + " (" + std::to_string(n) + ")" + ext);
        if (where.size() >= sizeof app.datei) return false;
        if (RecreateFile(app.filedat, where.c_str()) == 0) return true;
    }
    return false;
}
}  // namespace

void keepDataFileNamed(bool now) {
    if (!app.speichern || FileUnlinked(app.filedat) != 1) return;
    if (!now && Timer() < app.renameRetryAt) return;
    const std::string lost = app.datei;
    std::string where;
    std::string text;
    if (!giveName(where)) {
        app.renameRetryAt = Timer() + kRetryAfter;
        text = "Data file: " + lost +
               " was deleted or moved away during the recording and cannot be saved again (" +
               fileErrorText() + "). It is tried again every 10 s and at Stop; until then the "
               "lines are on disk under no name.";
    } else if (where == lost) {
        text = "Data file: " + lost +
               " was deleted or moved away during the recording. It was written again with every "
               "line so far; the recording goes on.";
    } else {
        rt::copyBounded(app.datei, sizeof app.datei, where);
        SetCtrlVal(app.p1, MAIN_FILENAME, app.datei);
        text = "Data file: the recording goes on in " + where + ", with every line so far: " +
               lost + " was deleted or moved away, and its name cannot be taken again.";
    }
    setStatus(StatusTopic::File, text);
}

void closeDataFile() {
    if (app.speichern) {
        keepDataFileNamed(true);
        // Ended before its header (the program told to end while the comment was asked for): an
        // empty file is no recording, and readers would take it for a broken one.
        long size = -1;
        if (GetFileInfo(app.datei, &size) == 1 && size == 0)
            DiscardFile(app.filedat);
        else
            CloseFile(app.filedat);
    }
    app.speichern = 0;
    app.renameRetryAt = 0.0;  // the next recording's file is tried at once
}
