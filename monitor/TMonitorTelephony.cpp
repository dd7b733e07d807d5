// The telephony part of the monitor: channel, bridge, peer and line events; the port, extension,
// trunk and pause-reason rows; the console command outputs and the dialer-variable answers; and
// the change notices that carry a channel or bridge change to the other models.
//
// Numbers read from an event or a row take their documented default when absent or empty. One
// that is present but does not read as a 32-bit integer makes the whole event or row be skipped
// with a log line, before anything is changed, so no object is left half updated and a stream
// of such packets never reaches the error hook.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "link/NumerosEvento.h"
#include "link/TPacketManagerParser.h"
#include "model/telephony/TSaidasComando.h"
#include "model/telephony/TTipoCanal.h"
#include "model/telephony/TTodosOsPassos.h"
#include "monitor/TMonitor.h"

namespace {

// The value, or the second one when the first is empty.
QString ValorOu(const TPacketManagerParser& p, QStringView chave, QStringView alternativa) {
    QString v = p.GetValue(chave);
    return v.isEmpty() ? p.GetValue(alternativa) : v;
}

// "; Canal1:SIP/2001-0001(dial); Canal2:..." for the legs of a bridge.
QString TextoPernas(const TLigacao* l) {
    QString t;
    if (TChannel* c = l->Channel1()) t += u"; Canal1:" + c->Channel() + u"(" + c->LastEvent + u")";
    if (TChannel* c = l->Channel2()) t += u"; Canal2:" + c->Channel() + u"(" + c->LastEvent + u")";
    return t;
}

} // namespace

void TMonitor::LogaNumeroInvalido(const QString& onde, QStringView chave,
                                  const TPacketManagerParser& p) {
    if (LogAtivo)
        Loga(onde + u" ignorado: " + chave + u" inválido (" + p.GetValueView(chave) + u")");
}

// --- Channels --------------------------------------------------------------------------------

void TMonitor::EvNewChannelStatus(const TPacketManagerParser& p, int connectionId) {
    const QString evento = EventoAtual();
    const bool status = evento == u"status";
    const QString nome = p.GetValue(u"Channel");
    if (LogAtivo) Loga(u"Status, Canal:" + nome + u" Interface:" + TChannel::NomeBase(nome));
    // An age that is missing or not a number reads as "not reported".
    const qint32 seconds = status ? InteiroOuPadrao(p, u"Seconds", -1) : -1;
    // A channel event without a channel names nothing to create.
    if (nome.isEmpty()) return;

    const QString uniqueId = p.GetValue(u"Uniqueid");
    TChannel* c = Canais.Procura(nome, uniqueId);
    if (!c) {
        auto novo = std::make_unique<TChannel>(nome);
        novo->OnChannelEvent = [this](TChannel* s, TAvisoCanal a) { OnChannelEvent(s, a); };
        novo->Inicio = ServerNow();
        c = Canais.Adiciona(std::move(novo));
        if (LogAtivo) Loga(u"Status, Canal:" + nome + u" Criado");
    }
    c->State = ValorOu(p, u"State", u"ChannelStateDesc");
    c->CallerIdNum = p.GetValue(u"CallerIDNum");
    c->CallerIdName = p.GetValue(u"CallerIDName");
    if (connectionId == 1) c->CallerId = p.GetValue(u"CallerID");
    c->SetaUniqueId(uniqueId);
    c->LastEvent = evento;
    c->Evento = evento;
    c->UltimaAlteracao = LocalNow();
    c->Context = p.GetValue(u"Context");
    if (status) {
        c->Extension = p.GetValue(u"Extension");
        c->Tipo.clear();
        c->Seconds = seconds;
        c->Inicio = ServerNow() - double(seconds) / kSecondsPerDay;
    } else {
        c->Extension = p.GetValue(u"Exten");
    }
    if (!c->LigacaoDiscador) LeVariavelCampanha(c);
    if (!status) {
        NovaLigacao(c);
        return;
    }
    StatusRefazLigacoes(c, p, seconds, connectionId);
}

