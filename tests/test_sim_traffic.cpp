// The simulator's live traffic: repeatable from its seed, every event complete, queue positions
// and listings consistent with the state, the agent actions and their refusals, bounded state,
// and under load the fault switches, long listings and a client that stops reading.
#include "TCommandOutputs.h"
#include "TPbxServer.h"
#include "TSimAnswers.h"
#include "TSimDatabase.h"
#include "TSimPacket.h"
#include "TSimState.h"
#include "TSimTraffic.h"
#include "support/TSimTestClient.h"

#include <QSet>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTest>

#include <memory>
#include <vector>

namespace {

constexpr qint64 Epoch = 1700000000;
constexpr qint64 Minute = 60 * 1000;

// A server without traffic of its own, on free ports, with a clock that stands still so that
// unique ids and time stamps repeat from run to run.
TSimOptions quiet(quint32 seed = 1) {
    TSimOptions o;
    o.port = 0;
    o.chatPort = 0;
    o.seed = seed;
    o.clock = [] { return Epoch; };
    return o;
}

TSimTestPacket packetOf(const TSimPacket& p) {
    return TSimTestPacket::parse(p.toWire());
}

// "Name key=value key=value": an event and some of its values.
bool matches(const TSimTestPacket& p, const QString& pattern) {
    const QStringList parts = pattern.split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || !p.isEvent(parts.first())) return false;
    for (const QString& kv : parts.mid(1)) {
        const qsizetype eq = kv.indexOf(u'=');
        if (p.value(kv.left(eq)) != kv.mid(eq + 1)) return false;
    }
    return true;
}

QList<TSimTestPacket> only(const QList<TSimTestPacket>& packets, const QString& name) {
    QList<TSimTestPacket> out;
    for (const TSimTestPacket& p : packets) {
        if (p.isEvent(name)) out.append(p);
    }
    return out;
}

QString describe(const TSimTestPacket& p) {
    QStringList out;
    for (const auto& line : p.lines)
        out << line.first + u'=' + line.second;
    return out.join(u' ');
}

// Records every event the traffic engine sends.
struct Recorder {
    explicit Recorder(TSimTraffic* traffic) {
        QObject::connect(traffic, &TSimTraffic::event, traffic,
                         [this](const TSimPacket& p) { events.append(packetOf(p)); });
    }
    QList<TSimTestPacket> named(const QString& name) const { return only(events, name); }
    QList<TSimTestPacket> events;
};

} // namespace

class TestSimTraffic : public QObject {
    Q_OBJECT

    std::unique_ptr<TPbxServer> m_server;
    // Events of a long run of the demo call centre, shared by the key checks.
    QList<TSimTestPacket> m_longRun;
    QSet<QString> m_agentIds;

    bool startServer(const TSimOptions& options = quiet()) {
        m_server = std::make_unique<TPbxServer>();
        QString error;
        if (!m_server->start(options, &error)) qWarning("%s", qPrintable(error));
        return m_server->isRunning();
    }

    // The events of `ms` of traffic time from the given seed, seen by the engine; `clients`
    // logged-in connections watch, and each must have received exactly the same packets.
    QStringList run(quint32 seed, int clients, qint64 ms) {
        TPbxServer server;
        if (!server.start(quiet(seed))) return {};
        std::vector<std::unique_ptr<TSimTestClient>> watchers;
        for (int i = 0; i < clients; ++i) {
            watchers.push_back(std::make_unique<TSimTestClient>(server.managerPort()));
            if (!watchers.back()->login()) return {};
        }
        QStringList events;
        connect(server.traffic(), &TSimTraffic::event, this,
                [&events](const TSimPacket& p) { events << QString::fromUtf8(p.toWire()); });
        server.traffic()->schedule();
        server.traffic()->advance(ms);
        for (const auto& w : watchers) {
            const qsizetype before = 3; // login response, FullyBooted, Titulo
            if (!QTest::qWaitFor([&] { return w->packets.size() >= before + events.size(); }))
                return {};
            for (qsizetype i = 0; i < events.size(); ++i) {
                if (QString::fromUtf8(w->packets.at(before + i).raw) != events.at(i)) return {};
            }
        }
        return events;
    }

private Q_SLOTS:
    void initTestCase();
    void cleanup() { m_server.reset(); }

    void sameSeedSameEvents_data();
    void sameSeedSameEvents();
    void eventsCarryTheKeysTheMonitorReads_data();
    void eventsCarryTheKeysTheMonitorReads();
    void positionsFollowCallersLeaving_data();
    void positionsFollowCallersLeaving();
    void callLifecycleLeavesNothingBehind();
    void agentActions_data();
    void agentActions();
    void eventsAndListingsAgreeWithTheState();
    void stateStaysBoundedInALongRun();
    void bigScenario();
    void longListingsDoNotHoldUpOtherClients();
    void faultSwitchesActOnPushedEvents_data();
    void faultSwitchesActOnPushedEvents();
    void clientThatStopsReadingIsCutOff();
};

