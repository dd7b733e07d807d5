// The PBX simulator seen from the network, with a small client of its own (no link code).
#include "TPbxServer.h"
#include "support/TSimTestClient.h"
#include "TSimDatabase.h"
#include "TSimState.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlError>
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

    void greetingAndLogin_data();
    void greetingAndLogin();
    void actionsBeforeLoginAreRefused_data();
    void actionsBeforeLoginAreRefused();
    void tableQueries_data();
    void tableQueries();
    void tableValuesAreUtf8AndKeyedByColumn();
    void failingQueries_data();
    void failingQueries();
    void readerCannotWrite();
    void unknownActionIsRefused();
    void listings_data();
    void listings();
    void agentsAndMembersReflectTheScenario();
    void listingsFollowTheLiveState();
    void permissionValuesComeInNines();
    void largeResultIsStreamedInOrder();
    void runawayQueriesAreStopped();
    void chatPort();
    void receivedActionsAreRecorded();
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

void TestSimServer::greetingAndLogin_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("secret");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("manager account") << "supervisor"
                                     << "kaluvre" << true;
    QTest::newRow("wrong secret") << "supervisor"
                                  << "kaluvr" << false;
    QTest::newRow("wrong user") << "Supervisor"
                                << "kaluvre" << false;
    QTest::newRow("no secret") << "supervisor"
                               << "" << false;
}

void TestSimServer::greetingAndLogin() {
    QFETCH(QString, user);
    QFETCH(QString, secret);
    QFETCH(bool, accepted);
    startServer();
    TSimTestClient c(m_server->managerPort());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral(
                  "Action: Login\nUsername: %1\nSecret: %2\nVesmaraUser: demo\nActionId: login")
                  .arg(user, secret),
              accepted ? simEventIs(QStringLiteral("Titulo")) : simAnyResponse());
    QCOMPARE(c.greeting, QByteArray("Vesmara Call Manager/1.1"));
    QVERIFY(!answer.isEmpty());
    const TSimTestPacket& response = answer.first();
    QCOMPARE(response.value(QStringLiteral("ActionID")), QStringLiteral("login"));
    if (!accepted) {
        QCOMPARE(response.response(), QStringLiteral("Error"));
        QCOMPARE(response.value(QStringLiteral("Message")),
                 QStringLiteral("Authentication failed"));
        QVERIFY(!c.waitPackets(2, 300)); // no events follow a refused login
        return;
    }
    QCOMPARE(response.response(), QStringLiteral("Success"));
    QCOMPARE(response.value(QStringLiteral("Message")), QStringLiteral("Authentication accepted"));
    QCOMPARE(answer.size(), 3);
    const TSimTestPacket& booted = answer.at(1);
    QVERIFY(booted.isEvent(QStringLiteral("FullyBooted")));
    QCOMPARE(booted.value(QStringLiteral("Privilege")), QStringLiteral("system,all"));
    QCOMPARE(booted.value(QStringLiteral("Status")), QStringLiteral("Fully Booted"));
    QCOMPARE(booted.value(QStringLiteral("Version")), QStringLiteral("1.2.70.0"));
    QCOMPARE(booted.value(QStringLiteral("UsarLoginWindows")), QStringLiteral("0"));
    QCOMPARE(answer.at(2).value(QStringLiteral("CSTA")), QStringLiteral("0"));
}

void TestSimServer::actionsBeforeLoginAreRefused_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("table query") << tableQuery(QStringLiteral("q1"), QStringLiteral("user"));
    QTest::newRow("agents") << QStringLiteral("Action: Agents\nActionId: q1");
    QTest::newRow("command") << QStringLiteral(
        "Action: Command\nActionId: q1\nCommand: sip show peers");
    QTest::newRow("unknown") << QStringLiteral("Action: Nada\nActionId: q1");
}

void TestSimServer::actionsBeforeLoginAreRefused() {
    QFETCH(QString, action);
    startServer();
    TSimTestClient c(m_server->managerPort());
    QList<TSimTestPacket> answer = c.ask(action, simAnyResponse());
    QCOMPARE(answer.size(), 1);
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("Message")), QStringLiteral("Permission denied"));
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("q1"));
    // A failed login leaves the connection usable.
    QVERIFY(c.login());
}

