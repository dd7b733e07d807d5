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

namespace {

class TAgentsListing : public TSimListing {
public:
    TAgentsListing(const TSimState& state, const QString& actionId)
        : m_state(state), m_id(actionId) {}

    bool next(QList<TSimPacket>* out, int budget) override {
        if (!m_started) {
            m_started = true;
            out->append(TSimPacket::response(QStringLiteral("Success"), m_id)
                            .add(QStringLiteral("Message"), QStringLiteral("Agents will follow")));
        }
        const QList<TSimAgent>& agents = m_state.agents();
        for (; m_next < agents.size() && budget > 0; ++m_next, --budget) {
            const TSimAgent& a = agents.at(m_next);
            TSimPacket p = TSimPacket::event(QStringLiteral("Agents"));
            p.add(QStringLiteral("Agent"), a.id)
                .add(QStringLiteral("Name"), a.name)
                .add(QStringLiteral("Status"), a.statusText())
                .add(QStringLiteral("LoggedInChan"), orNa(a.loggedInChan))
                .add(QStringLiteral("LoggedInTime"), a.loggedInTime)
                .add(QStringLiteral("TalkingTo"), orNa(a.talkingTo))
                .add(QStringLiteral("LastCall"), a.lastCall)
                .add(QStringLiteral("LastPause"), a.lastPause);
            out->append(withId(p, m_id));
        }
        if (m_next < agents.size()) return true;
        out->append(closing(QStringLiteral("AgentsComplete"), m_id));
        return false;
    }

private:
    const TSimState& m_state;
    QString m_id;
    bool m_started = false;
    qsizetype m_next = 0;
};

class TStatusListing : public TSimListing {
public:
    TStatusListing(const TSimState& state, const QString& actionId)
        : m_state(state), m_id(actionId) {}

    bool next(QList<TSimPacket>* out, int budget) override {
        if (!m_started) {
            m_started = true;
            out->append(
                TSimPacket::response(QStringLiteral("Success"), m_id)
                    .add(QStringLiteral("Message"), QStringLiteral("Channel status will follow")));
        }
        const qint64 now = m_state.now();
        const std::map<quint64, TSimChannel>& channels = m_state.channelMap();
        // Resumes after the last channel listed, whatever came or went since.
        auto it = channels.lower_bound(m_next);
        for (; it != channels.end() && budget > 0; ++it, --budget) {
            const TSimChannel& c = it->second;
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
                p.add(QStringLiteral("Link"), c.bridgedTo)
                    .add(QStringLiteral("BridgedChannel"), c.bridgedTo);
                if (const TSimChannel* other = m_state.channelByName(c.bridgedTo))
                    p.add(QStringLiteral("BridgedUniqueid"), other->uniqueId);
            }
            p.add(QStringLiteral("Uniqueid"), c.uniqueId);
            if (!c.queue.isEmpty()) p.add(QStringLiteral("Queue"), c.queue);
            out->append(withId(p, m_id));
            m_next = it->first + 1;
            ++m_items;
        }
        if (it != channels.end()) return true;
        TSimPacket done = closing(QStringLiteral("StatusComplete"), m_id);
        done.add(QStringLiteral("Items"), m_items);
        out->append(done);
        return false;
    }

private:
    const TSimState& m_state;
    QString m_id;
    bool m_started = false;
    quint64 m_next = 0;
    qint64 m_items = 0;
};

class TQueueStatusListing : public TSimListing {
public:
    TQueueStatusListing(const TSimState& state, const QString& actionId, const QString& only)
        : m_state(state), m_id(actionId), m_only(only) {}