// A "status" row describes a call in progress: its queue, its agents and its bridge are
// rebuilt from it.
void TMonitor::StatusRefazLigacoes(TChannel* c, const TPacketManagerParser& p, qint32 seconds,
                                   int connectionId) {
    StatusAnexaFila(c, p, seconds, connectionId);

    c->Context = p.GetValue(u"Context");
    if (c->Context.isEmpty() && c->CallerIdNameValido().contains(u'@'))
        c->Context = QStringLiteral("(Discador)");
    c->Extension = p.GetValue(u"Extension");
    c->Priority = p.GetValue(u"Priority");

    QString link = p.GetValue(u"Link");
    const bool doLink = !link.isEmpty();
    if (!doLink) link = p.GetValue(u"BridgedChannel");
    if (LogAtivo) {
        Loga((doLink ? QStringView(u"Status, coc Link = ")
                     : QStringView(u"Status, coc BridgedChannel = ")) +
             link);
        Loga(u"Status, coc Link = " + c->Extension);
    }

    bool achou = false;
    if (!link.isEmpty() && c->Extension != u"*9800") {
        TChannel* outro = Canais.Procura(link, {});
        if (outro == c) outro = nullptr; // listed as bridged to itself: no other leg
        if (c->LigacaoFila) {
            TLigacaoFila& f = *c->LigacaoFila;
            if (f.Atendimento > 0) {
                const qint32 idade = p.GetValueView(u"Seconds").isEmpty() ? 0 : seconds;
                f.Inicio = f.Atendimento = ServerNow() - double(idade) / kSecondsPerDay;
            }
            if (LogAtivo)
                Loga(u"Status, com fila INI=" + DateTimeText(f.Inicio) + u" INIC=" +
                     DateTimeText(f.Chamando) + u" INIA=" + DateTimeText(f.Atendimento));
        } else if (outro) {
            StatusAgentesDoLink(c, outro, connectionId);
        }
        if (outro) {
            if (TLigacao* par = Ligacoes.ProcuraPar(c, outro)) {
                // Listed again (a reload of the same connection): the pair stands, its
                // watchers hear of it once more.
                par->Notifica();
                achou = true;
            } else if (TLigacao* l = Ligacoes.Procura(0, outro)) {
                // Joining the other leg's call: a one-legged bridge of this channel of its own
                // would only linger until the hangup.
                if (TLigacao* propria = Ligacoes.Procura(0, c)) Ligacoes.Remove(propria);
                l->SetaCanal(c);
                achou = true;
            }
        }
    }
    if (!achou) NovaLigacao(c);
}

void TMonitor::NovaLigacao(TChannel* c) {
    if (Ligacoes.Procura(3, c)) {
        Ligacoes.CanalAtualizado(c);
        return;
    }
    auto nova = std::make_unique<TLigacao>(c);
    nova->OnCallEvent = [this](TLigacao* s, TAvisoLigacao a) { OnCallEvent(s, a); };
    Ligacoes.Adiciona(std::move(nova))->Notifica();
}

void TMonitor::EvNewState(const TPacketManagerParser& p, int) {
    TChannel* c = Canais.Procura(p.ValorParaBusca(u"Channel"), p.ValorParaBusca(u"Uniqueid"));
    if (!c) return;
    c->State = ValorOu(p, u"State", u"ChannelStateDesc");
    if (c->Tipo.isEmpty()) {
        if (c->State == u"Dialing")
            c->Tipo = QStringLiteral("S");
        else if (c->State == u"Ringing")
            c->Tipo = QStringLiteral("E");
    }
    if (c->CallerIdValido().isEmpty()) c->CallerId = p.GetValue(u"CallerID");
    const QString nome = p.GetValue(u"CallerIDName");
    if (c->CallerIdNameValido().isEmpty() && !nome.isEmpty()) c->CallerIdName = nome;
    const QString numero = p.GetValue(u"CallerIDNum");
    if (c->CallerIdNumValido().isEmpty() && !numero.isEmpty()) c->CallerIdNum = numero;
    c->LastEvent = QStringLiteral("newstate");
    c->UltimaAlteracao = LocalNow();
    c->Notifica();
}

