#include "ui/lists/TModeloTabela.h"

#include <QFont>

#include <algorithm>

TModeloTabela::TModeloTabela(QObject* parent) : QAbstractTableModel(parent) {}

void TModeloTabela::DefineColunas(const QStringList& titulos,
                                  const QList<Qt::Alignment>& alinhamentos) {
    beginResetModel();
    m_titulos = titulos;
    m_alinhamentos = alinhamentos;
    m_linhas.clear();
    m_porObjeto.clear();
    endResetModel();
}

void TModeloTabela::Limpa() {
    beginResetModel();
    m_linhas.clear();
    m_porObjeto.clear();
    endResetModel();
}

int TModeloTabela::Adiciona(void* objeto) {
    const int row = Linhas();
    beginInsertRows({}, row, row);
    TLinhaTabela linha;
    linha.Objeto = objeto;
    linha.Celulas.resize(size_t(std::max(1, Colunas())));
    m_linhas.push_back(std::move(linha));
    m_porObjeto.insert(objeto, row);
    endInsertRows();
    return row;
}

bool TModeloTabela::DefineCelula(int row, int column, const QString& texto) {
    if (row < 0 || row >= Linhas() || column < 0) return false;
    auto& celulas = m_linhas[size_t(row)].Celulas;
    if (size_t(column) >= celulas.size()) celulas.resize(size_t(column) + 1);
    if (celulas[size_t(column)] == texto) return false;
    celulas[size_t(column)] = texto;
    Sujo(row, column, column);
    return true;
}

void TModeloTabela::DefineCores(int row, const QColor& fundo, const QColor& fonte, bool negrito) {
    if (row < 0 || row >= Linhas()) return;
    TLinhaTabela& l = m_linhas[size_t(row)];
    if (l.Fundo == fundo && l.Fonte == fonte && l.Negrito == negrito) return;
    l.Fundo = fundo;
    l.Fonte = fonte;
    l.Negrito = negrito;
    Sujo(row, 0, std::max(0, Colunas() - 1));
}

void TModeloTabela::DefineLinhasTile(int row, const QString& linha1, const QString& linha2) {
    if (row < 0 || row >= Linhas()) return;
    TLinhaTabela& l = m_linhas[size_t(row)];
    if (l.Linha1 == linha1 && l.Linha2 == linha2) return;
    l.Linha1 = linha1;
    l.Linha2 = linha2;
    Sujo(row, 0, 0);
}

void TModeloTabela::Repinta(int row) {
    if (row >= 0 && row < Linhas()) Sujo(row, 0, std::max(0, Colunas() - 1));
}

void TModeloTabela::IniciaLote() {
    ++m_lote;
}

void TModeloTabela::FimLote() {
    if (m_lote > 0 && --m_lote > 0) return;
    if (m_top < 0) return;
    const int top = m_top, left = m_left, bottom = m_bottom, right = m_right;
    m_top = m_bottom = -1;
    Anuncia(top, left, bottom, right);
}

void TModeloTabela::Sujo(int row, int firstColumn, int lastColumn) {
    if (m_lote == 0) {
        Anuncia(row, firstColumn, row, lastColumn);
        return;
    }
    if (m_top < 0) {
        m_top = m_bottom = row;
        m_left = firstColumn;
        m_right = lastColumn;
        return;
    }
    m_top = std::min(m_top, row);
    m_bottom = std::max(m_bottom, row);
    m_left = std::min(m_left, firstColumn);
    m_right = std::max(m_right, lastColumn);
}

void TModeloTabela::Anuncia(int top, int left, int bottom, int right) {
    Q_EMIT dataChanged(index(top, left), index(bottom, right));
}

void TModeloTabela::Ordena(
    const std::function<bool(const TLinhaTabela&, const TLinhaTabela&)>& menor) {
    if (m_linhas.size() < 2) return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList antes = persistentIndexList();
    std::vector<const void*> objetos;
    objetos.reserve(size_t(antes.size()));
    for (const QModelIndex& i : antes)
        objetos.push_back(m_linhas[size_t(i.row())].Objeto);
    std::stable_sort(m_linhas.begin(), m_linhas.end(), menor);
    Reindexa();
    QModelIndexList depois;
    depois.reserve(antes.size());
    for (qsizetype k = 0; k < antes.size(); ++k)
        depois.append(index(LinhaDe(objetos[size_t(k)]), antes[k].column()));
    changePersistentIndexList(antes, depois);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TModeloTabela::Reindexa() {
    m_porObjeto.clear();
    for (int r = 0; r < Linhas(); ++r)
        m_porObjeto.insert(m_linhas[size_t(r)].Objeto, r);
}

int TModeloTabela::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Linhas();
}

int TModeloTabela::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, Colunas());
}

QVariant TModeloTabela::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Linhas()) return {};
    const TLinhaTabela& l = m_linhas[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return size_t(index.column()) < l.Celulas.size() ? l.Celulas[size_t(index.column())]
                                                         : QString();
    case Qt::BackgroundRole:
        return l.Fundo;
    case Qt::ForegroundRole:
        return l.Fonte;
    case Qt::TextAlignmentRole:
        return index.column() < m_alinhamentos.size()
                   ? QVariant(int(m_alinhamentos[index.column()] | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    case RoleLinha:
        return index.row();
    default:
        return {};
    }
}

QVariant TModeloTabela::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titulos.size()) return {};
    if (role == Qt::DisplayRole) return m_titulos[section];
    if (role == Qt::TextAlignmentRole && section < m_alinhamentos.size())
        return int(m_alinhamentos[section] | Qt::AlignVCenter);
    return {};
}
