#include "model/callcentre/TMotivoPausa.h"

TMotivoPausa* TListaMotivosPausa::AdicionaOuAtualiza(qint32 id, const QString& nome,
                                                     bool produtivo) {
    if (id > 0) {
        if (TMotivoPausa* m = Procura(id)) {
            m->Nome = nome;
            m->Produtivo = produtivo;
            return m;
        }
    }
    auto motivo = std::make_unique<TMotivoPausa>();
    motivo->MotivoPausaId = id;
    motivo->Nome = nome;
    motivo->Produtivo = produtivo;
    TMotivoPausa* m = m_itens.Adiciona(std::move(motivo));
    if (!m_porId.contains(id)) m_porId.insert(id, m);
    return m;
}

void TListaMotivosPausa::Limpa() {
    m_porId.clear();
    m_itens.Limpa();
}

QString TListaMotivosPausa::ReasonText(qint32 id) const {
    if (id < 1) return QStringLiteral("Auto pausa - Chamada não atendida");
    const TMotivoPausa* m = Procura(id);
    if (!m) return {};
    QString texto = m->Produtivo ? QStringLiteral("P") : QStringLiteral("I");
    if (!m->Nome.isEmpty()) texto += u" - " + m->Nome;
    return texto;
}
