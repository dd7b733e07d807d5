#include "ui/windows/TfrmFilas.h"

#include "model/callcentre/TFila.h"
#include "monitor/TMonitor.h"
#include "settings/TIniFile.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/dialogs/TfrmPersonalizarResumoFilas.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/widgets/TGraficoPizza.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TGraficoMotivosFila.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QWidget* ComLayout(QWidget* coluna) {
    auto* layout = new QVBoxLayout(coluna);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    return coluna;
}

} // namespace

TfrmFilas::TfrmFilas(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_rolagem(new QScrollArea(this)),
      m_coluna(ComLayout(new QWidget)), m_paineis(m_coluna) {
    setAttribute(Qt::WA_DeleteOnClose);
    resize(835, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_rolagem);
    m_rolagem->setWidgetResizable(true);
    m_rolagem->setFrameShape(QFrame::NoFrame);
    m_rolagem->setWidget(m_coluna);
    m_rolagem->viewport()->installEventFilter(this);
    m_coluna->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_coluna, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { MontaMenu()->popup(m_coluna->mapToGlobal(p)); });

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmFilas::Timer1Timer);
    Timer1.start();

    if (m_monitor) {
        TAvisos& avisos = m_monitor->Avisos();
        m_avisoFila = avisos.Fila.Assina([this](TFila* f) { AtualizaFila(f); });
        // A window reopened during the load sees the counters arrive after it.
        m_avisoMotivos = avisos.MotivosRecontados.Assina([this] {
            if (!MotivosDisponiveis) {
                MotivosDisponiveis = true;
                for (int i = 0; i < m_paineis.Count(); ++i)
                    m_paineis.Item(i)->SetChartEnabled(true);
            }
            AtualizaGraficos();
        });
    }
}

TfrmFilas::~TfrmFilas() {
    Timer1.stop();
    Solta();
}

void TfrmFilas::DefineTipo(bool chat) {
    m_chat = chat;
    NomeBase = chat ? QStringLiteral("FilasChat") : QStringLiteral("Filas");
    TituloBase = chat ? QStringLiteral("Filas Chat") : QStringLiteral("Filas");
}

QString TfrmFilas::ArquivoPerfil() const {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

TFila* TfrmFilas::FilaPorId(const QString& filaId) const {
    TFila* f = m_monitor ? m_monitor->Filas.Procura(filaId) : nullptr;
    return f && FilaDoTipo(f) ? f : nullptr;
}

bool TfrmFilas::FilaDoTipo(const TFila* fila) const {
    if (!fila || !m_monitor) return false;
    const bool doTipo = m_chat ? fila->EhChat() : (fila->Tipo.isEmpty() || fila->Tipo == u"v");
    return doTipo && m_monitor->TemPermissaoFila(fila);
}

// --- Settings ------------------------------------------------------------------------------------

void TfrmFilas::LeVariaveis() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(480, 835);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    // A size no screen can hold is not kept.
    quadro->resize(std::clamp(pos.Width, 200, 8000), std::clamp(pos.Height, 150, 8000));
    m_cfg = LeCfgTelaFilas(secao);
    FilasOcultas = m_cfg.FilasOcultas;
    if (NomeTela.isEmpty()) NomeTela = m_cfg.NomeTela;
    QStringList filas;
    if (m_monitor)
        m_monitor->Filas.ParaCada([&](const TFila* f) {
            if (FilaDoTipo(f)) filas << f->FilaId();
        });
    m_graficos = LeCfgGraficos(arquivo, objectName(), filas);
}

void TfrmFilas::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty() || m_removida) return;
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        m_cfg.FilasOcultas = FilasOcultas;
        m_cfg.NomeTela = IdTela.isEmpty() ? QString() : NomeTela;
        EscreveCfgTelaFilas(secao, m_cfg);
        for (auto it = m_graficos.cbegin(); it != m_graficos.cend(); ++it)
            EscreveCfgGrafico(secao, it.key(), it.value());
        secao.Salva();
    } catch (const std::exception& e) {
        if (m_monitor) m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmFilas::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    Solta();
    event->accept();
}

