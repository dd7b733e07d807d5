#include "base/TFiltroTexto.h"

QString DobraTexto(QStringView texto) {
    // Most texts are plain ASCII: no decomposition needed.
    bool ascii = true;
    for (const QChar c : texto)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return texto.toString().toLower();
    const QString decomposto = texto.toString().normalized(QString::NormalizationForm_KD);
    QString r;
    r.reserve(decomposto.size());
    for (const QChar c : decomposto)
        if (c.category() != QChar::Mark_NonSpacing) r += c;
    return r.toCaseFolded();
}

void TFiltroTexto::Define(const QString& texto) {
    m_texto = texto.left(kMaxTexto);
    m_palavras = DobraTexto(m_texto).split(u' ', Qt::SkipEmptyParts);
}

bool TFiltroTexto::CasaDobrado(QStringView dobrado) const {
    for (const QString& p : m_palavras)
        if (!dobrado.contains(p)) return false;
    return true;
}
