// RS-232 ports on Qt SerialPort, used through its blocking calls only (no event loop needed, so
// the same code serves the headless driver, the Qt program and the unit tests).
//
// Decisions the callers rely on:
// - Port n is "COMn" in the program's directory when that entry exists (followed to the device
//   it names, so two links to one device share one lock), else /dev/ttyS{n-1} (COMn on Windows).
// - Each open port has its own time-out, 5 s after every OpenComConfig until SetComTime.
// - ComRdTerm never writes a NUL: it stores at most maxCount bytes and the caller terminates.
// - An operation on a port that is not open returns RS232_ERR_NOT_OPEN at once, without waiting;
//   after a failed OpenComConfig the port is not open (an earlier open of it is closed first).
// - When the device goes away (USB adapter unplugged, the far end of a pseudo-terminal closed),
//   reads and writes return RS232_ERR_DEVICE_GONE at once instead of waiting out the time-out.
// - A write that cannot finish drops what it did not send, so no fragment precedes the next one.
#include "runtime/rs232.h"

#include "runtime/rs232/port_names.h"
#include "runtime/textfiles.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kMaxPort = 255;
constexpr double kDefaultTimeoutSeconds = 5.0;

// How a port was opened, kept until CloseCom so that a port whose device went away is opened
// again on the same device: through the same COMn entry (followed anew, so a replugged adapter
// behind a stable name is found), or the same system device. Never another one.
struct PortOrigin {
    bool known = false;
    QString entry;   // the COMn entry (or named entry) it was opened through, or ""
    QString device;  // the device it was opened on
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

struct OpenPort {
    QSerialPort* serial = nullptr;
    double timeoutSeconds = kDefaultTimeoutSeconds;
    PortOrigin origin;
    bool gone = false;  // its device went away and was let go of; not yet opened again
};

// Indexed by port number; entry 0 is never used. Ports left open at exit are closed here, which
// also removes their lock files.
struct PortTable {
    std::array<OpenPort, kMaxPort + 1> ports{};
    ~PortTable() {
        for (OpenPort& p : ports) {
            if (p.serial) {
                p.serial->close();
                delete p.serial;
                p.serial = nullptr;
            }
        }
    }
};

PortTable& table() {
    static PortTable t;
    return t;
}

int lastError = RS232_OK;

void (*waitHook)() = nullptr;

// A slice of a wait went by.
void whileWaiting() {
    if (waitHook) waitHook();
}

int setStatus(int code) {
    lastError = code;
    return code;
}

bool validPort(int port) { return port >= 1 && port <= kMaxPort; }

// Ends an exchange that failed. A device that went away is let go of at once: the program holds
// no device but the one its port names, and ReopenCom opens it again once it is back.
int exchangeFailed(OpenPort& p, int code) {
    if (code == RS232_ERR_DEVICE_GONE && p.serial) {
        p.serial->close();
        delete p.serial;
        p.serial = nullptr;
        p.gone = true;
    }
    return setStatus(code);
}

// The open port `port`, or nullptr with the status set (bad number, or not open).
OpenPort* openPort(int port) {
    if (!validPort(port)) {
        setStatus(RS232_ERR_BAD_PORT);
        return nullptr;
    }
    OpenPort& p = table().ports[port];
    if (!p.serial) {
        setStatus(p.gone ? RS232_ERR_DEVICE_GONE : RS232_ERR_NOT_OPEN);
        return nullptr;
    }
    if (!p.serial->isOpen()) {
        // Still in our table but closed underneath us: the device failed while open.
        exchangeFailed(p, RS232_ERR_DEVICE_GONE);
        return nullptr;
    }
    return &p;
}

using rt::rs232::devicePath;

// Qt reports a port held by another program (its lock file, or an exclusive open) as a
// permission or open error. When we could open the device as far as its access rights go, the
// failure means somebody else has it.
bool deviceLooksBusy(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;  // Windows COM ports have no access rights; "access denied" means in use.
#else
    return ::access(path.toLocal8Bit().constData(), R_OK | W_OK) == 0;
#endif
}

// The last open failure reported for each port. A port whose device stays away is tried again
// before every poll; its reason is written once, not once a poll, until the port opens again.
std::array<QString, kMaxPort + 1> reportedFailure;

int openFailure(int port, const QString& path, int code, const QString& reason) {
    const QString failure = QStringLiteral("%1 %2 %3").arg(code).arg(path, reason);
    if (validPort(port)) {
        if (reportedFailure[port] == failure)
            return setStatus(code);
        reportedFailure[port] = failure;
    }
    QByteArray p = path.toLocal8Bit();
    if (code == RS232_ERR_BUSY) {
        std::fprintf(stderr, "tevran: cannot open serial port %d (%s): it is in use by another program\n",
                     port, p.constData());
    } else if (code == RS232_ERR_PERMISSION) {
        std::fprintf(stderr,
                     "tevran: cannot open serial port %d (%s): %s - join the dialout group "
                     "(sudo adduser $USER dialout) and log in again\n",
                     port, p.constData(), reason.toLocal8Bit().constData());
    } else {
        std::fprintf(stderr, "tevran: cannot open serial port %d (%s): %s\n", port, p.constData(),
                     reason.toLocal8Bit().constData());
    }
    return setStatus(code);
}

bool parityFor(int parity, QSerialPort::Parity& out) {
    switch (parity) {
    case 0: out = QSerialPort::NoParity; return true;
    case 1: out = QSerialPort::OddParity; return true;
    case 2: out = QSerialPort::EvenParity; return true;
    case 3: out = QSerialPort::MarkParity; return true;
    case 4: out = QSerialPort::SpaceParity; return true;
    default: return false;
    }
}

bool dataBitsFor(int bits, QSerialPort::DataBits& out) {
    switch (bits) {
    case 5: out = QSerialPort::Data5; return true;
    case 6: out = QSerialPort::Data6; return true;
    case 7: out = QSerialPort::Data7; return true;
    case 8: out = QSerialPort::Data8; return true;
    default: return false;
    }
}

bool stopBitsFor(int bits, QSerialPort::StopBits& out) {
    switch (bits) {
    case 1: out = QSerialPort::OneStop; return true;
    case 2: out = QSerialPort::TwoStop; return true;
    default: return false;
    }
}

void closeEntry(OpenPort& p) {
    p.gone = false;
    if (p.serial) {
        p.serial->close();
        delete p.serial;
        p.serial = nullptr;
    }
    p.timeoutSeconds = kDefaultTimeoutSeconds;
}

qint64 timeoutMs(double seconds) {
    // Capped at about 11 days, far beyond any exchange with the instrument.
    return static_cast<qint64>(std::llround(std::min(seconds, 1.0e6) * 1000.0));
}

int msUntil(const QDeadlineTimer& deadline) {
    qint64 left = deadline.remainingTime();
    if (left < 0)
        left = 0;
    return static_cast<int>(std::min<qint64>(left, std::numeric_limits<int>::max()));
}

// One slice of a wait on the device [ms]: the rest of the time-out, at most kComWaitSliceMs, so
// that the windows can paint between slices.
int waitSlice(const QDeadlineTimer& deadline) {
    return std::max(1, std::min(kComWaitSliceMs, msUntil(deadline)));
}

// A failed wait that was not a time-out: the device is gone or broken.
int exchangeFailure(QSerialPort::SerialPortError error, int otherwise) {
    switch (error) {
    case QSerialPort::TimeoutError: return RS232_ERR_TIMEOUT;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::NotOpenError:
    case QSerialPort::DeviceNotFoundError: return RS232_ERR_DEVICE_GONE;
    default: return otherwise;
    }
}

}  // namespace

