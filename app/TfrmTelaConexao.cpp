#include "app/TfrmTelaConexao.h"

#include "app/TLabelInformacao.h"
#include "link/SocketErrors.h"
#include "monitor/TMonitor.h"
#include "settings/TConfiguracao.h"
#include "settings/TPerfis.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTelaConexao::TfrmTelaConexao(TMonitor* monitor, std::function<QStringList()> telasAbertas,
                                 QWidget* parent)
    : QDialog(parent), m_monitor(monitor), m_telasAbertas(std::move(telasAbertas)),
      m_perfis(new QComboBox(this)), m_ip(new QLineEdit(this)), m_porta(new QLineEdit(this)),
      m_conectar(new QPushButton(QStringLiteral("Conectar"), this)),
      m_cancelar(new QPushButton(QStringLiteral("Cancelar"), this)),
      m_info(new TLabelInformacao(this)) {
    setObjectName(QStringLiteral("frmTelaConexao"));
    setWindowTitle(QStringLiteral("Conectar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    resize(260, 208);

    m_perfis->setInsertPolicy(QComboBox::NoInsert);
    m_porta->setValidator(new QIntValidator(1, 65535, m_porta));
    QFont bold = m_conectar->font();
    bold.setBold(true);
    m_conectar->setFont(bold);
    m_conectar->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Conexão"), m_perfis);
    form->addRow(QStringLiteral("IP do servidor"), m_ip);
    form->addRow(QStringLiteral("Porta"), m_porta);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_conectar);
    buttons->addWidget(m_cancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_info);
    layout->addLayout(buttons);

    m_info->SetTexto(QString());
    m_perfis->addItems(ListaPerfis(m_monitor->UserDir));
    m_perfis->setCurrentIndex(-1);
    m_porta->setText(QStringLiteral("5038"));

    connect(m_perfis, &QComboBox::activated, this,
            [this](int index) { CarregaEndereco(m_perfis->itemText(index)); });
    connect(m_conectar, &QPushButton::clicked, this, &TfrmTelaConexao::ConectarClick);
    connect(m_cancelar, &QPushButton::clicked, this, &QDialog::close);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TfrmTelaConexao::ContagemTick);
    m_conectar->setFocus();
}

void TfrmTelaConexao::SetInformacao(const QString& text) {
    m_info->SetTexto(text);
}

void TfrmTelaConexao::CarregaEndereco(const QString& perfil) {
    const TConfiguracaoConexao c = LeConfiguracaoConexao(m_monitor->UserDir, perfil);
    m_ip->setText(c.IP);
    m_porta->setText(QString::number(c.Porta));
}

void TfrmTelaConexao::SelecionaPerfil(const QString& nome) {
    // The default profile is the empty entry; it is selected too when its file exists, so a
    // countdown never reconnects (and saves) with an empty address.
    const int index = m_perfis->findText(nome, Qt::MatchExactly);
    m_perfis->setCurrentIndex(index);
    if (index >= 0) CarregaEndereco(nome);
}

void TfrmTelaConexao::IniciaContagem(int segundos) {
    m_contagem = segundos;
    if (segundos > 0)
        m_timer.start();
    else
        m_timer.stop();
}

void TfrmTelaConexao::ContagemTick() {
    if (m_contagem < 1) {
        m_timer.stop();
        ConectarClick();
        return;
    }
    --m_contagem;
    if (m_contagem < 30) SetInformacao(u"Reconectar em " + QString::number(m_contagem) + u"s...");
}

void TfrmTelaConexao::HabilitaBotoes(bool enabled) {
    m_conectar->setEnabled(enabled);
    m_cancelar->setEnabled(enabled);
}

void TfrmTelaConexao::SetModoSalvar(bool salvar) {
    m_modoSalvar = salvar;
    m_perfis->setEditable(salvar);
    if (salvar) {
        m_perfis->setCurrentText(m_monitor->ConexaoAtiva);
        m_ip->setText(m_monitor->IP);
        m_porta->setText(QString::number(m_monitor->Porta));
        m_conectar->setText(QStringLiteral("Salvar"));
    } else {
        m_conectar->setText(QStringLiteral("Conectar"));
    }
}

void TfrmTelaConexao::ConectarClick() {
    if (m_modoSalvar) {
        const QString nome = m_perfis->currentText().trimmed();
        if (nome.isEmpty()) return;
        if (m_monitor->SalvarConexaoComo(nome, m_telasAbertas())) close();
        return;
    }
    m_timer.stop();
    // Nothing to connect to: say so, and leave the dialog as it is for the address to be typed.
    if (m_ip->text().trimmed().isEmpty()) {
        SetInformacao(SocketErrorText(kWsaDestAddrReq));
        m_ip->setFocus();
        return;
    }
    HabilitaBotoes(false);
    const QString perfil = m_perfis->currentIndex() >= 0 || m_perfis->isEditable()
                               ? m_perfis->currentText()
                               : m_monitor->ConexaoAtiva;
    m_monitor->ConectarPeloDialogo(perfil, m_ip->text(), m_porta->text());
}
