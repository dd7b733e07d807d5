// The agents part of the monitor: the agents table rows, the "Agents" listing and the agent
// events. Each event writes the slot of the connection it came on (0 telephony, 1 chat) and
// ends with the agent's notice named after the event. An event naming no known agent changes
// nothing.
#include "base/Clock.h"
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

#include <utility>

void TMonitor::RowAgente(const TPacketManagerParser& p) {
    const QString id = p.GetValue(u"AtendenteId");
    if (id.isEmpty()) return;
    TAgente* a = Agentes.Procura(id);
    std::unique_ptr<TAgente> novo;
    if (!a) {
        novo = std::make_unique<TAgente>(u"Agent/" + id);
        a = novo.get();
    }
    a->AgentName = p.GetValue(u"Nome");
    a->OnAgentEvent = [this](TAgente* s, TAvisoAgente k) { OnAgentEvent(s, k); };
    if (novo) Agentes.Adiciona(std::move(novo));
}

TAgente* TMonitor::AgenteDoCanal(const QString& nome, int slot) const {
    if (nome.isEmpty()) return nullptr;
    if (TAgente* a = Agentes.Procura(nome)) return a;
    return Agentes.ProcuraPorLoggedInChan(ChannelBaseName(nome), slot);
}

void TMonitor::DefineLoggedChannel(TAgente* a, const TPacketManagerParser& p, int slot) {
    a->SetStrLoggedChannel(slot, {});
    if (slot == 1) {
        a->SetStrLoggedChannel(1, p.GetValue(u"IPLogin"));
    } else if (slot == 0 && !a->Slot(0).FLoggedInChan.isEmpty()) {
        if (const TRamal* r = Ramais.ProcuraDispositivo(ChannelBaseName(a->Slot(0).FLoggedInChan)))
            a->SetStrLoggedChannel(0, r->Descricao());
    }
}

void TMonitor::EvAgents(const TPacketManagerParser& p, int slot) {
    const QString id = p.GetValue(u"Agent");
    // A row without its agent names nobody to create.
    if (id.isEmpty()) return;
    TAgente* a = Agentes.Procura(id);
    if (!a) a = Agentes.Adiciona(std::make_unique<TAgente>(u"Agent/" + id));
    a->AgentName = p.GetValue(u"Name");
    a->StatusFromText(slot, p.GetValue(u"Status"));
    a->SetLoggedInChan(slot, p.GetValue(u"LoggedInChan"));
    DefineLoggedChannel(a, p, slot);
    a->SetLoggedInTime(slot, UnixTextToLocal(p.GetValueView(u"LoggedInTime")));
    a->SetTalkingTo(slot, p.GetValue(u"TalkingTo"));
    a->SetLastPause(slot, UnixTextToLocal(p.GetValueView(u"LastPause")));
    // An agent in no queue hears of her last call only here: without it her free time would
    // count from the login, hours back.
    const double ultimaChamada = UnixTextToLocal(p.GetValueView(u"LastCall"));
    if (a->Slot(slot).FLastCall < ultimaChamada) a->SetLastCall(slot, ultimaChamada);
    a->Notify(TAvisoAgente::Agents);
}

void TMonitor::EvAgentLogin(const TPacketManagerParser& p, int slot) {
    if (slot == 0) EsqueceToque(p.GetValue(u"Agent"));
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Agent"));
    if (!a) return;
    const QString canal = p.GetValue(u"Channel");
    a->SetChannelLogged(canal.isEmpty() ? nullptr : Canais.Procura(canal, p.GetValue(u"Uniqueid")));
    a->SetStrLoggedChannel(slot, {});
    a->SetLoggedInChan(slot, canal);
    DefineLoggedChannel(a, p, slot);
    a->SetLoggedInTime(slot, ServerNow());
    a->StatusFromText(slot, QStringLiteral("AGENT_IDLE"));
    a->SetTalkingTo(slot, {});
    a->Notify(TAvisoAgente::AgentLogin);
}

void TMonitor::EvAgentLogoff(const TPacketManagerParser& p, int slot) {
    if (slot == 0) EsqueceToque(p.GetValue(u"Agent"));
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Agent"));
    if (!a) return;
    a->SetChannelLogged(nullptr);
    a->SetTalkingTo(slot, {});
    a->SetLoggedInChan(slot, {});
    a->SetStrLoggedChannel(slot, {});
    a->SetLoggedInTime(slot, 0);
    a->StatusFromText(slot, QStringLiteral("AGENT_LOGGEDOFF"));
    a->Notify(TAvisoAgente::AgentLogoff);
}

