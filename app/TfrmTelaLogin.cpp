#include "app/TfrmTelaLogin.h"

#include "app/TLabelInformacao.h"
#include "monitor/TMonitor.h"
#include "settings/TConfiguracao.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTelaLogin::TfrmTelaLogin(TMonitor* monitor, int tag, QWidget* parent)
    : QDialog(parent), m_monitor(monitor), m_tag(tag), m_usuario(new QLineEdit(this)),
      m_senha(new QLineEdit(this)), m_salvar(new QCheckBox(QStringLiteral("Salvar"), this)),
      m_login(new QPushButton(QStringLiteral("Login"), this)),
      m_cancelar(new QPushButton(QStringLiteral("Cancelar"), this)),
      m_info(new TLabelInformacao(this)) {
    setObjectName(QStringLiteral("frmTelaLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(300);

    m_senha->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Usuário"), m_usuario);
    form->addRow(QStringLiteral("Senha"), m_senha);
    form->addRow(QString(), m_salvar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_login);
    buttons->addWidget(m_cancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Informe o usuário e senha para acessar o sistema"), this));
    layout->addLayout(form);
    layout->addWidget(m_info);
    layout->addLayout(buttons);

    // What the profile remembers; the password only when it was saved.
    TConfiguracaoConexao c;
    if (!m_monitor->UserDir.isEmpty())
        c = LeConfiguracaoConexao(m_monitor->UserDir, m_monitor->ConexaoAtiva);
    else {
        c.Usuario = m_monitor->Usuario;
        c.SalvarSenha = m_monitor->SalvarSenha;
        c.Senha = m_monitor->Senha;
    }
    m_usuario->setText(c.Usuario);
    m_salvar->setChecked(c.SalvarSenha);
    if (c.SalvarSenha) m_senha->setText(c.Senha);

    connect(m_login, &QPushButton::clicked, this, &TfrmTelaLogin::LoginClick);
    connect(m_cancelar, &QPushButton::clicked, this, &QDialog::close);
    // Enter in the password edit presses "Login".
    connect(m_senha, &QLineEdit::returnPressed, this, [this] {
        m_login->setFocus();
        LoginClick();
    });
    m_login->setDefault(true);
    (m_usuario->text().isEmpty() ? m_usuario : m_senha)->setFocus();
}

void TfrmTelaLogin::SetInformacao(const QString& text) {
    m_info->SetTexto(text);
}

void TfrmTelaLogin::HabilitaBotoes(bool enabled) {
    m_login->setEnabled(enabled);
    m_cancelar->setEnabled(enabled);
}

void TfrmTelaLogin::LoginClick() {
    if (!m_login->isEnabled()) return;
    HabilitaBotoes(false);
    m_monitor->LoginPeloDialogo(m_usuario->text(), m_senha->text(), m_salvar->isChecked(), m_tag);
}
