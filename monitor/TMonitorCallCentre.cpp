// Where the telephony handlers hand a channel or a bridge over to agents, queues and campaigns;
// the change notices of queues and agents on their way to the windows; and the agent actions.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "link/TPacketManagerParser.h"
#include "model/callcentre/TAcoesAtendente.h"
#include "monitor/TMonitor.h"

// A "status" row of a call in a queue ("Queue"), possibly answered by an agent
// ("BridgedChannel"): the channel joins the queue's calls, entered `seconds` ago; an answered
// one becomes the agent's current call and no longer waits.
void TMonitor::StatusAnexaFila(TChannel* canal, const TPacketManagerParser& p, qint32 seconds,
                               int connectionId) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (!f || !canal) return;
    const double inicio = ServerNow() - double(seconds < 0 ? 0 : seconds) / kSecondsPerDay;
    f->AddCall(canal, 0);
    if (!canal->LigacaoFila) return; // a listener let go of it meanwhile
    canal->LigacaoFila->Inicio = inicio;
    TAgente* a = AgenteDoCanal(p.GetValue(u"BridgedChannel"), connectionId);
    if (!a) return;
    canal->LigacaoFila->Atendimento = inicio;
    if (connectionId == 1)
        a->AddCall(canal);
    else
        a->SetChannelCall(canal);
    if (canal->LigacaoFila) canal->LigacaoFila->DataAgente = a;
    a->Notify(TAvisoAgente::Status);
    f->CallLeftQueue(canal);
}

// A "status" row of a bridged call without queue data: each leg becomes the current call of the
// agent logged in at the other.
void TMonitor::StatusAgentesDoLink(TChannel* canal, TChannel* outro, int connectionId) {
    if (!canal || !outro) return;
    auto entrega = [connectionId](TAgente* a, TChannel* c) {
        if (!a) return;
        if (connectionId == 1)
            a->AddCall(c);
        else
            a->SetChannelCall(c);
    };
    entrega(Agentes.ProcuraPorLoggedInChan(canal->NomeBase(), connectionId), outro);
    entrega(Agentes.ProcuraPorLoggedInChan(outro->NomeBase(), connectionId), canal);
}

// A hangup on the chat connection of an "Agent/" channel: the agent drops the bridged channel
// from its chat calls and now talks to its first remaining one.
void TMonitor::HangupAgenteChat(TChannel* canal, const TPacketManagerParser& p) {
    TAgente* a = canal ? Agentes.Procura(canal->Channel()) : nullptr;
    if (!a) return;
    const QString nome = p.GetValue(u"BridgedChannel");
    if (TChannel* c = nome.isEmpty() ? nullptr : Canais.Procura(nome, {})) a->RemoveCall(c);
    const TChannel* primeira = a->GetCall(0);
    a->SetTalkingTo(1, primeira ? primeira->CallerIdValido() : QString());
    a->Notify(TAvisoAgente::Hangup);
}

void TMonitor::FilasCanalAtualizado(TChannel* canal) {
    Filas.QueueChannelUpdated(canal);
}

// A channel changed: every campaign holding it announces the call.
void TMonitor::CampanhasCanalAtualizado(TChannel* canal) {
    Campanhas.ChamadaAtualizada(canal);
}

void TMonitor::AgentesCanalRemovido(TChannel* canal) {
    Agentes.ChannelRemoved(canal);
}

void TMonitor::FilasCanalRemovido(TChannel* canal) {
    Filas.QueueChannelRemoved(canal);
}

// A channel is going away: campaigns drop it (and its dialer data).
void TMonitor::CampanhasCanalRemovido(TChannel* canal) {
    Campanhas.RemoveChamada(canal);
}

void TMonitor::AgentesLigacaoAtualizada(TLigacao* ligacao) {
    Agentes.BridgeUpdated(ligacao);
}

void TMonitor::AgentesLigacaoRemovida(TLigacao* ligacao) {
    Agentes.BridgeRemoved(ligacao);
}

