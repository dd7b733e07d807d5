#include "ui/lists/TCoresEstado.h"

QColor CorBgr(int bgr) {
    const TComponentesCor c = ComponentesCor(bgr);
    return QColor(c.r, c.g, c.b);
}

QString TextoClasseCor(TClasseCor classe) {
    switch (classe) {
    case TClasseCor::OcupadoNaFila:
        return QStringLiteral("Ocupado na fila");
    case TClasseCor::Ocupado:
        return QStringLiteral("Ocupado");
    case TClasseCor::PosAtendimento:
        return QStringLiteral("Pós-atendimento");
    case TClasseCor::EmPausa:
        return QStringLiteral("Em pausa");
    case TClasseCor::Livre:
        return QStringLiteral("Livre");
    case TClasseCor::Indisponivel:
        return QStringLiteral("Indisponível");
    case TClasseCor::FoneForaDoGancho:
        return QStringLiteral("Fone fora do gancho");
    }
    return {};
}
