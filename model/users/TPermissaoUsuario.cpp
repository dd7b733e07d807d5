#include "model/users/TPermissaoUsuario.h"

void TPermissaoUsuario::Limpa() {
    Usuario.clear();
    Perfil.clear();
    Tipo.clear();
    Permissao = 0;
    Restrito = false;
    m_porChave.clear();
    m_itens.Limpa();
}

void TPermissaoUsuario::SetaUsuario(const QString& usuario, const QString& tipo, qint32 permissao,
                                    const QString& perfil) {
    Usuario = usuario;
    Tipo = tipo;
    Permissao = permissao;
    Perfil = perfil;
    Restrito = (tipo == u"u");
    m_porChave.clear();
    m_itens.Limpa();
}

QString TPermissaoUsuario::Chave(const QString& grupo, const QString& nome) {
    return grupo.toCaseFolded() + u'\n' + nome.toCaseFolded();
}

// Every permission check asks here, once per queue, agent or trunk shown.
TItemPermissao* TPermissaoUsuario::Procura(const QString& grupo, const QString& nome) const {
    return m_porChave.value(Chave(grupo, nome), nullptr);
}

void TPermissaoUsuario::AdicionaPermissao(const QString& grupo, const QString& nome) {
    if (Procura(grupo, nome)) return;
    auto item = std::make_unique<TItemPermissao>();
    item->Grupo = grupo;
    item->Nome = nome;
    m_porChave.insert(Chave(grupo, nome), m_itens.Adiciona(std::move(item)));
}

void TPermissaoUsuario::AdicionaValor(const QString& grupo, const QString& nome,
                                      const QString& valor, const QString& tipo) {
    TItemPermissao* item = Procura(grupo, nome);
    if (!item) return;
    const QString t = tipo.toUpper();
    if (t == u"E")
        item->ValoresE.append(valor);
    else if (t == u"R")
        item->ValoresR.append(valor);
}

bool TPermissaoUsuario::TemPermissao(const QString& grupo, const QString& nome,
                                     const QString& valor) const {
    if (!Restrito) return true;
    if (Procura(grupo, QStringLiteral("Full"))) return true;
    const TItemPermissao* item = Procura(grupo, nome);
    if (!item) return false;
    if (item->ValoresR.isEmpty() && item->ValoresE.isEmpty()) return true;
    return (item->ValoresR.isEmpty() || item->ValoresR.contains(valor)) &&
           (item->ValoresE.isEmpty() || !item->ValoresE.contains(valor));
}

void TPermissaoUsuario::CarregaLinhaLogin(const QString& user, const QString& tipoUsuario,
                                          const QString& tipo, const QString& permissao,
                                          const QString& perfil, const QString& idUser) {
    bool ok = false;
    qint32 mask = permissao.trimmed().toInt(&ok);
    if (!ok) mask = 0;
    QString t;
    if (!tipoUsuario.isEmpty()) {
        if (tipoUsuario == u"p" || tipoUsuario == u"u")
            t = QStringLiteral("u");
        else if (tipoUsuario == u"a")
            t.clear();
        else
            t = tipoUsuario;
    } else {
        t = tipo;
    }
    SetaUsuario(user, t, mask, perfil);
    IdUser = idUser;
}
