#include "TSimState.h"

#include "TSimDatabase.h"

#include <QDateTime>
#include <QSet>
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
    case Status::OnCall:
        return 3; // busy: the agent's telephone rings or talks
    case Status::WrapUp:
        return 0; // after-call work
    }
    return 0;
}

const TSimQueueMember* TSimQueue::member(const QString& agentId) const {
    const qsizetype i = memberIndex.value(agentId, -1);
    return i < 0 ? nullptr : &members.at(i);
}

QString TSimQueue::serviceLevelPerf() const {
    if (completed <= 0) return QStringLiteral("0.0");
    return QString::number(100.0 * withinServiceLevel / completed, 'f', 1);
}

QString TSimChannel::deviceOf(const QString& channelName) {
    const qsizetype slash = channelName.indexOf(u'/');
    const qsizetype dash = channelName.lastIndexOf(u'-');
    return slash < 0 || dash <= slash ? channelName : channelName.left(dash);
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

    QHash<QString, QSqlRecord> extensionSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimRamal")))
        extensionSeed.insert(text(r, "RamalId"), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT RamalId, Nome, Tipo FROM Ramal WHERE %1 ORDER BY RamalId")
                     .arg(profile),
                 binds)) {
        TSimExtension e;
        e.id = text(r, "RamalId");
        if (m_extensionIndex.contains(e.id)) continue;
        e.name = text(r, "Nome");
        e.type = text(r, "Tipo");
        const QSqlRecord s = extensionSeed.value(e.id);
        e.registered = number(s, "Registrado") != 0;
        e.address = text(s, "Endereco");
        e.latency = int(number(s, "Latencia", 10));
        m_extensionIndex.insert(e.id, m_extensions.size());
        m_extensions.append(e);
    }

    QHash<QString, QSqlRecord> agentSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimAtendente")))
        agentSeed.insert(text(r, "AtendenteId"), r);
    QSet<QString> desks; // telephones already some agent's own
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT AtendenteId, Nome FROM Atendente WHERE %1 ORDER BY rowid")
                     .arg(profile),
                 binds)) {
        TSimAgent a;
        a.id = text(r, "AtendenteId");
        if (a.id.isEmpty() || m_agentIndex.contains(a.id)) continue;
        a.name = text(r, "Nome");
        const QSqlRecord s = agentSeed.value(a.id);
        a.loggedInChan = text(s, "Dispositivo");
        if (!a.loggedInChan.isEmpty()) {
            a.status = TSimAgent::Status::Idle;
            a.device = a.loggedInChan;
            desks.insert(a.device);
            m_agentAtDevice.insert(a.device, a.id);
            a.loggedInTime = momentBefore(s, "LoginHaSegundos", now);
            a.paused = number(s, "Pausado") != 0;
            a.pauseReason = a.paused ? int(number(s, "MotivoPausaId")) : 0;
            a.pauseStart = a.paused ? momentBefore(s, "PausaHaSegundos", now) : 0;
        }
        a.lastCall = momentBefore(s, "UltimaChamadaHaSegundos", now);
        a.lastPause = momentBefore(s, "UltimaPausaHaSegundos", now);
        m_agentIndex.insert(a.id, m_agents.size());
        m_agents.append(a);
    }
    // Agents logged off have a desk too, where they log in when their shift starts: the SIP
    // telephone numbered like them (agent 1017 sits at 2017), else the next one nobody has.
    qsizetype nextFree = 0;
    for (TSimAgent& a : m_agents) {
        if (!a.device.isEmpty()) continue;
        if (a.id.startsWith(u'1')) {
            const TSimExtension* e = extension(u'2' + a.id.mid(1));
            if (e && e->type == u"s" && !desks.contains(e->device())) a.device = e->device();
        }
        while (a.device.isEmpty() && nextFree < m_extensions.size()) {
            const TSimExtension& e = m_extensions.at(nextFree++);
            if (e.type == u"s" && !desks.contains(e.device())) a.device = e.device();
        }
        if (!a.device.isEmpty()) desks.insert(a.device);
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
        if (q.id.isEmpty() || m_queueIndex.contains(q.id)) continue;
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
        const double perf = text(s, "NivelServicoPerf").toDouble();
        q.withinServiceLevel = qBound(0, int(q.completed * perf / 100.0 + 0.5), q.completed);
        q.weight = int(number(s, "Peso"));
        m_queueIndex.insert(q.id, m_queues.size());
        m_queues.append(q);
    }
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM SimMembroFila ORDER BY rowid"))) {
        const QString queueId = text(r, "FilaId");
        const QString agentId = text(r, "AtendenteId");
        if (addMember(queueId, agentId, int(number(r, "Penalidade"))))
            findQueue(queueId)->members.last().callsTaken = int(number(r, "ChamadasAtendidas"));
    }

    QHash<int, QSqlRecord> portSeed;
    for (const QSqlRecord& r : db.rows(QStringLiteral("SELECT * FROM SimPorta")))
        portSeed.insert(int(number(r, "PortaId")), r);
    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT * FROM Porta ORDER BY Placa, Canal"))) {
        TSimPort p;
        p.id = int(number(r, "PortaId", -1));
        if (p.id < 0 || m_portIndex.contains(p.id)) continue;
        p.board = int(number(r, "Placa", -1));
        p.line = int(number(r, "Canal", -1));
        p.brand = text(r, "Marca");
        p.type = text(r, "Tipo");
        p.trunkType = text(r, "TipoTronco");
        p.name = text(r, "Nome");
        const QSqlRecord s = portSeed.value(p.id);
        p.signal = int(number(s, "Sinal", 70));
        p.onNetwork = p.signal > 0;
        p.alarm = text(s, "Alarme");
        m_portIndex.insert(p.id, m_ports.size());
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
        if (t.name.isEmpty() || m_trunkIndex.contains(t.name)) continue;
        t.portId = int(number(r, "TroncoId"));
        t.idTronco = int(number(r, "IdTronco"));
        t.type = text(r, "Tipo");
        t.host = text(r, "Host");
        t.user = text(r, "Usuario");
        t.carrier = text(r, "Operadora");
        t.number = text(r, "IdDeChamada");
        const QSqlRecord s = trunkSeed.value(t.name);
        t.reachable = number(s, "Alcancavel", 1) != 0;
        t.capacity = int(qBound<qint64>(1LL, number(s, "Canais", 30), 100000LL));
        m_trunkIndex.insert(t.name, m_trunks.size());
        m_trunks.append(t);
    }

    for (const QSqlRecord& r :
         db.rows(QStringLiteral("SELECT MotivoPausaId, Nome, Produtivo FROM MotivoPausa WHERE %1 "
                                "ORDER BY MotivoPausaId")
                     .arg(profile),
                 binds)) {
        const int id = int(number(r, "MotivoPausaId"));
        if (id < 1 || pauseReason(id)) continue;
        m_pauseReasons.append({id, text(r, "Nome"), number(r, "Produtivo") != 0});
    }

    // Reasons first, then their sub-reasons: a sub-reason without its reason is not counted.
    const QList<QSqlRecord> reasonRows =
        db.rows(QStringLiteral("SELECT * FROM SimMotivoChamada ORDER BY rowid"));
    for (const QSqlRecord& r : reasonRows) {
        if (!text(r, "SubMotivo").isEmpty()) continue;
        const QString queue = text(r, "FilaId");
        qsizetype i = m_callReasonIndex.value(queue, -1);
        if (i < 0) {
            i = m_callReasons.size();
            m_callReasonIndex.insert(queue, i);
            m_callReasons.append({queue, {}});
        }
        m_callReasons[i].reasons.append({text(r, "Motivo"), int(number(r, "Quantidade")), {}});
    }
    for (const QSqlRecord& r : reasonRows) {
        if (text(r, "SubMotivo").isEmpty()) continue;
        const qsizetype i = m_callReasonIndex.value(text(r, "FilaId"), -1);
        if (i < 0) continue;
        for (TSimReasonCount& reason : m_callReasons[i].reasons) {
            if (reason.name != text(r, "Motivo")) continue;
            reason.subReasons.append({text(r, "SubMotivo"), int(number(r, "Quantidade"))});
            break;
        }
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

    // Running campaigns with a queue, and a few of their customers for the dialer's calls.
    constexpr int kClientesPorCampanha = 50;
    for (const QSqlRecord& k : db.rows(QStringLiteral(
             "SELECT CampanhaId, Fila FROM DisCampanha WHERE Status > 0 AND Fila > 0 "
             "ORDER BY CampanhaId"))) {
        TSimCampaign c;
        c.id = text(k, "CampanhaId");
        c.queue = text(k, "Fila");
        for (const QSqlRecord& r : db.rows(
                 QStringLiteral("SELECT t.Telefone AS Telefone, c.Nome AS Nome FROM DisTelefone "
                                "t JOIN DisCliente c ON c.CampanhaId = t.CampanhaId AND "
                                "c.ClienteId = t.ClienteId WHERE t.CampanhaId = ? AND "
                                "t.Ativo = 1 ORDER BY t.ClienteId LIMIT %1")
                     .arg(kClientesPorCampanha),
                 {c.id}))
            c.customers.append({text(r, "Telefone"), text(r, "Nome")});
        if (!c.customers.isEmpty()) m_campaigns.append(c);
    }
}