void TestSimServer::tableQueries_data() {
    const QString active = QStringLiteral("'1','2'");
    const QString joins = QStringLiteral(
        "INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN DisCampanha USING "
        "(CampanhaId) "
        "WHERE DisCampanha.Status > 0 AND DisCampanha.Fila > 0 AND DisTelefone.Ativo = 1 AND "
        "DisTelefone.numTentativas < DisCampanha.maxTentativasDiscagens AND "
        "DisCliente.ClassificacaoId IS NULL "
        "AND DisCliente.Bloqueado = 0 AND ");
    const QString due = QStringLiteral("(DisCliente.Agenda IS NULL OR DisCliente.Agenda < NOW()) "
                                       "AND (DisTelefone.Agenda IS NULL OR "
                                       "DisTelefone.Agenda < NOW()) AND (DisTelefone.LastStatus IS "
                                       "NULL OR DisTelefone.LastStatus = 4) ");
    const QString scheduled = QStringLiteral("(DisCliente.Agenda >= NOW() OR DisTelefone.Agenda >= "
                                             "NOW()) AND (DisTelefone.LastStatus IS NULL "
                                             "OR DisTelefone.LastStatus = 4) ");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("minRows");
    QTest::addColumn<int>("maxRows");
    // The monitor's own queries, as it sends them.
    QTest::newRow("PerfilConfiguracao") << "PerfilConfiguracao"
                                        << ""
                                        << "" << 2 << 2;
    QTest::newRow("user demo login")
        << "user"
        << ""
        << "where user = \"demo\"and pass = \"fe01ce2a7fbac8fafaed7c982a04e229\"" << 1 << 1;
    QTest::newRow("user restrito login")
        << "user"
        << ""
        << "where user = \"restrito\"and pass = \"6b3c7e24c6afaaaf1c2c61160e25d71b\"" << 1 << 1;
    QTest::newRow("user gerente login")
        << "user"
        << ""
        << "where user = \"gerente\"and pass = \"740d9c49b11f3ada7b9112614a54be41\"" << 1 << 1;
    QTest::newRow("user wrong password")
        << "user"
        << ""
        << "where user = \"demo\"and pass = \"00000000000000000000000000000000\"" << 0 << 0;
    // Double quotes make text, as on the platform's server, never a column name.
    QTest::newRow("user named like a column")
        << "user"
        << ""
        << "where user = \"user\"and pass = \"fe01ce2a7fbac8fafaed7c982a04e229\"" << 0 << 0;
    QTest::newRow("user windows login") << "user"
                                        << ""
                                        << "where lower(user) = \"demo\"" << 1 << 1;
    QTest::newRow("PermissaoUsuario") << "PermissaoUsuario"
                                      << ""
                                      << "where Usuario=\"Supervisor Atendimento\"" << 8 << 8;
    QTest::newRow("PermissaoUsuarioExtra")
        << "PermissaoUsuarioExtra"
        << ""
        << "where Usuario=\"Supervisor Atendimento\"" << 20 << 40;
    QTest::newRow("Porta") << "Porta"
                           << ""
                           << "order by Placa,Canal" << 4 << 4;
    QTest::newRow("Ramal") << "Ramal"
                           << ""
                           << "where PerfilConfiguracaoId = '1' order by RamalId" << 30 << 30;
    QTest::newRow("Tronco") << "Tronco"
                            << ""
                            << "where PerfilConfiguracaoId = '1' order by TroncoId" << 5 << 5;
    QTest::newRow("MotivoPausa") << "MotivoPausa"
                                 << "MotivoPausaId, Nome, Produtivo"
                                 << "where PerfilConfiguracaoId = '1'" << 8 << 8;
    QTest::newRow("Atendente") << "Atendente"
                               << "AtendenteId, Nome"
                               << "where PerfilConfiguracaoId = '1'" << 20 << 20;
    QTest::newRow("Fila") << "Fila"
                          << ""
                          << "where PerfilConfiguracaoId = '1' and Ativa = 1" << 5 << 5;
    QTest::newRow("DisCampanha") << "DisCampanha"
                                 << ""
                                 << "" << 3 << 3;
    QTest::newRow("ChamadasAtivas")
        << "ChamadasAtivas"
        << "UniqueId, DestinoInternoId, BridgeChannel, TimeStamp, TimeStampAtendimento"
        << "where DestinoInterno = 'Fila' order by TimeStamp desc" << 0 << 0;
    QTest::newRow("user chat list") << "user"
                                    << "user,tipo,nome"
                                    << "where tipo is null or tipo = 'u'" << 6 << 6;
    QTest::newRow("unread chat")
        << "ChatMensagemDe D, ChatMensagemPara P"
        << "D.De, count(D.idChatMensagemDe) as Total, min(D.DataEnvio) as MaisAntiga"
        << "WHERE D.idChatMensagemDe = P.idChatMensagemDe AND P.Para = 'demo' AND DataLeitura IS "
           "NULL GROUP BY D.De"
        << 2 << 2;
    QTest::newRow("DisClientesTotal")
        << "DisCliente"
        << "CampanhaId,COUNT(ClienteId) AS Total"
        << QString("WHERE CampanhaId in (" + active + ") group by CampanhaId") << 2 << 2;
    QTest::newRow("DisClientesDiscar")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS Total"
        << QString(joins + due + "group by DisCampanha.CampanhaId") << 2 << 2;
    QTest::newRow("DisStatusDiscagem")
        << "DisStatusDiscagem"
        << "CampanhaId,Status,COUNT(DISTINCT(ClienteId)) AS Total"
        << QString("WHERE CampanhaId in (" + active +
                   ") and Status > 0 and Status < 4 group by CampanhaId,Status")
        << 6 << 6;
    QTest::newRow("DisClientesAgendados")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS Total"
        << QString(joins + scheduled + "group by DisCampanha.CampanhaId") << 1 << 2;
    QTest::newRow("DisTelefonesTotal")
        << "DisTelefone"
        << "CampanhaId,COUNT(Telefone) AS Total"
        << QString("WHERE CampanhaId in (" + active + ") group by CampanhaId") << 2 << 2;
    QTest::newRow("DisTelefonesDiscar")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total"
        << QString(joins + due + "group by DisTelefone.CampanhaId") << 2 << 2;
    QTest::newRow("DisTelefonesTentativasExcedidas")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total"
        << "INNER JOIN DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
           "DisCampanha.Fila > 0 and DisTelefone.numTentativas >= "
           "DisCampanha.maxTentativasDiscagens group by DisTelefone.CampanhaId"
        << 2 << 2;
    QTest::newRow("DisTelefonesAgendados")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total"
        << QString(joins + scheduled + "group by DisTelefone.CampanhaId") << 1 << 2;
    QTest::newRow("DisTelefonesDesativados")
        << "DisTelefone"
        << "DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total"
        << QString("WHERE CampanhaId in (" + active +
                   ") and DisTelefone.Ativo = 0 group by CampanhaId")
        << 2 << 2;
    QTest::newRow("DisStatusChamadas")
        << "DisStatusDiscagem"
        << "CampanhaId,Status,COUNT(ClienteId) AS Total"
        << QString("WHERE CampanhaId in (" + active +
                   ") and Status > 0 and Status < 4 group by CampanhaId,Status")
        << 6 << 6;
    QTest::newRow("DisClassificacaoChamadas")
        << "DisDiscagem"
        << "CampanhaId, ClassificacaoId, Count(*) AS Total"
        << QString("WHERE CampanhaId in (" + active +
                   ") and ClassificacaoId > 1 and ClassificacaoId < 4 group by "
                   "CampanhaId,ClassificacaoId")
        << 4 << 4;
    QTest::newRow("ChatMensagemPara") << "ChatMensagemPara"
                                      << ""
                                      << "" << 9 << 9;
}

