// The life of one connection: where the address and user come from, opening the manager
// connection, the manager login, closing, and the automatic reconnection.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "link/SocketErrors.h"
#include "monitor/TMonitor.h"
#include "settings/TConfiguracao.h"
#include "settings/TPerfis.h"
#include "settings/TSettingsFolder.h"

#include <QFileInfo>

template <typename F> void TMonitor::GravaConfiguracao(F&& write) {
    if (UserDir.isEmpty()) return;
    try {
        write();
    } catch (const std::exception& e) {
        AppException(QString::fromUtf8(e.what()));
    }
}

void TMonitor::Inicia(const QString& userDir, QSize tela) {
    UserDir = userDir;
    WindowsUser = WindowsUserName();
    IP = QStringLiteral("127.0.0.1");
    Porta = 5038;
    Usuario.clear();
    Senha.clear();
    TelasAbrir.clear();
    CloseStep.clear();
    if (!UserDir.isEmpty()) Geral = LeConfiguracao(UserDir, tela);
    ConexaoAtiva = Geral.ConexaoAtiva;
    if (!NomePerfilValido(ConexaoAtiva) && !ConexaoAtiva.isEmpty()) ConexaoAtiva.clear();
}

void TMonitor::Mostrado() {
    m_ui->ActivateLogWindow();
    TimerConexao.start();
}

void TMonitor::Fecha() {
    m_vida.Muda(EstadoConexao::Fechando);
    EncerraConexao();
    Timer2.stop();
    TimerConexao.stop();
    TimerLogin.stop();
}

void TMonitor::LeConfiguracaoConexao() {
    if (UserDir.isEmpty()) return;
    const TConfiguracaoConexao c = ::LeConfiguracaoConexao(UserDir, ConexaoAtiva);
    IP = c.IP;
    Porta = c.Porta;
    Usuario = c.Usuario;
    Senha = c.Senha;
    SalvarSenha = c.SalvarSenha;
    TelasAbrir = c.TelasAbrir;
}

void TMonitor::TimerConexaoTimer() {
    TimerConexao.stop();
    // Only the first attempt of the run connects unasked; after a failure, a loss or a close
    // the dialog is offered.
    bool mostrar = m_vida.Estado() != EstadoConexao::Inicial;
    if (!mostrar) {
        LeConfiguracaoConexao();
        mostrar = IP.isEmpty();
    }
    if (mostrar) {
        m_ui->ShowConnectionDialog(m_vida.Reconnecting() ? 20 : 0);
        return;
    }
    m_ui->SetBusyCursor(true);
    if (!UserDir.isEmpty()) TelasAbrir = LeTelasAbrir(UserDir, ConexaoAtiva);
    Conectar();
}

void TMonitor::LimpaFlagsDoServidor() {
    ServerVersion.clear();
    ChatEnabled = false;
    CallReasonsCounted = false;
    QueueStatusLoaded = false;
    ModoCSTA = false;
    UsarLoginWindows = false;
}

void TMonitor::Conectar() {
    LimpaFlagsDoServidor();
    Permissoes.Limpa();
    // Refused while the window closes, and over an open connection (EncerraConexao first).
    if (!m_vida.Conecta()) return;
    m_ui->EnableSalvarComo(false);
    SetStatusBar(u"Conectando ao Vesmara (" + IP + u")");
    // A port out of range from a hand-edited profile cannot be opened.
    if (Porta < 1 || Porta > 65535) {
        OnClientManagerError(m_manager, kWsaAddrNotAvail);
        return;
    }
    m_manager->Connect(IP, quint16(Porta));
}

QString TMonitor::LoginAction() const {
    TActionText a(u"Login");
    a.Add(u"Username", QStringLiteral("supervisor"))
        .Add(u"Secret", QStringLiteral("kaluvre"))
        .Add(u"ClientType", QStringLiteral("MonitorVesmara"))
        .Add(u"ClientName", QStringLiteral("Monitor Vesmara"))
        .Add(u"ClientVersion", QString::fromLatin1(kVersao))
        .Add(u"VesmaraUser", Usuario)
        .Add(u"ActionId", QStringLiteral("login"));
    return a.Text();
}

