// The dialer campaigns of the demo scenario against the simulator in-process: after the load
// the monitor knows the three campaigns with their queues, a dialer call already up is attached
// to its campaign with the customer's number and name, and the summary queries run on the
// simulator's database fill every counter with what the tables hold.
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "sim/TSimDatabase.h"
#include "sim/TSimState.h"
#include "support/TMonitorNoSimulador.h"
#include "support/TRecordingUi.h"

#include <QSignalSpy>
#include <QSqlRecord>
#include <QTest>

namespace {

// What each counter counts, written straight against the scenario's tables (SQLite), for one
// campaign (?1). The campaign must be running with a queue for the joined ones.
const QList<QPair<QString, QString>> kContagens = {
    {"CliTotal", "SELECT count(*) FROM DisCliente WHERE CampanhaId = ?1"},
    {"CliDisponiveis",
     "SELECT count(DISTINCT t.ClienteId) FROM DisTelefone t JOIN DisCliente c ON c.CampanhaId = "
     "t.CampanhaId AND c.ClienteId = t.ClienteId JOIN DisCampanha k ON k.CampanhaId = "
     "t.CampanhaId WHERE t.CampanhaId = ?1 AND k.Status > 0 AND k.Fila > 0 AND t.Ativo = 1 AND "
     "t.numTentativas < k.maxTentativasDiscagens AND c.ClassificacaoId IS NULL AND c.Bloqueado "
     "= 0 AND (c.Agenda IS NULL OR c.Agenda < datetime('now','localtime')) AND (t.Agenda IS "
     "NULL OR t.Agenda < datetime('now','localtime')) AND (t.LastStatus IS NULL OR t.LastStatus "
     "= 4)"},
    {"CliDiscados",
     "SELECT count(DISTINCT ClienteId) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status "
     "= 1"},
    {"CliEncaminhadosFila",
     "SELECT count(DISTINCT ClienteId) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status "
     "= 2"},
    {"CliAtendidosFila",
     "SELECT count(DISTINCT ClienteId) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status "
     "= 3"},
    {"CliAgendados",
     "SELECT count(DISTINCT t.ClienteId) FROM DisTelefone t JOIN DisCliente c ON c.CampanhaId = "
     "t.CampanhaId AND c.ClienteId = t.ClienteId JOIN DisCampanha k ON k.CampanhaId = "
     "t.CampanhaId WHERE t.CampanhaId = ?1 AND k.Status > 0 AND k.Fila > 0 AND t.Ativo = 1 AND "
     "t.numTentativas < k.maxTentativasDiscagens AND c.ClassificacaoId IS NULL AND c.Bloqueado "
     "= 0 AND (c.Agenda >= datetime('now','localtime') OR t.Agenda >= "
     "datetime('now','localtime')) AND (t.LastStatus IS NULL OR t.LastStatus = 4)"},
    {"TelTotal", "SELECT count(*) FROM DisTelefone WHERE CampanhaId = ?1"},
    {"TelDisponiveis",
     "SELECT count(*) FROM DisTelefone t JOIN DisCliente c ON c.CampanhaId = t.CampanhaId AND "
     "c.ClienteId = t.ClienteId JOIN DisCampanha k ON k.CampanhaId = t.CampanhaId WHERE "
     "t.CampanhaId = ?1 AND k.Status > 0 AND k.Fila > 0 AND t.Ativo = 1 AND t.numTentativas < "
     "k.maxTentativasDiscagens AND c.ClassificacaoId IS NULL AND c.Bloqueado = 0 AND (c.Agenda "
     "IS NULL OR c.Agenda < datetime('now','localtime')) AND (t.Agenda IS NULL OR t.Agenda < "
     "datetime('now','localtime')) AND (t.LastStatus IS NULL OR t.LastStatus = 4)"},
    {"TelTentativasExcedidas",
     "SELECT count(*) FROM DisTelefone t JOIN DisCampanha k ON k.CampanhaId = t.CampanhaId "
     "WHERE t.CampanhaId = ?1 AND k.Status > 0 AND k.Fila > 0 AND t.numTentativas >= "
     "k.maxTentativasDiscagens"},
    {"TelAgendados",
     "SELECT count(*) FROM DisTelefone t JOIN DisCliente c ON c.CampanhaId = t.CampanhaId AND "
     "c.ClienteId = t.ClienteId JOIN DisCampanha k ON k.CampanhaId = t.CampanhaId WHERE "
     "t.CampanhaId = ?1 AND k.Status > 0 AND k.Fila > 0 AND t.Ativo = 1 AND t.numTentativas < "
     "k.maxTentativasDiscagens AND c.ClassificacaoId IS NULL AND c.Bloqueado = 0 AND (c.Agenda "
     ">= datetime('now','localtime') OR t.Agenda >= datetime('now','localtime')) AND "
     "(t.LastStatus IS NULL OR t.LastStatus = 4)"},
    {"TelDesativados", "SELECT count(*) FROM DisTelefone WHERE CampanhaId = ?1 AND Ativo = 0"},
    {"ChIniciadas", "SELECT count(*) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status = 1"},
    {"ChEncaminhadasFila",
     "SELECT count(*) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status = 2"},
    {"ChAtendidasFila",
     "SELECT count(*) FROM DisStatusDiscagem WHERE CampanhaId = ?1 AND Status = 3"},
    {"ChOcupadas",
     "SELECT count(*) FROM DisDiscagem WHERE CampanhaId = ?1 AND ClassificacaoId = 2"},
    {"ChNaoAtendidas",
     "SELECT count(*) FROM DisDiscagem WHERE CampanhaId = ?1 AND ClassificacaoId = 3"},
};

} // namespace

