#pragma once

#include "ui/widgets/TItensAcessiveis.h"
#include "ui/widgets/TLayoutPainel.h"

#include <QColor>
#include <QSet>
#include <QWidget>

#include <memory>
#include <vector>

class QAccessibleInterface;

// What a queue card shows, already as numbers: the owner reads them from the model.
struct TCartaoFila {
    QString FilaId;
    QString Titulo;
    int Espera = 0;
    int MaiorEspera = -1; // seconds the oldest waiting call has waited; -1 with none waiting
    QString Servico;      // "87%"
    qint64 Atendidas = 0;
    qint64 Abandonadas = 0;
    int Livres = 0;
    int Ocupados = 0;
    int Pausados = 0;

    // The texts of the cells, in the order of TLayoutPainel::Rotulos().
    QStringList Valores() const;
};

// What an agent tile shows, as in the agents window's tiles.
struct TTileAtendente {
    QString Agent; // the agent's key, for the alert marks
    QString Numero;
    QString Nome;
    QString Estado;
    QString Duracao;
    QString Classe; // the colour class in words
    QColor Fundo;
    QColor Fonte;
};

// The wallboard itself: a header (title, clock, page), the queue cards and the agent tiles of
// the current page, placed by TLayoutPainel in the widget's own rectangle. Assistive technology
// reads it as a list with one item per card and tile of the page shown.
class TPainelParede : public QWidget {
    Q_OBJECT
public:
    explicit TPainelParede(QWidget* parent = nullptr);
    ~TPainelParede() override;

    void DefineDados(std::vector<TCartaoFila> cartoes, std::vector<TTileAtendente> tiles,
                     bool mostraAtendentes);
    const std::vector<TCartaoFila>& Cartoes() const { return m_cartoes; }
    const std::vector<TTileAtendente>& Tiles() const { return m_tiles; }
    void SetRelogio(const QString& texto);

    // The page shown; any number is taken modulo the page count.
    void SetPagina(int pagina);
    int Pagina() const { return m_pagina; }
    int Paginas() const { return Layout().Paginas(); }
    const TLayoutPainel& Layout() const;

    // Alerts set by whoever watches the thresholds: the card or tile is drawn in the warning
    // colour and read as alerting, whatever page it is on.
    void MarcaAlertaFila(const QString& filaId, bool alerta);
    void MarcaAlertaAtendente(const QString& agent, bool alerta);
    // Every mark at once (the window's second, from the model's active alerts).
    void DefineAlertas(QSet<QString> filas, QSet<QString> atendentes);
    bool FilaEmAlerta(const QString& filaId) const { return m_alertaFilas.contains(filaId); }
    bool AtendenteEmAlerta(const QString& agent) const {
        return m_alertaAtendentes.contains(agent);
    }
    static QColor CorAlerta() { return QColor(200, 40, 20); }

    // The cards then the tiles of the page shown, as assistive technology reads them.
    int ItensVisiveis() const;
    QString NomeItem(int i) const;
    QString DescricaoItem(int i) const;
    QRect RetanguloItem(int i) const;
    int ItemEm(QPoint p) const;
    QAccessibleInterface* Filho(int i);
    int IndiceDoFilho(const QAccessibleInterface* filho) const;

    // The text drawn in a rectangle that may be too narrow: the font steps down until it fits.
    static QFont FonteQueCabe(QFont fonte, const QString& texto, int largura);

Q_SIGNALS:
    void AlternaTelaCheia();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Refaz();
    void AtualizaAcessivel();
    void PintaCartao(QPainter& p, const QRect& r, const TCartaoFila& c) const;
    void PintaTile(QPainter& p, const QRect& r, const TTileAtendente& t) const;

    std::vector<TCartaoFila> m_cartoes;
    std::vector<TTileAtendente> m_tiles;
    bool m_mostraAtendentes = true;
    int m_pagina = 0;
    QString m_relogio;
    QSet<QString> m_alertaFilas, m_alertaAtendentes;
    mutable std::unique_ptr<TLayoutPainel> m_layout;
    TFilhosAcessiveis m_filhos;
};
