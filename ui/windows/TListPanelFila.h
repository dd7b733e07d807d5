#pragma once

#include <QHash>
#include <QString>

#include <vector>

class QVBoxLayout;
class QWidget;
class TFila;
class TPanelFila;

// The queue panels of a summary window, in display order, stacked in a column of the window.
// The panels belong to the column (Qt parents); removing one frees it.
class TListPanelFila {
public:
    // Pixels of a panel that do not grow with the window (its title row and margins).
    static constexpr int kFixo = 32;
    static constexpr int kMinimo = 90;
    static constexpr int kMaximo = 300;

    // `coluna`: the widget the panels are stacked in (its layout must be a QVBoxLayout).
    explicit TListPanelFila(QWidget* coluna);

    void Adiciona(TPanelFila* panel);
    int Count() const { return int(m_paineis.size()); }
    TPanelFila* Item(int i) const;
    int IndiceDe(const TPanelFila* panel) const;
    int AlturaTotal() const;
    TPanelFila* ProcuraPorNome(const QString& filaId) const;
    TPanelFila* ProcuraPorObjeto(const TFila* fila) const;
    void Remove(int i);
    void Limpa();

    // Each panel's growing part: what the window's client height leaves after the fixed parts,
    // shared out, within kMinimo … kMaximo (below the minimum the window scrolls).
    static int AlturaRedimensionavel(int alturaCliente, int fixoTotal, int n);
    void Rearranja(int alturaCliente);

    // Applied to every panel.
    void MostraColuna(int coluna, bool visivel);
    void PosicaoColuna(int coluna, int posicao);
    void Reorganiza();

private:
    QWidget* m_coluna;
    QVBoxLayout* m_layout;
    std::vector<TPanelFila*> m_paineis;
    QHash<const TFila*, TPanelFila*> m_porFila;
};

// The counts of a queue written into a panel (scales grown to the rounded counts first).
void AtualizaPanelFila(TPanelFila* panel, const TFila* fila);
