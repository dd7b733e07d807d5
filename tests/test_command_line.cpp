#include "app/CommandLine.h"
#include "base/CommandLineTexts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

    TCommandLineTexts texts;

private Q_SLOTS:
    void initTestCase() { QCoreApplication::installTranslator(&texts); }

    void answersHelpAndVersion_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("help");
        QTest::newRow("--help") << QStringList{"--help"} << true;
        QTest::newRow("-h") << QStringList{"-h"} << true;
        QTest::newRow("--version") << QStringList{"--version"} << false;
        QTest::newRow("-v") << QStringList{"-v"} << false;
        // Qt's own options around the question do not hide it.
        QTest::newRow("after -platform") << QStringList{"-platform", "offscreen", "--help"} << true;
        QTest::newRow("before -style") << QStringList{"--version", "-style", "fusion"} << false;
    }
    void answersHelpAndVersion() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, help);
        arguments.prepend(QStringLiteral("/usr/bin/monitorvesmara"));
        for (const bool strict : {false, true}) {
            const auto answer = AnswerMonitorCommandLine(arguments, strict);
            QVERIFY(answer);
            QCOMPARE(answer->exitCode, 0);
            QCOMPARE(answer->err, QString());
            if (!help) {
                QCOMPARE(answer->out, QStringLiteral("Monitor Vesmara %1\n").arg(ProgramVersion()));
                continue;
            }
            for (const char* text :
                 {"Uso: ", " [opções]\n", "Monitor em tempo real", "Opções:", "-h, --help",
                  "Mostra esta ajuda.", "-v, --version", "Mostra a versão."})
                QVERIFY2(answer->out.contains(QString::fromUtf8(text)), text);
            QVERIFY(!answer->out.contains(QStringLiteral("Usage")));
            QVERIFY(!answer->out.contains(QStringLiteral("Displays")));
        }
    }

    void versionIsTheProjects() {
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+(\\.\\d+){1,3}$"))
                    .match(ProgramVersion())
                    .hasMatch());
    }

    // Before QApplication, whatever is not ours may be Qt's: left alone, the window opens.
    void leavesOtherArgumentsToQt_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("-platform") << QStringList{"-platform", "offscreen"};
        // Read letter by letter these would hold -v and -h.
        QTest::newRow("-reverse") << QStringList{"-reverse"};
        QTest::newRow("-stylesheet") << QStringList{"-stylesheet", "tema.qss"};
        QTest::newRow("--platformtheme") << QStringList{"--platformtheme", "gtk3"};
    }
    void leavesOtherArgumentsToQt() {
        QFETCH(QStringList, arguments);
        arguments.prepend(QStringLiteral("monitorvesmara"));
        QVERIFY(!AnswerMonitorCommandLine(arguments, false));
    }

    // After QApplication took its options, anything left is a mistake, reported in Portuguese.
    void refusesTheRestOnceQtTookItsOwn_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown option")
            << QStringList{"--versao"} << "Opção desconhecida: 'versao'.";
        QTest::newRow("unknown options")
            << QStringList{"-x", "--perfil"} << "Opções desconhecidas: x, perfil.";
        QTest::newRow("positional") << QStringList{"Demo"} << "Argumento inesperado: 'Demo'.";
    }
    void refusesTheRestOnceQtTookItsOwn() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        arguments.prepend(QStringLiteral("/opt/bin/monitorvesmara"));
        const auto answer = AnswerMonitorCommandLine(arguments, true);
        QVERIFY(answer);
        QCOMPARE(answer->exitCode, 1);
        QCOMPARE(answer->out, QString());
        QCOMPARE(answer->err, QStringLiteral("monitorvesmara: %1\nUse \"monitorvesmara --help\" "
                                             "para ver as opções.\n")
                                  .arg(error));
    }

    void opensTheWindowWithNothingLeft() {
        QVERIFY(!AnswerMonitorCommandLine({QStringLiteral("monitorvesmara")}, true));
    }

    // Texts it does not know pass on to the next translator, and so to the source text.
    void translatesOnlyTheParsersTexts() {
        QCOMPARE(texts.translate("QCommandLineParser", "Options:"), QStringLiteral("Opções:"));
        QCOMPARE(texts.translate("QCommandLineParser", "Something new"), QString());
        QCOMPARE(texts.translate("QFileDialog", "Options:"), QString());
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Options:"),
                 QStringLiteral("Options:"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