void TestSimServer::tableQueries() {
    QFETCH(QString, table);
    QFETCH(QString, fields);
    QFETCH(QString, filter);
    QFETCH(int, minRows);
    QFETCH(int, maxRows);
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer = c.ask(tableQuery(QStringLiteral("Q-1"), table, fields, filter),
                                       simEventIs(QStringLiteral("ZXDBComplete")));
    QVERIFY(!answer.isEmpty());
    QCOMPARE(answer.first().response(), QStringLiteral("Success"));
    QCOMPARE(answer.first().value(QStringLiteral("ZXDBActionID")), QStringLiteral("Q-1"));
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("Q-1"));
    const QList<TSimTestPacket> rows = eventsNamed(answer, QStringLiteral("ZXDBEvent"));
    QCOMPARE(rows.size(), answer.size() - 2);
    QVERIFY2(rows.size() >= minRows && rows.size() <= maxRows,
             qPrintable(QString::number(rows.size())));
    for (const TSimTestPacket& row : rows)
        QCOMPARE(row.value(QStringLiteral("ZXDBActionID")), QStringLiteral("Q-1"));
    QCOMPARE(answer.last().value(QStringLiteral("ZXDBActionID")), QStringLiteral("Q-1"));
    if (fields.contains(u" AS Total", Qt::CaseInsensitive)) {
        for (const TSimTestPacket& row : rows)
            QVERIFY(row.value(QStringLiteral("Total")).toInt() > 0);
    }
}

