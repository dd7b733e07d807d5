#pragma once

#include "TSimPacket.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <map>

class TSimDatabase;
class TSimState;
struct TSimAgent;
struct TSimChatChannel;
struct TSimQueue;

// An agent as the chat server sees it: its chat login and the external chats it holds (a chat
// agent serves several at once).
struct TSimChatAgent {
    QString id; // agent number, as on the telephony side
    QString name;
    QString queue; // the chat queue it serves
    QString ip;    // where its chat login comes from
    bool loggedIn = false;
    qint64 loggedInTime = 0;
    qint64 lastCall = 0;
    int callsTaken = 0;
    QStringList chats; // unique ids of the chats it holds, oldest first

    QString interface() const { return QStringLiteral("Agent/") + id; }
    // The agent as the telephony events describe one, in its chat state.
    TSimAgent asAgent() const;
};

using TSimChatChannels = std::map<QString, TSimChatChannel>;

// The chat queues' side of the chat server: who serves them, which chats wait and which agent
// holds each chat. It answers the three listings of the chat-server load and tells, as the
// telephony side does for calls, of chats arriving in a queue, taken by an agent and closed.
// It never touches the telephony state: the same agent is free on the telephone while it chats.
class TSimChatDesk {
public:
    static constexpr int ChatsPerAgent = 2;
    static constexpr int MaxWaiting = 50;

    explicit TSimChatDesk(const TSimState* state) : m_state(state) {}

    // Chat agents from the scenario's SimAtendenteChat table (none when it has no such table).
    void seed(const TSimDatabase& database);
    // The queue new external chats arrive in: the scenario's first chat queue.
    QString chatQueue() const { return m_queue; }
    const QList<TSimChatAgent>& agents() const { return m_agents; }
    const TSimChatAgent* agent(const QString& id) const;
    // Unique ids of the chats waiting for an agent, first in line first.
    const QStringList& waiting() const { return m_waiting; }

    // The chat-server load: "Agentsonline", "Status" and "QueueStatus" (one queue when `only`
    // is given), each with its response first and its completion last.
    QList<TSimPacket> agentsOnline(const QString& actionId) const;
    QList<TSimPacket> status(const QString& actionId, const TSimChatChannels& channels) const;
    QList<TSimPacket> queueStatus(const QString& actionId, const QString& only,
                                  const TSimChatChannels& channels) const;

    // A new chat (already in `channels`): it enters its queue and goes to the free agent that
    // holds the fewest chats, or waits. Returns the events that tell of it.
    QList<TSimPacket> arrive(TSimChatChannel& chat, TSimChatChannels& channels);
    // A chat that ends (still in `channels`; the caller erases it afterwards): its agent lets
    // it go and takes the first chat waiting, if any.
    QList<TSimPacket> close(const TSimChatChannel& chat, TSimChatChannels& channels);

    QString dump() const;

private:
    TSimChatAgent* freest();
    TSimChatAgent* holder(const QString& uniqueId);
    QList<TSimPacket> take(TSimChatAgent& agent, TSimChatChannel& chat);
    TSimQueue queueView(const QString& id) const;

    const TSimState* m_state;
    QString m_queue;
    QList<TSimChatAgent> m_agents;
    QStringList m_waiting;
};
