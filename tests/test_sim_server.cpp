// The PBX simulator seen from the network, with a small client of its own (no link code).
#include "TPbxServer.h"
#include "TSimDatabase.h"
#include "TSimState.h"
#include "support/TSimTestClient.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

TSimOptions freePorts() {
    TSimOptions o;
    o.port = 0;
    o.chatPort = 0;
    return o;
}

QString tableQuery(const QString& id, const QString& table, const QString& fields = {},
                   const QString& filter = {}) {
    QString text = QStringLiteral("Action: ZXDBCommand\nActionId: %1\nCommand: List\nTable: %2")
                       .arg(id, table);
    if (!fields.isEmpty()) text += QStringLiteral("\nFields: ") + fields;
    if (!filter.isEmpty()) text += QStringLiteral("\nFilter: ") + filter;
    return text;
}

// Writes `text` to `name` in `dir` and gives its path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return {};
    return path;
}

QList<TSimTestPacket> eventsNamed(const QList<TSimTestPacket>& packets, const QString& name) {
    QList<TSimTestPacket> out;
    for (const TSimTestPacket& p : packets) {
        if (p.isEvent(name)) out.append(p);
    }
    return out;
}

} // namespace

class TestSimServer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TPbxServer> m_server;

    void startServer(const TSimOptions& options = freePorts()) {
        m_server = std::make_unique<TPbxServer>();
        QString error;
        QVERIFY2(m_server->start(options, &error), qPrintable(error));
    }

private Q_SLOTS:
    void cleanup() { m_server.reset(); }

    void greetingAndLogin();
    void refusals_data();
    void refusals();
    void tableQueries_data();
    void tableQueries();
    void tableValuesAreUtf8AndKeyedByColumn();
    void readerCannotWrite();
    void listings_data();
    void listings();
    void listingsFollowTheLiveState();
    void permissionValuesComeInNines();
    void largeResultIsStreamedInOrder();
    void runawayQueriesAreStopped();
    void dropAfter_data();
    void dropAfter();
    void chunkedWritesArriveInPieces();
    void stallAfter();
    void garbageOnlyAfterLogin();
    void hostileInputIsSurvived();
    void script_data();
    void script();
    void scriptExpectTimesOut();
};

void TestSimServer::greetingAndLogin() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvre\n"
                             "VesmaraUser: demo\nActionId: login"),
              simEventIs(QStringLiteral("Titulo")));
    QCOMPARE(c.greeting, QByteArray("Vesmara Call Manager/1.1"));
    QCOMPARE(answer.size(), 3);
    QCOMPARE(answer.first().response(), QStringLiteral("Success"));
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("login"));
    QCOMPARE(answer.first().value(QStringLiteral("Message")),
             QStringLiteral("Authentication accepted"));
    const TSimTestPacket& booted = answer.at(1);
    QVERIFY(booted.isEvent(QStringLiteral("FullyBooted")));
    QCOMPARE(booted.value(QStringLiteral("Privilege")), QStringLiteral("system,all"));
    QCOMPARE(booted.value(QStringLiteral("Status")), QStringLiteral("Fully Booted"));
    QCOMPARE(booted.value(QStringLiteral("Version")), QStringLiteral("1.2.70.0"));
    QCOMPARE(booted.value(QStringLiteral("UsarLoginWindows")), QStringLiteral("0"));
    QCOMPARE(answer.at(2).value(QStringLiteral("CSTA")), QStringLiteral("0"));
}

void TestSimServer::refusals_data() {
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong secret")
        << false
        << QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvr\nActionId: q1")
        << QStringLiteral("Authentication failed");
    QTest::newRow("table query before login")
        << false << tableQuery(QStringLiteral("q1"), QStringLiteral("user"))
        << QStringLiteral("Permission denied");
    QTest::newRow("command before login")
        << false << QStringLiteral("Action: Command\nActionId: q1\nCommand: sip show peers")
        << QStringLiteral("Permission denied");
    QTest::newRow("unknown action") << true << QStringLiteral("Action: Transferir\nActionId: q1")
                                    << QStringLiteral("Invalid/unknown command");
}

