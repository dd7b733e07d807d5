#pragma once

#include <functional>
#include <memory>
#include <vector>

// One kind of change notice and whoever listens to it. A listener keeps the TAssinatura it was
// given; dropping it (a window closing) ends the subscription, also in the middle of a notice.
// Not a Qt signal on purpose: a failure in a listener reaches the caller (the packet drain's
// error hook) the same way as a failure in the model.
class TAssinatura {
public:
    TAssinatura() = default;
    explicit TAssinatura(std::weak_ptr<bool> ativa) : m_ativa(std::move(ativa)) {}
    TAssinatura(TAssinatura&&) noexcept = default;
    TAssinatura& operator=(TAssinatura&& o) noexcept {
        if (this != &o) {
            Cancela();
            m_ativa = std::move(o.m_ativa);
        }
        return *this;
    }
    TAssinatura(const TAssinatura&) = delete;
    TAssinatura& operator=(const TAssinatura&) = delete;
    ~TAssinatura() { Cancela(); }

    void Cancela() {
        if (auto a = m_ativa.lock()) *a = false;
        m_ativa.reset();
    }

private:
    std::weak_ptr<bool> m_ativa;
};

template <typename... Args> class TAviso {
public:
    using Ouvinte = std::function<void(Args...)>;

    [[nodiscard]] TAssinatura Assina(Ouvinte ouvinte) {
        if (m_emitindo == 0) Poda();
        auto ativa = std::make_shared<bool>(true);
        m_ouvintes.push_back({std::move(ouvinte), ativa});
        return TAssinatura(ativa);
    }

    // Calls the listeners in the order they subscribed; one that subscribes meanwhile hears
    // the next notice only.
    void Emite(Args... args) {
        const size_t n = m_ouvintes.size();
        if (n == 0) return;
        ++m_emitindo;
        struct TFim {
            int& emitindo;
            ~TFim() { --emitindo; }
        } fim{m_emitindo};
        for (size_t i = 0; i < n; ++i) {
            // Copied: the listener may subscribe another one, which moves the vector.
            const std::shared_ptr<bool> ativa = m_ouvintes[i].Ativa;
            if (*ativa) {
                const Ouvinte ouvinte = m_ouvintes[i].Funcao;
                ouvinte(args...);
            }
        }
    }

    bool TemOuvintes() const {
        for (const auto& o : m_ouvintes)
            if (*o.Ativa) return true;
        return false;
    }

private:
    struct TOuvinte {
        Ouvinte Funcao;
        std::shared_ptr<bool> Ativa;
    };
    void Poda() {
        std::erase_if(m_ouvintes, [](const TOuvinte& o) { return !*o.Ativa; });
    }

    std::vector<TOuvinte> m_ouvintes;
    int m_emitindo = 0;
};
