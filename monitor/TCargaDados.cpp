#include "monitor/TCargaDados.h"

#include "base/ActionText.h"
#include "base/Clock.h"
#include "monitor/TMonitor.h"

namespace {

QString Comando(const QString& id, const QString& comando) {
    return Action(u"Command", {{u"ActionId", id}, {u"Command", comando}});
}

// Every per-profile query filters on the active configuration profile.
QString DoPerfil(const QString& perfil) {
    return u"where PerfilConfiguracaoId = '" + FilterValue(perfil) + u"'";
}

// A step of the middle of the sequence: the step that ended, the status text shown then (none:
// the text stays), and the next request for the configuration profile.
struct TPasso {
    const char16_t* Terminou;
    const char16_t* Texto;
    QString (*Pedido)(const QString& perfil);
};

const TPasso kPassos[] = {
    {u"ZXDBListaPerfilConfiguracao", u"Carregando configuração...",
     [](const QString&) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaPortas"),
                                            QStringLiteral("Porta"), {},
                                            QStringLiteral("order by Placa,Canal"));
     }},
    {u"ZXDBListaPortas", u"Carregando ramais...",
     [](const QString& perfil) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaRamais"),
                                            QStringLiteral("Ramal"), {},
                                            DoPerfil(perfil) + u" order by RamalId");
     }},
    {u"ZXDBListaRamais", u"Carregando troncos...",
     [](const QString& perfil) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaTroncos"),
                                            QStringLiteral("Tronco"), {},
                                            DoPerfil(perfil) + u" order by TroncoId");
     }},
    {u"ZXDBListaTroncos", u"Carregando informações: SIP...",
     [](const QString&) {
         return Comando(QStringLiteral("SIPPeers"), QStringLiteral("sip show peers"));
     }},
    {u"SIPPeers", nullptr,
     [](const QString&) {
         return Comando(QStringLiteral("KhompChannels"), QStringLiteral("khomp channels show"));
     }},
    {u"KhompChannels", nullptr,
     [](const QString&) {
         return Comando(QStringLiteral("DahdiChannels"), QStringLiteral("dahdi show channels"));
     }},
    {u"DahdiChannels", u"Carregando motivos de pausa...",
     [](const QString& perfil) {
         return TCargaDados::ConsultaTabela(
             QStringLiteral("ZXDBListaMotivosPausa"), QStringLiteral("MotivoPausa"),
             QStringLiteral("MotivoPausaId, Nome, Produtivo"), DoPerfil(perfil));
     }},
    {u"ZXDBListaMotivosPausa", u"Carregando atendentes...",
     [](const QString& perfil) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaAgentes"),
                                            QStringLiteral("Atendente"),
                                            QStringLiteral("AtendenteId, Nome"), DoPerfil(perfil));
     }},
    {u"ZXDBListaAgentes", u"Carregando Filas...",
     [](const QString& perfil) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaFilas"),
                                            QStringLiteral("Fila"), {},
                                            DoPerfil(perfil) + u" and Ativa = 1");
     }},
    {u"ZXDBListaFilas", u"Carregando Campanhas...",
     [](const QString&) {
         return TCargaDados::ConsultaTabela(QStringLiteral("ZXDBListaCampanhas"),
                                            QStringLiteral("DisCampanha"));
     }},
    {u"ZXDBListaCampanhas", u"Carregando atendentes...",
     [](const QString&) {
         return Action(u"Agents", {{u"ActionId", QStringLiteral("Agents")}});
     }},
    {u"Agents", u"Carregando chamadas ativas...",
     [](const QString&) {
         return Action(u"Status", {{u"ActionId", QStringLiteral("Status")}});
     }},
    {u"Status", u"Carregando chamadas nas filas...",
     [](const QString&) {
         return TCargaDados::ConsultaTabela(
             QStringLiteral("ZXDBChamadasAtivasFilas"), QStringLiteral("ChamadasAtivas"),
             QStringLiteral(
                 "UniqueId, DestinoInternoId, BridgeChannel, TimeStamp, TimeStampAtendimento"),
             QStringLiteral("where DestinoInterno = 'Fila' order by TimeStamp desc"));
     }},
    {u"ZXDBChamadasAtivasFilas", nullptr,
     [](const QString&) {
         return Action(u"QueueCallReasonCount",
                       {{u"ActionId", QStringLiteral("QueueCallReasonCount")}});
     }},
    {u"QueueCallReasonCount", nullptr,
     [](const QString&) {
         return TCargaDados::ConsultaTabela(
             QStringLiteral("ZXDBUsuariosVesmara"), QStringLiteral("user"),
             QStringLiteral("user,tipo,nome"), QStringLiteral("where tipo is null or tipo = 'u'"));
     }},
    {u"ZXDBUsuariosVesmara", u"Carregando status das filas...",
     [](const QString&) {
         return Action(u"QueueStatus", {{u"ActionId", QStringLiteral("QueueStatus")}});
     }},
};

} // namespace

QString TCargaDados::ConsultaTabela(const QString& id, const QString& tabela, const QString& campos,
                                    const QString& filtro) {
    TActionText a(u"ZXDBCommand");
    a.Add(u"ActionId", id).Add(u"Command", QStringLiteral("List")).Add(u"Table", tabela);
    if (!campos.isEmpty()) a.Add(u"Fields", campos);
    if (!filtro.isEmpty()) a.Add(u"Filter", filtro);
    return a.Text();
}

