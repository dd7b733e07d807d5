#pragma once

#include "model/TListaIndexada.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// A platform user, as the chat lists them.
struct TUsuarioVesmara : TItemIndexado {
    QString Usuario;
    QString Nome;
    QString Tipo;
    QString NomeExibicao() const { return Nome.isEmpty() ? Usuario : Nome; }
};

// All platform users, in arrival order, found by login name in constant time.
class TListaUsuarioVesmara {
public:
    // The first user with this exact login name whose type contains `filtroTipo` (when given).
    TUsuarioVesmara* Procura(const QString& usuario, const QString& filtroTipo = {}) const;
    TUsuarioVesmara* Adiciona(const QString& usuario);
    int Count() const { return m_itens.Count(); }
    TUsuarioVesmara* Item(int i) const { return m_itens.Item(i); }
    void Limpa();
    template <typename F> void ParaCada(F&& f) const { m_itens.ParaCada(std::forward<F>(f)); }

    // A row of the users query: rows without a login name are ignored.
    void TrataLinha(const QString& user, const QString& nome, const QString& tipo);

private:
    TListaIndexada<TUsuarioVesmara> m_itens;
    QHash<QString, TUsuarioVesmara*> m_porUsuario; // first user of each login name
};
