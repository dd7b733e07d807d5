#include "ui/widgets/TPainelParede.h"

#include "ui/widgets/TPanelFila.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kFundo(18, 22, 30);
const QColor kCartao(38, 46, 62);
const QColor kTexto(240, 240, 240);
const QColor kRotulo(170, 182, 200);
// Marks on a page far beyond any call centre are ignored rather than kept.
constexpr int kMaximoAlertas = 10000;

QString Numero(qint64 n) {
    return QString::number(n);
}

// --- Accessibility --------------------------------------------------------------------------

// The wallboard's cards and tiles of the page shown, as assistive technology reads them.
struct TItensParede {
    using Widget = TPainelParede;
    static constexpr QAccessible::Role Papel = QAccessible::List;
    static constexpr QAccessible::Role PapelItem = QAccessible::ListItem;
    static int Quantidade(const TPainelParede& p) { return p.ItensVisiveis(); }
    static QString Nome(const TPainelParede& p, int i) { return p.NomeItem(i); }
    static QString Descricao(const TPainelParede& p, int i) { return p.DescricaoItem(i); }
    static QRect Retangulo(const TPainelParede& p, int i) { return p.RetanguloItem(i); }
    static int ItemEm(const TPainelParede& p, QPoint ponto) { return p.ItemEm(ponto); }
    static QAccessibleInterface* Filho(TPainelParede& p, int i) { return p.Filho(i); }
    static int IndiceDoFilho(const TPainelParede& p, const QAccessibleInterface* c) {
        return p.IndiceDoFilho(c);
    }
};

} // namespace

QStringList TCartaoFila::Valores() const {
    return {Numero(Espera),
            MaiorEspera >= 0 ? TPanelFila::TempoMedio(MaiorEspera) : QStringLiteral("00:00"),
            Servico.isEmpty() ? QStringLiteral("0%") : Servico,
            Numero(Atendidas),
            Numero(Abandonadas),
            Numero(Livres),
            Numero(Ocupados),
            Numero(Pausados)};
}

