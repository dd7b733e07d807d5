#include "TSimState.h"

#include "TSimDatabase.h"

#include <QDateTime>
#include <QSqlRecord>
#include <QVariant>

namespace {

QString text(const QSqlRecord& r, const char* column) {
    const QVariant v = r.value(QLatin1StringView(column));
    return v.isNull() ? QString() : v.toString();
}

qint64 number(const QSqlRecord& r, const char* column, qint64 fallback = 0) {
    bool ok = false;
    const qint64 n = r.value(QLatin1StringView(column)).toLongLong(&ok);
    return ok ? n : fallback;
}

// "seconds before now" columns of the seed tables; NULL or negative means no moment.
qint64 momentBefore(const QSqlRecord& r, const char* column, qint64 now) {
    const QVariant v = r.value(QLatin1StringView(column));
    if (v.isNull()) return 0;
    const qint64 ago = v.toLongLong();
    return ago < 0 ? 0 : now - ago;
}

} // namespace

QString TSimAgent::statusText() const {
    switch (status) {
    case Status::LoggedOff:
        return QStringLiteral("AGENT_LOGGEDOFF");
    case Status::Idle:
        return QStringLiteral("AGENT_IDLE");
    case Status::Ringing:
        return QStringLiteral("AGENT_IDLE");
    case Status::OnCall:
        return QStringLiteral("AGENT_ONCALL");
    case Status::WrapUp:
        return QStringLiteral("AGENT_WRAPUP");
    }
    return {};
}

int TSimAgent::deviceState() const {
    switch (status) {
    case Status::LoggedOff:
        return 5; // unavailable
    case Status::Idle:
        return 1; // not in use
    case Status::Ringing:
        return 6; // ringing
    case Status::OnCall:
        return 3; // busy
    case Status::WrapUp:
        return 0; // after-call work
    }
    return 0;
}

const TSimQueueMember* TSimQueue::member(const QString& agentId) const {
    for (const TSimQueueMember& m : members) {
        if (m.agentId == agentId) return &m;
    }
    return nullptr;
}

QString TSimPort::lineDevice(int i) const {
    if (brand == u"k") return QStringLiteral("Khomp/B%1C%2").arg(boardIndex).arg(firstLine + i);
    if (brand == u"z") return QStringLiteral("DAHDI/%1").arg(firstLine + i);
    return {};
}

TSimState::TSimState(QObject* parent)
    : QObject(parent), m_clock([] { return QDateTime::currentSecsSinceEpoch(); }) {}

