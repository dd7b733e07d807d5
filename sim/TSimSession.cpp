#include "TSimSession.h"

#include "TCommandOutputs.h"
#include "TSimAnswers.h"
#include "TSimChat.h"
#include "TSimDatabase.h"
#include "TSimDump.h"
#include "TSimOptions.h"
#include "TSimOutput.h"
#include "TSimQueryCursor.h"
#include "TSimState.h"
#include "TSimTraffic.h"

#include <QHash>
#include <QSqlRecord>
#include <QTimer>

namespace {

const QString managerUser = QStringLiteral("supervisor");
const QString managerSecret = QStringLiteral("kaluvre");
const QString defaultGreeting = QStringLiteral("Vesmara Call Manager/1.1");

QString actionId(const TSimPacket& action) {
    return action.value(QStringLiteral("ActionID"));
}

TSimPacket chatEvent(const QString& name) {
    TSimPacket p = TSimPacket::event(QStringLiteral("UserEvent"));
    p.add(QStringLiteral("UserEvent"), QStringLiteral("VChatEvent"))
        .add(QStringLiteral("VChatEvent"), name);
    return p;
}

} // namespace

TSimSession::TSimSession(QTcpSocket* socket, Kind kind, const TSimContext& context, int number,
                         QObject* parent)
    : QObject(parent), m_socket(socket), m_kind(kind), m_context(context) {
    socket->setParent(this);
    // Unread input stays bounded: past this the client's own writes wait.
    socket->setReadBufferSize(4 * ReadSlice);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);

    TSimFaults faults;
    faults.seed = context.options->seed + quint32(number);
    if (kind == Kind::Manager) {
        faults.dropAfter = context.options->dropAfter;
        faults.chunk = context.options->chunk;
        faults.stallAfter = context.options->stallAfter;
        faults.garbage = context.options->garbage;
    }
    m_output = new TSimOutput(socket, faults, this);

    connect(socket, &QTcpSocket::readyRead, this, &TSimSession::scheduleWork);
    connect(socket, &QTcpSocket::disconnected, this, &TSimSession::onDisconnected);
    connect(m_output, &TSimOutput::drained, this, &TSimSession::scheduleWork);

    if (kind == Kind::Manager && context.script) {
        m_script = std::make_unique<TSimScriptRun>(
            *context.script, static_cast<TSimScriptHost*>(this), context.options->speed);
        connect(m_script.get(), &TSimScriptRun::finished, this, &TSimSession::scriptFinished);
    }
}

TSimSession::~TSimSession() {
    // The query must end before the database connection it runs on can go away.
    m_cursor.reset();
    // Closing the socket can still signal; nothing of this session may hear it any more.
    if (m_socket) {
        m_socket->disconnect();
        delete m_socket;
    }
}

void TSimSession::start() {
    const TSimScript* script = m_context.script;
    if (!script || script->greetingEnabled()) {
        const QString greeting =
            script && !script->greeting().isEmpty() ? script->greeting() : defaultGreeting;
        m_output->sendRaw(greeting.toUtf8() + "\r\n");
    }
    if (m_script) m_script->start();
    scheduleWork();
}

void TSimSession::scheduleWork() {
    if (m_workScheduled || m_closed) return;
    m_workScheduled = true;
    QTimer::singleShot(0, this, &TSimSession::work);
}

void TSimSession::work() {
    m_workScheduled = false;
    if (m_closed || !m_socket) return;
    if (m_cursor) {
        continueQuery();
        return;
    }
    if (m_listing) {
        continueListing();
        return;
    }
    int handled = 0;
    while (!m_cursor && !m_listing && !m_closed && m_socket) {
        if (m_output->backlog() > TSimOutput::HighWater) return; // `drained` brings us back
        QByteArray raw;
        if (m_framer.next(&raw)) {
            handlePacket(raw);
            if (++handled >= PacketsPerTurn) {
                scheduleWork(); // let other connections and timers run
                return;
            }
            continue;
        }
        if (m_socket->bytesAvailable() <= 0) return;
        m_framer.feed(m_socket->read(ReadSlice));
    }
    if (m_cursor || m_listing) scheduleWork();
}

