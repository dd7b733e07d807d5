#pragma once

#include "settings/TIniFile.h"
#include "settings/TLargurasColunas.h"

#include <QString>

struct TPosicaoTela {
    int Top = 0;
    int Left = 0;
    int Height = 0;
    int Width = 0;
};

// A list's view mode and font levels; the keys carry a suffix ("Agentes", "Chamadas") in
// windows with two lists.
struct TVisualizacaoLista {
    int ModoVisualizacao = 0;
    int TamanhoDaFonteLista = 0;
    int TamanhoDaFonteIcone = 0;
};

struct TOrdenacaoLista {
    int SortCol = 0;
    bool SortDescendente = false;
};

// A monitoring window's section "Tela" + registry name in the profile file. Reads go to the
// file at once. Writes are gathered and Salva writes them together, so a window's settings are
// replaced in one atomic write when it closes.
class TSecaoTela {
public:
    TSecaoTela(const QString& arquivoPerfil, const QString& registro);

    const QString& Secao() const { return FSecao; }

    int LeInteiro(const QString& chave, int padrao) const;
    bool LeBool(const QString& chave, bool padrao) const;
    QString LeTexto(const QString& chave, const QString& padrao = QString()) const;
    TPosicaoTela LePosicao(int alturaPadrao, int larguraPadrao) const;
    TVisualizacaoLista LeVisualizacao(const QString& sufixo = QString()) const;
    TOrdenacaoLista LeOrdenacao() const;
    // Keys prefix + "Modo" + m + "Coluna" + c, defaults the built-in widths.
    TLargurasColunas LeColunas(const QList<int>& padrao, const QString& prefixo = QString()) const;
    // The same with the defaults of each mode given by the table.
    TLargurasColunas LeColunas(TLargurasColunas padrao, const QString& prefixo = QString()) const;

    void EscreveInteiro(const QString& chave, int valor);
    void EscreveBool(const QString& chave, bool valor);
    void EscreveTexto(const QString& chave, const QString& valor);
    void EscrevePosicao(const TPosicaoTela& posicao);
    void EscreveVisualizacao(const TVisualizacaoLista& visualizacao,
                             const QString& sufixo = QString());
    void EscreveOrdenacao(const TOrdenacaoLista& ordenacao);
    // Both modes' rows; call GuardaAtuais on the table first.
    void EscreveColunas(const TLargurasColunas& colunas, const QString& prefixo = QString());

    // Writes what was gathered; throws TErroConfiguracao when the file cannot be written.
    void Salva();

private:
    static QString ChaveColuna(const QString& prefixo, int modo, qsizetype coluna);

    TIniFile FIni;
    QString FSecao;
    TAlteracoesIni FPendentes;
};
