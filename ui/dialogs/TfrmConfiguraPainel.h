#pragma once

#include "settings/TConfigPainel.h"

#include <QDialog>

#include <utility>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Configurar painel": which queues the wallboard shows (all, or those ticked), whether it
// shows the agents and only the logged-in ones, and how many seconds each page stays.
class TfrmConfiguraPainel : public QDialog {
    Q_OBJECT
public:
    // `filas`: the queues the user may see, as (FilaId, caption), in list order.
    TfrmConfiguraPainel(const std::vector<std::pair<QString, QString>>& filas,
                        const TConfigPainel& config, QWidget* parent = nullptr);

    // What was chosen; queues not offered are dropped.
    TConfigPainel Resultado() const;

    QCheckBox* Todas() const { return m_todas; }
    QListWidget* Lista() const { return m_lista; }
    QCheckBox* Atendentes() const { return m_atendentes; }
    QCheckBox* Logados() const { return m_logados; }
    QSpinBox* Segundos() const { return m_segundos; }
    bool PodeConfirmar() const;

private:
    void AtualizaEstado();

    TConfigPainel m_inicial;
    QCheckBox* m_todas;
    QListWidget* m_lista;
    QCheckBox* m_atendentes;
    QCheckBox* m_logados;
    QSpinBox* m_segundos;
    QPushButton* m_ok = nullptr;
};
