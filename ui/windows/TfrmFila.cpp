#include "ui/windows/TfrmFila.h"

#include "model/callcentre/TFila.h"
#include "model/callcentre/TMotivoChamada.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/lists/TVistaLista.h"
#include "ui/widgets/TGraficoPizza.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TGraficoMotivosFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TListaChamadasFila.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kNomesSecoes[] = {"Cabeçalho do resumo", "Lista de atendentes",
                                    "Lista de chamadas"};
constexpr int kMinimoCabecalho = 100;

} // namespace

TfrmFila::TfrmFila(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_divisor(new QSplitter(Qt::Vertical, this)),
      m_panel(new TPanelFila(m_divisor, true)),
      m_membros(new TListaAtendentesFila(monitor, m_divisor)),
      m_chamadas(new TListaChamadasFila(monitor, m_divisor)) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(835, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_divisor);
    m_divisor->setChildrenCollapsible(false);
    m_panel->setMinimumHeight(kMinimoCabecalho);
    // The embedded lists are parts of this window, never windows of their own.
    for (QWidget* w : {static_cast<QWidget*>(m_membros), static_cast<QWidget*>(m_chamadas)}) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->setWindowFlags(Qt::Widget);
    }
    m_panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_panel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { AbreMenuCabecalho(m_panel->mapToGlobal(p)); });
    TGraficoPizza* grafico = m_panel->Grafico();
    grafico->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grafico, &QWidget::customContextMenuRequested, this, [this, grafico](const QPoint& p) {
        QMenu* menu = MontaMenuGrafico();
        menu->popup(grafico->mapToGlobal(p));
    });
    connect(grafico, &TGraficoPizza::ClicaItem, this, &TfrmFila::ClicaFatia);
    connect(grafico, &TGraficoPizza::Voltar, this, &TfrmFila::VoltaGrafico);
    connect(grafico, &TGraficoPizza::ClicaCor, this, [this](const QString& nome) {
        if (m_tipoGrafico == 0) return;
        const QColor cor = QColorDialog::getColor(Qt::white, this);
        if (cor.isValid()) DefineCorMotivo(nome, CorRGB(cor.red(), cor.green(), cor.blue()));
    });
    connect(m_membros, &TfrmLista::CoresAlteradas, this, &TfrmFila::CoresAlteradas);
    m_membros->MenuDaJanela = [this](QMenu* menu) { AdicionaMenuSecoes(menu); };
    m_chamadas->MenuDaJanela = [this](QMenu* menu) { AdicionaMenuSecoes(menu); };

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmFila::Timer1Timer);

    if (m_monitor) {
        TAvisos& avisos = m_monitor->Avisos();
        m_avisoFila = avisos.Fila.Assina([this](TFila* f) { AtualizaFila(f); });
        m_avisoMembro = avisos.Membro.Assina(
            [this](TFila* f, TMembroFila* m, TAvisoFila a) { AtualizaMembro(f, m, a); });
        m_avisoChamada = avisos.ChamadaFila.Assina(
            [this](TFila* f, TChannel* c, TAvisoFila a) { AtualizaChamada(f, c, a); });
        // A window reopened during the load sees the counters arrive after it: the chart
        // comes with them.
        m_avisoMotivos = avisos.MotivosRecontados.Assina([this] {
            if (!m_fila) return;
            if (!m_motivos) {
                m_motivos = true;
                m_panel->SetChartEnabled(true);
                m_panel->Relayout();
            }
            DesenhaGrafico();
        });
        AssinaAlertas();
    }
}

TfrmFila::~TfrmFila() {
    Timer1.stop();
}

