#pragma once

#include "model/TListaIndexada.h"
#include "settings/TEsquemaCores.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TChannel;
class TLigacao;
class TListaAgentes;
class TListaMotivosPausa;

// What an agent announces to its OnAgentEvent: mostly the event that changed it (its text is
// "Agent-" + the event's name), or a change of its calls.
enum class TAvisoAgente : quint8 {
    Agents,
    AgentLogin,
    AgentLogoff,
    AgentCalled,
    AgentConnect,
    AgentRingNoAnswer,
    AgentComplete,
    Hook,
    Status,
    Hangup,
    ZxDbEvent,
    QueueMember,
    QueueMemberStatus,
    QueueMemberPaused,
    Call,
    Call1,
    RemoveCall
};
// The kind's text, as the packet log writes it: "Agent-agentlogin".
QString TextoAviso(TAvisoAgente aviso);

// The display state of one slot of an agent, in the order the agents window sorts by.
enum class AgentState : int {
    Ocupado = 0,
    PosAtendimento = 1,
    Livre = 2,
    EmPausa = 3,
    Indisponivel = 4
};

// Raw status numbers of a slot.
constexpr qint32 kStatusOutro = 0;     // after-call work, or a status text we do not know
constexpr qint32 kStatusLivre = 1;     // AGENT_IDLE
constexpr qint32 kStatusOcupado = 3;   // AGENT_ONCALL
constexpr qint32 kStatusDeslogado = 5; // AGENT_LOGGEDOFF
constexpr qint32 kStatusNenhum = -1;   // never told

// What one manager connection knows of an agent: the telephony connection is slot 0, the chat
// connection slot 1. The agent's setters write it; everything here is readable.
struct TSlotAgente {
    QString FStatusStr; // never written; shown by the dump only
    qint32 FStatusInt = kStatusNenhum;
    QString FLoggedInChan; // channel the agent logged in from (SIP/2001); empty for "n/a"
    double FLoggedInTime = 0;
    QString FTalkingTo;
    bool FPaused = false;
    QString FPauseReason; // pause-reason id as received
    double FPauseStart = 0;
    double FLastCall = 0;
    double FLastPause = 0;
    // Slot 0: "2001 (PA 01)", the extension the agent is logged in at; slot 1: the chat login's
    // IP address.
    QString FStrLoggedChannel;
};

// One call-centre attendant known to the PBX. The identifier and the channels the agent points
// at are keys of the agent list, so they change only through the setters below, which keep the
// list's indexes in step.
class TAgente : public TItemIndexado {
public:
    using Callback = std::function<void(TAgente* sender, TAvisoAgente aviso)>;
    static constexpr int kSlots = 2;

    explicit TAgente(const QString& agent);
    TAgente(const TAgente&) = delete;
    TAgente& operator=(const TAgente&) = delete;

    // "Agent/1001"; the lookup key.
    const QString& Agent() const { return m_agent; }
    // "1001": the part after the first "/" (at most 20 characters), or the whole identifier.
    const QString& AgentNumber() const { return m_agentNumber; }
    QString AgentName;

    // The slot of a connection; an index other than 0 or 1 reads as a slot never told anything.
    const TSlotAgente& Slot(int slot) const;

    // Current call on the telephony connection; calls on the chat connection (several at once).
    TChannel* ChannelCall() const { return m_channelCall; }
    void SetChannelCall(TChannel* canal);
    const std::vector<TChannel*>& FCalls() const { return m_calls; }
    // The live channel the agent is logged in through.
    TChannel* ChannelLogged() const { return m_channelLogged; }
    void SetChannelLogged(TChannel* canal);

    Callback OnAgentEvent;
    bool FOnHook = true;
    bool FCallEnded = false;
    double FOffHookStart = 0;

    // --- Slot setters (an invalid slot is ignored) ---------------------------------------------
    // "AGENT_ONCALL" 3, "AGENT_IDLE" 1, "AGENT_LOGGEDOFF" 5, anything else 0.
    void StatusFromText(int slot, const QString& texto);
    // 1 also clears the party talked to; 5 also the login channel.
    void SetStatusNumber(int slot, qint32 n);
    // "n/a" is stored as empty text.
    void SetLoggedInChan(int slot, const QString& canal);
    void SetTalkingTo(int slot, const QString& texto);
    void SetStrLoggedChannel(int slot, const QString& texto);
    void SetPauseReason(int slot, const QString& motivo);
    void SetLoggedInTime(int slot, double t);
    void SetPauseStart(int slot, double t);
    void SetLastCall(int slot, double t);
    void SetLastPause(int slot, double t);
    // Leaving a pause stamps the end of the pause with the server's now.
    void SetPaused(int slot, bool paused);

