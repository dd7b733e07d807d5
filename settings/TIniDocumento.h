#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The contents of one INI file, looked up and edited the way the Windows private-profile
// functions do it: section and key names compared without regard to case, the first matching
// section and the first matching key win, names and values trimmed, a value wrapped in matching
// quotes unwrapped. Every line that is not edited keeps its exact bytes, so comments, unknown
// keys, junk and text in another encoding survive a write.
class TIniDocumento {
public:
    static TIniDocumento FromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    std::optional<QString> Valor(const QString& secao, const QString& chave) const;
    bool TemSecao(const QString& secao) const;
    QStringList Chaves(const QString& secao) const;
    QStringList Secoes() const;

    // Throws TErroConfiguracao for a name that cannot be stored (empty, a key with "=", ...).
    void Define(const QString& secao, const QString& chave, const QString& valor);
    // Removes every section of that name with its lines.
    void ApagaSecao(const QString& secao);

private:
    enum class TFim : quint8 { Nenhum, Lf, CrLf };
    // A line is a slice of the file's bytes until it is edited.
    struct TLinha {
        qsizetype Inicio = 0;
        qsizetype Tamanho = 0;
        QByteArray Novo;
        bool Editada = false;
        TFim Fim = TFim::Nenhum;
    };
    // Lines of one section: the header and the lines up to the next header.
    struct TTrecho {
        qsizetype Cabecalho;
        qsizetype Fim;
    };

    QByteArrayView Texto(qsizetype linha) const;
    qsizetype FimDoTrecho(qsizetype cabecalho) const;
    std::optional<TTrecho> ProcuraSecao(const QString& secao) const;
    qsizetype ProcuraChave(TTrecho trecho, const QString& chave) const;
    void InsereLinha(qsizetype posicao, QByteArray texto);

    QByteArray FBytes;   // the file as read, after any byte-order mark
    QByteArray FPrefixo; // the byte-order mark, written back as found
    bool FUtf16 = false; // the file is UTF-16LE; FBytes holds it converted to UTF-8
    TFim FFimPadrao = TFim::CrLf;
    QList<TLinha> FLinhas;
};
