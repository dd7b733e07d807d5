#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// Call-reason counters of a queue, as the server counts them. Each event carries the current
// total of its reason or sub-reason, so counts are replaced, never added to. Reasons and
// sub-reasons are kept in arrival order and never removed by events.

class TKQCallSubReason {
public:
    QString Name;
    qint32 Count = 0;
};

class TKQListCallSubReason {
public:
    // Updates the sub-reason of this exact name, or appends a new one.
    TKQCallSubReason* Set(const QString& name, qint32 count);
    TKQCallSubReason* Find(const QString& name) const;
    TKQCallSubReason* Get(int i) const;
    int Count() const { return int(m_itens.size()); }
    void Delete(int i);
    qint64 TotalCount() const;

private:
    std::vector<std::unique_ptr<TKQCallSubReason>> m_itens;
    QHash<QString, TKQCallSubReason*> m_porNome;
};

class TKQCallReason {
public:
    QString Name;
    qint32 Count = 0;
    TKQListCallSubReason SubReasons;
};

class TKQListCallReason {
public:
    // Updates the reason of this exact name, or appends a new one with no sub-reasons.
    TKQCallReason* Set(const QString& name, qint32 count);
    // Sets a sub-reason of an existing reason; nothing when the reason was never counted.
    TKQCallSubReason* SetSub(const QString& reason, const QString& subReason, qint32 count);
    TKQCallReason* Find(const QString& name) const;
    TKQCallReason* Get(int i) const;
    int Count() const { return int(m_itens.size()); }
    qint64 TotalCount() const;
    void Clear();

private:
    std::vector<std::unique_ptr<TKQCallReason>> m_itens;
    QHash<QString, TKQCallReason*> m_porNome;
};
