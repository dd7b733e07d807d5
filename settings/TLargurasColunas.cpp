#include "settings/TLargurasColunas.h"

#include <algorithm>

namespace {

bool ModoValido(int modo) {
    return modo >= 0 && modo < TLargurasColunas::Modos;
}

} // namespace

TLargurasColunas::TLargurasColunas(const QList<int>& padrao) {
    FPadrao.fill(padrao);
    FLarguras.fill(padrao);
}

TLargurasColunas::TLargurasColunas(const QList<int>& padraoModo0, const QList<int>& padraoModo1) {
    FPadrao = {padraoModo0, padraoModo1};
    const qsizetype n = std::max(padraoModo0.size(), padraoModo1.size());
    for (QList<int>& linha : FPadrao)
        while (linha.size() < n)
            linha.append(0);
    FLarguras = FPadrao;
}

int TLargurasColunas::Padrao(int modo, qsizetype coluna) const {
    if (!ModoValido(modo) || coluna < 0 || coluna >= Colunas()) return 0;
    return FPadrao[std::size_t(modo)][coluna];
}

int TLargurasColunas::Largura(int modo, qsizetype coluna) const {
    if (!ModoValido(modo) || coluna < 0 || coluna >= Colunas()) return 0;
    return FLarguras[std::size_t(modo)][coluna];
}

void TLargurasColunas::DefineLargura(int modo, qsizetype coluna, int largura) {
    if (!ModoValido(modo) || coluna < 0 || coluna >= Colunas()) return;
    FLarguras[std::size_t(modo)][coluna] = largura;
}

void TLargurasColunas::GuardaAtuais(int modo, const QList<int>& atuais) {
    for (qsizetype coluna = 0; coluna < atuais.size(); ++coluna)
        DefineLargura(modo, coluna, atuais[coluna]);
}
