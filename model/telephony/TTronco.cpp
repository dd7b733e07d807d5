#include "model/telephony/TTronco.h"

#include "model/telephony/TChannel.h"
#include "model/telephony/TLigacao.h"
#include "model/telephony/TPorta.h"
#include "model/telephony/TSaidasComando.h"
#include "model/telephony/TTodosOsPassos.h"

#include <QVarLengthArray>

#include <algorithm>

namespace {

// List order of lines: by trunk, then by position in the trunk.
bool LinhaAntes(const TCanalTronco* a, const TCanalTronco* b) {
    const qsizetype ta = a->Tronco ? a->Tronco->SlotNaLista() : -1;
    const qsizetype tb = b->Tronco ? b->Tronco->SlotNaLista() : -1;
    return ta != tb ? ta < tb : a->SlotNaLista() < b->SlotNaLista();
}

bool TroncoAntes(const TTronco* a, const TTronco* b) {
    return a->SlotNaLista() < b->SlotNaLista();
}

template <typename T, typename Less> void InsereOrdenado(std::vector<T*>& v, T* item, Less less) {
    v.insert(std::upper_bound(v.begin(), v.end(), item, less), item);
}

template <typename K, typename T>
void RemoveDoBalde(QHash<K, std::vector<T*>>& mapa, const K& chave, T* item) {
    auto it = mapa.find(chave);
    if (it == mapa.end()) return;
    std::erase(it.value(), item);
    if (it.value().empty()) mapa.erase(it);
}

} // namespace

// --- TCanalTronco ----------------------------------------------------------------------------

TCanalTronco::TCanalTronco(const QString& dispositivo) : m_dispositivo(dispositivo) {}

void TCanalTronco::Avisa(TAvisoTronco aviso) {
    if (Tronco && Tronco->OnTroncoEvent) Tronco->OnTroncoEvent(Tronco, this, aviso);
}

void TCanalTronco::AvisaStatus() {
    Avisa(TAvisoTronco::Status);
}

void TCanalTronco::Recalcula() {
    if (!m_ligacao) {
        Direcao.clear();
        Telefone.clear();
        Avisa(TAvisoTronco::Call);
        return;
    }
    TChannel* meu = m_ligacao->CanalPorNomeBase(m_dispositivo);
    if (!meu) meu = m_ligacao->CanalPorNome(m_dispositivo);
    if (meu) {
        TChannel* outro = m_ligacao->Outro(meu);
        const bool maisAntigo = meu == m_ligacao->MaisAntigo();
        const bool deNewchannel = meu->Evento == u"newchannel";
        meu->CriaTipoCanal(this);

        if (!Direcao.isEmpty()) {
            QString candidata;
            if (outro)
                candidata = maisAntigo ? QStringLiteral("E") : QStringLiteral("S");
            else
                candidata = meu->State == u"Up" ? QStringLiteral("E") : Direcao;
            if (candidata != Direcao && Direcao != u"D" && !meu->Discado) {
                Direcao = candidata;
                Telefone.clear();
            }
        } else if (meu->Discador) {
            Direcao = QStringLiteral("D");
        } else if (!meu->Tipo.isEmpty()) {
            Direcao = meu->Tipo;
        } else if (!deNewchannel) {
            const bool entrada = (!outro && meu->State == u"Up") || maisAntigo;
            Direcao = entrada ? QStringLiteral("E") : QStringLiteral("S");
        } else if (meu == m_ligacao->Channel2()) {
            Direcao = QStringLiteral("S");
        } else if (meu == m_ligacao->Channel1() && meu->State == u"Up") {
            Direcao = QStringLiteral("E");
        }

        if (Telefone.isEmpty() && !Direcao.isEmpty()) {
            if (Direcao == u"E") {
                if (!deNewchannel) {
                    Telefone = meu->CallerIdValido();
                    if (Telefone.isEmpty()) Telefone = meu->CallerIdNumValido();
                } else {
                    Telefone = meu->PrimeiroCallerId;
                    if (Telefone.isEmpty()) Telefone = meu->PrimeiroCallerIdNum;
                }
            } else if (Direcao == u"S" || Direcao == u"D") {
                if (meu->LastEvent == u"dial")
                    Telefone = meu->CallerIdNumValido();
                else if (!deNewchannel)
                    Telefone = outro ? outro->Extension : meu->Extension;
                else if (!outro)
                    Telefone = meu->Extension.size() > 2 ? meu->PrimeiraExtension : QString();
                else if (meu->Discado)
                    Telefone = meu->CallerIdNumValido();
                else
                    Telefone = meu->PrimeiraExtension;
            }
        }
    }
    Avisa(TAvisoTronco::Call);
}

