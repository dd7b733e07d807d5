// The internal chat over the manager connection (the model of one login, its events, the
// unread-count rows, the actions the chat windows send) and the routing of the chat server's
// external-chat lines to the conversation monitors.
#include "base/ActionText.h"
#include "base/Clock.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"
#include "monitor/TMonitorConversa.h"

namespace {
// U+2028 LINE SEPARATOR: how a line break of a body travels (see CorpoMensagemEnvio).
constexpr char16_t kSeparadorLinha = 0x2028;

// Cuts a text to `max` UTF-16 units without splitting a surrogate pair.
QString Limita(QString texto, qsizetype max) {
    if (texto.size() <= max) return texto;
    qsizetype n = max;
    if (n > 0 && texto.at(n - 1).isHighSurrogate()) --n;
    texto.truncate(n);
    return texto;
}

bool EhControle(char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7f;
}
} // namespace

void TMonitor::CriaChat() {
    auto chat = std::make_unique<TChat>(Permissoes.Usuario);
    UsuariosVesmara.ParaCada([&](const TUsuarioVesmara* u) {
        if (u->Usuario == chat->UsuarioLocal || !TemPermissaoChatUsuario(u->Usuario)) return;
        auto p = std::make_unique<TUsuarioChat>(u->Usuario);
        p->Nome = u->NomeExibicao();
        p->Tipo = QStringLiteral("u");
        chat->ListaDeUsuarios.Adiciona(std::move(p));
    });
    Agentes.ParaCada([&](const TAgente* a) {
        if (!TemPermissaoAtendente(a)) return;
        auto p = std::make_unique<TUsuarioChat>(a->AgentNumber());
        p->Nome = a->AgentName;
        p->Tipo = QStringLiteral("a");
        chat->ListaDeUsuarios.Adiciona(std::move(p));
    });
    chat->OnEvent = [this](TConversaChat* c, TMensagemChat* m, TAvisoChat a) {
        if (LogAtivo)
            Loga(u"Chat " + TextoAvisoChat(a) + u" " + (c ? c->ConversaId : QString()) +
                 (m ? u" " + m->Id : QString()));
        m_avisos.Chat.Emite(c, m, a);
    };
    // The windows let the previous model go before it is freed.
    std::unique_ptr<TChat> anterior = std::exchange(m_chatModelo, std::move(chat));
    ChatIniciado = true;
    m_avisos.NovoChat.Emite(m_chatModelo.get());
    anterior.reset();
}

QString TMonitor::TrataMensagemRx(const QString& texto) {
    // The link has already decoded the bytes (UTF-8 when valid, Windows-1252 otherwise), so a
    // body that is not UTF-8 arrives as received. What is left: line breaks to CR LF, control
    // characters out (a body is shown as plain text, never interpreted), and a bound on size.
    const QString limitado = Limita(texto, kMaxCorpoChat);
    QString t;
    t.reserve(limitado.size() + 16);
    for (qsizetype i = 0; i < limitado.size(); ++i) {
        const char16_t c = limitado.at(i).unicode();
        if (c == u'\n' || c == kSeparadorLinha) {
            if (t.isEmpty() || t.back() != u'\r' || c == kSeparadorLinha) t += u'\r';
            t += u'\n';
        } else if (!EhControle(c)) {
            t += QChar(c);
        }
    }
    return t;
}

QString TMonitor::CorpoMensagemEnvio(const QString& texto) {
    // The documented form sends each line break as a lone LF inside the "Message:" value. A
    // server (or any proxy on the way) that ends lines at a lone LF would then read the rest
    // of the body as keys of the action, or as a second action after an empty line: a body
    // could send anything in the user's name. So every line break (CR LF, lone LF, lone CR)
    // goes as U+2028 LINE SEPARATOR, which is a line break to any Unicode reader and no line
    // end to any protocol parser; TrataMensagemRx turns it back into CR LF. Other control
    // characters are dropped: they mean nothing in a chat body.
    QString t;
    t.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const char16_t c = texto.at(i).unicode();
        if (c == u'\r') {
            if (i + 1 < texto.size() && texto.at(i + 1) == u'\n') ++i;
            t += QChar(kSeparadorLinha);
        } else if (c == u'\n') {
            t += QChar(kSeparadorLinha);
        } else if (!EhControle(c)) {
            t += QChar(c);
        }
    }
    return t;
}

void TMonitor::AnunciaPresencaChat(bool comUsuario) {
    TActionText a(u"VChatAction");
    a.Add(u"VChatAction", QStringLiteral("UserIn"));
    if (comUsuario) {
        if (!IsSafeActionValue(m_chatModelo->UsuarioLocal)) return;
        a.Add(u"User", m_chatModelo->UsuarioLocal);
    }
    SendManager(a.Text());
}

