#include "TSimAnswers.h"

#include "TSimState.h"

namespace {

TSimPacket& withId(TSimPacket& p, const QString& actionId) {
    if (!actionId.isEmpty()) p.add(QStringLiteral("ActionID"), actionId);
    return p;
}

TSimPacket closing(const QString& name, const QString& actionId) {
    TSimPacket p = TSimPacket::event(name);
    return withId(p, actionId);
}

QString orNa(const QString& text) {
    return text.isEmpty() ? QStringLiteral("n/a") : text;
}

} // namespace

QList<TSimPacket> TSimAnswers::agents(const TSimState& state, const QString& actionId) {
    QList<TSimPacket> out;
    out.append(TSimPacket::response(QStringLiteral("Success"), actionId)
                   .add(QStringLiteral("Message"), QStringLiteral("Agents will follow")));
    for (const TSimAgent& a : state.agents()) {
        TSimPacket p = TSimPacket::event(QStringLiteral("Agents"));
        p.add(QStringLiteral("Agent"), a.id)
            .add(QStringLiteral("Name"), a.name)
            .add(QStringLiteral("Status"), a.statusText())
            .add(QStringLiteral("LoggedInChan"), orNa(a.loggedInChan))
            .add(QStringLiteral("LoggedInTime"), a.loggedInTime)
            .add(QStringLiteral("TalkingTo"), orNa(a.talkingTo))
            .add(QStringLiteral("LastCall"), a.lastCall)
            .add(QStringLiteral("LastPause"), a.lastPause);
        out.append(withId(p, actionId));
    }
    out.append(closing(QStringLiteral("AgentsComplete"), actionId));
    return out;
}

QList<TSimPacket> TSimAnswers::status(const TSimState& state, const QString& actionId) {
    QList<TSimPacket> out;
    out.append(TSimPacket::response(QStringLiteral("Success"), actionId)
                   .add(QStringLiteral("Message"), QStringLiteral("Channel status will follow")));
    const qint64 now = state.now();
    for (const TSimChannel& c : state.channels()) {
        TSimPacket p = TSimPacket::event(QStringLiteral("Status"));
        p.add(QStringLiteral("Privilege"), QStringLiteral("Call"))
            .add(QStringLiteral("Channel"), c.name)
            .add(QStringLiteral("CallerID"), c.callerIdNum)
            .add(QStringLiteral("CallerIDNum"), c.callerIdNum)
            .add(QStringLiteral("CallerIDName"), c.callerIdName)
            .add(QStringLiteral("State"), c.state)
            .add(QStringLiteral("Context"), c.context)
            .add(QStringLiteral("Extension"), c.extension)
            .add(QStringLiteral("Priority"), c.priority)
            .add(QStringLiteral("Seconds"), qMax<qint64>(0, now - c.created));
        if (!c.bridgedTo.isEmpty()) {
            p.add(QStringLiteral("BridgedChannel"), c.bridgedTo);
            if (const TSimChannel* other = state.channelByName(c.bridgedTo))
                p.add(QStringLiteral("BridgedUniqueid"), other->uniqueId);
        }
        p.add(QStringLiteral("Uniqueid"), c.uniqueId);
        if (!c.queue.isEmpty()) p.add(QStringLiteral("Queue"), c.queue);
        out.append(withId(p, actionId));
    }
    TSimPacket done = closing(QStringLiteral("StatusComplete"), actionId);
    done.add(QStringLiteral("Items"), qint64(state.channels().size()));
    out.append(done);
    return out;
}

QList<TSimPacket> TSimAnswers::queueStatus(const TSimState& state, const QString& actionId,
                                           const QString& only) {
    QList<TSimPacket> out;
    out.append(TSimPacket::response(QStringLiteral("Success"), actionId)
                   .add(QStringLiteral("Message"), QStringLiteral("Queue status will follow")));
    const qint64 now = state.now();
    for (const TSimQueue& q : state.queues()) {
        // Chat queues belong to the chat server's own listing.
        if (q.type == u"c" || (!only.isEmpty() && q.id != only)) continue;
        TSimPacket params = TSimPacket::event(QStringLiteral("QueueParams"));
        params.add(QStringLiteral("Queue"), q.id)
            .add(QStringLiteral("Max"), q.max)
            .add(QStringLiteral("Strategy"), q.strategy)
            .add(QStringLiteral("Calls"), qint64(q.waiting.size()))
            .add(QStringLiteral("HoldTime"), q.holdTime)
            .add(QStringLiteral("TalkTime"), q.talkTime)
            .add(QStringLiteral("Completed"), q.completed)
            .add(QStringLiteral("Abandoned"), q.abandoned)
            .add(QStringLiteral("Received"), qint64(q.completed) + q.abandoned)
            .add(QStringLiteral("ExitWithKey"), q.exitWithKey)
            .add(QStringLiteral("ServiceLevel"), q.serviceLevel)
            .add(QStringLiteral("ServiceLevelPerf"), q.serviceLevelPerf)
            .add(QStringLiteral("Weight"), q.weight);
        out.append(withId(params, actionId));
        for (const TSimQueueMember& m : q.members) {
            const TSimAgent* a = state.agent(m.agentId);
            if (!a) continue;
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueMember"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Name"), a->name)
                .add(QStringLiteral("Location"), a->interface())
                .add(QStringLiteral("Membership"), QStringLiteral("static"))
                .add(QStringLiteral("Penalty"), m.penalty)
                .add(QStringLiteral("CallsTaken"), m.callsTaken)
                .add(QStringLiteral("LastCall"), a->lastCall)
                .add(QStringLiteral("Status"), a->deviceState())
                .add(QStringLiteral("Paused"), a->paused ? 1 : 0)
                .add(QStringLiteral("PauseReason"),
                     a->paused ? QString::number(a->pauseReason) : QStringLiteral("n/a"))
                .add(QStringLiteral("PauseStart"), a->pauseStart);
            out.append(withId(p, actionId));
        }
        for (qsizetype i = 0; i < q.waiting.size(); ++i) {
            const TSimChannel* c = state.channel(q.waiting.at(i));
            if (!c) continue;
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueEntry"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Position"), i + 1)
                .add(QStringLiteral("Channel"), c->name)
                .add(QStringLiteral("Uniqueid"), c->uniqueId)
                .add(QStringLiteral("CallerIDNum"), c->callerIdNum)
                .add(QStringLiteral("CallerIDName"), c->callerIdName)
                .add(QStringLiteral("Wait"), qMax<qint64>(0, now - c->queueJoined));
            out.append(withId(p, actionId));
        }
    }
    out.append(closing(QStringLiteral("QueueStatusComplete"), actionId));
    return out;
}

