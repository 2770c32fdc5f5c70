#include "shared/Module1.h"
#include "support/GameFixture.h"

#include <QAccessible>
#include <QTest>
#include <QTimer>

using namespace Module1;

namespace {

QColor yellow() {
    return QColor(255, 255, 0);
}
QColor red() {
    return QColor(255, 0, 0);
}

struct HoldLook {
    QString caption;
    QColor colour;
    bool enabled;
};

// Counts what the lever's description tells a screen reader, once per change
// the program reports.
QObject* describedObject = nullptr;
int descriptionsTold = 0;
void countDescriptions(QAccessibleEvent* event) {
    if (event->type() == QAccessible::DescriptionChanged && event->object() == describedObject)
        ++descriptionsTold;
}

// Whether accessibility events are raised at all: only where a screen
// reader's bus is there (see screen_reader_bus.sh), which the run says by
// asking Qt to export to it. Qt reaches the bus shortly after start.
bool screenReaderListens() {
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        return false;
    if (!QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000))
        qFatal("asked to export to a screen reader's bus, Qt never reached it");
    return true;
}

HoldLook look(rt::CommandButton* button) {
    return {button->text(), button->backColour(), button->isEnabled()};
}

// Scripts one spin with limit 1: reel 1 draws once, reel 2 twice, reel 3
// three times; the last draw of each reel is what it shows.
void scriptSpin(GameFixture& game, int r1, int r2, int r3) {
    game.random.symbols({r1, r2, r3, r2, r3, r3});
}

} // namespace

