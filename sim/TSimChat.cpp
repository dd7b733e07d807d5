#include "TSimChat.h"

#include "TSimDatabase.h"
#include "TSimState.h"

#include <QDateTime>
#include <QSqlRecord>

namespace {

TSimPacket vchatEvent(const QString& name) {
    TSimPacket p = TSimPacket::event(QStringLiteral("UserEvent"));
    p.add(QStringLiteral("UserEvent"), QStringLiteral("VChatEvent"))
        .add(QStringLiteral("VChatEvent"), name);
    return p;
}

// The scenario writes local date-times; the protocol carries Unix seconds.
const QString kLocalFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
qint64 unixOf(const QString& localText) {
    QDateTime t = QDateTime::fromString(localText, kLocalFormat);
    return t.isValid() ? t.toSecsSinceEpoch() : 0;
}
QString localOf(qint64 unix) {
    return QDateTime::fromSecsSinceEpoch(unix).toString(kLocalFormat);
}

const char* const kPhrases[] = {
    "Bom dia! Pode verificar a fila de Vendas?",
    "A reunião foi adiada para às 16h.",
    "Preciso de ajuda com o relatório de pausas.",
    "O cliente da conversa anterior ligou de novo.",
    "Atenção: manutenção do servidor às 22h.",
    "Você consegue cobrir o intervalo da equipe?",
    "Obrigado pela ajuda, ficou ótimo!",
    "<b>Urgente</b>: fila de Suporte com espera alta",
    "Confirme por favor: \"pausa 10\" ou \"pausa 15\"?",
    "Ação concluída; próxima revisão em 15 minutos.",
};

const char* const kCustomerLines[] = {
    "Olá, preciso de ajuda com meu pedido.",
    "O número do pedido é 48213.",
    "Já tentei reiniciar e não funcionou.",
    "Vocês entregam no sábado?",
    "Obrigado, resolveu!",
};

const char* const kAgentLines[] = {
    "Olá! Sou do atendimento, como posso ajudar?",
    "Um momento, estou verificando.",
    "Encontrei seu pedido: está em separação.",
    "Posso ajudar em algo mais?",
};

} // namespace

TSimChat::TSimChat(TSimState* state, quint32 seed, double speed, QObject* parent)
    : QObject(parent), m_state(state), m_random(seed ^ 0x43686174u), m_desk(state) {
    m_timer.setInterval(std::max(1, int(StepMs / (speed > 0 ? speed : 1.0))));
    connect(&m_timer, &QTimer::timeout, this, &TSimChat::step);
}

void TSimChat::seed(const TSimDatabase& database) {
    m_desk.seed(database);
    for (const QSqlRecord& r : database.rows(
             QStringLiteral("SELECT user, nome FROM user WHERE tipo IS NULL OR tipo <> 's' "
                            "ORDER BY rowid"))) {
        const QString user = r.value(0).toString();
        if (user.isEmpty() || m_users.contains(user)) continue;
        m_users << user;
        m_names.insert(user, r.value(1).toString());
    }
    if (!database.hasTable(QStringLiteral("ChatMensagemDe"))) return;
    for (const QSqlRecord& r : database.rows(QStringLiteral(
             "SELECT idChatMensagemDe, De, DataEnvio, Mensagem FROM ChatMensagemDe ORDER BY 1"))) {
        TSimChatMessage m;
        m.id = r.value(0).toLongLong();
        m.from = r.value(1).toString();
        m.sent = unixOf(r.value(2).toString());
        m.body = r.value(3).toString();
        for (const QSqlRecord& p :
             database.rows(QStringLiteral("SELECT Para, DataLeitura FROM ChatMensagemPara WHERE "
                                          "idChatMensagemDe = ? ORDER BY rowid"),
                           {m.id})) {
            const QString to = p.value(0).toString();
            if (m.to.contains(to)) continue;
            m.to << to;
            m.readAt.insert(to, p.value(1).isNull() ? 0 : unixOf(p.value(1).toString()));
        }
        store(std::move(m));
    }
}

void TSimChat::start() {
    m_timer.start();
}

void TSimChat::stop() {
    m_timer.stop();
}

void TSimChat::keepTables(TSimDatabase* database) {
    m_tables = database && database->hasTable(QStringLiteral("ChatMensagemDe")) &&
                       database->hasTable(QStringLiteral("ChatMensagemPara"))
                   ? database
                   : nullptr;
}

