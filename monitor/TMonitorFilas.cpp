// The queues part of the monitor: the queue table rows and the calls waiting at load, queue
// statistics, callers joining and leaving, memberships and pauses, call-reason counters, and
// the per-queue status refreshes.
//
// Numbers follow the telephony side's rule: the documented default when absent (or, where the
// text gives one, when not a number); otherwise a number that does not read skips the whole
// event with a log line before anything changes.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

namespace {

// The integer under `chave`, refusing an absent or empty value as well as a malformed one.
bool LeInteiroObrigatorio(const TPacketManagerParser& p, QStringView chave, qint32& valor) {
    bool ok = false;
    valor = p.GetValueView(chave).toInt(&ok);
    return ok;
}

double MomentoAntes(qint32 segundos) {
    return ServerNow() - double(segundos < 0 ? 0 : segundos) / kSecondsPerDay;
}

} // namespace

// --- Rows ------------------------------------------------------------------------------------

void TMonitor::RowFila(const TPacketManagerParser& p) {
    const QString id = p.GetValue(u"FilaId");
    if (id.isEmpty()) return;
    TFila* f = Filas.Procura(id);
    std::unique_ptr<TFila> nova;
    if (!f) {
        nova = std::make_unique<TFila>(id);
        f = nova.get();
    }
    f->Nome = p.GetValue(u"Nome");
    f->Numero = p.GetValue(u"Numero");
    f->Tipo = p.GetValue(u"Tipo");
    if (f->EhChat()) ChatEnabled = true;
    f->OnQueueEvent = [this](TFila* s, TMembroFila* m, TChannel* c, TAvisoFila k) {
        OnQueueEvent(s, m, c, k);
    };
    if (nova) Filas.Adiciona(std::move(nova));
}

void TMonitor::RowChamadaAtivaFila(const TPacketManagerParser& p) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"DestinoInternoId"));
    TChannel* c = Canais.ProcuraPorUniqueId(p.GetValue(u"UniqueId"));
    if (!f || !c) return;
    if (c->LigacaoFila) {
        // Listed by the channel status already, which only knows the channel's age: the table
        // knows when the call entered the queue and when it was answered, so an agent's talk
        // time does not count the caller's greeting and wait.
        TLigacaoFila& r = *c->LigacaoFila;
        if (r.DataFila != f) return;
        const double entrada = UnixTextToLocal(p.GetValueView(u"TimeStamp"));
        const double atendimento = UnixTextToLocal(p.GetValueView(u"TimeStampAtendimento"));
        if (entrada > 0) r.Inicio = entrada;
        if (atendimento > 0 && r.Atendimento > 0) r.Atendimento = atendimento;
        f->Notify(TAvisoFila::Fila);
        return;
    }
    // The rows come newest first: each call takes its place by the moment it entered, so the
    // queue ends up oldest first as the callers are served.
    f->AddCallDesde(c, UnixTextToLocal(p.GetValueView(u"TimeStamp")));
    if (!c->LigacaoFila) return; // a listener let go of it meanwhile
    c->LigacaoFila->Atendimento = UnixTextToLocal(p.GetValueView(u"TimeStampAtendimento"));
    if (TAgente* a = Agentes.Procura(p.ValorParaBusca(u"BridgeChannel"))) {
        a->SetChannelCall(c);
        c->LigacaoFila->DataAgente = a;
        a->Notify(TAvisoAgente::ZxDbEvent);
    }
    if (c->LigacaoFila && c->LigacaoFila->Atendimento > 0) f->CallLeftQueue(c);
}

// --- Queue events ----------------------------------------------------------------------------

void TMonitor::EvQueueParams(const TPacketManagerParser& p, int) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (!f) return;
    f->Max = InteiroOuPadrao(p, u"Max", 0);
    f->Calls = InteiroOuPadrao(p, u"Calls", 0);
    f->HoldTime = InteiroOuPadrao(p, u"HoldTime", 0);
    f->TalkTime = InteiroOuPadrao(p, u"TalkTime", 0);
    f->Completed = InteiroOuPadrao(p, u"Completed", 0);
    f->Abandoned = InteiroOuPadrao(p, u"Abandoned", 0);
    f->Received = p.HasKey(u"Received") ? InteiroOuPadrao(p, u"Received", 0) : -1;
    f->ExitWithKey = InteiroOuPadrao(p, u"ExitWithKey", 0);
    f->ServiceLevel = InteiroOuPadrao(p, u"ServiceLevel", 0);
    f->Weight = InteiroOuPadrao(p, u"Weight", 0);
    f->ServiceLevelPerf = p.GetValue(u"ServiceLevelPerf");
    f->Notify(TAvisoFila::Fila);
}