class TestSpin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void payouts_data() {
        QTest::addColumn<int>("r1");
        QTest::addColumn<int>("r2");
        QTest::addColumn<int>("r3");
        QTest::addColumn<int>("points");
        QTest::addColumn<QString>("autoplayHolds");
        QTest::addColumn<QString>("told"); // to a screen reader, on the lever
        QTest::newRow("outer pair") << 3 << 5 << 3 << 2 << "101"
                                    << "orange, bell, orange: 2 points";
        QTest::newRow("left pair") << 3 << 3 << 5 << 1 << "110"
                                   << "orange, orange, bell: 1 point";
        QTest::newRow("right pair") << 5 << 3 << 3 << 1 << "011"
                                    << "bell, orange, orange: 1 point";
        QTest::newRow("triple") << 3 << 3 << 3 << 8 << "111"
                                << "orange, orange, orange: 8 points";
        QTest::newRow("nothing") << 1 << 2 << 3 << 0 << "000"
                                 << "cherries, lemon, orange: no points";
    }
    void payouts() {
        QFETCH(int, r1);
        QFETCH(int, r2);
        QFETCH(int, r3);
        QFETCH(int, points);
        QFETCH(QString, autoplayHolds);
        QFETCH(QString, told);
        for (bool autoplay : {false, true}) {
            GameFixture game;
            Form1& m = game.machine();
            m.spinLimit = 1;
            m.aplay->setChecked(autoplay);
            m.soundon->setChecked(true);
            credits = 5;
            scriptSpin(game, r1, r2, r3);
            game.clickLever();
            QCOMPARE(QList<int>({m.reel1, m.reel2, m.reel3}), QList<int>({r1, r2, r3}));
            QCOMPARE(int(score), points);
            QCOMPARE(m.sclbl->caption(), QString("Score: %1").arg(points));
            QCOMPARE(int(credits), 4);
            QCOMPARE(m.Command1->accessibleDescription(), told);
            QCOMPARE(game.cues.played.count("win.wav"), points ? 1 : 0);
            const QString held =
                QString("%1%2%3").arg(int(m.held1)).arg(int(m.held2)).arg(int(m.held3));
            QCOMPARE(held, autoplay ? autoplayHolds : QString("000"));
            QCOMPARE(game.cues.played.count("hold.wav"), autoplay ? autoplayHolds.count('1') : 0);
            if (autoplay && points) {
                QCOMPARE(m.Command2->text(), QString(autoplayHolds[0] == '1' ? "HOLDING" : "HOLD"));
                QCOMPARE(m.Command4->backColour(), autoplayHolds[2] == '1' ? red() : yellow());
            }
            if (!autoplay && screenReaderListens()) {
                // The same result again is told again, though the text stays.
                describedObject = m.Command1;
                descriptionsTold = 0;
                QAccessible::installUpdateHandler(countDescriptions);
                scriptSpin(game, r1, r2, r3);
                game.clickLever();
                QAccessible::installUpdateHandler(nullptr);
                QCOMPARE(m.Command1->accessibleDescription(), told);
                QCOMPARE(descriptionsTold, 1);
            }
        }
    }

    void aTriplePaysTwiceUnderAutoplay() {
        GameFixture game;
        Form1& m = game.machine();
        m.spinLimit = 1;
        m.aplay->setChecked(true);
        credits = 5;
        scriptSpin(game, 4, 4, 4);
        m.Command1_Click();
        QCOMPARE(int(score), 8);
        QVERIFY(m.held1 && m.held2 && m.held3);
        // Every reel is held: nothing is drawn, and the same reels pay again.
        const int drawn = game.random.drawn;
        m.Timer2_Timer();
        QCOMPARE(game.random.drawn, drawn);
        QCOMPARE(int(score), 16);
        QVERIFY(!m.held1 && !m.held2 && !m.held3);
        QVERIFY(!m.Command2->isEnabled() && !m.Command3->isEnabled() && !m.Command4->isEnabled());
    }

    void holdsAreNeverOnTwoPullsInARow() {
        GameFixture game;
        Form1& m = game.machine();
        m.spinLimit = 1;
        m.soundon->setChecked(true);
        credits = 3;
        // At start the holds cannot be used.
        QCOMPARE(look(m.Command3).enabled, false);
        QCOMPARE(look(m.Command3).caption, QString("HOLD"));
        QCOMPARE(look(m.Command3).colour, yellow());

        scriptSpin(game, 1, 2, 3);
        m.Command1_Click();
        QVERIFY(m.Command2->isEnabled() && m.Command3->isEnabled() && m.Command4->isEnabled());

        game.cues.played.clear();
        QTest::mouseClick(m.Command3, Qt::LeftButton);
        QVERIFY(m.held2);
        QCOMPARE(look(m.Command3).caption, QString("HOLDING"));
        QCOMPARE(look(m.Command3).colour, red());
        QCOMPARE(game.cues.played, QStringList({"hold.wav"}));

        // Reel 2 keeps its symbol and picture while the others turn.
        const QImage reel2 = m.hok2->picture().toImage();
        game.random.symbols({5, 6, 6, 6});
        m.Command1_Click();
        QCOMPARE(int(m.reel2), 2);
        QCOMPARE(m.hok2->picture().toImage(), reel2);
        QCOMPARE(int(m.reel1), 5);
        QCOMPARE(int(m.reel3), 6);
        QVERIFY(!m.held2);
        QCOMPARE(look(m.Command3).caption, QString("HOLD"));
        QCOMPARE(look(m.Command3).colour, yellow());
        QVERIFY(!m.Command2->isEnabled() && !m.Command3->isEnabled() && !m.Command4->isEnabled());
        QCOMPARE(game.cues.played.count("hold.wav"), 2);

        scriptSpin(game, 1, 2, 3);
        m.Command1_Click();
        QVERIFY(m.Command2->isEnabled() && m.Command3->isEnabled() && m.Command4->isEnabled());
    }

    void drawsPerReelFollowTheLimit() {
        GameFixture game;
        Form1& m = game.machine();
        credits = 3;
        m.spinLimit = 1;
        game.random.drawn = 0;
        m.Command1_Click();
        QCOMPARE(game.random.drawn, 6); // 1 + 2 + 3
        QCOMPARE(int(m.ticks), 4);

        m.spinLimit = 0;
        game.random.drawn = 0;
        m.Command1_Click();
        QCOMPARE(game.random.drawn, 0);
        QCOMPARE(int(credits), 1); // the credit is still taken

        m.spinLimit = -5;
        m.Command1_Click();
        QCOMPARE(game.random.drawn, 0);
        QCOMPARE(int(m.ticks), 0);
        QCOMPARE(int(credits), 0);
        QVERIFY(!m.spinning);
    }

    void limitZeroOnAFreshStartPaysTheTriple() {
        GameFixture game;
        game.machine().spinLimit = 0;
        credits = 1;
        game.machine().Command1_Click();
        QCOMPARE(int(score), 8);
        // The reels show start-up pictures, not what was compared.
        QCOMPARE(game.machine().Command1->accessibleDescription(),
                 QString("not drawn, not drawn, not drawn: 8 points"));
    }

    void aLimitLoweredDuringTheSpinEndsIt() {
        GameFixture game;
        Form1& m = game.machine();
        credits = 1;
        m.spinLimit = 75;
        int tick = 0;
        // Lowered to 2 after 20 ticks: 4 x 2 lies below the ticks already run.
        QTimer lower;
        connect(&lower, &QTimer::timeout, &lower, [&] {
            if (++tick == 20)
                m.spinLimit = 2;
        });
        lower.start(0);
        m.Command1_Click();
        QVERIFY(m.ticks < 300);
        QVERIFY(!m.spinning);
    }

    void autoScoreToCreditsOnTheLastCredit() {
        GameFixture game;
        Form1& m = game.machine();
        m.cts->setChecked(true);
        m.spinLimit = 1;
        credits = 1;
        score = 10;
        game.random.symbols({1, 2, 3, 2, 3, 3}); // stops at 1, 2, 3: no payout
        QString creditsWhileSpinning;
        QTimer::singleShot(0, &m, [&] { creditsWhileSpinning = m.cdlbl->caption(); });
        m.Command1_Click();
        QCOMPARE(creditsWhileSpinning, QString("Credits: 2"));
        QCOMPARE(int(credits), 2);
        QCOMPARE(int(score), 0);
    }

    void noCreditsNoSpin() {
        GameFixture game;
        Form1& m = game.machine();
        m.soundon->setChecked(true);
        m.Command1_Click();
        QCOMPARE(game.cues.played, QStringList({"lever.wav"}));
        QCOMPARE(game.random.drawn, 3); // only the start-up draws
        QCOMPARE(int(credits), 0);
        QVERIFY(m.Timer2->isActive() == false);
    }

    void aSecondPullDuringASpinIsIgnored() {
        GameFixture game;
        Form1& m = game.machine();
        m.soundon->setChecked(true);
        m.spinLimit = 3;
        credits = 5;
        QTimer::singleShot(0, &m, [&] { game.clickLever(); });
        m.Command1_Click();
        QCOMPARE(int(credits), 4);
        // The ignored click leaves its cue to the rest of the spin's ticks.
        const QStringList& cues = game.cues.played;
        QCOMPARE(cues.first(), QString("lever.wav"));
        QCOMPARE(cues.count("roll.wav") + cues.count("lever.wav"), 1 + 12 + 1);
        const qsizetype ignored = cues.indexOf("lever.wav", 1);
        QVERIFY(ignored > 0);
        for (qsizetype i = ignored; i < ignored + 12; ++i)
            QCOMPARE(cues[i], QString("lever.wav"));
    }

    void scoreStopsAtTheTop() {
        GameFixture game;
        Form1& m = game.machine();
        m.spinLimit = 0; // reels 0, 0, 0: a triple
        credits = 1;
        score = 32760;
        m.Command1_Click();
        QCOMPARE(int(score), 32767);
        QCOMPARE(m.sclbl->caption(), QString("Score: 32767"));
    }

    void closingMidSpinEndsTheSpin() {
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        credits = 5;
        QTimer::singleShot(0, &m, [&] { m.close(); });
        m.Command1_Click();
        QVERIFY(m.unloaded());
        QVERIFY(!m.isVisible());
        QVERIFY(m.ticks < 300);
        QVERIFY(!m.Timer1->isActive());
        // Nothing brings a window back once the machine has gone.
        m.Timer1_Timer();
        m.Command5_Click();
        QVERIFY(!m.isVisible());
    }
};

QTEST_MAIN(TestSpin)
#include "test_spin.moc"
