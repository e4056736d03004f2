#pragma once
// Files as the tests look at them: their bytes exactly as stored, and their CR LF lines.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tevran_test {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The lines of `bytes`, each without its CR LF. Bytes after the last CR LF come as a last line;
// `wholeLines`, when given, tells whether there were none (every line ended).
inline std::vector<std::string> crlfLines(const std::string& bytes, bool* wholeLines = nullptr) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (wholeLines) *wholeLines = start == bytes.size();
    if (start != bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

}  // namespace tevran_test
