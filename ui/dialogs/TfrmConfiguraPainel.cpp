#include "ui/dialogs/TfrmConfiguraPainel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfrmConfiguraPainel::TfrmConfiguraPainel(const std::vector<std::pair<QString, QString>>& filas,
                                         const TConfigPainel& config, QWidget* parent)
    : QDialog(parent), m_inicial(config),
      m_todas(new QCheckBox(QStringLiteral("Todas as filas"), this)),
      m_lista(new QListWidget(this)),
      m_atendentes(new QCheckBox(QStringLiteral("Mostrar atendentes"), this)),
      m_logados(new QCheckBox(QStringLiteral("Somente atendentes conectados"), this)),
      m_segundos(new QSpinBox(this)) {
    setObjectName(QStringLiteral("frmConfiguraPainel"));
    setWindowTitle(QStringLiteral("Configurar painel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Filas exibidas:"), this));
    layout->addWidget(m_todas);
    layout->addWidget(m_lista);
    m_lista->setAccessibleName(QStringLiteral("Filas exibidas"));
    for (const auto& [id, legenda] : filas) {
        auto* item = new QListWidgetItem(legenda, m_lista);
        item->setData(Qt::UserRole, id);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(config.Filas.contains(id) ? Qt::Checked : Qt::Unchecked);
    }
    m_todas->setChecked(config.Filas.isEmpty());
    layout->addWidget(m_atendentes);
    layout->addWidget(m_logados);
    m_atendentes->setChecked(config.MostrarAtendentes);
    m_logados->setChecked(config.SomenteLogados);
    auto* linha = new QHBoxLayout;
    auto* rotulo = new QLabel(QStringLiteral("Trocar de página a cada"), this);
    rotulo->setBuddy(m_segundos);
    linha->addWidget(rotulo);
    m_segundos->setRange(TConfigPainel::kRotacaoMinima, TConfigPainel::kRotacaoMaxima);
    m_segundos->setSuffix(QStringLiteral(" s"));
    m_segundos->setValue(config.SegundosRotacao);
    linha->addWidget(m_segundos);
    linha->addStretch();
    layout->addLayout(linha);

    auto* botoes = new QDialogButtonBox(this);
    m_ok = botoes->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(botoes);

    connect(m_todas, &QCheckBox::toggled, this, &TfrmConfiguraPainel::AtualizaEstado);
    connect(m_atendentes, &QCheckBox::toggled, this, &TfrmConfiguraPainel::AtualizaEstado);
    connect(m_lista, &QListWidget::itemChanged, this, &TfrmConfiguraPainel::AtualizaEstado);
    AtualizaEstado();
}

bool TfrmConfiguraPainel::PodeConfirmar() const {
    if (m_todas->isChecked()) return true;
    for (int i = 0; i < m_lista->count(); ++i)
        if (m_lista->item(i)->checkState() == Qt::Checked) return true;
    return false;
}

void TfrmConfiguraPainel::AtualizaEstado() {
    m_lista->setEnabled(!m_todas->isChecked());
    m_logados->setEnabled(m_atendentes->isChecked());
    // A wallboard of no queue at all is not a choice: "Todas as filas" is.
    m_ok->setEnabled(PodeConfirmar());
}

TConfigPainel TfrmConfiguraPainel::Resultado() const {
    TConfigPainel c = m_inicial;
    c.Filas.clear();
    if (!m_todas->isChecked())
        for (int i = 0; i < m_lista->count(); ++i)
            if (m_lista->item(i)->checkState() == Qt::Checked)
                c.Filas << m_lista->item(i)->data(Qt::UserRole).toString();
    c.MostrarAtendentes = m_atendentes->isChecked();
    c.SomenteLogados = m_logados->isChecked();
    c.SegundosRotacao = m_segundos->value();
    return c;
}
