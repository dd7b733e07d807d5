#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QStyledItemDelegate>

#include <optional>

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

    // Every visible cell is painted at every tick: the row fonts, their metrics and the widths
    // of the texts already measured are kept, so a text that fits is shaped once per paint
    // (to draw it) instead of twice (to find whether it must be cut, then to draw it).
    const QFontMetrics& Metricas(const QFont& base, bool negrito) const;
    int Largura(const QString& texto, bool negrito) const;
    static constexpr qsizetype kMaxLarguras = 4096;
    mutable QFont m_fonteBase;
    mutable QFont m_fontes[2];
    mutable std::optional<QFontMetrics> m_metricas[2];
    mutable QHash<QString, int> m_larguras[2];

    TModeloTabela* m_modelo;
    int m_nivelIcone = 0;
    bool m_icone = false;
    QSize m_tile;
};