namespace {

// Opens `path` for `port` with the line settings of its origin; the port's table entry gets the
// new device. Returns 0 or a negative error code.
int openDevice(int port, OpenPort& entry, const QString& path) {
    auto* serial = new QSerialPort;
    serial->setPortName(path);
    if (!serial->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = serial->error();
        QString reason = serial->errorString();
        delete serial;
        int code = RS232_ERR_CANNOT_OPEN;
        const std::string kind = ComDeviceKind(path.toLocal8Bit().toStdString());
        if (!kind.empty()) {
            code = RS232_ERR_NOT_SERIAL;
            reason =
                QStringLiteral("it is %1, not a serial device").arg(QString::fromStdString(kind));
        } else if (error == QSerialPort::DeviceNotFoundError)
            code = RS232_ERR_NO_DEVICE;
        else if (error == QSerialPort::PermissionError || error == QSerialPort::OpenError)
            code = deviceLooksBusy(path) ? RS232_ERR_BUSY
                   : error == QSerialPort::PermissionError ? RS232_ERR_PERMISSION
                                                           : RS232_ERR_CANNOT_OPEN;
        return openFailure(port, path, code, reason);
    }
    const PortOrigin& o = entry.origin;
    if (!serial->setBaudRate(o.baudRate) || !serial->setParity(o.parity) ||
        !serial->setDataBits(o.dataBits) || !serial->setStopBits(o.stopBits) ||
        !serial->setFlowControl(QSerialPort::NoFlowControl)) {
        const QString reason = serial->errorString();
        serial->close();
        delete serial;
        return openFailure(port, path, RS232_ERR_BAD_SETTINGS, reason);
    }
    // Whatever arrived before the program opened the port is not an answer to it.
    serial->clear();
    reportedFailure[port].clear();
    entry.serial = serial;
    entry.origin.device = path;
    return setStatus(RS232_OK);
}

}  // namespace