void TMonitor::TrataEventoChat(const TPacketManagerParser& p) {
    if (!m_chatModelo) return;
    TChat& chat = *m_chatModelo;
    const QString event = p.GetValue(u"VChatEvent").toLower();
    if (event == u"userin" || event == u"userout") {
        const QString user = p.GetValue(u"User");
        if (event == u"userout" && user == chat.UsuarioLocal) {
            AnunciaPresencaChat(true);
            return;
        }
        if (TUsuarioChat* u = chat.ListaDeUsuarios.ProcuraUsuario(user)) {
            u->Status = event == u"userin" ? QStringLiteral("a") : QString();
            m_avisos.UsuarioChat.Emite(u);
        }
    } else if (event == u"getusersin") {
        if (p.GetValue(u"User") != chat.UsuarioLocal) AnunciaPresencaChat(false);
    } else if (event == u"sendmessage") {
        const QString to = p.GetValue(u"To");
        const QString from = p.GetValue(u"From");
        const QString id = p.GetValue(u"Id");
        if (to != chat.UsuarioLocal || from.isEmpty() || id.isEmpty()) return;
        // A message delivered twice (the server repeating itself after a reconnection) is one
        // message, not two lines in the conversation.
        if (chat.ListaDeMensagens.ProcuraPorId(id)) return;
        auto m = std::make_unique<TMensagemChat>();
        m->Id = id;
        m->From = from;
        m->DefineDestinatarios(to);
        m->DataEnvio = UnixTextToLocal(p.GetValueView(u"TimeSent"));
        m->Msg = TrataMensagemRx(p.GetValue(u"Message"));
        chat.AdicionaMensagem(std::move(m));
    } else if (event == u"messagesent") {
        const QString id = p.GetValue(u"Id");
        if (p.GetValue(u"From") != chat.UsuarioLocal || id.isEmpty()) return;
        TMensagemChat* m = chat.ListaDeMensagens.ProcuraPorLocalId(p.GetValue(u"LocalId"));
        // Only a message still pending: a second acceptance naming an earlier LocalId must not
        // rename a message the server already numbered.
        if (!m || !m->Id.isEmpty()) return;
        m->DataEnvio = UnixTextToLocal(p.GetValueView(u"TimeSent"));
        chat.DefineId(m, id);
        chat.MensagemEnviada(m);
    } else if (event == u"unreadmessages") {
        DefineNaoLidasChat(p.GetValue(u"From"), p.GetValue(u"Total"));
    } else if (event == u"message") {
        TrataMensagemHistoricoChat(p);
    } else if (event == u"messageread") {
        const QString id = p.GetValue(u"Id");
        TMensagemChat* m = chat.ListaDeMensagens.ProcuraPorId(id);
        if (!m) return;
        m->MarcaLida(p.GetValue(u"To"), UnixTextToLocal(p.GetValueView(u"TimeRead")));
        chat.MensagemLida(m);
    } else if (event == u"messagecomplete") {
        m_avisos.HistoricoChat.Emite();
    } else if (event == u"unreadmessagescomplete") {
        // The load ignores a repeated or late completion.
        SendAfter(p.GetValue(u"ActionID"));
    }
}

void TMonitor::TrataMensagemHistoricoChat(const TPacketManagerParser& p) {
    TChat& chat = *m_chatModelo;
    const QString msg = TrataMensagemRx(p.GetValue(u"Message"));
    const double enviada = UnixTextToLocal(p.GetValueView(u"TimeSent"));
    const double lida = UnixTextToLocal(p.GetValueView(u"TimeRead"));
    const QString from = p.GetValue(u"From");
    const QString id = p.GetValue(u"Id");
    const QString to = p.GetValue(u"To");
    if (from.isEmpty() || id.isEmpty() || to.isEmpty()) return;
    TMensagemChat* m = chat.ListaDeMensagens.ProcuraPorId(id);
    if (!m) {
        auto nova = std::make_unique<TMensagemChat>();
        nova->Id = id;
        nova->Msg = msg;
        m = chat.Guarda(std::move(nova));
    }
    m->From = from;
    if (enviada > m->DataEnvio) m->DataEnvio = enviada;
    m->AdicionaDestinatario(to);
    m->MarcaLida(to, lida);
    if (to == chat.UsuarioLocal) {
        chat.AdicionaMensagem(m);
        return;
    }
    TConversaChat* c = chat.ConversaCom(to);
    if (c && !c->Mensagens.Contem(m)) chat.AdicionaNaConversa(c, m);
    chat.MensagemEnviada(m);
}

void TMonitor::DefineNaoLidasChat(const QString& de, const QString& total) {
    if (!m_chatModelo || de.isEmpty()) return;
    if (TConversaChat* c = m_chatModelo->ConversaCom(de)) {
        bool ok = false;
        const int n = total.trimmed().toInt(&ok);
        c->NaoLidas = ok && n > 0 ? n : 0;
    }
}

void TMonitor::RowMensagensNaoLidasChat(const TPacketManagerParser& p) {
    DefineNaoLidasChat(p.GetValue(u"De"), p.GetValue(u"Total"));
}

// --- Actions of the chat windows --------------------------------------------------------------

