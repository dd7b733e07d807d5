#include "TSimEvents.h"

#include "TSimState.h"

namespace {

const QString callPrivilege = QStringLiteral("call,all");
const QString agentPrivilege = QStringLiteral("agent,all");
const QString systemPrivilege = QStringLiteral("system,all");

TSimPacket event(const char* name, const QString& privilege) {
    TSimPacket p = TSimPacket::event(QLatin1StringView(name));
    p.add(QStringLiteral("Privilege"), privilege);
    return p;
}

// The PBX's numbers for the channel states it names.
int stateNumber(const QString& state) {
    static const QHash<QString, int> numbers = {
        {QStringLiteral("Down"), 0},    {QStringLiteral("Rsrvd"), 1},
        {QStringLiteral("OffHook"), 2}, {QStringLiteral("Dialing"), 3},
        {QStringLiteral("Ring"), 4},    {QStringLiteral("Ringing"), 5},
        {QStringLiteral("Up"), 6},      {QStringLiteral("Busy"), 7}};
    return numbers.value(state, 0);
}

QString causeText(int cause) {
    switch (cause) {
    case 16:
        return QStringLiteral("Normal Clearing");
    case 17:
        return QStringLiteral("User busy");
    case 19:
        return QStringLiteral("User alerting, no answer");
    case 21:
        return QStringLiteral("Call Rejected");
    case 38:
        return QStringLiteral("Network out of order");
    default:
        return QStringLiteral("Unknown");
    }
}

TSimPacket& callerId(TSimPacket& p, const TSimChannel& c) {
    return p.add(QStringLiteral("CallerIDNum"), c.callerIdNum)
        .add(QStringLiteral("CallerIDName"), c.callerIdName);
}

TSimPacket& memberPauseKeys(TSimPacket& p, const TSimAgent& a) {
    return p.add(QStringLiteral("Paused"), a.paused ? 1 : 0)
        .add(QStringLiteral("PauseReason"), a.paused ? a.pauseReason : 0)
        .add(QStringLiteral("PauseStart"), a.paused ? a.pauseStart : 0);
}

} // namespace

namespace TSimEvents {

TSimPacket newchannel(const TSimChannel& c) {
    TSimPacket p = event("Newchannel", callPrivilege);
    p.add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("State"), c.state)
        .add(QStringLiteral("ChannelState"), stateNumber(c.state))
        .add(QStringLiteral("ChannelStateDesc"), c.state);
    callerId(p, c)
        .add(QStringLiteral("Context"), c.context)
        .add(QStringLiteral("Exten"), c.extension)
        .add(QStringLiteral("Uniqueid"), c.uniqueId);
    return p;
}

TSimPacket newstate(const TSimChannel& c) {
    TSimPacket p = event("Newstate", callPrivilege);
    p.add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("State"), c.state)
        .add(QStringLiteral("ChannelState"), stateNumber(c.state))
        .add(QStringLiteral("ChannelStateDesc"), c.state)
        .add(QStringLiteral("CallerID"), c.callerIdNum);
    return callerId(p, c).add(QStringLiteral("Uniqueid"), c.uniqueId);
}

TSimPacket newexten(const TSimChannel& c, const QString& application, const QString& appData) {
    TSimPacket p = event("Newexten", callPrivilege);
    return p.add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("Context"), c.context)
        .add(QStringLiteral("Extension"), c.extension)
        .add(QStringLiteral("Priority"), c.priority)
        .add(QStringLiteral("Application"), application)
        .add(QStringLiteral("AppData"), appData)
        .add(QStringLiteral("Uniqueid"), c.uniqueId);
}

TSimPacket newcallerid(const TSimChannel& c) {
    TSimPacket p = event("Newcallerid", callPrivilege);
    p.add(QStringLiteral("Channel"), c.name).add(QStringLiteral("CallerID"), c.callerIdNum);
    return callerId(p, c)
        .add(QStringLiteral("Uniqueid"), c.uniqueId)
        .add(QStringLiteral("CID-CallingPres"),
             QStringLiteral("0 (Presentation Allowed, Not Screened)"));
}

