#pragma once

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
    T* Set(const QString& name, qint32 count) {
        if (T* existente = Find(name)) {
            existente->Count = count;
            return existente;
        }
        auto novo = std::make_unique<T>();
        novo->Name = name;
        novo->Count = count;
        T* t = novo.get();
        m_itens.push_back(std::move(novo));
        m_porNome.insert(name, t);
        return t;
    }
    T* Find(const QString& name) const { return m_porNome.value(name, nullptr); }
    T* Get(int i) const {
        if (i < 0 || size_t(i) >= m_itens.size()) return nullptr;
        return m_itens[size_t(i)].get();
    }
    int Count() const { return int(m_itens.size()); }
    void Delete(int i) {
        if (i < 0 || size_t(i) >= m_itens.size()) return;
        m_porNome.remove(m_itens[size_t(i)]->Name);
        m_itens.erase(m_itens.begin() + i);
    }
    void Clear() {
        m_porNome.clear();
        m_itens.clear();
    }
    qint64 TotalCount() const {
        qint64 total = 0;
        for (const auto& t : m_itens)
            total += t->Count;
        return total;
    }

private:
    std::vector<std::unique_ptr<T>> m_itens;
    QHash<QString, T*> m_porNome;
};

class TKQCallSubReason {
public:
    QString Name;
    qint32 Count = 0;
};

class TKQListCallSubReason : public TContadoresPorNome<TKQCallSubReason> {};

class TKQCallReason {
public:
    QString Name;
    qint32 Count = 0;
    TKQListCallSubReason SubReasons;
};

// A new reason starts with no sub-reasons.
class TKQListCallReason : public TContadoresPorNome<TKQCallReason> {
public:
    // Sets a sub-reason of an existing reason; nothing when the reason was never counted.
    TKQCallSubReason* SetSub(const QString& reason, const QString& subReason, qint32 count) {
        TKQCallReason* r = Find(reason);
        return r ? r->SubReasons.Set(subReason, count) : nullptr;
    }
};