QString TfrmFila::ArquivoPerfil() const {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

// --- Settings ------------------------------------------------------------------------------------

void TfrmFila::LeVariaveis() {
    // The lists read the window's section: their colours follow the window's scheme.
    m_membros->setObjectName(objectName());
    m_chamadas->setObjectName(objectName());
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(480, 835);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(pos.Width, pos.Height);
    m_alturaPanel =
        std::clamp(secao.LeInteiro(QStringLiteral("PanelFilaHeight"), 110), kMinimoCabecalho, 2000);
    m_alturaAtendentes = std::clamp(secao.LeInteiro(QStringLiteral("lvaHeight"), 160), 50, 4000);
    m_membros->LeConfig(secao);
    m_chamadas->LeConfig(secao);
    const int tipo = secao.LeInteiro(QStringLiteral("TipoGraficoMotivoChamada"), 0);
    m_tipoGrafico = tipo >= 0 && tipo <= 2 ? tipo : 0;
    m_fatias = std::clamp(secao.LeInteiro(QStringLiteral("Fatias"), 5), 2, 10);
    m_motivoAtual = secao.LeTexto(QStringLiteral("MotivoChamadaAtual"));
    if (m_tipoGrafico == 2 && m_motivoAtual.isEmpty()) m_tipoGrafico = 1;
    m_visivel = {secao.LeBool(QStringLiteral("MostrarCabecalho"), true),
                 secao.LeBool(QStringLiteral("MostrarAtendentes"), true),
                 secao.LeBool(QStringLiteral("MostrarChamadas"), true)};
    // A file with every section hidden would leave an empty window.
    if (!m_visivel[0] && !m_visivel[1] && !m_visivel[2]) m_visivel[0] = true;
}

void TfrmFila::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    GuardaAlturas();
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        secao.EscreveInteiro(QStringLiteral("PanelFilaHeight"), m_alturaPanel);
        secao.EscreveInteiro(QStringLiteral("lvaHeight"), m_alturaAtendentes);
        m_membros->SalvaConfig(secao);
        m_chamadas->SalvaConfig(secao);
        secao.EscreveInteiro(QStringLiteral("TipoGraficoMotivoChamada"), m_tipoGrafico);
        secao.EscreveInteiro(QStringLiteral("Fatias"), m_fatias);
        secao.EscreveTexto(QStringLiteral("MotivoChamadaAtual"), m_motivoAtual);
        secao.EscreveBool(QStringLiteral("MostrarCabecalho"), m_visivel[0]);
        secao.EscreveBool(QStringLiteral("MostrarAtendentes"), m_visivel[1]);
        secao.EscreveBool(QStringLiteral("MostrarChamadas"), m_visivel[2]);
        secao.Salva();
    } catch (const std::exception& e) {
        m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmFila::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    SoltaFila();
    event->accept();
}

// The queue may be freed once the window is closed (a disconnection clears the model right
// after closing the windows): nothing here may read it again.
void TfrmFila::SoltaFila() {
    m_avisoFila.Cancela();
    m_avisoMembro.Cancela();
    m_avisoChamada.Cancela();
    m_avisoMotivos.Cancela();
    m_avisoAlerta.Cancela();
    m_membros->Timer1.stop();
    m_membros->Timer2.stop();
    m_chamadas->Timer1.stop();
    m_chamadas->Timer2.stop();
    m_fila = nullptr;
    m_panel->SetFila(nullptr);
    m_membros->SetFila(nullptr);
    m_membros->Recarrega();
    m_chamadas->SetFila(nullptr);
    m_membros->Timer1.stop();
    m_chamadas->Timer1.stop();
}

// --- Creation and notices ------------------------------------------------------------------------

void TfrmFila::CriaFila(const QString& nome, TFila* fila) {
    m_nomeFila = nome;
    m_fila = fila;
    if (!fila) return;
    m_tipoForm = fila->EhChat() ? 1 : 0;
    setWindowTitle(fila->QueueCaption());
    m_membros->SetLegenda(fila->QueueCaption());
    m_membros->SetTipoForm(m_tipoForm);
    m_membros->SetFila(fila);
    m_panel->SetFila(fila);
    m_panel->Title(fila->QueueShortText());
    AtualizaCores();
    AtualizaFila(fila);
    m_membros->Inicio();
    m_chamadas->SetFila(fila);
    m_motivos = m_monitor && m_monitor->CallReasonsCounted;
    m_panel->SetChartEnabled(m_motivos);
    if (m_motivos) DesenhaGrafico();
    for (int s = 0; s < TPanelFila::kSecoes; ++s)
        m_panel->SetSectionVisible(s, true);
    m_panel->Relayout();
    AplicaAlturas();
    MostraAlerta();
    Timer1.start();
}

