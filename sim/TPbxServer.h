#pragma once

#include "TSimOptions.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>

class QTcpServer;
class TSimChat;
class TSimDatabase;
class TSimScript;
class TSimSession;
class TSimState;
class TSimTraffic;
class TSimPacket;
class QTimer;

// The substitute PBX manager server: a manager port and a chat port on one address, the
// scenario's tables behind the table queries, the live call-centre state behind the listings,
// the traffic engine that makes it live, an optional script replayed on every manager
// connection, and the fault switches.
class TPbxServer : public QObject {
    Q_OBJECT
public:
    explicit TPbxServer(QObject* parent = nullptr);
    ~TPbxServer() override;

    bool start(const TSimOptions& options, QString* error = nullptr);
    void stop();
    bool isRunning() const;

    quint16 managerPort() const;
    quint16 chatPort() const;

    // Every action packet received (whole text), in order, over all connections. Bounded: the
    // oldest texts go once they add up to more than ReceivedLimit characters.
    QStringList receivedActions() const;
    static constexpr qsizetype ReceivedLimit = 8 * 1024 * 1024;

    // The live state and the tables, for tests and for the traffic that changes them. Null while
    // the server is stopped.
    TSimState* state() const { return m_state.get(); }
    TSimDatabase* database() const { return m_database.get(); }
    // The traffic engine: always there while the server runs (the agent actions go to it),
    // running on its own only with TSimOptions::traffic.
    TSimTraffic* traffic() const { return m_traffic.get(); }
    // The chat side: internal chat over the manager connections, external chat lines over the
    // chat connections; its happenings run on their own with TSimOptions::traffic.
    TSimChat* chat() const { return m_chatSim.get(); }
    // The simulator's own view of the call centre, as text (see sim/README.md).
    QString describeState() const;
    // Sends an event to every logged-in manager connection.
    void broadcast(const TSimPacket& event);
    // Sends an event to every logged-in chat-server connection.
    void broadcastChat(const TSimPacket& event);
    const TSimOptions& options() const { return m_options; }
    int connectionCount() const;

    // Connections over this number are closed at once.
    static constexpr int ConnectionLimit = 100;

Q_SIGNALS:
    void actionReceived(const QString& actionName, const QString& packetText);
    void clientDisconnected();
    void scriptFinished(bool ok, const QString& message);

private:
    void accept(QTcpServer* listener, bool chat);
    void record(const QString& actionName, const QString& text);
    void queueCallChanged(const QString& uniqueId);
    void flushActiveCalls();

    TSimOptions m_options;
    std::unique_ptr<TSimDatabase> m_database;
    std::unique_ptr<TSimState> m_state;
    std::unique_ptr<TSimScript> m_script;
    std::unique_ptr<TSimTraffic> m_traffic;
    std::unique_ptr<TSimChat> m_chatSim;
    QTimer* m_dumpTimer = nullptr;
    QSet<QString> m_changedCalls; // queue calls whose row of the active-calls table is stale
    bool m_flushPending = false;
    bool m_hasActiveCalls = false;
    QTcpServer* m_manager = nullptr;
    QTcpServer* m_chat = nullptr;
    QList<QPointer<TSimSession>> m_sessions;
    std::deque<QString> m_received;
    qsizetype m_receivedSize = 0;
    int m_connections = 0; // sessions opened, for their seeds
};
