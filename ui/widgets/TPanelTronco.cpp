#include "ui/widgets/TPanelTronco.h"

#include "base/Clock.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TTronco.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor kCinzaClaro(207, 207, 207);

// The line's own leg of its call: by device name, else by full channel name (SIP slots).
const TChannel* Perna(const TCanalTronco& c) {
    const TLigacao* l = c.Ligacao();
    if (!l || c.Dispositivo().isEmpty()) return nullptr;
    const TChannel* p = l->CanalPorNomeBase(c.Dispositivo());
    return p ? p : l->CanalPorNome(c.Dispositivo());
}

QString TextoDirecao(const QString& d) {
    if (d == u"S") return QStringLiteral("saída");
    if (d == u"E") return QStringLiteral("entrada");
    if (d == u"D") return QStringLiteral("discador");
    return QStringLiteral("nenhuma");
}

// --- Accessibility --------------------------------------------------------------------------

// The strip's cells as assistive technology reads them.
struct TItensFaixa {
    using Widget = TFaixaTronco;
    static constexpr QAccessible::Role Papel = QAccessible::Row;
    static constexpr QAccessible::Role PapelItem = QAccessible::Cell;
    static int Quantidade(const TFaixaTronco& f) { return f.Quantidade(); }
    static QString Nome(const TFaixaTronco& f, int i) { return f.NomeCelula(i); }
    static QString Descricao(const TFaixaTronco& f, int i) { return f.DescricaoCelula(i); }
    static QRect Retangulo(const TFaixaTronco& f, int i) { return f.RetanguloCelula(i); }
    static int ItemEm(const TFaixaTronco& f, QPoint p) { return f.CelulaEm(p); }
    static QAccessibleInterface* Filho(TFaixaTronco& f, int i) { return f.Filho(i); }
    static int IndiceDoFilho(const TFaixaTronco& f, const QAccessibleInterface* c) {
        return f.IndiceDoFilho(c);
    }
};

} // namespace

// --- Strip ----------------------------------------------------------------------------------

TFaixaTronco::TFaixaTronco(QWidget* parent) : QWidget(parent) {
    static const bool instalada = [] {
        QAccessible::installFactory(TAcessivelPintor<TItensFaixa>::Fabrica);
        return true;
    }();
    Q_UNUSED(instalada);
    setAccessibleName(QStringLiteral("Status"));
    Atualiza();
}

TFaixaTronco::~TFaixaTronco() = default;

void TFaixaTronco::DefineCanais(const std::vector<TCanalTronco*>* canais) {
    m_canais = canais;
    Atualiza();
}

void TFaixaTronco::Atualiza() {
    setFixedSize(std::max(1, Quantidade()) * kCelula + 3, kCabecalho + kCelula + 1);
    // Cells of lines that are gone (a panel that forgot its lines) read as invalid and go.
    m_filhos.Apara(Quantidade());
    update();
}

QRect TFaixaTronco::RetanguloCelula(int i) const {
    return QRect(1 + i * kCelula, kCabecalho, kCelula, kCelula);
}

int TFaixaTronco::CelulaEm(QPoint p) const {
    if (p.y() < kCabecalho || p.x() < 1) return -1;
    const int i = (p.x() - 1) / kCelula;
    return i < Quantidade() ? i : -1;
}

QAccessibleInterface* TFaixaTronco::Filho(int i) {
    return m_filhos.Filho(i, Quantidade(),
                          [&] { return new TAcessivelItemPintado<TItensFaixa>(this, i); });
}

int TFaixaTronco::IndiceDoFilho(const QAccessibleInterface* filho) const {
    return m_filhos.Indice(filho);
}

QColor TFaixaTronco::CorCanal(const TCanalTronco& c) {
    if (c.Ligacao()) {
        const TChannel* p = Perna(c);
        const QString estado = p ? p->State : QString();
        if (estado == u"Up") return QColor(250, 149, 143);
        if (estado == u"Ringing") return QColor(255, 172, 89);
        return QColor(255, 128, 0);
    }
    if (c.Status == u"Failure" || c.Status == u"Sinal") return QColor(128, 128, 128);
    return QColor(183, 247, 215);
}