void TfrmFila::AtualizaFila(TFila* fila) {
    if (!fila || fila != m_fila) return;
    const int m = TPanelFila::ArredondaPar(fila->Members.Count());
    if (m > m_panel->MemberScale()) m_panel->SetMemberScale(m);
    m_panel->SetMembers(fila->Members.Count());
    m_panel->SetBusy(fila->AtendentesOcupados());
    m_panel->SetFree(fila->AtendentesLivres());
    m_panel->SetPaused(fila->AtendentesPausados());
    const int c = TPanelFila::ArredondaPar(fila->CallCount());
    if (c > m_panel->CallScale()) m_panel->SetCallScale(c);
    m_panel->SetWaiting(fila->WaitingCount());
    m_panel->SetAnswering(fila->AnsweringCount());
    // Counters are 32-bit on the wire; their sum is taken in 64 bits so it cannot wrap.
    const qint64 soma = qint64(fila->Completed) + fila->Abandoned + fila->ExitWithKey;
    m_panel->SetReceived(fila->Received != -1 && fila->Received >= soma ? fila->Received : soma);
    // "Não motivadas" depends on the completed count.
    if (m_panel->Completed() != fila->Completed && m_motivos) {
        m_panel->SetCompleted(fila->Completed);
        DesenhaGrafico();
    }
    m_panel->SetCompleted(fila->Completed);
    m_panel->SetAbandoned(qint64(fila->Abandoned) + fila->ExitWithKey);
    m_panel->SetAverageWait(fila->HoldTime);
    m_panel->SetAverageTalk(fila->TalkTime);
    m_panel->SetService(fila->ServiceLevel, fila->ServiceLevelPerf);
}

void TfrmFila::AtualizaMembro(TFila* fila, TMembroFila* membro, TAvisoFila aviso) {
    if (!fila || fila != m_fila) return;
    switch (aviso) {
    case TAvisoFila::MemberAdded:
    case TAvisoFila::MemberRemoved:
        // The removed member is still in the list while its notice runs: the rows are rebuilt
        // once it is gone.
        if (aviso == TAvisoFila::MemberRemoved) {
            QTimer::singleShot(0, this, [this] {
                if (m_fila) m_membros->Recarrega();
            });
            return;
        }
        m_membros->Recarrega();
        return;
    case TAvisoFila::MemberPaused:
        if (membro && membro->Agent) m_membros->AtualizaAgente(membro->Agent);
        return;
    default:
        return;
    }
}

void TfrmFila::AtualizaChamada(TFila* fila, TChannel* canal, TAvisoFila aviso) {
    if (!fila || fila != m_fila) return;
    if (!canal) return;
    if (aviso == TAvisoFila::CallAdded)
        m_chamadas->EntraChamada(canal);
    else if (aviso == TAvisoFila::CallRemoved)
        m_chamadas->SaiChamada(canal);
    else
        m_chamadas->AtualizaChamada(canal);
}

void TfrmFila::AtualizaCores() {
    m_membros->AtualizaCores();
    m_chamadas->AtualizaCores();
    const TEsquemaCores& e = m_membros->Esquema();
    if (e.Cor >= 2) {
        m_panel->SetFreeColour(e.CorFundo(TClasseCor::Livre));
        m_panel->SetBusyColour(e.CorFundo(TClasseCor::OcupadoNaFila));
        m_panel->SetPausedColour(e.CorFundo(TClasseCor::EmPausa));
    } else {
        m_panel->DefaultColours();
    }
    MostraAlerta();
    if (m_motivos) DesenhaGrafico();
}

