#pragma once

#include <QString>

class TMonitor;

// The load sequence of a connection: after the platform login, one request per answer, from
// the configuration profile to the queue status and the chat steps, each announced in the
// status bar. It also says whether the load is under way, while rings of agents or calls not yet
// listed are kept for later.
class TCargaDados {
public:
    explicit TCargaDados(TMonitor& monitor) : m_monitor(monitor) {}

    // The platform user is known (and allowed): the first two requests.
    void Inicia();
    // The step `id` ended (its completion, or its failed answer): the next request. Any other
    // id changes nothing.
    void Proximo(const QString& id);
    // From the start of the load until the queue status is in.
    bool GuardandoToques() const { return m_guardandoToques; }

    // A table query of the server ("Action: ZXDBCommand", "Command: List").
    static QString ConsultaTabela(const QString& id, const QString& tabela,
                                  const QString& campos = {}, const QString& filtro = {});

private:
    void DepoisDoLogin(const QString& id);
    void DepoisDoStatusDasFilas();
    // The chat steps: `id` is the internal chat's login or the unread counts that end them.
    void DepoisDoChat(const QString& id);
    // The uniform middle of the sequence (TCargaDados.cpp's table); false for another id.
    bool PassoDaTabela(const QString& id);

    TMonitor& m_monitor;
    bool m_guardandoToques = false;
    // Between the queue status and the end of the chat steps.
    bool m_passosChat = false;
};
