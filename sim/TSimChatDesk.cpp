#include "TSimChatDesk.h"

#include "TSimChat.h"
#include "TSimDatabase.h"
#include "TSimEvents.h"
#include "TSimState.h"

#include <QSqlRecord>

namespace {

TSimPacket& withId(TSimPacket& p, const QString& actionId) {
    if (!actionId.isEmpty()) p.add(QStringLiteral("ActionID"), actionId);
    return p;
}

TSimPacket completion(const char* name, const QString& actionId) {
    TSimPacket p = TSimPacket::event(QLatin1StringView(name));
    return withId(p, actionId);
}

// A chat as a channel of the telephony events: the customer's side of the conversation.
TSimChannel channelOf(const TSimChatChannel& chat) {
    TSimChannel c;
    c.name = chat.channel;
    c.uniqueId = chat.uniqueId;
    c.callerIdNum = chat.customer;
    c.callerIdName = chat.customer;
    c.context = QStringLiteral("chat");
    c.extension = chat.queue;
    c.created = chat.joined;
    c.queue = chat.queue;
    c.queueJoined = chat.joined;
    return c;
}

// The agent's side: its chat login, which every chat it holds is bridged to.
TSimChannel legOf(const TSimChatAgent& a) {
    TSimChannel c;
    c.name = a.interface();
    c.uniqueId = a.interface();
    return c;
}

} // namespace

TSimAgent TSimChatAgent::asAgent() const {
    TSimAgent a;
    a.id = id;
    a.name = name;
    a.status = !loggedIn         ? TSimAgent::Status::LoggedOff
               : chats.isEmpty() ? TSimAgent::Status::Idle
                                 : TSimAgent::Status::OnCall;
    a.loggedInChan = loggedIn ? interface() : QString();
    a.loggedInTime = loggedInTime;
    a.lastCall = lastCall;
    return a;
}

void TSimChatDesk::seed(const TSimDatabase& database) {
    for (const TSimQueue& q : m_state->queues()) {
        if (!q.isVoice()) {
            m_queue = q.id;
            break;
        }
    }
    if (!database.hasTable(QStringLiteral("SimAtendenteChat"))) return;
    const qint64 now = m_state->now();
    for (const QSqlRecord& r : database.rows(QStringLiteral(
             "SELECT AtendenteId, FilaId, IPLogin, Logado FROM SimAtendenteChat ORDER BY rowid"))) {
        const TSimAgent* known = m_state->agent(r.value(0).toString());
        const TSimQueue* q = m_state->queue(r.value(1).toString());
        // Only agents and chat queues of the scenario, each agent once.
        if (!known || !q || q->isVoice() || agent(known->id)) continue;
        TSimChatAgent a;
        a.id = known->id;
        a.name = known->name;
        a.queue = q->id;
        a.ip = r.value(2).toString();
        a.loggedIn = r.value(3).toInt() != 0;
        a.loggedInTime = a.loggedIn ? now - 3600 : 0;
        m_agents.append(a);
    }
}

const TSimChatAgent* TSimChatDesk::agent(const QString& id) const {
    for (const TSimChatAgent& a : m_agents)
        if (a.id == id) return &a;
    return nullptr;
}

TSimChatAgent* TSimChatDesk::holder(const QString& uniqueId) {
    for (TSimChatAgent& a : m_agents)
        if (a.chats.contains(uniqueId)) return &a;
    return nullptr;
}

TSimChatAgent* TSimChatDesk::freest() {
    TSimChatAgent* best = nullptr;
    for (TSimChatAgent& a : m_agents) {
        if (!a.loggedIn || a.chats.size() >= ChatsPerAgent) continue;
        if (!best || a.chats.size() < best->chats.size()) best = &a;
    }
    return best;
}

TSimQueue TSimChatDesk::queueView(const QString& id) const {
    const TSimQueue* q = m_state->queue(id);
    TSimQueue view;
    view.id = id;
    if (q) {
        view.name = q->name;
        view.type = q->type;
        view.strategy = q->strategy;
        view.max = q->max;
        view.holdTime = q->holdTime;
        view.talkTime = q->talkTime;
        view.completed = q->completed;
        view.abandoned = q->abandoned;
        view.serviceLevel = q->serviceLevel;
        view.withinServiceLevel = q->withinServiceLevel;
        view.weight = q->weight;
    }
    // Every chat waits in the one chat queue the traffic uses.
    if (id == m_queue) view.waiting = m_waiting;
    return view;
}

