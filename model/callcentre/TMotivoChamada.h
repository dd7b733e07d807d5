#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// Call-reason counters of a queue, as the server counts them. Each event carries the current
// total of its reason or sub-reason, so counts are replaced, never added to. Reasons and
// sub-reasons are kept in arrival order and never removed by events.

// Counters kept in arrival order and found by their exact name; T has `Name` and `Count`.
template <class T> class TContadoresPorNome {
public:
    // Updates the counter of this exact name, or appends a new one.
    T* Define(const QString& name, qint32 count) {
        if (T* existente = Procura(name)) {
            existente->Count = count;
            return existente;
        }
        auto novo = std::make_unique<T>();
        novo->Name = name;
        novo->Count = count;
        T* t = m_itens.Adiciona(std::move(novo));
        m_porNome.insert(name, t);
        return t;
    }
    T* Procura(const QString& name) const { return m_porNome.value(name, nullptr); }
    T* Item(int i) const { return m_itens.Item(i); }
    int Count() const { return m_itens.Count(); }
    void Remove(T* item) {
        if (!m_itens.Contem(item)) return;
        m_porNome.remove(item->Name);
        m_itens.Retira(item);
    }
    void Limpa() {
        m_porNome.clear();
        m_itens.Limpa();
    }
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    qint64 TotalCount() const {
        qint64 total = 0;
        for (const T* t : m_itens)
            total += t->Count;
        return total;
    }

private:
    TListaIndexada<T> m_itens;
    QHash<QString, T*> m_porNome;
};

class TKQCallSubReason : public TItemIndexado {
public:
    QString Name;
    qint32 Count = 0;
};

class TKQListCallSubReason : public TContadoresPorNome<TKQCallSubReason> {};

class TKQCallReason : public TItemIndexado {
public:
    QString Name;
    qint32 Count = 0;
    TKQListCallSubReason SubReasons;
};

// A new reason starts with no sub-reasons.
class TKQListCallReason : public TContadoresPorNome<TKQCallReason> {
public:
    // Sets a sub-reason of an existing reason; nothing when the reason was never counted.
    TKQCallSubReason* DefineSub(const QString& reason, const QString& subReason, qint32 count) {
        TKQCallReason* r = Procura(reason);
        return r ? r->SubReasons.Define(subReason, count) : nullptr;
    }
};
