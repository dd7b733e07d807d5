#include "TPbxServer.h"

#include "TSimChat.h"

#include "TSimDatabase.h"
#include "TSimDump.h"
#include "TSimScript.h"
#include "TSimSession.h"
#include "TSimState.h"
#include "TSimTraffic.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

namespace {

// The scenario's traffic settings (table SimTrafego, one row), over the defaults.
TSimTrafficProfile readProfile(const TSimDatabase& database) {
    TSimTrafficProfile p;
    const QList<QSqlRecord> rows = database.rows(QStringLiteral("SELECT * FROM SimTrafego"));
    if (rows.isEmpty()) return p;
    const QSqlRecord& r = rows.first();
    auto number = [&r](const char* column, double fallback) {
        bool ok = false;
        const double v = r.value(QLatin1StringView(column)).toDouble(&ok);
        return ok && v >= 0 ? v : fallback;
    };
    p.load = qBound(0.0, number("Carga", p.load), 5.0);
    p.patienceSeconds = int(qBound(1.0, number("PacienciaSegundos", p.patienceSeconds), 86400.0));
    p.talkSeconds = int(qBound(0.0, number("AtendimentoSegundos", p.talkSeconds), 86400.0));
    p.targetChannels = int(qBound(0.0, number("CanaisAlvo", p.targetChannels), 1e6));
    p.maxChannels = int(qBound(1.0, number("CanaisMaximo", p.maxChannels), 1e6));
    p.internalPerHour = qBound(0.0, number("InternasPorHora", p.internalPerHour), 1000.0);
    p.outgoingPerHour = qBound(0.0, number("SaidasPorHora", p.outgoingPerHour), 1000.0);
    return p;
}

} // namespace

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
    if (options.clock) m_state->setClock(options.clock);
    m_state->seed(*m_database, m_state->now());
    m_hasActiveCalls = m_database->hasTable(QStringLiteral("ChamadasAtivas"));
    connect(m_state.get(), &TSimState::queueCallChanged, this, &TPbxServer::queueCallChanged);
    m_traffic = std::make_unique<TSimTraffic>(m_state.get(), options.seed, options.speed);
    m_traffic->setProfile(readProfile(*m_database));
    m_traffic->setDialerShare(options.dialerShare);
    connect(m_traffic.get(), &TSimTraffic::event, this, &TPbxServer::broadcast);
    m_chatSim = std::make_unique<TSimChat>(m_state.get(), options.seed, options.speed);
    m_chatSim->seed(*m_database);
    m_chatSim->keepTables(m_database.get());
    connect(m_chatSim.get(), &TSimChat::event, this, &TPbxServer::broadcast);
    connect(m_chatSim.get(), &TSimChat::chatEvent, this, &TPbxServer::broadcastChat);

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

    if (options.traffic) {
        m_traffic->start(options.warmUpSeconds);
        m_chatSim->start();
    }
    if (options.dumpStateSeconds > 0) {
        m_dumpTimer = new QTimer(this);
        connect(m_dumpTimer, &QTimer::timeout, this,
                [this] { QTextStream(stderr) << describeState() << Qt::endl; });
        m_dumpTimer->start(options.dumpStateSeconds * 1000);
    }
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
    delete m_dumpTimer;
    m_dumpTimer = nullptr;
    m_script.reset();
    m_chatSim.reset();
    m_traffic.reset();
    m_changedCalls.clear();
    m_flushPending = false;
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
        context.traffic = m_traffic.get();
        context.chat = m_chatSim.get();
        context.beforeQuery = [this] { flushActiveCalls(); };
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

QString TPbxServer::describeState() const {
    return m_state ? TSimDump::text(*m_state, m_traffic.get(), m_chatSim.get()) : QString();
}

void TPbxServer::broadcast(const TSimPacket& event) {
    QByteArray wire; // made once, and only when somebody listens
    for (const QPointer<TSimSession>& s : std::as_const(m_sessions)) {
        if (!s || !s->isLoggedIn() || !s->isManager()) continue;
        if (wire.isEmpty()) wire = event.toWire();
        s->sendEvent(wire);
    }
}

void TPbxServer::broadcastChat(const TSimPacket& event) {
    QByteArray wire;
    for (const QPointer<TSimSession>& s : std::as_const(m_sessions)) {
        if (!s || !s->isLoggedIn() || s->isManager()) continue;
        if (wire.isEmpty()) wire = event.toWire();
        s->sendEvent(wire);
    }
}

void TPbxServer::queueCallChanged(const QString& uniqueId) {
    if (!m_hasActiveCalls) return;
    m_changedCalls.insert(uniqueId);
    if (m_flushPending) return;
    m_flushPending = true;
    QTimer::singleShot(0, this, &TPbxServer::flushActiveCalls);
}

void TPbxServer::flushActiveCalls() {
    // The monitor asks the table for the calls in the queues when it loads; keep it true. The
    // rows that changed are rewritten together, before any client query reads the table.
    m_flushPending = false;
    if (m_changedCalls.isEmpty() || !m_database || !m_state) return;
    QSqlDatabase db = m_database->writer();
    db.transaction();
    QSqlQuery remove(db);
    remove.prepare(QStringLiteral("DELETE FROM ChamadasAtivas WHERE UniqueId = ?"));
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO ChamadasAtivas (UniqueId, DestinoInterno, "
                                  "DestinoInternoId, BridgeChannel, TimeStamp, "
                                  "TimeStampAtendimento) VALUES (?, 'Fila', ?, ?, ?, ?)"));
    for (const QString& uid : std::as_const(m_changedCalls)) {
        remove.addBindValue(uid);
        remove.exec();
        const TSimChannel* c = m_state->channel(uid);
        if (!c || c->queue.isEmpty()) continue;
        insert.addBindValue(uid);
        insert.addBindValue(c->queue);
        insert.addBindValue(c->answeredBy.isEmpty() ? QString()
                                                    : QStringLiteral("Agent/") + c->answeredBy);
        insert.addBindValue(c->queueJoined);
        insert.addBindValue(c->answeredAt);
        insert.exec();
    }
    db.commit();
    m_changedCalls.clear();
}
