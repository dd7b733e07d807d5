// The telephony configuration of the demo scenario, loaded from the simulator in-process:
// extensions with their registration, trunks with their lines' states, ports.
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "support/TRecordingUi.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

class TestE2eTelephony : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every form a server may write its console command answers in loads the same.
    void demoScenarioLoads_data() {
        QTest::addColumn<int>("form");
        QTest::newRow("lone LF") << int(TSimCommandForm::Lf);
        QTest::newRow("CR LF") << int(TSimCommandForm::CrLf);
        QTest::newRow("Output lines") << int(TSimCommandForm::Output);
    }
    void demoScenarioLoads() {
        QFETCH(int, form);
        TPbxServer server;
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.commandForm = TSimCommandForm(form);
        QString error;
        QVERIFY2(server.start(options, &error), qPrintable(error));
        TRecordingUi ui;
        TMonitor monitor(&ui);
        ui.Assina(monitor.Avisos());
        monitor.Inicia(QString());
        monitor.PortaChat = server.chatPort();
        monitor.IP = "127.0.0.1";
        monitor.Porta = server.managerPort();
        monitor.Usuario = "demo";
        monitor.Senha = "demo";
        monitor.SalvarSenha = true;
        QSignalSpy loaded(&monitor, &TMonitor::LoadFinished);
        monitor.Conectar();
        QVERIFY(loaded.wait(20000));

        // Extensions 2000 to 2029 in order, registered ones free with their address.
        const QString ramais = monitor.Dump("Ramais");
        QStringList linhas;
        for (const auto& match :
             QRegularExpression("^Ramal: .*$", QRegularExpression::MultilineOption)
                 .globalMatch(ramais))
            linhas << match.captured().trimmed();
        QCOMPARE(linhas.size(), 30);
        QCOMPARE(monitor.Ramais.Count(), 30);
        for (int i = 0; i < 30; ++i) {
            const QString id = QString::number(2000 + i);
            QCOMPARE(linhas[i], "Ramal: " + id + " (SIP/" + id + ")");
            const TRamal* r = monitor.Ramais.Item(i);
            const bool registrado = !((i >= 17 && i <= 20) || i == 28);
            QCOMPARE(r->Estado, registrado ? QStringLiteral("L") : QStringLiteral("I"));
            QCOMPARE(r->Endereco, registrado ? QString("192.168.10.%1").arg(100 + i) : QString());
        }

        // Trunks in the server's order, with the ports behind them.
        const QString troncos = monitor.Dump("Troncos");
        QStringList nomes;
        for (const auto& match :
             QRegularExpression("^Tronco: (.*)$", QRegularExpression::MultilineOption)
                 .globalMatch(troncos))
            nomes << match.captured(1).trimmed();
        QCOMPARE(nomes, (QStringList{"VoipBrasil", "E1 Embratel", "Celular Vivo", "Celular Claro",
                                     "E1 Oi"}));
        QVERIFY(troncos.contains(
            "Tronco: E1 Oi\r\nTroncoIdPorta: 4\r\nIdTroncoId: 4\r\nTipo: f\r\nTipoTronco: d\r\n"
            "PortaId: 4\r\nPorta: DAHDI E1 - Span 1\r\nMarca: z\r\n"));
        const QString portas = monitor.Dump("Portas");
        QCOMPARE(portas.count("PortaId: "), 4);
        QVERIFY(portas.startsWith(
            "PortaId: 1\r\nPorta: Khomp E1 - Span 1\r\nMarca: k\r\nTipo: t\r\nTipoTronco: d\r\n"));

        // Line states from the board outputs and the SIP peers.
        const TTronco* embratel = monitor.Troncos.Procura("E1 Embratel");
        QCOMPARE(embratel->Canais.Count(), 30);
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(embratel->Canais.Item(i)->Status, QStringLiteral("Free"));
            QCOMPARE(embratel->Canais.Item(i)->StatusDetalhe, QStringLiteral("ok"));
        }
        const TCanalTronco* vivo = monitor.Troncos.Procura("Celular Vivo")->Canais.Item(0);
        QCOMPARE(vivo->Dispositivo(), QStringLiteral("Khomp/B1C0"));
        QCOMPARE(vivo->Operadora, QStringLiteral("Vivo"));
        QCOMPARE(vivo->NivelSinal, QStringLiteral("82%"));
        QCOMPARE(monitor.Troncos.Procura("Celular Claro")->Canais.Item(0)->NivelSinal,
                 QStringLiteral("57%"));
        const TTronco* oi = monitor.Troncos.Procura("E1 Oi");
        QCOMPARE(oi->Canais.Count(), 31);
        for (int i = 0; i < 31; ++i)
            QCOMPARE(oi->Canais.Item(i)->Status,
                     i == 15 ? QStringLiteral("Sinal") : QStringLiteral("In Service"));
        QCOMPARE(monitor.Troncos.Procura("VoipBrasil")->EstadoSip, QStringLiteral("L"));
        QCOMPARE(monitor.MotivosPausa.Count(), 8);
        QCOMPARE(monitor.TemPermissaoRamais(), 30);
        QCOMPARE(monitor.TemPermissaoTroncos(), 5);
        QVERIFY(ui.erros.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestE2eTelephony)
#include "test_e2e_telephony.moc"