int OpenComConfig(int port, const char* deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int /*inputQueueSize*/, int /*outputQueueSize*/) {
    if (!validPort(port))
        return setStatus(RS232_ERR_BAD_PORT);
    // A port that is open is closed first; after a failed call the port is closed.
    OpenPort& entry = table().ports[port];
    closeEntry(entry);
    entry.origin = PortOrigin{};

    // Settings are checked before the device is opened, so refused ones never touch it.
    const QString path = devicePath(port, deviceName);
    PortOrigin origin;
    if (baudRate <= 0 || baudRate > std::numeric_limits<qint32>::max() ||
        !parityFor(parity, origin.parity) || !dataBitsFor(dataBits, origin.dataBits) ||
        !stopBitsFor(stopBits, origin.stopBits)) {
        return openFailure(port, path, RS232_ERR_BAD_SETTINGS,
                           QStringLiteral("line settings refused (baud %1, parity %2, %3 data bits, %4 stop bits)")
                               .arg(baudRate).arg(parity).arg(dataBits).arg(stopBits));
    }
    origin.baudRate = static_cast<qint32>(baudRate);
    origin.entry = rt::rs232::entryPath(port, deviceName);
    entry.origin = origin;
    const int status = openDevice(port, entry, path);
    entry.origin.known = status == RS232_OK;
    entry.timeoutSeconds = kDefaultTimeoutSeconds;
    return status;
}

int ReopenCom(int port) {
    if (!validPort(port))
        return setStatus(RS232_ERR_BAD_PORT);
    OpenPort& entry = table().ports[port];
    if (!entry.origin.known)
        return setStatus(RS232_ERR_NOT_OPEN);
    const double timeout = entry.timeoutSeconds;
    closeEntry(entry);
    entry.timeoutSeconds = timeout;
    QString path = entry.origin.device;
    if (!entry.origin.entry.isEmpty()) {
        // Through the entry only: while it is missing or names nothing, the device is gone.
        const QFileInfo link(entry.origin.entry);
        if (!link.exists()) {
            const bool dangling = link.isSymLink();
            return openFailure(port, dangling ? link.symLinkTarget() : entry.origin.entry,
                               RS232_ERR_DEVICE_GONE,
                               dangling ? QStringLiteral("the device its entry names went away")
                                        : QStringLiteral("its entry is missing"));
        }
        path = rt::rs232::linkedDevice(link);
    }
    const QString opened = entry.origin.device;
    const int status = openDevice(port, entry, path);
    if (status != RS232_OK)
        entry.origin.device = opened;  // the next try follows the entry again
    return status;
}