// The queues may be freed once the window is closed (a disconnection empties the model right
// after closing the windows): the panels let them go now.
void TfrmFilas::Solta() {
    m_avisoFila.Cancela();
    m_avisoMotivos.Cancela();
    m_paineis.Limpa();
}

void TfrmFilas::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Rearranja();
}

bool TfrmFilas::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_rolagem->viewport() && evento->type() == QEvent::Resize &&
        m_rolagem->viewport()->height() != m_alturaArranjada)
        Rearranja();
    return QWidget::eventFilter(objeto, evento);
}

void TfrmFilas::Timer1Timer() {
    Timer1.stop();
    for (int i = 0; i < m_paineis.Count(); ++i)
        m_paineis.Item(i)->Tick();
    Timer1.start();
}

void TfrmFilas::Rearranja() {
    // A narrow window scrolls sideways rather than cut the last columns off.
    int largura = 0;
    for (int i = 0; i < m_paineis.Count(); ++i)
        largura = std::max(largura, m_paineis.Item(i)->LarguraNecessaria());
    m_coluna->setMinimumWidth(largura);
    m_alturaArranjada = m_rolagem->viewport()->height();
    m_paineis.Rearranja(m_alturaArranjada);
}

// --- Panels --------------------------------------------------------------------------------------

void TfrmFilas::Preenche() {
    if (!m_monitor) return;
    QList<TFila*> fila;
    bool algumaVisivel = false;
    m_monitor->Filas.ParaCada([&](TFila* f) {
        if (!FilaDoTipo(f)) return;
        fila << f;
        if (!FilasOcultas.contains(f->FilaId())) algumaVisivel = true;
    });
    // A layout whose shown queues are all gone would leave an empty window: every queue the
    // user may see shows instead.
    if (!algumaVisivel) FilasOcultas.clear();
    for (TFila* f : fila)
        CriaFila(f);
    Rearranja();
}

TPanelFila* TfrmFilas::CriaFila(TFila* fila) {
    if (!fila || FilasOcultas.contains(fila->FilaId())) return nullptr;
    if (TPanelFila* existente = m_paineis.ProcuraPorObjeto(fila)) return existente;
    auto* panel = new TPanelFila(m_coluna, true);
    panel->setObjectName(u"PanelFila" + fila->FilaId());
    panel->SetFila(fila);
    panel->Title(fila->QueueShortText());
    AtualizaPanelFila(panel, fila);
    AplicaColunas(panel);
    panel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panel, &QWidget::customContextMenuRequested, this,
            [this, panel](const QPoint& p) { MontaMenu()->popup(panel->mapToGlobal(p)); });
    TGraficoPizza* g = panel->Grafico();
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this, [this, panel, g](const QPoint& p) {
        MontaMenuGrafico(panel)->popup(g->mapToGlobal(p));
    });
    connect(g, &TGraficoPizza::ClicaItem, this,
            [this, panel](const QString& nome) { ClicaFatia(panel, nome); });
    connect(g, &TGraficoPizza::Voltar, this, [this, panel] { VoltaGrafico(panel); });
    connect(g, &TGraficoPizza::ClicaCor, this, [this, panel](const QString& nome) {
        if (CfgGrafico(panel->Fila()->FilaId()).Nivel == 0) return;
        const QColor cor = QColorDialog::getColor(Qt::white, this);
        if (cor.isValid()) DefineCorMotivo(panel, nome, CorRGB(cor.red(), cor.green(), cor.blue()));
    });
    panel->SetChartEnabled(MotivosDisponiveis);
    if (MotivosDisponiveis) DesenhaGrafico(panel);
    m_paineis.Adiciona(panel);
    return panel;
}

void TfrmFilas::AplicaColunas(TPanelFila* panel) const {
    const auto ordem = OrdemColunas(m_cfg.Posicoes);
    for (int p = 0; p < TCfgTelaFilas::kColunas; ++p)
        panel->SetSectionPosition(p, ordem[size_t(p)]);
    for (int c = 0; c < TCfgTelaFilas::kColunas; ++c)
        panel->SetSectionVisible(c, m_cfg.Visiveis[size_t(c)]);
    panel->Relayout();
}