void TestSimServer::tableValuesAreUtf8AndKeyedByColumn() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    QList<TSimTestPacket> answer = c.ask(tableQuery(QStringLiteral("m"), QStringLiteral("MotivoPausa"),
                                            QStringLiteral("MotivoPausaId, Nome, Produtivo"),
                                            QStringLiteral("where PerfilConfiguracaoId = '1'")),
                                 simEventIs(QStringLiteral("ZXDBComplete")));
    const TSimTestPacket& first = answer.at(1);
    QCOMPARE(first.lines.size(), 5);
    QCOMPARE(first.lines.at(2).first, QStringLiteral("MotivoPausaId"));
    QCOMPARE(first.value(QStringLiteral("Nome")), QStringLiteral("Almoço"));
    QCOMPARE(first.value(QStringLiteral("Produtivo")), QStringLiteral("0"));

    // NULL is an empty value; table prefixes are not part of the key.
    answer = c.ask(tableQuery(QStringLiteral("u"), QStringLiteral("user"),
                              QStringLiteral("user, idUser, perfil"),
                              QStringLiteral("where user = 'restrito'")),
                   simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(answer.size(), 3);
    QVERIFY(answer.at(1).has(QStringLiteral("idUser")));
    QCOMPARE(answer.at(1).value(QStringLiteral("idUser")), QString());
    QCOMPARE(answer.at(1).value(QStringLiteral("perfil")),
             QStringLiteral("Supervisor Atendimento"));

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

void TestSimServer::failingQueries_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("no such table")
        << tableQuery(QStringLiteral("bad"), QStringLiteral("Inexistente"));
    QTest::newRow("syntax error") << tableQuery(QStringLiteral("bad"), QStringLiteral("user"), {},
                                                QStringLiteral("where where"));
    QTest::newRow("no such column")
        << tableQuery(QStringLiteral("bad"), QStringLiteral("user"), QStringLiteral("naoexiste"));
    QTest::newRow("unterminated text") << tableQuery(QStringLiteral("bad"), QStringLiteral("user"),
                                                     {}, QStringLiteral("where user = \"demo"));
    QTest::newRow("second statement") << tableQuery(QStringLiteral("bad"), QStringLiteral("user"),
                                                    {}, QStringLiteral("; DROP TABLE user"));
    QTest::newRow("second statement in table")
        << tableQuery(QStringLiteral("bad"), QStringLiteral("user; DELETE FROM user"));
    QTest::newRow("not a list") << QStringLiteral(
        "Action: ZXDBCommand\nActionId: bad\nCommand: Delete\nTable: user");
    QTest::newRow("no table") << QStringLiteral(
        "Action: ZXDBCommand\nActionId: bad\nCommand: List");
}

void TestSimServer::failingQueries() {
    QFETCH(QString, action);
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer = c.ask(action, simAnyResponse());
    QCOMPARE(answer.size(), 1);
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("ZXDBActionID")), QStringLiteral("bad"));
    QVERIFY(!answer.first().value(QStringLiteral("Message")).isEmpty());
    // Nothing changed and the connection goes on.
    const QList<TSimTestPacket> users = c.ask(tableQuery(QStringLiteral("n"), QStringLiteral("user"),
                                                 QStringLiteral("count(*) AS Total")),
                                      simEventIs(QStringLiteral("ZXDBComplete")));
    QCOMPARE(users.size(), 3);
    QCOMPARE(users.at(1).value(QStringLiteral("Total")), QStringLiteral("7"));
}