void TestSimTraffic::initTestCase() {
    QVERIFY(startServer(quiet(3)));
    Recorder recorder(m_server->traffic());
    m_server->traffic()->schedule();
    m_server->traffic()->advance(8 * 60 * Minute);
    m_longRun = recorder.events;
    for (const TSimAgent& a : m_server->state()->agents())
        m_agentIds.insert(a.id);
    m_server.reset();
}

void TestSimTraffic::sameSeedSameEvents_data() {
    QTest::addColumn<quint32>("seedA");
    QTest::addColumn<int>("clientsA");
    QTest::addColumn<quint32>("seedB");
    QTest::addColumn<int>("clientsB");
    QTest::addColumn<bool>("same");
    QTest::newRow("same seed, nobody watching or two clients") << 7u << 0 << 7u << 2 << true;
    QTest::newRow("another seed") << 7u << 0 << 8u << 0 << false;
}

void TestSimTraffic::sameSeedSameEvents() {
    QFETCH(quint32, seedA);
    QFETCH(int, clientsA);
    QFETCH(quint32, seedB);
    QFETCH(int, clientsB);
    QFETCH(bool, same);
    const QStringList a = run(seedA, clientsA, 40 * Minute);
    const QStringList b = run(seedB, clientsB, 40 * Minute);
    QVERIFY(a.size() > 500);
    QVERIFY(b.size() > 500);
    if (same)
        QCOMPARE(a, b);
    else
        QVERIFY(a != b);
}

void TestSimTraffic::eventsCarryTheKeysTheMonitorReads_data() {
    QTest::addColumn<QString>("event");    // name, and values that pick the events
    QTest::addColumn<QString>("filled");   // present and not empty
    QTest::addColumn<QString>("present");  // present, may be empty
    QTest::addColumn<QString>("numbers");  // whole numbers
    QTest::addColumn<QString>("agentKey"); // names a known agent
    const auto row = [](const char* event, const char* filled, const char* present = "",
                        const char* numbers = "", const char* agentKey = "") {
        QTest::newRow(event) << QString(event) << QString(filled) << QString(present)
                             << QString(numbers) << QString(agentKey);
    };
    row("Newchannel", "Channel Uniqueid State Context Exten", "CallerIDNum CallerIDName");
    row("Newstate", "Channel Uniqueid State", "CallerID CallerIDNum CallerIDName");
    row("Newexten", "Channel Uniqueid Context Extension Priority", "", "Priority");
    row("Newcallerid", "Channel Uniqueid CallerIDNum CallerIDName", "CallerID");
    row("Dial SubEvent=Begin", "SubEvent Channel Uniqueid Destination DestUniqueID");
    row("Link", "Channel1 Channel2 Uniqueid1 Uniqueid2");
    row("Unlink", "Channel1 Channel2 Uniqueid1 Uniqueid2");
    row("Hangup", "Channel Uniqueid", "", "Cause");
    row("Rename", "Oldname Newname");
    row("Masquerade", "Clone Original");
    row("UserEvent UserEvent=zxnewcall", "UserEvent Channel Uniqueid Tipo CallerId Tronco");
    row("PeerStatus", "Peer PeerStatus");
    row("Alarm", "Channel Alarm");
    row("AlarmClear", "Channel Alarm");
    row("AntennaLevel", "Channel Signal");
    row("OperatorRegistry", "Channel", "Operator");
    row("Join", "Queue Channel Uniqueid Position Count CallerIDNum", "CallerIDName",
        "Position Count");
    row("Leave", "Queue Channel Uniqueid Count", "", "Count Position");
    row("QueueCallerAbandon", "Queue Uniqueid Position OriginalPosition HoldTime", "",
        "Position OriginalPosition HoldTime");
    row("AgentCalled", "Queue AgentCalled ChannelCalling Uniqueid", "", "", "AgentCalled");
    row("AgentRingNoAnswer", "Queue Member Uniqueid Channel", "", "", "Member");
    row("AgentConnect", "Queue Member BridgedChannel Uniqueid", "", "Holdtime", "Member");
    row("AgentComplete", "Queue Member BridgedChannel Uniqueid HoldTime TalkTime Reason", "",
        "HoldTime TalkTime", "Member");
    row("QueueMemberStatus",
        "Queue Location Status Paused PauseReason PauseStart LastCall Penalty CallsTaken", "",
        "Status Paused Penalty CallsTaken LastCall PauseStart", "Location");
    row("QueueMemberPaused", "Queue Location Paused PauseReason PauseStart", "",
        "Paused PauseReason PauseStart", "Location");
    row("Agentlogin", "Agent Channel Uniqueid", "", "", "Agent");
    row("Agentlogoff", "Agent", "", "", "Agent");
    row("Hook", "Channel Status", "", "Status", "Channel");
    row("QueueCallReasonCount", "Queue Reason Count", "", "Count");
    row("QueueCallSubReasonCount", "Queue Reason SubReason Count", "", "Count");
    row("QueueCallReasonCountComplete", "");
}

