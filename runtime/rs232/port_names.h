#pragma once
// How port numbers name devices: shared by the port operations and the list of the system's
// ports, so the list shows exactly what opening port n would open.

#include <QFileInfo>
#include <QString>
#include <vector>

#include "runtime/rs232.h"

namespace rt::rs232 {

// The device port n opens when the program's directory has no COMn entry.
QString fallbackDevice(int port);
// The port's COMn entry in `programDir` (it need not exist).
QString comEntryPath(const QString& programDir, int port);
// The device an entry leads to: its canonical path when it exists, the named target of a
// dangling link, "" when there is no such entry.
QString linkedDevice(const QFileInfo& entry);
// The device OpenComConfig opens for `port` and `deviceName`.
QString devicePath(int port, const char* deviceName);
// The entry of the program's directory that names that device (the COMn entry, or the named
// entry), also when it names nothing; "" when the device is not named through an entry.
QString entryPath(int port, const char* deviceName);

// A serial device as the system reports it.
struct SystemPort {
    QString location;     // /dev/ttyUSB0, COM3
    QString description;  // "FT232R USB UART", may be empty
};

// The list ListComPorts gives, from the system's ports, the program's directory and the
// directory of stable names (/dev/serial/by-id).
std::vector<ComPortInfo> describePorts(const std::vector<SystemPort>& systemPorts,
                                       const QString& programDir, const QString& stableNameDir);

}  // namespace rt::rs232
