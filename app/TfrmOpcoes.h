#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class TMonitor;

// "Opções": the chat notification options.
class TfrmOpcoes : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOpcoes(TMonitor* monitor, QWidget* parent = nullptr);
    void OkClick();

    QCheckBox* CheckNotificar() const { return m_notificar; }
    QComboBox* ComboTempo() const { return m_tempo; }

private:
    TMonitor* m_monitor;
    QCheckBox* m_notificar;
    QComboBox* m_tempo;
};
