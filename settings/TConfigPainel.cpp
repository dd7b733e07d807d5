#include "settings/TConfigPainel.h"

#include <QSet>

#include <algorithm>

QStringList FilasDoTexto(const QString& texto) {
    QStringList filas;
    QSet<QString> vistas;
    for (QStringView parte : QStringView(texto).split(u',')) {
        const QString id = parte.trimmed().toString();
        if (id.isEmpty() || id.size() > TConfigPainel::kTamanhoMaximoId || vistas.contains(id))
            continue;
        vistas.insert(id);
        filas << id;
        if (filas.size() >= TConfigPainel::kMaximoFilas) break;
    }
    return filas;
}

TConfigPainel LeConfigPainel(const TSecaoTela& secao) {
    TConfigPainel c;
    c.Filas = FilasDoTexto(secao.LeTexto(QStringLiteral("Filas")));
    c.MostrarAtendentes = secao.LeBool(QStringLiteral("MostrarAtendentes"), true);
    c.SomenteLogados = secao.LeBool(QStringLiteral("SomenteLogados"), true);
    c.SegundosRotacao = std::clamp(
        secao.LeInteiro(QStringLiteral("SegundosRotacao"), TConfigPainel::kRotacaoPadrao),
        TConfigPainel::kRotacaoMinima, TConfigPainel::kRotacaoMaxima);
    c.TelaCheia = secao.LeBool(QStringLiteral("TelaCheia"), false);
    return c;
}

void SalvaConfigPainel(TSecaoTela& secao, const TConfigPainel& config) {
    secao.EscreveTexto(QStringLiteral("Filas"), config.Filas.join(u','));
    secao.EscreveBool(QStringLiteral("MostrarAtendentes"), config.MostrarAtendentes);
    secao.EscreveBool(QStringLiteral("SomenteLogados"), config.SomenteLogados);
    secao.EscreveInteiro(QStringLiteral("SegundosRotacao"),
                         std::clamp(config.SegundosRotacao, TConfigPainel::kRotacaoMinima,
                                    TConfigPainel::kRotacaoMaxima));
    secao.EscreveBool(QStringLiteral("TelaCheia"), config.TelaCheia);
}
