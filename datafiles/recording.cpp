// The data file of a recording: chosen in the dialogs, never one that another recording holds.
#include <string>

#include "app/state.h"
#include "datafiles/datafiles.h"
#include "runtime/popups.h"
#include "runtime/textfiles.h"

namespace {
// A file that another recording or another program holds is never touched; the operator is
// told which of the two holds it.
void tellFileInUse() {
    std::string text = FileInUse(app.datei) == FILE_HELD_BY_OTHER_PROGRAM
                           ? std::string("This file is held by another program:\n") + app.datei +
                                 "\nChoose another file, or end that program first."
                           : std::string("This file is being recorded by another recording:\n") +
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
            int aa =
                ConfirmPopupDefaultNo("File already exists !", "Do you want to overwrite it ?");
            if (aa) ret = VAL_NEW_FILE_SELECTED;
        }
    } while (ret == VAL_EXISTING_FILE_SELECTED);
    return ret;
}

}  // namespace

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
