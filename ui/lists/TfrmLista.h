#pragma once

#include "base/TFiltroTexto.h"
#include "settings/TEsquemaCores.h"
#include "settings/TLargurasColunas.h"
#include "ui/lists/TColunaLista.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <vector>

class QLineEdit;
class QMenu;
class TDelegateLista;
class TModeloTabela;
class TMonitor;
class TSecaoTela;
class TVistaLista;

// A list window: one list of the model's objects shown as a list, a detailed list or tiles at
// six font levels, with the pop-up items every list window shares ("Modo de visualização",
// "Tamanho da fonte", "Cores..."), sorting by the window's comparison, a one-second tick and a
// half-second blink, and the settings of its section "Tela" + registry name. A window built on
// it gives its columns, its rows, its comparison and its own menu entries (TfrmListaDe).
class TfrmLista : public QWidget {
    Q_OBJECT
public:
    // What the widths of a column depend on.
    struct TLarguraColuna {
        int Largura = 0;
        QStringList Textos;
        bool Fixa = false;
    };

    TfrmLista(TMonitor* monitor, TModeloTabela* modelo, int alturaPadrao, int larguraPadrao,
              int maiorOrdem, QWidget* parent = nullptr);
    ~TfrmLista() override;

    // Settings of section "Tela" + the registry name (the window's object name).
    void LeVariaveis();
    void SalvaCfgForm();
    // A list inside another window keeps its view and widths in that window's section, under
    // its own key names ("ModoVisualizacao" + sufixo, prefixo + "Modo" m "Coluna" c).
    void LeVisualizacaoDe(const TSecaoTela& secao, const QString& sufixo, const QString& prefixo);
    void SalvaVisualizacaoEm(TSecaoTela& secao, const QString& sufixo, const QString& prefixo);
    void Inicio() { RefazListView(); }
    void RefazListView();

    void Timer1Timer();
    void Timer2Timer();
    void ColunaClicada(int coluna);
    void SetModoVisualizacao(int modo);
    void MudaFonte(int delta);
    // What tile line 1 or 2 shows, one of the window's choices (EscolhasTile).
    void SetMostrarNaLinha(int linha, int valor);
    int MostrarNaLinha1() const { return m_linha1; }
    int MostrarNaLinha2() const { return m_linha2; }
    // The colours changed: re-read them and redraw.
    void AtualizaCores();
    const TEsquemaCores& Esquema() const { return m_esquema; }
    // The pop-up menu for the selected row, as it is built when it opens.
    QMenu* MontaMenu();
    void AbreMenu(const QPoint& global);

    int ModoVisualizacao() const { return m_modo; }
    TModoVisualizacao Modo() const { return TModoVisualizacao(m_modo); }
    int SortCol() const { return m_sortCol; }
    bool SortDescendente() const { return m_sortDesc; }
    int NivelLista() const { return m_nivelLista; }
    int NivelIcone() const { return m_nivelIcone; }
    const TLargurasColunas& Larguras() const { return m_larguras; }
    TVistaLista* Vista() const { return m_vista; }
    TDelegateLista* Delegate() const { return m_delegate; }
    // A re-sort is waiting for the pointer to leave the rows or the menu to close.
    bool OrdemPendente() const { return m_ordemPendente; }

    QTimer Timer1;
    QTimer Timer2;

    // The search box (Ctrl+F; Esc empties and hides it), kept in the window's settings as
    // "Filtro". Rows that do not match are hidden, and come and go as they change
    // (TfrmListaFiltro.cpp).
    void DefineFiltro(const QString& texto);
    QString Filtro() const { return m_filtroTexto.Texto(); }
    QLineEdit* CaixaFiltro() const { return m_filtro; }
    // Hides the rows that do not match now (normally run once after a burst of changes).
    void AplicaFiltro();
    bool LinhaVisivel(int row) const;

Q_SIGNALS:
    // "Cores..." was confirmed: every window is to redraw with the new colours.
    void CoresAlteradas();

protected:
    // The window's columns in a list mode, for their widths.
    virtual std::vector<TLarguraColuna> LargurasDoModo(int modo) const = 0;
    // Sets the model's columns for the current mode.
    virtual void MontaColunas() = 0;
    // Adds and computes the rows.
    virtual void PreencheLinhas() = 0;
    virtual void OrdenaLinhas() = 0;
    // One tick; true when the order may have changed.
    virtual bool AtualizaTempos() = 0;
    virtual void Pisca() {}
    // Items before the shared ones.
    virtual void AdicionaItensMenu(QMenu*) {}
    // What a tile line may show; with choices, "Resumido" in the tile mode offers them for
    // each line ("Mostrar na linha 1" and 2) and the settings keep them.
    virtual QStringList EscolhasTile() const { return {}; }
    virtual bool TemCores() const { return true; }
    virtual void AbreCores() {}
    virtual void LeExtras(const TSecaoTela&) {}
    // The window's colour scheme from its section of the profile file.
    virtual TEsquemaCores LeEsquema(const QString&, const QString&) const {
        return EsquemaPadrao();
    }
    virtual void SalvaExtras(TSecaoTela&) {}
    // Texts a tile must show whole on each line.
    virtual QStringList AmostrasTile() const { return {QStringLiteral("00:00:00")}; }
    // Whether a changed state re-sorts (the window sorts by state).
    virtual bool OrdenaAoMudar() const { return m_sortCol == 0; }
    // Whether a second click on the state column turns its order round.
    virtual bool InverteEstado() const { return false; }

    // The texts a row is searched in (a window's own matcher); by default its cells.
    virtual QString TextoFiltro(int row) const;

    QString ArquivoPerfil() const;
    // Sorts now, or once the user no longer points at a row or has the menu open.
    void PedeOrdenacao();
    void GuardaLarguras();

    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void closeEvent(QCloseEvent* event) override;

    TMonitor* m_monitor;
    TModeloTabela* m_modeloTabela;
    TDelegateLista* m_delegate;
    TVistaLista* m_vista;
    int m_modo = 0;
    int m_nivelLista = 0;
    int m_nivelIcone = 0;
    int m_sortCol = 0;
    bool m_sortDesc = false;
    int m_linha1 = 0;
    int m_linha2 = 3;
    TEsquemaCores m_esquema = EsquemaPadrao();

private:
    void CriaFiltro();
    void AgendaFiltro();
    QLineEdit* m_filtro = nullptr;
    TFiltroTexto m_filtroTexto;
    bool m_filtroAgendado = false;
    TLargurasColunas LargurasPadrao(int nivel) const;
    void AjustaLarguras(int nivelAntigo, int nivelNovo);
    bool OrdemBloqueada() const;
    void AplicaOrdemPendente();

    int m_alturaPadrao;
    int m_larguraPadrao;
    int m_maiorOrdem;
    TLargurasColunas m_larguras;
    bool m_largurasLidas = false;
    bool m_menuAberto = false;
    bool m_ordemPendente = false;
    bool m_sobreLinhas = false;
    QPoint m_ponteiro;
};
