// Server clock, elapsed times, stamps and version comparison.
#include "base/Clock.h"

#include <QTest>
#include <QTimeZone>

namespace {
// 6 December 2026 10:00:00 local, as a day count.
const double kNow = DateTimeToDays(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)));
constexpr double kSecond = 1.0 / 86400.0;
} // namespace

class TestLinkClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        SetLocalClockForTesting([] { return kNow; });
        SetServerClockOffset(0);
    }
    void cleanup() {
        SetLocalClockForTesting({});
        SetServerClockOffset(0);
    }

    void unixTextToLocal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("none");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("letters") << "abc" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("low 32 bits zero") << "4294967296" << true;
        QTest::newRow("one day") << "86400" << false;
    }
    void unixTextToLocal() {
        QFETCH(QString, text);
        QFETCH(bool, none);
        const double v = UnixTextToLocal(text);
        if (none) {
            QCOMPARE(v, 0.0);
            return;
        }
        const int offsetMinutes =
            QTimeZone::systemTimeZone().offsetFromUtc(QDateTime::currentDateTimeUtc()) / 60;
        QCOMPARE(v, kUnixEpochDays + 1.0 + offsetMinutes / 1440.0);
    }

    void elapsed_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("offset ahead of a future local start")
            << 30 << kNow + 10 * kSecond << 20 << "00:00:20";
        QTest::newRow("future start") << 0 << kNow + 5 * kSecond << -1 << "";
        QTest::newRow("hour minute second") << 0 << kNow - 3725 * kSecond << 3725 << "01:02:05";
        QTest::newRow("hours not wrapped") << 0 << kNow - 90000 * kSecond << 90000 << "25:00:00";
        QTest::newRow("hundred hours") << 0 << kNow - 360000 * kSecond << 360000 << "100:00:00";
        QTest::newRow("exact boundary") << -30 << kNow - 30 * kSecond << 0 << "00:00:00";
    }
    void elapsed() {
        QFETCH(int, offset);
        QFETCH(double, start);
        QFETCH(int, seconds);
        QFETCH(QString, text);
        SetServerClockOffset(offset);
        QCOMPARE(ElapsedSeconds(start), seconds);
        QCOMPARE(ElapsedText(start), text);
    }

    void noDateAndNonsenseStarts() {
        QVERIFY(ElapsedSeconds(0) < 0);
        QCOMPARE(ElapsedText(0), QString());
        QCOMPARE(ElapsedText(std::nan("")), QString());
        QCOMPARE(ElapsedSeconds(-1e300), ElapsedSeconds(-1e300)); // defined, whatever it is
        QCOMPARE(ElapsedText(1e300), QString());
    }

    void stampText() {
        QCOMPARE(StampText(kNow - 3600 * kSecond), QStringLiteral("09:00:00"));
        QCOMPARE(StampText(kNow - 1.0), QStringLiteral("05/12/2026 10:00:00"));
        QCOMPARE(StampText(0), QString());
        QCOMPARE(StampText(-3), QString());
        QCOMPARE(StampText(std::nan("")), QString());
        QCOMPARE(StampText(1e300), QString());
    }

    void compareVersions_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("later build") << "1.2.70.0"
                                     << "1.2.66.0" << 4;
        QTest::newRow("numeric not textual") << "1.10"
                                             << "1.9" << 1;
        QTest::newRow("shorter a stops") << "1.2"
                                         << "1.2.66.0" << 0;
        QTest::newRow("empty a") << ""
                                 << "1.2.66.0" << 0;
        QTest::newRow("earlier") << "1.2.5"
                                 << "1.2.66.0" << -61;
        QTest::newRow("junk is zero") << "1.x.3"
                                      << "1.0.3" << 0;
        QTest::newRow("huge components") << "1.99999999999"
                                         << "1.2" << -2;
    }
    void compareVersions() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, sign);
        QCOMPARE(CompareVersions(a, b), sign);
    }
};

QTEST_GUILESS_MAIN(TestLinkClock)
#include "test_link_clock.moc"
