#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// One hardware port of a telephony board (a line, an E1 span, a cellular chip).
class TPorta : public TItemIndexado {
public:
    qint32 PortaId = 0;
    qint32 Placa = -1;
    qint32 Canal = -1;
    QString Marca;      // "k" Khomp, "z" DAHDI
    QString Tipo;       // "t" trunk port, anything else extension port
    QString TipoTronco; // "d" digital, "c" cellular, "a" analogue
    qint32 QtdeCanais = 0;
    // Set by the port numbering once the list is complete; -1 until then.
    qint32 IndicePlaca = -1;
    qint32 PrimeiroCanal = -1;
    qint32 NumCanais = -1;
    qint32 IndiceDigital = -1;
    QString Nome;

    bool PortaDigitalDeTronco() const { return Tipo == u"t" && TipoTronco == u"d"; }
    QString Descreve() const;
};

// The hardware ports in load order (the server sorts them by board and line), owning them.
class TListaPortas {
public:
    TPorta* Adiciona(std::unique_ptr<TPorta> porta);
    TPorta* Item(int index) const { return m_itens.Item(index); }
    int Count() const { return m_itens.Count(); }
    void Limpa();
    // The first port with this id, or none.
    TPorta* Procura(qint32 portaId) const { return m_porId.value(portaId, nullptr); }
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }
    // Gives every port its board index and PBX line numbers; called when the list is complete.
    void NumeraCanais();

private:
    TListaIndexada<TPorta> m_itens;
    QHash<qint32, TPorta*> m_porId; // first port of each id
};
