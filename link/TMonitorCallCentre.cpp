// Where the telephony handlers hand a channel or a bridge over to agents, queues and campaigns.
// Each point is called at the moment its model must act; the models fill them in as they join
// the monitor.
#include "link/TMonitor.h"

// A "status" row of a call in a queue ("Queue"), possibly answered by an agent
// ("BridgedChannel"): attaches the channel to the queue's calls. Filled by the queues and agents.
void TMonitor::StatusAnexaFila(TChannel*, const TPacketManagerParser&, qint32, int) {}

// A "status" row of a bridged call without queue data: each leg becomes the current call of
// the agent logged in at the other. Filled by the agents.
void TMonitor::StatusAgentesDoLink(TChannel*, TChannel*, int) {}

// A hangup on the chat connection of an "Agent/" channel: the agent drops the bridged channel
// from its chat calls. Filled by the agents.
void TMonitor::HangupAgenteChat(TChannel*, const TPacketManagerParser&) {}

// A channel changed: the queue holding it refreshes the call. Filled by the queues.
void TMonitor::FilasCanalAtualizado(TChannel*) {}

// A channel changed: every campaign holding it refreshes the call. Filled by the campaigns.
void TMonitor::CampanhasCanalAtualizado(TChannel*) {}

// A channel is going away: agents drop it as current, logged-in or chat call. Filled by the
// agents.
void TMonitor::AgentesCanalRemovido(TChannel*) {}

// A channel is going away: queues drop it from their calls. Filled by the queues.
void TMonitor::FilasCanalRemovido(TChannel*) {}

// A channel is going away: campaigns drop it (and its dialer data). Filled by the campaigns.
void TMonitor::CampanhasCanalRemovido(TChannel*) {}

// A bridge changed / was removed: agents refresh or drop what they show of it. Filled by the
// agents.
void TMonitor::AgentesLigacaoAtualizada(TLigacao*) {}
void TMonitor::AgentesLigacaoRemovida(TLigacao*) {}

// The dialer names the channel's campaign: the campaign with that id takes the call. Filled by
// the campaigns.
void TMonitor::DiscadorAnexaCampanha(TChannel*, const QString&) {}
