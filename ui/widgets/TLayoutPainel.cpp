#include "ui/widgets/TLayoutPainel.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Below this the rectangle is too small for any wallboard: the layout overflows instead.
constexpr double kEscalaMinima = 0.2;
constexpr double kEscalaMaxima = 8.0;

int Px(int tamanho, int minimo, double escala) {
    return std::max(minimo, int(std::lround(tamanho * escala)));
}

int Teto(int a, int b) {
    return b <= 0 ? 0 : (a + b - 1) / b;
}

int Modulo(int a, int n) {
    return n <= 0 ? 0 : ((a % n) + n) % n;
}

} // namespace

const QStringList& TLayoutPainel::Rotulos() {
    static const QStringList rotulos{
        QStringLiteral("Em espera"),        QStringLiteral("Maior espera"),
        QStringLiteral("Nível de serviço"), QStringLiteral("Atendidas"),
        QStringLiteral("Abandonadas"),      QStringLiteral("Livres"),
        QStringLiteral("Ocupados"),         QStringLiteral("Em pausa")};
    return rotulos;
}

QStringList TLayoutPainel::ValoresDeReferencia() {
    return {QStringLiteral("00:00:00"), QStringLiteral("100%"), QStringLiteral("99999")};
}

int TLayoutPainel::CabemEm(int espaco, int tamanho, int vao) {
    if (tamanho <= 0 || espaco < tamanho) return 0;
    return (espaco + vao) / (tamanho + vao);
}

void TLayoutPainel::DefineFontes(double s) {
    auto fonte = [this, s](int tamanho, int minimo, bool negrito) {
        QFont f = m_base;
        f.setPixelSize(Px(tamanho, minimo, s));
        f.setBold(negrito);
        return f;
    };
    FonteCabecalho = fonte(kCabecalho, kMinCabecalho, true);
    FonteNomeFila = fonte(kNomeFila, kMinNomeFila, true);
    FonteRotulo = fonte(kRotulo, kMinRotulo, false);
    FonteValor = fonte(kValor, kMinValor, true);
    FonteNomeAtendente = fonte(kNomeAtendente, kMinNomeAtendente, true);
    FonteEstado = fonte(kEstado, kMinEstado, false);
    m_escala = s;
    m_margem = Px(12, 4, s);
    m_espaco = Px(8, 4, s);
    m_pad = Px(10, 3, s);
    m_padTile = Px(6, 2, s);
}

int TLayoutPainel::LarguraMinimaCartao() const {
    const QFontMetrics rotulo(FonteRotulo), valor(FonteValor);
    int celula = 0;
    for (const QString& r : Rotulos())
        celula = std::max(celula, rotulo.horizontalAdvance(r));
    for (const QString& v : ValoresDeReferencia())
        celula = std::max(celula, valor.horizontalAdvance(v));
    return 4 * (celula + m_pad) + 2 * m_pad;
}

int TLayoutPainel::AlturaCartao() const {
    const int titulo = QFontMetrics(FonteNomeFila).height();
    const int celula = QFontMetrics(FonteRotulo).height() + QFontMetrics(FonteValor).height();
    return 2 * m_pad + titulo + m_pad / 2 + 2 * celula;
}

int TLayoutPainel::LarguraMinimaTile() const {
    const QFontMetrics nome(FonteNomeAtendente), estado(FonteEstado);
    QFont negrito = FonteEstado;
    negrito.setBold(true);
    const QFontMetrics duracao(negrito);
    const int largura = std::max({nome.averageCharWidth() * 15,
                                  estado.horizontalAdvance(QStringLiteral("Indisponível")),
                                  duracao.horizontalAdvance(QStringLiteral("00:00:00"))});
    return largura + 2 * m_padTile;
}

int TLayoutPainel::AlturaTile() const {
    return 2 * m_padTile + QFontMetrics(FonteNomeAtendente).height() +
           2 * QFontMetrics(FonteEstado).height();
}