TPainelParede::TPainelParede(QWidget* parent) : QWidget(parent) {
    static const bool instalada = [] {
        QAccessible::installFactory(TAcessivelPintor<TItensParede>::Fabrica);
        return true;
    }();
    Q_UNUSED(instalada);
    setObjectName(QStringLiteral("PainelParede"));
    setAccessibleName(QStringLiteral("Painel de parede"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
    AtualizaAcessivel();
}

TPainelParede::~TPainelParede() = default;

const TLayoutPainel& TPainelParede::Layout() const {
    if (!m_layout)
        m_layout = std::make_unique<TLayoutPainel>(rect(), int(m_cartoes.size()),
                                                   int(m_tiles.size()), m_mostraAtendentes, font());
    return *m_layout;
}

void TPainelParede::DefineDados(std::vector<TCartaoFila> cartoes, std::vector<TTileAtendente> tiles,
                                bool mostraAtendentes) {
    const bool mudouQuantidade = cartoes.size() != m_cartoes.size() ||
                                 tiles.size() != m_tiles.size() ||
                                 mostraAtendentes != m_mostraAtendentes;
    m_cartoes = std::move(cartoes);
    m_tiles = std::move(tiles);
    m_mostraAtendentes = mostraAtendentes;
    if (mudouQuantidade) Refaz();
    update();
    AtualizaAcessivel();
}

void TPainelParede::SetRelogio(const QString& texto) {
    if (texto == m_relogio) return;
    m_relogio = texto;
    update(Layout().Cabecalho());
}

void TPainelParede::SetPagina(int pagina) {
    const int n = Paginas();
    pagina = ((pagina % n) + n) % n;
    if (pagina == m_pagina) return;
    m_pagina = pagina;
    update();
    AtualizaAcessivel();
    // The items now read as other cards and tiles: a screen reader asks again.
    if (QAccessible::isActive()) {
        QAccessibleEvent evento(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&evento);
    }
}

void TPainelParede::MarcaAlertaFila(const QString& filaId, bool alerta) {
    if (alerta && m_alertaFilas.size() < kMaximoAlertas)
        m_alertaFilas.insert(filaId);
    else if (!alerta)
        m_alertaFilas.remove(filaId);
    update();
    AtualizaAcessivel();
}

void TPainelParede::MarcaAlertaAtendente(const QString& agent, bool alerta) {
    if (alerta && m_alertaAtendentes.size() < kMaximoAlertas)
        m_alertaAtendentes.insert(agent);
    else if (!alerta)
        m_alertaAtendentes.remove(agent);
    update();
    AtualizaAcessivel();
}

void TPainelParede::DefineAlertas(QSet<QString> filas, QSet<QString> atendentes) {
    if (filas == m_alertaFilas && atendentes == m_alertaAtendentes) return;
    m_alertaFilas = std::move(filas);
    m_alertaAtendentes = std::move(atendentes);
    update();
    AtualizaAcessivel();
}

void TPainelParede::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier) {
        Q_EMIT AlternaTelaCheia();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TPainelParede::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Refaz();
}

void TPainelParede::Refaz() {
    m_layout.reset();
    // A page that no longer exists (fewer queues or agents) gives way to the first.
    if (m_pagina >= Paginas()) m_pagina = 0;
}

// --- Items ----------------------------------------------------------------------------------

int TPainelParede::ItensVisiveis() const {
    return Layout().FilasNaPagina(m_pagina) + Layout().AtendentesNaPagina(m_pagina);
}

QString TPainelParede::NomeItem(int i) const {
    const TLayoutPainel& l = Layout();
    const int filas = l.FilasNaPagina(m_pagina);
    if (i < 0 || i >= ItensVisiveis()) return {};
    if (i < filas) return u"Fila " + m_cartoes[size_t(l.PrimeiraFila(m_pagina) + i)].Titulo;
    const TTileAtendente& t = m_tiles[size_t(l.PrimeiroAtendente(m_pagina) + i - filas)];
    // Names repeat in a large call centre; the number tells the agents apart.
    if (t.Numero.isEmpty() || t.Numero == t.Nome) return u"Atendente " + t.Nome;
    return u"Atendente " + t.Numero + u" - " + t.Nome;
}

QString TPainelParede::DescricaoItem(int i) const {
    const TLayoutPainel& l = Layout();
    const int filas = l.FilasNaPagina(m_pagina);
    if (i < 0 || i >= ItensVisiveis()) return {};
    QStringList partes;
    if (i < filas) {
        const TCartaoFila& c = m_cartoes[size_t(l.PrimeiraFila(m_pagina) + i)];
        const QStringList valores = c.Valores();
        for (int k = 0; k < TLayoutPainel::kCelulas; ++k)
            partes << TLayoutPainel::Rotulos()[k] + u": " + valores[k];
        if (FilaEmAlerta(c.FilaId)) partes << QStringLiteral("Em alerta");
    } else {
        const TTileAtendente& t = m_tiles[size_t(l.PrimeiroAtendente(m_pagina) + i - filas)];
        partes << u"Estado: " + t.Estado;
        if (!t.Duracao.isEmpty()) partes << u"Tempo: " + t.Duracao;
        partes << u"Cor: " + t.Classe;
        if (AtendenteEmAlerta(t.Agent)) partes << QStringLiteral("Em alerta");
    }
    return partes.join(QStringLiteral("; "));
}

QRect TPainelParede::RetanguloItem(int i) const {
    const int filas = Layout().FilasNaPagina(m_pagina);
    if (i < 0 || i >= ItensVisiveis()) return {};
    return i < filas ? Layout().RetanguloCartao(i) : Layout().RetanguloTile(i - filas);
}

int TPainelParede::ItemEm(QPoint p) const {
    for (int i = 0; i < ItensVisiveis(); ++i)
        if (RetanguloItem(i).contains(p)) return i;
    return -1;
}

QAccessibleInterface* TPainelParede::Filho(int i) {
    return m_filhos.Filho(i, ItensVisiveis(),
                          [&] { return new TAcessivelItemPintado<TItensParede>(this, i); });
}

int TPainelParede::IndiceDoFilho(const QAccessibleInterface* filho) const {
    return m_filhos.Indice(filho);
}

void TPainelParede::AtualizaAcessivel() {
    // Items of a page that shrank read as invalid and go.
    m_filhos.Apara(ItensVisiveis());
    setAccessibleDescription(u"Página " + QString::number(m_pagina + 1) + u" de " +
                             QString::number(Paginas()));
}

// --- Painting -------------------------------------------------------------------------------

QFont TPainelParede::FonteQueCabe(QFont fonte, const QString& texto, int largura) {
    int px = fonte.pixelSize() > 0 ? fonte.pixelSize() : QFontInfo(fonte).pixelSize();
    while (px > 6 && QFontMetrics(fonte).horizontalAdvance(texto) > largura) {
        px = std::max(6, px * 9 / 10);
        fonte.setPixelSize(px);
    }
    return fonte;
}

void TPainelParede::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFundo);
    p.setRenderHint(QPainter::Antialiasing, true);
    const TLayoutPainel& l = Layout();

    const QRect cab = l.Cabecalho();
    p.setFont(l.FonteCabecalho);
    p.setPen(kTexto);
    p.drawText(cab, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Painel de parede"));
    p.drawText(cab, Qt::AlignHCenter | Qt::AlignVCenter, m_relogio);
    if (l.Paginas() > 1)
        p.drawText(cab, Qt::AlignRight | Qt::AlignVCenter,
                   u"Página " + QString::number(m_pagina + 1) + u" de " +
                       QString::number(l.Paginas()));

    const int primeiraFila = l.PrimeiraFila(m_pagina);
    for (int k = 0; k < l.FilasNaPagina(m_pagina); ++k)
        PintaCartao(p, l.RetanguloCartao(k), m_cartoes[size_t(primeiraFila + k)]);
    const int primeiro = l.PrimeiroAtendente(m_pagina);
    for (int k = 0; k < l.AtendentesNaPagina(m_pagina); ++k)
        PintaTile(p, l.RetanguloTile(k), m_tiles[size_t(primeiro + k)]);
}