TSimPacket dialBegin(const TSimChannel& source, const TSimChannel& destination,
                     const QString& dialString) {
    TSimPacket p = event("Dial", callPrivilege);
    p.add(QStringLiteral("SubEvent"), QStringLiteral("Begin"))
        .add(QStringLiteral("Channel"), source.name)
        .add(QStringLiteral("Destination"), destination.name);
    return callerId(p, source)
        .add(QStringLiteral("Uniqueid"), source.uniqueId)
        .add(QStringLiteral("DestUniqueID"), destination.uniqueId)
        .add(QStringLiteral("Dialstring"), dialString);
}

TSimPacket dialEnd(const TSimChannel& source, const QString& dialStatus) {
    TSimPacket p = event("Dial", callPrivilege);
    return p.add(QStringLiteral("SubEvent"), QStringLiteral("End"))
        .add(QStringLiteral("Channel"), source.name)
        .add(QStringLiteral("Uniqueid"), source.uniqueId)
        .add(QStringLiteral("DialStatus"), dialStatus);
}

namespace {
TSimPacket pair(const char* name, const TSimChannel& a, const TSimChannel& b) {
    TSimPacket p = event(name, callPrivilege);
    return p.add(QStringLiteral("Channel1"), a.name)
        .add(QStringLiteral("Channel2"), b.name)
        .add(QStringLiteral("Uniqueid1"), a.uniqueId)
        .add(QStringLiteral("Uniqueid2"), b.uniqueId)
        .add(QStringLiteral("CallerID1"), a.callerIdNum)
        .add(QStringLiteral("CallerID2"), b.callerIdNum);
}
} // namespace

TSimPacket link(const TSimChannel& a, const TSimChannel& b) {
    return pair("Link", a, b);
}

TSimPacket unlink(const TSimChannel& a, const TSimChannel& b) {
    return pair("Unlink", a, b);
}

TSimPacket hangup(const TSimChannel& c, int cause) {
    TSimPacket p = event("Hangup", callPrivilege);
    p.add(QStringLiteral("Channel"), c.name).add(QStringLiteral("Uniqueid"), c.uniqueId);
    return callerId(p, c)
        .add(QStringLiteral("Cause"), cause)
        .add(QStringLiteral("Cause-txt"), causeText(cause));
}

TSimPacket rename(const QString& oldName, const QString& newName, const QString& uniqueId) {
    TSimPacket p = event("Rename", callPrivilege);
    return p.add(QStringLiteral("Oldname"), oldName)
        .add(QStringLiteral("Newname"), newName)
        .add(QStringLiteral("Uniqueid"), uniqueId);
}

TSimPacket masquerade(const TSimChannel& clone, const TSimChannel& original) {
    TSimPacket p = event("Masquerade", callPrivilege);
    return p.add(QStringLiteral("Clone"), clone.name)
        .add(QStringLiteral("CloneState"), clone.state)
        .add(QStringLiteral("Original"), original.name)
        .add(QStringLiteral("OriginalState"), original.state);
}

TSimPacket newCall(const TSimChannel& c, const QString& tipo, const QString& callerIdText,
                   const QString& trunk) {
    TSimPacket p = event("UserEvent", QStringLiteral("user,all"));
    return p.add(QStringLiteral("UserEvent"), QStringLiteral("zxnewcall"))
        .add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("Uniqueid"), c.uniqueId)
        .add(QStringLiteral("Tipo"), tipo)
        .add(QStringLiteral("CallerId"), callerIdText)
        .add(QStringLiteral("Tronco"), trunk);
}

TSimPacket peerStatus(const QString& peer, const QString& status, const QString& address,
                      int latency) {
    TSimPacket p = event("PeerStatus", systemPrivilege);
    p.add(QStringLiteral("ChannelType"), QStringLiteral("SIP"))
        .add(QStringLiteral("Peer"), peer)
        .add(QStringLiteral("PeerStatus"), status);
    if (!address.isEmpty()) p.add(QStringLiteral("Address"), address);
    if (latency >= 0) p.add(QStringLiteral("Time"), latency);
    if (status == u"Unregistered") p.add(QStringLiteral("Cause"), QStringLiteral("Expired"));
    return p;
}

TSimPacket alarm(const QString& lineDevice, const QString& alarmText) {
    TSimPacket p = event("Alarm", systemPrivilege);
    return p.add(QStringLiteral("Alarm"), alarmText).add(QStringLiteral("Channel"), lineDevice);
}

