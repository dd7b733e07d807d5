#include "tools/probe/TProbeUi.h"

#include "monitor/TMonitor.h"

#include <QTimer>

TProbeUi::TProbeUi(QTextStream& out, QObject* parent) : QObject(parent), m_out(out) {}

void TProbeUi::SetStatusBar(const QString& text) {
    m_out << text << Qt::endl;
    if (text == u"Erro de login no Vesmara") Q_EMIT Failed(text);
}

void TProbeUi::Loga(const QString& line) {
    if (PrintLog || line == u"TerminouCargaDeDados") m_out << line << Qt::endl;
}

void TProbeUi::LogaPacote(const QString& packet) {
    if (PrintPackets) m_out << packet;
}

void TProbeUi::AppException(const QString& message) {
    m_out << "ERRO: " << message << Qt::endl;
}

void TProbeUi::ShowConnectionDialog(int countdownSeconds) {
    // Without a countdown the dialog would wait for a person: the connection failed.
    if (countdownSeconds <= 0 || !m_monitor) {
        Q_EMIT Failed(m_monitor ? m_monitor->StatusText : QString());
        return;
    }
    m_out << "Reconectar em " << ReconnectSeconds << "s..." << Qt::endl;
    ScheduleReconnect(ReconnectSeconds);
}

void TProbeUi::ConnectionDialogFailed(int countdownSeconds) {
    if (countdownSeconds > 0) ScheduleReconnect(ReconnectSeconds);
}

void TProbeUi::ShowLoginDialog(int) {
    Q_EMIT Failed(m_monitor ? m_monitor->StatusText : QString());
}

void TProbeUi::LoginDialogRetry() {
    Q_EMIT Failed(m_monitor ? m_monitor->StatusText : QString());
}

void TProbeUi::ScheduleReconnect(int seconds) {
    if (m_reconnectScheduled) return;
    m_reconnectScheduled = true;
    QTimer::singleShot(seconds * 1000, this, [this] {
        m_reconnectScheduled = false;
        if (m_monitor && !m_monitor->ManagerConnection()->IsActive()) m_monitor->Conectar();
    });
}