// --- TListaCanalTronco -----------------------------------------------------------------------

int TCanalTronco::Indice() const {
    return Tronco ? Tronco->Canais.IndiceDe(this) : -1;
}

TCanalTronco* TListaCanalTronco::Adiciona(std::unique_ptr<TCanalTronco> canal) {
    TCanalTronco* c = m_itens.Adiciona(std::move(canal));
    c->Tronco = m_tronco;
    if (c->m_dispositivo.isEmpty()) m_livres.insert(c);
    if (m_tronco && m_tronco->m_lista && !m_tronco->Sip() && !c->m_dispositivo.isEmpty())
        InsereOrdenado(m_tronco->m_lista->m_linhasPorDispositivo[c->m_dispositivo], c, LinhaAntes);
    c->Avisa(TAvisoTronco::Added);
    return c;
}

void TListaCanalTronco::Remove(TCanalTronco* canal) {
    if (!m_itens.Contem(canal)) return;
    if (m_tronco && m_tronco->m_lista) m_tronco->m_lista->DesindexaLinha(canal);
    m_livres.erase(canal);
    m_itens.Retira(canal);
}

void TListaCanalTronco::Limpa() {
    if (m_tronco && m_tronco->m_lista)
        m_itens.ParaCada([this](TCanalTronco* c) { m_tronco->m_lista->DesindexaLinha(c); });
    m_livres.clear();
    m_itens.Limpa();
}

TCanalTronco* TListaCanalTronco::PrimeiroLivre() const {
    return m_livres.empty() ? nullptr : *m_livres.begin();
}

void TListaCanalTronco::SetaDispositivo(TCanalTronco* canal, const QString& dispositivo) {
    canal->m_dispositivo = dispositivo;
    if (dispositivo.isEmpty())
        m_livres.insert(canal);
    else
        m_livres.erase(canal);
}

// --- TTronco ---------------------------------------------------------------------------------

TTronco::TTronco(const QString& nome) : Nome(nome) {}

void TTronco::CriaCanais() {
    Canais.Limpa();
    if (!Porta) {
        // A SIP trunk starts with one free call slot.
        Canais.Adiciona(std::make_unique<TCanalTronco>());
        return;
    }
    const bool khomp = Porta->Marca == u"k";
    const bool dahdi = Porta->Marca == u"z";
    if (!khomp && !dahdi) return;
    for (qint32 i = 0; i < Porta->NumCanais; ++i) {
        const QString linha = QString::number(Porta->PrimeiroCanal + i);
        const QString nome =
            khomp ? QString(u"Khomp/B" + QString::number(Porta->IndicePlaca) + u"C" + linha)
                  : QString(u"DAHDI/" + linha);
        auto canal = std::make_unique<TCanalTronco>(nome);
        if (dahdi && i == 15) {
            canal->Status = QStringLiteral("Sinal");
            canal->StatusDetalhe = QStringLiteral("Sinalização");
        } else {
            canal->Status = QStringLiteral("Failure");
        }
        Canais.Adiciona(std::move(canal));
    }
}

QString TTronco::Descreve() const {
    QString t = u"Tronco: " + Nome + u"\r\nTroncoIdPorta: " + QString::number(TroncoId) +
                u"\r\nIdTroncoId: " + QString::number(IdTronco) + u"\r\nTipo: " + Tipo +
                u"\r\nTipoTronco: " + TipoTronco + u"\r\n";
    t += Porta ? Porta->Descreve() + u"\r\n" : QStringLiteral("Porta: nil\r\n");
    return t;
}

// --- TListaTroncos ---------------------------------------------------------------------------

TListaTroncos::~TListaTroncos() {
    Limpa();
}