void TestSimTraffic::eventsCarryTheKeysTheMonitorReads() {
    QFETCH(QString, event);
    QFETCH(QString, filled);
    QFETCH(QString, present);
    QFETCH(QString, numbers);
    QFETCH(QString, agentKey);
    int seen = 0;
    for (const TSimTestPacket& p : m_longRun) {
        if (!matches(p, event)) continue;
        // The listing's complete-marker carries an action id; the unsolicited one never does.
        QVERIFY2(!p.has(QStringLiteral("ActionID")), qPrintable(describe(p)));
        ++seen;
        for (const QString& key : filled.split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(!p.value(key).isEmpty(), qPrintable(key + u" in " + describe(p)));
        for (const QString& key : present.split(u' ', Qt::SkipEmptyParts))
            QVERIFY2(p.has(key), qPrintable(key + u" in " + describe(p)));
        for (const QString& key : numbers.split(u' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            p.value(key).toLongLong(&ok);
            QVERIFY2(ok, qPrintable(key + u" in " + describe(p)));
        }
        if (!agentKey.isEmpty()) {
            const QString id = p.value(agentKey).section(u'/', -1);
            QVERIFY2(m_agentIds.contains(id), qPrintable(describe(p)));
        }
    }
    QVERIFY2(seen > 0, qPrintable(event + u" was never sent"));
}

void TestSimTraffic::positionsFollowCallersLeaving_data() {
    QTest::addColumn<QList<int>>("order");     // which caller leaves next (by join order)
    QTest::addColumn<QList<bool>>("answered"); // it leaves to an agent rather than hanging up
    QTest::newRow("first in, first out, all answered")
        << QList<int>{0, 1, 2, 3} << QList<bool>{true, true, true, true};
    QTest::newRow("last first, all give up")
        << QList<int>{3, 2, 1, 0} << QList<bool>{false, false, false, false};
    QTest::newRow("from the middle, mixed")
        << QList<int>{2, 0, 3, 1} << QList<bool>{false, true, false, true};
}

void TestSimTraffic::positionsFollowCallersLeaving() {
    QFETCH(QList<int>, order);
    QFETCH(QList<bool>, answered);
    QVERIFY(startServer());
    TSimTraffic* traffic = m_server->traffic();
    const TSimState* state = m_server->state();
    Recorder recorder(traffic);

    QStringList callers;
    for (int i = 0; i < 4; ++i) {
        const QString uid = traffic->startIncomingCall(QStringLiteral("1"));
        QVERIFY(!uid.isEmpty());
        callers << uid;
    }
    const QStringList freeAgents = {"1001", "1002", "1003", "1005"};
    QStringList waiting = callers;
    for (qsizetype k = 0; k < order.size(); ++k) {
        const QString uid = callers.at(order.at(k));
        const int position = int(waiting.indexOf(uid)) + 1;
        recorder.events.clear();
        if (answered.at(k)) {
            QVERIFY(traffic->ringAgent(uid, freeAgents.at(k)));
            QVERIFY(traffic->answer(uid));
        } else {
            QVERIFY(traffic->hangup(uid));
            const TSimTestPacket abandon =
                recorder.named(QStringLiteral("QueueCallerAbandon")).value(0);
            QCOMPARE(abandon.value(QStringLiteral("Position")), QString::number(position));
            QCOMPARE(abandon.value(QStringLiteral("OriginalPosition")),
                     QString::number(order.at(k) + 1));
        }
        waiting.removeOne(uid);
        const TSimTestPacket leave = recorder.named(QStringLiteral("Leave")).value(0);
        QCOMPARE(leave.value(QStringLiteral("Uniqueid")), uid);
        QCOMPARE(leave.value(QStringLiteral("Position")), QString::number(position));
        QCOMPARE(leave.value(QStringLiteral("Count")), QString::number(waiting.size()));

        // Those still waiting moved up, in the order they came.
        QList<TSimTestPacket> entries;
        int calls = -1;
        for (const TSimPacket& p : TSimAnswers::queueStatus(*state, {}, QStringLiteral("1"))) {
            const TSimTestPacket t = packetOf(p);
            if (t.isEvent(QStringLiteral("QueueEntry"))) entries.append(t);
            if (t.isEvent(QStringLiteral("QueueParams")))
                calls = t.value(QStringLiteral("Calls")).toInt();
        }
        QCOMPARE(calls, int(waiting.size()));
        QCOMPARE(entries.size(), waiting.size());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries.at(i).value(QStringLiteral("Uniqueid")), waiting.at(i));
            QCOMPARE(entries.at(i).value(QStringLiteral("Position")), QString::number(i + 1));
        }
    }
    // A caller coming now is last in line again.
    const QString late = traffic->startIncomingCall(QStringLiteral("1"));
    QCOMPARE(recorder.named(QStringLiteral("Join")).last().value(QStringLiteral("Position")),
             QStringLiteral("1"));
    QVERIFY(!late.isEmpty());
}

