#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The settings of the global file that do not depend on the server.
struct TConfiguracaoGeral {
    QString ConexaoAtiva; // the active profile; "" for the default one
    bool Debug = false;   // only read: edited by hand
    bool DebugPacotes = false;
    bool ChatRxMensagem = false;
    int TempoNotificacao = 5;
    int TelaTop = 0; // position of the options dialog
    int TelaLeft = 0;
};

// A profile's connection and the windows to reopen after its next load.
struct TConfiguracaoConexao {
    QString IP;
    int Porta = 5038;
    QString Usuario;
    QString Senha;
    bool SalvarSenha = false;
    QStringList TelasAbrir;
};

// The connection part written with the global settings.
struct TConexaoSalva {
    QString IP;
    int Porta = 5038;
    QStringList TelasAbrir;
};

// The global file; the dialog position defaults to the centre of a screen of that size.
TConfiguracaoGeral LeConfiguracao(const QString& pasta, QSize tela);

// Writes "ConexaoAtiva" and the notification keys (never the debug keys) to the global file;
// with the connection part, also "IP", "Porta" and "TelasAbrir" to the file of
// geral.ConexaoAtiva. Throws TErroConfiguracao when a file cannot be written or the profile
// name cannot be a file name (then nothing is written).
void SalvaConfiguracao(const QString& pasta, const TConfiguracaoGeral& geral);
void SalvaConfiguracao(const QString& pasta, const TConfiguracaoGeral& geral,
                       const TConexaoSalva& conexao);

// The profile's connection keys and windows to reopen; defaults for a missing file or a
// profile name that cannot be a file name.
TConfiguracaoConexao LeConfiguracaoConexao(const QString& pasta, const QString& perfil);

// Writes the user, the "SalvarSenha" switch and the password, which is stored only when the
// switch is on: otherwise "Senha" is written empty, erasing a stored password.
void SalvaConfiguracaoUsuario(const QString& pasta, const QString& perfil, const QString& usuario,
                              const QString& senha, bool salvarSenha);

// The windows to reopen. A named queue summary ("Filas_" or "FilasChat_" + name) is kept only
// when its own section "Tela" + entry exists; every other entry is kept as stored.
QStringList LeTelasAbrir(const QString& pasta, const QString& perfil);

// The stored text of the list: entries joined by "," without blanks, and back. The empty text
// holds no entry; an empty piece between commas is an entry.
QString JuntaTelasAbrir(const QStringList& telas);
QStringList DivideTelasAbrir(const QString& texto);
