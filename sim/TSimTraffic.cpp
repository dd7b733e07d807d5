#include "TSimTraffic.h"

#include "TSimEvents.h"
#include "TSimState.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

const QStringList areaCodes = {QStringLiteral("11"), QStringLiteral("11"), QStringLiteral("11"),
                               QStringLiteral("21"), QStringLiteral("31"), QStringLiteral("41"),
                               QStringLiteral("51"), QStringLiteral("61"), QStringLiteral("71"),
                               QStringLiteral("81"), QStringLiteral("85"), QStringLiteral("19")};
const QStringList firstNames = {
    QStringLiteral("Maria"),     QStringLiteral("José"),     QStringLiteral("Antônio"),
    QStringLiteral("Francisca"), QStringLiteral("Ana"),      QStringLiteral("Paulo"),
    QStringLiteral("Adriana"),   QStringLiteral("Carlos"),   QStringLiteral("Juliana"),
    QStringLiteral("Marcos"),    QStringLiteral("Fernanda"), QStringLiteral("Rafael"),
    QStringLiteral("Luciana"),   QStringLiteral("Ricardo"),  QStringLiteral("Patrícia"),
    QStringLiteral("Rodrigo"),   QStringLiteral("Camila"),   QStringLiteral("Eduardo")};
const QStringList lastNames = {
    QStringLiteral("Silva"),     QStringLiteral("Santos"),    QStringLiteral("Oliveira"),
    QStringLiteral("Souza"),     QStringLiteral("Rodrigues"), QStringLiteral("Ferreira"),
    QStringLiteral("Alves"),     QStringLiteral("Pereira"),   QStringLiteral("Lima"),
    QStringLiteral("Gomes"),     QStringLiteral("Costa"),     QStringLiteral("Ribeiro"),
    QStringLiteral("Martins"),   QStringLiteral("Carvalho"),  QStringLiteral("Almeida"),
    QStringLiteral("Nascimento")};
const QStringList alarms = {QStringLiteral("Red Alarm"), QStringLiteral("Red Alarm"),
                            QStringLiteral("Yellow Alarm"), QStringLiteral("Blue Alarm")};

// "SIP/2001" -> "2001": what a dial string names after the technology.
QString afterTechnology(const QString& device) {
    return device.section(u'/', 1);
}

} // namespace

TSimTraffic::TSimTraffic(TSimState* state, quint32 seed, double speed, QObject* parent)
    : QObject(parent), m_state(state), m_random(seed), m_dialerRandom(seed ^ 0x5eedd1a1u),
      m_speed(speed > 0 ? speed : 1.0) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TSimTraffic::runDue);
    // Trunk lines: which lines each hardware trunk owns, and the port behind each line.
    for (const TSimTrunk& t : m_state->trunks()) {
        const TSimPort* p = t.type == u"f" ? m_state->port(t.portId) : nullptr;
        if (!p || p->type != u"t") continue;
        QStringList& lines = m_trunkLines[t.name];
        for (int i = 0; i < p->lineCount; ++i) {
            if (!p->isVoiceLine(i)) continue;
            lines.append(p->lineDevice(i));
            m_linePort.insert(p->lineDevice(i), p->id);
        }
    }
    // Talk times are drawn around each queue's usual talk time, taken once: the running average
    // the PBX reports follows the calls, and drawing from it would let it wander off.
    for (const TSimQueue& q : m_state->queues())
        m_talkMean.insert(q.id, q.talkTime > 0 ? q.talkTime : 150);
}

TSimTraffic::~TSimTraffic() = default;

// --- Schedule -----------------------------------------------------------------------------------

void TSimTraffic::at(qint64 delayMs, Task task) {
    m_tasks.emplace(std::pair{m_now + qMax<qint64>(0, delayMs), m_taskSequence++}, std::move(task));
}

void TSimTraffic::callAfter(const Call& call, qint64 delayMs, CallStep step) {
    const quint64 id = call.id;
    const quint32 token = call.token;
    at(delayMs, [this, id, token, step] {
        const auto it = m_calls.find(id);
        if (it == m_calls.end() || it->second.token != token) return;
        (this->*step)(it->second);
    });
}

void TSimTraffic::agentAfter(QHash<QString, quint32>& tokens, const QString& agentId,
                             qint64 delayMs, AgentStep step) {
    const quint32 token = ++tokens[agentId];
    at(delayMs, [this, &tokens, agentId, token, step] {
        if (tokens.value(agentId) != token) return;
        (this->*step)(agentId);
    });
}

bool TSimTraffic::step() {
    if (m_tasks.empty()) return false;
    const auto first = m_tasks.begin();
    m_now = qMax(m_now, first->first.first);
    const Task task = std::move(first->second);
    m_tasks.erase(first);
    task();
    return true;
}

int TSimTraffic::advance(qint64 ms) {
    const qint64 until = m_now + qMax<qint64>(0, ms);
    int n = 0;
    while (!m_tasks.empty() && m_tasks.begin()->first.first <= until) {
        step();
        ++n;
    }
    m_now = until;
    return n;
}

void TSimTraffic::schedule() {
    if (m_scheduled) return;
    m_scheduled = true;
    countAgents();
    at(between(500, 3000), [this] { arrival(); });
    at(between(5000, 20000), [this] { internalArrival(); });
    at(between(8000, 30000), [this] { outgoingArrival(); });
    at(20000, [this] { agentLife(); });
    at(between(30, 120) * 1000LL, [this] { registrationChange(); });
    at(between(20, 60) * 1000LL, [this] { signalChange(); });
    at(between(10, 25) * 60000LL, [this] { alarmChange(); });
    at(between(20, 45) * 60000LL, [this] { sipTrunkChange(); });
    at(between(5, 8) * 60000LL, [this] { recountTick(); });
    // Pauses the scenario began end in their time too.
    const qint64 now = m_state->now();
    for (const TSimAgent& a : m_state->agents()) {
        if (!a.isLoggedIn() || !a.paused) continue;
        const qint64 elapsedMs =
            qint64(double(qMax<qint64>(0, now - a.pauseStart)) * 1000 * m_speed);
        agentAfter(m_pauseTokens, a.id,
                   qMax(pauseMs(a.pauseReason) - elapsedMs, between(30, 300) * 1000LL),
                   &TSimTraffic::unpause);
    }
}

void TSimTraffic::start(int warmUpSeconds) {
    if (m_running) return;
    schedule();
    if (warmUpSeconds > 0) {
        // Played at once; the state's clock is set back so that what began then is as old as
        // it would be had it happened in real time.
        const qint64 end = m_now + warmUpSeconds * 1000LL;
        while (!m_tasks.empty() && m_tasks.begin()->first.first <= end) {
            const qint64 ahead = end - m_tasks.begin()->first.first;
            m_state->setClockShift(-qint64(ahead / m_speed / 1000.0));
            step();
        }
        m_state->setClockShift(0);
        m_now = end;
    }
    m_running = true;
    m_wallBase = m_now;
    m_wall.start();
    armTimer();
}

void TSimTraffic::stop() {
    m_running = false;
    m_timer.stop();
}

qint64 TSimTraffic::wallTrafficTime() const {
    return m_wallBase + qint64(double(m_wall.elapsed()) * m_speed);
}

void TSimTraffic::runDue() {
    if (!m_running) return;
    const qint64 target = wallTrafficTime();
    int n = 0;
    while (n < TasksPerTurn && !m_tasks.empty() && m_tasks.begin()->first.first <= target) {
        step();
        ++n;
    }
    if (m_tasks.empty() || m_tasks.begin()->first.first > target) m_now = qMax(m_now, target);
    armTimer();
}

void TSimTraffic::armTimer() {
    if (!m_running) return;
    qint64 wait = 1000;
    if (!m_tasks.empty()) {
        const double ahead = double(m_tasks.begin()->first.first - wallTrafficTime());
        wait = qBound<qint64>(0LL, qint64(std::ceil(ahead / m_speed)), 1000LL);
    }
    m_timer.start(int(wait));
}

// --- Randomness ---------------------------------------------------------------------------------

int TSimTraffic::between(int low, int high) {
    return high <= low ? low : low + int(m_random.bounded(quint32(high - low + 1)));
}

bool TSimTraffic::chance(double p) {
    return m_random.generateDouble() < p;
}