void TMonitor::EvJoin(const TPacketManagerParser& p, int connectionId) {
    const bool join = EventoAtual() == u"join";
    qint32 espera = 0;
    if (!join && !LeInteiro(p, u"Wait", 0, espera)) {
        LogaNumeroInvalido(QStringLiteral("QueueEntry"), u"Wait", p);
        return;
    }
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    const QString nome = p.GetValue(u"Channel");
    TChannel* c = nome.isEmpty() ? nullptr : Canais.Procura(nome, {});
    if (!f || !c) return;
    const qint32 posicao = InteiroOuPadrao(p, u"Position", 0);
    const bool listada = f->HasCall(c);
    f->AddCall(c, posicao);
    if (!c->LigacaoFila) return; // a listener let go of it meanwhile
    // A status listing gives the server's order: a call listed before (by the channel listing
    // of the load, in the order the channels were created) takes its place in it.
    if (!join && listada) f->PosicionaChamada(c, posicao);
    c->LigacaoFila->Inicio = join ? ServerNow() : MomentoAntes(espera);
    c->LigacaoFila->Queued = true;
    f->Notify(TAvisoFila::CallUpdated, nullptr, c);
    if (join) PedeStatusFila(f, connectionId);
}

void TMonitor::EvLeave(const TPacketManagerParser& p, int) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    const QString nome = p.GetValue(u"Channel");
    if (!f || nome.isEmpty()) return;
    if (TChannel* c = Canais.Procura(nome, {})) f->CallLeftQueue(c);
}

void TMonitor::EvQueueCallerAbandon(const TPacketManagerParser& p, int connectionId) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (!f) return;
    if (TChannel* c = Canais.ProcuraPorUniqueId(p.GetValue(u"Uniqueid"))) f->RemoveCall(c);
    PedeStatusFila(f, connectionId);
}

// "queuemember" (a row of a status listing) and "queuememberstatus": first the agent's slot,
// then its membership of the queue.
void TMonitor::EvQueueMember(const TPacketManagerParser& p, int slot) {
    const QString evento = EventoAtual();
    qint32 status = 0;
    qint32 paused = 0;
    qint32 penalty = 0;
    qint32 callsTaken = 0;
    const std::pair<QStringView, bool> lidos[] = {
        {u"Status", LeInteiroObrigatorio(p, u"Status", status)},
        {u"Paused", LeInteiroObrigatorio(p, u"Paused", paused)},
        {u"Penalty", LeInteiro(p, u"Penalty", 0, penalty)},
        {u"CallsTaken", LeInteiro(p, u"CallsTaken", 0, callsTaken)},
    };
    for (const auto& [chave, ok] : lidos) {
        if (!ok) {
            LogaNumeroInvalido(evento + u" " + p.GetValue(u"Location"), chave, p);
            return;
        }
    }
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Location"));
    if (!a) return;
    const QString motivo = p.GetValue(u"PauseReason");
    const double inicioPausa = UnixTextToLocal(p.GetValueView(u"PauseStart"));
    const double ultimaChamada = UnixTextToLocal(p.GetValueView(u"LastCall"));

    a->SetStatusNumber(slot, status);
    a->SetPaused(slot, paused != 0);
    if (motivo != u"n/a") a->SetPauseReason(slot, motivo);
    // A pause that ended has no start; the next one takes the start the server gives.
    if (paused == 0) a->SetPauseStart(slot, 0);
    if (a->Slot(slot).FPauseStart == 0) a->SetPauseStart(slot, inicioPausa);
    if (a->Slot(slot).FLastCall < ultimaChamada) a->SetLastCall(slot, ultimaChamada);
    const AgentState estado = a->GetState(slot);
    if ((estado == AgentState::Ocupado || estado == AgentState::PosAtendimento) &&
        evento == u"queuememberstatus" && !a->FOnHook)
        a->FOffHookStart = ServerNow();
    a->Notify(evento == u"queuemember" ? TAvisoAgente::QueueMember
                                       : TAvisoAgente::QueueMemberStatus);

    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (!f) return;
    TMembroFila* m = f->AddMember(a);
    if (!m) return;
    m->Penalty = penalty;
    m->CallsTaken = callsTaken;
    m->LastCall = ultimaChamada;
    m->Status = status;
    m->Paused = paused != 0;
    m->PauseReason = motivo;
    if (!m->Paused) m->PauseStart = 0;
    if (m->PauseStart == 0) m->PauseStart = inicioPausa;
    const QString nome = m->Member;
    f->MemberUpdated(nome);
    if (TMembroFila* atual = f->Members.Procura(nome); atual && atual->Paused)
        f->SetMemberPaused(nome, true, atual->PauseStart, atual->PauseReason);
}

