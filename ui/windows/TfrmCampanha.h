#pragma once

#include "model/callcentre/TCampanha.h"
#include "model/callcentre/TFila.h"
#include "monitor/TAviso.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QScrollArea;
class QSplitter;
class TChannel;
class TListaAtendentesFila;
class TListaChamadasCampanha;
class TMonitor;
class TPanelFila;

// "Campanha ...": one dialer campaign in detail, as the queue window shows a queue. From top
// to bottom: the queue panel in campaign mode with the campaign's summary counters, the agents
// of the campaign's queue and the campaign's live dialer calls. A campaign without a queue (or
// that stopped, or went away) keeps its window, saying so, with nothing of a queue in it.
class TfrmCampanha : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCampanha(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmCampanha() override;

    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    void CriaCampanha(TCampanha* campanha);

    TCampanha* Campanha() const { return m_campanha; }
    // The queue the panel and the agents list show (none without one).
    TFila* Fila() const { return m_fila; }
    TPanelFila* Panel() const { return m_panel; }
    TListaAtendentesFila* Membros() const { return m_membros; }
    TListaChamadasCampanha* Chamadas() const { return m_chamadas; }
    // The note shown above the panel, empty while the campaign runs with its queue.
    QString Aviso() const;
    int AlturaAtendentes() const { return m_alturaAtendentes; }

    // Notices; each acts only for this window's campaign or queue.
    void AtualizaCampanha(TCampanha* campanha);
    void AtualizaFila(TFila* fila);
    void AtualizaChamada(TCampanha* campanha, TChannel* canal, TAvisoCampanha aviso);
    void AtualizaResumoCampanha(TCampanha* campanha);
    void AtualizaMembro(TFila* fila, TMembroFila* membro, TAvisoFila aviso);
    // The colours of the campaign's queue changed: the lists and gauges redraw.
    void AtualizaCores();
    // The campaign is about to be freed: the window lets go of it and of its queue.
    void SoltaCampanha();

    // The panel's title: "7 - Vendas ( Fila 12 - Suporte )".
    static QString TituloPainel(const TCampanha& campanha);
    // What a campaign panel shows of the queue / of the campaign's calls / of its counters; the
    // campaigns summary fills its panels the same way.
    static void MostraFila(TPanelFila* panel, const TFila& fila);
    static void LimpaFila(TPanelFila* panel);
    static void MostraContagens(TPanelFila* panel, const TCampanha& campanha);
    static void MostraResumo(TPanelFila* panel, const TCampanha& campanha);

    QTimer Timer1;

Q_SIGNALS:
    // "Cores..." was confirmed: every window redraws with the new colours.
    void CoresAlteradas();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LigaFila(TFila* fila);
    void AtualizaContagens();
    void MostraAviso();
    void Timer1Timer();
    QString ArquivoPerfil() const;

    TMonitor* m_monitor;
    TCampanha* m_campanha = nullptr;
    TFila* m_fila = nullptr;
    bool m_removida = false;
    QLabel* m_aviso;
    QSplitter* m_divisor;
    QScrollArea* m_areaPanel;
    TPanelFila* m_panel;
    TListaAtendentesFila* m_membros;
    TListaChamadasCampanha* m_chamadas;
    int m_alturaAtendentes = 160;
    TAssinatura m_avisoCampanha, m_avisoChamada, m_avisoResumo, m_avisoFila, m_avisoMembro,
        m_avisoLimpa;
};
