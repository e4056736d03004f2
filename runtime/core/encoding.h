#pragma once
// Windows-1252, the single-byte encoding of every text inside the program and in its files.

#include <string>

namespace rt {
// UTF-8 to Windows-1252; characters it has no byte for become '?'.
std::string utf8ToWindows1252(const std::string& utf8);
// UTF-8 to Windows-1252 with nothing replaced: false when `utf8` is malformed or holds a character
// Windows-1252 has no byte for.
bool utf8ToWindows1252Exact(const std::string& utf8, std::string& out);
// Windows-1252 to UTF-8 (the five unassigned bytes become U+FFFD).
std::string windows1252ToUtf8(const std::string& text);
}  // namespace rt