qint64 TSimTraffic::exponentialMs(double meanMs) {
    return qint64(-meanMs * std::log(1.0 - m_random.generateDouble()));
}

QString TSimTraffic::callerNumber(bool mobile) {
    const QString area = areaCodes.at(between(0, int(areaCodes.size()) - 1));
    if (mobile) return area + u'9' + QString::number(between(60000000, 99999999));
    return area + QString::number(between(2, 5)) + QString::number(between(1000000, 9999999));
}

QString TSimTraffic::customerName() {
    return firstNames.at(between(0, int(firstNames.size()) - 1)) + u' ' +
           lastNames.at(between(0, int(lastNames.size()) - 1));
}

qint64 TSimTraffic::talkMs(const TSimQueue& queue) {
    const int mean =
        m_profile.talkSeconds > 0 ? m_profile.talkSeconds : m_talkMean.value(queue.id, 150);
    // A quarter of the mean at least, the rest spread exponentially: the mean stays the mean.
    return qint64(mean * 250.0) + exponentialMs(mean * 750.0);
}

// --- Events -------------------------------------------------------------------------------------

void TSimTraffic::send(const TSimPacket& packet) {
    ++m_eventsSent;
    if (m_holds > 0)
        m_held.append(packet);
    else
        Q_EMIT event(packet);
}

void TSimTraffic::releaseEvents() {
    if (m_holds <= 0 || --m_holds > 0) return;
    const QList<TSimPacket> held = std::move(m_held);
    m_held.clear();
    for (const TSimPacket& p : held)
        Q_EMIT event(p);
}

void TSimTraffic::sendMembers(const TSimAgent& agent, bool status, bool paused) {
    for (const QString& queueId : agent.queues) {
        const TSimQueue* q = m_state->queue(queueId);
        if (!q) continue;
        if (paused) send(TSimEvents::memberPaused(*q, agent));
        if (status) send(TSimEvents::memberStatus(*q, agent, q->member(agent.id)));
    }
}

// --- Channels -----------------------------------------------------------------------------------

QString TSimTraffic::nextSuffix(bool sip) {
    ++m_suffix;
    return sip ? QStringLiteral("%1").arg(m_suffix, 8, 16, QChar(u'0')) : QString::number(m_suffix);
}

const TSimChannel* TSimTraffic::open(const QString& device, const QString& state,
                                     const QString& number, const QString& name,
                                     const QString& context, const QString& exten, bool outgoing) {
    TSimChannel c;
    c.name = device + u'-' + nextSuffix(device.startsWith(u"SIP/") || device.startsWith(u"IAX"));
    c.state = state;
    c.callerIdNum = number;
    c.callerIdName = name;
    c.context = context;
    c.extension = exten;
    c.outgoing = outgoing;
    const QString uid = m_state->addChannel(c);
    const TSimChannel* added = m_state->channel(uid);
    if (added) send(TSimEvents::newchannel(*added));
    return added;
}

void TSimTraffic::setState(const QString& uid, const QString& state) {
    if (!m_state->setChannelState(uid, state)) return;
    send(TSimEvents::newstate(*m_state->channel(uid)));
}

void TSimTraffic::dialplan(const QString& uid, const QString& context, int priority,
                           const QString& application, const QString& appData) {
    TSimChannel* c = m_state->channelForUpdate(uid);
    if (!c) return;
    c->context = context;
    c->priority = QString::number(priority);
    send(TSimEvents::newexten(*c, application, appData));
}

void TSimTraffic::close(const QString& uid, int cause) {
    const TSimChannel* c = m_state->channel(uid);
    if (!c) return;
    send(TSimEvents::hangup(*c, cause));
    m_state->removeChannel(uid);
    m_callByLeg.remove(uid);
}

bool TSimTraffic::lineUsable(const QString& device) const {
    if (m_state->deviceInUse(device)) return false;
    const TSimPort* p = m_state->port(m_linePort.value(device, -1));
    return p && p->alarm.isEmpty() && (!p->isCellular() || p->onNetwork);
}

bool TSimTraffic::freeLine(const QString& trunkName, bool incoming, Line* line) {
    const TSimTrunk* t = m_state->trunk(trunkName);
    if (!t) return false;
    if (t->type == u"s") {
        if (!t->reachable || m_sipUse.value(t->name) >= t->capacity) return false;
        line->trunk = t->name;
        // Calls from the carrier come from its address; the platform tells which trunk it is.
        line->device =
            incoming && !t->host.isEmpty() ? QStringLiteral("SIP/") + t->host : t->device();
        line->sip = true;
        return true;
    }
    const QStringList lines = m_trunkLines.value(t->name);
    if (lines.isEmpty()) return false;
    const int start = between(0, int(lines.size()) - 1);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const QString& device = lines.at((start + k) % lines.size());
        if (!lineUsable(device)) continue;
        line->trunk = t->name;
        line->device = device;
        line->sip = false;
        return true;
    }
    return false;
}

bool TSimTraffic::pickLine(bool incoming, bool mobile, Line* line) {
    // E1 spans carry most calls, the SIP trunk a good share; the chips take calls to mobiles
    // (cheaper from mobile to mobile) and a few from them.
    QList<qsizetype> candidates;
    QList<int> weights;
    const QList<TSimTrunk>& trunks = m_state->trunks();
    for (qsizetype i = 0; i < trunks.size(); ++i) {
        const TSimTrunk& t = trunks.at(i);
        int weight = 0;
        if (t.type == u"s") {
            weight = 15;
        } else if (const TSimPort* p = m_state->port(t.portId)) {
            weight = p->isCellular()       ? (mobile && !incoming ? 80 : 3)
                     : p->isDigitalTrunk() ? 30
                                           : 5;
        }
        if (weight <= 0) continue;
        candidates.append(i);
        weights.append(weight);
    }
    while (!candidates.isEmpty()) {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = between(0, total - 1);
        qsizetype k = 0;
        while (r >= weights.at(k)) {
            r -= weights.at(k);
            ++k;
        }
        if (freeLine(trunks.at(candidates.at(k)).name, incoming, line)) return true;
        candidates.removeAt(k);
        weights.removeAt(k);
    }
    return false;
}

// --- Calls --------------------------------------------------------------------------------------

TSimTraffic::Call* TSimTraffic::newCall(Kind kind) {
    Call& call = m_calls[m_nextCall];
    call.id = m_nextCall++;
    call.kind = kind;
    return &call;
}

TSimTraffic::Call* TSimTraffic::callOf(const QString& uid) {
    const auto id = m_callByLeg.constFind(uid);
    if (id == m_callByLeg.cend()) return nullptr;
    const auto it = m_calls.find(*id);
    return it == m_calls.end() ? nullptr : &it->second;
}

void TSimTraffic::attach(Call& call, const QString& uid, bool first) {
    (first ? call.a : call.b) = uid;
    if (!uid.isEmpty()) m_callByLeg.insert(uid, call.id);
}

void TSimTraffic::endCall(Call& call) {
    for (const QString& uid : {call.a, call.b}) {
        if (!uid.isEmpty()) {
            close(uid, 16);
            m_callByLeg.remove(uid);
        }
    }
    if (call.sipTrunk && --m_sipUse[call.trunk] <= 0) m_sipUse.remove(call.trunk);
    if (!call.agent.isEmpty() && m_callOfAgent.value(call.agent) == call.id)
        m_callOfAgent.remove(call.agent);
    m_calls.erase(call.id);
}

// --- Incoming calls and the queues
// ----------------------------------------------------------------

void TSimTraffic::countAgents() {
    m_activeAgents = 0;
    m_loggedInAgents = 0;
    m_pausedAgents = 0;
    for (const TSimAgent& a : m_state->agents()) {
        if (!a.isLoggedIn()) continue;
        ++m_loggedInAgents;
        if (a.paused)
            ++m_pausedAgents;
        else
            ++m_activeAgents;
    }
    double total = 0;
    int voice = 0;
    for (const TSimQueue& q : m_state->queues()) {
        if (!q.isVoice()) continue;
        total += m_talkMean.value(q.id, 150);
        ++voice;
    }
    m_meanTalkSeconds = m_profile.talkSeconds > 0 ? m_profile.talkSeconds
                        : voice > 0               ? total / voice
                                                  : 150;
    // A call goes to a queue the more likely the more agents serve it (counted now and then,
    // not for every call).
    m_queueWeights.clear();
    m_queueWeightTotal = 0;
    for (const TSimQueue& q : m_state->queues()) {
        int weight = 0;
        if (q.isVoice()) {
            weight = 1;
            for (const TSimQueueMember& m : q.members) {
                const TSimAgent* a = m_state->agent(m.agentId);
                weight += a && a->isLoggedIn() ? 1 : 0;
            }
        }
        m_queueWeights.append(weight);
        m_queueWeightTotal += weight;
    }
}