QList<TSimPacket> TSimChatDesk::agentsOnline(const QString& actionId) const {
    QList<TSimPacket> out{
        TSimPacket::response(QStringLiteral("Success"), actionId)
            .add(QStringLiteral("Message"), QStringLiteral("Agents will follow"))};
    for (const TSimChatAgent& a : m_agents) {
        const TSimAgent view = a.asAgent();
        TSimPacket p = TSimPacket::event(QStringLiteral("Agents"));
        p.add(QStringLiteral("Agent"), a.id)
            .add(QStringLiteral("Name"), a.name)
            .add(QStringLiteral("Status"), view.statusText())
            .add(QStringLiteral("LoggedInChan"),
                 a.loggedIn ? view.loggedInChan : QStringLiteral("n/a"))
            .add(QStringLiteral("IPLogin"), a.loggedIn ? a.ip : QString())
            .add(QStringLiteral("LoggedInTime"), a.loggedInTime)
            .add(QStringLiteral("TalkingTo"), QStringLiteral("n/a"))
            .add(QStringLiteral("LastCall"), a.lastCall)
            .add(QStringLiteral("LastPause"), 0);
        out << withId(p, actionId);
    }
    out << completion("AgentsComplete", actionId);
    return out;
}

QList<TSimPacket> TSimChatDesk::status(const QString& actionId,
                                       const TSimChatChannels& channels) const {
    QList<TSimPacket> out{
        TSimPacket::response(QStringLiteral("Success"), actionId)
            .add(QStringLiteral("Message"), QStringLiteral("Channel status will follow"))};
    const qint64 now = m_state->now();
    for (const auto& [uid, chat] : channels) {
        TSimPacket p = TSimPacket::event(QStringLiteral("Status"));
        p.add(QStringLiteral("Privilege"), QStringLiteral("Call"))
            .add(QStringLiteral("Channel"), chat.channel)
            .add(QStringLiteral("CallerID"), chat.customer)
            .add(QStringLiteral("CallerIDNum"), chat.customer)
            .add(QStringLiteral("CallerIDName"), chat.customer)
            .add(QStringLiteral("State"), QStringLiteral("Up"))
            .add(QStringLiteral("Context"), QStringLiteral("chat"))
            .add(QStringLiteral("Extension"), chat.queue)
            .add(QStringLiteral("Priority"), 1)
            .add(QStringLiteral("Seconds"), qMax<qint64>(0, now - chat.joined));
        if (!chat.agentId.isEmpty())
            p.add(QStringLiteral("BridgedChannel"), QStringLiteral("Agent/") + chat.agentId);
        p.add(QStringLiteral("Uniqueid"), uid).add(QStringLiteral("Queue"), chat.queue);
        out << withId(p, actionId);
    }
    TSimPacket done = completion("StatusComplete", actionId);
    out << done.add(QStringLiteral("Items"), qint64(channels.size()));
    return out;
}

QList<TSimPacket> TSimChatDesk::queueStatus(const QString& actionId, const QString& only,
                                            const TSimChatChannels& channels) const {
    QList<TSimPacket> out{
        TSimPacket::response(QStringLiteral("Success"), actionId)
            .add(QStringLiteral("Message"), QStringLiteral("Queue status will follow"))};
    const qint64 now = m_state->now();
    for (const TSimQueue& q : m_state->queues()) {
        if (q.isVoice() || (!only.isEmpty() && q.id != only)) continue;
        const TSimQueue view = queueView(q.id);
        TSimPacket params = TSimPacket::event(QStringLiteral("QueueParams"));
        params.add(QStringLiteral("Queue"), q.id)
            .add(QStringLiteral("Max"), view.max)
            .add(QStringLiteral("Strategy"), view.strategy)
            .add(QStringLiteral("Calls"), qint64(view.waiting.size()))
            .add(QStringLiteral("HoldTime"), view.holdTime)
            .add(QStringLiteral("TalkTime"), view.talkTime)
            .add(QStringLiteral("Completed"), view.completed)
            .add(QStringLiteral("Abandoned"), view.abandoned)
            .add(QStringLiteral("Received"), qint64(view.completed) + view.abandoned)
            .add(QStringLiteral("ExitWithKey"), 0)
            .add(QStringLiteral("ServiceLevel"), view.serviceLevel)
            .add(QStringLiteral("ServiceLevelPerf"), view.serviceLevelPerf())
            .add(QStringLiteral("Weight"), view.weight);
        out << withId(params, actionId);
        for (const TSimChatAgent& a : m_agents) {
            if (a.queue != q.id) continue;
            const TSimAgent member = a.asAgent();
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueMember"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Name"), a.name)
                .add(QStringLiteral("Location"), a.interface())
                .add(QStringLiteral("Membership"), QStringLiteral("static"))
                .add(QStringLiteral("Penalty"), 0)
                .add(QStringLiteral("CallsTaken"), a.callsTaken)
                .add(QStringLiteral("LastCall"), a.lastCall)
                .add(QStringLiteral("Status"), member.deviceState())
                .add(QStringLiteral("Paused"), 0)
                .add(QStringLiteral("PauseReason"), QStringLiteral("n/a"))
                .add(QStringLiteral("PauseStart"), 0);
            out << withId(p, actionId);
        }
        for (qsizetype i = 0; i < view.waiting.size(); ++i) {
            const auto it = channels.find(view.waiting.at(i));
            if (it == channels.end()) continue;
            TSimPacket p = TSimPacket::event(QStringLiteral("QueueEntry"));
            p.add(QStringLiteral("Queue"), q.id)
                .add(QStringLiteral("Position"), i + 1)
                .add(QStringLiteral("Channel"), it->second.channel)
                .add(QStringLiteral("Uniqueid"), it->first)
                .add(QStringLiteral("CallerIDNum"), it->second.customer)
                .add(QStringLiteral("CallerIDName"), it->second.customer)
                .add(QStringLiteral("Wait"), qMax<qint64>(0, now - it->second.joined));
            out << withId(p, actionId);
        }
    }
    out << completion("QueueStatusComplete", actionId);
    return out;
}

