#pragma once
// The instrument link's sentence in the main panel's status line.
#include <string>

struct LinkFailure {
    int port = 0;                 // com_nummer
    std::string device;           // the device it opens or is open on, "" when not known
    int code = 0;                 // RS-232 error code, or 1 for a reply not beginning with u
    double timeoutSeconds = 0.0;  // of the exchange that failed [s]
    std::string what;             // which exchange, when not the poll ("opening it", ...)
    bool gone = false;            // the port's device went away and is not back yet
    std::string kind;             // what `device` is when it is no serial device ("a FIFO")
};

// One sentence: port, device, what went wrong and what helps. For example
// "COM3 (/dev/ttyUSB0): no answer within 0.5 s - is the instrument switched on and the cable
// connected?"
std::string linkFailureText(const LinkFailure& failure);

// Shows the sentence for a failed exchange on port com_nummer; noteLinkGood clears it.
void noteLinkFailure(int code, double timeoutSeconds, const std::string& what = "");
void noteLinkGood();