void TMonitor::AvisaFilaDaChamada(const TChannel* canal) {
    if (canal && canal->LigacaoFila && canal->LigacaoFila->DataFila)
        canal->LigacaoFila->DataFila->Notify(TAvisoFila::Fila);
}

// The campaign of a dialer call hears that an agent took it up (its waiting and answering counts
// change).
void TMonitor::AvisaCampanhaDaChamada(TChannel* canal) {
    if (canal && canal->LigacaoDiscador && canal->LigacaoDiscador->PtrCampanha)
        canal->LigacaoDiscador->PtrCampanha->ChamadaAtualizada(canal);
}

void TMonitor::EvAgentCalled(const TPacketManagerParser& p, int slot) {
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"AgentCalled"));
    const QString nome = p.GetValue(u"ChannelCalling");
    TChannel* c = nome.isEmpty() ? nullptr : Canais.Procura(nome, {});
    if (slot == 0) {
        if (!a || !c)
            GuardaToque(p.GetValue(u"AgentCalled"), nome, p.GetValue(u"Uniqueid"), false);
        else
            EsqueceToque(p.GetValue(u"AgentCalled"));
    }
    if (!a) return;
    if (slot == 1)
        a->AddCall(c);
    else if (slot == 0)
        a->SetChannelCall(c);
    if (!c) return;
    if (TLigacaoFila* f = c->LigacaoFila.get()) {
        f->DataAgente = a;
        f->Chamando = ServerNow();
        AvisaFilaDaChamada(c);
    }
    AvisaCampanhaDaChamada(c);
    a->Notify(TAvisoAgente::AgentCalled);
}

void TMonitor::EvAgentConnect(const TPacketManagerParser& p, int slot) {
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Member"));
    TChannel* c = nullptr;
    if (slot == 1) {
        if (!a) return;
        const QString nome = p.GetValue(u"BridgedChannel");
        if (!nome.isEmpty()) c = Canais.Procura(nome, {});
    } else {
        c = a ? a->ChannelCall() : nullptr;
        // The ring may have come before the agent or the call was known (a connection made
        // while she was being rung): the event names the call itself, by the caller's unique id
        // and channel.
        TChannel* chamada = Canais.ProcuraPorUniqueId(p.GetValue(u"Uniqueid"));
        if (!chamada) {
            const QString nome = p.GetValue(u"BridgedChannel");
            if (!nome.isEmpty()) chamada = Canais.Procura(nome, {});
        }
        if (!a || !chamada) {
            GuardaToque(p.GetValue(u"Member"), p.GetValue(u"BridgedChannel"),
                        p.GetValue(u"Uniqueid"), true);
            if (!a) return;
        } else {
            EsqueceToque(p.GetValue(u"Member"));
            // A queue call she was not known to be rung for; a call she holds stays hers.
            if (chamada != c && (!c || (!c->LigacaoFila && chamada->LigacaoFila))) {
                AssumeChamada(a, chamada, 0, ServerNow());
                a->Notify(TAvisoAgente::AgentConnect);
                return;
            }
        }
    }
    if (c && c->LigacaoFila) {
        TLigacaoFila& f = *c->LigacaoFila;
        if (f.Atendimento == 0) f.Atendimento = ServerNow();
        f.Chamando = 0;
        AvisaFilaDaChamada(c);
        AvisaCampanhaDaChamada(c);
    }
    a->Notify(TAvisoAgente::AgentConnect);
}

void TMonitor::EvAgentRingNoAnswer(const TPacketManagerParser& p, int slot) {
    if (slot != 0) return;
    EsqueceToque(p.GetValue(u"Member"));
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Member"));
    if (!a) return;
    TChannel* c = Canais.ProcuraPorUniqueId(p.GetValue(u"Uniqueid"));
    if (c && a->ChannelCall() == c && c->LigacaoFila) {
        c->LigacaoFila->DataAgente = nullptr;
        c->LigacaoFila->Chamando = 0;
        AvisaFilaDaChamada(c);
    }
    a->SetChannelCall(nullptr);
    a->SetTalkingTo(slot, {});
    a->Notify(TAvisoAgente::AgentRingNoAnswer);
}

