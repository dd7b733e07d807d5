#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One row of a list window: the model object it shows (not owned), its cell texts as the window
// last wrote them (column 0 is the row's caption), its colours, and a few marks the windows keep
// per row.
struct TLinhaTabela {
    void* Objeto = nullptr;
    std::vector<QString> Celulas;
    QColor Fundo = Qt::white;
    QColor Fonte = Qt::black;
    bool Negrito = false;
    // Tile lines of the icon mode.
    QString Linha1;
    QString Linha2;
    // Window-kept marks (the agents window's blinking mark and state key).
    bool Marca = false;
    int Chave = -1;
};

// The rows of a list window over the program's own model objects. The window writes cells, the
// model only stores them, so data() is a plain lookup. Writes made between IniciaLote and
// FimLote are announced with one ranged dataChanged, however many cells changed: a once-a-second
// refresh of a duration column over thousands of rows costs one signal, not thousands.
class TModeloTabela : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int RoleLinha = Qt::UserRole + 1; // the row's index, for the delegates

    explicit TModeloTabela(QObject* parent = nullptr);

    void DefineColunas(const QStringList& titulos, const QList<Qt::Alignment>& alinhamentos = {});
    int Colunas() const { return int(m_titulos.size()); }

    void Limpa();
    int Adiciona(void* objeto);
    int Linhas() const { return int(m_linhas.size()); }
    TLinhaTabela& Linha(int row) { return m_linhas[size_t(row)]; }
    const TLinhaTabela& Linha(int row) const { return m_linhas[size_t(row)]; }
    // The row showing the object, or -1.
    int LinhaDe(const void* objeto) const { return m_porObjeto.value(objeto, -1); }

    // Writes a cell only when its text changes; true when it changed.
    bool DefineCelula(int row, int column, const QString& texto);
    void DefineCores(int row, const QColor& fundo, const QColor& fonte, bool negrito);
    void DefineLinhasTile(int row, const QString& linha1, const QString& linha2);
    // Asks the views to repaint a row even though nothing in it changed (a blink).
    void Repinta(int row);

    void IniciaLote();
    void FimLote();

    // Stable sort of the rows; the selection follows its rows.
    void Ordena(const std::function<bool(const TLinhaTabela&, const TLinhaTabela&)>& menor);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void Sujo(int row, int firstColumn, int lastColumn);
    void Anuncia(int top, int left, int bottom, int right);
    void Reindexa();

    QStringList m_titulos;
    QList<Qt::Alignment> m_alinhamentos;
    std::vector<TLinhaTabela> m_linhas;
    QHash<const void*, int> m_porObjeto;
    int m_lote = 0;
    int m_top = -1, m_left = 0, m_bottom = -1, m_right = 0;
};
