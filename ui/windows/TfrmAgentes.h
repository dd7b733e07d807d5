#pragma once

#include "monitor/TAviso.h"
#include "settings/TEsquemaCores.h"
#include "ui/lists/TfrmListaDe.h"
#include "ui/windows/TColunasAtendente.h"

#include <functional>

class TAgente;
class TFila;
class TMenuAtendente;

// "Atendentes": every agent the user may see, as a list, a detailed list or tiles, in the
// colour of its state, with the time in that state; the supervisor logs agents off, adds them
// to and removes them from queues, and pauses or unpauses them. The chat variant shows the
// agents' chat slot and acts over the chat connection.
class TfrmAgentes : public TfrmListaDe<TAgente> {
    Q_OBJECT
public:
    explicit TfrmAgentes(TMonitor* monitor, QWidget* parent = nullptr);

    // 0 telephony (slot 0, manager connection), 1 chat (slot 1, chat connection).
    void SetTipoForm(int tipo);
    int TipoForm() const { return m_tipoForm; }

    // A membership of the agent changed: its row shows it now (its own notices show at the
    // next tick).
    void AtualizaAgente(TAgente* agente);

    // "Gerenciar atendente" and its actions on the selected row's agent.
    TMenuAtendente* Gerencia() const { return m_gerencia; }
    void SelecionaAgente(const TAgente* agente) { Seleciona(agente); }

    TAgente* AgenteDaLinha(int row) const { return ObjetoDaLinha(row); }

protected:
    std::vector<TColunaLista<TAgente>> Colunas(int modo) const override;
    int Compara(const TAgente& a, const TAgente& b) const override;
    void PreencheLinhas() override;
    bool AtualizaTempos() override;
    void Pisca() override;
    void AdicionaItensMenu(QMenu* menu) override;
    QStringList EscolhasTile() const override;
    void AbreCores() override;
    TEsquemaCores LeEsquema(const QString& arquivo, const QString& secao) const override;
    QString TextoLinhaTile(const TAgente& a, int escolha) const override;
    QString EstadoTile(const TAgente& a) const override;
    void Pinta(int row) override;
    QStringList AmostrasTile() const override;
    // Number, name, state, queues and extension, whatever the columns show.
    QString TextoFiltro(int row) const override;
    // A queue's member list: the member columns of that queue.
    void MostraFila(const TFila* fila) { m_colunas.SetFila(fila); }

private:
    TAssinatura m_avisoMembro;
    // Rows in alert blink in the warning colour, in step with the ringing blink.
    TAssinatura m_avisoAlerta;
    bool m_faseAlerta = false;
    void PintaAlertas();
    void AtualizaAgenteNew(int row);
    int m_tipoForm = 0;
    TMenuAtendente* m_gerencia;
    TColunasAtendente m_colunas;
};