// The dialer names the channel's campaign: the campaign with that id, when we know it, takes the
// call.
void TMonitor::DiscadorAnexaCampanha(TChannel* canal, const QString& campanhaId) {
    if (TCampanha* c = Campanhas.Procura(campanhaId)) c->AdicionaChamada(canal);
}

// --- Change notices --------------------------------------------------------------------------

void TMonitor::OnQueueEvent(TFila* fila, TMembroFila* membro, TChannel* canal, TAvisoFila kind) {
    if (!fila) return;
    if (LogAtivo)
        Loga(u"OnQueueEvent: " + TextoAviso(kind) + u"; Fila:" + fila->FilaId() + u" (" +
             fila->Nome + u"); Ligs:" + QString::number(fila->CallCount()));
    if (membro && AvisoDeMembro(kind))
        m_avisos.Membro.Emite(fila, membro, kind);
    else if (canal && AvisoDeChamada(kind))
        m_avisos.ChamadaFila.Emite(fila, canal, kind);
    m_avisos.Fila.Emite(fila);
    if (LogAtivo) {
        QString texto = u"OnQueueEvent2: " + TextoAviso(kind);
        if (membro && AvisoDeMembro(kind)) texto += u"; Member:" + membro->Member;
        Loga(texto);
    }
}

void TMonitor::OnAgentEvent(TAgente* agente, TAvisoAgente kind) {
    if (!agente) return;
    if (LogAtivo) {
        Loga(u"OnAgentEvent: " + TextoAviso(kind));
        QString texto = TextoAviso(kind);
        if (agente->ChannelCall()) texto += u"; Ligacao <> nil";
        if (agente->ChannelLogged())
            texto += u"; LoggedChannel=" + agente->ChannelLogged()->Channel();
        Loga(texto);
    }
    m_avisos.Agente.Emite(agente, kind);
}

// --- Agent actions ---------------------------------------------------------------------------

namespace {

// Builds the text; an identifier that cannot go into an action gives none.
template <typename F> QString Monta(TMonitor& m, F&& monta) {
    try {
        return monta();
    } catch (const TUnsafeValueError& e) {
        m.Loga(e.Message());
        return {};
    }
}

bool SlotValido(int slot) {
    return slot == 0 || slot == 1;
}

} // namespace

bool TMonitor::AdicionaNaFila(TAgente* agente, TFila* fila, int slot) {
    if (!agente || !fila || !SlotValido(slot) || !FilaNoMenu(*fila, slot) ||
        !PodeAdicionarRemover(*agente, slot))
        return false;
    const QString texto = Monta(*this, [&] { return TextoQueueAdd(*agente, *fila, slot); });
    if (texto.isEmpty() || !(slot == 1 ? m_chat : m_manager)->Connected) return false;
    ClientManagerSendString(slot == 1, texto);
    return true;
}

bool TMonitor::RemoveDaFila(TAgente* agente, TFila* fila, int slot) {
    if (!agente || !fila || !SlotValido(slot) || !FilaNoMenu(*fila, slot) ||
        !PodeAdicionarRemover(*agente, slot))
        return false;
    const QString texto = Monta(*this, [&] { return TextoQueueRemove(*agente, *fila); });
    if (texto.isEmpty() || !(slot == 1 ? m_chat : m_manager)->Connected) return false;
    ClientManagerSendString(slot == 1, texto);
    return true;
}

bool TMonitor::ColocaEmPausa(TAgente* agente, TMotivoPausa* motivo, int slot) {
    if (!agente || !motivo || motivo->MotivoPausaId < 1 || !SlotValido(slot) ||
        !PodeColocarEmPausa(*agente, slot))
        return false;
    const QString texto = Monta(*this, [&] { return TextoColocaPausa(*agente, *motivo); });
    if (texto.isEmpty() || !(slot == 1 ? m_chat : m_manager)->Connected) return false;
    ClientManagerSendString(slot == 1, texto);
    return true;
}