TSimPacket alarmClear(const QString& lineDevice, const QString& alarmText) {
    TSimPacket p = event("AlarmClear", systemPrivilege);
    return p.add(QStringLiteral("Alarm"), alarmText).add(QStringLiteral("Channel"), lineDevice);
}

TSimPacket antennaLevel(const QString& lineDevice, int percent) {
    TSimPacket p = event("AntennaLevel", systemPrivilege);
    return p.add(QStringLiteral("Channel"), lineDevice)
        .add(QStringLiteral("Signal"), QString::number(percent) + u'%');
}

TSimPacket operatorRegistry(const QString& lineDevice, const QString& carrier) {
    TSimPacket p = event("OperatorRegistry", systemPrivilege);
    return p.add(QStringLiteral("Channel"), lineDevice).add(QStringLiteral("Operator"), carrier);
}

TSimPacket join(const TSimQueue& q, const TSimChannel& c, int position) {
    TSimPacket p = event("Join", callPrivilege);
    p.add(QStringLiteral("Channel"), c.name).add(QStringLiteral("CallerID"), c.callerIdNum);
    return callerId(p, c)
        .add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Position"), position)
        .add(QStringLiteral("Count"), qint64(q.waiting.size()))
        .add(QStringLiteral("Uniqueid"), c.uniqueId);
}

TSimPacket leave(const TSimQueue& q, const TSimChannel& c, int position) {
    TSimPacket p = event("Leave", callPrivilege);
    return p.add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Count"), qint64(q.waiting.size()))
        .add(QStringLiteral("Position"), position)
        .add(QStringLiteral("Uniqueid"), c.uniqueId);
}

TSimPacket callerAbandon(const TSimQueue& q, const TSimChannel& c, int position,
                         int originalPosition, qint64 holdSeconds) {
    TSimPacket p = event("QueueCallerAbandon", agentPrivilege);
    return p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Uniqueid"), c.uniqueId)
        .add(QStringLiteral("Channel"), c.name)
        .add(QStringLiteral("Position"), position)
        .add(QStringLiteral("OriginalPosition"), originalPosition)
        .add(QStringLiteral("HoldTime"), holdSeconds);
}

TSimPacket agentCalled(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                       const TSimChannel& agentLeg) {
    TSimPacket p = event("AgentCalled", agentPrivilege);
    p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("AgentCalled"), a.interface())
        .add(QStringLiteral("AgentName"), a.name)
        .add(QStringLiteral("ChannelCalling"), caller.name)
        .add(QStringLiteral("DestinationChannel"), agentLeg.name);
    return callerId(p, caller)
        .add(QStringLiteral("Context"), caller.context)
        .add(QStringLiteral("Extension"), caller.extension)
        .add(QStringLiteral("Priority"), caller.priority)
        .add(QStringLiteral("Uniqueid"), caller.uniqueId);
}

TSimPacket agentRingNoAnswer(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                             qint64 ringSeconds) {
    TSimPacket p = event("AgentRingNoAnswer", agentPrivilege);
    return p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Uniqueid"), caller.uniqueId)
        .add(QStringLiteral("Channel"), caller.name)
        .add(QStringLiteral("Member"), a.interface())
        .add(QStringLiteral("MemberName"), a.name)
        .add(QStringLiteral("Ringtime"), ringSeconds);
}

TSimPacket agentConnect(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                        const TSimChannel& agentLeg, qint64 holdSeconds, qint64 ringSeconds) {
    TSimPacket p = event("AgentConnect", agentPrivilege);
    return p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Uniqueid"), caller.uniqueId)
        .add(QStringLiteral("Channel"), agentLeg.name)
        .add(QStringLiteral("Member"), a.interface())
        .add(QStringLiteral("MemberName"), a.name)
        .add(QStringLiteral("Holdtime"), holdSeconds)
        .add(QStringLiteral("BridgedChannel"), caller.name)
        .add(QStringLiteral("Ringtime"), ringSeconds);
}

