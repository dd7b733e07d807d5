// Queues followed through the events the PBX sends: callers joining and leaving in any order,
// abandons, statistics, members and their counters, call-reason counters, the notices and the
// diagnostic lines they produce, and the queue rows of the load.
#include "support/TCentral.h"

#include <QTest>

class TestModelQueues : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    QList<int> Posicoes(const QString& fila, bool inicial) {
        QList<int> p;
        for (const TChannel* c : m->F(fila)->QueueCalls())
            p << (inicial ? c->LigacaoFila->PosicaoInicial : c->LigacaoFila->PosicaoAtual);
        return p;
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Agente("1001", "Maria Souza");
        m->Agente("1002", "João Lima");
        m->Fila("1", "Atendimento Geral");
        m->Fila("2", "Suporte Técnico");
    }
    void cleanup() { m.reset(); }

    // Callers join with the position the PBX gives and leave in any order; the queue keeps them
    // in queue order and numbers them from 1.
    void positionsAsCallersComeAndGo_data() {
        QTest::addColumn<QStringList>("passos"); // "+name pos" joins, "-name" abandons
        QTest::addColumn<QStringList>("ordem");
        QTest::addColumn<QList<int>>("iniciais");
        QTest::newRow("position beyond the waiting callers goes last")
            << QStringList{"+a 1", "+b 3"} << QStringList{"a", "b"} << QList<int>{1, 3};
        QTest::newRow("second of three abandons") << QStringList{"+a 1", "+b 2", "+c 3", "-b"}
                                                  << QStringList{"a", "c"} << QList<int>{1, 3};
        QTest::newRow("first leaves, a priority caller enters ahead")
            << QStringList{"+a 1", "+b 2", "-a", "+c 1", "+d 0"} << QStringList{"c", "b", "d"}
            << QList<int>{1, 2, 0};
        QTest::newRow("odd positions")
            << QStringList{"+a -5", "+b 2147483647", "+c 99999999999", "+d 2"}
            << QStringList{"a", "d", "b", "c"} << QList<int>{0, 2, 2147483647, 0};
        QTest::newRow("everybody leaves")
            << QStringList{"+a 1", "+b 2", "-b", "-a", "-a"} << QStringList{} << QList<int>{};
    }
    void positionsAsCallersComeAndGo() {
        QFETCH(QStringList, passos);
        int uid = 0;
        QHash<QString, QString> uids;
        for (const QString& passo : passos) {
            const QString nome = passo.mid(1).section(' ', 0, 0);
            if (passo.startsWith('+')) {
                uids[nome] = QString("200.%1").arg(++uid);
                m->NovoCanal("SIP/" + nome + "-1", uids[nome]);
                m->Ev("Join", {"Channel: SIP/" + nome + "-1", "Queue: 1",
                               "Position: " + passo.section(' ', 1, 1)});
            } else {
                m->Ev("QueueCallerAbandon", {"Queue: 1", "Uniqueid: " + uids[nome]});
            }
        }
        QStringList ordem;
        for (const QString& c : m->Chamadas("1"))
            ordem << c.mid(4).section('-', 0, 0);
        QTEST(ordem, "ordem");
        QTEST(Posicoes("1", true), "iniciais");
        QList<int> atuais;
        for (int i = 1; i <= ordem.size(); ++i)
            atuais << i;
        QCOMPARE(Posicoes("1", false), atuais);
        QCOMPARE(m->F("1")->WaitingCount(), int(ordem.size()));
        QVERIFY(m->ui->erros.isEmpty());
    }

    // "leave" stops the waiting; the answered call stays listed until it completes.
    void leaveThenAnswer() {
        m->Entra("1", "SIP/a-1", "1.1", 1);
        m->Entra("1", "SIP/b-1", "1.2", 2);
        m->Ev("AgentCalled", {"AgentCalled: Agent/1001", "ChannelCalling: SIP/a-1"});
        m->Ev("Leave", {"Channel: SIP/a-1", "Queue: 1"});
        TFila* f = m->F("1");
        QCOMPARE(m->Chamadas("1"), (QStringList{"SIP/a-1", "SIP/b-1"}));
        QCOMPARE(f->WaitingCount(), 1);
        QCOMPARE(f->AnsweringCount(), 0);
        QCOMPARE(m->ui->chamadas.last(), QStringLiteral("1 SIP/a-1 CallRemoved"));
        m->Ev("AgentConnect", {"Member: Agent/1001"});
        QCOMPARE(f->AnsweringCount(), 1);
        QVERIFY(!m->C("SIP/a-1")->LigacaoFila->Queued);
        // A call that is listed again while answered ("queueentry" of a refresh) waits again only
        // when the server says so: the listing names only waiting callers.
        m->Ev("QueueEntry", {"Queue: 1", "Channel: SIP/b-1", "Position: 1", "Wait: 42"});
        QCOMPARE(f->CallCount(), 2);
        QCOMPARE(m->C("SIP/b-1")->LigacaoFila->Inicio, m->agora - 42.0 / kSecondsPerDay);
    }

    void statistics_data() {
        QTest::addColumn<QStringList>("linhas");
        QTest::addColumn<QList<int>>(
            "valores"); // Max Calls HoldTime TalkTime Completed Abandoned Received
        QTest::newRow("all given")
            << QStringList{"Max: 50",        "Calls: 3",     "HoldTime: 21", "TalkTime: 180",
                           "Completed: 120", "Abandoned: 7", "Received: 130"}
            << QList<int>{50, 3, 21, 180, 120, 7, 130};
        QTest::newRow("no Received")
            << QStringList{"Max: 10", "Calls: 1"} << QList<int>{10, 1, 0, 0, 0, 0, -1};
        QTest::newRow("not numbers") << QStringList{"Max: muitos", "Calls: 2x", "Received: ?"}
                                     << QList<int>{0, 0, 0, 0, 0, 0, 0};
    }
    void statistics() {
        QFETCH(QStringList, linhas);
        QFETCH(QList<int>, valores);
        m->Ev("QueueParams",
              QStringList{"Queue: 1", "ServiceLevel: 20", "ServiceLevelPerf: 93.5"} + linhas);
        const TFila* f = m->F("1");
        QCOMPARE((QList<int>{f->Max, f->Calls, f->HoldTime, f->TalkTime, f->Completed, f->Abandoned,
                             f->Received}),
                 valores);
        QCOMPARE(f->ServiceLevelPerf, QStringLiteral("93.5"));
        QCOMPARE(m->ui->filas.last(), QStringLiteral("1"));
        QCOMPARE(m->LogDesde(0, "OnQueueEvent").mid(0, 2),
                 (QStringList{"OnQueueEvent: Fila; Fila:1 (Atendimento Geral); Ligs:0",
                              "OnQueueEvent2: Fila"}));
    }

    // Members and their counters; notices carry the member to the queue windows and its agent
    // to the agents windows.
    void membersAndCounters() {
        for (int i = 1; i <= 5; ++i)
            m->Agente(QString::number(1000 + i), QString("Agente %1").arg(i));
        m->Membro("1", "Agent/1001", 1);
        m->Membro("1", "Agent/1002", 1, 1);
        m->Membro("1", "Agent/1003", 3);
        m->Membro("1", "Agent/1004", 2);
        m->Membro("1", "Agent/1005", 5);
        const TFila* f = m->F("1");
        QCOMPARE(f->Members.Count(), 5);
        QCOMPARE(f->AtendentesOnLine(), 4);
        QCOMPARE(f->AtendentesOcupados(), 1);
        QCOMPARE(f->AtendentesLivres(), 1);
        QCOMPARE(f->AtendentesPausados(), 1);
        QCOMPARE(m->ui->membros.mid(0, 4),
                 (QStringList{"1 Agent/1001 MemberAdded", "1 Agent/1001 MemberUpdated",
                              "1 Agent/1002 MemberAdded", "1 Agent/1002 MemberUpdated"}));
        QVERIFY(m->ui->membros.contains("1 Agent/1002 MemberPaused"));
        QVERIFY(m->ui->agentes.contains("Agent/1002 MemberPaused"));

        // The same agent in a voice and a chat queue: each slot lists its own kind.
        m->Fila("5", "Chat Site", "c");
        m->Membro("5", "Agent/1001", 1);
        m->Membro("2", "Agent/1001", 1);
        TAgente* a = m->A("1001");
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 0),
                 QStringLiteral("Atendimento Geral, Suporte Técnico"));
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 1), QStringLiteral("Chat Site"));
        QCOMPARE(monitor->Filas.QueuesOfAgent(nullptr, 0), QString());

        // Removed: once, whatever the number of times the server says so.
        m->ui->membros.clear();
        m->Ev("QueueMemberRemoved", {"Queue: 2", "Location: Agent/1001"});
        m->Ev("QueueMemberRemoved", {"Queue: 2", "Location: Agent/1001"});
        QCOMPARE(m->ui->membros, QStringList{"2 Agent/1001 MemberRemoved"});
        QCOMPARE(monitor->Filas.QueuesOfAgent(a, 0), QStringLiteral("Atendimento Geral"));
    }

    // A member added or told about under the bare agent number is the agent's membership, and
    // the same bare number removes it.
    void memberUnderTheAgentNumber() {
        m->Ev("QueueMemberAdded",
              {"Queue: 1", "Location: 1001", "Status: 1", "Paused: 0", "Penalty: 2"});
        TFila* f = m->F("1");
        QVERIFY(f->HasMember("Agent/1001"));
        QCOMPARE(f->Members.Procura("Agent/1001")->Penalty, 2);
        m->Ev("QueueMemberRemoved", {"Queue: 1", "Location: 1001"});
        QCOMPARE(f->Members.Count(), 0);
        QCOMPARE(monitor->Filas.QueuesOfAgent(m->A("1001"), 0), QString());
    }

    void callReasons() {
        const auto motivo = [this](const QString& fila, const QString& r, const QString& n) {
            m->Ev("QueueCallReasonCount", {"Queue: " + fila, "Reason: " + r, "Count: " + n});
        };
        const auto sub = [this](const QString& fila, const QString& r, const QString& s,
                                const QString& n) {
            m->Ev("QueueCallSubReasonCount",
                  {"Queue: " + fila, "Reason: " + r, "SubReason: " + s, "Count: " + n});
        };
        sub("1", "Dúvida", "Fatura", "2"); // reason not counted yet: ignored
        motivo("1", "Dúvida", "3");
        motivo("1", "Dúvida", "5");
        motivo("1", "Reclamação", "x");
        sub("1", "Dúvida", "Fatura", "4");
        sub("1", "Dúvida", "Fatura", "1");
        sub("1", "Dúvida", "Segunda via", "2");
        motivo("9", "Dúvida", "8"); // a queue outside the profile
        motivo("1", "", "8");
        const TKQListCallReason& r = m->F("1")->CallReasons;
        QCOMPARE(r.Count(), 2);
        QCOMPARE(r.TotalCount(), qint64(5));
        QCOMPARE(r.Procura("Dúvida")->SubReasons.TotalCount(), qint64(3));
        QVERIFY(
            m->F("1")->Dump().endsWith("Motivo: Dúvida (5)\r\nSubMotivo: Fatura (1)\r\n"
                                       "SubMotivo: Segunda via (2)\r\nMotivo: Reclamação (0)\r\n"));
    }

    // Queue rows: updated in place, chat queues noted.
    void queueRows() {
        QVERIFY(!monitor->ChatEnabled);
        m->Fila("1", "Atendimento");
        QCOMPARE(monitor->Filas.Count(), 2);
        QCOMPARE(m->F("1")->QueueCaption(), QStringLiteral("Fila 1 (Atendimento)"));
        m->Feed(Linha("ZXDBListaFilas", {"FilaId: ", "Nome: sem id"}));
        QCOMPARE(monitor->Filas.Count(), 2);
        m->Fila("5", "Chat Site", "c");
        QVERIFY(monitor->ChatEnabled);
        m->Fila("7", "7");
        QCOMPARE(m->F("7")->QueueCaption(), QStringLiteral("Fila 7"));
        QCOMPARE(m->F("7")->QueueShortText(), QStringLiteral("7"));
        QCOMPARE(m->F("2")->QueueShortText(), QStringLiteral("2 - Suporte Técnico"));
    }

    // The calls already waiting at load come newest first from the server; the queue holds them
    // oldest first, the answered one with its agent.
    void waitingCallsAtLoadAreOldestFirst() {
        const QStringList canais{"SIP/a-1", "SIP/b-1", "SIP/c-1"};
        for (int i = 0; i < 3; ++i)
            m->NovoCanal(canais[i], QString("300.%1").arg(i));
        const auto linha = [this](int i, int idade, const QString& agente, int atendida) {
            m->Feed(Linha("ZXDBChamadasAtivasFilas",
                          {QString("UniqueId: 300.%1").arg(i), "DestinoInternoId: 1",
                           "BridgeChannel: " + agente,
                           "TimeStamp: " + TCentral::Unix(m->agora - idade / kSecondsPerDay),
                           "TimeStampAtendimento: " +
                               (atendida ? TCentral::Unix(m->agora - atendida / kSecondsPerDay)
                                         : QString())}));
        };
        linha(2, 10, "", 0);
        linha(1, 40, "", 0);
        linha(0, 90, "Agent/1001", 30);
        linha(1, 40, "", 0); // listed twice: kept once
        linha(9, 50, "", 0); // no such channel
        QCOMPARE(m->Chamadas("1"), canais);
        QCOMPARE(Posicoes("1", false), (QList<int>{1, 2, 3}));
        TChannel* atendida = m->C("SIP/a-1");
        QCOMPARE(m->A("1001")->ChannelCall(), atendida);
        QCOMPARE(atendida->LigacaoFila->DataAgente, m->A("1001"));
        QVERIFY(!atendida->LigacaoFila->Queued);
        QCOMPARE(m->F("1")->WaitingCount(), 2);
        QVERIFY(m->ui->agentes.contains("Agent/1001 Agent-zxdbevent"));
    }

    // The channel listing of the load gives the waiting calls in the order their channels were
    // created; the queue's own listing then puts them in the server's order.
    void queueListingReordersTheCalls() {
        for (const char* c : {"SIP/a-1", "SIP/b-1", "SIP/c-1", "SIP/d-1"})
            m->Ev("Status", {QString("Channel: ") + c, QString("Uniqueid: ") + c, "State: Up",
                             "Seconds: 9", "Queue: 1"});
        m->Ev("Status", {"Channel: SIP/e-1", "Uniqueid: e", "Seconds: 9", "Queue: 1",
                         "BridgedChannel: Agent/1001"});
        QCOMPARE(m->Chamadas("1"),
                 (QStringList{"SIP/a-1", "SIP/b-1", "SIP/c-1", "SIP/d-1", "SIP/e-1"}));
        m->ui->chamadas.clear();
        int posicao = 0;
        for (const char* c : {"SIP/c-1", "SIP/a-1", "SIP/d-1", "SIP/b-1"})
            m->Ev("QueueEntry", {"Queue: 1", QString("Channel: ") + c,
                                 QString("Position: %1").arg(++posicao), "Wait: 9"});
        QCOMPARE(m->Chamadas("1"),
                 (QStringList{"SIP/c-1", "SIP/a-1", "SIP/d-1", "SIP/b-1", "SIP/e-1"}));
        QCOMPARE(Posicoes("1", false), (QList<int>{1, 2, 3, 4, 5}));
        QVERIFY(m->ui->chamadas.contains("1 SIP/c-1 CallAdded"));
        QVERIFY(!m->ui->chamadas.contains("1 SIP/a-1 CallAdded")); // already in its place
        // A live "join" never moves a call that is listed.
        m->Ev("Join", {"Queue: 1", "Channel: SIP/b-1", "Position: 1"});
        QCOMPARE(m->Chamadas("1").first(), QStringLiteral("SIP/c-1"));
    }

    // Dump of a queue: its counters, members and calls.
    void dump() {
        m->Membro("1", "Agent/1001", 1);
        m->Entra("1", "SIP/a-1", "1.1", 1);
        m->Ev("QueueParams", {"Queue: 1", "Calls: 1"});
        const TFila* f = m->F("1");
        QCOMPARE(f->Dump(),
                 "Fila: 1\r\nNome: Atendimento Geral\r\nAtendentesOnLine  : 1\r\n"
                 "AtendentesOcupados: 0\r\nAtendentesLivres  : 1\r\nAtendentesPausados: 0\r\n"
                 "Membros: 1\r\nMember  : Agent/1001\r\nLocation: \r\nAgent: Agent/1001\r\n"
                 "Calls: 1\r\nChannels: 1\r\n" +
                     m->C("SIP/a-1")->Descreve());
        QVERIFY(monitor->Dump("Filas").startsWith(f->Dump() + "\r\nFila: 2\r\n"));
        QVERIFY(monitor->Dump("Tudo").contains(f->Dump()));
        QVERIFY(monitor->Dump("Atendentes").startsWith(m->A("1001")->Dump() + "\r\n"));
    }

    // What the user may count: voice queues and chat queues apart, agents by their number.
    void countingChecks() {
        m->Fila("5", "Chat Site", "c");
        m->Fila("x", "Sem número");
        QCOMPARE(monitor->TemPermissaoFilas(), 2);
        QCOMPARE(monitor->TemPermissaoFilasChat(), 1);
        QCOMPARE(monitor->TemPermissaoAtendentes(), 2);
        // A restricted user of the older form who sees queue 2 and agent 1002 only.
        monitor->Permissoes.SetaUsuario("restrito", "u", 0, "");
        monitor->Permissoes.AdicionaPermissao("Monitor", "Visualizar");
        monitor->Permissoes.AdicionaPermissao("Fila", "Visualizar");
        monitor->Permissoes.AdicionaValor("Fila", "Visualizar", "2", "R");
        monitor->Permissoes.AdicionaValor("Fila", "Visualizar", "5", "R");
        monitor->Permissoes.AdicionaPermissao("Atendente", "Visualizar");
        monitor->Permissoes.AdicionaValor("Atendente", "Visualizar", "1002", "R");
        QCOMPARE(monitor->TemPermissaoFilas(), 1);
        QVERIFY(monitor->TemPermissaoFila(m->F("2")));
        QVERIFY(!monitor->TemPermissaoFila(m->F("1")));
        QVERIFY(!monitor->TemPermissaoFila(nullptr));
        QCOMPARE(monitor->TemPermissaoFilasChat(), 1);
        QCOMPARE(monitor->TemPermissaoAtendentes(), 1);
        QVERIFY(monitor->TemPermissaoAtendente(m->A("Agent/1002")));
        // Without the call-centre gate nothing counts.
        monitor->Permissoes.SetaUsuario("restrito", "u", 0, "");
        QCOMPARE(monitor->TemPermissaoFilas(), 0);
        QCOMPARE(monitor->TemPermissaoAtendentes(), 0);
        QCOMPARE(monitor->TemPermissaoFilasChat(), 0);
    }
};

QTEST_GUILESS_MAIN(TestModelQueues)
#include "test_model_queues.moc"
