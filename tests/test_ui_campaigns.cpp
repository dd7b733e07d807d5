// The campaign windows. On their own: the panel's campaign mode writes each counter into its
// row, the call scale follows the dialer calls, and a campaign that loses its queue or goes
// away with the model leaves a window that says so and holds nothing of it. Against the
// simulator: the "Discador" submenu of each demo user, the campaign window's agents, dialer
// calls and counters equal to the simulator's at the same moment, and a campaign stopped and
// started again on the server while its window and the summary are open.
#include "app/TfrmMain.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "sim/TPbxServer.h"
#include "sim/TSimDatabase.h"
#include "sim/TSimState.h"
#include "sim/TSimTraffic.h"
#include "support/TRecordingUi.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasCampanha.h"
#include "ui/windows/TfrmCampanha.h"
#include "ui/windows/TfrmCampanhas.h"

#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A figure of the panel as assistive technology reads it: "Iniciadas 2 de 4".
int Figura(const TPanelFila* p, const QString& nome) {
    const QRegularExpression re(QRegularExpression::escape(nome) + QStringLiteral(" (\\d+) de"));
    const QRegularExpressionMatch m = re.match(p->Descricao());
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QStringList Membros(const TfrmCampanha* w) {
    QStringList ids;
    const TModeloLista<TAgente>* m = w->Membros()->Modelo();
    for (int r = 0; r < m->Linhas(); ++r)
        ids << m->Objeto(r)->AgentNumber();
    ids.sort();
    return ids;
}

QStringList Chamadas(const TfrmCampanha* w) {
    QStringList nomes;
    const TModeloLista<TChannel>* m = w->Chamadas()->Modelo();
    for (int r = 0; r < m->Linhas(); ++r)
        nomes << m->Objeto(r)->Channel();
    nomes.sort();
    return nomes;
}

QStringList Textos(const QMenu* menu) {
    QStringList t;
    if (menu)
        for (const QAction* a : menu->actions())
            t << a->text();
    return t;
}

} // namespace

class TestUiCampaigns : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<TPbxServer> server;

    void Perfil(const QString& usuario) {
        TIniFile(dir.path() + "/MonitorVesmara.ini").WriteString("Geral", "ConexaoAtiva", "Sim");
        TIniFile profile(dir.path() + "/MonitorVesmaraSim.ini");
        profile.WriteString("Conexao", "IP", "127.0.0.1");
        profile.WriteInteger("Conexao", "Porta", server->managerPort());
        profile.WriteString("Conexao", "Usuario", usuario);
        profile.WriteString("Conexao", "Senha", usuario);
        profile.WriteBool("Conexao", "SalvarSenha", true);
        profile.WriteString("Preferencias", "TelasAbrir", "");
    }
    // A frame logged in with the campaign counters read.
    static bool Carrega(TfrmMain& main, quint16 chatPort) {
        main.Monitor()->PortaChat = chatPort;
        QSignalSpy loaded(main.Monitor(), &TMonitor::LoadFinished);
        QSignalSpy resumidas(main.Monitor(), &TMonitor::CampanhasResumidas);
        main.show();
        return loaded.wait(20000) && (resumidas.count() > 0 || resumidas.wait(20000));
    }
    QStringList MembrosSim(const QString& fila, const TMonitor& monitor) const {
        QStringList ids;
        for (const TSimQueueMember& m : server->state()->queue(fila)->members)
            if (monitor.Agentes.Procura(m.agentId)) ids << m.agentId;
        ids.sort();
        return ids;
    }
    // The simulator's live dialer calls of a campaign: all, or those still waiting in line.
    QStringList ChamadasSim(const QString& campanha, bool soEmEspera = false) const {
        QStringList nomes;
        for (const TSimChannel& c : server->state()->channels()) {
            if (c.variables.value("DisCampanha") != campanha) continue;
            if (soEmEspera && server->state()->waitingPosition(c.uniqueId) == 0) continue;
            nomes << c.name;
        }
        nomes.sort();
        return nomes;
    }
    // Calls into the campaign's queue until the simulator has `n` dialer calls of it.
    bool ChamadasDoDiscador(const QString& campanha, const QString& fila, int n) {
        for (int i = 0; i < 40 && ChamadasSim(campanha).size() < n; ++i)
            if (server->traffic()->startIncomingCall(fila).isEmpty()) return false;
        return ChamadasSim(campanha).size() >= n;
    }

