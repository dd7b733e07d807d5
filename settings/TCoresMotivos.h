#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The user's colours of call reasons and sub-reasons, shown as pie slices. A colour of 0 means
// none of the user's: the chart uses its own palette.
class TCoresMotivos {
public:
    // `tipo` is "Motivo" or "SubMotivo"; anything else has no colours.
    int LeCorMotivoChamada(const QString& tipo, const QString& nome) const;
    void SetaCorMotivoChamada(const QString& tipo, const QString& nome, int cor);
    void LimpaCoresMotivoChamada();
    bool Vazio() const { return m_motivos.isEmpty() && m_subMotivos.isEmpty(); }
    // Sections "CoresMotivos" and "CoresSubMotivos", one key per reason. Names are stored as
    // they are unless a character would break the line ("=", a leading ";" or "[", "%",
    // control characters): those are written as %XX and read back.
    void SalvaCoresMotivoChamada(const QString& arquivo) const;
    void CarregaCoresMotivoChamada(const QString& arquivo);

    static QString ChaveDoNome(const QString& nome);
    static QString NomeDaChave(const QString& chave);

private:
    using TLista = QList<QPair<QString, int>>;
    TLista* Lista(const QString& tipo);
    const TLista* Lista(const QString& tipo) const;

    TLista m_motivos;
    TLista m_subMotivos;
};
