#pragma once

#include "ui/lists/TColunaLista.h"

#include <vector>

class TAgente;
class TFila;
class TMonitor;
struct TLigacaoFila;

// The columns, comparison, tile lines and tick arithmetic of a list of agents, shared by the
// agents window and the member list of a queue window. Without a queue it is the agents
// window's list ("Fila" column, extension sort, the agent's own call counts); with one, the
// queue's member list: no "Fila" column, the member's calls of that queue, the time of a queue
// call from its answer, and channel and phone only for a call of that queue.
class TColunasAtendente {
public:
    // The window's own names for the columns the tick refreshes.
    enum { cTempo = 1, cLogin };

    TColunasAtendente(TMonitor* monitor, int slot, const TFila* fila = nullptr)
        : m_monitor(monitor), m_slot(slot), m_fila(fila), m_daFila(fila != nullptr) {}
    void SetSlot(int slot) { m_slot = slot == 1 ? 1 : 0; }
    int Slot() const { return m_slot; }
    // The member list of a queue window, with or without its queue (none: not given yet, or
    // gone; the member columns then read nothing of it).
    void SetFila(const TFila* fila) {
        m_daFila = true;
        m_fila = fila;
    }

    std::vector<TColunaLista<TAgente>> Colunas(int modo) const;
    // < 0 when a comes first, for the sort key and direction.
    int Compara(const TAgente& a, const TAgente& b, int sortCol, bool descendente) const;
    static QStringList EscolhasTile();
    QString TextoLinhaTile(const TAgente& a, int escolha, int nivelIcone) const;
    QStringList AmostrasTile(int nivelIcone) const;

    // The row's state key: state and which moment of the call the time counts from.
    int ChaveEstado(const TAgente& a) const;
    // When the time shown in the state started (0: no time).
    double InicioEstado(const TAgente& a) const;
    // The queue call of a busy agent, if any.
    const TLigacaoFila* LigacaoDeFila(const TAgente& a) const;
    // The "Tempo" text from the seconds at hand.
    static QString Hms(qint64 segundos);

private:
    QString TextoFila(const TAgente& a) const;
    bool ChamadaDaFila(const TAgente& a) const;

    TMonitor* m_monitor;
    int m_slot;
    const TFila* m_fila;
    bool m_daFila = false;
};