int TTronco::Indice() const {
    return m_lista ? m_lista->IndiceDe(this) : -1;
}

TTronco* TListaTroncos::Adiciona(std::unique_ptr<TTronco> tronco) {
    TTronco* t = m_itens.Adiciona(std::move(tronco));
    t->m_lista = this;
    Indexa(t);
    return t;
}

void TListaTroncos::Indexa(TTronco* t) {
    if (!m_porNome.contains(t->Nome)) m_porNome.insert(t->Nome, t);
    if (t->Sip()) {
        InsereOrdenado(m_sipPorDispositivo[t->Dispositivo], t, TroncoAntes);
    } else {
        for (int i = 0; i < t->Canais.Count(); ++i) {
            TCanalTronco* c = t->Canais.Item(i);
            if (!c->m_dispositivo.isEmpty())
                InsereOrdenado(m_linhasPorDispositivo[c->m_dispositivo], c, LinhaAntes);
        }
    }
    for (int i = 0; i < t->Canais.Count(); ++i) {
        TCanalTronco* c = t->Canais.Item(i);
        if (c->m_ligacao) m_linhasPorLigacao[c->m_ligacao].push_back(c);
    }
}

void TListaTroncos::Desindexa(TTronco* t) {
    if (m_porNome.value(t->Nome) == t) {
        m_porNome.remove(t->Nome);
        if (TTronco* outro =
                m_itens.Primeiro([t](const TTronco* o) { return o != t && o->Nome == t->Nome; }))
            m_porNome.insert(t->Nome, outro);
    }
    if (t->Sip()) RemoveDoBalde(m_sipPorDispositivo, t->Dispositivo, t);
    for (int i = 0; i < t->Canais.Count(); ++i)
        DesindexaLinha(t->Canais.Item(i));
}

void TListaTroncos::DesindexaLinha(TCanalTronco* c) {
    if (c->Tronco && !c->Tronco->Sip() && !c->m_dispositivo.isEmpty())
        RemoveDoBalde(m_linhasPorDispositivo, c->m_dispositivo, c);
    if (c->m_ligacao) RemoveDoBalde(m_linhasPorLigacao, c->m_ligacao, c);
}

void TListaTroncos::Remove(TTronco* tronco) {
    if (!m_itens.Contem(tronco)) return;
    Desindexa(tronco);
    m_itens.Retira(tronco);
}

void TListaTroncos::Limpa() {
    m_porNome.clear();
    m_sipPorDispositivo.clear();
    m_linhasPorDispositivo.clear();
    m_linhasPorLigacao.clear();
    m_itens.ParaCada([](TTronco* t) { t->m_lista = nullptr; });
    m_itens.Limpa();
}

void TListaTroncos::SetaLigacao(TCanalTronco* c, TLigacao* ligacao) {
    if (c->m_ligacao == ligacao) return;
    if (c->m_ligacao) RemoveDoBalde(m_linhasPorLigacao, c->m_ligacao, c);
    c->m_ligacao = ligacao;
    if (ligacao) m_linhasPorLigacao[ligacao].push_back(c);
}

std::vector<TCanalTronco*> TListaTroncos::PrimeirasLinhas(const QString& dispositivo) const {
    std::vector<TCanalTronco*> linhas;
    if (dispositivo.isEmpty()) return linhas;
    auto it = m_linhasPorDispositivo.constFind(dispositivo);
    if (it == m_linhasPorDispositivo.cend()) return linhas;
    for (TCanalTronco* c : it.value())
        if (linhas.empty() || linhas.back()->Tronco != c->Tronco) linhas.push_back(c);
    return linhas;
}