void TMonitor::EvQueueMemberAdded(const TPacketManagerParser& p, int) {
    qint32 penalty = 0;
    qint32 callsTaken = 0;
    if (!LeInteiro(p, u"Penalty", 0, penalty)) {
        LogaNumeroInvalido(u"queuememberadded " + p.GetValue(u"Location"), u"Penalty", p);
        return;
    }
    if (!LeInteiro(p, u"CallsTaken", 0, callsTaken)) {
        LogaNumeroInvalido(u"queuememberadded " + p.GetValue(u"Location"), u"CallsTaken", p);
        return;
    }
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Location"));
    if (!f || !a) return;
    TMembroFila* m = f->AddMember(a);
    if (!m) return;
    m->Penalty = penalty;
    m->CallsTaken = callsTaken;
    m->LastCall = UnixTextToLocal(p.GetValueView(u"LastCall"));
    m->Status = InteiroOuPadrao(p, u"Status", 0);
    m->Paused = InteiroOuPadrao(p, u"Paused", 0) != 0;
    m->PauseReason = p.GetValue(u"PauseReason");
    m->PauseStart = UnixTextToLocal(p.GetValueView(u"PauseStart"));
    f->MemberUpdated(m->Member);
}

void TMonitor::EvQueueMemberRemoved(const TPacketManagerParser& p, int) {
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    QString nome = p.GetValue(u"Location");
    if (!f || nome.isEmpty()) return;
    // Members are kept under the agent's identifier: a location given as the bare agent number
    // ("1001") still names the member "Agent/1001".
    if (!f->HasMember(nome))
        if (const TAgente* a = Agentes.Procura(nome)) nome = a->Agent();
    f->RemoveMember(nome);
}

void TMonitor::EvQueueMemberPaused(const TPacketManagerParser& p, int slot) {
    qint32 paused = 0;
    if (!LeInteiroObrigatorio(p, u"Paused", paused)) {
        LogaNumeroInvalido(u"queuememberpaused " + p.GetValue(u"Location"), u"Paused", p);
        return;
    }
    TAgente* a = Agentes.Procura(p.ValorParaBusca(u"Location"));
    if (!a) return;
    const QString motivo = p.GetValue(u"PauseReason");
    const double inicio = UnixTextToLocal(p.GetValueView(u"PauseStart"));
    a->SetPaused(slot, paused != 0);
    a->SetPauseReason(slot, motivo);
    a->SetPauseStart(slot, inicio);
    if (TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue")))
        f->SetMemberPaused(a->Agent(), paused != 0, inicio, motivo);
    a->Notify(TAvisoAgente::QueueMemberPaused);
}

// --- Call reasons ----------------------------------------------------------------------------

void TMonitor::EvQueueCallReasonCount(const TPacketManagerParser& p, int) {
    const QString motivo = p.GetValue(u"Reason");
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (motivo.isEmpty() || !f) return;
    f->CallReasons.Define(motivo, InteiroOuPadrao(p, u"Count", 0));
}

void TMonitor::EvQueueCallSubReasonCount(const TPacketManagerParser& p, int) {
    const QString motivo = p.GetValue(u"Reason");
    const QString sub = p.GetValue(u"SubReason");
    TFila* f = Filas.Procura(p.ValorParaBusca(u"Queue"));
    if (motivo.isEmpty() || sub.isEmpty() || !f) return;
    qint32 n = 0;
    if (!LeInteiro(p, u"Count", 0, n)) {
        LogaNumeroInvalido(u"queuecallsubreasoncount " + motivo + u"/" + sub, u"Count", p);
        return;
    }
    f->CallReasons.DefineSub(motivo, sub, n);
}

// --- Queue-status refreshes ------------------------------------------------------------------

void TMonitor::PedeStatusFila(const QString& filaId, int connectionId) {
    PedeStatusFila(Filas.Procura(filaId), connectionId);
}

void TMonitor::PedeStatusFila(TFila* fila, int connectionId) {
    if (fila && QueueStatusLoaded) m_refrescoStatusFila.Pede(fila->FilaId(), connectionId);
}

void TMonitor::StatusFilaConcluido(int connectionId) {
    const QString outra = m_refrescoStatusFila.Concluido(connectionId);
    if (!outra.isEmpty()) PedeStatusFila(Filas.Procura(outra), connectionId);
}

void TMonitor::EsqueceStatusFila(int connectionId) {
    m_refrescoStatusFila.Esquece(connectionId);
}
