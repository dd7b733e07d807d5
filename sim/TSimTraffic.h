#pragma once

#include "TSimPacket.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

class TSimState;
struct TSimAgent;
struct TSimChannel;
struct TSimQueue;

// The answer to one of the monitor's agent actions.
struct TSimActionResult {
    bool ok = false;
    QString message;
};

// How busy the call centre is made; defaults suit the demo, a scenario's SimTrafego row may
// change them.
struct TSimTrafficProfile {
    double load = 1.05;           // offered calls per agent able to take one (1 = just enough)
    int patienceSeconds = 180;    // mean time a caller waits before giving up
    int talkSeconds = 0;          // mean talk time; 0 = each queue's own TalkTime (or 150)
    int targetChannels = 0;       // keep about this many live channels (0 = as the load gives)
    int maxChannels = 60000;      // never more live channels than this
    double internalPerHour = 2;   // calls each telephone makes to another, per hour
    double outgoingPerHour = 1.5; // calls each telephone makes to the outside, per hour
};

// The live traffic of the call centre. Everything happens in "traffic time", milliseconds since
// the engine started, on a schedule of tasks; the QTimer only decides when the schedule catches
// up with the wall clock (times --speed). Tasks take their times from the task that scheduled
// them and draw from one seeded generator, so a seed gives the same events in the same order
// whatever the clients do — unless they act on agents, which changes the call centre.
//
// Every change goes through the live state first and is then told with the events a PBX sends;
// the events leave through the `event` signal, which the server hands to every logged-in manager
// connection. The same operations are public for tests and for the monitor's agent actions.
class TSimTraffic : public QObject {
    Q_OBJECT
public:
    TSimTraffic(TSimState* state, quint32 seed, double speed, QObject* parent = nullptr);
    ~TSimTraffic() override;

    void setProfile(const TSimTrafficProfile& profile) { m_profile = profile; }
    const TSimTrafficProfile& profile() const { return m_profile; }

    // Schedules the call centre's own life (arrivals, pauses, registrations...). Without it only
    // what is started by hand or by an action happens.
    void schedule();
    // Runs the schedule against the wall clock. `warmUpSeconds` of traffic time are played at
    // once first (with the clock shifted back), so a client connecting right away finds calls
    // going on.
    void start(int warmUpSeconds = 0);
    void stop();
    bool isRunning() const { return m_running; }

    // Runs the next task of the schedule; false when nothing is scheduled.
    bool step();
    // Runs every task due within the next `ms` of traffic time; returns how many ran.
    int advance(qint64 ms);
    qint64 trafficTime() const { return m_now; }
    qsizetype pendingTasks() const { return qsizetype(m_tasks.size()); }
    qsizetype liveCalls() const { return qsizetype(m_calls.size()); }
    quint64 eventsSent() const { return m_eventsSent; }

    // Calls by hand (tests, demonstrations). Each returns the unique id of the call's first leg
    // (the caller), or an empty text when it cannot be placed; later steps take that id.
    // An incoming call on a trunk (any trunk with a free line when empty) that enters `queue`
    // after the greeting (at once when `greet` is false).
    QString startIncomingCall(const QString& queue, const QString& trunk = {}, bool greet = false);
    // Offers a waiting call to an agent: the agent's telephone rings.
    bool ringAgent(const QString& callerUid, const QString& agentId);
    // The ringing leg answers (queue calls, internal and outgoing calls alike).
    bool answer(const QString& callerUid);
    // The agent lets it ring out: the call goes back to waiting and the agent is paused.
    bool ringNoAnswer(const QString& callerUid);
    // The caller hangs up: a waiting caller abandons, a call in talk completes.
    bool hangup(const QString& callerUid);
    // One telephone calls another / the outside through a trunk (any free line when empty).
    QString startInternalCall(const QString& fromExtension, const QString& toExtension);
    QString startOutgoingCall(const QString& fromExtension, const QString& number,
                              const QString& trunk = {});
    // An agent's after-call work ends at once.
    bool endWrapUp(const QString& agentId);
    // Agents logging in and out by themselves (not through the monitor).
    bool login(const QString& agentId);
    // A telephone registers or drops; a port raises or clears an alarm.
    bool setRegistered(const QString& extension, bool registered);
    bool setPortAlarm(int portId, const QString& alarm);
    // Every call-reason counter again, without an action id.
    void recountCallReasons();

