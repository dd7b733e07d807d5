#include "ui/windows/TfrmCampanha.h"

#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasCampanha.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The members of the campaign's queue, coloured as that queue's window ("TelaFila" + its id),
// whose colours "Cores..." edits too.
class TAtendentesCampanha : public TListaAtendentesFila {
public:
    using TListaAtendentesFila::TListaAtendentesFila;
    void SetSecaoCores(const QString& secao) { m_secaoCores = secao; }

protected:
    TEsquemaCores LeEsquema(const QString& arquivo, const QString& secao) const override {
        return TListaAtendentesFila::LeEsquema(arquivo,
                                               m_secaoCores.isEmpty() ? secao : m_secaoCores);
    }
    void AbreCores() override {
        const QString arquivo = ArquivoPerfil();
        if (arquivo.isEmpty() || m_secaoCores.isEmpty()) return;
        TfrmConfiguraCores dialogo(arquivo, this);
        dialogo.ConfiguraParaFila(LegendaCores);
        dialogo.LeConfigCores(m_secaoCores);
        if (dialogo.exec() != QDialog::Accepted) return;
        Q_EMIT CoresAlteradas();
    }

public:
    QString LegendaCores;

private:
    QString m_secaoCores;
};

TAtendentesCampanha* Atendentes(TListaAtendentesFila* lista) {
    return static_cast<TAtendentesCampanha*>(lista);
}

constexpr int kAlturaPainel = 132;

} // namespace

TfrmCampanha::TfrmCampanha(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_aviso(new QLabel(this)),
      m_divisor(new QSplitter(Qt::Vertical, this)), m_areaPanel(new QScrollArea(m_divisor)),
      m_panel(new TPanelFila(nullptr, true)),
      m_membros(new TAtendentesCampanha(monitor, m_divisor)),
      m_chamadas(new TListaChamadasCampanha(monitor, m_divisor)) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(835, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_aviso->setWordWrap(true);
    m_aviso->setContentsMargins(6, 3, 6, 3);
    m_aviso->hide();
    layout->addWidget(m_aviso);
    layout->addWidget(m_divisor);
    m_divisor->setChildrenCollapsible(false);
    // The panel is wider than the window's default width: it scrolls sideways, never squeezed.
    m_panel->SetCampaign(true);
    m_panel->setMinimumSize(m_panel->sizeHint().width(), kAlturaPainel);
    m_areaPanel->setWidget(m_panel);
    m_areaPanel->setWidgetResizable(true);
    m_areaPanel->setFrameShape(QFrame::NoFrame);
    m_areaPanel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_areaPanel->setFixedHeight(kAlturaPainel +
                                m_areaPanel->horizontalScrollBar()->sizeHint().height());
    for (QWidget* w : {static_cast<QWidget*>(m_membros), static_cast<QWidget*>(m_chamadas)}) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->setWindowFlags(Qt::Widget);
    }
    m_divisor->setStretchFactor(0, 0);
    m_divisor->setStretchFactor(1, 0);
    m_divisor->setStretchFactor(2, 1);
    connect(m_membros, &TfrmLista::CoresAlteradas, this, &TfrmCampanha::CoresAlteradas);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmCampanha::Timer1Timer);

    if (m_monitor) {
        TAvisos& avisos = m_monitor->Avisos();
        m_avisoCampanha = avisos.Campanha.Assina([this](TCampanha* c) { AtualizaCampanha(c); });
        m_avisoChamada =
            avisos.ChamadaCampanha.Assina([this](TCampanha* c, TChannel* canal, TAvisoCampanha a) {
                AtualizaChamada(c, canal, a);
            });
        m_avisoResumo =
            avisos.ResumoCampanha.Assina([this](TCampanha* c) { AtualizaResumoCampanha(c); });
        m_avisoFila = avisos.Fila.Assina([this](TFila* f) { AtualizaFila(f); });
        m_avisoMembro = avisos.Membro.Assina(
            [this](TFila* f, TMembroFila* m, TAvisoFila a) { AtualizaMembro(f, m, a); });
        m_avisoLimpa = avisos.CampanhasLiberadas.Assina([this] {
            if (!m_campanha) return;
            m_removida = true;
            SoltaCampanha();
        });
    }
}

TfrmCampanha::~TfrmCampanha() {
    Timer1.stop();
}

