#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <vector>

// What assistive technology reads of a widget that paints its items itself (the lines of a
// trunk, the cards and tiles of the wallboard): each item is a child with a name, a description
// and a rectangle. `T` speaks for the widget `T::Widget`:
//   static int Quantidade(const Widget&);
//   static QString Nome(const Widget&, int);
//   static QString Descricao(const Widget&, int);
//   static QRect Retangulo(const Widget&, int);       // in the widget's coordinates
//   static int ItemEm(const Widget&, QPoint);          // -1 over no item
//   static QAccessibleInterface* Filho(Widget&, int);
//   static int IndiceDoFilho(const Widget&, const QAccessibleInterface*);
//   static constexpr QAccessible::Role Papel, PapelItem;

// The item interfaces a widget registered: found again by position, freed with the widget or
// when its items become fewer.
class TFilhosAcessiveis {
public:
    TFilhosAcessiveis() = default;
    TFilhosAcessiveis(const TFilhosAcessiveis&) = delete;
    TFilhosAcessiveis& operator=(const TFilhosAcessiveis&) = delete;
    ~TFilhosAcessiveis() { Apara(0); }

    // The interface of item i of `quantidade`, made by `cria` the first time it is asked for.
    template <typename F> QAccessibleInterface* Filho(int i, int quantidade, F&& cria) {
        if (i < 0 || i >= quantidade) return nullptr;
        if (m_ids.size() <= size_t(i)) m_ids.resize(size_t(i) + 1, 0);
        unsigned& id = m_ids[size_t(i)];
        if (!id) id = QAccessible::registerAccessibleInterface(cria());
        return QAccessible::accessibleInterface(id);
    }
    int Indice(const QAccessibleInterface* filho) const {
        for (size_t i = 0; i < m_ids.size(); ++i)
            if (m_ids[i] && QAccessible::accessibleInterface(m_ids[i]) == filho) return int(i);
        return -1;
    }
    // Items from `quantidade` on are gone: their interfaces read as invalid and are freed.
    void Apara(int quantidade) {
        while (int(m_ids.size()) > quantidade) {
            if (m_ids.back()) QAccessible::deleteAccessibleInterface(m_ids.back());
            m_ids.pop_back();
        }
    }

private:
    std::vector<unsigned> m_ids;
};

template <typename T> class TAcessivelItemPintado : public QAccessibleInterface {
    using Widget = typename T::Widget;

public:
    TAcessivelItemPintado(Widget* w, int i) : m_w(w), m_i(i) {}
    bool isValid() const override { return m_w && m_i < T::Quantidade(*m_w); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_w ? m_w->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return m_w ? QAccessible::queryAccessibleInterface(m_w.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return T::Nome(*m_w, m_i);
        if (t == QAccessible::Description) return T::Descricao(*m_w, m_i);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = T::Retangulo(*m_w, m_i);
        return QRect(m_w->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return T::PapelItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        if (!isValid()) s.invalid = true;
        return s;
    }

private:
    QPointer<Widget> m_w;
    int m_i;
};

// The painting widget: its items are its children.
template <typename T> class TAcessivelPintor : public QAccessibleWidget {
    using Widget = typename T::Widget;

public:
    explicit TAcessivelPintor(Widget* w) : QAccessibleWidget(w, T::Papel) {}
    int childCount() const override { return T::Quantidade(*W()); }
    QAccessibleInterface* child(int i) const override { return T::Filho(*W(), i); }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return T::IndiceDoFilho(*W(), c);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int i = T::ItemEm(*W(), W()->mapFromGlobal(QPoint(x, y)));
        return i >= 0 ? T::Filho(*W(), i) : nullptr;
    }

    // For QAccessible::installFactory.
    static QAccessibleInterface* Fabrica(const QString&, QObject* objeto) {
        if (auto* w = qobject_cast<Widget*>(objeto)) return new TAcessivelPintor(w);
        return nullptr;
    }

private:
    Widget* W() const { return static_cast<Widget*>(widget()); }
};
