#pragma once

#include <QString>

#include <array>

// Colours are 24-bit values in the Windows layout 0x00BBGGRR, as stored in the settings files.
constexpr int CorRGB(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}
// The other way round: every reader of a stored colour splits it here.
struct TComponentesCor {
    int r, g, b;
};
constexpr TComponentesCor ComponentesCor(int cor) {
    return {cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF};
}

// The colour classes of an agent's row or tile, in the order of the scheme's fields.
enum class TClasseCor {
    OcupadoNaFila,
    Ocupado,
    PosAtendimento,
    EmPausa,
    Livre,
    Indisponivel,
    FoneForaDoGancho
};
constexpr int kClassesCor = 7;

// A colour scheme of the agents' states: its scope, its mode and a background and a text
// colour per class.
struct TEsquemaCores {
    // Scope of a scheme stored in "Preferencias": 0 none, 1 queues without their own, 2 all.
    int CorTodasAsFilas = 0;
    // 1 built-in defaults, 2 personalised, 3 taken from the agents window; 0 never stored.
    int Cor = 0;
    std::array<int, kClassesCor> Fundo{};
    std::array<int, kClassesCor> Fonte{};

    int& CorFundo(TClasseCor c) { return Fundo[size_t(c)]; }
    int& CorFonte(TClasseCor c) { return Fonte[size_t(c)]; }
    int CorFundo(TClasseCor c) const { return Fundo[size_t(c)]; }
    int CorFonte(TClasseCor c) const { return Fonte[size_t(c)]; }
    bool operator==(const TEsquemaCores&) const = default;
};

// The built-in colours (busy orange, free light green, paused light yellow, unavailable grey,
// black text); the scope is left as it was.
void DefaultScheme(TEsquemaCores& s);
TEsquemaCores EsquemaPadrao();

// The 16 keys of a section of a settings file, with the defaults for missing ones.
TEsquemaCores ReadScheme(const QString& arquivo, const QString& secao);
// Throws TErroConfiguracao when the file cannot be written.
void WriteScheme(const QString& arquivo, const QString& secao, const TEsquemaCores& s);

// The scheme of the agents window: its own when personalised, otherwise the defaults.
TEsquemaCores SchemeOfAgentsWindow(const QString& arquivo, const QString& secao);
// The scheme of a queue or campaign window: its own, the shared one of "Preferencias" or the
// agents window's, as the stored scope and mode say.
TEsquemaCores SchemeOfQueueWindow(const QString& arquivo, const QString& secao);

// Darker by 20 and lighter by 60 on the 0..240 lightness scale of the Windows colour dialog.
int Darken(int cor);
int Lighten(int cor);
