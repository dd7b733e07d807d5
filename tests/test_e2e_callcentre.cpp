// The call centre of the demo scenario followed end to end against the simulator in-process:
// after the load and through its traffic the monitor's queues and agents match the simulator's
// own state, and the simulator obeys each agent action the monitor sends.
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"
#include "sim/TSimChat.h"
#include "sim/TSimState.h"
#include "sim/TSimTraffic.h"
#include "support/TEstadoEsperado.h"
#include "support/TMonitorNoSimulador.h"
#include "support/TRecordingUi.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

// What differs between the simulator's state and the monitor's model, one line per difference
// (empty when they agree): the voice queues' waiting callers in order and their members, every
// agent's display state and pause reason, and each member's pause.
QStringList Diferencas(const TSimState& sim, const TMonitor& monitor) {
    QStringList d;
    for (const TSimQueue& q : sim.queues()) {
        if (!q.isVoice()) continue;
        const TFila* f = monitor.Filas.Procura(q.id);
        if (!f) {
            d << "fila " + q.id + " ausente";
            continue;
        }
        QStringList esperadas;
        for (const QString& uid : q.waiting)
            esperadas << uid;
        QStringList aguardando;
        for (const TChannel* c : f->QueueCalls())
            if (c->LigacaoFila && c->LigacaoFila->Queued) aguardando << c->UniqueId();
        if (aguardando != esperadas)
            d << "fila " + q.id + " aguardando " + aguardando.join(',') + " em vez de " +
                     esperadas.join(',');
        QStringList membros;
        for (const TSimQueueMember& m : q.members)
            membros << "Agent/" + m.agentId;
        QStringList nossos;
        for (int i = 0; i < f->Members.Count(); ++i)
            nossos << f->Members.Item(i)->Member;
        membros.sort();
        nossos.sort();
        if (membros != nossos)
            d << "fila " + q.id + " membros " + nossos.join(',') + " em vez de " +
                     membros.join(',');
    }
    for (const TSimAgent& a : sim.agents()) {
        const TAgente* x = monitor.Agentes.Procura(a.id);
        if (!x) {
            d << "atendente " + a.id + " ausente";
            continue;
        }
        const AgentState esperado = EstadoEsperado(a, x->GetState(0));
        if (x->GetState(0) != esperado)
            d << QString("atendente %1 estado %2 em vez de %3")
                     .arg(a.id)
                     .arg(int(x->GetState(0)))
                     .arg(int(esperado));
        if (a.paused && !a.queues.isEmpty() &&
            x->Slot(0).FPauseReason != QString::number(a.pauseReason))
            d << "atendente " + a.id + " motivo " + x->Slot(0).FPauseReason;
        for (const QString& fila : a.queues) {
            const TFila* f = monitor.Filas.Procura(fila);
            const TMembroFila* m = f ? f->Members.Procura(a.interface()) : nullptr;
            if (m && m->Paused != a.paused) d << "membro " + a.id + " da fila " + fila + " pausa";
        }
    }
    return d;
}

} // namespace

class TestE2eCallCentre : public QObject {
    Q_OBJECT

    std::unique_ptr<TPbxServer> server;
    std::unique_ptr<TRecordingUi> ui;
    std::unique_ptr<TMonitor> monitor;

    const TSimState& Sim() const { return *server->state(); }
    // Waits for the monitor to catch up with the simulator.
    bool Coincide(int ms = 15000) {
        QStringList d;
        const bool ok = QTest::qWaitFor(
            [&] {
                d = Diferencas(Sim(), *monitor);
                return d.isEmpty();
            },
            ms);
        if (!ok) qWarning("%s", qPrintable(d.join('\n')));
        return ok;
    }

    // Starts the simulator with its traffic seed, plays half an hour of it and loads the monitor.
    void Inicia(quint32 seed) {
        server = std::make_unique<TPbxServer>();
        TSimOptions options;
        options.port = 0;
        options.chatPort = 0;
        options.seed = seed;
        QString error;
        QVERIFY2(server->start(options, &error), qPrintable(error));
        // Half an hour of the call centre before the monitor connects: calls waiting and in
        // talk, pauses, wrap-up.
        server->traffic()->schedule();
        server->traffic()->advance(30 * 60 * 1000);
        ui = std::make_unique<TRecordingUi>();
        monitor = std::make_unique<TMonitor>(ui.get());
        ui->Assina(monitor->Avisos());
        ApontaParaSimulador(*monitor, *server);
        QSignalSpy loaded(monitor.get(), &TMonitor::LoadFinished);
        monitor->Conectar();
        QVERIFY(loaded.wait(20000));
    }

private Q_SLOTS:
    void cleanup() {
        if (monitor) monitor->Fecha();
        monitor.reset();
        ui.reset();
        server.reset();
    }

