// The agents window: cells, colours and tiles per agent state at a pinned clock, the half-second
// blink of a rung agent, sort orders and header clicks, settings round trip, the pop-up menu and
// its actions.
#include "settings/TEsquemaCores.h"
#include "settings/TIniFile.h"
#include "support/TCentral.h"
#include "ui/lists/TModeloLista.h"
#include "ui/lists/TVistaLista.h"
#include "ui/windows/TMenuAtendente.h"
#include "ui/windows/TfrmAgentes.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {
QColor Cor(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
} // namespace

class TestUiAgents : public QObject {
    Q_OBJECT

    std::unique_ptr<TCentral> m;
    std::unique_ptr<TfrmAgentes> w;
    QTemporaryDir dir;

    QString Cel(const QString& agente, int coluna) {
        const int row = w->Modelo()->LinhaDe(m->A(agente));
        return row < 0 ? QStringLiteral("<sem linha>") : w->Modelo()->Texto(row, coluna);
    }
    QColor Fundo(const QString& agente) {
        return w->Modelo()->Linha(w->Modelo()->LinhaDe(m->A(agente))).Fundo;
    }
    QStringList Ordem() {
        QStringList ids;
        for (int r = 0; r < w->Modelo()->Linhas(); ++r)
            ids << w->AgenteDaLinha(r)->AgentNumber();
        return ids;
    }
    void Login(const QString& id, const QString& ramal) {
        m->Ev("Agentlogin", {"Agent: " + id, "Channel: SIP/" + ramal, "Uniqueid: l" + id});
        m->Membro("1", "Agent/" + id, 1, 0, "QueueMemberAdded");
    }
    void Abre(int modo) {
        w = std::make_unique<TfrmAgentes>(m->monitor.get());
        w->setObjectName("Atendentes");
        w->SetModoVisualizacao(modo);
    }

private Q_SLOTS:
    void init() {
        m = std::make_unique<TCentral>();
        for (const auto& [id, nome] :
             {std::pair{"2001", "PA 01"}, {"2002", "PA 02"}, {"2003", "PA 03"}, {"2004", "PA 04"}})
            m->Ramal(id, nome);
        m->Motivo(1, "Almoço", false);
        m->Agente("1001", "Maria Souza");
        m->Agente("1002", "João Lima");
        m->Agente("1003", "Ana Dias");
        m->Agente("1004", "Carla Reis");
        m->Fila("1", "Atendimento Geral");
    }
    void cleanup() {
        w.reset();
        m.reset();
    }

