#include "model/callcentre/TAgente.h"

#include "base/Clock.h"
#include "model/callcentre/TMotivoPausa.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TTipoCanal.h"
#include "model/telephony/TTodosOsPassos.h"

#include <algorithm>

namespace {

const TSlotAgente& SlotVazio() {
    static const TSlotAgente vazio;
    return vazio;
}

QString SemNa(const QString& texto) {
    return texto == u"n/a" ? QString() : texto;
}

QString Momento(double t) {
    return t > 0 ? DateTimeText(t) : QStringLiteral("0");
}

QString Duracao(double inicio) {
    return inicio > 0 ? ElapsedText(inicio) : QString();
}

int Segundos(double inicio) {
    return inicio > 0 ? ElapsedSeconds(inicio) : -1;
}

// Files `a` in a bucket kept in list order.
void Insere(std::vector<TAgente*>& bucket, TAgente* a) {
    auto pos =
        std::lower_bound(bucket.begin(), bucket.end(), a, [](const TAgente* x, const TAgente* y) {
            return x->Indice() < y->Indice();
        });
    if (pos == bucket.end() || *pos != a) bucket.insert(pos, a);
}

template <typename K>
void Retira(QHash<K, std::vector<TAgente*>>& mapa, const K& chave, TAgente* a) {
    auto it = mapa.find(chave);
    if (it == mapa.end()) return;
    auto pos = std::find(it.value().begin(), it.value().end(), a);
    if (pos != it.value().end()) it.value().erase(pos);
    if (it.value().empty()) mapa.erase(it);
}

} // namespace

QString ChannelBaseName(const QString& nome) {
    return TChannel::NomeBase(nome);
}

// --- TAgente ---------------------------------------------------------------------------------

TAgente::TAgente(const QString& agent) : m_agent(agent) {
    const qsizetype barra = agent.indexOf(u'/');
    m_agentNumber = barra < 0 ? agent : agent.mid(barra + 1, 20);
}

const TSlotAgente& TAgente::Slot(int slot) const {
    if (slot < 0 || slot >= kSlots) return SlotVazio();
    return m_slots[slot];
}

TSlotAgente* TAgente::SlotParaEscrita(int slot) {
    if (slot < 0 || slot >= kSlots) return nullptr;
    return &m_slots[slot];
}

void TAgente::SetChannelCall(TChannel* canal) {
    if (canal == m_channelCall) return;
    TChannel* antigo = m_channelCall;
    m_channelCall = canal;
    if (m_lista) {
        m_lista->CanalNovo(this, canal);
        m_lista->CanalMudou(this, antigo);
    }
}

void TAgente::SetChannelLogged(TChannel* canal) {
    if (canal == m_channelLogged) return;
    TChannel* antigo = m_channelLogged;
    m_channelLogged = canal;
    if (m_lista) {
        m_lista->CanalNovo(this, canal);
        m_lista->CanalMudou(this, antigo);
    }
}

void TAgente::StatusFromText(int slot, const QString& texto) {
    TSlotAgente* s = SlotParaEscrita(slot);
    if (!s) return;
    if (texto == u"AGENT_ONCALL")
        s->FStatusInt = kStatusOcupado;
    else if (texto == u"AGENT_IDLE")
        s->FStatusInt = kStatusLivre;
    else if (texto == u"AGENT_LOGGEDOFF")
        s->FStatusInt = kStatusDeslogado;
    else
        s->FStatusInt = kStatusOutro;
}

void TAgente::SetStatusNumber(int slot, qint32 n) {
    TSlotAgente* s = SlotParaEscrita(slot);
    if (!s) return;
    s->FStatusInt = n;
    if (n == kStatusLivre || n == kStatusDeslogado) s->FTalkingTo.clear();
    if (n == kStatusDeslogado) SetLoggedInChan(slot, {});
}

void TAgente::SetLoggedInChan(int slot, const QString& canal) {
    TSlotAgente* s = SlotParaEscrita(slot);
    if (!s) return;
    const QString novo = SemNa(canal);
    if (novo == s->FLoggedInChan) return;
    const QString antigo = s->FLoggedInChan;
    s->FLoggedInChan = novo;
    if (m_lista) m_lista->LoggedInChanMudou(this, slot, antigo);
}

