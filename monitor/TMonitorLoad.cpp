// Login of the platform user and the fixed sequence of requests that loads configuration and
// live state, one step per answer.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "base/Md5.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

namespace {

QString TableQuery(const QString& id, const QString& table, const QString& fields = {},
                   const QString& filter = {}) {
    TActionText a(u"ZXDBCommand");
    a.Add(u"ActionId", id).Add(u"Command", QStringLiteral("List")).Add(u"Table", table);
    if (!fields.isEmpty()) a.Add(u"Fields", fields);
    if (!filter.isEmpty()) a.Add(u"Filter", filter);
    return a.Text();
}

QString Command(const QString& id, const QString& command) {
    return Action(u"Command", {{u"ActionId", id}, {u"Command", command}});
}

} // namespace

void TMonitor::SetStatusBar(const QString& text) {
    StatusText = text;
    m_ui->SetStatusBar(text);
    Q_EMIT StatusChanged(text);
}

void TMonitor::SetStatusBarUsuario(const QString& name) {
    m_ui->SetStatusBarUsuario(u"Usuário: " + name);
}

void TMonitor::TimerLoginTimer() {
    TimerLogin.stop();
    const MotivoLogin motivo = m_vida.TomaMotivoLogin();
    TimerLogin.setInterval(500);
    if (motivo == MotivoLogin::Normal && (SalvarSenha || UsarLoginWindows)) {
        Logar();
        return;
    }
    m_ui->SetBusyCursor(false);
    if (motivo == MotivoLogin::UsuarioRecusado && UsarLoginWindows) return;
    if (m_ui->LoginDialogOpen())
        Logar();
    else
        m_ui->ShowLoginDialog(int(motivo));
}

void TMonitor::StartTimerLogin(MotivoLogin motivo) {
    m_vida.PedeLogin(motivo);
    TimerLogin.start();
}

void TMonitor::Logar() {
    SetStatusBar(QStringLiteral("Efetuando login no Vesmara..."));
    const QString name = UsarLoginWindows ? WindowsUser : Usuario;
    SetStatusBarUsuario(name);
    // The name goes between quotes into the server's query: anything that could close the
    // quote or break the line is refused before a byte is sent.
    if (name.isEmpty() || !IsSafeFilterValue(name)) {
        LoginRecusado();
        return;
    }
    QString filter;
    if (UsarLoginWindows)
        filter = u"where lower(user) = \"" + name.toLower() + u"\"";
    else
        filter = u"where user = \"" + name + u"\"and pass = \"" + Md5Hex(Senha) + u"\"";
    SendManager(TableQuery(QStringLiteral("ZXDBLoginVesmara"), QStringLiteral("user"), {}, filter));
}

void TMonitor::LoginRecusado() {
    SetStatusBar(QStringLiteral("Erro: Dados do usuário incorretos"));
    if (m_ui->LoginDialogOpen())
        m_ui->LoginDialogRetry();
    else
        StartTimerLogin(MotivoLogin::UsuarioRecusado);
}

void TMonitor::SendAfterLogin() {
    m_toquesGuardados.clear();
    m_guardaToques = true;
    m_vida.Muda(EstadoConexao::Carregando);
    SetStatusBar(QStringLiteral("Carregando configuração..."));
    SendManager(Action(u"ZXTimeStamp", {{u"ActionId", QStringLiteral("ZXTimeStamp")}}));
    SendManager(TableQuery(QStringLiteral("ZXDBListaPerfilConfiguracao"),
                           QStringLiteral("PerfilConfiguracao")));
}

