#pragma once

#include "model/TListaIndexada.h"
#include "model/callcentre/TMotivoChamada.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TAgente;
class TChannel;
class TFila;
class TListaFilas;

// What a queue announces to its OnQueueEvent: a membership (with the member), a call (with the
// call's channel), or the queue itself ("Fila").
enum class TAvisoFila : quint8 {
    MemberAdded,
    MemberRemoved,
    MemberUpdated,
    MemberPaused,
    CallAdded,
    CallRemoved,
    CallUpdated,
    Fila
};
constexpr bool AvisoDeMembro(TAvisoFila aviso) {
    return aviso <= TAvisoFila::MemberPaused;
}
constexpr bool AvisoDeChamada(TAvisoFila aviso) {
    return aviso >= TAvisoFila::CallAdded && aviso <= TAvisoFila::CallUpdated;
}
// The kind's text, as the packet log writes it.
QString TextoAviso(TAvisoFila aviso);

// One agent's membership of one queue, as the PBX reports it.
class TMembroFila : public TItemIndexado {
public:
    using Callback = std::function<void(TMembroFila* sender, TAvisoFila aviso)>;

    TAgente* Agent = nullptr; // not owned
    QString Member;           // the agent's identifier (Agent/1001): the member's key
    QString Location;
    qint32 Penalty = 0;
    qint32 CallsTaken = 0;
    double LastCall = 0;
    qint32 Status = 0; // device state: 1 free, 3/6/7 busy, 5 unavailable, 0 after-call work...
    bool Paused = false;
    QString PauseReason;
    double PauseStart = 0;
    Callback OnChange; // bound to its queue, which passes it on as a queue notice
};

// The members of a queue in insertion order, owning them, found by name in constant time.
class TListaMembrosFila {
public:
    TMembroFila* Adiciona(std::unique_ptr<TMembroFila> membro);
    TMembroFila* Procura(const QString& name) const { return m_porNome.value(name, nullptr); }
    TMembroFila* Item(int i) const { return m_itens.Item(i); }
    int Count() const { return m_itens.Count(); }
    // Takes the member out and hands it over (none when it is not in the list).
    std::unique_ptr<TMembroFila> Retira(TMembroFila* membro);
    void Limpa();
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

private:
    TListaIndexada<TMembroFila> m_itens;
    QHash<QString, TMembroFila*> m_porNome;
};

// A PBX call queue: statistics, members, the live calls that entered it (channels carrying a
// queue-call record) and its call-reason counters. Every change is announced through
// OnQueueEvent, with the member or the call concerned.
class TFila : public TItemIndexado {
public:
    using Callback =
        std::function<void(TFila* sender, TMembroFila* membro, TChannel* canal, TAvisoFila aviso)>;

    explicit TFila(const QString& filaId);
    ~TFila();
    TFila(const TFila&) = delete;
    TFila& operator=(const TFila&) = delete;

    // The queue's name on the PBX ("Queue" in events and actions) and its lookup key.
    const QString& FilaId() const { return m_filaId; }
    QString Nome;
    QString Numero;
    QString Tipo; // "v" voice, "c" chat
    qint32 Max = 0;
    qint32 Calls = 0;
    qint32 HoldTime = 0;
    qint32 Completed = 0;
    qint32 Abandoned = 0;
    qint32 Received = 0;
    qint32 ExitWithKey = 0;
    qint32 TalkTime = 0;
    qint32 ServiceLevel = 0;
    QString ServiceLevelPerf;
    qint32 Weight = 0;
    Callback OnQueueEvent;
    TListaMembrosFila Members;
    TKQListCallReason CallReasons;

    bool EhChat() const { return Tipo == u"c"; }

    // --- Members -------------------------------------------------------------------------------
    // The agent's membership, created (and announced) when there is none yet.
    TMembroFila* AddMember(TAgente* agente);
    bool RemoveMember(const QString& name);
    void MemberUpdated(const QString& name);
    bool HasMember(const QString& name) const { return Members.Procura(name) != nullptr; }
    // A pause sets the reason and start; leaving it clears both.
    void SetMemberPaused(const QString& name, bool paused, double pauseStart,
                         const QString& reason);
    int AtendentesOnLine() const;
    int AtendentesOcupados() const;
    int AtendentesLivres() const;
    int AtendentesPausados() const;

