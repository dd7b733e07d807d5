#include "ui/widgets/TGraficoPizza.h"

#include "ui/lists/TCoresEstado.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargem = 2;
constexpr int kAlturaCabecalho = 24;
constexpr double kPi = 3.14159265358979323846;

} // namespace

TGraficoPizza::TGraficoPizza(QWidget* parent) : QWidget(parent), m_voltar(new QToolButton(this)) {
    m_voltar->setText(QStringLiteral("<"));
    m_voltar->setAccessibleName(QStringLiteral("Voltar"));
    QFont negrito = m_voltar->font();
    negrito.setBold(true);
    m_voltar->setFont(negrito);
    m_voltar->resize(30, 20);
    m_voltar->hide();
    connect(m_voltar, &QToolButton::clicked, this, &TGraficoPizza::Voltar);
    setMouseTracking(true);
    setMinimumSize(60, 40);
    AtualizaAcessivel();
}

void TGraficoPizza::Limpa() {
    m_fatias.clear();
    m_total = 0;
}

void TGraficoPizza::AdicionaFatia(const QString& nome, qint64 valor, int cor,
                                  const QString& chave) {
    if (nome.isEmpty() || valor < 0) return;
    m_fatias.push_back({nome, valor, cor, chave});
    m_total += valor;
}

void TGraficoPizza::DefineTitulo(const QString& titulo) {
    m_titulo = titulo;
    update();
    AtualizaAcessivel();
}

void TGraficoPizza::MostraVoltar(bool mostra) {
    m_cabecalho = mostra;
    resizeEvent(nullptr);
    update();
}

bool TGraficoPizza::VoltarVisivel() const {
    return m_cabecalho;
}

void TGraficoPizza::SetADireita(bool aDireita) {
    m_aDireita = aDireita;
    resizeEvent(nullptr);
    update();
}

void TGraficoPizza::Desenha(const QString& rotuloOutros, int limite) {
    m_desenhadas = PreparaFatias(m_fatias, limite, rotuloOutros);
    update();
    AtualizaAcessivel();
}

// --- Geometry ------------------------------------------------------------------------------------

QRect TGraficoPizza::AreaPizza() const {
    // At most half the width: a chart taller than wide still leaves its legend room.
    const int lado = std::max(0, std::min(width() / 2, height()) - 2 * kMargem);
    const int esquerda = m_aDireita ? width() - kMargem - lado : kMargem;
    return {esquerda, kMargem, lado, lado};
}

int TGraficoPizza::AlturaCabecalho() const {
    // The title always has its line: the drill level must read even without the back button.
    return kAlturaCabecalho;
}

TGraficoPizza::TLegenda TGraficoPizza::Legenda() const {
    TLegenda l;
    const QRect pizza = AreaPizza();
    const int n = int(m_desenhadas.size());
    l.Esquerda = m_aDireita ? kMargem : pizza.right() + 1 + 15;
    const int direita = m_aDireita ? pizza.left() - 15 : width() - 5;
    l.Topo = kMargem + AlturaCabecalho();
    const int altura = std::max(0, height() - l.Topo - kMargem);
    if (n == 0) return l;
    // Rows never overlap: when the height cannot hold one line per slice, the legend takes
    // more columns (narrower names are elided, the percentage always shows whole).
    const int linha = fontMetrics().height() + 1;
    const int cabem = std::max(1, altura / linha);
    l.Colunas = (n + cabem - 1) / cabem;
    l.Linhas = (n + l.Colunas - 1) / l.Colunas;
    l.Passo = std::max(linha, altura / std::max(1, l.Linhas));
    if (l.Passo * l.Linhas > altura) l.Passo = linha;
    l.Quadrado = std::clamp(l.Passo * 40 / 100, 8, std::min(20, linha - 2));
    l.LarguraColuna = std::max(0, direita - l.Esquerda) / l.Colunas;
    return l;
}

QRect TGraficoPizza::QuadradoCor(int i) const {
    const TLegenda l = Legenda();
    if (i < 0 || i >= int(m_desenhadas.size())) return {};
    const int col = i / l.Linhas, lin = i % l.Linhas;
    const int y = l.Topo + lin * l.Passo + (l.Passo - l.Quadrado) / 2;
    return {l.Esquerda + col * l.LarguraColuna, y, l.Quadrado + l.Quadrado / 2, l.Quadrado};
}

QRect TGraficoPizza::RotuloNome(int i) const {
    const TLegenda l = Legenda();
    const QRect q = QuadradoCor(i);
    if (q.isNull()) return {};
    const int col = i / l.Linhas;
    const int fim = l.Esquerda + (col + 1) * l.LarguraColuna - 4;
    const int lin = i % l.Linhas;
    return {q.right() + 6, l.Topo + lin * l.Passo, std::max(0, fim - q.right() - 6), l.Passo};
}

bool TGraficoPizza::Clicavel(int i) const {
    return i >= 0 && i < int(m_desenhadas.size()) && !m_desenhadas[size_t(i)].Chave.isEmpty() &&
           m_desenhadas[size_t(i)].Valor >= 1;
}

int TGraficoPizza::FatiaNoPonto(const QPoint& p) const {
    for (int i = 0; i < int(m_desenhadas.size()); ++i)
        if (RotuloNome(i).contains(p)) return i;
    const QRect area = AreaPizza();
    const QPointF c = QRectF(area).center();
    const double dx = p.x() - c.x(), dy = p.y() - c.y();
    const double r = (area.width() - 4) / 2.0;
    if (r <= 0 || dx * dx + dy * dy > r * r) return -1;
    // Clockwise from 12 o'clock, as the wedges are laid out.
    double a = std::atan2(dx, -dy) * 180.0 / kPi;
    if (a < 0) a += 360.0;
    int inicio = 0;
    for (int i = 0; i < int(m_desenhadas.size()); ++i) {
        const int ang = m_desenhadas[size_t(i)].Angulo;
        if (ang > 0 && a >= inicio && a < inicio + ang) return i;
        inicio += ang;
    }
    return -1;
}