void TfrmFilas::AtualizaFila(TFila* fila) {
    TPanelFila* panel = m_paineis.ProcuraPorObjeto(fila);
    if (!panel) return;
    const qint64 completadas = panel->Completed();
    AtualizaPanelFila(panel, fila);
    // "Não motivadas" follows the completed count.
    if (MotivosDisponiveis && completadas != panel->Completed() &&
        CfgGrafico(fila->FilaId()).Nivel == 0)
        DesenhaGrafico(panel);
}

bool TfrmFilas::OcultaFila(const QString& filaId) {
    if (m_paineis.Count() <= 1) return false;
    const int i = m_paineis.IndiceDe(m_paineis.ProcuraPorNome(filaId));
    if (i < 0) return false;
    m_paineis.Remove(i);
    if (!FilasOcultas.contains(filaId)) FilasOcultas << filaId;
    Rearranja();
    return true;
}

bool TfrmFilas::MostraFila(const QString& filaId) {
    TFila* f = FilaPorId(filaId);
    if (!f || m_paineis.ProcuraPorObjeto(f)) return false;
    FilasOcultas.removeAll(filaId);
    CriaFila(f);
    Rearranja();
    return true;
}

QList<TFila*> TfrmFilas::FilasSemPainel() {
    QList<TFila*> sem;
    FilasOcultas.clear();
    if (!m_monitor) return sem;
    m_monitor->Filas.ParaCada([&](TFila* f) {
        if (FilaDoTipo(f) && !m_paineis.ProcuraPorObjeto(f)) {
            sem << f;
            FilasOcultas << f->FilaId();
        }
    });
    return sem;
}

// --- Call-reason charts --------------------------------------------------------------------------

TCfgGrafico TfrmFilas::CfgGrafico(const QString& filaId) const {
    return m_graficos.value(filaId);
}

TCfgGrafico& TfrmFilas::Grafico(const QString& filaId) {
    auto it = m_graficos.find(filaId);
    if (it == m_graficos.end()) it = m_graficos.insert(filaId, TCfgGrafico{});
    return it.value();
}

void TfrmFilas::DesenhaGrafico(TPanelFila* panel) {
    if (!panel || !panel->Fila() || !m_monitor) return;
    const QString id = panel->Fila()->FilaId();
    const TCfgGrafico cfg = CfgGrafico(id);
    const int nivel =
        DesenhaGraficoMotivos(panel->Grafico(), panel->Fila(), m_monitor->CoresMotivos, cfg.Nivel,
                              cfg.Motivo, cfg.Fatias);
    if (nivel != cfg.Nivel) Grafico(id).Nivel = nivel;
}

void TfrmFilas::AtualizaGraficos() {
    if (!MotivosDisponiveis) return;
    for (int i = 0; i < m_paineis.Count(); ++i)
        DesenhaGrafico(m_paineis.Item(i));
}

void TfrmFilas::ClicaFatia(TPanelFila* panel, const QString& nome) {
    if (!panel || !panel->Fila()) return;
    TCfgGrafico& cfg = Grafico(panel->Fila()->FilaId());
    // Only the reasoned calls open the reasons, and only when there are some.
    if (cfg.Nivel == 0) {
        if (nome != u"Motivadas" || panel->Fila()->CallReasons.TotalCount() < 1) return;
        cfg.Nivel = 1;
    } else if (const TKQCallReason* r =
                   cfg.Nivel == 1 ? panel->Fila()->CallReasons.Procura(nome) : nullptr;
               r && r->SubReasons.Count() > 0) {
        cfg.Nivel = 2;
        cfg.Motivo = nome;
    } else {
        return;
    }
    DesenhaGrafico(panel);
}

void TfrmFilas::VoltaGrafico(TPanelFila* panel) {
    if (!panel || !panel->Fila()) return;
    TCfgGrafico& cfg = Grafico(panel->Fila()->FilaId());
    if (cfg.Nivel == 0) return;
    --cfg.Nivel;
    DesenhaGrafico(panel);
}

void TfrmFilas::SetFatias(TPanelFila* panel, int n) {
    if (!panel || !panel->Fila() || n < 2 || n > 10) return;
    Grafico(panel->Fila()->FilaId()).Fatias = n;
    DesenhaGrafico(panel);
}

