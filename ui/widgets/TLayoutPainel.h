#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

// The wallboard's fonts and the places of its queue cards and agent tiles in a rectangle (the
// screen in full screen), with no widget: the type grows with the rectangle so that it reads
// from across a room and never drops below a minimum; the cards and tiles that do not fit go
// to further pages, shown in turn. With both queues and agents, every page holds some of each:
// the queues take up to about half the height, more when the agents need less.
class TLayoutPainel {
public:
    // Pixel sizes at 1920 x 1080, and the least each may become on a small rectangle.
    static constexpr int kCabecalho = 28, kMinCabecalho = 14;
    static constexpr int kNomeFila = 30, kMinNomeFila = 14;
    static constexpr int kRotulo = 18, kMinRotulo = 11;
    static constexpr int kValor = 40, kMinValor = 18;
    static constexpr int kNomeAtendente = 22, kMinNomeAtendente = 12;
    static constexpr int kEstado = 18, kMinEstado = 11;
    // Cells of a queue card, in reading order (two rows of four).
    static constexpr int kCelulas = 8;

    // The captions of a card's cells.
    static const QStringList& Rotulos();
    // The widest values a cell and a tile are sized for: longer ones are drawn smaller.
    static QStringList ValoresDeReferencia();

    TLayoutPainel(const QRect& area, int filas, int atendentes, bool mostraAtendentes,
                  const QFont& base = QFont());

    QFont FonteCabecalho, FonteNomeFila, FonteRotulo, FonteValor, FonteNomeAtendente, FonteEstado;
    // The type's scale: 1 at 1920 x 1080.
    double Escala() const { return m_escala; }
    int Margem() const { return m_margem; }
    int Espaco() const { return m_espaco; }

    QRect Cabecalho() const { return m_cabecalho; }
    QRect AreaFilas() const { return m_areaFilas; }
    QRect AreaAtendentes() const { return m_areaAtendentes; }
    QSize Cartao() const { return m_cartao; }
    QSize Tile() const { return m_tile; }
    int ColunasCartoes() const { return m_colCartoes; }
    int LinhasCartoes() const { return m_linCartoes; }
    int ColunasTiles() const { return m_colTiles; }
    int LinhasTiles() const { return m_linTiles; }
    int CartoesPorPagina() const { return m_colCartoes * m_linCartoes; }
    int TilesPorPagina() const { return m_colTiles * m_linTiles; }

    // At least one page, also with nothing to show.
    int Paginas() const { return m_paginas; }
    // The queues and agents of a page (any page number, taken modulo the page count): the
    // first index and how many from it.
    int PrimeiraFila(int pagina) const;
    int FilasNaPagina(int pagina) const;
    int PrimeiroAtendente(int pagina) const;
    int AtendentesNaPagina(int pagina) const;

    // The k-th card and tile of a page.
    QRect RetanguloCartao(int k) const;
    QRect RetanguloTile(int k) const;
    // Inside a card: the queue's name, and cell i's caption and value.
    QRect TituloCartao(const QRect& cartao) const;
    QRect RotuloCelula(const QRect& cartao, int i) const;
    QRect ValorCelula(const QRect& cartao, int i) const;
    // Inside a tile: 0 the name, 1 the state, 2 the duration.
    QRect LinhaTile(const QRect& tile, int linha) const;

private:
    void DefineFontes(double escala);
    int LarguraMinimaCartao() const;
    int AlturaCartao() const;
    int LarguraMinimaTile() const;
    int AlturaTile() const;
    static int CabemEm(int espaco, int tamanho, int vao);

    QFont m_base;
    double m_escala = 1;
    int m_margem = 12, m_espaco = 8, m_pad = 10, m_padTile = 6;
    int m_filas, m_atendentes;
    QRect m_cabecalho, m_areaFilas, m_areaAtendentes;
    QSize m_cartao, m_tile;
    int m_colCartoes = 0, m_linCartoes = 0, m_colTiles = 0, m_linTiles = 0;
    int m_paginasFilas = 1, m_paginasAtendentes = 1, m_paginas = 1;
};