void TMonitor::EvAgentComplete(const TPacketManagerParser& p, int slot) {
    PedeStatusFila(p.GetValue(u"Queue"), slot);
    if (slot == 0) EsqueceToque(p.GetValue(u"Member"));
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Member"));
    if (!a) return;
    if (slot == 1) {
        const QString nome = p.GetValue(u"BridgedChannel");
        if (TChannel* c = nome.isEmpty() ? nullptr : Canais.Procura(nome, {})) {
            a->RemoveCall(c);
            if (TLigacaoFila* f = c->LigacaoFila.get()) {
                f->DataAgente = nullptr;
                f->Queued = false;
                AvisaFilaDaChamada(c);
            }
        }
        const TChannel* primeira = a->GetCall(0);
        a->SetTalkingTo(1, primeira ? primeira->CallerIdValido() : QString());
    } else if (slot == 0) {
        TChannel* c = a->ChannelCall();
        if (c && c->LigacaoFila) {
            TLigacaoFila& f = *c->LigacaoFila;
            f.DataAgente = nullptr;
            f.Queued = false;
            // A pause held through the call counts again from the call's end.
            if (a->Slot(0).FPaused && a->Slot(0).FPauseStart > 0) a->SetPauseStart(0, ServerNow());
            if (TFila* fila = f.DataFila) {
                fila->RemoveCall(c); // frees the record
                fila->Notify(TAvisoFila::Fila);
            }
        }
        a->SetChannelCall(nullptr);
        a->SetTalkingTo(0, {});
        if (!a->FOnHook) {
            a->FCallEnded = true;
            a->FOffHookStart = ServerNow();
        }
    }
    a->Notify(TAvisoAgente::AgentComplete);
}

void TMonitor::EvHook(const TPacketManagerParser& p, int) {
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Channel"));
    if (!a) return;
    // A status that is not a number reads as on hook.
    a->FOnHook = InteiroOuPadrao(p, u"Status", 1) != 0;
    if (a->FOnHook) {
        a->FOffHookStart = 0;
    } else {
        a->FOffHookStart = ServerNow();
        a->FCallEnded = false;
    }
    a->Notify(TAvisoAgente::Hook);
}

void TMonitor::AssumeChamada(TAgente* a, TChannel* c, double chamando, double atendimento) {
    if (!a || !c) return;
    a->SetChannelCall(c);
    if (TLigacaoFila* f = c->LigacaoFila.get()) {
        f->DataAgente = a;
        if (atendimento > 0) {
            if (f->Atendimento <= 0) f->Atendimento = atendimento;
            f->Chamando = 0;
        } else if (f->Atendimento <= 0) {
            f->Chamando = chamando;
        }
        AvisaFilaDaChamada(c);
    }
    AvisaCampanhaDaChamada(c);
}

namespace {

// Agent events name the agent as "Agent/1001" or "1001": kept under the number.
QString ChaveToque(const QString& agente) {
    return agente.startsWith(u"Agent/") ? agente.mid(6) : agente;
}

} // namespace

void TMonitor::GuardaToque(const QString& agente, const QString& canal, const QString& uniqueId,
                           bool atendido) {
    if (!m_carga.GuardandoToques() || agente.isEmpty() || (canal.isEmpty() && uniqueId.isEmpty()))
        return;
    const QString chave = ChaveToque(agente);
    if (m_toquesGuardados.size() >= kMaxToquesGuardados && !m_toquesGuardados.contains(chave))
        return;
    TToqueGuardado& t = m_toquesGuardados[chave];
    const bool mesma = (!uniqueId.isEmpty() && t.UniqueId == uniqueId) ||
                       (uniqueId.isEmpty() && !canal.isEmpty() && t.Canal == canal);
    if (!mesma) t = {};
    if (!canal.isEmpty()) t.Canal = canal;
    if (!uniqueId.isEmpty()) t.UniqueId = uniqueId;
    if (atendido) {
        if (t.Atendimento <= 0) t.Atendimento = ServerNow();
    } else {
        t.Chamando = ServerNow();
    }
}

void TMonitor::EsqueceToque(const QString& agente) {
    if (!m_toquesGuardados.isEmpty()) m_toquesGuardados.remove(ChaveToque(agente));
}

// Once every channel is listed, a kept ring or answer becomes the agent's current call unless
// the listings gave her one already or the call has ended since.
void TMonitor::AplicaToquesGuardados() {
    const auto toques = std::exchange(m_toquesGuardados, {});
    for (auto it = toques.cbegin(); it != toques.cend(); ++it) {
        TAgente* a = Agentes.Procura(it.key());
        // The queue status just listed tells whether she is still rung or talking.
        if (!a || a->ChannelCall() || a->GetState(0) != AgentState::Ocupado) continue;
        TChannel* c = Canais.ProcuraPorUniqueId(it->UniqueId);
        if (!c && !it->Canal.isEmpty()) c = Canais.Procura(it->Canal, {});
        if (!c) continue;
        // A call another agent has taken up since is not hers any more.
        if (c->LigacaoFila && c->LigacaoFila->DataAgente && c->LigacaoFila->DataAgente != a)
            continue;
        AssumeChamada(a, c, it->Chamando, it->Atendimento);
        a->Notify(it->Atendimento > 0 ? TAvisoAgente::AgentConnect : TAvisoAgente::AgentCalled);
    }
}
