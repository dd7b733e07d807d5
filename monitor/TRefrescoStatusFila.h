#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>

// The per-queue status refreshes of both connections (0 manager, 1 chat). At most one request
// per queue waits for its answer on a connection; a change meanwhile asks for one more after
// it. Answers come back in the order asked, so the oldest request is the one an answer ends;
// one that never comes is given up after a while.
class TRefrescoStatusFila {
public:
    struct TLigacoes {
        // Whether the connection is open now.
        std::function<bool(int connectionId)> Aberta;
        // Sends an action text on the connection.
        std::function<void(int connectionId, const QString& texto)> Envia;
        std::function<void(const QString& texto)> Loga;
    };
    static constexpr qint64 kPerdidoMs = 30000;

    explicit TRefrescoStatusFila(TLigacoes ligacoes) : m_ligacoes(std::move(ligacoes)) {}

    // Asks for the queue's status ("Action: QueueStatus"), or marks it for one more request
    // when one is on its way.
    void Pede(const QString& filaId, int connectionId);
    // The answer to the oldest request ended; gives the queue to ask again, empty for none.
    QString Concluido(int connectionId);
    // The connection closed: nothing is waiting any more.
    void Esquece(int connectionId);

    int EmAndamento(int connectionId) const;
    bool Pendente(const QString& filaId, int connectionId) const;

private:
    static bool Valida(int connectionId) { return connectionId == 0 || connectionId == 1; }

    struct TPedido {
        QString FilaId;
        qint64 EnviadoEm = 0;
    };
    TLigacoes m_ligacoes;
    std::deque<TPedido> m_ordem[2];
    QHash<QString, int> m_emVoo[2];
    QSet<QString> m_pendente[2];
    QElapsedTimer m_relogio;
};