void TSimSession::handlePacket(const QByteArray& raw) {
    const TSimPacket packet = TSimPacket::parse(raw);
    if (packet.isEmpty()) return;
    if (!packet.has(QStringLiteral("Action"))) {
        if (m_auto) error(packet, QStringLiteral("Missing action in request"));
        return;
    }
    Q_EMIT actionReceived(packet.value(QStringLiteral("Action")), TSimPacket::decode(raw));
    if (m_script) m_script->actionReceived(packet);
    if (m_auto && !m_closed) answer(packet);
}

void TSimSession::answer(const TSimPacket& action) {
    static const QHash<QString, Handler> managerActions = {
        {QStringLiteral("ping"), &TSimSession::ping},
        {QStringLiteral("zxtimestamp"), &TSimSession::timeStamp},
        {QStringLiteral("zxdbcommand"), &TSimSession::dbCommand},
        {QStringLiteral("zxgetuserpermissions"), &TSimSession::userPermissions},
        {QStringLiteral("agents"), &TSimSession::agents},
        {QStringLiteral("status"), &TSimSession::status},
        {QStringLiteral("queuestatus"), &TSimSession::queueStatus},
        {QStringLiteral("queuecallreasoncount"), &TSimSession::callReasonCount},
        {QStringLiteral("command"), &TSimSession::command},
        {QStringLiteral("vchataction"), &TSimSession::chatAction},
        {QStringLiteral("getvar"), &TSimSession::getVar},
        {QStringLiteral("queueadd"), &TSimSession::queueAdd},
        {QStringLiteral("queueremove"), &TSimSession::queueRemove},
        {QStringLiteral("queuepause"), &TSimSession::queuePause},
        {QStringLiteral("agentlogoff"), &TSimSession::agentLogoff},
    };
    // The chat server answers its client's short load (chat agents, channels and queues: none
    // of them live here, the lists are empty) and the conversation monitors' requests.
    static const QHash<QString, Handler> chatActions = {
        {QStringLiteral("ping"), &TSimSession::ping},
        {QStringLiteral("agentsonline"), &TSimSession::chatAgentsOnline},
        {QStringLiteral("status"), &TSimSession::chatStatus},
        {QStringLiteral("queuestatus"), &TSimSession::chatQueueStatus},
        {QStringLiteral("chatchannelmessages"), &TSimSession::chatChannelMessages},
    };
    const QString name = action.value(QStringLiteral("Action")).toLower();
    if (name == u"login") {
        login(action);
        return;
    }
    if (name == u"logoff") {
        logoff(action);
        return;
    }
    if (!m_loggedIn) {
        error(action, QStringLiteral("Permission denied"));
        return;
    }
    const QHash<QString, Handler>& table = m_kind == Kind::Manager ? managerActions : chatActions;
    const Handler handler = table.value(name, nullptr);
    if (!handler) {
        error(action, QStringLiteral("Invalid/unknown command"));
        return;
    }
    (this->*handler)(action);
}

void TSimSession::send(const TSimPacket& packet) {
    m_output->sendPacket(packet.toWire());
}

void TSimSession::sendEvent(const QByteArray& event) {
    if (m_closed || !m_loggedIn || !m_socket) return;
    if (m_output->backlog() > EventBacklogLimit) {
        m_closed = true;
        // Later, never in the middle of the broadcast that brought us here.
        QTimer::singleShot(0, this, [this] {
            if (m_socket) m_socket->abort();
            if (m_script) m_script->connectionClosed();
            Q_EMIT closed();
        });
        return;
    }
    m_output->sendPacket(event);
}

void TSimSession::sendAll(const QList<TSimPacket>& packets) {
    for (const TSimPacket& p : packets)
        send(p);
}

void TSimSession::error(const TSimPacket& action, const QString& message) {
    send(TSimPacket::response(QStringLiteral("Error"), actionId(action))
             .add(QStringLiteral("Message"), message));
}

void TSimSession::onDisconnected() {
    if (m_closed) return;
    // This can come in the middle of an answer (a failing write): the cursor and the rest of
    // the session stay until the server deletes it.
    m_closed = true;
    if (m_script) m_script->connectionClosed();
    Q_EMIT closed();
}

