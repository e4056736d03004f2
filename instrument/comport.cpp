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
// index here), and their lines as shown.
std::vector<ComPortInfo> listedPorts;
std::vector<std::string> listedLines;

// Fills the list with the devices there are now; the device chosen before stays chosen.
void fillPortList(const std::vector<ComPortInfo>& ports, std::vector<std::string> lines) {
    int chosen = -1;
    GetCtrlVal(app.p4, PORT_LIST, &chosen);
    const std::string chosenDevice = chosen >= 0 && std::size_t(chosen) < listedPorts.size()
                                         ? listedPorts[std::size_t(chosen)].device
                                         : std::string();
    listedPorts = ports;
    listedLines = std::move(lines);
    ClearListCtrl(app.p4, PORT_LIST);
    int again = -1;
    for (std::size_t i = 0; i < listedPorts.size(); ++i) {
        InsertListItem(app.p4, PORT_LIST, -1, listedLines[i].c_str(), int(i));
        if (!chosenDevice.empty() && listedPorts[i].device == chosenDevice) again = int(i);
    }
    if (listedPorts.empty()) InsertListItem(app.p4, PORT_LIST, -1, "No serial ports found.", -1);
    SetCtrlVal(app.p4, PORT_LIST, again);
}

std::vector<std::string> linesOf(const std::vector<ComPortInfo>& ports) {
    std::vector<std::string> lines;
    for (const ComPortInfo& p : ports) lines.push_back(portListLabel(p));
    return lines;
}

void showPortPanel() {
    DisplayPanel(app.p4);
    SetCtrlVal(app.p4, PORT_NUMBER, app.com_nummer);
    SetCtrlVal(app.p4, PORT_LIST, -1);
    const std::vector<ComPortInfo> ports = ListComPorts();
    fillPortList(ports, linesOf(ports));
    SetActiveCtrl(app.p4, PORT_LIST);
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
        // Without an entry the number picked one of the computer's own ports: say which, since
        // nothing else shows whether the instrument hangs there until Run.
        long size = 0;
        const std::string entry =
            rt::joinPath(ComEntryDir(), "COM" + std::to_string(app.com_nummer));
        if (!GetFileInfo(entry.c_str(), &size))
            setStatus(StatusTopic::Link,
                      "COM" + std::to_string(app.com_nummer) + ": opened " +
                          ComDeviceName(app.com_nummer) +
                          ", a serial port of this computer - if the instrument hangs elsewhere, "
                          "choose its device under Instrument > Serial port");
    } else {
        noteLinkFailure(_GetRs232Err(), 0.0, "cannot be opened");
        showPortPanel();
        SetCtrlVal(app.p4, PORT_HINT, app.linkStatus.c_str());
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

void portwatch() {
    const std::vector<ComPortInfo> ports = ListComPorts();
    std::vector<std::string> lines = linesOf(ports);
    if (lines != listedLines) fillPortList(ports, std::move(lines));
}

// Cancel and Escape: the panel closes and nothing changes.
namespace {
void leavePortPanel() {
    app.portChoiceNumber = 0;
    app.portChoiceTarget.clear();
    HidePanel(app.p4);
}
}  // namespace

int portcancel(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) leavePortPanel();
    return 0;
}

int port_ende(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) leavePortPanel();
    return 0;
}

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
