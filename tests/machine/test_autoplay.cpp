#include "shared/Module1.h"
#include "support/GameFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Module1;

class TestAutoplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void pullsUntilTheCreditsRunOut() {
        GameFixture game;
        Form1& m = game.machine();
        m.spinLimit = 1;
        m.aplay->setChecked(true);
        credits = 3;
        QSignalSpy firings(m.Timer2, &QTimer::timeout);
        QElapsedTimer clock;
        clock.start();
        m.Command1_Click();
        QVERIFY(m.Timer2->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(int(credits), 0, 5000);
        const qint64 twoPulls = clock.elapsed();
        // Two waits of half a second, give or take the timer's millisecond.
        QVERIFY2(twoPulls >= 990, qPrintable(QString::number(twoPulls)));
        // The last spin armed the timer once more; its firing finds no credit.
        QTRY_COMPARE_WITH_TIMEOUT(firings.count(), 3, 2000);
        QVERIFY(!m.Timer2->isActive());
        QTest::qWait(700);
        QCOMPARE(firings.count(), 3);
    }

    void uncheckingDuringTheWaitEndsTheChain() {
        GameFixture game;
        Form1& m = game.machine();
        m.spinLimit = 1;
        m.aplay->setChecked(true);
        credits = 3;
        m.Command1_Click();
        m.aplay->setChecked(false);
        QSignalSpy firings(m.Timer2, &QTimer::timeout);
        QTRY_COMPARE_WITH_TIMEOUT(firings.count(), 1, 2000);
        QCOMPARE(int(credits), 2);
        QVERIFY(!m.Timer2->isActive());
    }

    void aFiringDuringAHandSpinOnlyPlaysTheLever() {
        GameFixture game;
        Form1& m = game.machine();
        m.soundon->setChecked(true);
        m.aplay->setChecked(true);
        m.spinLimit = 2;
        credits = 3;
        QString cueAfterFiring;
        QTimer::singleShot(0, &m, [&] {
            m.Timer2->start();
            m.Timer2_Timer();
            cueAfterFiring = soundFile;
        });
        m.Command1_Click();
        QCOMPARE(cueAfterFiring, QString("lever.wav"));
        QCOMPARE(int(credits), 2);
        QCOMPARE(game.cues.played.count("lever.wav"), 1 + 1 + 8); // hand, firing, 8 ticks
    }

    void firingAfterTheWindowClosedDoesNothing() {
        GameFixture game;
        Form1& m = game.machine();
        m.aplay->setChecked(true);
        credits = 3;
        m.close();
        m.Timer2_Timer();
        QCOMPARE(int(credits), 3);
    }

    void speedMode() {
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        QTest::mouseClick(m.speedm, Qt::LeftButton, {}, QPoint(4, 8));
        QCOMPARE(int(m.spinLimit), 1);
        QTest::mouseClick(m.speedm, Qt::LeftButton, {}, QPoint(4, 8));
        QCOMPARE(int(m.spinLimit), 50);
        credits = 1;
        m.Command1_Click();
        QCOMPARE(int(m.ticks), 200);
    }

    void theSpinLimitPrompt_data() {
        QTest::addColumn<QVariant>("answer"); // a QString, or invalid for Cancel
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("complaint");
        QTest::newRow("20") << QVariant("20") << 20 << false;
        QTest::newRow(" 20 ") << QVariant(" 20 ") << 20 << false;
        QTest::newRow("+5") << QVariant("+5") << 5 << false;
        QTest::newRow("-3") << QVariant("-3") << -3 << false;
        QTest::newRow("0") << QVariant("0") << 0 << false;
        QTest::newRow("8191") << QVariant("8191") << 8191 << false;
        QTest::newRow("empty") << QVariant("") << 75 << false;
        QTest::newRow("Cancel") << QVariant() << 75 << false;
        QTest::newRow("12.5") << QVariant("12.5") << 75 << true;
        QTest::newRow("1e3") << QVariant("1e3") << 75 << true;
        QTest::newRow("abc") << QVariant("abc") << 75 << true;
        QTest::newRow("8192") << QVariant("8192") << 75 << true;
        QTest::newRow("99999") << QVariant("99999") << 75 << true;
    }
    void theSpinLimitPrompt() {
        QFETCH(QVariant, answer);
        QFETCH(int, limit);
        QFETCH(bool, complaint);
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        game.prompts.answers = {answer.isValid() ? std::optional(answer.toString()) : std::nullopt};
        QTest::mouseClick(m.Label2, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(game.prompts.inputTitles, QStringList({"Spinlimit"}));
        QCOMPARE(int(m.spinLimit), limit);
        QCOMPARE(game.prompts.messages.size(), size_t(complaint ? 1 : 0));
        if (complaint) {
            QCOMPARE(game.prompts.messages[0].title, QString("Spinlimit"));
            QCOMPARE(game.prompts.messages[0].prompt,
                     QString("Please type a whole number from -8192 to 8191."));
        }
    }

    void typedLimitsShapeTheSpin() {
        GameFixture game;
        Form1& m = game.machine();
        credits = 2;
        game.prompts.answers = {QString("20"), QString("0")};
        m.Label2_Click();
        m.Command1_Click();
        QCOMPARE(int(m.ticks), 80);
        m.Label2_Click();
        game.random.drawn = 0;
        m.Command1_Click();
        QCOMPARE(game.random.drawn, 0);
    }
};

QTEST_MAIN(TestAutoplay)
#include "test_autoplay.moc"
