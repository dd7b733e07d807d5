#include "ui/widgets/TFatiasPizza.h"

#include "settings/TEsquemaCores.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {

constexpr int kMaxFatias = 10;

// Whole shares of `unidades` proportional to the values, adding up to `unidades` when the
// total is positive (largest remainders).
std::vector<int> Reparte(const std::vector<TFatia>& fatias, qint64 total, int unidades) {
    std::vector<int> partes(fatias.size(), 0);
    if (total <= 0) return partes;
    std::vector<qint64> restos(fatias.size(), 0);
    qint64 soma = 0;
    for (size_t i = 0; i < fatias.size(); ++i) {
        const qint64 v = std::max<qint64>(0, fatias[i].Valor);
        // v ≤ total, so v × unidades stays far inside 64 bits for any count a server sends.
        partes[i] = int(v * unidades / total);
        restos[i] = v * unidades % total;
        soma += partes[i];
    }
    std::vector<size_t> ordem(fatias.size());
    std::iota(ordem.begin(), ordem.end(), size_t(0));
    std::stable_sort(ordem.begin(), ordem.end(),
                     [&](size_t a, size_t b) { return restos[a] > restos[b]; });
    for (size_t k = 0; soma < unidades && k < ordem.size(); ++k) {
        if (restos[ordem[k]] == 0) break;
        ++partes[ordem[k]];
        ++soma;
    }
    return partes;
}

} // namespace

std::vector<TFatia> PreparaFatias(std::vector<TFatia> fatias, int limite,
                                  const QString& rotuloOutros) {
    for (TFatia& f : fatias)
        f.Valor = std::max<qint64>(0, f.Valor);
    const int l = std::min(limite, kMaxFatias);
    if (l > 0 && fatias.size() > size_t(l)) {
        std::stable_sort(fatias.begin(), fatias.end(),
                         [](const TFatia& a, const TFatia& b) { return a.Valor > b.Valor; });
        TFatia& resto = fatias[size_t(l - 1)];
        resto.Nome = rotuloOutros;
        resto.Chave.clear();
        for (size_t i = size_t(l); i < fatias.size(); ++i)
            resto.Valor += fatias[i].Valor;
        fatias.resize(size_t(l));
    }
    qint64 total = 0;
    for (const TFatia& f : fatias)
        total += f.Valor;
    const std::vector<int> angulos = Reparte(fatias, total, 360);
    const std::vector<int> percentuais = Reparte(fatias, total, 100);
    for (size_t i = 0; i < fatias.size(); ++i) {
        fatias[i].Angulo = angulos[i];
        fatias[i].Percentual = percentuais[i];
    }
    return fatias;
}

int CorPadraoFatia(int posicao) {
    static constexpr std::array<int, kMaxFatias> cores{
        CorRGB(90, 196, 245),  CorRGB(254, 108, 92), CorRGB(168, 223, 175), CorRGB(250, 252, 160),
        CorRGB(165, 182, 239), CorRGB(255, 136, 17), CorRGB(139, 255, 119), CorRGB(236, 240, 55),
        CorRGB(190, 122, 231), CorRGB(255, 185, 187)};
    return cores[size_t(std::clamp(posicao, 0, kMaxFatias - 1) % kMaxFatias)];
}

int CorDaFatia(const TFatia& fatia, int posicao) {
    return fatia.Cor >= 1 ? fatia.Cor : CorPadraoFatia(posicao);
}
