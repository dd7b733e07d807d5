#include "settings/TSettingsFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif

namespace {

QString ComBarra(const QString& pasta) {
    QString caminho = QDir::fromNativeSeparators(pasta);
    if (!caminho.endsWith(u'/')) caminho += u'/';
    return caminho;
}

// Creates only the last level with owner-only permissions from the start; the folders above
// it are ordinary ones that other programs share.
void CriaPasta(const QString& pasta) {
    const QFileInfo info(QDir::cleanPath(pasta));
    if (info.exists()) return;
    QDir().mkpath(info.absolutePath());
    QDir(info.absolutePath())
        .mkdir(info.fileName(),
               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString NomeDoSistema() {
#ifdef Q_OS_UNIX
    long tamanho = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(tamanho > 0 ? std::size_t(tamanho) : 16384);
    passwd registro{};
    passwd* achado = nullptr;
    if (getpwuid_r(geteuid(), &registro, buffer.data(), buffer.size(), &achado) == 0 && achado)
        return QString::fromLocal8Bit(achado->pw_name);
#endif
    return QString();
}

} // namespace

QString SettingsFolder() {
    QString pasta = qEnvironmentVariable("MONITORVESMARA_DIR");
    if (pasta.isEmpty()) {
        const QString perfil = qEnvironmentVariable("USERPROFILE");
        if (!perfil.isEmpty() && QFileInfo(perfil).isDir()) return ComBarra(perfil);
        pasta = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/MonitorVesmara");
    }
    pasta = ComBarra(pasta);
    CriaPasta(pasta);
    return pasta;
}

QString WindowsUserName() {
    for (const char* variavel : {"USERNAME", "USER"}) {
        const QString nome = qEnvironmentVariable(variavel);
        if (!nome.isEmpty()) return nome;
    }
    return NomeDoSistema();
}
