// Monitors connect in the middle of the day's traffic: agents are being rung, answering and in
// wrap-up while the load runs. Whatever the order in which the load's answers and the live
// events arrive, every agent on a call shows that call, its queue and its duration once the
// load is over, as the simulator's own state has them.
#include "base/Clock.h"
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "sim/TSimPacket.h"
#include "sim/TSimState.h"
#include "sim/TSimTraffic.h"
#include "support/TEstadoEsperado.h"
#include "support/TMonitorNoSimulador.h"
#include "support/TRecordingUi.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// The simulator's calls to agents, from its own list of calls in progress: agent -> call.
struct TChamadaSim {
    QString Caller;   // the caller's channel
    QString AgentLeg; // the channel ringing or answered at the agent's telephone
    QString Queue;
    bool Talking = false;
};

QHash<QString, TChamadaSim> ChamadasDosAtendentes(const TSimTraffic& traffic) {
    static const QRegularExpression linha(QStringLiteral(
        R"(^#\d+ incoming (ringing|talking) (\S+) -> (\S+) queue=(\S+) agent=(\S+))"));
    QHash<QString, TChamadaSim> out;
    for (const QString& l : traffic.describeCalls()) {
        const QRegularExpressionMatch m = linha.match(l);
        if (!m.hasMatch()) continue;
        out.insert(m.captured(5),
                   {m.captured(2), m.captured(3), m.captured(4), m.captured(1) == u"talking"});
    }
    return out;
}

// Seconds the simulator's agent has been in her state, -1 when the state shows no duration.
qint64 SegundosNoEstado(const TSimState& sim, const TSimAgent& a, const TChamadaSim* chamada) {
    const qint64 agora = sim.now();
    if (chamada) {
        const TSimChannel* c =
            sim.channelByName(chamada->Talking ? chamada->Caller : chamada->AgentLeg);
        if (!c) return -1;
        return agora - (chamada->Talking ? c->answeredAt : c->created);
    }
    if (a.status != TSimAgent::Status::Idle) return -1;
    if (a.paused) return a.pauseStart > 0 ? agora - a.pauseStart : -1;
    const qint64 livre = std::max({a.loggedInTime, a.lastCall, a.lastPause});
    return livre > 0 ? agora - livre : -1;
}

// One line per difference between the simulator's agents and the monitor's: display state,
// current call, its queue, and how long the state has lasted (two seconds either way).
// `rungBefore`: agents whose ring began before the monitor connected; nothing the monitor
// receives tells which call rings them, so their call is only checked once answered.
QStringList DiferencasAtendentes(const TPbxServer& server, const TMonitor& monitor,
                                 const QSet<QString>& rungBefore = {}) {
    const TSimState& sim = *server.state();
    const QHash<QString, TChamadaSim> chamadas = ChamadasDosAtendentes(*server.traffic());
    QStringList d;
    for (const TSimAgent& a : sim.agents()) {
        const TAgente* x = monitor.Agentes.Procura(a.id);
        if (!x) {
            d << "atendente " + a.id + " ausente";
            continue;
        }
        const AgentState nosso = x->GetState(0);
        const AgentState esperado = EstadoEsperado(a, nosso);
        if (nosso != esperado) {
            d << QString("atendente %1 estado %2 em vez de %3")
                     .arg(a.id)
                     .arg(int(nosso))
                     .arg(int(esperado));
            continue;
        }
        const auto it = chamadas.constFind(a.id);
        const TChamadaSim* chamada = it == chamadas.cend() ? nullptr : &*it;
        const TChannel* c = x->ChannelCall();
        if (chamada && !chamada->Talking && rungBefore.contains(a.id)) continue;
        if (!chamada) {
            if (c) d << "atendente " + a.id + " com chamada " + c->Channel() + " que acabou";
        } else if (!c) {
            d << "atendente " + a.id + " sem a chamada " + chamada->Caller;
            continue;
        } else if (c->Channel() != chamada->Caller) {
            d << "atendente " + a.id + " na chamada " + c->Channel() + " em vez de " +
                     chamada->Caller;
            continue;
        } else {
            const TFila* f = c->LigacaoFila ? c->LigacaoFila->DataFila : nullptr;
            if (!f || f->FilaId() != chamada->Queue)
                d << "atendente " + a.id + " chamada sem a fila " + chamada->Queue;
        }
        if (a.queues.isEmpty()) continue;
        const qint64 segundos = SegundosNoEstado(sim, a, chamada);
        const int nossos = x->DurationSeconds(0);
        if (segundos < 0 ? nossos >= 0 : std::abs(nossos - segundos) > 2)
            d << QString("atendente %1 (%2) há %3 s em vez de %4 s")
                     .arg(a.id, x->StatusText(0, monitor.MotivosPausa))
                     .arg(nossos)
                     .arg(segundos);
    }
    return d;
}

