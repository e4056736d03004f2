#include "runtime/qt/text_encoding.h"

namespace rt::qt {
namespace {

// Unicode code points of the bytes 0x80-0x9F. Zero marks the five bytes Windows-1252 leaves
// undefined.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

char16_t decodeByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) {
        char16_t u = kHighTable[b - 0x80];
        return u != 0 ? u : char16_t(0xFFFD);
    }
    return char16_t(b);
}

// The byte for one UTF-16 code unit outside a surrogate pair, or '?'.
char encodeUnit(char16_t u) {
    if (u == 0) return '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
    if (u >= 0x80 && u <= 0x9F) return '?';  // C1 controls have no byte in Windows-1252
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == u) return char(0x80 + i);
    }
    return '?';
}

}  // namespace

QString fromCp1252(std::string_view text) {
    QString out;
    out.resize(qsizetype(text.size()));
    QChar* dest = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        dest[i] = QChar(decodeByte(static_cast<unsigned char>(text[i])));
    }
    return out;
}

std::string toCp1252(const QString& text) {
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character outside the Basic Multilingual Plane: one '?'
            out.push_back('?');
        } else if (c.isSurrogate()) {
            out.push_back('?');
        } else {
            out.push_back(encodeUnit(c.unicode()));
        }
    }
    return out;
}

}  // namespace rt::qt