void TestSimTraffic::callLifecycleLeavesNothingBehind() {
    QVERIFY(startServer());
    TSimTraffic* traffic = m_server->traffic();
    TSimState* state = m_server->state();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    const qsizetype start = c.packets.size();

    const QString uid = traffic->startIncomingCall(QStringLiteral("2"), QStringLiteral("E1 Oi"));
    QVERIFY(!uid.isEmpty());
    const QString line = state->channel(uid)->device();
    QVERIFY(line.startsWith(u"DAHDI/"));
    QVERIFY(traffic->ringAgent(uid, QStringLiteral("1010")));
    QVERIFY(traffic->answer(uid));
    const QString agentLeg = state->channel(uid)->bridgedTo;
    QVERIFY(agentLeg.startsWith(u"SIP/2010-"));
    QVERIFY(traffic->hangup(uid));
    QVERIFY(traffic->endWrapUp(QStringLiteral("1010")));

    // The call's events came in the order a PBX sends them.
    const QStringList steps = {
        "Newchannel Uniqueid=" + uid,    "Join Uniqueid=" + uid,
        "AgentCalled Uniqueid=" + uid,   "AgentConnect Uniqueid=" + uid,
        "AgentComplete Uniqueid=" + uid, "Hangup Uniqueid=" + uid,
        "Hangup Channel=" + agentLeg,    "QueueMemberStatus Location=Agent/1010 Status=1"};
    qsizetype at = start;
    for (const QString& step : steps) {
        QVERIFY2(QTest::qWaitFor([&] {
                     for (qsizetype i = at; i < c.packets.size(); ++i) {
                         if (matches(c.packets.at(i), step)) {
                             at = i + 1;
                             return true;
                         }
                     }
                     return false;
                 }),
                 qPrintable(step));
    }

    // Nothing is left: no channel, no call, no queue entry, a free line, a free agent.
    QCOMPARE(state->channelCount(), 0);
    QCOMPARE(traffic->liveCalls(), 0);
    QVERIFY(state->queue(QStringLiteral("2"))->waiting.isEmpty());
    QVERIFY(!state->deviceInUse(line));
    QVERIFY(!state->deviceInUse(QStringLiteral("SIP/2010")));
    QCOMPARE(state->agent(QStringLiteral("1010"))->status, TSimAgent::Status::Idle);
}

void TestSimTraffic::agentActions_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("response");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("events"); // in order, after the response
    QTest::addColumn<QString>("listing");    // an action whose answer must then hold...
    QTest::addColumn<QString>("item");       // ...this event
    const auto row = [](const char* name, const char* action, const char* response,
                        const char* message, const QStringList& events = {},
                        const char* listing = "", const char* item = "") {
        QTest::newRow(name) << QString(action) << QString(response) << QString(message) << events
                            << QString(listing) << QString(item);
    };
    const auto refused = [&row](const char* name, const char* action, const char* message) {
        row(name, action, "Error", message);
    };
    row("pause with a reason", "Action: QueuePause\nInterface: Agent/1010\nPaused: 1\nReason: 5",
        "Success", "Interface paused successfully",
        {"QueueMemberPaused Queue=2 Location=Agent/1010 Paused=1 PauseReason=5 "
         "PauseStart=1700000000"},
        "Action: QueueStatus\nQueue: 2", "QueueMember Location=Agent/1010 Paused=1 PauseReason=5");
    row("pause an agent of two queues",
        "Action: QueuePause\nInterface: Agent/1005\nPaused: 1\nReason: 2", "Success",
        "Interface paused successfully",
        {"QueueMemberPaused Queue=1 Location=Agent/1005 Paused=1 PauseReason=2",
         "QueueMemberPaused Queue=2 Location=Agent/1005 Paused=1 PauseReason=2"},
        "Action: QueueStatus\nQueue: 1", "QueueMember Location=Agent/1005 Paused=1");
    row("unpause", "Action: QueuePause\nInterface: Agent/1004\nPaused: 0\nReason: 0", "Success",
        "Interface unpaused successfully",
        {"QueueMemberPaused Queue=1 Location=Agent/1004 Paused=0"}, "Action: QueueStatus\nQueue: 1",
        "QueueMember Location=Agent/1004 Paused=0 PauseReason=n/a");
    row("pause for an unknown reason",
        "Action: QueuePause\nInterface: Agent/1010\nPaused: 1\nReason: 99", "Error",
        "Unknown pause reason '99'", {}, "Action: QueueStatus\nQueue: 2",
        "QueueMember Location=Agent/1010 Paused=0");
    refused("pause without the interface", "Action: QueuePause\nPaused: 1\nReason: 5",
            "Need 'Interface' and 'Paused' parameters.");
    refused("pause with a bad Paused value",
            "Action: QueuePause\nInterface: Agent/1010\nPaused: talvez\nReason: 5",
            "Invalid 'Paused' value");
    refused("pause an agent logged off",
            "Action: QueuePause\nInterface: Agent/1017\nPaused: 1\nReason: 5",
            "Interface not logged in");
    refused("pause in a queue the agent is not in",
            "Action: QueuePause\nInterface: Agent/1010\nQueue: 1\nPaused: 1\nReason: 5",
            "Interface not found");
    row("add to a queue",
        "Action: QueueAdd\nQueue: 1\nInterface: Agent/1015\nPaused:0\nActionID: KQQueueAdd",
        "Success", "Added interface to queue",
        {"QueueMemberAdded Queue=1 Location=Agent/1015 Membership=dynamic Status=1 Paused=0"},
        "Action: QueueStatus\nQueue: 1", "QueueMember Location=Agent/1015 Membership=dynamic");
    refused("add a member again",
            "Action: QueueAdd\nQueue: 1\nInterface: Agent/1001\nPaused:0\nActionID: KQQueueAdd",
            "Unable to add interface: Already there");
    refused("add to the chat queue",
            "Action: QueueAdd\nQueue: 5\nInterface: Agent/1001\nPaused:0\nActionID: KQQueueAdd",
            "Unable to add interface to queue: No such queue");
    refused("add an unknown agent",
            "Action: QueueAdd\nQueue: 1\nInterface: Agent/9999\nPaused:0\nActionID: KQQueueAdd",
            "Unable to add interface: No such agent");
    row("remove from a queue",
        "Action: QueueRemove\nQueue: 3\nInterface: Agent/1001\nActionID: KQQueueRemove", "Success",
        "Removed interface from queue", {"QueueMemberRemoved Queue=3 Location=Agent/1001"},
        "Action: QueueStatus\nQueue: 3", "QueueParams Queue=3");
    refused("remove one who is not a member",
            "Action: QueueRemove\nQueue: 1\nInterface: Agent/1015\nActionID: KQQueueRemove",
            "Unable to remove interface: Not there");
    row("log off a paused agent", "Action: AgentLogoff\nAgent: 1013\nActionID: KQAgentLogoff",
        "Success", "Agent logged out",
        {"Agentlogoff Agent=1013",
         "QueueMemberStatus Queue=3 Location=Agent/1013 Status=5 Paused=0",
         "QueueMemberStatus Queue=4 Location=Agent/1013 Status=5 Paused=0"},
        "Action: Agents", "Agents Agent=1013 Status=AGENT_LOGGEDOFF LoggedInChan=n/a");
    refused("log off one logged off", "Action: AgentLogoff\nAgent: 1019\nActionID: KQAgentLogoff",
            "Agent is not logged in");
    refused("log off an unknown agent", "Action: AgentLogoff\nAgent: 9999\nActionID: KQAgentLogoff",
            "No such agent");
}

