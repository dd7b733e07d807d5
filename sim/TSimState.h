#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <ranges>

class TSimDatabase;

// An agent as the PBX sees it.
struct TSimAgent {
    enum class Status { LoggedOff, Idle, Ringing, OnCall, WrapUp };

    QString id; // agent number, e.g. 1001
    QString name;
    Status status = Status::LoggedOff;
    QString loggedInChan; // device the agent logged in from, e.g. SIP/2001; empty when logged off
    qint64 loggedInTime = 0;
    bool paused = false;
    int pauseReason = 0; // pause-reason id; 0 is the automatic pause after a missed call
    qint64 pauseStart = 0;
    qint64 lastCall = 0;
    qint64 lastPause = 0;
    QString talkingTo;
    QString device;     // the telephone the agent logs in at (its desk), e.g. SIP/2017
    QStringList queues; // the queues it is a member of, in the order it joined them

    QString interface() const { return QStringLiteral("Agent/") + id; }
    bool isLoggedIn() const { return status != Status::LoggedOff; }
    // Free to be offered a queue call.
    bool isAvailable() const { return status == Status::Idle && !paused; }
    // Text of the Agents listing and device-state number of the queue-member listings and
    // events: 1 free, 3 busy (a call ringing or in progress), 5 unavailable, 0 after-call work.
    QString statusText() const;
    int deviceState() const;
};

struct TSimQueueMember {
    QString agentId;
    int penalty = 0;
    int callsTaken = 0;
    bool dynamic = false; // added by an action rather than configured
};

// A running dialer campaign with a queue: the customers its calls reach.
struct TSimCampaign {
    QString id;
    QString queue;
    QList<QPair<QString, QString>> customers; // telephone, name
};

struct TSimQueue {
    QString id; // also the queue's name on the PBX
    QString name;
    QString number;
    QString type; // "v" voice, "c" chat
    QString strategy = QStringLiteral("ringall");
    int max = 0; // most callers waiting; 0 = the server's own limit
    int holdTime = 0;
    int talkTime = 0;
    int completed = 0;
    int abandoned = 0;
    int exitWithKey = 0;
    int serviceLevel = 20;
    int withinServiceLevel = 0; // completed calls answered within the service level
    int weight = 0;
    QList<TSimQueueMember> members;
    QStringList waiting; // unique ids of the calls waiting, first in line first

    const TSimQueueMember* member(const QString& agentId) const;
    bool isVoice() const { return type != u"c"; }
    // Most callers that may wait at once.
    int capacity() const { return max > 0 ? max : DefaultCapacity; }
    // Percentage of completed calls answered within the service level, one decimal.
    QString serviceLevelPerf() const;

    static constexpr int DefaultCapacity = 50;

private:
    friend class TSimState;
    QHash<QString, qsizetype> memberIndex; // agent id -> index in members
};

// One live call leg.
struct TSimChannel {
    QString name; // e.g. SIP/2001-0000001a
    QString uniqueId;
    QString state = QStringLiteral("Up");
    QString callerIdNum;
    QString callerIdName;
    QString context = QStringLiteral("default");
    QString extension;
    QString priority = QStringLiteral("1");
    qint64 created = 0;
    QString bridgedTo; // name of the other leg
    QString queue;     // queue the call entered, empty for none
    qint64 queueJoined = 0;
    QString answeredBy; // agent number that answered the queue call
    qint64 answeredAt = 0;
    bool outgoing = false;
    QHash<QString, QString> variables;

    // The device the leg runs on: the name without its last "-" suffix (SIP/2001, Khomp/B0C5).
    QString device() const { return deviceOf(name); }
    static QString deviceOf(const QString& channelName);
};

struct TSimExtension {
    QString id;
    QString name;
    QString type; // "s" SIP, "i" IAX, "v" virtual, "f" hardware port
    bool registered = false;
    QString address;
    int port = 5060;
    int latency = 0; // ms

    QString device() const { return QStringLiteral("SIP/") + id; }
};

struct TSimPort {
    int id = 0;
    int board = 0;
    int line = 0;
    QString brand;     // "k" Khomp, "z" DAHDI
    QString type;      // "t" trunk port
    QString trunkType; // "d" digital, "c" cellular, "a" analogue
    QString name;
    // The PBX's numbering of the port's lines, as the monitor computes it.
    int boardIndex = -1;
    int firstLine = -1;
    int lineCount = 0;
    int signal = 0;        // cellular signal level, percent
    bool onNetwork = true; // cellular: registered with its carrier
    QString alarm;         // empty when the port is in service

