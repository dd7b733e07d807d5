// The PBX simulator's building blocks, without the network.
#include "TCommandOutputs.h"
#include "TSimDatabase.h"
#include "TSimFraming.h"
#include "TSimGarbage.h"
#include "TSimPacket.h"
#include "TSimScript.h"
#include "TSimSqlDialect.h"
#include "TSimState.h"

#include <QSet>
#include <QTest>

namespace {

// The state of a scenario given as SQL text.
struct Scenario {
    TSimDatabase database;
    TSimState state;

    bool load(const QString& sql) {
        QString error;
        if (!database.open(sql, &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        state.seed(database, 1700000000);
        return true;
    }
};

QString demoSql() {
    QString error;
    return TSimDatabase::loadScenario(QStringLiteral("demo"), &error);
}

} // namespace

class TestSimUnits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framer_data();
    void framer();
    void framerDropsOverlongPackets();
    void packetWire();
    void dialect_data();
    void dialect();
    void scriptParseErrors_data();
    void scriptParseErrors();
    void scriptExpand_data();
    void scriptExpand();
    void garbageStaysOnePacket();
    void portNumbering_data();
    void portNumbering();
    void sipPeersFollowRegistration();
    void commandAnswerIsOnePacket_data();
    void commandAnswerIsOnePacket();
    void demoScenarioSeedsTheState();
};

void TestSimUnits::framer_data() {
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QByteArrayList>("packets");
    QTest::addColumn<qsizetype>("left");
    QTest::newRow("terminator split")
        << QByteArrayList{"A: 1\r\n\r", "\n"} << QByteArrayList{"A: 1\r\n\r\n"} << qsizetype(0);
    QTest::newRow("incomplete stays")
        << QByteArrayList{"A: 1\r\n\r\nB: 2\r\n"} << QByteArrayList{"A: 1\r\n\r\n"} << qsizetype(6);
    QTest::newRow("bare line feeds") << QByteArrayList{"A: 1\n\nB: 2\n", "\n"}
                                     << QByteArrayList{"A: 1\n\n", "B: 2\n\n"} << qsizetype(0);
    QTest::newRow("lone CR is no line end")
        << QByteArrayList{"A: 1\r\r\nB: 2\r\n\r\n"} << QByteArrayList{"A: 1\r\r\nB: 2\r\n\r\n"}
        << qsizetype(0);
}

void TestSimUnits::framer() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(QByteArrayList, packets);
    QFETCH(qsizetype, left);
    TSimFramer framer;
    QByteArrayList got;
    for (const QByteArray& piece : pieces) {
        framer.feed(piece);
        QByteArray p;
        while (framer.next(&p))
            got.append(p);
    }
    QCOMPARE(got, packets);
    QCOMPARE(framer.buffered(), left);
}

void TestSimUnits::framerDropsOverlongPackets() {
    TSimFramer framer(100);
    QByteArray p;
    // Too long before its end arrives: dropped as it comes, in pieces.
    for (int i = 0; i < 10; ++i) {
        framer.feed(QByteArray(60, 'x'));
        QVERIFY(!framer.next(&p));
        QVERIFY(framer.buffered() <= 100);
    }
    framer.feed("\r\n\r\nA: ok\r\n\r\n");
    QVERIFY(framer.next(&p));
    QCOMPARE(p, QByteArray("A: ok\r\n\r\n"));
    // Too long although whole in one read.
    framer.feed(QByteArray(150, 'y') + "\r\n\r\nB: ok\r\n\r\n");
    QVERIFY(framer.next(&p));
    QCOMPARE(p, QByteArray("B: ok\r\n\r\n"));
    QCOMPARE(framer.droppedPackets(), qsizetype(2));
}

void TestSimUnits::packetWire() {
    TSimPacket p = TSimPacket::response(QStringLiteral("Success"), QStringLiteral("a1"));
    p.add(QStringLiteral("Nome"), QStringLiteral("Almoço\r\nEvent: Hangup"))
        .add(QStringLiteral("Chave\n"), QString(QStringLiteral("a")) + QChar(0) + u'b')
        .add(QStringLiteral("Total"), qint64(12));
    QCOMPARE(
        p.toWire(),
        QByteArray("Response: Success\r\nActionID: a1\r\nNome: Almo\xC3\xA7o  Event: Hangup\r\n"
                   "Chave : a b\r\nTotal: 12\r\n\r\n"));
    QCOMPARE(TSimPacket::response(QStringLiteral("Error"), QString()).toWire(),
             QByteArray("Response: Error\r\n\r\n"));
}

void TestSimUnits::dialect_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("sqlite"); // empty: refused
    QTest::newRow("double quotes are text") << "where user = \"demo\"and pass = \"x\""
                                            << "where user = 'demo'and pass = 'x'";
    QTest::newRow("quote inside") << "where a = \"d'Ávila\""
                                  << "where a = 'd''Ávila'";
    QTest::newRow("backslash escapes") << R"(where a = 'O\'Neil\\' and b = "x\"y")"
                                       << R"(where a = 'O''Neil\' and b = 'x"y')";
    QTest::newRow("semicolon in text") << "where a = 'x;y'"
                                       << "where a = 'x;y'";
    QTest::newRow("trailing semicolon") << "select 1;  "
                                        << "select 1";
    QTest::newRow("second statement") << "select 1; DROP TABLE user"
                                      << "";
    QTest::newRow("unterminated text") << "where a = 'x"
                                       << "";
    QTest::newRow("hash comment") << "select 1 # ; drop"
                                  << "select 1 -- ; drop";
}

