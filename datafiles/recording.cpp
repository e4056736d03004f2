// Run and Stop: a measurement with or without a data file.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/graph.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "runtime/timing.h"
#include "ui/tevran_ids.h"

namespace {
// Graph settings of the live chart that the viewer sets otherwise; kept as the chart's data.
constexpr int kAttrGraphMode = 1143;
constexpr int kAttrGraphColour = 1142;
constexpr int kAttrGraphCopy = 1146;

// A file that another recording holds, in this program or another, is never touched.
void tellFileInUse() {
    std::string text = std::string("This file is being recorded by another recording:\n") +
                       app.datei + "\nChoose another file.";
    MessagePopup("", text.c_str());
}

// Asks for the data file until the answer is not an existing file the operator keeps, nor one
// being recorded.
int askForFile() {
    int ret;
    do {
        ret = FileSelectPopup("", "*.dat", "*.dat;*.*;", "Filename", VAL_OK_BUTTON, 0, 0, 1, 0,
                              app.datei);
        if (ret == VAL_EXISTING_FILE_SELECTED) {
            if (FileInUse(app.datei)) {
                tellFileInUse();
                continue;
            }
            int aa = ConfirmPopup("File already exists !", "Do you want to overwrite it ?");
            if (aa) ret = VAL_NEW_FILE_SELECTED;
        }
    } while (ret == VAL_EXISTING_FILE_SELECTED);
    return ret;
}

// The dialogs, then the open; a file taken by another recording meanwhile leads back to the
// dialog. Returns the dialog's result; `filedat` holds the open's.
int chooseAndOpenFile() {
    for (;;) {
        int ret = askForFile();
        if (ret != VAL_NEW_FILE_SELECTED) return ret;
        app.filedat = OpenFile(app.datei, VAL_READ_WRITE, VAL_TRUNCATE, VAL_ASCII);
        if (app.filedat != FILE_IN_USE) return ret;
        tellFileInUse();
    }
}

void startRecording() {
    app.speichern = 1;
    SetCtrlVal(app.p1, MAIN_FILENAME, app.datei);
    dateikopf();
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
    std::string text = std::string("The data file cannot be opened:\n") + app.datei + "\n" +
                       fileErrorText();
    MessagePopup("", text.c_str());
    app.hol = 0;
    faerben(0);
}

void resetChart() {
    app.tstart = Timer();
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphMode, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphColour, 0);
    SetCtrlAttribute(app.p1, MAIN_STRIPCHART, kAttrGraphCopy, 1);
    DeleteGraphPlot(app.p1, MAIN_STRIPCHART, -1, VAL_IMMEDIATE_DRAW);
    app.xmax = 100;
    app.xmin = 0;
    app.mpoint = 0;
    SetAxisScalingMode(app.p1, MAIN_STRIPCHART, VAL_XAXIS, VAL_MANUAL, app.xmin, app.xmax);
    app.o_dat_offen = 0;
    // The view ends, and with it what the status line said about the stored file.
    if (!app.writeFailed) setStatus(StatusTopic::File, "");
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
    if (app.speichern) CloseFile(app.filedat);
    app.speichern = 0;
    app.hol = 0;
    showTitle();
    return 0;
}