    bool isDigitalTrunk() const { return type == u"t" && trunkType == u"d"; }
    bool isCellular() const { return type == u"t" && trunkType == u"c"; }
    // PBX device name of the port's i-th line.
    QString lineDevice(int i) const;
    // Whether the i-th line carries calls (the signalling line of a DAHDI E1 span does not).
    bool isVoiceLine(int i) const { return !(brand == u"z" && isDigitalTrunk() && i == 15); }
};

struct TSimTrunk {
    QString name;
    int portId = 0;
    int idTronco = 0;
    QString type; // "f" hardware, "s" SIP
    QString host;
    QString user;
    QString carrier;
    QString number; // the number it shows to the called party
    bool reachable = true;
    int capacity = 30; // SIP trunks: calls at once

    QString device() const { return QStringLiteral("SIP/") + name; }
};

struct TSimPauseReason {
    int id = 0;
    QString name;
    bool productive = false;
};

struct TSimSubReasonCount {
    QString name;
    int count = 0;
};

struct TSimReasonCount {
    QString name;
    int count = 0;
    QList<TSimSubReasonCount> subReasons;
};

// The call-reason counters of one queue.
struct TSimQueueReasons {
    QString queue;
    QList<TSimReasonCount> reasons;
};

struct TSimPermission {
    QString group;
    QString permission;
    QStringList values;
};

// The live call-centre state the server's answers are generated from: agents, queues with their
// members and waiting calls, channels, extensions and trunks. It is seeded from the scenario and
// then changed by code (the traffic engine, the monitor's actions); every listing follows. The
// changes here only keep the state consistent; the events that tell the clients are the traffic
// engine's business.
//
// Everything looked up by a key has an index, so a change costs the same with 20 agents or with
// 5,000; only the listings walk whole lists.
class TSimState : public QObject {
    Q_OBJECT
public:
    explicit TSimState(QObject* parent = nullptr);

    // Reads the active configuration profile of the scenario. Times in the seed tables are
    // seconds before `now`. Tables a scenario leaves out simply give an empty state.
    void seed(const TSimDatabase& database, qint64 now);

    // The server clock in Unix seconds (replaceable for tests). The traffic engine shifts it
    // into the past while it warms up, so that calls begun then carry their true age.
    qint64 now() const { return m_clock() + m_shift; }
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void setClockShift(qint64 seconds) { m_shift = seconds; }

    QString profileId() const { return m_profileId; }

    const QList<TSimAgent>& agents() const { return m_agents; }
    const QList<TSimQueue>& queues() const { return m_queues; }
    const QList<TSimExtension>& extensions() const { return m_extensions; }
    const QList<TSimPort>& ports() const { return m_ports; }
    const QList<TSimTrunk>& trunks() const { return m_trunks; }
    const QList<TSimPauseReason>& pauseReasons() const { return m_pauseReasons; }
    const QList<TSimQueueReasons>& callReasons() const { return m_callReasons; }
    QList<TSimPermission> permissions(const QString& user) const {
        return m_permissions.value(user);
    }
    QStringList chatUsersOnline() const { return m_chatOnline; }
    // The running campaign sending its answered calls to a queue, or null.
    const TSimCampaign* campaignForQueue(const QString& queueId) const;
    const QList<TSimCampaign>& campaigns() const { return m_campaigns; }

    // Live channels in the order they were created, keyed by that order.
    const std::map<quint64, TSimChannel>& channelMap() const { return m_channels; }
    auto channels() const { return std::views::values(m_channels); }
    qsizetype channelCount() const { return qsizetype(m_channels.size()); }

    const TSimAgent* agent(const QString& id) const; // "1001" or "Agent/1001"
    const TSimQueue* queue(const QString& id) const;
    const TSimChannel* channel(const QString& uniqueId) const;
    const TSimChannel* channelByName(const QString& name) const;
    const TSimExtension* extension(const QString& id) const;
    const TSimPort* port(int id) const;
    const TSimTrunk* trunk(const QString& name) const;
    const TSimPauseReason* pauseReason(int id) const;
    qsizetype queueIndex(const QString& id) const; // -1 when unknown
    // Unique ids of the live channels on a device (a telephone or a trunk line), oldest first.
    QStringList channelsOn(const QString& device) const { return m_onDevice.value(device); }
    bool deviceInUse(const QString& device) const { return m_onDevice.contains(device); }
    // The logged-in agent sitting at a device, or null.
    const TSimAgent* agentAt(const QString& device) const;
    // 1-based place of a call among the waiting callers of its queue, 0 when not waiting.
    int waitingPosition(const QString& uniqueId) const;

