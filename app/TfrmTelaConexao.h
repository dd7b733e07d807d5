#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class TLabelInformacao;
class TMonitor;

// "Conectar": choose or save a connection profile, edit the server address, and count down an
// automatic reconnection.
class TfrmTelaConexao : public QDialog {
    Q_OBJECT
public:
    TfrmTelaConexao(TMonitor* monitor, std::function<QStringList()> telasAbertas,
                    QWidget* parent = nullptr);

    void SetInformacao(const QString& text);
    // Selects the profile and loads its address into the edits.
    void SelecionaPerfil(const QString& nome);
    // Starts the one-second countdown with this many seconds (0 stops it).
    void IniciaContagem(int segundos);
    void HabilitaBotoes(bool enabled);
    // "Salvar como...": the list becomes editable and the button saves.
    void SetModoSalvar(bool salvar);
    bool ModoSalvar() const { return m_modoSalvar; }
    int Contagem() const { return m_contagem; }

    void ConectarClick();
    // One second of the countdown (the timer's handler).
    void ContagemTick();

    QComboBox* Perfis() const { return m_perfis; }
    QLineEdit* EditIP() const { return m_ip; }
    QLineEdit* EditPorta() const { return m_porta; }
    QPushButton* BotaoConectar() const { return m_conectar; }
    TLabelInformacao* Informacao() const { return m_info; }

private:
    void CarregaEndereco(const QString& perfil);

    TMonitor* m_monitor;
    std::function<QStringList()> m_telasAbertas;
    QComboBox* m_perfis;
    QLineEdit* m_ip;
    QLineEdit* m_porta;
    QPushButton* m_conectar;
    QPushButton* m_cancelar;
    TLabelInformacao* m_info;
    QTimer m_timer;
    int m_contagem = 0;
    bool m_modoSalvar = false;
};
