#include "model/callcentre/TAcoesAtendente.h"

#include "base/ActionText.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoPausa.h"

namespace {

// "1001 (Maria Souza)" as the questions name an agent.
QString NomeAgente(const TAgente& a) {
    return a.AgentNumber() + u" (" + a.AgentName + u")";
}

bool Livre(AgentState s) {
    return s == AgentState::Livre || s == AgentState::EmPausa || s == AgentState::Indisponivel;
}

} // namespace

QString TextoQueueAdd(const TAgente& agente, const TFila& fila, int slot) {
    TActionText a(u"QueueAdd");
    a.Add(u"Queue", fila.FilaId())
        .Add(u"Interface", agente.Agent())
        .AddColado(u"Paused", agente.Slot(slot).FPaused ? QStringLiteral("1") : QStringLiteral("0"))
        .Add(u"ActionID", QStringLiteral("KQQueueAdd"));
    return a.Text();
}

QString TextoQueueRemove(const TAgente& agente, const TFila& fila) {
    return Action(u"QueueRemove", {{u"Queue", fila.FilaId()},
                                   {u"Interface", agente.Agent()},
                                   {u"ActionID", QStringLiteral("KQQueueRemove")}});
}

QString TextoAgentLogoff(const TAgente& agente) {
    return Action(u"AgentLogoff", {{u"Agent", agente.AgentNumber()},
                                   {u"ActionID", QStringLiteral("KQAgentLogoff")}});
}

QString TextoRetiraPausa(const TAgente& agente) {
    return Action(u"QueuePause", {{u"Interface", agente.Agent()},
                                  {u"Paused", QStringLiteral("0")},
                                  {u"Reason", QStringLiteral("0")}});
}

QString TextoColocaPausa(const TAgente& agente, const TMotivoPausa& motivo) {
    return Action(u"QueuePause", {{u"Interface", agente.Agent()},
                                  {u"Paused", QStringLiteral("1")},
                                  {u"Reason", QString::number(motivo.MotivoPausaId)}});
}

TConfirmacao ConfirmacaoLogoff(const TAgente& agente) {
    return {QStringLiteral("Logoff de atendente"),
            u"Confirma logoff do atendente " + NomeAgente(agente) + u"?"};
}

TConfirmacao ConfirmacaoRetirarPausa(const TAgente& agente) {
    return {QStringLiteral("Retirar de pausa"),
            u"Retirar o atendente " + NomeAgente(agente) + u" da pausa?"};
}

TConfirmacao ConfirmacaoColocarEmPausa(const TAgente& agente, const QString& textoMotivo) {
    const QString motivo = textoMotivo.mid(4, 100);
    return {QStringLiteral("Colocar em pausa"),
            u"Colocar o atendente " + NomeAgente(agente) + u" em pausa \"" + motivo + u"\"?"};
}

bool PodeLogoff(const TAgente& agente, int slot) {
    return !(agente.GetState(slot) == AgentState::Indisponivel &&
             !(agente.Slot(slot).FLoggedInTime > 0));
}

bool PodeAdicionarRemover(const TAgente& agente, int slot, bool modoCSTA) {
    return !modoCSTA && Livre(agente.GetState(slot));
}

bool PodeColocarEmPausa(const TAgente& agente, int slot) {
    return agente.GetState(slot) != AgentState::Indisponivel;
}

bool PodeRetirarPausa(const TAgente& agente, int slot) {
    return agente.GetState(slot) == AgentState::EmPausa;
}

bool FilaNoMenu(const TFila& fila, int slot) {
    if ((slot == 1) != fila.EhChat()) return false;
    bool ok = false;
    const int tag = fila.FilaId().toInt(&ok);
    return ok && tag > 0;
}
