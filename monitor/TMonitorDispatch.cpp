// The packet dispatcher: responses advance the load sequence, events and table-query rows are
// routed by name to the domain of the model that registered them.
#include "base/Clock.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

#include <algorithm>
#include <climits>

// Every domain of the model the dispatcher routes to. A new domain writes its table next to its
// handlers and adds one line here.
const std::vector<const TMonitor::TDominio*>& TMonitor::Dominios() {
    static const std::vector<const TDominio*> dominios = {
        &DominioConexao(),   &DominioTelefonia(), &DominioCallCenter(),
        &DominioCampanhas(), &DominioUsuarios(),  &DominioChat(),
    };
    return dominios;
}

const TMonitor::TTabelas& TMonitor::Tabelas() {
    static const TTabelas tabelas = [] {
        TTabelas t;
        for (const TDominio* d : Dominios()) {
            const QString dono = QString::fromLatin1(d->Nome) + u": ";
            for (const auto& [nome, trata] : d->Eventos) {
                if (t.Eventos.contains(nome))
                    t.Conflitos << dono + nome;
                else
                    t.Eventos.insert(nome, {trata, d});
            }
            for (const auto& [nome, trata] : d->Linhas) {
                if (t.Linhas.contains(nome))
                    t.Conflitos << dono + nome;
                else
                    t.Linhas.insert(nome, {trata, d});
            }
        }
        return t;
    }();
    return tabelas;
}

QString TMonitor::DominioDoEvento(const QString& evento) {
    const auto it = Tabelas().Eventos.constFind(evento);
    return it == Tabelas().Eventos.cend() ? QString() : QString::fromLatin1(it->Dominio->Nome);
}

QString TMonitor::DominioDaLinha(const QString& consulta) {
    const auto it = Tabelas().Linhas.constFind(consulta);
    return it == Tabelas().Linhas.cend() ? QString() : QString::fromLatin1(it->Dominio->Nome);
}

QStringList TMonitor::ConflitosDeRegistro() {
    return Tabelas().Conflitos;
}

// The link's own events: the load's complete-markers, table queries, the server's clock and
// what it tells about itself.
const TMonitor::TDominio& TMonitor::DominioConexao() {
    static const TDominio d{
        "Conexao",
        {
            {QStringLiteral("zxtimestamp"), &TMonitor::EvZxTimeStamp},
            {QStringLiteral("zxdbevent"), &TMonitor::EvZxDbEvent},
            {QStringLiteral("zxdbcomplete"), &TMonitor::EvZxDbComplete},
            {QStringLiteral("statuscomplete"), &TMonitor::EvListComplete},
            {QStringLiteral("agentscomplete"), &TMonitor::EvListComplete},
            {QStringLiteral("queuestatuscomplete"), &TMonitor::EvQueueStatusComplete},
            {QStringLiteral("queuecallreasoncountcomplete"),
             &TMonitor::EvQueueCallReasonCountComplete},
            {QStringLiteral("userevent"), &TMonitor::EvUserEvent},
            {QStringLiteral("titulo"), &TMonitor::EvTitulo},
            {QStringLiteral("fullybooted"), &TMonitor::EvFullyBooted},
        },
        {}};
    return d;
}

// External-chat lines on the manager connection go to the conversation monitors; the unread
// counts of the internal chat come as table rows.
const TMonitor::TDominio& TMonitor::DominioChat() {
    static const TDominio d{
        "Chat",
        {
            {QStringLiteral("chatchannelmessage"), &TMonitor::EvChatExterno},
            {QStringLiteral("chatchannelmessagescomplete"), &TMonitor::EvChatExterno},
            {QStringLiteral("chatnewmessage"), &TMonitor::EvChatExterno},
            {QStringLiteral("chatchannelstate"), &TMonitor::EvChatExterno},
        },
        {{QStringLiteral("ZXDBMensagensNaLidasChat"), &TMonitor::RowMensagensNaoLidasChat}}};
    return d;
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
        if (zxId == TRefrescoCampanhas::kUltimaConsulta) AtualizaResumoCampanhas(nullptr);
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
        rota = m_rotasVistas.insert(recebido, {nome, Tabelas().Eventos.value(nome).Trata});
    }
    m_eventoAtual = rota->first;
    if (LogAtivo && p.GetValueView(u"ActionId") == u"ZXGetUserPermissions")
        Loga(u"Evento:" + m_eventoAtual + u" Canal:" + p.GetValue(u"Channel") + u" UID:" +
             p.GetValue(u"Uniqueid"));
    if (const EventHandler handler = rota->second) (this->*handler)(p, connectionId);
}

void TMonitor::EvZxDbEvent(const TPacketManagerParser& p, int) {
    const RowHandler handler = Tabelas().Linhas.value(p.GetValue(u"ZXDBActionID")).Trata;
    if (handler) (this->*handler)(p);
}

void TMonitor::EvZxDbComplete(const TPacketManagerParser& p, int) {
    const QString id = p.GetValue(u"ZXDBActionID");
    if (id == u"ZXDBListaPortas") {
        Portas.NumeraCanais();
    } else if (id == u"ZXDBListaCampanhasAtual") {
        AtualizaMenuDiscador();
        LeResumoCampanhas();
    } else if (id == TRefrescoCampanhas::kUltimaConsulta) {
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
