#pragma once

#include <QString>

#include <stdexcept>

// A settings file that could not be written, or a name that cannot be stored in one. The
// message is for the user (Portuguese) and names the file; the application's error hook
// shows it.
class TErroConfiguracao : public std::runtime_error {
public:
    explicit TErroConfiguracao(const QString& mensagem)
        : std::runtime_error(mensagem.toStdString()), FMensagem(mensagem) {}

    const QString& Mensagem() const { return FMensagem; }

private:
    QString FMensagem;
};
