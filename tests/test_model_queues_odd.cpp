// Odd input for agents and queues: numbers that do not read, events for agents and queues the
// monitor does not know, listeners that fail; the per-queue status refreshes a burst of events
// asks for; and the teardown of a connection.
#include "support/TCentral.h"

#include <QTest>

namespace {

// A window that fails while it is told of one kind of change.
struct TUiQueFalha : TRecordingUi {
    QString falhaEm;
    void AtualizaAgente(TAgente* a, const QString& k) override {
        TRecordingUi::AtualizaAgente(a, k);
        if (k == falhaEm) throw std::runtime_error("falhou");
    }
};

} // namespace

class TestModelQueuesOdd : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    // Slot 0, membership and the member's pause of agent 1001 in queue 1, as one text.
    QString Estado() {
        const TSlotAgente& s = m->A("1001")->Slot(0);
        const TMembroFila* mb = m->F("1")->Members.Procura("Agent/1001");
        QStringList t{QString::number(s.FStatusInt), QString::number(s.FPaused), s.FPauseReason,
                      QString::number(s.FPauseStart, 'g', 17)};
        if (mb)
            t << QString::number(mb->Status) << QString::number(mb->Paused)
              << QString::number(mb->Penalty) << mb->PauseReason;
        return t.join(' ');
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Agente("1001", "Maria Souza");
        m->Fila("1", "Atendimento Geral");
        m->Membro("1", "Agent/1001", 1, 0, "QueueMember", {"Penalty: 1"});
    }
    void cleanup() { m.reset(); }

    // A number that does not read skips the whole event, with a log line and without reaching
    // the error hook; nothing of the agent or its membership changes.
    void malformedNumbersSkipTheEvent_data() {
        QTest::addColumn<QString>("evento");
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QString>("chave");
        const auto row =
            [](const char* nome, const char* evento, const QStringList& mais, const char* chave) {
                QTest::newRow(nome)
                    << QString(evento)
                    << QStringList{"Queue: 1", "Location: Agent/1001", "PauseReason: 2"} + mais
                    << QString(chave);
            };
        row("status", "QueueMemberStatus", {"Status: ocupado", "Paused: 1"}, "Status");
        row("status missing", "QueueMember", {"Paused: 1"}, "Status");
        row("paused", "QueueMemberStatus", {"Status: 3", "Paused: sim"}, "Paused");
        row("paused overflow", "QueueMember", {"Status: 3", "Paused: 4294967296"}, "Paused");
        row("penalty", "QueueMemberStatus", {"Status: 3", "Paused: 1", "Penalty: dois"}, "Penalty");
        row("pause event", "QueueMemberPaused", {"Paused: talvez"}, "Paused");
        row("member added", "QueueMemberAdded", {"Status: 3", "CallsTaken: muitas"}, "CallsTaken");
    }
    void malformedNumbersSkipTheEvent() {
        QFETCH(QString, evento);
        QFETCH(QStringList, linhas);
        QFETCH(QString, chave);
        const QString antes = Estado();
        const qsizetype marca = m->ui->log.size();
        const qsizetype notas = m->ui->agentes.size() + m->ui->membros.size();
        m->Ev(evento, linhas);
        QCOMPARE(Estado(), antes);
        QCOMPARE(m->ui->agentes.size() + m->ui->membros.size(), notas);
        const QStringList linhasLog = m->LogDesde(marca);
        QCOMPARE(linhasLog.size(), 1);
        QVERIFY2(linhasLog[0].contains(" ignorado: " + chave + " inválido ("),
                 qPrintable(linhasLog[0]));
        QVERIFY(m->ui->erros.isEmpty());
    }

    // Where the text gives a default, a value that does not read takes it.
    void defaultsForUnreadableValues() {
        m->Ev("Hook", {"Channel: 1001", "Status: 0"});
        QVERIFY(!m->A("1001")->FOnHook);
        m->Ev("Hook", {"Channel: 1001", "Status: gancho"});
        QVERIFY(m->A("1001")->FOnHook);
        m->Entra("1", "SIP/a-1", "1.1", 1);
        m->Ev("QueueEntry", {"Channel: SIP/a-1", "Queue: 1", "Wait: muito"});
        QCOMPARE(m->C("SIP/a-1")->LigacaoFila->Inicio,
                 m->agora); // skipped: the join's moment stays
        QVERIFY(m->ui->erros.isEmpty());
    }

    // Events naming agents, queues or channels the monitor does not know change nothing and
    // announce nothing.
    void unknownNamesChangeNothing_data() {
        QTest::addColumn<QString>("evento");
        QTest::addColumn<QStringList>("linhas");
        const auto row = [](const char* nome, const char* evento, const QStringList& linhas) {
            QTest::newRow(nome) << QString(evento) << linhas;
        };
        row("login", "Agentlogin", {"Agent: 9999", "Channel: SIP/2001"});
        row("logoff", "Agentlogoff", {"Agent: "});
        row("called", "AgentCalled", {"AgentCalled: Agent/9999", "ChannelCalling: SIP/x-1"});
        row("connect", "AgentConnect", {"Member: Agent/9999"});
        row("ring no answer", "AgentRingNoAnswer", {"Member: Agent/9999", "Uniqueid: 1"});
        row("complete", "AgentComplete", {"Queue: 42", "Member: Agent/9999"});
        row("hook", "Hook", {"Channel: 9999", "Status: 0"});
        row("params", "QueueParams", {"Queue: 42", "Calls: 3"});
        row("join", "Join", {"Queue: 42", "Channel: SIP/x-1", "Position: 1"});
        row("join unknown channel", "Join", {"Queue: 1", "Channel: SIP/x-1"});
        row("leave", "Leave", {"Queue: 1", "Channel: SIP/x-1"});
        row("abandon", "QueueCallerAbandon", {"Queue: 42", "Uniqueid: 1"});
        row("unknown queue", "QueueMemberAdded",
            {"Queue: 42", "Location: Agent/1001", "Status: 1"});
        row("unknown member", "QueueMemberStatus",
            {"Queue: 1", "Location: Agent/9999", "Status: 1", "Paused: 0"});
        row("removed", "QueueMemberRemoved", {"Queue: 1", "Location: Agent/9999"});
        row("paused", "QueueMemberPaused", {"Queue: 1", "Location: 9999", "Paused: 1"});
        row("sub-reason", "QueueCallSubReasonCount",
            {"Queue: 1", "Reason: a", "SubReason: b", "Count: 1"});
    }
    void unknownNamesChangeNothing() {
        QFETCH(QString, evento);
        QFETCH(QStringList, linhas);
        const auto estado = [this]() -> QString {
            return monitor->Dump("Filas") + monitor->Dump("Atendentes") +
                   QString::number(m->ui->agentes.size() + m->ui->membros.size() +
                                   m->ui->chamadas.size() + m->ui->filas.size());
        };
        const QString antes = estado();
        m->Ev(evento, linhas);
        QCOMPARE(estado(), antes);
        QCOMPARE(monitor->Agentes.Count(), 1);
        QVERIFY(m->ui->erros.isEmpty());
    }

    // A window failing while a channel goes away reaches the error hook, but no agent or queue
    // is left pointing at the freed channel.
    void failingListenerDuringHangup() {
        auto ui = std::make_unique<TUiQueFalha>();
        ui->falhaEm = "Agent-RemoveCall";
        monitor->SetUi(ui.get());
        ui->Assina(monitor->Avisos());
        m->Agente("1002", "João Lima");
        m->Entra("1", "SIP/a-1", "1.1", 1);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/a-1"});
        m->Ev("AgentCalled", {"AgentCalled: Agent/1002", "ChannelCalling: SIP/a-1"});
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m->Hangup("SIP/a-1", "1.1"));
        QCOMPARE(m->C("SIP/a-1"), nullptr);
        QCOMPARE(m->A("1001")->ChannelCall(), nullptr);
        QCOMPARE(m->A("1002")->ChannelCall(), nullptr);
        QVERIFY(m->F("1")->QueueCalls().empty());
        monitor->SetUi(m->ui.get());
    }

    // A burst of joins, abandons and completions asks each queue once; what changes while the
    // answer is on its way asks once more after it.
    void statusRefreshesAreMerged() {
        QVERIFY(m->Conecta());
        m->Fila("2", "Suporte Técnico");
        for (int i = 0; i < 4; ++i)
            m->Entra("1", QString("SIP/a%1-1").arg(i), QString("1.%1").arg(i), i + 1);
        QVERIFY(m->enviados.filter("QueueStatus").isEmpty()); // not before the load's own listing
        monitor->QueueStatusLoaded = true;

        const QString status1 = "Action: QueueStatus\r\nQueue: 1\r\n\r\n";
        const QString status2 = "Action: QueueStatus\r\nQueue: 2\r\n\r\n";
        for (int i = 4; i < 9; ++i)
            m->Entra("1", QString("SIP/a%1-1").arg(i), QString("1.%1").arg(i), i + 1);
        m->Ev("QueueCallerAbandon", {"Queue: 1", "Uniqueid: 1.0"});
        m->Ev("AgentComplete", {"Queue: 1", "Member: Agent/1001"});
        m->Entra("2", "SIP/b-1", "2.1", 1);
        m->Ev("AgentComplete", {"Queue: 42", "Member: Agent/1001"});
        QCOMPARE(m->enviados.filter("QueueStatus"), (QStringList{status1, status2}));
        QCOMPARE(monitor->StatusFilaEmAndamento(0), 2);
        QVERIFY(monitor->StatusFilaPendente("1", 0));
        QVERIFY(!monitor->StatusFilaPendente("2", 0));

        // The answers come in order: queue 1's asks for the pending one, queue 2's for nothing.
        m->enviados.clear();
        m->Ev("QueueStatusComplete", {});
        QCOMPARE(m->enviados, QStringList{status1});
        m->Ev("QueueStatusComplete", {});
        m->Ev("QueueStatusComplete", {});
        QCOMPARE(m->enviados, QStringList{status1});
        QCOMPARE(monitor->StatusFilaEmAndamento(0), 0);
        // An answer nobody waits for is harmless.
        m->Ev("QueueStatusComplete", {});
        m->Ev("QueueCallerAbandon", {"Queue: 2", "Uniqueid: 2.1"});
        QCOMPARE(m->enviados, (QStringList{status1, status2}));
    }

    // Closing the connection empties queues and agents after the channels and forgets the
    // refreshes on their way; packets still queued then find an empty model.
    void teardown() {
        QVERIFY(m->Conecta());
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001"});
        monitor->QueueStatusLoaded = true;
        m->Entra("1", "SIP/a-1", "1.1", 1);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/a-1"});
        QCOMPARE(monitor->StatusFilaEmAndamento(0), 1);
        monitor->EncerraConexao();
        QCOMPARE(monitor->CloseStep, QStringLiteral("9"));
        QCOMPARE(monitor->Filas.Count(), 0);
        QCOMPARE(monitor->Agentes.Count(), 0);
        QCOMPARE(monitor->Canais.Count(), 0);
        QCOMPARE(monitor->StatusFilaEmAndamento(0), 0);
        m->Ev("AgentComplete", {"Queue: 1", "Member: Agent/1001"});
        m->Ev("QueueMemberStatus", {"Queue: 1", "Location: Agent/1001", "Status: 1", "Paused: 0"});
        m->Hangup("SIP/a-1", "1.1");
        QCOMPARE(monitor->Dump("Filas") + monitor->Dump("Atendentes"), QString());
    }
};

QTEST_GUILESS_MAIN(TestModelQueuesOdd)
#include "test_model_queues_odd.moc"