void TSimState::seed(const TSimDatabase& db, qint64 now) {
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT PerfilConfiguracaoId, Status FROM PerfilConfiguracao"))) {
        if (number(r, "Status") == 1) m_profileId = text(r, "PerfilConfiguracaoId");
    }
    // Rows of the active profile only, like the monitor's own filters.
    const QString profile = m_profileId.isEmpty() ? QStringLiteral("1 = 1")
                                                  : QStringLiteral("PerfilConfiguracaoId = ?");
    const QVariantList binds = m_profileId.isEmpty() ? QVariantList() : QVariantList{m_profileId};

    QHash<QString, QSqlRecord> agentSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimAtendente")))
        agentSeed.insert(text(r, "AtendenteId"), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT AtendenteId, Nome FROM Atendente WHERE %1 ORDER BY rowid")
                     .arg(profile),
                 binds)) {
        TSimAgent a;
        a.id = text(r, "AtendenteId");
        a.name = text(r, "Nome");
        const QSqlRecord s = agentSeed.value(a.id);
        a.loggedInChan = text(s, "Dispositivo");
        if (!a.loggedInChan.isEmpty()) {
            a.status = TSimAgent::Status::Idle;
            a.loggedInTime = momentBefore(s, "LoginHaSegundos", now);
            a.paused = number(s, "Pausado") != 0;
            a.pauseReason = int(number(s, "MotivoPausaId"));
            a.pauseStart = a.paused ? momentBefore(s, "PausaHaSegundos", now) : 0;
        }
        a.lastCall = momentBefore(s, "UltimaChamadaHaSegundos", now);
        a.lastPause = momentBefore(s, "UltimaPausaHaSegundos", now);
        m_agents.append(a);
    }

    QHash<QString, QSqlRecord> queueSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimFila")))
        queueSeed.insert(text(r, "FilaId"), r);
    for (const QSqlRecord& r : db.rows(
             QStringLiteral("SELECT FilaId, Nome, Numero, Tipo FROM Fila WHERE %1 AND Ativa = 1 "
                            "ORDER BY rowid")
                 .arg(profile),
             binds)) {
        TSimQueue q;
        q.id = text(r, "FilaId");
        q.name = text(r, "Nome");
        q.number = text(r, "Numero");
        q.type = text(r, "Tipo");
        const QSqlRecord s = queueSeed.value(q.id);
        if (!text(s, "Estrategia").isEmpty()) q.strategy = text(s, "Estrategia");
        q.max = int(number(s, "Maximo"));
        q.completed = int(number(s, "Completadas"));
        q.abandoned = int(number(s, "Abandonadas"));
        q.holdTime = int(number(s, "TempoEspera"));
        q.talkTime = int(number(s, "TempoAtendimento"));
        q.serviceLevel = int(number(s, "NivelServico", 20));
        if (!text(s, "NivelServicoPerf").isEmpty())
            q.serviceLevelPerf = text(s, "NivelServicoPerf");
        q.weight = int(number(s, "Peso"));
        m_queues.append(q);
    }
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM SimMembroFila ORDER BY rowid"))) {
        TSimQueue* q = findQueue(text(r, "FilaId"));
        if (!q || !findAgent(text(r, "AtendenteId"))) continue;
        q->members.append({text(r, "AtendenteId"), int(number(r, "Penalidade")),
                           int(number(r, "ChamadasAtendidas"))});
    }

    QHash<QString, QSqlRecord> extensionSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimRamal")))
        extensionSeed.insert(text(r, "RamalId"), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT RamalId, Nome, Tipo FROM Ramal WHERE %1 ORDER BY RamalId")
                     .arg(profile),
                 binds)) {
        TSimExtension e;
        e.id = text(r, "RamalId");
        e.name = text(r, "Nome");
        e.type = text(r, "Tipo");
        const QSqlRecord s = extensionSeed.value(e.id);
        e.registered = number(s, "Registrado") != 0;
        e.address = text(s, "Endereco");
        e.latency = int(number(s, "Latencia", 10));
        m_extensions.append(e);
    }

    QHash<int, QSqlRecord> portSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimPorta")))
        portSeed.insert(int(number(r, "PortaId")), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM Porta ORDER BY Placa, Canal"))) {
        TSimPort p;
        p.id = int(number(r, "PortaId", -1));
        if (p.id < 0) continue;
        p.board = int(number(r, "Placa", -1));
        p.line = int(number(r, "Canal", -1));
        p.brand = text(r, "Marca");
        p.type = text(r, "Tipo");
        p.trunkType = text(r, "TipoTronco");
        p.name = text(r, "Nome");
        const QSqlRecord s = portSeed.value(p.id);
        p.signal = int(number(s, "Sinal", 70));
        p.alarm = text(s, "Alarme");
        m_ports.append(p);
    }
    numberPorts();

    QHash<QString, QSqlRecord> trunkSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimTronco")))
        trunkSeed.insert(text(r, "Nome"), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM Tronco WHERE %1 ORDER BY TroncoId").arg(profile),
                 binds)) {
        TSimTrunk t;
        t.name = text(r, "Nome");
        t.portId = int(number(r, "TroncoId"));
        t.idTronco = int(number(r, "IdTronco"));
        t.type = text(r, "Tipo");
        t.host = text(r, "Host");
        t.user = text(r, "Usuario");
        t.carrier = text(r, "Operadora");
        t.reachable = number(trunkSeed.value(t.name), "Alcancavel", 1) != 0;
        m_trunks.append(t);
    }

    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM SimMotivoChamada ORDER BY rowid"))) {
        m_callReasons.append({text(r, "FilaId"), text(r, "Motivo"), text(r, "SubMotivo"),
                              int(number(r, "Quantidade"))});
    }

    for (const QSqlRecord& r : db.rows(QStringLiteral(
             "SELECT u.user AS Usuario, p.Grupo, p.Permissao, p.Valor FROM SimPermissao p "
             "JOIN user u ON u.idUser = p.idUser ORDER BY p.rowid"))) {
        QList<TSimPermission>& list = m_permissions[text(r, "Usuario")];
        const QString group = text(r, "Grupo");
        const QString permission = text(r, "Permissao");
        TSimPermission* entry = nullptr;
        for (TSimPermission& p : list) {
            if (p.group == group && p.permission == permission) entry = &p;
        }
        if (!entry) {
            list.append({group, permission, {}});
            entry = &list.last();
        }
        if (!text(r, "Valor").isEmpty()) entry->values.append(text(r, "Valor"));
    }

    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT Usuario FROM SimChatOnline ORDER BY rowid")))
        m_chatOnline.append(text(r, "Usuario"));
}