QString TFaixaTronco::TextoCanal(const TCanalTronco& c) {
    return c.Ligacao() ? c.Direcao : QString();
}

QString TFaixaTronco::EstadoCanal(const TCanalTronco& c) {
    if (c.Ligacao()) {
        const TChannel* p = Perna(c);
        const QString estado = p ? p->State : QString();
        if (estado == u"Up") return QStringLiteral("Conectado");
        if (estado == u"Ringing") return QStringLiteral("Chamando");
        if (estado == u"Dialing") return QStringLiteral("Discando");
        return QStringLiteral("Em chamada");
    }
    if (c.Status == u"Failure") return QStringLiteral("Falha");
    if (c.Status == u"Sinal") return QStringLiteral("Sinalização");
    return QStringLiteral("Livre");
}

QString TFaixaTronco::NomeCelula(int i) const {
    return u"Canal " + QString::number(i + 1);
}

QString TFaixaTronco::DescricaoCelula(int i) const {
    if (i < 0 || i >= Quantidade()) return {};
    const TCanalTronco& c = *(*m_canais)[size_t(i)];
    QString texto = u"Estado: " + EstadoCanal(c) + u"; Direção: " +
                    TextoDirecao(c.Ligacao() ? c.Direcao : QString());
    if (c.Ligacao() && !c.Telefone.isEmpty()) texto += u"; Telefone: " + c.Telefone;
    if (c.Status == u"Failure" && !c.StatusDetalhe.isEmpty())
        texto += u"; Alarme: " + c.StatusDetalhe;
    if (!c.Operadora.isEmpty()) texto += u"; Operadora: " + c.Operadora;
    if (!c.NivelSinal.isEmpty()) texto += u"; Sinal: " + c.NivelSinal;
    return texto;
}

void TFaixaTronco::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const int n = Quantidade();
    // A SIP trunk may hold thousands of slots: only the cells in the damaged area are drawn.
    const int primeira = std::clamp((event->rect().left() - 1) / kCelula, 0, std::max(0, n - 1));
    const int ultima = std::clamp((event->rect().right() - 1) / kCelula + 1, 0, n);
    // Captions of three digits and more shrink to stay inside their cells.
    QFont legenda = font();
    legenda.setPointSizeF(std::max(5.0, legenda.pointSizeF() - 1));
    // The widest number of each length decides the size of that length, measured once.
    std::array<QFont, 8> porDigitos;
    std::array<bool, 8> medido{};
    p.setPen(Qt::black);
    for (int i = primeira; i < ultima; ++i) {
        const QString numero = QString::number(i + 1);
        const size_t d = std::min<size_t>(size_t(numero.size()), porDigitos.size() - 1);
        if (!medido[d]) {
            QFont f = legenda;
            const QString maior(qsizetype(d), u'8');
            while (f.pointSizeF() > 4 && QFontMetrics(f).horizontalAdvance(maior) > kCelula - 2)
                f.setPointSizeF(f.pointSizeF() - 0.5);
            porDigitos[d] = f;
            medido[d] = true;
        }
        p.setFont(porDigitos[d]);
        p.drawText(QRect(1 + i * kCelula, 0, kCelula, kCabecalho), Qt::AlignCenter, numero);
    }
    p.setFont(font());
    for (int i = primeira; i < ultima; ++i) {
        const TCanalTronco& c = *(*m_canais)[size_t(i)];
        const QRect r = RetanguloCelula(i);
        p.fillRect(r, CorCanal(c));
        p.setPen(kCinzaClaro);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, TextoCanal(c));
    }
    if (n == 0) {
        p.setPen(kCinzaClaro);
        p.drawRect(QRect(1, kCabecalho, kCelula, kCelula).adjusted(0, 0, -1, -1));
    }
}

// --- Panel ----------------------------------------------------------------------------------