void TestSimTraffic::agentActions() {
    QFETCH(QString, action);
    QFETCH(QString, response);
    QFETCH(QString, message);
    QFETCH(QStringList, events);
    QFETCH(QString, listing);
    QFETCH(QString, item);
    QVERIFY(startServer());
    Recorder recorder(m_server->traffic());
    TSimTestClient actor(m_server->managerPort());
    TSimTestClient other(m_server->managerPort());
    TSimTestClient stranger(m_server->managerPort()); // never logs in
    QVERIFY(actor.login());
    QVERIFY(other.login());
    QTRY_VERIFY(stranger.socket.state() == QAbstractSocket::ConnectedState);

    const qsizetype before = actor.packets.size();
    const QList<TSimTestPacket> answer = actor.ask(action, simAnyResponse());
    QVERIFY(!answer.isEmpty());
    QCOMPARE(answer.first().response(), response);
    QCOMPARE(answer.first().value(QStringLiteral("Message")), message);
    const QString id = action.section(QStringLiteral("ActionID: "), 1, 1);
    QCOMPARE(answer.first().value(QStringLiteral("ActionID")), id);

    // The events follow the answer, on every logged-in connection and in the same order.
    QCOMPARE(recorder.events.size(), events.size());
    for (qsizetype i = 0; i < events.size(); ++i)
        QVERIFY2(matches(recorder.events.at(i), events.at(i)),
                 qPrintable(describe(recorder.events.at(i))));
    const qsizetype actorFrom = before + 1; // nothing else is going on
    QTRY_COMPARE(actor.packets.size(), actorFrom + events.size());
    for (qsizetype i = 0; i < events.size(); ++i) {
        QCOMPARE(actor.packets.at(actorFrom + i).raw, recorder.events.at(i).raw);
        QTRY_VERIFY(other.packets.size() > 3 + i);
        QCOMPARE(other.packets.at(3 + i).raw, recorder.events.at(i).raw);
    }
    QCOMPARE(stranger.packets.size(), 0);

    if (!listing.isEmpty()) {
        const QList<TSimTestPacket> after =
            actor.ask(listing + QStringLiteral("\nActionID: l"), [](const TSimTestPacket& p) {
                return p.event().endsWith(u"Complete") &&
                       p.value(QStringLiteral("ActionID")) == u"l";
            });
        bool found = false;
        for (const TSimTestPacket& p : after)
            found = found || matches(p, item);
        QVERIFY2(found, qPrintable(item));
    }
}