void TestSimServer::refusals() {
    QFETCH(bool, loggedIn);
    QFETCH(QString, action);
    QFETCH(QString, message);
    startServer();
    TSimTestClient c(m_server->managerPort());
    if (loggedIn) QVERIFY(c.login());
    const QList<TSimTestPacket> answer = c.ask(action, simAnyResponse());
    QCOMPARE(answer.size(), 1);
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("Message")), message);
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("q1"));
    if (loggedIn) return;
    QVERIFY(!c.waitPackets(2, 300)); // no events follow a refusal before login
    QVERIFY(c.login());              // and the connection stays usable
}

void TestSimServer::tableQueries_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("count"); // -1: refused
    const auto row = [](const char* name, const char* table, const char* fields, const char* filter,
                        int count) {
        QTest::newRow(name) << tableQuery(QStringLiteral("Q-1"), QString(table), QString(fields),
                                          QString(filter))
                            << count;
    };
    // The monitor's own queries, as it sends them.
    row("PerfilConfiguracao", "PerfilConfiguracao", "", "", 2);
    row("user demo login", "user", "",
        "where user = \"demo\"and pass = \"fe01ce2a7fbac8fafaed7c982a04e229\"", 1);
    // Double quotes make text, as on the platform's server, never a column name.
    row("user named like a column", "user", "",
        "where user = \"user\"and pass = \"fe01ce2a7fbac8fafaed7c982a04e229\"", 0);
    row("unread chat", "ChatMensagemDe D, ChatMensagemPara P",
        "D.De, count(D.idChatMensagemDe) as Total, min(D.DataEnvio) as MaisAntiga",
        "WHERE D.idChatMensagemDe = P.idChatMensagemDe AND P.Para = 'demo' AND DataLeitura IS "
        "NULL GROUP BY D.De",
        2);
    row("no such table", "Inexistente", "", "", -1);
    row("second statement", "user", "", "; DROP TABLE user", -1);
    row("second statement in table", "user; DELETE FROM user", "", "", -1);
    QTest::newRow("not a list")
        << QStringLiteral("Action: ZXDBCommand\nActionId: Q-1\nCommand: Delete\nTable: user") << -1;
    QTest::newRow("no table") << QStringLiteral("Action: ZXDBCommand\nActionId: Q-1\nCommand: List")
                              << -1;
}

void TestSimServer::tableQueries() {
    QFETCH(QString, action);
    QFETCH(int, count);
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer =
        c.ask(action, count < 0 ? simAnyResponse() : simEventIs(QStringLiteral("ZXDBComplete")));
    QVERIFY(!answer.isEmpty());
    for (const TSimTestPacket& p : answer)
        QCOMPARE(p.value(QStringLiteral("ZXDBActionID")), QStringLiteral("Q-1"));
    if (count < 0) {
        QCOMPARE(answer.size(), 1);
        QCOMPARE(answer.first().response(), QStringLiteral("Error"));
        QVERIFY(!answer.first().value(QStringLiteral("Message")).isEmpty());
    } else {
        QCOMPARE(answer.first().response(), QStringLiteral("Success"));
        QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("Q-1"));
        const QList<TSimTestPacket> rows = eventsNamed(answer, QStringLiteral("ZXDBEvent"));
        QCOMPARE(rows.size(), answer.size() - 2);
        QCOMPARE(rows.size(), count);
        for (const TSimTestPacket& row : rows) {
            if (row.has(QStringLiteral("Total")))
                QVERIFY(row.value(QStringLiteral("Total")).toInt() > 0);
        }
    }
    // Nothing changed and the connection goes on.
    const QList<TSimTestPacket> users =
        c.ask(tableQuery(QStringLiteral("n"), QStringLiteral("user"),
                         QStringLiteral("count(*) AS Total")),
              simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(users.size(), 3);
    QCOMPARE(users.at(1).value(QStringLiteral("Total")), QStringLiteral("7"));
}