TPanelTronco::TPanelTronco(const QString& tipo, TTronco* tronco, bool expandido, QWidget* parent)
    : QWidget(parent), m_tipo(tipo), m_tronco(tronco), m_faixa(new TFaixaTronco(this)) {
    m_faixa->DefineCanais(&m_canais);
    m_faixa->move(kEsquerda, 22);
    setAccessibleName(Titulo());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, kAltura, 0, 0);
    if (expandido) {
        m_detalhe = new QTreeWidget(this);
        m_detalhe->setRootIsDecorated(false);
        m_detalhe->setUniformRowHeights(true);
        m_detalhe->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_detalhe->setEditTriggers(QAbstractItemView::NoEditTriggers);
        const bool compartilhado = m_tipo == u"c" || m_tipo == u"a";
        m_detalhe->setHeaderLabels(
            {compartilhado ? QStringLiteral("Tronco") : QStringLiteral("Canal"),
             QStringLiteral("Estado"), QStringLiteral("Tipo Chamada"), QStringLiteral("Início"),
             QStringLiteral("Número"), QStringLiteral("Id da chamada"),
             QStringLiteral("Chamador (Número)"), QStringLiteral("Chamador (Nome)"),
             QStringLiteral("Contexto"), QStringLiteral("Extensão"), QString(),
             QStringLiteral("Canal")});
        DefineLargurasDetalhe({});
        layout->addWidget(m_detalhe);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    } else {
        auto* mais = new QToolButton(this);
        mais->setText(QStringLiteral("+"));
        mais->setAccessibleName(QStringLiteral("Expandir ") + Titulo());
        mais->setGeometry(kLargura - 28, 2, 22, 18);
        connect(mais, &QToolButton::clicked, this, [this] {
            if (AoExpandir) AoExpandir(this);
        });
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    AjustaTamanho();
    Conta();
}

QString TPanelTronco::Titulo() const {
    if (m_tipo == u"c") return QStringLiteral("Celulares");
    if (m_tipo == u"a") return QStringLiteral("Analógicos");
    const QString nome = m_tronco ? m_tronco->Nome : QString();
    return (m_tipo == u"s" ? QStringLiteral("Tronco SIP:") : QStringLiteral("Tronco digital:")) +
           nome;
}

bool TPanelTronco::Mostra(const TCanalTronco* canal) const {
    return std::find(m_canais.begin(), m_canais.end(), canal) != m_canais.end();
}

void TPanelTronco::DefineLargurasDetalhe(const QList<int>& larguras) {
    if (!m_detalhe) return;
    static const int padrao[] = {100, 110, 80, 70, 100, 100, 110, 110, 80, 70, 20, 170};
    for (int c = 0; c < m_detalhe->columnCount(); ++c) {
        const int w = c < larguras.size() ? larguras[c] : 0;
        // A default width never cuts its column's caption ("Tipo Chamada", "Chamador (Número)").
        m_detalhe->setColumnWidth(
            c, w > 0 ? w : std::max(padrao[c], m_detalhe->header()->sectionSizeHint(c)));
    }
}

QList<int> TPanelTronco::LargurasDetalhe() const {
    QList<int> larguras;
    if (m_detalhe)
        for (int c = 0; c < m_detalhe->columnCount(); ++c)
            larguras << m_detalhe->columnWidth(c);
    return larguras;
}

int TPanelTronco::XContadores() const {
    // The strip keeps room for a whole E1 span (31 lines with DAHDI's signalling line), so the
    // graphs of stacked panels line up; longer strips push the rest to the right.
    return kEsquerda +
           std::max<int>(kLinhasVisiveis, int(m_canais.size())) * TFaixaTronco::kCelula + 3 + 16;
}

void TPanelTronco::AjustaTamanho() {
    const int largura =
        kLargura + std::max(0, int(m_canais.size()) - kLinhasVisiveis) * TFaixaTronco::kCelula;
    if (m_detalhe) {
        setMinimumSize(largura, kAltura + 80);
    } else {
        setFixedSize(largura, kAltura);
    }
    if (auto* mais = findChild<QToolButton*>()) mais->move(largura - 28, 2);
    m_faixa->Atualiza();
}

void TPanelTronco::AdicionaCanal(TCanalTronco* canal, const QString& legenda) {
    m_canais.push_back(canal);
    if (m_detalhe) {
        auto* item = new QTreeWidgetItem(m_detalhe);
        item->setText(0, legenda);
    }
    AjustaTamanho();
    Conta();
}

