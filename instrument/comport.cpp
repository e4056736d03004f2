// The serial port: opened at start, chosen again on the serial-port panel.
#include <algorithm>
#include <string>
#include <vector>

#include "app/state.h"
#include "instrument/instrument.h"
#include "instrument/link_status.h"
#include "instrument/port_choice.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

// The instrument's line: 9600 baud, no parity, 8 data bits, 1 stop bit.
int openPort() { return OpenComConfig(app.com_nummer, "", 9600, 0, 8, 1, 128, 24); }

namespace {
// The devices the list on the serial-port panel shows, in its order (an entry's value is its
// index here).
std::vector<ComPortInfo> listedPorts;

void showPortPanel() {
    DisplayPanel(app.p4);
    SetCtrlVal(app.p4, PORT_NUMBER, app.com_nummer);
    listedPorts = ListComPorts();
    ClearListCtrl(app.p4, PORT_LIST);
    for (std::size_t i = 0; i < listedPorts.size(); ++i)
        InsertListItem(app.p4, PORT_LIST, -1, portListLabel(listedPorts[i]).c_str(), int(i));
    if (listedPorts.empty()) InsertListItem(app.p4, PORT_LIST, -1, "No serial ports found.", -1);
    SetCtrlVal(app.p4, PORT_LIST, -1);
    SetCtrlVal(app.p4, PORT_DIR, ComEntryDir().c_str());
    SetCtrlVal(app.p4, PORT_HINT, "");
    app.portChoiceNumber = 0;
    app.portChoiceTarget.clear();
}

// Whether port n names anything: a COMn entry, or a serial port the system reports (an empty
// motherboard socket that the system does not list is not one).
bool portKnown(int n) {
    for (const ComPortInfo& p : ListComPorts())
        if (std::find(p.numbers.begin(), p.numbers.end(), n) != p.numbers.end()) return true;
    return false;
}
}  // namespace

void ComOpen() {
    // A port number without an entry and without a serial port of its own would open nothing
    // the operator knows of; it is not tried, and the status line says what to do.
    if (!portKnown(app.com_nummer)) {
        setStatus(StatusTopic::Link,
                  "COM" + std::to_string(app.com_nummer) + ": no entry COM" +
                      std::to_string(app.com_nummer) +
                      " and no serial port of this computer with that number - choose the "
                      "instrument's device under Instrument > Serial port");
        showPortPanel();
        return;
    }
    if (openPort() == 0) {
        app.com_open = 1;
        SetComTime(app.com_nummer, 0.6);
    } else {
        noteLinkFailure(_GetRs232Err(), 0.0, "cannot be opened");
        showPortPanel();
    }
}

// A device chosen in the list: its number goes into PORT_NUMBER; OK makes the entry, if needed.
int portpick(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    int index = -1;
    GetCtrlVal(app.p4, PORT_LIST, &index);
    if (index < 0 || std::size_t(index) >= listedPorts.size()) return 0;
    const ComPortInfo& port = listedPorts[std::size_t(index)];
    PortChoice choice = choosePort(listedPorts, port);
    std::string hint;
    if (choice.number == 0) {
        hint = "All 255 port numbers are taken: remove an entry in the directory below.";
    } else {
        SetCtrlVal(app.p4, PORT_NUMBER, choice.number);
        app.portChoiceNumber = choice.number;
        app.portChoiceTarget = choice.target;
        if (!choice.target.empty())
            hint = "OK makes COM" + std::to_string(choice.number) + " a link to " +
                   choice.target + ".";
    }
    if (!port.mayOpen)
        hint += (hint.empty() ? "" : " ") + std::string("You may not open ") + port.device +
                ": join the dialout group (sudo adduser $USER dialout), then log in again.";
    else if (!port.present)
        hint += (hint.empty() ? "" : " ") + port.device + " is missing: plug the adapter in.";
    SetCtrlVal(app.p4, PORT_HINT, hint.c_str());
    return 0;
}

void comport(int, int, void*, int) { showPortPanel(); }
bool makeChosenEntry(int n) {
    std::string reason;
    const int made = LinkComEntry(n, app.portChoiceTarget.c_str(), reason);
    if (made == 0) return true;
    const std::string port = "COM" + std::to_string(n);
    std::string hint;
    if (made == kComEntryTaken) {
        const std::string target = app.portChoiceTarget;
        const std::vector<ComPortInfo> now = ListComPorts();
        PortChoice next;
        for (const ComPortInfo& p : now)
            if (p.device == target || p.stableName == target) next = choosePort(now, p);
        hint = port + " was made meanwhile" + (reason.empty() ? "" : " as a link to " + reason) +
               ", and is left as it is.";
        if (next.number != 0) {
            SetCtrlVal(app.p4, PORT_NUMBER, next.number);
            hint += next.target.empty() ? " COM" + std::to_string(next.number) + " opens " +
                                              target + ": OK opens it."
                                        : " OK makes COM" + std::to_string(next.number) +
                                              " a link to " + next.target + ".";
        }
        app.portChoiceNumber = next.number;
        app.portChoiceTarget = next.target;
    } else {
        hint = reason +
               " - make that directory writable, or choose a device that has a number "
               "already.";
        setStatus(StatusTopic::Link, hint);
    }
    SetCtrlVal(app.p4, PORT_HINT, hint.c_str());
    return false;
}
