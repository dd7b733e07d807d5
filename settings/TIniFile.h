#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TIniDocumento;

// Several keys to be written to one file in a single atomic write (a window's whole section,
// for example), in the order given.
class TAlteracoesIni {
public:
    struct TValor {
        QString Secao;
        QString Chave;
        QString Texto;
    };

    void WriteString(const QString& secao, const QString& chave, const QString& valor);
    void WriteInteger(const QString& secao, const QString& chave, int valor);
    void WriteBool(const QString& secao, const QString& chave, bool valor);

    const QList<TValor>& Valores() const { return FValores; }
    bool isEmpty() const { return FValores.isEmpty(); }

private:
    QList<TValor> FValores;
};

// An INI file with the behaviour of the Windows private-profile functions, which wrote the
// files we must keep reading. Every call opens, reads or writes and closes the file; nothing is
// cached. A missing or unreadable file, section or key reads as the default. Writes replace
// the file atomically, keep every line they do not change byte for byte, leave the file
// readable by its owner only (it may hold a password), and throw TErroConfiguracao when the
// file cannot be written. A value is one line: line breaks and NULs in it are written as
// blanks.
class TIniFile {
public:
    // Larger files are read only up to here and are never rewritten: a settings file this big
    // is not ours, and rewriting it from a truncated read would lose its end.
    static constexpr qint64 TamanhoMaximo = 4 * 1024 * 1024;

    explicit TIniFile(QString arquivo);

    const QString& FileName() const { return FArquivo; }

    QString ReadString(const QString& secao, const QString& chave,
                       const QString& padrao = QString()) const;
    int ReadInteger(const QString& secao, const QString& chave, int padrao) const;
    bool ReadBool(const QString& secao, const QString& chave, bool padrao) const;
    bool SectionExists(const QString& secao) const;
    QStringList ReadSection(const QString& secao) const; // key names, in file order
    QStringList ReadSections() const;

    void WriteString(const QString& secao, const QString& chave, const QString& valor);
    void WriteInteger(const QString& secao, const QString& chave, int valor);
    void WriteBool(const QString& secao, const QString& chave, bool valor);
    void Write(const TAlteracoesIni& alteracoes);
    void EraseSection(const QString& secao);

private:
    TIniDocumento LeParaLeitura() const;
    template <typename Edicao> void Altera(Edicao&& edicao);

    QString FArquivo;
};