TSimChatMessage& TSimChat::store(TSimChatMessage message) {
    m_nextId = std::max(m_nextId, message.id + 1);
    while (int(m_messages.size()) >= MaxMessages) {
        if (m_tables) {
            const qint64 oldest = m_messages.begin()->first;
            m_tables->exec(
                QStringLiteral("DELETE FROM ChatMensagemPara WHERE idChatMensagemDe = ?"),
                {oldest});
            m_tables->exec(QStringLiteral("DELETE FROM ChatMensagemDe WHERE idChatMensagemDe = ?"),
                           {oldest});
        }
        m_messages.erase(m_messages.begin());
    }
    const qint64 id = message.id;
    if (m_tables) {
        m_tables->exec(QStringLiteral("INSERT OR REPLACE INTO ChatMensagemDe (idChatMensagemDe, "
                                      "De, DataEnvio, Mensagem) VALUES (?, ?, ?, ?)"),
                       {id, message.from, localOf(message.sent), message.body});
        for (const QString& to : message.to) {
            const qint64 read = message.readAt.value(to);
            m_tables->exec(QStringLiteral("INSERT INTO ChatMensagemPara (idChatMensagemDe, Para, "
                                          "DataLeitura) VALUES (?, ?, ?)"),
                           {id, to, read ? QVariant(localOf(read)) : QVariant()});
        }
    }
    return m_messages[id] = std::move(message);
}

void TSimChat::markRead(qint64 id, const QString& reader, qint64 when) {
    m_messages[id].readAt[reader] = when;
    if (m_tables)
        m_tables->exec(QStringLiteral("UPDATE ChatMensagemPara SET DataLeitura = ? WHERE "
                                      "idChatMensagemDe = ? AND Para = ?"),
                       {localOf(when), id, reader});
}

void TSimChat::sendNewMessage(const TSimChatMessage& m) {
    TSimPacket p = vchatEvent(QStringLiteral("SendMessage"));
    p.add(QStringLiteral("To"), m.to.join(u','))
        .add(QStringLiteral("From"), m.from)
        .add(QStringLiteral("Id"), m.id)
        .addText(QStringLiteral("Message"), m.body)
        .add(QStringLiteral("TimeSent"), m.sent);
    Q_EMIT event(p);
}

QString TSimChat::phrase() {
    const int n = int(std::size(kPhrases));
    QString text = QString::fromUtf8(kPhrases[between(0, n - 1)]);
    // Some bodies carry line breaks, one an empty line in the middle.
    if (chance(0.2)) text += u'\n' + QString::fromUtf8(kPhrases[between(0, n - 1)]);
    if (chance(0.05)) text += QStringLiteral("\n\nAtt.");
    return text;
}

void TSimChat::step() {
    const double r = m_random.bounded(1.0);
    if (r < 0.35)
        randomMessage();
    else if (r < 0.5)
        randomPresence();
    else if (r < 0.65)
        randomRead();
    else
        randomExternal();
}

void TSimChat::randomMessage() {
    if (m_users.size() < 2) return;
    const QString from = m_users.at(between(0, int(m_users.size()) - 1));
    QString to = DemoUser;
    if (from == DemoUser || chance(0.3)) {
        do {
            to = m_users.at(between(0, int(m_users.size()) - 1));
        } while (to == from);
    }
    TSimChatMessage m;
    m.id = m_nextId;
    m.from = from;
    m.to = QStringList{to};
    m.readAt.insert(to, 0);
    m.sent = m_state->now();
    m.body = phrase();
    sendNewMessage(store(std::move(m)));
}

void TSimChat::randomPresence() {
    if (m_users.isEmpty()) return;
    const QString user = m_users.at(between(0, int(m_users.size()) - 1));
    // The demo login's presence is its client's business.
    if (user == DemoUser) return;
    const bool online = !m_state->chatUsersOnline().contains(user);
    m_state->setChatUserOnline(user, online);
    TSimPacket p = vchatEvent(online ? QStringLiteral("UserIn") : QStringLiteral("UserOut"));
    Q_EMIT event(p.add(QStringLiteral("User"), user));
}