void TfrmFila::Timer1Timer() {
    Timer1.stop();
    if (m_fila) m_panel->Tick();
    Timer1.start();
}

// --- Sections ------------------------------------------------------------------------------------

bool TfrmFila::SecaoVisivel(int secao) const {
    return secao >= 0 && secao < 3 && m_visivel[size_t(secao)];
}

bool TfrmFila::MostraSecao(int secao, bool mostra) {
    if (secao < 0 || secao >= 3 || m_visivel[size_t(secao)] == mostra) return false;
    if (!mostra && std::count(m_visivel.begin(), m_visivel.end(), true) == 1) return false;
    GuardaAlturas();
    if (secao == ListaChamadas && mostra && m_visivel[ListaAtendentes])
        m_alturaAtendentes = std::max(50, m_alturaAtendentes / 2);
    m_visivel[size_t(secao)] = mostra;
    AplicaAlturas();
    return true;
}

void TfrmFila::GuardaAlturas() {
    const QList<int> alturas = m_divisor->sizes();
    if (alturas.size() != 3) return;
    if (m_visivel[Cabecalho] && alturas[0] > 0)
        m_alturaPanel = std::max(kMinimoCabecalho, alturas[0]);
    // The member list keeps its height only while something stacks below it.
    if (m_visivel[ListaAtendentes] && m_visivel[ListaChamadas] && alturas[1] > 0)
        m_alturaAtendentes = std::max(50, alturas[1]);
}

void TfrmFila::AplicaAlturas() {
    m_panel->setVisible(m_visivel[Cabecalho]);
    m_membros->setVisible(m_visivel[ListaAtendentes]);
    m_chamadas->setVisible(m_visivel[ListaChamadas]);
    // The lowest visible section takes what is left.
    const int ultima = m_visivel[ListaChamadas] ? 2 : m_visivel[ListaAtendentes] ? 1 : 0;
    const int total = std::max(1, m_divisor->height());
    QList<int> alturas{m_alturaPanel, m_alturaAtendentes, 0};
    for (int s = 0; s < 3; ++s)
        if (!m_visivel[size_t(s)]) alturas[s] = 0;
    int usado = 0;
    for (int s = 0; s < ultima; ++s)
        usado += alturas[s];
    alturas[ultima] = std::max(50, total - usado);
    for (int s = 0; s < 3; ++s)
        m_divisor->setStretchFactor(s, s == ultima ? 1 : 0);
    m_divisor->setSizes(alturas);
}

void TfrmFila::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AplicaAlturas();
}

void TfrmFila::AdicionaMenuSecoes(QMenu* menu) {
    QMenu* ocultar = menu->addMenu(QStringLiteral("Ocultar"));
    QMenu* mostrar = menu->addMenu(QStringLiteral("Mostrar"));
    for (int s = 0; s < 3; ++s) {
        const QString nome = QString::fromUtf8(kNomesSecoes[s]);
        ocultar->addAction(nome, this, [this, s] { MostraSecao(s, false); })
            ->setEnabled(m_visivel[size_t(s)]);
        mostrar->addAction(nome, this, [this, s] { MostraSecao(s, true); })
            ->setEnabled(!m_visivel[size_t(s)]);
    }
}

void TfrmFila::AbreMenuCabecalho(const QPoint& global) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AdicionaMenuSecoes(menu);
    menu->popup(global);
}

// --- Call-reason chart ---------------------------------------------------------------------------

