#pragma once

#include "TSimFraming.h"
#include "TSimPacket.h"
#include "TSimScript.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include <functional>
#include <memory>

class TSimChat;
class TSimDatabase;
class TSimListing;
class TSimOutput;
class TSimQueryCursor;
class TSimState;
class TSimTraffic;
struct TSimActionResult;
struct TSimOptions;

// What every session of one server shares.
struct TSimContext {
    const TSimOptions* options = nullptr;
    TSimDatabase* database = nullptr;
    TSimState* state = nullptr;
    const TSimScript* script = nullptr; // null when no script runs
    TSimTraffic* traffic = nullptr;     // the agent actions go to it
    TSimChat* chat = nullptr;           // the internal and external chat
    std::function<void()> beforeQuery;  // brings the live tables up to date
};

// One client connection: its login state, the answers to its actions and the script replayed on
// it. Actions are answered strictly in order; while a table query is being streamed, later
// actions wait, and while the client does not read, nothing more is read from it.
class TSimSession : public QObject, private TSimScriptHost {
    Q_OBJECT
public:
    enum class Kind { Manager, Chat };

    TSimSession(QTcpSocket* socket, Kind kind, const TSimContext& context, int number,
                QObject* parent = nullptr);
    ~TSimSession() override;

    void start();
    bool isLoggedIn() const { return m_loggedIn; }
    bool isManager() const { return m_kind == Kind::Manager; }
    // An event the PBX pushes to every logged-in connection it concerns. A client that leaves more
    // than EventBacklogLimit bytes unread is cut off, as a PBX drops a manager client that
    // stopped reading, so that it cannot make the server hold its events without end.
    void sendEvent(const QByteArray& event);
    QString vesmaraUser() const { return m_vesmaraUser; }

    static constexpr qint64 ReadSlice = 64 * 1024;
    static constexpr int PacketsPerTurn = 200;
    static constexpr int RowsPerSlice = 250;
    static constexpr qint64 EventBacklogLimit = 16 * 1024 * 1024;

Q_SIGNALS:
    void actionReceived(const QString& actionName, const QString& packetText);
    void scriptFinished(bool ok, const QString& message);
    void closed();

private:
    using Handler = void (TSimSession::*)(const TSimPacket&);

    void scheduleWork();
    void work();
    void handlePacket(const QByteArray& raw);
    void answer(const TSimPacket& action);
    void send(const TSimPacket& packet);
    void sendAll(const QList<TSimPacket>& packets);
    void error(const TSimPacket& action, const QString& message);
    void onDisconnected();

    void login(const TSimPacket& action);
    void logoff(const TSimPacket& action);
    void ping(const TSimPacket& action);
    void timeStamp(const TSimPacket& action);
    void dbCommand(const TSimPacket& action);
    void userPermissions(const TSimPacket& action);
    void agents(const TSimPacket& action);
    void status(const TSimPacket& action);
    void queueStatus(const TSimPacket& action);
    void callReasonCount(const TSimPacket& action);
    void command(const TSimPacket& action);
    void chatAction(const TSimPacket& action);
    void chatAgentsOnline(const TSimPacket& action);
    void chatStatus(const TSimPacket& action);
    void chatQueueStatus(const TSimPacket& action);
    void chatChannelMessages(const TSimPacket& action);
    void getVar(const TSimPacket& action);
    void queueAdd(const TSimPacket& action);
    void queueRemove(const TSimPacket& action);
    void queuePause(const TSimPacket& action);
    void agentLogoff(const TSimPacket& action);
    void agentAction(const TSimPacket& action, const std::function<TSimActionResult()>& run);
    void continueQuery();
    void continueListing();

    // TSimScriptHost
    void scriptPacket(const QByteArray& packet) override;
    void scriptRaw(const QByteArray& bytes) override;
    void scriptClose() override;
    void scriptStall() override;
    void scriptAuto(bool on) override;

    QPointer<QTcpSocket> m_socket;
    Kind m_kind;
    TSimContext m_context;
    TSimOutput* m_output = nullptr;
    TSimFramer m_framer;
    std::unique_ptr<TSimScriptRun> m_script;
    std::unique_ptr<TSimQueryCursor> m_cursor;
    std::unique_ptr<TSimListing> m_listing;
    QString m_queryId;
    bool m_loggedIn = false;
    bool m_auto = true;
    bool m_workScheduled = false;
    bool m_closed = false;
    QString m_vesmaraUser;
    QString m_chatUser;
};