TLayoutPainel::TLayoutPainel(const QRect& area, int filas, int atendentes, bool mostraAtendentes,
                             const QFont& base)
    : m_base(base), m_filas(std::max(0, filas)),
      m_atendentes(mostraAtendentes ? std::max(0, atendentes) : 0) {
    const QRect tela = area.isValid() ? area : QRect(0, 0, 1, 1);
    double s = std::clamp(std::min(tela.width() / 1920.0, tela.height() / 1080.0), kEscalaMinima,
                          kEscalaMaxima);
    QRect conteudo;
    // A narrow or low rectangle takes smaller type until one card and one tile fit.
    for (;;) {
        DefineFontes(s);
        const QRect dentro = tela.adjusted(m_margem, m_margem, -m_margem, -m_margem);
        m_cabecalho = QRect(dentro.left(), dentro.top(), dentro.width(),
                            QFontMetrics(FonteCabecalho).height() + m_espaco);
        conteudo = QRect(dentro.left(), m_cabecalho.bottom() + 1 + m_espaco, dentro.width(),
                         std::max(0, dentro.bottom() - m_cabecalho.bottom() - m_espaco));
        const int alturaFilas = m_filas > 0 ? AlturaCartao() : 0;
        const int alturaTiles = m_atendentes > 0 ? AlturaTile() : 0;
        const int vao = alturaFilas > 0 && alturaTiles > 0 ? m_espaco : 0;
        const bool cabe = (m_filas == 0 || LarguraMinimaCartao() <= conteudo.width()) &&
                          (m_atendentes == 0 || LarguraMinimaTile() <= conteudo.width()) &&
                          alturaFilas + vao + alturaTiles <= conteudo.height();
        if (cabe || s * 0.9 < kEscalaMinima) break;
        s *= 0.9;
    }

    const int w = conteudo.width();
    m_colCartoes =
        m_filas > 0 ? std::clamp(CabemEm(w, LarguraMinimaCartao(), m_espaco), 1, m_filas) : 0;
    m_colTiles = m_atendentes > 0 ? std::max(1, CabemEm(w, LarguraMinimaTile(), m_espaco)) : 0;
    const int alturaCartao = AlturaCartao();
    const int alturaTile = AlturaTile();

    int linhasFilas = 0;
    if (m_filas > 0) {
        const int precisa = Teto(m_filas, m_colCartoes);
        if (m_atendentes == 0) {
            linhasFilas = CabemEm(conteudo.height(), alturaCartao, m_espaco);
        } else {
            // Half the height, or what the agents leave when they need less; always a row of
            // tiles below.
            const int linhasTiles = Teto(m_atendentes, m_colTiles);
            const int alturaTiles = linhasTiles * alturaTile + (linhasTiles - 1) * m_espaco;
            const int metade = CabemEm(conteudo.height() / 2, alturaCartao, m_espaco);
            const int sobra =
                CabemEm(conteudo.height() - alturaTiles - m_espaco, alturaCartao, m_espaco);
            const int limite =
                CabemEm(conteudo.height() - alturaTile - m_espaco, alturaCartao, m_espaco);
            linhasFilas = std::min(std::max(metade, sobra), limite);
        }
        linhasFilas = std::clamp(linhasFilas, 1, precisa);
    }
    const int alturaFilas =
        linhasFilas > 0 ? linhasFilas * alturaCartao + (linhasFilas - 1) * m_espaco : 0;
    m_areaFilas = QRect(conteudo.left(), conteudo.top(), w, alturaFilas);
    const int topoTiles = alturaFilas > 0 ? m_areaFilas.bottom() + 1 + m_espaco : conteudo.top();
    m_areaAtendentes =
        QRect(conteudo.left(), topoTiles, w, std::max(0, conteudo.bottom() + 1 - topoTiles));
    m_linCartoes = linhasFilas;
    m_linTiles = m_atendentes > 0
                     ? std::clamp(CabemEm(m_areaAtendentes.height(), alturaTile, m_espaco), 1,
                                  Teto(m_atendentes, m_colTiles))
                     : 0;

    // Cards and tiles stretch to fill their rows exactly.
    if (m_colCartoes > 0)
        m_cartao = QSize((w - (m_colCartoes - 1) * m_espaco) / m_colCartoes, alturaCartao);
    if (m_colTiles > 0) m_tile = QSize((w - (m_colTiles - 1) * m_espaco) / m_colTiles, alturaTile);

    m_paginasFilas = m_filas > 0 ? Teto(m_filas, CartoesPorPagina()) : 1;
    m_paginasAtendentes = m_atendentes > 0 ? Teto(m_atendentes, TilesPorPagina()) : 1;
    m_paginas = std::max(m_paginasFilas, m_paginasAtendentes);
}

