#pragma once

#include <QString>
#include <QStringList>

class TAgente;
class TCampanha;
class TCanalTronco;
class TChannel;
class TFila;
class TMembroFila;
class TRamal;
class TTronco;

// What the monitor core asks of its user interface. The desktop program implements it with
// windows and dialogs, the probe with printed lines, tests with recorders. Every method has a
// harmless default so a headless user implements only what it shows.
class TMonitorUi {
public:
    virtual ~TMonitorUi() = default;

    // First status-bar panel (and the label of an open connection or login dialog).
    virtual void SetStatusBar(const QString& text) { (void)text; }
    // Second status-bar panel: "Usuário: " + name.
    virtual void SetStatusBarUsuario(const QString& text) { (void)text; }
    virtual void SetCaption(const QString& caption) { (void)caption; }
    virtual void SetBusyCursor(bool busy) { (void)busy; }
    virtual void EnableSalvarComo(bool enabled) { (void)enabled; }
    virtual void EnableTrocarUsuario(bool enabled) { (void)enabled; }

    // Diagnostics for the packet-log window; only called while the core's log switches are on.
    virtual void Loga(const QString& line) { (void)line; }
    virtual void LogaPacote(const QString& packet) { (void)packet; }
    // An error that reached the top of a handler, already written to the log by the core.
    virtual void AppException(const QString& message) { (void)message; }

    // Connection dialog: open it (or bring it forward) for the active profile; with a
    // countdown (seconds) when a reconnection is being offered, 0 for none.
    virtual void ShowConnectionDialog(int countdownSeconds) { (void)countdownSeconds; }
    virtual bool ConnectionDialogOpen() const { return false; }
    // A connect attempt from the dialog failed: enable its buttons and, when a reconnection is
    // under way, restart the countdown with the given seconds (0 = leave it off).
    virtual void ConnectionDialogFailed(int countdownSeconds) { (void)countdownSeconds; }
    virtual void CloseConnectionDialog() {}

    // Login dialog; `tag` is 0 normal, 1 change of user, 2 user not found.
    virtual void ShowLoginDialog(int tag) { (void)tag; }
    virtual bool LoginDialogOpen() const { return false; }
    // The user was refused while the dialog is open: enable its buttons, bring it forward.
    virtual void LoginDialogRetry() {}
    virtual void CloseLoginDialog() {}

    // Monitoring windows. Whether any child window other than the packet log alone is open.
    virtual bool HasMonitoringWindows() const { return false; }
    // Closes every child window (each saving its settings) and returns their registry names in
    // closing order.
    virtual QStringList CloseAllWindows() { return {}; }
    // After a completed load: rebuild the "Exibir" menu and reopen the recorded windows.
    virtual void CreateWindows(const QStringList& telasAbrir) { (void)telasAbrir; }
    // Opens the packet-log window when the settings ask for it.
    virtual void ActivateLogWindow() {}
    virtual void CloseChatNotifications() {}
    // The load sequence ended (after the windows were reopened).
    virtual void LoadFinished() {}

    // Model changes for the open windows: an extension's state or calls changed (the
    // "Ramais" window); a trunk line's state or call changed (the trunks windows showing it).
    virtual void AtualizaRamal(TRamal* ramal) { (void)ramal; }
    virtual void AtualizaTronco(TTronco* tronco, TCanalTronco* canal) {
        (void)tronco;
        (void)canal;
    }

    // Call-centre changes. An agent changed (its own notice "Agent-..." or a membership notice
    // "Member..."): the agents windows get the agent and the kind, the queue and campaign
    // windows the agent.
    virtual void AtualizaAgente(TAgente* agente, const QString& kind) {
        (void)agente;
        (void)kind;
    }
    // A membership changed ("MemberAdded", "MemberRemoved", "MemberUpdated", "MemberPaused"):
    // the queue and campaign windows and the chat side. A removed member is freed right after.
    virtual void AtualizaMembro(TFila* fila, TMembroFila* membro, const QString& kind) {
        (void)fila;
        (void)membro;
        (void)kind;
    }
    // A call of a queue changed ("CallAdded", "CallRemoved", "CallUpdated"): the queue windows.
    virtual void AtualizaChamada(TFila* fila, TChannel* canal, const QString& kind) {
        (void)fila;
        (void)canal;
        (void)kind;
    }
    // After every queue notice: the queue summaries, the queue windows and the campaign windows
    // refresh the queue.
    virtual void AtualizaFila(TFila* fila) { (void)fila; }
    // The server counted the call reasons again on its own: every call-reason chart redraws.
    virtual void AtualizaGraficosMotivos() {}

    // Dialer campaigns. The campaign list was refreshed: the "Discador" submenu of "Exibir" is
    // rebuilt (TMonitor::MenuDiscador gives its contents).
    virtual void AtualizaMenuDiscador() {}
    // The campaigns summary and the campaign's own window refresh the campaign: its queue, its
    // waiting and answering counts.
    virtual void AtualizaCampanha(TCampanha* campanha) { (void)campanha; }
    // A call of a campaign changed ("CallAdded", "CallRemoved", "CallUpdated", or another kind
    // without a call): the campaign windows. A removed call's channel is freed right after.
    virtual void AtualizaChamadaCampanha(TCampanha* campanha, TChannel* canal,
                                         const QString& kind) {
        (void)campanha;
        (void)canal;
        (void)kind;
    }
    // The campaign's summary counters were read again: the campaigns summary and the
    // campaign's window show them.
    virtual void AtualizaResumoCampanha(TCampanha* campanha) { (void)campanha; }
};