void TestSimServer::readerCannotWrite() {
    startServer();
    QSqlQuery q(m_server->database()->reader());
    QVERIFY(!q.exec(QStringLiteral("DELETE FROM user")));
    QVERIFY(!q.exec(QStringLiteral("CREATE TABLE x (a)")));
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM user")) && q.next());
    QCOMPARE(q.value(0).toInt(), 7);
}

void TestSimServer::unknownActionIsRefused() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: Transferir\nActionId: x9"), simAnyResponse());
    QCOMPARE(answer.size(), 1);
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("x9"));
    QCOMPARE(answer.first().value(QStringLiteral("Message")),
             QStringLiteral("Invalid/unknown command"));
}

void TestSimServer::listings_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("closing"); // empty: the answer is the response alone
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("items");
    QTest::newRow("agents") << "Action: Agents\nActionId: Agents"
                            << "Success"
                            << "AgentsComplete"
                            << "Agents" << 20;
    QTest::newRow("status") << "Action: Status\nActionId: Status"
                            << "Success"
                            << "StatusComplete"
                            << "Status" << 0;
    QTest::newRow("queue status") << "Action: QueueStatus\nActionId: QueueStatus"
                                  << "Success"
                                  << "QueueStatusComplete"
                                  << "QueueParams" << 4;
    QTest::newRow("one queue") << "Action: QueueStatus\nActionId: QS2\nQueue: 2"
                               << "Success"
                               << "QueueStatusComplete"
                               << "QueueMember" << 8;
    QTest::newRow("chat queue is not here") << "Action: QueueStatus\nActionId: QS5\nQueue: 5"
                                            << "Success"
                                            << "QueueStatusComplete"
                                            << "QueueParams" << 0;
    QTest::newRow("call reasons") << "Action: QueueCallReasonCount\nActionId: QueueCallReasonCount"
                                  << "Success"
                                  << "QueueCallReasonCountComplete"
                                  << "QueueCallReasonCount" << 12;
    QTest::newRow("permissions")
        << "Action: ZXGetUserPermissions\nActionId: ZXGetUserPermissions\nUser: gerente"
        << "Success"
        << "ZXUserPermissionsComplete"
        << "ZXUserPermission" << 10;
    QTest::newRow("no permissions") << "Action: ZXGetUserPermissions\nActionId: P2\nUser: ninguem"
                                    << "Success"
                                    << "ZXUserPermissionsComplete"
                                    << "ZXUserPermission" << 0;
    QTest::newRow("time stamp") << "Action: ZXTimeStamp\nActionId: ZXTimeStamp"
                                << "Success"
                                << "ZXTimeStamp"
                                << "ZXTimeStamp" << 1;
    QTest::newRow("sip peers") << "Action: Command\nActionId: SIPPeers\nCommand: sip show peers"
                               << "Follows"
                               << ""
                               << "" << 0;
    QTest::newRow("khomp")
        << "Action: Command\nActionId: KhompChannels\nCommand: khomp channels show"
        << "Follows"
        << ""
        << "" << 0;
    QTest::newRow("dahdi")
        << "Action: Command\nActionId: DahdiChannels\nCommand: dahdi show channels"
        << "Follows"
        << ""
        << "" << 0;
    QTest::newRow("unknown command") << "Action: Command\nActionId: C9\nCommand: core restart now"
                                     << "Error"
                                     << ""
                                     << "" << 0;
    QTest::newRow("get var")
        << "Action: GetVar\nActionId: VarDisCampanha-SIP/2001-00000001\nChannel: "
           "SIP/2001-00000001\nVariable: DisCampanha"
        << "Success"
        << ""
        << "" << 0;
    QTest::newRow("chat user in")
        << "Action: VChatAction\nVChatAction: UserIn\nActionId: UserInChat\nUser: demo"
        << "Success"
        << ""
        << "" << 0;
    QTest::newRow("chat unread")
        << "Action: VChatAction\nVChatAction: UnreadMessages\nActionId: UnreadMessagesUserInChat"
        << "Success"
        << "UserEvent"
        << "" << 0;
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

