// The instrument link's sentence in the main panel's status line: which port and device, what
// went wrong and what helps, so that an operator without a terminal learns the reason.
#include "instrument/link_status.h"

#include <cstdio>

#include "app/state.h"
#include "runtime/rs232.h"

namespace {

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", s);
    return buf;
}

const char* const kChoosePort = "choose the instrument's device under Instrument > Serial port";

}  // namespace

std::string linkFailureText(const LinkFailure& f) {
    const std::string port = "COM" + std::to_string(f.port);
    const std::string named = f.device.empty() ? port : port + " (" + f.device + ")";
    const std::string what = f.what.empty() ? std::string() : f.what + ": ";
    switch (f.code) {
        case RS232_ERR_TIMEOUT:
            return named + ": " + what + "no answer within " + seconds(f.timeoutSeconds) +
                   " s - is the instrument switched on and the cable connected?";
        case 1:
            return named + ": " + what +
                   "the answer could not be read - is the instrument on this port, at 9600 baud, "
                   "8 data bits, no parity?";
        case RS232_ERR_DEVICE_GONE:
            return port + ": the adapter went away; waiting for it to come back";
        case RS232_ERR_NOT_OPEN:
            if (f.gone) return port + ": the adapter went away; waiting for it to come back";
            return port + ": " + what + "the port is not open - " + kChoosePort;
        case RS232_ERR_PERMISSION:
            return named + ": " + what +
                   "permission denied - join the dialout group (sudo adduser $USER dialout, "
                   "then log in again)";
        case RS232_ERR_NO_DEVICE:
            return named + ": " + what + "no such device - plug the adapter in, or " + kChoosePort;
        case RS232_ERR_BUSY:
            return named + ": " + what +
                   "in use by another program - close that program or choose another port";
        case RS232_ERR_BAD_SETTINGS:
            return named + ": " + what +
                   "the device refused 9600 baud, 8 data bits, no parity - is it a serial port?";
        case RS232_ERR_WRITE:
            return named + ": " + what +
                   "the request could not be sent - check the adapter and the cable";
        case RS232_ERR_NOT_SERIAL:
            return named + " is " + (f.kind.empty() ? std::string("not a device") : f.kind) +
                   ", not a serial device - " + kChoosePort;
        case RS232_ERR_BAD_PORT:
            return port + ": port numbers run from 1 to 255 - " + kChoosePort;
        default:
            return named + ": " + what + "the system reported an error (" + std::to_string(f.code) +
                   ") - plug the adapter in again or " + kChoosePort;
    }
}

void noteLinkFailure(int code, double timeoutSeconds, const std::string& what) {
    LinkFailure f;
    f.port = app.com_nummer;
    f.device = ComDeviceName(app.com_nummer);
    f.code = code;
    f.timeoutSeconds = timeoutSeconds;
    f.what = what;
    f.gone = app.portGone != 0;
    if (code == RS232_ERR_NOT_SERIAL) f.kind = ComDeviceKind(f.device);
    setStatus(StatusTopic::Link, linkFailureText(f));
}

void noteLinkGood() { setStatus(StatusTopic::Link, ""); }
