#pragma once

// Removal paths must finish even when a listener fails: whatever still pointed at the object
// being removed would point at freed memory once the error has been reported. These run every
// step, then let the first failure go on.
#include <exception>
#include <utility>

template <typename... F> void TodosOsPassos(F&&... passos) {
    std::exception_ptr primeira;
    auto roda = [&primeira](auto&& passo) {
        try {
            passo();
        } catch (...) {
            if (!primeira) primeira = std::current_exception();
        }
    };
    (roda(std::forward<F>(passos)), ...);
    if (primeira) std::rethrow_exception(primeira);
}

// f(item) for every item of the range, each run even when an earlier one failed.
template <typename R, typename F> void ParaTodos(const R& itens, F&& f) {
    std::exception_ptr primeira;
    for (auto&& item : itens) {
        try {
            f(item);
        } catch (...) {
            if (!primeira) primeira = std::current_exception();
        }
    }
    if (primeira) std::rethrow_exception(primeira);
}
