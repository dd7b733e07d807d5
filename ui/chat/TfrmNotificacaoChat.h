#pragma once

#include "model/chat/TChat.h"
#include "monitor/TAviso.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class TMonitor;

// A pop-up at the top right of the screen announcing a new chat message: sender and text,
// closing by itself after a few seconds, opening the conversation when clicked. It never takes
// the keyboard from whatever the supervisor is typing in.
class TfrmNotificacaoChat : public QWidget {
    Q_OBJECT
public:
    TfrmNotificacaoChat();

    // The conversation it announces; none once dismissed without opening it.
    TConversaChat* Conversa = nullptr;
    int TempoRestante = 5;

    void Mostra(const QString& remetente, const QString& mensagem);
    // One second passed.
    void Timer1Timer();
    // A click on the body opens the conversation, on the "X" only dismisses.
    void Clica(bool noX);
    QRect AreaX() const;
    QLabel* LabelRemetente() const { return m_remetente; }
    QLabel* LabelMensagem() const { return m_mensagem; }
    QTimer Timer1;

    static constexpr int kLargura = 258;
    static constexpr int kAltura = 60;

Q_SIGNALS:
    void Fechada(TfrmNotificacaoChat* notificacao);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Fecha();
    QLabel* m_remetente;
    QLabel* m_mensagem;
    bool m_fechada = false;
};

// The open notifications, in stacking order, and the decision to show one.
class TNotificacoesChat : public QObject {
    Q_OBJECT
public:
    explicit TNotificacoesChat(TMonitor* monitor, QObject* parent = nullptr);
    ~TNotificacoesChat() override;

    // Shows or refreshes the notification of the conversation (options of "Opções" permitting).
    void NotificaMensagem(TConversaChat* conversa, TMensagemChat* msg);
    // Every notification closes without opening its conversation.
    void FechaFormsNotificacao();
    const QList<TfrmNotificacaoChat*>& Abertas() const { return m_abertas; }

    // The frame: whether a chat window is open (then it decides what to announce), and how to
    // open a conversation that was clicked.
    std::function<bool()> ChatAberto;
    std::function<void(TConversaChat*)> AbreConversa;
    // The screen area the notifications stack in (tests pin it).
    std::function<QRect()> AreaTela;

private:
    void FormNotificacaoClose(TfrmNotificacaoChat* n);
    void Reempilha();

    TMonitor* m_monitor;
    QList<TfrmNotificacaoChat*> m_abertas;
    TAssinatura m_avisoChat;
    TAssinatura m_avisoNovoChat;
};