const TSimCampaign* TSimState::campaignForQueue(const QString& queueId) const {
    for (const TSimCampaign& c : m_campaigns)
        if (c.queue == queueId) return &c;
    return nullptr;
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
    const auto key = m_channelByName.constFind(name);
    return key == m_channelByName.cend() ? nullptr : &m_channels.at(*key);
}

const TSimExtension* TSimState::extension(const QString& id) const {
    const qsizetype i = m_extensionIndex.value(id, -1);
    return i < 0 ? nullptr : &m_extensions.at(i);
}

const TSimPort* TSimState::port(int id) const {
    const qsizetype i = m_portIndex.value(id, -1);
    return i < 0 ? nullptr : &m_ports.at(i);
}

const TSimTrunk* TSimState::trunk(const QString& name) const {
    const qsizetype i = m_trunkIndex.value(name, -1);
    return i < 0 ? nullptr : &m_trunks.at(i);
}

const TSimPauseReason* TSimState::pauseReason(int id) const {
    for (const TSimPauseReason& r : m_pauseReasons) {
        if (r.id == id) return &r;
    }
    return nullptr;
}

qsizetype TSimState::queueIndex(const QString& id) const {
    return m_queueIndex.value(id, -1);
}

const TSimAgent* TSimState::agentAt(const QString& device) const {
    const auto id = m_agentAtDevice.constFind(device);
    return id == m_agentAtDevice.cend() ? nullptr : agent(*id);
}

