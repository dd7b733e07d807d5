#include "ui/windows/TColunasAtendente.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"

namespace {

template <class V> int Compara3(V a, V b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// Which moment of a queue call the time counts from (answered, rung, entered; 0 for none):
// part of the row's state key.
int CodigoFila(const TLigacaoFila& f) {
    return f.Atendimento > 0 ? 10 : f.Chamando > 0 ? 20 : f.Inicio > 0 ? 30 : 0;
}

} // namespace

QString TColunasAtendente::Hms(qint64 s) {
    auto dois = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return dois(s / 3600) + u':' + dois((s % 3600) / 60) + u':' + dois(s % 60);
}

const TLigacaoFila* TColunasAtendente::LigacaoDeFila(const TAgente& a) const {
    const TChannel* c = a.GetState(m_slot) == AgentState::Ocupado ? a.CurrentCall(m_slot) : nullptr;
    return c ? c->LigacaoFila.get() : nullptr;
}

bool TColunasAtendente::ChamadaDaFila(const TAgente& a) const {
    const TLigacaoFila* f = LigacaoDeFila(a);
    return !m_daFila || (f && m_fila && f->DataFila == m_fila);
}

int TColunasAtendente::ChaveEstado(const TAgente& a) const {
    const AgentState s = a.GetState(m_slot);
    const TChannel* c = s == AgentState::Ocupado ? a.CurrentCall(m_slot) : nullptr;
    const TLigacaoFila* f = c ? c->LigacaoFila.get() : nullptr;
    return int(s) + (f ? CodigoFila(*f) : c ? 40 : 0);
}

double TColunasAtendente::InicioEstado(const TAgente& a) const {
    const int slot = m_slot;
    const AgentState s = a.GetState(slot);
    const TChannel* c = s == AgentState::Ocupado ? a.CurrentCall(slot) : nullptr;
    const TLigacaoFila* f = c ? c->LigacaoFila.get() : nullptr;
    // A queue's member list counts a queue call from its answer only.
    if (f && m_daFila) return f->Atendimento;
    return f                          ? (f->Atendimento > 0 ? f->Atendimento
                                         : f->Chamando > 0  ? f->Chamando
                                                            : f->Inicio)
           : c                        ? c->Inicio
           : s == AgentState::Ocupado ? (a.FOnHook ? 0 : a.FOffHookStart)
           : s == AgentState::Livre   ? a.IdleStart(slot)
           : s == AgentState::EmPausa ? a.Slot(slot).FPauseStart
                                      : 0;
}

std::vector<TColunaLista<TAgente>> TColunasAtendente::Colunas(int modo) const {
    using C = TColunaLista<TAgente>;
    const int slot = m_slot;
    if (modo == 2) // the tile is drawn by hand
        return {C("Atendente", 60, [](const TAgente&) { return QStringLiteral("..."); })};

    QStringList estados{QStringLiteral("Indisponível"), QStringLiteral("Em pausa (I - Almoço)")};
    const TListaMotivosPausa& motivos = m_monitor->MotivosPausa;
    for (int i = 0; i < motivos.Count(); ++i)
        estados << u"Em pausa (" + motivos.ReasonText(motivos.Item(i)->MotivoPausaId) + u')';
    const QString hora = QStringLiteral("00:00:00");
    QString ramais; // the longest extension text
    m_monitor->Agentes.ParaCada([&](const TAgente* a) {
        if (a->ExtensionText(slot).size() > ramais.size()) ramais = a->ExtensionText(slot);
    });

    // Kept columns: those of the state, which change with the row's state key or at the
    // five-second steps of the tick.
    const C atendente =
        C("Atendente", 60, [](const TAgente& a) { return a.AgentNumber(); }).Ordena(1);
    const C nome = C("Nome", 150, [](const TAgente& a) { return a.AgentName; }).Ordena(2);
    const C estado =
        C("Estado", 70,
          [this, slot](const TAgente& a) { return a.StatusText(slot, m_monitor->MotivosPausa); })
            .Ordena(0)
            .Guarda()
            .Cabe(estados);
    const C tempo = C("Tempo", 80,
                      [this, slot](const TAgente& a) -> QString {
                          if (m_daFila && LigacaoDeFila(a)) {
                              const double t = InicioEstado(a);
                              return t > 0 ? Hms(std::max(0, ElapsedSeconds(t))) : QString();
                          }
                          return a.DurationText(slot);
                      })
                        .ADireita()
                        .Guarda(cTempo)
                        .Cabe({hora});
    QStringList filas;
    for (int i = 0; i < m_monitor->Filas.Count(); ++i)
        filas << m_monitor->Filas.Item(i)->Nome;
    const C fila =
        C("Fila", 120, [this](const TAgente& a) { return TextoFila(a); }).Guarda().Cabe(filas);
    if (modo == 0) {
        if (m_daFila) return {atendente, nome, estado, tempo};
        return {atendente, nome, estado, tempo, C::Espaco(10), fila};
    }

    C ramal = C(slot == 1 ? (m_daFila ? "Ip" : "IP") : "Ramal", 50, [slot](const TAgente& a) {
                  return a.ExtensionText(slot);
              }).Cabe({ramais});
    if (!m_daFila) ramal.Ordena(3);
    const C login = C("Login", 60,
                      [slot](const TAgente& a) -> QString {
                          if (a.GetState(slot) == AgentState::Indisponivel) return {};
                          const double t = a.Slot(slot).FLoggedInTime;
                          return StampText(t) + u" (" + (t > 0 ? ElapsedText(t) : QString()) + u")";
                      })
                        .Guarda(cLogin)
                        .Cabe({hora + u" (" + hora + u")"});
    const auto membro = [this](const TAgente& a) -> const TMembroFila* {
        return m_fila ? m_fila->Members.Procura(a.Agent()) : nullptr;
    };
    const C ultima = C("Última chamada", 60, [this, slot, membro](const TAgente& a) {
                         if (!m_daFila) return StampText(a.Slot(slot).FLastCall);
                         const TMembroFila* m = membro(a);
                         return m ? StampText(m->LastCall) : QString();
                     }).Cabe({hora});
    const auto chamada = [this, slot](const TAgente& a) -> const TChannel* {
        if (a.GetState(slot) != AgentState::Ocupado || !ChamadaDaFila(a)) return nullptr;
        return a.CurrentCall(slot);
    };
    const C canal = C("Canal", 80, [chamada](const TAgente& a) {
        const TChannel* c = chamada(a);
        return c ? c->NomePeer() : QString();
    });
    const C telefone = C(slot == 1 ? "Identificação" : "Telefone", 90,
                         [this, chamada, slot](const TAgente& a) -> QString {
                             if (a.GetState(slot) != AgentState::Ocupado) return {};
                             const TChannel* c = chamada(a);
                             if (!c) return m_daFila ? QString() : a.TextoGancho();
                             if (slot == 1 || c->CallerIdName.isEmpty())
                                 return slot == 1 ? c->CallerId : c->CallerIdNum;
                             return c->CallerIdNum + u" (" + c->CallerIdName + u")";
                         });
    if (m_daFila) {
        const C chamadas = C("Chamadas", 60, [membro](const TAgente& a) {
            const TMembroFila* m = membro(a);
            return m ? QString::number(m->CallsTaken) : QString();
        });
        return {atendente, nome,   ramal,         estado, tempo,   login,
                chamadas,  ultima, C::Espaco(10), canal,  telefone};
    }
    return {atendente, nome,          ramal, estado, tempo,   login,
            ultima,    C::Espaco(10), fila,  canal,  telefone};
}

// On a queue call, that queue; on another call or after one, none; else the agent's queues.
QString TColunasAtendente::TextoFila(const TAgente& a) const {
    const AgentState s = a.GetState(m_slot);
    if (const TChannel* c = s == AgentState::Ocupado ? a.CurrentCall(m_slot) : nullptr) {
        const TLigacaoFila* f = c->LigacaoFila.get();
        return f && f->DataFila ? f->DataFila->Nome : QString();
    }
    if (s == AgentState::PosAtendimento) return {};
    return m_monitor->Filas.QueuesOfAgent(&a, m_slot);
}

QStringList TColunasAtendente::EscolhasTile() {
    return {QStringLiteral("Número do atendente"), QStringLiteral("Nome do atendente"),
            QStringLiteral("Ramal do atendente"), QStringLiteral("Duração do estado atendente")};
}

QStringList TColunasAtendente::AmostrasTile(int nivelIcone) const {
    // Every line that holds a number shows it whole: durations, agent and extension numbers.
    qsizetype agente = 4, ramal = 4;
    m_monitor->Agentes.ParaCada([&](const TAgente* a) {
        agente = std::max(agente, a->AgentNumber().size());
        ramal = std::max(ramal, a->ExtensionNumber(m_slot).size());
    });
    return {QStringLiteral("00:00:00"), QString(agente, u'0'),
            (nivelIcone == 0 ? u"R-" : u"R - ") + QString(ramal, u'0')};
}

QString TColunasAtendente::TextoLinhaTile(const TAgente& a, int escolha, int nivelIcone) const {
    if (escolha == 0) return a.AgentNumber();
    if (escolha == 1) return a.AgentName;
    if (escolha == 3) return a.DurationText(m_slot);
    const QString ramal = escolha == 2 ? a.ExtensionNumber(m_slot) : QString();
    return ramal.isEmpty() ? QString() : (nivelIcone == 0 ? u"R-" : u"R - ") + ramal;
}

int TColunasAtendente::Compara(const TAgente& a, const TAgente& b, int sortCol,
                               bool descendente) const {
    const int slot = m_slot;
    const int sinal = descendente ? -1 : 1;
    switch (sortCol) {
    case 1: // as numbers, 0 when not one
        return sinal * Compara3(a.AgentNumber().toLongLong(), b.AgentNumber().toLongLong());
    case 2:
        return sinal * QString::localeAwareCompare(a.AgentName, b.AgentName);
    case 3:
        return sinal * QString::localeAwareCompare(a.ExtensionText(slot), b.ExtensionText(slot));
    default:
        break;
    }
    // The agents window always lists by state in one direction; a queue's member list turns
    // it round too.
    const int estado = m_daFila ? sinal : 1;
    const AgentState sa = a.GetState(slot), sb = b.GetState(slot);
    if (sa != sb) return estado * Compara3(int(sa), int(sb));
    switch (sa) {
    case AgentState::Ocupado: { // queue calls first, the earlier answered first
        const TChannel* ca = a.CurrentCall(slot);
        const TChannel* cb = b.CurrentCall(slot);
        const bool fa = ca && ca->LigacaoFila, fb = cb && cb->LigacaoFila;
        if (fa != fb) return estado * (fa ? -1 : 1);
        return fa ? estado * Compara3(ca->LigacaoFila->Atendimento, cb->LigacaoFila->Atendimento)
                  : 0;
    }
    case AgentState::Livre: // the longest idle first
        return estado * Compara3(b.IdleSeconds(slot), a.IdleSeconds(slot));
    case AgentState::EmPausa:
        return estado * Compara3(a.Slot(slot).FPauseStart, b.Slot(slot).FPauseStart);
    default:
        return 0;
    }
}