    // --- Derived state -------------------------------------------------------------------------
    AgentState GetState(int slot) const;
    // The current call of the slot: ChannelCall on slot 0, the first chat call on slot 1.
    TChannel* CurrentCall(int slot) const;
    // "Ocupado", "Ocupado (3)" (chat slot, several calls), "Ocupado " (after-call work),
    // "Livre", "Em pausa (P - Almoço)", "Em pausa", "Indisponível".
    QString StatusText(int slot, const TListaMotivosPausa& motivos) const;
    // The moment the state's duration counts from (0 = no duration shown).
    double DurationStart(int slot) const;
    // hh:mm:ss since DurationStart, or empty; and the seconds (-1 when there is none).
    QString DurationText(int slot) const;
    int DurationSeconds(int slot) const;
    // The colour class of the state; `marcaNovaChamada` is the agents window's blinking mark of
    // a queue call ringing.
    TClasseCor ClasseCor(int slot, bool marcaNovaChamada = false) const;
    // With the phone off hook and no current call: "Ligação encerrada" after a call ended,
    // otherwise "Fora do gancho"; empty with the phone on hook.
    QString TextoGancho() const;
    // Free time: from the latest of login, last call and last pause; only in state Livre.
    double IdleStart(int slot) const;
    QString IdleText(int slot) const;
    int IdleSeconds(int slot) const;
    // The extension the agent is logged in at ("2001 (PA 01)"), or the chat login's address.
    QString ExtensionText(int slot) const;
    // Its number alone ("2001"), telephony slot only.
    QString ExtensionNumber(int slot) const;

    // --- Chat calls ----------------------------------------------------------------------------
    void AddCall(TChannel* canal);
    void RemoveCall(TChannel* canal);
    int CallCount() const { return int(m_calls.size()); }
    TChannel* GetCall(int i) const;
    bool TemCall(const TChannel* canal) const;

    void Notify(TAvisoAgente aviso);
    QString Dump() const;

    // Position in its list (-1 outside one).
    int Indice() const;

private:
    friend class TListaAgentes;
    TSlotAgente* SlotParaEscrita(int slot);

    QString m_agent;
    QString m_agentNumber;
    TSlotAgente m_slots[kSlots];
    TChannel* m_channelCall = nullptr;
    TChannel* m_channelLogged = nullptr;
    std::vector<TChannel*> m_calls;
    TListaAgentes* m_lista = nullptr;
};

// "SIP/2001-0000a1" → "SIP/2001": the name without the last "-" suffix after the technology.
QString ChannelBaseName(const QString& nome);

// Every agent, in insertion order, owning them. Agents are only ever added (the whole list is
// emptied when the connection closes), and every lookup an event makes is a hash lookup: by
// identifier and by number, by the channel each slot logged in from, and by the channels the
// agents point at.
class TListaAgentes {
public:
    TListaAgentes() = default;
    ~TListaAgentes();
    TListaAgentes(const TListaAgentes&) = delete;
    TListaAgentes& operator=(const TListaAgentes&) = delete;

    TAgente* Adiciona(std::unique_ptr<TAgente> agente);
    TAgente* Item(int i) const { return m_itens.Item(i); }
    int Count() const { return m_itens.Count(); }
    int IndiceDe(const TAgente* agente) const { return m_itens.IndiceDe(agente); }
    void Limpa();

    // The first agent whose identifier or number is the text; none for an empty text.
    TAgente* Procura(const QString& texto) const;
    // The first agent whose slot logged in from this channel name; none for an empty text.
    TAgente* ProcuraPorLoggedInChan(const QString& canal, int slot) const;
    // The agents of a slot logged in from this channel name, in list order.
    const std::vector<TAgente*>& LoggedInChan(const QString& canal, int slot) const;

    // A bridge changed: the first agent logged in (slot 0) from its first leg's name and without
    // a logged channel takes that leg as its logged channel.
    void BridgeUpdated(TLigacao* ligacao);
    // A bridge ended: the first agent logged in from its first leg's name that has a logged
    // channel loses it.
    void BridgeRemoved(TLigacao* ligacao);
    // A channel is going away: no agent keeps it as current call, chat call or logged channel.
    void ChannelRemoved(TChannel* canal);
    // The agents pointing at the channel in any way, in list order.
    const std::vector<TAgente*>& DoCanal(const TChannel* canal) const;

    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

private:
    friend class TAgente;
    void LoggedInChanMudou(TAgente* a, int slot, const QString& antigo);
    void CanalMudou(TAgente* a, TChannel* antigo);
    void CanalNovo(TAgente* a, TChannel* novo);

    TListaIndexada<TAgente> m_itens;
    QHash<QString, TAgente*> m_porAgent;  // first agent of each identifier
    QHash<QString, TAgente*> m_porNumero; // first agent of each number
    QHash<QString, std::vector<TAgente*>> m_porLoggedInChan[TAgente::kSlots];
    QHash<const TChannel*, std::vector<TAgente*>> m_porCanal;
};
