#include "TCommandOutputs.h"

#include "TSimPacket.h"
#include "TSimState.h"

namespace {

QString cell(const QString& text, int width) {
    return text.left(width - 1).leftJustified(width, u' ');
}

QString sipLine(const QString& name, const QString& host, const QString& dyn, const QString& port,
                const QString& status, const QString& description) {
    return cell(name, 26) + cell(host, 40) + cell(dyn, 4) + cell(QStringLiteral("No"), 11) +
           cell(QStringLiteral("No"), 11) + cell(QString(), 4) + cell(port, 9) + cell(status, 12) +
           description;
}

// Whether a live channel runs over the device, and in which direction.
QString lineUse(const TSimState& state, const QString& device, bool* busy) {
    const QStringList calls = state.channelsOn(device);
    const TSimChannel* c = calls.isEmpty() ? nullptr : state.channel(calls.first());
    *busy = c != nullptr;
    if (!c) return QStringLiteral("Free");
    return c->outgoing ? QStringLiteral("Outgoing") : QStringLiteral("Incoming");
}

QString trunkCarrier(const TSimState& state, int portId) {
    for (const TSimTrunk& t : state.trunks()) {
        if (t.type == u"f" && t.portId == portId) return t.carrier;
    }
    return {};
}

} // namespace

bool TCommandOutputs::run(const QString& command, const TSimState& state, QStringList* lines) {
    const QString c = command.simplified().toLower();
    if (c == u"sip show peers")
        *lines = sipShowPeers(state);
    else if (c == u"khomp channels show")
        *lines = khompChannelsShow(state);
    else if (c == u"dahdi show channels")
        *lines = dahdiShowChannels(state);
    else
        return false;
    return true;
}

QStringList TCommandOutputs::sipShowPeers(const TSimState& state) {
    QStringList out;
    out.append(cell(QStringLiteral("Name/username"), 26) + cell(QStringLiteral("Host"), 40) +
               cell(QStringLiteral("Dyn"), 4) + cell(QStringLiteral("Forcerport"), 11) +
               cell(QStringLiteral("Comedia"), 11) + cell(QStringLiteral("ACL"), 4) +
               cell(QStringLiteral("Port"), 9) + cell(QStringLiteral("Status"), 12) +
               QStringLiteral("Description"));
    int online = 0;
    int offline = 0;
    for (const TSimExtension& e : state.extensions()) {
        if (e.type != u"s") continue;
        const QString name = e.id + u'/' + e.id;
        if (e.registered) {
            ++online;
            out.append(sipLine(name, e.address, QStringLiteral("D"), QString::number(e.port),
                               QStringLiteral("OK (%1 ms)").arg(e.latency), e.name));
        } else {
            ++offline;
            out.append(sipLine(name, QStringLiteral("(Unspecified)"), QStringLiteral("D"),
                               QStringLiteral("0"), QStringLiteral("UNKNOWN"), e.name));
        }
    }
    for (const TSimTrunk& t : state.trunks()) {
        if (t.type != u"s") continue;
        const QString name = t.user.isEmpty() ? t.name : t.name + u'/' + t.user;
        if (t.reachable) {
            ++online;
            out.append(sipLine(name, t.host, QString(), QStringLiteral("5060"),
                               QStringLiteral("OK (23 ms)"), t.carrier));
        } else {
            ++offline;
            out.append(sipLine(name, t.host, QString(), QStringLiteral("5060"),
                               QStringLiteral("UNREACHABLE"), t.carrier));
        }
    }
    out.append(
        QStringLiteral("%1 sip peers [Monitored: %2 online, %3 offline Unmonitored: 0 online, "
                       "0 offline]")
            .arg(online + offline)
            .arg(online)
            .arg(offline));
    return out;
}