    void loadAndTrafficMatchTheSimulator_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 12u})
            QTest::addRow("seed %u", seed) << seed;
    }
    void loadAndTrafficMatchTheSimulator() {
        QFETCH(quint32, seed);
        Inicia(seed);
        if (QTest::currentTestFailed()) return;
        QVERIFY(monitor->ChatEnabled);
        QCOMPARE(monitor->Filas.Count(), 5);
        QCOMPARE(monitor->Agentes.Count(), 20);
        QVERIFY(Coincide());
        const auto aguardando = [this] {
            int n = 0;
            for (const TSimQueue& q : Sim().queues())
                n += int(q.waiting.size());
            return n;
        };
        int maisAguardando = aguardando();

        // The dumps tell the same: every queue's members (a chat queue's come from the chat
        // server), one block per agent.
        const QString filas = monitor->Dump("Filas");
        for (const TSimQueue& q : Sim().queues()) {
            QVERIFY(filas.contains("Fila: " + q.id + "\r\nNome: " + q.name + "\r\n"));
            qsizetype membros = q.members.size();
            if (!q.isVoice()) {
                const QList<TSimChatAgent>& chat = server->chat()->desk().agents();
                membros = std::count_if(chat.begin(), chat.end(),
                                        [&](const TSimChatAgent& a) { return a.queue == q.id; });
            }
            QVERIFY2(filas.contains(QString("Membros: %1\r\n").arg(membros)), qPrintable(q.id));
        }
        QCOMPARE(monitor->Dump("Atendentes").count("Atendente: Agent/"), 20);

        // Ten minutes more of traffic, a few seconds at a time.
        for (int i = 0; i < 120; ++i) {
            server->traffic()->advance(5000);
            maisAguardando = std::max(maisAguardando, aguardando());
            if (i % 10 == 9) QVERIFY(Coincide());
        }
        QVERIFY(Coincide());
        QVERIFY2(maisAguardando > 1, "callers waited together at some moment");
        QVERIFY2(ui->erros.isEmpty(), qPrintable(ui->erros.join('\n')));
        // Paused agents show their reason as the windows print it.
        for (const TSimAgent& a : Sim().agents()) {
            if (!a.paused || a.status != TSimAgent::Status::Idle || a.queues.isEmpty()) continue;
            const QString texto =
                monitor->Agentes.Procura(a.id)->StatusText(0, monitor->MotivosPausa);
            QCOMPARE(texto, "Em pausa (" + monitor->MotivosPausa.ReasonText(a.pauseReason) + ")");
        }
    }

    // The simulator obeys each action: pause with a reason, unpause, add to and remove from a
    // queue, log off.
    void actionsAreObeyed() {
        Inicia(7);
        if (QTest::currentTestFailed()) return;
        QVERIFY(Coincide());
        // A logged-in agent, free or paused, and a voice queue it is not a member of.
        TAgente* agente = nullptr;
        TFila* outra = nullptr;
        for (const TSimAgent& a : Sim().agents()) {
            if (a.status != TSimAgent::Status::Idle) continue;
            for (const TSimQueue& q : Sim().queues())
                if (q.isVoice() && !q.member(a.id)) {
                    agente = monitor->Agentes.Procura(a.id);
                    outra = monitor->Filas.Procura(q.id);
                    break;
                }
            if (agente) break;
        }
        QVERIFY(agente && outra);
        const TSimAgent& noSim = *Sim().agent(agente->AgentNumber());

        QVERIFY(monitor->ColocaEmPausa(agente, monitor->MotivosPausa.Procura(3), 0));
        QTRY_COMPARE_WITH_TIMEOUT(agente->GetState(0), AgentState::EmPausa, 10000);
        QTRY_COMPARE(agente->Slot(0).FPauseReason, QStringLiteral("3"));
        QCOMPARE(agente->StatusText(0, monitor->MotivosPausa),
                 QStringLiteral("Em pausa (P - Treinamento)"));
        QVERIFY(noSim.paused);
        QVERIFY(Coincide());

        QVERIFY(monitor->RetiraDaPausa(agente, 0));
        QTRY_COMPARE_WITH_TIMEOUT(agente->GetState(0), AgentState::Livre, 10000);
        QVERIFY(!noSim.paused);

        QVERIFY(monitor->AdicionaNaFila(agente, outra, 0));
        QTRY_VERIFY_WITH_TIMEOUT(outra->HasMember(agente->Agent()), 10000);
        QVERIFY(monitor->Filas.QueuesOfAgent(agente, 0).contains(outra->Nome));
        QVERIFY(Sim().queue(outra->FilaId())->member(noSim.id));
        QVERIFY(Coincide());
        QVERIFY(monitor->RemoveDaFila(agente, outra, 0));
        QTRY_VERIFY_WITH_TIMEOUT(!outra->HasMember(agente->Agent()), 10000);
        QVERIFY(!Sim().queue(outra->FilaId())->member(noSim.id));

        QVERIFY(monitor->Logoff(agente, 0));
        QTRY_COMPARE_WITH_TIMEOUT(agente->GetState(0), AgentState::Indisponivel, 10000);
        QCOMPARE(noSim.status, TSimAgent::Status::LoggedOff);
        QVERIFY(Coincide());
        // The simulator heard exactly the texts of the actions.
        const QStringList recebidas = server->receivedActions();
        QVERIFY(recebidas.contains("Action: QueuePause\r\nInterface: " + agente->Agent() +
                                   "\r\nPaused: 1\r\nReason: 3\r\n\r\n"));
        QVERIFY(recebidas.contains("Action: AgentLogoff\r\nAgent: " + agente->AgentNumber() +
                                   "\r\nActionID: KQAgentLogoff\r\n\r\n"));
        QVERIFY(ui->erros.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestE2eCallCentre)
#include "test_e2e_callcentre.moc"