void TfrmFilas::DefineCorMotivo(TPanelFila* panel, const QString& nome, int cor) {
    if (!panel || !panel->Fila() || nome.isEmpty() || !m_monitor) return;
    const int nivel = CfgGrafico(panel->Fila()->FilaId()).Nivel;
    if (nivel == 0) return;
    m_monitor->CoresMotivos.SetaCorMotivoChamada(
        nivel == 1 ? QStringLiteral("Motivo") : QStringLiteral("SubMotivo"), nome, cor);
    RestauraCoresMotivos();
}

void TfrmFilas::RestauraCoresMotivos() {
    // Also the end of DefineCorMotivo: saved in the profile, and every chart redrawn.
    SalvaCoresMotivos(m_monitor, ArquivoPerfil());
    AtualizaGraficos();
    Q_EMIT CoresMotivosAlteradas();
}

// --- Menus ---------------------------------------------------------------------------------------

QMenu* TfrmFilas::MontaMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QMenu* filas = menu->addMenu(QStringLiteral("Filas"));
    QMenu* ocultar = filas->addMenu(QStringLiteral("Ocultar"));
    QMenu* mostrar = filas->addMenu(QStringLiteral("Mostrar"));
    if (m_paineis.Count() > 1)
        for (int i = 0; i < m_paineis.Count(); ++i) {
            const TFila* f = m_paineis.Item(i)->Fila();
            if (!f) continue;
            const QString id = f->FilaId();
            ocultar->addAction(f->QueueCaption(), this, [this, id] { OcultaFila(id); });
        }
    for (TFila* f : FilasSemPainel()) {
        const QString id = f->FilaId();
        mostrar->addAction(f->QueueCaption(), this, [this, id] { MostraFila(id); });
    }
    ocultar->setEnabled(!ocultar->isEmpty());
    mostrar->setEnabled(!mostrar->isEmpty());
    menu->addSeparator();
    menu->addAction(QStringLiteral("Personalizar..."), this, &TfrmFilas::Personaliza);
    menu->addAction(QStringLiteral("Remover personalização"), this,
                    &TfrmFilas::PerguntaRemoverPersonalizacao)
        ->setVisible(!IdTela.isEmpty());
    return menu;
}

QMenu* TfrmFilas::MontaMenuGrafico(TPanelFila* panel) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const int atual = panel && panel->Fila() ? CfgGrafico(panel->Fila()->FilaId()).Fatias : 10;
    QMenu* fatias = menu->addMenu(QStringLiteral("Fatias do gráfico"));
    for (int n = 2; n <= 10; ++n) {
        QAction* a =
            fatias->addAction(QString::number(n), this, [this, panel, n] { SetFatias(panel, n); });
        a->setCheckable(true);
        a->setChecked(n == atual);
    }
    const bool cores = m_monitor && !m_monitor->CoresMotivos.Vazio();
    menu->addSeparator()->setVisible(cores);
    menu->addAction(QStringLiteral("Restaurar cores padrão"), this,
                    [this] {
                        m_monitor->CoresMotivos.LimpaCoresMotivoChamada();
                        RestauraCoresMotivos();
                    })
        ->setVisible(cores);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Personalizar..."), this, &TfrmFilas::Personaliza);
    menu->addAction(QStringLiteral("Remover personalização"), this,
                    &TfrmFilas::PerguntaRemoverPersonalizacao)
        ->setVisible(!IdTela.isEmpty());
    return menu;
}

// --- Custom screens ------------------------------------------------------------------------------

void TfrmFilas::Personaliza() {
    TfrmPersonalizarResumoFilas dialogo(TituloBase, this);
    QList<int> ordem;
    for (int c : OrdemColunas(m_cfg.Posicoes))
        ordem << c;
    QList<bool> visiveis(m_cfg.Visiveis.begin(), m_cfg.Visiveis.end());
    QList<TfrmPersonalizarResumoFilas::TItem> vis, ocu;
    for (int i = 0; i < m_paineis.Count(); ++i)
        if (const TFila* f = m_paineis.Item(i)->Fila())
            vis.append({f->FilaId(), f->QueueCaption()});
    for (const TFila* f : FilasSemPainel())
        ocu.append({f->FilaId(), f->QueueCaption()});
    dialogo.Carrega(NomeTela, ordem, visiveis, vis, ocu);
    QStringList nomes;
    const QString arquivo = ArquivoPerfil();
    if (!arquivo.isEmpty())
        for (const TTelaPersonalizada& t : TelasPersonalizadas(arquivo, NomeBase))
            if (t.Id != IdTela) nomes << t.Nome;
    dialogo.SetNomesEmUso(nomes);
    if (dialogo.exec() != QDialog::Accepted) return;
    AplicaPersonalizacao(dialogo.Nome(), dialogo.ColunasVisiveis(), dialogo.ColunasOcultas(),
                         dialogo.FilasVisiveis(), dialogo.FilasOcultas());
}

