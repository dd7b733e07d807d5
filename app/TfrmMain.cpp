#include "app/TfrmMain.h"

#include "app/TfrmOpcoes.h"
#include "app/TfrmTelaConexao.h"
#include "app/TfrmTelaLogin.h"
#include "monitor/TMonitor.h"
#include "ui/windows/TfrmAgentes.h"
#include "ui/windows/TfrmLog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTimer>

TfrmMain::TfrmMain(const QString& userDir, QWidget* parent)
    : QMainWindow(parent), m_monitor(new TMonitor(this, this)), m_mdi(new QMdiArea(this)),
      m_panel0(new QLabel(this)), m_panel1(new QLabel(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Monitor Vesmara"));
    setCentralWidget(m_mdi);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CriaMenus();
    IniciaChat();

    m_panel0->setFixedWidth(200);
    m_panel1->setFixedWidth(200);
    statusBar()->addWidget(m_panel0);
    statusBar()->addWidget(m_panel1);

    const QSize tela = screen() ? screen()->size() : QSize(1024, 768);
    m_monitor->Inicia(userDir, tela);
    SetCaption(m_monitor->Caption());
}

TfrmMain::~TfrmMain() {
    // The monitor and the child windows report into this window while they close: detach
    // first, so nothing calls into a half-destroyed frame.
    m_monitor->SetUi(nullptr);
    if (m_log) m_log->disconnect(this);
    if (m_busy) QApplication::restoreOverrideCursor();
}

void TfrmMain::CriaMenus() {
    QMenu* ferramentas = menuBar()->addMenu(QStringLiteral("&Ferramentas"));
    QMenu* conexao = ferramentas->addMenu(QStringLiteral("&Conexão"));
    conexao->addAction(QStringLiteral("&Conectar ao Vesmara..."), this,
                       [this] { m_monitor->menuConectarClick(); });
    conexao->addAction(QStringLiteral("&Desconectar do Vesmara..."), this,
                       [this] { m_monitor->menuDesconectarClick(); });
    m_salvarComo = conexao->addAction(QStringLiteral("&Salvar como..."), this,
                                      [this] { AbreTelaConexao(true); });
    m_salvarComo->setEnabled(false);
    ferramentas->addSeparator();
    m_trocarUsuario = ferramentas->addAction(QStringLiteral("&Trocar de usuário..."), this,
                                             [this] { m_monitor->menuTrocarUsuarioClick(); });
    m_trocarUsuario->setEnabled(false);
    ferramentas->addSeparator();
    ferramentas->addAction(QStringLiteral("&Opções..."), this, [this] {
        auto* opcoes = new TfrmOpcoes(m_monitor, this);
        opcoes->show();
    });
    CriaMenuFerramentasAlertas(ferramentas);
    ferramentas->addSeparator();
    ferramentas->addAction(QStringLiteral("&Sair"), this, &QWidget::close);

    m_menuExibir = menuBar()->addMenu(QStringLiteral("&Exibir"));

    m_menuJanela = menuBar()->addMenu(QStringLiteral("&Janela"));
    connect(m_menuJanela, &QMenu::aboutToShow, this, &TfrmMain::AtualizaMenuJanela);
    AtualizaMenuJanela();

    QMenu* ajuda = menuBar()->addMenu(QStringLiteral("&Ajuda"));
    ajuda->addAction(u"&Versão " + QLatin1String(TMonitor::kVersao), this, [this] {
        QMessageBox::about(this, QStringLiteral("Monitor Vesmara"),
                           u"Monitor Vesmara\nVersão " + QLatin1String(TMonitor::kVersao));
    });
}

void TfrmMain::AtualizaMenuJanela() {
    m_menuJanela->clear();
    m_menuJanela->addAction(QStringLiteral("&Cascata"), m_mdi, &QMdiArea::cascadeSubWindows);
    m_menuJanela->addAction(QStringLiteral("Lado a lado - &verticalmente"), this,
                            [this] { LadoALado(Qt::Horizontal); });
    m_menuJanela->addAction(QStringLiteral("Lado a lado - &horizontalmente"), this,
                            [this] { LadoALado(Qt::Vertical); });
    m_menuJanela->addAction(QStringLiteral("&Organizar ícones"), this, &TfrmMain::OrganizaIcones);
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    m_menuJanela->addSeparator();
    int n = 1;
    for (QMdiSubWindow* w : windows) {
        // "&1 Atendentes": the number selects the window; an "&" of the title is no accelerator.
        QString titulo = w->windowTitle();
        titulo.replace(u'&', QStringLiteral("&&"));
        QAction* a = m_menuJanela->addAction(u'&' + QString::number(n++) + u' ' + titulo, this,
                                             [this, w] { m_mdi->setActiveSubWindow(w); });
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
    }
}

// Side by side (columns) for Qt::Horizontal, one above the other (rows) for Qt::Vertical.
void TfrmMain::LadoALado(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (!w->isMinimized() && w->isVisible()) windows << w;
    if (windows.isEmpty()) return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (orientation == Qt::Horizontal) {
            const int w = area.width() / n;
            windows[i]->setGeometry(i * w, 0, w, area.height());
        } else {
            const int h = area.height() / n;
            windows[i]->setGeometry(0, i * h, area.width(), h);
        }
    }
}