void TAgente::SetTalkingTo(int slot, const QString& texto) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FTalkingTo = SemNa(texto);
}

void TAgente::SetStrLoggedChannel(int slot, const QString& texto) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FStrLoggedChannel = texto;
}

void TAgente::SetPauseReason(int slot, const QString& motivo) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FPauseReason = motivo;
}

void TAgente::SetLoggedInTime(int slot, double t) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FLoggedInTime = t;
}

void TAgente::SetPauseStart(int slot, double t) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FPauseStart = t;
}

void TAgente::SetLastCall(int slot, double t) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FLastCall = t;
}

void TAgente::SetLastPause(int slot, double t) {
    if (TSlotAgente* s = SlotParaEscrita(slot)) s->FLastPause = t;
}

void TAgente::SetPaused(int slot, bool paused) {
    TSlotAgente* s = SlotParaEscrita(slot);
    if (!s) return;
    if (s->FPaused && !paused) s->FLastPause = ServerNow();
    s->FPaused = paused;
}

AgentState TAgente::GetState(int slot) const {
    const TSlotAgente& s = Slot(slot);
    switch (s.FStatusInt) {
    case kStatusOcupado:
        return AgentState::Ocupado;
    case kStatusOutro:
        return AgentState::PosAtendimento;
    case kStatusLivre:
        return s.FPaused ? AgentState::EmPausa : AgentState::Livre;
    default:
        return AgentState::Indisponivel;
    }
}

TChannel* TAgente::CurrentCall(int slot) const {
    if (slot == 0) return m_channelCall;
    if (slot == 1) return m_calls.empty() ? nullptr : m_calls.front();
    return nullptr;
}

QString TAgente::StatusText(int slot, const TListaMotivosPausa& motivos) const {
    switch (GetState(slot)) {
    case AgentState::Ocupado:
        if (slot == 1 && m_calls.size() > 1)
            return u"Ocupado (" + QString::number(m_calls.size()) + u")";
        return QStringLiteral("Ocupado");
    case AgentState::PosAtendimento:
        return QStringLiteral("Ocupado ");
    case AgentState::Livre:
        return QStringLiteral("Livre");
    case AgentState::EmPausa: {
        // A reason that is not a number reads as 0: the automatic pause.
        const QString motivo = motivos.ReasonText(Slot(slot).FPauseReason.toInt());
        return motivo.isEmpty() ? QStringLiteral("Em pausa") : u"Em pausa (" + motivo + u")";
    }
    case AgentState::Indisponivel:
        break;
    }
    return QStringLiteral("Indisponível");
}

double TAgente::DurationStart(int slot) const {
    switch (GetState(slot)) {
    case AgentState::Ocupado: {
        if (const TChannel* c = CurrentCall(slot)) {
            if (const TLigacaoFila* f = c->LigacaoFila.get()) {
                if (f->Atendimento > 0) return f->Atendimento;
                if (f->Chamando > 0) return f->Chamando;
                return f->Inicio > 0 ? f->Inicio : 0;
            }
            return c->Inicio;
        }
        return FOnHook ? 0 : FOffHookStart;
    }
    case AgentState::Livre:
        return IdleStart(slot);
    case AgentState::EmPausa:
        return Slot(slot).FPauseStart;
    default:
        return 0;
    }
}

QString TAgente::DurationText(int slot) const {
    return Duracao(DurationStart(slot));
}

int TAgente::DurationSeconds(int slot) const {
    return Segundos(DurationStart(slot));
}

TClasseCor TAgente::ClasseCor(int slot, bool marcaNovaChamada) const {
    switch (GetState(slot)) {
    case AgentState::Ocupado: {
        if (const TChannel* c = CurrentCall(slot)) {
            const TLigacaoFila* f = c->LigacaoFila.get();
            if (f && (f->Atendimento > 0 || marcaNovaChamada)) return TClasseCor::OcupadoNaFila;
            return TClasseCor::Ocupado;
        }
        return FOnHook ? TClasseCor::Ocupado : TClasseCor::FoneForaDoGancho;
    }
    case AgentState::PosAtendimento:
        return TClasseCor::PosAtendimento;
    case AgentState::Livre:
        return TClasseCor::Livre;
    case AgentState::EmPausa:
        return TClasseCor::EmPausa;
    case AgentState::Indisponivel:
        break;
    }
    return TClasseCor::Indisponivel;
}

