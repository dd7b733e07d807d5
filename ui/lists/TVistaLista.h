#pragma once

#include <QWidget>

class QAbstractItemDelegate;
class QListView;
class QStackedLayout;
class QTreeView;
class TModeloTabela;

// The list of a list window in its three view modes over one model: a report (modes 0 and 1,
// columns with a header) and icon tiles (mode 2). The window decides what the columns and tiles
// hold; this widget shows them, keeps the column widths and reports clicks.
class TVistaLista : public QWidget {
    Q_OBJECT
public:
    explicit TVistaLista(TModeloTabela* modelo, QWidget* parent = nullptr);

    void SetDelegate(QAbstractItemDelegate* delegate);
    // 0 and 1 show the report, 2 the tiles of the given cell.
    void SetModo(int modo, QSize tile = {});
    int Modo() const { return m_modo; }
    void SetFonte(int pontos, bool negrito);

    // Widths of the report's columns; a column listed in `fixas` cannot be resized.
    void DefineLarguras(const QList<int>& larguras, const QList<int>& fixas = {});
    QList<int> Larguras() const;

    // The row under the selection, or -1.
    int LinhaAtual() const;
    void SelecionaLinha(int row);

    QTreeView* Relatorio() const { return m_relatorio; }
    QListView* Icones() const { return m_icones; }

Q_SIGNALS:
    void CabecalhoClicado(int coluna);
    void MenuPedido(const QPoint& global);

private:
    TModeloTabela* m_modelo;
    QStackedLayout* m_pilha;
    QTreeView* m_relatorio;
    QListView* m_icones;
    int m_modo = 0;
};
