#pragma once

#include <QString>
#include <QStringList>

// A text for searching: accents dropped and case folded ("João" and "joao" search alike).
QString DobraTexto(QStringView texto);

// What a supervisor typed in a list's search box: words that must all appear, in any order,
// each anywhere in the row's texts, without regard to accents or case.
class TFiltroTexto {
public:
    // Longer search texts are cut: nothing a user types needs more.
    static constexpr qsizetype kMaxTexto = 200;

    void Define(const QString& texto);
    const QString& Texto() const { return m_texto; }
    bool Vazio() const { return m_palavras.isEmpty(); }
    // `dobrado` is the row's texts already passed through DobraTexto.
    bool CasaDobrado(QStringView dobrado) const;
    bool Casa(const QString& texto) const { return Vazio() || CasaDobrado(DobraTexto(texto)); }

private:
    QString m_texto;
    QStringList m_palavras;
};