void TMonitor::EvDial(const TPacketManagerParser& p, int) {
    if (p.GetValueView(u"SubEvent") != u"Begin") return;
    TChannel* origem = Canais.Procura(p.ValorParaBusca(u"Channel"), p.ValorParaBusca(u"Uniqueid"));
    TChannel* destino =
        Canais.Procura(p.ValorParaBusca(u"Destination"), p.ValorParaBusca(u"DestUniqueID"));
    if (origem) {
        origem->LastEvent = QStringLiteral("dial");
        origem->UltimaAlteracao = LocalNow();
        origem->Notifica();
    }
    if (destino) {
        destino->Discado = true;
        if (destino->Tipo.isEmpty()) {
            destino->Tipo = QStringLiteral("S");
            if (origem && destino->CallerIdNumValido().isEmpty())
                destino->CallerIdNum = origem->CallerIdNumValido();
        }
        destino->LastEvent = QStringLiteral("dial");
        destino->UltimaAlteracao = LocalNow();
        destino->Notifica();
    }
    if (origem && destino) Ligacoes.Associa(origem, destino, false);
}

void TMonitor::EvNewExten(const TPacketManagerParser& p, int) {
    TChannel* c = Canais.Procura(p.ValorParaBusca(u"Channel"), p.ValorParaBusca(u"Uniqueid"));
    if (!c) return;
    // The context before this event tells an outgoing call.
    if (c->Tipo.isEmpty() && c->Context == u"Saida") c->Tipo = QStringLiteral("S");
    c->Context = p.GetValue(u"Context");
    c->Extension = p.GetValue(u"Extension");
    c->Priority = p.GetValue(u"Priority");
    c->LastEvent = QStringLiteral("newexten");
    c->UltimaAlteracao = LocalNow();
}

void TMonitor::EvNewCallerId(const TPacketManagerParser& p, int) {
    TChannel* c = Canais.Procura(p.ValorParaBusca(u"Channel"), p.ValorParaBusca(u"Uniqueid"));
    if (!c) return;
    c->CallerId = p.GetValue(u"CallerID");
    const QString nome = p.GetValue(u"CallerIDName");
    if (!nome.isEmpty()) c->CallerIdName = nome;
    const QString numero = p.GetValue(u"CallerIDNum");
    if (!numero.isEmpty()) c->CallerIdNum = numero;
    c->LastEvent = QStringLiteral("newcallerid");
    // The dialer marks its calls with an "@" in the caller name.
    if (c->NewCallerId.isEmpty() && c->CallerIdNameValido().contains(u'@')) {
        c->NewCallerId = c->CallerIdNameValido();
        c->Discador = true;
    }
    c->Notifica();
}

void TMonitor::EvRename(const TPacketManagerParser& p, int) {
    const QString antigo = ValorOu(p, u"Oldname", u"Channel");
    const QString novo = p.GetValue(u"Newname");
    if (antigo.isEmpty() || novo.isEmpty()) return;
    TChannel* c = Canais.Procura(antigo, {});
    if (!c) return;
    c->SetaChannel(novo);
    c->Notifica();
}

void TMonitor::EvMasquerade(const TPacketManagerParser& p, int) {
    TChannel* clone = Canais.Procura(p.ValorParaBusca(u"Clone"), {});
    TChannel* original = Canais.Procura(p.ValorParaBusca(u"Original"), {});
    if (!clone || !original) return;
    const QString nomeClone = clone->Channel();
    const QString idClone = clone->UniqueId();
    clone->SetaChannel(original->Channel());
    clone->SetaUniqueId(original->UniqueId());
    original->SetaChannel(nomeClone);
    original->SetaUniqueId(idClone);
    clone->Notifica();
    original->Notifica();
}

void TMonitor::EvHangup(const TPacketManagerParser& p, int connectionId) {
    const QString nome = p.GetValue(u"Channel");
    const QString uniqueId = p.GetValue(u"Uniqueid");
    if (LogAtivo) Loga(u"Inicio do hangup Ch:" + nome + u" UID:" + uniqueId);
    if (TChannel* c = Canais.Procura(nome, uniqueId)) {
        if (connectionId == 1 && c->Channel().startsWith(u"Agent/")) HangupAgenteChat(c, p);
        Canais.Remove(c);
    }
    Loga(QStringLiteral("Fim do Hangup"));
}

