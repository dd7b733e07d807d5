#include "settings/TIniDocumento.h"

#include "base/TextDecoding.h"
#include "settings/TErroConfiguracao.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr QByteArrayView kBomUtf8("\xEF\xBB\xBF", 3);
constexpr QByteArrayView kBomUtf16Le("\xFF\xFE", 2);

enum class TTipo { Outra, Secao, Chave };

struct TAnalise {
    TTipo Tipo = TTipo::Outra;
    QByteArrayView Nome;
    QByteArrayView Valor;    // trimmed, quotes not yet removed
    qsizetype FimDoNome = 0; // a key line's bytes up to and including its "="
};

TAnalise Analisa(QByteArrayView linha) {
    TAnalise analise;
    const QByteArrayView texto = linha.trimmed();
    if (texto.isEmpty() || texto.front() == ';') return analise;
    if (texto.front() == '[') {
        QByteArrayView nome = texto.sliced(1);
        const qsizetype fecha = nome.indexOf(']');
        if (fecha >= 0) nome = nome.first(fecha);
        analise.Tipo = TTipo::Secao;
        analise.Nome = nome.trimmed();
        return analise;
    }
    // A line with neither header nor "=" is junk: kept, never a key.
    const qsizetype igual = linha.indexOf('=');
    if (igual < 0) return analise;
    analise.Tipo = TTipo::Chave;
    analise.Nome = linha.first(igual).trimmed();
    analise.Valor = linha.sliced(igual + 1).trimmed();
    analise.FimDoNome = igual + 1;
    return analise;
}

bool MesmoNome(QByteArrayView bytes, const QString& nome) {
    return QString::compare(DecodeText(bytes).trimmed(), nome, Qt::CaseInsensitive) == 0;
}

bool EhAspa(char c) {
    return c == '"' || c == '\'';
}

bool EhBranco(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView SemAspas(QByteArrayView valor) {
    if (valor.size() >= 2 && EhAspa(valor.front()) && valor.front() == valor.back())
        return valor.sliced(1, valor.size() - 2);
    return valor;
}

// A line holds one value: line breaks and NULs become blanks.
QString UmaLinha(QString texto) {
    for (QChar& c : texto)
        if (c == u'\r' || c == u'\n' || c == QChar(0)) c = u' ';
    return texto;
}

QString NomeNormalizado(const QString& nome) {
    return UmaLinha(nome).trimmed();
}

// Blanks at the ends and a pair of enclosing quotes would be lost on reading, so such a value
// is written inside double quotes; the reader (ours and the Windows one) removes them again.
QByteArray ValorGravado(const QString& valor) {
    QByteArray bytes = EncodeText(UmaLinha(valor));
    if (bytes.isEmpty()) return bytes;
    const bool aspas =
        EhBranco(bytes.front()) || EhBranco(bytes.back()) ||
        (bytes.size() >= 2 && EhAspa(bytes.front()) && bytes.front() == bytes.back());
    if (aspas) bytes = QByteArray(1, '"') + bytes + '"';
    return bytes;
}

void ValidaNomes(const QString& secao, const QString& chave) {
    if (secao.isEmpty() || secao.contains(u']'))
        throw TErroConfiguracao(u"Nome de seção inválido para o arquivo de configuração: \"" +
                                secao + u'"');
    if (chave.isEmpty() || chave.contains(u'=') || chave.startsWith(u';') || chave.startsWith(u'['))
        throw TErroConfiguracao(u"Nome de chave inválido para o arquivo de configuração: \"" +
                                chave + u'"');
}

} // namespace

TIniDocumento TIniDocumento::FromBytes(const QByteArray& bytes) {
    TIniDocumento doc;
    const QByteArrayView tudo(bytes);
    if (tudo.startsWith(kBomUtf8)) {
        doc.FPrefixo = kBomUtf8.toByteArray();
        doc.FBytes = bytes.sliced(kBomUtf8.size());
    } else if (tudo.startsWith(kBomUtf16Le)) {
        // Files saved as Unicode by Windows tools: edited as UTF-8, written back as UTF-16.
        doc.FPrefixo = kBomUtf16Le.toByteArray();
        doc.FUtf16 = true;
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        doc.FBytes = QString(utf16.decode(tudo.sliced(kBomUtf16Le.size()))).toUtf8();
    } else {
        doc.FBytes = bytes;
    }

    const QByteArray& texto = doc.FBytes;
    bool estiloVisto = false;
    qsizetype inicio = 0;
    while (inicio < texto.size()) {
        TLinha linha;
        linha.Inicio = inicio;
        const qsizetype quebra = texto.indexOf('\n', inicio);
        if (quebra < 0) {
            linha.Tamanho = texto.size() - inicio;
            inicio = texto.size();
        } else {
            const bool cr = quebra > inicio && texto[quebra - 1] == '\r';
            linha.Fim = cr ? TFim::CrLf : TFim::Lf;
            linha.Tamanho = quebra - inicio - (cr ? 1 : 0);
            inicio = quebra + 1;
            if (!estiloVisto) doc.FFimPadrao = linha.Fim;
            estiloVisto = true;
        }
        doc.FLinhas.append(linha);
    }
    return doc;
}

QByteArray TIniDocumento::ToBytes() const {
    QByteArray corpo;
    corpo.reserve(FBytes.size() + 256);
    for (qsizetype i = 0; i < FLinhas.size(); ++i) {
        corpo += Texto(i);
        if (FLinhas[i].Fim == TFim::CrLf) corpo += "\r\n";
        if (FLinhas[i].Fim == TFim::Lf) corpo += '\n';
    }
    if (FUtf16) {
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        corpo = utf16.encode(QString::fromUtf8(corpo));
    }
    return FPrefixo + corpo;
}

