// The floor of the poll cycle: request "u6" CR and read the reply up to its CR, N times, on
// Qt SerialPort used the way the program's RS-232 layer uses it (blocking, 9600 8N1), with
// nothing else around it. poll_overhead.sh compares the program's poll rate with this one.
//
//   poll_bare DEVICE N
//
// Prints: "bare N polls in S s: R polls/s, T time-outs".
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <cstdio>
#include <cstdlib>

namespace {

// Reads up to the carriage return within `ms` milliseconds: first what Qt holds already, then
// what arrives. Returns false on a time-out.
bool readReply(QSerialPort& port, QByteArray& reply, int ms) {
    reply.clear();
    QDeadlineTimer deadline(ms);
    for (;;) {
        char c;
        while (port.bytesAvailable() > 0 && port.getChar(&c)) {
            if (c == '\r') return true;
            if (reply.size() < 44) reply.append(c);
        }
        if (deadline.hasExpired()) return false;
        if (!port.waitForReadyRead(int(deadline.remainingTime()))) return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: poll_bare DEVICE N\n");
        return 2;
    }
    const long n = std::strtol(argv[2], nullptr, 10);
    QSerialPort port;
    port.setPortName(QString::fromLocal8Bit(argv[1]));
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "poll_bare: cannot open %s: %s\n", argv[1],
                     port.errorString().toLocal8Bit().constData());
        return 1;
    }
    port.setBaudRate(9600);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.clear();

    QByteArray reply;
    long timeouts = 0;
    QElapsedTimer clock;
    clock.start();
    for (long k = 0; k < n; ++k) {
        port.clearError();
        port.clear();  // as the poll cycle's flushes: the reply read belongs to this request
        port.write("u6\r", 3);
        port.waitForBytesWritten(500);
        if (!readReply(port, reply, 500) || !reply.startsWith('u')) ++timeouts;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("bare %ld polls in %.3f s: %.1f polls/s, %ld time-outs\n", n, seconds, n / seconds,
                timeouts);
    return 0;
}
