// The fan-out of the model's change notices to the windows: for every notice a model object
// gives, which window updates follow, in order, as windows subscribed to them see them. Also
// the subscriptions themselves: a listener that leaves, even in the middle of a notice, hears
// no more.
#include "support/TCentral.h"

#include <QTest>

namespace {

// Subscribed to every family, as the windows showing everything would be; one line per update.
struct TTodasAsJanelas {
    QStringList linhas;
    std::vector<TAssinatura> assinaturas;

    explicit TTodasAsJanelas(TAvisos& a) {
        auto nome = [](TChannel* c) { return c ? c->Channel() : QStringLiteral("-"); };
        assinaturas.push_back(
            a.Ramal.Assina([this](TRamal* r) { linhas << "Ramal " + r->RamalId; }));
        assinaturas.push_back(a.Tronco.Assina([this](TTronco* t, TCanalTronco* c) {
            linhas << "Tronco " + t->Nome + '#' + QString::number(c->Indice());
        }));
        assinaturas.push_back(a.Agente.Assina([this](TAgente* ag, TAvisoAgente k) {
            linhas << "Agente " + ag->Agent() + ' ' + TextoAviso(k);
        }));
        assinaturas.push_back(a.Membro.Assina([this](TFila* f, TMembroFila* m, TAvisoFila k) {
            linhas << "Membro " + f->FilaId() + ' ' + m->Member + ' ' + TextoAviso(k);
        }));
        assinaturas.push_back(
            a.ChamadaFila.Assina([this, nome](TFila* f, TChannel* c, TAvisoFila k) {
                linhas << "ChamadaFila " + f->FilaId() + ' ' + nome(c) + ' ' + TextoAviso(k);
            }));
        assinaturas.push_back(a.Fila.Assina([this](TFila* f) { linhas << "Fila " + f->FilaId(); }));
        assinaturas.push_back(
            a.Campanha.Assina([this](TCampanha* c) { linhas << "Campanha " + c->CampanhaId(); }));
        assinaturas.push_back(
            a.ChamadaCampanha.Assina([this, nome](TCampanha* c, TChannel* canal, TAvisoCampanha k) {
                linhas << "ChamadaCampanha " + c->CampanhaId() + ' ' + nome(canal) + ' ' +
                              TextoAviso(k);
            }));
        assinaturas.push_back(a.ResumoCampanha.Assina(
            [this](TCampanha* c) { linhas << "ResumoCampanha " + c->CampanhaId(); }));
        assinaturas.push_back(
            a.MotivosRecontados.Assina([this] { linhas << "MotivosRecontados"; }));
        assinaturas.push_back(a.MenuDiscador.Assina([this] { linhas << "MenuDiscador"; }));
    }
};

} // namespace

