#pragma once

#include "model/callcentre/TAgente.h"
#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "model/chat/TChat.h"
#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"
#include "monitor/TAviso.h"

class TChannel;
struct TAlerta;
enum class TAvisoAlerta : quint8;

// The model changes the windows show, one family each. The core announces them (the fan-out
// of the model's own notices); every window subscribes itself to the families it shows and
// picks the objects it shows, so a new window needs nothing added to the core or the frame.
struct TAvisos {
    // An agent's own notice: the agents windows get the agent and the kind, the queue and
    // campaign windows the agent.
    TAviso<TAgente*, TAvisoAgente> Agente;
    // A membership changed: the queue and campaign windows get it; when the member has an
    // agent, the agents windows too. A removed member is freed right after.
    TAviso<TFila*, TMembroFila*, TAvisoFila> Membro;
    // A waiting or answered call of a queue changed: the queue windows.
    TAviso<TFila*, TChannel*, TAvisoFila> ChamadaFila;
    // After every queue notice: the queue summaries, queue windows and campaign windows.
    TAviso<TFila*> Fila;
    // An extension's state or calls changed: the extensions window.
    TAviso<TRamal*> Ramal;
    // A trunk line's state or call changed: the trunks windows showing that trunk.
    TAviso<TTronco*, TCanalTronco*> Tronco;
    // A new load is about to free the extensions, ports and trunks: windows holding them let
    // them go now and fill again when the load ends.
    TAviso<> TelefoniaRecarregando;
    // The campaigns summary and the campaign's window refresh the campaign.
    TAviso<TCampanha*> Campanha;
    // A call of a campaign changed (none for a kind without a call): the campaign windows. A
    // removed call's channel is freed right after.
    TAviso<TCampanha*, TChannel*, TAvisoCampanha> ChamadaCampanha;
    // The campaign's summary counters were read again.
    TAviso<TCampanha*> ResumoCampanha;
    // The server counted the call reasons again: every call-reason chart redraws.
    TAviso<> MotivosRecontados;
    // The campaign list was refreshed: the "Discador" submenu is rebuilt.
    TAviso<> MenuDiscador;
    // The model is about to be emptied: windows still holding a campaign, its calls or its
    // queue let go of them now.
    TAviso<> CampanhasLiberadas;
    // Internal chat: a conversation notice of the chat model (the chat window, notifications);
    // a participant's presence; a history answer complete; a new chat model at login (views
    // of the previous one let it go: it is freed right after).
    TAviso<TConversaChat*, TMensagemChat*, TAvisoChat> Chat;
    TAviso<TUsuarioChat*> UsuarioChat;
    TAviso<> HistoricoChat;
    TAviso<TChat*> NovoChat;
    // A threshold alert started or ended (TAlertas.h): agent rows, queue panels and windows, the
    // alerts window, the desktop notification. An ended alert is freed right after.
    TAviso<const TAlerta*, TAvisoAlerta> Alerta;
};