void TestSimServer::tableValuesAreUtf8AndKeyedByColumn() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    QList<TSimTestPacket> answer =
        c.ask(tableQuery(QStringLiteral("m"), QStringLiteral("MotivoPausa"),
                         QStringLiteral("MotivoPausaId, Nome, Produtivo"),
                         QStringLiteral("where PerfilConfiguracaoId = '1'")),
              simEventIs(QStringLiteral("ZXDBComplete")));
    const TSimTestPacket& first = answer.at(1);
    QCOMPARE(first.lines.size(), 5);
    QCOMPARE(first.lines.at(2).first, QStringLiteral("MotivoPausaId"));
    QCOMPARE(first.value(QStringLiteral("Nome")), QStringLiteral("Almoço"));
    QCOMPARE(first.value(QStringLiteral("Produtivo")), QStringLiteral("0"));

    // A value holding line breaks cannot break the packet.
    answer = c.ask(
        tableQuery(
            QStringLiteral("nl"), QStringLiteral("user"),
            QStringLiteral(
                "'a' || char(13) || char(10) || char(13) || char(10) || 'Event: Hangup' AS Texto"),
            QStringLiteral("where user = 'demo'")),
        simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(answer.size(), 3);
    QCOMPARE(answer.at(1).value(QStringLiteral("Texto")), QStringLiteral("a    Event: Hangup"));
}

void TestSimServer::readerCannotWrite() {
    startServer();
    QSqlQuery q(m_server->database()->reader());
    QVERIFY(!q.exec(QStringLiteral("DELETE FROM user")));
    QVERIFY(!q.exec(QStringLiteral("CREATE TABLE x (a)")));
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM user")) && q.next());
    QCOMPARE(q.value(0).toInt(), 7);
}

void TestSimServer::listings_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("closing"); // empty: the answer is the response alone
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("items");
    const auto row = [](const char* name, const char* action, const char* response,
                        const char* closing, const char* item, int items) {
        QTest::newRow(name) << QString(action) << QString(response) << QString(closing)
                            << QString(item) << items;
    };
    row("agents", "Action: Agents\nActionId: Agents", "Success", "AgentsComplete", "Agents", 20);
    row("chat queue is not here", "Action: QueueStatus\nActionId: QS5\nQueue: 5", "Success",
        "QueueStatusComplete", "QueueParams", 0);
    row("call reasons", "Action: QueueCallReasonCount\nActionId: R", "Success",
        "QueueCallReasonCountComplete", "QueueCallSubReasonCount", 6);
    row("sip peers", "Action: Command\nActionId: SIPPeers\nCommand: sip show peers", "Follows", "",
        "", 0);
    row("unknown command", "Action: Command\nActionId: C9\nCommand: core restart now", "Error", "",
        "", 0);
    row("chat unread",
        "Action: VChatAction\nVChatAction: UnreadMessages\nActionId: UnreadMessagesUserInChat",
        "Success", "UserEvent", "", 0);
}

void TestSimServer::listings() {
    QFETCH(QString, action);
    QFETCH(QString, response);
    QFETCH(QString, closing);
    QFETCH(QString, item);
    QFETCH(int, items);
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QString id =
        QRegularExpression(QStringLiteral("ActionId: (.*)")).match(action).captured(1);
    const auto done = closing.isEmpty() ? simAnyResponse() : [closing](const TSimTestPacket& p) {
        return p.isEvent(closing) && (closing != u"UserEvent" ||
                                      p.value(QStringLiteral("VChatEvent")).endsWith(u"Complete"));
    };
    const QList<TSimTestPacket> answer = c.ask(action, done);
    QVERIFY(!answer.isEmpty());
    QCOMPARE(answer.first().response(), response);
    for (const TSimTestPacket& p : answer)
        QCOMPARE(p.value(QStringLiteral("ActionID")), id);
    if (!item.isEmpty()) QCOMPARE(eventsNamed(answer, item).size(), items);
    QSet<QString> reasons; // every sub-reason comes after the reason it belongs to
    for (const TSimTestPacket& p : answer) {
        const QString key =
            p.value(QStringLiteral("Queue")) + u'|' + p.value(QStringLiteral("Reason"));
        if (p.isEvent(QStringLiteral("QueueCallReasonCount"))) reasons.insert(key);
        if (p.isEvent(QStringLiteral("QueueCallSubReasonCount")))
            QVERIFY2(reasons.contains(key), qPrintable(key));
    }
    if (response == u"Follows") {
        // The whole output is one packet that ends with the end marker.
        QCOMPARE(answer.size(), 1);
        QCOMPARE(answer.first().lines.at(2).first + u':' + answer.first().lines.at(2).second,
                 QStringLiteral("Privilege:Command"));
        QVERIFY(answer.first().raw.endsWith("--END COMMAND--\r\n\r\n"));
        QVERIFY(answer.first().lines.size() > 4);
    }
    QVERIFY(!c.waitPackets(c.packets.size() + 1, 200)); // nothing trails the closing packet
}