QString TAgente::TextoGancho() const {
    if (FOnHook) return {};
    return FCallEnded ? QStringLiteral("Ligação encerrada") : QStringLiteral("Fora do gancho");
}

double TAgente::IdleStart(int slot) const {
    if (GetState(slot) != AgentState::Livre) return 0;
    const TSlotAgente& s = Slot(slot);
    double inicio = s.FLoggedInTime;
    if (s.FLastCall > inicio) inicio = s.FLastCall;
    if (s.FLastPause > inicio) inicio = s.FLastPause;
    return inicio;
}

QString TAgente::IdleText(int slot) const {
    return Duracao(IdleStart(slot));
}

int TAgente::IdleSeconds(int slot) const {
    if (GetState(slot) != AgentState::Livre) return 0;
    return Segundos(IdleStart(slot));
}

QString TAgente::ExtensionText(int slot) const {
    if (slot == 1) return m_slots[1].FStrLoggedChannel;
    if (slot != 0) return {};
    if (m_channelLogged) {
        const QString nome = m_channelLogged->NomePeer();
        // "Ramal 2001 (PA 01)" shows as "2001 (PA 01)".
        if (nome.startsWith(u"Ramal")) return nome.mid(6, 30);
        if (!nome.isEmpty()) return nome;
    }
    return m_slots[0].FStrLoggedChannel;
}

QString TAgente::ExtensionNumber(int slot) const {
    if (slot != 0) return {};
    const QString texto = ExtensionText(0);
    const qsizetype branco = texto.indexOf(u' ');
    return branco < 0 ? texto : texto.left(branco);
}

void TAgente::AddCall(TChannel* canal) {
    if (!canal || TemCall(canal)) return;
    m_calls.push_back(canal);
    if (m_lista) m_lista->CanalNovo(this, canal);
    Notify(TAvisoAgente::Call);
}

void TAgente::RemoveCall(TChannel* canal) {
    auto pos = std::find(m_calls.begin(), m_calls.end(), canal);
    if (pos == m_calls.end()) return;
    m_calls.erase(pos);
    if (m_lista) m_lista->CanalMudou(this, canal);
    Notify(TAvisoAgente::Call);
}

TChannel* TAgente::GetCall(int i) const {
    if (i < 0 || size_t(i) >= m_calls.size()) return nullptr;
    return m_calls[size_t(i)];
}

bool TAgente::TemCall(const TChannel* canal) const {
    return canal && std::find(m_calls.begin(), m_calls.end(), canal) != m_calls.end();
}

void TAgente::Notify(TAvisoAgente aviso) {
    if (OnAgentEvent) OnAgentEvent(this, aviso);
}

