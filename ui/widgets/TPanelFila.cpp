#include "ui/widgets/TPanelFila.h"

#include "base/Clock.h"
#include "settings/TEsquemaCores.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/widgets/TGraficoPizza.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTitulo = 23;
constexpr int kLegenda = 18; // the section's caption line
constexpr std::array<int, TPanelFila::kSecoes> kLarguras{240, 140, 210, 165, 300};

// Seconds since local midnight on the wall clock.
qint64 SegundosDoDia() {
    const double dias = LocalNow();
    const qint64 ms = std::llround((dias - std::floor(dias)) * kSecondsPerDay * 1000.0);
    return (ms / 1000) % 86400;
}
int SegundoAtual() {
    return int(SegundosDoDia() % 60);
}
int MinutoAtual() {
    return int((SegundosDoDia() / 60) % 60);
}

QString Dois(qint64 n) {
    return QString::number(n).rightJustified(2, u'0');
}

// The campaign summary block: three tables of five rows, each row a counter of the campaign.
struct TLinhaResumo {
    QStringView Chave;
    const char* Rotulo;
};
constexpr int kGruposResumo = 3;
constexpr int kLinhasResumo = 5;
const char* const kGrupos[kGruposResumo] = {"Clientes", "Telefones", "Chamadas"};
const TLinhaResumo kResumo[kGruposResumo * kLinhasResumo] = {
    {u"CliTotal", "Total"},
    {u"CliDisponiveis", "Disponíveis"},
    {u"CliDiscados", "Discados"},
    {u"CliEncaminhadosFila", "Encam. p/ Fila"},
    {u"CliAgendados", "Agendados"},
    {u"TelTotal", "Total"},
    {u"TelDisponiveis", "Disponíveis"},
    {u"TelTentativasExcedidas", "Tent. Excedidas"},
    {u"TelAgendados", "Agendados"},
    {u"TelDesativados", "Desativados"},
    {u"ChIniciadas", "Iniciadas"},
    {u"ChEncaminhadasFila", "Encam. p/ Fila"},
    {u"ChAtendidasFila", "Atend. na Fila"},
    {u"ChOcupadas", "Ocupadas"},
    {u"ChNaoAtendidas", "Não atendidas"},
};
constexpr int kLarguraGrupo = 149;

int LinhaDoResumo(QStringView chave) {
    for (int i = 0; i < kGruposResumo * kLinhasResumo; ++i)
        if (kResumo[i].Chave == chave) return i;
    return -1;
}

} // namespace

