#pragma once

#include "model/callcentre/TFila.h"
#include "monitor/TAviso.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QMenu;
class QSplitter;
class TAgente;
class TChannel;
class TListaChamadasFila;
class TListaAtendentesFila;
class TMonitor;
class TPanelFila;

// "Fila ...": one queue in detail. From top to bottom its summary panel with the call-reason
// chart, its members as in the agents window, and the calls waiting in it. A chat queue makes
// the chat variant (the agents' chat slot, actions over the chat connection).
class TfrmFila : public QWidget {
    Q_OBJECT
public:
    enum TSecaoFila { Cabecalho = 0, ListaAtendentes = 1, ListaChamadas = 2 };

    explicit TfrmFila(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmFila() override;

    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    void CriaFila(const QString& nome, TFila* fila);

    TFila* Fila() const { return m_fila; }
    int TipoForm() const { return m_tipoForm; }
    TPanelFila* Panel() const { return m_panel; }
    TListaAtendentesFila* Membros() const { return m_membros; }
    TListaChamadasFila* Chamadas() const { return m_chamadas; }

    // Notices; each acts only for this window's queue.
    void AtualizaFila(TFila* fila);
    void AtualizaMembro(TFila* fila, TMembroFila* membro, TAvisoFila aviso);
    void AtualizaChamada(TFila* fila, TChannel* canal, TAvisoFila aviso);
    // The colours changed: the lists and the panel's gauges redraw.
    void AtualizaCores();

    // --- Sections ------------------------------------------------------------------------------
    bool SecaoVisivel(int secao) const;
    // False when refused (the last visible section) or unchanged.
    bool MostraSecao(int secao, bool mostra);
    // "Ocultar" and "Mostrar", as every context menu of the window carries them.
    void AdicionaMenuSecoes(QMenu* menu);
    int AlturaCabecalho() const { return m_alturaPanel; }
    int AlturaAtendentes() const { return m_alturaAtendentes; }

    // --- Call-reason chart ---------------------------------------------------------------------
    // 0 "Motivadas"/"Não motivadas", 1 the reasons, 2 the sub-reasons of MotivoChamadaAtual.
    int TipoGraficoMotivoChamada() const { return m_tipoGrafico; }
    int Fatias() const { return m_fatias; }
    QString MotivoChamadaAtual() const { return m_motivoAtual; }
    void SetFatias(int n);
    void DesenhaGrafico();
    void SalvaCoresMotivos();
    void ClicaFatia(const QString& nome);
    void VoltaGrafico();
    // Stores the user's colour of a reason (level 1) or sub-reason (level 2) and saves it.
    void DefineCorMotivo(const QString& nome, int cor);
    void RestauraCoresMotivos();
    QMenu* MontaMenuGrafico();

    QTimer Timer1;

Q_SIGNALS:
    // "Cores..." was confirmed: every window redraws with the new colours.
    void CoresAlteradas();
    // A reason colour changed: every chart redraws.
    void CoresMotivosAlteradas();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Timer1Timer();
    void AplicaAlturas();
    void GuardaAlturas();
    void AbreMenuCabecalho(const QPoint& global);
    void SoltaFila();
    QString ArquivoPerfil() const;

    TMonitor* m_monitor;
    TFila* m_fila = nullptr;
    QString m_nomeFila;
    int m_tipoForm = 0;
    QSplitter* m_divisor;
    TPanelFila* m_panel;
    TListaAtendentesFila* m_membros;
    TListaChamadasFila* m_chamadas;
    std::array<bool, 3> m_visivel{true, true, true};
    int m_alturaPanel = 110;
    int m_alturaAtendentes = 160;
    int m_tipoGrafico = 0;
    int m_fatias = 5;
    QString m_motivoAtual;
    bool m_motivos = false;
    TAssinatura m_avisoFila, m_avisoMembro, m_avisoChamada, m_avisoMotivos;
    // The queue's alerts on the panel (TfrmFilaAlertas.cpp).
    TAssinatura m_avisoAlerta;
    void AssinaAlertas();
    void MostraAlerta();
};
