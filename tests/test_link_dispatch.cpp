// The dispatcher: responses advancing the load sequence, event routing, the link's own events,
// the drain and its error handling. The monitor talks to a hand-driven loopback peer.
#include "base/Clock.h"
#include "base/Md5.h"
#include "monitor/TMonitor.h"
#include "support/TFakeServer.h"
#include "support/TRecordingUi.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
QString Event(const QString& name, const QStringList& lines = {}) {
    return (QStringList{u"Event: " + name} + lines).join("\r\n") + "\r\n\r\n";
}
} // namespace

class TestLinkDispatch : public QObject {
    Q_OBJECT

    std::unique_ptr<TFakeServer> server;
    std::unique_ptr<TRecordingUi> ui;
    std::unique_ptr<TMonitor> monitor;

    // Connects the monitor to the fake server; returns once the login action arrived.
    void Connect(const QString& user = QStringLiteral("demo")) {
        monitor->IP = QStringLiteral("127.0.0.1");
        monitor->Porta = server->Port();
        monitor->Usuario = user;
        monitor->Senha = QStringLiteral("demo");
        monitor->SalvarSenha = true;
        monitor->Conectar();
        QTRY_VERIFY(server->HasPeer());
        QTRY_COMPARE(server->actions.size(), 1);
    }
    void Feed(const QString& packet) {
        monitor->TrataManagerPacket(monitor->ManagerConnection(), packet);
    }
    // The ActionIds sent since the mark.
    QStringList SentSince(int mark) { return server->ActionIds().mid(mark); }

private Q_SLOTS:
    void init() {
        server = std::make_unique<TFakeServer>();
        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ui->Assina(monitor->Avisos());
        monitor->Inicia(QString());
        monitor->LogAtivo = true;
    }
    void cleanup() {
        monitor.reset();
        ui.reset();
        server.reset();
        SetServerClockOffset(0);
    }

    void managerLoginText() {
        Connect();
        QCOMPARE(server->actions.first(),
                 QStringLiteral(
                     "Action: Login\r\nUsername: supervisor\r\nSecret: kaluvre\r\n"
                     "ClientType: MonitorVesmara\r\nClientName: Monitor Vesmara\r\n"
                     "ClientVersion: 1.0.57.6\r\nVesmaraUser: demo\r\nActionId: login\r\n\r\n"));
        QCOMPARE(ui->status,
                 (QStringList{"Conectando ao Vesmara (127.0.0.1)", "Conectado ao Vesmara"}));
    }

    void loginRefusedStopsEverything() {
        Connect();
        server->Send(
            "Vesmara Call Manager/1.1\r\nResponse: Error\r\nActionID: login\r\nMessage: x\r\n\r\n");
        QTRY_COMPARE(ui->status.last(), QStringLiteral("Erro de login no Vesmara"));
        QTest::qWait(200);
        QCOMPARE(server->actions.size(), 1);
        QVERIFY(!monitor->TimerLogin.isActive());
    }

    void fullyBootedShortensTheWaitAndPasswordTravelsHashed() {
        Connect();
        server->Send("Vesmara Call Manager/1.1\r\nResponse: Success\r\nActionID: login\r\n\r\n");
        QTRY_VERIFY(monitor->TimerLogin.isActive());
        QCOMPARE(monitor->TimerLogin.interval(), 3000);
        server->SendPacket({"Event: FullyBooted", "Version: 1.2.70.0", "UsarLoginWindows: 0"});
        QTRY_COMPARE(monitor->TimerLogin.interval(), 50);
        QTRY_COMPARE(server->actions.size(), 2);
        QCOMPARE(monitor->ServerVersion, QStringLiteral("1.2.70.0"));
        QCOMPARE(
            server->actions[1],
            u"Action: ZXDBCommand\r\nActionId: ZXDBLoginVesmara\r\nCommand: List\r\nTable: user\r\n"
            u"Filter: where user = \"demo\"and pass = "
            u"\"fe01ce2a7fbac8fafaed7c982a04e229\"\r\n\r\n");
        QVERIFY(!server->actions[1].contains(u"Senha"));
        QCOMPARE(Md5Hex(QStringLiteral("demo")),
                 QStringLiteral("fe01ce2a7fbac8fafaed7c982a04e229"));
    }

    void windowsLoginUsesTheLowerCasedWindowsUser() {
        Connect();
        monitor->WindowsUser = QStringLiteral("Maria.Souza");
        Feed(Event("FullyBooted", {"UsarLoginWindows: 1"}));
        QVERIFY(monitor->UsarLoginWindows);
        monitor->Logar();
        QTRY_COMPARE(server->actions.size(), 2);
        QVERIFY(server->actions[1].contains(u"Filter: where lower(user) = \"maria.souza\"\r\n"));
    }

