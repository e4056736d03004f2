// The system's serial ports, with the names an operator needs to pick one: the device, its
// stable name (a USB adapter's /dev/ttyUSBn changes from one plug-in to the next, its
// /dev/serial/by-id name does not) and the port numbers that open it.
#include <QDir>
#include <QFile>
#include <QSerialPortInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

#include "runtime/core/dispatch.h"
#include "runtime/core/encoding.h"
#include "runtime/rs232/port_names.h"
#include "runtime/textfiles.h"

namespace rt::rs232 {

namespace {

constexpr int kMaxPort = 255;

std::string text(const QString& s) { return rt::utf8ToWindows1252(s.toStdString()); }

// The same device under any of its names (a link, /dev/serial/by-id/..., the device itself).
QString deviceKey(const QString& path) {
    QFileInfo info(path);
    QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool mayOpen(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    QFileInfo info(path);
    if (!info.exists()) return true;  // nothing to tell yet: opening it says what is wrong
    return ::access(path.toLocal8Bit().constData(), R_OK | W_OK) == 0;
#endif
}

}  // namespace

std::vector<ComPortInfo> describePorts(const std::vector<SystemPort>& systemPorts,
                                       const QString& programDir, const QString& stableNameDir) {
    std::vector<ComPortInfo> ports;
    std::map<QString, std::size_t> byKey;  // device key -> index in `ports`
    for (const SystemPort& sp : systemPorts) {
        QString key = deviceKey(sp.location);
        if (byKey.count(key)) continue;
        ComPortInfo info;
        info.device = text(sp.location);
        info.description = text(sp.description);
        info.mayOpen = mayOpen(sp.location);
        byKey[key] = ports.size();
        ports.push_back(info);
    }

    // Stable names of the devices found.
    const QFileInfoList stable = QDir(stableNameDir).entryInfoList(
        QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : stable) {
        auto it = byKey.find(deviceKey(entry.absoluteFilePath()));
        if (it != byKey.end() && ports[it->second].stableName.empty())
            ports[it->second].stableName = text(entry.absoluteFilePath());
    }

    // Port numbers: a COMn entry of the program's directory wins over the system's n-th port.
    for (int n = 1; n <= kMaxPort; ++n) {
        QFileInfo entry(comEntryPath(programDir, n));
        QString linked = linkedDevice(entry);
        if (linked.isEmpty()) {
            auto it = byKey.find(deviceKey(fallbackDevice(n)));
            if (it != byKey.end()) ports[it->second].numbers.push_back(n);
            continue;
        }
        QString key = deviceKey(linked);
        auto it = byKey.find(key);
        if (it == byKey.end()) {
            // A pseudo-terminal, a device the system does not list, or a missing one.
            ComPortInfo info;
            info.device = text(linked);
            info.present = entry.exists();
            info.mayOpen = !info.present || mayOpen(linked);
            it = byKey.emplace(key, ports.size()).first;
            ports.push_back(info);
        }
        ports[it->second].numbers.push_back(n);
    }

    std::stable_sort(ports.begin(), ports.end(), [](const ComPortInfo& a, const ComPortInfo& b) {
        int na = a.numbers.empty() ? kMaxPort + 1 : a.numbers.front();
        int nb = b.numbers.empty() ? kMaxPort + 1 : b.numbers.front();
        if (na != nb) return na < nb;
        return a.device < b.device;
    });
    return ports;
}

}  // namespace rt::rs232

std::vector<ComPortInfo> ListComPorts() {
    std::vector<rt::rs232::SystemPort> system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system.push_back({info.systemLocation(), info.description()});
    return rt::rs232::describePorts(system, QString::fromStdString(rt::projectDir()),
                                    QStringLiteral("/dev/serial/by-id"));
}

std::string ComEntryDir() { return rt::projectDir(); }

void WatchComPorts(int panel, void (*changed)()) { rt::setComPortWatch(panel, changed); }

namespace {
// The system's reason in words, as it reads inside a sentence ("read-only file system").
std::string systemReason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) text[0] = char(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}
}  // namespace

int LinkComEntry(int port, const char* device, std::string& reason) {
    const QString dir = QString::fromStdString(rt::projectDir());
    const QString entry = rt::rs232::comEntryPath(dir, port);
    const std::string name = "COM" + std::to_string(port);
    const QFileInfo old(entry);
    if (old.exists() || old.isSymLink()) {
        reason = rt::utf8ToWindows1252(rt::rs232::linkedDevice(old).toStdString());
        return kComEntryTaken;
    }
#ifdef Q_OS_WIN
    // A shortcut file (Windows needs no entry for COMn); made in one step as well.
    if (!QFile::link(QString::fromLocal8Bit(device ? device : ""), entry)) {
        reason = "cannot make " + name + " in " + rt::utf8ToWindows1252(dir.toStdString());
        return -1;
    }
#else
    // symlink() never replaces an existing name: whoever made the entry first keeps it.
    if (::symlink(device ? device : "", entry.toLocal8Bit().constData()) != 0) {
        const int error = errno;
        if (error == EEXIST) {
            reason = rt::utf8ToWindows1252(rt::rs232::linkedDevice(QFileInfo(entry)).toStdString());
            return kComEntryTaken;
        }
        reason = "cannot make " + name + " in " + rt::utf8ToWindows1252(dir.toStdString()) + ": " +
                 systemReason(error);
        return -1;
    }
#endif
    return 0;
}