bool TMonitor::RetiraDaPausa(TAgente* agente, int slot) {
    if (!agente || !SlotValido(slot) || !PodeColocarEmPausa(*agente, slot)) return false;
    const QString texto = Monta(*this, [&] { return TextoRetiraPausa(*agente); });
    if (texto.isEmpty() || !(slot == 1 ? m_chat : m_manager)->Connected) return false;
    ClientManagerSendString(slot == 1, texto);
    return true;
}

bool TMonitor::Logoff(TAgente* agente, int slot) {
    if (!agente || !SlotValido(slot) || !PodeLogoff(*agente, slot)) return false;
    const QString texto = Monta(*this, [&] { return TextoAgentLogoff(*agente); });
    if (texto.isEmpty() || !(slot == 1 ? m_chat : m_manager)->Connected) return false;
    ClientManagerSendString(slot == 1, texto);
    return true;
}

std::vector<TMonitor::TFilaMenu> TMonitor::FilasDoMenuAtendente(const TAgente* agente,
                                                                int slot) const {
    std::vector<TFilaMenu> itens;
    if (!agente) return itens;
    Filas.ParaCada([&](TFila* f) {
        // A queue the user may not see is not offered either (as in every other menu).
        if (!FilaNoMenu(*f, slot) || !TemPermissaoFila(f)) return;
        itens.push_back({f, f->QueueCaption(), f->FilaId().toInt(), f->HasMember(agente->Agent())});
    });
    return itens;
}

// --- Dispatcher registration -----------------------------------------------------------------

// Agents, queues, their members and calls, pause and call reasons.
const TMonitor::TDominio& TMonitor::DominioCallCenter() {
    static const TDominio d{
        "CallCenter",
        {
            {QStringLiteral("agents"), &TMonitor::EvAgents},
            {QStringLiteral("agentcalled"), &TMonitor::EvAgentCalled},
            {QStringLiteral("agentconnect"), &TMonitor::EvAgentConnect},
            {QStringLiteral("agentringnoanswer"), &TMonitor::EvAgentRingNoAnswer},
            {QStringLiteral("agentcomplete"), &TMonitor::EvAgentComplete},
            {QStringLiteral("agentlogoff"), &TMonitor::EvAgentLogoff},
            {QStringLiteral("agentlogin"), &TMonitor::EvAgentLogin},
            {QStringLiteral("hook"), &TMonitor::EvHook},
            {QStringLiteral("queueparams"), &TMonitor::EvQueueParams},
            {QStringLiteral("join"), &TMonitor::EvJoin},
            {QStringLiteral("queueentry"), &TMonitor::EvJoin},
            {QStringLiteral("leave"), &TMonitor::EvLeave},
            {QStringLiteral("queuecallerabandon"), &TMonitor::EvQueueCallerAbandon},
            {QStringLiteral("queuememberstatus"), &TMonitor::EvQueueMember},
            {QStringLiteral("queuemember"), &TMonitor::EvQueueMember},
            {QStringLiteral("queuememberadded"), &TMonitor::EvQueueMemberAdded},
            {QStringLiteral("queuememberremoved"), &TMonitor::EvQueueMemberRemoved},
            {QStringLiteral("queuememberpaused"), &TMonitor::EvQueueMemberPaused},
            {QStringLiteral("queuecallreasoncount"), &TMonitor::EvQueueCallReasonCount},
            {QStringLiteral("queuecallsubreasoncount"), &TMonitor::EvQueueCallSubReasonCount},
        },
        {
            {QStringLiteral("ZXDBListaAgentes"), &TMonitor::RowAgente},
            {QStringLiteral("ZXDBListaFilas"), &TMonitor::RowFila},
            {QStringLiteral("ZXDBListaMotivosPausa"), &TMonitor::RowMotivoPausa},
            {QStringLiteral("ZXDBChamadasAtivasFilas"), &TMonitor::RowChamadaAtivaFila},
        }};
    return d;
}
