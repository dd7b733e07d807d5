#include "ui/windows/TfrmPainel.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TAlertas.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"
#include "settings/TSecaoTela.h"
#include "ui/dialogs/TfrmConfiguraPainel.h"
#include "ui/lists/TCoresEstado.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

TfrmPainel::TfrmPainel(TMonitor* monitor, QWidget* parent)
    : QWidget(parent), m_monitor(monitor), m_layout(new QVBoxLayout(this)),
      m_parede(new TPainelParede(this)), m_esquema(EsquemaPadrao()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Painel de parede"));
    resize(1000, 600);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->addWidget(m_parede);
    auto relogio = std::make_shared<QElapsedTimer>();
    relogio->start();
    Relogio = [relogio] { return relogio->elapsed(); };

    m_parede->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_parede, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { MontaMenu()->popup(m_parede->mapToGlobal(p)); });
    connect(m_parede, &TPainelParede::AlternaTelaCheia, this,
            [this] { SetTelaCheia(!m_telaCheia); });
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TfrmPainel::Tick);
}

TfrmPainel::~TfrmPainel() {
    Timer1.stop();
    // In full screen the wallboard is a window of its own, not a child of this one.
    if (m_parede && !m_parede->parent()) delete m_parede;
}

QString TfrmPainel::ArquivoPerfil() const {
    if (!m_monitor || m_monitor->UserDir.isEmpty()) return {};
    return ::ArquivoPerfil(m_monitor->UserDir, m_monitor->ConexaoAtiva);
}

// --- Settings ------------------------------------------------------------------------------------

void TfrmPainel::LeVariaveis() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    const TSecaoTela secao(arquivo, objectName());
    const TPosicaoTela pos = secao.LePosicao(600, 1000);
    QWidget* quadro = parentWidget() ? parentWidget() : this;
    quadro->move(pos.Left, pos.Top);
    quadro->resize(std::clamp(pos.Width, 320, 16000), std::clamp(pos.Height, 200, 16000));
    m_config = LeConfigPainel(secao);
    m_esquema = SchemeOfAgentsWindow(arquivo, QStringLiteral("TelaAtendentes"));
}

void TfrmPainel::SalvaCfgForm() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    try {
        TSecaoTela secao(arquivo, objectName());
        const QWidget* quadro = parentWidget() ? parentWidget() : this;
        secao.EscrevePosicao({quadro->y(), quadro->x(), quadro->height(), quadro->width()});
        TConfigPainel config = m_config;
        config.TelaCheia = m_telaCheia;
        SalvaConfigPainel(secao, config);
        secao.Salva();
    } catch (const std::exception& e) {
        if (m_monitor) m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmPainel::Inicio() {
    m_inicioPagina = Relogio();
    Atualiza();
    Timer1.start();
    if (m_config.TelaCheia) SetTelaCheia(true);
}

void TfrmPainel::DefineConfig(const TConfigPainel& config) {
    m_config = config;
    m_config.SegundosRotacao = std::clamp(config.SegundosRotacao, TConfigPainel::kRotacaoMinima,
                                          TConfigPainel::kRotacaoMaxima);
    m_parede->SetPagina(0);
    m_inicioPagina = Relogio();
    Atualiza();
}

void TfrmPainel::Configura() {
    std::vector<std::pair<QString, QString>> filas;
    if (m_monitor)
        m_monitor->Filas.ParaCada([&](TFila* f) {
            if (m_monitor->TemPermissaoFila(f)) filas.emplace_back(f->FilaId(), f->QueueCaption());
        });
    auto* dialogo = new TfrmConfiguraPainel(filas, m_config,
                                            m_telaCheia ? static_cast<QWidget*>(m_parede)
                                                        : static_cast<QWidget*>(this));
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialogo, &QDialog::accepted, this, [this, dialogo] {
        DefineConfig(dialogo->Resultado());
        SalvaCfgForm();
    });
    dialogo->open();
}

