#pragma once
// Formatted text and files: the format language (Fmt, Scan, FmtFile, ScanFile), text-mode files
// and the program's directory.
//
// Format language, the subset the program uses:
//   "%s<"  at the start of a Fmt/FmtFile format: the string or file is the target (optional).
//   "%s>"  at the start of a Scan/ScanFile format: the string or file is the source (optional).
//   %d %i  integer; %f double; %c one character (int or char argument); %s string.
//   Modifiers in brackets after %f (any order): p<n> digits after the point (default 6),
//   w<n> field width, right-aligned; e<n> exponential notation with at least n exponent digits.
//   "%f[p2e1]" of 206400 gives "2.06e+5"; "%f[e2p3w10]" gives " 2.064e+05".
//   In a scan format a blank matches any white space (also none); %f and %d skip leading white
//   space; %s reads one word.
// Numbers always use a point, whatever the process locale.
//
// Files are text mode when opened with VAL_ASCII: a '\n' written reaches the disk as CR LF, and
// CR LF or a bare LF read is one line end. Every FmtFile call hands its whole text to the
// operating system in one write, unbuffered.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <variant>

// Arguments of the formatting functions.
using FmtArg = std::variant<int, long, double, char, const char*>;
// Targets of the scanning functions. A char buffer target carries its capacity.
struct ScanString {
    char* buf;
    std::size_t capacity;
};
using ScanArg = std::variant<int*, double*, ScanString>;

namespace rt {
// Formats into a std::string; returns the number of arguments used, negative on a format error.
int formatText(std::string& out, const char* format, std::initializer_list<FmtArg> args);
// Scans text; returns the number of values converted (stops at the first failure), or -1 when
// the format is malformed (unknown conversion, missing target, target of the wrong type).
// Reads at most `length` bytes of `source`; a NUL byte ends it earlier.
int scanText(const char* source, std::size_t length, const char* format,
             std::initializer_list<ScanArg> args);
// One decimal number at p, as %f reads it: [sign] digits [. digits] [e [sign] digits], at least
// one mantissa digit, no "nan", "inf" or hexadecimal, within the range of double. The position
// after it, or null.
const char* scanNumber(const char* p, const char* end, double& out);
// scanText that also reports in `consumed` how many bytes of the source the scan used.
int scanTextAt(const char* source, std::size_t length, std::size_t* consumed, const char* format,
               std::initializer_list<ScanArg> args);
// Copies text into a bounded buffer, always NUL-terminated; returns the length copied.
std::size_t copyBounded(char* dest, std::size_t capacity, const std::string& text);
}  // namespace rt

inline ScanArg scanTarget(int* p) { return p; }
inline ScanArg scanTarget(double* p) { return p; }
template <std::size_t N>
ScanArg scanTarget(char (&buf)[N]) {
    return ScanString{buf, N};
}

// Fmt: formats into the character array `target` (never beyond its size, always terminated).
// Returns the number of arguments used, negative on a format error.
template <std::size_t N, class... A>
int Fmt(char (&target)[N], const char* format, A... args) {
    std::string out;
    int n = rt::formatText(out, format, {FmtArg(args)...});
    rt::copyBounded(target, N, out);
    return n;
}

// Scan: reads values from `source` into the given targets (pointers to int or double, or char
// arrays). Returns the number of values converted.
template <class... A>
int Scan(const char* source, const char* format, A&&... targets) {
    return rt::scanText(source, std::char_traits<char>::length(source), format,
                        {scanTarget(targets)...});
}

// File actions, modes and types of OpenFile.
enum { VAL_READ_WRITE = 0, VAL_READ_ONLY = 1, VAL_WRITE_ONLY = 2 };
enum { VAL_TRUNCATE = 0, VAL_APPEND = 1, VAL_OPEN_AS_IS = 2 };
enum { VAL_BINARY = 0, VAL_ASCII = 1 };

