// The extensions window and the trunks window fed packet by packet at a pinned clock: row
// texts and colours per state and call, the five-second time steps, sorting by state, a call
// that ends under the pointer; trunk strips, detail rows, the occupancy bar, failure blinking,
// odd lines and what assistive technology reads.
#include "settings/TIniFile.h"
#include "settings/TPerfis.h"
#include "support/TCentral.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TPanelTronco.h"
#include "ui/windows/TfrmRamais.h"
#include "ui/windows/TfrmTroncos.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QString Porta(int id, int placa, const QString& marca, const QString& classe, int qtde = 1) {
    return Linha("ZXDBListaPortas",
                 {"PortaId: " + QString::number(id), "Placa: " + QString::number(placa), "Canal: 0",
                  "Marca: " + marca, "Tipo: t", "TipoTronco: " + classe,
                  "QtdeCanais: " + QString::number(qtde), "Nome: Porta " + QString::number(id)});
}

QString Tronco(const QString& nome, const QString& tipo, int troncoId, int idTronco) {
    return Linha("ZXDBListaTroncos", {"Nome: " + nome, "TroncoId: " + QString::number(troncoId),
                                      "IdTronco: " + QString::number(idTronco), "Tipo: " + tipo});
}

} // namespace

class TestUiTelephonyWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    std::unique_ptr<TfrmRamais> ramais;
    std::unique_ptr<TfrmTroncos> troncos;

    // Extensions 2001 to 2004 registered (free), 2005 not registered; the hardware and trunks
    // of a small exchange; trunk "Sem Porta" names a port that does not exist.
    void Carrega() {
        m->Feed(Porta(1, 0, "k", "d", 30));
        m->Feed(Porta(2, 1, "k", "c"));
        m->Feed(Porta(3, 1, "k", "c"));
        m->Feed(Completa("ZXDBListaPortas"));
        for (int i = 1; i <= 5; ++i)
            m->Ramal(QString::number(2000 + i), QString("PA %1").arg(i));
        for (int i = 1; i <= 4; ++i)
            Peer(QString::number(2000 + i), "Registered");
        m->Feed(Tronco("E1 Embratel", "f", 1, 1));
        m->Feed(Tronco("Celular Vivo", "f", 2, 2));
        m->Feed(Tronco("Celular Claro", "f", 3, 3));
        m->Feed(Tronco("VoipBrasil", "s", 0, 4));
        m->Feed(Tronco("Sem Porta", "f", 99, 5));
    }
    void Peer(const QString& ramal, const QString& status) {
        m->Ev("PeerStatus",
              {"Peer: SIP/" + ramal, "PeerStatus: " + status, "Address: 10.0.0." + ramal.right(1)});
    }
    void EvLinha(const QString& evento, const QString& canal, const QString& chave,
                 const QString& valor) {
        m->Ev(evento, {"Channel: " + canal, chave + ": " + valor});
    }
    // `a` calls `b`; the second leg only when `b` is given.
    void Chamada(const QString& a, const QString& ua, const QStringList& extraA,
                 const QString& b = {}, const QString& ub = {}, const QStringList& extraB = {}) {
        m->NovoCanal(a, ua, extraA);
        if (b.isEmpty()) return;
        m->NovoCanal(b, ub, extraB);
        m->Ev("Dial", {"SubEvent: Begin", "Channel: " + a, "Uniqueid: " + ua, "Destination: " + b,
                       "DestUniqueID: " + ub});
    }
    void AbreRamais(int modo) {
        ramais = std::make_unique<TfrmRamais>(m->monitor.get());
        ramais->setObjectName("Ramais");
        ramais->SetModoVisualizacao(modo);
        ramais->Inicio();
    }
    QString Cel(const QString& ramal, int coluna) {
        TRamal* r = m->monitor->Ramais.ProcuraDispositivo("SIP/" + ramal);
        const int row = ramais->Modelo()->LinhaDe(r);
        return row < 0 ? QStringLiteral("<sem linha>") : ramais->Modelo()->Texto(row, coluna);
    }
    QColor Fundo(const QString& ramal) {
        TRamal* r = m->monitor->Ramais.ProcuraDispositivo("SIP/" + ramal);
        return ramais->Modelo()->Linha(ramais->Modelo()->LinhaDe(r)).Fundo;
    }
    QStringList Ordem() {
        QStringList ids;
        for (int r = 0; r < ramais->Modelo()->Linhas(); ++r)
            ids << ramais->RamalDaLinha(r)->RamalId;
        return ids;
    }
    TTronco* T(const QString& nome) { return m->monitor->Troncos.Procura(nome); }
    TPanelTronco* Painel(const QString& titulo) {
        for (TPanelTronco* p : troncos->Paineis())
            if (p->Titulo() == titulo) return p;
        return nullptr;
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        Carrega();
    }
    void cleanup() {
        ramais.reset();
        troncos.reset();
        m.reset();
    }

    // Each extension state and call shape: state text, time, other party and colour.
    void extensionRows_data() {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<QString>("tempo");
        QTest::addColumn<QString>("telefone");
        QTest::addColumn<QColor>("fundo");
        QTest::newRow("never occupied") << "livre"
                                        << "Livre"
                                        << "--:--"
                                        << "" << QColor(183, 247, 215);
        QTest::newRow("not registered") << "indisponivel"
                                        << "Indisponível"
                                        << ""
                                        << "" << QColor(207, 207, 207);
        QTest::newRow("ringing out, one leg") << "saindo"
                                              << "Ocupado"
                                              << "00:00:00"
                                              << "01133334444" << QColor(255, 172, 89);
        QTest::newRow("outgoing, both legs") << "atendida"
                                             << "Ocupado"
                                             << "00:00:00"
                                             << "-> 01133334444" << QColor(250, 149, 143);
        QTest::newRow("incoming over a trunk") << "entrando"
                                               << "Ocupado"
                                               << "00:00:00"
                                               << "<- 1133224455" << QColor(250, 149, 143);
        QTest::newRow("free again after a call") << "desligada"
                                                 << "Livre"
                                                 << "00:00:03"
                                                 << "" << QColor(183, 247, 215);
    }
    void extensionRows() {
        QFETCH(QString, caso);
        QFETCH(QString, estado);
        QFETCH(QString, tempo);
        QFETCH(QString, telefone);
        QFETCH(QColor, fundo);
        AbreRamais(0);
        QString ramal = "2001";
        if (caso == "indisponivel") {
            ramal = "2005";
        } else if (caso == "saindo") {
            Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Exten: 01133334444"});
        } else if (caso == "atendida") {
            Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Exten: 01133334444"}, "Khomp/B0C4-1",
                    "2", {"CallerIDNum: 1133334444"});
            m->Ev("Link", {"Channel1: SIP/2001-01", "Channel2: Khomp/B0C4-1", "Uniqueid1: 1",
                           "Uniqueid2: 2"});
        } else if (caso == "entrando") {
            // The server marks the extension's leg as incoming before it is dialled.
            m->NovoCanal("Khomp/B0C1-1", "1", {"CallerIDNum: 1133224455", "Exten: 2001"});
            m->NovoCanal("SIP/2001-02", "2", {"CallerIDNum: 1133224455"});
            m->Ev("UserEvent", {"UserEvent: ZXNewCall", "Channel: SIP/2001-02", "Uniqueid: 2",
                                "Tipo: E", "CallerId: 1133224455"});
            m->Ev("Dial", {"SubEvent: Begin", "Channel: Khomp/B0C1-1", "Uniqueid: 1",
                           "Destination: SIP/2001-02", "DestUniqueID: 2"});
        } else if (caso == "desligada") {
            Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Exten: 2002"}, "SIP/2002-02", "2",
                    {});
            m->Avanca(60);
            m->Hangup("SIP/2002-02", "2");
            m->Hangup("SIP/2001-01", "1");
            m->Avanca(3);
            ramais->AtualizaRamal(m->monitor->Ramais.ProcuraDispositivo("SIP/2001"));
        }
        QCOMPARE(Cel(ramal, 2), estado);
        QCOMPARE(Cel(ramal, 3), tempo);
        QCOMPARE(Cel(ramal, 4), telefone);
        QCOMPARE(Fundo(ramal), fundo);
    }

    // The time column moves in five-second steps, from the tick alone.
    void timeColumnSteps() {
        AbreRamais(0);
        Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Exten: 2002"}, "SIP/2002-02", "2", {});
        const QString inicial = Cel("2001", 3);
        m->Avanca(7);
        ramais->Timer1Timer();
        QCOMPARE(Cel("2001", 3), inicial);
        m->Avanca(3);
        ramais->Timer1Timer();
        QCOMPARE(Cel("2001", 3), QStringLiteral("00:00:10"));
        // Hours are not wrapped at a day.
        m->Avanca(25 * 3600 - 10 + 5);
        ramais->Timer1Timer();
        QCOMPARE(Cel("2001", 3), QStringLiteral("25:00:05"));
    }

    // The detailed mode: the interface with the address, and both legs of the call.
    void detailColumns() {
        AbreRamais(1);
        QCOMPARE(ramais->Modelo()->columnCount(), 15);
        QCOMPARE(Cel("2001", 5), QStringLiteral("SIP/2001 (10.0.0.1)"));
        QCOMPARE(Cel("2005", 5), QStringLiteral("SIP/2005"));
        Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Context: interno", "Exten: 01133334444"},
                "Khomp/B0C4-1", "2", {"CallerIDNum: 1133334444", "Context: saida"});
        QCOMPARE(Cel("2001", 6), QStringLiteral("interno"));
        QCOMPARE(Cel("2001", 8), QStringLiteral("Tronco E1 Embratel/Canal 5"));
        QCOMPARE(Cel("2001", 12), QStringLiteral("1133334444"));
        QCOMPARE(Cel("2001", 14), QStringLiteral("saida"));
        m->Hangup("Khomp/B0C4-1", "2");
        m->Hangup("SIP/2001-01", "1");
        for (int c : {4, 6, 8, 9, 10, 11, 12, 13, 14})
            QCOMPARE(Cel("2001", c), QString());
    }

    // Sorting by state: occupied first, then free (the longest free first, never freed last),
    // unavailable at the end. A call that ends while the pointer rests on the rows or the
    // pop-up menu is open changes its row at once and the order only afterwards.
    void sortByStateAndACallEndingUnderThePointer_data() {
        QTest::addColumn<bool>("menu");
        QTest::newRow("pointer on the rows") << false;
        QTest::newRow("menu open") << true;
    }
    void sortByStateAndACallEndingUnderThePointer() {
        QFETCH(bool, menu);
        AbreRamais(0);
        QCOMPARE(ramais->SortCol(), 0);
        // 2003 is freed first, 2002 later; 2001 and 2004 were never occupied.
        Chamada("SIP/2003-01", "1", {"Exten: 2002"}, "SIP/2002-02", "2", {});
        m->Avanca(5);
        m->Hangup("SIP/2003-01", "1");
        m->Avanca(5);
        m->Hangup("SIP/2002-02", "2");
        Chamada("SIP/2004-03", "3", {"Exten: 999"});
        QCOMPARE(Ordem(), (QStringList{"2004", "2003", "2002", "2001", "2005"}));

        ramais->show();
        QVERIFY(QTest::qWaitForWindowExposed(ramais.get()));
        QWidget* vista = ramais->Vista()->Relatorio()->viewport();
        if (menu)
            ramais->AbreMenu(vista->mapToGlobal(QPoint(20, 5)));
        else
            QTest::mouseMove(vista, QPoint(20, 5));
        m->Avanca(5);
        m->Hangup("SIP/2004-03", "3");
        QCOMPARE(Cel("2004", 2), QStringLiteral("Livre"));
        QCOMPARE(Fundo("2004"), QColor(183, 247, 215));
        QTRY_VERIFY(ramais->OrdemPendente());
        QCOMPARE(Ordem().first(), QStringLiteral("2004"));
        if (menu) {
            QTRY_VERIFY(QApplication::activePopupWidget());
            QApplication::activePopupWidget()->close();
        } else {
            QEvent saida(QEvent::Leave);
            QCoreApplication::sendEvent(vista, &saida);
        }
        QTRY_COMPARE(Ordem(), (QStringList{"2003", "2002", "2004", "2001", "2005"}));
    }

    // Number and name sorting, header clicks.
    void headerClicks_data() {
        QTest::addColumn<QList<int>>("cliques");
        QTest::addColumn<QStringList>("ordem");
        QTest::newRow("number ascending")
            << QList<int>{0} << QStringList{"2001", "2002", "2003", "2004", "2005"};
        QTest::newRow("number twice: descending")
            << QList<int>{0, 0} << QStringList{"2005", "2004", "2003", "2002", "2001"};
        QTest::newRow("name, then back to state")
            << QList<int>{1, 2} << QStringList{"2001", "2002", "2003", "2004", "2005"};
        QTest::newRow("time header does nothing")
            << QList<int>{1, 1, 3} << QStringList{"2005", "2004", "2003", "2002", "2001"};
    }
    void headerClicks() {
        QFETCH(QList<int>, cliques);
        QFETCH(QStringList, ordem);
        AbreRamais(0);
        for (int c : cliques)
            ramais->ColunaClicada(c);
        QCOMPARE(Ordem(), ordem);
    }

    // Font levels stop at their ends; tiles keep the widths the detail mode had.
    void fontLevelsAndModeSwitches() {
        AbreRamais(1);
        for (int i = 0; i < 8; ++i)
            ramais->MudaFonte(+1);
        QCOMPARE(ramais->NivelLista(), 5);
        for (int i = 0; i < 8; ++i)
            ramais->MudaFonte(-1);
        QCOMPARE(ramais->NivelLista(), 0);
        ramais->Vista()->Relatorio()->setColumnWidth(1, 222);
        ramais->SetModoVisualizacao(2);
        QCOMPARE(ramais->Modelo()->columnCount(), 1);
        QVERIFY(ramais->Modelo()->Linha(0).Negrito);
        ramais->SetModoVisualizacao(1);
        QCOMPARE(ramais->Vista()->Relatorio()->columnWidth(1), 222);
    }

    // Strip cells and detail rows of odd and ordinary lines in the single-trunk window.
    void trunkLines_data() {
        QTest::addColumn<QString>("tronco");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<int>("linha");
        QTest::addColumn<QColor>("cor");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<QString>("acessivel");
        const QColor livre(183, 247, 215), cinza(128, 128, 128);
        QTest::newRow("line never reported") << "E1 Embratel"
                                             << "" << 0 << cinza << "Erro ()"
                                             << "Estado: Falha; Direção: nenhuma";
        QTest::newRow("alarm on a line without a call")
            << "E1 Embratel"
            << "alarme" << 2 << cinza << "Erro (Red Alarm)"
            << "Estado: Falha; Direção: nenhuma; Alarme: Red Alarm";
        QTest::newRow("alarm cleared") << "E1 Embratel"
                                       << "limpo" << 2 << livre << ""
                                       << "Estado: Livre; Direção: nenhuma";
        QTest::newRow("alarm for a line beyond the board") << "E1 Embratel"
                                                           << "alem" << 29 << livre << ""
                                                           << "Estado: Livre; Direção: nenhuma";
        QTest::newRow("signal level on a digital line")
            << "E1 Embratel"
            << "sinal" << 3 << livre << ""
            << "Estado: Livre; Direção: nenhuma; Sinal: 40%";
        QTest::newRow("outgoing call ringing")
            << "E1 Embratel"
            << "chamando" << 4 << QColor(255, 172, 89) << "Chamando"
            << "Estado: Chamando; Direção: saída; Telefone: 1133334444";
        QTest::newRow("cellular without operator") << "Celular Vivo"
                                                   << "sinal" << 0 << livre << ""
                                                   << "Estado: Livre; Direção: nenhuma; Sinal: 40%";
        QTest::newRow("cellular with operator")
            << "Celular Vivo"
            << "operadora" << 0 << livre << ""
            << "Estado: Livre; Direção: nenhuma; Operadora: Vivo; Sinal: 82%";
    }
    void trunkLines() {
        QFETCH(QString, tronco);
        QFETCH(QString, caso);
        QFETCH(int, linha);
        QFETCH(QColor, cor);
        QFETCH(QString, estado);
        QFETCH(QString, acessivel);
        TTronco* t = T(tronco);
        const QString dispositivo = t->Canais.Item(linha)->Dispositivo();
        if (caso != "") EvLinha("AlarmClear", dispositivo, "Alarm", "ok");
        if (caso == "alarme") EvLinha("Alarm", dispositivo, "Alarm", "Red Alarm");
        if (caso == "alem") EvLinha("Alarm", "Khomp/B0C30", "Alarm", "Red Alarm");
        if (caso == "sinal") EvLinha("AntennaLevel", dispositivo, "Signal", "40%");
        if (caso == "operadora") {
            EvLinha("OperatorRegistry", dispositivo, "Operator", "Vivo");
            EvLinha("AntennaLevel", dispositivo, "Signal", "82%");
        }
        if (caso == "chamando") {
            Chamada("SIP/2001-01", "1", {"CallerIDNum: 2001", "Exten: 01133334444"}, "Khomp/B0C4-1",
                    "2", {"State: Ringing", "CallerIDNum: 1133334444"});
        }
        const QString letra = t->TipoTronco;
        troncos =
            std::make_unique<TfrmTroncos>(m->monitor.get(), letra, letra == "c" ? nullptr : t);
        troncos->Inicio();
        QCOMPARE(troncos->Paineis().size(), size_t(1));
        TPanelTronco* p = troncos->Paineis().front();
        const int celula = letra == "c" ? 0 : linha;
        QCOMPARE(TFaixaTronco::CorCanal(*p->Canais()[size_t(celula)]), cor);
        // The shared cellular panel has no detail list: the operator reaches the user through
        // the cell's description.
        if (p->Detalhe()) QCOMPARE(p->Detalhe()->topLevelItem(celula)->text(1), estado);
        QCOMPARE(p->Faixa()->DescricaoCelula(celula), acessivel);
    }

    // A 30-line E1 with half its lines busy: a yellow bar 330 pixels wide, the counters, and
    // the same figures on the panel's accessible description; then every call ends.
    void occupancyOfAnE1() {
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), QString(), nullptr);
        troncos->Inicio();
        TPanelTronco* p = Painel("Tronco digital:E1 Embratel");
        QVERIFY(p);
        for (int i = 0; i < 15; ++i) {
            const QString n = QString::number(i);
            Chamada("SIP/2001-" + n, "a" + n, {"Exten: 0113333" + n}, "Khomp/B0C" + n + "-" + n,
                    "b" + n, {i < 10 ? "State: Up" : "State: Ringing"});
        }
        QCOMPARE(p->Ocupados(), 15);
        QCOMPARE(p->Saida(), 15);
        QCOMPARE(p->LarguraBarra(), 330);
        QCOMPARE(TPanelTronco::CorOcupacao(15, 30), QColor(255, 255, 0));
        QCOMPARE(TPanelTronco::CorOcupacao(0, 30), QColor(0, 255, 0));
        QCOMPARE(TPanelTronco::CorOcupacao(30, 30), QColor(255, 0, 0));
        QVERIFY(p->accessibleDescription().startsWith("Ocupação: 15 de 30 canais; Saída: 15"));
        QCOMPARE(p->Historico()[size_t(QTime(12, 0).second())], 15);
        for (int i = 0; i < 15; ++i) {
            const QString n = QString::number(i);
            m->Hangup("Khomp/B0C" + n + "-" + n, "b" + n);
        }
        QCOMPARE(p->Ocupados(), 0);
        QCOMPARE(p->LarguraBarra(), 0);
    }

    // Panels of the all-trunks window: one per digital or SIP trunk, one shared by the
    // cellular trunks, nothing for a trunk without its port; a second SIP call grows the SIP
    // strip; the single-trunk window follows the same line changes; "Status:" blinks on a
    // failure and stops when it clears.
    void panelsSharedStripsAndBlinking() {
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), QString(), nullptr);
        troncos->Inicio();
        QStringList titulos;
        for (TPanelTronco* p : troncos->Paineis())
            titulos << p->Titulo();
        QCOMPARE(titulos,
                 (QStringList{"Tronco digital:E1 Embratel", "Celulares", "Tronco SIP:VoipBrasil"}));
        QCOMPARE(Painel("Celulares")->Canais().size(), size_t(2));

        TfrmTroncos sip(m->monitor.get(), "s", T("VoipBrasil"));
        sip.Inicio();
        Chamada("SIP/2001-01", "1", {"Exten: 01133334444"}, "SIP/VoipBrasil-a", "2", {});
        Chamada("SIP/2002-03", "3", {"Exten: 01144445555"}, "SIP/VoipBrasil-b", "4", {});
        for (TPanelTronco* p : {Painel("Tronco SIP:VoipBrasil"), sip.Paineis().front()}) {
            QCOMPARE(p->Canais().size(), size_t(2));
            QCOMPARE(p->Faixa()->Quantidade(), 2);
            QCOMPARE(p->Ocupados(), 2);
        }
        QCOMPARE(sip.Paineis().front()->Detalhe()->topLevelItemCount(), 2);
        QCOMPARE(sip.Paineis().front()->Detalhe()->topLevelItem(1)->text(2), QStringLiteral("S"));

        // Every hardware line starts as not reported, a failure: the E1 panel blinks.
        TPanelTronco* e1 = Painel("Tronco digital:E1 Embratel");
        troncos->Timer1Timer();
        const bool primeiro = e1->StatusVermelho();
        troncos->Timer1Timer();
        QCOMPARE(e1->StatusVermelho(), !primeiro);
        for (TCanalTronco* c : e1->Canais())
            EvLinha("AlarmClear", c->Dispositivo(), "Alarm", "ok");
        troncos->Timer1Timer();
        troncos->Timer1Timer();
        QVERIFY(!e1->StatusVermelho());
    }

    // The strip's cells come out crisp: at 1x and at 2x every pixel of an idle cell is either
    // its fill or its outline, never a blend of the two.
    void stripIsCrisp_data() {
        QTest::addColumn<qreal>("escala");
        QTest::newRow("1x") << qreal(1);
        QTest::newRow("2x") << qreal(2);
    }
    void stripIsCrisp() {
        QFETCH(qreal, escala);
        T("E1 Embratel")->Canais.ParaCada([&](TCanalTronco* c) {
            EvLinha("AlarmClear", c->Dispositivo(), "Alarm", "ok");
        });
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), QString(), nullptr);
        troncos->Inicio();
        TFaixaTronco* faixa = Painel("Tronco digital:E1 Embratel")->Faixa();
        QImage imagem(faixa->size() * escala, QImage::Format_ARGB32);
        imagem.setDevicePixelRatio(escala);
        imagem.fill(Qt::white);
        faixa->render(&imagem);
        const QSet<QRgb> permitidas = {QColor(183, 247, 215).rgb(), QColor(207, 207, 207).rgb()};
        for (int i = 0; i < faixa->Quantidade(); ++i) {
            const QRect r = faixa->RetanguloCelula(i);
            const QRect px(QPoint(int(r.left() * escala), int(r.top() * escala)),
                           QSize(int(r.width() * escala), int(r.height() * escala)));
            QSet<QRgb> vistas;
            for (int y = px.top(); y <= px.bottom(); ++y)
                for (int x = px.left(); x <= px.right(); ++x)
                    vistas.insert(imagem.pixel(x, y));
            QVERIFY2(vistas == permitidas,
                     qPrintable(QString("celula %1: %2 cores").arg(i).arg(vistas.size())));
        }
    }

    // The detail columns' widths go to the window's section and come back for its next
    // opening; a width not above zero leaves the built-in one.
    void detailWidthsRoundTrip_data() {
        QTest::addColumn<int>("salva");
        QTest::addColumn<int>("lida");
        QTest::newRow("set by the user") << 150 << 150;
        QTest::newRow("zero") << 0 << 100;
        QTest::newRow("negative") << -5 << 100;
    }
    void detailWidthsRoundTrip() {
        QFETCH(int, salva);
        QFETCH(int, lida);
        QTemporaryDir pasta;
        m->monitor->UserDir = pasta.path() + u'/';
        m->monitor->ConexaoAtiva = "Teste";
        auto abre = [&] {
            auto w = std::make_unique<TfrmTroncos>(m->monitor.get(), "d", T("E1 Embratel"));
            w->setObjectName("Troncosd1");
            w->LeVariaveis();
            w->Inicio();
            return w;
        };
        troncos = abre();
        QTreeWidget* detalhe = troncos->Paineis().front()->Detalhe();
        QCOMPARE(detalhe->columnWidth(0), 100);
        // No built-in width cuts its caption.
        for (int c = 0; c < detalhe->columnCount(); ++c)
            QVERIFY2(detalhe->columnWidth(c) >= detalhe->header()->sectionSizeHint(c),
                     qPrintable(detalhe->headerItem()->text(c)));
        detalhe->setColumnWidth(4, 140);
        troncos->SalvaCfgForm();
        // A hand-edited (or damaged) file may hold any number.
        TIniFile(ArquivoPerfil(m->monitor->UserDir, "Teste"))
            .WriteInteger("TelaTroncosd1", "Coluna0", salva);
        troncos = abre();
        QCOMPARE(troncos->Paineis().front()->Detalhe()->columnWidth(0), lida);
        QCOMPARE(troncos->Paineis().front()->Detalhe()->columnWidth(4), 140);
    }

    // The "+" of each panel asks for the window of its trunk, or of its kind when shared.
    void expandButtons() {
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), QString(), nullptr);
        QStringList pedidos;
        troncos->AoExpandir = [&](const QString& tipo, TTronco* t) {
            pedidos << tipo + ":" + (t ? t->Nome : QString());
        };
        troncos->Inicio();
        for (TPanelTronco* p : troncos->Paineis()) {
            auto* mais = p->findChild<QToolButton*>();
            QVERIFY(mais);
            mais->click();
        }
        QCOMPARE(pedidos, (QStringList{"d:E1 Embratel", "c:", "s:VoipBrasil"}));
    }

    // What assistive technology reads from a strip: a child per line, and no child for a
    // line that is no longer there once the panel lets its lines go.
    void stripAccessibleChildren() {
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), QString(), nullptr);
        troncos->Inicio();
        troncos->show();
        TPanelTronco* p = Painel("Tronco digital:E1 Embratel");
        QAccessibleInterface* faixa = QAccessible::queryAccessibleInterface(p->Faixa());
        QVERIFY(faixa);
        QCOMPARE(faixa->childCount(), 30);
        QAccessibleInterface* c4 = faixa->child(4);
        QVERIFY(c4);
        QCOMPARE(c4->text(QAccessible::Name), QStringLiteral("Canal 5"));
        QCOMPARE(faixa->indexOfChild(c4), 4);
        QVERIFY(c4->rect().width() == TFaixaTronco::kCelula);
        QCOMPARE(faixa->child(30), nullptr);
        EvLinha("Alarm", "Khomp/B0C4", "Alarm", "Loss of signal");
        QVERIFY(c4->text(QAccessible::Description).contains("Alarme: Loss of signal"));
        p->Esquece();
        QCOMPARE(faixa->childCount(), 0);
        QCOMPARE(faixa->child(4), nullptr);
    }

    // A new load frees the trunks: the windows drop their panels first and fill again, the
    // single-trunk window with the trunk at its position.
    void reloadKeepsWindowsSound() {
        AbreRamais(0);
        troncos = std::make_unique<TfrmTroncos>(m->monitor.get(), "d", T("E1 Embratel"));
        troncos->Inicio();
        m->monitor->Avisos().TelefoniaRecarregando.Emite();
        QCOMPARE(ramais->Modelo()->Linhas(), 0);
        QVERIFY(troncos->Paineis().empty());
        // Notices for objects of the old load reach nobody.
        m->Hangup("nada", "0");
        Q_EMIT m->monitor->LoadFinished();
        QCOMPARE(ramais->Modelo()->Linhas(), 5);
        QCOMPARE(troncos->Paineis().size(), size_t(1));
        QCOMPARE(troncos->Paineis().front()->Canais().size(), size_t(30));
    }
};

QTEST_MAIN(TestUiTelephonyWindows)
#include "test_ui_telephony_windows.moc"
