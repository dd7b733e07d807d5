#pragma once

#include "monitor/TMonitorConversa.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class TTextoChat;
class TAgente;
class TChannel;
class TMonitor;

// "Monitorar conversa": a read-only view of a customer's external chat with an agent, one per
// chat channel (registry name "Conversa" + the channel's unique id), with the typing states of
// both sides. History lines are written as they come; new lines wait until the history is
// complete so they never show above the lines they follow.
class TfrmMonitorarConversa : public QWidget, public TMonitorConversa {
    Q_OBJECT
public:
    explicit TfrmMonitorarConversa(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmMonitorarConversa() override;

    // Fills the header from the channel and the agent (none: no agent shown) and asks the chat
    // server for the channel's lines.
    void CriaMonitor(const TChannel* canal, const TAgente* agente);
    // The same from the channel's texts: name, unique id, caller identification, queue name.
    void CriaMonitor(const QString& canal, const QString& uniqueId, const QString& callerId,
                     const QString& fila, const TAgente* agente);
    void LeVariaveis();
    void SalvaVariaveis();

    // The header texts, also for tests.
    static QString TextoConversa(const QString& canal, const QString& callerId);
    static QString TextoAtendente(const TAgente* agente);
    // The text of one line as written to the pane (without the spacer line).
    static QString TextoLinha(const TLinhaConversa& linha);
    static QString TextoDigitando(bool usuario, bool atendente);

    // TMonitorConversa
    void ChatChannelMessage(const TLinhaConversa& linha) override;
    void ChatNewMessage(const TLinhaConversa& linha) override;
    void AtualizaIsTyping(bool usuario, bool atendente) override;
    void DefineHistoricoCompleto() override;

    // One-second tick: writes the waiting lines once the history is complete and notices the
    // end of the channel.
    void Timer1Timer();
    QTimer Timer1;

    const QString& UniqueId() const { return m_uniqueId; }
    bool HistoricoCompleto() const { return m_filaNovas.HistoricoCompleto; }
    int LinhasEsperando() const { return m_filaNovas.Count(); }
    bool Encerrada() const { return m_encerrada; }
    QLabel* LbConversa() const { return m_lbConversa; }
    QLabel* LbFila() const { return m_lbFila; }
    QLabel* LbAtendente() const { return m_lbAtendente; }
    QLabel* LbIsTyping() const { return m_lbIsTyping; }
    TTextoChat* Texto() const { return m_texto; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AdicionaMensagem(const TLinhaConversa& linha);
    void MarcaEncerrada();

    TMonitor* m_monitor;
    QString m_uniqueId;
    QString m_canal;
    bool m_encerrada = false;
    bool m_acompanhaCanal = false;
    bool m_salvou = false;
    TFilaNovasConversa m_filaNovas;
    QLabel* m_lbConversa;
    QLabel* m_lbFila;
    QLabel* m_lbAtendente;
    QLabel* m_lbIsTyping;
    TTextoChat* m_texto;
};