void TSimTraffic::arrival() {
    // Calls come at about the rate the working agents can take, up to three tenths more or less
    // over the half hour: at the peaks callers wait and some give up.
    const double swing = 1.0 + 0.3 * std::sin(2 * std::numbers::pi * double(m_now) / 1.8e6);
    const double handleSeconds = m_meanTalkSeconds + 20.0;
    double perSecond = m_profile.load * swing * qMax(1, m_activeAgents) / handleSeconds;
    if (m_profile.targetChannels > 0 && m_state->channelCount() < m_profile.targetChannels)
        perSecond += double(m_profile.targetChannels - m_state->channelCount()) / 60.0;
    at(qMax<qint64>(1, exponentialMs(1000.0 / qMax(perSecond, 1.0 / 90))), [this] { arrival(); });

    if (m_state->channelCount() >= m_profile.maxChannels || m_queueWeightTotal <= 0) return;
    int r = between(0, m_queueWeightTotal - 1);
    qsizetype k = 0;
    while (r >= m_queueWeights.at(k)) {
        r -= m_queueWeights.at(k);
        ++k;
    }
    startIncomingCall(m_state->queues().at(k).id, {}, true);
}

QString TSimTraffic::startIncomingCall(const QString& queueId, const QString& trunk, bool greet) {
    const TSimQueue* q = m_state->queue(queueId);
    if (!q || !q->isVoice()) return {};
    const bool mobile = chance(0.55);
    Line line;
    if (!(trunk.isEmpty() ? pickLine(true, mobile, &line) : freeLine(trunk, true, &line))) {
        ++m_counters.rejected;
        return {};
    }
    QString number = callerNumber(mobile);
    QString name = chance(0.3) ? customerName() : QString();
    const bool named = !name.isEmpty();
    // Part of what a running campaign's queue takes are the dialer's calls: the customer it
    // reached, told by the campaign's variables on the channel.
    const TSimCampaign* campaign = m_state->campaignForQueue(q->id);
    if (campaign && m_dialerRandom.generateDouble() >= m_dialerShare) campaign = nullptr;
    if (campaign) {
        const auto& customer = campaign->customers.at(
            qsizetype(m_dialerRandom.bounded(quint32(campaign->customers.size()))));
        number = customer.first;
        name = customer.second;
    }
    // The number dialled is the queue's own.
    const QString exten = q->number.isEmpty() ? q->id : q->number;
    const TSimChannel* caller = open(line.device, QStringLiteral("Ring"), number, name,
                                     QStringLiteral("entrada"), exten, false);
    if (!caller) return {};
    const QString uid = caller->uniqueId;
    if (campaign) {
        m_state->setChannelVariable(uid, QStringLiteral("DisCampanha"), campaign->id);
        m_state->setChannelVariable(uid, QStringLiteral("DisTelefone"), number);
        m_state->setChannelVariable(uid, QStringLiteral("DisNome"), name);
    }
    Call* call = newCall(Kind::Incoming);
    attach(*call, uid, true);
    call->queue = q->id;
    call->trunk = line.trunk;
    call->sipTrunk = line.sip;
    if (line.sip) ++m_sipUse[line.trunk];
    ++m_counters.incoming;

    send(TSimEvents::newCall(*caller, QStringLiteral("E"), number, line.trunk));
    dialplan(uid, QStringLiteral("entrada"), 1, QStringLiteral("Answer"), QString());
    setState(uid, QStringLiteral("Up"));
    if (!named && chance(0.35) && !campaign) {
        // The platform finds the number among its customers and names the caller.
        if (TSimChannel* c = m_state->channelForUpdate(uid)) {
            c->callerIdName = customerName();
            send(TSimEvents::newcallerid(*c));
        }
    }
    if (greet)
        callAfter(*call, between(2000, 6000), &TSimTraffic::enterQueue);
    else
        enterQueue(*call);
    return uid;
}

void TSimTraffic::enterQueue(Call& call) {
    TSimQueue* q = m_state->queueForUpdate(call.queue);
    if (!q || !m_state->channel(call.a)) {
        endCall(call);
        return;
    }
    if (q->waiting.size() >= q->capacity()) {
        // Full: the caller hears so and the PBX hangs up.
        dialplan(call.a, QStringLiteral("entrada"), 2, QStringLiteral("Playback"),
                 QStringLiteral("fila-cheia"));
        ++m_counters.rejected;
        endCall(call);
        return;
    }
    dialplan(call.a, QStringLiteral("entrada"), 2, QStringLiteral("Queue"),
             q->id + QStringLiteral("|t|||300"));
    const int position = m_state->joinQueue(q->id, call.a);
    send(TSimEvents::join(*q, *m_state->channel(call.a), position));
    call.phase = Phase::Waiting;
    call.waitingSince = m_now;
    call.originalPosition = position;
    ++call.token;
    const quint64 id = call.id;
    const quint32 turn = ++call.queueTurn;
    at(5000 + exponentialMs(m_profile.patienceSeconds * 1000.0),
       [this, id, turn] { patienceOver(id, turn); });
    markQueue(q->id);
}

void TSimTraffic::patienceOver(quint64 callId, quint32 queueTurn) {
    const auto it = m_calls.find(callId);
    if (it == m_calls.end() || it->second.queueTurn != queueTurn) return;
    Call& call = it->second;
    if (call.phase == Phase::Waiting || call.phase == Phase::Ringing) abandon(call);
}

void TSimTraffic::markQueue(const QString& queueId) {
    const qsizetype i = m_state->queueIndex(queueId);
    if (i < 0 || m_state->queues().at(i).waiting.isEmpty()) return;
    m_dirtyQueues.insert(i);
    if (m_dispatchPending) return;
    // The PBX looks at its queues about once a second.
    m_dispatchPending = true;
    at(between(300, 1000), [this] { dispatch(); });
}

void TSimTraffic::dispatch() {
    m_dispatchPending = false;
    std::set<qsizetype> dirty;
    dirty.swap(m_dirtyQueues);
    for (qsizetype i : dirty) {
        const TSimQueue& q = m_state->queues().at(i);
        const QStringList waiting = q.waiting;
        for (const QString& uid : waiting) {
            Call* call = callOf(uid);
            if (!call || call->phase != Phase::Waiting) continue;
            const QString agent = pickAgent(q);
            if (agent.isEmpty()) break;
            ring(*call, agent);
        }
    }
}

QString TSimTraffic::pickAgent(const TSimQueue& queue) {
    // The free members of the lowest penalty, then the queue's strategy among them.
    QList<qsizetype> free;
    int lowest = std::numeric_limits<int>::max();
    for (qsizetype i = 0; i < queue.members.size(); ++i) {
        const TSimQueueMember& m = queue.members.at(i);
        const TSimAgent* a = m_state->agent(m.agentId);
        if (!a || !a->isAvailable() || m.penalty > lowest) continue;
        if (m.penalty < lowest) {
            lowest = m.penalty;
            free.clear();
        }
        free.append(i);
    }
    if (free.isEmpty()) return {};
    qsizetype chosen = free.first();
    if (queue.strategy == u"leastrecent") {
        qint64 oldest = std::numeric_limits<qint64>::max();
        for (qsizetype i : free) {
            const qint64 last = m_state->agent(queue.members.at(i).agentId)->lastCall;
            if (last < oldest) {
                oldest = last;
                chosen = i;
            }
        }
    } else if (queue.strategy == u"fewestcalls") {
        int fewest = std::numeric_limits<int>::max();
        for (qsizetype i : free) {
            if (queue.members.at(i).callsTaken < fewest) {
                fewest = queue.members.at(i).callsTaken;
                chosen = i;
            }
        }
    } else if (queue.strategy == u"rrmemory" || queue.strategy == u"roundrobin") {
        const int last = m_roundRobin.value(queue.id, -1);
        for (qsizetype i : free) {
            if (i > last) {
                chosen = i;
                break;
            }
        }
        m_roundRobin.insert(queue.id, int(chosen));
    } else {
        chosen = free.at(between(0, int(free.size()) - 1));
    }
    return queue.members.at(chosen).agentId;
}

