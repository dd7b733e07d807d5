#pragma once

#include "monitor/TAviso.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QVBoxLayout;
class TCanalTronco;
class TMonitor;
class TPanelTronco;
class TTronco;

// "Troncos": trunks as a vertical stack of panels, one per digital or SIP trunk and one shared
// by all cellular and one by all analogue trunks. The variants show one kind ("Troncosc",
// "Troncosa") or one trunk ("Troncosd" / "Troncoss" + position), the latter with a detail row
// per line.
class TfrmTroncos : public QWidget {
    Q_OBJECT
public:
    // `tipo`: empty for every trunk, or "c", "a", "d", "s"; `tronco` for a single-trunk window.
    TfrmTroncos(TMonitor* monitor, const QString& tipo, TTronco* tronco, QWidget* parent = nullptr);
    ~TfrmTroncos() override;

    // The registry name of the window showing these trunks.
    static QString NomeRegistro(const QString& tipo, int posicao);
    static QString Legenda(const QString& tipo, const TTronco* tronco);

    void LeVariaveis();
    void SalvaCfgForm();
    // Adds the panel(s) of every eligible trunk and refreshes their lines.
    void Inicio();
    // Adds a trunk's panel, or its first line to the shared panel of its kind.
    void CriaTronco(TTronco* tronco, bool expandido);
    void AtualizaTronco(TTronco* tronco, TCanalTronco* canal);
    // Whether the window shows this trunk's kind (and, single-trunk, this trunk).
    bool MostraTronco(const TTronco* tronco) const;
    void Timer1Timer();

    const QString& Tipo() const { return m_tipo; }
    TTronco* TroncoUnico() const { return m_tronco; }
    const std::vector<TPanelTronco*>& Paineis() const { return m_paineis; }

    // The "+" of a panel: the main window opens the trunk's own window.
    std::function<void(const QString& tipo, TTronco* tronco)> AoExpandir;

    QTimer Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TPanelTronco* NovoPainel(const QString& tipo, TTronco* tronco, bool expandido);
    TPanelTronco* PainelCompartilhado(const QString& tipo, bool expandido);
    void Esvazia();

    TMonitor* m_monitor;
    QString m_tipo;
    TTronco* m_tronco;
    // The single-trunk window's trunk position, to find it again after a reload.
    int m_posicao = -1;
    QWidget* m_pilha;
    QVBoxLayout* m_layout;
    std::vector<TPanelTronco*> m_paineis;
    QList<int> m_larguras;
    TAssinatura m_avisoTronco;
    TAssinatura m_avisoRecarga;
    bool m_esperandoCarga = false;
};
