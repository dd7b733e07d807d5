#pragma once

// What the chat-server routing needs of a conversation-monitor window (one per external-chat
// channel, named "Conversa" + the channel's unique id). The window implements it; the shell
// finds it by name (TMonitorUi::ProcuraTelaMonitorarConversa).
#include <QString>

#include <deque>
#include <functional>

struct TLinhaConversa {
    qint64 MessageId = 0;
    int Kind = 0;
    double Created = 0;
    QString Name;
    QString Message;
};

class TMonitorConversa {
public:
    virtual ~TMonitorConversa() = default;
    // A history line: written at once.
    virtual void ChatChannelMessage(const TLinhaConversa& linha) = 0;
    // A new line: waits until the history is complete (TFilaNovasConversa).
    virtual void ChatNewMessage(const TLinhaConversa& linha) = 0;
    virtual void AtualizaIsTyping(bool usuario, bool atendente) = 0;
    virtual void DefineHistoricoCompleto() = 0;
};

// The lines that arrive before a monitor's history is complete (`FilaNovas`): kept in arrival
// order and written by the first tick after the completion, so a new line never shows above the
// history it follows. Capped: a customer typing while the history never completes cannot grow
// it without bound (the oldest waiting lines go first).
class TFilaNovasConversa {
public:
    static constexpr int kMaxLinhas = 2000;

    explicit TFilaNovasConversa(std::function<void(const TLinhaConversa&)> escreve)
        : m_escreve(std::move(escreve)) {}

    bool HistoricoCompleto = false;

    void Adiciona(TLinhaConversa linha) {
        if (int(m_fila.size()) >= kMaxLinhas) {
            m_fila.pop_front();
            ++m_descartadas;
        }
        m_fila.push_back(std::move(linha));
    }
    // The window's one-second tick: writes every waiting line once the history is complete.
    void Tick() {
        if (!HistoricoCompleto) return;
        while (!m_fila.empty()) {
            const TLinhaConversa linha = std::move(m_fila.front());
            m_fila.pop_front();
            m_escreve(linha);
        }
    }
    int Count() const { return int(m_fila.size()); }
    int Descartadas() const { return m_descartadas; }

private:
    std::function<void(const TLinhaConversa&)> m_escreve;
    std::deque<TLinhaConversa> m_fila;
    int m_descartadas = 0;
};
