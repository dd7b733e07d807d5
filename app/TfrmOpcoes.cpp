#include "app/TfrmOpcoes.h"

#include "monitor/TMonitor.h"
#include "ui/dialogs/TPosicaoDialogo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmOpcoes::TfrmOpcoes(TMonitor* monitor, QWidget* parent)
    : QDialog(parent), m_monitor(monitor),
      m_notificar(new QCheckBox(QStringLiteral("Exibir notificação quando receber mensagem"))),
      m_tempo(new QComboBox) {
    setObjectName(QStringLiteral("frmOpcoes"));
    setWindowTitle(QStringLiteral("Opções"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    for (int s = 1; s <= 20; ++s)
        m_tempo->addItem(QString::number(s));
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    QLabel* chat = new QLabel(QStringLiteral("Chat"));
    QFont bold = chat->font();
    bold.setBold(true);
    chat->setFont(bold);
    pageLayout->addWidget(chat);
    pageLayout->addWidget(m_notificar);
    auto* tempo = new QHBoxLayout;
    tempo->addWidget(new QLabel(QStringLiteral("Tempo de exibição:")));
    tempo->addWidget(m_tempo);
    tempo->addWidget(new QLabel(QStringLiteral("seg")));
    tempo->addStretch();
    pageLayout->addLayout(tempo);
    pageLayout->addStretch();
    auto* tabs = new QTabWidget;
    tabs->addTab(page, QStringLiteral("Notificações"));

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmOpcoes::OkClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(512, 274);

    const TConfiguracaoGeral& g = m_monitor->Geral;
    m_notificar->setChecked(g.ChatRxMensagem);
    const int index = m_tempo->findText(QString::number(g.TempoNotificacao));
    m_tempo->setCurrentIndex(index >= 0 ? index : 4);
    PosicionaDialogo(this, QPoint(g.TelaLeft, g.TelaTop));
}

void TfrmOpcoes::OkClick() {
    TConfiguracaoGeral& g = m_monitor->Geral;
    g.ChatRxMensagem = m_notificar->isChecked();
    bool ok = false;
    const int tempo = m_tempo->currentText().toInt(&ok);
    g.TempoNotificacao = ok ? tempo : 5;
    g.TelaTop = y();
    g.TelaLeft = x();
    m_monitor->SalvaOpcoes();
    close();
}
