#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QStringList>

class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Personalizar tela de Resumo de ...": the custom screen's name, which columns show and in
// which order, and which queues show.
class TfrmPersonalizarResumoFilas : public QDialog {
    Q_OBJECT
public:
    // A queue as the lists show it: identifier and display name.
    using TItem = QPair<QString, QString>;

    explicit TfrmPersonalizarResumoFilas(const QString& tituloBase, QWidget* parent = nullptr);

    // `ordem`: columns by position; `visiveis`: per column.
    void Carrega(const QString& nomeTela, const QList<int>& ordem, const QList<bool>& visiveis,
                 const QList<TItem>& filasVisiveis, const QList<TItem>& filasOcultas);
    // Names of the other custom screens of the kind, for the duplicate check.
    void SetNomesEmUso(const QStringList& nomes) { m_nomesEmUso = nomes; }

    QString Nome() const;
    QList<int> ColunasVisiveis() const; // in the order listed
    QList<int> ColunasOcultas() const;
    QStringList FilasVisiveis() const; // identifiers
    QStringList FilasOcultas() const;
    // Why "OK" cannot close now; empty when it can.
    QString Erro() const;

    // The controls, for the tests.
    QLineEdit* EdNomeJanela() const { return m_nome; }
    QTreeWidget* ListaColunas(bool visiveis) const { return visiveis ? m_colVis : m_colOcu; }
    QTreeWidget* ListaFilas(bool visiveis) const { return visiveis ? m_filaVis : m_filaOcu; }
    QPushButton* Botao(const QString& nome) const;

    void accept() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Move(QTreeWidget* de, QTreeWidget* para);
    void Sobe(int passo);
    void AtualizaBotoes();
    static QStringList Ids(const QTreeWidget* lista);

    QLineEdit* m_nome;
    QTreeWidget *m_colOcu, *m_colVis, *m_filaOcu, *m_filaVis;
    QPushButton *m_colDir, *m_colEsq, *m_sobe, *m_desce, *m_filaDir, *m_filaEsq;
    QStringList m_nomesEmUso;
};