void TfrmMain::OrganizaIcones() {
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized()) continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

int TfrmMain::LarguraPainelStatus(int frameWidth) {
    return frameWidth >= 500 ? frameWidth - 250 : frameWidth / 2;
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    m_panel0->setFixedWidth(std::max(0, LarguraPainelStatus(width())));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    // Once the frame has its final size, so the log window gets its own.
    QTimer::singleShot(0, this, [this] { m_monitor->Mostrado(); });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    m_monitor->Fecha();
    if (m_telaConexao) m_telaConexao->close();
    if (m_telaLogin) m_telaLogin->close();
    event->accept();
}

TfrmLog* TfrmMain::TelaLog() const {
    return m_log;
}
TfrmTelaConexao* TfrmMain::TelaConexao() const {
    return m_telaConexao;
}
TfrmTelaLogin* TfrmMain::TelaLogin() const {
    return m_telaLogin;
}

// --- Window registry --------------------------------------------------------------------------

QMdiSubWindow* TfrmMain::ProcuraSubJanela(const QString& name) const {
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (w->widget() && w->widget()->objectName() == name) return w;
    return nullptr;
}

bool TfrmMain::FormExiste(const QString& name) const {
    return ProcuraSubJanela(name) != nullptr;
}

QStringList TfrmMain::SetaTelasAtuais() const {
    QStringList names;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (w->widget()) names << w->widget()->objectName();
    return names;
}

QMdiSubWindow* TfrmMain::AdicionaJanela(QWidget* window, const QString& name) {
    window->setObjectName(name);
    const QSize wanted = window->size();
    QMdiSubWindow* sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The window's own size, plus the frame and title bar the area puts around it.
    QStyleOptionTitleBar option;
    option.initFrom(sub);
    const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, sub);
    sub->resize(wanted.width() + 2 * frame, wanted.height() + title + frame);
    LigaMenusConversa(window);
    return sub;
}

QStringList TfrmMain::Fechartodas() {
    QStringList names;
    setUpdatesEnabled(false);
    for (;;) {
        const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::StackingOrder);
        if (windows.isEmpty()) break;
        QMdiSubWindow* w = m_mdi->activeSubWindow() ? m_mdi->activeSubWindow() : windows.last();
        const QString name = w->widget() ? w->widget()->objectName() : QString();
        // Closing removes the window from the area at once; it is destroyed later.
        if (!w->close()) break;
        m_mdi->removeSubWindow(w);
        names << name;
    }
    setUpdatesEnabled(true);
    m_log.clear();
    AtualizaChavesLog();
    return names;
}

// --- Packet log -------------------------------------------------------------------------------

void TfrmMain::AtivaTelaLog() {
    if (m_log || !m_monitor->Geral.Debug) return;
    m_log = new TfrmLog;
    m_log->SetDebug(m_monitor->Geral.Debug);
    m_log->SetDebugPacotes(m_monitor->Geral.DebugPacotes);
    connect(m_log, &TfrmLog::OpcoesMudaram, this, &TfrmMain::AtualizaChavesLog);
    connect(m_log, &TfrmLog::MostrarClicado, this, &TfrmMain::MostraDump);
    connect(m_log, &QObject::destroyed, this, [this] { AtualizaChavesLog(); });
    AdicionaJanela(m_log, QStringLiteral("frmLog"))->show();
    AtualizaChavesLog();
}

void TfrmMain::AtualizaChavesLog() {
    m_monitor->LogAtivo = m_log && m_log->DebugMarcado();
    m_monitor->LogPacotesAtivo = m_log && m_log->DebugPacotesMarcado();
}

void TfrmMain::MostraDump(const QString& item) {
    if (!m_log) return;
    if (item == u"InfoGeral") {
        m_log->Adiciona(InfoGeral());
        return;
    }
    if (item == u"Tudo" && !m_log->DebugMarcado()) return;
    m_log->Adiciona(m_monitor->Dump(item));
}