void TPainelParede::PintaCartao(QPainter& p, const QRect& r, const TCartaoFila& c) const {
    const TLayoutPainel& l = Layout();
    const bool alerta = FilaEmAlerta(c.FilaId);
    const qreal raio = 8 * l.Escala();
    p.setPen(alerta ? QPen(CorAlerta().lighter(150), std::max(2.0, 4 * l.Escala())) : Qt::NoPen);
    p.setBrush(alerta ? CorAlerta() : kCartao);
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), raio, raio);

    const QRect titulo = l.TituloCartao(r);
    p.setFont(l.FonteNomeFila);
    p.setPen(kTexto);
    p.drawText(titulo, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(l.FonteNomeFila).elidedText(c.Titulo, Qt::ElideRight, titulo.width()));
    const QStringList valores = c.Valores();
    for (int i = 0; i < TLayoutPainel::kCelulas; ++i) {
        const QRect rr = l.RotuloCelula(r, i);
        const QString& rotulo = TLayoutPainel::Rotulos()[i];
        p.setFont(FonteQueCabe(l.FonteRotulo, rotulo, rr.width()));
        p.setPen(alerta ? kTexto : kRotulo);
        p.drawText(rr, Qt::AlignHCenter | Qt::AlignBottom, rotulo);
        const QRect rv = l.ValorCelula(r, i);
        p.setFont(FonteQueCabe(l.FonteValor, valores[i], rv.width()));
        p.setPen(kTexto);
        // Even the smallest type may not hold an absurd value: it stays in its cell.
        p.save();
        p.setClipRect(rv);
        p.drawText(rv, Qt::AlignHCenter | Qt::AlignTop, valores[i]);
        p.restore();
    }
}

void TPainelParede::PintaTile(QPainter& p, const QRect& r, const TTileAtendente& t) const {
    const TLayoutPainel& l = Layout();
    const bool alerta = AtendenteEmAlerta(t.Agent);
    const qreal raio = 6 * l.Escala();
    p.setPen(alerta ? QPen(CorAlerta(), std::max(3.0, 5 * l.Escala())) : QPen(QColor(Qt::blue)));
    p.setBrush(t.Fundo);
    p.drawRoundedRect(QRectF(r).adjusted(1.5, 1.5, -1.5, -1.5), raio, raio);
    p.setPen(t.Fonte);
    const QRect nome = l.LinhaTile(r, 0);
    p.setFont(l.FonteNomeAtendente);
    p.drawText(nome, Qt::AlignHCenter | Qt::AlignVCenter,
               QFontMetrics(l.FonteNomeAtendente).elidedText(t.Nome, Qt::ElideRight, nome.width()));
    const QRect estado = l.LinhaTile(r, 1);
    p.setFont(l.FonteEstado);
    p.drawText(estado, Qt::AlignHCenter | Qt::AlignVCenter,
               QFontMetrics(l.FonteEstado).elidedText(t.Estado, Qt::ElideRight, estado.width()));
    if (t.Duracao.isEmpty()) return;
    QFont negrito = l.FonteEstado;
    negrito.setBold(true);
    const QRect duracao = l.LinhaTile(r, 2);
    p.setFont(FonteQueCabe(negrito, t.Duracao, duracao.width()));
    p.drawText(duracao, Qt::AlignHCenter | Qt::AlignVCenter, t.Duracao);
}
