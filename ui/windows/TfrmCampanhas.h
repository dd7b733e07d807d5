#pragma once

#include "model/callcentre/TCampanha.h"
#include "monitor/TAviso.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class QLabel;
class QScrollArea;
class QVBoxLayout;
class TFila;
class TMonitor;
class TPanelFila;

// "Campanhas": one queue panel in campaign mode per running campaign with a queue that the
// user may see, one under the other. Panels are found by their campaign, so two campaigns
// sending their calls to one queue each keep their own panel.
class TfrmCampanhas : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCampanhas(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmCampanhas() override;

    void LeVariaveis();
    void SalvaCfgForm();
    // Adds the campaign's panel when it runs with a queue the user may see (once).
    void CriaCampanha(TCampanha* campanha);
    // Every such campaign of the list, in list order.
    void Inicio();
    // Set by the main window once it has shown the window.
    void SetMostrada() { m_mostrada = true; }

    // Notices: a campaign that stopped or lost its queue leaves, one that starts joins.
    void AtualizaCampanha(TCampanha* campanha);
    void AtualizaFila(TFila* fila);
    void AtualizaResumoCampanha(TCampanha* campanha);
    // The model is about to be emptied: every panel goes.
    void SoltaCampanhas();

    int Paineis() const { return int(m_paineis.size()); }
    TPanelFila* Painel(int i) const;
    TCampanha* CampanhaDoPainel(int i) const;
    TPanelFila* PainelDa(const TCampanha* campanha) const;
    // The note shown when no panel is there, empty otherwise.
    QString Aviso() const;

    QTimer Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct TPainelCampanha {
        TCampanha* Campanha;
        TPanelFila* Panel;
    };
    bool Mostra(const TCampanha* campanha) const;
    void Preenche(const TPainelCampanha& p);
    void RetiraPainel(const TCampanha* campanha);
    void MostraAviso();
    void Timer1Timer();
    QString ArquivoPerfil() const;

    TMonitor* m_monitor;
    std::vector<TPainelCampanha> m_paineis;
    QLabel* m_aviso;
    QScrollArea* m_area;
    QWidget* m_conteudo;
    QVBoxLayout* m_pilha;
    bool m_mostrada = false;
    bool m_liberada = false;
    TAssinatura m_avisoCampanha, m_avisoResumo, m_avisoFila, m_avisoLimpa;
};