void TSimTraffic::ring(Call& call, const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    const TSimQueue* q = m_state->queue(call.queue);
    const TSimChannel* caller = m_state->channel(call.a);
    if (!a || !q || !caller || !a->isAvailable()) return;
    const TSimChannel* leg = open(a->loggedInChan, QStringLiteral("Down"), caller->callerIdNum,
                                  caller->callerIdName, QStringLiteral("agentes"), a->id, false);
    if (!leg) return;
    attach(call, leg->uniqueId, false);
    send(TSimEvents::dialBegin(*caller, *leg, afterTechnology(a->loggedInChan)));
    setState(call.b, QStringLiteral("Ringing"));
    m_state->setAgentStatus(a->id, TSimAgent::Status::Ringing);
    send(TSimEvents::agentCalled(*q, *a, *m_state->channel(call.a), *m_state->channel(call.b)));
    sendMembers(*a, true, false);
    call.phase = Phase::Ringing;
    call.agent = a->id;
    call.ringingSince = m_now;
    ++call.token;
    m_callOfAgent.insert(a->id, call.id);
    if (chance(0.06))
        callAfter(call, RingTimeoutMs, &TSimTraffic::ringTimeout);
    else
        callAfter(call, between(1500, 9000), &TSimTraffic::answered);
}

bool TSimTraffic::ringAgent(const QString& callerUid, const QString& agentId) {
    Call* call = callOf(callerUid);
    const TSimAgent* a = m_state->agent(agentId);
    const TSimQueue* q = call ? m_state->queue(call->queue) : nullptr;
    if (!call || call->kind != Kind::Incoming || call->phase != Phase::Waiting || !a || !q ||
        !q->member(a->id) || !a->isAvailable())
        return false;
    ring(*call, a->id);
    return call->phase == Phase::Ringing;
}

void TSimTraffic::answered(Call& call) {
    if (call.kind != Kind::Incoming) {
        answerPrivate(call);
        return;
    }
    const TSimAgent* a = m_state->agent(call.agent);
    TSimQueue* q = m_state->queueForUpdate(call.queue);
    if (!a || !q || !m_state->channel(call.a) || !m_state->channel(call.b)) return;
    const int position = m_state->waitingPosition(call.a);
    setState(call.b, QStringLiteral("Up"));
    send(TSimEvents::dialEnd(*m_state->channel(call.a), QStringLiteral("ANSWER")));
    m_state->answerQueueCall(call.a, a->id);
    m_state->bridge(call.a, call.b);
    m_state->setAgentStatus(a->id, TSimAgent::Status::OnCall,
                            m_state->channel(call.a)->callerIdNum);
    const TSimChannel& caller = *m_state->channel(call.a);
    const TSimChannel& leg = *m_state->channel(call.b);
    const qint64 hold = (m_now - call.waitingSince) / 1000;
    send(TSimEvents::leave(*q, caller, position));
    send(TSimEvents::agentConnect(*q, *a, caller, leg, hold, (m_now - call.ringingSince) / 1000));
    send(TSimEvents::link(caller, leg));
    q->holdTime = int((q->holdTime * 3 + hold) / 4);
    call.phase = Phase::Talking;
    call.answeredAt = m_now;
    ++call.token;
    ++m_counters.answered;
    callAfter(call, talkMs(*q), &TSimTraffic::talkOver);
}

bool TSimTraffic::answer(const QString& callerUid) {
    Call* call = callOf(callerUid);
    if (!call || call->phase != Phase::Ringing) return false;
    answered(*call);
    return true;
}

void TSimTraffic::ringTimeout(Call& call) {
    const TSimAgent* a = m_state->agent(call.agent);
    const TSimQueue* q = m_state->queue(call.queue);
    const TSimChannel* caller = m_state->channel(call.a);
    if (!a || !q || !caller) return;
    send(TSimEvents::agentRingNoAnswer(*q, *a, *caller, (m_now - call.ringingSince) / 1000));
    send(TSimEvents::dialEnd(*caller, QStringLiteral("NOANSWER")));
    close(call.b, 19);
    const QString agentId = a->id;
    releaseAgent(call);
    ++m_counters.unanswered;
    // The PBX pauses an agent that lets a call ring out; the agent notices and comes back.
    if (m_state->agent(agentId)->isLoggedIn()) {
        m_state->setAgentStatus(agentId, TSimAgent::Status::Idle);
        pause(agentId, 0, true);
        sendMembers(*m_state->agent(agentId), true, false);
    }
    markQueue(call.queue);
}

bool TSimTraffic::ringNoAnswer(const QString& callerUid) {
    Call* call = callOf(callerUid);
    if (!call || call->kind != Kind::Incoming || call->phase != Phase::Ringing) return false;
    ringTimeout(*call);
    return true;
}

void TSimTraffic::releaseAgent(Call& call) {
    if (m_callOfAgent.value(call.agent) == call.id) m_callOfAgent.remove(call.agent);
    call.agent.clear();
    call.b.clear();
    call.phase = Phase::Waiting;
    ++call.token;
}

void TSimTraffic::cancelRing(Call& call) {
    if (call.phase != Phase::Ringing) return;
    const QString agentId = call.agent;
    if (const TSimChannel* caller = m_state->channel(call.a))
        send(TSimEvents::dialEnd(*caller, QStringLiteral("CANCEL")));
    close(call.b, 16);
    releaseAgent(call);
    const TSimAgent* a = m_state->agent(agentId);
    if (a && a->status == TSimAgent::Status::Ringing) {
        m_state->setAgentStatus(agentId, TSimAgent::Status::Idle);
        sendMembers(*a, true, false);
        agentFree(agentId);
    }
}

void TSimTraffic::abandon(Call& call) {
    cancelRing(call);
    TSimQueue* q = m_state->queueForUpdate(call.queue);
    const TSimChannel* caller = m_state->channel(call.a);
    if (q && caller) {
        const int position = m_state->waitingPosition(call.a);
        const qint64 hold = (m_now - call.waitingSince) / 1000;
        m_state->leaveQueue(call.a);
        send(TSimEvents::callerAbandon(*q, *caller, position, call.originalPosition, hold));
        send(TSimEvents::leave(*q, *caller, position));
        ++q->abandoned;
    }
    ++m_counters.abandoned;
    endCall(call);
}

void TSimTraffic::talkOver(Call& call) {
    complete(call, chance(0.6));
}

void TSimTraffic::complete(Call& call, bool callerHangsUp) {
    TSimQueue* q = m_state->queueForUpdate(call.queue);
    const TSimAgent* a = m_state->agent(call.agent);
    const TSimChannel* caller = m_state->channel(call.a);
    const TSimChannel* leg = m_state->channel(call.b);
    if (!q || !a || !caller || !leg) {
        endCall(call);
        return;
    }
    const qint64 hold = (call.answeredAt - call.waitingSince) / 1000;
    const qint64 talk = (m_now - call.answeredAt) / 1000;
    send(TSimEvents::unlink(*caller, *leg));
    m_state->unbridge(call.a);
    send(TSimEvents::agentComplete(*q, *a, *caller, *leg, hold, talk,
                                   callerHangsUp ? QStringLiteral("caller")
                                                 : QStringLiteral("agent")));
    const QString first = callerHangsUp ? call.a : call.b;
    const QString second = callerHangsUp ? call.b : call.a;
    close(first, 16);
    close(second, 16);

    ++q->completed;
    if (hold <= q->serviceLevel) ++q->withinServiceLevel;
    q->talkTime = int((q->talkTime * 3 + talk) / 4);
    if (TSimQueueMember* m = m_state->memberForUpdate(q->id, a->id)) ++m->callsTaken;
    ++m_counters.completed;
    const QString agentId = a->id;
    const QString queueId = q->id;
    endCall(call);

    if (a->status == TSimAgent::Status::OnCall) {
        // After-call work: the agent notes the call's reason, then takes calls again.
        m_state->setAgentStatus(agentId, TSimAgent::Status::WrapUp);
        sendMembers(*a, true, false);
        m_wrapUpQueue.insert(agentId, queueId);
        agentAfter(m_wrapTokens, agentId, between(4000, 20000), &TSimTraffic::wrapUpOver);
    } else {
        classify(queueId);
    }
}

