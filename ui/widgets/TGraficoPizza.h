#pragma once

#include "ui/widgets/TFatiasPizza.h"

#include <QWidget>

#include <vector>

class QToolButton;

// A small pie chart with its legend: slices folded to the limit, their shares in whole degrees
// and percentages, a colour square and a name per slice, and a header with the title and a
// back button for drilling down. Clicks on a clickable name (or its wedge) and on a colour
// square are reported to the owner.
class TGraficoPizza : public QWidget {
    Q_OBJECT
public:
    explicit TGraficoPizza(QWidget* parent = nullptr);

    void Limpa();
    // Ignored for an empty name or a negative value.
    void AdicionaFatia(const QString& nome, qint64 valor, int cor = 0,
                       const QString& chave = QString());
    void DefineTitulo(const QString& titulo);
    QString Titulo() const { return m_titulo; }
    void MostraVoltar(bool mostra);
    bool VoltarVisivel() const;
    // Folds to the limit (at most 10), computes the shares and repaints.
    void Desenha(const QString& rotuloOutros, int limite);

    qint64 Total() const { return m_total; }
    // The slices as drawn, after folding.
    const std::vector<TFatia>& Desenhadas() const { return m_desenhadas; }
    // Place the pie at the right edge instead of the left.
    void SetADireita(bool aDireita);

    // Where things are drawn, for the clicks (and the tests).
    QRect AreaPizza() const;
    QRect QuadradoCor(int i) const;
    QRect RotuloNome(int i) const;
    // What the chart shows, as assistive technology reads it.
    QString Descricao() const;

Q_SIGNALS:
    void ClicaItem(const QString& nome);
    void ClicaCor(const QString& nome);
    void Voltar();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TLegenda {
        int Colunas = 1;
        int Linhas = 0;
        int Passo = 0;
        int Quadrado = 10;
        int Topo = 0;
        int Esquerda = 0;
        int LarguraColuna = 0;
    };
    TLegenda Legenda() const;
    int AlturaCabecalho() const;
    bool Clicavel(int i) const;
    int FatiaNoPonto(const QPoint& p) const;
    void AtualizaAcessivel();

    std::vector<TFatia> m_fatias;
    std::vector<TFatia> m_desenhadas;
    qint64 m_total = 0;
    QString m_titulo = QStringLiteral("Motivos");
    bool m_cabecalho = false;
    bool m_aDireita = false;
    QToolButton* m_voltar;
};