void TSimChat::randomRead() {
    // Somebody (never the demo login: its client reads for it) reads an unread message.
    QList<std::pair<qint64, QString>> unread;
    for (const auto& [id, m] : m_messages) {
        for (const QString& to : m.to)
            if (to != DemoUser && m.readAt.value(to) == 0) unread.append({id, to});
    }
    if (unread.isEmpty()) return;
    const auto& [id, reader] = unread.at(between(0, int(unread.size()) - 1));
    const qint64 now = m_state->now();
    markRead(id, reader, now);
    TSimPacket p = vchatEvent(QStringLiteral("MessageRead"));
    p.add(QStringLiteral("Id"), id)
        .add(QStringLiteral("TimeRead"), now)
        .add(QStringLiteral("To"), reader);
    Q_EMIT event(p);
}

void TSimChat::randomExternal() {
    if (m_channels.empty() || (int(m_channels.size()) < MaxChannels && chance(0.2))) {
        TSimChatChannel c;
        const int n = m_nextChannel++;
        c.uniqueId = QStringLiteral("%1.%2").arg(m_state->now()).arg(900000 + n);
        c.channel = QStringLiteral("Chat/site-%1").arg(n, 6, 10, QLatin1Char('0'));
        c.queue = m_desk.chatQueue();
        c.customer = QStringLiteral("Cliente %1").arg(n);
        c.lines.push_back(
            {m_nextLine++, 3, m_state->now(), {}, QStringLiteral("Conversa iniciada")});
        TSimChatChannel& kept = m_channels.emplace(c.uniqueId, std::move(c)).first->second;
        for (const TSimPacket& p : m_desk.arrive(kept, m_channels))
            Q_EMIT chatEvent(p);
        return;
    }
    auto it = m_channels.begin();
    std::advance(it, between(0, int(m_channels.size()) - 1));
    TSimChatChannel& c = it->second;
    // A typing state first, then (mostly) the line it announced. Only the customer writes
    // while the chat waits for an agent.
    const bool customer = chance(0.5) || c.agentId.isEmpty();
    c.userTyping = customer;
    c.agentTyping = !customer && chance(0.8);
    TSimPacket state = TSimPacket::event(QStringLiteral("ChatChannelState"));
    state.add(QStringLiteral("Uniqueid"), c.uniqueId)
        .add(QStringLiteral("AgentTyping"), c.agentTyping ? 1 : 0)
        .add(QStringLiteral("UserTyping"), c.userTyping ? 1 : 0);
    Q_EMIT chatEvent(state);
    if (chance(0.25)) return;
    TSimChatLine line;
    line.id = m_nextLine++;
    line.created = m_state->now();
    if (c.lines.size() > 12 && chance(0.3)) {
        line.kind = 6;
        line.message = QStringLiteral("Conversa encerrada");
    } else if (customer) {
        line.kind = 1;
        line.name = c.customer;
        line.message = QString::fromUtf8(kCustomerLines[between(0, 4)]);
    } else {
        line.kind = 2;
        line.name = c.agent;
        line.message = QString::fromUtf8(kAgentLines[between(0, 3)]);
    }
    c.userTyping = c.agentTyping = false;
    if (int(c.lines.size()) >= MaxLinesPerChannel) c.lines.pop_front();
    c.lines.push_back(line);
    TSimPacket p = TSimPacket::event(QStringLiteral("ChatNewMessage"));
    p.add(QStringLiteral("Uniqueid"), c.uniqueId)
        .add(QStringLiteral("MessageId"), line.id)
        .add(QStringLiteral("Kind"), line.kind)
        .add(QStringLiteral("Created"), line.created)
        .add(QStringLiteral("Name"), line.name)
        .addText(QStringLiteral("Message"), line.message);
    Q_EMIT chatEvent(p);
    if (line.kind != 6) return;
    for (const TSimPacket& e : m_desk.close(c, m_channels))
        Q_EMIT chatEvent(e);
    m_channels.erase(it);
}