void TPanelTronco::AtualizaCanal(TCanalTronco* canal) {
    const auto it = std::find(m_canais.begin(), m_canais.end(), canal);
    if (it == m_canais.end()) return;
    AtualizaDetalhe(int(it - m_canais.begin()));
    Conta();
    m_faixa->update();
}

void TPanelTronco::AtualizaDetalhe(int i) {
    if (!m_detalhe) return;
    QTreeWidgetItem* item = m_detalhe->topLevelItem(i);
    if (!item) return;
    const TCanalTronco& c = *m_canais[size_t(i)];
    QString estado;
    if (m_tipo == u"c") {
        // A chip that has not registered yet has no operator or no signal: show what there is.
        estado = c.Operadora;
        if (!c.NivelSinal.isEmpty())
            estado += (estado.isEmpty() ? u"(" : u" (") + c.NivelSinal + u')';
    } else if (c.Status == u"Failure") {
        estado = u"Erro (" + c.StatusDetalhe + u')';
    }
    const TChannel* perna = Perna(c);
    if (c.Ligacao() && perna) {
        if (perna->State == u"Up")
            estado = QStringLiteral("Conectado");
        else if (perna->State == u"Ringing")
            estado = QStringLiteral("Chamando");
        else if (perna->State == u"Dialing")
            estado = QStringLiteral("Discando");
    }
    item->setText(1, estado);
    if (c.Ligacao() && perna) {
        const TLigacao* l = c.Ligacao();
        const TChannel* outro = l->Outro(perna);
        item->setText(2, c.Direcao);
        item->setText(3, perna->Inicio > 0
                             ? DaysToDateTime(perna->Inicio).toString(QStringLiteral("HH:mm:ss"))
                             : QString());
        item->setText(4, c.Telefone);
        item->setText(5, perna->CallerIdValido());
        item->setText(6, perna->CallerIdNumValido());
        item->setText(7, perna->CallerIdNameValido());
        item->setText(8, perna->Context.compare(u"default", Qt::CaseInsensitive) == 0
                             ? QString()
                             : perna->Context);
        item->setText(9, perna->Extension.compare(u"s", Qt::CaseInsensitive) == 0
                             ? QString()
                             : perna->Extension);
        item->setText(10, QString());
        item->setText(11, outro ? outro->NomePeer() : QString());
    } else if (!c.Ligacao()) {
        item->setText(2, QStringLiteral("--:--:--"));
        for (int col = 3; col <= 8; ++col)
            item->setText(col, QStringLiteral("."));
        item->setText(9, QString());
        item->setText(10, QString());
        item->setText(11, QStringLiteral("."));
    }
}

QColor TPanelTronco::CorOcupacao(int ocupados, int linhas) {
    if (linhas <= 0) return QColor(0, 255, 0);
    const int parte = 510 * ocupados / linhas;
    return QColor(std::clamp(parte, 0, 255), std::clamp(510 - parte, 0, 255), 0);
}

void TPanelTronco::Conta() {
    m_ocupados = m_saida = m_entrada = m_discador = 0;
    for (const TCanalTronco* c : m_canais) {
        if (!c->Ligacao()) continue;
        ++m_ocupados;
        if (c->Direcao == u"S") ++m_saida;
        if (c->Direcao == u"E") ++m_entrada;
        if (c->Direcao == u"D") ++m_discador;
    }
    const int s = SegundoAtual();
    m_historico[size_t(s)] = m_ocupados;
    m_ultimoSegundo = s;
    setAccessibleDescription(
        u"Ocupação: " + QString::number(m_ocupados) + u" de " + QString::number(m_canais.size()) +
        u" canais; Saída: " + QString::number(m_saida) + u"; Entrada: " +
        QString::number(m_entrada) + u"; Discador: " + QString::number(m_discador));
    update();
}

int TPanelTronco::SegundoAtual() const {
    return DaysToDateTime(LocalNow()).time().second() % kAmostras;
}

void TPanelTronco::Amostra() {
    const int s = SegundoAtual();
    if (s == m_ultimoSegundo) return;
    // Seconds the timer skipped (a busy moment) keep the count they had last.
    if (m_ultimoSegundo >= 0)
        for (int k = (m_ultimoSegundo + 1) % kAmostras; k != s; k = (k + 1) % kAmostras)
            m_historico[size_t(k)] = m_ocupados;
    m_historico[size_t(s)] = m_ocupados;
    m_ultimoSegundo = s;
}

