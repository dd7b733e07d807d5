#pragma once

// What a supervisor can do to an agent from the agents and queue windows: the texts of the four
// actions, the questions asked before two of them, and when each menu entry is offered. The
// windows only ask and show; TMonitor sends.
#include <QString>

class TAgente;
class TFila;
class TMotivoPausa;

// Every value is placed through the action gate: an identifier holding a line break raises
// TUnsafeValueError instead of producing a second line.
// "Action: QueueAdd\r\nQueue: 1\r\nInterface: Agent/1001\r\nPaused:0\r\nActionID:
// KQQueueAdd\r\n\r\n" (the pause flag is the agent's, on the given slot).
QString TextoQueueAdd(const TAgente& agente, const TFila& fila, int slot);
QString TextoQueueRemove(const TAgente& agente, const TFila& fila);
QString TextoAgentLogoff(const TAgente& agente);
QString TextoRetiraPausa(const TAgente& agente);
QString TextoColocaPausa(const TAgente& agente, const TMotivoPausa& motivo);

// A yes/no question: its title and its text.
struct TConfirmacao {
    QString Titulo;
    QString Texto;
};
TConfirmacao ConfirmacaoLogoff(const TAgente& agente);
TConfirmacao ConfirmacaoRetirarPausa(const TAgente& agente);
// `textoMotivo` is the reason's display text ("P - Almoço"); the question shows it without its
// "P - " / "I - " prefix.
TConfirmacao ConfirmacaoColocarEmPausa(const TAgente& agente, const QString& textoMotivo);

// "Logoff": offered unless the agent is unavailable without a login moment; the same test is
// made again when the answer is Yes.
bool PodeLogoff(const TAgente& agente, int slot);
// "Adicionar na fila" / "Remover da fila": the agent is free, paused or unavailable, and the
// server is not in CSTA mode (the action itself only asks the state).
bool PodeAdicionarRemover(const TAgente& agente, int slot, bool modoCSTA = false);
// "Colocar em pausa": the agent is not unavailable (also the test made after Yes, for both
// pause actions).
bool PodeColocarEmPausa(const TAgente& agente, int slot);
// "Retirar de pausa": the agent is paused.
bool PodeRetirarPausa(const TAgente& agente, int slot);
// The queue belongs under the menus of this variant (chat queues on slot 1 only) and its id is
// a number above 0 (the menu tag).
bool FilaNoMenu(const TFila& fila, int slot);