    // Every state in the list and detail modes, and its colours.
    void cellsPerState() {
        Login("1001", "2001");
        Login("1002", "2002");
        Login("1003", "2003");
        m->Avanca(7);
        m->Pausa("1", "Agent/1002", true, "1");
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: Agent/1003", "ChannelCalling: Khomp/B0C1-1"});
        m->Membro("1", "Agent/1003", 3);
        m->Avanca(12);

        Abre(0);
        QCOMPARE(Cel("1001", 0), QStringLiteral("1001"));
        QCOMPARE(Cel("1001", 1), QStringLiteral("Maria Souza"));
        QCOMPARE(Cel("1001", 2), QStringLiteral("Livre"));
        QCOMPARE(Cel("1001", 3), QStringLiteral("00:00:19"));
        QCOMPARE(Cel("1001", 5), QStringLiteral("Atendimento Geral"));
        QCOMPARE(Cel("1002", 2), QStringLiteral("Em pausa (I - Almoço)"));
        QCOMPARE(Cel("1002", 3), QStringLiteral("00:00:12"));
        QCOMPARE(Cel("1003", 2), QStringLiteral("Ocupado"));
        QCOMPARE(Cel("1003", 3), QStringLiteral("00:00:12")); // counted from the ring
        QCOMPARE(Cel("1003", 5), QStringLiteral("Atendimento Geral"));
        QCOMPARE(Cel("1004", 2), QStringLiteral("Indisponível"));
        QCOMPARE(Cel("1004", 3), QString());
        const TEsquemaCores padrao = EsquemaPadrao();
        QCOMPARE(Fundo("1001"), Cor(padrao.CorFundo(TClasseCor::Livre)));
        QCOMPARE(Fundo("1002"), Cor(padrao.CorFundo(TClasseCor::EmPausa)));
        QCOMPARE(Fundo("1003"), Cor(padrao.CorFundo(TClasseCor::Ocupado)));
        QCOMPARE(Fundo("1004"), Cor(padrao.CorFundo(TClasseCor::Indisponivel)));
        // Sorted by state: busy, free, paused, unavailable.
        QCOMPARE(Ordem(), (QStringList{"1003", "1001", "1002", "1004"}));

        w->SetModoVisualizacao(1);
        QCOMPARE(w->Modelo()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Ramal"));
        QCOMPARE(Cel("1001", 2), QStringLiteral("2001 (PA 01)"));
        QVERIFY(Cel("1001", 5).endsWith(u" (00:00:19)"));
        QCOMPARE(Cel("1003", 9), QStringLiteral("Khomp/B0C1"));
        QCOMPARE(Cel("1004", 5), QString());
    }

    // A queue call ringing for an agent: the key goes from 0 to 20, the row alternates between
    // the busy and the queue colour every half second, and stays in the queue colour once
    // answered.
    void rungAgentBlinks() {
        Login("1001", "2001");
        Abre(0);
        m->Entra("1", "Khomp/B0C1-1", "100.1", 1);
        m->Ev("AgentCalled",
              {"Queue: 1", "AgentCalled: Agent/1001", "ChannelCalling: Khomp/B0C1-1"});
        m->Membro("1", "Agent/1001", 3);
        const TEsquemaCores e = EsquemaPadrao();
        const QColor ocupado = Cor(e.CorFundo(TClasseCor::Ocupado));
        const QColor fila = Cor(e.CorFundo(TClasseCor::OcupadoNaFila));
        w->Timer1Timer();
        QCOMPARE(w->Modelo()->Linha(0).Chave, 20);
        QCOMPARE(Fundo("1001"), ocupado);
        w->Timer2Timer();
        QCOMPARE(Fundo("1001"), fila);
        w->Timer1Timer();
        QCOMPARE(Fundo("1001"), ocupado);
        w->Timer2Timer();
        QCOMPARE(Fundo("1001"), fila);
        m->Ev("AgentConnect", {"Queue: 1", "Member: Agent/1001", "BridgedChannel: Khomp/B0C1-1"});
        w->Timer1Timer();
        QCOMPARE(w->Modelo()->Linha(0).Chave, 10);
        QCOMPARE(Fundo("1001"), fila);
        w->Timer2Timer();
        w->Timer1Timer();
        QCOMPARE(Fundo("1001"), fila);
    }

    // The time column advances in steps of five seconds between full row updates.
    void durationInStepsOfFive() {
        Login("1001", "2001");
        Abre(0);
        w->Timer1Timer();
        m->Avanca(7);
        w->Timer1Timer();
        QCOMPARE(Cel("1001", 3), QStringLiteral("00:00:00"));
        m->Avanca(3);
        w->Timer1Timer();
        QCOMPARE(Cel("1001", 3), QStringLiteral("00:00:10"));
    }

    void headerClicks() {
        Login("1001", "2001");
        Login("1002", "2002");
        m->Avanca(3);
        Login("1003", "2003");
        Abre(0);
        QCOMPARE(Ordem(), (QStringList{"1001", "1002", "1003", "1004"})); // longest idle first
        w->ColunaClicada(1);                                              // "Nome"
        QCOMPARE(w->SortCol(), 2);
        QCOMPARE(Ordem(), (QStringList{"1003", "1004", "1002", "1001"}));
        w->ColunaClicada(1);
        QVERIFY(w->SortDescendente());
        QCOMPARE(Ordem(), (QStringList{"1001", "1002", "1004", "1003"}));
        w->ColunaClicada(0); // "Atendente"
        QCOMPARE(w->SortCol(), 1);
        QVERIFY(!w->SortDescendente());
        QCOMPARE(Ordem(), (QStringList{"1001", "1002", "1003", "1004"}));
        w->ColunaClicada(2); // "Estado"
        QCOMPARE(w->SortCol(), 0);
        w->ColunaClicada(2); // only once
        QVERIFY(!w->SortDescendente());
        w->ColunaClicada(3); // "Tempo": nothing
        QCOMPARE(w->SortCol(), 0);
    }

    void tilesShowTheChosenLines() {
        Login("1001", "2001");
        m->Avanca(5);
        Abre(2);
        const TLinhaTabela& l = w->Modelo()->Linha(w->Modelo()->LinhaDe(m->A("1001")));
        QCOMPARE(w->Modelo()->Texto(w->Modelo()->LinhaDe(m->A("1001")), 0), QStringLiteral("..."));
        QCOMPARE(l.Linha1, QStringLiteral("1001"));
        QCOMPARE(l.Linha2, QStringLiteral("00:00:05"));
        QVERIFY(l.Negrito);
        w->SetMostrarNaLinha(2, 2);
        QCOMPARE(w->Modelo()->Linha(w->Modelo()->LinhaDe(m->A("1001"))).Linha2,
                 QStringLiteral("R-2001"));
        // Logged off: the duration line is empty, the tile shows line 1 alone.
        w->SetMostrarNaLinha(2, 3);
        QCOMPARE(w->Modelo()->Linha(w->Modelo()->LinhaDe(m->A("1004"))).Linha2, QString());
    }

    void settingsRoundTrip() {
        qputenv("MONITORVESMARA_DIR", dir.path().toUtf8());
        m->monitor->UserDir = dir.path() + u'/';
        Abre(1);
        w->ColunaClicada(1);
        w->ColunaClicada(1);
        w->MudaFonte(+1);
        w->Vista()->DefineLarguras({70, 160, 55});
        w->SalvaCfgForm();
        const TIniFile ini(dir.path() + "/MonitorVesmara.ini");
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "ModoVisualizacao", -1), 1);
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "SortCol", -1), 2);
        QCOMPARE(ini.ReadBool("TelaAtendentes", "SortDescendente", false), true);
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "TamanhoDaFonteLista", -1), 1);
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo1Coluna1", -1), 160);
        // The other mode's widths followed the larger font.
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo0Coluna1", -1),
                 w->Larguras().Largura(0, 1));
        QVERIFY(w->Larguras().Largura(0, 1) > 150);
        w.reset();
        w = std::make_unique<TfrmAgentes>(m->monitor.get());
        w->setObjectName("Atendentes");
        w->LeVariaveis();
        w->Inicio();
        QCOMPARE(w->ModoVisualizacao(), 1);
        QCOMPARE(w->SortCol(), 2);
        QVERIFY(w->SortDescendente());
        QCOMPARE(w->NivelLista(), 1);
        QCOMPARE(w->Vista()->Larguras().mid(0, 3), (QList<int>{70, 160, 55}));
        // In the tile mode the widths of the list modes are kept.
        w->SetModoVisualizacao(2);
        w->SalvaCfgForm();
        QCOMPARE(ini.ReadInteger("TelaAtendentes", "Modo1Coluna1", -1), 160);
    }

    void menuFollowsStateAndPermission() {
        Login("1001", "2001");
        m->Pausa("1", "Agent/1001", true, "1");
        Abre(0);
        w->SelecionaAgente(m->A("1001"));
        std::unique_ptr<QMenu> menu(w->MontaMenu());
        QMenu* gerenciar = menu->actions().first()->menu();
        QCOMPARE(gerenciar->title(), QStringLiteral("Gerenciar atendente 1001"));
        QVERIFY(gerenciar->isEnabled());
        QStringList itens;
        for (QAction* a : gerenciar->actions())
            itens << a->text() + (a->isEnabled() ? "" : " (x)");
        QCOMPARE(itens, (QStringList{"Logoff", "Adicionar na fila", "Remover da fila",
                                     "Colocar em pausa", "Retirar de pausa"}));
        QMenu* remover = gerenciar->actions()[2]->menu();
        QCOMPARE(remover->actions().size(), 1);
        QCOMPARE(remover->actions().first()->text(), QStringLiteral("Fila 1 (Atendimento Geral)"));

        // A restricted user without the right to manage agents.
        m->Feed(Linha("ZXDBLoginVesmara", {"user: ana", "tipo: u"}));
        m->Feed(Linha("ZXDBListaPermissaoUsuario",
                      {"Usuario: ana", "PermissaoGrupoId: Atendente", "PermissaoNomeId: Full"}));
        std::unique_ptr<QMenu> menu2(w->MontaMenu());
        QVERIFY(!menu2->actions().first()->menu()->isEnabled());
    }

    void actionsAreSentAfterYes() {
        Login("1001", "2001");
        QVERIFY(m->Conecta());
        Abre(0);
        w->SelecionaAgente(m->A("1001"));
        QStringList perguntas;
        bool resposta = false;
        w->Gerencia()->Pergunta = [&](const TConfirmacao& c) {
            perguntas << c.Titulo + u"; " + c.Texto;
            return resposta;
        };
        w->Gerencia()->ColocaEmPausa(1);
        QCOMPARE(
            perguntas.last(),
            QStringLiteral(
                "Colocar em pausa; Colocar o atendente 1001 (Maria Souza) em pausa \"Almoço\"?"));
        QVERIFY(m->enviados.isEmpty());
        resposta = true;
        w->Gerencia()->ColocaEmPausa(1);
        QCOMPARE(
            m->enviados.last(),
            QStringLiteral(
                "Action: QueuePause\r\nInterface: Agent/1001\r\nPaused: 1\r\nReason: 1\r\n\r\n"));
        w->Gerencia()->RemoveDaFila(1);
        QCOMPARE(m->enviados.last(),
                 QStringLiteral("Action: QueueRemove\r\nQueue: 1\r\nInterface: "
                                "Agent/1001\r\nActionID: KQQueueRemove\r\n\r\n"));
        w->Gerencia()->Logoff();
        QCOMPARE(perguntas.last(),
                 QStringLiteral(
                     "Logoff de atendente; Confirma logoff do atendente 1001 (Maria Souza)?"));
        QCOMPARE(m->enviados.last(),
                 QStringLiteral(
                     "Action: AgentLogoff\r\nAgent: 1001\r\nActionID: KQAgentLogoff\r\n\r\n"));
    }
};

QTEST_MAIN(TestUiAgents)
#include "test_ui_agents.moc"
