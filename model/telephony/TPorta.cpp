#include "model/telephony/TPorta.h"

QString TPorta::Descreve() const {
    return u"PortaId: " + QString::number(PortaId) + u"\r\nPorta: " + Nome + u"\r\nMarca: " +
           Marca + u"\r\nTipo: " + Tipo + u"\r\nTipoTronco: " + TipoTronco + u"\r\n";
}

TPorta* TListaPortas::Adiciona(std::unique_ptr<TPorta> porta) {
    TPorta* p = m_itens.Adiciona(std::move(porta));
    if (!m_porId.contains(p->PortaId)) m_porId.insert(p->PortaId, p);
    return p;
}

void TListaPortas::Limpa() {
    m_porId.clear();
    m_itens.Limpa();
}

void TListaPortas::NumeraCanais() {
    // Khomp: lines restart at 0 on every board; an E1 span takes 30 lines.
    qint32 placaAnterior = -1;
    qint32 indicePlaca = -1;
    qint32 deslocamento = 0;
    qint32 digitais = 0;
    for (const auto& p : m_itens) {
        if (p->Marca != u"k") continue;
        if (p->Placa != placaAnterior) {
            placaAnterior = p->Placa;
            ++indicePlaca;
            deslocamento = 0;
            digitais = 0;
        }
        p->IndicePlaca = indicePlaca;
        p->PrimeiroCanal = deslocamento;
        if (p->PortaDigitalDeTronco()) {
            p->NumCanais = 30;
            p->IndiceDigital = digitais;
            deslocamento += 30;
            ++digitais;
        } else {
            p->NumCanais = 1;
            deslocamento += 1;
        }
    }
    // DAHDI: one numbering across all boards, from 1; an E1 span takes 31 lines, its
    // signalling line included.
    qint32 linha = 1;
    digitais = 0;
    for (const auto& p : m_itens) {
        if (p->Marca != u"z") continue;
        p->PrimeiroCanal = linha;
        if (p->PortaDigitalDeTronco()) {
            p->NumCanais = 31;
            p->IndiceDigital = digitais;
            linha += 31;
            ++digitais;
        } else {
            p->NumCanais = 1;
            linha += 1;
        }
    }
}