void TMonitor::EvZxNewCall(const TPacketManagerParser& p) {
    const QString nome = p.GetValue(u"Channel");
    const QString nomeTronco = p.GetValue(u"Tronco");
    if (nome.startsWith(u"SIP/") && !nomeTronco.isEmpty()) {
        TTronco* tronco = Troncos.Procura(nomeTronco);
        TChannel* c = Canais.Procura(nome, {});
        if (tronco && c && c->NomeBase() != tronco->Dispositivo) {
            // The call runs over a SIP trunk: the channel belongs to the trunk, not to the
            // peer its name suggests.
            c->RemoveTipoCanal();
            c->NomeTronco = tronco->Dispositivo;
            c->Notifica();
        }
    }
    TChannel* c = Canais.Procura(nome, p.GetValue(u"Uniqueid"));
    if (!c) return;
    if (c->Tipo.isEmpty() && p.GetValueView(u"Tipo") == u"E") {
        c->Tipo = QStringLiteral("E");
        c->CallerId = p.GetValue(u"CallerId");
    }
    c->LastEvent = QStringLiteral("userevent");
    c->UltimaAlteracao = LocalNow();
    c->Notifica();
}

// --- Bridges ---------------------------------------------------------------------------------

void TMonitor::EvLink(const TPacketManagerParser& p, int) {
    const QString nome1 = p.GetValue(u"Channel1");
    const QString nome2 = p.GetValue(u"Channel2");
    if (nome1.isEmpty() || nome2.isEmpty()) return;
    const QString evento = EventoAtual();
    TChannel* c1 = Canais.Procura(nome1, p.GetValue(u"Uniqueid1"));
    if (c1) c1->LastEvent = evento;
    TChannel* c2 = Canais.Procura(nome2, p.GetValue(u"Uniqueid2"));
    if (c2) c2->LastEvent = evento;
    if (c1 && c2) Ligacoes.Associa(c1, c2, true);
}

void TMonitor::EvUnlink(const TPacketManagerParser& p, int) {
    const QString nome1 = p.GetValue(u"Channel1");
    const QString nome2 = p.GetValue(u"Channel2");
    if (nome1.isEmpty() || nome2.isEmpty()) return;
    TChannel* c1 = Canais.Procura(nome1, p.GetValue(u"Uniqueid1"));
    TChannel* c2 = Canais.Procura(nome2, p.GetValue(u"Uniqueid2"));
    if (!c1 || !c2) return;
    if (TLigacao* l = Ligacoes.ProcuraPar(c1, c2)) l->Desliga();
}

// --- Extensions and trunks -------------------------------------------------------------------

void TMonitor::EvPeerStatus(const TPacketManagerParser& p, int) {
    const QString peer = p.GetValue(u"Peer");
    const QString status = p.GetValue(u"PeerStatus");
    Ramais.PeerStatus(peer, status, p.GetValue(u"Address"));
    Troncos.PeerStatus(peer, status);
}

void TMonitor::EvLinhaTronco(const TPacketManagerParser& p, int) {
    const QString evento = EventoAtual();
    QStringView chave = u"Alarm";
    if (evento == u"antennalevel")
        chave = u"Signal";
    else if (evento == u"operatorregistry")
        chave = u"Operator";
    Troncos.EventoLinha(evento, p.GetValue(chave), p.GetValue(u"Channel"));
}

// --- Rows ------------------------------------------------------------------------------------

void TMonitor::RowPorta(const TPacketManagerParser& p) {
    qint32 id = -1;
    if (!LeInteiro(p, u"PortaId", -1, id)) {
        LogaNumeroInvalido(QStringLiteral("Porta"), u"PortaId", p);
        return;
    }
    if (id < 0) return;
    auto porta = std::make_unique<TPorta>();
    porta->PortaId = id;
    porta->Placa = InteiroOuPadrao(p, u"Placa", -1);
    porta->Canal = InteiroOuPadrao(p, u"Canal", -1);
    porta->QtdeCanais = InteiroOuPadrao(p, u"QtdeCanais", 0);
    porta->Marca = p.GetValue(u"Marca");
    porta->Tipo = p.GetValue(u"Tipo");
    porta->TipoTronco = p.GetValue(u"TipoTronco");
    porta->Nome = p.GetValue(u"Nome");
    Portas.Adiciona(std::move(porta));
}