bool TfrmFilas::AplicaPersonalizacao(const QString& nome, const QList<int>& colunasVisiveis,
                                     const QList<int>& colunasOcultas,
                                     const QStringList& filasVisiveis,
                                     const QStringList& filasOcultas, const QDateTime& agora) {
    if (nome.trimmed().isEmpty()) return false;
    const QString arquivo = ArquivoPerfil();
    if (IdTela.isEmpty())
        IdTela = arquivo.isEmpty() ? agora.toString(QStringLiteral("yyyyMMddhhmmss"))
                                   : NovoIdTela(arquivo, NomeBase, agora);
    NomeTela = nome.trimmed();
    setObjectName(NomeBase + u'_' + IdTela);
    setWindowTitle(TituloBase + u" - " + NomeTela);

    // Visible columns first in the order listed, then the hidden ones; anything the lists
    // leave out or repeat takes a free position.
    std::array<int, TCfgTelaFilas::kColunas> posicoes;
    posicoes.fill(-1);
    std::array<bool, TCfgTelaFilas::kColunas> visiveis{};
    int proxima = 0;
    for (int c : colunasVisiveis)
        if (c >= 0 && c < TCfgTelaFilas::kColunas && posicoes[size_t(c)] < 0) {
            posicoes[size_t(c)] = proxima++;
            visiveis[size_t(c)] = true;
        }
    for (int c : colunasOcultas)
        if (c >= 0 && c < TCfgTelaFilas::kColunas && posicoes[size_t(c)] < 0)
            posicoes[size_t(c)] = proxima++;
    m_cfg.Posicoes = NormalizaPosicoes(posicoes);
    for (int c = 0; c < TCfgTelaFilas::kColunas; ++c)
        m_cfg.Visiveis[size_t(c)] = visiveis[size_t(c)] || posicoes[size_t(c)] < 0;

    for (const QString& id : filasVisiveis) {
        FilasOcultas.removeAll(id);
        if (TFila* f = FilaPorId(id)) CriaFila(f);
    }
    for (const QString& id : filasOcultas) {
        TPanelFila* p = m_paineis.ProcuraPorNome(id);
        if (p && m_paineis.Count() > 1) m_paineis.Remove(m_paineis.IndiceDe(p));
    }
    FilasSemPainel();
    for (int i = 0; i < m_paineis.Count(); ++i)
        AplicaColunas(m_paineis.Item(i));
    SalvaCfgForm();
    Rearranja();
    Q_EMIT PersonalizacaoAlterada(NomeBase);
    return true;
}

void TfrmFilas::PerguntaRemoverPersonalizacao() {
    if (IdTela.isEmpty()) return;
    if (QMessageBox::question(this, QStringLiteral("Remover personalização"),
                              QStringLiteral("Confirma remoção desta personalização?"),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        RemovePersonalizacao();
}

void TfrmFilas::RemovePersonalizacao() {
    if (IdTela.isEmpty()) return;
    const QString arquivo = ArquivoPerfil();
    const QString secao = u"Tela" + objectName();
    const QString base = NomeBase;
    // Closing saves the settings: the section would come back.
    m_removida = true;
    try {
        if (!arquivo.isEmpty()) TIniFile(arquivo).EraseSection(secao);
    } catch (const std::exception& e) {
        if (m_monitor) m_monitor->AppException(QString::fromUtf8(e.what()));
    }
    Q_EMIT PersonalizacaoAlterada(base);
    if (parentWidget())
        parentWidget()->close();
    else
        close();
}
