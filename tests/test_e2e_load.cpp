// The whole connection life against the simulator, in-process on free ports: login of each
// demo user, the load sequence in order, refusals, and a lost connection with reconnection.
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "support/TRecordingUi.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QStringList kLoad = {
    "ZXTimeStamp", "ZXDBListaPerfilConfiguracao", "ZXDBListaPortas", "ZXDBListaRamais",
    "ZXDBListaTroncos", "SIPPeers", "KhompChannels", "DahdiChannels", "ZXDBListaMotivosPausa",
    "ZXDBListaAgentes", "ZXDBListaFilas", "ZXDBListaCampanhas", "Agents", "Status",
    "ZXDBChamadasAtivasFilas", "QueueCallReasonCount", "ZXDBUsuariosVesmara", "QueueStatus",
    "UserInChat", "GetUsersIn", "UnreadMessagesUserInChat",
    // The end of the load asks for the campaign summaries.
    "ZXDBDisClientesTotal", "ZXDBDisClientesDiscar", "ZXDBDisStatusDiscagem",
    "ZXDBDisClientesAgendados", "ZXDBDisTelefonesTotal", "ZXDBDisTelefonesDiscar",
    "ZXDBDisTelefonesTentativasExcedidas", "ZXDBDisTelefonesAgendados",
    "ZXDBDisTelefonesDesativados", "ZXDBDisStatusChamadas", "ZXDBDisClassificacaoChamadas"};

// "ActionId" of an action text, or its "VChatAction" when it has none.
QString Id(const QString& action) {
    QString vchat;
    for (const QString& line : action.split("\r\n")) {
        if (line.startsWith("ActionId: ")) return line.mid(10);
        if (line.startsWith("VChatAction: ")) vchat = line.mid(13);
    }
    return vchat;
}

} // namespace

class TestE2eLoad : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TRecordingUi> ui;
    std::unique_ptr<TMonitor> monitor;
    QStringList sent;

    void StartServer(quint16 port = 0) {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = port;
        options.chatPort = 0;
        QString error;
        QVERIFY2(server->start(options, &error), qPrintable(error));
    }
    // A monitor with a settings folder holding one profile for the simulator.
    void MakeMonitor(const QString& user, const QString& password, bool save) {
        TIniFile global(dir.path() + "/MonitorVesmara.ini");
        global.WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(dir.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server->managerPort());
        profile.WriteString("Conexao", "Usuario", user);
        profile.WriteString("Conexao", "Senha", save ? password : QString());
        profile.WriteBool("Conexao", "SalvarSenha", save);
        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ui->Assina(monitor->Avisos());
        monitor->Inicia(dir.path() + u'/');
        monitor->PortaChat = server->chatPort();
        monitor->LogAtivo = true;
        sent.clear();
        connect(monitor.get(), &TMonitor::ActionSent, this,
                [this](const QString& a) { sent << Id(a); });
    }

