#pragma once

#include <QString>

class TAgente;
class TCampanha;
class TFila;
class TListaAgentes;
class TListaCampanhas;
class TListaFilas;
class TListaRamais;
class TListaTroncos;
class TPermissaoUsuario;
class TTronco;

// Every permission check a window or menu asks before showing an object, over the logged-in
// user's rights and the lists it counts. The newer form (users with a platform id) and the
// older one use different group and permission names.
class TPermissoes {
public:
    TPermissoes(const TPermissaoUsuario& usuario, const TListaTroncos& troncos,
                const TListaRamais& ramais, const TListaAgentes& agentes, const TListaFilas& filas,
                const TListaCampanhas& campanhas)
        : m_usuario(usuario), m_troncos(troncos), m_ramais(ramais), m_agentes(agentes),
          m_filas(filas), m_campanhas(campanhas) {}

    bool TemPermissaoMonitorarCallCenter() const;
    bool TemPermissaoMonitorarChatExterno() const;
    bool TemPermissaoGerenciarAtendentes() const;
    bool TemPermissaoChatUsuario(const QString& usuario) const;
    bool TemPermissaoChat() const;
    bool TemPermissaoMonitorarConversaChat(const QString& valor) const;
    bool TemPermissaoTronco(const QString& idTronco, const QString& nome) const;
    bool TemPermissaoTronco(const TTronco* tronco) const;
    // Counting checks: how many trunks / extensions the user may see.
    int TemPermissaoTroncos() const;
    int TemPermissaoRamais() const;
    bool TemPermissaoRamal(const QString& ramalId) const;
    bool TemPermissaoAtendenteCodigo(const QString& codigo) const;
    bool TemPermissaoFilaId(const QString& filaId) const;
    bool TemPermissaoCampanhaId(const QString& campanhaId) const;
    bool TemPermissaoAtendente(const TAgente* agente) const;
    bool TemPermissaoFila(const TFila* fila) const;
    bool TemPermissaoCampanha(const TCampanha* campanha) const;
    // Counting checks: campaigns the user may see, all of them / the active ones.
    int TemPermissaoCampanhas() const;
    int TemPermissaoCampanhasAtivas() const;
    // Counting checks: agents, voice queues and chat queues the user may see.
    int TemPermissaoAtendentes() const;
    int TemPermissaoFilas() const;
    int TemPermissaoFilasChat() const;
    // The call-centre gate: "Monitorar Call Center" or bit 4 of the user's mask.
    bool PassaPortaoCallCenter() const;
    bool PassaPortaoChat() const;

private:
    bool Pode(const char16_t* grupoNovo, const char16_t* nomeNovo, const char16_t* grupoAntigo,
              const char16_t* nomeAntigo, const QString& valor) const;

    const TPermissaoUsuario& m_usuario;
    const TListaTroncos& m_troncos;
    const TListaRamais& m_ramais;
    const TListaAgentes& m_agentes;
    const TListaFilas& m_filas;
    const TListaCampanhas& m_campanhas;
};
