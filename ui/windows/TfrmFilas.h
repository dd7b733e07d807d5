#pragma once

#include "monitor/TAviso.h"
#include "settings/TCfgTelaFilas.h"
#include "ui/windows/TListPanelFila.h"

#include <QDateTime>
#include <QHash>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class QMenu;
class QScrollArea;
class TFila;
class TMonitor;
class TPanelFila;

// "Filas" (voice queues), "Filas Chat" (chat queues) and their custom screens: one summary
// panel per queue the user may see, stacked and sharing the height (scrolling when they no
// longer fit at a usable height), each with its call-reason chart.
class TfrmFilas : public QWidget {
    Q_OBJECT
public:
    explicit TfrmFilas(TMonitor* monitor, QWidget* parent = nullptr);
    ~TfrmFilas() override;

    QString NomeBase = QStringLiteral("Filas");
    QString TituloBase = QStringLiteral("Filas");
    QString IdTela;
    QString NomeTela;
    QStringList FilasOcultas;
    bool MotivosDisponiveis = false;
    bool Exibida = false;

    // The chat-queue kind ("FilasChat", "Filas Chat") or the voice one.
    void DefineTipo(bool chat);
    bool EhChat() const { return m_chat; }
    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    // One panel per queue of the window's kind that the user may see and that is not hidden.
    void Preenche();
    bool FilaDoTipo(const TFila* fila) const;
    TPanelFila* CriaFila(TFila* fila);
    void AtualizaFila(TFila* fila);
    TListPanelFila& Paineis() { return m_paineis; }
    void Rearranja();

    // "Ocultar" (never the last panel) and "Mostrar"; false when nothing changed.
    bool OcultaFila(const QString& filaId);
    bool MostraFila(const QString& filaId);
    // The queues of the kind the user may see that have no panel; FilasOcultas becomes them.
    QList<TFila*> FilasSemPainel();

    const std::array<int, TCfgTelaFilas::kColunas>& Posicoes() const { return m_cfg.Posicoes; }
    const std::array<bool, TCfgTelaFilas::kColunas>& Visiveis() const { return m_cfg.Visiveis; }
    void AplicaColunas(TPanelFila* panel) const;

    // --- Call-reason charts ----------------------------------------------------------------
    TCfgGrafico CfgGrafico(const QString& filaId) const;
    void DesenhaGrafico(TPanelFila* panel);
    void AtualizaGraficos();
    void ClicaFatia(TPanelFila* panel, const QString& nome);
    void VoltaGrafico(TPanelFila* panel);
    void SetFatias(TPanelFila* panel, int n);
    void DefineCorMotivo(TPanelFila* panel, const QString& nome, int cor);
    void RestauraCoresMotivos();
    // After a colour change: the charts redraw.
    void AtualizaCores() { AtualizaGraficos(); }

    // --- Custom screens --------------------------------------------------------------------
    // "Personalizar...": the dialog, then AplicaPersonalizacao when confirmed.
    void Personaliza();
    // `colunasVisiveis` in the order wanted; queues by identifier. False when the name is empty.
    bool AplicaPersonalizacao(const QString& nome, const QList<int>& colunasVisiveis,
                              const QList<int>& colunasOcultas, const QStringList& filasVisiveis,
                              const QStringList& filasOcultas,
                              const QDateTime& agora = QDateTime::currentDateTime());
    // "Remover personalização" after the question; RemovePersonalizacao asks nothing.
    void PerguntaRemoverPersonalizacao();
    void RemovePersonalizacao();
    QMenu* MontaMenu();
    QMenu* MontaMenuGrafico(TPanelFila* panel);
    QString ArquivoPerfil() const;

    QTimer Timer1;

Q_SIGNALS:
    // A custom screen of the kind was saved or removed: the "Exibir" entries are refilled.
    void PersonalizacaoAlterada(const QString& nomeBase);
    // A reason colour changed: every chart redraws.
    void CoresMotivosAlteradas();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Timer1Timer();
    void Solta();
    TCfgGrafico& Grafico(const QString& filaId);
    TFila* FilaPorId(const QString& filaId) const;

    TMonitor* m_monitor;
    bool m_chat = false;
    bool m_removida = false;
    QScrollArea* m_rolagem;
    QWidget* m_coluna;
    TListPanelFila m_paineis;
    TCfgTelaFilas m_cfg;
    QHash<QString, TCfgGrafico> m_graficos;
    int m_alturaArranjada = -1;
    TAssinatura m_avisoFila, m_avisoMotivos;
};
