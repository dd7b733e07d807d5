#pragma once

#include "model/callcentre/TAgente.h"
#include "sim/TSimState.h"

// The display state the monitor should show for an agent of the simulator. An agent in no queue
// is told about only by its login and logoff: no member event carries its pauses or its calls,
// so there the monitor's own state stands unless the agent logged off.
inline AgentState EstadoEsperado(const TSimAgent& a, AgentState nosso) {
    if (a.queues.isEmpty())
        return a.status == TSimAgent::Status::LoggedOff || nosso == AgentState::Indisponivel
                   ? AgentState::Indisponivel
                   : nosso;
    switch (a.status) {
    case TSimAgent::Status::LoggedOff:
        return AgentState::Indisponivel;
    case TSimAgent::Status::Idle:
        return a.paused ? AgentState::EmPausa : AgentState::Livre;
    case TSimAgent::Status::Ringing:
    case TSimAgent::Status::OnCall:
        return AgentState::Ocupado;
    case TSimAgent::Status::WrapUp:
        break;
    }
    return AgentState::PosAtendimento;
}
