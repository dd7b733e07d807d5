#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// The three view modes every list window offers.
enum class TModoVisualizacao : int { Lista = 0, Detalhe = 1, Resumido = 2 };

// One column of a list window in one view mode: its caption, its width at the reference font,
// its alignment, how its text is taken from the row's object and the sort key a click on it
// selects.
template <class T> struct TColunaLista {
    using Funcao = std::function<QString(const T&)>;

    QString Titulo{};
    int Largura = 0;
    Qt::Alignment Alinhamento = Qt::AlignLeft;
    // Empty for a spacer column.
    Funcao Valor{};
    // The key a click on the header selects; -1: the column does not sort.
    int Ordem = -1;
    // A column the window refreshes on its own schedule keeps the text it last wrote; the
    // others are read from the object whenever the view asks.
    bool Guardada = false;
    // A column the user cannot resize (the spacer).
    bool Fixa = false;
    // Texts the default width must show whole, besides the caption.
    QStringList Amostras{};
    // The window's own name for the column, to refresh it by name.
    int Id = -1;

    TColunaLista(QString titulo, int largura, Funcao valor = {})
        : Titulo(std::move(titulo)), Largura(largura), Valor(std::move(valor)) {}
    // A fixed blank column between others.
    static TColunaLista Espaco(int largura) {
        TColunaLista c(QString(), largura);
        c.Fixa = true;
        return c;
    }

    TColunaLista& ADireita() { return Alinhamento = Qt::AlignRight, *this; }
    TColunaLista& Ordena(int chave) { return Ordem = chave, *this; }
    TColunaLista& Guarda(int id = -1) { return Guardada = true, Id = id, *this; }
    TColunaLista& Cabe(QStringList textos) { return Amostras = std::move(textos), *this; }
};
