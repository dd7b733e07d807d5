#include "ui/windows/TfrmTroncos.h"

#include "model/telephony/TTronco.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/widgets/TPanelTronco.h"

#include <QCloseEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int kColunasDetalhe = 12;
}

TfrmTroncos::TfrmTroncos(TMonitor* monitor, const QString& tipo, TTronco* tronco, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_tipo(tipo), m_tronco(tronco), m_pilha(new QWidget),
      m_layout(new QVBoxLayout(m_pilha)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Legenda(tipo, tronco));
    resize(365, 440);
    if (tronco && monitor) m_posicao = monitor->Troncos.IndiceDe(tronco);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    auto* rolagem = new QScrollArea(this);
    rolagem->setWidgetResizable(true);
    rolagem->setWidget(m_pilha);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rolagem);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmTroncos::Timer1Timer);
    if (m_monitor) {
        m_avisoTronco = m_monitor->Avisos().Tronco.Assina([this](TTronco* t, TCanalTronco* c) {
            if (MostraTronco(t)) AtualizaTronco(t, c);
        });
        // A new load frees the trunks and their lines: the panels go first and come back, for
        // the same registry name, when the load ends.
        m_avisoRecarga = m_monitor->Avisos().TelefoniaRecarregando.Assina([this] { Esvazia(); });
        connect(m_monitor, &TMonitor::LoadFinished, this, [this] {
            if (!m_esperandoCarga) return;
            m_esperandoCarga = false;
            if (m_posicao >= 0) {
                TTronco* t = m_monitor->Troncos.Item(m_posicao);
                m_tronco = t && t->TipoTronco == m_tipo ? t : nullptr;
                if (!m_tronco) return;
            }
            Inicio();
        });
    }
}

TfrmTroncos::~TfrmTroncos() {
    Timer1.stop();
}

QString TfrmTroncos::NomeRegistro(const QString& tipo, int posicao) {
    if (tipo == u"d" || tipo == u"s") return u"Troncos" + tipo + QString::number(posicao);
    return u"Troncos" + tipo;
}

QString TfrmTroncos::Legenda(const QString& tipo, const TTronco* tronco) {
    const QString nome = tronco ? tronco->Nome : QString();
    if (tipo == u"c") return QStringLiteral("Troncos celulares");
    if (tipo == u"a") return QStringLiteral("Troncos analógicos");
    if (tipo == u"d") return u"Tronco digital - " + nome;
    if (tipo == u"s") return u"Tronco SIP - " + nome;
    return QStringLiteral("Troncos");
}

bool TfrmTroncos::MostraTronco(const TTronco* tronco) const {
    if (!tronco) return false;
    if (m_tipo.isEmpty()) return true;
    if (tronco->TipoTronco != m_tipo) return false;
    return (m_tipo != u"d" && m_tipo != u"s") || tronco == m_tronco;
}

// --- Settings -------------------------------------------------------------------------------

void TfrmTroncos::LeVariaveis() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    const TSecaoTela secao(ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva),
                           objectName());
    const TPosicaoTela pos = secao.LePosicao(440, 365);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    m_larguras.clear();
    for (int c = 0; c < kColunasDetalhe; ++c)
        m_larguras << secao.LeInteiro(u"Coluna" + QString::number(c), 0);
}