void TSimSession::login(const TSimPacket& action) {
    if (action.value(QStringLiteral("Username")) != managerUser ||
        action.value(QStringLiteral("Secret")) != managerSecret) {
        send(TSimPacket::response(QStringLiteral("Error"), actionId(action))
                 .add(QStringLiteral("Message"), QStringLiteral("Authentication failed")));
        return;
    }
    m_loggedIn = true;
    m_vesmaraUser = action.value(QStringLiteral("VesmaraUser"));
    send(TSimPacket::response(QStringLiteral("Success"), actionId(action))
             .add(QStringLiteral("Message"), QStringLiteral("Authentication accepted")));
    if (m_kind == Kind::Manager) {
        sendAll(TSimAnswers::afterLogin());
        m_output->allowGarbage();
    }
}

void TSimSession::logoff(const TSimPacket& action) {
    send(TSimPacket::response(QStringLiteral("Goodbye"), actionId(action))
             .add(QStringLiteral("Message"), QStringLiteral("Até logo")));
    m_output->closeWhenWritten();
}

void TSimSession::ping(const TSimPacket& action) {
    send(TSimPacket::response(QStringLiteral("Success"), actionId(action))
             .add(QStringLiteral("Ping"), QStringLiteral("Pong"))
             .add(QStringLiteral("Timestamp"), m_context.state->now()));
}

void TSimSession::timeStamp(const TSimPacket& action) {
    sendAll(TSimAnswers::timeStamp(*m_context.state, actionId(action)));
}

void TSimSession::dbCommand(const TSimPacket& action) {
    const QString id = actionId(action);
    auto refuse = [&](const QString& message) {
        TSimPacket p = TSimPacket::response(QStringLiteral("Error"), id);
        if (!id.isEmpty()) p.add(QStringLiteral("ZXDBActionID"), id);
        send(p.add(QStringLiteral("Message"), message));
    };
    if (action.value(QStringLiteral("Command")).compare(u"List", Qt::CaseInsensitive) != 0) {
        refuse(QStringLiteral("Unknown ZXDBCommand command '%1'")
                   .arg(action.value(QStringLiteral("Command"))));
        return;
    }
    const QString table = action.value(QStringLiteral("Table"));
    if (table.isEmpty()) {
        refuse(QStringLiteral("Table is missing"));
        return;
    }
    if (m_context.beforeQuery) m_context.beforeQuery();
    auto cursor = std::make_unique<TSimQueryCursor>(m_context.database);
    QString failure;
    if (!cursor->start(table, action.value(QStringLiteral("Fields")),
                       action.value(QStringLiteral("Filter")), &failure)) {
        refuse(failure);
        return;
    }
    TSimPacket ok = TSimPacket::response(QStringLiteral("Success"), id);
    if (!id.isEmpty()) ok.add(QStringLiteral("ZXDBActionID"), id);
    send(ok);
    m_cursor = std::move(cursor);
    m_queryId = id;
}

void TSimSession::continueQuery() {
    const QStringList& columns = m_cursor->columns();
    QString failure;
    bool more = true;
    for (int n = 0; n < RowsPerSlice && more; ++n) {
        // Row by row, so a slow reader never makes the server hold more than one row extra.
        if (m_output->backlog() > TSimOutput::HighWater) return; // `drained` brings us back
        QList<QStringList> rows;
        more = m_cursor->fetch(1, &rows, &failure);
        for (const QStringList& row : rows) {
            TSimPacket p = TSimPacket::event(QStringLiteral("ZXDBEvent"));
            p.add(QStringLiteral("ZXDBActionID"), m_queryId);
            for (qsizetype i = 0; i < columns.size(); ++i)
                p.add(columns.at(i), row.at(i));
            send(p);
        }
        if (m_closed) return;
    }
    if (more) {
        scheduleWork();
        return;
    }
    TSimPacket done = TSimPacket::event(QStringLiteral("ZXDBComplete"));
    done.add(QStringLiteral("ZXDBActionID"), m_queryId);
    if (!failure.isEmpty()) done.add(QStringLiteral("Message"), failure); // the rows stopped early
    send(done);
    m_cursor.reset();
    scheduleWork();
}