void TestSimServer::listingsFollowTheLiveState() {
    startServer();
    TSimState* state = m_server->state();
    TSimChannel caller;
    caller.name = QStringLiteral("Khomp/B0C3-1");
    caller.callerIdNum = QStringLiteral("11987654321");
    caller.state = QStringLiteral("Up");
    const QString uid = state->addChannel(caller);
    QVERIFY(state->joinQueue(QStringLiteral("2"), uid));
    QVERIFY(state->setChannelVariable(uid, QStringLiteral("DisCampanha"), QStringLiteral("1")));

    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    // Presence: a known user announced in the chat is listed by GetUsersIn, a stranger is not.
    c.ask(QStringLiteral("Action: VChatAction\nVChatAction: UserIn\nActionId: u1\nUser: demo"),
          simAnyResponse());
    c.ask(QStringLiteral("Action: VChatAction\nVChatAction: UserIn\nActionId: u2\nUser: estranho"),
          simAnyResponse());
    c.action(QStringLiteral("Action: VChatAction\nVChatAction: GetUsersIn"));
    const auto present = [&c] {
        QStringList names;
        for (const TSimTestPacket& p : c.packets) {
            if (p.isEvent(QStringLiteral("UserEvent")) &&
                p.value(QStringLiteral("VChatEvent")) == u"UserIn")
                names.append(p.value(QStringLiteral("User")));
        }
        return names;
    };
    QTRY_COMPARE(present(), QStringList({QStringLiteral("ana.souza"), QStringLiteral("marcos.lima"),
                                         QStringLiteral("demo")}));

    QList<TSimTestPacket> answer = c.ask(
        QStringLiteral("Action: GetVar\nActionId: v\nChannel: Khomp/B0C3-1\nVariable: DisCampanha"),
        simAnyResponse());
    QCOMPARE(answer.first().value(QStringLiteral("Value")), QStringLiteral("1"));

    // The active-calls table follows the queue, answered calls included.
    QVERIFY(state->answerQueueCall(uid, QStringLiteral("1011")));
    answer =
        c.ask(tableQuery(
                  QStringLiteral("ca"), QStringLiteral("ChamadasAtivas"),
                  QStringLiteral(
                      "UniqueId, DestinoInternoId, BridgeChannel, TimeStamp, TimeStampAtendimento"),
                  QStringLiteral("where DestinoInterno = 'Fila' order by TimeStamp desc")),
              simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(answer.size(), 3);
    QCOMPARE(answer.at(1).value(QStringLiteral("UniqueId")), uid);
    QCOMPARE(answer.at(1).value(QStringLiteral("DestinoInternoId")), QStringLiteral("2"));
    QCOMPARE(answer.at(1).value(QStringLiteral("BridgeChannel")), QStringLiteral("Agent/1011"));
    QVERIFY(answer.at(1).value(QStringLiteral("TimeStampAtendimento")).toLongLong() > 0);
    QVERIFY(state->removeChannel(uid));
    answer = c.ask(tableQuery(QStringLiteral("ca2"), QStringLiteral("ChamadasAtivas")),
                   simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(answer.size(), 2);
}

void TestSimServer::permissionValuesComeInNines() {
    QByteArray sql =
        "CREATE TABLE user (idUser INTEGER, user TEXT, pass TEXT);\n"
        "INSERT INTO user VALUES (9, 'chefe', '');\n"
        "CREATE TABLE SimPermissao (idUser INTEGER, Grupo TEXT, Permissao TEXT, Valor TEXT);\n";
    for (int i = 1; i <= 12; ++i)
        sql += "INSERT INTO SimPermissao VALUES (9, 'Fila', 'Visualizar', '" +
               QByteArray::number(i) + "');\n";
    QTemporaryDir dir;
    TSimOptions options = freePorts();
    options.scenario = writeFile(dir, QStringLiteral("permissoes.sql"), sql);
    startServer(options);
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: ZXGetUserPermissions\nActionId: p\nUser: chefe"),
              simEventIs(QStringLiteral("ZXUserPermissionsComplete")));
    const QList<TSimTestPacket> details =
        eventsNamed(answer, QStringLiteral("ZXUserPermissionDetail"));
    QCOMPARE(eventsNamed(answer, QStringLiteral("ZXUserPermission")).size(), 1);
    QCOMPARE(details.size(), 2);
    QCOMPARE(details.at(0).value(QStringLiteral("Value9")), QStringLiteral("9"));
    QVERIFY(!details.at(0).has(QStringLiteral("Value10")));
    QCOMPARE(details.at(1).value(QStringLiteral("Value1")), QStringLiteral("10"));
    QCOMPARE(details.at(1).value(QStringLiteral("Value3")), QStringLiteral("12"));
    QVERIFY(!details.at(1).has(QStringLiteral("Value4")));
}

void TestSimServer::largeResultIsStreamedInOrder() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const int count = 3000;
    const qsizetype start = c.packets.size();
    c.action(tableQuery(
        QStringLiteral("big"),
        QStringLiteral(
            "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "SELECT i FROM n)")
            .arg(count),
        QStringLiteral("i AS Numero")));
    c.action(QStringLiteral("Action: Ping\nActionId: after"));
    QVERIFY(c.waitPackets(start + count + 3, 30000));
    const QList<TSimTestPacket> answer = c.packets.mid(start);
    QCOMPARE(answer.size(), count + 3);
    for (int i = 1; i <= count; ++i)
        QCOMPARE(answer.at(i).value(QStringLiteral("Numero")).toInt(), i);
    QVERIFY(answer.at(count + 1).isEvent(QStringLiteral("ZXDBComplete")));
    QCOMPARE(answer.at(count + 2).value(QStringLiteral("ActionID")), QStringLiteral("after"));
}

