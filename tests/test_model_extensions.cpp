// Extensions: rows and device names, registration from "sip show peers" and peer events,
// hardware lines from the Khomp output, the calls they take part in, the counting permission
// checks, the dump, and a second load on the same connection.
#include "base/Clock.h"
#include "model/telephony/TTipoCanal.h"
#include "support/TPacotes.h"

#include <QTest>

#include <stdexcept>

namespace {

QString Ramal(const QString& id, const QString& tipo, const QString& fisico = {}) {
    return Linha("ZXDBListaRamais", {"RamalId: " + id, "Nome: Nome " + id, "Tipo: " + tipo,
                                     "FisicoEndereco: " + fisico});
}

// A "sip show peers" line in the console's columns (name 26, host 40, then to the status).
QString PeerLine(const QString& name, const QString& host, const QString& status) {
    auto cell = [](const QString& t, int w) { return t.left(w - 1).leftJustified(w, ' '); };
    return cell(name, 26) + cell(host, 40) + cell("D", 4) + cell("No", 11) + cell("No", 11) +
           cell("", 4) + cell("5060", 9) + cell(status, 12) + "descr";
}

// A window that fails while being updated.
struct TFailingUi : TRecordingUi {
    bool falha = false;
    void AtualizaRamal(TRamal* r) override {
        if (falha) throw std::runtime_error("janela");
        TRecordingUi::AtualizaRamal(r);
    }
    void AtualizaTronco(TTronco* t, TCanalTronco* c) override {
        if (falha) throw std::runtime_error("janela");
        TRecordingUi::AtualizaTronco(t, c);
    }
};

} // namespace

class TestModelExtensions : public QObject {
    Q_OBJECT

    std::unique_ptr<TMonitorAlimentado> m;
    TMonitor* monitor = nullptr;
    double agora = 45000.0;

    void Feed(const QString& p) { m->Feed(p); }
    TRamal* R(const QString& device) { return monitor->Ramais.ProcuraDispositivo(device); }

private Q_SLOTS:
    void init() {
        agora = 45000.0;
        SetLocalClockForTesting([this] { return agora; });
        m = std::make_unique<TMonitorAlimentado>();
        monitor = m->monitor.get();
    }
    void cleanup() {
        m.reset();
        SetLocalClockForTesting({});
    }

    // The device of an extension row by its type; a hardware one names the line of its port.
    void deviceFromTheRow_data() {
        QTest::addColumn<QString>("linha"); // "type|port id|device|state"
        QTest::addColumn<bool>("porta");
        QTest::newRow("sip") << "s||SIP/300|I" << false;
        QTest::newRow("iax") << "i||IAX/300|I" << false;
        QTest::newRow("virtual") << "v||Virtual/300|" << false;
        QTest::newRow("khomp port") << "f|11|Khomp/B0C31|I" << true;
        QTest::newRow("dahdi port") << "f|12|Zap/1|I" << true;
        QTest::newRow("missing port") << "f|99||I" << false;
        QTest::newRow("port id not a number") << "f|onze||I" << false;
        QTest::newRow("other type") << "x|11||" << false;
    }
    void deviceFromTheRow() {
        QFETCH(QString, linha);
        QFETCH(bool, porta);
        const QStringList f = linha.split('|');
        const QString& device = f[2];
        // Board 0: an E1 (lines 0-29), an E1 trunk's neighbour extension port at line 30, and
        // this extension's port at line 31; a DAHDI extension port at line 1.
        for (const auto& [id, marca, tipoPorta, classe] :
             {std::tuple{10, "k", "t", "d"}, std::tuple{13, "k", "r", ""},
              std::tuple{11, "k", "r", ""}, std::tuple{12, "z", "r", ""}})
            Feed(Linha("ZXDBListaPortas",
                       {"PortaId: " + QString::number(id), "Placa: 0", QString("Marca: ") + marca,
                        QString("Tipo: ") + tipoPorta, QString("TipoTronco: ") + classe}));
        Feed(Completa("ZXDBListaPortas"));
        Feed(Ramal("300", f[0], f[1]));
        QCOMPARE(monitor->Ramais.Count(), 1);
        TRamal* r = monitor->Ramais.Item(0);
        QCOMPARE(r->Dispositivo(), device);
        QCOMPARE(r->Estado, f[3]);
        QCOMPARE(r->Porta != nullptr, porta);
        QCOMPARE(r->Descricao(), QStringLiteral("300 (Nome 300)"));
        QCOMPARE(R(device), device.isEmpty() ? nullptr : r);
        QVERIFY(m->ui->ramais.isEmpty()); // loading announces nothing
    }

