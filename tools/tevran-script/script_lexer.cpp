#include "script_lexer.h"

#include <cctype>

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

bool splitWords(const std::string& line, std::vector<Word>& words, std::string& error) {
    words.clear();
    std::size_t i = 0, n = line.size();
    while (i < n) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n') {
            ++i;
            continue;
        }
        Word w;
        if (line[i] != '"') {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') w.text += line[i++];
            words.push_back(w);
            continue;
        }
        w.quoted = true;
        ++i;
        bool closed = false;
        while (i < n) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                w.text += c;
                continue;
            }
            if (i >= n) break;
            char e = line[i++];
            switch (e) {
                case 't': w.text += '\t'; break;
                case 'r': w.text += '\r'; break;
                case 'n': w.text += '\n'; break;
                case '\\': w.text += '\\'; break;
                case '"': w.text += '"'; break;
                case 'x': {
                    int hi = i < n ? hexDigit(line[i]) : -1;
                    int lo = i + 1 < n ? hexDigit(line[i + 1]) : -1;
                    if (hi < 0 || lo < 0) {
                        error = "\\x needs two hex digits";
                        return false;
                    }
                    w.text += static_cast<char>(hi * 16 + lo);
                    i += 2;
                    break;
                }
                default: error = std::string("unknown escape \\") + e; return false;
            }
        }
        if (!closed) {
            error = "unclosed quote";
            return false;
        }
        words.push_back(w);
    }
    return true;
}
