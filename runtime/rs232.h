#pragma once
// RS-232 ports, numbered from 1.
//
// Port n is the entry "COMn" in the program's directory when it exists (a symbolic link to
// /dev/ttyUSB0, to a pseudo-terminal, ...); otherwise the system's n-th serial port
// (/dev/ttyS{n-1} on Linux, COMn on Windows).
//
// Every operation sets the library's last-error status (0 = success, else one of the negative
// codes below), which ReturnRS232Err and _GetRs232Err report.

#include <string>
#include <vector>

// Error codes. They are part of what the operator sees ("ERROR (-99)") and are listed in the
// README; never renumber them.
enum Rs232Error {
    RS232_OK = 0,
    RS232_ERR_UNKNOWN = -1,       // the system reported a failure not listed below
    RS232_ERR_BAD_PORT = -2,      // port number outside 1..255
    RS232_ERR_NOT_OPEN = -3,      // the port is not open
    RS232_ERR_CANNOT_OPEN = -4,   // the port could not be opened (other reason)
    RS232_ERR_NO_DEVICE = -5,     // no such device
    RS232_ERR_PERMISSION = -6,    // permission denied (join the dialout group)
    RS232_ERR_BUSY = -7,          // the port is in use by another program
    RS232_ERR_BAD_SETTINGS = -8,  // the line settings were refused
    RS232_ERR_WRITE = -9,         // a write failed or was cut short
    RS232_ERR_DEVICE_GONE = -10,  // the device went away while open (adapter unplugged)
    RS232_ERR_NOT_SERIAL = -11,   // the port names a file, a FIFO, a directory, ... (ComDeviceKind)
    RS232_ERR_TIMEOUT = -99,      // the time-out ran out before the read or write completed
};

// Opens and configures a port: baud rate, parity (0 none, 1 odd, 2 even), data bits, stop bits;
// the queue sizes are accepted and ignored (the system's buffers are larger). `deviceName` empty
// means: resolve the port by its number. Returns 0 or a negative error code. A failed open writes
// the system's reason to stderr.
int OpenComConfig(int port, const char* deviceName, long baudRate, int parity, int dataBits,
                  int stopBits, int inputQueueSize, int outputQueueSize);
int CloseCom(int port);
// Opens a port whose device went away again, with the line settings and the time-out it had, on
// the device it was opened on: through the same COMn entry, followed again (a replugged adapter
// behind a stable name is found), or the same system device. A port opened through an entry never
// falls back to the system's n-th port: while the entry is missing or dangling this returns
// RS232_ERR_DEVICE_GONE. RS232_ERR_NOT_OPEN when the port was never opened or was closed.
int ReopenCom(int port);
// The device port n is open on, or else the one opening it would try (for messages).
std::string ComDeviceName(int port);
// What `path` is when it cannot be a serial device: "a regular file", "a FIFO", "a directory",
// "a socket", "a block device", "a character device" (one that is no terminal, as /dev/null);
// "" when it may be one or does not exist.
std::string ComDeviceKind(const std::string& path);
// Time-out for the following reads and writes on the port [s].
int SetComTime(int port, double timeoutSeconds);
// Discards what was received and not yet read.
int FlushInQ(int port);
// Discards what was written and not yet sent.
int FlushOutQ(int port);
// Writes `count` bytes; returns the number written or a negative error code.
int ComWrt(int port, const char* buffer, int count);
// Reads into `buffer` until the byte `terminator` (not stored), until `maxCount` bytes were
// stored, or until the time-out; bytes after the terminator stay queued for the next read.
// Returns the number of bytes stored, or a negative error code (the status is set to
// RS232_ERR_TIMEOUT when the time-out ended the read, also when some bytes were stored).
int ComRdTerm(int port, char* buffer, int maxCount, int terminator);
// What a read or write that waits for the device calls every kComWaitSliceMs of its wait, so
// that the windows paint meanwhile; none until set.
constexpr int kComWaitSliceMs = 20;
void SetComWaitHook(void (*hook)());
// Status of the last RS-232 operation: 0 = success, else a negative code.
int ReturnRS232Err();
int _GetRs232Err();
// A text for an error code, for messages on stderr.
const char* rs232ErrorText(int code);

// ---- The system's serial ports -------------------------------------------------------------

// One serial device of the system, for showing to the operator (texts in Windows-1252).
struct ComPortInfo {
    std::string device;       // the system's name of the device (/dev/ttyUSB0, COM3)
    std::string stableName;   // its name under /dev/serial/by-id that survives re-plugging, or ""
    std::string description;  // what the system says about it ("FT232R USB UART"), or ""
    std::vector<int> numbers; // the port numbers that open it, smallest first (may be none)
    bool present = true;      // false: a COMn entry of the program's directory names a device
                              // that does not exist (adapter unplugged, stale link)
    bool mayOpen = true;      // false: the operator's access rights do not allow opening it
                              // (not in the device's group, dialout on most systems)
};

// The serial ports of the system, and every COMn entry of the program's directory (links to
// pseudo-terminals and to missing devices included), ordered by port number, then by name.
std::vector<ComPortInfo> ListComPorts();
// While `panel` is shown, `changed` is called about once a second from the event loop (never
// while a callback runs), so that a list of the devices can follow adapters being plugged in and
// out. One watch at a time; a null `changed` ends it.
void WatchComPorts(int panel, void (*changed)());
// The directory the COMn entries live in (the program's settings directory).
std::string ComEntryDir();
// Makes the entry COMn a link to `device` (a stable /dev/serial/by-id name where there is one),
// only where there is no entry COMn at that moment: an entry made meanwhile (by another instance
// of the program) is never replaced, since the link is made in one step that fails on an
// existing name. 0 on success; kComEntryTaken when the entry exists (`reason` then names what it
// leads to); -1 when it cannot be made, with where and why in `reason` ("cannot make COM1 in
// /home/lab/.config/tevran: read-only file system").
constexpr int kComEntryTaken = 1;
int LinkComEntry(int port, const char* device, std::string& reason);