int TSimState::waitingPosition(const QString& uniqueId) const {
    const TSimChannel* c = channel(uniqueId);
    const TSimQueue* q = c ? queue(c->queue) : nullptr;
    return q ? int(q->waiting.indexOf(uniqueId) + 1) : 0;
}

TSimAgent* TSimState::agentForUpdate(const QString& id) {
    return findAgent(id);
}

TSimQueue* TSimState::queueForUpdate(const QString& id) {
    return findQueue(id);
}

TSimChannel* TSimState::channelForUpdate(const QString& uniqueId) {
    return findChannel(uniqueId);
}

TSimPort* TSimState::portForUpdate(int id) {
    const qsizetype i = m_portIndex.value(id, -1);
    return i < 0 ? nullptr : &m_ports[i];
}

TSimTrunk* TSimState::trunkForUpdate(const QString& name) {
    const qsizetype i = m_trunkIndex.value(name, -1);
    return i < 0 ? nullptr : &m_trunks[i];
}

TSimQueueMember* TSimState::memberForUpdate(const QString& queueId, const QString& agentId) {
    TSimQueue* q = findQueue(queueId);
    const TSimAgent* a = agent(agentId);
    const qsizetype i = q && a ? q->memberIndex.value(a->id, -1) : -1;
    return i < 0 ? nullptr : &q->members[i];
}

TSimAgent* TSimState::findAgent(const QString& id) {
    const qsizetype i = m_agentIndex.value(id.startsWith(u"Agent/") ? id.mid(6) : id, -1);
    return i < 0 ? nullptr : &m_agents[i];
}

TSimQueue* TSimState::findQueue(const QString& id) {
    const qsizetype i = m_queueIndex.value(id, -1);
    return i < 0 ? nullptr : &m_queues[i];
}

TSimChannel* TSimState::findChannel(const QString& uniqueId) {
    const auto key = m_channelByUid.constFind(uniqueId);
    return key == m_channelByUid.cend() ? nullptr : &m_channels.at(*key);
}

