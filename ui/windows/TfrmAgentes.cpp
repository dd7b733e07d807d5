#include "ui/windows/TfrmAgentes.h"

#include "base/Clock.h"
#include "model/callcentre/TAgente.h"
#include "model/callcentre/TFila.h"
#include "model/telephony/TChannel.h"
#include "monitor/TMonitor.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/lists/TCoresEstado.h"
#include "ui/windows/TMenuAtendente.h"

namespace {

// The window's own names for the columns the tick refreshes.
enum { cTempo = 1, cLogin };

template <class V> int Compara3(V a, V b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// Which moment of a queue call the time counts from (answered, rung, entered; 0 for none):
// part of the row's state key.
int CodigoFila(const TLigacaoFila& f) {
    return f.Atendimento > 0 ? 10 : f.Chamando > 0 ? 20 : f.Inicio > 0 ? 30 : 0;
}

QString Hms(qint64 s) {
    auto dois = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return dois(s / 3600) + u':' + dois((s % 3600) / 60) + u':' + dois(s % 60);
}

// The queue call of a busy agent, if any.
const TLigacaoFila* LigacaoDeFila(const TAgente& a, int slot) {
    const TChannel* c = a.GetState(slot) == AgentState::Ocupado ? a.CurrentCall(slot) : nullptr;
    return c ? c->LigacaoFila.get() : nullptr;
}

} // namespace

TfrmAgentes::TfrmAgentes(TMonitor* monitor, QWidget* parent)
    : TfrmListaDe<TAgente>(monitor, 440, 365, 3, parent),
      m_gerencia(new TMenuAtendente(
          monitor, [this] { return ObjetoSelecionado(); }, this)) {
    setWindowTitle(QStringLiteral("Atendentes"));
    if (m_monitor)
        m_avisoMembro =
            m_monitor->Avisos().Membro.Assina([this](TFila*, TMembroFila* membro, TAvisoFila) {
                if (membro->Agent) AtualizaAgente(membro->Agent);
            });
    // The colour class as the row shows it between blinks, and the ringing the blink shows.
    m_modelo->DescricaoCor = [this](const TAgente& a, const TLinhaTabela&) {
        const TLigacaoFila* f = LigacaoDeFila(a, m_tipoForm);
        const bool tocando = f && f->Chamando > 0 && f->Atendimento <= 0;
        return TextoClasseCor(a.ClasseCor(m_tipoForm)) +
               (tocando ? QStringLiteral(", chamada da fila tocando") : QString());
    };
}

void TfrmAgentes::SetTipoForm(int tipo) {
    m_tipoForm = tipo == 1 ? 1 : 0;
    m_gerencia->SetSlot(m_tipoForm);
    setWindowTitle(m_tipoForm == 1 ? QStringLiteral("Atendentes Chat")
                                   : QStringLiteral("Atendentes"));
}

TEsquemaCores TfrmAgentes::LeEsquema(const QString& arquivo, const QString& secao) const {
    return SchemeOfAgentsWindow(arquivo, secao);
}

std::vector<TColunaLista<TAgente>> TfrmAgentes::Colunas(int modo) const {
    using C = TColunaLista<TAgente>;
    const int slot = m_tipoForm;
    if (modo == 2) // the tile is drawn by hand
        return {C("Atendente", 60, [](const TAgente&) { return QStringLiteral("..."); })};

    QStringList estados{QStringLiteral("Indisponível"), QStringLiteral("Em pausa (I - Almoço)")};
    const TListaMotivosPausa& motivos = m_monitor->MotivosPausa;
    for (int i = 0; i < motivos.Count(); ++i)
        estados << u"Em pausa (" + motivos.ReasonText(motivos.Item(i)->MotivoPausaId) + u')';
    QStringList filas;
    for (int i = 0; i < m_monitor->Filas.Count(); ++i)
        filas << m_monitor->Filas.Item(i)->Nome;
    const QString hora = QStringLiteral("00:00:00");
    QString ramais; // the longest extension text
    m_monitor->Agentes.ParaCada([&](const TAgente* a) {
        if (a->ExtensionText(slot).size() > ramais.size()) ramais = a->ExtensionText(slot);
    });

    // Kept columns: those of the state, which change with the row's state key or at the
    // five-second steps of the tick.
    const C atendente =
        C("Atendente", 60, [](const TAgente& a) { return a.AgentNumber(); }).Ordena(1);
    const C nome = C("Nome", 150, [](const TAgente& a) { return a.AgentName; }).Ordena(2);
    const C estado =
        C("Estado", 70,
          [this, slot](const TAgente& a) { return a.StatusText(slot, m_monitor->MotivosPausa); })
            .Ordena(0)
            .Guarda()
            .Cabe(estados);
    const C tempo = C("Tempo", 80, [slot](const TAgente& a) { return a.DurationText(slot); })
                        .ADireita()
                        .Guarda(cTempo)
                        .Cabe({hora});
    const C fila =
        C("Fila", 120, [this](const TAgente& a) { return TextoFila(a); }).Guarda().Cabe(filas);
    if (modo == 0) return {atendente, nome, estado, tempo, C::Espaco(10), fila};

    const C ramal = C(slot == 1 ? "IP" : "Ramal", 50,
                      [slot](const TAgente& a) { return a.ExtensionText(slot); })
                        .Ordena(3)
                        .Cabe({ramais});
    const C login = C("Login", 60,
                      [slot](const TAgente& a) -> QString {
                          if (a.GetState(slot) == AgentState::Indisponivel) return {};
                          const double t = a.Slot(slot).FLoggedInTime;
                          return StampText(t) + u" (" + (t > 0 ? ElapsedText(t) : QString()) + u")";
                      })
                        .Guarda(cLogin)
                        .Cabe({hora + u" (" + hora + u")"});
    const C ultima = C("Última chamada", 60, [slot](const TAgente& a) {
                         return StampText(a.Slot(slot).FLastCall);
                     }).Cabe({hora});
    const auto chamada = [slot](const TAgente& a) -> const TChannel* {
        return a.GetState(slot) == AgentState::Ocupado ? a.CurrentCall(slot) : nullptr;
    };
    const C canal = C("Canal", 80, [chamada](const TAgente& a) {
        const TChannel* c = chamada(a);
        return c ? c->NomePeer() : QString();
    });
    const C telefone = C(slot == 1 ? "Identificação" : "Telefone", 90,
                         [chamada, slot](const TAgente& a) -> QString {
                             if (a.GetState(slot) != AgentState::Ocupado) return {};
                             const TChannel* c = chamada(a);
                             if (!c) return a.TextoGancho();
                             if (slot == 1 || c->CallerIdName.isEmpty())
                                 return slot == 1 ? c->CallerId : c->CallerIdNum;
                             return c->CallerIdNum + u" (" + c->CallerIdName + u")";
                         });
    return {atendente, nome,          ramal, estado, tempo,   login,
            ultima,    C::Espaco(10), fila,  canal,  telefone};
}

// On a queue call, that queue; on another call or after one, none; else the agent's queues.
QString TfrmAgentes::TextoFila(const TAgente& a) const {
    const AgentState s = a.GetState(m_tipoForm);
    if (const TChannel* c = s == AgentState::Ocupado ? a.CurrentCall(m_tipoForm) : nullptr) {
        const TLigacaoFila* f = c->LigacaoFila.get();
        return f && f->DataFila ? f->DataFila->Nome : QString();
    }
    if (s == AgentState::PosAtendimento) return {};
    return m_monitor->Filas.QueuesOfAgent(&a, m_tipoForm);
}

QStringList TfrmAgentes::AmostrasTile() const {
    // Every line that holds a number shows it whole: durations, agent and extension numbers.
    qsizetype agente = 4, ramal = 4;
    m_monitor->Agentes.ParaCada([&](const TAgente* a) {
        agente = std::max(agente, a->AgentNumber().size());
        ramal = std::max(ramal, a->ExtensionNumber(m_tipoForm).size());
    });
    return {QStringLiteral("00:00:00"), QString(agente, u'0'),
            (m_nivelIcone == 0 ? u"R-" : u"R - ") + QString(ramal, u'0')};
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
    m_modelo->DefineCores(row, CorBgr(m_esquema.CorFundo(classe)),
                          CorBgr(m_esquema.CorFonte(classe)), m_modo == 2);
    m_modelo->Repinta(row);
}

QString TfrmAgentes::TextoLinhaTile(const TAgente& a, int escolha) const {
    if (escolha == 0) return a.AgentNumber();
    if (escolha == 1) return a.AgentName;
    if (escolha == 3) return a.DurationText(m_tipoForm);
    const QString ramal = escolha == 2 ? a.ExtensionNumber(m_tipoForm) : QString();
    return ramal.isEmpty() ? QString() : (m_nivelIcone == 0 ? u"R-" : u"R - ") + ramal;
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
    const int slot = m_tipoForm;
    const int colTempo = m_modelo->ColunaDoId(cTempo), colLogin = m_modelo->ColunaDoId(cLogin);
    bool mudou = false;
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        TAgente* a = AgenteDaLinha(row);
        TLinhaTabela& linha = m_modelo->Linha(row);
        const AgentState s = a->GetState(slot);
        const TChannel* c = s == AgentState::Ocupado ? a->CurrentCall(slot) : nullptr;
        const TLigacaoFila* f = c ? c->LigacaoFila.get() : nullptr;
        if (f && (linha.Marca || f->Chamando > 0)) {
            linha.Marca = false;
            Pinta(row);
        }
        const int chave = int(s) + (f ? CodigoFila(*f) : c ? 40 : 0);
        if (chave != linha.Chave) {
            linha.Chave = chave;
            AtualizaAgenteNew(row);
            mudou = true;
            continue;
        }
        // The seconds in the state, from the state and call at hand (the model's
        // DurationSeconds would find them again, on every row every second).
        const double inicio = f                          ? (f->Atendimento > 0 ? f->Atendimento
                                                            : f->Chamando > 0  ? f->Chamando
                                                                               : f->Inicio)
                              : c                        ? c->Inicio
                              : s == AgentState::Ocupado ? (a->FOnHook ? 0 : a->FOffHookStart)
                              : s == AgentState::Livre   ? a->IdleStart(slot)
                              : s == AgentState::EmPausa ? a->Slot(slot).FPauseStart
                                                         : 0;
        const int d = inicio > 0 ? ElapsedSeconds(inicio) : -1;
        if (d < 0 || d % 5 != 0) continue;
        if (m_modo == 2) {
            AtualizaTile(row);
            continue;
        }
        // The seconds are at hand: the column's own reading would find the state again.
        m_modelo->DefineCelula(row, colTempo, Hms(d));
        if (m_modo == 1 && s != AgentState::Indisponivel) {
            const int e = ElapsedSeconds(a->Slot(slot).FLoggedInTime);
            if (e >= 0 && e % 5 == 0) m_modelo->AtualizaColuna(row, colLogin);
        }
    }
    return mudou;
}