void TMonitor::SendAfter(const QString& id) {
    // Every per-profile query filters on the active configuration profile.
    auto perfil = [this] {
        return QString(u"where PerfilConfiguracaoId = '" + FilterValue(PerfilConfiguracaoId) +
                       u"'");
    };

    if (id == u"login") {
        m_ui->CloseConnectionDialog();
        TimerLogin.setInterval(3000);
        TimerLogin.start();
    } else if (id == u"ZXDBLoginVesmara") {
        if (Permissoes.Usuario.isEmpty()) {
            LoginRecusado();
        } else if (Permissoes.Tipo != u"u" && Permissoes.Tipo != u"a") {
            SendAfterLogin();
        } else if (!Permissoes.IdUser.isEmpty()) {
            SendManager(Action(u"ZXGetUserPermissions",
                               {{u"ActionId", QStringLiteral("ZXGetUserPermissions")},
                                {u"User", Permissoes.Usuario}}));
        } else {
            const QString filter =
                u"where Usuario=\"" + FilterValue(Permissoes.NomeConsulta()) + u"\"";
            SendManager(TableQuery(QStringLiteral("ZXDBListaPermissaoUsuario"),
                                   QStringLiteral("PermissaoUsuario"), {}, filter));
            SendManager(TableQuery(QStringLiteral("ZXDBListaPermissaoUsuarioExtra"),
                                   QStringLiteral("PermissaoUsuarioExtra"), {}, filter));
        }
    } else if (id == u"ZXDBListaPermissaoUsuarioExtra") {
        SendAfterLogin();
    } else if (id == u"ZXDBListaPerfilConfiguracao") {
        SetStatusBar(QStringLiteral("Carregando configuração..."));
        PreparaCargaTelefonia();
        SendManager(TableQuery(QStringLiteral("ZXDBListaPortas"), QStringLiteral("Porta"), {},
                               QStringLiteral("order by Placa,Canal")));
    } else if (id == u"ZXDBListaPortas") {
        SetStatusBar(QStringLiteral("Carregando ramais..."));
        SendManager(TableQuery(QStringLiteral("ZXDBListaRamais"), QStringLiteral("Ramal"), {},
                               perfil() + u" order by RamalId"));
    } else if (id == u"ZXDBListaRamais") {
        SetStatusBar(QStringLiteral("Carregando troncos..."));
        SendManager(TableQuery(QStringLiteral("ZXDBListaTroncos"), QStringLiteral("Tronco"), {},
                               perfil() + u" order by TroncoId"));
    } else if (id == u"ZXDBListaTroncos") {
        SetStatusBar(QStringLiteral("Carregando informações: SIP..."));
        SendManager(Command(QStringLiteral("SIPPeers"), QStringLiteral("sip show peers")));
    } else if (id == u"SIPPeers") {
        SendManager(
            Command(QStringLiteral("KhompChannels"), QStringLiteral("khomp channels show")));
    } else if (id == u"KhompChannels") {
        SendManager(
            Command(QStringLiteral("DahdiChannels"), QStringLiteral("dahdi show channels")));
    } else if (id == u"DahdiChannels") {
        SetStatusBar(QStringLiteral("Carregando motivos de pausa..."));
        SendManager(TableQuery(QStringLiteral("ZXDBListaMotivosPausa"),
                               QStringLiteral("MotivoPausa"),
                               QStringLiteral("MotivoPausaId, Nome, Produtivo"), perfil()));
    } else if (id == u"ZXDBListaMotivosPausa") {
        SetStatusBar(QStringLiteral("Carregando atendentes..."));
        SendManager(TableQuery(QStringLiteral("ZXDBListaAgentes"), QStringLiteral("Atendente"),
                               QStringLiteral("AtendenteId, Nome"), perfil()));
    } else if (id == u"ZXDBListaAgentes") {
        SetStatusBar(QStringLiteral("Carregando Filas..."));
        SendManager(TableQuery(QStringLiteral("ZXDBListaFilas"), QStringLiteral("Fila"), {},
                               perfil() + u" and Ativa = 1"));
    } else if (id == u"ZXDBListaFilas") {
        SetStatusBar(QStringLiteral("Carregando Campanhas..."));
        SendManager(
            TableQuery(QStringLiteral("ZXDBListaCampanhas"), QStringLiteral("DisCampanha")));
    } else if (id == u"ZXDBListaCampanhas") {
        SetStatusBar(QStringLiteral("Carregando atendentes..."));
        SendManager(Action(u"Agents", {{u"ActionId", QStringLiteral("Agents")}}));
    } else if (id == u"Agents") {
        SetStatusBar(QStringLiteral("Carregando chamadas ativas..."));
        SendManager(Action(u"Status", {{u"ActionId", QStringLiteral("Status")}}));
    } else if (id == u"Status") {
        SetStatusBar(QStringLiteral("Carregando chamadas nas filas..."));
        SendManager(TableQuery(
            QStringLiteral("ZXDBChamadasAtivasFilas"), QStringLiteral("ChamadasAtivas"),
            QStringLiteral(
                "UniqueId, DestinoInternoId, BridgeChannel, TimeStamp, TimeStampAtendimento"),
            QStringLiteral("where DestinoInterno = 'Fila' order by TimeStamp desc")));
    } else if (id == u"ZXDBChamadasAtivasFilas") {
        SendManager(Action(u"QueueCallReasonCount",
                           {{u"ActionId", QStringLiteral("QueueCallReasonCount")}}));
    } else if (id == u"QueueCallReasonCount") {
        SendManager(TableQuery(QStringLiteral("ZXDBUsuariosVesmara"), QStringLiteral("user"),
                               QStringLiteral("user,tipo,nome"),
                               QStringLiteral("where tipo is null or tipo = 'u'")));
    } else if (id == u"ZXDBUsuariosVesmara") {
        SetStatusBar(QStringLiteral("Carregando status das filas..."));
        SendManager(Action(u"QueueStatus", {{u"ActionId", QStringLiteral("QueueStatus")}}));
    } else if (id == u"QueueStatus") {
        QueueStatusLoaded = true;
        // Every channel, agent and queue call is listed by now.
        AplicaToquesGuardados();
        m_guardaToques = false;
        if (TemPermissaoChat()) {
            SetStatusBar(QStringLiteral("Iniciando chat..."));
            TActionText a(u"VChatAction");
            a.Add(u"VChatAction", QStringLiteral("UserIn"))
                .Add(u"ActionId", QStringLiteral("UserInChat"))
                .Add(u"User", Permissoes.Usuario);
            SendManager(a.Text());
        } else {
            ConectaChat();
        }
    } else if (id == u"UserInChat") {
        if (!ChatIniciado) {
            ConectaChat();
            return;
        }
        SetStatusBar(QStringLiteral("Carregando informações chat..."));
        SendManager(Action(u"VChatAction", {{u"VChatAction", QStringLiteral("GetUsersIn")}}));
        if (CompareVersions(ServerVersion, QStringLiteral("1.2.66.0")) < 1) {
            SendManager(TableQuery(
                QStringLiteral("ZXDBMensagensNaLidasChat"),
                QStringLiteral("ChatMensagemDe D, ChatMensagemPara P"),
                QStringLiteral(
                    "D.De, count(D.idChatMensagemDe) as Total, min(D.DataEnvio) as MaisAntiga"),
                u"WHERE D.idChatMensagemDe = P.idChatMensagemDe AND P.Para = '" +
                    FilterValue(Permissoes.Usuario) + u"' AND DataLeitura IS NULL GROUP BY D.De"));
        } else {
            SendManager(Action(u"VChatAction",
                               {{u"VChatAction", QStringLiteral("UnreadMessages")},
                                {u"ActionId", QStringLiteral("UnreadMessagesUserInChat")}}));
        }
    } else if (id == u"ZXDBMensagensNaLidasChat" || id == u"UnreadMessagesUserInChat" ||
               id == u"LastMessagesUserInChat") {
        ConectaChat();
    }
}
