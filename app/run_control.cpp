// Run and Stop: a measurement with or without a data file, on a chart started afresh.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
// A file whose header could not be written whole records nothing: readers skip exactly six
// header lines. It is removed, the operator is told why, and the panels return to Idle.
void refuseHeader() {
    std::string text = std::string("The header could not be written to the data file:\n") +
                       app.datei + "\n" + fileErrorText() +
                       "\nNothing is recorded; the file is removed.";
    DiscardFile(app.filedat);
    app.speichern = 0;
    app.hol = 0;
    SetCtrlVal(app.p1, MAIN_FILENAME, "no file");
    faerben(0);
    MessagePopup("", text.c_str());
}

void startRecording() {
    app.speichern = 1;
    alarmsRecordingStarted();
    SetCtrlVal(app.p1, MAIN_FILENAME, app.datei);
    if (dateikopf() != 0) {
        refuseHeader();
        return;
    }
    app.mzeit = 0;
    SetCtrlAttribute(app.p1, MAIN_FILENAME, ATTR_DIMMED, 0);
    SetComTime(app.com_nummer, 0.3);
    ResetTimer(app.p1, MAIN_TIMER);
    app.hol = 1;
    showTitle();
}

// A file that cannot be created starts no run: the operator is told why and the panels return
// to their idle appearance.
void refuseFile() {
    std::string text =
        std::string("The data file cannot be opened:\n") + app.datei + "\n" + fileErrorText();
    MessagePopup("", text.c_str());
    app.hol = 0;
    faerben(0);
}

void resetChart() {
    app.tstart = Timer();
    startLiveChart();
    app.o_dat_offen = 0;
    // The view ends, and with it what the status line said about the stored file.
    if (!app.writeFailed) setStatus(StatusTopic::File, "");
    alarmsRunStarted();
    scaleSC();
}
}  // namespace

int m_run(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    if (app.com_open == 0) {
        DisplayPanel(app.p4);
        SetCtrlVal(app.p4, PORT_NUMBER, app.com_nummer);
    }
    if (app.com_open != 0 && app.speichern == 0) {
        app.hol = 0;  // no poll while the dialogs are open
        faerben(1);
        int ret = chooseAndOpenFile();
        if (ret == VAL_NEW_FILE_SELECTED) {
            if (app.filedat > 0)
                startRecording();
            else
                refuseFile();
        } else {
            SetCtrlVal(app.p1, MAIN_FILENAME, "no file");
            app.hol = 1;
        }
    }
    resetChart();
    return 0;
}

int m_stop(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    faerben(0);
    closeDataFile();
    app.hol = 0;
    alarmsRunEnded();
    showTitle();
    return 0;
}