void TMonitor::RowRamal(const TPacketManagerParser& p) {
    const QString id = p.GetValue(u"RamalId");
    if (id.isEmpty()) return;
    auto r = std::make_unique<TRamal>(id);
    r->OnRamalEvent = [this](TRamal* s, TAvisoRamal k) { OnRamalEvent(s, k); };
    bool ok = false;
    r->FisicoEndereco = p.GetValueView(u"FisicoEndereco").toInt(&ok);
    if (!ok) r->FisicoEndereco = -1; // not a port: matches none
    r->Nome = p.GetValue(u"Nome");
    r->Tipo = p.GetValue(u"Tipo");
    if (r->Tipo == u"s") {
        r->SetaDispositivo(u"SIP/" + id);
        r->Estado = QStringLiteral("I");
    } else if (r->Tipo == u"i") {
        r->SetaDispositivo(u"IAX/" + id);
        r->Estado = QStringLiteral("I");
    } else if (r->Tipo == u"v") {
        r->SetaDispositivo(u"Virtual/" + id);
    } else if (r->Tipo == u"f") {
        r->Porta = Portas.Procura(r->FisicoEndereco);
        const TPorta* porta = r->Porta;
        if (porta && porta->NumCanais > 0) {
            if (porta->Marca == u"k")
                r->SetaDispositivo(u"Khomp/B" + QString::number(porta->IndicePlaca) + u"C" +
                                   QString::number(porta->PrimeiroCanal));
            else if (porta->Marca == u"z")
                r->SetaDispositivo(u"Zap/" + QString::number(porta->PrimeiroCanal));
        }
        r->Estado = QStringLiteral("I");
    }
    Ramais.Adiciona(std::move(r));
}

void TMonitor::RowTronco(const TPacketManagerParser& p) {
    const QString nome = p.GetValue(u"Nome");
    // A port id that is not a number finds no port: the trunk is kept, without lines.
    const qint32 troncoId = InteiroOuPadrao(p, u"TroncoId", 0);
    qint32 idTronco = 0;
    if (!LeInteiro(p, u"IdTronco", 0, idTronco)) {
        LogaNumeroInvalido(u"Tronco " + nome, u"IdTronco", p);
        return;
    }
    auto t = std::make_unique<TTronco>(nome);
    t->TroncoId = troncoId;
    t->IdTronco = idTronco;
    t->Operadora = p.GetValue(u"Operadora");
    t->IdDeChamada = p.GetValue(u"IdDeChamada");
    t->Tipo = p.GetValue(u"Tipo");
    t->Host = p.GetValue(u"Host");
    t->Usuario = p.GetValue(u"Usuario");
    t->OnTroncoEvent = [this](TTronco* s, TCanalTronco* c, TAvisoTronco k) {
        OnTroncoEvent(s, c, k);
    };
    if (t->Tipo == u"f") {
        t->Porta = Portas.Procura(t->TroncoId);
        if (t->Porta) {
            t->CriaCanais();
            t->TipoTronco = t->Porta->TipoTronco;
        }
    } else if (t->Tipo == u"s") {
        t->Dispositivo = u"SIP/" + nome;
        t->TipoTronco = QStringLiteral("s");
        t->CriaCanais();
    }
    Troncos.Adiciona(std::move(t));
}

void TMonitor::RowMotivoPausa(const TPacketManagerParser& p) {
    qint32 id = 0;
    qint32 produtivo = 0;
    if (!LeInteiro(p, u"MotivoPausaId", 0, id)) {
        LogaNumeroInvalido(QStringLiteral("MotivoPausa"), u"MotivoPausaId", p);
        return;
    }
    if (id < 1) return;
    if (!LeInteiro(p, u"Produtivo", 0, produtivo)) {
        LogaNumeroInvalido(u"MotivoPausa " + QString::number(id), u"Produtivo", p);
        return;
    }
    MotivosPausa.AdicionaOuAtualiza(id, p.GetValue(u"Nome"), produtivo != 0);
}