    bool next(QList<TSimPacket>* out, int budget) override {
        if (!m_started) {
            m_started = true;
            out->append(
                TSimPacket::response(QStringLiteral("Success"), m_id)
                    .add(QStringLiteral("Message"), QStringLiteral("Queue status will follow")));
            if (!m_only.isEmpty()) {
                // One queue: straight to it.
                const qsizetype i = m_state.queueIndex(m_only);
                m_next = i < 0 ? m_state.queues().size() : i;
                m_last = i < 0 ? m_next : i + 1;
            } else {
                m_last = m_state.queues().size();
            }
        }
        const QList<TSimQueue>& queues = m_state.queues();
        while (m_next < m_last && budget > 0) {
            const TSimQueue& q = queues.at(m_next++);
            // Chat queues belong to the chat server's own listing.
            if (!q.isVoice()) continue;
            budget -= append(q, out);
        }
        if (m_next < m_last) return true;
        out->append(closing(QStringLiteral("QueueStatusComplete"), m_id));
        return false;
    }

private:
    int append(const TSimQueue& q, QList<TSimPacket>* out) const {
        const qint64 now = m_state.now();
        const qsizetype before = out->size();
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
            .add(QStringLiteral("ServiceLevelPerf"), q.serviceLevelPerf())
            .add(QStringLiteral("Weight"), q.weight);
        out->append(withId(params, m_id));
        for (const TSimQueueMember& m : q.members) {
            const TSimAgent* a = m_state.agent(m.agentId);
            if (!a) continue;
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueMember"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Name"), a->name)
                .add(QStringLiteral("Location"), a->interface())
                .add(QStringLiteral("Membership"),
                     m.dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"))
                .add(QStringLiteral("Penalty"), m.penalty)
                .add(QStringLiteral("CallsTaken"), m.callsTaken)
                .add(QStringLiteral("LastCall"), a->lastCall)
                .add(QStringLiteral("Status"), a->deviceState())
                .add(QStringLiteral("Paused"), a->paused ? 1 : 0)
                .add(QStringLiteral("PauseReason"),
                     a->paused ? QString::number(a->pauseReason) : QStringLiteral("n/a"))
                .add(QStringLiteral("PauseStart"), a->pauseStart);
            out->append(withId(p, m_id));
        }
        for (qsizetype i = 0; i < q.waiting.size(); ++i) {
            const TSimChannel* c = m_state.channel(q.waiting.at(i));
            if (!c) continue;
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueEntry"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Position"), i + 1)
                .add(QStringLiteral("Channel"), c->name)
                .add(QStringLiteral("Uniqueid"), c->uniqueId)
                .add(QStringLiteral("CallerIDNum"), c->callerIdNum)
                .add(QStringLiteral("CallerIDName"), c->callerIdName)
                .add(QStringLiteral("Wait"), qMax<qint64>(0, now - c->queueJoined));
            out->append(withId(p, m_id));
        }
        return int(out->size() - before);
    }

    const TSimState& m_state;
    QString m_id;
    QString m_only;
    bool m_started = false;
    qsizetype m_next = 0;
    qsizetype m_last = 0;
};

class TCallReasonListing : public TSimListing {
public:
    TCallReasonListing(const TSimState& state, const QString& actionId)
        : m_state(state), m_id(actionId) {}

    bool next(QList<TSimPacket>* out, int budget) override {
        if (!m_started) {
            m_started = true;
            out->append(TSimPacket::response(QStringLiteral("Success"), m_id));
        }
        const QList<TSimQueueReasons>& all = m_state.callReasons();
        // Every reason before its sub-reasons: the monitor ignores a sub-reason it has no
        // reason for.
        for (; m_next < all.size() && budget > 0; ++m_next) {
            const TSimQueueReasons& q = all.at(m_next);
            for (const TSimReasonCount& r : q.reasons) {
                TSimPacket p = TSimPacket::event(QStringLiteral("QueueCallReasonCount"));
                p.add(QStringLiteral("Queue"), q.queue)
                    .add(QStringLiteral("Reason"), r.name)
                    .add(QStringLiteral("Count"), r.count);
                out->append(withId(p, m_id));
                for (const TSimSubReasonCount& s : r.subReasons) {
                    TSimPacket sub = TSimPacket::event(QStringLiteral("QueueCallSubReasonCount"));
                    sub.add(QStringLiteral("Queue"), q.queue)
                        .add(QStringLiteral("Reason"), r.name)
                        .add(QStringLiteral("SubReason"), s.name)
                        .add(QStringLiteral("Count"), s.count);
                    out->append(withId(sub, m_id));
                }
                budget -= 1 + int(r.subReasons.size());
            }
        }
        if (m_next < all.size()) return true;
        out->append(closing(QStringLiteral("QueueCallReasonCountComplete"), m_id));
        return false;
    }

private:
    const TSimState& m_state;
    QString m_id;
    bool m_started = false;
    qsizetype m_next = 0;
};

} // namespace

QList<TSimPacket> TSimListing::all() {
    QList<TSimPacket> out;
    while (next(&out, 1000)) {
    }
    return out;
}

std::unique_ptr<TSimListing> TSimListing::agents(const TSimState& state, const QString& actionId) {
    return std::make_unique<TAgentsListing>(state, actionId);
}

std::unique_ptr<TSimListing> TSimListing::status(const TSimState& state, const QString& actionId) {
    return std::make_unique<TStatusListing>(state, actionId);
}

std::unique_ptr<TSimListing>
TSimListing::queueStatus(const TSimState& state, const QString& actionId, const QString& queue) {
    return std::make_unique<TQueueStatusListing>(state, actionId, queue);
}

std::unique_ptr<TSimListing> TSimListing::callReasonCounts(const TSimState& state,
                                                           const QString& actionId) {
    return std::make_unique<TCallReasonListing>(state, actionId);
}

QList<TSimPacket> TSimAnswers::agents(const TSimState& state, const QString& actionId) {
    return TSimListing::agents(state, actionId)->all();
}

QList<TSimPacket> TSimAnswers::status(const TSimState& state, const QString& actionId) {
    return TSimListing::status(state, actionId)->all();
}

QList<TSimPacket> TSimAnswers::queueStatus(const TSimState& state, const QString& actionId,
                                           const QString& queue) {
    return TSimListing::queueStatus(state, actionId, queue)->all();
}

QList<TSimPacket> TSimAnswers::callReasonCounts(const TSimState& state, const QString& actionId) {
    return TSimListing::callReasonCounts(state, actionId)->all();
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
