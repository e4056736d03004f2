#include "escapes.h"

namespace tevran::sim {

namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string decode_escapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (i + 1 >= text.size())
            throw EscapeError("backslash at end of text");
        const char kind = text[++i];
        switch (kind) {
        case 'r': out.push_back('\r'); break;
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case '\\': out.push_back('\\'); break;
        case 'x': {
            const int hi = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
            const int lo = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
            if (hi < 0 || lo < 0)
                throw EscapeError("\\x needs two hex digits");
            out.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
            break;
        }
        default:
            throw EscapeError(std::string("unknown escape \\") + kind);
        }
    }
    return out;
}

} // namespace tevran::sim