// --- What is shown -------------------------------------------------------------------------------

std::vector<TFila*> TfrmPainel::FilasMostradas() const {
    std::vector<TFila*> filas;
    if (!m_monitor) return filas;
    const QSet<QString> escolhidas(m_config.Filas.begin(), m_config.Filas.end());
    m_monitor->Filas.ParaCada([&](TFila* f) {
        if ((escolhidas.isEmpty() || escolhidas.contains(f->FilaId())) &&
            m_monitor->TemPermissaoFila(f))
            filas.push_back(f);
    });
    return filas;
}

std::vector<TAgente*> TfrmPainel::AtendentesMostrados(const std::vector<TFila*>& filas) const {
    std::vector<TAgente*> agentes;
    if (!m_monitor) return agentes;
    // With queues chosen, the agents are their members; otherwise every agent the user sees.
    const bool soMembros = !m_config.Filas.isEmpty();
    const QSet<const TFila*> mostradas(filas.begin(), filas.end());
    m_monitor->Agentes.ParaCada([&](TAgente* a) {
        if (!m_monitor->TemPermissaoAtendente(a)) return;
        if (m_config.SomenteLogados && a->GetState(0) == AgentState::Indisponivel) return;
        if (soMembros) {
            const std::vector<TFila*>& suas = m_monitor->Filas.FilasDoMembro(a->Agent());
            if (std::none_of(suas.begin(), suas.end(),
                             [&](const TFila* f) { return mostradas.contains(f); }))
                return;
        }
        agentes.push_back(a);
    });
    return agentes;
}

TCartaoFila TfrmPainel::CartaoDe(const TFila& fila) {
    TCartaoFila c;
    c.FilaId = fila.FilaId();
    c.Titulo = fila.QueueShortText();
    c.Espera = fila.WaitingCount();
    for (const TChannel* canal : fila.QueueCalls()) {
        const TLigacaoFila* r = canal->LigacaoFila.get();
        if (r && r->Queued && r->Inicio > 0)
            c.MaiorEspera = std::max(c.MaiorEspera, std::max(0, ElapsedSeconds(r->Inicio)));
    }
    // A service level that is not a percentage reads as unknown on the wall, not as 0%.
    bool ok = false;
    const int servico = fila.ServiceLevelPerf.section(u'.', 0, 0).toInt(&ok);
    c.Servico = ok && servico >= 0 && servico <= 100 ? QString::number(servico) + u'%'
                                                     : QStringLiteral("-");
    c.Atendidas = fila.Completed;
    c.Abandonadas = fila.Abandoned;
    c.Livres = fila.AtendentesLivres();
    c.Ocupados = fila.AtendentesOcupados();
    c.Pausados = fila.AtendentesPausados();
    return c;
}

TTileAtendente TfrmPainel::TileDe(const TAgente& a) const {
    TTileAtendente t;
    t.Agent = a.Agent();
    t.Numero = a.AgentNumber();
    t.Nome = a.AgentName.isEmpty() ? a.AgentNumber() : a.AgentName;
    if (m_monitor) t.Estado = a.StatusText(0, m_monitor->MotivosPausa);
    t.Duracao = a.DurationText(0);
    const TClasseCor classe = a.ClasseCor(0);
    t.Classe = TextoClasseCor(classe);
    t.Fundo = CorBgr(m_esquema.CorFundo(classe));
    t.Fonte = CorBgr(m_esquema.CorFonte(classe));
    return t;
}

