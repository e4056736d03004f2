// How port numbers and device names name devices: a port's COMn entry in the program's
// directory, followed to the device it links to, else the system's n-th serial port.
#include "runtime/rs232/port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include "runtime/textfiles.h"

namespace rt::rs232 {

QString fallbackDevice(int port) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QString comEntryPath(const QString& programDir, int port) {
    return QDir(programDir).filePath(QStringLiteral("COM%1").arg(port));
}

QString linkedDevice(const QFileInfo& entry) {
    if (entry.exists()) {
        QString canonical = entry.canonicalFilePath();
        return canonical.isEmpty() ? entry.absoluteFilePath() : canonical;
    }
    if (entry.isSymLink()) return entry.symLinkTarget();
    return QString();
}

// The device to open: `deviceName` when given (a path, or an entry of the program's directory,
// else a name under /dev), otherwise the port's COMn entry or the system's n-th serial port,
// as the list of the system's ports shows it. A link is followed to its device; a dangling link
// gives the path it names, so the message shows what is missing.
QString devicePath(int port, const char* deviceName) {
    const QString programDir = QString::fromStdString(rt::projectDir());
    if (!deviceName || !*deviceName) {
        QString linked = linkedDevice(QFileInfo(comEntryPath(programDir, port)));
        return linked.isEmpty() ? fallbackDevice(port) : linked;
    }
    QString name = QString::fromLocal8Bit(deviceName);
    bool explicitPath = name.contains(QLatin1Char('/'));
#ifdef Q_OS_WIN
    explicitPath = explicitPath || name.contains(QLatin1Char('\\'));
#endif
    QFileInfo entry(explicitPath ? name : QDir(programDir).filePath(name));
    QString linked = linkedDevice(entry);
    if (!linked.isEmpty()) return linked;
    if (explicitPath) return entry.absoluteFilePath();
#ifdef Q_OS_WIN
    return name;
#else
    return QStringLiteral("/dev/") + name;
#endif
}

QString entryPath(int port, const char* deviceName) {
    const QString programDir = QString::fromStdString(rt::projectDir());
    QString entry;
    if (!deviceName || !*deviceName) {
        entry = comEntryPath(programDir, port);
    } else {
        const QString name = QString::fromLocal8Bit(deviceName);
        if (name.contains(QLatin1Char('/'))) return QString();
        entry = QDir(programDir).filePath(name);
    }
    const QFileInfo info(entry);
    return info.exists() || info.isSymLink() ? info.absoluteFilePath() : QString();
}

}  // namespace rt::rs232