TMensagemChat* TMonitor::EnviaMensagemChat(TConversaChat* conversa, const QString& texto) {
    if (!m_chatModelo || !conversa || !m_manager->Connected) return nullptr;
    TChat& chat = *m_chatModelo;
    const QString para = conversa->UsuariosTexto();
    // Trimmed as the server reads every value: the copy kept here is what the peer sees.
    const QString corpo = CorpoMensagemEnvio(texto).trimmed();
    // Refused rather than cut: the user sees the message was not sent and can shorten it.
    if (corpo.isEmpty() || corpo.size() > kMaxCorpoChat) return nullptr;
    if (!IsSafeActionValue(para) || !IsSafeActionValue(chat.UsuarioLocal)) return nullptr;
    auto nova = std::make_unique<TMensagemChat>();
    nova->LocalId = chat.NovoLocalId();
    nova->From = chat.UsuarioLocal;
    nova->DefineDestinatarios(para);
    nova->Msg = TrataMensagemRx(corpo);
    TMensagemChat* m = chat.Guarda(std::move(nova));
    chat.AdicionaNaConversa(conversa, m);
    if (conversa->OnEvent) conversa->OnEvent(conversa, m, TAvisoChat::Add);
    TActionText a(u"VChatAction");
    a.Add(u"VChatAction", QStringLiteral("SendMessage"))
        .Add(u"From", m->From)
        .Add(u"To", para)
        .Add(u"LocalId", m->LocalId)
        .Add(u"Message", ActionValue(corpo));
    SendManager(a.Text());
    return m;
}

bool TMonitor::MarcaMensagemLidaChat(const TMensagemChat* msg) {
    if (!m_chatModelo || !msg || !m_manager->Connected) return false;
    if (msg->To != m_chatModelo->UsuarioLocal || msg->Id.isEmpty()) return false;
    if (!IsSafeActionValue(msg->Id) || !IsSafeActionValue(msg->To)) return false;
    TActionText a(u"VChatAction");
    a.Add(u"VChatAction", QStringLiteral("MessageRead")).Add(u"Id", msg->Id).Add(u"To", msg->To);
    SendManager(a.Text());
    return true;
}

bool TMonitor::PedeHistoricoChat(const QString& identificadores, int dias) {
    if (!m_chatModelo || !m_manager->Connected || identificadores.isEmpty()) return false;
    if (!IsSafeActionValue(identificadores)) return false;
    TActionText a(u"VChatAction");
    a.Add(u"VChatAction", QStringLiteral("LastMessages"))
        .Add(u"ActionId", QStringLiteral("LastMessagesChat"))
        .Add(u"FromTo", identificadores);
    if (dias < 0)
        a.Add(u"NotRead", QStringLiteral("1"));
    else
        a.Add(u"Days", QString::number(dias));
    SendManager(a.Text());
    return true;
}

bool TMonitor::PedeMensagensCanalChat(const QString& canal, const QString& uniqueId) {
    if (!m_chat->Connected || !IsSafeActionValue(canal) || !IsSafeActionValue(uniqueId))
        return false;
    TActionText a(u"ChatChannelMessages");
    a.Add(u"Channel", canal).Add(u"ActionId", uniqueId);
    m_chat->SendString(a.Text());
    return true;
}

// --- External chat ----------------------------------------------------------------------------

void TMonitor::EvChatExterno(const TPacketManagerParser& p, int) {
    TrataChatExterno(EventoAtual(), p);
}

void TMonitor::TrataChatExterno(const QString& evento, const TPacketManagerParser& p) {
    const bool completo = evento == u"chatchannelmessagescomplete";
    const QString chave = p.GetValue(completo ? u"ActionId" : u"Uniqueid");
    if (chave.isEmpty()) return;
    TMonitorConversa* tela = m_ui->ProcuraTelaMonitorarConversa(u"Conversa" + chave);
    if (!tela) return;
    if (completo) {
        tela->DefineHistoricoCompleto();
    } else if (evento == u"chatchannelmessage" || evento == u"chatnewmessage") {
        TLinhaConversa linha;
        bool ok = false;
        linha.MessageId = p.GetValue(u"MessageId").trimmed().toLongLong(&ok);
        if (!ok) linha.MessageId = 0;
        linha.Kind = p.GetValue(u"Kind").trimmed().toInt(&ok);
        if (!ok) linha.Kind = 0;
        linha.Created = UnixTextToLocal(p.GetValueView(u"Created"));
        linha.Name = Limita(p.GetValue(u"Name"), kMaxCorpoChat);
        linha.Message = TrataMensagemRx(p.GetValue(u"Message"));
        if (evento == u"chatchannelmessage")
            tela->ChatChannelMessage(linha);
        else
            tela->ChatNewMessage(linha);
    } else if (evento == u"chatchannelstate") {
        tela->AtualizaIsTyping(p.GetValueView(u"UserTyping") == u"1",
                               p.GetValueView(u"AgentTyping") == u"1");
    }
}
