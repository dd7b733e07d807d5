// The status bar and the login of the platform user; the load sequence that follows it is
// TCargaDados.
#include "base/ActionText.h"
#include "base/Md5.h"
#include "monitor/TMonitor.h"

void TMonitor::SendAfterLogin() {
    m_carga.Inicia();
}

void TMonitor::SendAfter(const QString& id) {
    m_carga.Proximo(id);
}

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
    SendManager(TCargaDados::ConsultaTabela(QStringLiteral("ZXDBLoginVesmara"),
                                            QStringLiteral("user"), {}, filter));
}

void TMonitor::LoginRecusado() {
    SetStatusBar(QStringLiteral("Erro: Dados do usuário incorretos"));
    if (m_ui->LoginDialogOpen())
        m_ui->LoginDialogRetry();
    else
        StartTimerLogin(MotivoLogin::UsuarioRecusado);
}
