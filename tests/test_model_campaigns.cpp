// Dialer campaigns: the campaign rows and their queue, titles, the summary queries as the
// server must receive them and the counters their rows fill, the dialer calls attached to a
// campaign through the channel's dialer variable, the minute timer, the notices to the windows,
// the permission checks and the "Discador" menu's contents, the dump, and the teardown with
// dialer calls still attached.
#include "support/TCentral.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// The eleven summary queries for the active campaigns 3 and 7, in the order they are sent.
void QueriesFor37() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("ZXDBDisClientesTotal")
        << QStringLiteral("Action: ZXDBCommand\r\n"
                          "Command: List\r\n"
                          "Table: DisCliente\r\n"
                          "Fields: CampanhaId,COUNT(ClienteId) AS Total\r\n"
                          "Filter: WHERE CampanhaId in ('3','7') group by CampanhaId\r\n"
                          "ActionId: ZXDBDisClientesTotal\r\n"
                          "\r\n");
    QTest::newRow("ZXDBDisClientesDiscar") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
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
        "ActionId: ZXDBDisClientesDiscar\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisStatusDiscagem") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisStatusDiscagem\r\n"
        "Fields: CampanhaId,Status,COUNT(DISTINCT(ClienteId)) AS Total\r\n"
        "Filter: WHERE CampanhaId in ('3','7') and Status > 0 and Status < 4 group by "
        "CampanhaId,Status\r\n"
        "ActionId: ZXDBDisStatusDiscagem\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisClientesAgendados") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
        "Fields: DisTelefone.CampanhaId, COUNT(DISTINCT(DisTelefone.ClienteId)) AS "
        "Total\r\n"
        "Filter: INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN "
        "DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
        "DisCampanha.Fila > 0 AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas "
        "< DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL "
        "AND DisCliente.Bloqueado = 0 AND (DisCliente.Agenda >= NOW() OR "
        "DisTelefone.Agenda >= NOW()) AND (DisTelefone.LastStatus IS NULL OR "
        "DisTelefone.LastStatus = 4) group by DisCampanha.CampanhaId\r\n"
        "ActionId: ZXDBDisClientesAgendados\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisTelefonesTotal")
        << QStringLiteral("Action: ZXDBCommand\r\n"
                          "Command: List\r\n"
                          "Table: DisTelefone\r\n"
                          "Fields: CampanhaId,COUNT(Telefone) AS Total\r\n"
                          "Filter: WHERE CampanhaId in ('3','7') group by CampanhaId\r\n"
                          "ActionId: ZXDBDisTelefonesTotal\r\n"
                          "\r\n");
    QTest::newRow("ZXDBDisTelefonesDiscar") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
        "Fields: DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total\r\n"
        "Filter: INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN "
        "DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
        "DisCampanha.Fila > 0 AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas "
        "< DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL "
        "AND DisCliente.Bloqueado = 0 AND (DisCliente.Agenda IS NULL or "
        "DisCliente.Agenda < NOW()) AND (DisTelefone.Agenda IS NULL OR "
        "DisTelefone.Agenda < NOW()) AND (DisTelefone.LastStatus IS NULL OR "
        "DisTelefone.LastStatus = 4) group by DisTelefone.CampanhaId\r\n"
        "ActionId: ZXDBDisTelefonesDiscar\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisTelefonesTentativasExcedidas") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
        "Fields: DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total\r\n"
        "Filter: INNER JOIN DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > "
        "0 AND DisCampanha.Fila > 0 and DisTelefone.numTentativas >= "
        "DisCampanha.maxTentativasDiscagens group by DisTelefone.CampanhaId\r\n"
        "ActionId: ZXDBDisTelefonesTentativasExcedidas\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisTelefonesAgendados") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
        "Fields: DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total\r\n"
        "Filter: INNER JOIN DisCliente USING (CampanhaId, ClienteId) INNER JOIN "
        "DisCampanha USING (CampanhaId) WHERE DisCampanha.Status > 0 AND "
        "DisCampanha.Fila > 0 AND DisTelefone.Ativo = 1 AND DisTelefone.numTentativas "
        "< DisCampanha.maxTentativasDiscagens AND DisCliente.ClassificacaoId IS NULL "
        "AND DisCliente.Bloqueado = 0 AND (DisCliente.Agenda >= NOW() OR "
        "DisTelefone.Agenda >= NOW()) AND (DisTelefone.LastStatus IS NULL OR "
        "DisTelefone.LastStatus = 4) group by DisTelefone.CampanhaId\r\n"
        "ActionId: ZXDBDisTelefonesAgendados\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisTelefonesDesativados") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisTelefone\r\n"
        "Fields: DisTelefone.CampanhaId, COUNT(DisTelefone.Telefone) AS Total\r\n"
        "Filter: WHERE CampanhaId in ('3','7') and DisTelefone.Ativo = 0 group by "
        "CampanhaId\r\n"
        "ActionId: ZXDBDisTelefonesDesativados\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisStatusChamadas") << QStringLiteral(
        "Action: ZXDBCommand\r\n"
        "Command: List\r\n"
        "Table: DisStatusDiscagem\r\n"
        "Fields: CampanhaId,Status,COUNT(ClienteId) AS Total\r\n"
        "Filter: WHERE CampanhaId in ('3','7') and Status > 0 and Status < 4 group by "
        "CampanhaId,Status\r\n"
        "ActionId: ZXDBDisStatusChamadas\r\n"
        "\r\n");
    QTest::newRow("ZXDBDisClassificacaoChamadas")
        << QStringLiteral("Action: ZXDBCommand\r\n"
                          "Command: List\r\n"
                          "Table: DisDiscagem\r\n"
                          "Fields: CampanhaId, ClassificacaoId, Count(*) AS Total\r\n"
                          "Filter: WHERE CampanhaId in ('3','7') and ClassificacaoId > 1 and "
                          "ClassificacaoId < 4 group by CampanhaId,ClassificacaoId\r\n"
                          "ActionId: ZXDBDisClassificacaoChamadas\r\n"
                          "\r\n");
}