void TestSimServer::agentsAndMembersReflectTheScenario() {
    startServer();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    QList<TSimTestPacket> answer = c.ask(QStringLiteral("Action: Agents\nActionId: a"),
                                 simEventIs(QStringLiteral("AgentsComplete")));
    QHash<QString, TSimTestPacket> agents;
    for (const TSimTestPacket& p : eventsNamed(answer, QStringLiteral("Agents")))
        agents.insert(p.value(QStringLiteral("Agent")), p);
    QCOMPARE(agents.value(QStringLiteral("1001")).value(QStringLiteral("LoggedInChan")),
             QStringLiteral("SIP/2001"));
    QCOMPARE(agents.value(QStringLiteral("1001")).value(QStringLiteral("Status")),
             QStringLiteral("AGENT_IDLE"));
    QCOMPARE(agents.value(QStringLiteral("1001")).value(QStringLiteral("Name")),
             QStringLiteral("Ana Paula Souza"));
    QVERIFY(
        agents.value(QStringLiteral("1001")).value(QStringLiteral("LoggedInTime")).toLongLong() >
        0);
    QCOMPARE(agents.value(QStringLiteral("1020")).value(QStringLiteral("Status")),
             QStringLiteral("AGENT_LOGGEDOFF"));
    QCOMPARE(agents.value(QStringLiteral("1020")).value(QStringLiteral("LoggedInChan")),
             QStringLiteral("n/a"));
    QCOMPARE(agents.value(QStringLiteral("1020")).value(QStringLiteral("LoggedInTime")),
             QStringLiteral("0"));

    answer = c.ask(QStringLiteral("Action: QueueStatus\nActionId: q\nQueue: 1"),
                   simEventIs(QStringLiteral("QueueStatusComplete")));
    QHash<QString, TSimTestPacket> members;
    for (const TSimTestPacket& p : eventsNamed(answer, QStringLiteral("QueueMember")))
        members.insert(p.value(QStringLiteral("Location")), p);
    QCOMPARE(members.size(), 8);
    const TSimTestPacket paused = members.value(QStringLiteral("Agent/1004"));
    QCOMPARE(paused.value(QStringLiteral("Paused")), QStringLiteral("1"));
    QCOMPARE(paused.value(QStringLiteral("PauseReason")), QStringLiteral("1"));
    QCOMPARE(paused.value(QStringLiteral("Status")), QStringLiteral("1"));
    QVERIFY(paused.value(QStringLiteral("PauseStart")).toLongLong() > 0);
    QCOMPARE(members.value(QStringLiteral("Agent/1001")).value(QStringLiteral("Paused")),
             QStringLiteral("0"));

    // Every sub-reason comes after the reason it belongs to.
    answer = c.ask(QStringLiteral("Action: QueueCallReasonCount\nActionId: r"),
                   simEventIs(QStringLiteral("QueueCallReasonCountComplete")));
    QSet<QString> seen;
    int subs = 0;
    for (const TSimTestPacket& p : answer) {
        const QString key =
            p.value(QStringLiteral("Queue")) + u'|' + p.value(QStringLiteral("Reason"));
        if (p.isEvent(QStringLiteral("QueueCallReasonCount"))) seen.insert(key);
        if (p.isEvent(QStringLiteral("QueueCallSubReasonCount"))) {
            QVERIFY2(seen.contains(key), qPrintable(key));
            ++subs;
        }
    }
    QCOMPARE(subs, 6);
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
    QVERIFY(state->setAgentPaused(QStringLiteral("1010"), true, 5));

    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    QList<TSimTestPacket> answer = c.ask(QStringLiteral("Action: Status\nActionId: s"),
                                 simEventIs(QStringLiteral("StatusComplete")));
    QList<TSimTestPacket> status = eventsNamed(answer, QStringLiteral("Status"));
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().value(QStringLiteral("Channel")), caller.name);
    QCOMPARE(status.first().value(QStringLiteral("Uniqueid")), uid);
    QCOMPARE(status.first().value(QStringLiteral("Queue")), QStringLiteral("2"));

    answer = c.ask(QStringLiteral("Action: QueueStatus\nActionId: q\nQueue: 2"),
                   simEventIs(QStringLiteral("QueueStatusComplete")));
    QCOMPARE(
        eventsNamed(answer, QStringLiteral("QueueParams")).first().value(QStringLiteral("Calls")),
        QStringLiteral("1"));
    const QList<TSimTestPacket> entries = eventsNamed(answer, QStringLiteral("QueueEntry"));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().value(QStringLiteral("Position")), QStringLiteral("1"));
    QCOMPARE(entries.first().value(QStringLiteral("Channel")), caller.name);
    bool pausedSeen = false;
    for (const TSimTestPacket& p : eventsNamed(answer, QStringLiteral("QueueMember"))) {
        if (p.value(QStringLiteral("Location")) == u"Agent/1010") {
            QCOMPARE(p.value(QStringLiteral("Paused")), QStringLiteral("1"));
            QCOMPARE(p.value(QStringLiteral("PauseReason")), QStringLiteral("5"));
            pausedSeen = true;
        }
    }
    QVERIFY(pausedSeen);

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

    answer = c.ask(
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
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("permissoes.sql"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray sql =
        "CREATE TABLE user (idUser INTEGER, user TEXT, pass TEXT);\n"
        "INSERT INTO user VALUES (9, 'chefe', '');\n"
        "CREATE TABLE SimPermissao (idUser INTEGER, Grupo TEXT, Permissao TEXT, Valor TEXT);\n";
    for (int i = 1; i <= 12; ++i)
        sql += "INSERT INTO SimPermissao VALUES (9, 'Fila', 'Visualizar', '" +
               QByteArray::number(i) + "');\n";
    file.write(sql);
    file.close();
    TSimOptions options = freePorts();
    options.scenario = path;
    startServer(options);
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: ZXGetUserPermissions\nActionId: p\nUser: chefe"),
              simEventIs(QStringLiteral("ZXUserPermissionsComplete")));
    const QList<TSimTestPacket> details = eventsNamed(answer, QStringLiteral("ZXUserPermissionDetail"));
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
    const QList<TSimTestPacket> huge = c.ask(tableQuery(QStringLiteral("big"), QStringLiteral("user"),
                                                QStringLiteral("randomblob(50000000) AS Grande")),
                                     simAnyResponse());
    QCOMPARE(huge.size(), 1);
    QCOMPARE(huge.first().response(), QStringLiteral("Error"));
}