bool TSimTraffic::hangup(const QString& callerUid) {
    Call* call = callOf(callerUid);
    if (!call) return false;
    if (call->kind != Kind::Incoming)
        finishPrivate(*call, 16);
    else if (call->phase == Phase::Greeting)
        endCall(*call);
    else if (call->phase == Phase::Talking)
        complete(*call, true);
    else
        abandon(*call);
    return true;
}

void TSimTraffic::wrapUpOver(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a || a->status != TSimAgent::Status::WrapUp) return;
    classify(m_wrapUpQueue.take(agentId));
    m_state->setAgentStatus(agentId, TSimAgent::Status::Idle);
    sendMembers(*a, true, false);
    // Now and then the agent goes on a break between calls.
    if (!a->paused && m_pausedAgents < m_loggedInAgents / 4 && chance(0.05)) {
        const int reason = pickPauseReason();
        if (reason > 0) pause(agentId, reason, true);
    }
    agentFree(agentId);
}

bool TSimTraffic::endWrapUp(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a || a->status != TSimAgent::Status::WrapUp) return false;
    ++m_wrapTokens[a->id];
    wrapUpOver(a->id);
    return true;
}

void TSimTraffic::agentFree(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a || !a->isAvailable()) return;
    for (const QString& queueId : a->queues)
        markQueue(queueId);
}

void TSimTraffic::classify(const QString& queueId) {
    const TSimQueueReasons* reasons = m_state->reasonsOf(queueId);
    if (!reasons || reasons->reasons.isEmpty()) return;
    // The reasons counted most are the likeliest again.
    int total = 0;
    for (const TSimReasonCount& r : reasons->reasons)
        total += qMax(0, r.count) + 1;
    int pick = between(0, total - 1);
    qsizetype k = 0;
    while (pick >= qMax(0, reasons->reasons.at(k).count) + 1) {
        pick -= qMax(0, reasons->reasons.at(k).count) + 1;
        ++k;
    }
    const TSimReasonCount& reason = reasons->reasons.at(k);
    QString sub;
    if (!reason.subReasons.isEmpty() && chance(0.75)) {
        int subTotal = 0;
        for (const TSimSubReasonCount& s : reason.subReasons)
            subTotal += qMax(0, s.count) + 1;
        int subPick = between(0, subTotal - 1);
        for (const TSimSubReasonCount& s : reason.subReasons) {
            if (subPick < qMax(0, s.count) + 1) {
                sub = s.name;
                break;
            }
            subPick -= qMax(0, s.count) + 1;
        }
    }
    const QString name = reason.name;
    if (!m_state->countCallReason(queueId, name, sub)) return;
    // The reason first: a sub-reason of a reason not yet counted would be passed over.
    for (const TSimReasonCount& r : m_state->reasonsOf(queueId)->reasons) {
        if (r.name != name) continue;
        send(TSimEvents::reasonCount(queueId, r.name, r.count));
        for (const TSimSubReasonCount& s : r.subReasons) {
            if (s.name == sub) send(TSimEvents::subReasonCount(queueId, r.name, s.name, s.count));
        }
    }
}

void TSimTraffic::recountCallReasons() {
    for (const TSimQueueReasons& q : m_state->callReasons()) {
        for (const TSimReasonCount& r : q.reasons) {
            send(TSimEvents::reasonCount(q.queue, r.name, r.count));
            for (const TSimSubReasonCount& s : r.subReasons)
                send(TSimEvents::subReasonCount(q.queue, r.name, s.name, s.count));
        }
    }
    send(TSimEvents::reasonCountComplete());
}

void TSimTraffic::recountTick() {
    at(between(5, 10) * 60000LL, [this] { recountTick(); });
    recountCallReasons();
}

// --- Internal and outgoing calls --------------------------------------------------------------

QString TSimTraffic::freeTelephone(const QString& except) {
    const QList<TSimExtension>& all = m_state->extensions();
    if (all.isEmpty()) return {};
    for (int tries = 0; tries < 8; ++tries) {
        const TSimExtension& e = all.at(between(0, int(all.size()) - 1));
        if (e.type != u"s" || !e.registered || e.id == except) continue;
        if (m_state->deviceInUse(e.device()) || m_state->agentAt(e.device())) continue;
        return e.id;
    }
    return {};
}

void TSimTraffic::internalArrival() {
    const double perSecond =
        m_profile.internalPerHour * qMax<qsizetype>(1, m_state->extensions().size()) / 3600.0;
    at(qMax<qint64>(1, exponentialMs(1000.0 / qMax(perSecond, 1e-4))),
       [this] { internalArrival(); });
    if (m_state->channelCount() >= m_profile.maxChannels) return;
    const QString from = freeTelephone();
    const QString to = from.isEmpty() ? QString() : freeTelephone(from);
    if (!to.isEmpty()) startInternalCall(from, to);
}

QString TSimTraffic::startInternalCall(const QString& fromExtension, const QString& toExtension) {
    const TSimExtension* from = m_state->extension(fromExtension);
    const TSimExtension* to = m_state->extension(toExtension);
    if (!from || !to || from == to || !from->registered || !to->registered ||
        m_state->deviceInUse(from->device()) || m_state->deviceInUse(to->device()))
        return {};
    const TSimChannel* a = open(from->device(), QStringLiteral("Ring"), from->id, from->name,
                                QStringLiteral("interno"), to->id, false);
    if (!a) return {};
    const QString uid = a->uniqueId;
    Call* call = newCall(Kind::Internal);
    attach(*call, uid, true);
    ++m_counters.internal;
    dialplan(uid, QStringLiteral("interno"), 1, QStringLiteral("Dial"),
             to->device() + QStringLiteral("|30|tT"));
    const TSimChannel* b = open(to->device(), QStringLiteral("Down"), from->id, from->name,
                                QStringLiteral("interno"), to->id, false);
    if (!b) {
        endCall(*call);
        return {};
    }
    attach(*call, b->uniqueId, false);
    send(TSimEvents::dialBegin(*m_state->channel(uid), *b, to->id));
    setState(call->b, QStringLiteral("Ringing"));
    call->phase = Phase::Ringing;
    call->ringingSince = m_now;
    callAfter(*call, between(3000, 12000), &TSimTraffic::internalAnswerOrNot);
    return uid;
}

void TSimTraffic::internalAnswerOrNot(Call& call) {
    const double r = m_random.generateDouble();
    if (r < 0.12) {
        // A colleague picks the call up from another telephone.
        const TSimChannel* b = m_state->channel(call.b);
        const QString by = freeTelephone(b ? afterTechnology(b->device()) : QString());
        if (!by.isEmpty()) {
            pickup(call, by);
            return;
        }
    }
    if (r < 0.8) {
        answerPrivate(call);
        return;
    }
    // Nobody answers: the dial gives up after its 30 seconds.
    at(qMax<qint64>(0, 30000 - (m_now - call.ringingSince)), [this, id = call.id, t = call.token] {
        const auto it = m_calls.find(id);
        if (it == m_calls.end() || it->second.token != t) return;
        if (const TSimChannel* a = m_state->channel(it->second.a))
            send(TSimEvents::dialEnd(*a, QStringLiteral("NOANSWER")));
        finishPrivate(it->second, 19);
    });
}

