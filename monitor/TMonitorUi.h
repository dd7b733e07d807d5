#pragma once

#include <QString>
#include <QStringList>

class TMonitorConversa;

// What the monitor core asks of its user interface (the shell: status bar, dialogs, window
// registry, log); the model changes reach the windows through TMonitor::Avisos(). The desktop
// program implements it with windows and dialogs, the probe with printed lines, tests with
// recorders. Every method has a harmless default so a headless user implements only what it shows.
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
    // The open conversation monitor with this registry name ("Conversa" + unique id), or none.
    virtual TMonitorConversa* ProcuraTelaMonitorarConversa(const QString& nome) {
        (void)nome;
        return nullptr;
    }
    // The load sequence ended (after the windows were reopened).
    virtual void LoadFinished() {}
};
