#include "model/telephony/TChannel.h"

#include "base/Clock.h"
#include "model/telephony/TListaCanais.h"
#include "model/telephony/TTipoCanal.h"

namespace {

QString Bit(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

// A moment of the queue or dialer data: its date and time, or "0" before it has come.
QString Momento(double t) {
    return t > 0 ? DateTimeText(t) : QStringLiteral("0");
}

// "<name> <> nil" or "<name> = nil".
QString Nil(QStringView nome, const void* ptr) {
    return nome + (ptr ? QStringView(u" <> nil\r\n") : QStringView(u" = nil\r\n"));
}

QString SemUnknown(const QString& campo) {
    return campo.contains(u"unknown", Qt::CaseInsensitive) ? QString() : campo;
}

} // namespace

TChannel::TChannel(const QString& channel)
    : Inicio(ServerNow()), UltimaAlteracao(LocalNow()), m_channel(channel),
      m_nomeBase(NomeBase(channel)) {}

TChannel::~TChannel() = default;

void TChannel::SetaChannel(const QString& channel) {
    if (channel == m_channel) return;
    const QString antigo = m_channel;
    m_channel = channel;
    m_nomeBase = NomeBase(channel);
    if (m_lista) m_lista->Renomeado(this, antigo);
}

void TChannel::SetaUniqueId(const QString& uniqueId) {
    if (uniqueId == m_uniqueId) return;
    const QString antigo = m_uniqueId;
    m_uniqueId = uniqueId;
    if (m_lista) m_lista->UniqueIdMudou(this, antigo);
}

void TChannel::Notifica() {
    if (PrimeiraExtension.isEmpty() && !Extension.isEmpty()) PrimeiraExtension = Extension;
    if (PrimeiroCallerId.isEmpty() && !CallerId.isEmpty()) PrimeiroCallerId = CallerId;
    if (PrimeiroCallerIdNum.isEmpty() && !CallerIdNum.isEmpty()) PrimeiroCallerIdNum = CallerIdNum;
    if (OnChannelEvent) OnChannelEvent(this, TAvisoCanal::Updated);
}

void TChannel::AnunciaRemocao() {
    if (OnChannelEvent) OnChannelEvent(this, TAvisoCanal::Removed);
}

QString TChannel::NomeBase(const QString& channel) {
    const qsizetype barra = channel.indexOf(u'/');
    if (barra < 0) return channel;
    const qsizetype traco = channel.lastIndexOf(u'-');
    return traco > barra ? channel.left(traco) : channel;
}

QString TChannel::NomePeer() const {
    return TipoCanal ? TipoCanal->NomePeer() : NomeBase();
}

QString TChannel::EstadoTexto() const {
    const QString estado = State.toUpper();
    if (estado == u"UP") return QStringLiteral("Conectado");
    if (estado == u"RINGING") return QStringLiteral("Chamando");
    if (estado == u"DIALING") return QStringLiteral("Discando");
    return State;
}

QString TChannel::CallerIdValido() const {
    return SemUnknown(CallerId);
}
QString TChannel::CallerIdNumValido() const {
    return SemUnknown(CallerIdNum);
}
QString TChannel::CallerIdNameValido() const {
    return SemUnknown(CallerIdName);
}

void TChannel::CriaTipoCanal(TRamal* dono) {
    if (!TipoCanal) TipoCanal = std::make_unique<TTipoCanal>(dono);
}

void TChannel::CriaTipoCanal(TCanalTronco* dono) {
    if (!TipoCanal) TipoCanal = std::make_unique<TTipoCanal>(dono);
}

void TChannel::RemoveTipoCanal() {
    TipoCanal.reset();
}

QString TChannel::Descreve() const {
    QString t;
    t.reserve(512);
    t += u"Channel: " + m_channel + u"\r\n";
    t += u"CallerId: " + CallerId + u"\r\n";
    t += u"CallerIdNum: " + CallerIdNum + u"\r\n";
    t += u"CallerIdName: " + CallerIdName + u"\r\n";
    t += u"UniqueId: " + m_uniqueId + u"\r\n";
    t += u"State: " + State + u"\r\n";
    t += u"Inicio: " + DateTimeText(Inicio) + u"\r\n";
    t += u"Context: " + Context + u"\r\n";
    t += u"Extension: " + Extension + u"\r\n";
    t += u"Priority: " + Priority + u"\r\n";
    t += u"Seconds: " + QString::number(Seconds) + u"\r\n";
    t += u"LastEvent: " + LastEvent + u"\r\n";
    t += u"Discador: " + Bit(Discador) + u"\r\n";
    t += u"NewCallerId: " + NewCallerId + u"\r\n";
    t += u"Evento: " + Evento + u"\r\n";
    if (LigacaoFila) {
        const TLigacaoFila& f = *LigacaoFila;
        t += u"LigacaoFila.Queued: " + Bit(f.Queued) + u"\r\n";
        t += u"LigacaoFila.Inicio: " + Momento(f.Inicio) + u"\r\n";
        t += u"LigacaoFila.Chamando: " + Momento(f.Chamando) + u"\r\n";
        t += u"LigacaoFila.Atendimento: " + Momento(f.Atendimento) + u"\r\n";
        t += Nil(u"LigacaoFila.DataFila", f.DataFila);
        t += Nil(u"LigacaoFila.DataAgente", f.DataAgente);
    } else {
        t += u"LigacaoFila = nil\r\n";
    }
    if (LigacaoDiscador) {
        const TLigacaoDiscador& d = *LigacaoDiscador;
        t += u"LigacaoDiscador.Inicio: " + Momento(d.Inicio) + u"\r\n";
        t += u"LigacaoDiscador.Atendimento: " + Momento(d.Atendimento) + u"\r\n";
        t += Nil(u"LigacaoDiscador.PtrCampanha", d.PtrCampanha);
        t += Nil(u"LigacaoDiscador.PtrAgente", d.PtrAgente);
    } else {
        t += u"LigacaoDiscador = nil\r\n";
    }
    return t;
}

QString TextoAviso(TAvisoCanal aviso) {
    return aviso == TAvisoCanal::Updated ? QStringLiteral("Updated") : QStringLiteral("Removed");
}
