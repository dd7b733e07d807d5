#pragma once
// A manager client of its own for the simulator's tests: cuts packets at the empty line after
// the one-line greeting and splits lines at the first colon. No code of the monitor.

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpSocket>
#include <QTest>

#include <functional>

struct TSimTestPacket {
    QByteArray raw;
    QList<QPair<QString, QString>> lines;

    QString value(const QString& key) const {
        for (const auto& line : lines) {
            if (line.first.compare(key, Qt::CaseInsensitive) == 0) return line.second;
        }
        return {};
    }
    bool has(const QString& key) const {
        for (const auto& line : lines) {
            if (line.first.compare(key, Qt::CaseInsensitive) == 0) return true;
        }
        return false;
    }
    QString event() const {
        return !lines.isEmpty() && lines.first().first == u"Event" ? lines.first().second
                                                                   : QString();
    }
    bool isEvent(const QString& name) const {
        return event().compare(name, Qt::CaseInsensitive) == 0;
    }
    QString response() const {
        return !lines.isEmpty() && lines.first().first == u"Response" ? lines.first().second
                                                                      : QString();
    }

    static TSimTestPacket parse(const QByteArray& raw) {
        TSimTestPacket p;
        p.raw = raw;
        for (QByteArray l : raw.split('\n')) {
            if (l.endsWith('\r')) l.chop(1);
            if (l.isEmpty()) continue;
            const qsizetype colon = l.indexOf(':');
            if (colon < 0)
                p.lines.append({QString(), QString::fromUtf8(l)});
            else
                p.lines.append({QString::fromUtf8(l.left(colon)),
                                QString::fromUtf8(l.mid(colon + 1)).trimmed()});
        }
        return p;
    }
};

class TSimTestClient {
public:
    // `greeting`: the server starts with its one-line greeting (kept in `greeting`).
    explicit TSimTestClient(quint16 port, bool greeting = true) : m_greetingPending(greeting) {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { disconnected = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    // Sends an action written with "\n" between lines.
    void action(const QString& text) {
        QByteArray bytes = text.toUtf8();
        bytes.replace("\n", "\r\n");
        socket.write(bytes + "\r\n\r\n");
    }

    // Sends `text` and waits for the packet `done` recognises; gives the packets from the first
    // one received after the send up to that one (empty on timeout).
    QList<TSimTestPacket> ask(const QString& text,
                              const std::function<bool(const TSimTestPacket&)>& done,
                              int timeout = 10000) {
        const qsizetype start = packets.size();
        action(text);
        qsizetype end = -1;
        (void)QTest::qWaitFor(
            [&] {
                for (qsizetype i = start; i < packets.size() && end < 0; ++i) {
                    if (done(packets.at(i))) end = i;
                }
                return end >= 0;
            },
            timeout);
        return end < 0 ? QList<TSimTestPacket>() : packets.mid(start, end - start + 1);
    }

    bool waitPackets(qsizetype n, int timeout = 10000) {
        return QTest::qWaitFor([&] { return packets.size() >= n; }, timeout);
    }

    bool login() {
        const QList<TSimTestPacket> answer =
            ask(QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvre\n"
                               "VesmaraUser: demo\nActionId: login"),
                [](const TSimTestPacket& p) { return p.isEvent(QStringLiteral("Titulo")); });
        return !answer.isEmpty() && answer.first().response() == u"Success";
    }

    // Packets received so far whose event is `name`.
    QList<TSimTestPacket> events(const QString& name) const {
        QList<TSimTestPacket> out;
        for (const TSimTestPacket& p : packets) {
            if (p.isEvent(name)) out.append(p);
        }
        return out;
    }

    QTcpSocket socket;
    QByteArray greeting;
    QByteArray received; // every byte, greeting included
    QByteArray pending;  // bytes of a packet not yet complete
    QList<TSimTestPacket> packets;
    int reads = 0;
    bool disconnected = false;

private:
    void read() {
        ++reads;
        const QByteArray bytes = socket.readAll();
        received += bytes;
        pending += bytes;
        if (m_greetingPending) {
            const qsizetype end = pending.indexOf("\r\n");
            if (end < 0) return;
            greeting = pending.left(end);
            pending.remove(0, end + 2);
            m_greetingPending = false;
        }
        qsizetype end;
        while ((end = pending.indexOf("\r\n\r\n")) >= 0) {
            packets.append(TSimTestPacket::parse(pending.left(end + 4)));
            pending.remove(0, end + 4);
        }
    }

    bool m_greetingPending;
};

inline std::function<bool(const TSimTestPacket&)> simEventIs(const QString& name) {
    return [name](const TSimTestPacket& p) { return p.isEvent(name); };
}

inline std::function<bool(const TSimTestPacket&)> simAnyResponse() {
    return [](const TSimTestPacket& p) { return !p.response().isEmpty(); };
}