void TestSimServer::runawayQueriesAreStopped() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    // Counting an endless sequence never returns a row; the server must give up and stay alive.
    const QList<TSimTestPacket> answer =
        c.ask(tableQuery(QStringLiteral("loop"),
                         QStringLiteral("(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                        "FROM n) SELECT i FROM n)"),
                         QStringLiteral("count(*) AS Total")),
              simAnyResponse(), 30000);
    if (!TSimDatabase::canInterrupt())
        QSKIP("built without the SQLite header: long queries cannot be interrupted");
    QCOMPARE(answer.size(), 1);
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("ZXDBActionID")), QStringLiteral("loop"));
    QVERIFY(!c.ask(QStringLiteral("Action: Ping\nActionId: p"), simAnyResponse()).isEmpty());

    // Nor can one value grow without bound.
    const QList<TSimTestPacket> huge =
        c.ask(tableQuery(QStringLiteral("big"), QStringLiteral("user"),
                         QStringLiteral("randomblob(50000000) AS Grande")),
              simAnyResponse());
    QCOMPARE(huge.size(), 1);
    QCOMPARE(huge.first().response(), QStringLiteral("Error"));
}

void TestSimServer::dropAfter_data() {
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("chunk");
    QTest::newRow("after the login response") << 1 << 0;
    QTest::newRow("inside a table answer") << 5 << 0;
    QTest::newRow("inside a table answer, written in pieces") << 5 << 4096;
}

void TestSimServer::dropAfter() {
    QFETCH(int, after);
    QFETCH(int, chunk);
    TSimOptions options = freePorts();
    options.dropAfter = after;
    options.chunk = chunk;
    startServer(options);
    QSignalSpy closed(m_server.get(), &TPbxServer::clientDisconnected);
    TSimTestClient c(m_server->managerPort());
    c.action(
        QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvre\nActionId: login"));
    c.action(tableQuery(QStringLiteral("t"), QStringLiteral("Fila")));
    QTRY_VERIFY_WITH_TIMEOUT(c.disconnected, 10000);
    QCOMPARE(c.packets.size(), after);
    QVERIFY(c.pending.isEmpty()); // the last packet arrived whole
    QTRY_COMPARE(closed.size(), 1);
}

void TestSimServer::chunkedWritesArriveInPieces() {
    TSimOptions options = freePorts();
    options.chunk = 7;
    startServer(options);
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: QueueStatus\nActionId: q\nQueue: 3"),
              simEventIs(QStringLiteral("QueueStatusComplete")));
    QCOMPARE(eventsNamed(answer, QStringLiteral("QueueMember")).size(), 5);
    // The bytes trickle in: many more reads than packets.
    QVERIFY2(c.reads > c.packets.size() * 3, qPrintable(QString::number(c.reads)));
}

