#pragma once

// The storage of every model list. The live lists (channels, bridges) see thousands of
// insertions and removals a minute and must answer every event lookup in constant time; the
// others only grow until the connection closes. One template serves both, with one set of verbs
// that every list repeats: Adiciona, Insere, Item, Count, IndiceDe, Contem, Procura (by a key the
// list indexes), Retira (out and handed over), Remove (out and destroyed), Limpa, ParaCada.
//
// - TListaIndexada<T>: an owning list in insertion order. Removing an object leaves an empty
//   slot behind instead of shifting the rest of the vector; a Fenwick tree over the slots counts
//   the live ones, so Count is O(1) and Item(index) / IndiceDe are O(log n), O(1) while no slot
//   is empty (the lists that only grow). The empty slots are squeezed out once they outnumber
//   the live ones (amortised O(1) per removal); squeezing keeps the relative order, so
//   everything sorted by slot stays sorted.
// - TIndiceOrdenado<K, T>: a hash from a key to the objects carrying it, each bucket kept in list
//   order, so "the first in the list with this key" is the front of its bucket.
//
// Objects held by a TListaIndexada derive from TItemIndexado, which carries their slot.
#include <QHash>
#include <QVarLengthArray>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <vector>

template <typename T> class TListaIndexada;

class TItemIndexado {
public:
    // Position of the object's slot in its list; orders objects of one list (-1 = in no list).
    qsizetype SlotNaLista() const { return m_slot; }

private:
    template <typename> friend class TListaIndexada;
    qsizetype m_slot = -1;
};