std::string ComDeviceKind(const std::string& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return std::string();
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::string();
    switch (st.st_mode & S_IFMT) {
        case S_IFREG:
            return "a regular file";
        case S_IFIFO:
            return "a FIFO";
        case S_IFDIR:
            return "a directory";
        case S_IFSOCK:
            return "a socket";
        case S_IFBLK:
            return "a block device";
        case S_IFCHR:
            break;
        default:
            return "not a device";
    }
    // A character device is a serial one when it is a terminal; opening it without waiting and
    // without making it our controlling terminal neither blocks nor changes it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::string();  // cannot tell: the open's own reason stands
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal ? std::string() : "a character device";
#endif
}

std::string ComDeviceName(int port) {
    if (!validPort(port))
        return std::string();
    const OpenPort& entry = table().ports[port];
    const QString path = entry.origin.known ? entry.origin.device : devicePath(port, "");
    return path.toLocal8Bit().toStdString();
}

int CloseCom(int port) {
    if (!validPort(port))
        return setStatus(RS232_ERR_BAD_PORT);
    OpenPort& entry = table().ports[port];
    const bool wasOpen = entry.serial || entry.origin.known;
    closeEntry(entry);
    entry.origin = PortOrigin{};
    return setStatus(wasOpen ? RS232_OK : RS232_ERR_NOT_OPEN);
}

int SetComTime(int port, double timeoutSeconds) {
    OpenPort* p = openPort(port);
    if (!p)
        return lastError;
    if (!(timeoutSeconds >= 0.0))  // also refuses NaN
        return setStatus(RS232_ERR_BAD_SETTINGS);
    p->timeoutSeconds = timeoutSeconds;
    return setStatus(RS232_OK);
}

int FlushInQ(int port) {
    OpenPort* p = openPort(port);
    if (!p)
        return lastError;
    p->serial->clearError();
    // Qt's own buffer first (clear() covers it too, this makes sure), then the system's queue.
    p->serial->read(p->serial->bytesAvailable());
    if (!p->serial->clear(QSerialPort::Input))
        return exchangeFailed(*p, exchangeFailure(p->serial->error(), RS232_ERR_UNKNOWN));
    return setStatus(RS232_OK);
}

int FlushOutQ(int port) {
    OpenPort* p = openPort(port);
    if (!p)
        return lastError;
    p->serial->clearError();
    if (!p->serial->clear(QSerialPort::Output))
        return exchangeFailed(*p, exchangeFailure(p->serial->error(), RS232_ERR_UNKNOWN));
    return setStatus(RS232_OK);
}

int ComWrt(int port, const char* buffer, int count) {
    OpenPort* p = openPort(port);
    if (!p)
        return lastError;
    QSerialPort* serial = p->serial;
    serial->clearError();
    if (count <= 0 || !buffer) {
        setStatus(RS232_OK);
        return 0;
    }
    if (serial->write(buffer, count) != count)
        return exchangeFailed(*p, exchangeFailure(serial->error(), RS232_ERR_WRITE));

    // Qt hands the bytes to the system only while it waits, so wait until all of them are out.
    const QDeadlineTimer deadline(timeoutMs(p->timeoutSeconds));
    int failure = RS232_OK;
    while (serial->bytesToWrite() > 0 && failure == RS232_OK) {
        if (deadline.hasExpired())
            failure = RS232_ERR_TIMEOUT;
        else if (!serial->waitForBytesWritten(waitSlice(deadline)) &&
                 serial->error() != QSerialPort::NoError && serial->error() != QSerialPort::TimeoutError)
            failure = exchangeFailure(serial->error(), RS232_ERR_WRITE);
        else if (serial->bytesToWrite() > 0)
            whileWaiting();
    }
    if (failure != RS232_OK) {
        // What is left would otherwise go out in front of the next command.
        serial->clear(QSerialPort::Output);
        return exchangeFailed(*p, failure);
    }
    setStatus(RS232_OK);
    return count;
}

