#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// One received packet split into its "Key: Value" lines. Lives for the handling of one packet.
// Keys are matched without regard to ASCII case and the first occurrence wins; values come back
// with surrounding blanks and control characters removed.
class TPacketManagerParser {
public:
    explicit TPacketManagerParser(const QString& packet);

    // Views into the parser's own copy of the packet, in arrival order. The closing empty line of
    // a packet is the last entry; text after the last CR LF is dropped.
    std::vector<QStringView> Lines;

    QString GetValue(QStringView key) const;
    QStringView GetValueView(QStringView key) const;
    bool HasKey(QStringView key) const;
    // The value as a QString over the parser's own text, without a copy: only for a lookup
    // made while the parser lives (a hash find). Never store it: it dies with the parser.
    QString ValorParaBusca(QStringView key) const {
        const QStringView v = GetValueView(key);
        return QString::fromRawData(reinterpret_cast<const QChar*>(v.data()), v.size());
    }
    // "Event", "Response" or empty for anything else (including the greeting line glued in
    // front of the first response).
    QString GetPacketType() const;
    QString GetEvent() const { return GetValue(u"Event"); }

    const QString& Text() const { return m_text; }

private:
    // The line whose key is `key`, or a null view.
    const QStringView* FindLine(QStringView key) const;

    QString m_text;
};
