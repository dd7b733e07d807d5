// The search box of every list window.
#include "ui/lists/TModeloTabela.h"
#include "ui/lists/TVistaLista.h"
#include "ui/lists/TfrmLista.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QTimer>
#include <QTreeView>

void TfrmLista::CriaFiltro() {
    m_filtro = new QLineEdit(this);
    m_filtro->setPlaceholderText(QStringLiteral("Procurar (número, nome, fila, estado, ramal)"));
    m_filtro->setAccessibleName(QStringLiteral("Procurar"));
    m_filtro->setClearButtonEnabled(true);
    m_filtro->setMaxLength(int(TFiltroTexto::kMaxTexto));
    m_filtro->hide();
    if (auto* layout = qobject_cast<QBoxLayout*>(this->layout())) layout->insertWidget(0, m_filtro);
    auto* procurar = new QShortcut(QKeySequence::Find, this);
    procurar->setContext(Qt::WidgetWithChildrenShortcut);
    connect(procurar, &QShortcut::activated, this, [this] {
        m_filtro->show();
        m_filtro->setFocus();
        m_filtro->selectAll();
    });
    auto* fechar = new QShortcut(QKeySequence(Qt::Key_Escape), m_filtro);
    fechar->setContext(Qt::WidgetShortcut);
    connect(fechar, &QShortcut::activated, this, [this] {
        DefineFiltro(QString());
        m_vista->setFocus();
    });
    connect(m_filtro, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_filtroTexto.Define(t);
        AplicaFiltro();
    });
    // Rows come, go, move and change text all the time: the filter runs once after each burst.
    connect(m_modeloTabela, &QAbstractItemModel::rowsInserted, this, &TfrmLista::AgendaFiltro);
    connect(m_modeloTabela, &QAbstractItemModel::rowsRemoved, this, &TfrmLista::AgendaFiltro);
    connect(m_modeloTabela, &QAbstractItemModel::modelReset, this, &TfrmLista::AgendaFiltro);
    // A sort moves rows under the hidden flags, which belong to positions: at once.
    connect(m_modeloTabela, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_filtroTexto.Vazio()) AplicaFiltro();
    });
    connect(m_modeloTabela, &QAbstractItemModel::dataChanged, this, &TfrmLista::AgendaFiltro);
}

void TfrmLista::DefineFiltro(const QString& texto) {
    m_filtroTexto.Define(texto);
    if (m_filtro->text() != m_filtroTexto.Texto()) m_filtro->setText(m_filtroTexto.Texto());
    m_filtro->setVisible(!m_filtroTexto.Vazio());
    AplicaFiltro();
}

void TfrmLista::AgendaFiltro() {
    if (m_filtroAgendado || m_filtroTexto.Vazio()) return;
    m_filtroAgendado = true;
    QTimer::singleShot(0, this, [this] {
        m_filtroAgendado = false;
        AplicaFiltro();
    });
}

QString TfrmLista::TextoFiltro(int row) const {
    QString t;
    for (int c = 0; c < m_modeloTabela->Colunas(); ++c)
        t += m_modeloTabela->Texto(row, c) + u'\n';
    return t;
}

void TfrmLista::AplicaFiltro() {
    QTreeView* relatorio = m_vista->Relatorio();
    QListView* icones = m_vista->Icones();
    const bool vazio = m_filtroTexto.Vazio();
    for (int row = 0; row < m_modeloTabela->Linhas(); ++row) {
        const bool oculta = !vazio && !m_filtroTexto.CasaDobrado(DobraTexto(TextoFiltro(row)));
        if (relatorio->isRowHidden(row, {}) != oculta) relatorio->setRowHidden(row, {}, oculta);
        if (icones->isRowHidden(row) != oculta) icones->setRowHidden(row, oculta);
    }
}

bool TfrmLista::LinhaVisivel(int row) const {
    return row >= 0 && row < m_modeloTabela->Linhas() &&
           !m_vista->Relatorio()->isRowHidden(row, {});
}
