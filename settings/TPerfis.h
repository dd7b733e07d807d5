#pragma once

#include <QString>
#include <QStringList>

// Connection profiles: one file "MonitorVesmara" + name + ".ini" per profile in the settings
// folder. The empty name is the default profile, which shares the global file.

// The global file, folder + "MonitorVesmara.ini".
QString ArquivoGlobal(const QString& pasta);

// A name that can become part of a file name in the settings folder: no folder separators,
// no control characters, not made of dots alone, short enough for a file name.
bool NomePerfilValido(const QString& perfil);

// The profile's file; empty text for a name that is not valid, which reads as a missing file.
QString ArquivoPerfil(const QString& pasta, const QString& perfil);

// The same for writing: throws TErroConfiguracao for a name that is not valid.
QString ArquivoPerfilParaGravar(const QString& pasta, const QString& perfil);

// Names of the profiles whose files exist, sorted without regard to case; "" for the default.
QStringList ListaPerfis(const QString& pasta);
