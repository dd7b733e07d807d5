#pragma once

#include "monitor/TAviso.h"

#include <QTimer>
#include <QWidget>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TAgente;
class TFila;
class TMonitor;

// "Alertas": the active alerts, oldest first, with since when and for how long; a double click
// (or Enter) opens the queue's window or shows the agent in the agents window.
class TfrmAlertas : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAlertas(TMonitor* monitor, QWidget* parent = nullptr);

    enum { cDesde = 0, cDuracao, cQuem, cAlerta };
    QTreeWidget* Lista() const { return m_lista; }
    // Opens what the row's alert is about.
    void AbreLinha(int row);

Q_SIGNALS:
    void AbreFila(TFila* fila);
    void AbreAgente(TAgente* agente);

private:
    // What a row needs after its alert is freed: only the id is looked at once it ended.
    struct TLinha {
        quint64 Id = 0;
        double Inicio = 0;
        TFila* Fila = nullptr;
        TAgente* Agente = nullptr;
    };
    void Preenche();
    void AtualizaDuracoes();

    TMonitor* m_monitor;
    QTreeWidget* m_lista;
    std::vector<TLinha> m_linhas;
    TAssinatura m_aviso;
    QTimer m_timer;
};
