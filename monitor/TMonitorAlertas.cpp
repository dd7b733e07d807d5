#include "base/Clock.h"
#include "monitor/TMonitor.h"
#include "settings/TPerfis.h"

void TMonitor::CriaAlertas() {
    m_alertas = std::make_unique<TAlertas>(m_avisos, Filas, Agentes);
    m_alertas->PermiteFila = [this](const TFila* f) { return TemPermissaoFila(f); };
    m_alertas->PermiteAgente = [this](const TAgente* a) { return TemPermissaoAtendente(a); };
    TimerAlertas.setInterval(1000);
    connect(&TimerAlertas, &QTimer::timeout, this,
            [this] { Guarded([this] { m_alertas->Avalia(ServerNow()); }); });
}

void TMonitor::IniciaAlertas() {
    // Without a settings folder (the probe, tests) the first-start rules apply.
    const QString arquivo = UserDir.isEmpty() ? QString() : ArquivoPerfil(UserDir, ConexaoAtiva);
    m_alertas->DefineRegras(LeRegrasAlerta(arquivo));
    CorAlerta = LeCorAlerta(arquivo);
    OpcoesAlerta = LeOpcoesAlerta(arquivo);
    m_alertas->Avalia(ServerNow());
    TimerAlertas.start();
}

void TMonitor::DefineRegrasAlerta(const std::vector<TRegraAlerta>& regras,
                                  const TOpcoesAlerta& opcoes) {
    OpcoesAlerta = opcoes;
    m_alertas->DefineRegras(regras);
    if (Carregado()) m_alertas->Avalia(ServerNow());
    if (UserDir.isEmpty()) return;
    try {
        const QString arquivo = ArquivoPerfilParaGravar(UserDir, ConexaoAtiva);
        SalvaRegrasAlerta(arquivo, m_alertas->Regras());
        SalvaOpcoesAlerta(arquivo, opcoes);
    } catch (const std::exception& e) {
        AppException(QString::fromUtf8(e.what()));
    }
}