void TSimSession::userPermissions(const TSimPacket& action) {
    QString user = action.value(QStringLiteral("User"));
    if (user.isEmpty()) user = m_vesmaraUser;
    sendAll(TSimAnswers::userPermissions(*m_context.state, actionId(action), user));
}

void TSimSession::agents(const TSimPacket& action) {
    m_listing = TSimListing::agents(*m_context.state, actionId(action));
}

void TSimSession::status(const TSimPacket& action) {
    m_listing = TSimListing::status(*m_context.state, actionId(action));
}

void TSimSession::queueStatus(const TSimPacket& action) {
    m_listing = TSimListing::queueStatus(*m_context.state, actionId(action),
                                         action.value(QStringLiteral("Queue")));
}

void TSimSession::callReasonCount(const TSimPacket& action) {
    m_listing = TSimListing::callReasonCounts(*m_context.state, actionId(action));
}

void TSimSession::continueListing() {
    // A slice per turn of the event loop, and only while the client keeps reading.
    bool more = true;
    for (int n = 0; n < RowsPerSlice && more;) {
        if (m_output->backlog() > TSimOutput::HighWater) return; // `drained` brings us back
        QList<TSimPacket> packets;
        more = m_listing->next(&packets, 25);
        n += int(packets.size());
        sendAll(packets);
        if (m_closed) return;
    }
    if (!more) m_listing.reset();
    scheduleWork();
}

void TSimSession::command(const TSimPacket& action) {
    const QString text = action.value(QStringLiteral("Command"));
    QStringList lines;
    if (text.simplified().compare(u"sim show state", Qt::CaseInsensitive) == 0) {
        // The simulator's own view, to hold against the client's.
        lines = TSimDump::text(*m_context.state, m_context.traffic, m_context.chat).split(u'\n');
    } else if (!TCommandOutputs::run(text, *m_context.state, &lines)) {
        error(action, QStringLiteral("No such command '%1'").arg(text));
        return;
    }
    m_output->sendPacket(
        TCommandOutputs::answerPacket(actionId(action), lines, m_context.options->commandForm));
}

void TSimSession::chatAction(const TSimPacket& action) {
    const QString id = actionId(action);
    const QString what = action.value(QStringLiteral("VChatAction")).toLower();
    if (what == u"userin") {
        const QString user = action.value(QStringLiteral("User"));
        if (!user.isEmpty()) {
            m_chatUser = user;
            // Only people the platform knows are present; a client cannot grow the list at will.
            const bool known =
                !m_context.database
                     ->rows(QStringLiteral("SELECT 1 FROM user WHERE user = ?"), {user})
                     .isEmpty() ||
                !m_context.database
                     ->rows(QStringLiteral("SELECT 1 FROM Atendente WHERE AtendenteId = ?"), {user})
                     .isEmpty();
            if (known) m_context.state->setChatUserOnline(user, true);
        }
        send(TSimPacket::response(QStringLiteral("Success"), id)
                 .add(QStringLiteral("Message"), QStringLiteral("User in")));
        return;
    }
    if (what == u"getusersin") {
        send(TSimPacket::response(QStringLiteral("Success"), id));
        for (const QString& user : m_context.state->chatUsersOnline()) {
            TSimPacket p = chatEvent(QStringLiteral("UserIn"));
            send(p.add(QStringLiteral("User"), user));
        }
        return;
    }
    const QString chatUser = m_chatUser.isEmpty() ? m_vesmaraUser : m_chatUser;
    if (m_context.chat) {
        if (what == u"sendmessage") {
            sendAll(m_context.chat->sendMessage(action, chatUser));
            return;
        }
        if (what == u"messageread") {
            sendAll(m_context.chat->messageRead(action, chatUser));
            return;
        }
        if (what == u"lastmessages") {
            sendAll(m_context.chat->lastMessages(action, chatUser));
            return;
        }
        if (what == u"unreadmessages") {
            sendAll(m_context.chat->unreadMessages(id, chatUser));
            return;
        }
    }
    if (what == u"unreadmessages") {
        const QString& user = chatUser;
        send(TSimPacket::response(QStringLiteral("Success"), id));
        const QList<QSqlRecord> counts = m_context.database->rows(
            QStringLiteral("SELECT D.De AS De, count(*) AS Total FROM ChatMensagemDe D, "
                           "ChatMensagemPara P WHERE D.idChatMensagemDe = P.idChatMensagemDe AND "
                           "P.Para = ? AND P.DataLeitura IS NULL GROUP BY D.De ORDER BY D.De"),
            {user});
        for (const QSqlRecord& r : counts) {
            TSimPacket p = chatEvent(QStringLiteral("UnreadMessages"));
            p.add(QStringLiteral("From"), r.value(0).toString())
                .add(QStringLiteral("Total"), r.value(1).toString());
            if (!id.isEmpty()) p.add(QStringLiteral("ActionID"), id);
            send(p);
        }
        TSimPacket done = chatEvent(QStringLiteral("UnreadMessagesComplete"));
        if (!id.isEmpty()) done.add(QStringLiteral("ActionID"), id);
        send(done);
        return;
    }
    error(action, QStringLiteral("Invalid/unknown command"));
}

