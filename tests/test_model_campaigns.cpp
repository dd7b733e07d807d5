// Dialer campaigns: the campaign rows and their queue, titles, the summary queries as the
// server must receive them and the counters their rows fill, the dialer calls attached to a
// campaign through the channel's dialer variable, the minute timer, the notices to the windows,
// the permission checks and the "Discador" menu's contents, and the teardown with dialer calls
// still attached. (The dump is checked end to end against the simulator.)
#include "support/TCentral.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The value of a header line of an action text.
QString Campo(const QString& acao, const QString& nome) {
    return acao.section("\r\n" + nome + ": ", 1).section("\r\n", 0, 0);
}

} // namespace

class TestModelCampaigns : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    // A row of the campaign list (the load's, or the refresh's with `atual`).
    void Campanha(const QString& id, const QString& nome, const QString& status,
                  const QString& fila, bool atual = false) {
        m->Feed(Linha(atual ? "ZXDBListaCampanhasAtual" : "ZXDBListaCampanhas",
                      {"CampanhaId: " + id, "Nome: " + nome, "Status: " + status, "Fila: " + fila,
                       "Tipo: P"}));
    }
    TCampanha* K(const QString& id) const { return monitor->Campanhas.Procura(id); }
    // The dialer variable's answer for a channel.
    void Variavel(const QString& canal, const QString& valor) {
        m->Feed("Response: Success\r\nActionID: VarDisCampanha-" + canal +
                "\r\nVariable: DisCampanha\r\nValue: " + valor + "\r\n\r\n");
    }
    // A live channel that the dialer says belongs to the campaign.
    TChannel* Discada(const QString& canal, const QString& uid, const QString& campanha) {
        m->NovoCanal(canal, uid);
        Variavel(canal, campanha);
        return m->C(canal);
    }
    // The sixteen counters, by name, with the non-zero ones only.
    static QString Contadores(const TCampanha* c) {
        QStringList t;
        for (const auto& k : TCampanha::Contadores())
            if (c->*k.Campo) t << k.Nome.toString() + '=' + QString::number(c->*k.Campo);
        return t.join(' ');
    }
    QStringList Enviadas(const QString& prefixo) const {
        QStringList ids;
        for (const QString& a : m->enviados)
            for (const QString& l : a.split("\r\n"))
                if (l.startsWith("ActionId: " + prefixo)) ids << l.mid(10);
        return ids;
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Fila("12", "Suporte");
        m->Fila("13", "13");
    }
    void cleanup() { m.reset(); }

    // A row sets the campaign's state and its queue: only a running campaign with a queue id
    // that the queue list knows has one. The status keeps its low byte only. (Titles without a
    // name, or with a queue named as its id, show in the menu test.)
    void rows_data() {
        QTest::addColumn<QString>("linha"); // "name|status|queue"
        QTest::addColumn<int>("ativa");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("running, queue named apart")
            << "Vendas|1|12" << 1 << "Campanha 7 - Vendas (Fila 12 - Suporte)";
        QTest::newRow("status 256 is stopped") << "Vendas|256|12" << 0 << "Campanha 7 - Vendas";
        QTest::newRow("status -1 runs")
            << "Vendas|-1|12" << 255 << "Campanha 7 - Vendas (Fila 12 - Suporte)";
        QTest::newRow("status not a number") << "Vendas|sim|12" << 0 << "Campanha 7 - Vendas";
        QTest::newRow("queue 0") << "Vendas|1|0" << 1 << "Campanha 7 - Vendas";
        QTest::newRow("unknown queue") << "Vendas|1|99" << 1 << "Campanha 7 - Vendas";
    }
    void rows() {
        QFETCH(QString, linha);
        const QStringList f = linha.split('|');
        Campanha("7", f[0], f[1], f[2]);
        TCampanha* c = K("7");
        QVERIFY(c);
        QTEST(int(c->Ativa), "ativa");
        QCOMPARE(c->IdFila, f[2]);
        QTEST(c->Titulo(), "titulo");
        const bool comFila = c->Titulo().contains("(Fila");
        QCOMPARE(c->PtrFila, comFila ? m->F(f[2]) : nullptr);
        // The queue is announced to the windows; the menu offers only running campaigns with one.
        QCOMPARE(m->ui->campanhas, QStringList{"7"});
        QCOMPARE(monitor->MenuDiscador().Ativas.size(), size_t(comFila ? 1 : 0));
        QCOMPARE(monitor->Campanhas.ContaAtivas(), c->EstaAtiva() ? 1 : 0);
    }

    // The end of the load asks for the summary and starts the minute timer, which asks for the
    // campaign list again. Refreshed rows update the campaigns in place; one missing from the
    // refresh keeps its state; a row without an id is ignored. Only the refresh's completion
    // rebuilds the menu and asks for the summary; the load's moves the load on. Losing the
    // connection stops the timer.
    void loadRefreshAndTimer() {
        QVERIFY(m->Conecta());
        Campanha("1", "Cobrança", "1", "12");
        Campanha("2", "Renovação", "1", "13");
        m->Feed(Completa("ZXDBListaCampanhas"));
        QCOMPARE(m->ui->menusDiscador, 0);
        QVERIFY(Enviadas("ZXDBDis").isEmpty());
        QCOMPARE(Enviadas("Agents"), QStringList{"Agents"});
        QVERIFY(!monitor->TimerCampanhas().isActive());
        monitor->TerminouCargaDeDados();
        QVERIFY(monitor->TimerCampanhas().isActive());
        QCOMPARE(Enviadas("ZXDBDis").size(), 11);
        m->enviados.clear();

        TCampanha* um = K("1");
        TCampanha* dois = K("2");
        Campanha("1", "Cobrança Abril", "0", "12", true);
        m->Feed(Linha("ZXDBListaCampanhasAtual", {"Nome: sem id", "Status: 1"}));
        QCOMPARE(monitor->Campanhas.Count(), 2);
        QCOMPARE(K("1"), um);
        QCOMPARE(um->Nome, QStringLiteral("Cobrança Abril"));
        QCOMPARE(um->PtrFila, nullptr);
        QCOMPARE(dois->PtrFila, m->F("13"));
        QCOMPARE(m->ui->menusDiscador, 0);
        m->Feed(Completa("ZXDBListaCampanhasAtual"));
        QCOMPARE(m->ui->menusDiscador, 1);
        // Only campaign 2 still runs.
        QCOMPARE(Enviadas("ZXDBDis").size(), 11);
        QVERIFY(m->enviados.last().contains("Filter: WHERE CampanhaId in ('2') and"));

        monitor->TimerCampanhas().setInterval(20);
        QTRY_VERIFY(Enviadas("ZXDBListaCampanhasAtual").size() >= 2);
        QVERIFY(m->enviados.contains("Action: ZXDBCommand\r\nActionId: ZXDBListaCampanhasAtual\r\n"
                                     "Command: List\r\nTable: DisCampanha\r\n\r\n"));
        m->servidor->Drop();
        QTRY_VERIFY(!monitor->ManagerConnection()->Connected);
        QCOMPARE(monitor->Campanhas.Count(), 0);
        QVERIFY(!monitor->TimerCampanhas().isActive());
    }

    void connectionErrorStopsTheTimer() {
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
        monitor->LeResumoCampanhas();
        QVERIFY(monitor->TimerCampanhas().isActive());
        monitor->OnClientManagerError(monitor->ManagerConnection(), 10053);
        QVERIFY(!monitor->TimerCampanhas().isActive());
    }

    // The summary queries go out in their order, each on its table. Those written around the ids
    // hold exactly the running campaigns' safe ids, even without a queue (7): not the stopped
    // one, nor one that could end the quoted text of the filter; the others select by joins.
    // One query of each form and the last one, whose completion ends the refresh, are checked
    // word for word.
    void summaryQueries() {
        QVERIFY(m->Conecta());
        Campanha("3", "A", "1", "12");
        Campanha("5", "Parada", "0", "12");
        Campanha("7') or ('1'='1", "", "1", "12");
        Campanha("8\"", "", "1", "12");
        Campanha("7", "B", "1", "0");
        K("5")->CliTotal = 9;
        monitor->LeResumoCampanhas();
        QStringList formas;
        QMap<QString, QString> textos;
        for (const QString& a : m->enviados) {
            const QString id = Campo(a, "ActionId");
            if (!id.startsWith("ZXDBDis")) continue;
            const QString filtro = Campo(a, "Filter");
            formas << id + ' ' + Campo(a, "Table") + ' ' +
                          (filtro.startsWith("WHERE CampanhaId in ('3','7') ") ? "ids"
                           : filtro.startsWith("INNER JOIN ")                  ? "joins"
                                                                               : filtro);
            textos[id] = a;
        }
        QCOMPARE(formas, (QStringList{"ZXDBDisClientesTotal DisCliente ids",
                                      "ZXDBDisClientesDiscar DisTelefone joins",
                                      "ZXDBDisStatusDiscagem DisStatusDiscagem ids",
                                      "ZXDBDisClientesAgendados DisTelefone joins",
                                      "ZXDBDisTelefonesTotal DisTelefone ids",
                                      "ZXDBDisTelefonesDiscar DisTelefone joins",
                                      "ZXDBDisTelefonesTentativasExcedidas DisTelefone joins",
                                      "ZXDBDisTelefonesAgendados DisTelefone joins",
                                      "ZXDBDisTelefonesDesativados DisTelefone ids",
                                      "ZXDBDisStatusChamadas DisStatusDiscagem ids",
                                      "ZXDBDisClassificacaoChamadas DisDiscagem ids"}));
        QCOMPARE(textos["ZXDBDisClientesTotal"],
                 QStringLiteral("Action: ZXDBCommand\r\nCommand: List\r\nTable: DisCliente\r\n"
                                "Fields: CampanhaId,COUNT(ClienteId) AS Total\r\n"
                                "Filter: WHERE CampanhaId in ('3','7') group by CampanhaId\r\n"
                                "ActionId: ZXDBDisClientesTotal\r\n\r\n"));
        QCOMPARE(textos["ZXDBDisClientesDiscar"],
                 QStringLiteral(
                     "Action: ZXDBCommand\r\nCommand: List\r\nTable: DisTelefone\r\n"
                     "Fields: DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS "
                     "Total\r\n"
                     "Filter: INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN "
                     "DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
                     "DisCampanha.Fila > 0 AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas "
                     "< DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL "
                     "AND DisCliente.Bloqueado = 0 AND (DisCliente.Agenda IS NULL OR "
                     "DisCliente.Agenda < NOW()) AND (DisTelefone.Agenda IS NULL OR "
                     "DisTelefone.Agenda < NOW()) AND (DisTelefone.LastStatus IS NULL OR "
                     "DisTelefone.LastStatus = 4) group by DisCampanha.CampanhaId\r\n"
                     "ActionId: ZXDBDisClientesDiscar\r\n\r\n"));
        QCOMPARE(textos["ZXDBDisClassificacaoChamadas"],
                 QStringLiteral("Action: ZXDBCommand\r\nCommand: List\r\nTable: DisDiscagem\r\n"
                                "Fields: CampanhaId, ClassificacaoId, Count(*) AS Total\r\n"
                                "Filter: WHERE CampanhaId in ('3','7') and ClassificacaoId > 1 and "
                                "ClassificacaoId < 4 group by CampanhaId,ClassificacaoId\r\n"
                                "ActionId: ZXDBDisClassificacaoChamadas\r\n\r\n"));
        // Every campaign's counters start again from zero, the stopped one's too.
        QCOMPARE(K("5")->CliTotal, 0);
        QVERIFY(monitor->TimerCampanhas().isActive());
        QCOMPARE(monitor->TimerCampanhas().interval(), 60000);
    }

    // No campaign running (or none that can go into a filter): nothing is asked, the counters
    // stay and the timer is not enabled by it.
    void noSummary_data() {
        QTest::addColumn<QStringList>("linhas"); // "id status"
        QTest::addColumn<int>("recusadas");
        QTest::newRow("no campaigns") << QStringList{} << 0;
        QTest::newRow("none running") << QStringList{"1 0", "2 256"} << 0;
        QTest::newRow("running ones with unsafe ids")
            << QStringList{"1 0", "3') or ('1'='1 1", "a\"b 1", "x\\ 1", "4\t5 1", "9' 0"} << 4;
    }
    void noSummary() {
        QFETCH(QStringList, linhas);
        QVERIFY(m->Conecta());
        for (const QString& l : linhas)
            Campanha(l.section(' ', 0, -2), "", l.section(' ', -1), "12");
        if (TCampanha* c = K("1")) c->TelTotal = 4;
        const qsizetype marca = m->ui->log.size();
        monitor->LeResumoCampanhas();
        QVERIFY(Enviadas("ZXDBDis").isEmpty());
        QVERIFY(!monitor->TimerCampanhas().isActive());
        if (TCampanha* c = K("1")) QCOMPARE(c->TelTotal, 4);
        QTEST(int(m->LogDesde(marca, "Resumo da campanha não pedido").size()), "recusadas");
    }

    // Result rows fill the counters their query names; selectors pick the counter; odd rows
    // change nothing. The last query's completion refreshes every campaign's summary.
    void summaryRows_data() {
        QTest::addColumn<QStringList>("linhas"); // "query CampanhaId Total [selector]", - no id
        QTest::addColumn<QString>("esperado");
        QTest::newRow("one per query")
            << QStringList{"ClientesTotal 7 40",     "ClientesDiscar 7 12",
                           "ClientesAgendados 7 3",  "TelefonesTotal 7 53",
                           "TelefonesDiscar 7 15",   "TelefonesTentativasExcedidas 7 6",
                           "TelefonesAgendados 7 4", "TelefonesDesativados 7 2"}
            << "CliTotal=40 CliDisponiveis=12 CliAgendados=3 TelTotal=53 TelDisponiveis=15 "
               "TelTentativasExcedidas=6 TelAgendados=4 TelDesativados=2";
        QTest::newRow("selectors, and values they do not count")
            << QStringList{"StatusDiscagem 7 9 1",         "StatusDiscagem 7 3 2",
                           "StatusDiscagem 7 5 3",         "StatusDiscagem 7 99 x",
                           "StatusChamadas 7 10 1",        "StatusChamadas 7 8 2",
                           "StatusChamadas 7 6 3",         "StatusChamadas 7 99 4",
                           "ClassificacaoChamadas 7 4 2",  "ClassificacaoChamadas 7 7 3",
                           "ClassificacaoChamadas 7 99 1", "ClassificacaoChamadas 7 99 4"}
            << "CliDiscados=9 CliEncaminhadosFila=3 CliAtendidosFila=5 ChIniciadas=10 "
               "ChEncaminhadasFila=8 ChAtendidasFila=6 ChOcupadas=4 ChNaoAtendidas=7";
        // A later total overwrites, one not a number with 0; other campaigns' rows stay away.
        QTest::newRow("odd rows") << QStringList{"ClientesTotal 7 40", "ClientesTotal 7 muitos",
                                                 "ClientesTotal 8 40", "ClientesTotal - 40"}
                                  << "";
    }
    void summaryRows() {
        QFETCH(QStringList, linhas);
        Campanha("7", "Vendas", "1", "12");
        Campanha("9", "Outra", "1", "12");
        for (const QString& l : linhas) {
            const QStringList f = l.split(' ');
            QStringList colunas{"Total: " + f[2]};
            if (f[1] != u"-") colunas << "CampanhaId: " + f[1];
            if (f.size() > 3)
                colunas << (f[0].startsWith("Classificacao") ? "ClassificacaoId: " : "Status: ") +
                               f[3];
            m->Feed(Linha("ZXDBDis" + f[0], colunas));
        }
        QTEST(Contadores(K("7")), "esperado");
        QCOMPARE(Contadores(K("9")), QString());
        QVERIFY(m->ui->resumos.isEmpty());
        QSignalSpy resumidas(monitor, &TMonitor::CampanhasResumidas);
        m->Feed(Completa("ZXDBDisClassificacaoChamadas"));
        QCOMPARE(m->ui->resumos, (QStringList{"7", "9"}));
        QCOMPARE(resumidas.size(), 1);
    }

    // A failed last query still ends the refresh: the windows show the counters just zeroed,
    // not those of the refresh before.
    void failedLastQueryEndsTheRefresh() {
        Campanha("7", "Vendas", "1", "12");
        m->Feed("Response: Error\r\nZXDBActionID: ZXDBDisClassificacaoChamadas\r\n"
                "Message: erro\r\n\r\n");
        QCOMPARE(m->ui->resumos, QStringList{"7"});
    }

    // The dialer variable makes a channel a call of its campaign: dialer data started now on the
    // server clock, announced once, then asked for the customer's number and name. Changes of
    // the channel reach the campaign. Named for another campaign, the call leaves the first,
    // keeping its dialer data; its hangup takes it out and frees the dialer data.
    void dialerCallLife() {
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
        Campanha("8", "Cobrança", "1", "13");
        TCampanha* c = K("7");
        m->NovoCanal("SIP/tronco-01", "10.1");
        QCOMPARE(Enviadas("VarDis"), QStringList{"VarDisCampanha-SIP/tronco-01"});
        m->Avanca(5);
        Variavel("SIP/tronco-01", "7");
        TChannel* canal = m->C("SIP/tronco-01");
        QVERIFY(canal->Discador);
        QCOMPARE(canal->Tipo, QStringLiteral("D"));
        QVERIFY(canal->LigacaoDiscador);
        QCOMPARE(canal->LigacaoDiscador->PtrCampanha, c);
        QCOMPARE(canal->LigacaoDiscador->Inicio, m->agora);
        QCOMPARE(c->Chamadas(), std::vector<TChannel*>{canal});
        QCOMPARE(Enviadas("VarDis").mid(1),
                 (QStringList{"VarDisTelefone-SIP/tronco-01", "VarDisNome-SIP/tronco-01"}));
        // The same answer again (a second request crossed the first) adds nothing.
        Variavel("SIP/tronco-01", "7");
        QCOMPARE(c->ContaChamadas(), 1);
        m->Ev("Newstate", {"Channel: SIP/tronco-01", "Uniqueid: 10.1", "State: Up"});
        // Other channels never reach the campaign.
        m->NovoCanal("SIP/2001-01", "10.2");
        m->Ev("Newstate", {"Channel: SIP/2001-01", "Uniqueid: 10.2", "State: Up"});

        const double inicio = canal->LigacaoDiscador->Inicio;
        m->Avanca(3);
        Variavel("SIP/tronco-01", "8");
        QCOMPARE(c->ContaChamadas(), 0);
        QCOMPARE(K("8")->ContaChamadas(), 1);
        QCOMPARE(canal->LigacaoDiscador->PtrCampanha, K("8"));
        QCOMPARE(canal->LigacaoDiscador->Inicio, inicio);
        QCOMPARE(monitor->Campanhas.CampanhasDoCanal(canal).size(), 1);
        m->Hangup("SIP/tronco-01", "10.1");
        QCOMPARE(K("8")->ContaChamadas(), 0);
        QCOMPARE(m->ui->chamadasCampanha,
                 (QStringList{"7 SIP/tronco-01 CallAdded", "7 SIP/tronco-01 CallUpdated",
                              "7 SIP/tronco-01 CallRemoved", "8 SIP/tronco-01 CallAdded",
                              "8 SIP/tronco-01 CallRemoved"}));
        QVERIFY(monitor->Campanhas.CampanhasDoCanal(canal).isEmpty());
        QVERIFY(m->ui->erros.isEmpty());
    }

    // A dialer call of a campaign we do not know is marked but attached to nothing, and asked
    // again when it is listed again (agent and local channels never are); an answer for a
    // channel already gone changes nothing.
    void callOfUnknownCampaign() {
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
        TChannel* canal = Discada("SIP/tronco-01", "10.1", "8");
        QVERIFY(canal->Discador);
        QVERIFY(!canal->LigacaoDiscador);
        QCOMPARE(K("7")->ContaChamadas(), 0);
        QVERIFY(m->ui->chamadasCampanha.isEmpty());
        m->enviados.clear();
        m->NovoCanal("Local/8003@fila-0001;1", "10.2");
        m->NovoCanal("Agent/1001", "10.3");
        m->Ev("Status", {"Channel: SIP/tronco-01", "Uniqueid: 10.1", "Seconds: 3"});
        m->Ev("Status", {"Channel: Local/8003@fila-0001;1", "Uniqueid: 10.2", "Seconds: 3"});
        m->Ev("Status", {"Channel: Agent/1001", "Uniqueid: 10.3", "Seconds: 3"});
        QCOMPARE(Enviadas("VarDisCampanha-"), QStringList{"VarDisCampanha-SIP/tronco-01"});
        m->Hangup("SIP/tronco-01", "10.1");
        Variavel("SIP/tronco-01", "7");
        QCOMPARE(K("7")->ContaChamadas(), 0);
    }

    // Waiting and answering counts follow the queue data of the dialer calls; an agent taking
    // a dialer call up tells its campaign. Then the teardown with dialer calls attached.
    void waitingAnsweringAndDisconnect() {
        QVERIFY(m->Conecta());
        m->Agente("1001", "Maria");
        Campanha("7", "Vendas", "1", "12");
        TCampanha* c = K("7");
        Discada("SIP/tronco-01", "10.1", "7"); // never queued
        TChannel* b = Discada("SIP/tronco-02", "10.2", "7");
        TChannel* d = Discada("SIP/tronco-03", "10.3", "7");
        m->Ev("Join", {"Channel: SIP/tronco-02", "Queue: 12", "Position: 1"});
        m->Ev("Join", {"Channel: SIP/tronco-03", "Queue: 12", "Position: 2"});
        QCOMPARE(c->ContaAguardando(), 3);
        QCOMPARE(c->ContaEmAtendimento(), 0);
        m->ui->chamadasCampanha.clear();
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/tronco-02"});
        QVERIFY(b->LigacaoFila->DataAgente);
        QCOMPARE(c->ContaAguardando(), 3); // rung, not answered
        QVERIFY(m->ui->chamadasCampanha.contains("7 SIP/tronco-02 CallUpdated"));
        m->ui->chamadasCampanha.clear();
        m->Ev("AgentConnect", {"Member: Agent/1001"});
        QCOMPARE(c->ContaAguardando(), 2);
        QCOMPARE(c->ContaEmAtendimento(), 1);
        QVERIFY(m->ui->chamadasCampanha.contains("7 SIP/tronco-02 CallUpdated"));
        // A call with an answer moment but no agent (any more) still waits.
        d->LigacaoFila->Atendimento = m->agora;
        QCOMPARE(c->ContaAguardando(), 2);
        // The agent completes: the call leaves the queue and waits for nobody.
        m->Ev("AgentComplete", {"Member: Agent/1001", "Queue: 12"});
        QCOMPARE(c->ContaEmAtendimento(), 0);
        QCOMPARE(c->ContaChamadas(), 3);

        // The server drops us with dialer calls of two campaigns attached, one in a queue with
        // an agent: everything is let go in order and nothing points at freed memory (run under
        // the address sanitizer); late packets of the closed connection find an empty model.
        Campanha("8", "Cobrança", "1", "13");
        Discada("SIP/tronco-04", "10.4", "8");
        m->Ev("Join", {"Channel: SIP/tronco-04", "Queue: 13"});
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/tronco-04"});
        m->Ev("AgentConnect", {"Member: Agent/1001"});
        QCOMPARE(K("8")->ContaEmAtendimento(), 1);
        m->servidor->Drop();
        QTRY_VERIFY(!monitor->ManagerConnection()->Connected);
        QCOMPARE(monitor->Campanhas.Count(), 0);
        QCOMPARE(monitor->Canais.Count(), 0);
        Variavel("SIP/tronco-02", "8");
        m->Hangup("SIP/tronco-02", "10.2");
        m->Feed(Linha("ZXDBDisClientesTotal", {"CampanhaId: 7", "Total: 3"}));
        m->Feed(Completa("ZXDBDisClassificacaoChamadas"));
        QVERIFY(m->ui->erros.isEmpty());
    }

    // The checks count by the user's rights; the "Discador" menu follows them.
    void permissionsAndMenu_data() {
        QTest::addColumn<bool>("restrito");
        QTest::addColumn<bool>("portao");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QStringList>("valores"); // campaigns allowed; empty = all
        QTest::addColumn<int>("todas");
        QTest::addColumn<int>("ativas");
        QTest::addColumn<bool>("habilitado");
        QTest::addColumn<QStringList>("entradas"); // "tag caption"
        const QStringList tudo{"7 Campanha 7 - Vendas (Fila 12 - Suporte)",
                               "0 Campanha x (Fila 13)"};
        QTest::newRow("unrestricted")
            << false << true << 0 << QStringList{} << 4 << 3 << true << tudo;
        QTest::newRow("restricted, every campaign")
            << true << true << 0 << QStringList{} << 4 << 3 << true << tudo;
        QTest::newRow("restricted to 7 and the stopped 9")
            << true << true << 0 << QStringList{"7", "9"} << 2 << 1 << true
            << QStringList{"7 Campanha 7 - Vendas (Fila 12 - Suporte)"};
        QTest::newRow("restricted to the stopped 9")
            << true << true << 0 << QStringList{"9"} << 1 << 0 << true << QStringList{};
        QTest::newRow("without the call-centre gate")
            << true << false << 0 << QStringList{} << 0 << 0 << false << QStringList{};
        QTest::newRow("gate by bit 4")
            << true << false << 4 << QStringList{} << 4 << 3 << true << tudo;
        QTest::newRow("dialer bit 2 enables the menu alone")
            << true << false << 2 << QStringList{} << 0 << 0 << true << QStringList{};
    }
    void permissionsAndMenu() {
        QFETCH(bool, restrito);
        QFETCH(bool, portao);
        QFETCH(int, bits);
        QFETCH(QStringList, valores);
        QFETCH(int, todas);
        QFETCH(int, ativas);
        Campanha("7", "Vendas", "1", "12");
        Campanha("9", "Parada", "0", "12");
        Campanha("x", "", "1", "13");
        Campanha("10", "Sem fila", "1", "0");
        TPermissaoUsuario& p = monitor->Permissoes;
        p.SetaUsuario("sup", restrito ? "u" : "", bits, "");
        p.IdUser = "5";
        if (portao) p.AdicionaPermissao("Monitorar Call Center", "Visualizar");
        p.AdicionaPermissao("Campanha", "Visualizar");
        for (const QString& v : valores)
            p.AdicionaValor("Campanha", "Visualizar", v, "R");
        QCOMPARE(monitor->TemPermissaoCampanhas(), todas);
        QCOMPARE(monitor->TemPermissaoCampanhasAtivas(), ativas);
        QVERIFY(!monitor->TemPermissaoCampanha(nullptr));
        const TMonitor::TMenuDiscador menu = monitor->MenuDiscador();
        QTEST(menu.Habilitado, "habilitado");
        QCOMPARE(menu.AtivasHabilitado, ativas >= 1);
        QCOMPARE(menu.PreencheAtivas, todas >= 1);
        QCOMPARE(menu.CaptionInativas, QString("Campanhas inativas (%1)").arg(todas - ativas));
        QStringList entradas;
        for (const auto& e : menu.Ativas)
            entradas << QString::number(e.Tag) + ' ' + e.Caption;
        QTEST(entradas, "entradas");
    }

    // Menu entries carry the id as a number; choosing one finds the first campaign with it.
    void campaignByMenuTag() {
        Campanha("x", "", "1", "12");
        Campanha("07", "", "1", "12");
        Campanha("7", "", "1", "12");
        QCOMPARE(monitor->Campanhas.ProcuraPorNumero(7), K("07"));
        QCOMPARE(monitor->Campanhas.ProcuraPorNumero(-1), K("x"));
        QCOMPARE(monitor->Campanhas.ProcuraPorNumero(8), nullptr);
        QCOMPARE(monitor->Campanhas.Procura(""), nullptr);
    }

    // Emptying the campaigns while their channels live frees the channels' dialer data: no
    // channel is left pointing at a freed campaign.
    void campaignsEmptiedBeforeTheirCalls() {
        Campanha("7", "Vendas", "1", "12");
        TChannel* canal = Discada("SIP/tronco-01", "10.1", "7");
        monitor->Campanhas.Limpa();
        QVERIFY(!canal->LigacaoDiscador);
        QVERIFY(canal->Discador);
        m->Ev("Newstate", {"Channel: SIP/tronco-01", "Uniqueid: 10.1", "State: Up"});
        m->Hangup("SIP/tronco-01", "10.1");
        QVERIFY(m->ui->erros.isEmpty());
    }

    // The dump of a campaign, with its counters (CliAgendados has no line) and its calls.
    void dump() {
        Campanha("7", "Vendas", "1", "12");
        TCampanha* c = K("7");
        int n = 0;
        for (const auto& k : TCampanha::Contadores())
            c->*k.Campo = ++n;
        const QString contadores =
            "Res CliTotal            : 1\r\nRes CliDisponiveis      : 2\r\n"
            "Res CliDiscados         : 3\r\nRes CliEncaminhadosFila : 4\r\n"
            "Res CliAtendidosFila    : 5\r\nRes TelTotal              : 7\r\n"
            "Res TelDisponiveis        : 8\r\nRes TelTentativasExcedidas: 9\r\n"
            "Res TelAgendados          : 10\r\nRes TelDesativados        : 11\r\n"
            "Res ChIniciadas       : 12\r\nRes ChEncaminhadasFila: 13\r\n"
            "Res ChAtendidasFila   : 14\r\nRes ChOcupadas        : 15\r\n"
            "Res ChNaoAtendidas    : 16\r\n";
        const QString cabeca = "Campanha: 7\r\nNome: Vendas\r\nAtiva: 1\r\nIdFila: 12\r\nNome: "
                               "Vendas\r\nPtrFila <> nil. Fila Suporte\r\nTitulo: Campanha 7 - "
                               "Vendas (Fila 12 - Suporte)\r\n";
        QCOMPARE(c->Dump(), cabeca + "Channels: 0\r\n" + contadores);
        TChannel* canal = Discada("SIP/tronco-01", "10.1", "7");
        QCOMPARE(c->Dump(), cabeca + "Channels: 1\r\n" + canal->Descreve() + contadores);
        QVERIFY(canal->Descreve().contains("LigacaoDiscador.PtrCampanha <> nil"));

        Campanha("9", "", "256", "12");
        QVERIFY(K("9")->Dump().startsWith("Campanha: 9\r\nNome: \r\nAtiva: 0\r\nIdFila: 12\r\n"
                                          "Nome: \r\nPtrFila = nil\r\nTitulo: Campanha 9\r\n"));
        QCOMPARE(monitor->Dump("Campanhas"), c->Dump() + "\r\n" + K("9")->Dump() + "\r\n");
        QVERIFY(monitor->Dump("Tudo").contains(c->Dump()));
    }
};

QTEST_GUILESS_MAIN(TestModelCampaigns)
#include "test_model_campaigns.moc"
