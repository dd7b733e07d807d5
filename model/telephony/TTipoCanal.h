#pragma once

#include <QString>

class TCanalTronco;
class TRamal;

// Ties a live channel to the extension ("r") or the trunk line ("t") it belongs to. Owned by the
// channel; the owner it names outlives it (extensions and trunk lines are emptied only after
// the channels, and a configuration reload drops every descriptor first).
class TTipoCanal {
public:
    explicit TTipoCanal(TRamal* dono);
    explicit TTipoCanal(TCanalTronco* dono);

    QString Tipo;
    TRamal* DonoRamal() const { return m_ramal; }
    TCanalTronco* DonoCanalTronco() const { return m_canal; }

    // "Ramal 2001 (PA 01)" or "Tronco E1 Embratel/Canal 3"; empty without an owner.
    QString NomePeer() const;

private:
    TRamal* m_ramal = nullptr;
    TCanalTronco* m_canal = nullptr;
};