void TestSimUnits::dialect() {
    QFETCH(QString, query);
    QFETCH(QString, sqlite);
    QString out;
    QString error;
    const bool ok = TSimSqlDialect::translate(query, &out, &error);
    QCOMPARE(ok, !sqlite.isEmpty());
    if (ok)
        QCOMPARE(out, sqlite);
    else
        QVERIFY(!error.isEmpty());
}

void TestSimUnits::scriptParseErrors_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("error"); // empty: valid
    QTest::newRow("valid")
        << "# c\n\nauto off\nexpect Login\nexpect ZXDBCommand ActionId: X\nsend\nA: 1\n\n.\n"
           "raw a\\r\\n\nwait 10\nstall\nclose\ngreeting off\n"
        << "";
    QTest::newRow("unknown directive") << "auto on\nfoo bar"
                                       << "line 2";
    QTest::newRow("expect key needs a colon") << "expect Login Username"
                                              << "line 1";
    QTest::newRow("send without end") << "send\nAction: x\n"
                                      << "line 1";
    QTest::newRow("negative wait") << "\n\nwait -5"
                                   << "line 3";
}

void TestSimUnits::scriptParseErrors() {
    QFETCH(QString, script);
    QFETCH(QString, error);
    TSimScript s;
    QString message;
    const bool ok = s.parse(script, &message);
    QCOMPARE(ok, error.isEmpty());
    if (ok) {
        QCOMPARE(s.steps().size(), 8);
        QCOMPARE(s.steps().at(3).lines, QStringList({QStringLiteral("A: 1"), QString()}));
        QVERIFY(!s.greetingEnabled());
    } else {
        QVERIFY2(message.contains(error), qPrintable(message));
    }
}

void TestSimUnits::scriptExpand_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("hex") << "A\\x42\\xc3\\xa7" << false << QByteArray("AB\xC3\xA7");
    QTest::newRow("action id") << "ActionID: ${ActionId}" << false << QByteArray("ActionID: L1");
    QTest::newRow("any key, any case") << "${user}/${Nada}" << false << QByteArray("demo/");
    QTest::newRow("line breaks only in raw") << "a\\r\\n" << false << QByteArray("a\\r\\n");
    QTest::newRow("raw line breaks") << "a\\r\\n\\t\\0" << true << QByteArray("a\r\n\t\0", 5);
    QTest::newRow("incomplete hex") << "\\x4" << true << QByteArray("\\x4");
    QTest::newRow("escaped dollar") << "\\x24{ActionId}" << false << QByteArray("${ActionId}");
}

void TestSimUnits::scriptExpand() {
    QFETCH(QString, text);
    QFETCH(bool, raw);
    QFETCH(QByteArray, bytes);
    const TSimPacket action =
        TSimPacket::parse("Action: Login\r\nActionID: L1\r\nUser: demo\r\n\r\n");
    QCOMPARE(TSimScript::expand(text, action, raw), bytes);
}

void TestSimUnits::garbageStaysOnePacket() {
    TSimGarbage a(42);
    TSimGarbage b(42);
    QSet<QByteArray> kinds;
    for (int i = 0; i < 60; ++i) {
        const QByteArray junk = a.next();
        QCOMPARE(junk, b.next());
        QVERIFY(junk.endsWith("\r\n\r\n"));
        QCOMPARE(junk.indexOf("\r\n\r\n"), junk.size() - 4); // never two packets
        kinds.insert(junk.left(10));
    }
    QVERIFY(kinds.size() >= 4);
}

void TestSimUnits::portNumbering_data() {
    QTest::addColumn<QString>("ports");
    QTest::addColumn<QStringList>("devices"); // first and last line device of each port
    QTest::newRow("Khomp E1 then two analogue ports on the board")
        << "(1, 4, 0, 'k', 't', 'd'), (2, 4, 1, 'k', 't', 'a'), (3, 4, 2, 'k', 'r', NULL)"
        << QStringList{"Khomp/B0C0",  "Khomp/B0C29", "Khomp/B0C30",
                       "Khomp/B0C30", "Khomp/B0C31", "Khomp/B0C31"};
    QTest::newRow("DAHDI E1 then an analogue port")
        << "(1, 0, 0, 'z', 't', 'd'), (2, 3, 0, 'z', 't', 'a')"
        << QStringList{"DAHDI/1", "DAHDI/31", "DAHDI/32", "DAHDI/32"};
}

