// Channels: creation and update by the channel events, the identity events (rename,
// masquerade), hangup, the server's call classification and the dialer-variable answers.
#include "link/Clock.h"
#include "model/telephony/TTipoCanal.h"
#include "support/TFakeServer.h"
#include "support/TPacotes.h"

#include <QSignalSpy>
#include <QTest>

namespace {
constexpr double kAgora = 45000.5; // a fixed workstation clock
}

class TestModelChannels : public QObject {
    Q_OBJECT

    std::unique_ptr<TMonitorAlimentado> m;
    TMonitor* monitor = nullptr;

    TChannel* Canal(const QString& name, const QString& uid = {}) {
        return monitor->Canais.Procura(name, uid);
    }
    void Feed(const QString& p, bool chat = false) { m->Feed(p, chat); }

private Q_SLOTS:
    void init() {
        SetLocalClockForTesting([] { return kAgora; });
        SetServerClockOffset(0);
        m = std::make_unique<TMonitorAlimentado>();
        monitor = m->monitor.get();
    }
    void cleanup() {
        m.reset();
        SetLocalClockForTesting({});
        SetServerClockOffset(0);
    }

    void nomeBase_data() {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("base");
        QTest::newRow("sip") << "SIP/2001-0000001a"
                             << "SIP/2001";
        QTest::newRow("no dash") << "SIP/2001"
                                 << "SIP/2001";
        QTest::newRow("several dashes") << "Zap/a-b-c"
                                        << "Zap/a-b";
        QTest::newRow("no slash") << "semBarra-1"
                                  << "semBarra-1";
        QTest::newRow("dash only before slash") << "x-y/z"
                                                << "x-y/z";
        QTest::newRow("empty") << ""
                               << "";
    }
    void nomeBase() {
        QFETCH(QString, channel);
        QFETCH(QString, base);
        QCOMPARE(TChannel::NomeBase(channel), base);
    }

