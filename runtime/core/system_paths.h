#pragma once
// Paths at the edge between the program and the system. Inside the program a path is
// Windows-1252 text, as the data file's header shows it; the system names files in UTF-8. Every
// call that hands a path to the system converts it here, so the file on disk carries exactly the
// name the operator chose.

#include <cstddef>
#include <string>

namespace rt {

// A program path as the system names it.
std::string systemPath(const char* path);

// A path the system gave (the program's directory, a dialog's choice) in the program's encoding.
// False when Windows-1252 cannot hold it: such a name is refused, never turned into '?'.
bool programPath(const std::string& system, std::string& out);

// Why the program cannot keep `path` (Windows-1252) in a buffer of `capacity` bytes, as a
// sentence for the operator; "" when it can. A control character is refused too: a line feed
// in the name would split the data file's header line that shows it.
std::string pathRefusal(const std::string& path, std::size_t capacity);

}  // namespace rt
