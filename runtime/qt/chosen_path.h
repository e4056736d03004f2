#pragma once
// The path a file dialog hands to the program: Windows-1252, whole, without control characters.

#include <QString>
#include <cstddef>
#include <string>

namespace rt::qt {

// `file` (as the dialog names it) in the program's encoding into `path`; otherwise the sentence
// that tells the operator why it cannot be used: a character Windows-1252 has no byte for, a
// control character, or a path longer than `capacity` - 1 bytes.
QString chosenPathRefusal(const QString& file, std::size_t capacity, std::string& path);

}  // namespace rt::qt
