// The PBX simulator's building blocks, without the network.
#include "TCommandOutputs.h"
#include "TSimDatabase.h"
#include "TSimFraming.h"
#include "TSimGarbage.h"
#include "TSimPacket.h"
#include "TSimScript.h"
#include "TSimSqlDialect.h"
#include "TSimState.h"

#include <QRegularExpression>
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
    void packetParse();
    void dialect_data();
    void dialect();
    void splitStatements();
    void scriptParseErrors_data();
    void scriptParseErrors();
    void scriptExpand_data();
    void scriptExpand();
    void garbageStaysOnePacket();
    void portNumbering_data();
    void portNumbering();
    void sipPeersParseLikeTheMonitor();
    void khompChannelsParseLikeTheMonitor();
    void dahdiChannelsParseLikeTheMonitor();
    void commandAnswerIsOnePacket();
    void demoScenarioSeedsTheState();
};

void TestSimUnits::framer_data() {
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QByteArrayList>("packets");
    QTest::addColumn<qsizetype>("left");
    QTest::newRow("two in one read")
        << QByteArrayList{"A: 1\r\n\r\nB: 2\r\n\r\n"}
        << QByteArrayList{"A: 1\r\n\r\n", "B: 2\r\n\r\n"} << qsizetype(0);
    QTest::newRow("split in three reads") << QByteArrayList{"Act", "ion: P", "ing\r\n\r\n"}
                                          << QByteArrayList{"Action: Ping\r\n\r\n"} << qsizetype(0);
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

void TestSimUnits::packetParse() {
    const TSimPacket p =
        TSimPacket::parse("Action: Login\r\nactionid:   x1  \r\nSem dois pontos\r\n"
                          "ActionID: x2\r\nNome: Jo\xE3o\r\nVazio:\r\n\r\n");
    QCOMPARE(p.value(QStringLiteral("ActionId")), QStringLiteral("x1"));
    QCOMPARE(p.value(QStringLiteral("Nome")), QStringLiteral("João")); // not UTF-8: Latin-1
    QVERIFY(p.has(QStringLiteral("Vazio")));
    QVERIFY(!p.has(QStringLiteral("Sem dois pontos")));
    QVERIFY(!p.has(QStringLiteral("Action: Login")));
    QCOMPARE(p.lines().size(), 6);
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
    QTest::newRow("doubled quotes") << "where a = 'it''s'"
                                    << "where a = 'it''s'";
    QTest::newRow("now")
        << "where Agenda < NOW() or Agenda >= now ( )"
        << "where Agenda < datetime('now','localtime') or Agenda >= datetime('now','localtime')";
    QTest::newRow("now as a name stays") << "select now from t"
                                         << "select now from t";
    QTest::newRow("semicolon in text") << "where a = 'x;y'"
                                       << "where a = 'x;y'";
    QTest::newRow("trailing semicolon") << "select 1;  "
                                        << "select 1";
    QTest::newRow("second statement") << "select 1; DROP TABLE user"
                                      << "";
    QTest::newRow("second statement after text") << "where a = 'x'; delete from user"
                                                 << "";
    QTest::newRow("unterminated text") << "where a = 'x"
                                       << "";
    QTest::newRow("unterminated name") << "select `a from t"
                                       << "";
    QTest::newRow("quoted name") << "select `a;b` from t"
                                 << "select `a;b` from t";
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

void TestSimUnits::splitStatements() {
    const QStringList statements = TSimSqlDialect::splitStatements(
        QStringLiteral("-- comment; not a statement\nCREATE TABLE t (a);\nINSERT INTO t VALUES "
                       "('x;y'), (\"z;\");\n"
                       "/* block ; comment */ INSERT INTO t VALUES ('it''s;');\n;\n  "));
    QCOMPARE(statements.size(), 3);
    QCOMPARE(statements.at(0), QStringLiteral("CREATE TABLE t (a)"));
    QVERIFY(statements.at(1).endsWith(u"(\"z;\")"));
    QVERIFY(statements.at(2).endsWith(u"('it''s;')"));
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
    QTest::newRow("auto needs on or off") << "auto sim"
                                          << "line 1";
    QTest::newRow("expect needs an action") << "expect"
                                            << "line 1";
    QTest::newRow("expect key needs a colon") << "expect Login Username"
                                              << "line 1";
    QTest::newRow("send without end") << "send\nAction: x\n"
                                      << "line 1";
    QTest::newRow("send takes no text") << "send now\n.\n"
                                        << "line 1";
    QTest::newRow("negative wait") << "\n\nwait -5"
                                   << "line 3";
    QTest::newRow("close takes nothing") << "close now"
                                         << "line 1";
    QTest::newRow("raw needs text") << "raw"
                                    << "line 1";
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
    QTest::newRow("escaped backslash") << "\\\\x41" << true << QByteArray("\\x41");
    QTest::newRow("incomplete hex") << "\\x4" << true << QByteArray("\\x4");
    QTest::newRow("escaped dollar") << "\\x24{ActionId}" << false << QByteArray("${ActionId}");
    QTest::newRow("unclosed brace") << "${ActionId" << false << QByteArray("${ActionId");
    QTest::newRow("utf-8 text") << "Reunião" << true << QByteArray("Reuni\xC3\xA3o");
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
    QTest::newRow("two Khomp boards with an E1 each")
        << "(1, 0, 0, 'k', 't', 'd'), (2, 1, 0, 'k', 't', 'd')"
        << QStringList{"Khomp/B0C0", "Khomp/B0C29", "Khomp/B1C0", "Khomp/B1C29"};
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

void TestSimUnits::sipPeersParseLikeTheMonitor() {
    Scenario s;
    QVERIFY(s.load(demoSql()));
    const QStringList lines = TCommandOutputs::sipShowPeers(s.state);
    // The monitor's reading: columns from the header, name from the first 25 characters.
    QVERIFY(lines.first().startsWith(u"Name/username"));
    const qsizetype statusColumn = lines.first().indexOf(u"Status");
    const qsizetype hostColumn = lines.first().indexOf(u"Host");
    QCOMPARE(hostColumn, 26);
    QHash<QString, QString> address;
    QSet<QString> ok;
    for (const QString& line : lines.mid(1)) {
        if (line.size() <= statusColumn) continue;
        const QString name = line.left(25).trimmed().section(u'/', 0, 0);
        if (line.mid(statusColumn, 2) == u"OK") ok.insert(name);
        if (line.mid(hostColumn + 1, 11) != u"Unspecified")
            address.insert(name, line.mid(hostColumn, 40).trimmed());
    }
    QCOMPARE(ok.size(), 26);
    QVERIFY(ok.contains(QStringLiteral("2001")));
    QVERIFY(ok.contains(QStringLiteral("VoipBrasil")));
    QVERIFY(!ok.contains(QStringLiteral("2017")));
    QVERIFY(!address.contains(QStringLiteral("2017")));
    QCOMPARE(address.value(QStringLiteral("2001")), QStringLiteral("192.168.10.101"));
    QCOMPARE(address.value(QStringLiteral("VoipBrasil")), QStringLiteral("200.187.64.10"));
    QVERIFY(lines.last().size() <= statusColumn); // the summary is never read as a peer

    QVERIFY(
        s.state.setExtensionRegistered(QStringLiteral("2017"), true, QStringLiteral("10.0.0.17")));
    QVERIFY(TCommandOutputs::sipShowPeers(s.state).join(u'\n').contains(u"10.0.0.17"));
}

void TestSimUnits::khompChannelsParseLikeTheMonitor() {
    Scenario s;
    QVERIFY(s.load(demoSql()));
    int digital = 0;
    QHash<QString, QStringList> cellular;
    for (const QString& line : TCommandOutputs::khompChannelsShow(s.state)) {
        if (!line.startsWith(u"<K>")) continue;
        // Fields as the monitor cuts them: a last field only when not empty.
        QStringList fields = line.split(u'|');
        for (QString& f : fields)
            f = f.trimmed();
        if (fields.last().isEmpty()) fields.removeLast();
        QVERIFY(fields.size() > 4);
        QVERIFY(fields.at(1).contains(u','));
        if (fields.at(1).startsWith(u"1,")) {
            QVERIFY(fields.size() > 6);
            cellular.insert(fields.at(1), fields);
        } else {
            QCOMPARE(fields.at(3), QStringLiteral("Free"));
            ++digital;
        }
    }
    QCOMPARE(digital, 30);
    QCOMPARE(cellular.size(), 2);
    const QString field4 = cellular.value(QStringLiteral("1,00")).at(4);
    QCOMPARE(field4.section(u'(', 1).section(u')', 0, 0), QStringLiteral("Vivo"));
    QCOMPARE(cellular.value(QStringLiteral("1,00")).at(5), QStringLiteral("82%"));

    // A line in a call is reported in use.
    TSimChannel call;
    call.name = QStringLiteral("Khomp/B0C4-1");
    call.outgoing = true;
    s.state.addChannel(call);
    QVERIFY(TCommandOutputs::khompChannelsShow(s.state).join(u'\n').contains(
        QRegularExpression(QStringLiteral("0,04 +\\| in use +\\| Outgoing"))));
}

void TestSimUnits::dahdiChannelsParseLikeTheMonitor() {
    Scenario s;
    QVERIFY(s.load(demoSql() +
                   QStringLiteral("\nINSERT INTO SimPorta VALUES (4, NULL, 'Red Alarm');")));
    const QStringList lines = TCommandOutputs::dahdiShowChannels(s.state);
    qsizetype first = 0;
    while (first < lines.size() && !lines.at(first).contains(u"pseudo"))
        ++first;
    QList<int> numbers;
    for (const QString& line : lines.mid(first + 1)) {
        numbers.append(line.mid(3, 4).trimmed().toInt());
        QCOMPARE(line.mid(78, 30).trimmed(), QStringLiteral("Red Alarm"));
    }
    QCOMPARE(numbers.size(), 30);
    QCOMPARE(numbers.first(), 1);
    QCOMPARE(numbers.last(), 31);
    QVERIFY(!numbers.contains(16));
}

void TestSimUnits::commandAnswerIsOnePacket() {
    const QByteArray packet = TCommandOutputs::followsPacket(
        QStringLiteral("SIPPeers"), {QStringLiteral("linha 1"), QString(), QStringLiteral("   "),
                                     QStringLiteral("a\r\n\r\nEvent: x")});
    QCOMPARE(
        packet,
        QByteArray("Response: Follows\r\nActionID: SIPPeers\r\nPrivilege: Command\r\nlinha 1\r\n"
                   "a    Event: x\r\n--END COMMAND--\r\n\r\n"));
}

void TestSimUnits::demoScenarioSeedsTheState() {
    Scenario s;
    QVERIFY(s.load(demoSql()));
    const TSimState& st = s.state;
    QCOMPARE(st.profileId(), QStringLiteral("1"));
    QCOMPARE(st.agents().size(), 20);
    int loggedIn = 0;
    int paused = 0;
    for (const TSimAgent& a : st.agents()) {
        loggedIn += a.status != TSimAgent::Status::LoggedOff;
        paused += a.paused;
        if (a.status != TSimAgent::Status::LoggedOff) {
            // Every logged-in agent sits at a registered extension.
            bool registered = false;
            for (const TSimExtension& e : st.extensions())
                registered |= a.loggedInChan == u"SIP/" + e.id && e.registered;
            QVERIFY2(registered, qPrintable(a.id));
        }
    }
    QCOMPARE(loggedIn, 16);
    QCOMPARE(paused, 3);
    QCOMPARE(st.agent(QStringLiteral("Agent/1004"))->pauseStart, 1700000000 - 1500);
    QCOMPARE(st.queues().size(), 5);      // the switched-off queue is not live
    QCOMPARE(st.extensions().size(), 30); // the old profile's are not
    QCOMPARE(st.trunks().size(), 5);
    QCOMPARE(st.queue(QStringLiteral("2"))->members.size(), 8);
    QCOMPARE(st.permissions(QStringLiteral("gerente")).size(), 10);
    QVERIFY(st.permissions(QStringLiteral("restrito")).isEmpty());
    QCOMPARE(st.chatUsersOnline(),
             QStringList({QStringLiteral("ana.souza"), QStringLiteral("marcos.lima")}));
}

QTEST_MAIN(TestSimUnits)
#include "test_sim_units.moc"