int ComRdTerm(int port, char* buffer, int maxCount, int terminator) {
    OpenPort* p = openPort(port);
    if (!p)
        return lastError;
    QSerialPort* serial = p->serial;
    serial->clearError();
    // A terminator outside 0..255 matches no byte: the read ends on the count or the time-out.
    const bool hasTerminator = terminator >= 0 && terminator <= 0xFF;
    const char term = static_cast<char>(terminator);
    const int wanted = buffer ? std::max(0, maxCount) : 0;
    const QDeadlineTimer deadline(timeoutMs(p->timeoutSeconds));
    int stored = 0;

    while (stored < wanted) {
        // Qt's buffer first: bytes that followed an earlier terminator wait there, and
        // waitForReadyRead only reports data that is new.
        const qint64 available = serial->bytesAvailable();
        if (available > 0) {
            const qint64 room = wanted - stored;
            const QByteArray chunk = serial->peek(std::min(available, room));
            const qsizetype end = hasTerminator ? chunk.indexOf(term) : -1;
            const qsizetype take = end >= 0 ? end : chunk.size();
            serial->read(buffer + stored, take);
            stored += static_cast<int>(take);
            if (end >= 0) {
                char dropped;
                serial->getChar(&dropped);  // the terminator: consumed, not stored
                setStatus(RS232_OK);
                return stored;
            }
            continue;
        }
        if (deadline.hasExpired()) {
            setStatus(RS232_ERR_TIMEOUT);
            return stored;
        }
        if (!serial->waitForReadyRead(waitSlice(deadline))) {
            if (serial->bytesAvailable() > 0)
                continue;
            const QSerialPort::SerialPortError error = serial->error();
            if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
                if (deadline.hasExpired()) {
                    setStatus(RS232_ERR_TIMEOUT);
                    return stored;
                }
                // A slice of the wait went by: the windows paint meanwhile.
                whileWaiting();
                continue;
            }
            // The far end went away (a read or resource error); waiting again would return at
            // once with the same error.
            return exchangeFailed(*p, exchangeFailure(error, RS232_ERR_DEVICE_GONE));
        }
    }
    setStatus(RS232_OK);
    return stored;
}

void SetComWaitHook(void (*hook)()) { waitHook = hook; }

int ReturnRS232Err() { return lastError; }

int _GetRs232Err() { return lastError; }

const char* rs232ErrorText(int code) {
    switch (code) {
    case RS232_OK: return "no error";
    case RS232_ERR_UNKNOWN: return "unknown system error";
    case RS232_ERR_BAD_PORT: return "port number out of range (1..255)";
    case RS232_ERR_NOT_OPEN: return "port not open";
    case RS232_ERR_CANNOT_OPEN: return "port cannot be opened";
    case RS232_ERR_NO_DEVICE: return "no such device";
    case RS232_ERR_PERMISSION: return "permission denied (join the dialout group)";
    case RS232_ERR_BUSY: return "port in use by another program";
    case RS232_ERR_BAD_SETTINGS: return "line settings refused";
    case RS232_ERR_WRITE: return "write failed";
    case RS232_ERR_DEVICE_GONE: return "device went away";
    case RS232_ERR_NOT_SERIAL:
        return "not a serial device";
    case RS232_ERR_TIMEOUT: return "time-out";
    default: return "unknown error code";
    }
}
