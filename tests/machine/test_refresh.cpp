#include "runtime/Settings.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QTest>
#include <QTimer>

using namespace Module1;

class TestRefresh : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void insertCoinBlinks_data() {
        QTest::addColumn<int>("startCredits");
        QTest::addColumn<QString>("visibility"); // after each of four refreshes
        QTest::newRow("no credits blink") << 0 << "0101";
        QTest::newRow("credits hide it") << 3 << "0000";
        QTest::newRow("negative credits leave it") << -2 << "1111";
    }
    void insertCoinBlinks() {
        QFETCH(int, startCredits);
        QFETCH(QString, visibility);
        GameFixture game;
        Form1& m = game.machine();
        QVERIFY(m.coin->isLit()); // shown at start
        credits = static_cast<Counter>(startCredits);
        QString seen;
        for (int i = 0; i < 4; ++i) {
            m.Timer1_Timer();
            seen += m.coin->isLit() ? '1' : '0';
        }
        QCOMPARE(seen, visibility);
        QCOMPARE(m.cdlbl->caption(), QString("Credits: %1").arg(startCredits));
    }

    void theRefreshWritesEveryText() {
        GameFixture game;
        Form1& m = game.machine();
        credits = 12;
        score = 7;
        cash = 3;
        m.Timer1_Timer();
        QCOMPARE(m.cdlbl->caption(), QString("Credits: 12"));
        QCOMPARE(m.sclbl->caption(), QString("Score: 7"));
        QVERIFY(Forms::walletLoaded());
        QVERIFY(!walletWindow().isVisible());
        QCOMPARE(walletWindow().cashlbl->caption(), QString("3"));
    }

    void theLoseCue() {
        GameFixture game;
        Form1& m = game.machine();
        // Start-up and repeated refreshes of unchanged texts stay silent.
        for (int i = 0; i < 5; ++i)
            m.Timer1_Timer();
        QVERIFY(game.cues.played.isEmpty());

        // The last credit taken with no score: Sound is off, the cue plays.
        credits = 1;
        m.Timer1_Timer();
        m.spinLimit = 1;
        game.random.symbols({1, 2, 3, 2, 3, 3});
        m.Command1_Click();
        QCOMPARE(game.cues.played, QStringList({"lose.wav"}));
        for (int i = 0; i < 5; ++i)
            m.Timer1_Timer();
        QCOMPARE(game.cues.played.size(), 1);

        // A conversion that empties the score with no credits.
        score = 5;
        m.Timer1_Timer();
        Command6_Click();
        QCOMPARE(int(score), 0);
        QCOMPARE(game.cues.played, QStringList({"lose.wav", "lose.wav"}));
        // With credits left, an emptied score is no loss.
        score = 5;
        credits = 1;
        m.Timer1_Timer();
        scoretocreds_Click();
        QCOMPARE(game.cues.played.size(), 2);
    }

    void theRefreshRunsDuringASpin() {
        GameFixture game;
        Form1& m = game.machine();
        rt::settings().tickFloor = std::chrono::milliseconds(10);
        m.Timer1->start();
        m.spinLimit = 10; // 40 ticks, at least 400 ms
        credits = 1;
        cash = 10;
        m.Timer1_Timer();
        // A coin put in while the reels turn shows before the spin ends.
        QTimer::singleShot(50, &m, [&] { walletWindow().eur5->click(); });
        QString shownDuringSpin;
        QTimer::singleShot(300, &m, [&] { shownDuringSpin = m.cdlbl->caption(); });
        m.Command1_Click();
        QCOMPARE(shownDuringSpin, QString("Credits: 20"));
        QCOMPARE(walletWindow().cashlbl->caption(), QString("5"));
    }
};

QTEST_MAIN(TestRefresh)
#include "test_refresh.moc"
