#include "monitor/TRefrescoStatusFila.h"

#include "base/ActionText.h"

void TRefrescoStatusFila::Pede(const QString& id, int connectionId) {
    if (!Valida(connectionId)) return;
    auto& emVoo = m_emVoo[connectionId];
    auto& ordem = m_ordem[connectionId];
    if (!m_relogio.isValid()) m_relogio.start();
    const qint64 agora = m_relogio.elapsed();
    // Answers that never came (a server that dropped the request) do not hold the queues back
    // for ever.
    while (!ordem.empty() && agora - ordem.front().EnviadoEm > kPerdidoMs) {
        const QString perdido = ordem.front().FilaId;
        ordem.pop_front();
        if (--emVoo[perdido] <= 0) emVoo.remove(perdido);
    }
    if (emVoo.value(id, 0) > 0) {
        // One request is on its way: a single one more follows its answer.
        m_pendente[connectionId].insert(id);
        return;
    }
    if (!m_ligacoes.Aberta(connectionId)) return;
    if (!IsSafeActionValue(id)) {
        m_ligacoes.Loga(QStringLiteral("QueueStatus não enviado: fila com identificador inválido"));
        return;
    }
    m_ligacoes.Envia(connectionId, TActionText(u"QueueStatus").Add(u"Queue", id).Text());
    ordem.push_back({id, agora});
    emVoo[id] += 1;
}

QString TRefrescoStatusFila::Concluido(int connectionId) {
    if (!Valida(connectionId)) return {};
    auto& ordem = m_ordem[connectionId];
    if (ordem.empty()) return {};
    const QString id = ordem.front().FilaId;
    ordem.pop_front();
    auto& emVoo = m_emVoo[connectionId];
    if (--emVoo[id] <= 0) emVoo.remove(id);
    return m_pendente[connectionId].remove(id) ? id : QString();
}

void TRefrescoStatusFila::Esquece(int connectionId) {
    if (!Valida(connectionId)) return;
    m_ordem[connectionId].clear();
    m_emVoo[connectionId].clear();
    m_pendente[connectionId].clear();
}

int TRefrescoStatusFila::EmAndamento(int connectionId) const {
    return Valida(connectionId) ? int(m_ordem[connectionId].size()) : 0;
}

bool TRefrescoStatusFila::Pendente(const QString& filaId, int connectionId) const {
    return Valida(connectionId) && m_pendente[connectionId].contains(filaId);
}
