#pragma once

#include "model/callcentre/TAcoesAtendente.h"
#include "monitor/TAviso.h"
#include "settings/TEsquemaCores.h"
#include "settings/TLargurasColunas.h"

#include <QTimer>
#include <QWidget>

#include <functional>

class QMenu;
class TAgente;
class TDelegateLista;
class TLinhaTabela;
class TModeloTabela;
class TMonitor;
class TVistaLista;

// "Atendentes": every agent the user may see, as a list, a detailed list or tiles, in the
// colour of its state, with the time in that state; the supervisor logs agents off, adds them
// to and removes them from queues, and pauses or unpauses them. The chat variant shows the
// agents' chat slot and acts over the chat connection.
class TfrmAgentes : public QWidget {
    Q_OBJECT
public:
    static const QList<int> kLargurasLista;   // mode 0
    static const QList<int> kLargurasDetalhe; // mode 1

    explicit TfrmAgentes(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmAgentes() override;

    // 0 telephony (slot 0, manager connection), 1 chat (slot 1, chat connection).
    void SetTipoForm(int tipo);
    int TipoForm() const { return m_tipoForm; }

    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    void Inicio() { RefazListView(); }
    void RefazListView();
    // A membership of the agent changed: its row shows it now (its own notices show at the
    // next tick).
    void AtualizaAgente(TAgente* agente);
    // The colours changed: re-read them and redraw.
    void AtualizaCores();

    void Timer1Timer();
    void Timer2Timer();
    void ColunaClicada(int coluna);
    // The pop-up menu for the selected row, as it is built when it opens.
    QMenu* MontaMenu();

    // The actions of the pop-up menu on the selected row's agent.
    void AdicionaNaFila(int fila);
    void RemoveDaFila(int fila);
    void ColocaEmPausa(int motivo);
    void RetiraDaPausa();
    void Logoff();

    void SetModoVisualizacao(int modo);
    void MudaFonte(int delta);
    void SetMostrarNaLinha(int linha, int valor);
    void SelecionaAgente(const TAgente* agente);

    // Yes/no questions before logoff and pauses; tests answer them.
    std::function<bool(const TConfirmacao&)> Pergunta;

    // For tests and the main window.
    int ModoVisualizacao() const { return m_modo; }
    int SortCol() const { return m_sortCol; }
    bool SortDescendente() const { return m_sortDesc; }
    int NivelLista() const { return m_nivelLista; }
    int NivelIcone() const { return m_nivelIcone; }
    int MostrarNaLinha1() const { return m_linha1; }
    int MostrarNaLinha2() const { return m_linha2; }
    const TEsquemaCores& Esquema() const { return m_esquema; }
    TModeloTabela* Modelo() const { return m_modelo; }
    TVistaLista* Vista() const { return m_vista; }
    TAgente* AgenteDaLinha(int row) const;
    QTimer Timer1;
    QTimer Timer2;

Q_SIGNALS:
    // "Cores..." was confirmed: every window is to redraw with the new colours.
    void CoresAlteradas();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct TColunas {
        int estado = -1, tempo = -1, fila = -1, ramal = -1, login = -1, ultima = -1, canal = -1,
            telefone = -1;
    };
    TColunas Colunas() const;
    QString ArquivoPerfil() const;
    void AtualizaAgenteNew(int row);
    void AtualizaTile(int row);
    void Pinta(int row);
    QString TextoDuracaoTile(const TAgente* a) const;
    QString TextoLinhaTile(const TAgente* a, int escolha) const;
    void Ordena();
    int Compara(const TLinhaTabela& a, const TLinhaTabela& b) const;
    TAgente* AgenteSelecionado() const;
    void AbreMenu(const QPoint& global);
    void AbreCores();

    TMonitor* m_monitor;
    TAssinatura m_avisoMembro;
    TModeloTabela* m_modelo;
    TDelegateLista* m_delegate;
    TVistaLista* m_vista;
    int m_tipoForm = 0;
    int m_modo = 0;
    int m_nivelLista = 0;
    int m_nivelIcone = 0;
    int m_sortCol = 0;
    bool m_sortDesc = false;
    int m_linha1 = 0;
    int m_linha2 = 3;
    TLargurasColunas m_larguras;
    TEsquemaCores m_esquema;
};
