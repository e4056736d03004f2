// OK on the serial-port panel: the chosen port opened, or the run ended when it cannot be.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "instrument/link_status.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

int comok(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    int chosen = 0;
    GetCtrlVal(app.p4, PORT_NUMBER, &chosen);
    // A device chosen in the list that no number opened yet: its entry is made first; when it
    // cannot be, nothing changes and the panel stays, saying why.
    if (app.portChoiceNumber == chosen && !app.portChoiceTarget.empty() && !makeChosenEntry(chosen))
        return 0;
    if (app.com_open) CloseCom(app.com_nummer);
    app.portGone = 0;
    app.com_nummer = chosen;
    app.portChoiceNumber = 0;
    app.portChoiceTarget.clear();
    openPort();
    if (_GetRs232Err() != 0) {
        noteLinkFailure(_GetRs232Err(), 0.0, "cannot be opened");
        // No port, no run, as after Stop, before the message: timer ticks reach the program
        // while it is shown, and none may poll the closed port or write a line.
        app.com_open = 0;
        closeDataFile();
        closeAlarmFile();
        app.hol = 0;
        faerben(0);
        MessagePopup("", "COM port cannot be opened !");
    } else {
        noteLinkGood();
        app.com_open = 1;
        SetComTime(app.com_nummer, 0.6);
    }
    showTitle();
    if (app.com_open == 1) {
        HidePanel(app.p4);
    } else {
        // The panel stays, saying which device failed and why, for another choice or Cancel.
        SetCtrlVal(app.p4, PORT_HINT, app.linkStatus.c_str());
        SetActiveCtrl(app.p4, PORT_LIST);
    }
    return 0;
}
