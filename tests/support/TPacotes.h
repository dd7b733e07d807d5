#pragma once

// Packets written by hand for the dispatcher, and a monitor fed with them directly.
#include "TRecordingUi.h"
#include "monitor/TMonitor.h"

#include <QStringList>

#include <memory>

// "Event: name" followed by "Key: Value" lines.
inline QString Evento(const QString& name, const QStringList& lines = {}) {
    return (QStringList{u"Event: " + name} + lines).join(u"\r\n") + u"\r\n\r\n";
}

// One row of a table query.
inline QString Linha(const QString& queryId, const QStringList& columns) {
    return Evento(QStringLiteral("ZXDBEvent"), QStringList{u"ZXDBActionID: " + queryId} + columns);
}

inline QString Completa(const QString& queryId) {
    return Evento(QStringLiteral("ZXDBComplete"), {u"ZXDBActionID: " + queryId});
}

// A command output as the server sends it: a Follows response with the output lines.
inline QString SaidaComando(const QString& id, const QStringList& lines) {
    return (QStringList{QStringLiteral("Response: Follows"), u"ActionID: " + id,
                        QStringLiteral("Privilege: Command")} +
            lines + QStringList{QStringLiteral("--END COMMAND--")})
               .join(u"\r\n") +
           u"\r\n\r\n";
}

// A monitor with a recording interface and its log on, fed packet by packet.
struct TMonitorAlimentado {
    std::unique_ptr<TRecordingUi> ui = std::make_unique<TRecordingUi>();
    std::unique_ptr<TMonitor> monitor = std::make_unique<TMonitor>(ui.get());

    TMonitorAlimentado() {
        ui->Assina(monitor->Avisos());
        monitor->Inicia(QString());
        monitor->LogAtivo = true;
    }
    void Feed(const QString& packet, bool chat = false) {
        monitor->TrataManagerPacket(chat ? monitor->ChatConnection() : monitor->ManagerConnection(),
                                    packet);
    }
    // newchannel for a channel with the given name and unique id.
    void NovoCanal(const QString& name, const QString& uid, const QStringList& more = {}) {
        Feed(Evento(QStringLiteral("Newchannel"),
                    QStringList{u"Channel: " + name, u"Uniqueid: " + uid} + more));
    }
    void Hangup(const QString& name, const QString& uid) {
        Feed(Evento(QStringLiteral("Hangup"), {u"Channel: " + name, u"Uniqueid: " + uid}));
    }
    // Log lines written since `mark` that start with `prefix`.
    QStringList LogDesde(qsizetype mark, const QString& prefix = {}) const {
        QStringList out;
        for (qsizetype i = mark; i < ui->log.size(); ++i)
            if (ui->log[i].startsWith(prefix)) out << ui->log[i];
        return out;
    }
};