void TestSimTraffic::eventsAndListingsAgreeWithTheState() {
    QVERIFY(startServer(quiet(5)));
    TSimState* state = m_server->state();
    TSimTraffic* traffic = m_server->traffic();
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    Recorder recorder(traffic);
    traffic->schedule();
    traffic->advance(150 * Minute);
    QVERIFY(recorder.events.size() > 1000);
    QTRY_COMPARE(c.packets.size(), 3 + recorder.events.size());

    // What a client learns from the events alone...
    QHash<QString, QString> channels; // unique id -> name
    QHash<QString, QStringList> waiting;
    QHash<QString, bool> registered; // of the telephones the events spoke of
    for (const TSimTestPacket& p : c.packets.mid(3)) {
        const QString uid = p.value(QStringLiteral("Uniqueid"));
        if (p.isEvent(QStringLiteral("Newchannel"))) {
            QVERIFY2(!channels.contains(uid), qPrintable(describe(p)));
            channels.insert(uid, p.value(QStringLiteral("Channel")));
        } else if (p.isEvent(QStringLiteral("Hangup"))) {
            QCOMPARE(channels.take(uid), p.value(QStringLiteral("Channel")));
        } else if (p.isEvent(QStringLiteral("Rename"))) {
            QCOMPARE(channels.value(uid), p.value(QStringLiteral("Oldname")));
            channels.insert(uid, p.value(QStringLiteral("Newname")));
        } else if (p.isEvent(QStringLiteral("Masquerade"))) {
            // Both channels must be live; the names stay with their unique ids here.
            QVERIFY(channels.key(p.value(QStringLiteral("Clone"))).size() > 0);
            QVERIFY(channels.key(p.value(QStringLiteral("Original"))).size() > 0);
        } else if (p.isEvent(QStringLiteral("Join"))) {
            QStringList& q = waiting[p.value(QStringLiteral("Queue"))];
            QCOMPARE(p.value(QStringLiteral("Position")).toInt(), q.size() + 1);
            q.append(uid);
            QCOMPARE(p.value(QStringLiteral("Count")).toInt(), q.size());
        } else if (p.isEvent(QStringLiteral("Leave"))) {
            QStringList& q = waiting[p.value(QStringLiteral("Queue"))];
            QCOMPARE(p.value(QStringLiteral("Position")).toInt(), q.indexOf(uid) + 1);
            q.removeOne(uid);
            QCOMPARE(p.value(QStringLiteral("Count")).toInt(), q.size());
        } else if (p.isEvent(QStringLiteral("PeerStatus"))) {
            registered.insert(p.value(QStringLiteral("Peer")),
                              p.value(QStringLiteral("PeerStatus")) == u"Registered");
        } else if (p.isEvent(QStringLiteral("Link"))) {
            QVERIFY(channels.contains(p.value(QStringLiteral("Uniqueid1"))));
            QVERIFY(channels.contains(p.value(QStringLiteral("Uniqueid2"))));
        }
    }

    // ...is what the state holds...
    QCOMPARE(channels.size(), state->channelCount());
    for (const TSimChannel& ch : state->channels())
        QCOMPARE(channels.value(ch.uniqueId), ch.name);
    for (const TSimQueue& q : state->queues())
        QCOMPARE(waiting.value(q.id), q.waiting);
    for (const TSimExtension& e : state->extensions()) {
        if (registered.contains(e.device())) QCOMPARE(registered.value(e.device()), e.registered);
    }

    // ...and what the listings answer.
    QList<TSimTestPacket> answer = c.ask(QStringLiteral("Action: Status\nActionID: s"),
                                         simEventIs(QStringLiteral("StatusComplete")));
    QCOMPARE(answer.last().value(QStringLiteral("Items")).toLongLong(), state->channelCount());
    for (const TSimTestPacket& p : answer) {
        if (!p.isEvent(QStringLiteral("Status"))) continue;
        const TSimChannel* ch = state->channel(p.value(QStringLiteral("Uniqueid")));
        QVERIFY2(ch, qPrintable(describe(p)));
        QCOMPARE(p.value(QStringLiteral("Channel")), ch->name);
        QCOMPARE(p.value(QStringLiteral("BridgedChannel")), ch->bridgedTo);
        QCOMPARE(p.value(QStringLiteral("Queue")), ch->queue);
        if (!ch->bridgedTo.isEmpty())
            QCOMPARE(state->channelByName(ch->bridgedTo)->bridgedTo, ch->name);
    }
    answer = c.ask(QStringLiteral("Action: Agents\nActionID: a"),
                   simEventIs(QStringLiteral("AgentsComplete")));
    int agents = 0;
    for (const TSimTestPacket& p : answer) {
        if (!p.isEvent(QStringLiteral("Agents"))) continue;
        ++agents;
        const TSimAgent* a = state->agent(p.value(QStringLiteral("Agent")));
        QVERIFY(a);
        QCOMPARE(p.value(QStringLiteral("Status")), a->statusText());
    }
    QCOMPARE(agents, int(state->agents().size()));
    answer = c.ask(QStringLiteral("Action: QueueStatus\nActionID: q"),
                   simEventIs(QStringLiteral("QueueStatusComplete")));
    QHash<QString, QStringList> listed;
    for (const TSimTestPacket& p : answer) {
        if (p.isEvent(QStringLiteral("QueueEntry")))
            listed[p.value(QStringLiteral("Queue"))].append(p.value(QStringLiteral("Uniqueid")));
        if (p.isEvent(QStringLiteral("QueueMember"))) {
            const TSimAgent* a = state->agent(p.value(QStringLiteral("Location")));
            QCOMPARE(p.value(QStringLiteral("Status")).toInt(), a->deviceState());
            QCOMPARE(p.value(QStringLiteral("Paused")) == u"1", a->paused);
        }
    }
    for (const TSimQueue& q : state->queues())
        QCOMPARE(listed.value(q.id), q.isVoice() ? q.waiting : QStringList());
    answer = c.ask(QStringLiteral("Action: QueueCallReasonCount\nActionID: r"),
                   simEventIs(QStringLiteral("QueueCallReasonCountComplete")));
    int reasons = 0;
    for (const TSimTestPacket& p : answer) {
        if (!p.isEvent(QStringLiteral("QueueCallReasonCount"))) continue;
        for (const TSimReasonCount& r :
             state->reasonsOf(p.value(QStringLiteral("Queue")))->reasons) {
            if (r.name == p.value(QStringLiteral("Reason"))) {
                QCOMPARE(p.value(QStringLiteral("Count")).toInt(), r.count);
                ++reasons;
            }
        }
    }
    QCOMPARE(reasons, 12);

    // The console outputs: a Khomp line is in use exactly while a channel runs on it.
    for (const QString& l : TCommandOutputs::khompChannelsShow(*state)) {
        if (!l.startsWith(u"<K>")) continue;
        const QStringList hw = l.section(u'|', 1, 1).trimmed().split(u',');
        const QString device = QStringLiteral("Khomp/B%1C%2").arg(hw.at(0)).arg(hw.at(1).toInt());
        QCOMPARE(l.section(u'|', 2, 2).trimmed() == u"in use", state->deviceInUse(device));
    }
}