QString TfrmCampanha::ArquivoPerfil() const {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

// --- Settings ------------------------------------------------------------------------------------

void TfrmCampanha::LeVariaveis() {
    m_membros->setObjectName(objectName());
    m_chamadas->setObjectName(objectName());
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(480, 835);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    m_alturaAtendentes = std::clamp(secao.LeInteiro(QStringLiteral("lvaHeight"), 160), 50, 4000);
    m_membros->LeConfig(secao);
    m_chamadas->LeConfig(secao);
}

void TfrmCampanha::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const QList<int> alturas = m_divisor->sizes();
    if (alturas.size() == 3 && alturas[1] > 0) m_alturaAtendentes = alturas[1];
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.EscreveInteiro(QStringLiteral("lvaHeight"), m_alturaAtendentes);
        m_membros->SalvaConfig(secao);
        m_chamadas->SalvaConfig(secao);
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmCampanha::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    SoltaCampanha();
    m_avisoLimpa.Cancela();
    event->accept();
}

// --- Creation ------------------------------------------------------------------------------------

void TfrmCampanha::LimpaFila(TPanelFila* panel) {
    panel->SetMembers(0);
    panel->SetReceived(0);
    panel->SetCompleted(0);
    panel->SetAbandoned(0);
    panel->SetAverageWait(0);
    panel->SetAverageTalk(0);
    panel->SetService(0, QString());
}

QString TfrmCampanha::TituloPainel(const TCampanha& c) {
    QString t = c.CampanhaId() + u" - " + c.Nome;
    if (const TFila* f = c.PtrFila) t += u" ( Fila " + f->FilaId() + u" - " + f->Nome + u" )";
    return t;
}

void TfrmCampanha::CriaCampanha(TCampanha* campanha) {
    m_campanha = campanha;
    if (!campanha) return;
    setWindowTitle(campanha->Titulo());
    LigaFila(campanha->PtrFila);
    m_chamadas->SetCampanha(campanha);
    AtualizaResumoCampanha(campanha);
    for (int s = 0; s < TPanelFila::kSecoes; ++s)
        m_panel->SetSectionVisible(s, true);
    m_panel->Relayout();
    m_divisor->setSizes({kAlturaPainel, m_alturaAtendentes, std::max(50, height())});
    MostraAviso();
    Timer1.start();
}

// Binds the panel and the agents list to the campaign's queue, or to none: a campaign that
// stopped or lost its queue shows no queue's figures, and keeps its window.
void TfrmCampanha::LigaFila(TFila* fila) {
    m_fila = fila;
    const QString secaoCores = fila ? u"TelaFila" + fila->FilaId() : QString();
    Atendentes(m_membros)->SetSecaoCores(secaoCores);
    Atendentes(m_membros)->LegendaCores = m_campanha ? m_campanha->Titulo() : QString();
    m_chamadas->SetSecaoCores(secaoCores);
    m_panel->SetFila(fila);
    m_membros->SetFila(fila);
    if (fila) {
        m_panel->Title(TituloPainel(*m_campanha));
        AtualizaFila(fila);
    } else {
        LimpaFila(m_panel);
    }
    AtualizaCores();
    AtualizaContagens();
}

void TfrmCampanha::SoltaCampanha() {
    m_avisoCampanha.Cancela();
    m_avisoChamada.Cancela();
    m_avisoResumo.Cancela();
    m_avisoFila.Cancela();
    m_avisoMembro.Cancela();
    m_membros->Timer1.stop();
    m_membros->Timer2.stop();
    m_chamadas->Timer1.stop();
    m_chamadas->Timer2.stop();
    m_fila = nullptr;
    m_campanha = nullptr;
    m_panel->SetFila(nullptr);
    m_membros->SetFila(nullptr);
    m_membros->Recarrega();
    m_chamadas->SetCampanha(nullptr);
    m_membros->Timer1.stop();
    m_chamadas->Timer1.stop();
    MostraAviso();
}

QString TfrmCampanha::Aviso() const {
    return m_aviso->isVisibleTo(const_cast<TfrmCampanha*>(this)) ? m_aviso->text() : QString();
}

void TfrmCampanha::MostraAviso() {
    QString texto;
    if (m_removida)
        texto = QStringLiteral("Esta campanha não está mais disponível.");
    else if (m_campanha && !m_campanha->EstaAtiva())
        texto = QStringLiteral("Campanha parada: sem fila e sem chamadas do discador.");
    else if (m_campanha && !m_fila)
        texto = QStringLiteral("Campanha sem fila: não há atendentes para mostrar.");
    m_aviso->setText(texto);
    m_aviso->setVisible(!texto.isEmpty());
}

// --- Notices -------------------------------------------------------------------------------------

