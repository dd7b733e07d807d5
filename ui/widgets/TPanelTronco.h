#pragma once

#include "ui/widgets/TItensAcessiveis.h"

#include <QAccessible>
#include <QColor>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QTreeWidget;
class TCanalTronco;
class TTronco;

// The strip of a trunk panel: a numbered cell per line, coloured by the line's call and state,
// holding the direction letter of its call. Assistive technology reads each cell as a child
// (number, state, direction, phone number, alarm).
class TFaixaTronco : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCelula = 22;
    static constexpr int kCabecalho = 16;

    explicit TFaixaTronco(QWidget* parent = nullptr);
    ~TFaixaTronco() override;

    int Quantidade() const { return m_canais ? int(m_canais->size()) : 0; }
    void DefineCanais(const std::vector<TCanalTronco*>* canais);
    // The cell of line i, in the strip's own coordinates.
    QRect RetanguloCelula(int i) const;
    QString NomeCelula(int i) const;
    QString DescricaoCelula(int i) const;
    int CelulaEm(QPoint p) const;
    // Keeps the size and the accessible children in step with the lines.
    void Atualiza();

    // Colour and text of a line's cell.
    static QColor CorCanal(const TCanalTronco& c);
    static QString TextoCanal(const TCanalTronco& c);
    // The state as words: the call leg's state, or free, failure or signalling.
    static QString EstadoCanal(const TCanalTronco& c);

    // Accessible ids of the cells, created as they are asked for.
    QAccessibleInterface* Filho(int i);
    int IndiceDoFilho(const QAccessibleInterface* filho) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The panel's lines (not owned).
    const std::vector<TCanalTronco*>* m_canais = nullptr;
    TFilhosAcessiveis m_filhos;
};

// One trunk panel: the number of lines, the strip, the occupancy bar, the outgoing, incoming
// and dialer counters and a one-minute occupancy graph; a digital or SIP trunk has one of its
// own, the cellular and analogue trunks share one per kind. An expanded panel (single-trunk
// windows) adds a detail list with one row per line.
class TPanelTronco : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAltura = 87;
    static constexpr int kLargura = 978;
    static constexpr int kAmostras = 60;
    // Where the strip and the bar begin, after their labels.
    static constexpr int kEsquerda = 80;
    static constexpr int kLinhasVisiveis = 31;

    // `tipo`: "d", "s", "c" or "a"; `tronco`: none for the shared panels.
    TPanelTronco(const QString& tipo, TTronco* tronco, bool expandido, QWidget* parent = nullptr);

    const QString& Tipo() const { return m_tipo; }
    TTronco* Tronco() const { return m_tronco; }
    bool Expandido() const { return m_detalhe != nullptr; }
    QString Titulo() const;
    const std::vector<TCanalTronco*>& Canais() const { return m_canais; }
    bool Mostra(const TCanalTronco* canal) const;
    QTreeWidget* Detalhe() const { return m_detalhe; }
    TFaixaTronco* Faixa() const { return m_faixa; }

    // Appends a line; its detail row is captioned `legenda`.
    void AdicionaCanal(TCanalTronco* canal, const QString& legenda);
    // Refreshes the line's cell, detail row and the counters; a line not shown is ignored.
    void AtualizaCanal(TCanalTronco* canal);
    // The window's second: samples the graph once per second, blinks "Status:" on a failure.
    void Tick();
    // The lines are about to be freed: forget them.
    void Esquece();

    int Ocupados() const { return m_ocupados; }
    int Saida() const { return m_saida; }
    int Entrada() const { return m_entrada; }
    int Discador() const { return m_discador; }
    bool StatusVermelho() const { return m_vermelho; }
    const std::array<int, kAmostras>& Historico() const { return m_historico; }
    // Width of the occupancy bar in pixels.
    int LarguraBarra() const { return m_ocupados * TFaixaTronco::kCelula; }
    // Occupancy colour: green when idle, yellow at half, red when full.
    static QColor CorOcupacao(int ocupados, int linhas);
    // The detail columns' widths (Part of the window's settings).
    void DefineLargurasDetalhe(const QList<int>& larguras);
    QList<int> LargurasDetalhe() const;

    // The "+" button.
    std::function<void(TPanelTronco*)> AoExpandir;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Conta();
    void Amostra();
    void AtualizaDetalhe(int i);
    void AjustaTamanho();
    int SegundoAtual() const;
    int XContadores() const;

    QString m_tipo;
    TTronco* m_tronco;
    std::vector<TCanalTronco*> m_canais;
    TFaixaTronco* m_faixa;
    QTreeWidget* m_detalhe = nullptr;
    int m_ocupados = 0, m_saida = 0, m_entrada = 0, m_discador = 0;
    std::array<int, kAmostras> m_historico{};
    int m_ultimoSegundo = -1;
    bool m_vermelho = false;
};
