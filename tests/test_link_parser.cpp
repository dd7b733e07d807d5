// Key lookup and packet types of received packets; the gate for outgoing values.
#include "base/ActionText.h"
#include "link/TPacketManagerParser.h"

#include <QTest>

class TestLinkParser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data() {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("has");
        QTest::addColumn<QString>("value");
        const QString base = QStringLiteral(
            "Event: Newchannel\r\nActionID: abc\r\nChannel: A\r\nChannel: B\r\n"
            "Channel1: C1\r\nCallerID :x\r\nValue:\r\nTrim:   \t spaced \t \r\nNoColon\r\n\r\n");
        QTest::newRow("case-insensitive key") << base << "actionid" << true << "abc";
        QTest::newRow("first occurrence wins") << base << "Channel" << true << "A";
        QTest::newRow("longer key never matches as prefix") << base << "Channel1" << true << "C1";
        QTest::newRow("blank before colon never matches") << base << "CallerID" << false << "";
        QTest::newRow("empty value still present") << base << "Value" << true << "";
        QTest::newRow("blanks and tabs trimmed") << base << "Trim" << true << "spaced";
        QTest::newRow("line without colon") << base << "NoColon" << false << "";
        QTest::newRow("missing key") << base << "Uniqueid" << false << "";
        QTest::newRow("event spaced")
            << QStringLiteral("Event:    Hangup   \r\n\r\n") << "Event" << true << "Hangup";
        QTest::newRow("text after last CRLF dropped")
            << QStringLiteral("Event: A\r\nTail: x") << "Tail" << false << "";
    }
    void lookup() {
        QFETCH(QString, packet);
        QFETCH(QString, key);
        QFETCH(bool, has);
        QFETCH(QString, value);
        const TPacketManagerParser p(packet);
        QCOMPARE(p.HasKey(key), has);
        QCOMPARE(p.GetValue(key), value);
    }

    void packetType_data() {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QString>("type");
        QTest::newRow("event") << "Event: Hangup\r\n\r\n"
                               << "Event";
        QTest::newRow("event lower") << "event: hangup\r\n\r\n"
                                     << "Event";
        QTest::newRow("response") << "Response: Success\r\nActionID: x\r\n\r\n"
                                  << "Response";
        QTest::newRow("greeting glued") << "Vesmara Call Manager/1.1\r\nRESPONSE: Success\r\n\r\n"
                                        << "Response";
        QTest::newRow("neither") << "Foo: bar\r\nBaz: 1\r\n\r\n"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only greeting") << "Greeting\r\n\r\n"
                                       << "";
    }
    void packetType() {
        QFETCH(QString, packet);
        QFETCH(QString, type);
        QCOMPARE(TPacketManagerParser(packet).GetPacketType(), type);
    }

    void linesEndWithEmptyLine() {
        const TPacketManagerParser p(QStringLiteral("Event: A\r\nK: v\r\n\r\n"));
        QCOMPARE(p.Lines.size(), size_t(3));
        QVERIFY(p.Lines.back().isEmpty());
    }

    void actionText() {
        QCOMPARE(Action(u"Agents", {{u"ActionId", QStringLiteral("Agents")}}),
                 QStringLiteral("Action: Agents\r\nActionId: Agents\r\n\r\n"));
    }

    void unsafeValuesRefused_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("actionOk");
        QTest::addColumn<bool>("filterOk");
        QTest::newRow("plain") << QStringLiteral("Maria José 2001") << true << true;
        QTest::newRow("CR") << QStringLiteral("a\rAction: Logoff") << false << false;
        QTest::newRow("LF") << QStringLiteral("a\nb") << false << false;
        QTest::newRow("NUL") << QString::fromUtf16(u"a\0b", 3) << false << false;
        QTest::newRow("double quote") << QStringLiteral("x\" or 1=1 or \"") << true << false;
        QTest::newRow("single quote") << QStringLiteral("d'Ávila") << true << false;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << true << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << true << false;
    }
    void unsafeValuesRefused() {
        QFETCH(QString, value);
        QFETCH(bool, actionOk);
        QFETCH(bool, filterOk);
        QCOMPARE(IsSafeActionValue(value), actionOk);
        QCOMPARE(IsSafeFilterValue(value), filterOk);
        bool threw = false;
        try {
            TActionText(u"QueuePause").Add(u"Reason", value);
        } catch (const TUnsafeValueError&) {
            threw = true;
        }
        QCOMPARE(threw, !actionOk);
        threw = false;
        try {
            FilterValue(value);
        } catch (const TUnsafeValueError&) {
            threw = true;
        }
        QCOMPARE(threw, !filterOk);
    }
};

QTEST_GUILESS_MAIN(TestLinkParser)
#include "test_link_parser.moc"