    // The monitor's agent actions, with the refusals a PBX gives. Events follow the answer: the
    // caller sends its response first, then calls releaseEvents().
    TSimActionResult queueAdd(const QString& queue, const QString& interface, const QString& paused,
                              const QString& penalty);
    TSimActionResult queueRemove(const QString& queue, const QString& interface);
    TSimActionResult queuePause(const QString& interface, const QString& paused,
                                const QString& reason, const QString& queue);
    TSimActionResult agentLogoff(const QString& agent);
    // Events are held (in order) from holdEvents() until the matching releaseEvents().
    void holdEvents() { ++m_holds; }
    void releaseEvents();

    // Counters for the state dump.
    struct Counters {
        quint64 incoming = 0, answered = 0, completed = 0, abandoned = 0, unanswered = 0,
                rejected = 0, internal = 0, outgoing = 0;
    };
    const Counters& counters() const { return m_counters; }
    // One line per call in progress, for the state dump.
    QStringList describeCalls() const;

    static constexpr int RingTimeoutMs = 15000;
    static constexpr int TasksPerTurn = 4000;
    // The share of a running campaign's queue calls that are the dialer's (none by default).
    void setDialerShare(double share) { m_dialerShare = std::clamp(share, 0.0, 1.0); }

Q_SIGNALS:
    void event(const TSimPacket& packet);

private:
    enum class Kind { Incoming, Internal, Outgoing };
    enum class Phase { Greeting, Waiting, Ringing, Talking };
    struct Call {
        quint64 id = 0;
        Kind kind = Kind::Incoming;
        Phase phase = Phase::Greeting;
        quint32 token = 0; // grows at every phase change: older tasks of the call do nothing
        QString a;         // first leg (the caller)
        QString b;         // second leg (ringing or answered), empty until there is one
        QString queue;     // incoming: its queue
        QString agent;     // incoming: the agent rung or talking; outgoing: the agent calling
        QString trunk;     // trunk name of the trunk leg, if any
        bool sipTrunk = false;
        QString number;          // outgoing: the number dialled
        qint64 waitingSince = 0; // traffic time it joined the queue
        qint64 ringingSince = 0;
        qint64 answeredAt = 0;
        int originalPosition = 0;
        quint32 queueTurn = 0; // which stay in the queue a patience task belongs to
    };
    struct Line {
        QString trunk;
        QString device; // hardware line device, or the SIP peer the call runs through
        bool sip = false;
    };
    using Task = std::function<void()>;
    using CallStep = void (TSimTraffic::*)(Call&);
    using AgentStep = void (TSimTraffic::*)(const QString&);

    // Schedule.
    void at(qint64 delayMs, Task task);
    void callAfter(const Call& call, qint64 delayMs, CallStep step);
    // Schedules an agent's step; scheduling again (or bumping the token) cancels the older one.
    void agentAfter(QHash<QString, quint32>& tokens, const QString& agentId, qint64 delayMs,
                    AgentStep step);
    void runDue();
    void armTimer();
    qint64 wallTrafficTime() const;

    // Randomness.
    int between(int low, int high);
    bool chance(double p);
    qint64 exponentialMs(double meanMs);
    QString callerNumber(bool mobile);
    QString customerName();
    qint64 talkMs(const TSimQueue& queue);

    // Events.
    void send(const TSimPacket& packet);
    void sendMembers(const TSimAgent& agent, bool status, bool paused);

    // Channels and lines.
    QString nextSuffix(bool sip);
    const TSimChannel* open(const QString& device, const QString& state, const QString& number,
                            const QString& name, const QString& context, const QString& exten,
                            bool outgoing);
    void setState(const QString& uid, const QString& state);
    void dialplan(const QString& uid, const QString& context, int priority,
                  const QString& application, const QString& appData);
    void close(const QString& uid, int cause);
    bool freeLine(const QString& trunkName, bool incoming, Line* line);
    bool pickLine(bool incoming, bool mobile, Line* line);
    bool lineUsable(const QString& device) const;

