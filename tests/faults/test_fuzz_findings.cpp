// What the fuzz runs found, kept as ordinary tests so that it stays fixed.
#include "shared/WholeNumber.h"
#include "sound/Cues.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>

class TestFuzzFindings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "dummy"); }

    // Numbers past a thousand million were refused whatever the range: the
    // reader gave up growing the number too early.
    void wholeNumbersAcrossTheWidestRange_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<int>("value");
        QTest::newRow("int max") << "2147483647" << INT_MIN << INT_MAX << true << INT_MAX;
        QTest::newRow("int min") << "-2147483648" << INT_MIN << INT_MAX << true << INT_MIN;
        QTest::newRow("past int max") << "2147483648" << INT_MIN << INT_MAX << false << 0;
        QTest::newRow("1.5 thousand million")
            << " +1500000000 " << 0 << INT_MAX << true << 1500000000;
        QTest::newRow("twenty digits")
            << "99999999999999999999" << INT_MIN << INT_MAX << false << 0;
        QTest::newRow("zeros first") << "-0000000000000000000000042" << -100 << 100 << true << -42;
        QTest::newRow("the game's range") << "32768" << -32768 << 32767 << false << 0;
    }
    void wholeNumbersAcrossTheWidestRange() {
        QFETCH(QString, text);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(bool, isNumber);
        QFETCH(int, value);
        const std::optional<int> read = parseWholeNumber(text, low, high);
        QCOMPARE(read.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*read, value);
    }

    // A 97-byte WAV whose data chunk claims 2 GB: SDL sets aside what the
    // header claims, but only what is there can be heard.
    void aWavClaimingGigabytes() {
        const QString file = QFINDTESTDATA("data/claims_2gb.wav");
        QVERIFY(!file.isEmpty());
        const QByteArray cue = sound::decodeCue(QFile::encodeName(file));
        // At most the 53 bytes there are, at twice their rate.
        QVERIFY2(cue == sound::defaultChime() ||
                     cue.size() / sound::cueBytesPerFrame <= 2 * 53 + 64,
                 qPrintable(QString::number(cue.size())));
    }
};

QTEST_GUILESS_MAIN(TestFuzzFindings)
#include "test_fuzz_findings.moc"