void TestSimServer::stallAfter() {
    TSimOptions options = freePorts();
    options.stallAfter = 2;
    startServer(options);
    TSimTestClient c(m_server->managerPort());
    c.action(
        QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvre\nActionId: login"));
    QVERIFY(c.waitPackets(2));
    QVERIFY(QTest::qWaitFor([&] { return !c.pending.isEmpty(); }, 5000));
    QCOMPARE(c.pending, QByteArray("Event: Titulo")); // the first half of the third packet
    c.action(QStringLiteral("Action: Ping\nActionId: p"));
    QVERIFY(!c.waitPackets(3, 500));
    QCOMPARE(c.packets.size(), 2);
    QVERIFY(!c.pending.isEmpty()); // half a packet, never finished
    QVERIFY(!c.disconnected);
    QCOMPARE(c.socket.state(), QAbstractSocket::ConnectedState);
}

void TestSimServer::garbageOnlyAfterLogin() {
    TSimOptions options = freePorts();
    options.garbage = true;
    options.seed = 7;
    startServer(options);
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    for (int i = 0; i < 60; ++i)
        c.action(QStringLiteral("Action: Ping\nActionId: p%1").arg(i));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return !c.packets.isEmpty() &&
                   c.packets.last().value(QStringLiteral("ActionID")) == u"p59";
        },
        10000));
    // The first packet is the login response; every ping is answered, in order, and whole.
    QCOMPARE(c.packets.first().response(), QStringLiteral("Success"));
    QCOMPARE(c.packets.first().value(QStringLiteral("ActionID")), QStringLiteral("login"));
    int next = 0;
    int junk = 0;
    for (const TSimTestPacket& p : c.packets.mid(1)) {
        if (p.response() == u"Success" && p.value(QStringLiteral("Ping")) == u"Pong") {
            QVERIFY(p.raw.startsWith("Response: Success\r\n")); // nothing glued in front
            QCOMPARE(p.value(QStringLiteral("ActionID")), QStringLiteral("p%1").arg(next++));
        } else if (!p.isEvent(QStringLiteral("FullyBooted")) &&
                   !p.isEvent(QStringLiteral("Titulo"))) {
            ++junk;
        }
    }
    QCOMPARE(next, 60);
    QVERIFY(junk > 0);
}

void TestSimServer::hostileInputIsSurvived() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    // A packet far over the limit, binary noise with NUL and broken UTF-8, lines without colon,
    // a packet without an action: the server drops or refuses them and carries on.
    c.socket.write(QByteArray(3 * 1024 * 1024, 'A'));
    c.socket.write("\r\n\r\n");
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise += char((i * 131) % 256 == '\r' ? 0 : (i * 131) % 256);
    c.socket.write(noise + "\r\n\r\n");
    c.socket.write("sem dois pontos\r\n\r\nValor: sem acao\r\nActionId: n\r\n\r\n\r\n\r\n");
    const QList<TSimTestPacket> answer = c.ask(
        QStringLiteral("Action: Ping\nActionId: vivo"),
        [](const TSimTestPacket& p) { return p.value(QStringLiteral("ActionID")) == u"vivo"; },
        30000);
    QVERIFY(!answer.isEmpty());
    QCOMPARE(answer.last().value(QStringLiteral("Ping")), QStringLiteral("Pong"));
    bool missingAction = false;
    for (const TSimTestPacket& p : answer)
        missingAction |= p.value(QStringLiteral("Message")) == u"Missing action in request";
    QVERIFY(missingAction);
}

