#pragma once

// A monitor fed with call-centre packets at a pinned clock: rows of the configuration tables,
// agent and queue events, and the lookups the tests check against.
#include "TFakeServer.h"
#include "TPacotes.h"
#include "base/Clock.h"

#include <QTest>

#include <cmath>

struct TCentral : TMonitorAlimentado {
    // 12:00:00 of a fixed day, on the workstation clock (the server clock runs with it).
    double agora = 45000.5;

    TCentral() {
        SetLocalClockForTesting([this] { return agora; });
    }
    ~TCentral() { SetLocalClockForTesting({}); }

    void Avanca(int segundos) { agora += double(segundos) / kSecondsPerDay; }
    // The Unix stamp the server would send for a local moment (whole seconds).
    static QString Unix(double local) {
        const double utc = local - UtcToLocal(0, true);
        return QString::number(std::llround((utc - kUnixEpochDays) * kSecondsPerDay));
    }
    QString Agora() const { return Unix(agora); }

    void Ev(const QString& name, const QStringList& lines, bool chat = false) {
        Feed(Evento(name, lines), chat);
    }
    void Ramal(const QString& id, const QString& nome) {
        Feed(Linha("ZXDBListaRamais", {"RamalId: " + id, "Nome: " + nome, "Tipo: s"}));
    }
    void Agente(const QString& id, const QString& nome) {
        Feed(Linha("ZXDBListaAgentes", {"AtendenteId: " + id, "Nome: " + nome}));
    }
    void Fila(const QString& id, const QString& nome, const QString& tipo = "v") {
        Feed(Linha("ZXDBListaFilas",
                   {"FilaId: " + id, "Nome: " + nome, "Numero: 80" + id, "Tipo: " + tipo}));
    }
    void Motivo(int id, const QString& nome, bool produtivo) {
        Feed(Linha("ZXDBListaMotivosPausa",
                   {"MotivoPausaId: " + QString::number(id), "Nome: " + nome,
                    QString("Produtivo: %1").arg(produtivo)}));
    }
    // A caller's channel joining a queue.
    void Entra(const QString& fila, const QString& canal, const QString& uid, int posicao = 0) {
        NovoCanal(canal, uid);
        Ev("Join", {"Channel: " + canal, "Queue: " + fila, "Position: " + QString::number(posicao),
                    "Uniqueid: " + uid});
    }
    void Membro(const QString& fila, const QString& agente, int status, int paused = 0,
                const QString& evento = "QueueMemberStatus", const QStringList& mais = {}) {
        Ev(evento,
           QStringList{"Queue: " + fila, "Location: " + agente,
                       "Status: " + QString::number(status), "Paused: " + QString::number(paused)} +
               mais);
    }
    void Pausa(const QString& fila, const QString& agente, bool pausado, const QString& motivo) {
        Ev("QueueMemberPaused",
           {"Queue: " + fila, "Location: " + agente, QString("Paused: %1").arg(pausado ? 1 : 0),
            "PauseReason: " + motivo, "PauseStart: " + (pausado ? Agora() : QStringLiteral("0"))});
    }

    TAgente* A(const QString& id) const { return monitor->Agentes.Procura(id); }
    TFila* F(const QString& id) const { return monitor->Filas.Procura(id); }
    TChannel* C(const QString& nome) const { return monitor->Canais.Procura(nome, {}); }
    // The channel names of a queue's calls, in queue order.
    QStringList Chamadas(const QString& fila) const {
        QStringList nomes;
        for (const TChannel* c : F(fila)->QueueCalls())
            nomes << c->Channel();
        return nomes;
    }

    // Connects the manager connection to a loopback peer that collects what is sent.
    std::unique_ptr<TFakeServer> servidor;
    QStringList enviados;
    bool Conecta() {
        servidor = std::make_unique<TFakeServer>();
        monitor->IP = "127.0.0.1";
        monitor->Porta = servidor->Port();
        monitor->Conectar();
        if (!QTest::qWaitFor([this] { return monitor->ManagerConnection()->Connected; }, 10000))
            return false;
        QObject::connect(monitor.get(), &TMonitor::ActionSent,
                         [this](const QString& a) { enviados << a; });
        return true;
    }
};
