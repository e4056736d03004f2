// The serial port: opened at start, chosen again on the serial-port panel.
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "runtime/panels.h"
#include "runtime/popups.h"
#include "runtime/rs232.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace {
// The instrument's line: 9600 baud, no parity, 8 data bits, 1 stop bit.
int openPort() { return OpenComConfig(app.com_nummer, "", 9600, 0, 8, 1, 128, 24); }

// One line per serial port of the system, for the list on the serial-port panel:
// "COM3: /dev/ttyUSB0 (FT232R USB UART) = /dev/serial/by-id/usb-FTDI_..."
std::string portListText() {
    std::string out;
    for (const ComPortInfo& port : ListComPorts()) {
        std::string line;
        for (int n : port.numbers) line += (line.empty() ? "COM" : ", COM") + std::to_string(n);
        line += line.empty() ? "no number: " : ": ";
        line += port.device;
        if (!port.description.empty()) line += " (" + port.description + ")";
        if (!port.present) line += " - missing";
        if (!port.stableName.empty()) line += " = " + port.stableName;
        out += (out.empty() ? "" : "\n") + line;
    }
    return out.empty() ? "No serial ports found." : out;
}

void showPortPanel() {
    DisplayPanel(app.p4);
    SetCtrlVal(app.p4, PORT_NUMBER, app.com_nummer);
    SetCtrlVal(app.p4, PORT_LIST, portListText().c_str());
}
}  // namespace

void ComOpen() {
    if (openPort() == 0) {
        app.com_open = 1;
        SetComTime(app.com_nummer, 0.6);
    } else {
        showPortPanel();
    }
}

// A port whose device went away (an unplugged USB adapter) is opened again before the next
// exchange, so a long recording resumes by itself once the device is back; until then each
// exchange fails like any failed exchange.
void reopenIfGone() {
    if (!app.com_open || !app.portGone) return;
    if (openPort() == 0) app.portGone = 0;
}

void notePortStatus(int status) {
    if (status == RS232_ERR_DEVICE_GONE) app.portGone = 1;
}

void comport(int, int, void*, int) { showPortPanel(); }

int comok(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    if (app.com_open) CloseCom(app.com_nummer);
    app.portGone = 0;
    GetCtrlVal(app.p4, PORT_NUMBER, &app.com_nummer);
    openPort();
    if (_GetRs232Err() != 0) {
        MessagePopup("", "COM port cannot be opened !");
        app.com_open = 0;
    } else {
        app.com_open = 1;
    }
    if (app.com_open == 1) {
        SetComTime(app.com_nummer, 0.6);
    } else {
        if (app.speichern) CloseFile(app.filedat);
        app.speichern = 0;
        faerben(0);
    }
    HidePanel(app.p4);
    return 0;
}