    void sipPeersOutput() {
        Feed(Ramal("2001", "s"));
        Feed(Ramal("2002", "s"));
        Feed(Ramal("2003", "s"));
        monitor->Ramais.Item(2)->Endereco = "10.0.0.3";
        Feed(Linha("ZXDBListaTroncos", {"Nome: VoipBrasil", "Tipo: s", "IdTronco: 5"}));
        Feed(Linha("ZXDBListaTroncos", {"Nome: Outro", "Tipo: s", "IdTronco: 6"}));
        Feed(SaidaComando("SIPPeers", {QString(94, ' ') + "OK before the header",
                                       PeerLine("Name/username", "Host", "Status"),
                                       PeerLine("2001/2001", "10.0.0.21", "OK (12 ms)"),
                                       PeerLine("2002", "(Unspecified)", "UNKNOWN"),
                                       PeerLine("2003/2003", "(Unspecified)", "OK (1 ms)"),
                                       PeerLine("VoipBrasil/4140042000", "200.1.1.1", "OK (23 ms)"),
                                       PeerLine("Outro/x", "200.1.1.2", "UNREACHABLE"),
                                       "3 sip peers [Monitored: 2 online]", "short"}));
        QCOMPARE(R("SIP/2001")->Estado, QStringLiteral("L"));
        QCOMPARE(R("SIP/2001")->Endereco, QStringLiteral("10.0.0.21"));
        QCOMPARE(R("SIP/2002")->Estado, QStringLiteral("I"));
        QCOMPARE(R("SIP/2003")->Estado, QStringLiteral("L"));
        QCOMPARE(R("SIP/2003")->Endereco, QStringLiteral("10.0.0.3")); // "(Unspecified)" keeps it
        QCOMPARE(monitor->Troncos.Procura("VoipBrasil")->EstadoSip, QStringLiteral("L"));
        QCOMPARE(monitor->Troncos.Procura("Outro")->EstadoSip, QStringLiteral("I"));
        QCOMPARE(monitor->Troncos.Procura("Outro")->Canais.Item(0)->StatusDetalhe,
                 QStringLiteral("Unreachable"));
        QVERIFY(m->ui->ramais.isEmpty()); // the output itself notifies no extension

        // Without a header nothing is read.
        Feed(Ramal("2004", "s"));
        Feed(SaidaComando("SIPPeers", {PeerLine("2004/2004", "10.0.0.4", "OK (1 ms)")}));
        QCOMPARE(R("SIP/2004")->Estado, QStringLiteral("I"));
    }

    // A peer event sets the extension's state (busy while in a call) and, when registering,
    // its address; other texts leave the state.
    void peerStatus_data() {
        QTest::addColumn<QString>("linha"); // "state before|status|state after|address after"
        QTest::addColumn<bool>("inCall");
        QTest::newRow("reachable, free") << "I|Reachable|L|old" << false;
        QTest::newRow("reachable, in a call") << "I|Reachable|O|old" << true;
        QTest::newRow("registered sets the address") << "I|Registered|L|10.1.1.1" << false;
        QTest::newRow("registered keeps a known state") << "L|Registered|L|10.1.1.1" << true;
        QTest::newRow("unregistered") << "O|Unregistered|I|old" << true;
        QTest::newRow("unreachable") << "L|Unreachable|I|old" << false;
        QTest::newRow("other text") << "I|Lagged|I|old" << false;
    }
    void peerStatus() {
        QFETCH(QString, linha);
        QFETCH(bool, inCall);
        const QStringList f = linha.split('|');
        Feed(Ramal("2001", "s"));
        TRamal* r = R("SIP/2001");
        if (inCall) m->NovoCanal("SIP/2001-01", "1");
        r->Estado = f[0];
        r->Endereco = "old";
        m->ui->ramais.clear();
        Feed(Evento("PeerStatus", {"Peer: SIP/2001", "PeerStatus: " + f[1], "Address: 10.1.1.1"}));
        QCOMPARE(r->Estado, f[2]);
        QCOMPARE(r->Endereco, f[3]);
        QCOMPARE(m->ui->ramais, QStringList{"2001 " + f[2]});
        Feed(Evento("PeerStatus", {"Peer: SIP/9999", "PeerStatus: Reachable"}));
        QCOMPARE(m->ui->ramais.size(), 1);
    }

