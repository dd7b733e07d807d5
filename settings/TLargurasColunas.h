#pragma once

#include <QList>

#include <array>

// A list window's column widths per view mode. Only modes 0 and 1 show columns; a list in
// mode 2 has no widths to give, so the table keeps those of the last time it was in 0 or 1.
class TLargurasColunas {
public:
    static constexpr int Modos = 2;

    // Both modes start at the built-in widths.
    explicit TLargurasColunas(const QList<int>& padrao = {});
    // Modes with columns of their own: each starts at its own built-in widths; the shorter row
    // is completed with zeros.
    TLargurasColunas(const QList<int>& padraoModo0, const QList<int>& padraoModo1);

    qsizetype Colunas() const { return FPadrao[0].size(); }
    int Padrao(qsizetype coluna) const { return Padrao(0, coluna); }
    int Padrao(int modo, qsizetype coluna) const;
    // 0 outside the table.
    int Largura(int modo, qsizetype coluna) const;
    // Ignored outside the table.
    void DefineLargura(int modo, qsizetype coluna, int largura);

    // Before saving: the list's current widths become the row of its mode, unless the mode has
    // no row (2, or a stored mode out of range). Widths beyond the table are ignored.
    void GuardaAtuais(int modo, const QList<int>& atuais);

private:
    std::array<QList<int>, Modos> FPadrao;
    std::array<QList<int>, Modos> FLarguras;
};
