#include "base/TextDecoding.h"

#include <QStringDecoder>

#include <cstring>

namespace {

// 0x80..0x9F of Windows-1252; undefined positions keep their C1 control code.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Eight bytes at a time: nearly all the wire is ASCII.
bool IsAscii(QByteArrayView bytes) {
    const char* p = bytes.data();
    qsizetype n = bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL) return false;
    }
    for (; n > 0; ++p, --n)
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    return true;
}

} // namespace

QChar Windows1252Char(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return QChar(kHighTable[byte - 0x80]);
    return QChar(char16_t(byte));
}

QString DecodeText(QByteArrayView bytes) {
    if (IsAscii(bytes)) return QString::fromLatin1(bytes.data(), bytes.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = Windows1252Char(static_cast<unsigned char>(c));
    return text;
}

QByteArray EncodeText(const QString& text) {
    return text.toUtf8();
}
