#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One right of a restricted user: a permission of a group, optionally narrowed to listed values
// (ValoresR) or widened to everything but excluded values (ValoresE).
struct TItemPermissao : TItemIndexado {
    QString Grupo;
    QString Nome;
    QStringList ValoresR;
    QStringList ValoresE;
};

// Who the logged-in platform user is and what that user may see.
class TPermissaoUsuario {
public:
    QString Usuario;
    QString Perfil;
    QString Tipo;
    QString IdUser;
    bool Restrito = false;
    qint32 Permissao = 0;

    void Limpa();
    void SetaUsuario(const QString& usuario, const QString& tipo, qint32 permissao,
                     const QString& perfil);
    // The name the permission tables list this user's rights under.
    QString NomeConsulta() const { return Perfil.isEmpty() ? Usuario : Perfil; }
    // Group and name compare without regard to case.
    TItemPermissao* Procura(const QString& grupo, const QString& nome) const;
    const TListaIndexada<TItemPermissao>& Itens() const { return m_itens; }
    void AdicionaPermissao(const QString& grupo, const QString& nome);
    void AdicionaValor(const QString& grupo, const QString& nome, const QString& valor,
                       const QString& tipo);
    bool TemPermissao(const QString& grupo, const QString& nome, const QString& valor) const;
    bool TemBit(qint32 mask) const { return (Permissao & mask) != 0; }
    // The newer permission form (events) applies to users with a platform id.
    bool FormaNova() const { return !IdUser.isEmpty(); }

    // The login row: normalises the user type and fills the fields.
    void CarregaLinhaLogin(const QString& user, const QString& tipoUsuario, const QString& tipo,
                           const QString& permissao, const QString& perfil, const QString& idUser);

private:
    static QString Chave(const QString& grupo, const QString& nome);
    TListaIndexada<TItemPermissao> m_itens;
    QHash<QString, TItemPermissao*> m_porChave;
};