void TestSimTraffic::stateStaysBoundedInALongRun() {
    TSimOptions o = quiet(9);
    o.speed = 1000;
    QVERIFY(startServer(o));
    TSimState* state = m_server->state();
    TSimTraffic* traffic = m_server->traffic();
    traffic->schedule();
    // Lines and telephones bound the calls; a call has two legs at most.
    qsizetype lines = 0;
    for (const TSimPort& p : state->ports())
        lines += p.lineCount;
    for (const TSimTrunk& t : state->trunks())
        lines += t.type == u"s" ? t.capacity : 0;
    const qsizetype channelBound = 2 * (lines + state->extensions().size());
    qsizetype most = 0;
    for (int hour = 0; hour < 48; ++hour) {
        traffic->advance(60 * Minute);
        most = qMax(most, state->channelCount());
        QVERIFY(state->channelCount() <= channelBound);
        QVERIFY(traffic->liveCalls() <= state->channelCount());
        QVERIFY2(traffic->pendingTasks() <
                     100 + 4 * traffic->liveCalls() + 2 * state->agents().size(),
                 qPrintable(QString::number(traffic->pendingTasks())));
        for (const TSimQueue& q : state->queues()) {
            QVERIFY(q.waiting.size() <= q.capacity());
            for (const QString& uid : q.waiting)
                QCOMPARE(state->channel(uid)->queue, q.id);
        }
        for (const TSimPort& p : state->ports()) {
            for (int i = 0; i < p.lineCount; ++i)
                QVERIFY(state->channelsOn(p.lineDevice(i)).size() <= 1);
        }
    }
    QVERIFY(most > 4);
    QVERIFY(traffic->counters().completed > 500);
    QVERIFY(traffic->counters().abandoned > 0);
    // The active-calls table follows without growing.
    QTRY_COMPARE(m_server->database()
                     ->rows(QStringLiteral("SELECT count(*) AS n FROM ChamadasAtivas"))
                     .first()
                     .value(0)
                     .toLongLong(),
                 [state] {
                     qint64 n = 0;
                     for (const TSimChannel& ch : state->channels())
                         n += ch.queue.isEmpty() ? 0 : 1;
                     return n;
                 }());
}

void TestSimTraffic::bigScenario() {
    TSimOptions o = quiet();
    o.scenario = QStringLiteral("big:0,4,100");
    m_server = std::make_unique<TPbxServer>();
    QString error;
    QVERIFY(!m_server->start(o, &error));
    QVERIFY(error.contains(u"big:AGENTS,QUEUES,CHANNELS"));

    o.scenario = QStringLiteral("big:40,4,100");
    QVERIFY(startServer(o));
    const TSimState* state = m_server->state();
    QCOMPARE(state->agents().size(), 40);
    QCOMPARE(state->queues().size(), 4);
    QCOMPARE(state->extensions().size(), 90);
    for (const TSimAgent& a : state->agents()) {
        // Every agent serves a queue and has a telephone of its own, registered.
        QVERIFY(!a.queues.isEmpty());
        QVERIFY(state->extension(a.device.mid(4))->registered);
        if (a.isLoggedIn()) QCOMPARE(a.loggedInChan, a.device);
    }
}