// Opens a file; returns a handle >= 1, or a negative value on failure (the system's reason is
// then available from fileErrorText()). Only regular files are opened (after following links;
// for writing also devices): a FIFO, a socket, a directory or (for reading) a device is refused
// at once, and the open never waits. A file opened for writing is locked against other writers
// (an advisory lock on the whole file, this process or another, until CloseFile); a file another
// writer holds gives FILE_IN_USE and is left as it was, not emptied. Paths are Windows-1252, as
// everywhere in the program; the file on disk carries the same name in the system's encoding.
int OpenFile(const char* path, int action, int mode, int type);
enum { FILE_IN_USE = -2 };
// Non-zero when another writer holds the file at `path` (OpenFile for writing would give
// FILE_IN_USE): FILE_HELD_BY_RECORDING when it is being recorded (by this program, here or in
// another process), FILE_HELD_BY_OTHER_PROGRAM when another program has locked it.
int FileInUse(const char* path);
enum { FILE_HELD_BY_RECORDING = 1, FILE_HELD_BY_OTHER_PROGRAM = 2 };
// Closes a handle opened for writing and removes its file, as long as its path still names that
// file: a file whose beginning could not be written whole is not left behind. Returns as
// CloseFile does.
int DiscardFile(int handle);
// 1 when the file a handle writes has no name left on disk (deleted, or moved to another disk):
// its content would go when it is closed. 0 while it has a name (also after a rename); -1 for a
// handle that is not open.
int FileUnlinked(int handle);
// Gives a file that lost its name a new one: its whole content so far is copied into a new file
// at `path`, never over a file that is there, and the handle goes on writing into it. Returns 0,
// or -1 with the reason in fileErrorText().
int RecreateFile(int handle, const char* path);
// Opens `path` for writing a complete new version of it: the text goes to a temporary file beside
// it, and CloseFile syncs it and renames it over the old file, but only when every write
// succeeded. Otherwise the old file stays as it was. A symbolic link is followed: its target is
// replaced and the link stays. A file that may not be written (no write permission, also for
// root) is refused. When its directory cannot take the temporary file, an existing file is
// rewritten in place instead.
int OpenFileForReplace(const char* path, int type);
// Closes a handle; returns 0, or a negative value on failure (a replace that could not be made).
int CloseFile(int handle);
// Reads one line without its line end into `buf`, at most `maxChars` characters (the rest of a
// longer line is discarded), and terminates it. Returns the number of characters stored, -2 at
// the end of the file, -1 on an error.
int ReadLine(int handle, char* buf, int maxChars);
// Skips `count` lines, as `count` calls of ReadLine would, without storing them. Returns the
// number of lines skipped (fewer at the end of the file), -1 on an error.
int SkipLines(int handle, int count);
// Reads up to `count` bytes as they are on disk (line ends untouched), continuing where the
// lines read so far end. Returns the number of bytes read (fewer at the end of the file), -1 on
// an error.
long ReadFile(int handle, char* buf, long count);
// Moves the reading position of a file opened for reading to byte `offset` from its start.
// Returns 0, or -1 on an error.
int SetFilePtr(int handle, long offset);
// Removes a file; returns 0, or -1 when it could not be removed (fileErrorText() says why; a file
// that is not there is no failure).
int DeleteFile(const char* path);
// Size of a file in bytes; returns 1 when the file exists, 0 when not (size 0).
int GetFileInfo(const char* path, long* size);
// The system's reason for the last failed open, write or close.
const char* fileErrorText();

namespace rt {
int formatToFile(int handle, const char* format, std::initializer_list<FmtArg> args);
int scanFromFile(int handle, const char* format, std::initializer_list<ScanArg> args);
}  // namespace rt

// FmtFile: formats and writes the text in one write. Returns the number of bytes written (after
// the text-mode conversion), or a negative value when the write failed or was short.
template <class... A>
int FmtFile(int handle, const char* format, A... args) {
    return rt::formatToFile(handle, format, {FmtArg(args)...});
}

// ScanFile: scans the rest of the file (at most 64 KiB of it). Returns the number of values
// read, negative when the handle is not open.
template <class... A>
int ScanFile(int handle, const char* format, A&&... targets) {
    return rt::scanFromFile(handle, format, {scanTarget(targets)...});
}

namespace rt {
// The program's directory: where the executable lives, unless a front end set another.
std::string projectDir();
// The user's home directory (Windows-1252); "" when it is unknown or has a name Windows-1252
// cannot hold.
std::string homeDir();
void setProjectDir(const std::string& dir);
// `dir` and `name` joined with the platform's separator.
std::string joinPath(const std::string& dir, const std::string& name);
}  // namespace rt

// The program's directory into `dir`. Returns 0, or -1 when it does not fit or has a name
// Windows-1252 cannot hold: `dir` is then empty, never a shortened path.
int GetProjectDirInto(char* dir, std::size_t capacity);
template <std::size_t N>
int GetProjectDir(char (&dir)[N]) {
    return GetProjectDirInto(dir, N);
}

// `dir` and `name` joined into `path`. Returns 0, or -1 when the whole path does not fit: `path`
// is then empty, never a shortened path.
int MakePathnameInto(const char* dir, const char* name, char* path, std::size_t capacity);
template <std::size_t N>
int MakePathname(const char* dir, const char* name, char (&path)[N]) {
    return MakePathnameInto(dir, name, path, N);
}
