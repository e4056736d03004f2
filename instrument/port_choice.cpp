// Choosing the instrument's device in the serial-port panel's list.
#include "instrument/port_choice.h"

#include <algorithm>

std::string portListLabel(const ComPortInfo& port) {
    std::string line;
    for (int n : port.numbers) line += (line.empty() ? "COM" : ", COM") + std::to_string(n);
    line += line.empty() ? "no number: " : ": ";
    line += port.device;
    if (!port.description.empty()) line += " (" + port.description + ")";
    if (!port.present) line += " - missing";
    if (!port.mayOpen) line += " - no permission (dialout group)";
    if (!port.stableName.empty()) line += " = " + port.stableName;
    return line;
}

PortChoice choosePort(const std::vector<ComPortInfo>& ports, const ComPortInfo& port) {
    PortChoice choice;
    if (!port.numbers.empty()) {
        choice.number = port.numbers.front();
        return choice;
    }
    for (int n = 1; n <= 255; ++n) {
        bool taken = std::any_of(ports.begin(), ports.end(), [n](const ComPortInfo& p) {
            return std::find(p.numbers.begin(), p.numbers.end(), n) != p.numbers.end();
        });
        if (taken) continue;
        choice.number = n;
        choice.target = port.stableName.empty() ? port.device : port.stableName;
        return choice;
    }
    return choice;
}