void TMonitor::PreparaCargaTelefonia() {
    if (Portas.Count() == 0 && Ramais.Count() == 0 && Troncos.Count() == 0) return;
    m_avisos.TelefoniaRecarregando.Emite();
    // The descriptors of live channels point at extensions and trunk lines: they go first.
    // The channels get new ones when their bridges are announced again (the "Status" step).
    Canais.ParaCada([](TChannel* c) { c->RemoveTipoCanal(); });
    Ramais.Limpa();
    Portas.Limpa();
    Troncos.Limpa();
}

// --- Responses -------------------------------------------------------------------------------

void TMonitor::TrataSaidaComando(const QString& id, const TPacketManagerParser& p) {
    const std::vector<QStringView> linhas = LinhasDaSaida(p.Lines);
    if (id == u"SIPPeers") {
        TLeitorSipPeers leitor;
        TLinhaSipPeers linha;
        for (QStringView texto : linhas) {
            if (!leitor.Le(texto, linha)) continue;
            if (!Ramais.LinhaSipPeers(linha))
                Troncos.PeerStatus(u"SIP/" + linha.Nome, linha.StatusPeer);
        }
    } else if (id == u"KhompChannels") {
        for (QStringView texto : linhas) {
            if (!texto.startsWith(u"<K>")) continue;
            const TLinhaKhomp linha = LeLinhaKhomp(texto);
            if (linha.Dispositivo.isEmpty()) continue;
            Troncos.LinhaKhomp(linha);
            Ramais.LinhaKhomp(linha);
        }
    } else if (id == u"DahdiChannels") {
        TLeitorDahdi leitor;
        int numero = 0;
        QString estado;
        for (QStringView texto : linhas)
            if (leitor.Le(texto, numero, estado)) Troncos.LinhaDahdi(numero, estado);
    }
}

void TMonitor::TrataVariavelDiscador(const QString& id, const TPacketManagerParser& p) {
    const QString valor = p.GetValue(u"Value");
    if (id.startsWith(u"VarDisCampanha-")) {
        TChannel* c = Canais.Procura(id.mid(15), {});
        if (!c || valor.isEmpty() || valor == u"(null)") return;
        if (!c->Discador) {
            c->Discador = true;
            c->Tipo = QStringLiteral("D");
            c->Notifica();
        }
        DiscadorAnexaCampanha(c, valor);
        LeNomeTelefoneCampanha(c);
        return;
    }
    // A failed request says nothing about the customer: what the channel shows stays.
    if (p.GetValueView(u"Response") == u"Error") return;
    const bool telefone = id.startsWith(u"VarDisTelefone-");
    TChannel* c = Canais.Procura(id.mid(telefone ? 15 : 11), {});
    if (!c || valor == u"(null)") return;
    if (telefone)
        c->CallerIdNum = valor;
    else
        c->CallerIdName = valor;
    c->Notifica();
}

void TMonitor::SendGetVar(TChannel* c, const QString& prefixo, const QString& variavel) {
    const QString& nome = c->Channel();
    // The name goes into two lines of the action; a name that would break them is not sent.
    if (!IsSafeActionValue(nome)) {
        Loga(u"GetVar " + variavel + u" não enviado: nome de canal inválido");
        return;
    }
    TActionText a(u"GetVar");
    a.Add(u"ActionId", prefixo + nome).Add(u"Channel", nome).Add(u"Variable", variavel);
    SendManager(a.Text());
}

void TMonitor::LeVariavelCampanha(TChannel* c) {
    if (!c) return;
    const QStringView inicio = QStringView(c->Channel()).left(5);
    if (inicio == u"Agent" || inicio == u"Local") return;
    SendGetVar(c, QStringLiteral("VarDisCampanha-"), QStringLiteral("DisCampanha"));
}

void TMonitor::LeNomeTelefoneCampanha(TChannel* c) {
    if (!c) return;
    SendGetVar(c, QStringLiteral("VarDisTelefone-"), QStringLiteral("DisTelefone"));
    SendGetVar(c, QStringLiteral("VarDisNome-"), QStringLiteral("DisNome"));
}

// --- Change notices --------------------------------------------------------------------------

