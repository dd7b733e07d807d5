#include "settings/TIniFile.h"

#include "settings/TErroConfiguracao.h"
#include "settings/TIniDocumento.h"
#include "settings/TIniValores.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr QFileDevice::Permissions kSomenteDono = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

enum class TEstado { Ausente, Lido, Grande, Ilegivel };

struct TLeitura {
    TEstado Estado = TEstado::Ausente;
    QByteArray Bytes;
};

TLeitura LeArquivo(const QString& arquivo) {
    const QFileInfo info(arquivo);
    if (!info.exists()) return {};
    // A directory or a device under a settings name is not read (a pipe would block).
    if (!info.isFile()) return {TEstado::Ilegivel, {}};
    QFile file(arquivo);
    if (!file.open(QIODevice::ReadOnly)) return {TEstado::Ilegivel, {}};
    QByteArray bytes = file.read(TIniFile::TamanhoMaximo + 1);
    if (file.error() != QFileDevice::NoError) return {TEstado::Ilegivel, {}};
    if (bytes.size() <= TIniFile::TamanhoMaximo) return {TEstado::Lido, bytes};
    // Only whole lines of an oversized file: a cut value would read as a wrong one.
    bytes.truncate(TIniFile::TamanhoMaximo);
    bytes.truncate(bytes.lastIndexOf('\n') + 1);
    return {TEstado::Grande, bytes};
}

QString TextoBool(bool valor) {
    return valor ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void TAlteracoesIni::WriteString(const QString& secao, const QString& chave, const QString& valor) {
    FValores.append({secao, chave, valor});
}

void TAlteracoesIni::WriteInteger(const QString& secao, const QString& chave, int valor) {
    FValores.append({secao, chave, QString::number(valor)});
}

void TAlteracoesIni::WriteBool(const QString& secao, const QString& chave, bool valor) {
    FValores.append({secao, chave, TextoBool(valor)});
}

TIniFile::TIniFile(QString arquivo) : FArquivo(std::move(arquivo)) {}

template <typename Edicao> void TIniFile::Altera(Edicao&& edicao) {
    const TLeitura leitura = LeArquivo(FArquivo);
    // Rewriting from a failed or partial read would throw away what could not be read.
    if (leitura.Estado == TEstado::Ilegivel)
        throw TErroConfiguracao(u"Não foi possível ler o arquivo " + FArquivo);
    if (leitura.Estado == TEstado::Grande)
        throw TErroConfiguracao(u"O arquivo " + FArquivo + u" é grande demais para ser alterado");

    TIniDocumento doc = TIniDocumento::FromBytes(leitura.Bytes);
    edicao(doc);
    const QByteArray bytes = doc.ToBytes();
    if (bytes == leitura.Bytes) {
        // Nothing changed (a window closed as it was opened): no rewrite, but the same
        // permissions as after one.
        if (leitura.Estado == TEstado::Lido) QFile::setPermissions(FArquivo, kSomenteDono);
        return;
    }

    QSaveFile arquivo(FArquivo);
    const bool gravou = arquivo.open(QIODevice::WriteOnly) &&
                        arquivo.setPermissions(kSomenteDono) &&
                        arquivo.write(bytes) == bytes.size() && arquivo.commit();
    if (!gravou) throw TErroConfiguracao(u"Não foi possível gravar o arquivo " + FArquivo);
}

TIniDocumento TIniFile::LeParaLeitura() const {
    const TLeitura leitura = LeArquivo(FArquivo);
    return TIniDocumento::FromBytes(leitura.Estado == TEstado::Ilegivel ? QByteArray()
                                                                        : leitura.Bytes);
}

QString TIniFile::ReadString(const QString& secao, const QString& chave,
                             const QString& padrao) const {
    return LeParaLeitura().Valor(secao, chave).value_or(padrao);
}

int TIniFile::ReadInteger(const QString& secao, const QString& chave, int padrao) const {
    const auto texto = LeParaLeitura().Valor(secao, chave);
    return texto ? TextoParaInteiro(*texto, padrao) : padrao;
}

bool TIniFile::ReadBool(const QString& secao, const QString& chave, bool padrao) const {
    return ReadInteger(secao, chave, padrao ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const QString& secao) const {
    return LeParaLeitura().TemSecao(secao);
}

QStringList TIniFile::ReadSection(const QString& secao) const {
    return LeParaLeitura().Chaves(secao);
}

QStringList TIniFile::ReadSections() const {
    return LeParaLeitura().Secoes();
}

void TIniFile::WriteString(const QString& secao, const QString& chave, const QString& valor) {
    Altera([&](TIniDocumento& doc) { doc.Define(secao, chave, valor); });
}

void TIniFile::WriteInteger(const QString& secao, const QString& chave, int valor) {
    WriteString(secao, chave, QString::number(valor));
}

void TIniFile::WriteBool(const QString& secao, const QString& chave, bool valor) {
    WriteString(secao, chave, TextoBool(valor));
}

void TIniFile::Write(const TAlteracoesIni& alteracoes) {
    if (alteracoes.isEmpty()) return;
    Altera([&](TIniDocumento& doc) {
        for (const TAlteracoesIni::TValor& valor : alteracoes.Valores())
            doc.Define(valor.Secao, valor.Chave, valor.Texto);
    });
}

void TIniFile::EraseSection(const QString& secao) {
    Altera([&](TIniDocumento& doc) { doc.ApagaSecao(secao); });
}
