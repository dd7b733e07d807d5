#include "ui/windows/TfrmAgentes.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/windows/TColunasAtendente.h"
#include "ui/windows/TMenuAtendente.h"

TfrmAgentes::TfrmAgentes(TMonitor* monitor, QWidget* parent)
    : TfrmListaDe<TAgente>(monitor, 440, 365, 3, parent),
      m_gerencia(new TMenuAtendente(
          monitor, [this] { return ObjetoSelecionado(); }, this)),
      m_colunas(monitor, 0) {
    setWindowTitle(QStringLiteral("Atendentes"));
    if (m_monitor)
        m_avisoMembro =
            m_monitor->Avisos().Membro.Assina([this](TFila*, TMembroFila* membro, TAvisoFila) {
                if (membro->Agent) AtualizaAgente(membro->Agent);
            });
    if (m_monitor)
        m_avisoAlerta = m_monitor->Avisos().Alerta.Assina([this](const TAlerta* al, TAvisoAlerta) {
            const int row = al->Agente ? m_modelo->LinhaDe(al->Agente) : -1;
            if (row >= 0) Pinta(row);
        });
    // The colour class as the row shows it between blinks, and the ringing the blink shows.
    m_modelo->DescricaoCor = [this](const TAgente& a, const TLinhaTabela&) -> QString {
        const TLigacaoFila* f = m_colunas.LigacaoDeFila(a);
        const bool tocando = f && f->Chamando > 0 && f->Atendimento <= 0;
        const bool alerta = m_monitor && m_monitor->Alertas().AgenteEmAlerta(&a);
        return TextoClasseCor(a.ClasseCor(m_tipoForm)) +
               (tocando ? QStringLiteral(", chamada da fila tocando") : QString()) +
               (alerta ? QStringLiteral(", em alerta") : QString());
    };
}

void TfrmAgentes::SetTipoForm(int tipo) {
    m_tipoForm = tipo == 1 ? 1 : 0;
    m_gerencia->SetSlot(m_tipoForm);
    m_colunas.SetSlot(m_tipoForm);
    setWindowTitle(m_tipoForm == 1 ? QStringLiteral("Atendentes Chat")
                                   : QStringLiteral("Atendentes"));
}

TEsquemaCores TfrmAgentes::LeEsquema(const QString& arquivo, const QString& secao) const {
    return SchemeOfAgentsWindow(arquivo, secao);
}

std::vector<TColunaLista<TAgente>> TfrmAgentes::Colunas(int modo) const {
    return m_colunas.Colunas(modo);
}

QStringList TfrmAgentes::AmostrasTile() const {
    return m_colunas.AmostrasTile(m_nivelIcone);
}

void TfrmAgentes::PreencheLinhas() {
    m_monitor->Agentes.ParaCada([&](TAgente* a) {
        if (!m_monitor->TemPermissaoAtendente(a)) return;
        AtualizaAgenteNew(m_modelo->Adiciona(a));
    });
}

void TfrmAgentes::AtualizaAgente(TAgente* agente) {
    const int row = m_modelo->LinhaDe(agente);
    if (row >= 0) AtualizaAgenteNew(row);
}

void TfrmAgentes::Pinta(int row) {
    const TAgente* a = AgenteDaLinha(row);
    if (!a) return;
    const TClasseCor classe = a->ClasseCor(m_tipoForm, m_modelo->Linha(row).Marca);
    const bool alerta = m_faseAlerta && m_monitor && m_monitor->Alertas().AgenteEmAlerta(a);
    m_modelo->DefineCores(row, CorBgr(alerta ? m_monitor->CorAlerta : m_esquema.CorFundo(classe)),
                          CorBgr(m_esquema.CorFonte(classe)), m_modo == 2);
    m_modelo->Repinta(row);
}

QString TfrmAgentes::TextoLinhaTile(const TAgente& a, int escolha) const {
    return m_colunas.TextoLinhaTile(a, escolha, m_nivelIcone);
}

QString TfrmAgentes::EstadoTile(const TAgente& a) const {
    return a.StatusText(m_tipoForm, m_monitor->MotivosPausa);
}