void TMonitor::OnChannelEvent(TChannel* c, TAvisoCanal action) {
    if (!c) return;
    if (action == TAvisoCanal::Updated) {
        if (LogAtivo) Loga(u"OnChannelEvent Updated " + c->Channel());
        Ligacoes.CanalAtualizado(c);
        FilasCanalAtualizado(c);
        CampanhasCanalAtualizado(c);
    } else {
        if (LogAtivo) Loga(u"OnChannelEvent Removed " + c->Channel() + u" " + c->UniqueId());
        // The bridges let go of the channel even when an earlier model fails: the channel is
        // freed right after.
        TodosOsPassos([&] { AgentesCanalRemovido(c); }, [&] { FilasCanalRemovido(c); },
                      [&] { CampanhasCanalRemovido(c); }, [&] { Ligacoes.CanalRemovido(c); });
    }
}

void TMonitor::OnCallEvent(TLigacao* l, TAvisoLigacao action) {
    if (!l) return;
    if (LogAtivo) Loga(u"OnCallEvent: " + TextoAviso(action) + TextoPernas(l));
    if (action == TAvisoLigacao::Updated) {
        Ramais.AtualizaLigacao(l);
        Troncos.AtualizaLigacao(l);
        AgentesLigacaoAtualizada(l);
    } else {
        TodosOsPassos([&] { Ramais.RemoveLigacao(l); }, [&] { Troncos.RemoveLigacao(l); },
                      [&] { AgentesLigacaoRemovida(l); });
    }
}

void TMonitor::OnRamalEvent(TRamal* r, TAvisoRamal) {
    // Both kinds (calls, state) show.
    if (r) m_avisos.Ramal.Emite(r);
}

void TMonitor::OnTroncoEvent(TTronco* t, TCanalTronco* c, TAvisoTronco kind) {
    if (LogAtivo) {
        QString texto = u"OnTroncoEvent: " + TextoAviso(kind);
        if (c) {
            texto += u"I:" + QString::number(c->Indice()) + u"; CT:" + c->Dispositivo() +
                     u"; CTTipo:" + c->Direcao + u"; CTTel:" + c->Telefone;
            texto += c->Ligacao() ? TextoPernas(c->Ligacao()) : QStringLiteral("; Ligacao: nil");
        }
        Loga(texto);
    }
    if (t && c && kind != TAvisoTronco::Added) m_avisos.Tronco.Emite(t, c);
}

// --- Dispatcher registration -----------------------------------------------------------------

const TMonitor::TDominio& TMonitor::DominioTelefonia() {
    static const TDominio d{"Telefonia",
                            {
                                {QStringLiteral("newchannel"), &TMonitor::EvNewChannelStatus},
                                {QStringLiteral("status"), &TMonitor::EvNewChannelStatus},
                                {QStringLiteral("newstate"), &TMonitor::EvNewState},
                                {QStringLiteral("dial"), &TMonitor::EvDial},
                                {QStringLiteral("newexten"), &TMonitor::EvNewExten},
                                {QStringLiteral("newcallerid"), &TMonitor::EvNewCallerId},
                                {QStringLiteral("link"), &TMonitor::EvLink},
                                {QStringLiteral("bridge"), &TMonitor::EvLink},
                                {QStringLiteral("unlink"), &TMonitor::EvUnlink},
                                {QStringLiteral("rename"), &TMonitor::EvRename},
                                {QStringLiteral("masquerade"), &TMonitor::EvMasquerade},
                                {QStringLiteral("peerstatus"), &TMonitor::EvPeerStatus},
                                {QStringLiteral("alarm"), &TMonitor::EvLinhaTronco},
                                {QStringLiteral("alarmclear"), &TMonitor::EvLinhaTronco},
                                {QStringLiteral("antennalevel"), &TMonitor::EvLinhaTronco},
                                {QStringLiteral("operatorregistry"), &TMonitor::EvLinhaTronco},
                                {QStringLiteral("hangup"), &TMonitor::EvHangup},
                            },
                            {
                                {QStringLiteral("ZXDBListaPortas"), &TMonitor::RowPorta},
                                {QStringLiteral("ZXDBListaRamais"), &TMonitor::RowRamal},
                                {QStringLiteral("ZXDBListaTroncos"), &TMonitor::RowTronco},
                            }};
    return d;
}
