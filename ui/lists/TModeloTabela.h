#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

#include <vector>

// What a list window keeps per row besides its object: the texts of the columns it refreshes on
// its own schedule, the colours, the tile lines, and the window's marks.
struct TLinhaTabela {
    std::vector<QString> Celulas;
    QColor Fundo = Qt::white;
    QColor Fonte = Qt::black;
    bool Negrito = false;
    // Tile lines of the icon mode and the state the tile's colour shows.
    QString Linha1;
    QString Linha2;
    QString Estado;
    // Window-kept marks (the agents window's blinking mark and state key).
    bool Marca = false;
    int Chave = -1;
};

// The rows of a list window, whatever their objects. Writes made between IniciaLote and FimLote
// are announced with one ranged dataChanged, however many cells changed: a once-a-second
// refresh of a duration column over thousands of rows costs one signal, not thousands.
class TModeloTabela : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TModeloTabela(QObject* parent = nullptr);

    virtual int Linhas() const = 0;
    virtual TLinhaTabela& Linha(int row) = 0;
    virtual const TLinhaTabela& Linha(int row) const = 0;
    // The text of a cell as the views show it.
    virtual QString Texto(int row, int column) const = 0;
    // What the row's colour says, for assistive technology; asked only when it is read.
    virtual QString Descricao(int row) const = 0;
    int Colunas() const { return int(m_titulos.size()); }
    // The sort key a click on the column selects, or -1.
    virtual int OrdemDaColuna(int column) const = 0;
    // The column's text alignment, vertically centred (what the views are told).
    Qt::Alignment AlinhamentoDaColuna(int column) const {
        return (column >= 0 && column < m_alinhamentos.size() ? m_alinhamentos[column]
                                                              : Qt::Alignment(Qt::AlignLeft)) |
               Qt::AlignVCenter;
    }

    // In the icon mode the one cell of a row is its tile: its accessible text is the tile's.
    void SetModoTile(bool tile) { m_tile = tile; }
    bool ModoTile() const { return m_tile; }

    // Writes a kept cell only when its text changes; true when it changed.
    bool DefineCelula(int row, int column, const QString& texto);
    void DefineCores(int row, const QColor& fundo, const QColor& fonte, bool negrito);
    void DefineLinhasTile(int row, const QString& linha1, const QString& linha2,
                          const QString& estado);
    // Asks the views to repaint a row even though nothing in it changed (a blink).
    void Repinta(int row);

    void IniciaLote();
    void FimLote();

    // The text assistive technology reads for a cell or a tile.
    QString TextoAcessivel(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    // Inside a model reset.
    void DefineCabecalho(const QStringList& titulos, const QList<Qt::Alignment>& alinhamentos);
    void Sujo(int row, int firstColumn, int lastColumn);

private:
    void Anuncia(int top, int left, int bottom, int right);

    QStringList m_titulos;
    QList<Qt::Alignment> m_alinhamentos;
    bool m_tile = false;
    int m_lote = 0;
    int m_top = -1, m_left = 0, m_bottom = -1, m_right = 0;
};
