#include "ui/windows/TfrmCampanhas.h"

#include "model/callcentre/TFila.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TfrmCampanha.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kAlturaPainel = 132;
}

TfrmCampanhas::TfrmCampanhas(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_aviso(new QLabel(this)), m_area(new QScrollArea(this)),
      m_conteudo(new QWidget), m_pilha(new QVBoxLayout(m_conteudo)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Campanhas"));
    resize(835, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_aviso->setContentsMargins(6, 3, 6, 3);
    m_aviso->setWordWrap(true);
    layout->addWidget(m_aviso);
    layout->addWidget(m_area);
    m_pilha->setContentsMargins(0, 0, 0, 0);
    m_pilha->setSpacing(2);
    m_pilha->addStretch(1);
    m_area->setWidget(m_conteudo);
    m_area->setWidgetResizable(true);
    m_area->setFrameShape(QFrame::NoFrame);
    MostraAviso();

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmCampanhas::Timer1Timer);
    Timer1.start();

    if (m_monitor) {
        TAvisos& avisos = m_monitor->Avisos();
        m_avisoCampanha = avisos.Campanha.Assina([this](TCampanha* c) { AtualizaCampanha(c); });
        m_avisoResumo =
            avisos.ResumoCampanha.Assina([this](TCampanha* c) { AtualizaResumoCampanha(c); });
        m_avisoFila = avisos.Fila.Assina([this](TFila* f) { AtualizaFila(f); });
        m_avisoLimpa = avisos.CampanhasLiberadas.Assina([this] {
            m_liberada = true;
            SoltaCampanhas();
        });
    }
}

TfrmCampanhas::~TfrmCampanhas() {
    Timer1.stop();
}

QString TfrmCampanhas::ArquivoPerfil() const {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

void TfrmCampanhas::LeVariaveis() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TPosicaoTela pos = TSecaoTela(arquivo, objectName()).LePosicao(480, 835);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
}

void TfrmCampanhas::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmCampanhas::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    SoltaCampanhas();
    m_avisoLimpa.Cancela();
    event->accept();
}

// --- Panels --------------------------------------------------------------------------------------

// A campaign the user may not see stays out, whatever the menu entry that opened the window.
bool TfrmCampanhas::Mostra(const TCampanha* c) const {
    return c && c->EstaAtiva() && c->PtrFila && (!m_monitor || m_monitor->TemPermissaoCampanha(c));
}

void TfrmCampanhas::Inicio() {
    if (!m_monitor) return;
    m_monitor->Campanhas.ParaCada([this](TCampanha* c) { CriaCampanha(c); });
}

void TfrmCampanhas::CriaCampanha(TCampanha* campanha) {
    if (!Mostra(campanha) || PainelDa(campanha)) return;
    auto* panel = new TPanelFila(m_conteudo, true);
    panel->SetCampaign(true);
    panel->setMinimumSize(panel->sizeHint().width(), kAlturaPainel);
    panel->setMaximumHeight(kAlturaPainel);
    for (int s = 0; s < TPanelFila::kSecoes; ++s)
        panel->SetSectionVisible(s, true);
    // Before the stretch that keeps the panels at the top.
    m_pilha->insertWidget(m_pilha->count() - 1, panel);
    m_paineis.push_back({campanha, panel});
    Preenche(m_paineis.back());
    MostraAviso();
}

void TfrmCampanhas::Preenche(const TPainelCampanha& p) {
    p.Panel->SetFila(p.Campanha->PtrFila);
    p.Panel->Title(TfrmCampanha::TituloPainel(*p.Campanha));
    if (p.Campanha->PtrFila) TfrmCampanha::MostraFila(p.Panel, *p.Campanha->PtrFila);
    TfrmCampanha::MostraContagens(p.Panel, *p.Campanha);
    TfrmCampanha::MostraResumo(p.Panel, *p.Campanha);
}

void TfrmCampanhas::RetiraPainel(const TCampanha* campanha) {
    const auto it = std::find_if(m_paineis.begin(), m_paineis.end(),
                                 [campanha](const auto& p) { return p.Campanha == campanha; });
    if (it == m_paineis.end()) return;
    delete it->Panel;
    m_paineis.erase(it);
    MostraAviso();
}

TPanelFila* TfrmCampanhas::PainelDa(const TCampanha* campanha) const {
    for (const TPainelCampanha& p : m_paineis)
        if (p.Campanha == campanha) return p.Panel;
    return nullptr;
}

TPanelFila* TfrmCampanhas::Painel(int i) const {
    return i >= 0 && i < Paineis() ? m_paineis[size_t(i)].Panel : nullptr;
}

TCampanha* TfrmCampanhas::CampanhaDoPainel(int i) const {
    return i >= 0 && i < Paineis() ? m_paineis[size_t(i)].Campanha : nullptr;
}

void TfrmCampanhas::AtualizaCampanha(TCampanha* campanha) {
    if (!campanha) return;
    if (!Mostra(campanha)) {
        RetiraPainel(campanha);
        return;
    }
    const auto it = std::find_if(m_paineis.begin(), m_paineis.end(),
                                 [campanha](const auto& p) { return p.Campanha == campanha; });
    if (it == m_paineis.end()) {
        CriaCampanha(campanha);
        return;
    }
    if (it->Panel->Fila() != campanha->PtrFila) {
        Preenche(*it);
        return;
    }
    it->Panel->Title(TfrmCampanha::TituloPainel(*campanha));
    TfrmCampanha::MostraContagens(it->Panel, *campanha);
}

void TfrmCampanhas::AtualizaFila(TFila* fila) {
    if (!fila) return;
    for (const TPainelCampanha& p : m_paineis)
        if (p.Campanha->PtrFila == fila) {
            TfrmCampanha::MostraFila(p.Panel, *fila);
            TfrmCampanha::MostraContagens(p.Panel, *p.Campanha);
        }
}

void TfrmCampanhas::AtualizaResumoCampanha(TCampanha* campanha) {
    if (TPanelFila* panel = PainelDa(campanha)) TfrmCampanha::MostraResumo(panel, *campanha);
}

void TfrmCampanhas::SoltaCampanhas() {
    m_avisoCampanha.Cancela();
    m_avisoResumo.Cancela();
    m_avisoFila.Cancela();
    for (const TPainelCampanha& p : m_paineis)
        delete p.Panel;
    m_paineis.clear();
    MostraAviso();
}

QString TfrmCampanhas::Aviso() const {
    return m_paineis.empty() ? m_aviso->text() : QString();
}

void TfrmCampanhas::MostraAviso() {
    m_aviso->setText(m_liberada ? QStringLiteral("As campanhas não estão mais disponíveis.")
                                : QStringLiteral("Nenhuma campanha ativa com fila para mostrar."));
    m_aviso->setVisible(m_paineis.empty());
}

void TfrmCampanhas::Timer1Timer() {
    Timer1.stop();
    for (const TPainelCampanha& p : m_paineis)
        p.Panel->Tick();
    Timer1.start();
}