QList<TSimPacket> TSimChat::sendMessage(const TSimPacket& action, const QString& user) {
    const QString id = action.value(QStringLiteral("ActionID"));
    const QString from = action.value(QStringLiteral("From"));
    const QStringList to =
        action.value(QStringLiteral("To")).split(u',', Qt::SkipEmptyParts).mid(0, MaxRecipients);
    // The body keeps its inner blanks: the value is taken untrimmed from its line.
    QString body;
    for (const TSimPacket::Line& l : action.lines()) {
        if (l.first.compare(u"Message", Qt::CaseInsensitive) == 0) {
            body = l.second.startsWith(u' ') ? l.second.mid(1) : l.second;
            break;
        }
    }
    auto refuse = [&](const QString& why) {
        return QList<TSimPacket>{
            TSimPacket::response(QStringLiteral("Error"), id).add(QStringLiteral("Message"), why)};
    };
    if (from.isEmpty() || to.isEmpty()) return refuse(QStringLiteral("From or To missing"));
    if (!user.isEmpty() && from != user) return refuse(QStringLiteral("From is not this user"));
    if (body.size() > MaxBody) return refuse(QStringLiteral("Message too long"));
    TSimChatMessage m;
    m.id = m_nextId;
    m.from = from;
    for (const QString& t : to) {
        if (m.to.contains(t)) continue;
        m.to << t;
        m.readAt.insert(t, 0);
    }
    m.sent = m_state->now();
    m.body = body;
    const TSimChatMessage& kept = store(std::move(m));
    TSimPacket sent = vchatEvent(QStringLiteral("MessageSent"));
    sent.add(QStringLiteral("From"), kept.from)
        .add(QStringLiteral("Id"), kept.id)
        .add(QStringLiteral("LocalId"), action.value(QStringLiteral("LocalId")))
        .add(QStringLiteral("TimeSent"), kept.sent);
    const qint64 keptId = kept.id;
    Q_EMIT event(sent);
    sendNewMessage(m_messages.at(keptId));
    return {TSimPacket::response(QStringLiteral("Success"), id)};
}

QList<TSimPacket> TSimChat::messageRead(const TSimPacket& action, const QString& user) {
    const QString actionId = action.value(QStringLiteral("ActionID"));
    bool ok = false;
    const qint64 id = action.value(QStringLiteral("Id")).toLongLong(&ok);
    const QString to = action.value(QStringLiteral("To"));
    auto it = ok ? m_messages.find(id) : m_messages.end();
    // Only the reader itself marks a message read, and only one addressed to it.
    if (it == m_messages.end() || !it->second.to.contains(to) || (!user.isEmpty() && to != user))
        return {TSimPacket::response(QStringLiteral("Error"), actionId)
                    .add(QStringLiteral("Message"), QStringLiteral("No such message"))};
    if (it->second.readAt.value(to) == 0) {
        const qint64 readAt = m_state->now();
        markRead(id, to, readAt);
        TSimPacket p = vchatEvent(QStringLiteral("MessageRead"));
        p.add(QStringLiteral("Id"), id)
            .add(QStringLiteral("TimeRead"), readAt)
            .add(QStringLiteral("To"), to);
        Q_EMIT event(p);
    }
    return {TSimPacket::response(QStringLiteral("Success"), actionId)};
}

QList<TSimPacket> TSimChat::lastMessages(const TSimPacket& action, const QString& user) {
    const QString actionId = action.value(QStringLiteral("ActionID"));
    const QStringList others =
        action.value(QStringLiteral("FromTo")).split(u',', Qt::SkipEmptyParts);
    const bool notRead = action.value(QStringLiteral("NotRead")) == u"1";
    bool ok = false;
    const int days = action.value(QStringLiteral("Days")).toInt(&ok);
    const qint64 now = m_state->now();
    qint64 since = 0;
    if (!notRead && ok) {
        const QDateTime midnight(QDateTime::fromSecsSinceEpoch(now).date(), QTime(0, 0));
        since = midnight.toSecsSinceEpoch() - qint64(std::max(0, days)) * 86400;
    }
    QList<TSimPacket> out{TSimPacket::response(QStringLiteral("Success"), actionId)};
    QList<TSimPacket> rows;
    for (auto it = m_messages.rbegin(); it != m_messages.rend() && rows.size() < MaxHistory; ++it) {
        const TSimChatMessage& m = it->second;
        if (m.sent < since) continue;
        QStringList toShow;
        if (m.to.contains(user) && others.contains(m.from)) {
            if (!notRead || m.readAt.value(user) == 0) toShow << user;
        } else if (m.from == user && !notRead) {
            for (const QString& t : m.to)
                if (others.contains(t)) toShow << t;
        }
        for (const QString& t : toShow) {
            TSimPacket p = vchatEvent(QStringLiteral("Message"));
            p.add(QStringLiteral("To"), t)
                .add(QStringLiteral("From"), m.from)
                .add(QStringLiteral("Id"), m.id)
                .addText(QStringLiteral("Message"), m.body)
                .add(QStringLiteral("TimeSent"), m.sent)
                .add(QStringLiteral("TimeRead"), m.readAt.value(t));
            if (!actionId.isEmpty()) p.add(QStringLiteral("ActionID"), actionId);
            rows.prepend(p);
        }
    }
    out += rows;
    TSimPacket done = vchatEvent(QStringLiteral("MessageComplete"));
    if (!actionId.isEmpty()) done.add(QStringLiteral("ActionID"), actionId);
    out << done;
    return out;
}

