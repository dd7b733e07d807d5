#pragma once

#include "ui/lists/TfrmListaDe.h"

#include <functional>

class TCampanha;
class TChannel;
class TSecaoTela;

// The live dialer calls of one campaign, the earliest first: channel, start, the customer's
// telephone, the call's state and the agent talking to the customer. Rows are blue while the
// call waits for an agent and take the "busy on a queue call" colour once one answers.
class TListaChamadasCampanha : public TfrmListaDe<TChannel> {
    Q_OBJECT
public:
    enum { cEstado = 1 };

    explicit TListaChamadasCampanha(TMonitor* monitor, QWidget* parent = nullptr);

    // None: the campaign is gone, the list empties.
    void SetCampanha(TCampanha* campanha);
    void Recarrega();
    // A call joined or left the campaign / changed: its row only.
    void EntraChamada(TChannel* canal);
    void SaiChamada(TChannel* canal);
    void AtualizaChamada(TChannel* canal);
    // Every row again (a change without a call).
    void AtualizaTodas();
    // The colours are those of the campaign's queue window ("TelaFila" + its id).
    void SetSecaoCores(const QString& secao) { m_secaoCores = secao; }
    void LeConfig(const TSecaoTela& secao);
    void SalvaConfig(TSecaoTela& secao);
    // The window's own entries before the list's.
    std::function<void(QMenu*)> MenuDaJanela;

    // Whether an agent has answered the call.
    static bool EmAtendimento(const TChannel& c);
    // The agent ringing or talking to the customer, "1001 - Ana" (empty without one).
    static QString TextoAgente(const TChannel& c);
    // When the dialer call started (the channel's start when it has no dialer data).
    static double InicioDe(const TChannel& c);
    // Tile lines: 0 the caller ("..." without a channel), 1 the time since the call started.
    static QString TextoTile(const TChannel* c, int linha);

protected:
    std::vector<TColunaLista<TChannel>> Colunas(int modo) const override;
    int Compara(const TChannel& a, const TChannel& b) const override;
    void PreencheLinhas() override;
    bool AtualizaTempos() override;
    void AdicionaItensMenu(QMenu* menu) override;
    bool TemCores() const override { return false; }
    TEsquemaCores LeEsquema(const QString& arquivo, const QString& secao) const override;
    QString TextoLinhaTile(const TChannel& c, int escolha) const override;
    void Pinta(int row) override;
    QStringList AmostrasTile() const override;

private:
    void Calcula(int row);

    TCampanha* m_campanha = nullptr;
    QString m_secaoCores;
};
