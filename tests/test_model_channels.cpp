// Channels: creation and update by the channel events, the identity events (rename,
// masquerade), hangup, the server's call classification and the dialer-variable answers.
#include "model/telephony/TTipoCanal.h"
#include "support/TCentral.h"

#include <QTest>

class TestModelChannels : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m; // at a pinned clock
    TMonitor* monitor = nullptr;

    TChannel* Canal(const QString& name, const QString& uid = {}) {
        return monitor->Canais.Procura(name, uid);
    }
    void Feed(const QString& p, bool chat = false) { m->Feed(p, chat); }

private Q_SLOTS:
    void init() {
        SetServerClockOffset(0);
        m = std::make_unique<TCentral>();
        monitor = m->monitor.get();
    }
    void cleanup() { m.reset(); }

    // The base name drops what follows the last dash after the slash; the state's text is the
    // one the windows show.
    void nameAndStateText_data() {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("saida");
        QTest::addColumn<bool>("estado"); // a state for its text, or a channel for its base name
        QTest::newRow("sip") << "SIP/2001-0000001a" << QString("SIP/2001") << false;
        QTest::newRow("no dash") << "SIP/2001" << QString("SIP/2001") << false;
        QTest::newRow("several dashes") << "Zap/a-b-c" << QString("Zap/a-b") << false;
        QTest::newRow("no slash") << "semBarra-1" << QString("semBarra-1") << false;
        QTest::newRow("dash only before slash") << "x-y/z" << QString("x-y/z") << false;
        QTest::newRow("Up in any case") << "uP" << QString("Conectado") << true;
        QTest::newRow("Ringing") << "Ringing" << QString("Chamando") << true;
        QTest::newRow("Dialing") << "DIALING" << QString("Discando") << true;
        QTest::newRow("other state as is") << "Ring" << QString("Ring") << true;
    }
    void nameAndStateText() {
        QFETCH(QString, entrada);
        QFETCH(bool, estado);
        TChannel c(QStringLiteral("SIP/1-1"));
        c.State = entrada;
        QTEST(estado ? c.EstadoTexto() : TChannel::NomeBase(entrada), "saida");
    }

    void newchannelCreatesTheChannelAndItsBridge() {
        m->NovoCanal("SIP/2001-01", "100.1",
                     {"State: Ring", "CallerIDNum: 2001", "CallerIDName: PA 01", "CallerID: 999",
                      "Context: interno", "Exten: 3000"});
        TChannel* c = Canal("SIP/2001-01", "100.1");
        QVERIFY(c);
        QCOMPARE(c->State, QStringLiteral("Ring"));
        QCOMPARE(c->CallerIdName, QStringLiteral("PA 01"));
        QCOMPARE(c->CallerId, QString()); // the caller id line is taken on the chat connection only
        QCOMPARE(c->Extension, QStringLiteral("3000"));
        QCOMPARE(c->Seconds, 0);
        QCOMPARE(c->Inicio, ServerNow());
        QCOMPARE(monitor->Ligacoes.Count(), 1);
        QCOMPARE(monitor->Ligacoes.Item(0)->Channel1(), c);
        // The bridge is announced; the first values are taken at the next channel notice.
        QVERIFY(ui().log.contains("OnCallEvent: Updated; Canal1:SIP/2001-01(newchannel)"));

        Feed(Evento("Newchannel", {"Channel: SIP/2002-02", "Uniqueid: 100.2", "CallerID: 555"}),
             true);
        QCOMPARE(Canal("SIP/2002-02")->CallerId, QStringLiteral("555"));
    }

    // A status listing sets the age from its seconds; a missing or malformed age reads as "not
    // reported" and the rest of the event still applies. Events that name no channel create none.
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
        Feed(Evento("Status", {"Channel: SIP/2001-01", "Uniqueid: 100.1"}));
        QCOMPARE(c->Seconds, -1);

        Feed(Evento("Status",
                    {"Channel: SIP/2001-01", "Uniqueid: 100.1", "State: Ring", "Seconds: 12x"}));
        Feed(Evento("Status", {"Channel: SIP/2009-09", "Uniqueid: 100.9", "State: Up",
                               "Seconds: 99999999999"}));
        QCOMPARE(c->State, QStringLiteral("Ring"));
        QCOMPARE(c->Seconds, -1);
        QCOMPARE(Canal("SIP/2009-09")->Seconds, -1);
        Feed(Evento("Newchannel", {"Uniqueid: 100.7", "State: Up"}));
        Feed(Evento("Status", {"Channel: ", "Uniqueid: 100.8", "Seconds: 3"}));
        QCOMPARE(monitor->Canais.Count(), 2);
        QVERIFY(ui().erros.isEmpty());
    }

    // The first ringing or dialing state marks the direction, compared exactly; the caller's
    // name is taken only in place of an unknown or empty one.
    void newstate_data() {
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("nomes"); // "before|in the events|after"
        QTest::newRow("ringing") << QStringList{"Ringing"} << "E"
                                 << "<Unknown>|Maria|Maria";
        QTest::newRow("ringing then dialing") << QStringList{"Ringing", "Dialing"} << "E"
                                              << "|Maria|Maria";
        QTest::newRow("dialing") << QStringList{"Dialing", "Ringing"} << "S"
                                 << "João|Maria|João";
        QTest::newRow("up leaves it") << QStringList{"Up"} << ""
                                      << "<unknown>||<unknown>";
        QTest::newRow("compared exactly") << QStringList{"ringing", "DIALING"} << ""
                                          << "|Ana|Ana";
    }
    void newstate() {
        QFETCH(QStringList, states);
        QFETCH(QString, nomes);
        const QStringList n = nomes.split('|');
        m->NovoCanal("SIP/2001-01", "1", {"CallerIDName: " + n[0]});
        for (const QString& s : states)
            Feed(Evento("Newstate", {"Channel: SIP/2001-01", "Uniqueid: 1", "State: " + s,
                                     "CallerIDName: " + n[1]}));
        TChannel* c = Canal("SIP/2001-01");
        QTEST(c->Tipo, "tipo");
        QCOMPARE(c->State, states.last());
        QCOMPARE(c->LastEvent, QStringLiteral("newstate"));
        QCOMPARE(c->CallerIdName, n[2]);
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

    // A hangup removes the channel and its bridge, between the log's marks; one for a channel
    // we do not know only leaves the marks.
    void hangupRemovesTheChannel() {
        m->NovoCanal("SIP/2001-01", "1");
        const qsizetype mark = ui().log.size();
        m->Hangup("SIP/2001-01", "1");
        m->Hangup("SIP/none-1", "9");
        QCOMPARE(monitor->Canais.Count(), 0);
        QCOMPARE(monitor->Ligacoes.Count(), 0);
        const QStringList log = m->LogDesde(mark);
        QCOMPARE(log.first(), QStringLiteral("Inicio do hangup Ch:SIP/2001-01 UID:1"));
        QVERIFY(log.contains("OnChannelEvent Removed SIP/2001-01 1"));
        QVERIFY(log.contains("OnCallEvent: Removed"));
        QCOMPARE(log.mid(log.size() - 3),
                 (QStringList{"Fim do Hangup", "Inicio do hangup Ch:SIP/none-1 UID:9",
                              "Fim do Hangup"}));
    }

    // The server's mark of an incoming call; the first one stays.
    void zxnewcallClassifiesAnIncomingCall() {
        m->NovoCanal("DAHDI/1-1", "1");
        for (const char* cid : {"1133224455", "0000"})
            Feed(Evento("UserEvent", {"UserEvent: ZXNewCall", "Channel: DAHDI/1-1", "Uniqueid: 1",
                                      "Tipo: E", QString("CallerId: ") + cid}));
        TChannel* c = Canal("DAHDI/1-1");
        QCOMPARE(c->Tipo, QStringLiteral("E"));
        QCOMPARE(c->CallerId, QStringLiteral("1133224455"));
        QCOMPARE(c->LastEvent, QStringLiteral("userevent"));
    }

    void descreveListsTheFields() {
        m->NovoCanal("SIP/2001-01", "1",
                     {"State: Up", "CallerIDNum: 2001", "Context: interno", "Exten: 3000"});
        TChannel* c = Canal("SIP/2001-01");
        QCOMPARE(c->Descreve(),
                 "Channel: SIP/2001-01\r\nCallerId: \r\nCallerIdNum: 2001\r\nCallerIdName: \r\n"
                 "UniqueId: 1\r\nState: Up\r\nInicio: " +
                     DateTimeText(c->Inicio) +
                     "\r\nContext: interno\r\nExtension: 3000\r\nPriority: \r\nSeconds: 0\r\n"
                     "LastEvent: newchannel\r\nDiscador: 0\r\nNewCallerId: \r\nEvento: "
                     "newchannel\r\nLigacaoFila = nil\r\nLigacaoDiscador = nil\r\n");
        QCOMPARE(monitor->Dump("Canais"), c->Descreve() + "\r\n");
    }

    // The dialer variables are asked by name, even a name longer than 50 characters as trunks
    // and local channels have, but never for agent and local channels nor for a name that
    // would break the action's lines. "(null)" and failed requests leave what the channel shows.
    void dialerVariables() {
        QVERIFY(m->Conecta());
        const QString longo = "SIP/operadora-muito-longa-com-nome-de-conta-enorme-0000000a";
        m->NovoCanal(longo, "1");
        m->NovoCanal("Local/200@interno-1;1", "2");
        m->NovoCanal("Agent/1001", "3");
        QCOMPARE(m->enviados,
                 QStringList{"Action: GetVar\r\nActionId: VarDisCampanha-" + longo +
                             "\r\nChannel: " + longo + "\r\nVariable: DisCampanha\r\n\r\n"});
        m->enviados.clear();
        Feed("Response: Success\r\nActionID: VarDisCampanha-" + longo +
             "\r\nVariable: DisCampanha\r\nValue: 7\r\n\r\n");
        TChannel* c = Canal(longo);
        QVERIFY(c->Discador);
        QCOMPARE(m->enviados,
                 (QStringList{"Action: GetVar\r\nActionId: VarDisTelefone-" + longo +
                                  "\r\nChannel: " + longo + "\r\nVariable: DisTelefone\r\n\r\n",
                              "Action: GetVar\r\nActionId: VarDisNome-" + longo +
                                  "\r\nChannel: " + longo + "\r\nVariable: DisNome\r\n\r\n"}));
        Feed("Response: Success\r\nActionID: VarDisTelefone-" + longo +
             "\r\nValue: 11987654321\r\n\r\n");
        Feed("Response: Success\r\nActionID: VarDisNome-" + longo +
             "\r\nValue: Cliente Um\r\n\r\n");
        Feed("Response: Success\r\nActionID: VarDisNome-" + longo + "\r\nValue: (null)\r\n\r\n");
        Feed("Response: Error\r\nActionID: VarDisTelefone-" + longo +
             "\r\nMessage: No such channel\r\n\r\n");
        QCOMPARE(c->CallerIdName, QStringLiteral("Cliente Um"));
        QCOMPARE(c->CallerIdNum, QStringLiteral("11987654321"));

        m->enviados.clear();
        m->NovoCanal("SIP/2001-01", "9");
        Feed("Response: Success\r\nActionID: VarDisCampanha-SIP/2001-01\r\nValue: (null)\r\n\r\n");
        QVERIFY(!Canal("SIP/2001-01")->Discador);
        m->NovoCanal("SIP/x\nAction: Hangup", "10");
        QVERIFY(Canal("SIP/x\nAction: Hangup"));
        QCOMPARE(m->enviados.size(), 1); // the question for SIP/2001-01 only
        QVERIFY(ui().erros.isEmpty());
        QVERIFY(ui().log.contains("GetVar DisCampanha não enviado: nome de canal inválido"));
    }

private:
    TRecordingUi& ui() { return *m->ui; }
};

QTEST_GUILESS_MAIN(TestModelChannels)
#include "test_model_channels.moc"
