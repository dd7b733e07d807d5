// The live lists under load: order, positions and keyed lookups stay right through thousands of
// insertions and removals, and a hangup costs the same with many channels.
#include "model/telephony/TListaCanais.h"
#include "support/TPacotes.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

namespace {
struct TItem : TItemIndexado {
    int valor;
    explicit TItem(int v) : valor(v) {}
};
} // namespace

class TestModelLists : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Random appends, inserts and removals against a plain vector.
    void indexedListMatchesAPlainList() {
        QRandomGenerator rng(7);
        TListaIndexada<TItem> lista;
        TIndiceOrdenado<int, TItem> porResto; // valor % 7, in list order
        std::vector<TItem*> referencia;
        int proximo = 0;
        for (int passo = 0; passo < 20000; ++passo) {
            const int op = rng.bounded(10);
            if (op < 5 || referencia.empty()) {
                TItem* t = lista.Adiciona(std::make_unique<TItem>(proximo++));
                referencia.push_back(t);
                porResto.Adiciona(t->valor % 7, t);
            } else if (op < 6) {
                const int i = rng.bounded(int(referencia.size()) + 1);
                TItem* t = lista.Insere(std::make_unique<TItem>(proximo++), i);
                referencia.insert(
                    referencia.begin() + std::min<size_t>(size_t(i), referencia.size()), t);
                porResto.Adiciona(t->valor % 7, t);
            } else {
                const size_t i = rng.bounded(quint32(referencia.size()));
                TItem* t = referencia[i];
                porResto.Remove(t->valor % 7, t);
                referencia.erase(referencia.begin() + qsizetype(i));
                QVERIFY(lista.Retira(t));
            }
            if (passo % 997 == 0 || passo == 19999) {
                QCOMPARE(lista.Count(), int(referencia.size()));
                for (size_t i = 0; i < referencia.size(); ++i) {
                    QCOMPARE(lista.Item(int(i)), referencia[i]);
                    QCOMPARE(lista.IndiceDe(referencia[i]), int(i));
                }
                QCOMPARE(lista.Item(int(referencia.size())), nullptr);
                QCOMPARE(lista.Item(-1), nullptr);
                for (int r = 0; r < 7; ++r) {
                    std::vector<TItem*> esperado;
                    for (TItem* t : referencia)
                        if (t->valor % 7 == r) esperado.push_back(t);
                    const auto& todos = porResto.Todos(r);
                    QCOMPARE(std::vector<TItem*>(todos.begin(), todos.end()), esperado);
                }
                std::vector<TItem*> visitados;
                lista.ParaCada([&visitados](TItem* t) { visitados.push_back(t); });
                QCOMPARE(visitados, referencia);
                std::vector<TItem*> percorridos(lista.begin(), lista.end());
                QCOMPARE(percorridos, referencia);
                if (!referencia.empty()) {
                    TItem* ultimo = referencia.back();
                    QCOMPARE(lista.Primeiro([ultimo](const TItem* t) { return t == ultimo; }),
                             ultimo);
                }
            }
        }
    }

    void channelIndexesFollowRenames() {
        TListaCanais canais;
        TChannel* a = canais.Adiciona(std::make_unique<TChannel>("X"));
        TChannel* b = canais.Adiciona(std::make_unique<TChannel>("Y"));
        a->SetaUniqueId("1");
        b->SetaUniqueId("1");
        QCOMPARE(canais.ProcuraPorUniqueId("1"), a);
        QCOMPARE(canais.Procura("Y", "1"), b);
        b->SetaChannel("X");
        QCOMPARE(canais.Procura("X", {}), a);
        std::unique_ptr<TChannel> fora = canais.Retira(0);
        QCOMPARE(fora.get(), a);
        QCOMPARE(canais.Procura("X", {}), b);
        fora->SetaChannel("Z"); // no longer in the list: nothing to keep in step
        QCOMPARE(canais.Procura("Z", {}), nullptr);
        TChannel* c = canais.Insere(std::move(fora), 0);
        QCOMPARE(canais.Item(0), c);
        QCOMPARE(canais.Procura("Z", {}), c);
        QCOMPARE(canais.ProcuraPorUniqueId("1"), c);
        QCOMPARE(canais.ProcuraPorUniqueId(""), nullptr);
    }

    // Twenty thousand calls come and go through the dispatcher with all their notices.
    void manyChannelsComeAndGo() {
        TMonitorAlimentado m;
        m.monitor->LogAtivo = false;
        constexpr int n = 20000;
        QElapsedTimer relogio;
        relogio.start();
        for (int i = 0; i < n; ++i)
            m.NovoCanal(QString("SIP/%1-1").arg(i), QString::number(i));
        for (int i = 0; i < n; i += 2)
            m.Feed(Evento("Dial", {"SubEvent: Begin", QString("Channel: SIP/%1-1").arg(i),
                                   QString("Uniqueid: %1").arg(i),
                                   QString("Destination: SIP/%1-1").arg(i + 1),
                                   QString("DestUniqueID: %1").arg(i + 1)}));
        QCOMPARE(m.monitor->Ligacoes.Count(), n / 2);
        for (int i = 0; i < n; ++i)
            m.Hangup(QString("SIP/%1-1").arg((i * 7919) % n), QString::number((i * 7919) % n));
        QCOMPARE(m.monitor->Canais.Count(), 0);
        QCOMPARE(m.monitor->Ligacoes.Count(), 0);
        qInfo("%d channels in %lld ms", n, relogio.elapsed());
    }
};

QTEST_GUILESS_MAIN(TestModelLists)
#include "test_model_lists.moc"
