#pragma once
// Choosing the instrument's device in the serial-port panel's list.
#include <string>
#include <vector>

#include "runtime/rs232.h"

// One line of the list: "COM3: /dev/ttyUSB0 (FT232R USB UART) = /dev/serial/by-id/usb-FTDI_...",
// with what stands in the way of opening it.
std::string portListLabel(const ComPortInfo& port);

struct PortChoice {
    int number = 0;  // what goes into PORT_NUMBER
    std::string
        target;  // what the COMn entry is to name, "" when `number` opens the device already
};

// The number that opens `port`: the first of its own, or else the lowest number that has no
// COMn entry and no system port of its own, whose entry is then made a link to the device's
// stable name (or to the device). number 0 when all 255 are taken.
PortChoice choosePort(const std::vector<ComPortInfo>& ports, const ComPortInfo& port);