QString TfrmMain::InfoGeral() const {
    auto texto = [](const QRect& r) -> QString {
        return u"Top=" + QString::number(r.top()) + u", Left=" + QString::number(r.left()) +
               u", Height=" + QString::number(r.height()) + u", Width=" +
               QString::number(r.width());
    };
    QStringList lines;
    QWidget* logFrame = m_log ? m_log->parentWidget() : nullptr;
    if (logFrame) lines << u"TelaLog - " + texto(logFrame->geometry());
    lines << u"TelaMain - " + texto(geometry());
    const QList<QScreen*> screens = QGuiApplication::screens();
    lines << u"Screen - MonitorCount=" + QString::number(screens.size());
    for (int i = 0; i < screens.size(); ++i)
        lines << u"Screen " + QString::number(i) + u" - Num=" + QString::number(i) + u", " +
                     texto(screens[i]->geometry());
    if (QScreen* active = screen()) {
        const int num = int(screens.indexOf(active));
        lines << u"Screen Active - Num=" + QString::number(num) + u", " + texto(active->geometry());
    }
    return lines.join(QStringLiteral("\r\n")) + u"\r\n";
}

// --- TMonitorUi -------------------------------------------------------------------------------

void TfrmMain::SetStatusBar(const QString& text) {
    m_panel0->setText(text);
    if (m_telaConexao)
        m_telaConexao->SetInformacao(text);
    else if (m_telaLogin)
        m_telaLogin->SetInformacao(text);
}

void TfrmMain::SetStatusBarUsuario(const QString& text) {
    m_panel1->setText(text);
}

void TfrmMain::SetCaption(const QString& caption) {
    setWindowTitle(caption);
}