TPanelFila::TPanelFila(QWidget* parent, bool mostraTitulo)
    : QWidget(parent), m_mostraTitulo(mostraTitulo), m_grafico(new TGraficoPizza(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setMinimumHeight(100);
    DefaultColours();
    m_grafico->hide();
    m_timer.setInterval(600);
    connect(&m_timer, &QTimer::timeout, this, &TPanelFila::Relogio);
    m_timer.start();
    AtualizaAcessivel();
}

QSize TPanelFila::sizeHint() const {
    if (m_campanha) return {InicioResumo() + kLarguraResumo + 4, 132};
    return {1060, 132};
}

// --- Values --------------------------------------------------------------------------------------

int TPanelFila::ArredondaPar(int n) {
    return n <= 0 ? 1 : (n % 2 ? n + 1 : n);
}

void TPanelFila::SetFila(const TFila* fila) {
    m_fila = fila;
    // In campaign mode the title names the campaign and its queue: it goes with the queue.
    if (m_campanha) update();
    if (fila) return;
    m_espera = m_atendendo = m_ocupados = m_livres = m_pausados = 0;
    update();
    AtualizaAcessivel();
}

void TPanelFila::Title(const QString& texto) {
    m_titulo = texto;
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetCallScale(int n) {
    n = std::max(1, n);
    if (n == m_escalaChamadas) return;
    m_escalaChamadas = n;
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetMemberScale(int n) {
    n = std::max(1, n);
    if (n == m_escalaMembros) return;
    m_escalaMembros = n;
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetWaiting(int n) {
    m_espera = std::max(0, n);
    if (m_espera > m_escalaChamadas) m_escalaChamadas = m_espera;
    AmostraSetter();
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetAnswering(int n) {
    m_atendendo = std::max(0, n);
    if (m_atendendo > m_escalaChamadas) m_escalaChamadas = m_atendendo;
    AmostraSetter();
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetBusy(int n) {
    m_ocupados = std::max(0, n);
    m_escalaMembros = std::max(m_escalaMembros, m_ocupados);
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetFree(int n) {
    m_livres = std::max(0, n);
    m_escalaMembros = std::max(m_escalaMembros, m_livres);
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetPaused(int n) {
    m_pausados = std::max(0, n);
    m_escalaMembros = std::max(m_escalaMembros, m_pausados);
    update();
    AtualizaAcessivel();
}

void TPanelFila::SetReceived(qint64 n) {
    m_recebidas = n;
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetCompleted(qint64 n) {
    m_completadas = n;
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetAbandoned(qint64 n) {
    m_abandonadas = n;
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetAverageWait(qint64 segundos) {
    m_espMedia = segundos;
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetAverageTalk(qint64 segundos) {
    m_atdMedio = segundos;
    update();
    AtualizaAcessivel();
}
void TPanelFila::SetService(int segundos, const QString& percentual) {
    m_servicoSeg = segundos;
    m_servicoPct = percentual;
    update();
    AtualizaAcessivel();
}

QString TPanelFila::TempoMedio(qint64 s) {
    s = std::max<qint64>(0, s);
    if (s < 3600) return Dois(s / 60) + u':' + Dois(s % 60);
    return Dois(s / 3600) + u':' + Dois((s % 3600) / 60) + u':' + Dois(s % 60);
}

QString TPanelFila::TextoServico(const QString& percentual) {
    const QString inteiro = percentual.section(u'.', 0, 0);
    return (inteiro.isEmpty() ? QStringLiteral("0") : inteiro) + u'%';
}

QString TPanelFila::Rotulo(int linha) const {
    switch (linha) {
    case 0:
        return QStringLiteral("Recebidas");
    case 1:
        return QStringLiteral("Completadas");
    case 2:
        return QStringLiteral("Aband./Transbordos");
    case 3:
        return QStringLiteral("T.M. Espera");
    case 4:
        return QStringLiteral("T.M. Atendimento");
    case 5:
        return u"Serviço (" + QString::number(m_servicoSeg) + u"s)";
    default:
        return {};
    }
}

QString TPanelFila::Valor(int linha) const {
    switch (linha) {
    case 0:
        return QString::number(m_recebidas);
    case 1:
        return QString::number(m_completadas);
    case 2:
        return QString::number(m_abandonadas);
    case 3:
        return TempoMedio(m_espMedia);
    case 4:
        return TempoMedio(m_atdMedio);
    case 5:
        return TextoServico(m_servicoPct);
    default:
        return {};
    }
}

// --- Colours -------------------------------------------------------------------------------------

TPanelFila::TCoresBarra TPanelFila::CoresDe(int cor) {
    const int escura = Darken(cor);
    return {CorBgr(escura), CorBgr(Lighten(escura))};
}
void TPanelFila::SetFreeColour(int cor) {
    m_corLivre = CoresDe(cor);
    update();
}
void TPanelFila::SetBusyColour(int cor) {
    m_corOcupado = CoresDe(cor);
    update();
}
void TPanelFila::SetPausedColour(int cor) {
    m_corPausado = CoresDe(cor);
    update();
}
void TPanelFila::DefaultColours() {
    const auto padrao = [](int cor) { return TCoresBarra{CorBgr(cor), CorBgr(Lighten(cor))}; };
    m_corLivre = padrao(CorRGB(0, 100, 0));
    m_corOcupado = padrao(CorRGB(146, 9, 5));
    m_corPausado = padrao(CorRGB(235, 230, 5));
    update();
}

// --- Sections ------------------------------------------------------------------------------------

void TPanelFila::SetSectionVisible(int secao, bool visivel) {
    if (secao < 0 || secao >= kSecoes) return;
    m_visivel[size_t(secao)] = visivel;
    Relayout();
}

bool TPanelFila::SectionVisible(int secao) const {
    // A campaign's panel leaves the call reasons out: its summary block stands there.
    if (m_campanha && secao == Motivos) return false;
    return secao >= 0 && secao < kSecoes && m_visivel[size_t(secao)];
}

void TPanelFila::SetSectionPosition(int posicao, int secao) {
    if (posicao < 0 || posicao >= kSecoes || secao < 0 || secao >= kSecoes) return;
    const auto antiga = std::find(m_ordem.begin(), m_ordem.end(), secao);
    std::iter_swap(antiga, m_ordem.begin() + posicao);
    Relayout();
}

int TPanelFila::SectionAt(int posicao) const {
    return posicao >= 0 && posicao < kSecoes ? m_ordem[size_t(posicao)] : -1;
}

void TPanelFila::SetChartEnabled(bool habilitado) {
    m_graficoHabilitado = habilitado;
    Relayout();
}

int TPanelFila::TopoSecoes() const {
    return m_mostraTitulo ? kTitulo : 0;
}

QRect TPanelFila::AreaSecao(int secao) const {
    if (!SectionVisible(secao)) return {};
    int x = 0;
    for (int s : m_ordem) {
        if (!SectionVisible(s)) continue;
        // The call reasons take what is left when they come last (a wide legend is kinder
        // to long reason names).
        int largura = kLarguras[size_t(s)];
        if (s == secao) {
            if (s == Motivos && s == m_ordem.back()) largura = std::max(largura, width() - x);
            return {x, TopoSecoes(), largura, std::max(0, height() - TopoSecoes())};
        }
        x += largura;
    }
    return {};
}

int TPanelFila::LarguraNecessaria() const {
    int total = 0;
    for (int s = 0; s < kSecoes; ++s)
        if (m_visivel[size_t(s)]) total += kLarguras[size_t(s)];
    return total;
}

void TPanelFila::Relayout() {
    const QRect area = AreaSecao(Motivos);
    const bool mostra = m_graficoHabilitado && !area.isNull();
    if (mostra) m_grafico->setGeometry(area.adjusted(2, kLegenda, -2, -2));
    m_grafico->setVisible(mostra);
    update();
    AtualizaAcessivel();
}

void TPanelFila::resizeEvent(QResizeEvent*) {
    Relayout();
}

// --- History -------------------------------------------------------------------------------------

std::array<int, 2> TPanelFila::Amostra(int segundo) const {
    return segundo >= 0 && segundo < 60 ? m_historico[size_t(segundo)] : std::array<int, 2>{};
}

void TPanelFila::Armazena(int segundo) {
    m_historico[size_t(segundo)] = {m_espera, m_atendendo};
}

void TPanelFila::AmostraSetter() {
    if (!m_fila) return;
    const int s = SegundoAtual();
    if (s == m_ultimoSegundo) {
        auto& a = m_historico[size_t(s)];
        a[0] = std::max(a[0], m_espera);
        a[1] = std::max(a[1], m_atendendo);
    } else {
        Armazena(s);
    }
    m_ultimoSegundo = s;
}

void TPanelFila::Relogio() {
    if (!m_alerta.isEmpty()) {
        m_faseAlerta = !m_faseAlerta;
        update();
    }
    const int s = SegundoAtual();
    if (m_fila && s != m_segundoRelogio && s != m_ultimoSegundo) Armazena(s);
    m_segundoRelogio = s;
    const int m = MinutoAtual() % 5;
    const int chamadas = std::max(m_espera, m_atendendo);
    if (m != m_minutoRelogio) {
        m_minutoRelogio = m;
        // The slot about to be reused held the minute five minutes ago: both its peaks go, so
        // both scales shrink back once a peak is older than five minutes.
        m_maxChamadas[size_t(m)] = 0;
        m_maxMembros[size_t(m)] = 0;
        const int picoChamadas =
            ArredondaPar(*std::max_element(m_maxChamadas.begin(), m_maxChamadas.end()));
        if (picoChamadas > m_espera && picoChamadas > m_atendendo) SetCallScale(picoChamadas);
        const int picoMembros =
            ArredondaPar(*std::max_element(m_maxMembros.begin(), m_maxMembros.end()));
        if (picoMembros > m_membros) SetMemberScale(picoMembros);
    }
    m_maxChamadas[size_t(m)] = std::max(m_maxChamadas[size_t(m)], chamadas);
    m_maxMembros[size_t(m)] = std::max(m_maxMembros[size_t(m)], m_membros);
}

void TPanelFila::Tick() {
    const int s = SegundoAtual();
    if (m_fila && s != m_ultimoSegundo) Armazena(s);
    m_ultimoSegundo = -1;
    m_segundoGrade = s;
    update(AreaSecao(Historico));
}

// --- Painting ------------------------------------------------------------------------------------

int TPanelFila::AlturaBarra(int h, int valor, int escala) {
    const int util = std::max(0, h - 15);
    const int altura =
        escala > 0 ? int(std::lround(double(util) * std::max(0, valor) / escala)) : 0;
    return std::clamp(altura, 1, std::max(1, util));
}

void TPanelFila::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    QFont base = font();
    base.setPointSize(8);
    QFont negrito = base;
    negrito.setBold(true);

    if (m_mostraTitulo) {
        QFont t = negrito;
        t.setPointSize(9);
        p.setFont(t);
        p.setPen(Qt::black);
        const QFontMetrics fm(t);
        const QString rotulo = m_campanha ? QStringLiteral("Campanha:") : QStringLiteral("Fila:");
        p.drawText(QRect(4, 0, fm.horizontalAdvance(rotulo) + 2, kTitulo), Qt::AlignVCenter,
                   rotulo);
        p.setPen(QColor(0, 0, 128));
        const int x = m_campanha ? std::max(80, 4 + fm.horizontalAdvance(rotulo) + 6)
                                 : 4 + fm.horizontalAdvance(rotulo) + 6;
        if (!m_campanha || m_fila)
            p.drawText(QRect(x, 0, width() - x - 4, kTitulo), Qt::AlignVCenter,
                       fm.elidedText(m_titulo, Qt::ElideRight, width() - x - 4));
    }

    const struct {
        int Secao;
        const char* Legenda;
        bool Negrito;
    } legendas[] = {{Historico, "Histórico de chamadas", false},
                    {Chamadas, "Chamadas ativas", true},
                    {Atendentes, "Atendentes", true},
                    {Estatisticas, m_campanha ? "Chamadas na fila" : "Chamadas", true},
                    {Motivos, "Motivos de chamadas", false}};
    for (const auto& l : legendas) {
        const QRect area = AreaSecao(l.Secao);
        if (area.isNull()) continue;
        p.setPen(QColor(160, 160, 164));
        p.drawLine(area.right(), area.top() + 2, area.right(), area.bottom() - 2);
        p.setFont(l.Negrito ? negrito : base);
        p.setPen(Qt::black);
        p.drawText(QRect(area.left() + 4, area.top(), area.width() - 8, kLegenda),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(l.Legenda));
        const QRect corpo = area.adjusted(4, kLegenda, -4, -2);
        p.setFont(base);
        switch (l.Secao) {
        case Historico:
            PintaHistorico(p, corpo);
            break;
        case Chamadas:
            PintaBarras(p, corpo,
                        {m_campanha ? QStringLiteral("Iniciadas") : QStringLiteral("Em espera"),
                         QStringLiteral("Atendendo")},
                        {m_espera, m_atendendo},
                        {{QColor(0, 85, 170), QColor(47, 151, 255)},
                         {QColor(245, 120, 7), QColor(253, 206, 45)}},
                        m_escalaChamadas);
            break;
        case Atendentes:
            PintaBarras(
                p, corpo,
                {QStringLiteral("Ocupados"), QStringLiteral("Livres"), QStringLiteral("Em pausa")},
                {m_ocupados, m_livres, m_pausados}, {m_corOcupado, m_corLivre, m_corPausado},
                m_escalaMembros);
            break;
        case Estatisticas:
            PintaEstatisticas(p, corpo);
            break;
        default:
            break;
        }
    }
    if (m_campanha) PintaResumoCampanha(p);
    if (m_alerta.isEmpty()) return;
    // The frame blinks; the text stays readable in both phases.
    if (m_faseAlerta) {
        p.setPen(QPen(m_corAlerta, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    if (m_mostraTitulo) {
        QFont t = negrito;
        t.setPointSize(9);
        p.setFont(t);
        p.setPen(m_corAlerta.darker(130));
        const QFontMetrics fm(t);
        const int w = std::min(width() / 2, fm.horizontalAdvance(m_alerta) + 8);
        p.drawText(QRect(width() - w - 6, 0, w, kTitulo), Qt::AlignVCenter | Qt::AlignRight,
                   fm.elidedText(m_alerta, Qt::ElideRight, w));
    }
}

void TPanelFila::SetAlerta(const QString& texto, int cor) {
    const QColor c = CorBgr(cor);
    if (texto == m_alerta && c == m_corAlerta) return;
    m_alerta = texto;
    m_corAlerta = c;
    m_faseAlerta = !texto.isEmpty();
    update();
    AtualizaAcessivel();
}

void TPanelFila::PintaHistorico(QPainter& p, const QRect& corpo) {
    const QFontMetrics fm = p.fontMetrics();
    const int esquerda =
        corpo.left() + std::max(36, fm.horizontalAdvance(QStringLiteral("9999")) + 6);
    const QRect area(esquerda, corpo.top() + 2, std::min(180, corpo.right() - esquerda),
                     std::min(62, corpo.height() - 4));
    if (area.width() <= 0 || area.height() <= 0) return;
    p.setPen(Qt::black);
    p.drawText(QRect(corpo.left(), area.top() - 2, esquerda - corpo.left() - 3, fm.height()),
               Qt::AlignRight | Qt::AlignTop, QString::number(m_escalaChamadas));
    p.drawText(QRect(corpo.left(), area.bottom() - fm.height() + 2, esquerda - corpo.left() - 3,
                     fm.height()),
               Qt::AlignRight | Qt::AlignBottom, QStringLiteral("60s"));
    p.fillRect(area, Qt::black);
    p.save();
    p.setClipRect(area);
    const int s = m_segundoGrade;
    p.setPen(QColor(0, 128, 0));
    for (int i = 0; i <= 10; ++i) {
        const int y = area.bottom() - (area.height() - 1) * i / 10;
        p.drawLine(area.left(), y, area.right(), y);
    }
    for (int i = 1; i <= 13; ++i) {
        const int x = area.left() + 15 * i - 3 * (s % 5);
        p.drawLine(x, area.top(), x, area.bottom());
    }
    p.setRenderHint(QPainter::Antialiasing);
    const double escala = double(area.height() - 2) / std::max(1, m_escalaChamadas);
    for (int serie : {1, 0}) {
        QPolygonF linha;
        for (int k = 0; k < 60; ++k) {
            const int amostra = (s + 1 + k) % 60;
            const int v = std::min(m_historico[size_t(amostra)][size_t(serie)], m_escalaChamadas);
            linha << QPointF(area.left() + 3.0 * k, area.bottom() - v * escala);
        }
        p.setPen(QPen(serie == 1 ? QColor(255, 120, 0) : QColor(0, 100, 255), 2));
        p.drawPolyline(linha);
    }
    p.restore();
}

void TPanelFila::PintaBarras(QPainter& p, const QRect& corpo, const QStringList& nomes,
                             const QList<int>& valores, const QList<TCoresBarra>& cores,
                             int escala) {
    const QFontMetrics fm = p.fontMetrics();
    const int n = int(nomes.size());
    const int coluna = corpo.width() / std::max(1, n);
    const int h = corpo.height() - fm.height();
    for (int i = 0; i < n; ++i) {
        const int x0 = corpo.left() + i * coluna;
        const int largura = std::min(24, coluna - 8);
        const int xb = x0 + (coluna - largura) / 2;
        const int altura = AlturaBarra(h, valores[i], escala);
        const QRect barra(xb, corpo.top() + h - altura - 1, largura, altura);
        QLinearGradient g(barra.left(), 0, barra.right(), 0);
        g.setColorAt(0, cores[i].Escura);
        g.setColorAt(0.5, cores[i].Clara);
        g.setColorAt(1, cores[i].Escura);
        p.fillRect(barra, g);
        p.setPen(QColor(128, 128, 128));
        p.drawRect(barra.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(QRect(x0, barra.top() - fm.height(), coluna, fm.height()),
                   Qt::AlignHCenter | Qt::AlignBottom, QString::number(valores[i]));
        p.drawText(QRect(x0, corpo.top() + h, coluna, fm.height()), Qt::AlignHCenter | Qt::AlignTop,
                   fm.elidedText(nomes[i], Qt::ElideRight, coluna));
    }
}

void TPanelFila::PintaEstatisticas(QPainter& p, const QRect& corpo) {
    QFont fonte = p.font();
    // Six rows always fit: the letters shrink before the rows overlap.
    const int passo = std::max(1, corpo.height() / 6);
    for (int px = QFontInfo(fonte).pixelSize(); px > 7 && QFontMetrics(fonte).height() > passo;)
        fonte.setPixelSize(--px);
    p.setFont(fonte);
    const QFontMetrics fm(fonte);
    const int valorLargura = std::max(47, fm.horizontalAdvance(QStringLiteral("00:00:00")) + 4);
    for (int i = 0; i < 6; ++i) {
        const QRect linha(corpo.left(), corpo.top() + i * passo, corpo.width(), passo);
        p.setPen(Qt::black);
        p.drawText(linha.adjusted(0, 0, -valorLargura, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(Rotulo(i), Qt::ElideRight, linha.width() - valorLargura));
        p.setPen(QColor(0, 0, 128));
        p.drawText(QRect(linha.right() - valorLargura, linha.top(), valorLargura, passo),
                   Qt::AlignRight | Qt::AlignVCenter, Valor(i));
    }
}

// --- Accessibility -------------------------------------------------------------------------------

QString TPanelFila::Descricao() const {
    QStringList partes;
    const auto escala = [](int v, int e) -> QString {
        return QString::number(v) + u" de " + QString::number(e);
    };
    if (SectionVisible(Chamadas))
        partes << (m_campanha ? QStringLiteral("Iniciadas ") : QStringLiteral("Em espera ")) +
                      escala(m_espera, m_escalaChamadas)
               << u"Atendendo " + escala(m_atendendo, m_escalaChamadas);
    if (SectionVisible(Atendentes))
        partes << u"Ocupados " + escala(m_ocupados, m_escalaMembros)
               << u"Livres " + escala(m_livres, m_escalaMembros)
               << u"Em pausa " + escala(m_pausados, m_escalaMembros);
    if (SectionVisible(Estatisticas))
        for (int i = 0; i < 6; ++i)
            partes << Rotulo(i) + u' ' + Valor(i);
    if (SectionVisible(Motivos) && m_graficoHabilitado)
        partes << m_grafico->Titulo() + u": " + m_grafico->Descricao();
    if (m_campanha)
        for (int i = 0; i < kGruposResumo * kLinhasResumo; ++i)
            partes << QString::fromUtf8(kGrupos[i / kLinhasResumo]) + u' ' +
                          QString::fromUtf8(kResumo[i].Rotulo) + u' ' +
                          QString::number(m_resumo[size_t(i)]);
    if (!m_alerta.isEmpty()) partes.prepend(u"Alerta: " + m_alerta);
    return partes.join(QStringLiteral("; "));
}

void TPanelFila::AtualizaAcessivel() {
    // Many setters run per queue notice: the text is rebuilt once, after the burst.
    if (m_acessivelPendente) return;
    m_acessivelPendente = true;
    QTimer::singleShot(0, this, [this] {
        m_acessivelPendente = false;
        setAccessibleName(m_campanha ? QString(u"Campanha: " + (m_fila ? m_titulo : QString()))
                                     : QString(u"Fila: " + m_titulo));
        setAccessibleDescription(Descricao());
    });
}

// --- Campaign mode -------------------------------------------------------------------------------

void TPanelFila::SetCampaign(bool campanha) {
    if (campanha == m_campanha) return;
    m_campanha = campanha;
    updateGeometry();
    Relayout();
}

void TPanelFila::SetCampaignValue(QStringView chave, qint64 n) {
    const int i = LinhaDoResumo(chave);
    if (i < 0 || m_resumo[size_t(i)] == n) return;
    m_resumo[size_t(i)] = n;
    if (m_campanha) update();
    AtualizaAcessivel();
}

QString TPanelFila::CampaignValue(QStringView chave) const {
    const int i = LinhaDoResumo(chave);
    return i < 0 ? QString() : QString::number(m_resumo[size_t(i)]);
}

int TPanelFila::InicioResumo() const {
    int x = 0;
    for (int s = 0; s < kSecoes; ++s)
        if (SectionVisible(s)) x = std::max(x, AreaSecao(s).right() + 1);
    return x;
}

void TPanelFila::PintaResumoCampanha(QPainter& p) {
    QFont base = font();
    base.setPointSize(8);
    QFont negrito = base;
    negrito.setBold(true);
    const int topo = TopoSecoes();
    const int x0 = InicioResumo() + 1;
    const int passo = std::max(1, (height() - topo - kLegenda - 2) / kLinhasResumo);
    QFont fonte = base;
    for (int px = QFontInfo(fonte).pixelSize(); px > 7 && QFontMetrics(fonte).height() > passo;)
        fonte.setPixelSize(--px);
    const QFontMetrics fm(fonte);
    for (int g = 0; g < kGruposResumo; ++g) {
        const QRect grupo(x0 + g * kLarguraGrupo, topo, kLarguraGrupo + 1, height() - topo);
        p.setPen(QColor(160, 160, 164));
        p.drawLine(grupo.right(), grupo.top() + 2, grupo.right(), grupo.bottom() - 2);
        p.setFont(negrito);
        p.setPen(Qt::black);
        p.drawText(QRect(grupo.left() + 4, grupo.top(), grupo.width() - 8, kLegenda),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kGrupos[g]));
        p.setFont(fonte);
        const int valorLargura = 47;
        for (int r = 0; r < kLinhasResumo; ++r) {
            const int i = g * kLinhasResumo + r;
            const QRect linha(grupo.left() + 4, grupo.top() + kLegenda + r * passo,
                              grupo.width() - 10, passo);
            p.setPen(Qt::black);
            p.drawText(linha.adjusted(0, 0, -valorLargura, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(QString::fromUtf8(kResumo[i].Rotulo), Qt::ElideRight,
                                     linha.width() - valorLargura));
            p.setPen(QColor(0, 0, 128));
            p.drawText(QRect(linha.right() - valorLargura, linha.top(), valorLargura, passo),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(m_resumo[size_t(i)]));
        }
    }
}