void TSimTraffic::pickup(Call& call, const QString& byExtension) {
    const TSimExtension* by = m_state->extension(byExtension);
    const TSimChannel* picker = by ? open(by->device(), QStringLiteral("Ring"), by->id, by->name,
                                          QStringLiteral("interno"), QStringLiteral("*8"), false)
                                   : nullptr;
    if (!picker) {
        answerPrivate(call);
        return;
    }
    const QString pickerUid = picker->uniqueId;
    dialplan(pickerUid, QStringLiteral("interno"), 1, QStringLiteral("Pickup"), QString());
    setState(pickerUid, QStringLiteral("Up"));
    // The picking channel takes the ringing one's place; what is left of that one is renamed a
    // zombie and hung up.
    const QString ringingUid = call.b;
    const TSimChannel* ringing = m_state->channel(ringingUid);
    send(TSimEvents::masquerade(*m_state->channel(pickerUid), *ringing));
    const QString oldName = ringing->name;
    const QString zombie = oldName + QStringLiteral("<ZOMBIE>");
    m_state->renameChannel(ringingUid, zombie);
    send(TSimEvents::rename(oldName, zombie, ringingUid));
    close(ringingUid, 16);
    attach(call, pickerUid, false);
    setState(call.a, QStringLiteral("Up"));
    m_state->bridge(call.a, call.b);
    send(TSimEvents::link(*m_state->channel(call.a), *m_state->channel(call.b)));
    call.phase = Phase::Talking;
    call.answeredAt = m_now;
    ++call.token;
    callAfter(call, between(20000, 240000), &TSimTraffic::privateTalkOver);
}

void TSimTraffic::answerPrivate(Call& call) {
    const TSimChannel* a = m_state->channel(call.a);
    if (!a || !m_state->channel(call.b)) return;
    setState(call.b, QStringLiteral("Up"));
    send(TSimEvents::dialEnd(*m_state->channel(call.a), QStringLiteral("ANSWER")));
    setState(call.a, QStringLiteral("Up"));
    m_state->bridge(call.a, call.b);
    send(TSimEvents::link(*m_state->channel(call.a), *m_state->channel(call.b)));
    call.phase = Phase::Talking;
    call.answeredAt = m_now;
    ++call.token;
    callAfter(call,
              call.kind == Kind::Internal ? between(20000, 240000)
                                          : 30000 + exponentialMs(120000.0),
              &TSimTraffic::privateTalkOver);
}

void TSimTraffic::privateTalkOver(Call& call) {
    finishPrivate(call, 16);
}

void TSimTraffic::outgoingArrival() {
    const double perSecond =
        m_profile.outgoingPerHour * qMax<qsizetype>(1, m_state->extensions().size()) / 3600.0;
    at(qMax<qint64>(1, exponentialMs(1000.0 / qMax(perSecond, 1e-4))),
       [this] { outgoingArrival(); });
    if (m_state->channelCount() >= m_profile.maxChannels) return;
    QString from;
    if (chance(0.3) && !m_state->agents().isEmpty()) {
        // An agent free of queue calls calls a customer back from its own telephone.
        const QList<TSimAgent>& agents = m_state->agents();
        const int start = between(0, int(agents.size()) - 1);
        for (int k = 0; k < qMin<qsizetype>(20, agents.size()) && from.isEmpty(); ++k) {
            const TSimAgent& a = agents.at((start + k) % agents.size());
            if (a.isAvailable() && !m_state->deviceInUse(a.loggedInChan))
                from = afterTechnology(a.loggedInChan);
        }
    } else {
        from = freeTelephone();
    }
    if (!from.isEmpty()) startOutgoingCall(from, callerNumber(chance(0.5)));
}

QString TSimTraffic::startOutgoingCall(const QString& fromExtension, const QString& number,
                                       const QString& trunk) {
    const TSimExtension* from = m_state->extension(fromExtension);
    if (!from || !from->registered || number.isEmpty() || m_state->deviceInUse(from->device()))
        return {};
    const TSimAgent* agent = m_state->agentAt(from->device());
    if (agent && !agent->isAvailable()) return {};
    const bool mobile = number.size() == 11 && number.at(2) == u'9';
    Line line;
    if (!(trunk.isEmpty() ? pickLine(false, mobile, &line) : freeLine(trunk, false, &line)))
        return {};
    const QString dialled = u'0' + number;
    if (agent) {
        // The agent picks up the telephone: busy for the queues until it hangs up.
        send(TSimEvents::hook(*agent, false));
        m_state->setAgentStatus(agent->id, TSimAgent::Status::OnCall, number);
        sendMembers(*agent, true, false);
    }
    const TSimChannel* a = open(from->device(), QStringLiteral("Ring"), from->id, from->name,
                                QStringLiteral("interno"), dialled, false);
    if (!a) return {};
    const QString uid = a->uniqueId;
    Call* call = newCall(Kind::Outgoing);
    attach(*call, uid, true);
    call->agent = agent ? agent->id : QString();
    call->number = number;
    call->trunk = line.trunk;
    call->sipTrunk = line.sip;
    if (line.sip) ++m_sipUse[line.trunk];
    if (agent) m_callOfAgent.insert(agent->id, call->id);
    ++m_counters.outgoing;
    const TSimTrunk* t = m_state->trunk(line.trunk);
    const QString dialString = afterTechnology(line.device) + u'/' + number;
    dialplan(uid, QStringLiteral("Saida"), 1, QStringLiteral("Set"),
             QStringLiteral("CALLERID(num)=") + (t ? t->number : QString()));
    dialplan(uid, QStringLiteral("Saida"), 2, QStringLiteral("Dial"),
             line.device.section(u'/', 0, 0) + u'/' + dialString);
    const TSimChannel* out = open(line.device, QStringLiteral("Down"), number, QString(),
                                  QStringLiteral("Saida"), dialled, true);
    if (!out) {
        finishPrivate(*call, 38);
        return {};
    }
    attach(*call, out->uniqueId, false);
    send(TSimEvents::dialBegin(*m_state->channel(uid), *out, dialString));
    send(TSimEvents::newCall(*m_state->channel(call->b), QStringLiteral("S"), number, line.trunk));
    setState(call->b, QStringLiteral("Dialing"));
    call->phase = Phase::Ringing;
    call->ringingSince = m_now;
    callAfter(*call, between(1500, 4000), &TSimTraffic::outgoingProgress);
    return uid;
}

void TSimTraffic::outgoingProgress(Call& call) {
    setState(call.b, QStringLiteral("Ringing"));
    callAfter(call, between(3000, 15000), &TSimTraffic::outgoingAnswerOrNot);
}

void TSimTraffic::outgoingAnswerOrNot(Call& call) {
    const double r = m_random.generateDouble();
    if (r < 0.72) {
        answerPrivate(call);
        return;
    }
    const TSimChannel* a = m_state->channel(call.a);
    if (a)
        send(TSimEvents::dialEnd(*a,
                                 r < 0.85 ? QStringLiteral("BUSY") : QStringLiteral("NOANSWER")));
    finishPrivate(call, r < 0.85 ? 17 : 19);
}

void TSimTraffic::finishPrivate(Call& call, int cause) {
    const TSimChannel* a = m_state->channel(call.a);
    const TSimChannel* b = m_state->channel(call.b);
    if (call.phase == Phase::Talking && a && b) {
        send(TSimEvents::unlink(*a, *b));
        m_state->unbridge(call.a);
    }
    // Either side may hang up first.
    const bool calledFirst = chance(0.5);
    close(calledFirst ? call.b : call.a, cause);
    close(calledFirst ? call.a : call.b, cause);
    const QString agentId = call.agent;
    endCall(call);
    if (agentId.isEmpty()) return;
    const TSimAgent* agent = m_state->agent(agentId);
    if (!agent) return;
    send(TSimEvents::hook(*agent, true));
    if (agent->status == TSimAgent::Status::OnCall) {
        m_state->setAgentStatus(agentId, TSimAgent::Status::Idle);
        sendMembers(*agent, true, false);
        agentFree(agentId);
    }
}

// --- Agents -------------------------------------------------------------------------------------

void TSimTraffic::agentLife() {
    at(20000, [this] { agentLife(); });
    countAgents();
    const QList<TSimAgent>& agents = m_state->agents();
    if (agents.isEmpty()) return;
    const int sample = qMax<int>(3, int(agents.size() / 40));
    for (int k = 0; k < sample; ++k) {
        const TSimAgent& a = agents.at(between(0, int(agents.size()) - 1));
        const int all = int(agents.size());
        if (!a.isLoggedIn()) {
            if (m_loggedInAgents < all * 9 / 10 && chance(0.08) && login(a.id)) ++m_loggedInAgents;
        } else if (a.isAvailable()) {
            if (m_pausedAgents < m_loggedInAgents / 4 && chance(0.05)) {
                const int reason = pickPauseReason();
                if (reason > 0) pause(a.id, reason, true);
            } else if (m_loggedInAgents > all * 7 / 10 && chance(0.01) && logoff(a.id)) {
                --m_loggedInAgents;
            }
        }
    }
}

