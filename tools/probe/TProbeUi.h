#pragma once

#include "monitor/TMonitorUi.h"

#include <QObject>
#include <QTextStream>

class TMonitor;

// The probe's "user interface": every status text and log line is printed as it happens; a
// request for a dialog means the run cannot go on without a person, so the probe fails.
class TProbeUi : public QObject, public TMonitorUi {
    Q_OBJECT
public:
    explicit TProbeUi(QTextStream& out, QObject* parent = nullptr);
    void SetMonitor(TMonitor* monitor) { m_monitor = monitor; }
    bool PrintLog = true;
    bool PrintPackets = false;
    // Seconds of the reconnection countdown (the desktop offers 20 s in its dialog).
    int ReconnectSeconds = 20;

    void SetStatusBar(const QString& text) override;
    void Loga(const QString& line) override;
    void LogaPacote(const QString& packet) override;
    void AppException(const QString& message) override;
    void ShowConnectionDialog(int countdownSeconds) override;
    void ConnectionDialogFailed(int countdownSeconds) override;
    void ShowLoginDialog(int tag) override;
    void LoginDialogRetry() override;

Q_SIGNALS:
    // The run cannot succeed: the text says why.
    void Failed(const QString& text);

private:
    void ScheduleReconnect(int seconds);

    QTextStream& m_out;
    TMonitor* m_monitor = nullptr;
    bool m_reconnectScheduled = false;
};