class TestMonitorAvisos : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Fila("1", "Atendimento Geral");
        m->Agente("1001", "Ana");
        m->Membro("1", "Agent/1001", 1);
        m->Entra("1", "SIP/x-1", "1.1", 1);
        m->Ramal("2001", "PA 01");
        m->Feed(Linha("ZXDBListaPortas",
                      {"PortaId: 1", "Placa: 0", "Marca: k", "Tipo: t", "TipoTronco: a"}));
        m->Feed(Completa("ZXDBListaPortas"));
        m->Feed(Linha("ZXDBListaTroncos", {"Nome: A", "Tipo: f", "TroncoId: 1"}));
        m->Feed(Linha("ZXDBListaCampanhas",
                      {"CampanhaId: 7", "Nome: Vendas", "Status: 1", "Fila: 1", "Tipo: P"}));
        m->NovoCanal("SIP/d-1", "2.1");
        m->Feed("Response: Success\r\nActionID: VarDisCampanha-SIP/d-1\r\nVariable: "
                "DisCampanha\r\nValue: 7\r\n\r\n");
        QVERIFY(monitor->Campanhas.Procura("7")->TemChamada(m->C("SIP/d-1")));
    }
    void cleanup() { m.reset(); }

    // One row per notice kind a model object gives (with and without its sub-object), and the
    // window updates it reaches.
    void fanOut_data() {
        QTest::addColumn<QString>("origem");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<bool>("comSub");
        QTest::addColumn<QStringList>("esperado");
        using L = QStringList;
        for (auto k : {TAvisoRamal::Call, TAvisoRamal::Status})
            QTest::addRow("ramal %s", qPrintable(TextoAviso(k)))
                << "Ramal" << int(k) << false << L{"Ramal 2001"};
        for (auto k : {TAvisoTronco::Call, TAvisoTronco::Status}) {
            QTest::addRow("tronco %s with line", qPrintable(TextoAviso(k)))
                << "Tronco" << int(k) << true << L{"Tronco A#0"};
            QTest::addRow("tronco %s without line", qPrintable(TextoAviso(k)))
                << "Tronco" << int(k) << false << L{};
        }
        QTest::addRow("tronco Added") << "Tronco" << int(TAvisoTronco::Added) << true << L{};
        for (auto k : {TAvisoFila::MemberAdded, TAvisoFila::MemberRemoved,
                       TAvisoFila::MemberUpdated, TAvisoFila::MemberPaused}) {
            QTest::addRow("fila %s with member", qPrintable(TextoAviso(k)))
                << "Fila" << int(k) << true << L{"Membro 1 Agent/1001 " + TextoAviso(k), "Fila 1"};
            QTest::addRow("fila %s without member", qPrintable(TextoAviso(k)))
                << "Fila" << int(k) << false << L{"Fila 1"};
        }
        for (auto k : {TAvisoFila::CallAdded, TAvisoFila::CallRemoved, TAvisoFila::CallUpdated}) {
            QTest::addRow("fila %s with call", qPrintable(TextoAviso(k)))
                << "Fila" << int(k) << true
                << L{"ChamadaFila 1 SIP/x-1 " + TextoAviso(k), "Fila 1"};
            QTest::addRow("fila %s without call", qPrintable(TextoAviso(k)))
                << "Fila" << int(k) << false << L{"Fila 1"};
        }
        QTest::addRow("fila Fila") << "Fila" << int(TAvisoFila::Fila) << false << L{"Fila 1"};
        for (int k = 0; k <= int(TAvisoAgente::RemoveCall); ++k) {
            const QString texto = TextoAviso(TAvisoAgente(k));
            QTest::addRow("agente %s", qPrintable(texto))
                << "Agente" << k << false << L{"Agente Agent/1001 " + texto};
        }
        for (auto k : {TAvisoCampanha::CallAdded, TAvisoCampanha::CallRemoved,
                       TAvisoCampanha::CallUpdated}) {
            QTest::addRow("campanha %s with call", qPrintable(TextoAviso(k)))
                << "Campanha" << int(k) << true
                << L{"Campanha 7", "ChamadaCampanha 7 SIP/d-1 " + TextoAviso(k)};
            QTest::addRow("campanha %s without call", qPrintable(TextoAviso(k)))
                << "Campanha" << int(k) << false << L{};
        }
        QTest::addRow("campanha Resumo")
            << "Campanha" << int(TAvisoCampanha::Resumo) << false << L{"ResumoCampanha 7"};
        QTest::addRow("campanha Fila")
            << "Campanha" << int(TAvisoCampanha::Fila) << false << L{"Campanha 7"};
        // A channel change is offered to the bridges, the queues and the campaigns holding it,
        // which announce their own call.
        QTest::addRow("canal Updated, queue call")
            << "Canal" << int(TAvisoCanal::Updated) << false
            << L{"ChamadaFila 1 SIP/x-1 CallUpdated", "Fila 1"};
        QTest::addRow("canal Updated, dialer call")
            << "Canal" << int(TAvisoCanal::Updated) << true
            << L{"Campanha 7", "ChamadaCampanha 7 SIP/d-1 CallUpdated"};
        QTest::addRow("canal Removed, queue call")
            << "Canal" << int(TAvisoCanal::Removed) << false
            << L{"ChamadaFila 1 SIP/x-1 CallRemoved", "Fila 1"};
        QTest::addRow("canal Removed, dialer call")
            << "Canal" << int(TAvisoCanal::Removed) << true
            << L{"Campanha 7", "ChamadaCampanha 7 SIP/d-1 CallRemoved"};
        QTest::addRow("call reasons counted again")
            << "Recontagem" << 0 << false << L{"MotivosRecontados"};
        QTest::addRow("campaign list read again") << "Discador" << 0 << false << L{"MenuDiscador"};
    }
    void fanOut() {
        QFETCH(QString, origem);
        QFETCH(int, tipo);
        QFETCH(bool, comSub);
        QFETCH(QStringList, esperado);
        TTodasAsJanelas janelas(monitor->Avisos());
        TFila* fila = m->F("1");
        TCampanha* campanha = monitor->Campanhas.Procura("7");
        TTronco* tronco = monitor->Troncos.Procura("A");
        QVERIFY(fila && campanha && tronco && tronco->Canais.Count() == 1);
        if (origem == "Ramal") {
            monitor->OnRamalEvent(monitor->Ramais.Item(0), TAvisoRamal(tipo));
        } else if (origem == "Tronco") {
            monitor->OnTroncoEvent(tronco, comSub ? tronco->Canais.Item(0) : nullptr,
                                   TAvisoTronco(tipo));
        } else if (origem == "Fila") {
            const auto k = TAvisoFila(tipo);
            monitor->OnQueueEvent(fila,
                                  comSub && AvisoDeMembro(k) ? fila->Members.Item(0) : nullptr,
                                  comSub && AvisoDeChamada(k) ? m->C("SIP/x-1") : nullptr, k);
        } else if (origem == "Agente") {
            monitor->OnAgentEvent(m->A("1001"), TAvisoAgente(tipo));
        } else if (origem == "Campanha") {
            monitor->OnCampanhaEvent(campanha, comSub ? m->C("SIP/d-1") : nullptr,
                                     TAvisoCampanha(tipo));
        } else if (origem == "Canal") {
            monitor->OnChannelEvent(m->C(comSub ? "SIP/d-1" : "SIP/x-1"), TAvisoCanal(tipo));
        } else if (origem == "Recontagem") {
            m->Ev("QueueCallReasonCountComplete", {});
        } else if (origem == "Discador") {
            monitor->AtualizaMenuDiscador();
        }
        QCOMPARE(janelas.linhas, esperado);
    }

    // A window that closes stops hearing at once, also when it closes while another window is
    // being told; one that opens meanwhile hears from the next notice on.
    void subscriptionsEndWithTheWindow() {
        TAviso<int> aviso;
        QStringList ouvido;
        auto primeira = std::make_unique<TAssinatura>();
        TAssinatura segunda, terceira;
        *primeira = aviso.Assina([&](int n) {
            ouvido << "1:" + QString::number(n);
            primeira.reset(); // closes itself
            segunda = TAssinatura();
            terceira = aviso.Assina([&](int k) { ouvido << "3:" + QString::number(k); });
        });
        segunda = aviso.Assina([&](int n) { ouvido << "2:" + QString::number(n); });
        aviso.Emite(1);
        aviso.Emite(2);
        QCOMPARE(ouvido, (QStringList{"1:1", "3:2"}));
        terceira = TAssinatura();
        QVERIFY(!aviso.TemOuvintes());
    }

    // A listener that fails hands the error to whoever announced (the drain's error hook), and
    // the notice can be given again afterwards.
    void aFailingListenerReachesTheCaller() {
        TAviso<> aviso;
        int vezes = 0;
        TAssinatura a = aviso.Assina([&] {
            if (++vezes == 1) throw std::runtime_error("janela");
        });
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, aviso.Emite());
        aviso.Emite();
        QCOMPARE(vezes, 2);
    }
};

QTEST_MAIN(TestMonitorAvisos)
#include "test_monitor_avisos.moc"
