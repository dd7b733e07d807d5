// Framing of the manager stream and the connection's notifications.
#include "link/SocketErrors.h"
#include "link/TClientManager.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

struct Recorder {
    QStringList packets;
    QStringList log;
    void Attach(TClientManager& c) {
        c.OnPacket = [this](TClientManager*, const QString& p) { packets << p; };
        c.OnLog = [this](const QString& l) { log << l; };
    }
};

// A stream as the server sends it right after connecting: the greeting glued to the login
// response, then events of every shape.
QByteArray RecordedStream() {
    QByteArray s = "Vesmara Call Manager/1.1\r\nResponse: Success\r\nActionID: login\r\n"
                   "Message: Authentication accepted\r\n\r\n";
    s += "Event: FullyBooted\r\nVersion: 1.2.70.0\r\nUsarLoginWindows: 0\r\n\r\n";
    for (int i = 0; i < 60; ++i) {
        s += "Event: Newchannel\r\nChannel: SIP/20" + QByteArray::number(i % 30) + "-0000" +
             QByteArray::number(i) + "\r\nUniqueid: 17000" + QByteArray::number(i) +
             ".1\r\nCallerIDName: Jo\xc3\xa3o da Silva\r\n\r\n";
        if (i % 7 == 0) s += "Event: ZXDBEvent\r\nZXDBActionID: ZXDBListaRamais\r\nNome: \r\n\r\n";
    }
    s += "Response: Follows\r\nActionID: SIPPeers\r\nName/username Host\r\n--END COMMAND--\r\n\r\n";
    return s;
}

QStringList FeedInChunks(const QByteArray& stream, const QList<int>& sizes) {
    TClientManager c;
    Recorder r;
    r.Attach(c);
    qsizetype pos = 0;
    int i = 0;
    while (pos < stream.size()) {
        const int n = sizes.isEmpty() ? 1 : std::max(1, sizes[i++ % sizes.size()]);
        c.FeedBytes(stream.mid(pos, n));
        pos += n;
    }
    return r.packets;
}

} // namespace

class TestLinkFraming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void anyChunkingGivesSamePackets() {
        const QByteArray stream = RecordedStream();
        const QStringList whole = FeedInChunks(stream, {int(stream.size())});
        QCOMPARE(whole.size(), 2 + 60 + 9 + 1);
        QVERIFY(whole.first().startsWith(u"Vesmara Call Manager/1.1\r\nResponse: Success"));
        QVERIFY(whole[2].contains(u"João da Silva"));
        for (const QString& p : whole)
            QVERIFY(p.endsWith(u"\r\n\r\n"));

        QCOMPARE(FeedInChunks(stream, {1}), whole);
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 300; ++round) {
            QList<int> sizes;
            for (int k = 0; k < 50; ++k)
                sizes << int(rng.bounded(1, 200));
            QCOMPARE(FeedInChunks(stream, sizes), whole);
        }
    }

    void terminatorSplitAtEveryPosition() {
        const QByteArray packet = "Event: Hangup\r\nChannel: SIP/2001-01\r\n\r\n";
        for (int cut = 1; cut < packet.size(); ++cut) {
            TClientManager c;
            Recorder r;
            r.Attach(c);
            c.FeedBytes(packet.left(cut));
            QCOMPARE(r.packets.size(), 0);
            c.FeedBytes(packet.mid(cut));
            QCOMPARE(r.packets, QStringList{QString::fromLatin1(packet)});
            QCOMPARE(c.PendingBytes(), 0);
        }
    }

    void twoPacketsInOneReadAndRemainderKept() {
        TClientManager c;
        Recorder r;
        r.Attach(c);
        c.FeedBytes("Event: A\r\n\r\nEvent: B\r\n\r\nEvent: C\r\n\r");
        QCOMPARE(r.packets, (QStringList{"Event: A\r\n\r\n", "Event: B\r\n\r\n"}));
        c.FeedBytes("\n");
        QCOMPARE(r.packets.last(), QStringLiteral("Event: C\r\n\r\n"));
    }

    void oversizedPacketIsDroppedAndStreamResynchronises() {
        TClientManager c;
        Recorder r;
        r.Attach(c);
        c.FeedBytes("Event: Before\r\n\r\n");
        // A value that never ends, fed in 64 KiB pieces, well past the cap.
        const QByteArray piece(64 * 1024, 'x');
        c.FeedBytes("Event: Huge\r\nValue: ");
        for (int i = 0; i < 40; ++i) {
            c.FeedBytes(piece);
            QVERIFY(c.PendingBytes() <= TClientManager::kMaxPacketBytes);
        }
        c.FeedBytes("\r\n\r\nEvent: After\r\n\r\n");
        QCOMPARE(r.packets, (QStringList{"Event: Before\r\n\r\n", "Event: After\r\n\r\n"}));
        QVERIFY(!r.log.isEmpty());

        // A whole packet above the cap arriving in one read is dropped as well.
        r.packets.clear();
        c.FeedBytes(
            QByteArray("Event: Big\r\nV: " + QByteArray(TClientManager::kMaxPacketBytes, 'y') +
                       "\r\n\r\nEvent: Next\r\n\r\n"));
        QCOMPARE(r.packets, QStringList{"Event: Next\r\n\r\n"});
    }

    void valuesDecodeAsUtf8OrWindows1252_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("utf8") << QByteArray("Nome: Concei\xc3\xa7\xc3\xa3o")
                              << QStringLiteral("Nome: Conceição");
        QTest::newRow("cp1252") << QByteArray("Nome: Concei\xe7\xe3o")
                                << QStringLiteral("Nome: Conceição");
        QTest::newRow("cp1252 high")
            << QByteArray("Nome: \x80\x93\x9f") << QStringLiteral("Nome: €“Ÿ");
        QTest::newRow("nul and junk")
            << QByteArray("Nome: a\0b\xff", 10) << QString::fromUtf16(u"Nome: a\0bÿ", 10);
        QTest::newRow("cut utf8") << QByteArray("Nome: \xc3") << QStringLiteral("Nome: Ã");
    }
    void valuesDecodeAsUtf8OrWindows1252() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        TClientManager c;
        Recorder r;
        r.Attach(c);
        c.FeedBytes(QByteArray("Event: X\r\n" + bytes + "\r\n\r\n"));
        QCOMPARE(r.packets.size(), 1);
        QCOMPARE(r.packets[0], u"Event: X\r\n" + expected + u"\r\n\r\n");
    }

    void arbitraryBytesNeverCrash() {
        QRandomGenerator rng(7);
        TClientManager c;
        Recorder r;
        r.Attach(c);
        for (int i = 0; i < 2000; ++i) {
            QByteArray junk(int(rng.bounded(0, 300)), Qt::Uninitialized);
            for (char& ch : junk)
                ch = char(rng.bounded(0, 256));
            if (rng.bounded(4) == 0) junk += "\r\n\r\n";
            c.FeedBytes(junk);
        }
        QVERIFY(c.PendingBytes() <= TClientManager::kMaxPacketBytes);
    }

    void callbackClosingTheConnectionStopsDelivery() {
        TClientManager c;
        QStringList got;
        c.OnPacket = [&](TClientManager* s, const QString& p) {
            got << p;
            s->Disconnect();
        };
        c.FeedBytes("Event: A\r\n\r\nEvent: B\r\n\r\n");
        QCOMPARE(got, QStringList{"Event: A\r\n\r\n"});
    }
};