private Q_SLOTS:
    void init() { QDir(dir.path()).removeRecursively(), QDir().mkpath(dir.path()); }
    void cleanup() {
        monitor.reset();
        ui.reset();
        server.reset();
    }

    void eachDemoUserLoads_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("permissions");
        QTest::addColumn<QString>("visibleQueues");
        QTest::newRow("unrestricted") << "demo" << QStringList{} << "12345";
        QTest::newRow("old form") << "restrito"
                                  << QStringList{"ZXDBListaPermissaoUsuario",
                                                 "ZXDBListaPermissaoUsuarioExtra"}
                                  << "12";
        QTest::newRow("new form") << "gerente" << QStringList{"ZXGetUserPermissions"} << "1345";
    }
    void eachDemoUserLoads() {
        QFETCH(QString, user);
        QFETCH(QStringList, permissions);
        QFETCH(QString, visibleQueues);
        StartServer();
        MakeMonitor(user, user, true);
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->Mostrado();
        QVERIFY(loaded.wait(15000));

        QCOMPARE(sent, (QStringList{"login", "ZXDBLoginVesmara"} + permissions + kLoad));
        QCOMPARE(ui->loginDialogs, QList<int>());
        QCOMPARE(ui->status.last(), QStringLiteral("Conectado ao Vesmara (IP: 127.0.0.1). "));
        QCOMPARE(ui->status.mid(0, 4),
                 (QStringList{"Conectando ao Vesmara (127.0.0.1)", "Conectado ao Vesmara",
                              "Efetuando login no Vesmara...", "Carregando configuração..."}));
        QVERIFY(ui->status.contains("Carregando status das filas..."));
        QVERIFY(ui->log.contains("TerminouCargaDeDados"));
        QCOMPARE(ui->usuario.last(), u"Usuário: " + user);
        QCOMPARE(monitor->PerfilConfiguracaoId, QStringLiteral("1"));
        QVERIFY(monitor->Carregado());
        QString seen;
        for (int q = 1; q <= 5; ++q)
            if (monitor->TemPermissaoFilaId(QString::number(q))) seen += QString::number(q);
        QCOMPARE(seen, visibleQueues);
        QVERIFY(monitor->UsuariosVesmara.Count() > 0);
    }

    void wrongPasswordAsksAgain() {
        StartServer();
        MakeMonitor("demo", "errada", true);
        monitor->Mostrado();
        QTRY_COMPARE_WITH_TIMEOUT(ui->loginDialogs, QList<int>{2}, 10000);
        QCOMPARE(ui->status.last(), QStringLiteral("Erro: Dados do usuário incorretos"));
        QVERIFY(!sent.contains("ZXTimeStamp"));
        // The person types the right password in the dialog.
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->LoginPeloDialogo("demo", "demo", false, 2);
        QVERIFY(loaded.wait(15000));
        QCOMPARE(
            TIniFile(dir.path() + "/MonitorVesmaraSim.ini").ReadString("Conexao", "Senha", "x"),
            QString());
    }

    void withoutSavedPasswordTheLoginDialogAsks() {
        StartServer();
        MakeMonitor("demo", "demo", false);
        monitor->Mostrado();
        QTRY_COMPARE_WITH_TIMEOUT(ui->loginDialogs, QList<int>{0}, 10000);
        QCOMPARE(sent, QStringList{"login"});
    }

    void injectionAttemptLogsNobodyIn() {
        StartServer();
        MakeMonitor("x\" or 1=1 or \"", "qualquer", true);
        monitor->Mostrado();
        QTRY_COMPARE_WITH_TIMEOUT(ui->loginDialogs, QList<int>{1}, 10000);
        QCOMPARE(ui->status.last(), QStringLiteral("Erro: Dados do usuário incorretos"));
        QVERIFY(sent.isEmpty());
        for (const QString& action : server->receivedActions())
            QVERIFY(!action.contains(u"1=1"));
    }

    void unreachableServerReportsTheSocketError() {
        StartServer();
        const quint16 port = server->managerPort();
        server->stop();
        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ui->Assina(monitor->Avisos());
        monitor->Inicia(QString());
        monitor->IP = "127.0.0.1";
        monitor->Porta = port;
        monitor->Conectar();
        QTRY_COMPARE(ui->status.last(),
                     QStringLiteral("Erro 10061: Conexão encerrada pelo servidor"));
        QCOMPARE(ui->erros, QStringList{"Erro 10061: Conexão encerrada pelo servidor"});
        // Half a second later the connection dialog opens, without a countdown.
        QTRY_COMPARE(ui->connectionDialogs, QList<int>{0});
    }

    void lostConnectionRecordsWindowsAndReconnects() {
        StartServer();
        const quint16 port = server->managerPort();
        MakeMonitor("demo", "demo", true);
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->Mostrado();
        QVERIFY(loaded.wait(15000));
        ui->openWindows = {"Atendentes", "Fila1"};

        server->stop();
        QTRY_COMPARE(ui->status.last(), QStringLiteral("Desconectado do Vesmara"));
        QVERIFY(monitor->Reconnecting());
        QCOMPARE(monitor->CloseStep, QStringLiteral("9"));
        QCOMPARE(monitor->UsuariosVesmara.Count(), 0);
        QCOMPARE(ui->usuario.last(), QStringLiteral("Usuário: "));
        QCOMPARE(TIniFile(dir.path() + "/MonitorVesmaraSim.ini")
                     .ReadString("Preferencias", "TelasAbrir"),
                 QStringLiteral("Atendentes,Fila1"));
        QTRY_COMPARE(ui->connectionDialogs, QList<int>{20});

        // The countdown ends and the dialog presses "Conectar" with the profile's address.
        StartServer(port);
        monitor->ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(15000));
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(ui->reopened, (QStringList{"Atendentes", "Fila1"}));
        // Connected again: errors are no longer taken for those of the lost connection (the
        // main window would keep them from the user for the rest of the run).
        QVERIFY(!monitor->Reconnecting());
        QVERIFY(monitor->Carregado());
        QCOMPARE(monitor->Estado(), EstadoConexao::Conectado);
    }
};

QTEST_GUILESS_MAIN(TestE2eLoad)
#include "test_e2e_load.moc"
