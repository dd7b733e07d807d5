#include "TSimPacket.h"

#include <QStringDecoder>

TSimPacket TSimPacket::response(const QString& result, const QString& actionId) {
    TSimPacket p;
    p.add(QStringLiteral("Response"), result);
    if (!actionId.isEmpty()) p.add(QStringLiteral("ActionID"), actionId);
    return p;
}

TSimPacket TSimPacket::event(const QString& name) {
    TSimPacket p;
    p.add(QStringLiteral("Event"), name);
    return p;
}

TSimPacket& TSimPacket::add(const QString& key, const QString& value) {
    m_lines.append({key, value});
    return *this;
}

TSimPacket& TSimPacket::addText(const QString& key, const QString& value) {
    m_textLines.append(m_lines.size());
    return add(key, value);
}

TSimPacket& TSimPacket::add(const QString& key, qint64 value) {
    return add(key, QString::number(value));
}

QString TSimPacket::value(const QString& key) const {
    for (const Line& line : m_lines) {
        if (line.first.compare(key, Qt::CaseInsensitive) == 0) return line.second.trimmed();
    }
    return {};
}

bool TSimPacket::has(const QString& key) const {
    for (const Line& line : m_lines) {
        if (line.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

QString TSimPacket::singleLine(QString text) {
    for (QChar& c : text) {
        if (c == u'\r' || c == u'\n' || c == QChar(0)) c = u' ';
    }
    return text;
}

QByteArray TSimPacket::toWire() const {
    QByteArray out;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        out += singleLine(line.first).toUtf8();
        out += ": ";
        if (m_textLines.contains(i)) {
            QString v = line.second;
            for (QChar& c : v) {
                if (c == u'\r' || c == QChar(0)) c = u' ';
            }
            out += v.toUtf8();
        } else {
            out += singleLine(line.second).toUtf8();
        }
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

QString TSimPacket::decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) return QString::fromLatin1(bytes);
    return text;
}

TSimPacket TSimPacket::parse(const QByteArray& raw) {
    TSimPacket p;
    qsizetype start = 0;
    while (start < raw.size()) {
        qsizetype end = raw.indexOf('\n', start);
        if (end < 0) end = raw.size();
        QByteArray line = raw.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) continue;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) {
            p.m_lines.append({QString(), decode(line)});
            continue;
        }
        p.m_lines.append(
            {decode(line.left(colon)).trimmed(), decode(line.mid(colon + 1)).trimmed()});
    }
    return p;
}
