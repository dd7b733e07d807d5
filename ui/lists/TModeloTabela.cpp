#include "ui/lists/TModeloTabela.h"

#include <algorithm>

TModeloTabela::TModeloTabela(QObject* parent) : QAbstractTableModel(parent) {}

void TModeloTabela::DefineCabecalho(const QStringList& titulos,
                                    const QList<Qt::Alignment>& alinhamentos) {
    m_titulos = titulos;
    m_alinhamentos = alinhamentos;
}

bool TModeloTabela::DefineCelula(int row, int column, const QString& texto) {
    if (row < 0 || row >= Linhas() || column < 0) return false;
    auto& celulas = Linha(row).Celulas;
    if (size_t(column) >= celulas.size()) celulas.resize(size_t(column) + 1);
    if (celulas[size_t(column)] == texto) return false;
    celulas[size_t(column)] = texto;
    Sujo(row, column, column);
    return true;
}

void TModeloTabela::DefineCores(int row, const QColor& fundo, const QColor& fonte, bool negrito) {
    if (row < 0 || row >= Linhas()) return;
    TLinhaTabela& l = Linha(row);
    if (l.Fundo == fundo && l.Fonte == fonte && l.Negrito == negrito) return;
    l.Fundo = fundo;
    l.Fonte = fonte;
    l.Negrito = negrito;
    Sujo(row, 0, std::max(0, Colunas() - 1));
}

void TModeloTabela::DefineLinhasTile(int row, const QString& linha1, const QString& linha2,
                                     const QString& estado) {
    if (row < 0 || row >= Linhas()) return;
    TLinhaTabela& l = Linha(row);
    if (l.Linha1 == linha1 && l.Linha2 == linha2 && l.Estado == estado) return;
    l.Linha1 = linha1;
    l.Linha2 = linha2;
    l.Estado = estado;
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

QString TModeloTabela::TextoAcessivel(int row, int column) const {
    if (row < 0 || row >= Linhas()) return {};
    if (!m_tile) return Texto(row, column);
    // A tile is drawn by hand: its caption says nothing, its lines and state say it all.
    const TLinhaTabela& l = Linha(row);
    QStringList partes;
    for (const QString& p : {l.Linha1, l.Linha2, l.Estado.trimmed()})
        if (!p.isEmpty()) partes << p;
    return partes.join(QStringLiteral(", "));
}

int TModeloTabela::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Linhas();
}

int TModeloTabela::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, Colunas());
}

QVariant TModeloTabela::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Linhas()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return Texto(index.row(), index.column());
    case Qt::BackgroundRole:
        return Linha(index.row()).Fundo;
    case Qt::ForegroundRole:
        return Linha(index.row()).Fonte;
    case Qt::TextAlignmentRole:
        return int(AlinhamentoDaColuna(index.column()));
    case Qt::AccessibleTextRole:
        return TextoAcessivel(index.row(), index.column());
    case Qt::AccessibleDescriptionRole:
        return Descricao(index.row());
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
