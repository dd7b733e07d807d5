#include "TPbxServer.h"

#include "TSimDatabase.h"
#include "TSimScript.h"
#include "TSimSession.h"
#include "TSimState.h"

#include <QTcpServer>
#include <QTcpSocket>

TPbxServer::TPbxServer(QObject* parent) : QObject(parent) {}

TPbxServer::~TPbxServer() {
    stop();
}

bool TPbxServer::start(const TSimOptions& options, QString* error) {
    stop();
    QString failure;
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        stop();
        return false;
    };
    m_options = options;

    const QString scenario = TSimDatabase::loadScenario(options.scenario, &failure);
    if (!failure.isEmpty()) return fail(failure);
    m_database = std::make_unique<TSimDatabase>();
    if (!m_database->open(scenario, &failure)) return fail(failure);
    m_state = std::make_unique<TSimState>();
    m_state->seed(*m_database, m_state->now());
    connect(m_state.get(), &TSimState::queueCallsChanged, this, &TPbxServer::syncActiveCalls);

    if (!options.scriptFile.isEmpty()) {
        m_script = std::make_unique<TSimScript>();
        if (!m_script->load(options.scriptFile, &failure)) return fail(failure);
    }

    m_manager = new QTcpServer(this);
    m_chat = new QTcpServer(this);
    const QList<std::pair<QTcpServer*, quint16>> listeners = {{m_manager, options.port},
                                                              {m_chat, options.chatPort}};
    for (const auto& [listener, port] : listeners) {
        if (!listener->listen(options.address, port)) {
            return fail(QStringLiteral("cannot listen on %1:%2: %3")
                            .arg(options.address.toString())
                            .arg(port)
                            .arg(listener->errorString()));
        }
    }
    connect(m_manager, &QTcpServer::newConnection, this, [this] { accept(m_manager, false); });
    connect(m_chat, &QTcpServer::newConnection, this, [this] { accept(m_chat, true); });
    return true;
}

void TPbxServer::stop() {
    // Sessions first: their queries run on the database's connections.
    for (const QPointer<TSimSession>& s : std::as_const(m_sessions))
        delete s.data();
    m_sessions.clear();
    delete m_manager;
    delete m_chat;
    m_manager = nullptr;
    m_chat = nullptr;
    m_script.reset();
    m_state.reset();
    m_database.reset();
}

bool TPbxServer::isRunning() const {
    return m_manager && m_manager->isListening();
}

quint16 TPbxServer::managerPort() const {
    return m_manager ? m_manager->serverPort() : 0;
}

quint16 TPbxServer::chatPort() const {
    return m_chat ? m_chat->serverPort() : 0;
}

QStringList TPbxServer::receivedActions() const {
    return QStringList(m_received.begin(), m_received.end());
}

int TPbxServer::connectionCount() const {
    int n = 0;
    for (const QPointer<TSimSession>& s : m_sessions)
        n += s ? 1 : 0;
    return n;
}

void TPbxServer::accept(QTcpServer* listener, bool chat) {
    while (QTcpSocket* socket = listener->nextPendingConnection()) {
        m_sessions.removeAll(nullptr);
        if (m_sessions.size() >= ConnectionLimit) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        TSimContext context;
        context.options = &m_options;
        context.database = m_database.get();
        context.state = m_state.get();
        context.script = m_script.get();
        auto* session =
            new TSimSession(socket, chat ? TSimSession::Kind::Chat : TSimSession::Kind::Manager,
                            context, m_connections++, this);
        m_sessions.append(session);
        connect(session, &TSimSession::actionReceived, this, &TPbxServer::record);
        connect(session, &TSimSession::scriptFinished, this, &TPbxServer::scriptFinished);
        connect(session, &TSimSession::closed, this, [this, session] {
            session->deleteLater();
            Q_EMIT clientDisconnected();
        });
        session->start();
    }
}

void TPbxServer::record(const QString& actionName, const QString& text) {
    m_received.push_back(text);
    m_receivedSize += text.size();
    while (m_receivedSize > ReceivedLimit && m_received.size() > 1) {
        m_receivedSize -= m_received.front().size();
        m_received.pop_front();
    }
    Q_EMIT actionReceived(actionName, text);
}

void TPbxServer::syncActiveCalls() {
    // The monitor asks the table for the calls in the queues when it loads; keep it true.
    if (!m_database || !m_state || !m_database->hasTable(QStringLiteral("ChamadasAtivas"))) return;
    m_database->exec(QStringLiteral("DELETE FROM ChamadasAtivas"));
    for (const TSimChannel& c : m_state->channels()) {
        if (c.queue.isEmpty()) continue;
        m_database->exec(
            QStringLiteral("INSERT INTO ChamadasAtivas (UniqueId, DestinoInterno, "
                           "DestinoInternoId, BridgeChannel, TimeStamp, "
                           "TimeStampAtendimento) VALUES (?, 'Fila', ?, ?, ?, ?)"),
            {c.uniqueId, c.queue,
             c.answeredBy.isEmpty() ? QString() : QStringLiteral("Agent/") + c.answeredBy,
             c.queueJoined, c.answeredAt});
    }
}
