#pragma once

// A loopback peer for tests that need to see exactly what the monitor sends and to answer by
// hand: accepts one connection, collects the action packets it receives.
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class TFakeServer : public QObject {
public:
    TFakeServer() {
        QVERIFY2(m_server.listen(QHostAddress::LocalHost, 0), "listen");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_peer = m_server.nextPendingConnection();
            connect(m_peer, &QTcpSocket::readyRead, this, [this] {
                m_buffer += m_peer->readAll();
                for (qsizetype p; (p = m_buffer.indexOf("\r\n\r\n")) >= 0;) {
                    actions << QString::fromUtf8(m_buffer.left(p + 4));
                    m_buffer.remove(0, p + 4);
                }
            });
        });
    }
    quint16 Port() const { return m_server.serverPort(); }
    bool HasPeer() const { return m_peer && m_peer->state() == QAbstractSocket::ConnectedState; }
    void Send(const QByteArray& bytes) {
        m_peer->write(bytes);
        m_peer->flush();
    }
    // A packet from "Key: Value" lines.
    void SendPacket(const QStringList& lines) { Send((lines.join("\r\n") + "\r\n\r\n").toUtf8()); }
    void Drop() { m_peer->disconnectFromHost(); }
    // The value of `key` in the last action whose ActionId is `id` (or empty).
    QStringList ActionIds() const {
        QStringList ids;
        for (const QString& a : actions) {
            for (const QString& line : a.split("\r\n"))
                if (line.startsWith("ActionId: ")) ids << line.mid(10);
        }
        return ids;
    }

    QStringList actions;

private:
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
    QByteArray m_buffer;
};