void TCargaDados::Inicia() {
    TMonitor& m = m_monitor;
    m.m_toquesGuardados.clear();
    m_guardandoToques = true;
    m_passosChat = false;
    m.m_vida.Muda(EstadoConexao::Carregando);
    m.SetStatusBar(QStringLiteral("Carregando configuração..."));
    m.SendManager(Action(u"ZXTimeStamp", {{u"ActionId", QStringLiteral("ZXTimeStamp")}}));
    m.SendManager(ConsultaTabela(QStringLiteral("ZXDBListaPerfilConfiguracao"),
                                 QStringLiteral("PerfilConfiguracao")));
}

void TCargaDados::Proximo(const QString& id) {
    if (id == u"login" || id == u"ZXDBLoginVesmara" || id == u"ZXDBListaPermissaoUsuarioExtra") {
        DepoisDoLogin(id);
    } else if (id == u"QueueStatus") {
        DepoisDoStatusDasFilas();
    } else if (id == u"UserInChat" || id == u"ZXDBMensagensNaLidasChat" ||
               id == u"UnreadMessagesUserInChat" || id == u"LastMessagesUserInChat") {
        // A late or repeated answer after the chat steps must not end the load a second time
        // (that would reopen every window and connect the chat server again).
        if (m_passosChat) DepoisDoChat(id);
    } else {
        PassoDaTabela(id);
    }
}

bool TCargaDados::PassoDaTabela(const QString& id) {
    for (const TPasso& passo : kPassos) {
        if (id != QStringView(passo.Terminou)) continue;
        TMonitor& m = m_monitor;
        if (passo.Texto) m.SetStatusBar(QString::fromUtf16(passo.Texto));
        // A second load on the same connection (change of user) loads the telephony afresh.
        if (id == u"ZXDBListaPerfilConfiguracao") m.PreparaCargaTelefonia();
        m.SendManager(passo.Pedido(m.PerfilConfiguracaoId));
        return true;
    }
    return false;
}

void TCargaDados::DepoisDoLogin(const QString& id) {
    TMonitor& m = m_monitor;
    if (id == u"login") {
        m.m_ui->CloseConnectionDialog();
        m.TimerLogin.setInterval(3000);
        m.TimerLogin.start();
    } else if (id == u"ZXDBLoginVesmara") {
        if (m.Permissoes.Usuario.isEmpty()) {
            m.LoginRecusado();
        } else if (m.Permissoes.Tipo != u"u" && m.Permissoes.Tipo != u"a") {
            Inicia();
        } else if (!m.Permissoes.IdUser.isEmpty()) {
            m.SendManager(Action(u"ZXGetUserPermissions",
                                 {{u"ActionId", QStringLiteral("ZXGetUserPermissions")},
                                  {u"User", m.Permissoes.Usuario}}));
        } else {
            const QString filtro =
                u"where Usuario=\"" + FilterValue(m.Permissoes.NomeConsulta()) + u"\"";
            m.SendManager(ConsultaTabela(QStringLiteral("ZXDBListaPermissaoUsuario"),
                                         QStringLiteral("PermissaoUsuario"), {}, filtro));
            m.SendManager(ConsultaTabela(QStringLiteral("ZXDBListaPermissaoUsuarioExtra"),
                                         QStringLiteral("PermissaoUsuarioExtra"), {}, filtro));
        }
    } else {
        // The second permission table completed (the first one's completion moves nothing).
        Inicia();
    }
}

void TCargaDados::DepoisDoStatusDasFilas() {
    TMonitor& m = m_monitor;
    m.QueueStatusLoaded = true;
    // Every channel, agent and queue call is listed by now.
    m.AplicaToquesGuardados();
    m_guardandoToques = false;
    if (m.TemPermissaoChat()) {
        m_passosChat = true;
        m.SetStatusBar(QStringLiteral("Iniciando chat..."));
        TActionText a(u"VChatAction");
        a.Add(u"VChatAction", QStringLiteral("UserIn"))
            .Add(u"ActionId", QStringLiteral("UserInChat"))
            .Add(u"User", m.Permissoes.Usuario);
        m.SendManager(a.Text());
    } else {
        m.ConectaChat();
    }
}

void TCargaDados::DepoisDoChat(const QString& id) {
    TMonitor& m = m_monitor;
    if (id != u"UserInChat" || !m.ChatIniciado) {
        m_passosChat = false;
        m.ConectaChat();
        return;
    }
    m.SetStatusBar(QStringLiteral("Carregando informações chat..."));
    m.SendManager(Action(u"VChatAction", {{u"VChatAction", QStringLiteral("GetUsersIn")}}));
    if (CompareVersions(m.ServerVersion, QStringLiteral("1.2.66.0")) < 1) {
        m.SendManager(ConsultaTabela(
            QStringLiteral("ZXDBMensagensNaLidasChat"),
            QStringLiteral("ChatMensagemDe D, ChatMensagemPara P"),
            QStringLiteral(
                "D.De, count(D.idChatMensagemDe) as Total, min(D.DataEnvio) as MaisAntiga"),
            u"WHERE D.idChatMensagemDe = P.idChatMensagemDe AND P.Para = '" +
                FilterValue(m.Permissoes.Usuario) + u"' AND DataLeitura IS NULL GROUP BY D.De"));
    } else {
        m.SendManager(
            Action(u"VChatAction", {{u"VChatAction", QStringLiteral("UnreadMessages")},
                                    {u"ActionId", QStringLiteral("UnreadMessagesUserInChat")}}));
    }
}