void TGraficoPizza::resizeEvent(QResizeEvent*) {
    const TLegenda l = Legenda();
    m_voltar->move(l.Esquerda + 2, kMargem + 2);
    m_voltar->setVisible(m_cabecalho);
}

// --- Painting ------------------------------------------------------------------------------------

void TGraficoPizza::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect area = AreaPizza();
    p.setPen(QColor(160, 160, 164));
    p.setBrush(Qt::white);
    p.drawRect(area.adjusted(0, 0, -1, -1));

    const int r = (area.width() - 4) / 2;
    const QPointF c = QRectF(area).center();
    const QRectF circulo(c.x() - r, c.y() - r, 2.0 * r, 2.0 * r);
    const QFontMetrics fm = fontMetrics();
    if (r > 0 && m_total > 0) {
        int inicio = 0;
        for (int i = 0; i < int(m_desenhadas.size()); ++i) {
            const TFatia& f = m_desenhadas[size_t(i)];
            if (f.Angulo > 0) {
                p.setPen(QColor(128, 128, 128));
                p.setBrush(CorBgr(CorDaFatia(f, i)));
                // Qt counts sixteenths of a degree counter-clockwise from 3 o'clock.
                if (f.Angulo >= 360)
                    p.drawEllipse(circulo);
                else
                    p.drawPie(circulo, (90 - inicio - f.Angulo) * 16, f.Angulo * 16);
            }
            inicio += f.Angulo;
        }
        // Percentages on wedges wide enough to hold them; the legend always has them.
        inicio = 0;
        p.setPen(Qt::black);
        for (const TFatia& f : m_desenhadas) {
            const double meio = (inicio + f.Angulo / 2.0) * kPi / 180.0;
            inicio += f.Angulo;
            const QString texto = QString::number(f.Percentual) + u'%';
            const double d = r * 0.62;
            const double arco = f.Angulo * kPi / 180.0 * d;
            if (f.Angulo <= 0 || arco < fm.horizontalAdvance(texto) + 2 || r < fm.height() * 2)
                continue;
            const QPointF centro(c.x() + std::sin(meio) * d, c.y() - std::cos(meio) * d);
            QRectF caixa(0, 0, fm.horizontalAdvance(texto) + 2, fm.height());
            caixa.moveCenter(centro);
            p.drawText(caixa, Qt::AlignCenter, texto);
        }
    }

    // Header: title centred over the legend, right of the back button when it shows.
    const TLegenda l = Legenda();
    QFont negrito = font();
    negrito.setBold(true);
    p.setFont(negrito);
    p.setPen(Qt::black);
    const int xTitulo = l.Esquerda + (m_cabecalho ? 2 + 30 + 3 : 2);
    const int fimTitulo = m_aDireita ? area.left() - 2 : width() - 2;
    const QRect titulo(xTitulo, kMargem, std::max(0, fimTitulo - xTitulo), kAlturaCabecalho);
    p.drawText(titulo, Qt::AlignCenter,
               QFontMetrics(negrito).elidedText(m_titulo, Qt::ElideRight, titulo.width()));

    for (int i = 0; i < int(m_desenhadas.size()); ++i) {
        const TFatia& f = m_desenhadas[size_t(i)];
        const QRect q = QuadradoCor(i);
        p.setPen(QColor(128, 128, 128));
        p.setBrush(CorBgr(CorDaFatia(f, i)));
        p.drawRect(q.adjusted(0, 0, -1, -1));
        QFont fonte = font();
        fonte.setUnderline(Clicavel(i));
        p.setFont(fonte);
        p.setPen(Clicavel(i) ? QColor(0, 0, 128) : QColor(Qt::black));
        const QRect rotulo = RotuloNome(i);
        const QString pct = u' ' + QString::number(f.Percentual) + u'%';
        const QFontMetrics fmr(fonte);
        const int larguraPct = fmr.horizontalAdvance(pct);
        const QString nome =
            fmr.elidedText(f.Nome, Qt::ElideRight, std::max(0, rotulo.width() - larguraPct));
        p.drawText(rotulo, Qt::AlignLeft | Qt::AlignVCenter, nome + pct);
    }
}

// --- Clicks --------------------------------------------------------------------------------------

void TGraficoPizza::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    for (int i = 0; i < int(m_desenhadas.size()); ++i)
        if (QuadradoCor(i).contains(p)) {
            Q_EMIT ClicaCor(m_desenhadas[size_t(i)].Nome);
            return;
        }
    const int i = FatiaNoPonto(p);
    if (Clicavel(i)) Q_EMIT ClicaItem(m_desenhadas[size_t(i)].Nome);
}

void TGraficoPizza::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    bool mao = Clicavel(FatiaNoPonto(p));
    for (int i = 0; !mao && i < int(m_desenhadas.size()); ++i)
        mao = QuadradoCor(i).contains(p);
    setCursor(mao ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

QString TGraficoPizza::Descricao() const {
    QStringList partes;
    for (const TFatia& f : m_desenhadas)
        partes << f.Nome + u": " + QString::number(f.Valor) + u" (" +
                      QString::number(f.Percentual) + u"%)";
    return partes.isEmpty() ? QStringLiteral("sem dados") : partes.join(QStringLiteral("; "));
}

void TGraficoPizza::AtualizaAcessivel() {
    setAccessibleName(m_titulo);
    setAccessibleDescription(Descricao());
}
