#pragma once

#include <QStyledItemDelegate>

class TModeloTabela;

// Paints the rows and tiles of a list window in the colours the window gave each row: rows
// filled with their state colour and separated by a white line, tiles as rounded blue-edged
// cards with one or two centred lines.
class TDelegateLista : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TDelegateLista(TModeloTabela* modelo, QObject* parent = nullptr);

    // The icon-mode font level: at level 0 a tile shows its first line only.
    void SetNivelIcone(int nivel) { m_nivelIcone = nivel; }
    void SetModoIcone(bool icone) { m_icone = icone; }
    void SetTamanhoTile(QSize tamanho) { m_tile = tamanho; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A cell or tile cut short shows its whole text as a tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    // The whole text when the item is drawn cut, else empty.
    QString TextoCortado(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // A tile line cut to the tile's width: keep length × (width × 100 / text width) / 100 − k
    // characters (k = 1 for line 1, 2 for line 2), then one fewer while still too wide.
    static QString CortaLinha(const QString& texto, const QFontMetrics& fm, int largura, int k);

private:
    void PintaLinha(QPainter* p, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const;
    void PintaTile(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    TModeloTabela* m_modelo;
    int m_nivelIcone = 0;
    bool m_icone = false;
    QSize m_tile;
};
