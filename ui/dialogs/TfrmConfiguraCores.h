#pragma once

#include "settings/TEsquemaCores.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// "Personalizar cores": chooses between the built-in colours, personalised ones and (for queue
// windows) the agents window's, edits the personalised background and text colours of five
// states, and tells where a queue window's choice applies.
class TfrmConfiguraCores : public QDialog {
    Q_OBJECT
public:
    // `arquivo`: the profile's settings file.
    explicit TfrmConfiguraCores(const QString& arquivo, QWidget* parent = nullptr);

    // The agents window: "Padrão do Monitor Vesmara", "Personalizadas", no "Aplicar" choice.
    void ConfiguraParaAtendentes();
    // A queue window: the agents window's colours as a third choice, and where to apply them.
    void ConfiguraParaFila(const QString& legenda);
    // Reads the schemes for the window's section ("Tela" + its registry name).
    void LeConfigCores(const QString& secao);

    void SelecionaUtilizar(int escolha);
    // The colour chooser's result for the selected row (background or text); tests call these
    // directly instead of opening the chooser.
    void AplicaCor(bool fundo, int cor);
    void OkClick();

    const TEsquemaCores& Trabalho() const { return m_trabalho; }
    const TEsquemaCores& Editado() const { return m_editado; }
    QComboBox* ComboUtilizar() const { return m_utilizar; }
    QComboBox* ComboAplicar() const { return m_aplicar; }
    QListWidget* ListaEstados() const { return m_estados; }
    QPushButton* BotaoFundo() const { return m_fundo; }
    QPushButton* BotaoFonte() const { return m_fonte; }
    // The warning colour of rows and panels in alert, saved with the rest on "OK".
    QPushButton* BotaoAlerta() const { return m_alerta; }
    int CorAlerta() const { return m_corAlerta; }
    void AplicaCorAlerta(int cor);

protected:
    void done(int result) override;

private:
    void RedesenhaLista();
    void AtualizaBotoes();
    void EscolheCor(bool fundo);
    TClasseCor ClasseSelecionada() const;

    QString m_arquivo;
    QString m_secao;
    TEsquemaCores m_trabalho;
    TEsquemaCores m_padrao;
    TEsquemaCores m_atendentes;
    TEsquemaCores m_editado;
    QComboBox* m_utilizar;
    QListWidget* m_estados;
    QPushButton* m_fundo;
    QPushButton* m_fonte;
    QLabel* m_rotuloAplicar;
    QComboBox* m_aplicar;
    QPushButton* m_alerta;
    int m_corAlerta = 0;
    bool m_corAlertaMudou = false;
};