bool TSimTraffic::login(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a || a->isLoggedIn() || a->device.isEmpty()) return false;
    const QString device = a->device;
    const TSimExtension* e = m_state->extension(afterTechnology(device));
    if (!e || m_state->deviceInUse(device) || m_state->agentAt(device)) return false;
    if (!e->registered) setRegistered(e->id, true);
    // The agent logs in from its telephone with the login code.
    const TSimChannel* c = open(device, QStringLiteral("Up"), e->id, e->name,
                                QStringLiteral("agentes"), QStringLiteral("*12"), false);
    if (!c) return false;
    const QString uid = c->uniqueId;
    dialplan(uid, QStringLiteral("agentes"), 1, QStringLiteral("AgentCallbackLogin"), a->id);
    m_state->loginAgent(a->id, device);
    send(TSimEvents::agentLogin(*a, uid));
    close(uid, 16);
    sendMembers(*a, true, false);
    agentFree(a->id);
    return true;
}

bool TSimTraffic::logoff(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a || !a->isLoggedIn()) return false;
    const QString id = a->id;
    if (a->status == TSimAgent::Status::Ringing) {
        const auto call = m_calls.find(m_callOfAgent.value(id));
        if (call != m_calls.end()) cancelRing(call->second);
    }
    if (a->status == TSimAgent::Status::WrapUp) {
        ++m_wrapTokens[id];
        classify(m_wrapUpQueue.take(id));
    }
    ++m_pauseTokens[id];
    // A call in progress goes on to its end; the agent just takes no more.
    const qint64 loginSeconds = a->loggedInTime > 0 ? m_state->now() - a->loggedInTime : 0;
    m_state->logoffAgent(id);
    send(TSimEvents::agentLogoff(*a, qMax<qint64>(0, loginSeconds)));
    sendMembers(*a, true, false);
    return true;
}

int TSimTraffic::pickPauseReason() {
    // Short breaks are the most common.
    const QList<TSimPauseReason>& reasons = m_state->pauseReasons();
    if (reasons.isEmpty()) return 0;
    QList<int> weights;
    int total = 0;
    for (const TSimPauseReason& r : reasons) {
        const QString n = r.name.toLower();
        const int w = n.contains(u"banheiro")                                ? 30
                      : n.contains(u"lanche")                                ? 15
                      : n.contains(u"almo")                                  ? 10
                      : n.contains(u"feedback") || n.contains(u"backoffice") ? 10
                                                                             : 6;
        weights.append(w);
        total += w;
    }
    int pick = between(0, total - 1);
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        if (pick < weights.at(i)) return reasons.at(i).id;
        pick -= weights.at(i);
    }
    return reasons.last().id;
}

qint64 TSimTraffic::pauseMs(int reason) {
    if (reason <= 0) return between(15, 60) * 1000LL; // back after a missed call
    const TSimPauseReason* r = m_state->pauseReason(reason);
    const QString n = r ? r->name.toLower() : QString();
    int low = 5;
    int high = 15;
    if (n.contains(u"almo")) {
        low = 40, high = 60;
    } else if (n.contains(u"banheiro")) {
        low = 3, high = 7;
    } else if (n.contains(u"lanche") || n.contains(u"gin")) {
        low = 8, high = 15;
    } else if (n.contains(u"treina") || n.contains(u"reuni")) {
        low = 15, high = 40;
    }
    return between(low * 60, high * 60) * 1000LL;
}

void TSimTraffic::pause(const QString& agentId, int reason, bool planEnd) {
    const TSimAgent* a = m_state->agent(agentId);
    // A pause is told per queue membership: an agent in no queue has nothing to pause.
    if (!a || !a->isLoggedIn() || a->queues.isEmpty()) return;
    if (!a->paused) ++m_pausedAgents;
    m_state->setAgentPaused(a->id, true, reason);
    sendMembers(*a, false, true);
    if (planEnd)
        agentAfter(m_pauseTokens, a->id, pauseMs(reason), &TSimTraffic::unpause);
    else
        ++m_pauseTokens[a->id];
}

void TSimTraffic::unpause(const QString& agentId) {
    const TSimAgent* a = m_state->agent(agentId);
    if (!a) return;
    if (a->paused) --m_pausedAgents;
    ++m_pauseTokens[a->id];
    m_state->setAgentPaused(a->id, false, 0);
    sendMembers(*a, false, true);
    agentFree(a->id);
}

// --- The monitor's agent actions -----------------------------------------------------------

TSimActionResult TSimTraffic::queueAdd(const QString& queueId, const QString& interface,
                                       const QString& paused, const QString& penalty) {
    Q_UNUSED(paused) // a pause belongs to the agent in all its queues, not to one membership
    if (queueId.isEmpty()) return {false, QStringLiteral("'Queue' not specified.")};
    if (interface.isEmpty()) return {false, QStringLiteral("'Interface' not specified.")};
    const TSimQueue* q = m_state->queue(queueId);
    if (!q || !q->isVoice())
        return {false, QStringLiteral("Unable to add interface to queue: No such queue")};
    const TSimAgent* a = m_state->agent(interface);
    if (!a) return {false, QStringLiteral("Unable to add interface: No such agent")};
    if (q->member(a->id)) return {false, QStringLiteral("Unable to add interface: Already there")};
    int penaltyValue = 0;
    if (!penalty.isEmpty()) {
        bool ok = false;
        penaltyValue = penalty.toInt(&ok);
        if (!ok || penaltyValue < 0) return {false, QStringLiteral("Invalid penalty")};
    }
    m_state->addMember(q->id, a->id, penaltyValue, true);
    send(TSimEvents::memberAdded(*q, *a, *q->member(a->id)));
    agentFree(a->id);
    return {true, QStringLiteral("Added interface to queue")};
}

TSimActionResult TSimTraffic::queueRemove(const QString& queueId, const QString& interface) {
    if (queueId.isEmpty()) return {false, QStringLiteral("'Queue' not specified.")};
    if (interface.isEmpty()) return {false, QStringLiteral("'Interface' not specified.")};
    const TSimQueue* q = m_state->queue(queueId);
    if (!q || !q->isVoice())
        return {false, QStringLiteral("Unable to remove interface from queue: No such queue")};
    const TSimAgent* a = m_state->agent(interface);
    if (!a || !q->member(a->id))
        return {false, QStringLiteral("Unable to remove interface: Not there")};
    // A call of this queue ringing for the agent goes back to the queue; one in talk goes on.
    if (a->status == TSimAgent::Status::Ringing) {
        const auto call = m_calls.find(m_callOfAgent.value(a->id));
        if (call != m_calls.end() && call->second.queue == q->id) cancelRing(call->second);
    }
    // A pause is held in the memberships: with the last one gone the agent is paused nowhere,
    // and the pause ends (its end is what her free time counts from).
    if (a->paused && a->queues.size() == 1) {
        --m_pausedAgents;
        ++m_pauseTokens[a->id];
        m_state->setAgentPaused(a->id, false, 0);
        send(TSimEvents::memberPaused(*q, *a));
    }
    m_state->removeMember(q->id, a->id);
    send(TSimEvents::memberRemoved(*q, *a));
    return {true, QStringLiteral("Removed interface from queue")};
}

TSimActionResult TSimTraffic::queuePause(const QString& interface, const QString& paused,
                                         const QString& reason, const QString& queueId) {
    if (interface.isEmpty() || paused.isEmpty())
        return {false, QStringLiteral("Need 'Interface' and 'Paused' parameters.")};
    const QString p = paused.toLower();
    bool pausing = false;
    if (p == u"1" || p == u"yes" || p == u"true" || p == u"y" || p == u"t" || p == u"on")
        pausing = true;
    else if (!(p == u"0" || p == u"no" || p == u"false" || p == u"n" || p == u"f" || p == u"off"))
        return {false, QStringLiteral("Invalid 'Paused' value")};
    const TSimAgent* a = m_state->agent(interface);
    if (!a || a->queues.isEmpty() || (!queueId.isEmpty() && !a->queues.contains(queueId)))
        return {false, QStringLiteral("Interface not found")};
    if (!pausing) {
        unpause(a->id);
        return {true, QStringLiteral("Interface unpaused successfully")};
    }
    if (!a->isLoggedIn()) return {false, QStringLiteral("Interface not logged in")};
    bool ok = false;
    const int id = reason.toInt(&ok);
    if (!ok || !m_state->pauseReason(id))
        return {false, QStringLiteral("Unknown pause reason '%1'").arg(reason)};
    pause(a->id, id, true);
    return {true, QStringLiteral("Interface paused successfully")};
}

