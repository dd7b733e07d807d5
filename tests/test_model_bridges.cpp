// Bridges: joining the legs of a call by dial, link and status listings, unlink, hangups of
// either leg, and the lists emptied at disconnection in the middle of calls.
#include "base/Clock.h"
#include "support/TPacotes.h"

#include <QTest>

class TestModelBridges : public QObject {
    Q_OBJECT

    std::unique_ptr<TMonitorAlimentado> m;
    TMonitor* monitor = nullptr;

    TChannel* Canal(const QString& name) { return monitor->Canais.Procura(name, {}); }
    TListaLigacoes& Ligacoes() { return monitor->Ligacoes; }
    void Dial(const QString& from, const QString& fromUid, const QString& to, const QString& toUid,
              const QString& sub = "Begin") {
        m->Feed(Evento("Dial", {"SubEvent: " + sub, "Channel: " + from, "Uniqueid: " + fromUid,
                                "Destination: " + to, "DestUniqueID: " + toUid}));
    }
    void Link(const QString& event, const QString& a, const QString& b) {
        m->Feed(Evento(event, {"Channel1: " + a, "Channel2: " + b, "Uniqueid1: ", "Uniqueid2: "}));
    }
    void Status(const QStringList& lines) { m->Feed(Evento("Status", lines)); }
    // "A+B" for each bridge in list order ("A+" for a one-legged bridge).
    QStringList Pares() {
        QStringList out;
        Ligacoes().ParaCada([&out](const TLigacao* l) {
            out << (l->Channel1() ? l->Channel1()->Channel() : QString()) + u'+' +
                       (l->Channel2() ? l->Channel2()->Channel() : QString());
        });
        return out;
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TMonitorAlimentado>();
        monitor = m->monitor.get();
    }
    void cleanup() { m.reset(); }

    void dialJoinsTheCallersBridge() {
        m->NovoCanal("A", "1", {"CallerIDNum: 2001"});
        m->NovoCanal("B", "2");
        const qsizetype mark = m->ui->log.size();
        Dial("A", "1", "B", "2");
        QCOMPARE(Pares(), QStringList{"A+B"});
        QVERIFY(m->LogDesde(mark).contains("OnCallEvent: Removed; Canal1:B(dial)"));
        TChannel* b = Canal("B");
        QVERIFY(b->Discado);
        QCOMPARE(b->Tipo, QStringLiteral("S"));
        QCOMPARE(b->CallerIdNum, QStringLiteral("2001"));
        QCOMPARE(Canal("A")->LastEvent, QStringLiteral("dial"));
        // The joined bridge is announced by SetaCanal and once more by the join.
        QCOMPARE(m->LogDesde(mark, "OnCallEvent: Updated; Canal1:A(dial); Canal2:B(dial)").size(),
                 2);

        // Only the beginning of a dial relates the two channels.
        m->NovoCanal("C", "3");
        Dial("A", "1", "C", "3", "End");
        QCOMPARE(Pares(), (QStringList{"A+B", "C+"}));
    }

    void linkUnlinkOfAJoinedPair() {
        m->NovoCanal("A", "1");
        m->NovoCanal("B", "2");
        Dial("A", "1", "B", "2");
        TLigacao* l = Ligacoes().Item(0);
        QVERIFY(l->Link);
        Link("Unlink", "A", "B");
        QVERIFY(!l->Link);
        QCOMPARE(Pares(), QStringList{"A+B"}); // the legs stay until they hang up
        Link("Link", "B", "A");
        QVERIFY(l->Link);
        QCOMPARE(Canal("A")->LastEvent, QStringLiteral("link"));
        Link("Bridge", "A", "B");
        QCOMPARE(Pares(), QStringList{"A+B"});
    }

    void linkBetweenChannelsInOtherCallsChangesNothing() {
        for (const char* c : {"A", "B", "C", "D"})
            m->NovoCanal(c, c);
        Dial("A", "A", "B", "B");
        Dial("C", "C", "D", "D");
        Link("Link", "A", "C");
        Link("Unlink", "A", "D"); // never joined
        QCOMPARE(Pares(), (QStringList{"A+B", "C+D"}));
        QVERIFY(Ligacoes().Item(0)->Link);
        QVERIFY(Ligacoes().Item(1)->Link);
    }

    void dialIntoTheDestinationsBridge() {
        for (const char* c : {"X", "A", "B"})
            m->NovoCanal(c, c);
        Dial("X", "X", "A", "A"); // A is now second leg of X's call, without a bridge of its own
        Dial("A", "A", "B", "B");
        QCOMPARE(Pares(), (QStringList{"X+A", "B+A"}));
    }

    void hangupOfEitherLeg() {
        m->NovoCanal("A", "1");
        m->NovoCanal("B", "2");
        Dial("A", "1", "B", "2");
        m->Hangup("A", "1");
        QCOMPARE(Pares(), QStringList{"B+"});
        m->Hangup("B", "2");
        QCOMPARE(Pares(), QStringList{});

        m->NovoCanal("C", "3");
        m->NovoCanal("D", "4");
        Dial("C", "3", "D", "4");
        m->Hangup("D", "4");
        QCOMPARE(Pares(), QStringList{"C+"});
    }

