#pragma once

#include "settings/TConfigPainel.h"
#include "settings/TEsquemaCores.h"
#include "ui/widgets/TPainelParede.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QMenu;
class QVBoxLayout;
class TAgente;
class TFila;
class TMonitor;

// "Painel de parede": the chosen queues in large type and the agents' tiles, for a TV across
// the room. Everything is read again from the model once a second; the pages turn every few
// seconds when not everything fits; F11 takes the wallboard to full screen and back.
class TfrmPainel : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPainel(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmPainel() override;

    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    // First fill and the one-second timer; full screen when it was left so.
    void Inicio();

    const TConfigPainel& Config() const { return m_config; }
    void DefineConfig(const TConfigPainel& config);
    // "Configurar painel...": the dialog, and the settings applied and saved when confirmed.
    void Configura();

    // The queues and agents shown, in the model's order, among those the user may see.
    std::vector<TFila*> FilasMostradas() const;
    std::vector<TAgente*> AtendentesMostrados(const std::vector<TFila*>& filas) const;
    static TCartaoFila CartaoDe(const TFila& fila);
    TTileAtendente TileDe(const TAgente& agente) const;

    // Reads the model again into the wallboard.
    void Atualiza();
    // The timer's second: the numbers, the clock, and the next page once its time is up.
    void Tick();
    void ProximaPagina();
    // The colours of the agents window changed.
    void AtualizaCores();

    void SetTelaCheia(bool cheia);
    bool TelaCheia() const { return m_telaCheia; }

    // Hooks for the threshold alerts.
    void MarcaAlertaFila(const QString& filaId, bool alerta) {
        m_parede->MarcaAlertaFila(filaId, alerta);
    }
    void MarcaAlertaAtendente(const QString& agent, bool alerta) {
        m_parede->MarcaAlertaAtendente(agent, alerta);
    }

    TPainelParede* Parede() const { return m_parede; }
    QMenu* MontaMenu();

    // Milliseconds of a steady clock; tests pin it.
    std::function<qint64()> Relogio;
    QTimer Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QString ArquivoPerfil() const;

    TMonitor* m_monitor;
    QVBoxLayout* m_layout;
    TPainelParede* m_parede;
    TConfigPainel m_config;
    TEsquemaCores m_esquema;
    bool m_telaCheia = false;
    qint64 m_inicioPagina = 0;
};