QByteArrayView TIniDocumento::Texto(qsizetype linha) const {
    const TLinha& l = FLinhas[linha];
    if (l.Editada) return l.Novo;
    return QByteArrayView(FBytes).sliced(l.Inicio, l.Tamanho);
}

qsizetype TIniDocumento::FimDoTrecho(qsizetype cabecalho) const {
    qsizetype i = cabecalho + 1;
    while (i < FLinhas.size() && Analisa(Texto(i)).Tipo != TTipo::Secao)
        ++i;
    return i;
}

std::optional<TIniDocumento::TTrecho> TIniDocumento::ProcuraSecao(const QString& secao) const {
    for (qsizetype i = 0; i < FLinhas.size(); ++i) {
        const TAnalise analise = Analisa(Texto(i));
        if (analise.Tipo == TTipo::Secao && MesmoNome(analise.Nome, secao))
            return TTrecho{i, FimDoTrecho(i)};
    }
    return std::nullopt;
}

qsizetype TIniDocumento::ProcuraChave(TTrecho trecho, const QString& chave) const {
    for (qsizetype i = trecho.Cabecalho + 1; i < trecho.Fim; ++i) {
        const TAnalise analise = Analisa(Texto(i));
        if (analise.Tipo == TTipo::Chave && MesmoNome(analise.Nome, chave)) return i;
    }
    return -1;
}

std::optional<QString> TIniDocumento::Valor(const QString& secao, const QString& chave) const {
    const QString nomeChave = NomeNormalizado(chave);
    if (nomeChave.isEmpty()) return std::nullopt;
    const auto trecho = ProcuraSecao(NomeNormalizado(secao));
    if (!trecho) return std::nullopt;
    const qsizetype linha = ProcuraChave(*trecho, nomeChave);
    if (linha < 0) return std::nullopt;
    return DecodeText(SemAspas(Analisa(Texto(linha)).Valor));
}

bool TIniDocumento::TemSecao(const QString& secao) const {
    return ProcuraSecao(NomeNormalizado(secao)).has_value();
}

QStringList TIniDocumento::Chaves(const QString& secao) const {
    QStringList chaves;
    const auto trecho = ProcuraSecao(NomeNormalizado(secao));
    if (!trecho) return chaves;
    for (qsizetype i = trecho->Cabecalho + 1; i < trecho->Fim; ++i) {
        const TAnalise analise = Analisa(Texto(i));
        if (analise.Tipo == TTipo::Chave && !analise.Nome.isEmpty())
            chaves.append(DecodeText(analise.Nome));
    }
    return chaves;
}

QStringList TIniDocumento::Secoes() const {
    QStringList secoes;
    QSet<QString> vistas;
    for (qsizetype i = 0; i < FLinhas.size(); ++i) {
        const TAnalise analise = Analisa(Texto(i));
        if (analise.Tipo != TTipo::Secao) continue;
        const QString nome = DecodeText(analise.Nome).trimmed();
        const QString chave = nome.toCaseFolded();
        if (vistas.contains(chave)) continue;
        vistas.insert(chave);
        secoes.append(nome);
    }
    return secoes;
}

void TIniDocumento::Define(const QString& secao, const QString& chave, const QString& valor) {
    const QString nomeSecao = NomeNormalizado(secao);
    const QString nomeChave = NomeNormalizado(chave);
    ValidaNomes(nomeSecao, nomeChave);
    const QByteArray bytesValor = ValorGravado(valor);

    const auto trecho = ProcuraSecao(nomeSecao);
    if (!trecho) {
        InsereLinha(FLinhas.size(), '[' + EncodeText(nomeSecao) + ']');
        InsereLinha(FLinhas.size(), EncodeText(nomeChave) + '=' + bytesValor);
        return;
    }
    qsizetype ultimaChave = trecho->Cabecalho;
    for (qsizetype i = trecho->Cabecalho + 1; i < trecho->Fim; ++i) {
        const TAnalise analise = Analisa(Texto(i));
        if (analise.Tipo != TTipo::Chave) continue;
        if (MesmoNome(analise.Nome, nomeChave)) {
            // Keep the key as spelled in the file, replace only what follows "=".
            TLinha& linha = FLinhas[i];
            linha.Novo = Texto(i).first(analise.FimDoNome).toByteArray() + bytesValor;
            linha.Editada = true;
            return;
        }
        ultimaChave = i;
    }
    // After the section's last key, so blank lines and comments before the next header stay
    // with that header.
    InsereLinha(ultimaChave + 1, EncodeText(nomeChave) + '=' + bytesValor);
}

void TIniDocumento::ApagaSecao(const QString& secao) {
    const QString nome = NomeNormalizado(secao);
    while (const auto trecho = ProcuraSecao(nome))
        FLinhas.remove(trecho->Cabecalho, trecho->Fim - trecho->Cabecalho);
}

void TIniDocumento::InsereLinha(qsizetype posicao, QByteArray texto) {
    if (posicao > 0 && FLinhas[posicao - 1].Fim == TFim::Nenhum)
        FLinhas[posicao - 1].Fim = FFimPadrao;
    TLinha linha;
    linha.Novo = std::move(texto);
    linha.Editada = true;
    linha.Fim = FFimPadrao;
    FLinhas.insert(posicao, linha);
}