void TestSimTraffic::longListingsDoNotHoldUpOtherClients() {
    TSimOptions o = quiet(4);
    o.scenario = QStringLiteral("big:300,30,3000");
    QVERIFY(startServer(o));
    m_server->traffic()->schedule();
    m_server->traffic()->advance(15 * Minute);
    const qsizetype live = m_server->state()->channelCount();
    QVERIFY2(live > 2000, qPrintable(QString::number(live)));

    TSimTestClient big(m_server->managerPort());
    TSimTestClient small(m_server->managerPort());
    QVERIFY(big.login());
    QVERIFY(small.login());
    big.action(QStringLiteral("Action: Status\nActionID: s"));
    QVERIFY(big.socket.waitForBytesWritten());
    const QList<TSimTestPacket> pong =
        small.ask(QStringLiteral("Action: Ping\nActionID: p"), simAnyResponse());
    QCOMPARE(pong.value(0).value(QStringLiteral("Ping")), QStringLiteral("Pong"));
    // The other client was answered while the long listing was still on its way.
    QVERIFY(big.events(QStringLiteral("StatusComplete")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(big.events(QStringLiteral("StatusComplete")).size(), 1, 30000);
    QCOMPARE(big.events(QStringLiteral("StatusComplete")).first().value(QStringLiteral("Items")),
             QString::number(live));
    QCOMPARE(big.events(QStringLiteral("Status")).size(), live);
}

void TestSimTraffic::faultSwitchesActOnPushedEvents_data() {
    QTest::addColumn<qint64>("dropAfter");
    QTest::addColumn<qint64>("stallAfter");
    QTest::newRow("drop after 40 packets") << qint64(40) << qint64(-1);
    QTest::newRow("stall after 40 packets") << qint64(-1) << qint64(40);
}

void TestSimTraffic::faultSwitchesActOnPushedEvents() {
    QFETCH(qint64, dropAfter);
    QFETCH(qint64, stallAfter);
    TSimOptions o = quiet();
    o.dropAfter = dropAfter;
    o.stallAfter = stallAfter;
    QVERIFY(startServer(o));
    TSimTestClient c(m_server->managerPort());
    QVERIFY(c.login());
    bool closed = false;
    connect(&c.socket, &QTcpSocket::disconnected, this, [&closed] { closed = true; });
    m_server->traffic()->schedule();
    m_server->traffic()->advance(30 * Minute);
    QVERIFY(m_server->traffic()->eventsSent() > 100);
    if (dropAfter > 0) {
        QTRY_VERIFY(closed);
        QCOMPARE(c.packets.size(), dropAfter);
    } else {
        // Half a packet, then nothing: exactly the packets before it arrive, whole.
        QTRY_COMPARE(c.packets.size(), stallAfter);
        QVERIFY(!QTest::qWaitFor([&c, stallAfter] { return c.packets.size() > stallAfter; }, 200));
        QVERIFY(!closed);
    }
}

void TestSimTraffic::clientThatStopsReadingIsCutOff() {
    TSimOptions o = quiet(6);
    o.scenario = QStringLiteral("big:1000,50,6000");
    QVERIFY(startServer(o));
    TSimTestClient reader(m_server->managerPort());
    TSimTestClient stuck(m_server->managerPort());
    QVERIFY(reader.login());
    QVERIFY(stuck.login());
    bool readerClosed = false;
    connect(&reader.socket, &QTcpSocket::disconnected, this,
            [&readerClosed] { readerClosed = true; });
    // The stuck client reads nothing more: its socket takes in one byte, and the server's
    // output piles up.
    QObject::disconnect(&stuck.socket, &QTcpSocket::readyRead, nullptr, nullptr);
    stuck.socket.setReadBufferSize(1);
    QSignalSpy gone(m_server.get(), &TPbxServer::clientDisconnected);
    m_server->traffic()->schedule();
    // Traffic a minute at a time, the reader keeping up, until the server gives up on the
    // stuck client.
    for (int minute = 0; minute < 240 && gone.isEmpty(); ++minute) {
        m_server->traffic()->advance(Minute);
        const qint64 sent = qint64(m_server->traffic()->eventsSent());
        QVERIFY(QTest::qWaitFor([&] { return reader.packets.size() >= 3 + sent; }, 30000));
    }
    QCOMPARE(gone.size(), 1);
    QVERIFY(!readerClosed);
    QCOMPARE(m_server->connectionCount(), 1);
    // The other client still gets everything.
    const QList<TSimTestPacket> pong =
        reader.ask(QStringLiteral("Action: Ping\nActionID: p"), simAnyResponse(), 30000);
    QVERIFY(!pong.isEmpty());
}

QTEST_MAIN(TestSimTraffic)
#include "test_sim_traffic.moc"
