#pragma once

#include <QTimer>
#include <QWidget>

#include <QStringView>

#include <array>

class TFila;
class TGraficoPizza;

// The painted summary of one queue: the title, a sixty-second history of waiting and answered
// calls by the wall clock's second, gauges of the calls and of the agents with scales that
// follow the peaks of the last five minutes, the statistics and the call-reason pie chart.
// The owner feeds the numbers; the panel keeps the history and the scales itself.
class TPanelFila : public QWidget {
    Q_OBJECT
public:
    enum TSecao { Historico = 0, Chamadas = 1, Atendentes = 2, Estatisticas = 3, Motivos = 4 };
    static constexpr int kSecoes = 5;

    explicit TPanelFila(QWidget* parent = nullptr, bool mostraTitulo = true);

    // None zeroes the gauges and stops the history.
    void SetFila(const TFila* fila);
    const TFila* Fila() const { return m_fila; }
    void Title(const QString& texto);
    QString Titulo() const { return m_titulo; }

    void SetCallScale(int n);
    void SetMemberScale(int n);
    int CallScale() const { return m_escalaChamadas; }
    int MemberScale() const { return m_escalaMembros; }
    void SetWaiting(int n);
    void SetAnswering(int n);
    void SetBusy(int n);
    void SetFree(int n);
    void SetPaused(int n);
    // The number of members, for the member scale's five-minute peaks.
    void SetMembers(int n) { m_membros = std::max(0, n); }

    void SetReceived(qint64 n);
    void SetCompleted(qint64 n);
    qint64 Completed() const { return m_completadas; }
    void SetAbandoned(qint64 n);
    void SetAverageWait(qint64 segundos);
    void SetAverageTalk(qint64 segundos);
    void SetService(int segundos, const QString& percentual);

    // 0x00BBGGRR colours of the agent gauges (dark = Darken, light = Lighten of it).
    void SetFreeColour(int cor);
    void SetBusyColour(int cor);
    void SetPausedColour(int cor);
    void DefaultColours();

    // The queue's active alerts as one text (empty: none): a blinking frame in the warning
    // colour (0x00BBGGRR) and the text on the title row.
    void SetAlerta(const QString& texto, int cor);
    QString Alerta() const { return m_alerta; }
    bool FaseAlerta() const { return m_faseAlerta; }

    void SetSectionVisible(int secao, bool visivel);
    bool SectionVisible(int secao) const;
    void SetSectionPosition(int posicao, int secao);
    int SectionAt(int posicao) const;
    void Relayout();
    void SetChartEnabled(bool habilitado);
    TGraficoPizza* Grafico() const { return m_grafico; }

    // Once a second from the owner: samples the current second and redraws the history.
    void Tick();
    // The panel's own 600 ms run (also for tests with a pinned clock).
    void Relogio();

    // What the panel shows, as texts (the statistics' rows, caption and value).
    static QString TempoMedio(qint64 segundos);
    static QString TextoServico(const QString& percentual);
    QString Rotulo(int linha) const;
    QString Valor(int linha) const;
    // One history sample: waiting and answering in that second of the minute.
    std::array<int, 2> Amostra(int segundo) const;
    // Bar height of a value on a scale in a drawing area of height h.
    static int AlturaBarra(int h, int valor, int escala);
    static int ArredondaPar(int n);
    // Left edge and width of a section as placed now (width 0 when hidden).
    QRect AreaSecao(int secao) const;
    // The width the visible sections need side by side (below it the last ones are cut).
    int LarguraNecessaria() const;
    QString Descricao() const;

    // --- Campaign mode (the campaign windows) ---------------------------------------------------
    // Relabels the title "Campanha:", the waiting gauge "Iniciadas" and the statistics
    // "Chamadas na fila", leaves the call reasons out and adds the campaign's summary block to
    // the right: three tables ("Clientes", "Telefones", "Chamadas") of five rows each.
    void SetCampaign(bool campanha);
    bool CampaignMode() const { return m_campanha; }
    // Writes n into the row that shows the counter called `chave`; other names are ignored.
    void SetCampaignValue(QStringView chave, qint64 n);
    // The text of that row ("0" at first), or empty for a name with no row.
    QString CampaignValue(QStringView chave) const;
    static constexpr int kLarguraResumo = 450;
    // Where the summary block starts (the end of the last section placed).
    int InicioResumo() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TCoresBarra {
        QColor Escura, Clara;
    };
    static TCoresBarra CoresDe(int cor);
    void AmostraSetter();
    void Armazena(int segundo);
    void AtualizaAcessivel();
    void PintaHistorico(QPainter& p, const QRect& area);
    void PintaBarras(QPainter& p, const QRect& area, const QStringList& nomes,
                     const QList<int>& valores, const QList<TCoresBarra>& cores, int escala);
    void PintaEstatisticas(QPainter& p, const QRect& area);
    void PintaResumoCampanha(QPainter& p);
    int TopoSecoes() const;

    const TFila* m_fila = nullptr;
    bool m_mostraTitulo;
    QString m_titulo;
    int m_escalaChamadas = 1, m_escalaMembros = 1;
    int m_espera = 0, m_atendendo = 0, m_ocupados = 0, m_livres = 0, m_pausados = 0;
    int m_membros = 0;
    qint64 m_recebidas = 0, m_completadas = 0, m_abandonadas = 0, m_espMedia = 0, m_atdMedio = 0;
    int m_servicoSeg = 0;
    QString m_servicoPct;
    std::array<std::array<int, 2>, 60> m_historico{};
    std::array<int, 5> m_maxChamadas{}, m_maxMembros{};
    int m_ultimoSegundo = -1;  // the last second a setter sampled
    int m_segundoRelogio = -1; // the second of the timer's previous run
    int m_minutoRelogio = -1;  // the minute slot of the timer's previous run
    int m_segundoGrade = 0;    // the second the history was drawn at
    TCoresBarra m_corLivre, m_corOcupado, m_corPausado;
    std::array<bool, kSecoes> m_visivel{};
    std::array<int, kSecoes> m_ordem{0, 1, 2, 3, 4};
    bool m_graficoHabilitado = false;
    bool m_acessivelPendente = false;
    bool m_campanha = false;
    std::array<qint64, 15> m_resumo{};
    TGraficoPizza* m_grafico;
    QTimer m_timer;
    QString m_alerta;
    QColor m_corAlerta;
    bool m_faseAlerta = false;
};
