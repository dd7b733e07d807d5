#pragma once

// A monitor core pointed at an in-process simulator on loopback, logging in as the demo user
// with a saved password (no login dialog).
#include "monitor/TMonitor.h"
#include "sim/TPbxServer.h"

inline void ApontaParaSimulador(TMonitor& monitor, const TPbxServer& server) {
    monitor.Inicia(QString());
    monitor.IP = QStringLiteral("127.0.0.1");
    monitor.Porta = server.managerPort();
    monitor.PortaChat = server.chatPort();
    monitor.Usuario = QStringLiteral("demo");
    monitor.Senha = QStringLiteral("demo");
    monitor.SalvarSenha = true;
}