QStringList TCommandOutputs::khompChannelsShow(const TSimState& state) {
    const QString rule(82, u'-');
    QStringList out;
    out.append(u' ' + rule);
    out.append(
        QStringLiteral("|%1 Khomp Channels Status %2|").arg(QString(28, u'-'), QString(29, u'-')));
    out.append(u'|' + rule + u'|');
    out.append(QStringLiteral(
        "|  hw    |  asterisk status   |  khomp call status  |  khomp channel status   |"));
    out.append(u'|' + rule + u'|');
    for (const TSimPort& p : state.ports()) {
        if (p.brand != u"k") continue;
        for (int i = 0; i < p.lineCount; ++i) {
            const QString hw =
                QStringLiteral("%1,%2").arg(p.boardIndex).arg(p.firstLine + i, 2, 10, QChar(u'0'));
            bool busy = false;
            QString status = lineUse(state, p.lineDevice(i), &busy);
            const QString asterisk = busy ? QStringLiteral("in use") : QStringLiteral("unused");
            QString detail = QStringLiteral("ok");
            if (!p.alarm.isEmpty()) {
                status = QStringLiteral("Failure");
                detail = p.alarm;
            }
            QString line =
                QStringLiteral("<K> | %1 | %2 | %3 | ")
                    .arg(hw.leftJustified(5), asterisk.leftJustified(16), status.leftJustified(17));
            if (p.trunkType == u"c") {
                // Cellular lines carry the operator (in parentheses) and the signal level.
                const QString carrier = trunkCarrier(state, p.id);
                const QString network = !p.onNetwork ? QStringLiteral("Sem registro")
                                        : carrier.isEmpty()
                                            ? QStringLiteral("Sem operadora")
                                            : QStringLiteral("Registrado (%1)").arg(carrier);
                line += QStringLiteral("%1 | %2% | %3")
                            .arg(network, QString::number(p.onNetwork ? p.signal : 0), detail);
            } else {
                line += detail;
            }
            out.append(line);
        }
    }
    return out;
}

QStringList TCommandOutputs::dahdiShowChannels(const TSimState& state) {
    // Chan right-aligned in 7 columns (characters 4 to 7 hold the number); State from column 79.
    auto row = [](const QString& chan, const QString& extension, const QString& context,
                  const QString& language, const QString& moh, const QString& blocked,
                  const QString& status) -> QString {
        const QString left = chan.rightJustified(7) + u' ' + cell(extension, 11) +
                             cell(context, 16) + cell(language, 11) + cell(moh, 21) +
                             cell(blocked, 11);
        return left.leftJustified(78, u' ', true) + status;
    };
    QStringList out;
    out.append(row(QStringLiteral("Chan"), QStringLiteral("Extension"), QStringLiteral("Context"),
                   QStringLiteral("Language"), QStringLiteral("MOH Interpret"),
                   QStringLiteral("Blocked"), QStringLiteral("State")));
    out.append(row(QStringLiteral("pseudo"), QString(), QStringLiteral("default"), QString(),
                   QStringLiteral("default"), QString(), QStringLiteral("In Service")));
    for (const TSimPort& p : state.ports()) {
        if (p.brand != u"z") continue;
        for (int i = 0; i < p.lineCount; ++i) {
            if (p.isDigitalTrunk() && i == 15)
                continue; // the E1 signalling channel is no voice line
            const QString status = p.alarm.isEmpty() ? QStringLiteral("In Service") : p.alarm;
            out.append(row(QString::number(p.firstLine + i), QString(), QStringLiteral("from-pstn"),
                           QStringLiteral("pt_BR"), QStringLiteral("default"), QString(), status));
        }
    }
    return out;
}

QByteArray TCommandOutputs::followsPacket(const QString& actionId, const QStringList& lines) {
    QByteArray out = "Response: Follows\r\n";
    if (!actionId.isEmpty())
        out += "ActionID: " + TSimPacket::singleLine(actionId).toUtf8() + "\r\n";
    out += "Privilege: Command\r\n";
    for (const QString& line : lines) {
        const QString clean = TSimPacket::singleLine(line);
        if (clean.trimmed().isEmpty()) continue;
        out += clean.toUtf8() + "\r\n";
    }
    out += "--END COMMAND--\r\n\r\n";
    return out;
}

QByteArray TCommandOutputs::answerPacket(const QString& actionId, const QStringList& lines,
                                         TSimCommandForm form) {
    QByteArray id;
    if (!actionId.isEmpty()) id = "ActionID: " + TSimPacket::singleLine(actionId).toUtf8() + "\r\n";
    QByteArray out;
    switch (form) {
    case TSimCommandForm::CrLf:
        return followsPacket(actionId, lines);
    case TSimCommandForm::Lf:
        out = "Response: Follows\r\n" + id + "Privilege: Command\r\n";
        for (const QString& line : lines)
            out += TSimPacket::singleLine(line).toUtf8() + "\n";
        out += "--END COMMAND--\r\n\r\n";
        return out;
    case TSimCommandForm::Output:
        out = "Response: Success\r\n" + id + "Message: Command output follows\r\n";
        for (const QString& line : lines)
            out += "Output: " + TSimPacket::singleLine(line).toUtf8() + "\r\n";
        out += "\r\n";
        return out;
    }
    return out;
}
