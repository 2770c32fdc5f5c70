#include "runtime/WindowPlace.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QTest>
#include <optional>

Q_DECLARE_METATYPE(rt::Gravity)

using namespace Module1;

namespace {

rt::CommandButton* coinButton(Form2& wallet, int euro) {
    return wallet.findChild<rt::CommandButton*>(QString("eur%1").arg(euro));
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestWallet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void coins_data() {
        QTest::addColumn<int>("startCash");
        QTest::addColumn<int>("startCredits");
        QTest::addColumn<int>("euro");
        QTest::addColumn<int>("cash");
        QTest::addColumn<int>("credits");
        QTest::addColumn<QString>("refusal"); // the box's title, or empty
        QTest::newRow("1 from 10") << 10 << 0 << 1 << 9 << 4 << "";
        QTest::newRow("2 from 10") << 10 << 0 << 2 << 8 << 8 << "";
        QTest::newRow("5 from 10") << 10 << 0 << 5 << 5 << 20 << "";
        QTest::newRow("10 from 10 leaves 0") << 10 << 3 << 10 << 0 << 43 << "";
        QTest::newRow("20 from 10") << 10 << 0 << 20 << 10 << 0 << "Loan?";
        QTest::newRow("50 from 10") << 10 << 0 << 50 << 10 << 0 << "Loan?";
        QTest::newRow("1 from 0") << 0 << 0 << 1 << 0 << 0 << "Loan?";
        QTest::newRow("1 from -10") << -10 << 0 << 1 << -10 << 0 << "Loan?";
        QTest::newRow("50 from the bottom") << -32768 << 0 << 50 << -32768 << 0 << "Loan?";
        QTest::newRow("50 from 60 at the top") << 60 << 32600 << 50 << 60 << 32600 << "Too much!";
        QTest::newRow("loan test comes first") << 10 << 32767 << 20 << 10 << 32767 << "Loan?";
        QTest::newRow("to exactly the top") << 60 << 32567 << 50 << 10 << 32767 << "";
    }
    void coins() {
        QFETCH(int, startCash);
        QFETCH(int, startCredits);
        QFETCH(int, euro);
        QFETCH(int, cash);
        QFETCH(int, credits);
        QFETCH(QString, refusal);
        GameFixture game;
        Module1::cash = static_cast<Counter>(startCash);
        Module1::credits = static_cast<Counter>(startCredits);
        Form2& wallet = walletWindow();
        wallet.showWallet();
        QTest::mouseClick(coinButton(wallet, euro), Qt::LeftButton);
        QCOMPARE(int(Module1::cash), cash);
        QCOMPARE(int(Module1::credits), credits);
        if (refusal.isEmpty()) {
            QVERIFY(game.prompts.messages.empty());
        } else {
            QCOMPARE(game.prompts.messages.size(), size_t(1));
            const auto& box = game.prompts.messages[0];
            QCOMPARE(box.title, refusal);
            if (refusal == "Loan?") {
                QCOMPARE(box.prompt, QString("Hey! no loans buddy!"));
                QCOMPARE(box.icon, rt::Prompts::Icon::Critical);
            } else {
                QCOMPARE(box.prompt, QString("The machine can't count that high."));
                QCOMPARE(box.icon, rt::Prompts::Icon::Exclamation);
            }
        }
        // The coin itself rewrites nothing and plays nothing.
        QCOMPARE(wallet.cashlbl->caption(), QString("10"));
        QVERIFY(game.cues.played.isEmpty());
    }

    void theWindowAsDesigned() {
        GameFixture game;
        Form2& wallet = walletWindow();
        QCOMPARE(wallet.windowTitle(), QString("This is your wallet, use it wisely!"));
        QCOMPARE(wallet.size(), QSize(370, 181));
        QVERIFY(wallet.windowFlags().testFlag(Qt::Tool));
        QVERIFY(!(wallet.windowFlags() & Qt::WindowMinimizeButtonHint));
        QCOMPARE(wallet.Label1->text(), QString::fromUtf8("You have: \u20ac"));
        QCOMPARE(wallet.eur50->text(), QString::fromUtf8("\u20ac50"));
        QCOMPARE(wallet.Label1->geometry(), QRect(24, 48, 145, 49));
        QCOMPARE(wallet.cashlbl->geometry(), QRect(168, 48, 169, 49));
        QCOMPARE(wallet.eur10->geometry(), QRect(208, 120, 49, 41));
        QCOMPARE(wallet.Command1->geometry(), QRect(16, 8, 337, 25));
        QCOMPARE(wallet.Command1->backColour(), QColor(128, 64, 0));
        QCOMPARE(wallet.cashlbl->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QCOMPARE(wallet.cashlbl->font().pixelSize(), 24);
        QCOMPARE(wallet.eur1->font().pixelSize(), 21);
    }

    void theWalletsLife() {
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        // Hidden at start, brought in by the first refresh.
        m.Timer1_Timer();
        QVERIFY(Forms::walletLoaded());
        Form2* first = &walletWindow();
        QVERIFY(!first->isVisible());

        QTest::mouseClick(m.Command5, Qt::LeftButton);
        QVERIFY(first->isVisible());
        const QPoint designPlace = first->geometry().topLeft();
        first->move(designPlace + QPoint(-30, -40));
        const QPoint moved = first->pos();
        QTest::mouseClick(first->Command1, Qt::LeftButton); // "Close" hides
        QVERIFY(!first->isVisible());
        // A window manager that lets go of a window may move it (GNOME's puts
        // it where its frame was): "Wallet" puts it back.
        first->move(moved - QPoint(0, 35));
        cash = 4;
        m.Timer1_Timer();
        QCOMPARE(first->cashlbl->caption(), QString("4")); // current while hidden
        m.Command5_Click();
        QVERIFY(first->isVisible());
        QCOMPARE(first->pos(), moved);

        // The close box unloads it; the next refresh makes a fresh one.
        QPointer<Form2> old = first;
        first->close();
        flushDeletes();
        QVERIFY(old.isNull());
        QVERIFY(!Forms::walletLoaded());
        m.Timer1_Timer();
        QVERIFY(Forms::walletLoaded());
        QVERIFY(!walletWindow().isVisible());
        QCOMPARE(walletWindow().cashlbl->caption(), QString("4"));
        m.Command5_Click();
        QCOMPARE(walletWindow().geometry().topLeft(), designPlace);
    }

    // The wallet's design place on the screen's free area: kept where the
    // area holds the whole window, moved just enough where it does not. A
    // frame the window manager told of is taken into the place; one it did
    // not tell of is left to it, by the edge that meets the area's.
    void theDesignPlaceKeptOnScreen_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("told");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<rt::Gravity>("gravity");
        const QRect large(0, 0, 1024, 768);
        const QRect shortArea(0, 0, 800, 600);
        const QRect below(0, 580, 1024, 400);
        const QRect smaller(10, 20, 100, 100);
        using G = rt::Gravity;
        QTest::newRow("large enough") << large << true << QPoint(340, 571) << G::Static;
        QTest::newRow("large enough, frame untold")
            << large << false << QPoint(340, 571) << G::Static;
        QTest::newRow("too short: moved up")
            << shortArea << true << QPoint(340, 600 - 181 - 2) << G::Static;
        QTest::newRow("too short, frame untold")
            << shortArea << false << QPoint(340, 600 - 181) << G::South;
        QTest::newRow("starts right of it")
            << large.adjusted(400, 0, 0, 0) << false << QPoint(400, 571) << G::West;
        QTest::newRow("starts below it") << below << true << QPoint(340, 600) << G::Static;
        QTest::newRow("starts below it, frame untold")
            << below << false << QPoint(340, 580) << G::North;
        QTest::newRow("smaller: top left shows") << smaller << true << QPoint(11, 40) << G::Static;
        QTest::newRow("smaller, frame untold")
            << smaller << false << QPoint(10, 20) << G::NorthWest;
    }
    void theDesignPlaceKeptOnScreen() {
        QFETCH(QRect, area);
        QFETCH(bool, told);
        QFETCH(QPoint, place);
        QFETCH(rt::Gravity, gravity);
        GameFixture game;
        const QRect design(QPoint(340, 571), walletWindow().size());
        const auto frame = told ? std::optional(QMargins(1, 20, 1, 2)) : std::nullopt;
        const rt::Place kept = rt::keptWithin(area, design, frame);
        QCOMPARE(kept.client, place);
        QCOMPARE(kept.gravity, gravity);
    }

    void unloadedWhileItsRefusalIsOpen() {
        GameFixture game;
        Module1::cash = 0;
        Form2* wallet = &walletWindow();
        QPointer<Form2> guard = wallet;
        // The machine window closes while the loan message is up.
        game.prompts.whileOpen = [&] {
            game.machine().close();
            flushDeletes();
            QVERIFY(!guard.isNull()); // still in use by its own handler
        };
        wallet->eur1->click();
        flushDeletes();
        QVERIFY(guard.isNull());
        QVERIFY(!Forms::walletLoaded());
        QVERIFY(game.machine().unloaded());
    }
};

QTEST_MAIN(TestWallet)
#include "test_wallet.moc"
