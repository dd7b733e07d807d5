#include "TSimScript.h"

#include <QFile>

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

QString stepName(const TSimScriptStep& step) {
    return QStringLiteral("line %1").arg(step.line);
}

} // namespace

bool TSimScript::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read script '%1': %2").arg(path, file.errorString());
        return false;
    }
    return parse(QString::fromUtf8(file.readAll()), error);
}

bool TSimScript::parse(const QString& text, QString* error) {
    m_steps.clear();
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = int(i) + 1;
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype space = line.indexOf(u' ');
        const QString word = (space < 0 ? line : line.left(space)).toLower();
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        auto bad = [&](const QString& why) {
            *error = QStringLiteral("script line %1: %2").arg(number).arg(why);
            return false;
        };
        TSimScriptStep step;
        step.line = number;
        if (word == u"auto") {
            if (rest != u"on" && rest != u"off") return bad(QStringLiteral("auto takes on or off"));
            step.kind = TSimScriptStep::Kind::Auto;
            step.on = rest == u"on";
        } else if (word == u"greeting") {
            if (rest.isEmpty()) return bad(QStringLiteral("greeting takes off or a text"));
            m_greetingEnabled = rest != u"off";
            m_greeting = m_greetingEnabled ? rest : QString();
            continue;
        } else if (word == u"expect") {
            if (rest.isEmpty()) return bad(QStringLiteral("expect needs an action name"));
            step.kind = TSimScriptStep::Kind::Expect;
            const qsizetype gap = rest.indexOf(u' ');
            step.action = gap < 0 ? rest : rest.left(gap);
            if (gap >= 0) {
                const QString pair = rest.mid(gap + 1).trimmed();
                const qsizetype colon = pair.indexOf(u':');
                if (colon <= 0) return bad(QStringLiteral("expect takes an optional 'Key: Value'"));
                step.key = pair.left(colon).trimmed();
                step.value = pair.mid(colon + 1).trimmed();
            }
        } else if (word == u"send") {
            if (!rest.isEmpty())
                return bad(QStringLiteral("send stands alone on its line; the packet follows"));
            step.kind = TSimScriptStep::Kind::Send;
            bool closed = false;
            while (++i < lines.size()) {
                const QString packetLine = lines.at(i);
                if (packetLine.trimmed() == u".") {
                    closed = true;
                    break;
                }
                step.lines.append(packetLine.trimmed() == u".." ? QStringLiteral(".") : packetLine);
            }
            if (!closed) return bad(QStringLiteral("send block has no closing '.' line"));
        } else if (word == u"raw") {
            if (rest.isEmpty()) return bad(QStringLiteral("raw needs a text"));
            step.kind = TSimScriptStep::Kind::Raw;
            step.text = rest;
        } else if (word == u"wait") {
            bool ok = false;
            step.milliseconds = rest.toInt(&ok);
            if (!ok || step.milliseconds < 0) return bad(QStringLiteral("wait takes milliseconds"));
            step.kind = TSimScriptStep::Kind::Wait;
        } else if (word == u"close" || word == u"stall") {
            if (!rest.isEmpty()) return bad(word + QStringLiteral(" takes nothing"));
            step.kind =
                word == u"close" ? TSimScriptStep::Kind::Close : TSimScriptStep::Kind::Stall;
        } else {
            return bad(QStringLiteral("unknown directive '%1'").arg(word));
        }
        m_steps.append(step);
    }
    return true;
}

QByteArray TSimScript::expand(const QString& text, const TSimPacket& lastAction, bool rawEscapes) {
    QByteArray out;
    QString plain;
    auto flush = [&] {
        out += plain.toUtf8();
        plain.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar e = text.at(i + 1);
            if (e == u'\\') {
                plain += u'\\';
                ++i;
                continue;
            }
            if (e == u'x' && i + 3 < text.size() && hexDigit(text.at(i + 2)) >= 0 &&
                hexDigit(text.at(i + 3)) >= 0) {
                flush();
                out += char(hexDigit(text.at(i + 2)) * 16 + hexDigit(text.at(i + 3)));
                i += 3;
                continue;
            }
            if (rawEscapes && (e == u'r' || e == u'n' || e == u't' || e == u'0')) {
                plain += e == u'r' ? u'\r' : e == u'n' ? u'\n' : e == u't' ? u'\t' : QChar(0);
                ++i;
                continue;
            }
        }
        if (c == u'$' && i + 1 < text.size() && text.at(i + 1) == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 2);
            if (close > 0) {
                plain += lastAction.value(text.mid(i + 2, close - i - 2));
                i = close;
                continue;
            }
        }
        plain += c;
    }
    flush();
    return out;
}

