// Threshold alerts: every rule starts when its condition is reached and ends by itself, on a
// pinned clock; only what changed is evaluated; alerts across a reconnection; the desktop
// notification throttle; rules in the profile, hostile sections included.
#include "support/TCentral.h"

#include "settings/TIniFile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// How each row puts its queue or agent into the watched condition, and out of it.
enum class Cenario {
    Esperando,
    TempoEspera,
    NivelServico,
    SemLivre,
    Pausa,
    PausaMotivo,
    Ligacao,
    PosAtendimento
};

struct TOuveAlertas {
    QStringList linhas;
    TAssinatura assinatura;
    explicit TOuveAlertas(TAvisos& a)
        : assinatura(a.Alerta.Assina([this](const TAlerta* al, TAvisoAlerta k) {
              linhas << (k == TAvisoAlerta::Comecou ? "+" : "-") + al->Quem + " | " + al->Texto;
          })) {}
};

} // namespace

Q_DECLARE_METATYPE(Cenario)
Q_DECLARE_METATYPE(TTipoAlerta)

class TestAlerts : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    void Tick() { monitor->Alertas().Avalia(ServerNow()); }

    void Prepara(Cenario c) {
        switch (c) {
        case Cenario::Esperando:
            m->Entra("1", "SIP/x-1", "1.1");
            m->Entra("1", "SIP/x-2", "1.2");
            break;
        case Cenario::TempoEspera:
            m->Entra("1", "SIP/x-1", "1.1");
            break;
        case Cenario::NivelServico:
            m->Ev("QueueParams",
                  {"Queue: 1", "Completed: 10", "Abandoned: 2", "ServiceLevelPerf: 70,5"});
            break;
        case Cenario::SemLivre:
            m->Membro("1", "Agent/1001", 3);
            m->Entra("1", "SIP/x-1", "1.1");
            break;
        case Cenario::Pausa:
            m->Pausa("1", "Agent/1001", true, "1");
            break;
        case Cenario::PausaMotivo:
            m->Pausa("1", "Agent/1001", true, "2");
            break;
        case Cenario::Ligacao:
            m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
            m->Ev("AgentCalled",
                  {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
            m->Membro("1", "Agent/1001", 3);
            break;
        case Cenario::PosAtendimento:
            m->Membro("1", "Agent/1001", 0);
            break;
        }
    }
    void Encerra(Cenario c) {
        switch (c) {
        case Cenario::Esperando:
        case Cenario::TempoEspera:
            m->Ev("Leave", {"Channel: SIP/x-1", "Queue: 1"});
            break;
        case Cenario::NivelServico:
            m->Ev("QueueParams",
                  {"Queue: 1", "Completed: 30", "Abandoned: 2", "ServiceLevelPerf: 80.0"});
            break;
        case Cenario::SemLivre:
            m->Membro("1", "Agent/1001", 1);
            break;
        case Cenario::Pausa:
        case Cenario::PausaMotivo:
            m->Pausa("1", "Agent/1001", false, "");
            break;
        case Cenario::Ligacao:
            m->Ev("AgentComplete", {"Queue: 1", "Member: Agent/1001"});
            m->Membro("1", "Agent/1001", 1);
            break;
        case Cenario::PosAtendimento:
            m->Membro("1", "Agent/1001", 1);
            break;
        }
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Fila("1", "Atendimento Geral");
        m->Fila("2", "Vendas");
        m->Agente("1001", "Ana");
        m->Agente("1002", "Bruno");
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001", "Uniqueid: 9.1"});
        m->Membro("1", "Agent/1001", 1, 0, "QueueMemberAdded");
        monitor->Alertas().DefineRegras({});
        Tick();
    }
    void cleanup() { m.reset(); }

    // Each rule: nothing a second before its threshold, the alert exactly at it (stamped with
    // the moment the threshold was crossed), and its end as soon as the condition ends. A rule
    // narrowed to another queue or another reason stays silent.
    void regraComecaETermina_data() {
        QTest::addColumn<TRegraAlerta>("regra");
        QTest::addColumn<Cenario>("cenario");
        QTest::addColumn<int>("atraso"); // seconds from the condition to the alert
        QTest::addColumn<QString>("quem");
        QTest::addColumn<bool>("dispara");
        using T = TTipoAlerta;
        const QString fila = "Fila 1 (Atendimento Geral)";
        QTest::newRow("esperando")
            << TRegraAlerta{T::FilaEsperando, {}, 2} << Cenario::Esperando << 0 << fila << true;
        QTest::newRow("esperando-outra-fila")
            << TRegraAlerta{T::FilaEsperando, "2", 2} << Cenario::Esperando << 0 << fila << false;
        QTest::newRow("espera") << TRegraAlerta{T::FilaTempoEspera, {}, 60} << Cenario::TempoEspera
                                << 60 << fila << true;
        QTest::newRow("espera-da-fila") << TRegraAlerta{T::FilaTempoEspera, "1", 45}
                                        << Cenario::TempoEspera << 45 << fila << true;
        QTest::newRow("nivel") << TRegraAlerta{T::FilaNivelServico, {}, 80} << Cenario::NivelServico
                               << 0 << fila << true;
        QTest::newRow("nivel-acima") << TRegraAlerta{T::FilaNivelServico, {}, 70}
                                     << Cenario::NivelServico << 0 << fila << false;
        QTest::newRow("sem-livre")
            << TRegraAlerta{T::FilaSemLivre, {}, 0} << Cenario::SemLivre << 0 << fila << true;
        QTest::newRow("pausa") << TRegraAlerta{T::AgentePausa, {}, 15} << Cenario::Pausa << 15 * 60
                               << "1001 - Ana" << true;
        QTest::newRow("pausa-motivo") << TRegraAlerta{T::AgentePausa, "2", 1}
                                      << Cenario::PausaMotivo << 60 << "1001 - Ana" << true;
        QTest::newRow("pausa-outro-motivo") << TRegraAlerta{T::AgentePausa, "2", 1}
                                            << Cenario::Pausa << 60 << "1001 - Ana" << false;
        QTest::newRow("ligacao") << TRegraAlerta{T::AgenteLigacao, {}, 5} << Cenario::Ligacao
                                 << 5 * 60 << "1001 - Ana" << true;
        QTest::newRow("pos-atendimento") << TRegraAlerta{T::AgentePosAtendimento, {}, 30}
                                         << Cenario::PosAtendimento << 30 << "1001 - Ana" << true;
    }
    void regraComecaETermina() {
        QFETCH(TRegraAlerta, regra);
        QFETCH(Cenario, cenario);
        QFETCH(int, atraso);
        QFETCH(QString, quem);
        QFETCH(bool, dispara);
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras({regra});
        TOuveAlertas ouve(monitor->Avisos());
        const double t0 = m->agora;
        Prepara(cenario);
        Tick();
        if (atraso > 0) {
            QCOMPARE(alertas.Count(), 0);
            m->Avanca(atraso - 1);
            Tick();
            QCOMPARE(alertas.Count(), 0);
            m->Avanca(1);
            Tick();
        }
        if (!dispara) {
            m->Avanca(3600);
            Tick();
            QCOMPARE(ouve.linhas, QStringList());
            return;
        }
        QCOMPARE(alertas.Count(), 1);
        const TAlerta* a = alertas.Ativos().front();
        QCOMPARE(a->Quem, quem);
        QCOMPARE(WholeSecondsBetween(a->Inicio, t0), qint64(atraso));
        QVERIFY(a->Fila ? alertas.FilaEmAlerta(a->Fila) : alertas.AgenteEmAlerta(a->Agente));
        QVERIFY(!alertas.AgenteEmAlerta(m->A("1002")) && !alertas.FilaEmAlerta(m->F("2")));
        m->Avanca(5);
        Tick();
        QCOMPARE(alertas.Count(), 1);
        Encerra(cenario);
        Tick();
        QCOMPARE(alertas.Count(), 0);
        QVERIFY(!alertas.FilaEmAlerta(m->F("1")) && !alertas.AgenteEmAlerta(m->A("1001")));
        const QString linha = quem + " | " + DescreveRegraAlerta(regra);
        QCOMPARE(ouve.linhas, QStringList({"+" + linha, "-" + linha}));
    }

    // A queue that has not finished a call reports a service level of 0 %: no alert for it.
    void nivelSemChamadasNaoAlerta() {
        monitor->Alertas().DefineRegras({{TTipoAlerta::FilaNivelServico, {}, 80}});
        m->Ev("QueueParams", {"Queue: 1", "Completed: 0", "Abandoned: 0", "ServiceLevelPerf: 0.0"});
        m->Ev("QueueParams", {"Queue: 2", "Completed: 4", "ServiceLevelPerf: lixo"});
        Tick();
        QCOMPARE(monitor->Alertas().Count(), 0);
    }

    // A tick evaluates the queues and agents that changed or became due, never the others.
    void tickSoAvaliaOQueMudou() {
        for (int i = 0; i < 300; ++i)
            m->Agente(QString::number(3000 + i), "X");
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras(RegrasAlertaPadrao());
        Tick();
        const qint64 base = alertas.Avaliacoes();
        m->Avanca(1);
        Tick();
        QCOMPARE(alertas.Avaliacoes(), base);
        m->Pausa("1", "Agent/1001", true, "1");
        Tick();
        QCOMPARE(alertas.Avaliacoes(), base + 2); // the agent and its queue
        m->Avanca(10 * 60);
        Tick();
        QCOMPARE(alertas.Avaliacoes(), base + 2); // deadline not reached yet
        m->Avanca(5 * 60);
        Tick();
        QCOMPARE(alertas.Avaliacoes(), base + 3); // the deadline alone
        QCOMPARE(alertas.Count(), 1);
    }

    // The lists are emptied at a disconnection: every alert ends first (nothing dangles), and
    // after the next load the same pause alerts again from the pause's own start, while the
    // throttle does not notify it a second time.
    void alertaAtravesDaReconexao() {
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras({{TTipoAlerta::AgentePausa, {}, 15}});
        TOuveAlertas ouve(monitor->Avisos());
        TLimitadorNotificacoes limitador;
        auto assinatura = monitor->Avisos().Alerta.Assina([&](const TAlerta* a, TAvisoAlerta k) {
            if (k == TAvisoAlerta::Comecou) limitador.Comecou(*a, m->agora * kSecondsPerDay);
        });
        const QString inicioPausa = m->Agora();
        const double t0 = m->agora;
        m->Pausa("1", "Agent/1001", true, "1");
        m->Avanca(16 * 60);
        Tick();
        QCOMPARE(alertas.Count(), 1);
        TLimitadorNotificacoes::TNotificacao n;
        QVERIFY(limitador.Proxima(m->agora * kSecondsPerDay, n));

        monitor->EncerraConexao();
        QCOMPARE(alertas.Count(), 0);
        QCOMPARE(ouve.linhas.size(), 2);
        QVERIFY(ouve.linhas.last().startsWith('-'));
        Tick();

        m->Avanca(30);
        m->Fila("1", "Atendimento Geral");
        m->Agente("1001", "Ana");
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001", "Uniqueid: 9.1"});
        m->Ev("QueueMember", {"Queue: 1", "Location: Agent/1001", "Status: 1", "Paused: 1",
                              "PauseReason: 1", "PauseStart: " + inicioPausa});
        alertas.MarcaTudo();
        Tick();
        QCOMPARE(alertas.Count(), 1);
        QCOMPARE(WholeSecondsBetween(alertas.Ativos().front()->Inicio, t0), qint64(15 * 60));
        m->Avanca(60);
        QVERIFY(!limitador.Proxima(m->agora * kSecondsPerDay, n));
    }

    // States known from the load alone (no notice of the agent): a pause that started before
    // counts from its own start; after-call work, which has none, from the first evaluation.
    void estadoSabidoSoPelaCarga() {
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras(
            {{TTipoAlerta::AgentePausa, {}, 15}, {TTipoAlerta::AgentePosAtendimento, {}, 30}});
        TAgente* ana = m->A("1001");
        ana->SetPaused(0, true);
        ana->SetPauseStart(0, m->agora - 20 * 60 / kSecondsPerDay);
        TAgente* bruno = m->A("1002");
        bruno->SetStatusNumber(0, kStatusOutro);
        alertas.MarcaTudo();
        Tick();
        QVERIFY(alertas.AgenteEmAlerta(ana));
        QCOMPARE(WholeSecondsBetween(m->agora, alertas.AlertasDe(ana).front()->Inicio),
                 qint64(5 * 60));
        QVERIFY(!alertas.AgenteEmAlerta(bruno));
        m->Avanca(30);
        Tick();
        QVERIFY(alertas.AgenteEmAlerta(bruno));
    }

    // New rules end the alerts of the old ones.
    void novasRegrasEncerramAlertas() {
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras({{TTipoAlerta::FilaEsperando, {}, 1}});
        m->Entra("1", "SIP/x-1", "1.1");
        Tick();
        QCOMPARE(alertas.Count(), 1);
        alertas.DefineRegras({{TTipoAlerta::FilaEsperando, {}, 5}});
        QCOMPARE(alertas.Count(), 0);
        Tick();
        QCOMPARE(alertas.Count(), 0);
        QVERIFY(monitor->Dump("Alertas").isEmpty());
        alertas.DefineRegras({{TTipoAlerta::FilaEsperando, {}, 1}});
        Tick();
        QCOMPARE(monitor->Dump("Alertas"),
                 "15/03/2023 12:00:00 | Fila 1 (Atendimento Geral) | Chamadas em espera ≥ 1 "
                 "chamadas\r\n");
    }

    // Alerts that start close together: the first is shown alone, the rest of the window
    // becomes one summary; the same alert again within minutes is not notified.
    void limitadorDeNotificacoes_data() {
        QTest::addColumn<QStringList>("eventos"); // "segundo:chave" starts, "segundo?" asks
        QTest::addColumn<QStringList>("mostradas");
        QTest::newRow("uma") << QStringList{"0:a", "0?"} << QStringList{"Alerta|a"};
        QTest::newRow("rajada") << QStringList{"0:a", "0?", "1:b", "2:c", "3:d", "4:e", "5?", "10?"}
                                << QStringList{"Alerta|a", "4 novos alertas|b\nc\nd\n…"};
        QTest::newRow("repetida") << QStringList{"0:a", "0?", "20:a", "30?", "400:a", "400?"}
                                  << QStringList{"Alerta|a", "Alerta|a"};
        QTest::newRow("nada") << QStringList{"0?", "100?"} << QStringList{};
    }
    void limitadorDeNotificacoes() {
        QFETCH(QStringList, eventos);
        QFETCH(QStringList, mostradas);
        TLimitadorNotificacoes l;
        QStringList vistas;
        for (const QString& e : eventos) {
            if (e.endsWith('?')) {
                TLimitadorNotificacoes::TNotificacao n;
                if (l.Proxima(e.chopped(1).toDouble(), n)) vistas << n.Titulo + '|' + n.Texto;
                continue;
            }
            TAlerta a;
            a.Chave = e.section(':', 1);
            a.Quem = a.Chave;
            l.Comecou(a, e.section(':', 0, 0).toDouble());
        }
        for (QString& v : vistas)
            v.replace(": ", "");
        QCOMPARE(vistas, mostradas);
    }

    // Rules in the profile: a missing section is a first start (the defaults); a broken or
    // hostile rule section is no rule; a saved list reads back as it was.
    void regrasNoPerfil_data() {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("regras");
        const QStringList padrao{"Maior espera ≥ 60 s", "Nível de serviço abaixo de 80 %",
                                 "Pausa ≥ 15 min"};
        QTest::newRow("primeira-vez") << "" << padrao;
        QTest::newRow("outras-secoes") << "[Geral]\nX=1\n[Alertas]\nCor=255\n" << padrao;
        QTest::newRow("nenhuma") << "[Alertas]\nQuantidade=0\n" << QStringList{};
        QTest::newRow("boas") << "[Alertas]\nQuantidade=2\n[Alerta1]\nTipo=FilaEsperando\n"
                                 "Limite=4\nAlvo=3\n[Alerta2]\nTipo=agentepausa\nLimite= 20 \n"
                              << QStringList{"Chamadas em espera ≥ 4 chamadas (fila 3)",
                                             "Pausa ≥ 20 min"};
        QTest::newRow("hostis")
            << "[Alertas]\nQuantidade=9\n[Alerta1]\nTipo=Bomba\nLimite=4\n"
               "[Alerta2]\nTipo=FilaEsperando\nLimite=-3\n[Alerta3]\nTipo=AgentePausa\n"
               "Limite=99999999999\n[Alerta4]\nTipo=FilaTempoEspera\nLimite=10abc\n"
               "[Alerta5]\nTipo=FilaSemLivre\nLimite=0\nAlvo=a b\n[Alerta6]\nTipo=AgenteLigacao\n"
               "Limite=3\nAlvo=1\n[Alerta7]\nTipo=FilaNivelServico\nLimite=101\n"
               "[Alerta9]\nTipo=AgentePosAtendimento\nLimite=45\n"
            << QStringList{"Pós-atendimento ≥ 45 s"};
        QTest::newRow("quantidade-absurda")
            << "[Alertas]\nQuantidade=2147483647\n[Alerta1]\nTipo=FilaSemLivre\nLimite=0\n"
            << QStringList{"Chamadas em espera sem atendente livre"};
        QTest::newRow("quantidade-lixo") << "[Alertas]\nQuantidade=muitas\n[Alerta1]\n"
                                            "Tipo=FilaSemLivre\nLimite=0\n"
                                         << QStringList{};
    }
    void regrasNoPerfil() {
        QFETCH(QString, ini);
        QFETCH(QStringList, regras);
        QTemporaryDir dir;
        const QString arquivo = dir.filePath("p.ini");
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini.toUtf8());
        f.close();
        const std::vector<TRegraAlerta> lidas = LeRegrasAlerta(arquivo);
        QStringList textos;
        for (const TRegraAlerta& r : lidas)
            textos << DescreveRegraAlerta(r);
        QCOMPARE(textos, regras);

        // Saved and read again, fewer rules than before leave no stale section behind.
        std::vector<TRegraAlerta> menos = lidas;
        if (!menos.empty()) menos.pop_back();
        SalvaRegrasAlerta(arquivo, menos);
        QCOMPARE(LeRegrasAlerta(arquivo), menos);
        QVERIFY(!TIniFile(arquivo).SectionExists("Alerta" + QString::number(menos.size() + 1)));
    }

    // Invalid rules never reach the evaluation, whoever hands them over.
    void regrasInvalidasDescartadas() {
        TAlertas& alertas = monitor->Alertas();
        alertas.DefineRegras({{TTipoAlerta::FilaEsperando, {}, 0},
                              {TTipoAlerta::AgentePausa, QString(50, 'x'), 5},
                              {TTipoAlerta::AgentePausa, "1\n", 5},
                              {TTipoAlerta::AgentePausa, "1", 5}});
        QCOMPARE(alertas.Regras().size(), size_t(1));
        QCOMPARE(alertas.Regras().front().Alvo, QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestAlerts)
#include "test_alerts.moc"
