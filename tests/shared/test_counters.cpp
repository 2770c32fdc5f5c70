#include "shared/Counter.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "shared/WholeNumber.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QTest>

using namespace Module1;

class TestCounters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void conversions_data() {
        QTest::addColumn<int>("startScore");
        QTest::addColumn<int>("startCredits");
        QTest::addColumn<int>("credits");
        QTest::addColumn<int>("score");
        QTest::newRow("4 on 0") << 4 << 0 << 1 << 0;
        QTest::newRow("5 on 0") << 5 << 0 << 1 << 0;
        QTest::newRow("6 on 0, 1.5 to even") << 6 << 0 << 2 << 0;
        QTest::newRow("7 on 0") << 7 << 0 << 2 << 0;
        QTest::newRow("10 on 0, 2.5 to even") << 10 << 0 << 2 << 0;
        QTest::newRow("10 on 1, 3.5 to even") << 10 << 1 << 4 << 0;
        QTest::newRow("3 is too little") << 3 << 7 << 7 << 3;
        QTest::newRow("top of range") << 4 << 32766 << 32767 << 0;
    }
    void conversions() {
        QFETCH(int, startScore);
        QFETCH(int, startCredits);
        QFETCH(int, credits);
        QFETCH(int, score);
        GameFixture game;
        Module1::score = static_cast<Counter>(startScore);
        Module1::credits = static_cast<Counter>(startCredits);
        scoretocreds_Click();
        QCOMPARE(int(Module1::credits), credits);
        QCOMPARE(int(Module1::score), score);
        // Both texts are rewritten whether or not anything converted.
        QCOMPARE(game.machine().cdlbl->caption(), QString("Credits: %1").arg(credits));
        QCOMPARE(game.machine().sclbl->caption(), QString("Score: %1").arg(score));
        QVERIFY(game.prompts.messages.empty());
    }

    void scoreToCashUsesTheWallet() {
        GameFixture game;
        Module1::score = 8;
        Module1::cash = 10;
        Module1::credits = 3;
        Command6_Click();
        QCOMPARE(int(Module1::cash), 12);
        QCOMPARE(int(Module1::score), 0);
        QCOMPARE(int(Module1::credits), 3);
        QCOMPARE(walletWindow().cashlbl->caption(), QString("12"));
    }

    void conversionBeyondRangeIsRefused() {
        GameFixture game;
        Module1::score = 32767;
        Module1::credits = 32000;
        scoretocreds_Click();
        QCOMPARE(int(Module1::credits), 32000);
        QCOMPARE(int(Module1::score), 32767);
        QCOMPARE(game.prompts.messages.size(), size_t(1));
        QCOMPARE(game.prompts.messages[0].title, QString("Too much!"));
        QCOMPARE(game.prompts.messages[0].prompt, QString("The machine can't count that high."));
        QCOMPARE(game.prompts.messages[0].icon, rt::Prompts::Icon::Exclamation);
        QCOMPARE(game.machine().sclbl->caption(), QString("Score: 32767"));
    }

    void roundingIsHalfEvenOnTheSum() {
        QCOMPARE(roundHalfEvenToCounter(0.5).value(), Counter(0));
        QCOMPARE(roundHalfEvenToCounter(1.5).value(), Counter(2));
        QCOMPARE(roundHalfEvenToCounter(-2.5).value(), Counter(-2));
        QCOMPARE(roundHalfEvenToCounter(32767.4).value(), Counter(32767));
        QVERIFY(!roundHalfEvenToCounter(32767.5)); // rounds to even 32768
        QVERIFY(!roundHalfEvenToCounter(-32768.6));
    }

    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("value");
        QTest::newRow("spaces") << " 20 " << true << 20;
        QTest::newRow("plus") << "+5" << true << 5;
        QTest::newRow("minus") << "-3" << true << -3;
        QTest::newRow("leading zeros") << "0007" << true << 7;
        QTest::newRow("upper bound") << "8191" << true << 8191;
        QTest::newRow("lower bound") << "-8192" << true << -8192;
        QTest::newRow("past upper") << "8192" << false << 0;
        QTest::newRow("past lower") << "-8193" << false << 0;
        QTest::newRow("huge") << "99999999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("fraction") << "12.5" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("letters") << "abc" << false << 0;
        QTest::newRow("hex") << "&H10" << false << 0;
        QTest::newRow("inner space") << "5 5" << false << 0;
        QTest::newRow("two signs") << "+-1" << false << 0;
        QTest::newRow("arabic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(int, value);
        const auto parsed = parseWholeNumber(text, -8192, 8191);
        QCOMPARE(parsed.has_value(), accepted);
        if (accepted)
            QCOMPARE(*parsed, value);
    }

    void playSndPlaysTheNamedCueAgainAndAgain() {
        GameFixture game;
        soundFile = "win.wav";
        PlaySnd();
        PlaySnd();
        soundFile.clear();
        PlaySnd();
        // An empty name names the program folder itself.
        QCOMPARE(game.cues.played, QStringList({"win.wav", "win.wav", ""}));
    }

    void updateLabelsBringsTheWalletHidden() {
        GameFixture game;
        Forms::unloadWallet();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Forms::walletLoaded());
        Module1::cash = -7;
        UpdateLabels();
        QVERIFY(Forms::walletLoaded());
        QVERIFY(!walletWindow().isVisible());
        QCOMPARE(walletWindow().cashlbl->caption(), QString("-7"));
    }
};

QTEST_MAIN(TestCounters)
#include "test_counters.moc"