const QStringList kOrdem{"ZXDBDisClientesTotal",
                         "ZXDBDisClientesDiscar",
                         "ZXDBDisStatusDiscagem",
                         "ZXDBDisClientesAgendados",
                         "ZXDBDisTelefonesTotal",
                         "ZXDBDisTelefonesDiscar",
                         "ZXDBDisTelefonesTentativasExcedidas",
                         "ZXDBDisTelefonesAgendados",
                         "ZXDBDisTelefonesDesativados",
                         "ZXDBDisStatusChamadas",
                         "ZXDBDisClassificacaoChamadas"};

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
    TCampanha* K(const QString& id) const { return monitor->Campanhas.ProcuraCampanha(id); }
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
    // that the queue list knows has one. The status keeps its low byte only.
    void rows_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("fila");
        QTest::addColumn<int>("ativa");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("running, queue named apart")
            << "Vendas"
            << "1"
            << "12" << 1 << "Campanha 7 - Vendas (Fila 12 - Suporte)";
        QTest::newRow("queue named as its id") << "Vendas"
                                               << "1"
                                               << "13" << 1 << "Campanha 7 - Vendas (Fila 13)";
        QTest::newRow("no name") << ""
                                 << "1"
                                 << "12" << 1 << "Campanha 7 (Fila 12 - Suporte)";
        QTest::newRow("status 256 is stopped") << "Vendas"
                                               << "256"
                                               << "12" << 0 << "Campanha 7 - Vendas";
        QTest::newRow("status 257 runs") << "Vendas"
                                         << "257"
                                         << "12" << 1 << "Campanha 7 - Vendas (Fila 12 - Suporte)";
        QTest::newRow("status -1 runs") << "Vendas"
                                        << "-1"
                                        << "12" << 255 << "Campanha 7 - Vendas (Fila 12 - Suporte)";
        QTest::newRow("status not a number") << "Vendas"
                                             << "sim"
                                             << "12" << 0 << "Campanha 7 - Vendas";
        QTest::newRow("stopped") << "Vendas"
                                 << "0"
                                 << "12" << 0 << "Campanha 7 - Vendas";
        QTest::newRow("queue 0") << "Vendas"
                                 << "1"
                                 << "0" << 1 << "Campanha 7 - Vendas";
        QTest::newRow("no queue") << "Vendas"
                                  << "1"
                                  << "" << 1 << "Campanha 7 - Vendas";
        QTest::newRow("unknown queue") << "Vendas"
                                       << "1"
                                       << "99" << 1 << "Campanha 7 - Vendas";
        QTest::newRow("accented name")
            << "Cobrança Março"
            << "1"
            << "12" << 1 << "Campanha 7 - Cobrança Março (Fila 12 - Suporte)";
    }
    void rows() {
        QFETCH(QString, nome);
        QFETCH(QString, status);
        QFETCH(QString, fila);
        Campanha("7", nome, status, fila);
        TCampanha* c = K("7");
        QVERIFY(c);
        QTEST(int(c->Ativa), "ativa");
        QCOMPARE(c->Nome, nome);
        QCOMPARE(c->IdFila, fila);
        QCOMPARE(c->Tipo, QStringLiteral("P"));
        QTEST(c->Titulo(), "titulo");
        const bool comFila = c->Titulo().contains("(Fila");
        QCOMPARE(c->PtrFila, comFila ? m->F(fila) : nullptr);
        // The queue is announced to the windows; the menu offers only running campaigns with one.
        QCOMPARE(m->ui->campanhas, QStringList{"7"});
        QCOMPARE(monitor->MenuDiscador().Ativas.size(), size_t(comFila ? 1 : 0));
        QCOMPARE(monitor->Campanhas.ContaAtivas(), c->EstaAtiva() ? 1 : 0);
    }

    // Refreshed rows update the campaigns in place; one missing from the refresh keeps its
    // state; a row without an id is ignored. Only the refresh's completion rebuilds the menu
    // and asks for the summary; the load's completion moves the load on.
    void refresh() {
        QVERIFY(m->Conecta());
        Campanha("1", "Cobrança", "1", "12");
        Campanha("2", "Renovação", "1", "13");
        m->Feed(Linha("ZXDBListaCampanhas", {"Nome: sem id", "Status: 1"}));
        m->Feed(Completa("ZXDBListaCampanhas"));
        QCOMPARE(monitor->Campanhas.Count(), 2);
        QCOMPARE(m->ui->menusDiscador, 0);
        QVERIFY(Enviadas("ZXDBDis").isEmpty());
        QCOMPARE(Enviadas("Agents"), QStringList{"Agents"});

        TCampanha* um = K("1");
        TCampanha* dois = K("2");
        Campanha("1", "Cobrança Abril", "0", "12", true);
        m->Feed(Linha("ZXDBListaCampanhasAtual", {"Nome: sem id", "Status: 1"}));
        QCOMPARE(monitor->Campanhas.Count(), 2);
        QCOMPARE(K("1"), um);
        QCOMPARE(um->Nome, QStringLiteral("Cobrança Abril"));
        QVERIFY(!um->EstaAtiva());
        QCOMPARE(um->PtrFila, nullptr);
        QCOMPARE(dois->Nome, QStringLiteral("Renovação"));
        QCOMPARE(dois->PtrFila, m->F("13"));
        QCOMPARE(m->ui->menusDiscador, 0);
        m->Feed(Completa("ZXDBListaCampanhasAtual"));
        QCOMPARE(m->ui->menusDiscador, 1);
        // Only campaign 2 still runs.
        const QStringList consultas = Enviadas("ZXDBDis");
        QCOMPARE(consultas.size(), 11);
        QVERIFY(m->enviados.last().contains("Filter: WHERE CampanhaId in ('2') and"));
    }

    void summaryQueryTexts_data() { QueriesFor37(); }
    void summaryQueryTexts() {
        QFETCH(QString, texto);
        QVERIFY(m->Conecta());
        Campanha("3", "A", "1", "12");
        Campanha("5", "Parada", "0", "12");
        Campanha("7", "B", "1", "0");
        K("5")->CliTotal = 9;
        monitor->LeResumoCampanhas();
        // Sent in the order of the table, each exactly so.
        QCOMPARE(Enviadas("ZXDBDis"), kOrdem);
        const QString id = QString::fromLatin1(QTest::currentDataTag());
        for (const QString& a : m->enviados)
            if (a.contains("ActionId: " + id + "\r\n")) QCOMPARE(a, texto);
        // Every campaign's counters start again from zero, the stopped one's too.
        QCOMPARE(K("5")->CliTotal, 0);
        QVERIFY(monitor->TimerCampanhas.isActive());
        QCOMPARE(monitor->TimerCampanhas.interval(), 60000);
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
        QVERIFY(!monitor->TimerCampanhas.isActive());
        if (TCampanha* c = K("1")) QCOMPARE(c->TelTotal, 4);
        QTEST(int(m->LogDesde(marca, "Resumo da campanha não pedido").size()), "recusadas");
    }

    // An id that could end the quoted text of a filter stays out of it; the safe ones go.
    void unsafeIdsStayOutOfFilters() {
        QVERIFY(m->Conecta());
        Campanha("3", "", "1", "12");
        Campanha("7') or ('1'='1", "", "1", "12");
        Campanha("8\"", "", "1", "12");
        Campanha("7", "", "1", "12");
        monitor->LeResumoCampanhas();
        QStringList filtros;
        for (const QString& a : m->enviados)
            if (a.contains("ActionId: ZXDBDis") && a.contains("CampanhaId in ("))
                filtros << a.section("Filter: ", 1).section("\r\n", 0, 0);
        QCOMPARE(filtros.size(), 6);
        for (const QString& f : filtros) {
            QVERIFY2(f.contains("in ('3','7')"), qPrintable(f));
            QVERIFY(!f.contains('"') && !f.contains("or ("));
        }
    }

    // Result rows fill the counters their query names; selectors pick the counter; odd rows
    // change nothing. The last query's completion refreshes every campaign's summary.
    void summaryRows_data() {
        QTest::addColumn<QStringList>("linhas"); // "query|CampanhaId|Total|selector"
        QTest::addColumn<QString>("esperado");
        QTest::newRow("one per query")
            << QStringList{"ZXDBDisClientesTotal|7|40",
                           "ZXDBDisClientesDiscar|7|12",
                           "ZXDBDisClientesAgendados|7|3",
                           "ZXDBDisTelefonesTotal|7|53",
                           "ZXDBDisTelefonesDiscar|7|15",
                           "ZXDBDisTelefonesTentativasExcedidas|7|6",
                           "ZXDBDisTelefonesAgendados|7|4",
                           "ZXDBDisTelefonesDesativados|7|2"}
            << "CliTotal=40 CliDisponiveis=12 CliAgendados=3 TelTotal=53 TelDisponiveis=15 "
               "TelTentativasExcedidas=6 TelAgendados=4 TelDesativados=2";
        QTest::newRow("dialling status 1 and 3 leave 2 alone")
            << QStringList{"ZXDBDisStatusDiscagem|7|9|Status: 1",
                           "ZXDBDisStatusDiscagem|7|5|Status: 3"}
            << "CliDiscados=9 CliAtendidosFila=5";
        QTest::newRow("call status, all three and an unknown")
            << QStringList{"ZXDBDisStatusChamadas|7|10|Status: 1",
                           "ZXDBDisStatusChamadas|7|8|Status: 2",
                           "ZXDBDisStatusChamadas|7|6|Status: 3",
                           "ZXDBDisStatusChamadas|7|99|Status: 4",
                           "ZXDBDisStatusChamadas|7|99|Status: x"}
            << "ChIniciadas=10 ChEncaminhadasFila=8 ChAtendidasFila=6";
        QTest::newRow("classification 2 and 3 only")
            << QStringList{"ZXDBDisClassificacaoChamadas|7|4|ClassificacaoId: 2",
                           "ZXDBDisClassificacaoChamadas|7|7|ClassificacaoId: 3",
                           "ZXDBDisClassificacaoChamadas|7|99|ClassificacaoId: 1",
                           "ZXDBDisClassificacaoChamadas|7|99|ClassificacaoId: 4"}
            << "ChOcupadas=4 ChNaoAtendidas=7";
        QTest::newRow("status 2 of the customers")
            << QStringList{"ZXDBDisStatusDiscagem|7|3|Status: 2"} << "CliEncaminhadosFila=3";
        QTest::newRow("later row overwrites")
            << QStringList{"ZXDBDisClientesTotal|7|40", "ZXDBDisClientesTotal|7|41"}
            << "CliTotal=41";
        QTest::newRow("total not a number reads 0")
            << QStringList{"ZXDBDisClientesTotal|7|40", "ZXDBDisClientesTotal|7|muitos"} << "";
        QTest::newRow("unknown campaign, no campaign")
            << QStringList{"ZXDBDisClientesTotal|8|40", "ZXDBDisClientesTotal||40"} << "";
    }
    void summaryRows() {
        QFETCH(QStringList, linhas);
        Campanha("7", "Vendas", "1", "12");
        Campanha("9", "Outra", "1", "12");
        for (const QString& l : linhas) {
            const QStringList f = l.split('|');
            QStringList colunas;
            if (!f[1].isEmpty()) colunas << "CampanhaId: " + f[1];
            colunas << "Total: " + f[2];
            if (f.size() > 3) colunas << f[3];
            m->Feed(Linha(f[0], colunas));
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
    // the channel reach the campaign; its hangup takes it out and frees the dialer data.
    void dialerCallLife() {
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
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
        QCOMPARE(m->ui->chamadasCampanha, QStringList{"7 SIP/tronco-01 CallAdded"});
        // The same answer again (a second request crossed the first) adds nothing.
        Variavel("SIP/tronco-01", "7");
        QCOMPARE(c->ContaChamadas(), 1);
        QCOMPARE(m->ui->chamadasCampanha, QStringList{"7 SIP/tronco-01 CallAdded"});

        m->ui->chamadasCampanha.clear();
        m->Ev("Newstate", {"Channel: SIP/tronco-01", "Uniqueid: 10.1", "State: Up"});
        QCOMPARE(m->ui->chamadasCampanha, QStringList{"7 SIP/tronco-01 CallUpdated"});
        // Other channels never reach the campaign.
        m->NovoCanal("SIP/2001-01", "10.2");
        m->Ev("Newstate", {"Channel: SIP/2001-01", "Uniqueid: 10.2", "State: Up"});
        QCOMPARE(m->ui->chamadasCampanha.size(), 1);

        m->Hangup("SIP/tronco-01", "10.1");
        QCOMPARE(m->ui->chamadasCampanha.last(), QStringLiteral("7 SIP/tronco-01 CallRemoved"));
        QCOMPARE(c->ContaChamadas(), 0);
        QVERIFY(monitor->Campanhas.CampanhasDoCanal(canal).isEmpty());
        QVERIFY(m->ui->erros.isEmpty());
    }

    // A dialer call of a campaign we do not know is marked but attached to nothing, and asked
    // again when it is listed again; an answer for a channel already gone changes nothing.
    void callOfUnknownCampaign() {
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
        m->NovoCanal("SIP/tronco-01", "10.1");
        Variavel("SIP/tronco-01", "8");
        TChannel* canal = m->C("SIP/tronco-01");
        QVERIFY(canal->Discador);
        QVERIFY(!canal->LigacaoDiscador);
        QCOMPARE(K("7")->ContaChamadas(), 0);
        QVERIFY(m->ui->chamadasCampanha.isEmpty());
        m->enviados.clear();
        m->Ev("Status", {"Channel: SIP/tronco-01", "Uniqueid: 10.1", "Seconds: 3"});
        QCOMPARE(Enviadas("VarDisCampanha-"), QStringList{"VarDisCampanha-SIP/tronco-01"});
        m->Hangup("SIP/tronco-01", "10.1");
        Variavel("SIP/tronco-01", "7");
        QCOMPARE(K("7")->ContaChamadas(), 0);
    }

    // Agent and local channels are never asked for the dialer variable, whatever event lists
    // them; other channels are, once they have no dialer data.
    void agentAndLocalChannelsNeverAsked_data() {
        QTest::addColumn<QString>("canal");
        QTest::addColumn<int>("pedidos");
        QTest::newRow("Local") << "Local/8003@fila-0001;1" << 0;
        QTest::newRow("Agent") << "Agent/1001" << 0;
        QTest::newRow("SIP") << "SIP/2001-0001" << 2;
    }
    void agentAndLocalChannelsNeverAsked() {
        QFETCH(QString, canal);
        QVERIFY(m->Conecta());
        m->NovoCanal(canal, "20.1");
        m->Ev("Status", {"Channel: " + canal, "Uniqueid: 20.1", "Seconds: 1"});
        QTEST(int(Enviadas("VarDisCampanha-").size()), "pedidos");
    }

    // Waiting and answering counts follow the queue data of the dialer calls; an agent taking
    // a dialer call up tells its campaign.
    void waitingAndAnswering() {
        QVERIFY(m->Conecta());
        m->Agente("1001", "Maria");
        Campanha("7", "Vendas", "1", "12");
        TCampanha* c = K("7");
        Discada("SIP/tronco-01", "10.1", "7"); // never queued
        TChannel* b = Discada("SIP/tronco-02", "10.2", "7");
        TChannel* d = Discada("SIP/tronco-03", "10.3", "7");
        m->Ev("Join", {"Channel: SIP/tronco-02", "Queue: 12", "Position: 1"});
        m->Ev("Join", {"Channel: SIP/tronco-03", "Queue: 12", "Position: 2"});
        QCOMPARE(c->ContaChamadas(), 3);
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
    }

    // A channel is the call of the one campaign its dialer data names: attached to another, it
    // leaves the first, keeping its dialer data; its hangup then concerns only the second.
    void callMovesToAnotherCampaign() {
        Campanha("7", "Vendas", "1", "12");
        Campanha("8", "Cobrança", "1", "13");
        TChannel* canal = Discada("SIP/tronco-01", "10.1", "7");
        const double inicio = canal->LigacaoDiscador->Inicio;
        m->Avanca(3);
        Variavel("SIP/tronco-01", "8");
        QCOMPARE(K("7")->ContaChamadas(), 0);
        QCOMPARE(K("8")->ContaChamadas(), 1);
        QCOMPARE(canal->LigacaoDiscador->PtrCampanha, K("8"));
        QCOMPARE(canal->LigacaoDiscador->Inicio, inicio);
        QCOMPARE(m->ui->chamadasCampanha,
                 (QStringList{"7 SIP/tronco-01 CallAdded", "7 SIP/tronco-01 CallRemoved",
                              "8 SIP/tronco-01 CallAdded"}));
        QCOMPARE(monitor->Campanhas.CampanhasDoCanal(canal).size(), 1);
        m->Hangup("SIP/tronco-01", "10.1");
        QCOMPARE(K("8")->ContaChamadas(), 0);
        QCOMPARE(m->ui->chamadasCampanha.last(), QStringLiteral("8 SIP/tronco-01 CallRemoved"));
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
        QCOMPARE(monitor->Campanhas.ProcuraCampanha(""), nullptr);
    }

    // The campaign list is asked again every tick; losing or failing the connection stops it.
    void timer_data() {
        QTest::addColumn<bool>("queda"); // the server drops us / the connection fails
        QTest::newRow("connection lost") << true;
        QTest::newRow("connection error") << false;
    }
    void timer() {
        QFETCH(bool, queda);
        QVERIFY(m->Conecta());
        Campanha("7", "Vendas", "1", "12");
        QVERIFY(!monitor->TimerCampanhas.isActive());
        monitor->TerminouCargaDeDados();
        QVERIFY(monitor->TimerCampanhas.isActive());
        QCOMPARE(Enviadas("ZXDBDis").size(), 11);
        monitor->TimerCampanhas.setInterval(20);
        QTRY_VERIFY(Enviadas("ZXDBListaCampanhasAtual").size() >= 2);
        QVERIFY(m->enviados.contains("Action: ZXDBCommand\r\nActionId: ZXDBListaCampanhasAtual\r\n"
                                     "Command: List\r\nTable: DisCampanha\r\n\r\n"));
        if (queda) {
            m->servidor->Drop();
            QTRY_VERIFY(!monitor->ManagerConnection()->Connected);
            QCOMPARE(monitor->Campanhas.Count(), 0);
        } else {
            monitor->OnClientManagerError(monitor->ManagerConnection(), 10053);
        }
        QVERIFY(!monitor->TimerCampanhas.isActive());
    }

    // The server drops us with dialer calls attached, some in a queue: everything is let go in
    // order and nothing points at freed memory (run under the address sanitizer).
    void disconnectWithDialerCalls() {
        QVERIFY(m->Conecta());
        m->Agente("1001", "Maria");
        Campanha("7", "Vendas", "1", "12");
        Campanha("8", "Cobrança", "1", "13");
        for (int i = 1; i <= 6; ++i) {
            const QString canal = QString("SIP/tronco-%1").arg(i);
            Discada(canal, QString("10.%1").arg(i), i % 2 ? "7" : "8");
            m->Ev("Join", {"Channel: " + canal, "Queue: " + QString(i % 2 ? "12" : "13")});
        }
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/tronco-1"});
        m->Ev("AgentConnect", {"Member: Agent/1001"});
        QCOMPARE(K("7")->ContaChamadas(), 3);
        m->servidor->Drop();
        QTRY_VERIFY(!monitor->ManagerConnection()->Connected);
        QCOMPARE(monitor->Campanhas.Count(), 0);
        QCOMPARE(monitor->Canais.Count(), 0);
        // Late packets of the closed connection find an empty model.
        Variavel("SIP/tronco-2", "8");
        m->Hangup("SIP/tronco-2", "10.2");
        m->Feed(Linha("ZXDBDisClientesTotal", {"CampanhaId: 7", "Total: 3"}));
        m->Feed(Completa("ZXDBDisClassificacaoChamadas"));
        QVERIFY(m->ui->erros.isEmpty());
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