void TestSimServer::chatPort() {
    startServer();
    TSimTestClient c(m_server->chatPort());
    QList<TSimTestPacket> answer =
        c.ask(QStringLiteral("Action: Agentsonline\nActionId: AgentsChat"), simAnyResponse());
    QCOMPARE(c.greeting, QByteArray("Vesmara Call Manager/1.1"));
    QCOMPARE(answer.first().value(QStringLiteral("Message")), QStringLiteral("Permission denied"));
    answer = c.ask(
        QStringLiteral("Action: Login\nUsername: supervisor\nSecret: kaluvre\nActionId: login"),
        simAnyResponse());
    QCOMPARE(answer.first().response(), QStringLiteral("Success"));
    answer = c.ask(QStringLiteral("Action: Agentsonline\nActionId: AgentsChat"), simAnyResponse());
    QCOMPARE(answer.first().response(), QStringLiteral("Error"));
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), QStringLiteral("AgentsChat"));
    // No events follow the chat login.
    QCOMPARE(c.packets.size(), 3);
}

void TestSimServer::receivedActionsAreRecorded() {
    startServer();
    QSignalSpy spy(m_server.get(), &TPbxServer::actionReceived);
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    c.ask(QStringLiteral("Action: Ping\nActionId: p"), simAnyResponse());
    const QStringList actions = m_server->receivedActions();
    QCOMPARE(actions.size(), 2);
    QVERIFY(actions.at(0).startsWith(u"Action: Login\r\nUsername: supervisor\r\n"));
    QCOMPARE(actions.at(1), QStringLiteral("Action: Ping\r\nActionId: p\r\n\r\n"));
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("Ping"));
}

void TestSimServer::dropAfter_data() {
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("chunk");
    QTest::newRow("after the login response") << 1 << 0;
    QTest::newRow("after the booted events") << 3 << 0;
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
    const QList<TSimTestPacket> answer = c.ask(QStringLiteral("Action: QueueStatus\nActionId: q\nQueue: 3"),
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
        [](const TSimTestPacket& p) { return p.value(QStringLiteral("ActionID")) == u"vivo"; }, 30000);
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
    const QString path = dir.filePath(QStringLiteral("roteiro.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();
    TSimOptions options = freePorts();
    options.scriptFile = path;
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
    const QString path = dir.filePath(QStringLiteral("roteiro.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("auto off\n\nexpect Logoff\n");
    file.close();
    TSimOptions options = freePorts();
    options.scriptFile = path;
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