int TLayoutPainel::PrimeiraFila(int pagina) const {
    return m_filas > 0 ? Modulo(pagina, m_paginasFilas) * CartoesPorPagina() : 0;
}

int TLayoutPainel::FilasNaPagina(int pagina) const {
    return m_filas > 0 ? std::min(CartoesPorPagina(), m_filas - PrimeiraFila(pagina)) : 0;
}

int TLayoutPainel::PrimeiroAtendente(int pagina) const {
    return m_atendentes > 0 ? Modulo(pagina, m_paginasAtendentes) * TilesPorPagina() : 0;
}

int TLayoutPainel::AtendentesNaPagina(int pagina) const {
    return m_atendentes > 0 ? std::min(TilesPorPagina(), m_atendentes - PrimeiroAtendente(pagina))
                            : 0;
}

QRect TLayoutPainel::RetanguloCartao(int k) const {
    if (m_colCartoes <= 0 || k < 0) return {};
    return QRect(m_areaFilas.left() + (k % m_colCartoes) * (m_cartao.width() + m_espaco),
                 m_areaFilas.top() + (k / m_colCartoes) * (m_cartao.height() + m_espaco),
                 m_cartao.width(), m_cartao.height());
}

QRect TLayoutPainel::RetanguloTile(int k) const {
    if (m_colTiles <= 0 || k < 0) return {};
    return QRect(m_areaAtendentes.left() + (k % m_colTiles) * (m_tile.width() + m_espaco),
                 m_areaAtendentes.top() + (k / m_colTiles) * (m_tile.height() + m_espaco),
                 m_tile.width(), m_tile.height());
}

QRect TLayoutPainel::TituloCartao(const QRect& c) const {
    return QRect(c.left() + m_pad, c.top() + m_pad, c.width() - 2 * m_pad,
                 QFontMetrics(FonteNomeFila).height());
}

QRect TLayoutPainel::RotuloCelula(const QRect& c, int i) const {
    const int hRotulo = QFontMetrics(FonteRotulo).height();
    const int hValor = QFontMetrics(FonteValor).height();
    const int largura = (c.width() - 2 * m_pad) / 4;
    const int topo = TituloCartao(c).bottom() + 1 + m_pad / 2;
    return QRect(c.left() + m_pad + (i % 4) * largura, topo + (i / 4) * (hRotulo + hValor), largura,
                 hRotulo);
}

QRect TLayoutPainel::ValorCelula(const QRect& c, int i) const {
    const QRect r = RotuloCelula(c, i);
    return QRect(r.left(), r.bottom() + 1, r.width(), QFontMetrics(FonteValor).height());
}

QRect TLayoutPainel::LinhaTile(const QRect& t, int linha) const {
    const int hNome = QFontMetrics(FonteNomeAtendente).height();
    const int hEstado = QFontMetrics(FonteEstado).height();
    const int topo = t.top() + m_padTile + (linha > 0 ? hNome + (linha - 1) * hEstado : 0);
    return QRect(t.left() + m_padTile, topo, t.width() - 2 * m_padTile,
                 linha > 0 ? hEstado : hNome);
}