void TMonitor::OnClientManagerConnect(TClientManager*) {
    m_vida.Muda(EstadoConexao::Logando);
    SetStatusBar(QStringLiteral("Conectado ao Vesmara"));
    Loga(u"Conectado ao Vesmara no IP " + IP);
    PerfilConfiguracaoId.clear();
    Permissoes.Limpa();
    SetServerClockOffset(0);
    LimpaFlagsDoServidor();
    // The user name travels in the login and, between quotes, in the user query: a name that
    // could break either is refused before anything is sent, and a corrected one reconnects.
    if (!IsSafeFilterValue(Usuario)) {
        SetStatusBar(QStringLiteral("Erro: Dados do usuário incorretos"));
        m_ui->SetBusyCursor(false);
        m_ui->ShowLoginDialog(1);
        return;
    }
    SendManager(LoginAction());
}

void TMonitor::OnClientManagerDisconnect(TClientManager*) {
    m_ui->EnableTrocarUsuario(false);
    SetStatusBar(QStringLiteral("Desconectado do Vesmara"));
    SetStatusBarUsuario({});
    if (m_chat->Connected) m_chat->Disconnect();
    m_refrescoCampanhas.Para();
    if (m_vida.Fechando()) return;
    // A close from this side has already left the connected states (EncerraConexao).
    const bool perdida = m_vida.Caiu();
    EncerraConexao();
    if (perdida) {
        TimerConexao.start();
        m_ui->ActivateLogWindow();
    }
}

void TMonitor::OnClientManagerError(TClientManager*, int code) {
    SetStatusBar(SocketErrorText(code));
    m_ui->SetBusyCursor(false);
    if (m_ui->ConnectionDialogOpen()) {
        m_vida.Falhou();
        m_ui->ConnectionDialogFailed(m_vida.Reconnecting() ? 40 : 0);
    } else if (m_vida.ConnectPending()) {
        // The dialog opens half a second later (with the countdown after a loss).
        m_vida.Falhou();
        TimerConexao.start();
    }
    m_refrescoCampanhas.Para();
    // The failure also reaches the error hook, and may be shown in a box: in the words of the
    // status bar, never the socket layer's own technical text.
    AppException(SocketErrorText(code));
}

void TMonitor::EncerraConexao() {
    CloseStep = QStringLiteral("1");
    TimerLogin.stop();
    // Nothing is left to refresh once the campaigns are emptied below.
    m_refrescoCampanhas.Para();
    if (m_manager->IsActive()) {
        // Closed from this side: the disconnect notice that follows offers no reconnection.
        m_vida.Muda(EstadoConexao::Desconectado);
        m_manager->Disconnect();
    }
    // Packets read before the loss but not yet handled belong to the closed connection: handled
    // after the model is emptied below, they would bring part of it back.
    PacketQueue.clear();
    TelasAbrir.clear();
    CloseStep = QStringLiteral("2");
    m_ui->CloseChatNotifications();
    if (m_ui->HasMonitoringWindows()) {
        TelasAbrir = m_ui->CloseAllWindows();
        GravaConfiguracao([this] {
            SalvaConfiguracao(UserDir, Geral, TConexaoSalva{IP, Porta, TelasAbrir});
        });
    }
    EsvaziaListas();
    CloseStep = QStringLiteral("9");
}

void TMonitor::EsvaziaListas() {
    m_avisos.CampanhasLiberadas.Emite();
    m_alertas->Limpa();
    UsuariosVesmara.Limpa();
    // Campaigns let go of their calls while the channels still exist: the campaigns themselves
    // are emptied later, after the channels are gone.
    Campanhas.SoltaChamadas();
    // Bridges point at channels: they go first, so none outlives a leg. Emptying announces
    // nothing (every window is closed by now).
    Ligacoes.Limpa();
    Canais.Limpa();
    Ramais.Limpa();
    CloseStep = QStringLiteral("5");
    Portas.Limpa();
    CloseStep = QStringLiteral("6");
    Troncos.Limpa();
    CloseStep = QStringLiteral("7");
    // Campaigns (they point at queues), the queues (their members point at agents) and the
    // agents. Refreshes still unanswered belong to the closed connection.
    Campanhas.Limpa();
    Filas.Limpa();
    EsqueceStatusFila(0);
    EsqueceStatusFila(1);
    CloseStep = QStringLiteral("8");
    Agentes.Limpa();
}