class TestE2eCampaigns : public QObject {
    Q_OBJECT

    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TRecordingUi> ui;
    std::unique_ptr<TMonitor> monitor;

    int Conta(const QString& sql, const QString& campanha) const {
        const QList<QSqlRecord> r = server->database()->rows(sql, {campanha.toInt()});
        return r.isEmpty() ? -1 : r.first().value(0).toInt();
    }

private Q_SLOTS:
    void cleanup() {
        if (monitor) monitor->Fecha();
        monitor.reset();
        ui.reset();
        server.reset();
    }

    void loadAndSummary() {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        QString error;
        QVERIFY2(server->start(options, &error), qPrintable(error));
        // A dialer call of campaign 1 already up and waiting in its queue.
        TSimChannel chamada;
        chamada.name = QStringLiteral("Khomp/B0C3-1");
        chamada.callerIdNum = QStringLiteral("8003");
        const QString uid = server->state()->addChannel(chamada);
        QVERIFY(server->state()->joinQueue(QStringLiteral("3"), uid));
        QVERIFY(server->state()->setChannelVariable(uid, "DisCampanha", "1"));
        QVERIFY(server->state()->setChannelVariable(uid, "DisTelefone", "11987654321"));
        QVERIFY(server->state()->setChannelVariable(uid, "DisNome", "Adriana Silva"));

        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ui->Assina(monitor->Avisos());
        ApontaParaSimulador(*monitor, *server);
        QSignalSpy carregado(monitor.get(), &TMonitor::LoadFinished);
        QSignalSpy resumidas(monitor.get(), &TMonitor::CampanhasResumidas);
        monitor->Conectar();
        QVERIFY(carregado.wait(20000));
        QVERIFY(resumidas.count() > 0 || resumidas.wait(20000));
        QVERIFY(monitor->TimerCampanhas().isActive());

        QCOMPARE(monitor->Campanhas.Count(), 3);
        TCampanha* um = monitor->Campanhas.Procura("1");
        TCampanha* dois = monitor->Campanhas.Procura("2");
        TCampanha* tres = monitor->Campanhas.Procura("3");
        QVERIFY(um && dois && tres);
        QCOMPARE(um->Titulo(), QStringLiteral("Campanha 1 - Cobrança Março (Fila 3 - Financeiro)"));
        QCOMPARE(dois->PtrFila, monitor->Filas.Procura("4"));
        QVERIFY(!tres->EstaAtiva());
        QCOMPARE(tres->PtrFila, nullptr);
        QCOMPARE(monitor->TemPermissaoCampanhasAtivas(), 2);
        QCOMPARE(monitor->MenuDiscador().CaptionInativas, QStringLiteral("Campanhas inativas (1)"));

        // The call that was up when we connected belongs to campaign 1 and shows its customer.
        TChannel* canal = monitor->Canais.Procura("Khomp/B0C3-1", {});
        QVERIFY(canal);
        QTRY_COMPARE(um->ContaChamadas(), 1);
        QCOMPARE(um->Chamadas().front(), canal);
        QVERIFY(canal->Discador);
        QTRY_COMPARE(canal->CallerIdNum, QStringLiteral("11987654321"));
        QTRY_COMPARE(canal->CallerIdName, QStringLiteral("Adriana Silva"));
        QCOMPARE(um->ContaAguardando(), 1);

        // Every counter holds what the tables say; the stopped campaign's stay at zero.
        for (TCampanha* c : {um, dois}) {
            for (const auto& [nome, sql] : kContagens) {
                const int esperado = Conta(sql, c->CampanhaId());
                QVERIFY(esperado >= 0);
                QVERIFY2(c->Resumo(nome) == esperado, qPrintable(QString("%1 %2: %3 em vez de %4")
                                                                     .arg(c->CampanhaId(), nome)
                                                                     .arg(c->Resumo(nome))
                                                                     .arg(esperado)));
            }
        }
        QVERIFY(um->CliTotal > 0 && um->ChOcupadas > 0 && dois->TelTotal > 0);
        for (const auto& k : TCampanha::Contadores())
            QCOMPARE(tres->*k.Campo, 0);
        QCOMPARE(ui->resumos.mid(ui->resumos.size() - 3), (QStringList{"1", "2", "3"}));

        const QString dump = monitor->Dump("Campanhas");
        QVERIFY(
            dump.startsWith("Campanha: 1\r\nNome: Cobrança Março\r\nAtiva: 1\r\nIdFila: 3\r\n"));
        QVERIFY(dump.contains("Channels: 1\r\nChannel: Khomp/B0C3-1\r\n"));
        QVERIFY(dump.contains(QString("Res CliTotal            : %1\r\n").arg(um->CliTotal)));
        QVERIFY2(ui->erros.isEmpty(), qPrintable(ui->erros.join('\n')));

        // The server goes away with the call attached: the campaigns go, the timer stops.
        server->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!monitor->ManagerConnection()->Connected, 10000);
        QCOMPARE(monitor->Campanhas.Count(), 0);
        QVERIFY(!monitor->TimerCampanhas().isActive());
    }
};

QTEST_GUILESS_MAIN(TestE2eCampaigns)
#include "test_e2e_campaigns.moc"