    void injectedUserNameNeverReachesTheWire_data() {
        QTest::addColumn<QString>("user");
        QTest::newRow("double quote") << QStringLiteral("x\" or 1=1 or \"");
        QTest::newRow("single quote") << QStringLiteral("x' or '1'='1");
        QTest::newRow("backslash") << QStringLiteral("x\\");
        QTest::newRow("line break") << QStringLiteral("x\r\nAction: Logoff");
    }
    void injectedUserNameNeverReachesTheWire() {
        QFETCH(QString, user);
        monitor->IP = QStringLiteral("127.0.0.1");
        monitor->Porta = server->Port();
        monitor->Usuario = user;
        monitor->Conectar();
        QTRY_COMPARE(ui->loginDialogs, QList<int>{1});
        QCOMPARE(ui->status.last(), QStringLiteral("Erro: Dados do usuário incorretos"));
        QTest::qWait(100);
        QVERIFY(server->actions.isEmpty());
        // Nor through the user query of an open connection.
        monitor->Logar();
        QTest::qWait(50);
        QVERIFY(server->actions.isEmpty());
    }

    void failedQueryAdvancesWithoutResponseLine() {
        Connect();
        const int mark = int(server->ActionIds().size());
        ui->log.clear();
        Feed("Response: Error\r\nActionID: ZXDBListaRamais\r\nZXDBActionID: "
             "ZXDBListaRamais\r\nMessage: x\r\n\r\n");
        QCOMPARE(ui->status.last(), QStringLiteral("Carregando troncos..."));
        QTRY_COMPARE(SentSince(mark), QStringList{"ZXDBListaTroncos"});
        for (const QString& l : ui->log)
            QVERIFY(!l.startsWith(u"Response = "));
    }

    void successWaitsForItsCompleteEvent() {
        Connect();
        const int mark = int(server->ActionIds().size());
        Feed(
            "Response: Success\r\nActionID: Status\r\nMessage: Channel status will follow\r\n\r\n");
        QCOMPARE(ui->log.last(),
                 QStringLiteral(
                     "Response = Success, ActionId = Status, Message=Channel status will follow"));
        QTest::qWait(50);
        QCOMPARE(SentSince(mark), QStringList());
        Feed(Event("StatusComplete", {"ActionID: Status"}));
        QCOMPARE(ui->status.last(), QStringLiteral("Carregando chamadas nas filas..."));
        QTRY_COMPARE(SentSince(mark), QStringList{"ZXDBChamadasAtivasFilas"});
    }

    void commandOutputAdvancesAtOnce() {
        Connect();
        const int mark = int(server->ActionIds().size());
        Feed("Response: Follows\r\nActionID: SIPPeers\r\nPrivilege: "
             "Command\r\nName/username\r\n--END COMMAND--\r\n\r\n");
        QTRY_COMPARE(SentSince(mark), QStringList{"KhompChannels"});
        QVERIFY(server->actions.last().contains(u"Command: khomp channels show\r\n"));
    }

