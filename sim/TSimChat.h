#pragma once

#include "TSimChatDesk.h"
#include "TSimPacket.h"

#include <QHash>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <map>

class TSimDatabase;
class TSimState;

// One internal-chat message as the server keeps it.
struct TSimChatMessage {
    qint64 id = 0;
    QString from;
    QStringList to;
    QHash<QString, qint64> readAt; // recipient -> Unix time read, 0 = unread
    qint64 sent = 0;
    QString body; // as received: the server never interprets it
};

// One line of an external chat (a customer on a chat queue talking with an agent).
struct TSimChatLine {
    qint64 id = 0;
    int kind = 1; // 1 customer, 2 agent, 3 system, 4 transfer, 6 closing
    qint64 created = 0;
    QString name;
    QString message;
};

struct TSimChatChannel {
    QString uniqueId;
    QString channel;
    QString queue;
    QString customer;
    QString agent;   // name of the agent holding it, empty while it waits
    QString agentId; // its number
    qint64 joined = 0;
    std::deque<TSimChatLine> lines;
    bool userTyping = false;
    bool agentTyping = false;
};

// The chat side of the platform: internal chat between platform users over the manager
// connections, external chat lines over the chat-server connections. Seeded from the scenario's
// chat tables. Its own traffic draws every choice from one seeded generator, one happening per
// step, so a seed gives the same happenings in the same order; the timer only decides when the
// next step runs. Everything kept is capped, whatever the clients send.
class TSimChat : public QObject {
    Q_OBJECT
public:
    TSimChat(TSimState* state, quint32 seed, double speed, QObject* parent = nullptr);

    void seed(const TSimDatabase& database);
    // Keeps the scenario's chat tables (ChatMensagemDe / ChatMensagemPara) in step with the live
    // messages, for the clients that count unread messages with a table query.
    void keepTables(TSimDatabase* database);
    // The happenings run every StepMs / speed of wall time once started.
    void start();
    void stop();
    // One happening: a message, a presence change, a read receipt or an external-chat line.
    void step();

    // The internal-chat actions of a manager connection logged in for `user`. Each returns the
    // packets for that connection (its response first); the events for everybody go out
    // through `event`.
    QList<TSimPacket> sendMessage(const TSimPacket& action, const QString& user);
    QList<TSimPacket> messageRead(const TSimPacket& action, const QString& user);
    QList<TSimPacket> lastMessages(const TSimPacket& action, const QString& user);
    QList<TSimPacket> unreadMessages(const QString& actionId, const QString& user) const;
    // A conversation monitor's request on the chat server.
    QList<TSimPacket> channelMessages(const TSimPacket& action) const;

    const std::map<qint64, TSimChatMessage>& messages() const { return m_messages; }
    const std::map<QString, TSimChatChannel>& channels() const { return m_channels; }
    // The chat queues' agents and waiting chats, and the chat-server load's listings.
    const TSimChatDesk& desk() const { return m_desk; }
    QStringList users() const { return m_users; }
    // Text for the state dump (long lists cut at `maxLines`).
    QString dump(int maxLines) const;

    static constexpr int StepMs = 1500;
    static constexpr int MaxMessages = 5000;
    static constexpr int MaxBody = 16000;
    static constexpr int MaxRecipients = 64;
    static constexpr int MaxChannels = 6;
    static constexpr int MaxLinesPerChannel = 200;
    static constexpr int MaxHistory = 500;
    // The user the demo traffic writes to most: the demo login.
    static inline const QString DemoUser = QStringLiteral("demo");

Q_SIGNALS:
    // For every logged-in manager connection.
    void event(const TSimPacket& packet);
    // For every logged-in chat-server connection.
    void chatEvent(const TSimPacket& packet);

private:
    TSimChatMessage& store(TSimChatMessage message);
    void markRead(qint64 id, const QString& reader, qint64 when);
    void sendNewMessage(const TSimChatMessage& m);
    void randomMessage();
    void randomPresence();
    void randomRead();
    void randomExternal();
    QString phrase();
    bool chance(double p) { return m_random.bounded(1.0) < p; }
    int between(int low, int high) { return int(m_random.bounded(low, high + 1)); }

    TSimState* m_state;
    TSimDatabase* m_tables = nullptr;
    QRandomGenerator m_random;
    QTimer m_timer;
    std::map<qint64, TSimChatMessage> m_messages;
    qint64 m_nextId = 1;
    QStringList m_users; // platform users who chat
    QHash<QString, QString> m_names;
    std::map<QString, TSimChatChannel> m_channels;
    qint64 m_nextLine = 1;
    int m_nextChannel = 1;
    TSimChatDesk m_desk;
};
