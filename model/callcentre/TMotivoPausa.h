#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// Why an agent is paused, as configured for the configuration profile.
class TMotivoPausa {
public:
    qint32 MotivoPausaId = 0;
    QString Nome;
    bool Produtivo = false; // the pause counts as productive time
};

// The pause reasons in load order. They live until the program ends: a later load updates them
// in place by id, so a reconnection never lists a reason twice.
class TListaMotivosPausa {
public:
    TMotivoPausa* AddOrUpdate(qint32 id, const QString& nome, bool produtivo);
    TMotivoPausa* Get(int i) const;
    int Count() const { return int(m_itens.size()); }
    void Clear();
    // "P - Almoço", "I", or the automatic pause after an unanswered call for ids below 1.
    QString ReasonText(qint32 id) const;
    TMotivoPausa* Procura(qint32 id) const { return m_porId.value(id, nullptr); }

private:
    std::vector<std::unique_ptr<TMotivoPausa>> m_itens;
    QHash<qint32, TMotivoPausa*> m_porId; // first reason of each id
};