    void khompLinesOfHardwareExtensions() {
        Feed(Linha("ZXDBListaPortas", {"PortaId: 1", "Placa: 0", "Marca: k", "Tipo: r"}));
        Feed(Linha("ZXDBListaPortas", {"PortaId: 2", "Placa: 0", "Marca: k", "Tipo: r"}));
        Feed(Completa("ZXDBListaPortas"));
        Feed(Ramal("100", "f", "1"));
        Feed(Ramal("101", "f", "2"));
        QCOMPARE(R("Khomp/B0C1")->RamalId, QStringLiteral("101"));
        Feed(SaidaComando("KhompChannels", {"<K> | 0,00 | unused | Outgoing | ok",
                                            "<K> | 0,01 | unused | Free | ok"}));
        QCOMPARE(R("Khomp/B0C0")->Estado, QStringLiteral("L"));
        QCOMPARE(R("Khomp/B0C1")->Estado, QStringLiteral("L"));
        Feed(SaidaComando("KhompChannels", {"<K> | 0,01 | unused | Failure | x"}));
        QCOMPARE(R("Khomp/B0C1")->Estado, QStringLiteral("L")); // other texts change nothing
        QCOMPARE(m->ui->ramais, (QStringList{"100 L", "101 L", "101 L"}));
    }

    void callsOfAnExtension() {
        Feed(Ramal("2001", "s"));
        TRamal* r = R("SIP/2001");
        m->NovoCanal("SIP/2001-01", "1");
        QCOMPARE(r->Estado, QStringLiteral("O"));
        QCOMPARE(monitor->Canais.Procura("SIP/2001-01", {})->TipoCanal->DonoRamal(), r);
        m->NovoCanal("SIP/2001-02", "2");
        QCOMPARE(r->Ligacoes().size(), size_t(2));
        QCOMPARE(r->Ligacoes().front(), monitor->Ligacoes.Item(1)); // newest first
        QCOMPARE(r->TempoLivre(), QString());
        QCOMPARE(r->SegundosLivre(), 0);

        // The same bridge again only tells the window; an absent one changes nothing.
        m->ui->ramais.clear();
        r->AdicionaLigacao(monitor->Ligacoes.Item(0));
        r->RemoveLigacao(nullptr);
        QCOMPARE(m->ui->ramais, QStringList{});

        agora += 10.0 / 86400;
        m->Hangup("SIP/2001-01", "1");
        QCOMPARE(r->Estado, QStringLiteral("O"));
        agora += 20.0 / 86400;
        const double segundo = ServerNow();
        m->Hangup("SIP/2001-02", "2");
        QCOMPARE(r->Estado, QStringLiteral("L"));
        QCOMPARE(r->LivreDesde, segundo);
        agora += 5.0 / 86400;
        QCOMPARE(r->SegundosLivre(), 5);
        QCOMPARE(r->TempoLivre(), QStringLiteral("00:00:05"));
        QCOMPARE(m->ui->ramais, (QStringList{"2001 O", "2001 L"}));
    }

    void countingPermissions_data() {
        QTest::addColumn<QString>("form"); // "" unrestricted, "old", "new", "closed"
        QTest::addColumn<int>("ramais");
        QTest::addColumn<int>("troncos");
        QTest::newRow("unrestricted") << "" << 3 << 2;
        QTest::newRow("old form: by name") << "old" << 1 << 1;
        QTest::newRow("new form: by trunk id") << "new" << 1 << 1;
        QTest::newRow("gate closed") << "closed" << 0 << 1;
    }
    void countingPermissions() {
        QFETCH(QString, form);
        QFETCH(int, ramais);
        QFETCH(int, troncos);
        for (const char* id : {"2001", "2002", "2003"})
            Feed(Ramal(id, "s"));
        Feed(Linha("ZXDBListaTroncos", {"Nome: E1 Oi", "Tipo: s", "IdTronco: 4"}));
        Feed(Linha("ZXDBListaTroncos", {"Nome: VoipBrasil", "Tipo: s", "IdTronco: 5"}));
        TPermissaoUsuario& p = monitor->Permissoes;
        if (!form.isEmpty()) {
            p.SetaUsuario("u1", "u", 0, {});
            if (form == "new") p.IdUser = "3";
            if (form != "closed") {
                p.AdicionaPermissao(form == "new" ? "Monitorar Call Center" : "Monitor",
                                    "Visualizar");
                p.AdicionaPermissao("Ramal", "Visualizar");
                p.AdicionaValor("Ramal", "Visualizar", "2002", "R");
            }
            p.AdicionaPermissao("Tronco", "Visualizar");
            p.AdicionaValor("Tronco", "Visualizar", form == "new" ? "5" : "E1 Oi", "R");
        }
        QCOMPARE(monitor->TemPermissaoRamais(), ramais);
        QCOMPARE(monitor->TemPermissaoTroncos(), troncos);
        QVERIFY(!monitor->TemPermissaoTronco(static_cast<const TTronco*>(nullptr)));
    }