void TestSimServer::script_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("greeting");
    QTest::addColumn<QString>("client");      // what the client sends, "|" between actions
    QTest::addColumn<QByteArray>("expected"); // every byte received after the greeting
    QTest::addColumn<bool>("closes");

    QTest::newRow("expect and send, auto off")
        << "# login only by script\nauto off\nexpect Login Username: supervisor\nsend\nResponse: "
           "Success\nActionID: ${ActionId}\nMessage: roteiro\n.\n"
        << true << "Action: Login\nUsername: supervisor\nSecret: x\nActionId: L-77"
        << QByteArray("Response: Success\r\nActionID: L-77\r\nMessage: roteiro\r\n\r\n") << false;
    QTest::newRow("non-matching actions are passed over")
        << "auto off\nexpect ZXDBCommand ActionId: ZXDBListaFilas\nsend\nResponse: "
           "Error\nZXDBActionID: ${ActionId}\n.\n"
        << true
        << "Action: ZXDBCommand\nActionId: outra|Action: Ping|Action: ZXDBCommand\nActionId: "
           "ZXDBListaFilas"
        << QByteArray("Response: Error\r\nZXDBActionID: ZXDBListaFilas\r\n\r\n") << false;
    QTest::newRow("raw bytes, then close")
        << "greeting off\nauto off\nraw Ol\\xC3\\xA1\\r\\nResponse: Success\\r\\n\\r\\n\nclose\n"
        << false << "" << QByteArray("Ol\xC3\xA1\r\nResponse: Success\r\n\r\n") << true;
    QTest::newRow("auto answer plus scripted event")
        << "expect Ping\nwait 50\nsend\nEvent: Hangup\nChannel: SIP/2001-1\n.\n"
        << true << "Action: Login\nUsername: supervisor\nSecret: kaluvre|Action: Ping\nActionId: p"
        << QByteArray() << false;
    QTest::newRow("stall") << "auto off\nsend\nEvent: A\n.\nstall\nsend\nEvent: B\n.\n"
                           << true << "" << QByteArray("Event: A\r\n\r\n") << false;
}

void TestSimServer::script() {
    QFETCH(QString, script);
    QFETCH(bool, greeting);
    QFETCH(QString, client);
    QFETCH(QByteArray, expected);
    QFETCH(bool, closes);
    QTemporaryDir dir;
    TSimOptions options = freePorts();
    options.scriptFile = writeFile(dir, QStringLiteral("roteiro.txt"), script.toUtf8());
    startServer(options);
    QSignalSpy finished(m_server.get(), &TPbxServer::scriptFinished);
    TSimTestClient c(m_server->managerPort(), greeting);
    QVERIFY(c.socket.waitForConnected(5000));
    if (!client.isEmpty()) {
        for (const QString& action : client.split(u'|'))
            c.action(action);
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QVERIFY2(finished.first().at(0).toBool(), qPrintable(finished.first().at(1).toString()));
    if (closes) QTRY_VERIFY(c.disconnected);
    if (expected.isEmpty()) {
        // Auto answers and the script's packet both arrive, the answer first.
        QVERIFY(c.waitPackets(5));
        QCOMPARE(c.packets.at(3).value(QStringLiteral("Ping")), QStringLiteral("Pong"));
        QVERIFY(c.packets.at(4).isEvent(QStringLiteral("Hangup")));
        return;
    }
    QTRY_COMPARE(c.received.mid(greeting ? c.greeting.size() + 2 : 0), expected);
    QVERIFY(!c.waitPackets(c.packets.size() + 1, 200));
}

void TestSimServer::scriptExpectTimesOut() {
    QTemporaryDir dir;
    TSimOptions options = freePorts();
    options.scriptFile =
        writeFile(dir, QStringLiteral("roteiro.txt"), "auto off\n\nexpect Logoff\n");
    options.speed = 100; // ten seconds become a tenth
    startServer(options);
    QSignalSpy finished(m_server.get(), &TPbxServer::scriptFinished);
    TSimTestClient c(m_server->managerPort());
    c.action(QStringLiteral("Action: Ping"));
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(finished.first().at(1).toString().contains(u"line 3"));
    QVERIFY(finished.first().at(1).toString().contains(u"Logoff"));
}

QTEST_MAIN(TestSimServer)
#include "test_sim_server.moc"