private Q_SLOTS:
    void initTestCase() {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.dialerShare = 1;
        QString error;
        QVERIFY2(server->start(options, &error), qPrintable(error));
    }
    void cleanupTestCase() { server.reset(); }

    // --- The panel and the window on their own -----------------------------------------------

    void panelCounters_data() {
        QTest::addColumn<QString>("chave");
        QTest::addColumn<qint64>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("first of Clientes") << "CliTotal" << qint64(80) << "80";
        QTest::newRow("last of Clientes") << "CliAgendados" << qint64(4) << "4";
        QTest::newRow("Telefones") << "TelTentativasExcedidas" << qint64(12) << "12";
        QTest::newRow("last of Chamadas") << "ChNaoAtendidas" << qint64(2147483647) << "2147483647";
        // Counted but shown nowhere.
        QTest::newRow("no row") << "CliAtendidosFila" << qint64(9) << "";
        QTest::newRow("unknown") << "Vendas" << qint64(1) << "";
    }
    void panelCounters() {
        QFETCH(QString, chave);
        QFETCH(qint64, valor);
        QFETCH(QString, texto);
        TPanelFila panel(nullptr, true);
        const int largura = panel.sizeHint().width();
        panel.SetCampaign(true);
        for (int s = 0; s < TPanelFila::kSecoes; ++s)
            panel.SetSectionVisible(s, true);
        // The summary block takes the call reasons' place and more.
        QVERIFY(!panel.SectionVisible(TPanelFila::Motivos));
        QVERIFY(panel.sizeHint().width() > largura);
        QVERIFY(panel.InicioResumo() >= panel.AreaSecao(TPanelFila::Estatisticas).right());
        QCOMPARE(panel.CampaignValue(u"ChIniciadas"), QStringLiteral("0"));
        panel.SetCampaignValue(chave, valor);
        QCOMPARE(panel.CampaignValue(chave), texto);
        // Nothing else moved.
        int diferentes = 0;
        for (const TCampanha::TContador& k : TCampanha::Contadores())
            diferentes +=
                panel.CampaignValue(k.Nome) != u"0" && !panel.CampaignValue(k.Nome).isEmpty() ? 1
                                                                                              : 0;
        QCOMPARE(diferentes, texto.isEmpty() ? 0 : 1);
        if (!texto.isEmpty()) QVERIFY(panel.Descricao().contains(texto));
    }

    void callScale_data() {
        QTest::addColumn<int>("chamadas");
        QTest::addColumn<int>("escala");
        QTest::addColumn<int>("emAtendimento");
        QTest::newRow("none") << 0 << 1 << 0;
        QTest::newRow("three") << 3 << 4 << 0;
        QTest::newRow("four, one answered") << 4 << 4 << 1;
        QTest::newRow("seven") << 7 << 8 << 2;
    }
    void callScale() {
        QFETCH(int, chamadas);
        QFETCH(int, escala);
        QFETCH(int, emAtendimento);
        // Declared first: the campaigns (in the monitor) let go of them before they go.
        std::vector<std::unique_ptr<TChannel>> canais;
        TAgente agente("Agent/1001");
        TRecordingUi ui;
        TMonitor monitor(&ui);
        TFila* fila = monitor.Filas.Adiciona(std::make_unique<TFila>("12"));
        fila->Nome = "Suporte";
        TCampanha* c = monitor.Campanhas.Adiciona(std::make_unique<TCampanha>("7"));
        c->Nome = "Vendas";
        c->Ativa = 1;
        c->OnCampanhaEvent = [&monitor](TCampanha* s, TChannel* ch, TAvisoCampanha a) {
            monitor.OnCampanhaEvent(s, ch, a);
        };
        c->DefineFila(fila);
        for (int i = 0; i < chamadas; ++i) {
            canais.push_back(std::make_unique<TChannel>(QString("Khomp/B0C%1-1").arg(i)));
            TChannel* canal = canais.back().get();
            canal->CallerIdNum = QString("1199999000%1").arg(i);
            if (i < emAtendimento) {
                canal->LigacaoFila = std::make_unique<TLigacaoFila>();
                canal->LigacaoFila->DataAgente = &agente;
                canal->LigacaoFila->Atendimento = 1;
            }
            c->AdicionaChamada(canal);
        }
        TfrmCampanha w(&monitor);
        w.CriaCampanha(c);
        QCOMPARE(w.windowTitle(), QStringLiteral("Campanha 7 - Vendas (Fila 12 - Suporte)"));
        QCOMPARE(w.Panel()->Titulo(), QStringLiteral("7 - Vendas ( Fila 12 - Suporte )"));
        QCOMPARE(w.Panel()->CallScale(), escala);
        QCOMPARE(Figura(w.Panel(), "Iniciadas"), chamadas - emAtendimento);
        QCOMPARE(Figura(w.Panel(), "Atendendo"), emAtendimento);
        QCOMPARE(w.Chamadas()->Modelo()->Linhas(), chamadas);
        QVERIFY(w.Aviso().isEmpty());
        // The answered calls name their agent; the others are still the dialer's.
        int comAgente = 0;
        for (int r = 0; r < chamadas; ++r)
            comAgente += TListaChamadasCampanha::TextoAgente(*w.Chamadas()->ObjetoDaLinha(r))
                                 .startsWith("1001")
                             ? 1
                             : 0;
        QCOMPARE(comAgente, emAtendimento);
        // A call leaving the campaign leaves the list and the gauges at once.
        if (chamadas > 0) {
            c->RemoveChamada(canais.back().get());
            QCOMPARE(w.Chamadas()->Modelo()->Linhas(), chamadas - 1);
            QCOMPARE(Figura(w.Panel(), "Iniciadas") + Figura(w.Panel(), "Atendendo"), chamadas - 1);
        }
    }

    void campaignLosesItsQueueAndGoes_data() {
        QTest::addColumn<bool>("paraDeRodar");
        QTest::newRow("queue taken away") << false;
        QTest::newRow("campaign stopped") << true;
    }
    void campaignLosesItsQueueAndGoes() {
        QFETCH(bool, paraDeRodar);
        TChannel canal("Khomp/B0C1-1");
        TRecordingUi ui;
        auto monitor = std::make_unique<TMonitor>(&ui);
        TFila* fila = monitor->Filas.Adiciona(std::make_unique<TFila>("3"));
        TCampanha* c = monitor->Campanhas.Adiciona(std::make_unique<TCampanha>("1"));
        c->Ativa = 1;
        c->OnCampanhaEvent = [m = monitor.get()](TCampanha* s, TChannel* ch, TAvisoCampanha a) {
            m->OnCampanhaEvent(s, ch, a);
        };
        c->DefineFila(fila);
        c->AdicionaChamada(&canal);
        c->CliTotal = 80;
        TfrmCampanha w(monitor.get());
        w.CriaCampanha(c);
        QCOMPARE(w.Fila(), fila);
        QCOMPARE(w.Panel()->CampaignValue(u"CliTotal"), QStringLiteral("80"));

        if (paraDeRodar) c->Ativa = 0;
        c->DefineFila(nullptr);
        QCOMPARE(w.Fila(), nullptr);
        QCOMPARE(w.Panel()->Fila(), nullptr);
        QCOMPARE(w.Membros()->Modelo()->Linhas(), 0);
        QVERIFY(!w.Aviso().isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Campanha 1"));
        // Its calls are still the campaign's own.
        QCOMPARE(w.Chamadas()->Modelo()->Linhas(), 1);

        // The model is emptied with the window still open: nothing of it is held any more.
        c->RemoveChamada(&canal);
        TAvisos& avisos = monitor->Avisos();
        avisos.CampanhasLiberadas.Emite();
        monitor->Campanhas.Limpa();
        monitor->Filas.Limpa();
        QCOMPARE(w.Campanha(), nullptr);
        QCOMPARE(w.Chamadas()->Modelo()->Linhas(), 0);
        QCOMPARE(w.Aviso(), QStringLiteral("Esta campanha não está mais disponível."));
        // Its clock goes on without reading freed memory.
        QSignalSpy tick(&w.Timer1, &QTimer::timeout);
        w.Timer1.start(10);
        QVERIFY(tick.wait(2000));
        w.close();
    }

    void manyCampaignsInTheSummary() {
        TRecordingUi ui;
        TMonitor monitor(&ui);
        TFila* fila = monitor.Filas.Adiciona(std::make_unique<TFila>("3"));
        constexpr int n = 300;
        for (int i = 1; i <= n; ++i) {
            TCampanha* c =
                monitor.Campanhas.Adiciona(std::make_unique<TCampanha>(QString::number(i)));
            // Every third one stopped.
            c->Ativa = i % 3 ? 1 : 0;
            c->DefineFila(c->Ativa ? fila : nullptr);
        }
        TfrmCampanhas w(&monitor);
        w.resize(835, 480);
        w.Inicio();
        QCOMPARE(w.Paineis(), n - n / 3);
        QVERIFY(w.Aviso().isEmpty());
        // In list order, one under the other, none squeezed.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < w.Paineis(); ++i) {
            QCOMPARE(w.CampanhaDoPainel(i),
                     monitor.Campanhas.Procura(QString::number(i + 1 + i / 2)));
            QCOMPARE(w.Painel(i)->height(), w.Painel(0)->height());
            if (i > 0) QVERIFY(w.Painel(i)->y() >= w.Painel(i - 1)->geometry().bottom());
        }
        QVERIFY(w.Painel(0)->height() >= 100);
        w.SoltaCampanhas();
        QCOMPARE(w.Paineis(), 0);
        QVERIFY(!w.Aviso().isEmpty());
    }

    // --- Against the simulator ------------------------------------------------------------------

    void discadorMenuPerUser_data() {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QStringList>("ativas");
        QTest::addColumn<QString>("inativas");
        const QString um = QStringLiteral("Campanha 1 - Cobrança Março (Fila 3 - Financeiro)");
        const QString dois = QStringLiteral("Campanha 2 - Renovação de Planos (Fila 4 - Retenção)");
        QTest::newRow("demo") << "demo" << QStringList{um, dois} << "Campanhas inativas (1)";
        QTest::newRow("restrito") << "restrito" << QStringList{um} << "Campanhas inativas (0)";
        QTest::newRow("gerente") << "gerente" << QStringList{um, dois} << "Campanhas inativas (0)";
    }
    void discadorMenuPerUser() {
        QFETCH(QString, usuario);
        QFETCH(QStringList, ativas);
        QFETCH(QString, inativas);
        Perfil(usuario);
        TfrmMain main(dir.path() + u'/');
        QVERIFY(Carrega(main, server->chatPort()));
        QMenu* discador = main.MenuDiscador();
        QVERIFY(discador);
        QVERIFY(main.MenuExibir()->actions().contains(discador->menuAction()));
        QVERIFY(discador->menuAction()->isEnabled());
        const QList<QAction*> itens = discador->actions();
        QCOMPARE(itens.size(), 3);
        QCOMPARE(itens[0]->text(), QStringLiteral("Campanhas ativas (resumo)"));
        QVERIFY(itens[0]->isEnabled());
        QCOMPARE(itens[1]->text(), QStringLiteral("Campanhas ativas"));
        QCOMPARE(Textos(itens[1]->menu()), ativas);
        QCOMPARE(itens[2]->text(), inativas);
        QVERIFY(!itens[2]->isEnabled());

        // The summary shows the campaigns this user may see, and no other.
        itens[0]->trigger();
        TfrmCampanhas* resumo = main.ProcuraTelaCampanhas();
        QVERIFY(resumo);
        QCOMPARE(resumo->Paineis(), ativas.size());
        for (int i = 0; i < resumo->Paineis(); ++i) {
            TCampanha* c = resumo->CampanhaDoPainel(i);
            QCOMPARE(c->Titulo(), ativas[i]);
            QCOMPARE(resumo->Painel(i)->CampaignValue(u"TelTotal"), QString::number(c->TelTotal));
        }
        // The last entry opens its campaign's window, once.
        itens[1]->menu()->actions().last()->trigger();
        const QString id = ativas.size() == 1 ? "1" : "2";
        TfrmCampanha* w = main.ProcuraTelaCampanha("Campanha" + id);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), ativas.last());
        QCOMPARE(main.CriaTelaCampanha(w->Campanha()), w);
        // A campaign the user may not see does not open, whatever asks for it.
        if (usuario == u"restrito") {
            main.MenuExibirCampanhas(2);
            QVERIFY(!main.ProcuraTelaCampanha("Campanha2"));
        }
        main.close();
    }

    void windowFollowsTheSimulator() {
        Perfil("demo");
        TfrmMain main(dir.path() + u'/');
        QVERIFY(Carrega(main, server->chatPort()));
        TMonitor& monitor = *main.Monitor();
        TCampanha* c = monitor.Campanhas.Procura("1");
        QVERIFY(c && c->PtrFila);
        const QString fila = c->PtrFila->FilaId();
        TfrmCampanha* w = main.CriaTelaCampanha(c);
        QVERIFY(w);
        QCOMPARE(Membros(w), MembrosSim(fila, monitor));
        QVERIFY(!Membros(w).isEmpty());

        QVERIFY(ChamadasDoDiscador("1", fila, 3));
        QTRY_COMPARE_WITH_TIMEOUT(Chamadas(w), ChamadasSim("1"), 10000);
        // The customer read from the dialer's variables fills the phone column.
        for (int r = 0; r < w->Chamadas()->Modelo()->Linhas(); ++r) {
            const TChannel* canal = w->Chamadas()->ObjetoDaLinha(r);
            const TSimChannel* sim = server->state()->channelByName(canal->Channel());
            QVERIFY(sim);
            QTRY_COMPARE(canal->CallerIdNum, sim->variables.value("DisTelefone"));
        }

        // An agent answers one: one call moves from the dialer's gauge to the answered one.
        const QStringList emEspera = ChamadasSim("1", true);
        QVERIFY(!emEspera.isEmpty());
        QString agente;
        for (const TSimQueueMember& m : server->state()->queue(fila)->members) {
            const TSimAgent* a = server->state()->agent(m.agentId);
            if (agente.isEmpty() && a && a->isLoggedIn() && !a->paused &&
                a->status == TSimAgent::Status::Idle)
                agente = a->id;
        }
        QVERIFY(!agente.isEmpty());
        const QString uid = server->state()->channelByName(emEspera.first())->uniqueId;
        QVERIFY(server->traffic()->ringAgent(uid, agente));
        QVERIFY(server->traffic()->answer(uid));
        QTRY_COMPARE_WITH_TIMEOUT(Figura(w->Panel(), "Atendendo"),
                                  int(ChamadasSim("1").size() - ChamadasSim("1", true).size()),
                                  10000);
        QCOMPARE(Figura(w->Panel(), "Iniciadas"), int(ChamadasSim("1", true).size()));
        QVERIFY(Figura(w->Panel(), "Atendendo") >= 1);
        const TModeloLista<TChannel>* linhas = w->Chamadas()->Modelo();
        const int row = linhas->LinhaDe(monitor.Canais.Procura(emEspera.first(), {}));
        QVERIFY(row >= 0);
        QTRY_VERIFY(TListaChamadasCampanha::TextoAgente(*linhas->Objeto(row)).startsWith(agente));

        // A caller hanging up leaves the list as the simulator drops the channel.
        const QString outro =
            server->state()->channelByName(ChamadasSim("1", true).first())->uniqueId;
        QVERIFY(server->traffic()->hangup(outro));
        QTRY_COMPARE_WITH_TIMEOUT(Chamadas(w), ChamadasSim("1"), 10000);

        // The counters shown are the ones the database holds.
        const QList<QSqlRecord> r =
            server->database()->rows("SELECT count(*) FROM DisCliente WHERE CampanhaId = 1");
        QVERIFY(!r.isEmpty());
        QCOMPARE(w->Panel()->CampaignValue(u"CliTotal"), r.first().value(0).toString());
        for (const TCampanha::TContador& k : TCampanha::Contadores())
            if (!w->Panel()->CampaignValue(k.Nome).isEmpty())
                QCOMPARE(w->Panel()->CampaignValue(k.Nome), QString::number(c->*k.Campo));
        main.close();
    }

    void campaignStoppedWhileOpen() {
        Perfil("demo");
        TfrmMain main(dir.path() + u'/');
        QVERIFY(Carrega(main, server->chatPort()));
        TMonitor& monitor = *main.Monitor();
        TCampanha* c = monitor.Campanhas.Procura("1");
        QVERIFY(c && c->PtrFila);
        TfrmCampanha* w = main.CriaTelaCampanha(c);
        TfrmCampanhas* resumo = main.CriaTelaCampanhas();
        QVERIFY(w && resumo);
        QVERIFY(resumo->PainelDa(c));
        const int paineis = resumo->Paineis();

        // The server stops the campaign; the next refresh of the list tells.
        QVERIFY(server->database()->exec("UPDATE DisCampanha SET Status = 0 WHERE CampanhaId = 1"));
        QSignalSpy resumidas(&monitor, &TMonitor::CampanhasResumidas);
        monitor.PedeListaCampanhas();
        QTRY_VERIFY_WITH_TIMEOUT(!c->EstaAtiva(), 10000);
        QCOMPARE(main.ProcuraTelaCampanha("Campanha1"), w);
        QCOMPARE(w->Fila(), nullptr);
        QCOMPARE(w->Membros()->Modelo()->Linhas(), 0);
        QVERIFY(!w->Aviso().isEmpty());
        QCOMPARE(resumo->Paineis(), paineis - 1);
        QVERIFY(!resumo->PainelDa(c));
        QVERIFY(!Textos(main.MenuDiscador()->actions()[1]->menu()).contains(c->Titulo()));

        // Started again: both windows show it with its queue.
        QVERIFY(server->database()->exec("UPDATE DisCampanha SET Status = 1 WHERE CampanhaId = 1"));
        monitor.PedeListaCampanhas();
        QTRY_VERIFY_WITH_TIMEOUT(c->EstaAtiva() && c->PtrFila, 10000);
        QCOMPARE(w->Fila(), c->PtrFila);
        QVERIFY(w->Aviso().isEmpty());
        QCOMPARE(Membros(w), MembrosSim(c->PtrFila->FilaId(), monitor));
        QCOMPARE(resumo->Paineis(), paineis);
        QVERIFY(resumo->PainelDa(c));

        // Both come back after a reconnection, from the names saved when they closed.
        const quint16 port = server->managerPort();
        const quint16 chat = server->chatPort();
        server.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!main.ProcuraTelaCampanha("Campanha1"), 10000);
        QVERIFY(!main.ProcuraTelaCampanhas());
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = port;
        options.chatPort = chat;
        options.dialerShare = 1;
        QVERIFY(server->start(options));
        QSignalSpy loaded(&monitor, &TMonitor::LoadFinished);
        monitor.PortaChat = server->chatPort();
        monitor.ConectarPeloDialogo("Sim", "127.0.0.1", QString::number(port));
        QVERIFY(loaded.wait(20000));
        TfrmCampanha* again = main.ProcuraTelaCampanha("Campanha1");
        QVERIFY(again);
        QCOMPARE(again->Campanha(), monitor.Campanhas.Procura("1"));
        QVERIFY(main.ProcuraTelaCampanhas());
        main.close();
    }
};

QTEST_MAIN(TestUiCampaigns)
#include "test_ui_campaigns.moc"