void TfrmAgentes::Pisca() {
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TLigacaoFila* f = LigacaoDeFila(*AgenteDaLinha(row), m_tipoForm);
        if (!f || f->Chamando <= 0) continue;
        m_modelo->Linha(row).Marca = true;
        Pinta(row);
    }
}

int TfrmAgentes::Compara(const TAgente& a, const TAgente& b) const {
    const int slot = m_tipoForm;
    const int sinal = m_sortDesc ? -1 : 1;
    switch (m_sortCol) {
    case 1: // as numbers, 0 when not one
        return sinal * Compara3(a.AgentNumber().toLongLong(), b.AgentNumber().toLongLong());
    case 2:
        return sinal * QString::localeAwareCompare(a.AgentName, b.AgentName);
    case 3:
        return sinal * QString::localeAwareCompare(a.ExtensionText(slot), b.ExtensionText(slot));
    default:
        break;
    }
    const AgentState sa = a.GetState(slot), sb = b.GetState(slot);
    if (sa != sb) return Compara3(int(sa), int(sb));
    switch (sa) {
    case AgentState::Ocupado: { // queue calls first, the earlier answered first
        const TChannel* ca = a.CurrentCall(slot);
        const TChannel* cb = b.CurrentCall(slot);
        const bool fa = ca && ca->LigacaoFila, fb = cb && cb->LigacaoFila;
        if (fa != fb) return fa ? -1 : 1;
        return fa ? Compara3(ca->LigacaoFila->Atendimento, cb->LigacaoFila->Atendimento) : 0;
    }
    case AgentState::Livre: // the longest idle first
        return Compara3(b.IdleSeconds(slot), a.IdleSeconds(slot));
    case AgentState::EmPausa:
        return Compara3(a.Slot(slot).FPauseStart, b.Slot(slot).FPauseStart);
    default:
        return 0;
    }
}

void TfrmAgentes::AbreCores() {
    const QString arquivo = ArquivoPerfil();
    if (arquivo.isEmpty()) return;
    TfrmConfiguraCores dialogo(arquivo, this);
    dialogo.ConfiguraParaAtendentes();
    dialogo.LeConfigCores(QStringLiteral("TelaAtendentes"));
    if (dialogo.exec() != QDialog::Accepted) return;
    AtualizaCores();
    Q_EMIT CoresAlteradas();
}

QStringList TfrmAgentes::EscolhasTile() const {
    return {QStringLiteral("Número do atendente"), QStringLiteral("Nome do atendente"),
            QStringLiteral("Ramal do atendente"), QStringLiteral("Duração do estado atendente")};
}

void TfrmAgentes::AdicionaItensMenu(QMenu* menu) {
    m_gerencia->Adiciona(menu);
}
