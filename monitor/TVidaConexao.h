#pragma once

// The life of the manager connection as one state, with every change it may make in one table.
// The monitor tells it what happened (a connect was started, answered, failed, lost, closed
// from this side) and asks it what follows: whether a reconnection is to be offered, whether a
// connect attempt is waiting for its answer, whether the load has completed.
enum class EstadoConexao {
    Inicial,      // the program has not tried to connect yet: the timer connects unasked
    Desconectado, // no connection, none offered: the timer opens the connection dialog
    Conectando,   // a connect attempt waits for its answer
    Perdida,      // the connection was lost: a reconnection is offered (countdown)
    Reconectando, // a connect attempt after a loss waits for its answer
    Logando,      // connected; manager and platform-user login
    Carregando,   // the load sequence runs
    Conectado,    // the load completed: monitoring
    Fechando,     // the main window is closing: nothing reacts to the connection any more
};

// What the login timer does when it fires, with the value the login dialog keeps as its tag.
enum class MotivoLogin {
    Normal = 0,         // log in unasked when the password is saved, else ask
    TrocaUsuario = 1,   // "Trocar de usuário...": always ask; the dialog reconnects
    UsuarioRecusado = 2 // the user was not found: ask again (never in Windows-login mode)
};

class TVidaConexao {
public:
    explicit TVidaConexao(EstadoConexao inicial = EstadoConexao::Inicial) : m_estado(inicial) {}

    EstadoConexao Estado() const { return m_estado; }
    static bool Permitida(EstadoConexao de, EstadoConexao para);
    // Changes to `para` when the table allows it; a refused change leaves the state as it was.
    bool Muda(EstadoConexao para);

    // A connect attempt starts: a reconnection when one was offered.
    bool Conecta();
    // The attempt failed: back to where it started from (the dialog opens, with the
    // reconnection countdown after a loss).
    void Falhou();
    // The connection closed without this side closing it: true when a reconnection is now to be
    // offered.
    bool Caiu();
    // The user gave up the offered reconnection ("Conectar ao Vesmara..."): an attempt in
    // progress goes on as a plain one.
    void CancelaReconexao();

    bool ConnectPending() const {
        return m_estado == EstadoConexao::Conectando || m_estado == EstadoConexao::Reconectando;
    }
    bool Reconnecting() const {
        return m_estado == EstadoConexao::Perdida || m_estado == EstadoConexao::Reconectando;
    }
    bool Carregado() const { return m_estado == EstadoConexao::Conectado; }
    bool Fechando() const { return m_estado == EstadoConexao::Fechando; }
    bool Conectada() const {
        return m_estado == EstadoConexao::Logando || m_estado == EstadoConexao::Carregando ||
               m_estado == EstadoConexao::Conectado;
    }

    // The login timer's reason: set when it is started, taken (and reset) when it fires.
    void PedeLogin(MotivoLogin motivo) { m_motivoLogin = motivo; }
    MotivoLogin TomaMotivoLogin() {
        const MotivoLogin m = m_motivoLogin;
        m_motivoLogin = MotivoLogin::Normal;
        return m;
    }

private:
    EstadoConexao m_estado;
    MotivoLogin m_motivoLogin = MotivoLogin::Normal;
};

// The state's name, for test messages and diagnostics.
const char* NomeEstado(EstadoConexao estado);
