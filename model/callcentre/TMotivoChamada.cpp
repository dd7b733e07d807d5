#include "model/callcentre/TMotivoChamada.h"

TKQCallSubReason* TKQListCallSubReason::Set(const QString& name, qint32 count) {
    if (TKQCallSubReason* s = Find(name)) {
        s->Count = count;
        return s;
    }
    auto novo = std::make_unique<TKQCallSubReason>();
    novo->Name = name;
    novo->Count = count;
    TKQCallSubReason* s = novo.get();
    m_itens.push_back(std::move(novo));
    m_porNome.insert(name, s);
    return s;
}

TKQCallSubReason* TKQListCallSubReason::Find(const QString& name) const {
    return m_porNome.value(name, nullptr);
}

TKQCallSubReason* TKQListCallSubReason::Get(int i) const {
    if (i < 0 || size_t(i) >= m_itens.size()) return nullptr;
    return m_itens[size_t(i)].get();
}

void TKQListCallSubReason::Delete(int i) {
    if (i < 0 || size_t(i) >= m_itens.size()) return;
    m_porNome.remove(m_itens[size_t(i)]->Name);
    m_itens.erase(m_itens.begin() + i);
}

qint64 TKQListCallSubReason::TotalCount() const {
    qint64 total = 0;
    for (const auto& s : m_itens)
        total += s->Count;
    return total;
}

TKQCallReason* TKQListCallReason::Set(const QString& name, qint32 count) {
    if (TKQCallReason* r = Find(name)) {
        r->Count = count;
        return r;
    }
    auto novo = std::make_unique<TKQCallReason>();
    novo->Name = name;
    novo->Count = count;
    TKQCallReason* r = novo.get();
    m_itens.push_back(std::move(novo));
    m_porNome.insert(name, r);
    return r;
}

TKQCallSubReason* TKQListCallReason::SetSub(const QString& reason, const QString& subReason,
                                            qint32 count) {
    TKQCallReason* r = Find(reason);
    return r ? r->SubReasons.Set(subReason, count) : nullptr;
}

TKQCallReason* TKQListCallReason::Find(const QString& name) const {
    return m_porNome.value(name, nullptr);
}

TKQCallReason* TKQListCallReason::Get(int i) const {
    if (i < 0 || size_t(i) >= m_itens.size()) return nullptr;
    return m_itens[size_t(i)].get();
}

qint64 TKQListCallReason::TotalCount() const {
    qint64 total = 0;
    for (const auto& r : m_itens)
        total += r->Count;
    return total;
}

void TKQListCallReason::Clear() {
    m_porNome.clear();
    m_itens.clear();
}
