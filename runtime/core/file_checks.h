#pragma once
// What the file operations check before they touch a file: that it is a regular file (opened
// without ever blocking), that no other writer holds it, where a replace really goes (through
// symbolic links) and whether the program may write it. Paths here are the system's (UTF-8).

#include <string>

namespace rt::files {

// Opens `path` with `flags` (O_CREAT allowed, O_TRUNC not: emptying is the caller's, after the
// lock) when it is, or becomes, a regular file after following links. A FIFO, a socket or a
// directory is refused at once, and so is a device unless `allowDevices` (a file written may be
// /dev/null); the open never waits (a FIFO without a writer would). Returns the descriptor, or
// -1 with the reason set for fileErrorText().
int openRegular(const std::string& path, int flags, bool allowDevices);

// Takes the advisory lock of a writer on the whole file, without waiting. False when another
// open of it (in this process or another) holds the lock: the reason is then set.
bool lockForWriting(int fd);

// Who holds the writer's lock of the file at `path`: nobody, a recording (of this program, in
// this process or another), or another program (e.g. the flock tool).
enum class Writer { None, Recording, OtherProgram };
Writer writerOf(const std::string& path);

// The file a replace of `path` must write: `path` itself, or the file its symbolic links lead
// to (a link that leads nowhere gives the path it names), so the link stays a link.
std::string replaceTarget(const std::string& path);

// False, with the reason set, when the existing file at `path` may not be written: the system
// refuses it, or it carries no write permission at all (a file made read-only stays so, also
// for a program run as root). A missing file may be written.
bool mayWrite(const std::string& path);

}  // namespace rt::files