QList<TSimPacket> TSimChat::unreadMessages(const QString& actionId, const QString& user) const {
    QList<TSimPacket> out{TSimPacket::response(QStringLiteral("Success"), actionId)};
    std::map<QString, int> counts;
    for (const auto& [id, m] : m_messages)
        if (m.to.contains(user) && m.readAt.value(user) == 0) ++counts[m.from];
    for (const auto& [from, total] : counts) {
        TSimPacket p = vchatEvent(QStringLiteral("UnreadMessages"));
        p.add(QStringLiteral("From"), from).add(QStringLiteral("Total"), total);
        if (!actionId.isEmpty()) p.add(QStringLiteral("ActionID"), actionId);
        out << p;
    }
    TSimPacket done = vchatEvent(QStringLiteral("UnreadMessagesComplete"));
    if (!actionId.isEmpty()) done.add(QStringLiteral("ActionID"), actionId);
    out << done;
    return out;
}

QList<TSimPacket> TSimChat::channelMessages(const TSimPacket& action) const {
    const QString uid = action.value(QStringLiteral("ActionId"));
    QList<TSimPacket> out{TSimPacket::response(QStringLiteral("Success"), uid)};
    const auto it = m_channels.find(uid);
    if (it != m_channels.end()) {
        for (const TSimChatLine& l : it->second.lines) {
            TSimPacket p = TSimPacket::event(QStringLiteral("ChatChannelMessage"));
            p.add(QStringLiteral("Uniqueid"), uid)
                .add(QStringLiteral("MessageId"), l.id)
                .add(QStringLiteral("Kind"), l.kind)
                .add(QStringLiteral("Created"), l.created)
                .add(QStringLiteral("Name"), l.name)
                .addText(QStringLiteral("Message"), l.message);
            out << p;
        }
    }
    TSimPacket done = TSimPacket::event(QStringLiteral("ChatChannelMessagesComplete"));
    out << done.add(QStringLiteral("ActionId"), uid);
    return out;
}

QString TSimChat::dump(int maxLines) const {
    QStringList out;
    out << QStringLiteral("Chat: %1 mensagens, online: %2")
               .arg(m_messages.size())
               .arg(m_state->chatUsersOnline().join(u", "));
    int n = 0;
    for (const auto& [id, m] : m_messages) {
        if (++n > maxLines) {
            out << QStringLiteral("  ...");
            break;
        }
        QStringList lidas;
        for (const QString& t : m.to)
            lidas << t + (m.readAt.value(t) ? QStringLiteral("(lida)") : QString());
        QString body = m.body;
        body.replace(u'\n', QStringLiteral("\\n"));
        out << QStringLiteral("  Msg %1 %2 -> %3: %4").arg(id).arg(m.from, lidas.join(u','), body);
    }
    for (const auto& [uid, c] : m_channels) {
        out << QStringLiteral("  ChatExterno %1 %2 fila %3 atendente %4 linhas %5 digitando %6%7")
                   .arg(uid, c.channel, c.queue,
                        c.agentId.isEmpty() ? QStringLiteral("-") : c.agentId)
                   .arg(c.lines.size())
                   .arg(c.userTyping ? 1 : 0)
                   .arg(c.agentTyping ? 1 : 0);
    }
    if (!m_desk.agents().isEmpty()) out << m_desk.dump();
    return out.join(u'\n');
}
