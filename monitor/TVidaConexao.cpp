#include "monitor/TVidaConexao.h"

bool TVidaConexao::Permitida(EstadoConexao de, EstadoConexao para) {
    using E = EstadoConexao;
    if (de == para) return true;
    // Closing the window ends every state, and nothing comes after it.
    if (para == E::Fechando) return true;
    switch (de) {
    case E::Inicial:
        return para == E::Conectando || para == E::Desconectado;
    case E::Desconectado:
        return para == E::Conectando;
    case E::Conectando:
        return para == E::Logando || para == E::Desconectado || para == E::Perdida;
    case E::Perdida:
        return para == E::Reconectando || para == E::Desconectado;
    case E::Reconectando:
        return para == E::Logando || para == E::Perdida || para == E::Conectando ||
               para == E::Desconectado;
    case E::Logando:
        return para == E::Carregando || para == E::Desconectado || para == E::Perdida;
    case E::Carregando:
        return para == E::Conectado || para == E::Desconectado || para == E::Perdida;
    case E::Conectado:
        // A platform login again on the same connection loads everything afresh.
        return para == E::Carregando || para == E::Desconectado || para == E::Perdida;
    case E::Fechando:
        return false;
    }
    return false;
}

bool TVidaConexao::Muda(EstadoConexao para) {
    if (!Permitida(m_estado, para)) return false;
    m_estado = para;
    return true;
}

bool TVidaConexao::Conecta() {
    return Muda(Reconnecting() ? EstadoConexao::Reconectando : EstadoConexao::Conectando);
}

void TVidaConexao::Falhou() {
    if (m_estado == EstadoConexao::Conectando)
        Muda(EstadoConexao::Desconectado);
    else if (m_estado == EstadoConexao::Reconectando)
        Muda(EstadoConexao::Perdida);
}

bool TVidaConexao::Caiu() {
    if (!ConnectPending() && !Conectada()) return false;
    return Muda(EstadoConexao::Perdida);
}

void TVidaConexao::CancelaReconexao() {
    if (m_estado == EstadoConexao::Reconectando)
        Muda(EstadoConexao::Conectando);
    else if (m_estado == EstadoConexao::Perdida || m_estado == EstadoConexao::Inicial)
        Muda(EstadoConexao::Desconectado);
}

const char* NomeEstado(EstadoConexao estado) {
    switch (estado) {
    case EstadoConexao::Inicial:
        return "Inicial";
    case EstadoConexao::Desconectado:
        return "Desconectado";
    case EstadoConexao::Conectando:
        return "Conectando";
    case EstadoConexao::Perdida:
        return "Perdida";
    case EstadoConexao::Reconectando:
        return "Reconectando";
    case EstadoConexao::Logando:
        return "Logando";
    case EstadoConexao::Carregando:
        return "Carregando";
    case EstadoConexao::Conectado:
        return "Conectado";
    case EstadoConexao::Fechando:
        return "Fechando";
    }
    return "?";
}