void TSimState::numberPorts() {
    // Khomp lines restart at 0 on every board; an E1 span takes 30 of them.
    int previousBoard = -1;
    int boardIndex = -1;
    int offset = 0;
    for (TSimPort& p : m_ports) {
        if (p.brand != u"k") continue;
        if (p.board != previousBoard) {
            previousBoard = p.board;
            ++boardIndex;
            offset = 0;
        }
        p.boardIndex = boardIndex;
        p.firstLine = offset;
        p.lineCount = p.isDigitalTrunk() ? 30 : 1;
        offset += p.lineCount;
    }
    // DAHDI numbers all its lines from 1 across the boards; an E1 span takes 31 (16 signals).
    int line = 1;
    for (TSimPort& p : m_ports) {
        if (p.brand != u"z") continue;
        p.firstLine = line;
        p.lineCount = p.isDigitalTrunk() ? 31 : 1;
        line += p.lineCount;
    }
}

const TSimAgent* TSimState::agent(const QString& id) const {
    return const_cast<TSimState*>(this)->findAgent(id);
}

const TSimQueue* TSimState::queue(const QString& id) const {
    return const_cast<TSimState*>(this)->findQueue(id);
}

const TSimChannel* TSimState::channel(const QString& uniqueId) const {
    return const_cast<TSimState*>(this)->findChannel(uniqueId);
}

const TSimChannel* TSimState::channelByName(const QString& name) const {
    for (const TSimChannel& c : m_channels) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

const TSimPort* TSimState::port(int id) const {
    for (const TSimPort& p : m_ports) {
        if (p.id == id) return &p;
    }
    return nullptr;
}

TSimAgent* TSimState::findAgent(const QString& id) {
    const QString number = id.startsWith(u"Agent/") ? id.mid(6) : id;
    for (TSimAgent& a : m_agents) {
        if (a.id == number) return &a;
    }
    return nullptr;
}

TSimQueue* TSimState::findQueue(const QString& id) {
    for (TSimQueue& q : m_queues) {
        if (q.id == id) return &q;
    }
    return nullptr;
}

TSimChannel* TSimState::findChannel(const QString& uniqueId) {
    for (TSimChannel& c : m_channels) {
        if (c.uniqueId == uniqueId) return &c;
    }
    return nullptr;
}

bool TSimState::loginAgent(const QString& id, const QString& device) {
    TSimAgent* a = findAgent(id);
    if (!a || device.isEmpty()) return false;
    a->loggedInChan = device;
    a->loggedInTime = now();
    a->status = TSimAgent::Status::Idle;
    a->talkingTo.clear();
    return true;
}

bool TSimState::logoffAgent(const QString& id) {
    TSimAgent* a = findAgent(id);
    if (!a) return false;
    a->loggedInChan.clear();
    a->loggedInTime = 0;
    a->status = TSimAgent::Status::LoggedOff;
    a->paused = false;
    a->pauseReason = 0;
    a->pauseStart = 0;
    a->talkingTo.clear();
    return true;
}

bool TSimState::setAgentPaused(const QString& id, bool paused, int reason) {
    TSimAgent* a = findAgent(id);
    if (!a) return false;
    if (a->paused && !paused) a->lastPause = now();
    if (paused && !a->paused) a->pauseStart = now();
    a->paused = paused;
    a->pauseReason = paused ? reason : 0;
    if (!paused) a->pauseStart = 0;
    return true;
}

bool TSimState::setAgentStatus(const QString& id, TSimAgent::Status status,
                               const QString& talkingTo) {
    TSimAgent* a = findAgent(id);
    if (!a) return false;
    if (a->status == TSimAgent::Status::OnCall && status != TSimAgent::Status::OnCall)
        a->lastCall = now();
    a->status = status;
    a->talkingTo = talkingTo;
    return true;
}

bool TSimState::addMember(const QString& queueId, const QString& agentId, int penalty) {
    TSimQueue* q = findQueue(queueId);
    TSimAgent* a = findAgent(agentId);
    if (!q || !a || q->member(a->id)) return false;
    q->members.append({a->id, penalty, 0});
    return true;
}

bool TSimState::removeMember(const QString& queueId, const QString& agentId) {
    TSimQueue* q = findQueue(queueId);
    const TSimAgent* a = findAgent(agentId);
    if (!q || !a) return false;
    for (qsizetype i = 0; i < q->members.size(); ++i) {
        if (q->members.at(i).agentId == a->id) {
            q->members.removeAt(i);
            return true;
        }
    }
    return false;
}

QString TSimState::addChannel(TSimChannel channel) {
    if (channel.created == 0) channel.created = now();
    if (channel.uniqueId.isEmpty())
        channel.uniqueId = QStringLiteral("%1.%2").arg(channel.created).arg(m_nextUniqueId++);
    const QString id = channel.uniqueId;
    m_channels.append(std::move(channel));
    return id;
}

bool TSimState::removeChannel(const QString& uniqueId) {
    for (qsizetype i = 0; i < m_channels.size(); ++i) {
        if (m_channels.at(i).uniqueId != uniqueId) continue;
        const QString name = m_channels.at(i).name;
        const bool wasQueued = !m_channels.at(i).queue.isEmpty();
        m_channels.removeAt(i);
        for (TSimChannel& c : m_channels) {
            if (c.bridgedTo == name) c.bridgedTo.clear();
        }
        dropFromQueues(uniqueId);
        if (wasQueued) Q_EMIT queueCallsChanged();
        return true;
    }
    return false;
}

bool TSimState::setChannelState(const QString& uniqueId, const QString& state) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c) return false;
    c->state = state;
    return true;
}

