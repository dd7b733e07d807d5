#pragma once

#include "settings/TRegrasAlerta.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QTableWidget;

// "Regras de alerta": the rules as rows (kind, queue or pause reason, threshold), added,
// removed or put back to the defaults, and whether a new alert is notified on the desktop and
// with a sound. "OK" refuses a row that is not a valid rule and says which.
class TfrmRegrasAlerta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRegrasAlerta(QWidget* parent = nullptr);

    enum { cTipo = 0, cAlvo, cLimite };
    void SetRegras(const std::vector<TRegraAlerta>& regras, const TOpcoesAlerta& opcoes);
    // The rows as rules (invalid ones included: Valida tells).
    std::vector<TRegraAlerta> Regras() const;
    TOpcoesAlerta Opcoes() const;
    // The first invalid row, or -1.
    int LinhaInvalida() const;

    void AdicionaLinha(const TRegraAlerta& regra);
    void RemoveLinha(int row);
    QTableWidget* Tabela() const { return m_tabela; }
    QLabel* Erro() const { return m_erro; }
    void OkClick();

private:
    void TipoMudou(int row);

    QTableWidget* m_tabela;
    QCheckBox* m_notificar;
    QCheckBox* m_som;
    QLabel* m_erro;
};
