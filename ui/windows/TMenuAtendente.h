#pragma once

#include "model/callcentre/TAcoesAtendente.h"

#include <QObject>

#include <functional>

class QMenu;
class QWidget;
class TAgente;
class TMonitor;

// "Gerenciar atendente", the pop-up item of the windows that list agents: logoff, queues,
// pauses, on the agent the window has selected and on the window's slot.
class TMenuAtendente : public QObject {
    Q_OBJECT
public:
    using Escolhido = std::function<TAgente*()>;
    using Confirma = std::function<bool(const TConfirmacao&)>;

    // The questions open over the window.
    TMenuAtendente(TMonitor* monitor, Escolhido escolhido, QWidget* janela);

    void SetSlot(int slot) { m_slot = slot; }
    // The item and its sub-items, as they are when the menu opens.
    void Adiciona(QMenu* menu);

    void AdicionaNaFila(int fila);
    void RemoveDaFila(int fila);
    void ColocaEmPausa(int motivo);
    void RetiraDaPausa();
    void Logoff();

    // Yes/no questions before logoff and pauses; tests answer them.
    Confirma Pergunta;

    // "Monitorar conversa" of the chat variant: whether the user may follow this agent's
    // conversations (by default, whether the user may see the agent).
    std::function<bool(const TAgente&)> PodeMonitorarConversa;
    // The chat call at this index of the selected agent's calls, when it still exists.
    void MonitoraConversa(int indice);

Q_SIGNALS:
    // The frame opens the conversation monitor of the channel for the agent.
    void MonitorarConversa(const QString& uniqueId, const QString& agente);

private:
    // Asks first when there is a question; the answer ran the event loop, so the agent is
    // found again and the condition checked again before the action.
    void Age(const TConfirmacao* pergunta, const std::function<bool(const TAgente&)>& pode,
             const std::function<void(TAgente*)>& acao);

    TMonitor* m_monitor;
    Escolhido m_escolhido;
    int m_slot = 0;
};
