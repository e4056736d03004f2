#pragma once
// Texts in the model are single-byte Windows-1252; Qt works in UTF-16. These convert at the edge
// between the two: everything the front end shows goes through fromCp1252, everything the
// operator types goes through toCp1252.

#include <QString>
#include <string>
#include <string_view>

namespace rt::qt {

// Bytes 0x80-0x9F follow the Windows-1252 table (the five bytes it leaves undefined show as
// U+FFFD, like everywhere else in the program); all others are Latin-1.
QString fromCp1252(std::string_view text);
// Characters Windows-1252 cannot hold become '?'.
std::string toCp1252(const QString& text);

}  // namespace rt::qt
