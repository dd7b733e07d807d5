#pragma once

#include "monitor/TAviso.h"
#include "ui/lists/TfrmListaDe.h"

#include <QColor>

class TChannel;
class TLigacao;
class TRamal;

// "Ramais": every extension the user may see, as a list, a detailed list or tiles, in the
// colour of its state, with the time in that state and the other party of its current call;
// the detailed list adds the technical data of both call legs.
class TfrmRamais : public TfrmListaDe<TRamal> {
    Q_OBJECT
public:
    explicit TfrmRamais(TMonitor* monitor, QWidget* parent = nullptr);

    // The extension's state or calls changed; an extension without a row is ignored.
    void AtualizaRamal(TRamal* ramal);

    TRamal* RamalDaLinha(int row) const { return ObjetoDaLinha(row); }
    // The text of a column by its caption's position in the current mode.
    QString Celula(const TRamal* ramal, int coluna) const;

    // The state's text and background colour.
    static QString TextoEstado(const TRamal& r);
    static QColor CorEstado(const TRamal& r);

protected:
    std::vector<TColunaLista<TRamal>> Colunas(int modo) const override;
    int Compara(const TRamal& a, const TRamal& b) const override;
    void PreencheLinhas() override;
    bool AtualizaTempos() override;
    bool TemCores() const override { return false; }
    QString TextoLinhaTile(const TRamal& r, int escolha) const override;
    QString EstadoTile(const TRamal& r) const override;
    void Pinta(int row) override;
    QStringList AmostrasTile() const override;

private:
    void Esvazia();
    void AtualizaLinha(int row);

    TAssinatura m_avisoRamal;
    TAssinatura m_avisoRecarga;
    // Between a reload's start and its end the rows are gone and stay gone.
    bool m_esperandoCarga = false;
};