QString TAgente::Dump() const {
    QString t;
    t.reserve(512);
    t += u"Atendente: " + m_agent + u"\r\n";
    t += u"AgentNumber : " + m_agentNumber + u"\r\n";
    t += u"AgentName   : " + AgentName + u"\r\n";
    t += u"FLoggedInChan     : " + m_slots[0].FLoggedInChan + u"\r\n";
    t += u"FLoggedInTime[0]  : " + Momento(m_slots[0].FLoggedInTime) + u"\r\n";
    t += u"FLoggedInTime[1]  : " + Momento(m_slots[1].FLoggedInTime) + u"\r\n";
    t += u"FStrLoggedChannel[0] : " + m_slots[0].FStrLoggedChannel + u"\r\n";
    t += u"FStrLoggedChannel[1] : " + m_slots[1].FStrLoggedChannel + u"\r\n";
    t += u"FStatusInt[0]     : " + QString::number(m_slots[0].FStatusInt) + u"\r\n";
    t += u"FStatusInt[1]     : " + QString::number(m_slots[1].FStatusInt) + u"\r\n";
    t += u"FStatusStr[0]     : " + m_slots[0].FStatusStr + u"\r\n";
    t += u"FStatusStr[1]     : " + m_slots[1].FStatusStr + u"\r\n";
    t += u"FOnHook           : " + QString::number(FOnHook ? 1 : 0) + u"\r\n";
    t += u"FOffHookStart     : " + Momento(FOffHookStart) + u"\r\n";
    t += u"ChannelLogged     : " +
         (m_channelLogged ? m_channelLogged->Channel() : QStringLiteral("nil")) + u"\r\n";
    t += u"ChannelCall     : " +
         (m_channelCall ? m_channelCall->Channel() : QStringLiteral("nil")) + u"\r\n";
    for (size_t i = 0; i < m_calls.size(); ++i)
        t += u"ChannelCall " + QString::number(i) + u"   : " + m_calls[i]->Channel() + u"\r\n";
    return t;
}

// --- TListaAgentes ---------------------------------------------------------------------------

int TAgente::Indice() const {
    return m_lista ? m_lista->IndiceDe(this) : -1;
}

TListaAgentes::~TListaAgentes() {
    Limpa();
}

TAgente* TListaAgentes::Adiciona(std::unique_ptr<TAgente> agente) {
    if (!agente || agente->m_lista) return nullptr;
    TAgente* a = m_itens.Adiciona(std::move(agente));
    a->m_lista = this;
    if (!m_porAgent.contains(a->Agent())) m_porAgent.insert(a->Agent(), a);
    if (!m_porNumero.contains(a->AgentNumber())) m_porNumero.insert(a->AgentNumber(), a);
    for (int slot = 0; slot < TAgente::kSlots; ++slot)
        if (!a->m_slots[slot].FLoggedInChan.isEmpty())
            Insere(m_porLoggedInChan[slot][a->m_slots[slot].FLoggedInChan], a);
    CanalNovo(a, a->m_channelCall);
    CanalNovo(a, a->m_channelLogged);
    for (TChannel* c : a->m_calls)
        CanalNovo(a, c);
    return a;
}

void TListaAgentes::Limpa() {
    m_porAgent.clear();
    m_porNumero.clear();
    for (auto& mapa : m_porLoggedInChan)
        mapa.clear();
    m_porCanal.clear();
    m_itens.ParaCada([](TAgente* a) { a->m_lista = nullptr; });
    m_itens.Limpa();
}

TAgente* TListaAgentes::Procura(const QString& texto) const {
    if (texto.isEmpty()) return nullptr;
    TAgente* porAgent = m_porAgent.value(texto, nullptr);
    TAgente* porNumero = m_porNumero.value(texto, nullptr);
    if (!porAgent) return porNumero;
    if (!porNumero) return porAgent;
    return porNumero->Indice() < porAgent->Indice() ? porNumero : porAgent;
}

const std::vector<TAgente*>& TListaAgentes::LoggedInChan(const QString& canal, int slot) const {
    static const std::vector<TAgente*> vazio;
    if (canal.isEmpty() || slot < 0 || slot >= TAgente::kSlots) return vazio;
    auto it = m_porLoggedInChan[slot].constFind(canal);
    return it == m_porLoggedInChan[slot].cend() ? vazio : it.value();
}

TAgente* TListaAgentes::ProcuraPorLoggedInChan(const QString& canal, int slot) const {
    const std::vector<TAgente*>& bucket = LoggedInChan(canal, slot);
    return bucket.empty() ? nullptr : bucket.front();
}

const std::vector<TAgente*>& TListaAgentes::DoCanal(const TChannel* canal) const {
    static const std::vector<TAgente*> vazio;
    auto it = m_porCanal.constFind(canal);
    return it == m_porCanal.cend() ? vazio : it.value();
}

