#include "model/users/TListaUsuarioVesmara.h"

TUsuarioVesmara* TListaUsuarioVesmara::Procura(const QString& usuario,
                                               const QString& filtroTipo) const {
    if (filtroTipo.isEmpty()) return m_porUsuario.value(usuario, nullptr);
    return m_itens.Primeiro([&](const TUsuarioVesmara* u) {
        return u->Usuario == usuario && u->Tipo.contains(filtroTipo);
    });
}

TUsuarioVesmara* TListaUsuarioVesmara::Adiciona(const QString& usuario) {
    auto user = std::make_unique<TUsuarioVesmara>();
    user->Usuario = usuario;
    TUsuarioVesmara* raw = m_itens.Adiciona(std::move(user));
    if (!m_porUsuario.contains(usuario)) m_porUsuario.insert(usuario, raw);
    return raw;
}

void TListaUsuarioVesmara::Limpa() {
    m_porUsuario.clear();
    m_itens.Limpa();
}

void TListaUsuarioVesmara::TrataLinha(const QString& user, const QString& nome,
                                      const QString& tipo) {
    if (user.isEmpty()) return;
    TUsuarioVesmara* u = Procura(user);
    if (!u) u = Adiciona(user);
    u->Nome = nome;
    u->Tipo = tipo;
}
