// The simulator's chat on its own: a seed repeats its happenings, and its actions refuse what a
// client may not do.
#include "sim/TPbxServer.h"
#include "sim/TSimChat.h"
#include "sim/TSimDatabase.h"
#include "sim/TSimOptions.h"

#include <QSignalSpy>
#include <QSqlRecord>
#include <QTest>

namespace {
std::unique_ptr<TPbxServer> Servidor(quint32 seed) {
    auto s = std::make_unique<TPbxServer>();
    TSimOptions o;
    o.port = 0;
    o.chatPort = 0;
    o.seed = seed;
    o.clock = [] { return qint64(1790000000); };
    if (!s->start(o)) return nullptr;
    return s;
}

TSimPacket Acao(const QStringList& linhas) {
    TSimPacket p;
    for (const QString& l : linhas)
        p.add(l.section(u':', 0, 0), l.section(u':', 1).trimmed());
    return p;
}
} // namespace

class TestSimChat : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void repetivel_data() {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("1") << 1u;
        QTest::newRow("99") << 99u;
    }
    void repetivel() {
        QFETCH(quint32, seed);
        auto a = Servidor(seed);
        auto b = Servidor(seed);
        auto c = Servidor(seed + 1);
        QVERIFY(a && b && c);
        for (int i = 0; i < 200; ++i) {
            a->chat()->step();
            b->chat()->step();
            c->chat()->step();
        }
        QCOMPARE(a->chat()->dump(10000), b->chat()->dump(10000));
        QVERIFY(a->chat()->dump(10000) != c->chat()->dump(10000));
        QVERIFY(a->describeState().contains(u"Chat: "));
        QVERIFY(a->chat()->channels().size() <= size_t(TSimChat::MaxChannels));
    }

    void acoes_data() {
        QTest::addColumn<QString>("acao");
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<int>("eventos");
        QTest::newRow("send") << "send"
                              << QStringList{"From: demo", "To: ana.souza", "LocalId: 0",
                                             "Message: oi"}
                              << "Success" << 2;
        QTest::newRow("send as someone else")
            << "send" << QStringList{"From: ana.souza", "To: demo", "Message: oi"} << "Error" << 0;
        QTest::newRow("send without To")
            << "send" << QStringList{"From: demo", "Message: oi"} << "Error" << 0;
        QTest::newRow("send too long")
            << "send"
            << QStringList{"From: demo", "To: ana.souza",
                           "Message: " + QString(TSimChat::MaxBody + 1, u'x')}
            << "Error" << 0;
        QTest::newRow("read mine") << "read" << QStringList{"Id: 1", "To: demo"} << "Success" << 1;
        QTest::newRow("read already read")
            << "read" << QStringList{"Id: 3", "To: demo"} << "Success" << 0;
        QTest::newRow("read for someone else")
            << "read" << QStringList{"Id: 7", "To: restrito"} << "Error" << 0;
        QTest::newRow("read unknown") << "read" << QStringList{"Id: x", "To: demo"} << "Error" << 0;
    }
    void acoes() {
        QFETCH(QString, acao);
        QFETCH(QStringList, linhas);
        QFETCH(QString, resposta);
        QFETCH(int, eventos);
        auto s = Servidor(1);
        QVERIFY(s);
        QSignalSpy spy(s->chat(), &TSimChat::event);
        const TSimPacket p = Acao(linhas);
        const QList<TSimPacket> r =
            acao == u"send" ? s->chat()->sendMessage(p, "demo") : s->chat()->messageRead(p, "demo");
        QCOMPARE(r.first().value("Response"), resposta);
        QCOMPARE(spy.size(), eventos);
    }

    // A body's line breaks go out as lone LFs inside one value; nothing else ends a line.
    void corpoNoFio() {
        TSimPacket p = TSimPacket::event("UserEvent");
        p.addText("Message", "a\nb\r\nc").add("Name", "x\ny");
        QCOMPARE(p.toWire(),
                 QByteArray("Event: UserEvent\r\nMessage: a\nb \nc\r\nName: x y\r\n\r\n"));
    }

    // Clients of older servers count unread messages with a query on the chat tables: the
    // tables follow the live messages and their reading.
    void tabelasSeguemAsMensagens() {
        auto s = Servidor(4);
        QVERIFY(s);
        auto naoLidas = [&] {
            std::map<QString, int> porRemetente;
            for (const QSqlRecord& r : s->database()->rows(
                     "SELECT D.De, count(*) FROM ChatMensagemDe D, ChatMensagemPara P WHERE "
                     "D.idChatMensagemDe = P.idChatMensagemDe AND P.Para = 'demo' AND "
                     "P.DataLeitura IS NULL GROUP BY D.De"))
                porRemetente[r.value(0).toString()] = r.value(1).toInt();
            return porRemetente;
        };
        auto esperado = [&] {
            std::map<QString, int> porRemetente;
            for (const auto& [id, m] : s->chat()->messages())
                if (m.to.contains("demo") && m.readAt.value("demo") == 0) ++porRemetente[m.from];
            return porRemetente;
        };
        QCOMPARE(naoLidas(), esperado());
        for (int i = 0; i < 150; ++i)
            s->chat()->step();
        QVERIFY(!naoLidas().empty());
        QCOMPARE(naoLidas(), esperado());
        const QList<TSimPacket> r = s->chat()->messageRead(Acao({"Id: 1", "To: demo"}), "demo");
        QCOMPARE(r.first().value("Response"), QStringLiteral("Success"));
        QCOMPARE(naoLidas(), esperado());
        QCOMPARE(s->database()
                     ->rows("SELECT count(*) FROM ChatMensagemDe")
                     .first()
                     .value(0)
                     .toLongLong(),
                 qint64(s->chat()->messages().size()));
    }

    void historico() {
        auto s = Servidor(1);
        QVERIFY(s);
        const QList<TSimPacket> r = s->chat()->lastMessages(
            Acao({"ActionID: LastMessagesChat", "FromTo: ana.souza", "Days: 7"}), "demo");
        QStringList ids;
        for (const TSimPacket& p : r)
            if (p.value("VChatEvent") == u"Message") ids << p.value("Id");
        QCOMPARE(ids, (QStringList{"3", "4", "5", "8"}));
        QCOMPARE(r.last().value("VChatEvent"), QStringLiteral("MessageComplete"));
        const QList<TSimPacket> naoLidas =
            s->chat()->lastMessages(Acao({"FromTo: ana.souza,marcos.lima", "NotRead: 1"}), "demo");
        ids.clear();
        for (const TSimPacket& p : naoLidas)
            if (p.value("VChatEvent") == u"Message") ids << p.value("Id");
        QCOMPARE(ids, (QStringList{"1", "2", "4", "8"}));
    }
};

QTEST_GUILESS_MAIN(TestSimChat)
#include "test_sim_chat.moc"