bool TSimState::loginAgent(const QString& id, const QString& device) {
    TSimAgent* a = findAgent(id);
    if (!a || device.isEmpty()) return false;
    if (!a->loggedInChan.isEmpty()) m_agentAtDevice.remove(a->loggedInChan);
    a->loggedInChan = device;
    a->loggedInTime = now();
    a->status = TSimAgent::Status::Idle;
    a->talkingTo.clear();
    m_agentAtDevice.insert(device, a->id);
    return true;
}

bool TSimState::logoffAgent(const QString& id) {
    TSimAgent* a = findAgent(id);
    if (!a) return false;
    if (!a->loggedInChan.isEmpty()) m_agentAtDevice.remove(a->loggedInChan);
    a->loggedInChan.clear();
    a->loggedInTime = 0;
    a->status = TSimAgent::Status::LoggedOff;
    if (a->paused) a->lastPause = now();
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
    // A new reason is a new pause: its clock starts again.
    if (paused && (!a->paused || a->pauseReason != reason)) a->pauseStart = now();
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

bool TSimState::addMember(const QString& queueId, const QString& agentId, int penalty,
                          bool dynamic) {
    TSimQueue* q = findQueue(queueId);
    TSimAgent* a = findAgent(agentId);
    if (!q || !a || q->member(a->id)) return false;
    q->memberIndex.insert(a->id, q->members.size());
    q->members.append({a->id, penalty, 0, dynamic});
    a->queues.append(q->id);
    return true;
}

bool TSimState::removeMember(const QString& queueId, const QString& agentId) {
    TSimQueue* q = findQueue(queueId);
    TSimAgent* a = findAgent(agentId);
    if (!q || !a) return false;
    const qsizetype i = q->memberIndex.value(a->id, -1);
    if (i < 0) return false;
    q->members.removeAt(i);
    q->memberIndex.remove(a->id);
    for (qsizetype k = i; k < q->members.size(); ++k)
        q->memberIndex.insert(q->members.at(k).agentId, k);
    a->queues.removeOne(q->id);
    return true;
}

QString TSimState::newUniqueId() {
    return QStringLiteral("%1.%2").arg(now()).arg(m_nextUniqueId++);
}

void TSimState::useDevice(const QString& device, const QString& uniqueId, bool on) {
    if (on) {
        m_onDevice[device].append(uniqueId);
        return;
    }
    const auto it = m_onDevice.find(device);
    if (it == m_onDevice.end()) return;
    it->removeOne(uniqueId);
    if (it->isEmpty()) m_onDevice.erase(it);
}

QString TSimState::addChannel(TSimChannel channel) {
    if (channel.created == 0) channel.created = now();
    if (channel.uniqueId.isEmpty()) channel.uniqueId = newUniqueId();
    if (m_channelByUid.contains(channel.uniqueId) || m_channelByName.contains(channel.name))
        return {};
    const quint64 order = m_nextOrder++;
    const QString id = channel.uniqueId;
    m_channelByUid.insert(id, order);
    m_channelByName.insert(channel.name, order);
    useDevice(channel.device(), id, true);
    const bool queued = !channel.queue.isEmpty();
    m_channels.emplace(order, std::move(channel));
    if (queued) Q_EMIT queueCallChanged(id);
    return id;
}

bool TSimState::removeChannel(const QString& uniqueId) {
    const auto key = m_channelByUid.constFind(uniqueId);
    if (key == m_channelByUid.cend()) return false;
    const quint64 order = *key;
    TSimChannel& c = m_channels.at(order);
    if (!c.bridgedTo.isEmpty()) {
        const auto other = m_channelByName.constFind(c.bridgedTo);
        if (other != m_channelByName.cend()) m_channels.at(*other).bridgedTo.clear();
    }
    const bool queued = !c.queue.isEmpty();
    dropFromQueue(c);
    useDevice(c.device(), uniqueId, false);
    m_channelByName.remove(c.name);
    m_channelByUid.remove(uniqueId);
    m_channels.erase(order);
    if (queued) Q_EMIT queueCallChanged(uniqueId);
    return true;
}

bool TSimState::renameChannel(const QString& uniqueId, const QString& newName) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c || newName.isEmpty() || m_channelByName.contains(newName)) return false;
    const quint64 order = m_channelByUid.value(uniqueId);
    if (!c->bridgedTo.isEmpty()) {
        if (TSimChannel* other = const_cast<TSimChannel*>(channelByName(c->bridgedTo)))
            other->bridgedTo = newName;
    }
    useDevice(c->device(), uniqueId, false);
    m_channelByName.remove(c->name);
    c->name = newName;
    m_channelByName.insert(newName, order);
    useDevice(c->device(), uniqueId, true);
    return true;
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
    unbridge(uniqueIdA);
    unbridge(uniqueIdB);
    a->bridgedTo = b->name;
    b->bridgedTo = a->name;
    return true;
}

