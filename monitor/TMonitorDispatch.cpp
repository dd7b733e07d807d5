// The packet dispatcher: responses advance the load sequence, events and table-query rows are
// routed by name to the part of the model that owns them.
#include "base/Clock.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

#include <algorithm>
#include <climits>

const QHash<QString, TMonitor::EventHandler>& TMonitor::EventTable() {
    // Entries without a handler belong to parts of the model that ignore them for now.
    static const QHash<QString, EventHandler> table = {
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
        {QStringLiteral("agents"), &TMonitor::EvAgents},
        {QStringLiteral("agentcalled"), &TMonitor::EvAgentCalled},
        {QStringLiteral("agentconnect"), &TMonitor::EvAgentConnect},
        {QStringLiteral("agentringnoanswer"), &TMonitor::EvAgentRingNoAnswer},
        {QStringLiteral("agentcomplete"), &TMonitor::EvAgentComplete},
        {QStringLiteral("agentlogoff"), &TMonitor::EvAgentLogoff},
        {QStringLiteral("agentlogin"), &TMonitor::EvAgentLogin},
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
        {QStringLiteral("hook"), &TMonitor::EvHook},
        {QStringLiteral("zxtimestamp"), &TMonitor::EvZxTimeStamp},
        {QStringLiteral("queuecallreasoncount"), &TMonitor::EvQueueCallReasonCount},
        {QStringLiteral("queuecallsubreasoncount"), &TMonitor::EvQueueCallSubReasonCount},
        {QStringLiteral("zxuserpermission"), &TMonitor::EvUserPermission},
        {QStringLiteral("zxuserpermissiondetail"), &TMonitor::EvUserPermissionDetail},
        {QStringLiteral("zxuserpermissionscomplete"), &TMonitor::EvUserPermissionsComplete},
        {QStringLiteral("zxdbevent"), &TMonitor::EvZxDbEvent},
        {QStringLiteral("zxdbcomplete"), &TMonitor::EvZxDbComplete},
        {QStringLiteral("statuscomplete"), &TMonitor::EvListComplete},
        {QStringLiteral("agentscomplete"), &TMonitor::EvListComplete},
        {QStringLiteral("queuestatuscomplete"), &TMonitor::EvQueueStatusComplete},
        {QStringLiteral("queuecallreasoncountcomplete"), &TMonitor::EvQueueCallReasonCountComplete},
        {QStringLiteral("userevent"), &TMonitor::EvUserEvent},
        {QStringLiteral("titulo"), &TMonitor::EvTitulo},
        {QStringLiteral("fullybooted"), &TMonitor::EvFullyBooted},
        {QStringLiteral("chatchannelmessage"), &TMonitor::EvChatExterno},
        {QStringLiteral("chatchannelmessagescomplete"), &TMonitor::EvChatExterno},
        {QStringLiteral("chatnewmessage"), &TMonitor::EvChatExterno},
        {QStringLiteral("chatchannelstate"), &TMonitor::EvChatExterno},
    };
    return table;
}

const QHash<QString, TMonitor::RowHandler>& TMonitor::QueryTable() {
    static const QHash<QString, RowHandler> table = {
        {QStringLiteral("ZXDBListaPerfilConfiguracao"), &TMonitor::RowPerfilConfiguracao},
        {QStringLiteral("ZXDBLoginVesmara"), &TMonitor::RowLoginVesmara},
        {QStringLiteral("ZXDBListaPermissaoUsuario"), &TMonitor::RowPermissaoUsuario},
        {QStringLiteral("ZXDBListaPermissaoUsuarioExtra"), &TMonitor::RowPermissaoUsuarioExtra},
        {QStringLiteral("ZXDBListaPortas"), &TMonitor::RowPorta},
        {QStringLiteral("ZXDBListaRamais"), &TMonitor::RowRamal},
        {QStringLiteral("ZXDBListaTroncos"), &TMonitor::RowTronco},
        {QStringLiteral("ZXDBListaAgentes"), &TMonitor::RowAgente},
        {QStringLiteral("ZXDBListaFilas"), &TMonitor::RowFila},
        {QStringLiteral("ZXDBListaCampanhas"), &TMonitor::RowCampanha},
        {QStringLiteral("ZXDBListaCampanhasAtual"), &TMonitor::RowCampanha},
        {QStringLiteral("ZXDBListaMotivosPausa"), &TMonitor::RowMotivoPausa},
        {QStringLiteral("ZXDBChamadasAtivasFilas"), &TMonitor::RowChamadaAtivaFila},
        {QStringLiteral("ZXDBDisClientesTotal"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisClientesDiscar"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisStatusDiscagem"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisClientesAgendados"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisTelefonesTotal"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisTelefonesDiscar"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisTelefonesTentativasExcedidas"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisTelefonesAgendados"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisTelefonesDesativados"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisStatusChamadas"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBDisClassificacaoChamadas"), &TMonitor::RowResumoCampanha},
        {QStringLiteral("ZXDBUsuariosVesmara"), &TMonitor::RowUsuariosVesmara},
        {QStringLiteral("ZXDBMensagensNaLidasChat"), &TMonitor::RowMensagensNaoLidasChat},
    };
    return table;
}

void TMonitor::TrataManagerPacket(TClientManager* sender, const QString& packet) {
    LogaPacote(packet);
    UltimoPacote = packet;
    const int connectionId = sender ? sender->ConnectionId : 0;
    const TPacketManagerParser p(packet);
    const QString type = p.GetPacketType();
    if (type == u"Event")
        TrataEvento(p, connectionId);
    else if (type == u"Response")
        TrataResposta(p);
}