void TPanelTronco::Tick() {
    Amostra();
    bool falha = false;
    for (const TCanalTronco* c : m_canais)
        if (c->Status == u"Failure") {
            falha = true;
            break;
        }
    m_vermelho = falha && !m_vermelho;
    update();
}

void TPanelTronco::Esquece() {
    m_canais.clear();
    if (m_detalhe) m_detalhe->clear();
    m_tronco = nullptr;
    m_ocupados = m_saida = m_entrada = m_discador = 0;
    m_historico.fill(0);
    AjustaTamanho();
    update();
}

void TPanelTronco::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int n = int(m_canais.size());
    p.setPen(kCinzaClaro);
    p.drawLine(0, kAltura - 1, width(), kAltura - 1);

    QFont negrito = font();
    negrito.setBold(true);
    p.setFont(negrito);
    p.setPen(Qt::black);
    const QFontMetrics fmN(negrito);
    p.drawText(QRect(8, 2, 330, 18), Qt::AlignLeft | Qt::AlignVCenter,
               fmN.elidedText(Titulo(), Qt::ElideRight, 330));
    p.setFont(font());
    auto rotulo = [&](int x, const QString& texto, int valor) {
        p.drawText(QRect(x, 2, 96, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   texto + u' ' + QString::number(valor));
    };
    rotulo(344, QStringLiteral("Canais:"), n);
    rotulo(444, QStringLiteral("Saída:"), m_saida);
    rotulo(544, QStringLiteral("Entrada:"), m_entrada);
    rotulo(644, QStringLiteral("Discador:"), m_discador);

    p.setPen(m_vermelho ? Qt::red : Qt::black);
    p.drawText(QRect(8, 22 + TFaixaTronco::kCabecalho, kEsquerda - 10, TFaixaTronco::kCelula),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Status:"));
    p.setPen(Qt::black);
    p.drawText(QRect(8, 64, kEsquerda - 10, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ocupação:"));

    // Occupancy bar.
    const QRect barra(kEsquerda + 1, 66, LarguraBarra(), 14);
    if (m_ocupados > 0) {
        p.fillRect(barra, CorOcupacao(m_ocupados, n));
        p.setPen(kCinzaClaro);
        p.drawRect(barra.adjusted(0, 0, -1, -1));
    }

    // History graph: black, a dark green grid scrolling with the seconds, the last minute.
    const int gx = XContadores();
    const int gy = 22;
    const QRect grafico(gx, gy, 180, 50);
    p.fillRect(grafico, Qt::black);
    p.save();
    p.setClipRect(grafico);
    p.setPen(QColor(0, 128, 0));
    for (int y = 0; y <= 50; y += 5)
        p.drawLine(gx, gy + y, gx + 179, gy + y);
    const int s = m_ultimoSegundo < 0 ? 0 : m_ultimoSegundo;
    for (int i = 1; i <= 13; ++i) {
        const int x = gx + 15 * i - (s % 5) * 3;
        p.drawLine(x, gy, x, gy + 49);
    }
    if (n > 0) {
        p.setRenderHint(QPainter::Antialiasing, true);
        auto altura = [&](int ocupados) { return gy + 49 - std::min(ocupados, n) * 49 / n; };
        int anterior = m_historico[size_t((s + 1) % kAmostras)];
        for (int k = 1; k < kAmostras; ++k) {
            const int v = m_historico[size_t((s + 1 + k) % kAmostras)];
            p.setPen(QPen(CorOcupacao(v, n), 1));
            p.drawLine(QPointF(gx + (k - 1) * 3 + 0.5, altura(anterior) + 0.5),
                       QPointF(gx + k * 3 + 0.5, altura(v) + 0.5));
            anterior = v;
        }
    }
    p.restore();
    p.setPen(Qt::black);
    QFont pequena = font();
    pequena.setPointSizeF(std::max(5.0, font().pointSizeF() - 1));
    p.setFont(pequena);
    p.drawText(QRect(gx, gy + 51, 40, 13), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("60s"));
    p.drawText(QRect(gx + 140, gy + 51, 40, 13), Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("1"));
}
