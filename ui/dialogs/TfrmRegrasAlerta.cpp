#include "ui/dialogs/TfrmRegrasAlerta.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmRegrasAlerta::TfrmRegrasAlerta(QWidget* parent)
    : QDialog(parent), m_tabela(new QTableWidget(0, 3)),
      m_notificar(new QCheckBox(QStringLiteral("Notificar na área de trabalho"))),
      m_som(new QCheckBox(QStringLiteral("Tocar um som"))), m_erro(new QLabel) {
    setWindowTitle(QStringLiteral("Regras de alerta"));
    resize(560, 360);
    m_tabela->setHorizontalHeaderLabels(
        {QStringLiteral("Alerta"), QStringLiteral("Fila / motivo"), QStringLiteral("Limite")});
    m_tabela->horizontalHeader()->resizeSection(cTipo, 290);
    m_tabela->horizontalHeader()->resizeSection(cAlvo, 110);
    m_tabela->horizontalHeader()->setStretchLastSection(true);
    m_tabela->verticalHeader()->hide();
    m_tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabela->setSelectionMode(QAbstractItemView::SingleSelection);
    m_erro->setStyleSheet(QStringLiteral("color: #b00000"));
    m_erro->setWordWrap(true);

    auto* adicionar = new QPushButton(QStringLiteral("Adicionar"));
    auto* remover = new QPushButton(QStringLiteral("Remover"));
    auto* padrao = new QPushButton(QStringLiteral("Padrão"));
    auto* acoes = new QHBoxLayout;
    acoes->addWidget(adicionar);
    acoes->addWidget(remover);
    acoes->addWidget(padrao);
    acoes->addStretch();
    auto* botoes = new QDialogButtonBox;
    botoes->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        "Fila / motivo: o número da fila ou o código do motivo de pausa; vazio vale para todos.")));
    layout->addWidget(m_tabela);
    layout->addLayout(acoes);
    layout->addWidget(m_notificar);
    layout->addWidget(m_som);
    layout->addWidget(m_erro);
    layout->addWidget(botoes);

    connect(adicionar, &QPushButton::clicked, this, [this] {
        AdicionaLinha({TTipoAlerta::FilaEsperando, {}, 5});
    });
    connect(remover, &QPushButton::clicked, this, [this] { RemoveLinha(m_tabela->currentRow()); });
    connect(padrao, &QPushButton::clicked, this,
            [this] { SetRegras(RegrasAlertaPadrao(), Opcoes()); });
    connect(botoes, &QDialogButtonBox::accepted, this, &TfrmRegrasAlerta::OkClick);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TfrmRegrasAlerta::SetRegras(const std::vector<TRegraAlerta>& regras,
                                 const TOpcoesAlerta& opcoes) {
    m_tabela->setRowCount(0);
    for (const TRegraAlerta& r : regras)
        AdicionaLinha(r);
    m_notificar->setChecked(opcoes.Notificar);
    m_som->setChecked(opcoes.Som);
}

void TfrmRegrasAlerta::AdicionaLinha(const TRegraAlerta& regra) {
    if (m_tabela->rowCount() >= kMaxRegrasAlerta) return;
    const int row = m_tabela->rowCount();
    m_tabela->insertRow(row);
    auto* tipo = new QComboBox;
    for (int t = 0; t < kTiposAlerta; ++t)
        tipo->addItem(TextoTipoAlerta(TTipoAlerta(t)));
    tipo->setCurrentIndex(int(regra.Tipo));
    auto* alvo = new QLineEdit(regra.Alvo);
    alvo->setMaxLength(kMaxAlvoAlerta);
    auto* limite = new QSpinBox;
    m_tabela->setCellWidget(row, cTipo, tipo);
    m_tabela->setCellWidget(row, cAlvo, alvo);
    m_tabela->setCellWidget(row, cLimite, limite);
    TipoMudou(row);
    limite->setValue(regra.Limite);
    connect(tipo, &QComboBox::currentIndexChanged, this, [this, tipo] {
        for (int r = 0; r < m_tabela->rowCount(); ++r)
            if (m_tabela->cellWidget(r, cTipo) == tipo) TipoMudou(r);
    });
    m_tabela->setCurrentCell(row, cTipo);
}

void TfrmRegrasAlerta::TipoMudou(int row) {
    auto* tipo = qobject_cast<QComboBox*>(m_tabela->cellWidget(row, cTipo));
    auto* alvo = qobject_cast<QLineEdit*>(m_tabela->cellWidget(row, cAlvo));
    auto* limite = qobject_cast<QSpinBox*>(m_tabela->cellWidget(row, cLimite));
    if (!tipo || !alvo || !limite) return;
    const TTipoAlerta t = TTipoAlerta(std::clamp(tipo->currentIndex(), 0, kTiposAlerta - 1));
    // The spin box holds only what a rule accepts: no negative, nothing absurd.
    limite->setRange(LimiteMinimoAlerta(t), LimiteMaximoAlerta(t));
    limite->setSuffix(UnidadeAlerta(t).isEmpty() ? QString() : u' ' + UnidadeAlerta(t));
    limite->setEnabled(LimiteMaximoAlerta(t) > 0);
    const bool temAlvo = AlertaDeFila(t) || t == TTipoAlerta::AgentePausa;
    alvo->setEnabled(temAlvo);
    if (!temAlvo) alvo->clear();
}

void TfrmRegrasAlerta::RemoveLinha(int row) {
    if (row >= 0 && row < m_tabela->rowCount()) m_tabela->removeRow(row);
}

std::vector<TRegraAlerta> TfrmRegrasAlerta::Regras() const {
    std::vector<TRegraAlerta> regras;
    for (int row = 0; row < m_tabela->rowCount(); ++row) {
        const auto* tipo = qobject_cast<QComboBox*>(m_tabela->cellWidget(row, cTipo));
        const auto* alvo = qobject_cast<QLineEdit*>(m_tabela->cellWidget(row, cAlvo));
        const auto* limite = qobject_cast<QSpinBox*>(m_tabela->cellWidget(row, cLimite));
        if (!tipo || !alvo || !limite) continue;
        regras.push_back({TTipoAlerta(std::clamp(tipo->currentIndex(), 0, kTiposAlerta - 1)),
                          alvo->text().trimmed(), limite->value()});
    }
    return regras;
}

TOpcoesAlerta TfrmRegrasAlerta::Opcoes() const {
    return {m_notificar->isChecked(), m_som->isChecked()};
}

int TfrmRegrasAlerta::LinhaInvalida() const {
    const std::vector<TRegraAlerta> regras = Regras();
    for (size_t i = 0; i < regras.size(); ++i)
        if (!RegraAlertaValida(regras[i])) return int(i);
    return -1;
}

void TfrmRegrasAlerta::OkClick() {
    const int row = LinhaInvalida();
    if (row >= 0) {
        m_erro->setText(u"A regra da linha " + QString::number(row + 1) +
                        u" não é válida: fila ou motivo com espaços ou caracteres de controle.");
        m_tabela->setCurrentCell(row, cAlvo);
        if (QWidget* w = m_tabela->cellWidget(row, cAlvo)) w->setFocus();
        return;
    }
    accept();
}
