#include "app/settings/TLargurasColunas.h"

namespace {

bool ModoValido(int modo) {
    return modo >= 0 && modo < TLargurasColunas::Modos;
}

} // namespace

TLargurasColunas::TLargurasColunas(const QList<int>& padrao) : FPadrao(padrao) {
    FLarguras.fill(padrao);
}

int TLargurasColunas::Padrao(qsizetype coluna) const {
    return coluna >= 0 && coluna < FPadrao.size() ? FPadrao[coluna] : 0;
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
