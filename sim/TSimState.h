#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

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
    int pauseReason = 0; // pause-reason id
    qint64 pauseStart = 0;
    qint64 lastCall = 0;
    qint64 lastPause = 0;
    QString talkingTo;

    QString interface() const { return QStringLiteral("Agent/") + id; }
    // Text of the Agents listing and device-state number of the queue-member listings.
    QString statusText() const;
    int deviceState() const;
};

struct TSimQueueMember {
    QString agentId;
    int penalty = 0;
    int callsTaken = 0;
};

struct TSimQueue {
    QString id; // also the queue's name on the PBX
    QString name;
    QString number;
    QString type; // "v" voice, "c" chat
    QString strategy = QStringLiteral("ringall");
    int max = 0;
    int holdTime = 0;
    int talkTime = 0;
    int completed = 0;
    int abandoned = 0;
    int exitWithKey = 0;
    int serviceLevel = 20;
    QString serviceLevelPerf = QStringLiteral("0.0");
    int weight = 0;
    QList<TSimQueueMember> members;
    QStringList waiting; // unique ids of the calls waiting, first in line first

    const TSimQueueMember* member(const QString& agentId) const;
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
};

struct TSimExtension {
    QString id;
    QString name;
    QString type; // "s" SIP, "i" IAX, "v" virtual, "f" hardware port
    bool registered = false;
    QString address;
    int port = 5060;
    int latency = 0; // ms
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
    int signal = 0; // cellular signal level, percent
    QString alarm;  // empty when the port is in service

    bool isDigitalTrunk() const { return type == u"t" && trunkType == u"d"; }
    // PBX device name of the port's i-th line.
    QString lineDevice(int i) const;
};

struct TSimTrunk {
    QString name;
    int portId = 0;
    int idTronco = 0;
    QString type; // "f" hardware, "s" SIP
    QString host;
    QString user;
    QString carrier;
    bool reachable = true;
};

struct TSimCallReason {
    QString queue;
    QString reason;
    QString subReason; // empty for the reason's own counter
    int count = 0;
};

struct TSimPermission {
    QString group;
    QString permission;
    QStringList values;
};

// The live call-centre state the server's answers are generated from: agents, queues with their
// members and waiting calls, channels, extensions and trunks. It is seeded from the scenario and
// then changed by code (the traffic engine, the monitor's actions); every listing follows.
class TSimState : public QObject {
    Q_OBJECT
public:
    explicit TSimState(QObject* parent = nullptr);

    // Reads the active configuration profile of the scenario. Times in the seed tables are
    // seconds before `now`. Tables a scenario leaves out simply give an empty state.
    void seed(const TSimDatabase& database, qint64 now);

    // The server clock in Unix seconds (replaceable for tests).
    qint64 now() const { return m_clock(); }
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    QString profileId() const { return m_profileId; }

    const QList<TSimAgent>& agents() const { return m_agents; }
    const QList<TSimQueue>& queues() const { return m_queues; }
    const QList<TSimChannel>& channels() const { return m_channels; }
    const QList<TSimExtension>& extensions() const { return m_extensions; }
    const QList<TSimPort>& ports() const { return m_ports; }
    const QList<TSimTrunk>& trunks() const { return m_trunks; }
    const QList<TSimCallReason>& callReasons() const { return m_callReasons; }
    QList<TSimPermission> permissions(const QString& user) const {
        return m_permissions.value(user);
    }
    QStringList chatUsersOnline() const { return m_chatOnline; }

    const TSimAgent* agent(const QString& id) const;
    const TSimQueue* queue(const QString& id) const;
    const TSimChannel* channel(const QString& uniqueId) const;
    const TSimChannel* channelByName(const QString& name) const;
    const TSimPort* port(int id) const;

    // Changes. Each returns false when what it names does not exist.
    bool loginAgent(const QString& id, const QString& device);
    bool logoffAgent(const QString& id);
    bool setAgentPaused(const QString& id, bool paused, int reason);
    bool setAgentStatus(const QString& id, TSimAgent::Status status, const QString& talkingTo = {});
    bool addMember(const QString& queueId, const QString& agentId, int penalty = 0);
    bool removeMember(const QString& queueId, const QString& agentId);

    // Adds a channel; a missing unique id or creation time is filled in. Returns the unique id.
    QString addChannel(TSimChannel channel);
    bool removeChannel(const QString& uniqueId);
    bool setChannelState(const QString& uniqueId, const QString& state);
    bool bridge(const QString& uniqueIdA, const QString& uniqueIdB);
    bool setChannelVariable(const QString& uniqueId, const QString& name, const QString& value);
    // A call enters a queue (at the end) / is answered there by an agent / leaves it.
    bool joinQueue(const QString& queueId, const QString& uniqueId);
    bool answerQueueCall(const QString& uniqueId, const QString& agentId);
    bool leaveQueue(const QString& uniqueId);

    bool setExtensionRegistered(const QString& id, bool registered, const QString& address = {});
    void setChatUserOnline(const QString& user, bool online);

Q_SIGNALS:
    // Queue calls changed (the server keeps its active-calls table in step).
    void queueCallsChanged();

private:
    TSimAgent* findAgent(const QString& id);
    TSimQueue* findQueue(const QString& id);
    TSimChannel* findChannel(const QString& uniqueId);
    void numberPorts();
    void dropFromQueues(const QString& uniqueId);

    std::function<qint64()> m_clock;
    QString m_profileId;
    QList<TSimAgent> m_agents;
    QList<TSimQueue> m_queues;
    QList<TSimChannel> m_channels;
    QList<TSimExtension> m_extensions;
    QList<TSimPort> m_ports;
    QList<TSimTrunk> m_trunks;
    QList<TSimCallReason> m_callReasons;
    QHash<QString, QList<TSimPermission>> m_permissions; // by user name
    QStringList m_chatOnline;
    quint64 m_nextUniqueId = 1;
};
