#include "settings/TSecaoTela.h"

#include <utility>

TSecaoTela::TSecaoTela(const QString& arquivoPerfil, const QString& registro)
    : FIni(arquivoPerfil), FSecao(u"Tela" + registro) {}

QString TSecaoTela::ChaveColuna(const QString& prefixo, int modo, qsizetype coluna) {
    return prefixo + u"Modo" + QString::number(modo) + u"Coluna" + QString::number(coluna);
}

int TSecaoTela::LeInteiro(const QString& chave, int padrao) const {
    return FIni.ReadInteger(FSecao, chave, padrao);
}

bool TSecaoTela::LeBool(const QString& chave, bool padrao) const {
    return FIni.ReadBool(FSecao, chave, padrao);
}

QString TSecaoTela::LeTexto(const QString& chave, const QString& padrao) const {
    return FIni.ReadString(FSecao, chave, padrao);
}

TPosicaoTela TSecaoTela::LePosicao(int alturaPadrao, int larguraPadrao) const {
    TPosicaoTela posicao;
    posicao.Top = LeInteiro(QStringLiteral("Top"), 0);
    posicao.Left = LeInteiro(QStringLiteral("Left"), 0);
    posicao.Height = LeInteiro(QStringLiteral("Height"), alturaPadrao);
    posicao.Width = LeInteiro(QStringLiteral("Width"), larguraPadrao);
    return posicao;
}

TVisualizacaoLista TSecaoTela::LeVisualizacao(const QString& sufixo) const {
    TVisualizacaoLista visualizacao;
    visualizacao.ModoVisualizacao = LeInteiro(u"ModoVisualizacao" + sufixo, 0);
    visualizacao.TamanhoDaFonteLista = LeInteiro(u"TamanhoDaFonteLista" + sufixo, 0);
    visualizacao.TamanhoDaFonteIcone = LeInteiro(u"TamanhoDaFonteIcone" + sufixo, 0);
    return visualizacao;
}

TOrdenacaoLista TSecaoTela::LeOrdenacao() const {
    TOrdenacaoLista ordenacao;
    ordenacao.SortCol = LeInteiro(QStringLiteral("SortCol"), 0);
    ordenacao.SortDescendente = LeBool(QStringLiteral("SortDescendente"), false);
    return ordenacao;
}

TLargurasColunas TSecaoTela::LeColunas(const QList<int>& padrao, const QString& prefixo) const {
    return LeColunas(TLargurasColunas(padrao), prefixo);
}

TLargurasColunas TSecaoTela::LeColunas(TLargurasColunas colunas, const QString& prefixo) const {
    for (int modo = 0; modo < TLargurasColunas::Modos; ++modo)
        for (qsizetype coluna = 0; coluna < colunas.Colunas(); ++coluna)
            colunas.DefineLargura(
                modo, coluna,
                LeInteiro(ChaveColuna(prefixo, modo, coluna), colunas.Padrao(modo, coluna)));
    return colunas;
}

void TSecaoTela::EscreveInteiro(const QString& chave, int valor) {
    FPendentes.WriteInteger(FSecao, chave, valor);
}

void TSecaoTela::EscreveBool(const QString& chave, bool valor) {
    FPendentes.WriteBool(FSecao, chave, valor);
}

void TSecaoTela::EscreveTexto(const QString& chave, const QString& valor) {
    FPendentes.WriteString(FSecao, chave, valor);
}

void TSecaoTela::EscrevePosicao(const TPosicaoTela& posicao) {
    EscreveInteiro(QStringLiteral("Top"), posicao.Top);
    EscreveInteiro(QStringLiteral("Left"), posicao.Left);
    EscreveInteiro(QStringLiteral("Height"), posicao.Height);
    EscreveInteiro(QStringLiteral("Width"), posicao.Width);
}

void TSecaoTela::EscreveVisualizacao(const TVisualizacaoLista& visualizacao,
                                     const QString& sufixo) {
    EscreveInteiro(u"ModoVisualizacao" + sufixo, visualizacao.ModoVisualizacao);
    EscreveInteiro(u"TamanhoDaFonteLista" + sufixo, visualizacao.TamanhoDaFonteLista);
    EscreveInteiro(u"TamanhoDaFonteIcone" + sufixo, visualizacao.TamanhoDaFonteIcone);
}

void TSecaoTela::EscreveOrdenacao(const TOrdenacaoLista& ordenacao) {
    EscreveInteiro(QStringLiteral("SortCol"), ordenacao.SortCol);
    EscreveBool(QStringLiteral("SortDescendente"), ordenacao.SortDescendente);
}

void TSecaoTela::EscreveColunas(const TLargurasColunas& colunas, const QString& prefixo) {
    for (int modo = 0; modo < TLargurasColunas::Modos; ++modo)
        for (qsizetype coluna = 0; coluna < colunas.Colunas(); ++coluna)
            EscreveInteiro(ChaveColuna(prefixo, modo, coluna), colunas.Largura(modo, coluna));
}

void TSecaoTela::Salva() {
    const TAlteracoesIni pendentes = std::exchange(FPendentes, TAlteracoesIni());
    FIni.Write(pendentes);
}
