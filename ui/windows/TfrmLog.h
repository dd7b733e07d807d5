#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// "Debug": timestamped diagnostic lines, optionally every received packet, and dumps of the
// model state. Emptied completely when it grows past the line limit.
class TfrmLog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLinhas = 10000;

    explicit TfrmLog(QWidget* parent = nullptr);

    void Loga(const QString& text);
    void LogaPacote(const QString& packet);
    // Adds text as it is (the state dumps).
    void Adiciona(const QString& text);

    bool DebugMarcado() const;
    bool DebugPacotesMarcado() const;
    void SetDebug(bool on);
    void SetDebugPacotes(bool on);
    QString ItemSelecionado() const;

    QCheckBox* CheckDebug() const { return m_debug; }
    QCheckBox* CheckDebugPacotes() const { return m_debugPacotes; }
    QComboBox* ComboItens() const { return m_itens; }
    QPushButton* BotaoMostrar() const { return m_mostrar; }
    QPlainTextEdit* Memo() const { return m_memo; }

Q_SIGNALS:
    // Either box changed: the owner turns its log switches on or off.
    void OpcoesMudaram();
    // "Mostrar" with an item selected.
    void MostrarClicado(const QString& item);

private:
    void AplicaLimite();

    QPlainTextEdit* m_memo;
    QCheckBox* m_debug;
    QCheckBox* m_debugPacotes;
    QPushButton* m_mostrar;
    QComboBox* m_itens;
};
