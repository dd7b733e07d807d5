#pragma once

#include "ui/lists/TfrmListaDe.h"

#include <functional>

class TChannel;
class TFila;
class TSecaoTela;

// The calls waiting in one queue, the earliest first: channel, caller, time waited and, in
// detail, entry time, entry and current position and the caller's number and name. Rows are
// blue, dark blue once the wait passed the queue's service level, and blink in the
// "busy on a queue call" colour while an agent is being rung.
class TListaChamadasFila : public TfrmListaDe<TChannel> {
    Q_OBJECT
public:
    enum { cTelefone = 1, cTempo, cPosicao };
    static const QColor kFundo;
    static const QColor kFundoSla;

    explicit TListaChamadasFila(TMonitor* monitor, QWidget* parent = nullptr);

    // None: the queue is gone, the list empties.
    void SetFila(TFila* fila);
    // A call entered or left: the rows are those of the queue now.
    void Recarrega();
    // A call entered or left: its row only (a burst of calls costs no rebuilds).
    void EntraChamada(TChannel* canal);
    void SaiChamada(TChannel* canal);
    // A call changed: its row only.
    void AtualizaChamada(TChannel* canal);
    // Tile line 1: 0 the caller id (or number), 1 the caller's name (or id).
    void SetMostrarNaLinhaCh1(int valor);
    int MostrarNaLinhaCh1() const { return m_linha1; }
    bool SlaExcedido(int row) const;
    void LeConfig(const TSecaoTela& secao);
    void SalvaConfig(TSecaoTela& secao);
    // The window's own entries before the list's ("Ocultar", "Mostrar").
    std::function<void(QMenu*)> MenuDaJanela;

    static QString TextoTelefone(const TChannel& c);
    static QString TextoTile(const TChannel* c, int escolha);

protected:
    std::vector<TColunaLista<TChannel>> Colunas(int modo) const override;
    int Compara(const TChannel& a, const TChannel& b) const override;
    void PreencheLinhas() override;
    bool AtualizaTempos() override;
    void Pisca() override;
    void AdicionaItensMenu(QMenu* menu) override;
    bool TemCores() const override { return false; }
    TEsquemaCores LeEsquema(const QString& arquivo, const QString& secao) const override {
        return SchemeOfQueueWindow(arquivo, secao);
    }
    QString TextoLinhaTile(const TChannel& c, int escolha) const override;
    void Pinta(int row) override;
    QStringList AmostrasTile() const override;

private:
    void Calcula(int row);
    // Entry positions are "entry / row": rows from `desde` on moved.
    void AtualizaPosicoes(int desde);
    int Espera(const TChannel& c) const;

    TFila* m_fila = nullptr;
};