void TfrmPainel::Atualiza() {
    const std::vector<TFila*> filas = FilasMostradas();
    std::vector<TCartaoFila> cartoes;
    cartoes.reserve(filas.size());
    for (const TFila* f : filas)
        cartoes.push_back(CartaoDe(*f));
    std::vector<TTileAtendente> tiles;
    if (m_config.MostrarAtendentes) {
        const std::vector<TAgente*> agentes = AtendentesMostrados(filas);
        tiles.reserve(agentes.size());
        for (const TAgente* a : agentes)
            tiles.push_back(TileDe(*a));
    }
    m_parede->DefineDados(std::move(cartoes), std::move(tiles), m_config.MostrarAtendentes);
    // The alerts of what is shown, as the model holds them now (they start and end on the same
    // one-second tick).
    QSet<QString> filasEmAlerta, atendentesEmAlerta;
    for (const TAlerta* a : m_monitor->Alertas().Ativos()) {
        if (a->Fila) filasEmAlerta.insert(a->Fila->FilaId());
        if (a->Agente) atendentesEmAlerta.insert(a->Agente->Agent());
    }
    m_parede->DefineAlertas(std::move(filasEmAlerta), std::move(atendentesEmAlerta));
    m_parede->SetRelogio(DaysToDateTime(ServerNow()).toString(QStringLiteral("HH:mm:ss")));
}

void TfrmPainel::Tick() {
    try {
        Atualiza();
        if (Relogio() - m_inicioPagina >= qint64(m_config.SegundosRotacao) * 1000) ProximaPagina();
    } catch (const std::exception& e) {
        if (m_monitor) m_monitor->AppException(QString::fromUtf8(e.what()));
    }
}

void TfrmPainel::ProximaPagina() {
    m_parede->SetPagina(m_parede->Pagina() + 1);
    m_inicioPagina = Relogio();
}

void TfrmPainel::AtualizaCores() {
    const QString arquivo = ArquivoPerfil();
    m_esquema = arquivo.isEmpty() ? EsquemaPadrao()
                                  : SchemeOfAgentsWindow(arquivo, QStringLiteral("TelaAtendentes"));
    Atualiza();
}

// --- Full screen and menu ------------------------------------------------------------------------

void TfrmPainel::SetTelaCheia(bool cheia) {
    if (cheia == m_telaCheia) return;
    m_telaCheia = cheia;
    if (cheia) {
        QScreen* tela = screen() ? screen() : QGuiApplication::primaryScreen();
        m_layout->removeWidget(m_parede);
        m_parede->setParent(nullptr, Qt::Window);
        m_parede->setWindowTitle(QStringLiteral("Painel de parede"));
        if (tela) m_parede->setGeometry(tela->geometry());
        m_parede->installEventFilter(this);
        m_parede->showFullScreen();
        m_parede->activateWindow();
    } else {
        m_parede->removeEventFilter(this);
        m_parede->setWindowState(Qt::WindowNoState);
        m_parede->setParent(this, Qt::Widget);
        m_layout->addWidget(m_parede);
        m_parede->show();
    }
    m_parede->setFocus();
}

bool TfrmPainel::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_parede && m_telaCheia) {
        const bool esc = evento->type() == QEvent::KeyPress &&
                         static_cast<QKeyEvent*>(evento)->key() == Qt::Key_Escape;
        // Closing the full-screen wallboard (Esc, the window manager) brings it back here.
        if (esc || evento->type() == QEvent::Close) {
            evento->ignore();
            QTimer::singleShot(0, this, [this] { SetTelaCheia(false); });
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

QMenu* TfrmPainel::MontaMenu() {
    auto* menu = new QMenu(m_parede);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Configurar painel..."), this, &TfrmPainel::Configura);
    QAction* cheia =
        menu->addAction(QStringLiteral("Tela cheia"), this, [this] { SetTelaCheia(!m_telaCheia); });
    cheia->setCheckable(true);
    cheia->setChecked(m_telaCheia);
    cheia->setShortcut(QKeySequence(Qt::Key_F11));
    QAction* proxima =
        menu->addAction(QStringLiteral("Próxima página"), this, &TfrmPainel::ProximaPagina);
    proxima->setEnabled(m_parede->Paginas() > 1);
    return menu;
}

void TfrmPainel::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    SalvaCfgForm();
    SetTelaCheia(false);
    event->accept();
}