// Notifications of a real loopback connection.
class TestLinkConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sendBeforeConnectIsSilentlyDropped() {
        TClientManager c;
        c.SendString(QStringLiteral("Action: Ping\r\n\r\n"));
        QVERIFY(!c.Connected);
    }

    void refusedConnectionReportsWsaNumber() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        TClientManager c;
        int code = 0;
        bool disconnected = false;
        c.OnError = [&](TClientManager*, int e) { code = e; };
        c.OnDisconnect = [&](TClientManager*) { disconnected = true; };
        c.Connect(QStringLiteral("127.0.0.1"), port);
        QTRY_COMPARE(code, kWsaConnRefused);
        QVERIFY(!disconnected);
        QCOMPARE(SocketErrorText(code),
                 QStringLiteral("Erro 10061: Conexão encerrada pelo servidor"));
    }

    void connectSendReceiveAndLocalClose() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        TClientManager c;
        Recorder r;
        r.Attach(c);
        int connects = 0, disconnects = 0, errors = 0;
        c.OnConnect = [&](TClientManager* s) {
            ++connects;
            QVERIFY(s->Connected);
        };
        c.OnDisconnect = [&](TClientManager*) { ++disconnects; };
        c.OnError = [&](TClientManager*, int) { ++errors; };
        c.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QVERIFY(server.waitForNewConnection(5000));
        QTcpSocket* peer = server.nextPendingConnection();
        QTRY_COMPARE(connects, 1);

        c.SendString(QStringLiteral("Action: Login\r\n\r\n"));
        QTRY_VERIFY(peer->bytesAvailable() > 0 || peer->waitForReadyRead(10));
        QCOMPARE(peer->readAll(), QByteArray("Action: Login\r\n\r\n"));

        peer->write("Greeting/1.0\r\nResponse: Success\r\n\r\nEvent: Partial\r\n");
        QTRY_COMPARE(r.packets.size(), 1);
        c.Disconnect();
        QCOMPARE(disconnects, 1); // inside the call
        QVERIFY(!c.Connected);

        // The partial packet of the old connection is not glued to the new greeting.
        c.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QVERIFY(server.waitForNewConnection(5000));
        QTcpSocket* peer2 = server.nextPendingConnection();
        QTRY_COMPARE(connects, 2);
        peer2->write("Greeting/1.0\r\nResponse: Success\r\n\r\n");
        QTRY_COMPARE(r.packets.size(), 2);
        QCOMPARE(r.packets[1], QStringLiteral("Greeting/1.0\r\nResponse: Success\r\n\r\n"));

        // A close by the server is a disconnect, not an error.
        peer2->disconnectFromHost();
        QTRY_COMPARE(disconnects, 2);
        QCOMPARE(errors, 0);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestLinkFraming t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestLinkConnection t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "test_link_framing.moc"