    // Calls and queues.
    Call* newCall(Kind kind);
    Call* callOf(const QString& uid);
    void attach(Call& call, const QString& uid, bool first);
    void endCall(Call& call);
    void countAgents();
    void arrival();
    void enterQueue(Call& call);
    void patienceOver(quint64 callId, quint32 queueTurn);
    void markQueue(const QString& queueId);
    void dispatch();
    QString pickAgent(const TSimQueue& queue);
    void ring(Call& call, const QString& agentId);
    void answered(Call& call);
    void ringTimeout(Call& call);
    void releaseAgent(Call& call);
    void cancelRing(Call& call);
    void abandon(Call& call);
    void talkOver(Call& call);
    void complete(Call& call, bool callerHangsUp);
    void wrapUpOver(const QString& agentId);
    void agentFree(const QString& agentId);
    void classify(const QString& queueId);
    void recountTick();

    // Internal and outgoing calls.
    QString freeTelephone(const QString& except = {});
    void internalArrival();
    void outgoingArrival();
    void internalAnswerOrNot(Call& call);
    void pickup(Call& call, const QString& byExtension);
    void answerPrivate(Call& call);
    void privateTalkOver(Call& call);
    void outgoingProgress(Call& call);
    void outgoingAnswerOrNot(Call& call);
    void finishPrivate(Call& call, int cause);

    // Agents.
    void agentLife();
    bool logoff(const QString& agentId);
    int pickPauseReason();
    qint64 pauseMs(int reason);
    void pause(const QString& agentId, int reason, bool planEnd);
    void unpause(const QString& agentId);

    // Telephones, lines and trunks.
    void registrationChange();
    void dropCall(Call& call, int cause);
    void dropCallsOn(const QString& device, int cause);
    void alarmChange();
    QString carrierOf(int portId) const;
    void signalChange();
    void sipTrunkChange();

    TSimState* m_state;
    QRandomGenerator m_random;
    // Which calls are the dialer's, and whom they reach: drawn apart, so the rest of the traffic
    // stays what the seed makes it.
    QRandomGenerator m_dialerRandom;
    double m_dialerShare = 0;
    double m_speed;
    TSimTrafficProfile m_profile;
    std::map<std::pair<qint64, quint64>, Task> m_tasks;
    quint64 m_taskSequence = 0;
    qint64 m_now = 0;
    bool m_running = false;
    bool m_scheduled = false;
    QTimer m_timer;
    QElapsedTimer m_wall;
    qint64 m_wallBase = 0; // traffic time when m_wall started
    std::map<quint64, Call> m_calls;
    QHash<QString, quint64> m_callByLeg;
    QHash<QString, quint64> m_callOfAgent; // agent -> the call ringing it or it is making
    quint64 m_nextCall = 1;
    quint64 m_suffix = 0x1f4a;
    QHash<QString, QStringList> m_trunkLines; // hardware trunk -> its voice line devices
    QHash<QString, int> m_linePort;           // line device -> port id
    QHash<QString, int> m_sipUse;             // SIP trunk -> calls on it
    QHash<QString, quint32> m_wrapTokens;
    QHash<QString, quint32> m_pauseTokens;
    QHash<QString, QString> m_wrapUpQueue; // agent in after-call work -> queue of its call
    std::set<qsizetype> m_dirtyQueues;
    bool m_dispatchPending = false;
    QHash<QString, int> m_roundRobin; // queue -> index of the member rung last
    QHash<QString, int> m_talkMean;   // queue -> mean talk time in seconds
    int m_activeAgents = 0;           // logged in and not paused (counted now and then)
    int m_loggedInAgents = 0;
    int m_pausedAgents = 0;
    double m_meanTalkSeconds = 150;
    QList<int> m_queueWeights; // by queue index
    int m_queueWeightTotal = 0;
    int m_holds = 0;
    QList<TSimPacket> m_held;
    quint64 m_eventsSent = 0;
    Counters m_counters;
};