template <typename T> class TListaIndexada {
public:
    int Count() const { return m_vivos; }

    // The object at a live index, or none out of range.
    T* Item(int index) const {
        if (index < 0 || index >= m_vivos) return nullptr;
        if (SemVazios()) return m_slots[size_t(index)].get();
        return m_slots[size_t(SlotDoIndice(index))].get();
    }

    // The live index of an object of this list, or -1.
    int IndiceDe(const T* item) const {
        if (!Contem(item)) return -1;
        if (SemVazios()) return int(item->m_slot);
        return Prefixo(item->m_slot);
    }

    bool Contem(const T* item) const {
        return item && item->m_slot >= 0 && size_t(item->m_slot) < m_slots.size() &&
               m_slots[size_t(item->m_slot)].get() == item;
    }

    T* Adiciona(std::unique_ptr<T> item) {
        T* raw = item.get();
        raw->m_slot = qsizetype(m_slots.size());
        m_slots.push_back(std::move(item));
        AcrescentaNaArvore();
        ++m_vivos;
        return raw;
    }

    // Inserts before the object at `index`; appends when the index is out of range. Linear in
    // the size of the list (the live lists only append).
    T* Insere(std::unique_ptr<T> item, int index) {
        if (index < 0 || index >= m_vivos) return Adiciona(std::move(item));
        const qsizetype slot = SlotDoIndice(index);
        T* raw = item.get();
        m_slots.insert(m_slots.begin() + slot, std::move(item));
        ++m_vivos;
        Reconstroi();
        return raw;
    }

    // Takes an object out of the list and hands it over; none when it is not in this list.
    std::unique_ptr<T> Retira(T* item) {
        if (!Contem(item)) return nullptr;
        std::unique_ptr<T> owned = std::move(m_slots[size_t(item->m_slot)]);
        Soma(item->m_slot, -1);
        item->m_slot = -1;
        --m_vivos;
        const qsizetype vazios = qsizetype(m_slots.size()) - m_vivos;
        if (vazios > 64 && vazios > m_vivos) Reconstroi();
        return owned;
    }

    // Frees every object (in list order) and empties the list.
    void Limpa() {
        std::vector<std::unique_ptr<T>> slots;
        slots.swap(m_slots);
        m_arvore.assign(1, 0);
        m_vivos = 0;
        for (auto& p : slots)
            if (p) p->m_slot = -1;
        slots.clear();
    }

    // Calls f(T*) for every object in list order.
    template <typename F> void ParaCada(F&& f) const {
        for (const auto& p : m_slots)
            if (p) f(p.get());
    }
    // Walks the objects in list order (T*), skipping the empty slots.
    class Iterador {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;
        Iterador(Base it, Base fim) : m_it(it), m_fim(fim) { Pula(); }
        T* operator*() const { return m_it->get(); }
        Iterador& operator++() {
            ++m_it;
            Pula();
            return *this;
        }
        Iterador operator++(int) {
            Iterador antes = *this;
            ++*this;
            return antes;
        }
        bool operator==(const Iterador& o) const { return m_it == o.m_it; }
        bool operator!=(const Iterador& o) const { return m_it != o.m_it; }

    private:
        void Pula() {
            while (m_it != m_fim && !*m_it)
                ++m_it;
        }
        Base m_it, m_fim;
    };
    Iterador begin() const { return Iterador(m_slots.begin(), m_slots.end()); }
    Iterador end() const { return Iterador(m_slots.end(), m_slots.end()); }

    // The first object for which f(T*) holds, or none.
    template <typename F> T* Primeiro(F&& f) const {
        for (const auto& p : m_slots)
            if (p && f(p.get())) return p.get();
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<T>> m_slots;
    std::vector<int> m_arvore = std::vector<int>(1, 0); // Fenwick tree, 1-based
    int m_vivos = 0;

    static qsizetype Lsb(qsizetype i) { return i & -i; }
    bool SemVazios() const { return qsizetype(m_slots.size()) == m_vivos; }

    // Live objects in the slots before `slot`.
    int Prefixo(qsizetype slot) const {
        int soma = 0;
        for (qsizetype i = slot; i > 0; i -= Lsb(i))
            soma += m_arvore[size_t(i)];
        return soma;
    }
    void Soma(qsizetype slot, int delta) {
        const qsizetype n = qsizetype(m_slots.size());
        for (qsizetype i = slot + 1; i <= n; i += Lsb(i))
            m_arvore[size_t(i)] += delta;
    }
    // The tree grows by one live slot at the end.
    void AcrescentaNaArvore() {
        const qsizetype k = qsizetype(m_slots.size());
        m_arvore.push_back(1 + Prefixo(k - 1) - Prefixo(k - Lsb(k)));
    }
    // The slot holding the live object of the given index (0 <= index < m_vivos).
    qsizetype SlotDoIndice(int index) const {
        const qsizetype n = qsizetype(m_slots.size());
        qsizetype pos = 0;
        qsizetype passo = 1;
        while (passo * 2 <= n)
            passo *= 2;
        int resto = index;
        for (; passo > 0; passo /= 2) {
            if (pos + passo <= n && m_arvore[size_t(pos + passo)] <= resto) {
                pos += passo;
                resto -= m_arvore[size_t(pos)];
            }
        }
        return pos;
    }
    // Squeezes the empty slots out and rebuilds the tree; order is kept.
    void Reconstroi() {
        auto fim = std::remove(m_slots.begin(), m_slots.end(), nullptr);
        m_slots.erase(fim, m_slots.end());
        const qsizetype n = qsizetype(m_slots.size());
        m_arvore.assign(size_t(n + 1), 0);
        for (qsizetype i = 0; i < n; ++i) {
            m_slots[size_t(i)]->m_slot = i;
            m_arvore[size_t(i + 1)] += 1;
            const qsizetype pai = i + 1 + Lsb(i + 1);
            if (pai <= n) m_arvore[size_t(pai)] += m_arvore[size_t(i + 1)];
        }
    }
};

template <typename K, typename T> class TIndiceOrdenado {
public:
    // Most keys name one object: the first two live in the node, without an allocation.
    using Bucket = QVarLengthArray<T*, 2>;

    // Files the object under the key, in list order (the object must already be in its list).
    void Adiciona(const K& chave, T* item) {
        Bucket& b = m_mapa[chave];
        auto pos = std::upper_bound(b.begin(), b.end(), item, [](const T* x, const T* y) {
            return x->SlotNaLista() < y->SlotNaLista();
        });
        b.insert(pos, item);
    }

    void Remove(const K& chave, T* item) {
        auto it = m_mapa.find(chave);
        if (it == m_mapa.end()) return;
        Bucket& b = it.value();
        auto pos = std::find(b.begin(), b.end(), item);
        if (pos != b.end()) b.erase(pos);
        if (b.empty()) m_mapa.erase(it);
    }

    T* Primeiro(const K& chave) const {
        auto it = m_mapa.constFind(chave);
        return it == m_mapa.cend() ? nullptr : it.value().front();
    }

    // The objects under the key in list order (empty when none).
    const Bucket& Todos(const K& chave) const {
        static const Bucket vazio;
        auto it = m_mapa.constFind(chave);
        return it == m_mapa.cend() ? vazio : it.value();
    }

    void Limpa() { m_mapa.clear(); }
    qsizetype Chaves() const { return m_mapa.size(); }

private:
    QHash<K, Bucket> m_mapa;
};
