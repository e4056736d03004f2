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
    if (app.com_open) CloseCom(app.com_nummer);
    app.portGone = 0;
    GetCtrlVal(app.p4, PORT_NUMBER, &app.com_nummer);
    // A device chosen in the list that no number opened yet: its entry is made now.
    std::string linkProblem;
    if (app.portChoiceNumber == app.com_nummer && !app.portChoiceTarget.empty())
        LinkComEntry(app.com_nummer, app.portChoiceTarget.c_str(), linkProblem);
    app.portChoiceNumber = 0;
    app.portChoiceTarget.clear();
    openPort();
    if (_GetRs232Err() != 0) {
        const int code = _GetRs232Err();
        if (linkProblem.empty())
            noteLinkFailure(code, 0.0, "cannot be opened");
        else
            setStatus(StatusTopic::Link,
                      "COM" + std::to_string(app.com_nummer) + ": " + linkProblem);
        MessagePopup("", "COM port cannot be opened !");
        app.com_open = 0;
    } else {
        noteLinkGood();
        app.com_open = 1;
    }
    if (app.com_open == 1) {
        SetComTime(app.com_nummer, 0.6);
    } else {
        if (app.speichern) CloseFile(app.filedat);
        app.speichern = 0;
        faerben(0);
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
