#pragma once

#include "ui/windows/TfrmAgentes.h"

class TFila;

// The member list of a queue window: the agents window's rows, colours, blink, tiles and
// actions, for the agents that are members of one queue, with that queue's member columns.
// A second click on "Estado" turns the state order round.
class TListaAtendentesFila : public TfrmAgentes {
    Q_OBJECT
public:
    explicit TListaAtendentesFila(TMonitor* monitor, QWidget* parent = nullptr);

    // None: the queue is gone, the list empties.
    void SetFila(TFila* fila);
    // The queue's membership changed: the rows follow it (columns and widths kept).
    void Recarrega();
    // "Cores..." and the menu titles name this caption.
    void SetLegenda(const QString& legenda) { m_legenda = legenda; }
    void LeConfig(const TSecaoTela& secao);
    void SalvaConfig(TSecaoTela& secao);
    // The window's own entries after the list's ("Ocultar", "Mostrar").
    std::function<void(QMenu*)> MenuDaJanela;

protected:
    void PreencheLinhas() override;
    TEsquemaCores LeEsquema(const QString& arquivo, const QString& secao) const override;
    void AbreCores() override;
    bool InverteEstado() const override { return true; }
    void AdicionaItensMenu(QMenu* menu) override;

private:
    TFila* m_fila = nullptr;
    QString m_legenda;
};
