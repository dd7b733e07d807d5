#include "ui/lists/TVistaLista.h"

#include "ui/lists/TModeloTabela.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

TVistaLista::TVistaLista(TModeloTabela* modelo, QWidget* parent)
    : QWidget(parent), m_modelo(modelo), m_pilha(new QStackedLayout(this)),
      m_relatorio(new QTreeView), m_icones(new QListView) {
    m_pilha->setContentsMargins(0, 0, 0, 0);
    m_relatorio->setModel(modelo);
    m_relatorio->setRootIsDecorated(false);
    m_relatorio->setUniformRowHeights(true); // rows all alike: no per-row size queries
    m_relatorio->setAllColumnsShowFocus(true);
    m_relatorio->setSelectionMode(QAbstractItemView::SingleSelection);
    m_relatorio->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_relatorio->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_relatorio->header()->setSectionsClickable(true);
    m_relatorio->header()->setStretchLastSection(false);
    m_relatorio->header()->setSectionsMovable(false);
    // The style's minimum would widen the 10-pixel spacer column.
    m_relatorio->header()->setMinimumSectionSize(10);
    m_relatorio->setContextMenuPolicy(Qt::CustomContextMenu);

    m_icones->setModel(modelo);
    m_icones->setViewMode(QListView::IconMode);
    m_icones->setMovement(QListView::Static);
    m_icones->setResizeMode(QListView::Adjust);
    m_icones->setUniformItemSizes(true);
    m_icones->setSpacing(2);
    m_icones->setSelectionMode(QAbstractItemView::SingleSelection);
    m_icones->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_icones->setContextMenuPolicy(Qt::CustomContextMenu);

    m_pilha->addWidget(m_relatorio);
    m_pilha->addWidget(m_icones);

    connect(m_relatorio->header(), &QHeaderView::sectionClicked, this,
            &TVistaLista::CabecalhoClicado);
    connect(m_relatorio, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        Q_EMIT MenuPedido(m_relatorio->viewport()->mapToGlobal(p));
    });
    connect(m_icones, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { Q_EMIT MenuPedido(m_icones->viewport()->mapToGlobal(p)); });
}

void TVistaLista::SetDelegate(QAbstractItemDelegate* delegate) {
    m_relatorio->setItemDelegate(delegate);
    m_icones->setItemDelegate(delegate);
}

void TVistaLista::SetModo(int modo, QSize tile) {
    m_modo = modo;
    if (modo == 2) {
        m_icones->setGridSize(tile + QSize(4, 4));
        m_pilha->setCurrentWidget(m_icones);
    } else {
        m_pilha->setCurrentWidget(m_relatorio);
    }
}

void TVistaLista::SetFonte(int pontos, bool negrito) {
    QFont f = font();
    f.setPointSize(pontos);
    f.setBold(negrito);
    m_relatorio->setFont(f);
    m_icones->setFont(f);
}

void TVistaLista::DefineLarguras(const QList<int>& larguras, const QList<int>& fixas) {
    QHeaderView* h = m_relatorio->header();
    for (int c = 0; c < larguras.size() && c < h->count(); ++c) {
        h->setSectionResizeMode(c,
                                fixas.contains(c) ? QHeaderView::Fixed : QHeaderView::Interactive);
        h->resizeSection(c, std::max(0, larguras[c]));
    }
}

QList<int> TVistaLista::Larguras() const {
    QList<int> larguras;
    const QHeaderView* h = m_relatorio->header();
    for (int c = 0; c < h->count(); ++c)
        larguras << h->sectionSize(c);
    return larguras;
}

int TVistaLista::LinhaAtual() const {
    const QAbstractItemView* v = m_modo == 2 ? static_cast<QAbstractItemView*>(m_icones)
                                             : static_cast<QAbstractItemView*>(m_relatorio);
    const QModelIndexList sel = v->selectionModel()->selectedIndexes();
    if (!sel.isEmpty()) return sel.first().row();
    return -1;
}

void TVistaLista::SelecionaLinha(int row) {
    QAbstractItemView* v = m_modo == 2 ? static_cast<QAbstractItemView*>(m_icones)
                                       : static_cast<QAbstractItemView*>(m_relatorio);
    if (row < 0 || row >= m_modelo->Linhas()) {
        v->clearSelection();
        return;
    }
    v->setCurrentIndex(m_modelo->index(row, 0));
}