void TListaTroncos::AtualizaLigacao(TLigacao* ligacao) {
    if (!ligacao) return;
    TChannel* c1 = ligacao->Channel1();
    TChannel* c2 = ligacao->Channel2();
    const QString t1 = c1 ? c1->NomeTronco : QString();
    const QString t2 = c2 ? c2->NomeTronco : QString();

    // Only the trunks the bridge can concern: hardware lines named after a leg, SIP trunks
    // named by a leg's trunk (or by a leg), and whatever line holds the bridge already.
    QVarLengthArray<TCanalTronco*, 8> linhas;
    QVarLengthArray<TTronco*, 8> troncos;
    for (TChannel* perna : {c1, c2}) {
        if (!perna) continue;
        auto hw = m_linhasPorDispositivo.constFind(perna->NomeBase());
        if (hw != m_linhasPorDispositivo.cend())
            linhas.append(hw.value().data(), qsizetype(hw.value().size()));
    }
    const bool semTronco = t1.isEmpty() && t2.isEmpty();
    const QString chavesSip[] = {semTronco ? (c1 ? c1->NomeBase() : QString()) : t1,
                                 semTronco ? (c2 ? c2->NomeBase() : QString()) : t2};
    for (const QString& chave : chavesSip) {
        auto sip = m_sipPorDispositivo.constFind(chave);
        if (sip != m_sipPorDispositivo.cend())
            troncos.append(sip.value().data(), qsizetype(sip.value().size()));
    }
    auto segurando = m_linhasPorLigacao.constFind(ligacao);
    if (segurando != m_linhasPorLigacao.cend()) {
        for (TCanalTronco* c : segurando.value()) {
            if (c->Tronco->Sip())
                troncos.push_back(c->Tronco);
            else
                linhas.push_back(c);
        }
    }
    for (TCanalTronco* c : linhas)
        troncos.push_back(c->Tronco);
    std::sort(troncos.begin(), troncos.end(), TroncoAntes);
    troncos.erase(std::unique(troncos.begin(), troncos.end()), troncos.end());
    std::sort(linhas.begin(), linhas.end(), LinhaAntes);
    linhas.erase(std::unique(linhas.begin(), linhas.end()), linhas.end());

    auto linha = linhas.begin();
    for (TTronco* t : troncos) {
        if (t->Sip()) {
            AtualizaSip(t, ligacao);
            continue;
        }
        for (; linha != linhas.end() && (*linha)->Tronco == t; ++linha) {
            TCanalTronco* c = *linha;
            if (!c->m_dispositivo.isEmpty() && ligacao->TemPeer(c->m_dispositivo)) {
                SetaLigacao(c, ligacao);
                c->Recalcula();
            } else if (c->m_ligacao == ligacao) {
                SetaLigacao(c, nullptr);
                c->Recalcula();
            }
        }
    }
}

void TListaTroncos::AtualizaSip(TTronco* t, TLigacao* ligacao) {
    TChannel* c1 = ligacao->Channel1();
    TChannel* c2 = ligacao->Channel2();
    const QString t1 = c1 ? c1->NomeTronco : QString();
    const QString t2 = c2 ? c2->NomeTronco : QString();
    bool envolvido = false;
    TChannel* meu = nullptr;
    if (t1.isEmpty() && t2.isEmpty()) {
        meu = ligacao->CanalPorNomeBase(t->Dispositivo);
        envolvido = meu != nullptr;
    } else {
        envolvido = t1 == t->Dispositivo || t2 == t->Dispositivo;
        meu = t1 == t->Dispositivo ? c1 : (t2 == t->Dispositivo ? c2 : nullptr);
    }
    TCanalTronco* segurando = nullptr;
    auto it = m_linhasPorLigacao.constFind(ligacao);
    if (it != m_linhasPorLigacao.cend())
        for (TCanalTronco* c : it.value())
            if (c->Tronco == t && (!segurando || c->Indice() < segurando->Indice())) segurando = c;

    if (envolvido) {
        TCanalTronco* c = segurando;
        if (!c) {
            c = t->Canais.PrimeiroLivre();
            // A new slot is created for a further simultaneous call and kept for the next.
            if (!c) c = t->Canais.Adiciona(std::make_unique<TCanalTronco>());
            SetaLigacao(c, ligacao);
            if (meu) t->Canais.SetaDispositivo(c, meu->Channel());
        }
        c->Recalcula();
    } else if (segurando) {
        SetaLigacao(segurando, nullptr);
        t->Canais.SetaDispositivo(segurando, QString());
        segurando->Recalcula();
    }
}