    void eventNamesIgnoreLetterCase_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower") << "zxdbcomplete";
        QTest::newRow("upper") << "ZXDBCOMPLETE";
        QTest::newRow("mixed") << "ZxDbComplete";
    }
    void eventNamesIgnoreLetterCase() {
        QFETCH(QString, name);
        Connect();
        Feed(Event(name, {"ZXDBActionID: ZXDBListaPortas"}));
        QCOMPARE(ui->status.last(), QStringLiteral("Carregando ramais..."));
    }

    void timeStampSetsTheOffset_data() {
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("offset");
        QTest::newRow("ahead") << 30 << 30;
        QTest::newRow("behind") << -30 << -30;
    }
    void timeStampSetsTheOffset() {
        QFETCH(int, delta);
        QFETCH(int, offset);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        // Pin the local clock to the exact second the stamp is compared with.
        SetLocalClockForTesting(
            [now] { return DateTimeToDays(QDateTime::fromSecsSinceEpoch(now)); });
        Feed(Event("ZXTimeStamp", {u"TimeStamp: " + QString::number(now + delta)}));
        SetLocalClockForTesting({});
        QCOMPARE(ServerClockOffset(), offset);
        QVERIFY(
            ui->log.last().startsWith(u"TimeStamp=" + QString::number(now + delta) + u", DTServ="));
        QVERIFY(ui->log.last().endsWith(u", Diff=" + QString::number(offset)));

        Feed(Event("ZXTimeStamp", {"TimeStamp: "}));
        QCOMPARE(ServerClockOffset(), offset);
        QVERIFY(ui->log.last().startsWith(u"TimeStamp=, DTServ="));
    }

    void unsolicitedRecountRefreshesChartsOnly() {
        Connect();
        const int mark = int(server->ActionIds().size());
        QSignalSpy recount(monitor.get(), &TMonitor::CallReasonsRecounted);
        Feed(Event("QueueCallReasonCountComplete"));
        QCOMPARE(recount.size(), 1);
        QVERIFY(monitor->CallReasonsCounted);
        Feed(Event("QueueCallReasonCountComplete", {"ActionID: QueueCallReasonCount"}));
        QCOMPARE(recount.size(), 1);
        QTRY_COMPARE(SentSince(mark), QStringList{"ZXDBUsuariosVesmara"});
    }

    void tituloAndOtherPackets() {
        Feed(Event("Titulo", {"CSTA: 1"}));
        QVERIFY(monitor->ModoCSTA);
        Feed(Event("Titulo", {"CSTA: 0"}));
        QVERIFY(!monitor->ModoCSTA);
        Feed("Foo: bar\r\n\r\n");
        Feed("");
        Feed(Event("NoSuchEvent"));
        QVERIFY(ui->erros.isEmpty());
    }

    void chatEventsOnlyWithAChatStarted() {
        Connect();
        const int mark = int(server->ActionIds().size());
        const QString complete =
            Event("UserEvent", {"UserEvent: VChatEvent", "VChatEvent: unreadmessagescomplete",
                                "ActionID: UnreadMessagesUserInChat"});
        Feed(complete);
        QCOMPARE(ui->loadsFinished, 0);
        Feed(Event("FullyBooted", {"Version: 1.2.70.0"}));
        // The chat steps follow the queue status.
        Feed(Event("QueueStatusComplete", {"ActionID: QueueStatus"}));
        Feed("Response: Success\r\nActionID: UserInChat\r\n\r\n");
        QVERIFY(monitor->ChatIniciado);
        QTRY_COMPARE(SentSince(mark), (QStringList{"UserInChat", "UnreadMessagesUserInChat"}));
        Feed(complete); // no chat queue: the load ends here
        QCOMPARE(ui->loadsFinished, 1);
        QCOMPARE(ui->status.last(), QStringLiteral("Conectado ao Vesmara (IP: 127.0.0.1). "));
    }

    void anErrorInAHandlerDoesNotStopTheDrain() {
        Connect();
        // A profile name with a quote cannot go into the permission filter: that handler fails.
        server->SendPacket({"Event: ZXDBEvent", "ZXDBActionID: ZXDBLoginVesmara", "user: ana",
                            "tipo: u", "perfil: Ope\"radores"});
        server->SendPacket({"Event: ZXDBComplete", "ZXDBActionID: ZXDBLoginVesmara"});
        server->SendPacket({"Event: Titulo", "CSTA: 1"});
        QTRY_VERIFY(monitor->ModoCSTA);
        QCOMPARE(ui->erros.size(), 1);
        QVERIFY(ui->log.contains(QStringLiteral("ERRO")));
        QVERIFY(monitor->Timer2.isActive());
    }

    void drainYieldsAndKeepsOrder() {
        // Thousands of packets queued at once are all handled, in order.
        for (int i = 0; i < 5000; ++i)
            monitor->OnClientManagerPacket(monitor->ManagerConnection(),
                                           Event("Titulo", {u"CSTA: " + QString::number(i % 2)}));
        monitor->Timer2Timer();
        QVERIFY(monitor->PacketQueue.empty());
        QVERIFY(monitor->ModoCSTA); // the last one carried 1
    }

    void packetsOfALostConnectionAreNotDispatched() {
        // Packets read before the server went away but not yet drained belong to the closed
        // connection: handled after the model was emptied, they would bring part of it back.
        Connect();
        monitor->Timer2.stop(); // the drain runs by hand below, after the loss
        monitor->OnClientManagerPacket(
            monitor->ManagerConnection(),
            Event("Newchannel", {"Channel: SIP/2001-01", "Uniqueid: 100.1", "State: Ring"}));
        server->Drop();
        QTRY_VERIFY(monitor->Reconnecting());
        monitor->Timer2Timer();
        QCOMPARE(monitor->Canais.Count(), 0);
        QVERIFY(monitor->PacketQueue.empty());
    }
};

QTEST_GUILESS_MAIN(TestLinkDispatch)
#include "test_link_dispatch.moc"
