#pragma once

#include "monitor/TAviso.h"
#include "monitor/TMonitorUi.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMessageBox;
class TMonitor;
class TAgente;
class TCampanha;
class TfrmCampanha;
class TfrmCampanhas;
class TfrmAgentes;
class TfrmAlertas;
class TfrmFila;
class TfrmFilas;
class TFila;
class TfrmLog;
class TfrmPainel;
class TfrmRamais;
class TfrmTroncos;
class TTronco;
class TfrmTelaConexao;
class TfrmChat;
class TfrmMonitorarConversa;
class TNotificacoesChat;
class TfrmTelaLogin;

// The MDI frame: menus, status bar, the registry of open monitoring windows, and the user
// interface of the monitor core it owns.
class TfrmMain : public QMainWindow, public TMonitorUi {
    Q_OBJECT
public:
    // `userDir`: the settings folder (SettingsFolder() in the program).
    explicit TfrmMain(const QString& userDir, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TMonitor* Monitor() const { return m_monitor; }

    // --- Window registry -------------------------------------------------------------------
    bool FormExiste(const QString& name) const;
    QMdiSubWindow* ProcuraSubJanela(const QString& name) const;
    // Registry names of the open child windows, in child order.
    QStringList SetaTelasAtuais() const;
    // Closes every child window, collecting the names into TelasAbrir; stops at a window that
    // refuses to close.
    QStringList Fechartodas();
    // Adds a monitoring window as an MDI child under its registry name.
    QMdiSubWindow* AdicionaJanela(QWidget* window, const QString& name);

    // --- Monitoring windows ----------------------------------------------------------------
    TfrmAgentes* CriaTelaAgentes();
    TfrmAgentes* CriaTelaAgentesChat();
    TfrmAgentes* ProcuraTelaAgentes(const QString& name) const;
    void MenuExibirAgentesClick();
    void MenuExibirAgentesChatClick();
    // A queue's window (registry name "Fila" + its FilaId), created or brought forward.
    TfrmFila* CriaTelaFila(TFila* fila);
    TfrmFila* ProcuraTelaFila(const QString& name) const;
    // Tag: a queue's FilaId as a number; the first queue with that number opens.
    void MenuExibirFilas(int tag);
    void MenuExibirFilasChat(int tag);
    // Queue summaries and their custom screens (TfrmMainResumo.cpp); an empty id opens the
    // plain summary, an empty name takes the screen's stored one.
    TfrmFilas* CriaTelaFilas(const QString& idTela, const QString& nomeTela);
    TfrmFilas* CriaTelaFilasChat(const QString& idTela, const QString& nomeTela);
    TfrmFilas* ProcuraTelaFilas(const QString& name) const;
    void CarregaMenuPersonalizadoFilas(QMenu* menu);
    void CarregaMenuPersonalizadoFilasChat(QMenu* menu);
    // "Filas" or "FilasChat": refills that kind's "Resumo Personalizado" entry.
    void RecarregaMenuPersonalizadoFilas(const QString& nomeBase);
    // Extensions and trunks (TfrmMainTelefonia.cpp).
    TfrmRamais* CriaTelaRamais();
    TfrmRamais* ProcuraTelaRamais() const;
    void MenuExibirRamaisClick();
    // `tipo`: empty for every trunk, or "c", "a", "d", "s"; a trunk for the single-trunk windows.
    TfrmTroncos* CriaTelaTroncos(const QString& tipo, TTronco* tronco);
    TfrmTroncos* ProcuraTelaTronco(const QString& name) const;
    void MenuExibirTodosTroncos();
    void MenuExibirTroncosc();
    void MenuExibirTroncosa();
    // The trunk at this position of the trunk list, when it is digital or SIP.
    void MenuExibirTronco(int posicao);
    // The wallboard (registry name "Painel"), created or brought forward (TfrmMainPainel.cpp).
    TfrmPainel* CriaTelaPainel();
    TfrmPainel* ProcuraTelaPainel() const;
    void MenuExibirPainelClick();
    // Dialer campaigns (TfrmMainCampanhas.cpp): a campaign's window (registry name "Campanha" +
    // its CampanhaId), the campaigns summary ("Campanhas"), and the "Discador" submenu.
    TfrmCampanha* CriaTelaCampanha(TCampanha* campanha);
    TfrmCampanha* ProcuraTelaCampanha(const QString& name) const;
    TfrmCampanhas* CriaTelaCampanhas();
    TfrmCampanhas* ProcuraTelaCampanhas() const;
    // Tag -1: the campaigns summary; otherwise the first campaign whose id is that number.
    void MenuExibirCampanhas(int tag);
    // Builds or refreshes "Discador" under "Exibir" (none while the user may not have it).
    void AtualizaMenuDiscador();
    QMenu* MenuDiscador() const;
    // Threshold alerts (TfrmMainAlertas.cpp): the "Alertas" window (registry name "Alertas"),
    // the rules dialog, the desktop notification of alerts that start while the frame is not
    // the active window.
    TfrmAlertas* CriaTelaAlertas();
    void MenuRegrasAlertaClick();
    // Rebuilds "Exibir" from the last load and reopens the recorded windows in menu order.
    void CriaTelas(const QStringList& telasAbrir);
    // After a colour change: every open window that shows scheme colours redraws.
    void AtualizaCoresTelas();
    // Chat mode: chat queues the user may see, and the server has chat.
    bool ModoChat() const;

    // --- Chat (TfrmMainChat.cpp) -----------------------------------------------------------
    TfrmChat* CriaTelaChat();
    TfrmChat* ProcuraTelaChat() const;
    void MenuExibirChatClick();
    // "Monitorar conversa" of the agents and queue windows: the monitor of the chat channel with
    // this unique id, shown when open, otherwise created (nothing when the channel is gone).
    TfrmMonitorarConversa* CarregaTelaMonitorarConversa(const QString& uniqueId,
                                                        const QString& agente);
    TfrmMonitorarConversa* ProcuraTelaConversa(const QString& name) const;
    TMonitorConversa* ProcuraTelaMonitorarConversa(const QString& nome) override;
    void CloseChatNotifications() override;
    TNotificacoesChat* Notificacoes() const { return m_notificacoes; }

    // --- Packet log ------------------------------------------------------------------------
    void AtivaTelaLog();
    TfrmLog* TelaLog() const;

    // --- TMonitorUi ------------------------------------------------------------------------
    void SetStatusBar(const QString& text) override;
    void SetStatusBarUsuario(const QString& text) override;
    void SetCaption(const QString& caption) override;
    void SetBusyCursor(bool busy) override;
    void EnableSalvarComo(bool enabled) override;
    void EnableTrocarUsuario(bool enabled) override;
    void Loga(const QString& line) override;
    void LogaPacote(const QString& packet) override;
    void AppException(const QString& message) override;
    void ShowConnectionDialog(int countdownSeconds) override;
    bool ConnectionDialogOpen() const override;
    void ConnectionDialogFailed(int countdownSeconds) override;
    void CloseConnectionDialog() override;
    void ShowLoginDialog(int tag) override;
    bool LoginDialogOpen() const override;
    void LoginDialogRetry() override;
    void CloseLoginDialog() override;
    bool HasMonitoringWindows() const override;
    QStringList CloseAllWindows() override;
    void CreateWindows(const QStringList& telasAbrir) override;
    void ActivateLogWindow() override;

    // For tests.
    QLabel* PainelStatus() const { return m_panel0; }
    QLabel* PainelUsuario() const { return m_panel1; }
    TfrmTelaConexao* TelaConexao() const;
    TfrmTelaLogin* TelaLogin() const;
    QMenu* MenuExibir() const { return m_menuExibir; }
    QAction* AcaoSalvarComo() const { return m_salvarComo; }
    QAction* AcaoTrocarUsuario() const { return m_trocarUsuario; }
    // The width rule of the first status panel.
    static int LarguraPainelStatus(int frameWidth);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CriaMenus();
    void AtualizaMenuJanela();
    void LadoALado(Qt::Orientation orientation);
    void OrganizaIcones();
    void AtualizaChavesLog();
    void MostraDump(const QString& item);
    QString InfoGeral() const;
    void AbreTelaConexao(bool modoSalvar);
    // Shows an existing single-instance window in front, restored when minimised.
    void TrazParaFrente(QMdiSubWindow* sub);
    TfrmAgentes* CriaTelaAgentesDoTipo(int tipo);
    // The queue submenus of "Exibir" and the queue windows to reopen (TfrmMainFilas.cpp).
    void CriaMenuFilas(const QStringList& telasAbrir);
    void CriaMenuFilasDoTipo(bool chat, int permissao, const QStringList& telasAbrir);
    void AtualizaCoresFilas();
    void AtualizaGraficosFilas();
    TfrmFilas* CriaTelaResumo(bool chat, const QString& idTela, const QString& nomeTela);
    void CriaMenuResumo(QMenu* sub, bool chat);
    void ReabreResumos(bool chat, const QStringList& telasAbrir);
    void CarregaMenuPersonalizado(QMenu* menu, bool chat);
    void AtualizaCoresResumos();
    // "Exibir" entries of the extensions and of the trunks, and their windows reopened.
    void CriaMenuRamais(const QStringList& telasAbrir);
    void CriaMenuTroncos(const QStringList& telasAbrir);
    // The wallboard's "Exibir" entry and its reopening; its tiles follow the agents' colours.
    void CriaMenuPainel(const QStringList& telasAbrir);
    void AtualizaCoresPainel();
    // "Discador" and the campaign windows to reopen (TfrmMainCampanhas.cpp).
    void CriaMenuDiscador(const QStringList& telasAbrir);
    bool PodeDiscador() const;
    void AtualizaCoresCampanhas();
    void CriaMenuAlertas(const QStringList& telasAbrir);
    void CriaMenuFerramentasAlertas(QMenu* ferramentas);
    // The chat's notifications, its "Exibir" entry and window, and the "Monitorar conversa"
    // entries of a new window (TfrmMainChat.cpp).
    void IniciaChat();
    void CriaMenuChat(const QStringList& telasAbrir);
    void LigaMenusConversa(QWidget* janela);
    TfrmMonitorarConversa* CriaTelaMonitorarConversa(const QString& uniqueId,
                                                     const QString& agente);

    TMonitor* m_monitor;
    QMdiArea* m_mdi;
    QLabel* m_panel0;
    QLabel* m_panel1;
    QMenu* m_menuExibir = nullptr;
    QMenu* m_menuJanela = nullptr;
    QAction* m_salvarComo = nullptr;
    QAction* m_trocarUsuario = nullptr;
    QPointer<TfrmLog> m_log;
    QPointer<TfrmTelaConexao> m_telaConexao;
    QPointer<TfrmTelaLogin> m_telaLogin;
    QPointer<QMessageBox> m_caixaErro;
    TNotificacoesChat* m_notificacoes = nullptr;
    bool m_busy = false;
    bool m_shown = false;
    // A load sequence has completed before in this run.
    bool m_carregouAntes = false;
    QPointer<QMenu> m_menuDiscador;
    TAssinatura m_avisoMenuDiscador;
};