    void legsCompleteEachOthersAge_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("firstAfter");
        QTest::addColumn<int>("secondAfter");
        QTest::newRow("first unknown") << -1 << 30 << 30 << 30;
        QTest::newRow("second unknown") << 40 << -1 << 40 << 40;
        QTest::newRow("both known") << 40 << 30 << 40 << 30;
    }
    void legsCompleteEachOthersAge() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, firstAfter);
        QFETCH(int, secondAfter);
        TChannel a("A-1");
        TChannel b("B-1");
        a.Seconds = first;
        a.Inicio = 100;
        b.Seconds = second;
        b.Inicio = 200;
        TLigacao l(&a);
        int avisos = 0;
        l.OnCallEvent = [&avisos](TLigacao*, TAvisoLigacao k) {
            avisos += k == TAvisoLigacao::Updated;
        };
        QVERIFY(l.SetaCanal(&b));
        QVERIFY(l.Link);
        QCOMPARE(avisos, 1);
        QCOMPARE(a.Seconds, firstAfter);
        QCOMPARE(b.Seconds, secondAfter);
        if (first == -1 && second != -1) QCOMPARE(a.Inicio, 200.0);
        if (second == -1 && first != -1) QCOMPARE(b.Inicio, 100.0);
        QCOMPARE(l.MaisAntigo(), a.Inicio <= b.Inicio ? &a : &b);
    }

    // A status listing rebuilds the bridge of a call; a channel already in a bridge never gets
    // a second, one-legged one.
    void statusNeverOpensASecondBridge() {
        m->NovoCanal("A", "1");
        Status({"Channel: A", "Uniqueid: 1", "State: Up", "Seconds: 10"});
        QCOMPARE(Pares(), QStringList{"A+"});
        // B listed as bridged to A joins A's one-legged bridge.
        Status({"Channel: B", "Uniqueid: 2", "State: Up", "Seconds: 10", "BridgedChannel: A"});
        QCOMPARE(Pares(), QStringList{"A+B"});
        // Listed again: the pair stands and is announced again.
        const qsizetype mark = m->ui->log.size();
        Status({"Channel: B", "Uniqueid: 2", "State: Up", "Seconds: 10", "BridgedChannel: A"});
        Status({"Channel: A", "Uniqueid: 1", "State: Up", "Seconds: 10", "Link: B"});
        QCOMPARE(Pares(), QStringList{"A+B"});
        QCOMPARE(m->LogDesde(mark, "OnCallEvent: Updated").size(), 2);
        // A channel with its own one-legged bridge that joins another's call leaves its own.
        m->NovoCanal("C", "3");
        m->NovoCanal("D", "4");
        Status({"Channel: D", "Uniqueid: 4", "State: Up", "Link: C"});
        QCOMPARE(Pares(), (QStringList{"A+B", "C+D"}));
        // "*9800" calls and calls with no other leg keep their own bridge.
        Status({"Channel: E", "Uniqueid: 5", "Extension: *9800", "Link: C"});
        Status({"Channel: F", "Uniqueid: 6", "Link: nobody"});
        QCOMPARE(Pares(), (QStringList{"A+B", "C+D", "E+", "F+"}));
        QCOMPARE(m->ui->log.filter("Status, coc BridgedChannel = A").size(), 2);
        QVERIFY(m->ui->log.contains("Status, coc Link = *9800"));
    }

    // A channel named as its own other leg (odd input) must not end up twice in one bridge:
    // freeing it would leave that bridge pointing at it.
    void aChannelNeverJoinsItself() {
        m->NovoCanal("A", "1");
        Link("Link", "A", "A");
        Dial("A", "1", "A", "1");
        Status({"Channel: A", "Uniqueid: 1", "Link: A"});
        QCOMPARE(Pares(), QStringList{"A+"});
        m->Hangup("A", "1");
        QCOMPARE(Ligacoes().Count(), 0);
    }

    void dumpOfBridges() {
        m->NovoCanal("A", "1");
        m->NovoCanal("B", "2");
        Dial("A", "1", "B", "2");
        m->NovoCanal("C", "3");
        const QString a = Canal("A")->Descreve();
        const QString b = Canal("B")->Descreve();
        const QString c = Canal("C")->Descreve();
        QCOMPARE(monitor->Dump("Ligações"), "Link: 1\r\nChannel1---\r\n" + a + "Channel2---\r\n" +
                                                b + "\r\n" + "Link: 0\r\nChannel1---\r\n" + c +
                                                "Channel2---\r\nChannel2: nil\r\n");
    }

    // The connection drops with calls in progress: everything is emptied without a notice and
    // nothing is left pointing at a freed channel (the sanitizer build checks the memory).
    void disconnectionInTheMiddleOfCalls() {
        for (const char* c : {"A", "B", "C"})
            m->NovoCanal(c, c);
        Dial("A", "A", "B", "B");
        const qsizetype mark = m->ui->log.size();
        monitor->EncerraConexao();
        QCOMPARE(monitor->Canais.Count(), 0);
        QCOMPARE(Ligacoes().Count(), 0);
        QCOMPARE(monitor->CloseStep, QStringLiteral("9"));
        QVERIFY(m->LogDesde(mark, "OnCallEvent").isEmpty());
        QVERIFY(m->LogDesde(mark, "OnChannelEvent").isEmpty());
        // Packets still queued are dispatched against the emptied model.
        m->Hangup("A", "A");
        Link("Link", "B", "C");
        m->NovoCanal("A", "A2");
        QCOMPARE(Pares(), QStringList{"A+"});
    }
};

QTEST_GUILESS_MAIN(TestModelBridges)
#include "test_model_bridges.moc"
