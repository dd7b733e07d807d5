#include "link/TPacketManagerParser.h"

namespace {

inline char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// Removes blanks and control characters (everything up to and including the space) at both ends.
QStringView TrimValue(QStringView v) {
    qsizetype begin = 0, end = v.size();
    while (begin < end && v[begin].unicode() <= 0x20) ++begin;
    while (end > begin && v[end - 1].unicode() <= 0x20) --end;
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
    QStringView rest(m_text);
    Lines.reserve(16);
    for (;;) {
        const qsizetype p = rest.indexOf(u"\r\n");
        if (p < 0) break;
        Lines.push_back(rest.first(p));
        rest = rest.sliced(p + 2);
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

bool TPacketManagerParser::HasKey(QStringView key) const { return FindLine(key) != nullptr; }

QString TPacketManagerParser::GetPacketType() const {
    if (Lines.empty()) return {};
    if (StartsWithNoCase(Lines[0], u"event:")) return QStringLiteral("Event");
    if (StartsWithNoCase(Lines[0], u"response:")) return QStringLiteral("Response");
    if (Lines.size() >= 2 && StartsWithNoCase(Lines[1], u"response:")) return QStringLiteral("Response");
    return {};
}
