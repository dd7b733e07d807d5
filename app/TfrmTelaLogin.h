#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TLabelInformacao;
class TMonitor;

// "Login": the platform user's name and password.
class TfrmTelaLogin : public QDialog {
    Q_OBJECT
public:
    // `tag`: 0 normal, 1 change of user (reconnects with the new user), 2 user not found.
    TfrmTelaLogin(TMonitor* monitor, int tag, QWidget* parent = nullptr);

    void SetInformacao(const QString& text);
    void HabilitaBotoes(bool enabled);
    void LoginClick();
    int Tag() const { return m_tag; }

    QLineEdit* EditUsuario() const { return m_usuario; }
    QLineEdit* EditSenha() const { return m_senha; }
    QCheckBox* CheckSalvar() const { return m_salvar; }
    QPushButton* BotaoLogin() const { return m_login; }
    TLabelInformacao* Informacao() const { return m_info; }

private:
    TMonitor* m_monitor;
    int m_tag;
    QLineEdit* m_usuario;
    QLineEdit* m_senha;
    QCheckBox* m_salvar;
    QPushButton* m_login;
    QPushButton* m_cancelar;
    TLabelInformacao* m_info;
};