TSimPacket agentComplete(const TSimQueue& q, const TSimAgent& a, const TSimChannel& caller,
                         const TSimChannel& agentLeg, qint64 holdSeconds, qint64 talkSeconds,
                         const QString& reason) {
    TSimPacket p = event("AgentComplete", agentPrivilege);
    return p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Uniqueid"), caller.uniqueId)
        .add(QStringLiteral("Channel"), agentLeg.name)
        .add(QStringLiteral("Member"), a.interface())
        .add(QStringLiteral("MemberName"), a.name)
        .add(QStringLiteral("HoldTime"), holdSeconds)
        .add(QStringLiteral("TalkTime"), talkSeconds)
        .add(QStringLiteral("Reason"), reason)
        .add(QStringLiteral("BridgedChannel"), caller.name);
}

TSimPacket agentLogin(const TSimAgent& a, const QString& uniqueId) {
    TSimPacket p = event("Agentlogin", agentPrivilege);
    return p.add(QStringLiteral("Agent"), a.id)
        .add(QStringLiteral("Channel"), a.loggedInChan)
        .add(QStringLiteral("Uniqueid"), uniqueId);
}

TSimPacket agentLogoff(const TSimAgent& a, qint64 loginSeconds) {
    TSimPacket p = event("Agentlogoff", agentPrivilege);
    return p.add(QStringLiteral("Agent"), a.id).add(QStringLiteral("Logintime"), loginSeconds);
}

TSimPacket hook(const TSimAgent& a, bool onHook) {
    TSimPacket p = event("Hook", agentPrivilege);
    return p.add(QStringLiteral("Channel"), a.id)
        .add(QStringLiteral("Device"), a.loggedInChan)
        .add(QStringLiteral("Status"), onHook ? 1 : 0);
}

TSimPacket memberStatus(const TSimQueue& q, const TSimAgent& a, const TSimQueueMember* m) {
    TSimPacket p = event("QueueMemberStatus", agentPrivilege);
    p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Location"), a.interface())
        .add(QStringLiteral("MemberName"), a.name)
        .add(QStringLiteral("Membership"),
             m && m->dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"))
        .add(QStringLiteral("Penalty"), m ? m->penalty : 0)
        .add(QStringLiteral("CallsTaken"), m ? m->callsTaken : 0)
        .add(QStringLiteral("LastCall"), a.lastCall)
        .add(QStringLiteral("Status"), a.deviceState());
    return memberPauseKeys(p, a);
}

TSimPacket memberPaused(const TSimQueue& q, const TSimAgent& a) {
    TSimPacket p = event("QueueMemberPaused", agentPrivilege);
    p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Location"), a.interface())
        .add(QStringLiteral("MemberName"), a.name);
    return memberPauseKeys(p, a);
}

TSimPacket memberAdded(const TSimQueue& q, const TSimAgent& a, const TSimQueueMember& m) {
    TSimPacket p = event("QueueMemberAdded", agentPrivilege);
    p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Location"), a.interface())
        .add(QStringLiteral("MemberName"), a.name)
        .add(QStringLiteral("Membership"),
             m.dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"))
        .add(QStringLiteral("Penalty"), m.penalty)
        .add(QStringLiteral("CallsTaken"), m.callsTaken)
        .add(QStringLiteral("LastCall"), a.lastCall)
        .add(QStringLiteral("Status"), a.deviceState());
    return memberPauseKeys(p, a);
}

TSimPacket memberRemoved(const TSimQueue& q, const TSimAgent& a) {
    TSimPacket p = event("QueueMemberRemoved", agentPrivilege);
    return p.add(QStringLiteral("Queue"), q.id)
        .add(QStringLiteral("Location"), a.interface())
        .add(QStringLiteral("MemberName"), a.name);
}

TSimPacket reasonCount(const QString& queue, const QString& reason, int count) {
    TSimPacket p = event("QueueCallReasonCount", agentPrivilege);
    return p.add(QStringLiteral("Queue"), queue)
        .add(QStringLiteral("Reason"), reason)
        .add(QStringLiteral("Count"), count);
}

TSimPacket subReasonCount(const QString& queue, const QString& reason, const QString& subReason,
                          int count) {
    TSimPacket p = event("QueueCallSubReasonCount", agentPrivilege);
    return p.add(QStringLiteral("Queue"), queue)
        .add(QStringLiteral("Reason"), reason)
        .add(QStringLiteral("SubReason"), subReason)
        .add(QStringLiteral("Count"), count);
}

TSimPacket reasonCountComplete() {
    return event("QueueCallReasonCountComplete", agentPrivilege);
}

} // namespace TSimEvents
