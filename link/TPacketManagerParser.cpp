#include "link/TPacketManagerParser.h"

namespace {

inline char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Removes blanks and control characters (everything up to and including the space) at both ends.
QStringView TrimValue(QStringView v) {
    qsizetype begin = 0, end = v.size();
    while (begin < end && v[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && v[end - 1].unicode() <= 0x20)
        --end;
    return v.sliced(begin, end - begin);
}

// True when `line` begins with `prefix` (ASCII case-insensitive).
bool StartsWithNoCase(QStringView line, QStringView prefix) {
    if (line.size() < prefix.size()) return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (AsciiLower(line[i].unicode()) != AsciiLower(prefix[i].unicode())) return false;
    return true;
}

// True when `line` starts with `key` (ASCII case-insensitive) directly followed by a colon, so a
// key never matches a longer key ("Channel" against "Channel1:") or "Key :".
bool KeyMatches(QStringView line, QStringView key) {
    return line.size() > key.size() && line[key.size()] == u':' && StartsWithNoCase(line, key);
}

} // namespace

TPacketManagerParser::TPacketManagerParser(const QString& packet) : m_text(packet) {
    // A plain scan for CR LF: every packet is split, so this is the hottest loop of the link.
    const char16_t* const begin = reinterpret_cast<const char16_t*>(m_text.constData());
    const qsizetype n = m_text.size();
    Lines.reserve(16);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (begin[i] != u'\r' || begin[i + 1] != u'\n') continue;
        Lines.emplace_back(begin + lineStart, i - lineStart);
        lineStart = i + 2;
        ++i;
    }
}

const QStringView* TPacketManagerParser::FindLine(QStringView key) const {
    for (const QStringView& line : Lines)
        if (KeyMatches(line, key)) return &line;
    return nullptr;
}

QStringView TPacketManagerParser::GetValueView(QStringView key) const {
    const QStringView* line = FindLine(key);
    if (!line) return {};
    return TrimValue(line->sliced(key.size() + 1));
}

QString TPacketManagerParser::GetValue(QStringView key) const {
    return GetValueView(key).toString();
}

bool TPacketManagerParser::HasKey(QStringView key) const {
    return FindLine(key) != nullptr;
}

QString TPacketManagerParser::GetPacketType() const {
    if (Lines.empty()) return {};
    if (StartsWithNoCase(Lines[0], u"event:")) return QStringLiteral("Event");
    if (StartsWithNoCase(Lines[0], u"response:")) return QStringLiteral("Response");
    if (Lines.size() >= 2 && StartsWithNoCase(Lines[1], u"response:"))
        return QStringLiteral("Response");
    return {};
}