QList<TSimPacket> TSimAnswers::callReasonCounts(const TSimState& state, const QString& actionId) {
    QList<TSimPacket> out;
    out.append(TSimPacket::response(QStringLiteral("Success"), actionId));
    const QList<TSimCallReason>& all = state.callReasons();
    // Every reason before its sub-reasons: the monitor ignores a sub-reason it has no reason for.
    for (const TSimCallReason& r : all) {
        if (!r.subReason.isEmpty()) continue;
        TSimPacket p = TSimPacket::event(QStringLiteral("QueueCallReasonCount"));
        p.add(QStringLiteral("Queue"), r.queue)
            .add(QStringLiteral("Reason"), r.reason)
            .add(QStringLiteral("Count"), r.count);
        out.append(withId(p, actionId));
        for (const TSimCallReason& s : all) {
            if (s.subReason.isEmpty() || s.queue != r.queue || s.reason != r.reason) continue;
            TSimPacket sub = TSimPacket::event(QStringLiteral("QueueCallSubReasonCount"));
            sub.add(QStringLiteral("Queue"), s.queue)
                .add(QStringLiteral("Reason"), s.reason)
                .add(QStringLiteral("SubReason"), s.subReason)
                .add(QStringLiteral("Count"), s.count);
            out.append(withId(sub, actionId));
        }
    }
    out.append(closing(QStringLiteral("QueueCallReasonCountComplete"), actionId));
    return out;
}

QList<TSimPacket> TSimAnswers::userPermissions(const TSimState& state, const QString& actionId,
                                               const QString& user) {
    QList<TSimPacket> out;
    out.append(TSimPacket::response(QStringLiteral("Success"), actionId));
    for (const TSimPermission& perm : state.permissions(user)) {
        TSimPacket p = TSimPacket::event(QStringLiteral("ZXUserPermission"));
        p.add(QStringLiteral("Group"), perm.group)
            .add(QStringLiteral("Permission"), perm.permission);
        out.append(withId(p, actionId));
        // The monitor reads at most nine values per event; longer lists take several events.
        for (qsizetype first = 0; first < perm.values.size(); first += ValuesPerDetail) {
            TSimPacket d = TSimPacket::event(QStringLiteral("ZXUserPermissionDetail"));
            d.add(QStringLiteral("Group"), perm.group)
                .add(QStringLiteral("Permission"), perm.permission);
            const qsizetype last = qMin(first + ValuesPerDetail, perm.values.size());
            for (qsizetype i = first; i < last; ++i)
                d.add(QStringLiteral("Value%1").arg(i - first + 1), perm.values.at(i));
            out.append(withId(d, actionId));
        }
    }
    out.append(closing(QStringLiteral("ZXUserPermissionsComplete"), actionId));
    return out;
}

QList<TSimPacket> TSimAnswers::timeStamp(const TSimState& state, const QString& actionId) {
    TSimPacket event = TSimPacket::event(QStringLiteral("ZXTimeStamp"));
    event.add(QStringLiteral("TimeStamp"), state.now());
    return {TSimPacket::response(QStringLiteral("Success"), actionId), withId(event, actionId)};
}

QList<TSimPacket> TSimAnswers::getVar(const TSimState& state, const QString& actionId,
                                      const QString& channel, const QString& variable) {
    QString value;
    if (const TSimChannel* c = state.channelByName(channel)) value = c->variables.value(variable);
    TSimPacket p = TSimPacket::response(QStringLiteral("Success"), actionId);
    p.add(QStringLiteral("Variable"), variable).add(QStringLiteral("Value"), value);
    return {p};
}

QList<TSimPacket> TSimAnswers::afterLogin() {
    TSimPacket booted = TSimPacket::event(QStringLiteral("FullyBooted"));
    booted.add(QStringLiteral("Privilege"), QStringLiteral("system,all"))
        .add(QStringLiteral("Status"), QStringLiteral("Fully Booted"))
        .add(QStringLiteral("Version"), QStringLiteral("1.2.70.0"))
        .add(QStringLiteral("UsarLoginWindows"), QStringLiteral("0"));
    TSimPacket title = TSimPacket::event(QStringLiteral("Titulo"));
    title.add(QStringLiteral("CSTA"), QStringLiteral("0"));
    return {booted, title};
}