void TfrmAgentes::AtualizaAgenteNew(int row) {
    TAgente* a = AgenteDaLinha(row);
    if (!a) return;
    const TChannel* c = a->CurrentCall(m_tipoForm);
    TLinhaTabela& linha = m_modelo->Linha(row);
    // A rung agent's mark goes once the queue call stops ringing (in the lists, while busy).
    if (c && c->LigacaoFila && linha.Marca && c->LigacaoFila->Chamando <= 0 &&
        (m_modo == 2 || a->GetState(m_tipoForm) == AgentState::Ocupado))
        linha.Marca = false;
    if (m_modo == 2) {
        AtualizaTile(row);
        return;
    }
    m_modelo->Atualiza(row);
    Pinta(row);
}

bool TfrmAgentes::AtualizaTempos() {
    m_faseAlerta = false;
    PintaAlertas();
    const int slot = m_tipoForm;
    const int colTempo = m_modelo->ColunaDoId(TColunasAtendente::cTempo);
    const int colLogin = m_modelo->ColunaDoId(TColunasAtendente::cLogin);
    bool mudou = false;
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        TAgente* a = AgenteDaLinha(row);
        TLinhaTabela& linha = m_modelo->Linha(row);
        const TLigacaoFila* f = m_colunas.LigacaoDeFila(*a);
        if (f && (linha.Marca || f->Chamando > 0)) {
            linha.Marca = false;
            Pinta(row);
        }
        const int chave = m_colunas.ChaveEstado(*a);
        if (chave != linha.Chave) {
            linha.Chave = chave;
            AtualizaAgenteNew(row);
            mudou = true;
            continue;
        }
        // The seconds in the state, from the state and call at hand (the model's
        // DurationSeconds would find them again, on every row every second).
        const double inicio = m_colunas.InicioEstado(*a);
        const int d = inicio > 0 ? ElapsedSeconds(inicio) : -1;
        if (d < 0 || d % 5 != 0) continue;
        if (m_modo == 2) {
            AtualizaTile(row);
            continue;
        }
        // The seconds are at hand: the column's own reading would find the state again.
        m_modelo->DefineCelula(row, colTempo, TColunasAtendente::Hms(d));
        if (m_modo == 1 && a->GetState(slot) != AgentState::Indisponivel) {
            const int e = ElapsedSeconds(a->Slot(slot).FLoggedInTime);
            if (e >= 0 && e % 5 == 0) m_modelo->AtualizaColuna(row, colLogin);
        }
    }
    return mudou;
}

void TfrmAgentes::PintaAlertas() {
    if (!m_monitor) return;
    for (const TAlerta* al : m_monitor->Alertas().Ativos()) {
        const int row = al->Agente ? m_modelo->LinhaDe(al->Agente) : -1;
        if (row >= 0) Pinta(row);
    }
}

void TfrmAgentes::Pisca() {
    m_faseAlerta = true;
    PintaAlertas();
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TLigacaoFila* f = m_colunas.LigacaoDeFila(*AgenteDaLinha(row));
        if (!f || f->Chamando <= 0) continue;
        m_modelo->Linha(row).Marca = true;
        Pinta(row);
    }
}

QString TfrmAgentes::TextoFiltro(int row) const {
    const TAgente* a = AgenteDaLinha(row);
    if (!a) return {};
    return a->AgentNumber() + u'\n' + a->AgentName + u'\n' +
           a->StatusText(m_tipoForm, m_monitor->MotivosPausa) + u'\n' +
           m_monitor->Filas.QueuesOfAgent(a, m_tipoForm) + u'\n' + a->ExtensionText(m_tipoForm);
}

int TfrmAgentes::Compara(const TAgente& a, const TAgente& b) const {
    return m_colunas.Compara(a, b, m_sortCol, m_sortDesc);
}

void TfrmAgentes::AbreCores() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    TfrmConfiguraCores dialogo(arquivo, this);
    dialogo.ConfiguraParaAtendentes();
    dialogo.LeConfigCores(QStringLiteral("TelaAtendentes"));
    if (dialogo.exec() != QDialog::Accepted) return;
    if (m_monitor) m_monitor->CorAlerta = dialogo.CorAlerta();
    AtualizaCores();
    Q_EMIT CoresAlteradas();
}

QStringList TfrmAgentes::EscolhasTile() const {
    return TColunasAtendente::EscolhasTile();
}

void TfrmAgentes::AdicionaItensMenu(QMenu* menu) {
    m_gerencia->Adiciona(menu);
}