void TSimSession::chatAgentsOnline(const TSimPacket& action) {
    if (!m_context.chat) return error(action, QStringLiteral("Invalid/unknown command"));
    sendAll(m_context.chat->desk().agentsOnline(actionId(action)));
}

void TSimSession::chatStatus(const TSimPacket& action) {
    if (!m_context.chat) return error(action, QStringLiteral("Invalid/unknown command"));
    sendAll(m_context.chat->desk().status(actionId(action), m_context.chat->channels()));
}

void TSimSession::chatQueueStatus(const TSimPacket& action) {
    if (!m_context.chat) return error(action, QStringLiteral("Invalid/unknown command"));
    sendAll(m_context.chat->desk().queueStatus(
        actionId(action), action.value(QStringLiteral("Queue")), m_context.chat->channels()));
}

void TSimSession::chatChannelMessages(const TSimPacket& action) {
    if (!m_context.chat) {
        error(action, QStringLiteral("Invalid/unknown command"));
        return;
    }
    sendAll(m_context.chat->channelMessages(action));
}

void TSimSession::getVar(const TSimPacket& action) {
    sendAll(TSimAnswers::getVar(*m_context.state, actionId(action),
                                action.value(QStringLiteral("Channel")),
                                action.value(QStringLiteral("Variable"))));
}

void TSimSession::agentAction(const TSimPacket& action,
                              const std::function<TSimActionResult()>& run) {
    // The answer goes first, then the events the change brings.
    m_context.traffic->holdEvents();
    const TSimActionResult result = run();
    TSimPacket answer = TSimPacket::response(
        result.ok ? QStringLiteral("Success") : QStringLiteral("Error"), actionId(action));
    send(answer.add(QStringLiteral("Message"), result.message));
    m_context.traffic->releaseEvents();
}

void TSimSession::queueAdd(const TSimPacket& action) {
    agentAction(action, [&] {
        return m_context.traffic->queueAdd(
            action.value(QStringLiteral("Queue")), action.value(QStringLiteral("Interface")),
            action.value(QStringLiteral("Paused")), action.value(QStringLiteral("Penalty")));
    });
}

void TSimSession::queueRemove(const TSimPacket& action) {
    agentAction(action, [&] {
        return m_context.traffic->queueRemove(action.value(QStringLiteral("Queue")),
                                              action.value(QStringLiteral("Interface")));
    });
}

void TSimSession::queuePause(const TSimPacket& action) {
    agentAction(action, [&] {
        return m_context.traffic->queuePause(
            action.value(QStringLiteral("Interface")), action.value(QStringLiteral("Paused")),
            action.value(QStringLiteral("Reason")), action.value(QStringLiteral("Queue")));
    });
}

void TSimSession::agentLogoff(const TSimPacket& action) {
    agentAction(action, [&] {
        return m_context.traffic->agentLogoff(action.value(QStringLiteral("Agent")));
    });
}

void TSimSession::scriptPacket(const QByteArray& packet) {
    m_output->sendPacket(packet);
}

void TSimSession::scriptRaw(const QByteArray& bytes) {
    m_output->sendRaw(bytes);
}

void TSimSession::scriptClose() {
    m_output->closeWhenWritten();
}

void TSimSession::scriptStall() {
    m_output->stall();
}

void TSimSession::scriptAuto(bool on) {
    m_auto = on;
}
