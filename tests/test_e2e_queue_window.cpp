// The desktop program against the simulator: a queue window opened from "Exibir" lists exactly
// the queue's members and waiting calls as the simulator has them while calls come and go, a
// member added by the server reaches only that queue's window, and the window comes back after
// the connection is lost and made again.
#include "app/TfrmMain.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "sim/TSimState.h"
#include "sim/TSimTraffic.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TGraficoPizza.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasFila.h"
#include "ui/windows/TfrmFila.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestE2eQueueWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<TPbxServer> server;
    TSimOptions options;

    void Perfil() {
        TIniFile(dir.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(dir.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server->managerPort());
        profile.WriteString("Conexao", "Usuario", "demo");
        profile.WriteString("Conexao", "Senha", "demo");
        profile.WriteBool("Conexao", "SalvarSenha", true);
    }
    // The "Exibir" entry of a queue, under the voice queues' submenu.
    static QAction* EntradaDaFila(TfrmMain& main, const TFila* f) {
        for (QAction* a : main.MenuExibir()->actions())
            if (QMenu* sub = a->menu(); sub && sub->objectName() == "MenuExibirFilasCallCenter")
                for (QAction* item : sub->actions())
                    if (item->text() == f->QueueCaption()) return item;
        return nullptr;
    }
    static QStringList Membros(TfrmFila* w) {
        QStringList ids;
        const TModeloLista<TAgente>* m = w->Membros()->Modelo();
        for (int r = 0; r < m->Linhas(); ++r)
            ids << m->Objeto(r)->AgentNumber();
        ids.sort();
        return ids;
    }
    static QStringList Chamadas(TfrmFila* w) {
        QStringList nomes;
        const TModeloLista<TChannel>* m = w->Chamadas()->Modelo();
        for (int r = 0; r < m->Linhas(); ++r)
            nomes << m->Objeto(r)->Channel();
        return nomes;
    }
    // The simulator's members that are agents of the monitor, and its waiting callers in line.
    QStringList MembrosSim(const QString& fila, const TMonitor& monitor) const {
        QStringList ids;
        for (const TSimQueueMember& m : server->state()->queue(fila)->members)
            if (monitor.Agentes.Procura(m.agentId)) ids << m.agentId;
        ids.sort();
        return ids;
    }
    QStringList ChamadasSim(const QString& fila) const {
        QStringList nomes;
        for (const QString& uid : server->state()->queue(fila)->waiting)
            if (const TSimChannel* c = server->state()->channel(uid)) nomes << c->name;
        return nomes;
    }
    // A voice queue with members, and another voice queue.
    static std::pair<TFila*, TFila*> DuasFilas(TMonitor& monitor) {
        TFila* com = nullptr;
        TFila* outra = nullptr;
        for (int i = 0; i < monitor.Filas.Count(); ++i) {
            TFila* f = monitor.Filas.Item(i);
            if (f->EhChat()) continue;
            if (!com && f->Members.Count() > 0)
                com = f;
            else if (!outra)
                outra = f;
        }
        return {com, outra};
    }

private Q_SLOTS:
    void init() {
        server = std::make_unique<TPbxServer>();
        options.port = 0;
        options.chatPort = 0;
        QVERIFY(server->start(options));
        Perfil();
    }
    void cleanup() { server.reset(); }

    void rowsFollowTheSimulator() {
        TfrmMain main(dir.path() + u'/');
        main.Monitor()->PortaChat = server->chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        TMonitor& monitor = *main.Monitor();
        const auto [fila, outra] = DuasFilas(monitor);
        QVERIFY(fila && outra);
        QAction* entrada = EntradaDaFila(main, fila);
        QVERIFY(entrada);
        entrada->trigger();
        TfrmFila* w = main.ProcuraTelaFila("Fila" + fila->FilaId());
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), fila->QueueCaption());
        // The simulator counts call reasons: the chart is there, at its first level.
        QVERIFY(monitor.CallReasonsCounted);
        QVERIFY(w->Panel()->Grafico()->isVisibleTo(w));
        QCOMPARE(w->Panel()->Grafico()->Titulo(), QStringLiteral("Motivos"));
        TfrmFila* w2 = main.CriaTelaFila(outra);
        QVERIFY(w2 && w2 != w);
        // Opening again brings the same window forward.
        QCOMPARE(main.CriaTelaFila(fila), w);

        QCOMPARE(Membros(w), MembrosSim(fila->FilaId(), monitor));
        TSimTraffic& traffic = *server->traffic();
        QStringList uids;
        for (int i = 0; i < 4; ++i) {
            uids << traffic.startIncomingCall(fila->FilaId());
            QVERIFY(!uids.back().isEmpty());
        }
        QTRY_COMPARE_WITH_TIMEOUT(Chamadas(w), ChamadasSim(fila->FilaId()), 10000);
        QCOMPARE(Chamadas(w).size(), 4);
        QVERIFY(Chamadas(w2).isEmpty());
        QVERIFY(traffic.hangup(uids[1]));
        QTRY_COMPARE_WITH_TIMEOUT(Chamadas(w), ChamadasSim(fila->FilaId()), 10000);
        QCOMPARE(Chamadas(w).size(), 3);
        QCOMPARE(w->Chamadas()->Modelo()->Linhas(), 3);

        // A logged-in agent joins the other queue: only that queue's window shows it.
        QString novo;
        monitor.Agentes.ParaCada([&](const TAgente* a) {
            if (novo.isEmpty() && a->GetState(0) != AgentState::Indisponivel &&
                !outra->HasMember("Agent/" + a->AgentNumber()) &&
                !fila->HasMember("Agent/" + a->AgentNumber()))
                novo = a->AgentNumber();
        });
        QVERIFY(!novo.isEmpty());
        const QStringList antes = Membros(w);
        QVERIFY(monitor.AdicionaNaFila(monitor.Agentes.Procura(novo), outra, 0));
        QTRY_VERIFY_WITH_TIMEOUT(Membros(w2).contains(novo), 10000);
        QCOMPARE(Membros(w2), MembrosSim(outra->FilaId(), monitor));
        QCOMPARE(Membros(w), antes);
        main.close();
    }

    void reopenedAfterReconnection() {
        const quint16 port = server->managerPort();
        TfrmMain main(dir.path() + u'/');
        main.Monitor()->PortaChat = server->chatPort();
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        main.show();
        QVERIFY(loaded.wait(20000));
        TFila* fila = DuasFilas(*main.Monitor()).first;
        QVERIFY(fila);
        // The model is rebuilt on reconnection: only the identifier outlives it.
        const QString id = fila->FilaId();
        const QString nome = "Fila" + id;
        TfrmFila* w = main.CriaTelaFila(fila);
        QVERIFY(w);
        w->Chamadas()->SetModoVisualizacao(1);
        w->MostraSecao(TfrmFila::Cabecalho, false);

        server->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!main.ProcuraTelaFila(nome), 10000);
        QVERIFY(TIniFile(dir.path() + "/MonitorVesmaraSim.ini")
                    .ReadString("Preferencias", "TelasAbrir")
                    .split(',')
                    .contains(nome));
        server = std::make_unique<TPbxServer>();
        options.port = port;
        QVERIFY(server->start(options));
        main.Monitor()->PortaChat = server->chatPort();
        main.Monitor()->ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(20000));
        TfrmFila* again = main.ProcuraTelaFila(nome);
        QVERIFY(again);
        // A new model: the window shows the queue object of this load, with its settings.
        QVERIFY(again->Fila());
        QCOMPARE(again->Fila(), main.Monitor()->Filas.Procura(id));
        QCOMPARE(again->Chamadas()->ModoVisualizacao(), 1);
        QVERIFY(!again->SecaoVisivel(TfrmFila::Cabecalho));
        QCOMPARE(Membros(again), MembrosSim(again->Fila()->FilaId(), *main.Monitor()));
        main.close();
    }
};

QTEST_MAIN(TestE2eQueueWindow)
#include "test_e2e_queue_window.moc"
