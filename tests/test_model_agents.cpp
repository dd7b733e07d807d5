// Agents followed through the events the PBX sends, at a pinned clock: the display state, its
// texts, durations and colour class; lookups; the chat slot; channels and bridges going away.
#include "support/TCentral.h"

#include <QSignalSpy>
#include <QTest>

class TestModelAgents : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    TAgente* A(const QString& id) { return m->A(id); }
    QString Texto(TAgente* a, int slot = 0) { return a->StatusText(slot, monitor->MotivosPausa); }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Ramal("2001", "PA 01");
        m->Motivo(1, "Almoço", false);
        m->Agente("1001", "Maria Souza");
        m->Fila("1", "Atendimento Geral");
    }
    void cleanup() { m.reset(); }

    // The packet-log text of an agent: every field in its place, the chat slot's calls listed.
    void dump() {
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001", "Uniqueid: 1.1"});
        TAgente* a = A("1001");
        const QString cabeca =
            "Atendente: Agent/1001\r\nAgentNumber : 1001\r\n"
            "AgentName   : Maria Souza\r\nFLoggedInChan     : SIP/2001\r\n"
            "FLoggedInTime[0]  : 15/03/2023 12:00:00\r\nFLoggedInTime[1]  : 0\r\n"
            "FStrLoggedChannel[0] : 2001 (PA 01)\r\nFStrLoggedChannel[1] : \r\n"
            "FStatusInt[0]     : 1\r\nFStatusInt[1]     : -1\r\n"
            "FStatusStr[0]     : \r\nFStatusStr[1]     : \r\n"
            "FOnHook           : 1\r\nFOffHookStart     : 0\r\n";
        QCOMPARE(a->Dump(), cabeca + "ChannelLogged     : nil\r\nChannelCall     : nil\r\n");

        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        m->Entra("1", "SIP/chat-1", "100.2", 2);
        m->Entra("1", "SIP/chat-2", "100.3", 3);
        a->AddCall(m->C("SIP/chat-1"));
        a->AddCall(m->C("SIP/chat-2"));
        QCOMPARE(a->Dump(), cabeca +
                                "ChannelLogged     : nil\r\nChannelCall     : Khomp/B0C1-1\r\n"
                                "ChannelCall 0   : SIP/chat-1\r\nChannelCall 1   : SIP/chat-2\r\n");
    }

    // Login, a queue call rung, answered and completed, wrap-up, a pause with a reason, the
    // return from it, a missed call with the automatic pause, a call of the agent's own and the
    // logoff.
    void agentsDay() {
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001", "Uniqueid: 1.1"});
        TAgente* a = A("1001");
        QCOMPARE(a->GetState(0), AgentState::Livre);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:00:00"));
        QCOMPARE(a->ExtensionText(0), QStringLiteral("2001 (PA 01)"));
        QCOMPARE(m->ui->agentes.last(), QStringLiteral("Agent/1001 Agent-agentlogin"));
        m->Membro("1", "Agent/1001", 1, 0, "QueueMemberAdded");
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 0), QStringLiteral("Atendimento Geral"));

        m->Avanca(65);
        QCOMPARE(a->IdleText(0), QStringLiteral("00:01:05"));

        // A caller rings the agent: busy, blinking between the plain and the queue colour.
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Avanca(10);
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        TChannel* chamada = m->C("Khomp/B0C1-1");
        QCOMPARE(a->ChannelCall(), chamada);
        QCOMPARE(chamada->LigacaoFila->DataAgente, a);
        QCOMPARE(chamada->LigacaoFila->Chamando, m->agora);
        m->Membro("1", "Agent/1001", 3);
        QCOMPARE(a->GetState(0), AgentState::Ocupado);
        QCOMPARE(a->ClasseCor(0), TClasseCor::Ocupado);
        QCOMPARE(a->ClasseCor(0, true), TClasseCor::OcupadoNaFila);
        m->Avanca(4);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:00:04"));

        // Answered: the queue colour stays, the time counts from the answer.
        m->Ev("Leave", {"Channel: Khomp/B0C1-1", "Queue: 1"});
        m->Ev("AgentConnect", {"Queue: 1", "Member: Agent/1001", "BridgedChannel: Khomp/B0C1-1"});
        QCOMPARE(chamada->LigacaoFila->Atendimento, m->agora);
        QCOMPARE(chamada->LigacaoFila->Chamando, 0.0);
        QCOMPARE(a->ClasseCor(0), TClasseCor::OcupadoNaFila);
        m->Avanca(30);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:00:30"));

        // Completed: the call leaves the queue; then wrap-up.
        m->Ev("AgentComplete", {"Queue: 1", "Member: Agent/1001", "BridgedChannel: Khomp/B0C1-1"});
        QCOMPARE(a->ChannelCall(), nullptr);
        QVERIFY(m->Chamadas("1").isEmpty());
        QVERIFY(!chamada->LigacaoFila);
        QCOMPARE(a->ClasseCor(0), TClasseCor::Ocupado);
        m->Membro("1", "Agent/1001", 0);
        QCOMPARE(a->GetState(0), AgentState::PosAtendimento);
        QCOMPARE(a->DurationText(0), QString());
        m->Avanca(10);
        m->Membro("1", "Agent/1001", 1, 0, "QueueMemberStatus", {"LastCall: " + m->Agora()});
        m->Avanca(7);
        QCOMPARE(a->IdleText(0), QStringLiteral("00:00:07"));

        // A pause with a reason, then back: the idle time starts again.
        m->Pausa("1", "Agent/1001", true, "1");
        QCOMPARE(Texto(a), QStringLiteral("Em pausa (I - Almoço)"));
        TMembroFila* membro = m->F("1")->Members.Procura("Agent/1001");
        QVERIFY(membro->Paused);
        QCOMPARE(membro->PauseReason, QStringLiteral("1"));
        m->Avanca(90);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:01:30"));
        m->Pausa("1", "Agent/1001", false, "0");
        QCOMPARE(a->GetState(0), AgentState::Livre);
        QCOMPARE(a->IdleText(0), QStringLiteral("00:00:00"));
        QVERIFY(!membro->Paused);
        QCOMPARE(membro->PauseReason, QString());

        // A call rings out: the agent lets it go and the PBX pauses it automatically.
        m->Entra("1", "Khomp/B0C2-2", "100.2", 1);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C2-2"});
        m->Ev("AgentRingNoAnswer", {"Queue: 1", "Member: Agent/1001", "Uniqueid: 100.2"});
        TChannel* perdida = m->C("Khomp/B0C2-2");
        QCOMPARE(a->ChannelCall(), nullptr);
        QCOMPARE(perdida->LigacaoFila->DataAgente, nullptr);
        QCOMPARE(perdida->LigacaoFila->Chamando, 0.0);
        QCOMPARE(m->Chamadas("1"), QStringList{"Khomp/B0C2-2"});
        m->Pausa("1", "Agent/1001", true, "0");
        QCOMPARE(Texto(a), QStringLiteral("Em pausa (Auto pausa - Chamada não atendida)"));

        // A call of its own: off hook with no queue call.
        m->Pausa("1", "Agent/1001", false, "0");
        m->Ev("Hook", {"Channel: 1001", "Device: SIP/2001", "Status: 0"});
        m->Membro("1", "Agent/1001", 3);
        QCOMPARE(a->ClasseCor(0), TClasseCor::FoneForaDoGancho);
        QCOMPARE(a->TextoGancho(), QStringLiteral("Fora do gancho"));
        m->Avanca(12);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:00:12"));
        m->Ev("Hook", {"Channel: 1001", "Status: 1"});
        QCOMPARE(a->ClasseCor(0), TClasseCor::Ocupado);

        m->Ev("Agentlogoff", {"Agent: 1001", "Logintime: 300"});
        QCOMPARE(a->GetState(0), AgentState::Indisponivel);
        QCOMPARE(a->ExtensionText(0), QString());
        QCOMPARE(a->DurationText(0), QString());
        QVERIFY(m->ui->erros.isEmpty());
    }

    // The state each server status gives, with its text and colour class.
    void displayStateFromServer_data() {
        QTest::addColumn<QString>("evento");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("paused");
        QTest::addColumn<int>("estado");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("classe");
        const auto row = [](const char* nome, const char* ev, const char* st, int p, AgentState e,
                            const char* t, TClasseCor c) {
            QTest::newRow(nome) << ev << st << p << int(e) << QString::fromUtf8(t) << int(c);
        };
        row("listing on call", "Agents", "AGENT_ONCALL", 0, AgentState::Ocupado, "Ocupado",
            TClasseCor::Ocupado);
        row("listing idle", "Agents", "AGENT_IDLE", 0, AgentState::Livre, "Livre",
            TClasseCor::Livre);
        row("listing logged off", "Agents", "AGENT_LOGGEDOFF", 0, AgentState::Indisponivel,
            "Indisponível", TClasseCor::Indisponivel);
        row("listing wrap-up", "Agents", "AGENT_WRAPUP", 0, AgentState::PosAtendimento, "Ocupado ",
            TClasseCor::PosAtendimento);
        row("device free", "QueueMember", "1", 0, AgentState::Livre, "Livre", TClasseCor::Livre);
        row("device free paused", "QueueMember", "1", 1, AgentState::EmPausa,
            "Em pausa (I - Almoço)", TClasseCor::EmPausa);
        row("device in use", "QueueMember", "2", 0, AgentState::Indisponivel, "Indisponível",
            TClasseCor::Indisponivel);
        row("device busy", "QueueMember", "3", 1, AgentState::Ocupado, "Ocupado",
            TClasseCor::Ocupado);
        row("device after call", "QueueMember", "0", 0, AgentState::PosAtendimento, "Ocupado ",
            TClasseCor::PosAtendimento);
    }
    void displayStateFromServer() {
        QFETCH(QString, evento);
        QFETCH(QString, status);
        QFETCH(int, paused);
        if (evento == "Agents")
            m->Ev(evento, {"Agent: 1001", "Name: Maria Souza", "Status: " + status,
                           "LoggedInChan: SIP/2001"});
        else
            m->Ev(evento, {"Queue: 1", "Location: Agent/1001", "Status: " + status,
                           QString("Paused: %1").arg(paused), "PauseReason: 1",
                           "PauseStart: " + m->Agora()});
        QFETCH(int, estado);
        QFETCH(int, classe);
        TAgente* a = A("1001");
        QCOMPARE(int(a->GetState(0)), estado);
        QTEST(Texto(a), "texto");
        QCOMPARE(int(a->ClasseCor(0)), classe);
        // The chat slot was never told anything.
        QCOMPARE(a->GetState(1), AgentState::Indisponivel);
    }

    void idleCountsFromTheLatestMoment() {
        const double dezHoras = 45000.0 + 10.0 / 24;
        m->agora = dezHoras + 30.0 / 1440; // 10:30
        m->Ev("Agents", {"Agent: 1001", "Status: AGENT_IDLE", "LoggedInChan: SIP/2001",
                         "LoggedInTime: " + TCentral::Unix(dezHoras),
                         "LastPause: " + TCentral::Unix(dezHoras + 10.0 / 1440)});
        m->Membro("1", "Agent/1001", 1, 0, "QueueMember",
                  {"LastCall: " + TCentral::Unix(dezHoras + 20.0 / 1440)});
        TAgente* a = A("Agent/1001");
        QCOMPARE(a->IdleText(0), QStringLiteral("00:10:00"));
        // An older last call never moves the stamp back.
        m->Membro("1", "Agent/1001", 1, 0, "QueueMember",
                  {"LastCall: " + TCentral::Unix(dezHoras)});
        QCOMPARE(a->IdleText(0), QStringLiteral("00:10:00"));
        // Not free: no idle time at all.
        m->Membro("1", "Agent/1001", 3);
        QCOMPARE(a->IdleText(0), QString());
    }

    void lookupsAndListing() {
        TAgente* a = A("Agent/1001");
        QVERIFY(a);
        QCOMPARE(A("1001"), a);
        QCOMPARE(A(""), nullptr);
        // A second row renames in place.
        m->Agente("1001", "Maria S. Souza");
        QCOMPARE(monitor->Agentes.Count(), 1);
        QCOMPARE(a->AgentName, QStringLiteral("Maria S. Souza"));

        // An agent first seen in the listing is kept but sends no notices; "n/a" is no channel.
        const qsizetype antes = m->ui->agentes.size();
        m->Ev("Agents", {"Agent: 1050", "Name: Novo", "Status: AGENT_LOGGEDOFF",
                         "LoggedInChan: n/a", "TalkingTo: n/a"});
        TAgente* novo = A("1050");
        QVERIFY(novo);
        QCOMPARE(novo->Slot(0).FLoggedInChan, QString());
        QCOMPARE(novo->Slot(0).FTalkingTo, QString());
        QCOMPARE(m->ui->agentes.size(), antes);
        // A row without its agent creates nothing.
        m->Ev("Agents", {"Agent: ", "Name: Ninguém"});
        QCOMPARE(monitor->Agentes.Count(), 2);
        // The listing of a logged-in agent labels its extension.
        m->Ev("Agents",
              {"Agent: 1001", "Name: Maria Souza", "Status: AGENT_IDLE", "LoggedInChan: SIP/2001"});
        QCOMPARE(a->Slot(0).FStrLoggedChannel, QStringLiteral("2001 (PA 01)"));
        QCOMPARE(monitor->Agentes.ProcuraPorLoggedInChan("SIP/2001", 0), a);
        QCOMPARE(monitor->Agentes.ProcuraPorLoggedInChan("SIP/2001", 1), nullptr);
    }

    // A chat agent serves several conversations at once, each a call of slot 1.
    void chatAgentWithSeveralCalls() {
        m->Fila("5", "Chat Site", "c");
        for (int i = 1; i <= 3; ++i)
            m->Ev("Newchannel",
                  {QString("Channel: VChat/cliente-%1").arg(i), QString("Uniqueid: 9.%1").arg(i),
                   QString("CallerID: cliente%1@site").arg(i)},
                  true);
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: VChat/1001", "IPLogin: 10.0.0.7"}, true);
        TAgente* a = A("1001");
        QCOMPARE(a->ExtensionText(1), QStringLiteral("10.0.0.7"));
        QCOMPARE(a->GetState(0), AgentState::Indisponivel);
        for (int i = 1; i <= 3; ++i)
            m->Ev("AgentCalled",
                  {"Queue: 5", "AgentCalled: Agent/1001",
                   QString("ChannelCalling: VChat/cliente-%1").arg(i)},
                  true);
        m->Membro("5", "Agent/1001", 3, 0, "QueueMemberStatus");
        QCOMPARE(a->GetState(1), AgentState::Livre); // the manager's report is slot 0's
        m->Ev("QueueMemberStatus", {"Queue: 5", "Location: Agent/1001", "Status: 3", "Paused: 0"},
              true);
        QCOMPARE(a->CallCount(), 3);
        QCOMPARE(Texto(a, 1), QStringLiteral("Ocupado (3)"));
        QCOMPARE(a->CurrentCall(1)->Channel(), QStringLiteral("VChat/cliente-1"));

        m->Ev("AgentComplete",
              {"Queue: 5", "Member: Agent/1001", "BridgedChannel: VChat/cliente-1"}, true);
        QCOMPARE(Texto(a, 1), QStringLiteral("Ocupado (2)"));
        QCOMPARE(a->Slot(1).FTalkingTo, QStringLiteral("cliente2@site"));
        // The conversation's agent channel hangs up on the chat connection.
        m->Ev("Newchannel", {"Channel: Agent/1001", "Uniqueid: 9.9"}, true);
        m->Ev("Hangup", {"Channel: Agent/1001", "Uniqueid: 9.9", "BridgedChannel: VChat/cliente-2"},
              true);
        QCOMPARE(Texto(a, 1), QStringLiteral("Ocupado"));
        QCOMPARE(a->Slot(1).FTalkingTo, QStringLiteral("cliente3@site"));
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 1), QStringLiteral("Chat Site"));
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 0), QString());
    }

    // A pause kept through a call counts again from the call's end; no pause start, no clock.
    void completedCallRestartsThePauseClock_data() {
        QTest::addColumn<bool>("comInicio");
        QTest::newRow("pause with a start") << true;
        QTest::newRow("pause without a start") << false;
    }
    void completedCallRestartsThePauseClock() {
        QFETCH(bool, comInicio);
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001"});
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        m->Ev("QueueMemberPaused",
              {"Queue: 1", "Location: Agent/1001", "Paused: 1", "PauseReason: 1",
               "PauseStart: " + (comInicio ? m->Agora() : QString("0"))});
        m->Avanca(40);
        m->Ev("AgentComplete", {"Queue: 1", "Member: Agent/1001"});
        TAgente* a = A("1001");
        QCOMPARE(a->Slot(0).FPauseStart, comInicio ? m->agora : 0.0);
        QCOMPARE(a->DurationText(0), comInicio ? QStringLiteral("00:00:00") : QString());
    }

    // A server that tells pauses only through member states: each new pause counts from its own
    // start, not from the start of an earlier one.
    void pausesToldByMemberStates() {
        m->Membro("1", "Agent/1001", 1, 1, "QueueMember",
                  {"PauseReason: 1", "PauseStart: " + m->Agora()});
        TAgente* a = A("1001");
        const TMembroFila* membro = m->F("1")->Members.Procura("Agent/1001");
        QCOMPARE(a->Slot(0).FPauseStart, m->agora);
        m->Avanca(600);
        m->Membro("1", "Agent/1001", 1, 0, "QueueMember", {"PauseReason: n/a", "PauseStart: 0"});
        QCOMPARE(a->GetState(0), AgentState::Livre);
        QCOMPARE(a->Slot(0).FPauseReason, QStringLiteral("1")); // "n/a" keeps the last reason
        QCOMPARE(membro->PauseStart, 0.0);
        m->Avanca(60);
        const double segunda = m->agora;
        m->Membro("1", "Agent/1001", 1, 1, "QueueMember",
                  {"PauseReason: 1", "PauseStart: " + m->Agora()});
        m->Avanca(5);
        // Refreshed during the same pause: the start stays.
        m->Membro("1", "Agent/1001", 1, 1, "QueueMember",
                  {"PauseReason: 1", "PauseStart: " + m->Agora()});
        QCOMPARE(a->Slot(0).FPauseStart, segunda);
        QCOMPARE(membro->PauseStart, segunda);
        QCOMPARE(a->DurationText(0), QStringLiteral("00:00:05"));
    }

    // Channels and bridges going away leave no agent pointing at them.
    void channelsAndBridgesGoingAway() {
        // Logged in from a channel that is a live leg.
        m->Ev("Agents", {"Agent: 1001", "Status: AGENT_IDLE", "LoggedInChan: SIP/2001-00000001"});
        TAgente* a = A("1001");
        m->NovoCanal("SIP/2001-00000001", "1.1");
        QCOMPARE(a->ChannelLogged(), m->C("SIP/2001-00000001"));
        QVERIFY(m->ui->agentes.contains("Agent/1001 Agent-Call1"));
        // The telephone leg names its extension.
        QCOMPARE(a->ExtensionText(0), QStringLiteral("2001 (PA 01)"));

        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        m->ui->agentes.clear();
        m->Hangup("Khomp/B0C1-1", "100.1");
        QCOMPARE(a->ChannelCall(), nullptr);
        QCOMPARE(m->ui->agentes, QStringList{"Agent/1001 Agent-RemoveCall"});
        QVERIFY(m->Chamadas("1").isEmpty());
        m->Hangup("SIP/2001-00000001", "1.1");
        QCOMPARE(a->ChannelLogged(), nullptr);
        QCOMPARE(monitor->Dump("Atendentes").count("nil"), 2);
    }

    // The channel listing of the load gives each agent its call back.
    void statusListingRebuildsCalls() {
        m->Ev("Agents", {"Agent: 1001", "Status: AGENT_ONCALL", "LoggedInChan: SIP/2001"});
        m->Ev("Agents", {"Agent: 1002", "Status: AGENT_ONCALL", "LoggedInChan: SIP/2002"});
        // A queue call answered by 1001: listed with its queue and the agent's leg.
        m->Ev("Status", {"Channel: Khomp/B0C1-1", "Uniqueid: 100.1", "State: Up", "Seconds: 125",
                         "Queue: 1", "BridgedChannel: SIP/2001-00000007"});
        m->Ev("Status", {"Channel: SIP/2001-00000007", "Uniqueid: 100.2", "State: Up",
                         "Seconds: 100", "BridgedChannel: Khomp/B0C1-1"});
        TChannel* chamada = m->C("Khomp/B0C1-1");
        TAgente* a = A("1001");
        QCOMPARE(a->ChannelCall(), chamada);
        QCOMPARE(chamada->LigacaoFila->DataAgente, a);
        QVERIFY(!chamada->LigacaoFila->Queued);
        QCOMPARE(chamada->LigacaoFila->Atendimento, m->agora - 125.0 / kSecondsPerDay);
        QCOMPARE(m->F("1")->WaitingCount(), 0);
        QCOMPARE(m->F("1")->AnsweringCount(), 1);
        // A call that is no queue's: each leg is the current call of the agent at the other.
        m->Ev("Status", {"Channel: Khomp/B0C3-3", "Uniqueid: 100.3", "State: Up", "Seconds: 5"});
        m->Ev("Status", {"Channel: SIP/2002-00000008", "Uniqueid: 100.4", "State: Up", "Seconds: 5",
                         "BridgedChannel: Khomp/B0C3-3"});
        QCOMPARE(A("1002")->ChannelCall(), m->C("Khomp/B0C3-3"));
        QCOMPARE(A("1002")->DurationText(0), QStringLiteral("00:00:05"));
    }

    // Rings of agents or calls not yet known are kept during the load; a server naming ever
    // more agents must not grow them without bound, and the load still ends with the rings it
    // kept taken up.
    void ringsKeptDuringTheLoadAreCapped_data() {
        QTest::addColumn<int>("outros");
        QTest::addColumn<int>("guardados");
        const int cap = int(TMonitor::kMaxToquesGuardados);
        QTest::newRow("a few") << 10 << 11;
        QTest::newRow("up to the cap") << cap - 1 << cap;
        QTest::newRow("beyond the cap") << cap + 2500 << cap;
    }
    void ringsKeptDuringTheLoadAreCapped() {
        QFETCH(int, outros);
        QFETCH(int, guardados);
        QSignalSpy fim(monitor, &TMonitor::LoadFinished);
        monitor->SendAfterLogin();
        // 1001 is rung before the call is listed: kept first, so within the cap.
        m->Ev("AgentCalled", {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1",
                              "Uniqueid: 100.1"});
        for (int i = 0; i < outros; ++i) {
            const QString n = QString::number(50000 + i);
            m->Ev("AgentCalled",
                  {"AgentCalled: Agent/" + n, "ChannelCalling: SIP/x-" + n, "Uniqueid: 9." + n});
        }
        QCOMPARE(monitor->ToquesGuardados(), qsizetype(guardados));
        // A further ring of an agent already kept is still followed at the cap.
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: 1001", "ChannelCalling: Khomp/B0C1-1", "Uniqueid: 100.1"});
        QCOMPARE(monitor->ToquesGuardados(), qsizetype(guardados));

        // The listings: her call, and the agent busy without one.
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("Agents", {"Agent: 1001", "Status: AGENT_ONCALL", "LoggedInChan: SIP/2001"});
        m->Ev("QueueStatusComplete", {"ActionID: QueueStatus"});
        // The chat steps refused: the load ends without the chat server.
        m->Feed("Response: Error\r\nActionID: UserInChat\r\n\r\n");
        QCOMPARE(fim.count(), 1);
        QCOMPARE(monitor->ToquesGuardados(), qsizetype(0));
        TChannel* chamada = m->C("Khomp/B0C1-1");
        QCOMPARE(A("1001")->ChannelCall(), chamada);
        QCOMPARE(chamada->LigacaoFila->DataAgente, A("1001"));
        // Rung agents the configuration never named were not created by the kept rings.
        QCOMPARE(monitor->Agentes.Count(), 1);

        // Once loaded, nothing more is kept.
        m->Ev("AgentCalled", {"AgentCalled: Agent/77777", "ChannelCalling: SIP/y-1"});
        QCOMPARE(monitor->ToquesGuardados(), qsizetype(0));
    }
};

QTEST_GUILESS_MAIN(TestModelAgents)
#include "test_model_agents.moc"