bool TSimState::bridge(const QString& uniqueIdA, const QString& uniqueIdB) {
    TSimChannel* a = findChannel(uniqueIdA);
    TSimChannel* b = findChannel(uniqueIdB);
    if (!a || !b || a == b) return false;
    a->bridgedTo = b->name;
    b->bridgedTo = a->name;
    return true;
}

bool TSimState::setChannelVariable(const QString& uniqueId, const QString& name,
                                   const QString& value) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c) return false;
    c->variables.insert(name, value);
    return true;
}

void TSimState::dropFromQueues(const QString& uniqueId) {
    for (TSimQueue& q : m_queues)
        q.waiting.removeAll(uniqueId);
}

bool TSimState::joinQueue(const QString& queueId, const QString& uniqueId) {
    TSimQueue* q = findQueue(queueId);
    TSimChannel* c = findChannel(uniqueId);
    if (!q || !c) return false;
    dropFromQueues(uniqueId);
    c->queue = q->id;
    c->queueJoined = now();
    c->answeredBy.clear();
    c->answeredAt = 0;
    q->waiting.append(uniqueId);
    Q_EMIT queueCallsChanged();
    return true;
}

bool TSimState::answerQueueCall(const QString& uniqueId, const QString& agentId) {
    TSimChannel* c = findChannel(uniqueId);
    const TSimAgent* a = findAgent(agentId);
    if (!c || !a || c->queue.isEmpty()) return false;
    dropFromQueues(uniqueId);
    c->answeredBy = a->id;
    c->answeredAt = now();
    Q_EMIT queueCallsChanged();
    return true;
}

bool TSimState::leaveQueue(const QString& uniqueId) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c || c->queue.isEmpty()) return false;
    dropFromQueues(uniqueId);
    c->queue.clear();
    c->queueJoined = 0;
    c->answeredBy.clear();
    c->answeredAt = 0;
    Q_EMIT queueCallsChanged();
    return true;
}

bool TSimState::setExtensionRegistered(const QString& id, bool registered, const QString& address) {
    for (TSimExtension& e : m_extensions) {
        if (e.id == id) {
            e.registered = registered;
            if (!address.isEmpty()) e.address = address;
            return true;
        }
    }
    return false;
}

void TSimState::setChatUserOnline(const QString& user, bool online) {
    m_chatOnline.removeAll(user);
    if (online) m_chatOnline.append(user);
}