bool TSimState::unbridge(const QString& uniqueId) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c) return false;
    if (!c->bridgedTo.isEmpty()) {
        if (TSimChannel* other = const_cast<TSimChannel*>(channelByName(c->bridgedTo)))
            other->bridgedTo.clear();
        c->bridgedTo.clear();
    }
    return true;
}

bool TSimState::setChannelVariable(const QString& uniqueId, const QString& name,
                                   const QString& value) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c) return false;
    c->variables.insert(name, value);
    return true;
}

void TSimState::dropFromQueue(TSimChannel& channel) {
    if (channel.queue.isEmpty()) return;
    if (TSimQueue* q = findQueue(channel.queue)) q->waiting.removeOne(channel.uniqueId);
}

int TSimState::joinQueue(const QString& queueId, const QString& uniqueId) {
    TSimQueue* q = findQueue(queueId);
    TSimChannel* c = findChannel(uniqueId);
    if (!q || !c) return 0;
    dropFromQueue(*c);
    if (q->waiting.size() >= q->capacity()) {
        c->queue.clear();
        return 0;
    }
    c->queue = q->id;
    c->queueJoined = now();
    c->answeredBy.clear();
    c->answeredAt = 0;
    q->waiting.append(uniqueId);
    Q_EMIT queueCallChanged(uniqueId);
    return int(q->waiting.size());
}

bool TSimState::answerQueueCall(const QString& uniqueId, const QString& agentId) {
    TSimChannel* c = findChannel(uniqueId);
    const TSimAgent* a = findAgent(agentId);
    if (!c || !a || c->queue.isEmpty()) return false;
    dropFromQueue(*c);
    c->answeredBy = a->id;
    c->answeredAt = now();
    Q_EMIT queueCallChanged(uniqueId);
    return true;
}

bool TSimState::leaveQueue(const QString& uniqueId) {
    TSimChannel* c = findChannel(uniqueId);
    if (!c || c->queue.isEmpty()) return false;
    dropFromQueue(*c);
    c->queue.clear();
    c->queueJoined = 0;
    c->answeredBy.clear();
    c->answeredAt = 0;
    Q_EMIT queueCallChanged(uniqueId);
    return true;
}

bool TSimState::setExtensionRegistered(const QString& id, bool registered, const QString& address) {
    const qsizetype i = m_extensionIndex.value(id, -1);
    if (i < 0) return false;
    TSimExtension& e = m_extensions[i];
    e.registered = registered;
    if (!address.isEmpty()) e.address = address;
    return true;
}

void TSimState::setChatUserOnline(const QString& user, bool online) {
    m_chatOnline.removeAll(user);
    if (online) m_chatOnline.append(user);
}

bool TSimState::countCallReason(const QString& queueId, const QString& reason,
                                const QString& subReason) {
    const qsizetype i = m_callReasonIndex.value(queueId, -1);
    if (i < 0) return false;
    for (TSimReasonCount& r : m_callReasons[i].reasons) {
        if (r.name != reason) continue;
        if (subReason.isEmpty()) {
            ++r.count;
            return true;
        }
        for (TSimSubReasonCount& s : r.subReasons) {
            if (s.name != subReason) continue;
            ++r.count;
            ++s.count;
            return true;
        }
        return false;
    }
    return false;
}

const TSimQueueReasons* TSimState::reasonsOf(const QString& queueId) const {
    const qsizetype i = m_callReasonIndex.value(queueId, -1);
    return i < 0 ? nullptr : &m_callReasons.at(i);
}