    // --- Calls ---------------------------------------------------------------------------------
    // Calls that entered the queue and are alive, in queue order (channels not owned).
    const std::vector<TChannel*>& QueueCalls() const { return m_calls; }
    // The call enters the queue at `position` (1 = first; 0, out of range: at the end).
    void AddCall(TChannel* canal, qint32 position);
    // The call was already waiting when we connected and entered at `inicio`: it takes its place
    // among the other calls by that moment (the server lists them newest first).
    void AddCallDesde(TChannel* canal, double inicio);
    // A waiting call already listed takes the place `position` among the waiting calls (the
    // server's own count, as a status listing gives it); true when it moved. A call that moves
    // is announced as "CallAdded": the list is to be read again.
    bool PosicionaChamada(TChannel* canal, qint32 position);
    // The call left for good: its record is freed and the rest renumbered.
    void RemoveCall(TChannel* canal);
    // The call stops waiting (answered or ending) but stays listed.
    void CallLeftQueue(TChannel* canal);
    bool HasCall(const TChannel* canal) const;
    int CallCount() const { return int(m_calls.size()); }
    int WaitingCount() const;
    int AnsweringCount() const;

    // "Fila 1 (Atendimento Geral)" / "1 - Atendimento Geral".
    QString QueueCaption() const;
    QString QueueShortText() const;

    // Announces a change with OnQueueEvent when bound.
    void Notify(TAvisoFila aviso, TMembroFila* membro = nullptr, TChannel* canal = nullptr);
    QString Dump() const;

    // Position in its list (-1 outside one).
    int Indice() const;

private:
    friend class TListaFilas;
    void Renumera();
    void InsereChamada(TChannel* canal, size_t pos);

    QString m_filaId;
    std::vector<TChannel*> m_calls;
    TListaFilas* m_lista = nullptr;
};

// The queues in load order, owning them, found by id in constant time. The list also knows which
// queues hold each live channel and which queues each agent is a member of, so a channel change
// or an agent's queue list never walks all queues.
class TListaFilas {
public:
    TListaFilas() = default;
    ~TListaFilas();
    TListaFilas(const TListaFilas&) = delete;
    TListaFilas& operator=(const TListaFilas&) = delete;

    TFila* Adiciona(std::unique_ptr<TFila> fila);
    TFila* Item(int i) const { return m_itens.Item(i); }
    TFila* Procura(const QString& filaId) const;
    int Count() const { return m_itens.Count(); }
    int IndiceDe(const TFila* fila) const { return m_itens.IndiceDe(fila); }
    void Limpa();

    // A channel is going away / changed: every queue holding it drops it / announces it.
    void QueueChannelRemoved(TChannel* canal);
    void QueueChannelUpdated(TChannel* canal);
    // The queues holding the channel, in list order.
    const std::vector<TFila*>& FilasDoCanal(const TChannel* canal) const;
    // The queues the member (an agent identifier) belongs to, in list order.
    const std::vector<TFila*>& FilasDoMembro(const QString& member) const;
    // The names of the agent's voice queues (slot 0) or chat queues (slot 1), joined by ", ".
    QString QueuesOfAgent(const TAgente* agente, int slot) const;

    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

private:
    friend class TFila;
    void CanalEntrou(TFila* fila, TChannel* canal);
    void CanalSaiu(TFila* fila, TChannel* canal);
    void MembroEntrou(TFila* fila, const QString& member);
    void MembroSaiu(TFila* fila, const QString& member);

    TListaIndexada<TFila> m_itens;
    QHash<QString, TFila*> m_porId;
    QHash<const TChannel*, std::vector<TFila*>> m_porCanal;
    QHash<QString, std::vector<TFila*>> m_porMembro;
};