void TListaTroncos::RemoveLigacao(TLigacao* ligacao) {
    auto it = m_linhasPorLigacao.constFind(ligacao);
    if (it == m_linhasPorLigacao.cend()) return;
    std::vector<TCanalTronco*> linhas = it.value();
    std::sort(linhas.begin(), linhas.end(), LinhaAntes);
    // Every line lets go of the bridge before any of them is announced.
    for (TCanalTronco* c : linhas)
        SetaLigacao(c, nullptr);
    ParaTodos(linhas, [](TCanalTronco* c) {
        // A SIP slot becomes free even when its announcement fails.
        TodosOsPassos([c] { c->Recalcula(); },
                      [c] {
                          if (c->Tronco->Sip()) c->Tronco->Canais.SetaDispositivo(c, QString());
                      });
    });
}

void TListaTroncos::PeerStatus(const QString& peer, const QString& status) {
    auto it = m_sipPorDispositivo.constFind(peer);
    if (it == m_sipPorDispositivo.cend()) return;
    TTronco* t = it.value().front();
    if (status == u"Unreachable") {
        if (t->EstadoSip != u"I") {
            t->EstadoSip = QStringLiteral("I");
            for (int i = 0; i < t->Canais.Count(); ++i) {
                TCanalTronco* c = t->Canais.Item(i);
                c->Status = QStringLiteral("Failure");
                c->StatusDetalhe = status;
                c->AvisaStatus();
            }
        }
    } else if (status == u"Reachable" || status == u"Registered") {
        if (t->EstadoSip != u"L") {
            t->EstadoSip = QStringLiteral("L");
            for (int i = 0; i < t->Canais.Count(); ++i) {
                TCanalTronco* c = t->Canais.Item(i);
                c->Status.clear();
                c->StatusDetalhe.clear();
                c->AvisaStatus();
            }
        }
    }
    if (t->OnTroncoEvent) t->OnTroncoEvent(t, nullptr, TAvisoTronco::Status);
}

void TListaTroncos::LinhaKhomp(const TLinhaKhomp& linha) {
    const qsizetype campos = linha.Campos.size();
    for (TCanalTronco* c : PrimeirasLinhas(linha.Dispositivo)) {
        const QString& classe = c->Tronco->TipoTronco;
        if (classe == u"c" && campos > 6) {
            const QString& detalhe = linha.Campos[4];
            const qsizetype abre = detalhe.indexOf(u'(');
            const qsizetype fecha = detalhe.indexOf(u')');
            if (abre >= 0 && fecha > abre) c->Operadora = detalhe.mid(abre + 1, fecha - abre - 1);
            c->NivelSinal = linha.Campos[5];
            c->Status = linha.Campos[3];
            c->AvisaStatus();
        } else if ((classe == u"d" || classe == u"a") && campos >= 5) {
            c->Status = linha.Campos[3];
            c->StatusDetalhe = linha.Campos[4];
            c->AvisaStatus();
        }
    }
}

void TListaTroncos::LinhaDahdi(int numero, const QString& estado) {
    if (numero <= 0) return;
    auto it = m_linhasPorDispositivo.constFind(u"DAHDI/" + QString::number(numero));
    if (it == m_linhasPorDispositivo.cend()) return;
    TCanalTronco* c = it.value().front();
    c->Status = estado;
    c->StatusDetalhe = estado;
}

void TListaTroncos::EventoLinha(const QString& evento, const QString& valor,
                                const QString& dispositivo) {
    for (TCanalTronco* c : PrimeirasLinhas(dispositivo)) {
        if (evento == u"alarm") {
            c->StatusDetalhe = valor;
            c->Status = QStringLiteral("Failure");
        } else if (evento == u"alarmclear") {
            c->StatusDetalhe = valor;
            c->Status.clear();
        } else if (evento == u"antennalevel") {
            c->NivelSinal = valor;
        } else if (evento == u"operatorregistry") {
            c->Operadora = valor;
        }
        c->AvisaStatus();
    }
}

QString TextoAviso(TAvisoTronco aviso) {
    switch (aviso) {
    case TAvisoTronco::Added:
        return QStringLiteral("Added");
    case TAvisoTronco::Call:
        return QStringLiteral("Call");
    case TAvisoTronco::Status:
        break;
    }
    return QStringLiteral("Status");
}
