#pragma once

#include "ui/lists/TColunaLista.h"
#include "ui/lists/TModeloTabela.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <vector>

// A row over one of the program's model objects (not owned).
template <class T> struct TLinhaLista : TLinhaTabela { T* Objeto = nullptr; };

// The rows of a list window over objects of type T, with the columns of its current view mode.
// A cell is read from its column's descriptor when the view asks, except for the kept columns,
// whose text the window refreshes (Atualiza) and the model only stores, so data() stays O(1).
template <class T> class TModeloLista : public TModeloTabela {
public:
    using Coluna = TColunaLista<T>;
    using Comparacao = std::function<bool(const T&, const T&)>;

    // What a row's colour says (set by the window).
    std::function<QString(const T&, const TLinhaTabela&)> DescricaoCor;

    explicit TModeloLista(QObject* parent = nullptr) : TModeloTabela(parent) {}

    void DefineColunas(std::vector<Coluna> colunas) {
        beginResetModel();
        m_colunas = std::move(colunas);
        QStringList titulos;
        QList<Qt::Alignment> alinhamentos;
        for (const Coluna& c : m_colunas) {
            titulos << c.Titulo;
            alinhamentos << c.Alinhamento;
        }
        DefineCabecalho(titulos, alinhamentos);
        m_linhas.clear();
        m_porObjeto.clear();
        endResetModel();
    }
    const std::vector<Coluna>& DescritoresColunas() const { return m_colunas; }
    // The column with the window's id, or -1.
    int ColunaDoId(int id) const {
        for (size_t c = 0; c < m_colunas.size(); ++c)
            if (m_colunas[c].Id == id) return int(c);
        return -1;
    }

    int OrdemDaColuna(int column) const override {
        return column >= 0 && size_t(column) < m_colunas.size() ? m_colunas[size_t(column)].Ordem
                                                                : -1;
    }

    int Adiciona(T* objeto) {
        const int row = Linhas();
        beginInsertRows({}, row, row);
        TLinhaLista<T> linha;
        linha.Objeto = objeto;
        linha.Celulas.resize(m_colunas.size());
        m_linhas.push_back(std::move(linha));
        m_porObjeto.insert(objeto, row);
        endInsertRows();
        return row;
    }
    // Takes one object's row out; the others keep their order (and their selection).
    void Retira(const T* objeto) {
        const int row = LinhaDe(objeto);
        if (row < 0) return;
        beginRemoveRows({}, row, row);
        m_linhas.erase(m_linhas.begin() + row);
        m_porObjeto.remove(objeto);
        for (int r = row; r < Linhas(); ++r)
            m_porObjeto.insert(m_linhas[size_t(r)].Objeto, r);
        endRemoveRows();
    }

    int Linhas() const override { return int(m_linhas.size()); }
    TLinhaLista<T>& Linha(int row) override { return m_linhas[size_t(row)]; }
    const TLinhaLista<T>& Linha(int row) const override { return m_linhas[size_t(row)]; }
    T* Objeto(int row) const {
        return row >= 0 && row < Linhas() ? m_linhas[size_t(row)].Objeto : nullptr;
    }
    // The row showing the object, or -1.
    int LinhaDe(const T* objeto) const { return m_porObjeto.value(objeto, -1); }

    QString Texto(int row, int column) const override {
        if (row < 0 || row >= Linhas() || column < 0 || size_t(column) >= m_colunas.size())
            return {};
        const TLinhaLista<T>& l = m_linhas[size_t(row)];
        const Coluna& c = m_colunas[size_t(column)];
        if (c.Guardada)
            return size_t(column) < l.Celulas.size() ? l.Celulas[size_t(column)] : QString();
        return c.Valor && l.Objeto ? c.Valor(*l.Objeto) : QString();
    }

    QString Descricao(int row) const override {
        const T* objeto = Objeto(row);
        return objeto && DescricaoCor ? DescricaoCor(*objeto, m_linhas[size_t(row)]) : QString();
    }

    // Re-reads one kept column of a row from its descriptor.
    void AtualizaColuna(int row, int column) {
        if (column < 0 || size_t(column) >= m_colunas.size()) return;
        const Coluna& c = m_colunas[size_t(column)];
        const T* objeto = Objeto(row);
        if (!objeto || !c.Guardada || !c.Valor) return;
        DefineCelula(row, column, c.Valor(*objeto));
    }
    // Re-reads every kept column of a row.
    void Atualiza(int row) {
        for (int c = 0; c < int(m_colunas.size()); ++c)
            AtualizaColuna(row, c);
    }

    // Stable sort of the rows; the selection and every other persistent index follow their
    // rows.
    void Ordena(const Comparacao& menor) {
        if (m_linhas.size() < 2) return;
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList antes = persistentIndexList();
        std::vector<const T*> objetos;
        objetos.reserve(size_t(antes.size()));
        for (const QModelIndex& i : antes)
            objetos.push_back(m_linhas[size_t(i.row())].Objeto);
        std::stable_sort(m_linhas.begin(), m_linhas.end(),
                         [&](const TLinhaLista<T>& a, const TLinhaLista<T>& b) {
                             return menor(*a.Objeto, *b.Objeto);
                         });
        m_porObjeto.clear();
        for (int r = 0; r < Linhas(); ++r)
            m_porObjeto.insert(m_linhas[size_t(r)].Objeto, r);
        QModelIndexList depois;
        depois.reserve(antes.size());
        for (qsizetype k = 0; k < antes.size(); ++k)
            depois.append(index(LinhaDe(objetos[size_t(k)]), antes[k].column()));
        changePersistentIndexList(antes, depois);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    std::vector<Coluna> m_colunas;
    std::vector<TLinhaLista<T>> m_linhas;
    QHash<const T*, int> m_porObjeto;
};