void TListaAgentes::BridgeUpdated(TLigacao* ligacao) {
    TChannel* primeiro = ligacao ? ligacao->Channel1() : nullptr;
    if (!primeiro) return;
    // A copy: the agent's notice may change the index.
    const std::vector<TAgente*> bucket = LoggedInChan(primeiro->Channel(), 0);
    for (TAgente* a : bucket) {
        if (a->ChannelLogged()) continue;
        a->SetChannelLogged(primeiro);
        a->Notify(TAvisoAgente::Call1);
        return;
    }
}

void TListaAgentes::BridgeRemoved(TLigacao* ligacao) {
    TChannel* primeiro = ligacao ? ligacao->Channel1() : nullptr;
    if (!primeiro) return;
    for (TAgente* a : LoggedInChan(primeiro->Channel(), 0)) {
        if (!a->ChannelLogged()) continue;
        a->SetChannelLogged(nullptr);
        return;
    }
}

void TListaAgentes::ChannelRemoved(TChannel* canal) {
    if (!canal) return;
    const std::vector<TAgente*> envolvidos = DoCanal(canal);
    // Every agent lets go of the channel even when a listener of an earlier one fails: the
    // channel is freed right after.
    ParaTodos(envolvidos, [canal](TAgente* a) {
        TodosOsPassos(
            [&] {
                if (a->ChannelCall() == canal) {
                    a->SetChannelCall(nullptr);
                    a->Notify(TAvisoAgente::RemoveCall);
                }
            },
            [&] { a->RemoveCall(canal); },
            [&] {
                if (a->ChannelLogged() == canal) a->SetChannelLogged(nullptr);
            });
    });
}

void TListaAgentes::LoggedInChanMudou(TAgente* a, int slot, const QString& antigo) {
    if (!antigo.isEmpty()) Retira(m_porLoggedInChan[slot], antigo, a);
    const QString& novo = a->m_slots[slot].FLoggedInChan;
    if (!novo.isEmpty()) Insere(m_porLoggedInChan[slot][novo], a);
}

void TListaAgentes::CanalNovo(TAgente* a, TChannel* novo) {
    if (novo) Insere(m_porCanal[novo], a);
}

void TListaAgentes::CanalMudou(TAgente* a, TChannel* antigo) {
    if (!antigo) return;
    // Still pointing at it in another way: it stays filed.
    if (a->m_channelCall == antigo || a->m_channelLogged == antigo || a->TemCall(antigo)) return;
    Retira<const TChannel*>(m_porCanal, antigo, a);
}

QString TextoAviso(TAvisoAgente aviso) {
    switch (aviso) {
    case TAvisoAgente::Agents:
        return QStringLiteral("Agent-Agents");
    case TAvisoAgente::AgentLogin:
        return QStringLiteral("Agent-agentlogin");
    case TAvisoAgente::AgentLogoff:
        return QStringLiteral("Agent-agentlogoff");
    case TAvisoAgente::AgentCalled:
        return QStringLiteral("Agent-agentcalled");
    case TAvisoAgente::AgentConnect:
        return QStringLiteral("Agent-agentconnect");
    case TAvisoAgente::AgentRingNoAnswer:
        return QStringLiteral("Agent-agentringnoanswer");
    case TAvisoAgente::AgentComplete:
        return QStringLiteral("Agent-agentcomplete");
    case TAvisoAgente::Hook:
        return QStringLiteral("Agent-hook");
    case TAvisoAgente::Status:
        return QStringLiteral("Agent-status");
    case TAvisoAgente::Hangup:
        return QStringLiteral("Agent-hangup");
    case TAvisoAgente::ZxDbEvent:
        return QStringLiteral("Agent-zxdbevent");
    case TAvisoAgente::QueueMember:
        return QStringLiteral("Agent-queuemember");
    case TAvisoAgente::QueueMemberStatus:
        return QStringLiteral("Agent-queuememberstatus");
    case TAvisoAgente::QueueMemberPaused:
        return QStringLiteral("Agent-queuememberpaused");
    case TAvisoAgente::Call:
        return QStringLiteral("Agent-Call");
    case TAvisoAgente::Call1:
        return QStringLiteral("Agent-Call1");
    case TAvisoAgente::RemoveCall:
        break;
    }
    return QStringLiteral("Agent-RemoveCall");
}