void TestSimUnits::portNumbering() {
    QFETCH(QString, ports);
    QFETCH(QStringList, devices);
    Scenario s;
    QVERIFY(
        s.load(QStringLiteral("CREATE TABLE Porta (PortaId, Placa, Canal, Marca, Tipo, TipoTronco);"
                              "INSERT INTO Porta VALUES %1;")
                   .arg(ports)));
    QStringList got;
    for (const TSimPort& p : s.state.ports())
        got << p.lineDevice(0) << p.lineDevice(p.lineCount - 1);
    QCOMPARE(got, devices);

    // The console outputs name exactly these lines (the DAHDI signalling line excepted).
    QSet<QString> listed;
    for (const QString& line : TCommandOutputs::khompChannelsShow(s.state)) {
        if (line.startsWith(u"<K>")) {
            const QStringList hw = line.section(u'|', 1, 1).trimmed().split(u',');
            listed.insert(QStringLiteral("Khomp/B%1C%2").arg(hw.at(0)).arg(hw.at(1).toInt()));
        }
    }
    const QStringList dahdi = TCommandOutputs::dahdiShowChannels(s.state);
    for (const QString& line : dahdi.mid(2))
        listed.insert(QStringLiteral("DAHDI/%1").arg(line.mid(3, 4).trimmed().toInt()));
    int expected = 0;
    for (const TSimPort& p : s.state.ports()) {
        for (int i = 0; i < p.lineCount; ++i) {
            const bool signalling = p.brand == u"z" && p.isDigitalTrunk() && i == 15;
            QCOMPARE(listed.contains(p.lineDevice(i)), !signalling);
            expected += signalling ? 0 : 1;
        }
    }
    QCOMPARE(listed.size(), expected);
}

void TestSimUnits::sipPeersFollowRegistration() {
    Scenario s;
    QVERIFY(s.load(demoSql()));
    // The monitor's reading: columns from the header, name from the first 25 characters.
    const auto peer = [&s](const QString& name) -> QString {
        const QStringList lines = TCommandOutputs::sipShowPeers(s.state);
        const qsizetype status = lines.first().indexOf(u"Status");
        const qsizetype host = lines.first().indexOf(u"Host");
        for (const QString& line : lines.mid(1)) {
            if (line.size() > status && line.left(25).trimmed().section(u'/', 0, 0) == name)
                return line.mid(host, 40).trimmed() + u' ' + line.mid(status, 2);
        }
        return QString();
    };
    QVERIFY(peer(QStringLiteral("2017")).startsWith(u"(Unspecified)"));
    QVERIFY(!peer(QStringLiteral("2017")).endsWith(u"OK"));
    QVERIFY(
        s.state.setExtensionRegistered(QStringLiteral("2017"), true, QStringLiteral("10.0.0.17")));
    QCOMPARE(peer(QStringLiteral("2017")), QStringLiteral("10.0.0.17 OK"));
}

void TestSimUnits::commandAnswerIsOnePacket_data() {
    QTest::addColumn<int>("form");
    QTest::addColumn<QByteArray>("packet");
    // Empty lines stay where they cannot end the packet; no line can hold a line break.
    QTest::newRow("lone LF") << int(TSimCommandForm::Lf)
                             << QByteArray("Response: Follows\r\nActionID: SIPPeers\r\nPrivilege: "
                                           "Command\r\nlinha 1\n\n   \na    Event: x\n"
                                           "--END COMMAND--\r\n\r\n");
    QTest::newRow("CR LF") << int(TSimCommandForm::CrLf)
                           << QByteArray("Response: Follows\r\nActionID: SIPPeers\r\nPrivilege: "
                                         "Command\r\nlinha 1\r\na    Event: x\r\n"
                                         "--END COMMAND--\r\n\r\n");
    QTest::newRow("Output lines")
        << int(TSimCommandForm::Output)
        << QByteArray("Response: Success\r\nActionID: SIPPeers\r\nMessage: Command output "
                      "follows\r\nOutput: linha 1\r\nOutput: \r\nOutput:    \r\n"
                      "Output: a    Event: x\r\n\r\n");
}

void TestSimUnits::commandAnswerIsOnePacket() {
    QFETCH(int, form);
    QFETCH(QByteArray, packet);
    const QByteArray answer =
        TCommandOutputs::answerPacket(QStringLiteral("SIPPeers"),
                                      {QStringLiteral("linha 1"), QString(), QStringLiteral("   "),
                                       QStringLiteral("a\r\n\r\nEvent: x")},
                                      TSimCommandForm(form));
    QCOMPARE(answer, packet);
    QCOMPARE(answer.count("\r\n\r\n"), 1);
}

void TestSimUnits::demoScenarioSeedsTheState() {
    Scenario s;
    QVERIFY(s.load(demoSql()));
    const TSimState& st = s.state;
    for (const TSimAgent& a : st.agents()) {
        if (a.status == TSimAgent::Status::LoggedOff) continue;
        // Every logged-in agent sits at a registered extension.
        bool registered = false;
        for (const TSimExtension& e : st.extensions())
            registered |= a.loggedInChan == u"SIP/" + e.id && e.registered;
        QVERIFY2(registered, qPrintable(a.id));
    }
    QCOMPARE(st.queues().size(), 5);      // the switched-off queue is not live
    QCOMPARE(st.extensions().size(), 30); // the old profile's are not
}

QTEST_MAIN(TestSimUnits)
#include "test_sim_units.moc"
