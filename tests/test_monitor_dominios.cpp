// The dispatcher's registration of the model's domains: every event and table-query row goes to
// exactly one domain, the one that owns it, and a name nobody registered goes nowhere.
#include "monitor/TMonitor.h"

#include <QTest>

class TestMonitorDominios : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A domain registering a name another domain already handles would silently lose it.
    void noNameRegisteredTwice() { QCOMPARE(TMonitor::ConflitosDeRegistro(), QStringList()); }

    void routes_data() {
        QTest::addColumn<bool>("linha");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("dominio");
        const auto ev = [](const char* nome, const char* dominio) {
            QTest::addRow("event %s", nome) << false << nome << dominio;
        };
        const auto row = [](const char* nome, const char* dominio) {
            QTest::addRow("row %s", nome) << true << nome << dominio;
        };
        ev("newchannel", "Telefonia");
        ev("status", "Telefonia");
        ev("hangup", "Telefonia");
        ev("alarmclear", "Telefonia");
        ev("agentcalled", "CallCenter");
        ev("queuememberpaused", "CallCenter");
        ev("queuecallsubreasoncount", "CallCenter");
        ev("zxuserpermissionscomplete", "Usuarios");
        ev("queuestatuscomplete", "Conexao");
        ev("zxdbevent", "Conexao");
        ev("chatnewmessage", "Chat");
        // Names arrive lower-cased: the table holds no other spelling.
        ev("Hangup", "");
        ev("nosuchevent", "");
        row("ZXDBListaRamais", "Telefonia");
        row("ZXDBListaMotivosPausa", "CallCenter");
        row("ZXDBChamadasAtivasFilas", "CallCenter");
        row("ZXDBListaCampanhasAtual", "Campanhas");
        row("ZXDBDisClassificacaoChamadas", "Campanhas");
        row("ZXDBLoginVesmara", "Usuarios");
        row("ZXDBMensagensNaLidasChat", "Chat");
        row("ZXDBNoSuchQuery", "");
    }
    void routes() {
        QFETCH(bool, linha);
        QFETCH(QString, nome);
        QFETCH(QString, dominio);
        QCOMPARE(linha ? TMonitor::DominioDaLinha(nome) : TMonitor::DominioDoEvento(nome), dominio);
    }
};

QTEST_GUILESS_MAIN(TestMonitorDominios)
#include "test_monitor_dominios.moc"
