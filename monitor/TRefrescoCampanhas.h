#pragma once

#include <QString>
#include <QStringView>
#include <QTimer>

#include <functional>

class TListaCampanhas;
class TPacketManagerParser;

// The dialer campaigns kept up to date while connected: the summary counters read from the
// server's database (eleven table queries over the running campaigns), and the campaign list
// asked again every minute once a summary has been asked for. The timer stops when the
// connection is lost or fails.
class TRefrescoCampanhas {
public:
    struct TLigacoes {
        // Sends an action text over the manager connection.
        std::function<void(const QString& texto)> Envia;
        std::function<void(const QString& texto)> Loga;
    };
    static constexpr int kIntervalo = 60000;
    // The summary query whose completion ends a refresh.
    static constexpr QStringView kUltimaConsulta = u"ZXDBDisClassificacaoChamadas";

    TRefrescoCampanhas(TListaCampanhas& campanhas, TLigacoes ligacoes);

    // The minute timer; its owner binds its tick to PedeLista.
    QTimer& Timer() { return m_timer; }
    // The campaign-list refresh query.
    void PedeLista();
    // Zeroes every campaign's counters and asks for them again, then enables the timer;
    // nothing happens while no campaign runs.
    void LeResumo();
    // A row of a summary query: its "Total" goes into the counter the query (and selector)
    // names.
    void LinhaResumo(const TPacketManagerParser& p);
    void Para() { m_timer.stop(); }

private:
    TListaCampanhas& m_campanhas;
    TLigacoes m_ligacoes;
    QTimer m_timer;
};
