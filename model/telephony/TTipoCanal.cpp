#include "model/telephony/TTipoCanal.h"

#include "model/telephony/TRamal.h"
#include "model/telephony/TTronco.h"

TTipoCanal::TTipoCanal(TRamal* dono) : Tipo(QStringLiteral("r")), m_ramal(dono) {}

TTipoCanal::TTipoCanal(TCanalTronco* dono) : Tipo(QStringLiteral("t")), m_canal(dono) {}

QString TTipoCanal::NomePeer() const {
    if (Tipo == u"r" && m_ramal) return u"Ramal " + m_ramal->RamalId + u" (" + m_ramal->Nome + u")";
    if (Tipo == u"t" && m_canal && m_canal->Tronco)
        return u"Tronco " + m_canal->Tronco->Nome + u"/Canal " +
               QString::number(m_canal->Indice() + 1);
    return {};
}
