// Alerts in the windows: an agent row (list and tiles, agents window and a queue's member
// list) and a queue panel blink in the warning colour while the alert lasts; the "Alertas"
// window follows the alerts and opens what they are about; the rules dialog refuses a rule
// that is not valid; the colour dialog keeps the warning colour in the profile. The search box
// of the list windows: accents and case, rows that leave and arrive live, kept in the settings.
#include "support/TCentral.h"

#include "base/TFiltroTexto.h"
#include "settings/TIniFile.h"
#include "settings/TRegrasAlerta.h"
#include "ui/dialogs/TfrmConfiguraCores.h"
#include "ui/dialogs/TfrmRegrasAlerta.h"
#include "ui/lists/TModeloLista.h"
#include "ui/widgets/TPanelFila.h"
#include "ui/windows/TListaAtendentesFila.h"
#include "ui/windows/TfrmAgentes.h"
#include "ui/windows/TfrmAlertas.h"
#include "ui/windows/TfrmFila.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {
QColor Cor(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
} // namespace

class TestUiAlertsFilter : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;

    void Tick() { m->monitor->Alertas().Avalia(ServerNow()); }
    // Ana paused for over a minute with a one-minute pause rule.
    void AnaEmAlerta() {
        m->monitor->Alertas().DefineRegras({{TTipoAlerta::AgentePausa, {}, 1}});
        m->Pausa("1", "Agent/1001", true, "1");
        m->Avanca(61);
        Tick();
        QCOMPARE(m->monitor->Alertas().Count(), 1);
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        m->Fila("1", "Atendimento Geral");
        m->Agente("1001", "Ana");
        m->Agente("1002", "Bruno");
        for (const QString id : {"1001", "1002"}) {
            m->Ev("Agentlogin",
                  {"Agent: " + id, "Channel: SIP/2" + id.right(3), "Uniqueid: " + id});
            m->Membro("1", "Agent/" + id, 1, 0, "QueueMemberAdded");
        }
        m->monitor->Alertas().DefineRegras({});
    }
    void cleanup() { m.reset(); }

    // The blink phase shows the warning colour, the other phase the state's colour; the row of
    // an agent without an alert never changes; once the alert ends the row keeps its state's
    // colour in both phases.
    void linhaDoAtendentePisca_data() {
        QTest::addColumn<bool>("daFila");
        QTest::addColumn<int>("modo");
        QTest::newRow("atendentes-lista") << false << 0;
        QTest::newRow("atendentes-blocos") << false << 2;
        QTest::newRow("membros-da-fila") << true << 0;
    }
    void linhaDoAtendentePisca() {
        QFETCH(bool, daFila);
        QFETCH(int, modo);
        m->monitor->CorAlerta = CorRGB(200, 0, 0);
        std::unique_ptr<TfrmFila> fila;
        std::unique_ptr<TfrmAgentes> proprio;
        TfrmAgentes* w = nullptr;
        if (daFila) {
            fila = std::make_unique<TfrmFila>(m->monitor.get());
            fila->setObjectName("Fila1");
            fila->CriaFila("1", m->F("1"));
            w = fila->Membros();
        } else {
            proprio = std::make_unique<TfrmAgentes>(m->monitor.get());
            proprio->setObjectName("Atendentes");
            proprio->SetModoVisualizacao(modo);
            w = proprio.get();
        }
        auto fundo = [&](const QString& id) {
            return w->Modelo()->Linha(w->Modelo()->LinhaDe(m->A(id))).Fundo;
        };
        const QColor pausa = Cor(w->Esquema().CorFundo(TClasseCor::EmPausa));
        const QColor livre = Cor(w->Esquema().CorFundo(TClasseCor::Livre));
        AnaEmAlerta();
        w->Timer2Timer();
        QCOMPARE(fundo("1001"), QColor(200, 0, 0));
        QCOMPARE(fundo("1002"), livre);
        w->Timer1Timer();
        QCOMPARE(fundo("1001"), pausa);
        w->Timer2Timer();
        QCOMPARE(fundo("1001"), QColor(200, 0, 0));
        QVERIFY(w->Modelo()->Descricao(w->Modelo()->LinhaDe(m->A("1001"))).endsWith("em alerta"));

        // The alert ends while the row shows the warning colour: it goes at once.
        m->Pausa("1", "Agent/1001", false, "");
        Tick();
        QCOMPARE(fundo("1001"), livre);
        w->Timer2Timer();
        QCOMPARE(fundo("1001"), livre);
    }

    // The queue window's panel shows the queue's alerts (not another queue's) and drops them
    // when they end.
    void painelDaFila() {
        m->Fila("2", "Vendas");
        TfrmFila w(m->monitor.get());
        w.setObjectName("Fila1");
        w.CriaFila("1", m->F("1"));
        m->monitor->Alertas().DefineRegras({{TTipoAlerta::FilaEsperando, {}, 1}});
        m->Entra("2", "SIP/y-1", "2.1");
        Tick();
        QCOMPARE(w.Panel()->Alerta(), QString());
        m->Entra("1", "SIP/x-1", "1.1");
        Tick();
        QCOMPARE(w.Panel()->Alerta(), QStringLiteral("Chamadas em espera ≥ 1 chamadas"));
        QVERIFY(w.Panel()->Descricao().startsWith("Alerta: Chamadas em espera"));
        QVERIFY(w.Panel()->FaseAlerta());
        w.Panel()->Relogio();
        QVERIFY(!w.Panel()->FaseAlerta());
        m->Ev("Leave", {"Channel: SIP/x-1", "Queue: 1"});
        Tick();
        QCOMPARE(w.Panel()->Alerta(), QString());
        // A window opened while its queue is in alert shows it from the start.
        m->Entra("1", "SIP/x-2", "1.2");
        Tick();
        TfrmFila outra(m->monitor.get());
        outra.setObjectName("Fila1");
        outra.CriaFila("1", m->F("1"));
        QVERIFY(!outra.Panel()->Alerta().isEmpty());
    }

    // The list follows alerts as they start and end, keeps the selection on its alert, and a
    // row opens its queue or its agent.
    void janelaAlertas() {
        m->monitor->Alertas().DefineRegras(
            {{TTipoAlerta::FilaEsperando, {}, 1}, {TTipoAlerta::AgentePausa, {}, 1}});
        TfrmAlertas w(m->monitor.get());
        QCOMPARE(w.Lista()->topLevelItemCount(), 0);
        m->Entra("1", "SIP/x-1", "1.1");
        Tick();
        m->Pausa("1", "Agent/1001", true, "1");
        m->Avanca(90);
        Tick();
        QCOMPARE(w.Lista()->topLevelItemCount(), 2);
        QCOMPARE(w.Lista()->topLevelItem(0)->text(TfrmAlertas::cQuem),
                 QStringLiteral("Fila 1 (Atendimento Geral)"));
        QCOMPARE(w.Lista()->topLevelItem(1)->text(TfrmAlertas::cQuem),
                 QStringLiteral("1001 - Ana"));
        QCOMPARE(w.Lista()->topLevelItem(1)->text(TfrmAlertas::cDesde), QStringLiteral("12:01:00"));
        w.Lista()->setCurrentItem(w.Lista()->topLevelItem(1));

        QList<TFila*> filas;
        QList<TAgente*> agentes;
        connect(&w, &TfrmAlertas::AbreFila, this, [&](TFila* f) { filas << f; });
        connect(&w, &TfrmAlertas::AbreAgente, this, [&](TAgente* a) { agentes << a; });
        w.AbreLinha(0);
        w.AbreLinha(1);
        w.AbreLinha(7);
        QCOMPARE(filas, QList<TFila*>{m->F("1")});
        QCOMPARE(agentes, QList<TAgente*>{m->A("1001")});

        m->Ev("Leave", {"Channel: SIP/x-1", "Queue: 1"});
        Tick();
        QCOMPARE(w.Lista()->topLevelItemCount(), 1);
        QCOMPARE(w.Lista()->currentItem()->text(TfrmAlertas::cQuem), QStringLiteral("1001 - Ana"));
        // The lists are emptied: nothing of the old alerts is left to open.
        m->monitor->EncerraConexao();
        QCOMPARE(w.Lista()->topLevelItemCount(), 0);
        w.AbreLinha(0);
        QCOMPARE(agentes.size(), 1);
    }

    // "OK" accepts valid rules only, and says which row is wrong; a threshold cannot leave the
    // kind's range whatever is typed.
    void dialogoRegras_data() {
        QTest::addColumn<QString>("alvo");
        QTest::addColumn<int>("limitePedido");
        QTest::addColumn<bool>("aceita");
        QTest::addColumn<int>("limite");
        QTest::newRow("todas") << "" << 20 << true << 20;
        QTest::newRow("motivo") << " 12 " << 3 << true << 3;
        QTest::newRow("negativo") << "" << -5 << true << 1;
        QTest::newRow("absurdo") << "" << 9999999 << true << 1440;
        QTest::newRow("alvo-com-espaco") << "1 2" << 5 << false << 5;
        QTest::newRow("alvo-com-controle") << "1\a" << 5 << false << 5;
    }
    void dialogoRegras() {
        QFETCH(QString, alvo);
        QFETCH(int, limitePedido);
        QFETCH(bool, aceita);
        QFETCH(int, limite);
        TfrmRegrasAlerta d;
        d.SetRegras(RegrasAlertaPadrao(), {true, true});
        d.AdicionaLinha({TTipoAlerta::AgentePausa, {}, 10});
        const int row = d.Tabela()->rowCount() - 1;
        auto* edit = qobject_cast<QLineEdit*>(d.Tabela()->cellWidget(row, TfrmRegrasAlerta::cAlvo));
        auto* spin =
            qobject_cast<QSpinBox*>(d.Tabela()->cellWidget(row, TfrmRegrasAlerta::cLimite));
        edit->setText(alvo);
        spin->setValue(limitePedido);
        d.OkClick();
        QCOMPARE(d.result() == QDialog::Accepted, aceita);
        QCOMPARE(d.Erro()->text().contains("linha 4"), !aceita);
        QCOMPARE(d.Regras().back().Limite, limite);
        QCOMPARE(d.Regras().size(), size_t(4));
        QCOMPARE(d.Opcoes(), (TOpcoesAlerta{true, true}));
        d.RemoveLinha(0);
        QCOMPARE(d.Regras().front().Tipo, TTipoAlerta::FilaNivelServico);
    }

    // Every word must appear somewhere in the row, whatever its accents and case.
    void filtroTexto_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("casa");
        QTest::newRow("vazio") << ""
                               << "qualquer" << true;
        QTest::newRow("sem-acento") << "joao"
                                    << "1002\nJoão Lima" << true;
        QTest::newRow("com-acento") << "JOÃO"
                                    << "1002\njoao lima" << true;
        QTest::newRow("palavras-em-qualquer-ordem") << "lima  joão"
                                                    << "João Lima" << true;
        QTest::newRow("todas-as-palavras") << "joão souza"
                                           << "João Lima" << false;
        QTest::newRow("cedilha") << "almoco"
                                 << "Em pausa (I - Almoço)" << true;
        QTest::newRow("numero") << "100"
                                << "1001\nAna" << true;
        QTest::newRow("nao-casa") << "xyz"
                                  << "1001\nAna" << false;
        QTest::newRow("maiusculas-acentuadas") << "indisponivel"
                                               << "INDISPONÍVEL" << true;
    }
    void filtroTexto() {
        QFETCH(QString, filtro);
        QFETCH(QString, texto);
        QFETCH(bool, casa);
        TFiltroTexto f;
        f.Define(filtro);
        QCOMPARE(f.Casa(texto), casa);
    }

    // In the agents window, by number, name, state, queue or extension (columns the list mode
    // does not show included); an agent that starts matching arrives, one that stops leaves;
    // the filter survives a sort and is kept in the window's settings.
    void filtroDaListaAoVivo_data() {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QStringList>("visiveis");
        QTest::newRow("nome") << "bruno" << QStringList{"1002"};
        QTest::newRow("numero") << "1001" << QStringList{"1001"};
        QTest::newRow("estado") << "LIVRE" << QStringList{"1001", "1002"};
        QTest::newRow("fila") << "atendimento geral" << QStringList{"1001", "1002"};
        QTest::newRow("ramal") << "pa 03" << QStringList{};
        QTest::newRow("nada") << "zzz" << QStringList{};
    }
    void filtroDaListaAoVivo() {
        QFETCH(QString, filtro);
        QFETCH(QStringList, visiveis);
        QTemporaryDir dir;
        m->monitor->UserDir = dir.path();
        m->Ramal("2003", "PA 03");
        m->Agente("1003", "Célia");
        TfrmAgentes w(m->monitor.get());
        w.setObjectName("Atendentes");
        w.Inicio();
        auto vistos = [&] {
            QStringList ids;
            for (int r = 0; r < w.Modelo()->Linhas(); ++r)
                if (w.LinhaVisivel(r)) ids << w.AgenteDaLinha(r)->AgentNumber();
            ids.sort();
            return ids;
        };
        QCOMPARE(vistos(), (QStringList{"1001", "1002", "1003"}));
        w.CaixaFiltro()->setText(filtro);
        Q_EMIT w.CaixaFiltro()->textEdited(filtro);
        QCOMPARE(vistos(), visiveis);

        // Célia logs in on 2003: she now matches the state, queue and extension rows that
        // were only about logged-in agents.
        m->Ev("Agentlogin", {"Agent: 1003", "Channel: SIP/2003", "Uniqueid: 1003"});
        m->Membro("1", "Agent/1003", 1, 0, "QueueMemberAdded");
        w.Timer1Timer();
        QStringList esperados = visiveis;
        if (visiveis.size() == 2 || filtro == "pa 03") esperados << "1003";
        QTRY_COMPARE(vistos(), esperados);
        // Bruno pauses: he leaves the rows that matched "Livre", stays in the others.
        m->Pausa("1", "Agent/1002", true, "1");
        w.Timer1Timer();
        if (filtro == "LIVRE") esperados.removeAll("1002");
        QTRY_COMPARE(vistos(), esperados);
        w.ColunaClicada(1);
        QCOMPARE(vistos(), esperados);

        w.SalvaCfgForm();
        TfrmAgentes outra(m->monitor.get());
        outra.setObjectName("Atendentes");
        outra.LeVariaveis();
        QCOMPARE(outra.Filtro(), filtro);
        QCOMPARE(outra.CaixaFiltro()->isHidden(), filtro.isEmpty());
    }

    // The warning colour is saved with the colour dialog's "OK" and read back; a broken value
    // in the profile reads as the default.
    void corDeAlerta() {
        QTemporaryDir dir;
        const QString arquivo = dir.filePath("perfil.ini");
        QCOMPARE(LeCorAlerta(arquivo), kCorAlertaPadrao);
        TfrmConfiguraCores d(arquivo);
        d.ConfiguraParaAtendentes();
        d.LeConfigCores("TelaAtendentes");
        QCOMPARE(d.CorAlerta(), kCorAlertaPadrao);
        d.AplicaCorAlerta(CorRGB(1, 2, 3));
        d.OkClick();
        QCOMPARE(LeCorAlerta(arquivo), CorRGB(1, 2, 3));
        // The rules were never configured: still the defaults.
        QCOMPARE(LeRegrasAlerta(arquivo), RegrasAlertaPadrao());
        TIniFile(arquivo).WriteString("Alertas", "Cor", "-7");
        QCOMPARE(LeCorAlerta(arquivo), kCorAlertaPadrao);
    }
};

QTEST_MAIN(TestUiAlertsFilter)
#include "test_ui_alerts_filter.moc"
