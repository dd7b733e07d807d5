#include "settings/TPerfis.h"

#include "base/TextDecoding.h"
#include "settings/TErroConfiguracao.h"

#include <QDir>

#include <algorithm>

namespace {

const QString kPrefixo = QStringLiteral("MonitorVesmara");
const QString kExtensao = QStringLiteral(".ini");
constexpr qsizetype kMaiorNomeDeArquivo = 255;

bool SoPontos(const QString& nome) {
    const QString aparado = nome.trimmed();
    return !aparado.isEmpty() &&
           std::all_of(aparado.begin(), aparado.end(), [](QChar c) { return c == u'.'; });
}

} // namespace

QString ArquivoGlobal(const QString& pasta) {
    return pasta + kPrefixo + kExtensao;
}

bool NomePerfilValido(const QString& perfil) {
    for (QChar c : perfil)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    if (SoPontos(perfil)) return false;
    return EncodeText(kPrefixo + perfil + kExtensao).size() <= kMaiorNomeDeArquivo;
}

QString ArquivoPerfil(const QString& pasta, const QString& perfil) {
    if (!NomePerfilValido(perfil)) return QString();
    return pasta + kPrefixo + perfil + kExtensao;
}

QString ArquivoPerfilParaGravar(const QString& pasta, const QString& perfil) {
    if (!NomePerfilValido(perfil))
        throw TErroConfiguracao(u"Nome de conexão inválido: \"" + perfil + u'"');
    return ArquivoPerfil(pasta, perfil);
}

QStringList ListaPerfis(const QString& pasta) {
    // Matched with case, as the files are then opened by exact name.
    const QStringList arquivos =
        QDir(pasta).entryList({kPrefixo + u'*' + kExtensao}, QDir::Files | QDir::CaseSensitive);
    QStringList perfis;
    for (const QString& arquivo : arquivos) {
        const QString perfil =
            arquivo.mid(kPrefixo.size(), arquivo.size() - kPrefixo.size() - kExtensao.size());
        if (NomePerfilValido(perfil)) perfis.append(perfil);
    }
    std::sort(perfis.begin(), perfis.end(), [](const QString& a, const QString& b) {
        const int ordem = QString::compare(a, b, Qt::CaseInsensitive);
        return ordem != 0 ? ordem < 0 : a < b;
    });
    return perfis;
}