void TfrmFila::DesenhaGrafico() {
    TGraficoPizza* g = m_panel->Grafico();
    g->Limpa();
    if (!m_fila) {
        g->Desenha(QString(), m_fatias);
        return;
    }
    const TKQListCallReason& motivos = m_fila->CallReasons;
    const TCoresMotivos& cores = m_monitor->CoresMotivos;
    // A reason named at level 2 that no longer exists falls back to the reasons.
    const TKQCallReason* atual = m_tipoGrafico == 2 ? motivos.Procura(m_motivoAtual) : nullptr;
    if (m_tipoGrafico == 2 && !atual) m_tipoGrafico = 1;
    QString outros;
    switch (m_tipoGrafico) {
    case 0: {
        const qint64 total = motivos.TotalCount();
        g->DefineTitulo(QStringLiteral("Motivos"));
        g->AdicionaFatia(total >= 1 ? QStringLiteral("Motivadas") : QString(), total, 0,
                         QStringLiteral("Motivadas"));
        g->AdicionaFatia(QStringLiteral("Não motivadas"),
                         std::max<qint64>(0, qint64(m_fila->Completed) - total), 0,
                         QStringLiteral("Não motivadas"));
        break;
    }
    case 1:
        g->DefineTitulo(QStringLiteral("Motivos"));
        motivos.ParaCada([&](const TKQCallReason* r) {
            g->AdicionaFatia(r->Name, r->Count,
                             cores.LeCorMotivoChamada(QStringLiteral("Motivo"), r->Name),
                             r->SubReasons.Count() > 0 ? r->Name : QString());
        });
        outros = QStringLiteral("Outros motivos");
        break;
    default:
        g->DefineTitulo(u"Motivo: " + m_motivoAtual);
        atual->SubReasons.ParaCada([&](const TKQCallSubReason* s) {
            g->AdicionaFatia(s->Name, s->Count,
                             cores.LeCorMotivoChamada(QStringLiteral("SubMotivo"), s->Name));
        });
        outros = QStringLiteral("Outros submotivos");
        break;
    }
    g->MostraVoltar(m_tipoGrafico > 0);
    g->Desenha(outros, m_fatias);
}

void TfrmFila::ClicaFatia(const QString& nome) {
    if (m_tipoGrafico == 0) {
        m_tipoGrafico = 1;
    } else if (const TKQCallReason* r =
                   m_tipoGrafico == 1 && m_fila ? m_fila->CallReasons.Procura(nome) : nullptr;
               r && r->SubReasons.Count() > 0) {
        m_tipoGrafico = 2;
        m_motivoAtual = nome;
    } else {
        return;
    }
    DesenhaGrafico();
}

void TfrmFila::VoltaGrafico() {
    if (m_tipoGrafico == 0) return;
    --m_tipoGrafico;
    DesenhaGrafico();
}

void TfrmFila::SetFatias(int n) {
    if (n < 2 || n > 10 || n == m_fatias) return;
    m_fatias = n;
    DesenhaGrafico();
}

void TfrmFila::DefineCorMotivo(const QString& nome, int cor) {
    if (m_tipoGrafico == 0 || nome.isEmpty()) return;
    m_monitor->CoresMotivos.SetaCorMotivoChamada(
        m_tipoGrafico == 1 ? QStringLiteral("Motivo") : QStringLiteral("SubMotivo"), nome, cor);
    SalvaCoresMotivos();
}

void TfrmFila::RestauraCoresMotivos() {
    m_monitor->CoresMotivos.LimpaCoresMotivoChamada();
    SalvaCoresMotivos();
}

// A reason colour changed: saved in the profile, and every chart redrawn.
void TfrmFila::SalvaCoresMotivos() {
    ::SalvaCoresMotivos(m_monitor, ArquivoPerfil());
    DesenhaGrafico();
    Q_EMIT CoresMotivosAlteradas();
}

QMenu* TfrmFila::MontaMenuGrafico() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QMenu* fatias = menu->addMenu(QStringLiteral("Fatias do gráfico"));
    for (int n = 2; n <= 10; ++n) {
        QAction* a = fatias->addAction(QString::number(n), this, [this, n] { SetFatias(n); });
        a->setCheckable(true);
        a->setChecked(n == m_fatias);
    }
    if (!m_monitor->CoresMotivos.Vazio())
        menu->addAction(QStringLiteral("Restaurar cores padrão"), this,
                        &TfrmFila::RestauraCoresMotivos);
    AdicionaMenuSecoes(menu);
    return menu;
}
