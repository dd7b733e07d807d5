// The desktop program against the simulator: the agents window opened from "Exibir", a pause
// with a reason sent from its pop-up menu and shown once the simulator obeys, and the window
// reopened with its settings after the connection is lost and made again.
#include "app/TfrmMain.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "ui/lists/TModeloLista.h"
#include "ui/windows/TMenuAtendente.h"
#include "ui/windows/TfrmAgentes.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestE2eAgentsWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // The agents entry of "Exibir" ("Atendentes CallCenter" when the chat queues count).
    static QAction* EntradaAtendentes(TfrmMain& main) {
        for (QAction* a : main.MenuExibir()->actions())
            if (a->text() == u"Atendentes" || a->text() == u"Atendentes CallCenter") return a;
        return nullptr;
    }

    static QString Estado(TfrmAgentes* w, TAgente* a) {
        const int row = w->Modelo()->LinhaDe(a);
        return row < 0 ? QString() : w->Modelo()->Texto(row, 2);
    }

private Q_SLOTS:
    // "Exibir" and the agents the window lists, for each demo user: unrestricted, restricted in
    // the older permission tables (agents 1001 to 1010), restricted by the newer permission
    // events (every agent), and management allowed or not in the pop-up menu.
    void menuAndRowsPerUser_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("manage");
        QTest::newRow("demo") << "demo" << 20 << true;
        QTest::newRow("restrito") << "restrito" << 10 << true;
        QTest::newRow("gerente") << "gerente" << 20 << true;
    }
    void menuAndRowsPerUser() {
        QFETCH(QString, user);
        QFETCH(int, rows);
        QFETCH(bool, manage);
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server.start(options));
        QTemporaryDir pasta;
        TIniFile(pasta.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(pasta.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server.managerPort());
        profile.WriteString("Conexao", "Usuario", user);
        profile.WriteString("Conexao", "Senha", user);
        profile.WriteBool("Conexao", "SalvarSenha", true);
        TfrmMain main(pasta.path() + u'/');
        main.Monitor()->PortaChat = server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        QVERIFY(EntradaAtendentes(main));
        EntradaAtendentes(main)->trigger();
        TfrmAgentes* w = main.ProcuraTelaAgentes("Atendentes");
        QVERIFY(w);
        QCOMPARE(w->Modelo()->Linhas(), rows);
        w->SelecionaAgente(w->AgenteDaLinha(0));
        std::unique_ptr<QMenu> menu(w->MontaMenu());
        QCOMPARE(menu->actions().first()->menu()->isEnabled(), manage);
        main.close();
    }

    void pauseFromTheMenuAndReopenAfterReconnection() {
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server.start(options));
        const quint16 port = server.managerPort();
        TIniFile(dir.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(dir.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", port);
        profile.WriteString("Conexao", "Usuario", "demo");
        profile.WriteString("Conexao", "Senha", "demo");
        profile.WriteBool("Conexao", "SalvarSenha", true);

        TfrmMain main(dir.path() + u'/');
        main.Monitor()->PortaChat = server.chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        QCOMPARE(main.PainelStatus()->text(),
                 QStringLiteral("Conectado ao Vesmara (IP: 127.0.0.1). "));

        // "Exibir" > "Atendentes" (the chat queue of the demo makes it "Atendentes CallCenter").
        QStringList exibir;
        for (QAction* a : main.MenuExibir()->actions())
            exibir << a->text();
        QVERIFY(exibir.contains("Atendentes") || exibir.contains("Atendentes CallCenter"));
        EntradaAtendentes(main)->trigger();
        TfrmAgentes* w = main.ProcuraTelaAgentes("Atendentes");
        QVERIFY(w);
        TAgente* a = main.Monitor()->Agentes.Procura("1001");
        QVERIFY(a);
        QCOMPARE(Estado(w, a), QStringLiteral("Livre"));

        w->SelecionaAgente(a);
        w->Gerencia()->Pergunta = [](const TConfirmacao&) { return true; };
        w->Gerencia()->ColocaEmPausa(2);
        QTRY_COMPARE_WITH_TIMEOUT(Estado(w, a), QStringLiteral("Em pausa (I - Banheiro)"), 10000);
        QVERIFY(server.receivedActions().contains(
            "Action: QueuePause\r\nInterface: Agent/1001\r\nPaused: 1\r\nReason: 2\r\n\r\n"));
        w->Gerencia()->RetiraDaPausa();
        QTRY_COMPARE_WITH_TIMEOUT(Estado(w, a), QStringLiteral("Livre"), 10000);

        // A setting of the window, then the connection drops: the window closes (saving it) and
        // comes back after the reconnection.
        w->SetModoVisualizacao(1);
        server.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!main.ProcuraTelaAgentes("Atendentes"), 10000);
        QCOMPARE(TIniFile(dir.path() + "/MonitorVesmaraSim.ini")
                     .ReadString("Preferencias", "TelasAbrir"),
                 QStringLiteral("Atendentes"));
        TPbxServer again;
        options.port = port;
        QVERIFY(again.start(options));
        main.Monitor()->PortaChat = again.chatPort();
        main.Monitor()->ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(20000));
        TfrmAgentes* reopened = main.ProcuraTelaAgentes("Atendentes");
        QVERIFY(reopened);
        QCOMPARE(reopened->ModoVisualizacao(), 1);
        main.close();
    }
};

QTEST_MAIN(TestE2eAgentsWindow)
#include "test_e2e_agents_window.moc"
