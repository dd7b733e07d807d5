#include "ui/dialogs/TfrmPersonalizarResumoFilas.h"

#include "settings/TCfgTelaFilas.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* Lista(const QString& titulo, const QString& coluna, QWidget* pai) {
    auto* l = new QTreeWidget(pai);
    l->setHeaderLabels({coluna});
    l->setRootIsDecorated(false);
    l->setAccessibleName(titulo);
    l->setMinimumHeight(110);
    return l;
}

QPushButton* Botao(const QString& texto, const QString& nome, const QString& acessivel,
                   QWidget* pai) {
    auto* b = new QPushButton(texto, pai);
    b->setObjectName(nome);
    b->setAccessibleName(acessivel);
    b->setFixedWidth(36);
    return b;
}

// Two lists side by side with the move buttons between them.
QWidget* Par(QTreeWidget* ocultas, QTreeWidget* visiveis, QWidget* botoesMeio, QWidget* botoesLado,
             QWidget* pai) {
    auto* w = new QWidget(pai);
    auto* g = new QGridLayout(w);
    g->setContentsMargins(0, 0, 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Ocultas"), w), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Visíveis"), w), 0, 2);
    g->addWidget(ocultas, 1, 0);
    g->addWidget(botoesMeio, 1, 1);
    g->addWidget(visiveis, 1, 2);
    if (botoesLado) g->addWidget(botoesLado, 1, 3);
    return w;
}

QWidget* Coluna(std::initializer_list<QWidget*> botoes, QWidget* pai) {
    auto* w = new QWidget(pai);
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->addStretch();
    for (QWidget* b : botoes) {
        b->setParent(w);
        l->addWidget(b);
    }
    l->addStretch();
    return w;
}

QTreeWidgetItem* Item(const QString& texto, const QString& id) {
    auto* it = new QTreeWidgetItem({texto});
    it->setData(0, Qt::UserRole, id);
    return it;
}

} // namespace

TfrmPersonalizarResumoFilas::TfrmPersonalizarResumoFilas(const QString& tituloBase, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(u"Personalizar tela de Resumo de " + tituloBase);
    auto* layout = new QVBoxLayout(this);
    auto* rotulo = new QLabel(QStringLiteral("Nome da janela:"), this);
    m_nome = new QLineEdit(this);
    m_nome->setObjectName(QStringLiteral("edNomeJanela"));
    m_nome->setMaxLength(100);
    rotulo->setBuddy(m_nome);
    layout->addWidget(rotulo);
    layout->addWidget(m_nome);

    auto* colunas = new QGroupBox(QStringLiteral(" Colunas "), this);
    m_colOcu = Lista(QStringLiteral("Colunas ocultas"), QStringLiteral("Nome da coluna"), colunas);
    m_colVis = Lista(QStringLiteral("Colunas visíveis"), QStringLiteral("Nome da coluna"), colunas);
    m_colDir = ::Botao(QStringLiteral(">"), QStringLiteral("ColunaDireita"),
                       QStringLiteral("Mostrar coluna"), colunas);
    m_colEsq = ::Botao(QStringLiteral("<"), QStringLiteral("ColunaEsquerda"),
                       QStringLiteral("Ocultar coluna"), colunas);
    m_sobe = ::Botao(QStringLiteral("▲"), QStringLiteral("ColunaSobe"),
                     QStringLiteral("Subir coluna"), colunas);
    m_desce = ::Botao(QStringLiteral("▼"), QStringLiteral("ColunaDesce"),
                      QStringLiteral("Descer coluna"), colunas);
    auto* lc = new QVBoxLayout(colunas);
    lc->addWidget(Par(m_colOcu, m_colVis, Coluna({m_colDir, m_colEsq}, colunas),
                      Coluna({m_sobe, m_desce}, colunas), colunas));
    layout->addWidget(colunas);

    auto* filas = new QGroupBox(QStringLiteral(" Filas "), this);
    m_filaOcu = Lista(QStringLiteral("Filas ocultas"), QStringLiteral("Nome da fila"), filas);
    m_filaVis = Lista(QStringLiteral("Filas visíveis"), QStringLiteral("Nome da fila"), filas);
    m_filaDir = ::Botao(QStringLiteral(">"), QStringLiteral("FilaDireita"),
                        QStringLiteral("Mostrar fila"), filas);
    m_filaEsq = ::Botao(QStringLiteral("<"), QStringLiteral("FilaEsquerda"),
                        QStringLiteral("Ocultar fila"), filas);
    auto* lf = new QVBoxLayout(filas);
    lf->addWidget(Par(m_filaOcu, m_filaVis, Coluna({m_filaDir, m_filaEsq}, filas), nullptr, filas));
    layout->addWidget(filas);

    auto* botoes = new QDialogButtonBox(this);
    botoes->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    botoes->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(botoes);

    connect(m_colDir, &QPushButton::clicked, this, [this] { Move(m_colOcu, m_colVis); });
    connect(m_colEsq, &QPushButton::clicked, this, [this] { Move(m_colVis, m_colOcu); });
    connect(m_filaDir, &QPushButton::clicked, this, [this] { Move(m_filaOcu, m_filaVis); });
    connect(m_filaEsq, &QPushButton::clicked, this, [this] { Move(m_filaVis, m_filaOcu); });
    connect(m_sobe, &QPushButton::clicked, this, [this] { Sobe(-1); });
    connect(m_desce, &QPushButton::clicked, this, [this] { Sobe(1); });
    for (QTreeWidget* l : {m_colOcu, m_colVis, m_filaOcu, m_filaVis}) {
        connect(l, &QTreeWidget::itemSelectionChanged, this,
                &TfrmPersonalizarResumoFilas::AtualizaBotoes);
        // Entering a list selects its first entry, so a button can act at once.
        l->installEventFilter(this);
    }
    AtualizaBotoes();
    resize(520, 560);
}