// The first logged-in free agent of a voice queue, with that queue.
std::pair<QString, QString> AtendenteLivre(const TSimState& sim) {
    for (const TSimAgent& a : sim.agents()) {
        if (!a.isAvailable()) continue;
        for (const QString& q : a.queues)
            if (sim.queue(q) && sim.queue(q)->isVoice()) return {a.id, q};
    }
    return {};
}

} // namespace

class TestE2eMidTraffic : public QObject {
    Q_OBJECT

    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TRecordingUi> ui;
    std::unique_ptr<TMonitor> monitor;

    bool Inicia(quint32 seed, double speed = 1, std::function<qint64()> clock = {}) {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.clock = std::move(clock);
        options.port = 0;
        options.chatPort = 0;
        options.seed = seed;
        options.speed = speed;
        QString error;
        if (!server->start(options, &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ApontaParaSimulador(*monitor, *server);
        return true;
    }

    bool Carrega() {
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->Conectar();
        return loaded.wait(20000);
    }

    // Waits for the monitor's agents to agree with the simulator's.
    bool Coincide(const QSet<QString>& rungBefore = {}, int ms = 10000) {
        QStringList d;
        const bool ok = QTest::qWaitFor(
            [&] {
                d = DiferencasAtendentes(*server, *monitor, rungBefore);
                return d.isEmpty();
            },
            ms);
        if (!ok) qWarning("%s", qPrintable(d.join('\n')));
        return ok;
    }

private Q_SLOTS:
    void cleanup() {
        if (monitor) monitor->Fecha();
        monitor.reset();
        ui.reset();
        server.reset();
    }

    // A queue call rings an agent and is answered at chosen steps of the load (the action the
    // monitor has just sent; empty = before connecting / after the load). The answer, the
    // link and the ring itself may each come before the agents, the channels or the queue
    // calls are known.
    void callRungDuringTheLoad_data() {
        QTest::addColumn<QString>("tocaEm");
        QTest::addColumn<QString>("atendeEm");
        QTest::addColumn<bool>("atende");
        const QStringList passos = {"ZXDBListaMotivosPausa",   "ZXDBListaFilas", "Agents", "Status",
                                    "ZXDBChamadasAtivasFilas", "QueueStatus"};
        QTest::newRow("rung before connecting, answered after the load") << ""
                                                                         << "" << true;
        QTest::newRow("rung before connecting, answered during the load")
            << ""
            << "ZXDBListaFilas" << true;
        for (qsizetype i = 0; i < passos.size(); ++i) {
            QTest::addRow("rung at %s, answered after the load", qPrintable(passos[i]))
                << passos[i] << "" << true;
            QTest::addRow("rung at %s, still ringing", qPrintable(passos[i]))
                << passos[i] << "" << false;
            for (qsizetype j = i + 1; j < passos.size(); ++j)
                QTest::addRow("rung at %s, answered at %s", qPrintable(passos[i]),
                              qPrintable(passos[j]))
                    << passos[i] << passos[j] << true;
        }
    }
    void callRungDuringTheLoad() {
        QFETCH(QString, tocaEm);
        QFETCH(QString, atendeEm);
        QFETCH(bool, atende);
        QVERIFY(Inicia(1));
        TSimTraffic& traffic = *server->traffic();
        const auto [agente, fila] = AtendenteLivre(*server->state());
        QVERIFY(!agente.isEmpty());
        const QString uid = traffic.startIncomingCall(fila);
        QVERIFY(!uid.isEmpty());

        bool tocou = false;
        bool atendeu = false;
        auto toca = [&] { tocou = traffic.ringAgent(uid, agente); };
        auto atendeAgora = [&] { atendeu = traffic.answer(uid); };
        // The events of a step go out just before the answer to the action that starts it.
        connect(server.get(), &TPbxServer::actionReceived, this,
                [&](const QString& acao, const QString& texto) {
                    const auto passo = [&](const QString& id) {
                        return !id.isEmpty() &&
                               (acao == id || texto.contains("ActionId: " + id + "\r\n"));
                    };
                    if (passo(tocaEm) && !tocou) toca();
                    if (atende && passo(atendeEm) && tocou && !atendeu) atendeAgora();
                });
        if (tocaEm.isEmpty()) toca();
        QVERIFY(Carrega());
        QVERIFY(tocou);
        if (atende && !atendeu) atendeAgora();
        QVERIFY(atende == atendeu);

        const QSet<QString> antes = tocaEm.isEmpty() ? QSet<QString>{agente} : QSet<QString>{};
        QVERIFY(Coincide(antes));
        const TAgente* a = monitor->Agentes.Procura(agente);
        QCOMPARE(a->GetState(0), AgentState::Ocupado);
        QVERIFY(a->ChannelCall());
        QCOMPARE(a->ChannelCall()->UniqueId(), uid);
        QVERIFY(a->ChannelCall()->LigacaoFila);
        QCOMPARE(a->ChannelCall()->LigacaoFila->DataFila, monitor->Filas.Procura(fila));
        QCOMPARE(a->ChannelCall()->LigacaoFila->DataAgente, a);
        QTRY_COMPARE(a->ChannelCall()->LigacaoFila->Atendimento > 0, atende);
        // Server stamps are whole seconds: a moment just stamped may lie a fraction ahead.
        QTRY_VERIFY(!a->DurationText(0).isEmpty());
        QVERIFY2(ui->erros.isEmpty(), qPrintable(ui->erros.join('\n')));
    }

    // A call that waited a minute in its queue before being answered: listed at the load, the
    // agent's talk time counts from the answer, not from the caller's arrival.
    void talkTimeCountsFromTheAnswer() {
        qint64 adiante = 0;
        QVERIFY(Inicia(1, 1, [&] { return QDateTime::currentSecsSinceEpoch() + adiante; }));
        TSimTraffic& traffic = *server->traffic();
        const auto [agente, fila] = AtendenteLivre(*server->state());
        const QString uid = traffic.startIncomingCall(fila);
        adiante += 60;
        QVERIFY(traffic.ringAgent(uid, agente));
        adiante += 5;
        QVERIFY(traffic.answer(uid));
        adiante += 30;
        QVERIFY(Carrega());
        const TAgente* a = monitor->Agentes.Procura(agente);
        QCOMPARE(a->GetState(0), AgentState::Ocupado);
        QVERIFY(a->ChannelCall() && a->ChannelCall()->UniqueId() == uid);
        QVERIFY2(std::abs(a->DurationSeconds(0) - 30) <= 2, qPrintable(a->DurationText(0)));
        QVERIFY(Coincide());
    }

    // Connections made at many moments of busy traffic, with the traffic running through the
    // load: after a short follow, every agent agrees with the simulator.
    void connectInBusyTraffic_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("momento");
        const QStringList momentos = {"AgentCalled", "AgentConnect", "AgentComplete"};
        int k = 0;
        for (quint32 seed : {1u, 7u, 12u}) {
            for (const QString& m : momentos) {
                const double speed = ++k % 2 ? 6.0 : 12.0;
                QTest::addRow("seed %u speed %g at %s", seed, speed, qPrintable(m))
                    << seed << speed << m;
            }
        }
    }
    void connectInBusyTraffic() {
        QFETCH(quint32, seed);
        QFETCH(double, speed);
        QFETCH(QString, momento);
        QVERIFY(Inicia(seed, speed));
        TSimTraffic& traffic = *server->traffic();
        traffic.schedule();
        traffic.advance(20 * 60 * 1000);
        // Then on to the moment an agent is just rung, has just answered or has just finished a
        // call (wrap-up).
        bool visto = false;
        QSet<QString> tocando;
        connect(&traffic, &TSimTraffic::event, this, [&](const TSimPacket& p) {
            const QString nome = p.value(QStringLiteral("Event"));
            visto = visto || nome == momento;
            if (nome == u"AgentCalled")
                tocando.insert(p.value(QStringLiteral("AgentCalled")).section(u'/', 1));
        });
        bool achou = false;
        for (int i = 0; i < 20000 && !achou; ++i) {
            visto = false;
            QVERIFY(traffic.step());
            achou = visto;
        }
        QVERIFY(achou);
        // Rings that began before the connection: which call rings them is never told.
        QSet<QString> antes;
        for (const TSimAgent& a : server->state()->agents())
            if (a.status == TSimAgent::Status::Ringing) antes.insert(a.id);
        tocando.clear();

        traffic.start();
        QVERIFY(Carrega());
        // A short follow: long enough for every ring begun before the connection to end.
        const qint64 fim = traffic.trafficTime() + TSimTraffic::RingTimeoutMs + 1000;
        QVERIFY(QTest::qWaitFor([&] { return traffic.trafficTime() >= fim; }, 20000));
        traffic.stop();
        for (const QString& id : std::as_const(tocando))
            antes.remove(id); // rung again since: that ring was heard
        QVERIFY(Coincide(antes));
        int ocupados = 0;
        for (const TSimAgent& a : server->state()->agents())
            ocupados += a.status == TSimAgent::Status::OnCall ? 1 : 0;
        QVERIFY2(ocupados > 0, "agents were on calls");
        QVERIFY2(ui->erros.isEmpty(), qPrintable(ui->erros.join('\n')));
    }

    // The idle time after a reload counts from the agent's last call or pause, not from her
    // login hours back: an agent paused and then removed from her queues, then a new
    // connection.
    void idleTimeAfterAReload() {
        QVERIFY(Inicia(1));
        const TSimState& sim = *server->state();
        TSimTraffic& traffic = *server->traffic();
        // A free agent in voice queues only, given a call (so she has a last call).
        QString agente;
        for (const TSimAgent& a : sim.agents()) {
            if (!a.isAvailable() || a.queues.isEmpty()) continue;
            if (std::all_of(a.queues.begin(), a.queues.end(),
                            [&](const QString& q) { return sim.queue(q)->isVoice(); })) {
                agente = a.id;
                break;
            }
        }
        QVERIFY(!agente.isEmpty());
        const QStringList filas = sim.agent(agente)->queues;
        QVERIFY(Carrega());
        const QString uid = traffic.startIncomingCall(filas.first());
        QVERIFY(traffic.ringAgent(uid, agente));
        QVERIFY(traffic.answer(uid));
        QVERIFY(traffic.hangup(uid));
        QVERIFY(traffic.endWrapUp(agente));
        TAgente* a = monitor->Agentes.Procura(agente);
        QTRY_COMPARE(a->GetState(0), AgentState::Livre);
        QVERIFY(monitor->ColocaEmPausa(a, monitor->MotivosPausa.Procura(3), 0));
        QTRY_COMPARE(a->GetState(0), AgentState::EmPausa);
        for (const QString& fila : filas) {
            QCOMPARE(a->GetState(0), AgentState::EmPausa);
            QVERIFY(monitor->RemoveDaFila(a, monitor->Filas.Procura(fila), 0));
            QTRY_VERIFY(!monitor->Filas.Procura(fila)->HasMember(a->Agent()));
        }
        // Her last queue gone, she is paused nowhere: free from that moment.
        QCOMPARE(a->GetState(0), AgentState::Livre);
        QVERIFY(!sim.agent(agente)->paused);
        QVERIFY(a->IdleSeconds(0) <= 2);

        // A new connection sees the same.
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->menuDesconectarClick();
        monitor->Conectar();
        QVERIFY(loaded.wait(20000));
        a = monitor->Agentes.Procura(agente);
        QVERIFY(a);
        QCOMPARE(a->GetState(0), AgentState::Livre);
        QVERIFY(a->Slot(0).FLastCall > 0);
        QVERIFY2(a->IdleSeconds(0) <= 2, qPrintable(a->IdleText(0)));
        QVERIFY(Coincide());
    }
};

QTEST_GUILESS_MAIN(TestE2eMidTraffic)
#include "test_e2e_midtraffic.moc"
