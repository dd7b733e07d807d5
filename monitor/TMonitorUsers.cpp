// Rows and events that say who the logged-in user is and what the user may see.
#include "base/ActionText.h"
#include "link/TPacketManagerParser.h"
#include "monitor/TMonitor.h"

void TMonitor::RowPerfilConfiguracao(const TPacketManagerParser& p) {
    bool ok = false;
    const int status = p.GetValueView(u"Status").toInt(&ok);
    if (!ok || status != 1) return;
    const QString id = p.GetValue(u"PerfilConfiguracaoId");
    // The id goes back to the server inside quoted filters.
    if (!IsSafeFilterValue(id)) {
        Loga(u"PerfilConfiguracaoId recusado: " + id);
        return;
    }
    PerfilConfiguracaoId = id;
}

void TMonitor::RowLoginVesmara(const TPacketManagerParser& p) {
    Permissoes.CarregaLinhaLogin(p.GetValue(u"user"), p.GetValue(u"tipoUsuario"),
                                 p.GetValue(u"tipo"), p.GetValue(u"permissao"),
                                 p.GetValue(u"perfil"), p.GetValue(u"idUser"));
}

void TMonitor::RowPermissaoUsuario(const TPacketManagerParser& p) {
    const QString usuario = p.GetValue(u"Usuario");
    if (usuario.isEmpty() || usuario != Permissoes.NomeConsulta()) return;
    Permissoes.AdicionaPermissao(p.GetValue(u"PermissaoGrupoId"), p.GetValue(u"PermissaoNomeId"));
}

void TMonitor::RowPermissaoUsuarioExtra(const TPacketManagerParser& p) {
    const QString usuario = p.GetValue(u"Usuario");
    if (usuario.isEmpty() || usuario != Permissoes.NomeConsulta()) return;
    Permissoes.AdicionaValor(p.GetValue(u"PermissaoGrupoId"), p.GetValue(u"PermissaoNomeId"),
                             p.GetValue(u"Valor"), p.GetValue(u"Tipo"));
}

void TMonitor::RowUsuariosVesmara(const TPacketManagerParser& p) {
    UsuariosVesmara.TrataLinha(p.GetValue(u"user"), p.GetValue(u"nome"), p.GetValue(u"tipo"));
}

void TMonitor::EvUserPermission(const TPacketManagerParser& p, int) {
    Permissoes.AdicionaPermissao(p.GetValue(u"Group"), p.GetValue(u"Permission"));
}

void TMonitor::EvUserPermissionDetail(const TPacketManagerParser& p, int) {
    const QString grupo = p.GetValue(u"Group");
    const QString nome = p.GetValue(u"Permission");
    for (int i = 1; i < 10; ++i) {
        const QString value = p.GetValue(QString(u"Value" + QString::number(i)));
        if (value.isEmpty()) break;
        Permissoes.AdicionaValor(grupo, nome, value, QStringLiteral("R"));
    }
}

void TMonitor::EvUserPermissionsComplete(const TPacketManagerParser& p, int) {
    if (p.GetValueView(u"ActionID") == u"ZXGetUserPermissions") SendAfterLogin();
}

// --- Dispatcher registration -----------------------------------------------------------------

// The platform user, the configuration profile, permissions and the platform's users.
const TMonitor::TDominio& TMonitor::DominioUsuarios() {
    static const TDominio d{
        "Usuarios",
        {
            {QStringLiteral("zxuserpermission"), &TMonitor::EvUserPermission},
            {QStringLiteral("zxuserpermissiondetail"), &TMonitor::EvUserPermissionDetail},
            {QStringLiteral("zxuserpermissionscomplete"), &TMonitor::EvUserPermissionsComplete},
        },
        {
            {QStringLiteral("ZXDBListaPerfilConfiguracao"), &TMonitor::RowPerfilConfiguracao},
            {QStringLiteral("ZXDBLoginVesmara"), &TMonitor::RowLoginVesmara},
            {QStringLiteral("ZXDBListaPermissaoUsuario"), &TMonitor::RowPermissaoUsuario},
            {QStringLiteral("ZXDBListaPermissaoUsuarioExtra"), &TMonitor::RowPermissaoUsuarioExtra},
            {QStringLiteral("ZXDBUsuariosVesmara"), &TMonitor::RowUsuariosVesmara},
        }};
    return d;
}