    // Fields that no index depends on may be changed in place through these.
    TSimAgent* agentForUpdate(const QString& id);
    TSimQueue* queueForUpdate(const QString& id);
    TSimChannel* channelForUpdate(const QString& uniqueId);
    TSimPort* portForUpdate(int id);
    TSimTrunk* trunkForUpdate(const QString& name);
    TSimQueueMember* memberForUpdate(const QString& queueId, const QString& agentId);

    // Changes. Each returns false when what it names does not exist.
    bool loginAgent(const QString& id, const QString& device);
    bool logoffAgent(const QString& id);
    bool setAgentPaused(const QString& id, bool paused, int reason);
    bool setAgentStatus(const QString& id, TSimAgent::Status status, const QString& talkingTo = {});
    bool addMember(const QString& queueId, const QString& agentId, int penalty = 0,
                   bool dynamic = false);
    bool removeMember(const QString& queueId, const QString& agentId);

    // A fresh unique id in the PBX's form, "<Unix time>.<sequence>".
    QString newUniqueId();
    // Adds a channel; a missing unique id or creation time is filled in. Returns the unique id,
    // or an empty text when a live channel already has that name or unique id.
    QString addChannel(TSimChannel channel);
    bool removeChannel(const QString& uniqueId);
    bool renameChannel(const QString& uniqueId, const QString& newName);
    bool setChannelState(const QString& uniqueId, const QString& state);
    bool bridge(const QString& uniqueIdA, const QString& uniqueIdB);
    bool unbridge(const QString& uniqueId);
    bool setChannelVariable(const QString& uniqueId, const QString& name, const QString& value);
    // A call enters a queue at the end and returns its position (0 when it cannot: unknown
    // queue or channel, or the queue is full) / is answered there by an agent (it stops waiting
    // but stays the queue's call) / leaves it altogether.
    int joinQueue(const QString& queueId, const QString& uniqueId);
    bool answerQueueCall(const QString& uniqueId, const QString& agentId);
    bool leaveQueue(const QString& uniqueId);

    bool setExtensionRegistered(const QString& id, bool registered, const QString& address = {});
    void setChatUserOnline(const QString& user, bool online);

    // One more call of a queue classified under a reason (and a sub-reason when not empty).
    // Returns false when the queue has no such reason (or the reason no such sub-reason).
    bool countCallReason(const QString& queueId, const QString& reason,
                         const QString& subReason = {});
    const TSimQueueReasons* reasonsOf(const QString& queueId) const;

Q_SIGNALS:
    // A queue call came, was answered or went (the server keeps its active-calls table in step).
    void queueCallChanged(const QString& uniqueId);

private:
    TSimAgent* findAgent(const QString& id);
    TSimQueue* findQueue(const QString& id);
    TSimChannel* findChannel(const QString& uniqueId);
    void numberPorts();
    void dropFromQueue(TSimChannel& channel);
    void useDevice(const QString& device, const QString& uniqueId, bool on);

    std::function<qint64()> m_clock;
    qint64 m_shift = 0;
    QString m_profileId;
    QList<TSimAgent> m_agents;
    QHash<QString, qsizetype> m_agentIndex;
    QList<TSimQueue> m_queues;
    QHash<QString, qsizetype> m_queueIndex;
    std::map<quint64, TSimChannel> m_channels;
    QHash<QString, quint64> m_channelByUid;
    QHash<QString, quint64> m_channelByName;
    QHash<QString, QStringList> m_onDevice;  // device -> unique ids of its live channels
    QHash<QString, QString> m_agentAtDevice; // device -> logged-in agent's id
    quint64 m_nextOrder = 1;
    QList<TSimExtension> m_extensions;
    QHash<QString, qsizetype> m_extensionIndex;
    QList<TSimPort> m_ports;
    QHash<int, qsizetype> m_portIndex;
    QList<TSimTrunk> m_trunks;
    QHash<QString, qsizetype> m_trunkIndex;
    QList<TSimPauseReason> m_pauseReasons;
    QList<TSimQueueReasons> m_callReasons;
    QHash<QString, qsizetype> m_callReasonIndex;         // queue id -> index in m_callReasons
    QHash<QString, QList<TSimPermission>> m_permissions; // by user name
    QStringList m_chatOnline;
    QList<TSimCampaign> m_campaigns;
    quint64 m_nextUniqueId = 1;
};