TSimActionResult TSimTraffic::agentLogoff(const QString& agentId) {
    if (agentId.isEmpty()) return {false, QStringLiteral("No agent specified")};
    const TSimAgent* a = m_state->agent(agentId);
    if (!a) return {false, QStringLiteral("No such agent")};
    if (!a->isLoggedIn()) return {false, QStringLiteral("Agent is not logged in")};
    logoff(a->id);
    countAgents();
    return {true, QStringLiteral("Agent logged out")};
}

// --- Telephones, lines and trunks ---------------------------------------------------------------

bool TSimTraffic::setRegistered(const QString& extensionId, bool registered) {
    const TSimExtension* e = m_state->extension(extensionId);
    if (!e || e->type != u"s") return false;
    if (registered) {
        const QString address = e->address.isEmpty()
                                    ? QStringLiteral("192.168.10.%1").arg(between(20, 250))
                                    : e->address;
        m_state->setExtensionRegistered(e->id, true, address);
        send(TSimEvents::peerStatus(e->device(), QStringLiteral("Registered"), address));
    } else {
        m_state->setExtensionRegistered(e->id, false);
        send(TSimEvents::peerStatus(e->device(), chance(0.5) ? QStringLiteral("Unregistered")
                                                             : QStringLiteral("Unreachable")));
    }
    return true;
}

void TSimTraffic::registrationChange() {
    at(between(60, 240) * 1000LL, [this] { registrationChange(); });
    const QList<TSimExtension>& all = m_state->extensions();
    if (all.isEmpty()) return;
    const TSimExtension& e = all.at(between(0, int(all.size()) - 1));
    // Telephones in use and those of agents at work are left alone.
    if (e.type != u"s" || m_state->deviceInUse(e.device()) || m_state->agentAt(e.device())) return;
    if (!e.registered)
        setRegistered(e.id, chance(0.6));
    else if (chance(0.3))
        setRegistered(e.id, false);
    else
        setRegistered(e.id, true); // a periodic registration, same address
}

void TSimTraffic::dropCall(Call& call, int cause) {
    if (call.kind != Kind::Incoming)
        finishPrivate(call, cause);
    else if (call.phase == Phase::Talking)
        complete(call, true);
    else if (call.phase == Phase::Greeting)
        endCall(call);
    else
        abandon(call);
}

void TSimTraffic::dropCallsOn(const QString& device, int cause) {
    for (const QString& uid : m_state->channelsOn(device)) {
        if (Call* call = callOf(uid)) dropCall(*call, cause);
        if (m_state->channel(uid)) close(uid, cause);
    }
}

bool TSimTraffic::setPortAlarm(int portId, const QString& alarm) {
    TSimPort* p = m_state->portForUpdate(portId);
    if (!p || p->type != u"t" || p->alarm == alarm) return false;
    const QString previous = p->alarm;
    if (!alarm.isEmpty()) {
        for (int i = 0; i < p->lineCount; ++i)
            dropCallsOn(p->lineDevice(i), 38);
    }
    p->alarm = alarm;
    for (int i = 0; i < p->lineCount; ++i) {
        if (!p->isVoiceLine(i)) continue;
        send(alarm.isEmpty() ? TSimEvents::alarmClear(p->lineDevice(i), previous)
                             : TSimEvents::alarm(p->lineDevice(i), alarm));
    }
    return true;
}

void TSimTraffic::alarmChange() {
    at(between(15, 40) * 60000LL, [this] { alarmChange(); });
    QList<int> spans;
    for (const TSimPort& p : m_state->ports()) {
        if (p.isDigitalTrunk() && p.alarm.isEmpty()) spans.append(p.id);
    }
    if (spans.isEmpty()) return;
    const int portId = spans.at(between(0, int(spans.size()) - 1));
    setPortAlarm(portId, alarms.at(between(0, int(alarms.size()) - 1)));
    at(between(60, 300) * 1000LL, [this, portId] { setPortAlarm(portId, QString()); });
}

QString TSimTraffic::carrierOf(int portId) const {
    for (const TSimTrunk& t : m_state->trunks()) {
        if (t.type == u"f" && t.portId == portId) return t.carrier;
    }
    return {};
}

void TSimTraffic::signalChange() {
    at(between(30, 90) * 1000LL, [this] { signalChange(); });
    QList<int> chips;
    for (const TSimPort& p : m_state->ports()) {
        if (p.isCellular() && p.onNetwork) chips.append(p.id);
    }
    if (chips.isEmpty()) return;
    const int portId = chips.at(between(0, int(chips.size()) - 1));
    TSimPort* p = m_state->portForUpdate(portId);
    const QString device = p->lineDevice(0);
    if (chance(0.06)) {
        // The chip loses the network for a while, and its call with it.
        dropCallsOn(device, 38);
        p->onNetwork = false;
        p->signal = 0;
        send(TSimEvents::antennaLevel(device, 0));
        send(TSimEvents::operatorRegistry(device, QString()));
        at(between(20, 90) * 1000LL, [this, portId] {
            TSimPort* chip = m_state->portForUpdate(portId);
            if (!chip || chip->onNetwork) return;
            chip->onNetwork = true;
            chip->signal = between(35, 70);
            send(TSimEvents::operatorRegistry(chip->lineDevice(0), carrierOf(portId)));
            send(TSimEvents::antennaLevel(chip->lineDevice(0), chip->signal));
        });
        return;
    }
    p->signal = qBound(15, p->signal + between(-12, 12), 99);
    send(TSimEvents::antennaLevel(device, p->signal));
}

void TSimTraffic::sipTrunkChange() {
    at(between(20, 60) * 60000LL, [this] { sipTrunkChange(); });
    QStringList sip;
    for (const TSimTrunk& t : m_state->trunks()) {
        if (t.type == u"s" && t.reachable) sip.append(t.name);
    }
    if (sip.isEmpty()) return;
    const QString name = sip.at(between(0, int(sip.size()) - 1));
    // The carrier stops answering the PBX's qualify for a minute or two; calls in progress stay.
    m_state->trunkForUpdate(name)->reachable = false;
    send(TSimEvents::peerStatus(m_state->trunk(name)->device(), QStringLiteral("Unreachable")));
    at(between(30, 120) * 1000LL, [this, name] {
        TSimTrunk* t = m_state->trunkForUpdate(name);
        if (!t || t->reachable) return;
        t->reachable = true;
        send(TSimEvents::peerStatus(t->device(), QStringLiteral("Reachable"), QString(),
                                    between(15, 40)));
    });
}

// --- State dump ---------------------------------------------------------------------------------

QStringList TSimTraffic::describeCalls() const {
    static const char* kinds[] = {"incoming", "internal", "outgoing"};
    static const char* phases[] = {"greeting", "waiting", "ringing", "talking"};
    QStringList out;
    for (const auto& [id, call] : m_calls) {
        const TSimChannel* a = m_state->channel(call.a);
        const TSimChannel* b = m_state->channel(call.b);
        QString line =
            QStringLiteral("#%1 %2 %3 %4")
                .arg(id)
                .arg(QLatin1StringView(kinds[int(call.kind)]),
                     QLatin1StringView(phases[int(call.phase)]), a ? a->name : QStringLiteral("-"));
        if (b) line += QStringLiteral(" -> ") + b->name;
        if (!call.queue.isEmpty()) line += QStringLiteral(" queue=") + call.queue;
        if (!call.agent.isEmpty()) line += QStringLiteral(" agent=") + call.agent;
        if (!call.trunk.isEmpty()) line += QStringLiteral(" trunk=") + call.trunk;
        if (!call.number.isEmpty()) line += QStringLiteral(" number=") + call.number;
        out.append(line);
    }
    return out;
}
