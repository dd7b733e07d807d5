#include "ui/windows/TfrmRamais.h"

#include "base/Clock.h"
#include "model/telephony/TChannel.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TRamal.h"
#include "monitor/TMonitor.h"

namespace {

// The window's own names for the columns it writes itself.
enum {
    cEstado = 1,
    cTempo,
    cTelefone,
    cContexto,
    cCanal,
    cEstadoOutro,
    cInicio,
    cIdChamada,
    cNumero,
    cNome,
    cContextoOutro
};

template <class V> int Compara3(V a, V b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

QString Hms(qint64 s) {
    auto dois = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return dois(s / 3600) + u':' + dois((s % 3600) / 60) + u':' + dois(s % 60);
}

QString HoraLonga(double t) {
    return t > 0 ? DaysToDateTime(t).toString(QStringLiteral("HH:mm:ss")) : QString();
}

// The current call is the newest bridge.
const TLigacao* Atual(const TRamal& r) {
    return r.Ligacoes().empty() ? nullptr : r.Ligacoes().front();
}

// The extension's own leg of its current call.
const TChannel* Meu(const TRamal& r) {
    const TLigacao* l = Atual(r);
    return l && !r.Dispositivo().isEmpty() ? l->CanalPorNomeBase(r.Dispositivo()) : nullptr;
}

QString Entrando(const TChannel& c) {
    const QString id = c.CallerIdValido();
    return u"<- " + (id.isEmpty() ? c.CallerIdNumValido() : id);
}

} // namespace

TfrmRamais::TfrmRamais(TMonitor* monitor, QWidget* parent)
    : TfrmListaDe<TRamal>(monitor, 440, 365, 2, parent) {
    setWindowTitle(QStringLiteral("Ramais"));
    if (m_monitor) {
        m_avisoRamal = m_monitor->Avisos().Ramal.Assina([this](TRamal* r) { AtualizaRamal(r); });
        // A new load frees the extensions: the rows go first, and come back when it ends.
        m_avisoRecarga = m_monitor->Avisos().TelefoniaRecarregando.Assina([this] { Esvazia(); });
        connect(m_monitor, &TMonitor::LoadFinished, this, [this] {
            if (!m_esperandoCarga) return;
            m_esperandoCarga = false;
            RefazListView();
        });
    }
    m_modelo->DescricaoCor = [](const TRamal& r, const TLinhaTabela&) -> QString {
        if (r.Estado != u"O") return TextoEstado(r);
        const TLigacao* l = Atual(r);
        return l && l->Channel1() && l->Channel2() ? QStringLiteral("Ocupado, em conversação")
                                                   : QStringLiteral("Ocupado, sem resposta");
    };
}

void TfrmRamais::Esvazia() {
    Timer1.stop();
    Timer2.stop();
    m_esperandoCarga = true;
    MontaColunas(); // an empty model with the mode's columns
}

QString TfrmRamais::TextoEstado(const TRamal& r) {
    if (r.Estado == u"I") return QStringLiteral("Indisponível");
    if (r.Estado == u"L") return QStringLiteral("Livre");
    if (r.Estado == u"O") return QStringLiteral("Ocupado");
    return {};
}

QColor TfrmRamais::CorEstado(const TRamal& r) {
    if (r.Estado == u"I") return QColor(207, 207, 207);
    if (r.Estado == u"L") return QColor(183, 247, 215);
    if (r.Estado == u"O") {
        const TLigacao* l = Atual(r);
        return l && l->Channel1() && l->Channel2() ? QColor(250, 149, 143) : QColor(255, 172, 89);
    }
    return Qt::white;
}

std::vector<TColunaLista<TRamal>> TfrmRamais::Colunas(int modo) const {
    using C = TColunaLista<TRamal>;
    const C ramal = C("Ramal", 50, [](const TRamal& r) { return r.RamalId; }).Ordena(1);
    if (modo == 2) return {ramal};

    QStringList nomes;
    m_monitor->Ramais.ParaCada([&](const TRamal* r) {
        if (nomes.isEmpty() || r->Nome.size() > nomes.first().size()) nomes = {r->Nome};
    });
    const C nome = C("Nome", 150, [](const TRamal& r) { return r.Nome; }).Ordena(2).Cabe(nomes);
    const C estado = C("Estado", 70, {}).Ordena(0).Guarda(cEstado).Cabe({"Indisponível"});
    C tempo = C("Tempo", 80, {}).Guarda(cTempo).Cabe({"00:00:00"});
    tempo.Alinhamento = Qt::AlignHCenter;
    // A national number with its arrow shows whole.
    const C telefone = C("Telefone", 80, {}).Guarda(cTelefone).Cabe({"<- 00000000000"});
    if (modo == 0) return {ramal, nome, estado, tempo, telefone};

    auto textoInterface = [](const TRamal& r) {
        QString t = r.Dispositivo();
        if (r.Tipo == u"s" && !r.Endereco.isEmpty()) t += u" (" + r.Endereco + u')';
        return t;
    };
    QString maiorInterface;
    m_monitor->Ramais.ParaCada([&](const TRamal* r) {
        const QString t = textoInterface(*r);
        if (t.size() > maiorInterface.size()) maiorInterface = t;
    });
    const C interface = C("Interface", 60, textoInterface).Cabe({maiorInterface});
    return {ramal,
            nome,
            estado,
            tempo,
            telefone,
            interface,
            C("Contexto", 80, {}).Guarda(cContexto),
            C::Espaco(25),
            C("Canal", 80, {}).Guarda(cCanal),
            C("Estado", 80, {}).Guarda(cEstadoOutro),
            C("Início", 80, {}).Guarda(cInicio).Cabe({"00:00:00"}),
            C("Id da chamada", 80, {}).Guarda(cIdChamada),
            C("Chamador (Número)", 80, {}).Guarda(cNumero),
            C("Chamador (Nome)", 80, {}).Guarda(cNome),
            C("Contexto", 80, {}).Guarda(cContextoOutro)};
}

QString TfrmRamais::Celula(const TRamal* ramal, int coluna) const {
    return m_modelo->Texto(m_modelo->LinhaDe(ramal), coluna);
}

void TfrmRamais::PreencheLinhas() {
    m_monitor->Ramais.ParaCada([&](TRamal* r) {
        if (!m_monitor->TemPermissaoRamal(r->RamalId)) return;
        AtualizaLinha(m_modelo->Adiciona(r));
    });
}

void TfrmRamais::AtualizaRamal(TRamal* ramal) {
    const int row = m_modelo->LinhaDe(ramal);
    if (row < 0) return;
    const QString antes = m_modelo->Linha(row).Estado;
    AtualizaLinha(row);
    if (m_modelo->Linha(row).Estado != antes && m_sortCol == 0) PedeOrdenacao();
}

void TfrmRamais::AtualizaLinha(int row) {
    const TRamal* r = RamalDaLinha(row);
    if (!r) return;
    TLinhaTabela& linha = m_modelo->Linha(row);
    linha.Estado = TextoEstado(*r);
    if (m_modo == 2) {
        AtualizaTile(row);
        return;
    }
    auto escreve = [&](int id, const QString& texto) {
        const int c = m_modelo->ColunaDoId(id);
        if (c >= 0) m_modelo->DefineCelula(row, c, texto);
    };
    auto atual = [&](int id) {
        const int c = m_modelo->ColunaDoId(id);
        return c >= 0 ? m_modelo->Texto(row, c) : QString();
    };

    QString tempo;
    if (r->Estado == u"L") {
        tempo = r->TempoLivre();
        if (tempo.isEmpty()) tempo = QStringLiteral("--:--");
    } else if (r->Estado == u"O") {
        tempo = QStringLiteral("--:--");
    }
    escreve(cEstado, linha.Estado);

    const TLigacao* l = Atual(*r);
    const TChannel* meu = Meu(*r);
    const TChannel* outro = meu && l ? l->Outro(meu) : nullptr;
    QString telefone = atual(cTelefone);
    if (!l) {
        telefone.clear();
    } else if (meu) {
        tempo = ElapsedText(meu->Inicio);
        const bool novo = meu->Evento == u"newchannel";
        if (meu->Tipo == u"S")
            telefone = u"-> " + meu->Extension;
        else if (meu->Tipo == u"E")
            telefone = Entrando(*meu);
        else if (!novo && outro)
            telefone = outro->Inicio < meu->Inicio ? Entrando(*outro) : u"-> " + meu->Extension;
        else if (novo && outro)
            telefone = u"-> " + meu->Extension;
        else if (novo && meu->Extension.size() > 2)
            telefone = meu->Extension;
    }
    escreve(cTelefone, telefone);
    if (m_modo == 1) {
        escreve(cContexto, meu ? meu->Context : QString());
        escreve(cCanal, outro ? outro->NomePeer() : QString());
        escreve(cEstadoOutro, outro ? outro->EstadoTexto() : QString());
        escreve(cInicio, outro ? HoraLonga(outro->Inicio) : QString());
        escreve(cIdChamada, outro ? outro->CallerIdValido() : QString());
        escreve(cNumero, outro ? outro->CallerIdNumValido() : QString());
        escreve(cNome, outro ? outro->CallerIdNameValido() : QString());
        escreve(cContextoOutro, outro ? outro->Context : QString());
    }
    escreve(cTempo, tempo);
    Pinta(row);
}

void TfrmRamais::Pinta(int row) {
    const TRamal* r = RamalDaLinha(row);
    if (!r) return;
    m_modelo->DefineCores(row, CorEstado(*r), Qt::black, m_modo == 2);
    m_modelo->Repinta(row);
}

QString TfrmRamais::TextoLinhaTile(const TRamal& r, int escolha) const {
    return escolha == 0 ? r.RamalId : QString();
}

QString TfrmRamais::EstadoTile(const TRamal& r) const {
    return TextoEstado(r);
}

QStringList TfrmRamais::AmostrasTile() const {
    qsizetype n = 4;
    m_monitor->Ramais.ParaCada([&](const TRamal* r) { n = std::max(n, r->RamalId.size()); });
    return {QString(n, u'0')};
}

bool TfrmRamais::AtualizaTempos() {
    if (m_modo == 2) return false;
    const int colTempo = m_modelo->ColunaDoId(cTempo);
    for (int row = 0; row < m_modelo->Linhas(); ++row) {
        const TRamal* r = RamalDaLinha(row);
        if (!r) continue;
        int s = -1;
        if (r->Estado == u"L") {
            s = r->SegundosLivre();
        } else if (r->Estado == u"O") {
            const TChannel* meu = Meu(*r);
            s = meu ? ElapsedSeconds(meu->Inicio) : -1;
        }
        if (s > 0 && s % 5 == 0) m_modelo->DefineCelula(row, colTempo, Hms(s));
    }
    return false;
}

int TfrmRamais::Compara(const TRamal& a, const TRamal& b) const {
    const int sinal = m_sortDesc ? -1 : 1;
    switch (m_sortCol) {
    case 1: // as numbers, 0 when not one
        return sinal * Compara3(a.RamalId.toLongLong(), b.RamalId.toLongLong());
    case 2:
        return sinal * QString::localeAwareCompare(a.Nome, b.Nome);
    default:
        break;
    }
    // Occupied, free, unavailable, then without state.
    if (a.Estado != b.Estado) return -Compara3(a.Estado, b.Estado);
    if (a.Estado != u"L" && a.Estado != u"O") return 0;
    // Free the longest first; never freed after them.
    const bool ta = a.LivreDesde > 0, tb = b.LivreDesde > 0;
    if (ta != tb) return ta ? -1 : 1;
    return ta ? Compara3(a.LivreDesde, b.LivreDesde) : 0;
}