void TfrmPersonalizarResumoFilas::Carrega(const QString& nomeTela, const QList<int>& ordem,
                                          const QList<bool>& visiveis,
                                          const QList<TItem>& filasVisiveis,
                                          const QList<TItem>& filasOcultas) {
    m_nome->setText(nomeTela);
    for (QTreeWidget* l : {m_colOcu, m_colVis, m_filaOcu, m_filaVis})
        l->clear();
    for (int coluna : ordem) {
        if (coluna < 0 || coluna >= TCfgTelaFilas::kColunas) continue;
        const bool vis = coluna < visiveis.size() ? visiveis[coluna] : true;
        (vis ? m_colVis : m_colOcu)
            ->addTopLevelItem(Item(NomeColuna(coluna), QString::number(coluna)));
    }
    for (const TItem& f : filasVisiveis)
        m_filaVis->addTopLevelItem(Item(f.second, f.first));
    for (const TItem& f : filasOcultas)
        m_filaOcu->addTopLevelItem(Item(f.second, f.first));
    AtualizaBotoes();
}

bool TfrmPersonalizarResumoFilas::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusIn)
        if (auto* l = qobject_cast<QTreeWidget*>(objeto);
            l && l->topLevelItemCount() > 0 && !l->selectedItems().size())
            l->setCurrentItem(l->topLevelItem(0));
    return QDialog::eventFilter(objeto, evento);
}

QPushButton* TfrmPersonalizarResumoFilas::Botao(const QString& nome) const {
    return findChild<QPushButton*>(nome);
}

QString TfrmPersonalizarResumoFilas::Nome() const {
    return m_nome->text().trimmed();
}

QStringList TfrmPersonalizarResumoFilas::Ids(const QTreeWidget* lista) {
    QStringList ids;
    for (int i = 0; i < lista->topLevelItemCount(); ++i)
        ids << lista->topLevelItem(i)->data(0, Qt::UserRole).toString();
    return ids;
}

QList<int> TfrmPersonalizarResumoFilas::ColunasVisiveis() const {
    QList<int> c;
    for (const QString& id : Ids(m_colVis))
        c << id.toInt();
    return c;
}

QList<int> TfrmPersonalizarResumoFilas::ColunasOcultas() const {
    QList<int> c;
    for (const QString& id : Ids(m_colOcu))
        c << id.toInt();
    return c;
}

QStringList TfrmPersonalizarResumoFilas::FilasVisiveis() const {
    return Ids(m_filaVis);
}

QStringList TfrmPersonalizarResumoFilas::FilasOcultas() const {
    return Ids(m_filaOcu);
}

QString TfrmPersonalizarResumoFilas::Erro() const {
    const QString nome = Nome();
    if (nome.isEmpty()) return QStringLiteral("O nome da janela deve ser informado.");
    for (const QString& outro : m_nomesEmUso)
        if (outro.trimmed().compare(nome, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Já existe uma janela com este nome.");
    return {};
}

void TfrmPersonalizarResumoFilas::accept() {
    const QString erro = Erro();
    if (!erro.isEmpty()) {
        QMessageBox::critical(this, QStringLiteral("Personalizar janela"), erro);
        m_nome->setFocus();
        return;
    }
    QDialog::accept();
}

void TfrmPersonalizarResumoFilas::Move(QTreeWidget* de, QTreeWidget* para) {
    QTreeWidgetItem* it = de->currentItem();
    if (!it || !it->isSelected()) return;
    const int linha = de->indexOfTopLevelItem(it);
    de->takeTopLevelItem(linha);
    para->addTopLevelItem(it);
    para->setCurrentItem(it);
    if (de->topLevelItemCount() > 0)
        de->setCurrentItem(de->topLevelItem(std::min(linha, de->topLevelItemCount() - 1)));
    AtualizaBotoes();
}

void TfrmPersonalizarResumoFilas::Sobe(int passo) {
    QTreeWidgetItem* it = m_colVis->currentItem();
    if (!it || !it->isSelected()) return;
    const int linha = m_colVis->indexOfTopLevelItem(it);
    const int destino = linha + passo;
    if (destino < 0 || destino >= m_colVis->topLevelItemCount()) return;
    m_colVis->takeTopLevelItem(linha);
    m_colVis->insertTopLevelItem(destino, it);
    m_colVis->setCurrentItem(it);
    AtualizaBotoes();
}

void TfrmPersonalizarResumoFilas::AtualizaBotoes() {
    const auto selecionado = [](QTreeWidget* l) {
        return l->currentItem() && l->currentItem()->isSelected();
    };
    m_colDir->setEnabled(selecionado(m_colOcu));
    m_colEsq->setEnabled(selecionado(m_colVis));
    m_filaDir->setEnabled(selecionado(m_filaOcu));
    m_filaEsq->setEnabled(selecionado(m_filaVis));
    const int linha =
        selecionado(m_colVis) ? m_colVis->indexOfTopLevelItem(m_colVis->currentItem()) : -1;
    m_sobe->setEnabled(linha > 0);
    m_desce->setEnabled(linha >= 0 && linha < m_colVis->topLevelItemCount() - 1);
}
