// The supervisor's actions on an agent: the exact texts sent, the questions asked first, when
// each menu entry is offered, and the sending on the connection of the window's slot.
#include "base/ActionText.h"
#include "model/callcentre/TAcoesAtendente.h"
#include "support/TCentral.h"

#include <QTest>

class TestAgentActions : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    TMonitor* monitor = nullptr;

    TAgente* Maria() { return m->A("1001"); }
    // Puts agent 1001's slot 0 in a state: "livre", "pausa", "ocupado", "pos", "off" (logged
    // off with its login moment gone) or "off com login" (unavailable, login moment kept).
    void Estado(const QString& estado) {
        if (estado == "off") {
            m->Ev("Agentlogoff", {"Agent: 1001"});
            return;
        }
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: SIP/2001"});
        const int status = estado == "ocupado"         ? 3
                           : estado == "pos"           ? 0
                           : estado == "off com login" ? 5
                                                       : 1;
        m->Membro("1", "Agent/1001", status, estado == "pausa" ? 1 : 0, "QueueMember",
                  {"PauseReason: 2", "PauseStart: " + m->Agora()});
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
        m->Motivo(2, "Almoço", true);
        m->Motivo(3, "", false);
        m->Agente("1001", "Maria Souza");
        m->Fila("1", "Atendimento Geral");
        m->Fila("5", "Chat Site", "c");
        m->Fila("x", "Sem número");
    }
    void cleanup() { m.reset(); }

    void exactTexts_data() {
        QTest::addColumn<QString>("acao");
        QTest::addColumn<bool>("pausado");
        QTest::addColumn<QString>("texto");
        QTest::newRow("add")
            << "add" << false
            << "Action: QueueAdd\r\nQueue: 1\r\nInterface: Agent/1001\r\nPaused:0\r\n"
               "ActionID: KQQueueAdd\r\n\r\n";
        QTest::newRow("add paused")
            << "add" << true
            << "Action: QueueAdd\r\nQueue: 1\r\nInterface: Agent/1001\r\nPaused:1\r\n"
               "ActionID: KQQueueAdd\r\n\r\n";
        QTest::newRow("remove") << "remove" << false
                                << "Action: QueueRemove\r\nQueue: 1\r\nInterface: Agent/1001\r\n"
                                   "ActionID: KQQueueRemove\r\n\r\n";
        QTest::newRow("logoff")
            << "logoff" << false
            << "Action: AgentLogoff\r\nAgent: 1001\r\nActionID: KQAgentLogoff\r\n\r\n";
        QTest::newRow("unpause")
            << "unpause" << true
            << "Action: QueuePause\r\nInterface: Agent/1001\r\nPaused: 0\r\nReason: 0\r\n\r\n";
        QTest::newRow("pause")
            << "pause" << false
            << "Action: QueuePause\r\nInterface: Agent/1001\r\nPaused: 1\r\nReason: 2\r\n\r\n";
    }
    void exactTexts() {
        QFETCH(QString, acao);
        QFETCH(bool, pausado);
        Estado(pausado ? "pausa" : "livre");
        const TAgente& a = *Maria();
        const TFila& f = *m->F("1");
        QString texto;
        if (acao == "add") texto = TextoQueueAdd(a, f, 0);
        if (acao == "remove") texto = TextoQueueRemove(a, f);
        if (acao == "logoff") texto = TextoAgentLogoff(a);
        if (acao == "unpause") texto = TextoRetiraPausa(a);
        if (acao == "pause") texto = TextoColocaPausa(a, *monitor->MotivosPausa.Procura(2));
        QTEST(texto, "texto");
    }

    void confirmations() {
        const TAgente& a = *Maria();
        const TConfirmacao logoff = ConfirmacaoLogoff(a);
        QCOMPARE(logoff.Titulo, QStringLiteral("Logoff de atendente"));
        QCOMPARE(logoff.Texto, QStringLiteral("Confirma logoff do atendente 1001 (Maria Souza)?"));
        const TConfirmacao volta = ConfirmacaoRetirarPausa(a);
        QCOMPARE(volta.Titulo, QStringLiteral("Retirar de pausa"));
        QCOMPARE(volta.Texto, QStringLiteral("Retirar o atendente 1001 (Maria Souza) da pausa?"));
        const TConfirmacao pausa =
            ConfirmacaoColocarEmPausa(a, monitor->MotivosPausa.ReasonText(2));
        QCOMPARE(pausa.Titulo, QStringLiteral("Colocar em pausa"));
        QCOMPARE(pausa.Texto,
                 QStringLiteral("Colocar o atendente 1001 (Maria Souza) em pausa \"Almoço\"?"));
        QCOMPARE(ConfirmacaoColocarEmPausa(a, monitor->MotivosPausa.ReasonText(3)).Texto,
                 QStringLiteral("Colocar o atendente 1001 (Maria Souza) em pausa \"\"?"));
        const QString longo = "P - " + QString(150, u'x');
        QCOMPARE(ConfirmacaoColocarEmPausa(a, longo).Texto.count(u'x'), 100);
    }

    // Which entries the context menu offers in each state.
    void menuConditions_data() {
        QTest::addColumn<QString>("estado");
        QTest::addColumn<bool>("logoff");
        QTest::addColumn<bool>("filas");
        QTest::addColumn<bool>("pausa");
        QTest::addColumn<bool>("retira");
        QTest::newRow("free") << "livre" << true << true << true << false;
        QTest::newRow("paused") << "pausa" << true << true << true << true;
        QTest::newRow("busy") << "ocupado" << true << false << true << false;
        QTest::newRow("wrap-up") << "pos" << true << false << true << false;
        QTest::newRow("logged off") << "off" << false << true << false << false;
        QTest::newRow("unavailable with login")
            << "off com login" << true << true << false << false;
    }
    void menuConditions() {
        QFETCH(QString, estado);
        Estado(estado);
        const TAgente& a = *Maria();
        QTEST(PodeLogoff(a, 0), "logoff");
        QTEST(PodeAdicionarRemover(a, 0), "filas");
        QTEST(PodeColocarEmPausa(a, 0), "pausa");
        QTEST(PodeRetirarPausa(a, 0), "retira");
        QVERIFY(!PodeAdicionarRemover(a, 0, true)); // never in CSTA mode
    }

    // The queue entries of each variant, split by membership.
    void queueMenus() {
        m->Membro("1", "Agent/1001", 1);
        auto itens = monitor->FilasDoMenuAtendente(Maria(), 0);
        QCOMPARE(itens.size(), size_t(1));
        QCOMPARE(itens[0].Caption, QStringLiteral("Fila 1 (Atendimento Geral)"));
        QCOMPARE(itens[0].Tag, 1);
        QVERIFY(itens[0].Membro);
        itens = monitor->FilasDoMenuAtendente(Maria(), 1);
        QCOMPARE(itens.size(), size_t(1));
        QCOMPARE(itens[0].Fila, m->F("5"));
        QVERIFY(!itens[0].Membro);
        QVERIFY(monitor->FilasDoMenuAtendente(nullptr, 0).empty());
    }

    // Each action goes out on the connection of its slot, only while the agent's state still
    // allows it.
    void sendingOnTheSlotsConnection() {
        // Nothing goes out without a connection.
        Estado("livre");
        QVERIFY(!monitor->Logoff(Maria(), 0));
        QVERIFY(m->Conecta());
        m->Agente("1001", "Maria Souza");
        m->Fila("1", "Atendimento Geral");
        m->Fila("5", "Chat Site", "c");
        Estado("livre");
        m->enviados.clear();
        QVERIFY(monitor->ColocaEmPausa(Maria(), monitor->MotivosPausa.Procura(2), 0));
        QVERIFY(monitor->AdicionaNaFila(Maria(), m->F("1"), 0));
        QVERIFY(monitor->RemoveDaFila(Maria(), m->F("1"), 0));
        QVERIFY(!monitor->RetiraDaPausa(nullptr, 0));
        QVERIFY(monitor->Logoff(Maria(), 0));
        QCOMPARE(m->enviados,
                 (QStringList{TextoColocaPausa(*Maria(), *monitor->MotivosPausa.Procura(2)),
                              TextoQueueAdd(*Maria(), *m->F("1"), 0),
                              TextoQueueRemove(*Maria(), *m->F("1")), TextoAgentLogoff(*Maria())}));
        QTRY_COMPARE(m->servidor->actions.filter("KQAgentLogoff").size(), 1);

        // Refused: a chat queue on the telephony slot, a queue whose id is no number, an
        // unavailable agent, a reason of the automatic pause.
        m->enviados.clear();
        QVERIFY(!monitor->AdicionaNaFila(Maria(), m->F("5"), 0));
        QVERIFY(!monitor->AdicionaNaFila(Maria(), m->F("x"), 0));
        Estado("ocupado");
        QVERIFY(!monitor->AdicionaNaFila(Maria(), m->F("1"), 0));
        TMotivoPausa automatica;
        QVERIFY(!monitor->ColocaEmPausa(Maria(), &automatica, 0));
        Estado("off");
        QVERIFY(!monitor->Logoff(Maria(), 0));
        QVERIFY(!monitor->RetiraDaPausa(Maria(), 0));
        QVERIFY(!monitor->ColocaEmPausa(Maria(), monitor->MotivosPausa.Procura(2), 0));
        QVERIFY(!monitor->Logoff(Maria(), 2));
        QVERIFY(m->enviados.isEmpty());

        // The chat slot sends on the chat connection.
        TFakeServer chat;
        monitor->ChatConnection()->Connect("127.0.0.1", chat.Port());
        QTRY_VERIFY(monitor->ChatConnection()->Connected);
        m->Ev("Agentlogin", {"Agent: 1001", "Channel: VChat/1001"}, true);
        QVERIFY(monitor->AdicionaNaFila(Maria(), m->F("5"), 1));
        QTRY_COMPARE(
            chat.actions.filter("KQQueueAdd"),
            QStringList{"Action: QueueAdd\r\nQueue: 5\r\nInterface: Agent/1001\r\nPaused:0\r\n"
                        "ActionID: KQQueueAdd\r\n\r\n"});
        QVERIFY(m->enviados.isEmpty());
    }

    // An identifier that would break the action line is refused by the gate: nothing is sent.
    void unsafeIdentifiers() {
        QVERIFY(m->Conecta());
        auto estranho = std::make_unique<TAgente>("Agent/1\r\nAction: Logoff");
        TAgente* a = monitor->Agentes.Adiciona(std::move(estranho));
        a->StatusFromText(0, "AGENT_IDLE");
        a->SetLoggedInTime(0, m->agora);
        m->Fila("1", "Atendimento Geral");
        QVERIFY_THROWS_EXCEPTION(TUnsafeValueError, TextoAgentLogoff(*a));
        m->enviados.clear();
        QVERIFY(!monitor->Logoff(a, 0));
        QVERIFY(!monitor->AdicionaNaFila(a, m->F("1"), 0));
        QVERIFY(!monitor->RetiraDaPausa(a, 0));
        QVERIFY(m->enviados.isEmpty());
        QVERIFY(m->ui->erros.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAgentActions)
#include "test_agent_actions.moc"