void TMonitor::SetaConexaoAtiva(const QString& nome) {
    ConexaoAtiva = nome;
    Geral.ConexaoAtiva = nome;
    m_ui->SetCaption(Caption());
}

QString TMonitor::Caption() const {
    return ConexaoAtiva.isEmpty() ? QStringLiteral("Monitor Vesmara")
                                  : u"Monitor Vesmara - " + ConexaoAtiva;
}

void TMonitor::menuConectarClick() {
    m_vida.CancelaReconexao();
    TimerConexaoTimer();
}

void TMonitor::menuDesconectarClick() {
    m_vida.Muda(EstadoConexao::Desconectado);
    EncerraConexao();
}

void TMonitor::menuTrocarUsuarioClick() {
    StartTimerLogin(MotivoLogin::TrocaUsuario);
}

void TMonitor::ConectarPeloDialogo(const QString& perfil, const QString& ip, const QString& porta) {
    EncerraConexao();
    SetaConexaoAtiva(NomePerfilValido(perfil) ? perfil : QString());
    IP = ip.trimmed();
    bool ok = false;
    Porta = porta.trimmed().toInt(&ok);
    if (!ok) Porta = 5038;
    if (!UserDir.isEmpty()) TelasAbrir = LeTelasAbrir(UserDir, ConexaoAtiva);
    GravaConfiguracao([this] {
        SalvaConfiguracao(UserDir, Geral, TConexaoSalva{IP, Porta, TelasAbrir});
    });
    LeConfiguracaoConexao();
    Conectar();
}

bool TMonitor::SalvarConexaoComo(const QString& nome, const QStringList& telasAbertas) {
    const QString name = nome.trimmed();
    if (name.isEmpty() || UserDir.isEmpty()) return false;
    if (!NomePerfilValido(name)) {
        SetStatusBar(QStringLiteral("Erro: Nome de conexão inválido"));
        return false;
    }
    TelasAbrir = telasAbertas;
    SetaConexaoAtiva(name);
    GravaConfiguracao([this] {
        SalvaConfiguracao(UserDir, Geral, TConexaoSalva{IP, Porta, TelasAbrir});
    });
    return QFileInfo::exists(ArquivoPerfil(UserDir, name));
}

void TMonitor::LoginPeloDialogo(const QString& usuario, const QString& senha, bool salvar,
                                int tag) {
    Usuario = usuario;
    Senha = senha;
    SalvarSenha = salvar;
    GravaConfiguracao(
        [this] { SalvaConfiguracaoUsuario(UserDir, ConexaoAtiva, Usuario, Senha, SalvarSenha); });
    if (tag == 1) {
        EncerraConexao();
        Conectar();
    } else {
        Logar();
    }
}

void TMonitor::SetaCorMotivoChamada(const QString& tipo, const QString& nome, int cor) {
    CoresMotivos.SetaCorMotivoChamada(tipo, nome, cor);
    GravaConfiguracao([this] {
        CoresMotivos.SalvaCoresMotivoChamada(ArquivoPerfilParaGravar(UserDir, ConexaoAtiva));
    });
}

void TMonitor::SalvaOpcoes() {
    GravaConfiguracao([this] { SalvaConfiguracao(UserDir, Geral); });
}

void TMonitor::FechaFormLogin() {
    m_ui->EnableSalvarComo(true);
    m_ui->SetCaption(Caption());
    SetStatusBar(u"Conectado ao Vesmara (IP: " + IP + u"). ");
    m_ui->CloseConnectionDialog();
    m_ui->CloseLoginDialog();
}

void TMonitor::TerminouCargaDeDados() {
    Loga(QStringLiteral("TerminouCargaDeDados"));
    m_ui->SetBusyCursor(false);
    FechaFormLogin();
    if (!UserDir.isEmpty()) TelasAbrir = LeTelasAbrir(UserDir, ConexaoAtiva);
    CoresMotivos.LimpaCoresMotivoChamada();
    if (!UserDir.isEmpty())
        CoresMotivos.CarregaCoresMotivoChamada(ArquivoPerfil(UserDir, ConexaoAtiva));
    IniciaAlertas();
    m_vida.Muda(EstadoConexao::Conectado);
    m_ui->CreateWindows(TelasAbrir);
    LeResumoCampanhas();
    m_ui->EnableTrocarUsuario(true);
    m_ui->LoadFinished();
    Q_EMIT LoadFinished();
}