void TfrmTroncos::SalvaCfgForm() {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return;
    try {
        TSecaoTela secao(ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva), objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        // The widths come from the first panel's detail list, when it has one.
        const QList<int> larguras =
            m_paineis.empty() ? QList<int>() : m_paineis.front()->LargurasDetalhe();
        for (int c = 0; c < larguras.size(); ++c)
            secao.EscreveInteiro(u"Coluna" + QString::number(c), larguras[c]);
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmTroncos::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    event->accept();
}

// --- Panels ---------------------------------------------------------------------------------

void TfrmTroncos::Inicio() {
    Timer1.stop();
    const bool expandido = m_tronco != nullptr;
    std::vector<TTronco*> troncos;
    if (m_tronco) {
        if (m_monitor->TemPermissaoTronco(m_tronco)) troncos.push_back(m_tronco);
    } else {
        m_monitor->Troncos.ParaCada([&](TTronco* t) {
            if (MostraTronco(t) && m_monitor->TemPermissaoTronco(t)) troncos.push_back(t);
        });
    }
    for (TTronco* t : troncos)
        CriaTronco(t, expandido);
    for (TTronco* t : troncos)
        t->Canais.ParaCada([&](TCanalTronco* c) { AtualizaTronco(t, c); });
    Timer1.start();
}

TPanelTronco* TfrmTroncos::NovoPainel(const QString& tipo, TTronco* tronco, bool expandido) {
    auto* painel = new TPanelTronco(tipo, tronco, expandido, m_pilha);
    if (expandido) {
        painel->DefineLargurasDetalhe(m_larguras);
        // The detail list takes the room the window has; nothing stretches below it.
        if (QLayoutItem* mola = m_layout->takeAt(m_layout->count() - 1)) delete mola;
        m_layout->addWidget(painel, 1);
    } else {
        // The shared panels open the window of their kind, the others their trunk's own.
        painel->AoExpandir = [this](TPanelTronco* p) {
            if (AoExpandir) AoExpandir(p->Tipo(), p->Tronco());
        };
        m_layout->insertWidget(m_layout->count() - 1, painel);
    }
    m_paineis.push_back(painel);
    painel->show();
    return painel;
}

TPanelTronco* TfrmTroncos::PainelCompartilhado(const QString& tipo, bool expandido) {
    for (TPanelTronco* p : m_paineis)
        if (p->Tipo() == tipo) return p;
    return NovoPainel(tipo, nullptr, expandido);
}

void TfrmTroncos::CriaTronco(TTronco* tronco, bool expandido) {
    if (!tronco) return;
    const QString& tipo = tronco->TipoTronco;
    if (tronco->Tipo == u"f" && tronco->Porta) {
        if (tipo == u"d") {
            TPanelTronco* p = NovoPainel(tipo, tronco, expandido);
            for (int i = 0; i < tronco->Canais.Count(); ++i)
                p->AdicionaCanal(tronco->Canais.Item(i), QString::number(i + 1));
        } else if (tipo == u"c" || tipo == u"a") {
            TPanelTronco* p = PainelCompartilhado(tipo, expandido);
            if (TCanalTronco* primeiro = tronco->Canais.Item(0))
                p->AdicionaCanal(primeiro, tronco->Nome);
        }
    } else if (tronco->Sip()) {
        TPanelTronco* p = NovoPainel(QStringLiteral("s"), tronco, expandido);
        for (int i = 0; i < tronco->Canais.Count(); ++i)
            p->AdicionaCanal(tronco->Canais.Item(i), QString::number(i + 1));
    }
}

void TfrmTroncos::AtualizaTronco(TTronco* tronco, TCanalTronco* canal) {
    if (!tronco || !canal) return;
    const QString& tipo = tronco->TipoTronco;
    for (TPanelTronco* p : m_paineis) {
        if (tipo == u"c" || tipo == u"a") {
            if (p->Tipo() == tipo) p->AtualizaCanal(canal);
        } else if (tipo == u"d") {
            if (p->Tronco() == tronco) p->AtualizaCanal(canal);
        } else if (tipo == u"s") {
            if (p->Tronco() != tronco) continue;
            // A second simultaneous call grows the panel by a slot.
            if (!p->Mostra(canal)) p->AdicionaCanal(canal, QString::number(p->Canais().size() + 1));
            p->AtualizaCanal(canal);
        }
    }
}

void TfrmTroncos::Timer1Timer() {
    for (TPanelTronco* p : m_paineis)
        p->Tick();
}

void TfrmTroncos::Esvazia() {
    Timer1.stop();
    m_esperandoCarga = true;
    if (!m_paineis.empty() && m_paineis.front()->Expandido())
        m_larguras = m_paineis.front()->LargurasDetalhe();
    for (TPanelTronco* p : m_paineis) {
        p->Esquece();
        p->hide();
        p->deleteLater();
    }
    m_paineis.clear();
    while (QLayoutItem* item = m_layout->takeAt(0))
        delete item;
    m_layout->addStretch(1);
    m_tronco = nullptr;
}
