#include "TSimDump.h"

#include "TSimChat.h"

#include "TSimState.h"
#include "TSimTraffic.h"

#include <QDateTime>
#include <QStringList>

namespace {

QString duration(qint64 seconds) {
    seconds = qMax<qint64>(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

QString agentWord(const TSimAgent& a) {
    QString word;
    switch (a.status) {
    case TSimAgent::Status::LoggedOff:
        return QStringLiteral("logged off");
    case TSimAgent::Status::Idle:
        word = QStringLiteral("free");
        break;
    case TSimAgent::Status::Ringing:
        word = QStringLiteral("ringing");
        break;
    case TSimAgent::Status::OnCall:
        word = QStringLiteral("on call");
        break;
    case TSimAgent::Status::WrapUp:
        word = QStringLiteral("wrap-up");
        break;
    }
    if (a.paused) word += QStringLiteral(", paused (%1)").arg(a.pauseReason);
    return word;
}

// Appends at most MaxLines of `lines`, then how many were left out.
void appendCut(QStringList* out, const QStringList& lines, const QString& indent) {
    for (qsizetype i = 0; i < lines.size() && i < TSimDump::MaxLines; ++i)
        out->append(indent + lines.at(i));
    if (lines.size() > TSimDump::MaxLines)
        out->append(indent +
                    QStringLiteral("... and %1 more").arg(lines.size() - TSimDump::MaxLines));
}

} // namespace

QString TSimDump::text(const TSimState& state, const TSimTraffic* traffic, const TSimChat* chat) {
    const qint64 now = state.now();
    QStringList out;
    QString title = QStringLiteral("== vesmara-pbx state at %1")
                        .arg(QDateTime::fromSecsSinceEpoch(now).toString(Qt::ISODate));
    if (traffic) {
        title += QStringLiteral(" (traffic time %1, %2 events sent)")
                     .arg(duration(traffic->trafficTime() / 1000))
                     .arg(traffic->eventsSent());
    }
    out.append(title + QStringLiteral(" =="));

    QStringList channels;
    for (const TSimChannel& c : state.channels()) {
        QString line =
            QStringLiteral("%1 [%2] %3 %4").arg(c.name, c.uniqueId, c.state, c.callerIdNum);
        if (!c.callerIdName.isEmpty()) line += QStringLiteral(" \"%1\"").arg(c.callerIdName);
        line += QStringLiteral(" %1s").arg(now - c.created);
        if (!c.queue.isEmpty()) line += QStringLiteral(" queue=") + c.queue;
        if (!c.answeredBy.isEmpty()) line += QStringLiteral(" answered-by=") + c.answeredBy;
        if (!c.bridgedTo.isEmpty()) line += QStringLiteral(" bridged=") + c.bridgedTo;
        channels.append(line);
    }
    out.append(QStringLiteral("Channels: %1").arg(channels.size()));
    appendCut(&out, channels, QStringLiteral("  "));

    if (traffic) {
        const QStringList calls = traffic->describeCalls();
        out.append(QStringLiteral("Calls: %1").arg(calls.size()));
        appendCut(&out, calls, QStringLiteral("  "));
    }

    QStringList inUse;
    QStringList unregistered;
    for (const TSimExtension& e : state.extensions()) {
        if (state.deviceInUse(e.device())) inUse.append(e.id);
        if (e.type == u"s" && !e.registered) unregistered.append(e.id);
    }
    out.append(QStringLiteral("Telephones in use (%1): %2")
                   .arg(inUse.size())
                   .arg(inUse.mid(0, MaxLines).join(u' ')));
    out.append(QStringLiteral("Telephones unregistered (%1): %2")
                   .arg(unregistered.size())
                   .arg(unregistered.mid(0, MaxLines).join(u' ')));

    QStringList lines;
    for (const TSimTrunk& t : state.trunks()) {
        if (t.type == u"s") {
            lines.append(QStringLiteral("%1 (SIP): %2")
                             .arg(t.name, t.reachable ? QStringLiteral("reachable")
                                                      : QStringLiteral("unreachable")));
            continue;
        }
        const TSimPort* p = state.port(t.portId);
        if (!p) continue;
        int busy = 0;
        int voice = 0;
        for (int i = 0; i < p->lineCount; ++i) {
            if (!p->isVoiceLine(i)) continue;
            ++voice;
            busy += state.deviceInUse(p->lineDevice(i)) ? 1 : 0;
        }
        QString line = QStringLiteral("%1: %2 of %3 lines busy").arg(t.name).arg(busy).arg(voice);
        if (p->isCellular())
            line += p->onNetwork ? QStringLiteral(", %1 %2%").arg(t.carrier).arg(p->signal)
                                 : QStringLiteral(", off the network");
        if (!p->alarm.isEmpty()) line += QStringLiteral(", ") + p->alarm;
        lines.append(line);
    }
    out.append(QStringLiteral("Lines:"));
    appendCut(&out, lines, QStringLiteral("  "));

    QStringList queues;
    for (const TSimQueue& q : state.queues()) {
        if (!q.isVoice()) continue;
        queues.append(
            QStringLiteral("%1 %2: %3 waiting, completed %4, abandoned %5, service level %6%")
                .arg(q.id, q.name)
                .arg(q.waiting.size())
                .arg(q.completed)
                .arg(q.abandoned)
                .arg(q.serviceLevelPerf()));
        for (qsizetype i = 0; i < q.waiting.size() && i < MaxLines; ++i) {
            const TSimChannel* c = state.channel(q.waiting.at(i));
            if (!c) continue;
            queues.append(QStringLiteral("  waiting %1: %2 %3 %4s")
                              .arg(i + 1)
                              .arg(c->name, c->callerIdNum)
                              .arg(now - c->queueJoined));
        }
        QStringList members;
        for (const TSimQueueMember& m : q.members) {
            const TSimAgent* a = state.agent(m.agentId);
            if (a) members.append(QStringLiteral("%1 %2").arg(a->id, agentWord(*a)));
        }
        queues.append(QStringLiteral("  members (%1): %2")
                          .arg(members.size())
                          .arg(members.mid(0, MaxLines).join(QStringLiteral("; "))));
    }
    out.append(QStringLiteral("Queues:"));
    appendCut(&out, queues, QStringLiteral("  "));

    int loggedIn = 0, paused = 0, onCall = 0, ringing = 0, wrapUp = 0, free = 0, off = 0;
    QStringList pauses;
    for (const TSimAgent& a : state.agents()) {
        if (!a.isLoggedIn()) {
            ++off;
            continue;
        }
        ++loggedIn;
        onCall += a.status == TSimAgent::Status::OnCall;
        ringing += a.status == TSimAgent::Status::Ringing;
        wrapUp += a.status == TSimAgent::Status::WrapUp;
        free += a.isAvailable();
        if (!a.paused) continue;
        ++paused;
        const TSimPauseReason* r = state.pauseReason(a.pauseReason);
        const QString reason = a.pauseReason <= 0
                                   ? QStringLiteral("0 (automatic, call not answered)")
                               : r ? QStringLiteral("%1 %2").arg(r->id).arg(r->name)
                                   : QString::number(a.pauseReason);
        pauses.append(
            QStringLiteral("paused: %1 %2: %3 for %4")
                .arg(a.id, a.name, reason, duration(a.pauseStart > 0 ? now - a.pauseStart : 0)));
    }
    out.append(QStringLiteral("Agents: %1 logged in (%2 paused), %3 on call, %4 ringing, "
                              "%5 in wrap-up, %6 free, %7 logged off")
                   .arg(loggedIn)
                   .arg(paused)
                   .arg(onCall)
                   .arg(ringing)
                   .arg(wrapUp)
                   .arg(free)
                   .arg(off));
    appendCut(&out, pauses, QStringLiteral("  "));

    if (traffic) {
        const TSimTraffic::Counters& n = traffic->counters();
        out.append(QStringLiteral("Counters: incoming %1, answered %2, completed %3, abandoned %4, "
                                  "rung out %5, turned away %6, internal %7, outgoing %8")
                       .arg(n.incoming)
                       .arg(n.answered)
                       .arg(n.completed)
                       .arg(n.abandoned)
                       .arg(n.unanswered)
                       .arg(n.rejected)
                       .arg(n.internal)
                       .arg(n.outgoing));
    }
    if (chat) out.append(chat->dump(MaxLines));
    return out.join(u'\n');
}