void TMonitor::TrataResposta(const TPacketManagerParser& p) {
    const QString response = p.GetValue(u"Response");
    const QString zxId = p.GetValue(u"ZXDBActionID");
    if (!zxId.isEmpty() && response == u"Error") {
        // A failed table query counts as an empty result: the load goes on. The last summary
        // query ends its refresh either way, so the windows show the counters just zeroed
        // rather than those of the refresh before.
        if (zxId == u"ZXDBDisClassificacaoChamadas") AtualizaResumoCampanhas(nullptr);
        SendAfter(zxId);
        return;
    }
    const QString id = p.GetValue(u"ActionID");
    if (LogAtivo)
        Loga(u"Response = " + response + u", ActionId = " + id + u", Message=" +
             p.GetValue(u"Message"));

    if (id == u"login") {
        if (response == u"Error") {
            // Through the monitor, so the status it reports (probe, dialogs) is this one too.
            SetStatusBar(QStringLiteral("Erro de login no Vesmara"));
            m_ui->SetBusyCursor(false);
            return;
        }
        SendAfter(id);
        return;
    }
    if (id.startsWith(u"VarDisCampanha-") || id.startsWith(u"VarDisTelefone-") ||
        id.startsWith(u"VarDisNome-")) {
        TrataVariavelDiscador(id, p);
        return;
    }
    if (id == u"SIPPeers" || id == u"KhompChannels" || id == u"DahdiChannels") {
        TrataSaidaComando(id, p);
        // Whatever the form ("Follows", or "Success" with "Output" lines), the answer is the
        // whole output: no event follows it.
        SendAfter(id);
        return;
    }
    if (id == u"UserInChat" && response == u"Success") {
        CriaChat();
        SendAfter(id);
    }
    if (response != u"Success") SendAfter(id);
}

void TMonitor::TrataEvento(const TPacketManagerParser& p, int connectionId) {
    const QString recebido = p.GetEvent();
    auto rota = m_rotasVistas.constFind(recebido);
    if (rota == m_rotasVistas.cend()) {
        if (m_rotasVistas.size() > 512) m_rotasVistas.clear();
        const QString nome = recebido.toLower();
        rota = m_rotasVistas.insert(recebido, {nome, EventTable().value(nome, nullptr)});
    }
    m_eventoAtual = rota->first;
    if (LogAtivo && p.GetValueView(u"ActionId") == u"ZXGetUserPermissions")
        Loga(u"Evento:" + m_eventoAtual + u" Canal:" + p.GetValue(u"Channel") + u" UID:" +
             p.GetValue(u"Uniqueid"));
    if (const EventHandler handler = rota->second) (this->*handler)(p, connectionId);
}

void TMonitor::EvZxDbEvent(const TPacketManagerParser& p, int) {
    const RowHandler handler = QueryTable().value(p.GetValue(u"ZXDBActionID"), nullptr);
    if (handler) (this->*handler)(p);
}

void TMonitor::EvZxDbComplete(const TPacketManagerParser& p, int) {
    const QString id = p.GetValue(u"ZXDBActionID");
    if (id == u"ZXDBListaPortas") {
        Portas.NumeraCanais();
    } else if (id == u"ZXDBListaCampanhasAtual") {
        AtualizaMenuDiscador();
        LeResumoCampanhas();
    } else if (id == u"ZXDBDisClassificacaoChamadas") {
        AtualizaResumoCampanhas(nullptr);
    }
    SendAfter(id);
}

void TMonitor::EvZxTimeStamp(const TPacketManagerParser& p, int) {
    const QString t = p.GetValue(u"TimeStamp");
    const double server = UnixTextToLocal(t);
    const double local = LocalNow();
    if (server > 0) {
        const qint64 seconds = WholeSecondsBetween(server, local);
        SetServerClockOffset(int(std::clamp<qint64>(seconds, INT_MIN, INT_MAX)));
    }
    if (LogAtivo)
        Loga(u"TimeStamp=" + t + u", DTServ=" + DateTimeText(server) + u", dtLocal=" +
             DateTimeText(local) + u", Diff=" + QString::number(ServerClockOffset()));
}

void TMonitor::EvFullyBooted(const TPacketManagerParser& p, int) {
    if (p.GetValueView(u"UsarLoginWindows") == u"1") UsarLoginWindows = true;
    TimerLogin.setInterval(50);
    ServerVersion = p.GetValue(u"Version");
}

void TMonitor::EvTitulo(const TPacketManagerParser& p, int) {
    ModoCSTA = p.GetValueView(u"CSTA") == u"1";
}

void TMonitor::EvListComplete(const TPacketManagerParser& p, int) {
    SendAfter(p.GetValue(u"ActionID"));
}

void TMonitor::EvQueueCallReasonCountComplete(const TPacketManagerParser& p, int) {
    CallReasonsCounted = true;
    const QString id = p.GetValue(u"ActionID");
    if (id.isEmpty()) {
        // An unsolicited recount: the call-reason charts of the queue windows follow it.
        m_avisos.MotivosRecontados.Emite();
        Q_EMIT CallReasonsRecounted();
        return;
    }
    SendAfter(id);
}

void TMonitor::EvQueueStatusComplete(const TPacketManagerParser& p, int connectionId) {
    const QString id = p.GetValue(u"ActionID");
    // The per-queue refreshes go without an id: this ends the oldest of them.
    if (id.isEmpty())
        StatusFilaConcluido(connectionId);
    else
        SendAfter(id);
}

void TMonitor::EvUserEvent(const TPacketManagerParser& p, int connectionId) {
    const QString userEvent = p.GetValue(u"UserEvent").toLower();
    if (userEvent == u"vchatevent")
        TrataEventoChat(p);
    else if (userEvent == u"zxnewcall")
        EvZxNewCall(p);
    (void)connectionId;
}