void TfrmCampanha::MostraContagens(TPanelFila* panel, const TCampanha& campanha) {
    const int c = TPanelFila::ArredondaPar(campanha.ContaChamadas());
    if (c > panel->CallScale()) panel->SetCallScale(c);
    panel->SetWaiting(campanha.ContaAguardando());
    panel->SetAnswering(campanha.ContaEmAtendimento());
}

void TfrmCampanha::MostraFila(TPanelFila* panel, const TFila& fila) {
    const int m = TPanelFila::ArredondaPar(fila.Members.Count());
    if (m > panel->MemberScale()) panel->SetMemberScale(m);
    panel->SetMembers(fila.Members.Count());
    panel->SetBusy(fila.AtendentesOcupados());
    panel->SetFree(fila.AtendentesLivres());
    panel->SetPaused(fila.AtendentesPausados());
    // Counters are 32-bit on the wire; their sum is taken in 64 bits so it cannot wrap.
    const qint64 soma = qint64(fila.Completed) + fila.Abandoned + fila.ExitWithKey;
    panel->SetReceived(fila.Received != -1 && fila.Received >= soma ? fila.Received : soma);
    panel->SetCompleted(fila.Completed);
    panel->SetAbandoned(qint64(fila.Abandoned) + fila.ExitWithKey);
    panel->SetAverageWait(fila.HoldTime);
    panel->SetAverageTalk(fila.TalkTime);
    panel->SetService(fila.ServiceLevel, fila.ServiceLevelPerf);
}

void TfrmCampanha::MostraResumo(TPanelFila* panel, const TCampanha& campanha) {
    for (const TCampanha::TContador& k : TCampanha::Contadores())
        panel->SetCampaignValue(k.Nome, campanha.*k.Campo);
}

void TfrmCampanha::AtualizaContagens() {
    if (m_campanha) MostraContagens(m_panel, *m_campanha);
}

void TfrmCampanha::AtualizaCampanha(TCampanha* campanha) {
    if (!campanha || campanha != m_campanha) return;
    setWindowTitle(campanha->Titulo());
    Atendentes(m_membros)->LegendaCores = campanha->Titulo();
    if (campanha->PtrFila != m_fila)
        LigaFila(campanha->PtrFila);
    else if (m_fila)
        m_panel->Title(TituloPainel(*campanha));
    AtualizaContagens();
    MostraAviso();
}

void TfrmCampanha::AtualizaFila(TFila* fila) {
    if (!fila || fila != m_fila) return;
    MostraFila(m_panel, *fila);
    // A queue call answered by an agent moves a dialer call from waiting to answering.
    AtualizaContagens();
}

void TfrmCampanha::AtualizaChamada(TCampanha* campanha, TChannel* canal, TAvisoCampanha aviso) {
    if (!campanha || campanha != m_campanha) return;
    if (!canal)
        m_chamadas->AtualizaTodas();
    else if (aviso == TAvisoCampanha::CallAdded)
        m_chamadas->EntraChamada(canal);
    else if (aviso == TAvisoCampanha::CallRemoved)
        m_chamadas->SaiChamada(canal);
    else
        m_chamadas->AtualizaChamada(canal);
    AtualizaContagens();
}

void TfrmCampanha::AtualizaResumoCampanha(TCampanha* campanha) {
    if (!campanha || campanha != m_campanha) return;
    MostraResumo(m_panel, *campanha);
}

void TfrmCampanha::AtualizaMembro(TFila* fila, TMembroFila* membro, TAvisoFila aviso) {
    if (!fila || fila != m_fila) return;
    switch (aviso) {
    case TAvisoFila::MemberAdded:
        m_membros->Recarrega();
        return;
    case TAvisoFila::MemberRemoved:
        // The removed member is still in the list while its notice runs.
        QTimer::singleShot(0, this, [this] {
            if (m_fila) m_membros->Recarrega();
        });
        return;
    case TAvisoFila::MemberPaused:
        if (membro && membro->Agent) m_membros->AtualizaAgente(membro->Agent);
        return;
    default:
        return;
    }
}

void TfrmCampanha::AtualizaCores() {
    m_membros->AtualizaCores();
    m_chamadas->AtualizaCores();
    const TEsquemaCores& e = m_membros->Esquema();
    if (m_fila && e.Cor >= 2) {
        m_panel->SetFreeColour(e.CorFundo(TClasseCor::Livre));
        m_panel->SetBusyColour(e.CorFundo(TClasseCor::OcupadoNaFila));
        m_panel->SetPausedColour(e.CorFundo(TClasseCor::EmPausa));
    } else {
        m_panel->DefaultColours();
    }
}

void TfrmCampanha::Timer1Timer() {
    Timer1.stop();
    if (m_fila) m_panel->Tick();
    Timer1.start();
}