    void estadoTexto_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("Up") << "Up"
                            << "Conectado";
        QTest::newRow("UP any case") << "uP"
                                     << "Conectado";
        QTest::newRow("Ringing") << "Ringing"
                                 << "Chamando";
        QTest::newRow("Dialing") << "DIALING"
                                 << "Discando";
        QTest::newRow("other as is") << "Ring"
                                     << "Ring";
        QTest::newRow("empty") << ""
                               << "";
    }
    void estadoTexto() {
        QFETCH(QString, state);
        QFETCH(QString, text);
        TChannel c(QStringLiteral("SIP/1-1"));
        c.State = state;
        QCOMPARE(c.EstadoTexto(), text);
    }

    void newchannelCreatesTheChannelAndItsBridge() {
        m->NovoCanal("SIP/2001-01", "100.1",
                     {"State: Ring", "CallerIDNum: 2001", "CallerIDName: PA 01", "CallerID: 999",
                      "Context: interno", "Exten: 3000"});
        TChannel* c = Canal("SIP/2001-01", "100.1");
        QVERIFY(c);
        QCOMPARE(c->State, QStringLiteral("Ring"));
        QCOMPARE(c->CallerIdNum, QStringLiteral("2001"));
        QCOMPARE(c->CallerIdName, QStringLiteral("PA 01"));
        QCOMPARE(c->CallerId, QString()); // the caller id line is taken on the chat connection only
        QCOMPARE(c->Extension, QStringLiteral("3000"));
        QCOMPARE(c->Evento, QStringLiteral("newchannel"));
        QCOMPARE(c->Seconds, 0);
        QCOMPARE(c->Inicio, ServerNow());
        QCOMPARE(monitor->Ligacoes.Count(), 1);
        QCOMPARE(monitor->Ligacoes.Item(0)->Channel1(), c);
        QCOMPARE(m->LogDesde(0, "Status, Canal:"),
                 (QStringList{"Status, Canal:SIP/2001-01 Interface:SIP/2001",
                              "Status, Canal:SIP/2001-01 Criado"}));
        // The bridge is announced; the first values are taken at the next channel notice.
        QVERIFY(ui().log.contains("OnCallEvent: Updated; Canal1:SIP/2001-01(newchannel)"));

        Feed(Evento("Newchannel", {"Channel: SIP/2002-02", "Uniqueid: 100.2", "CallerID: 555"}),
             true);
        QCOMPARE(Canal("SIP/2002-02")->CallerId, QStringLiteral("555"));
    }

    void statusSetsTheAgeFromSeconds() {
        m->NovoCanal("SIP/2001-01", "100.1", {"Exten: 3000"});
        TChannel* c = Canal("SIP/2001-01");
        c->Tipo = "E";
        Feed(Evento("Status",
                    {"Channel: SIP/2001-01", "Uniqueid: 100.1", "ChannelStateDesc: Up",
                     "Seconds: 125", "Context: interno", "Extension: 3001", "Priority: 2"}));
        QCOMPARE(c->State, QStringLiteral("Up"));
        QCOMPARE(c->Seconds, 125);
        QCOMPARE(qRound64((ServerNow() - c->Inicio) * 86400.0), 125);
        QCOMPARE(c->Tipo, QString());
        QCOMPARE(c->Priority, QStringLiteral("2"));
        QCOMPARE(c->Evento, QStringLiteral("status"));
        // A missing age reads as "not reported".
        Feed(Evento("Status", {"Channel: SIP/2001-01", "Uniqueid: 100.1"}));
        QCOMPARE(c->Seconds, -1);
    }

    void malformedSecondsReadsAsNotReported() {
        m->NovoCanal("SIP/2001-01", "100.1", {"State: Ring"});
        Feed(Evento("Status",
                    {"Channel: SIP/2001-01", "Uniqueid: 100.1", "State: Up", "Seconds: 12x"}));
        Feed(Evento("Status", {"Channel: SIP/2009-09", "Uniqueid: 100.9", "State: Up",
                               "Seconds: 99999999999"}));
        QCOMPARE(Canal("SIP/2001-01")->State, QStringLiteral("Up"));
        QCOMPARE(Canal("SIP/2001-01")->Seconds, -1);
        QCOMPARE(Canal("SIP/2009-09")->Seconds, -1);
        QCOMPARE(monitor->Canais.Count(), 2);
        QVERIFY(ui().erros.isEmpty());
        // Channel events that name no channel create none.
        Feed(Evento("Newchannel", {"Uniqueid: 100.7", "State: Up"}));
        Feed(Evento("Status", {"Channel: ", "Uniqueid: 100.8", "Seconds: 3"}));
        QCOMPARE(monitor->Canais.Count(), 2);
    }

    void newstateMarksTheDirectionOnce_data() {
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QString>("tipo");
        QTest::newRow("ringing") << QStringList{"Ringing"} << "E";
        QTest::newRow("ringing then dialing") << QStringList{"Ringing", "Dialing"} << "E";
        QTest::newRow("dialing") << QStringList{"Dialing", "Ringing"} << "S";
        QTest::newRow("up leaves it") << QStringList{"Up"} << "";
        QTest::newRow("compared exactly") << QStringList{"ringing", "DIALING"} << "";
    }
    void newstateMarksTheDirectionOnce() {
        QFETCH(QStringList, states);
        QFETCH(QString, tipo);
        m->NovoCanal("SIP/2001-01", "1");
        for (const QString& s : states)
            Feed(Evento("Newstate", {"Channel: SIP/2001-01", "Uniqueid: 1", "State: " + s}));
        QCOMPARE(Canal("SIP/2001-01")->Tipo, tipo);
        QCOMPARE(Canal("SIP/2001-01")->State, states.last());
        QCOMPARE(Canal("SIP/2001-01")->LastEvent, QStringLiteral("newstate"));
    }

    void newstateReplacesOnlyUnknownCallers_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("eventName");
        QTest::addColumn<QString>("after");
        QTest::newRow("unknown replaced") << "<Unknown>"
                                          << "Maria"
                                          << "Maria";
        QTest::newRow("empty replaced") << ""
                                        << "Maria"
                                        << "Maria";
        QTest::newRow("proper kept") << "João"
                                     << "Maria"
                                     << "João";
        QTest::newRow("empty event keeps") << "<unknown>"
                                           << ""
                                           << "<unknown>";
    }
    void newstateReplacesOnlyUnknownCallers() {
        QFETCH(QString, before);
        QFETCH(QString, eventName);
        QFETCH(QString, after);
        m->NovoCanal("SIP/2001-01", "1", {"CallerIDName: " + before});
        Feed(Evento("Newstate", {"Channel: SIP/2001-01", "Uniqueid: 1", "State: Up",
                                 "CallerIDName: " + eventName}));
        QCOMPARE(Canal("SIP/2001-01")->CallerIdName, after);
    }

    void newextenMarksOutgoingFromTheOldContext() {
        m->NovoCanal("SIP/2001-01", "1", {"Context: Saida"});
        const qsizetype mark = ui().log.size();
        Feed(Evento("Newexten", {"Channel: SIP/2001-01", "Uniqueid: 1", "Context: tronco",
                                 "Extension: 0800", "Priority: 1"}));
        TChannel* c = Canal("SIP/2001-01");
        QCOMPARE(c->Tipo, QStringLiteral("S"));
        QCOMPARE(c->Context, QStringLiteral("tronco"));
        QCOMPARE(c->Extension, QStringLiteral("0800"));
        QVERIFY(m->LogDesde(mark, "OnChannelEvent").isEmpty()); // shows at the next notice
        // From the new context, a second newexten does not mark a fresh channel.
        m->NovoCanal("SIP/2002-02", "2", {"Context: interno"});
        Feed(Evento("Newexten", {"Channel: SIP/2002-02", "Uniqueid: 2", "Context: Saida"}));
        QCOMPARE(Canal("SIP/2002-02")->Tipo, QString());
    }

    void newcallerIdWithAtMarksADialerCall() {
        m->NovoCanal("SIP/2001-01", "1", {"CallerIDNum: 2001"});
        Feed(Evento("Newcallerid", {"Channel: SIP/2001-01", "Uniqueid: 1", "CallerID: 1133",
                                    "CallerIDName: cli@camp7", "CallerIDNum: "}));
        TChannel* c = Canal("SIP/2001-01");
        QVERIFY(c->Discador);
        QCOMPARE(c->NewCallerId, QStringLiteral("cli@camp7"));
        QCOMPARE(c->CallerIdNum, QStringLiteral("2001")); // an empty value keeps the old one
        QCOMPARE(c->CallerId, QStringLiteral("1133"));
        QCOMPARE(c->PrimeiroCallerId, QStringLiteral("1133"));
        QVERIFY(ui().log.contains("OnChannelEvent Updated SIP/2001-01"));
    }

    // Two live channels share a name: unique ids pick the right one; the events that carry
    // only a name reach the first in the list.
    void twoChannelsWithTheSameName() {
        m->NovoCanal("SIP/2001-01", "A");
        m->NovoCanal("SIP/2001-01", "B");
        QCOMPARE(monitor->Canais.Count(), 2);
        TChannel* a = monitor->Canais.Item(0);
        TChannel* b = monitor->Canais.Item(1);
        QCOMPARE(b->UniqueId(), QStringLiteral("B"));
        QCOMPARE(Canal("SIP/2001-01"), a);
        QCOMPARE(monitor->Canais.ProcuraPorUniqueId("B"), b);

        Feed(Evento("Newstate", {"Channel: SIP/2001-01", "Uniqueid: B", "State: Up"}));
        QCOMPARE(b->State, QStringLiteral("Up"));
        QCOMPARE(a->State, QString());

        monitor->TrataManagerPacket(
            monitor->ManagerConnection(),
            "Response: Success\r\nActionID: VarDisTelefone-SIP/2001-01\r\nValue: 11999\r\n\r\n");
        QCOMPARE(a->CallerIdNum, QStringLiteral("11999"));
        QCOMPARE(b->CallerIdNum, QString());

        Feed(Evento("Rename", {"Oldname: SIP/2001-01", "Newname: SIP/2001-01<ZOMBIE>"}));
        QCOMPARE(a->Channel(), QStringLiteral("SIP/2001-01<ZOMBIE>"));
        QCOMPARE(Canal("SIP/2001-01"), b); // now b is the first of that name
        QCOMPARE(Canal("SIP/2001-01<ZOMBIE>"), a);

        m->Hangup("SIP/2001-01", "B");
        QCOMPARE(monitor->Canais.Count(), 1);
        QVERIFY(!Canal("SIP/2001-01"));
    }

    void masqueradeSwapsNamesAndIds() {
        m->NovoCanal("SIP/2001-01", "1");
        m->NovoCanal("Local/x-1", "2");
        TChannel* original = Canal("SIP/2001-01");
        TChannel* clone = Canal("Local/x-1");
        const qsizetype mark = ui().log.size();
        Feed(Evento("Masquerade", {"Clone: Local/x-1", "Original: SIP/2001-01"}));
        QCOMPARE(clone->Channel(), QStringLiteral("SIP/2001-01"));
        QCOMPARE(clone->UniqueId(), QStringLiteral("1"));
        QCOMPARE(original->Channel(), QStringLiteral("Local/x-1"));
        QCOMPARE(Canal("SIP/2001-01", "1"), clone);
        QCOMPARE(monitor->Canais.ProcuraPorUniqueId("2"), original);
        QCOMPARE(m->LogDesde(mark, "OnChannelEvent"),
                 (QStringList{"OnChannelEvent Updated SIP/2001-01",
                              "OnChannelEvent Updated Local/x-1"}));
        // One side missing: nothing happens.
        Feed(Evento("Masquerade", {"Clone: Local/x-1", "Original: SIP/none-1"}));
        QCOMPARE(original->Channel(), QStringLiteral("Local/x-1"));
    }

    void hangupRemovesTheChannel() {
        m->NovoCanal("SIP/2001-01", "1");
        const qsizetype mark = ui().log.size();
        m->Hangup("SIP/2001-01", "1");
        QCOMPARE(monitor->Canais.Count(), 0);
        QCOMPARE(monitor->Ligacoes.Count(), 0);
        const QStringList log = m->LogDesde(mark);
        QCOMPARE(log.first(), QStringLiteral("Inicio do hangup Ch:SIP/2001-01 UID:1"));
        QVERIFY(log.contains("OnChannelEvent Removed SIP/2001-01 1"));
        QVERIFY(log.contains("OnCallEvent: Removed"));
        QCOMPARE(log.last(), QStringLiteral("Fim do Hangup"));

        const qsizetype mark2 = ui().log.size();
        m->Hangup("SIP/none-1", "9");
        QCOMPARE(m->LogDesde(mark2),
                 (QStringList{"Inicio do hangup Ch:SIP/none-1 UID:9", "Fim do Hangup"}));
    }

    void zxnewcallClassifiesAnIncomingCall() {
        m->NovoCanal("DAHDI/1-1", "1", {"CallerIDNum: 1133224455"});
        Feed(Evento("UserEvent", {"UserEvent: ZXNewCall", "Channel: DAHDI/1-1", "Uniqueid: 1",
                                  "Tipo: E", "CallerId: 1133224455"}));
        TChannel* c = Canal("DAHDI/1-1");
        QCOMPARE(c->Tipo, QStringLiteral("E"));
        QCOMPARE(c->CallerId, QStringLiteral("1133224455"));
        QCOMPARE(c->LastEvent, QStringLiteral("userevent"));
        // The first mark stays.
        Feed(Evento("UserEvent", {"UserEvent: zxnewcall", "Channel: DAHDI/1-1", "Uniqueid: 1",
                                  "Tipo: E", "CallerId: 0000"}));
        QCOMPARE(c->CallerId, QStringLiteral("1133224455"));
    }

    void descreveListsTheFields() {
        m->NovoCanal("SIP/2001-01", "1",
                     {"State: Up", "CallerIDNum: 2001", "Context: interno", "Exten: 3000"});
        TChannel* c = Canal("SIP/2001-01");
        const QString inicio = DateTimeText(c->Inicio);
        const QString head =
            "Channel: SIP/2001-01\r\nCallerId: \r\nCallerIdNum: 2001\r\nCallerIdName: \r\n"
            "UniqueId: 1\r\nState: Up\r\nInicio: " +
            inicio +
            "\r\nContext: interno\r\nExtension: 3000\r\nPriority: \r\nSeconds: 0\r\n"
            "LastEvent: newchannel\r\nDiscador: 0\r\nNewCallerId: \r\nEvento: newchannel\r\n";
        QCOMPARE(c->Descreve(), head + "LigacaoFila = nil\r\nLigacaoDiscador = nil\r\n");

        c->LigacaoFila = std::make_unique<TLigacaoFila>();
        c->LigacaoFila->Queued = true;
        c->LigacaoFila->Inicio = kAgora;
        c->LigacaoDiscador = std::make_unique<TLigacaoDiscador>();
        QCOMPARE(c->Descreve(),
                 head + "LigacaoFila.Queued: 1\r\nLigacaoFila.Inicio: " + DateTimeText(kAgora) +
                     "\r\nLigacaoFila.Chamando: 0\r\nLigacaoFila.Atendimento: 0\r\n"
                     "LigacaoFila.DataFila = nil\r\nLigacaoFila.DataAgente = nil\r\n"
                     "LigacaoDiscador.Inicio: 0\r\nLigacaoDiscador.Atendimento: 0\r\n"
                     "LigacaoDiscador.PtrCampanha = nil\r\nLigacaoDiscador.PtrAgente = nil\r\n");
        QCOMPARE(monitor->Dump("Canais"), c->Descreve() + "\r\n");
    }

    void dialerVariables() {
        TFakeServer server;
        monitor->IP = "127.0.0.1";
        monitor->Porta = server.Port();
        monitor->Conectar();
        QTRY_VERIFY(server.HasPeer());
        QTRY_VERIFY(monitor->ManagerConnection()->Connected);
        QStringList sent;
        connect(monitor, &TMonitor::ActionSent, this, [&sent](const QString& a) { sent << a; });

        // A channel name longer than 50 characters, as trunks and local channels have.
        const QString longo = "SIP/operadora-muito-longa-com-nome-de-conta-enorme-0000000a";
        QVERIFY(longo.size() > 50);
        m->NovoCanal(longo, "1");
        m->NovoCanal("Local/200@interno-1;1", "2");
        m->NovoCanal("Agent/1001", "3");
        QCOMPARE(sent, QStringList{"Action: GetVar\r\nActionId: VarDisCampanha-" + longo +
                                   "\r\nChannel: " + longo + "\r\nVariable: DisCampanha\r\n\r\n"});

        sent.clear();
        Feed("Response: Success\r\nActionID: VarDisCampanha-" + longo +
             "\r\nVariable: DisCampanha\r\nValue: 7\r\n\r\n");
        TChannel* c = Canal(longo);
        QVERIFY(c->Discador);
        QCOMPARE(c->Tipo, QStringLiteral("D"));
        QCOMPARE(sent.size(), 2);
        QVERIFY(sent[0].startsWith("Action: GetVar\r\nActionId: VarDisTelefone-" + longo + "\r\n"));
        QVERIFY(sent[0].endsWith("Variable: DisTelefone\r\n\r\n"));
        QVERIFY(sent[1].startsWith("Action: GetVar\r\nActionId: VarDisNome-" + longo + "\r\n"));

        Feed("Response: Success\r\nActionID: VarDisTelefone-" + longo +
             "\r\nValue: 11987654321\r\n\r\n");
        Feed("Response: Success\r\nActionID: VarDisNome-" + longo +
             "\r\nValue: Cliente Um\r\n\r\n");
        QCOMPARE(c->CallerIdNum, QStringLiteral("11987654321"));
        QCOMPARE(c->CallerIdName, QStringLiteral("Cliente Um"));
        // "(null)" and failed requests leave what the channel shows.
        Feed("Response: Success\r\nActionID: VarDisNome-" + longo + "\r\nValue: (null)\r\n\r\n");
        Feed("Response: Error\r\nActionID: VarDisTelefone-" + longo +
             "\r\nMessage: No such channel\r\n\r\n");
        QCOMPARE(c->CallerIdName, QStringLiteral("Cliente Um"));
        QCOMPARE(c->CallerIdNum, QStringLiteral("11987654321"));
        // Not a dialer call.
        sent.clear();
        m->NovoCanal("SIP/2001-01", "9");
        Feed("Response: Success\r\nActionID: VarDisCampanha-SIP/2001-01\r\nValue: (null)\r\n\r\n");
        QVERIFY(!Canal("SIP/2001-01")->Discador);
        QCOMPARE(sent.size(), 1);

        // A name that would break the action's lines is never sent.
        sent.clear();
        m->NovoCanal("SIP/x\nAction: Hangup", "10");
        QVERIFY(Canal("SIP/x\nAction: Hangup"));
        QVERIFY(sent.isEmpty());
        QVERIFY(ui().erros.isEmpty());
        QVERIFY(ui().log.contains("GetVar DisCampanha não enviado: nome de canal inválido"));
    }

private:
    TRecordingUi& ui() { return *m->ui; }
};

QTEST_GUILESS_MAIN(TestModelChannels)
#include "test_model_channels.moc"