QList<TSimPacket> TSimChatDesk::take(TSimChatAgent& agent, TSimChatChannel& chat) {
    const qsizetype position = m_waiting.indexOf(chat.uniqueId);
    if (position >= 0) m_waiting.removeAt(position);
    agent.chats.append(chat.uniqueId);
    chat.agentId = agent.id;
    chat.agent = agent.name;
    const qint64 now = m_state->now();
    const TSimQueue queue = queueView(chat.queue);
    const TSimChannel customer = channelOf(chat);
    const TSimChannel leg = legOf(agent);
    const TSimAgent view = agent.asAgent();
    TSimQueueMember m;
    m.agentId = agent.id;
    m.callsTaken = agent.callsTaken;
    return {TSimEvents::agentCalled(queue, view, customer, leg),
            TSimEvents::agentConnect(queue, view, customer, leg, now - chat.joined, 0),
            TSimEvents::leave(queue, customer, int(position + 1)),
            TSimEvents::memberStatus(queue, view, &m)};
}

QList<TSimPacket> TSimChatDesk::arrive(TSimChatChannel& chat, TSimChatChannels& channels) {
    (void)channels;
    chat.joined = m_state->now();
    chat.agentId.clear();
    if (m_waiting.size() >= MaxWaiting) m_waiting.removeFirst();
    m_waiting.append(chat.uniqueId);
    const TSimChannel customer = channelOf(chat);
    QList<TSimPacket> out{TSimEvents::newchannel(customer),
                          TSimEvents::join(queueView(chat.queue), customer, int(m_waiting.size()))};
    if (TSimChatAgent* a = freest()) out << take(*a, chat);
    return out;
}

QList<TSimPacket> TSimChatDesk::close(const TSimChatChannel& chat, TSimChatChannels& channels) {
    QList<TSimPacket> out;
    const TSimQueue queue = queueView(chat.queue);
    const TSimChannel customer = channelOf(chat);
    TSimChatAgent* a = holder(chat.uniqueId);
    if (!a) {
        // Closed while waiting: the customer gave up.
        const qsizetype position = m_waiting.indexOf(chat.uniqueId);
        if (position >= 0) m_waiting.removeAt(position);
        out << TSimEvents::leave(queueView(chat.queue), customer, int(position + 1));
        out << TSimEvents::hangup(customer, 16);
        return out;
    }
    const qint64 now = m_state->now();
    a->chats.removeOne(chat.uniqueId);
    a->lastCall = now;
    ++a->callsTaken;
    TSimQueueMember m;
    m.agentId = a->id;
    m.callsTaken = a->callsTaken;
    out << TSimEvents::agentComplete(queue, a->asAgent(), customer, legOf(*a), 0, now - chat.joined,
                                     QStringLiteral("agent"));
    out << TSimEvents::hangup(customer, 16);
    out << TSimEvents::memberStatus(queue, a->asAgent(), &m);
    // The freed place goes to the first chat waiting.
    while (!m_waiting.isEmpty() && a->chats.size() < ChatsPerAgent) {
        const auto next = channels.find(m_waiting.first());
        if (next == channels.end()) {
            m_waiting.removeFirst();
            continue;
        }
        out << take(*a, next->second);
    }
    return out;
}

QString TSimChatDesk::dump() const {
    QStringList out;
    for (const TSimChatAgent& a : m_agents) {
        out << QStringLiteral("  AtendenteChat %1 %2 fila %3 %4 conversas %5")
                   .arg(a.id, a.name, a.queue,
                        a.loggedIn ? QStringLiteral("logado") : QStringLiteral("deslogado"),
                        a.chats.join(u','));
    }
    out << QStringLiteral("  Chats em espera: %1").arg(m_waiting.join(u','));
    return out.join(u'\n');
}
