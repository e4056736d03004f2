// Windows-1252 <-> UTF-8. Bytes 0x80..0x9F carry typographic characters; the rest is Latin-1.
#include "runtime/core/encoding.h"

#include <cstdint>

namespace rt {

namespace {
// Code points of the bytes 0x80..0x9F; 0 where the byte is unassigned.
constexpr char32_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes the character at utf8[i]: its code point and length, or false for a malformed sequence.
bool decodeUtf8(const std::string& utf8, std::size_t i, char32_t& cp, int& length) {
    auto b = static_cast<std::uint8_t>(utf8[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= utf8.size()) return false;
    cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<std::uint8_t>(utf8[i + k]);
        if ((c & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    length = extra + 1;
    return true;
}

// The Windows-1252 byte of a code point; false when there is none.
bool byteOf(char32_t cp, char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

// UTF-8 into Windows-1252, one character at a time. A byte sequence that is not UTF-8 takes one
// byte, a character that has no Windows-1252 byte takes its sequence; either becomes a '?' when
// `lossy`, or ends the conversion with false.
bool convertUtf8(const std::string& utf8, std::string& out, bool lossy) {
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp;
        int length;
        char byte;
        if (!decodeUtf8(utf8, i, cp, length)) {
            if (!lossy) return false;
            out += '?';
            ++i;
            continue;
        }
        if (!byteOf(cp, byte)) {
            if (!lossy) return false;
            byte = '?';
        }
        out += byte;
        i += static_cast<std::size_t>(length);
    }
    return true;
}
}  // namespace

std::string utf8ToWindows1252(const std::string& utf8) {
    std::string out;
    convertUtf8(utf8, out, true);
    return out;
}

bool utf8ToWindows1252Exact(const std::string& utf8, std::string& out) {
    return convertUtf8(utf8, out, false);
}

std::string windows1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text) {
        auto b = static_cast<std::uint8_t>(ch);
        if (b >= 0x80 && b <= 0x9F)
            appendUtf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD);
        else
            appendUtf8(out, b);
    }
    return out;
}

}  // namespace rt
