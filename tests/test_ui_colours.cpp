// The "Personalizar cores" dialog: what it saves where.
#include "settings/TIniFile.h"
#include "ui/dialogs/TfrmConfiguraCores.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestUiColours : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file;

private Q_SLOTS:
    void init() {
        file = dir.path() + "/MonitorVesmaraX.ini";
        QFile::remove(file);
    }

    void agentsWindowPersonalisedColour() {
        TfrmConfiguraCores d(file);
        d.ConfiguraParaAtendentes();
        d.LeConfigCores("TelaAtendentes");
        QCOMPARE(d.ComboUtilizar()->count(), 2);
        QCOMPARE(d.ComboUtilizar()->currentIndex(), 0);
        QVERIFY(!d.ComboAplicar()->isVisibleTo(&d));
        d.ListaEstados()->setCurrentRow(0);    // "Livre"
        QVERIFY(!d.BotaoFundo()->isEnabled()); // only with "Personalizadas"
        d.SelecionaUtilizar(1);
        QVERIFY(d.BotaoFundo()->isEnabled() && d.BotaoFonte()->isEnabled());
        d.AplicaCor(true, CorRGB(10, 20, 30));
        QCOMPARE(d.Trabalho().CorFundo(TClasseCor::Livre), CorRGB(10, 20, 30));
        d.OkClick();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const TEsquemaCores s = SchemeOfAgentsWindow(file, "TelaAtendentes");
        QCOMPARE(s.Cor, 2);
        QCOMPARE(s.CorFundo(TClasseCor::Livre), CorRGB(10, 20, 30));
        QVERIFY(TIniFile(file).SectionExists("Preferencias")); // the dialog's position
    }

    void queueWindowWhereToApply_data() {
        QTest::addColumn<int>("aplicar");
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("scope");
        QTest::newRow("only this queue") << 0 << "TelaFila3" << 1;
        QTest::newRow("queues without their own") << 1 << "Preferencias" << 1;
        QTest::newRow("all queues") << 2 << "Preferencias" << 2;
    }
    void queueWindowWhereToApply() {
        QFETCH(int, aplicar);
        QFETCH(QString, section);
        QFETCH(int, scope);
        TfrmConfiguraCores d(file);
        d.ConfiguraParaFila("Fila 3 (Financeiro)");
        QCOMPARE(d.ComboAplicar()->itemText(0), QStringLiteral("Somente na Fila 3 (Financeiro)"));
        d.LeConfigCores("TelaFila3");
        d.SelecionaUtilizar(1);
        d.ListaEstados()->setCurrentRow(3); // "Em pausa"
        d.AplicaCor(false, CorRGB(1, 1, 1));
        d.ComboAplicar()->setCurrentIndex(aplicar);
        d.OkClick();
        QCOMPARE(ReadScheme(file, section).CorFonte(TClasseCor::EmPausa), CorRGB(1, 1, 1));
        QCOMPARE(ReadScheme(file, section).Cor, 2);
        QCOMPARE(TIniFile(file).ReadInteger("Preferencias", "CorTodasAsFilas", 0), scope);
        QCOMPARE(SchemeOfQueueWindow(file, "TelaFila3").CorFonte(TClasseCor::EmPausa),
                 CorRGB(1, 1, 1));
    }

    void queueWindowMustSayWhere() {
        TfrmConfiguraCores d(file);
        d.ConfiguraParaFila("Fila 1");
        d.LeConfigCores("TelaFila1");
        // The error box is modal: close it as soon as it shows.
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        d.OkClick();
        QCOMPARE(d.result(), 0);
        QVERIFY(!TIniFile(file).SectionExists("TelaFila1"));
    }

    void agentsWindowSchemeAsThirdChoice() {
        TEsquemaCores a = EsquemaPadrao();
        a.Cor = 2;
        a.CorFundo(TClasseCor::Ocupado) = 0x010203;
        WriteScheme(file, "TelaAtendentes", a);
        TfrmConfiguraCores d(file);
        d.ConfiguraParaFila("Fila 2");
        d.LeConfigCores("TelaFila2");
        d.SelecionaUtilizar(2);
        QCOMPARE(d.Trabalho().CorFundo(TClasseCor::Ocupado), 0x010203);
        QCOMPARE(d.Trabalho().Cor, 3);
    }
};

QTEST_MAIN(TestUiColours)
#include "test_ui_colours.moc"