void TfrmMain::SetBusyCursor(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmMain::EnableSalvarComo(bool enabled) {
    m_salvarComo->setEnabled(enabled);
}
void TfrmMain::EnableTrocarUsuario(bool enabled) {
    m_trocarUsuario->setEnabled(enabled);
}

void TfrmMain::Loga(const QString& line) {
    if (m_log) m_log->Loga(line);
}

void TfrmMain::LogaPacote(const QString& packet) {
    if (m_log) m_log->LogaPacote(packet);
}

void TfrmMain::AppException(const QString& message) {
    if (m_log) {
        m_log->SetDebug(false);
        return;
    }
    if (m_monitor->Reconnecting()) return;
    // One box at a time, never a nested event loop inside a handler.
    if (m_caixaErro) return;
    m_caixaErro = new QMessageBox(QMessageBox::Critical, QStringLiteral("Monitor Vesmara"), message,
                                  QMessageBox::Ok, this);
    m_caixaErro->setAttribute(Qt::WA_DeleteOnClose);
    m_caixaErro->open();
}

void TfrmMain::AbreTelaConexao(bool modoSalvar) {
    if (!m_telaConexao)
        m_telaConexao = new TfrmTelaConexao(
            m_monitor, [this] { return SetaTelasAtuais(); }, this);
    m_telaConexao->SetModoSalvar(modoSalvar);
    if (!modoSalvar) m_telaConexao->SelecionaPerfil(m_monitor->ConexaoAtiva);
    m_telaConexao->show();
    m_telaConexao->raise();
    m_telaConexao->activateWindow();
}

void TfrmMain::ShowConnectionDialog(int countdownSeconds) {
    AbreTelaConexao(false);
    if (countdownSeconds > 0) {
        m_telaConexao->SetInformacao(u"Reconectar em " + QString::number(countdownSeconds) +
                                     u"s...");
        m_telaConexao->IniciaContagem(countdownSeconds);
    } else {
        m_telaConexao->IniciaContagem(0);
    }
}

bool TfrmMain::ConnectionDialogOpen() const {
    return m_telaConexao;
}

void TfrmMain::ConnectionDialogFailed(int countdownSeconds) {
    if (!m_telaConexao) return;
    m_telaConexao->HabilitaBotoes(true);
    if (countdownSeconds > 0) m_telaConexao->IniciaContagem(countdownSeconds);
}

void TfrmMain::CloseConnectionDialog() {
    if (m_telaConexao) m_telaConexao->close();
}

void TfrmMain::ShowLoginDialog(int tag) {
    if (!m_telaLogin) {
        m_telaLogin = new TfrmTelaLogin(m_monitor, tag, this);
        m_telaLogin->SetInformacao(m_panel0->text());
    }
    m_telaLogin->show();
    m_telaLogin->raise();
    m_telaLogin->activateWindow();
}

bool TfrmMain::LoginDialogOpen() const {
    return m_telaLogin;
}

void TfrmMain::LoginDialogRetry() {
    if (!m_telaLogin) return;
    m_telaLogin->HabilitaBotoes(true);
    m_telaLogin->raise();
    m_telaLogin->activateWindow();
}

void TfrmMain::CloseLoginDialog() {
    if (m_telaLogin) m_telaLogin->close();
}

bool TfrmMain::HasMonitoringWindows() const {
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return false;
    return !(windows.size() == 1 && m_log && windows.first()->widget() == m_log);
}

QStringList TfrmMain::CloseAllWindows() {
    return Fechartodas();
}

void TfrmMain::CreateWindows(const QStringList& telasAbrir) {
    CriaTelas(telasAbrir);
}

bool TfrmMain::ModoChat() const {
    return m_monitor->TemPermissaoFilasChat() >= 1 && m_monitor->ChatEnabled;
}

void TfrmMain::CriaTelas(const QStringList& telasAbrir) {
    // Entries and reopening follow the menu order; names of windows the program does not have
    // are ignored.
    m_menuExibir->clear();
    const bool chat = ModoChat();
    const bool primeiraCarga = !m_carregouAntes;
    m_carregouAntes = true;
    CriaMenuRamais(telasAbrir);
    if (m_monitor->TemPermissaoAtendentes() >= 1) {
        m_menuExibir->addAction(chat ? QStringLiteral("Atendentes CallCenter")
                                     : QStringLiteral("Atendentes"),
                                this, &TfrmMain::MenuExibirAgentesClick);
        if (telasAbrir.contains(QStringLiteral("Atendentes"))) CriaTelaAgentes();
        if (chat) {
            m_menuExibir->addAction(QStringLiteral("Atendentes Chat Externo"), this,
                                    &TfrmMain::MenuExibirAgentesChatClick);
            if (telasAbrir.contains(QStringLiteral("AtendentesChat"))) CriaTelaAgentesChat();
        }
        // A first start has nothing to reopen: the agents window, rather than an empty frame.
        if (primeiraCarga && telasAbrir.isEmpty() && !HasMonitoringWindows()) CriaTelaAgentes();
    }
    CriaMenuTroncos(telasAbrir);
    CriaMenuFilas(telasAbrir);
    CriaMenuPainel(telasAbrir);
    CriaMenuDiscador(telasAbrir);
    CriaMenuAlertas(telasAbrir);
    CriaMenuChat(telasAbrir);
}

void TfrmMain::TrazParaFrente(QMdiSubWindow* sub) {
    if (sub->isMinimized()) sub->showNormal();
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    sub->raise();
}

TfrmAgentes* TfrmMain::ProcuraTelaAgentes(const QString& name) const {
    QMdiSubWindow* sub = ProcuraSubJanela(name);
    return sub ? qobject_cast<TfrmAgentes*>(sub->widget()) : nullptr;
}

TfrmAgentes* TfrmMain::CriaTelaAgentesDoTipo(int tipo) {
    const QString name =
        tipo == 1 ? QStringLiteral("AtendentesChat") : QStringLiteral("Atendentes");
    if (QMdiSubWindow* sub = ProcuraSubJanela(name)) {
        TrazParaFrente(sub);
        return qobject_cast<TfrmAgentes*>(sub->widget());
    }
    m_monitor->Loga(tipo == 1 ? QStringLiteral("CriaTelaAtendentesChat")
                              : QStringLiteral("CriaTelaAtendentes"));
    auto* janela = new TfrmAgentes(m_monitor);
    QMdiSubWindow* sub = AdicionaJanela(janela, name);
    if (tipo == 0 && ModoChat()) janela->setWindowTitle(QStringLiteral("Atendentes CallCenter"));
    janela->LeVariaveis();
    if (tipo == 1) janela->SetTipoForm(1);
    janela->Inicio();
    connect(janela, &TfrmAgentes::CoresAlteradas, this, &TfrmMain::AtualizaCoresTelas);
    sub->show();
    return janela;
}

TfrmAgentes* TfrmMain::CriaTelaAgentes() {
    return CriaTelaAgentesDoTipo(0);
}
TfrmAgentes* TfrmMain::CriaTelaAgentesChat() {
    return CriaTelaAgentesDoTipo(1);
}
void TfrmMain::MenuExibirAgentesClick() {
    CriaTelaAgentes();
}
void TfrmMain::MenuExibirAgentesChatClick() {
    CriaTelaAgentesChat();
}

void TfrmMain::AtualizaCoresTelas() {
    // The agents window redraws itself; the queue and campaign windows join here as they come.
    AtualizaCoresFilas();
    AtualizaCoresPainel();
    AtualizaCoresCampanhas();
    AtualizaCoresResumos();
}

void TfrmMain::ActivateLogWindow() {
    AtivaTelaLog();
}