TSimScriptRun::TSimScriptRun(const TSimScript& script, TSimScriptHost* host, double speed,
                             QObject* parent)
    : QObject(parent), m_script(script), m_host(host), m_speed(speed > 0 ? speed : 1.0) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const TSimScriptStep& step = m_script.steps().at(m_next);
        if (step.kind == TSimScriptStep::Kind::Expect) {
            fail(QStringLiteral("%1: no %2 action arrived in time")
                     .arg(stepName(step), step.action));
            return;
        }
        ++m_next; // the wait is over
        m_waiting = false;
        advance();
    });
}

int TSimScriptRun::scaled(int milliseconds) const {
    return qMax(0, qRound(milliseconds / m_speed));
}

void TSimScriptRun::start() {
    advance();
}

bool TSimScriptRun::matches(const TSimScriptStep& step, const TSimPacket& action) const {
    if (action.value(QStringLiteral("Action")).compare(step.action, Qt::CaseInsensitive) != 0)
        return false;
    return step.key.isEmpty() || (action.has(step.key) && action.value(step.key) == step.value);
}

void TSimScriptRun::actionReceived(const TSimPacket& action) {
    if (m_finished) return;
    m_inbox.append(action);
    if (m_inbox.size() > InboxLimit) m_inbox.removeFirst();
    if (m_waiting && m_script.steps().at(m_next).kind == TSimScriptStep::Kind::Expect) {
        m_waiting = false;
        advance();
    }
}

void TSimScriptRun::connectionClosed() {
    if (m_finished) return;
    const QList<TSimScriptStep>& steps = m_script.steps();
    if (m_next < steps.size())
        fail(QStringLiteral("%1: the connection closed before the script ended")
                 .arg(stepName(steps.at(m_next))));
    else
        succeed(QStringLiteral("script ended"));
}

void TSimScriptRun::advance() {
    const QList<TSimScriptStep>& steps = m_script.steps();
    while (!m_finished && !m_waiting && m_next < steps.size()) {
        const TSimScriptStep& step = steps.at(m_next);
        switch (step.kind) {
        case TSimScriptStep::Kind::Auto:
            m_host->scriptAuto(step.on);
            break;
        case TSimScriptStep::Kind::Expect: {
            // Actions that do not match are passed over.
            bool found = false;
            while (!m_inbox.isEmpty() && !found) {
                const TSimPacket action = m_inbox.takeFirst();
                if (matches(step, action)) {
                    m_lastAction = action;
                    found = true;
                }
            }
            if (!found) {
                m_waiting = true;
                if (!m_timer.isActive()) m_timer.start(scaled(ExpectTimeoutMs));
                return;
            }
            m_timer.stop();
            break;
        }
        case TSimScriptStep::Kind::Send: {
            QByteArray packet;
            for (const QString& line : step.lines)
                packet += TSimScript::expand(line, m_lastAction, false) + "\r\n";
            m_host->scriptPacket(packet + "\r\n");
            break;
        }
        case TSimScriptStep::Kind::Raw:
            m_host->scriptRaw(TSimScript::expand(step.text, m_lastAction, true));
            break;
        case TSimScriptStep::Kind::Wait:
            m_waiting = true;
            m_timer.start(scaled(step.milliseconds));
            return;
        case TSimScriptStep::Kind::Close:
            ++m_next;
            succeed(QStringLiteral("script closed the connection"));
            m_host->scriptClose();
            return;
        case TSimScriptStep::Kind::Stall:
            m_host->scriptStall();
            break;
        }
        ++m_next;
    }
    if (!m_finished && !m_waiting && m_next >= steps.size())
        succeed(QStringLiteral("script ended"));
}

void TSimScriptRun::fail(const QString& message) {
    if (m_finished) return;
    m_finished = true;
    m_timer.stop();
    Q_EMIT finished(false, message);
}

void TSimScriptRun::succeed(const QString& message) {
    if (m_finished) return;
    m_finished = true;
    m_timer.stop();
    Q_EMIT finished(true, message);
}
