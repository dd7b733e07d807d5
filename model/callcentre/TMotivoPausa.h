#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// Why an agent is paused, as configured for the configuration profile.
class TMotivoPausa : public TItemIndexado {
public:
    qint32 MotivoPausaId = 0;
    QString Nome;
    bool Produtivo = false; // the pause counts as productive time
};

// The pause reasons in load order. They live until the program ends: a later load updates them
// in place by id, so a reconnection never lists a reason twice.
class TListaMotivosPausa {
public:
    TMotivoPausa* AdicionaOuAtualiza(qint32 id, const QString& nome, bool produtivo);
    TMotivoPausa* Item(int i) const { return m_itens.Item(i); }
    int Count() const { return m_itens.Count(); }
    void Limpa();
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // "P - Almoço", "I", or the automatic pause after an unanswered call for ids below 1.
    QString ReasonText(qint32 id) const;
    TMotivoPausa* Procura(qint32 id) const { return m_porId.value(id, nullptr); }

private:
    TListaIndexada<TMotivoPausa> m_itens;
    QHash<qint32, TMotivoPausa*> m_porId; // first reason of each id
};
