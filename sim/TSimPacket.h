#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One manager packet as an ordered list of "Key: Value" lines. Used both for the packets the
// server builds and for the actions it receives. Keys are looked up without regard to ASCII
// case and the first occurrence wins, as on the client side.
class TSimPacket {
public:
    using Line = QPair<QString, QString>;

    TSimPacket() = default;

    // "Response: <result>" followed by "ActionID: <id>" when the id is not empty.
    static TSimPacket response(const QString& result, const QString& actionId);
    static TSimPacket event(const QString& name);

    TSimPacket& add(const QString& key, const QString& value);
    TSimPacket& add(const QString& key, qint64 value);
    // A chat body: its line breaks go out as lone LFs, as the platform's chat server writes
    // them (the client ends lines and packets only at CR LF); CR and NUL still become blanks.
    TSimPacket& addText(const QString& key, const QString& value);

    // Value of the first line with that key (ASCII case ignored), blanks trimmed; empty if none.
    QString value(const QString& key) const;
    bool has(const QString& key) const;
    const QList<Line>& lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.isEmpty(); }

    // The wire form: UTF-8, CR LF after every line, one empty line at the end. CR, LF and NUL
    // inside keys and values become blanks, so no value can end the packet early or add a line.
    QByteArray toWire() const;

    // Splits a received packet (as cut by TSimFramer). Lines end in LF with an optional CR
    // before it; lines without a colon are kept with an empty value so they are never mistaken
    // for keys. Values are UTF-8 when valid, Latin-1 otherwise.
    static TSimPacket parse(const QByteArray& raw);

    // Text of a received value: UTF-8 when valid, otherwise byte for byte as Latin-1.
    static QString decode(const QByteArray& bytes);
    // Replaces CR, LF and NUL by a blank.
    static QString singleLine(QString text);

private:
    QList<Line> m_lines;
    QList<qsizetype> m_textLines; // lines added with addText
};
