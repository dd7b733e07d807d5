#pragma once

// A conversation monitor that records what reaches it, with its queue of new lines, and a
// recording interface that finds such monitors by name.
#include "TRecordingUi.h"
#include "monitor/TMonitorConversa.h"

#include <QHash>

// A conversation monitor that records what reaches it, with its queue of new lines.
struct TConversaFalsa : TMonitorConversa {
    QStringList escritas;
    QString digitando;
    TFilaNovasConversa fila{[this](const TLinhaConversa& l) { Escreve(l); }};
    void Escreve(const TLinhaConversa& l) {
        escritas << QString::number(l.MessageId) + u'/' + QString::number(l.Kind) + u'/' + l.Name +
                        u'/' + l.Message;
    }
    void ChatChannelMessage(const TLinhaConversa& l) override { Escreve(l); }
    void ChatNewMessage(const TLinhaConversa& l) override { fila.Adiciona(l); }
    void AtualizaIsTyping(bool u, bool a) override {
        digitando = QString::number(u) + QString::number(a);
    }
    void DefineHistoricoCompleto() override { fila.HistoricoCompleto = true; }
};

struct TUiConversas : TRecordingUi {
    QHash<QString, TMonitorConversa*> telas;
    TMonitorConversa* ProcuraTelaMonitorarConversa(const QString& nome) override {
        return telas.value(nome, nullptr);
    }
};