    // A window fails while a call ends: the error goes on to the error hook, and nothing is
    // left holding the freed call (the sanitizer build checks the memory).
    void aFailingWindowLeavesNoFreedCallBehind() {
        TFailingUi falhaUi;
        monitor->SetUi(&falhaUi);
        falhaUi.Assina(monitor->Avisos());
        // The same extension and the same trunk listed twice: two holders of one call each.
        Feed(Ramal("2001", "s"));
        Feed(Ramal("2001", "s"));
        Feed(Linha("ZXDBListaPortas",
                   {"PortaId: 1", "Placa: 0", "Marca: k", "Tipo: t", "TipoTronco: a"}));
        Feed(Completa("ZXDBListaPortas"));
        Feed(Linha("ZXDBListaTroncos", {"Nome: A", "Tipo: f", "TroncoId: 1"}));
        Feed(Linha("ZXDBListaTroncos", {"Nome: B", "Tipo: f", "TroncoId: 1"}));
        m->NovoCanal("SIP/2001-01", "1");
        m->NovoCanal("Khomp/B0C0-1", "2");
        QCOMPARE(monitor->Ramais.Item(1)->Ligacoes().size(), size_t(1));
        QVERIFY(monitor->Troncos.Item(1)->Canais.Item(0)->Ligacao());

        falhaUi.falha = true;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m->Hangup("SIP/2001-01", "1"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m->Hangup("Khomp/B0C0-1", "2"));
        falhaUi.falha = false;
        QCOMPARE(monitor->Canais.Count(), 0);
        QCOMPARE(monitor->Ligacoes.Count(), 0);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(monitor->Ramais.Item(i)->Ligacoes().empty());
            QCOMPARE(monitor->Ramais.Item(i)->Estado, QStringLiteral("L"));
            QCOMPARE(monitor->Troncos.Item(i)->Canais.Item(0)->Ligacao(), nullptr);
        }
        QVERIFY(!monitor->Dump("Ramais").contains("Link:"));
        m->NovoCanal("Khomp/B0C0-3", "3");
        QCOMPARE(monitor->Troncos.Item(0)->Canais.Item(0)->Ligacao(), monitor->Ligacoes.Item(0));
        monitor->SetUi(m->ui.get());
    }

    // "Trocar de usuário" runs the load again on the same connection: the configuration is
    // loaded afresh, not twice, and live calls keep valid ties to it.
    void secondLoadOnTheSameConnection() {
        auto carga = [this] {
            monitor->SendAfter("ZXDBListaPerfilConfiguracao");
            Feed(Linha("ZXDBListaPortas",
                       {"PortaId: 1", "Placa: 0", "Marca: z", "Tipo: t", "TipoTronco: d"}));
            Feed(Completa("ZXDBListaPortas"));
            Feed(Ramal("2001", "s"));
            Feed(Linha("ZXDBListaTroncos", {"Nome: E1", "Tipo: f", "TroncoId: 1", "IdTronco: 1"}));
        };
        carga();
        m->NovoCanal("SIP/2001-01", "1");
        m->NovoCanal("DAHDI/3-1", "2");
        Feed(Evento("Link", {"Channel1: DAHDI/3-1", "Channel2: SIP/2001-01", "Uniqueid1: 2",
                             "Uniqueid2: 1"}));
        TChannel* sip = monitor->Canais.Procura("SIP/2001-01", {});
        QVERIFY(sip->TemTipoCanal());

        carga();
        QCOMPARE(monitor->Portas.Count(), 1);
        QCOMPARE(monitor->Ramais.Count(), 1);
        QCOMPARE(monitor->Troncos.Count(), 1);
        QVERIFY(!sip->TemTipoCanal());
        // The status listing of the load ties the calls to the new objects again.
        Feed(Evento("Status", {"Channel: SIP/2001-01", "Uniqueid: 1", "State: Up", "Seconds: 5",
                               "Link: DAHDI/3-1"}));
        TRamal* r = monitor->Ramais.Item(0);
        QCOMPARE(r->Estado, QStringLiteral("O"));
        QCOMPARE(sip->TipoCanal->DonoRamal(), r);
        QCOMPARE(sip->NomePeer(), QStringLiteral("Ramal 2001 (Nome 2001)"));
        QCOMPARE(monitor->Troncos.Item(0)->Canais.Item(2)->Ligacao(), monitor->Ligacoes.Item(0));
        m->Hangup("DAHDI/3-1", "2");
        m->Hangup("SIP/2001-01", "1");
        QCOMPARE(r->Estado, QStringLiteral("L"));
    }
};

QTEST_GUILESS_MAIN(TestModelExtensions)
#include "test_model_extensions.moc"
