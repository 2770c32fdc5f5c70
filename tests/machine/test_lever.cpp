#include "runtime/Settings.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "support/GameFixture.h"
#include "support/LeverKnob.h"
#include "wallet/Form2.h"

#include <QAccessible>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace Module1;

class TestLever : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    // Any mouse button, and Space on the focused lever: down while held, up
    // again before the pull that the release makes.
    void theLeverIsDownWhileHeld() {
        using Press = std::function<void(QWidget*)>;
        auto mouse = [](Qt::MouseButton button) {
            return std::pair<Press, Press>{[=](QWidget* w) { QTest::mousePress(w, button); },
                                           [=](QWidget* w) { QTest::mouseRelease(w, button); }};
        };
        const std::pair<Press, Press> ways[] = {
            mouse(Qt::LeftButton),
            mouse(Qt::RightButton),
            mouse(Qt::MiddleButton),
            {[](QWidget* w) { QTest::keyPress(w, Qt::Key_Space); },
             [](QWidget* w) { QTest::keyRelease(w, Qt::Key_Space); }}};
        for (const auto& [press, release] : ways) {
            GameFixture game;
            Form1& m = game.machine();
            m.show();
            m.spinLimit = 1;
            credits = 1;
            const double atRest = knobRow(m.Command1->picture().toImage());
            press(m.Command1);
            QVERIFY(knobRow(m.Command1->picture().toImage()) > atRest + 40);
            QCOMPARE(int(credits), 1); // nothing pulls before the release
            m.soundon->setChecked(true);
            double knobAtLeverCue = -1;
            game.cues.duringCue = [&] {
                if (knobAtLeverCue < 0)
                    knobAtLeverCue = knobRow(m.Command1->picture().toImage());
            };
            release(m.Command1);
            QTRY_COMPARE(int(credits), 0);
            QCOMPARE(knobAtLeverCue, atRest);
        }
    }

    // Each way of pulling takes one credit and plays one lever cue; a key
    // held down and a double-click do not pull again.
    void eachPullIsOne_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Press") << "Press";
        QTest::newRow("Space") << "Space";
        QTest::newRow("Enter") << "Enter";
        QTest::newRow("keypad Enter") << "keypad Enter";
        QTest::newRow("Space held") << "Space held";
        QTest::newRow("Enter held") << "Enter held";
        QTest::newRow("double-click") << "double-click";
    }
    void eachPullIsOne() {
        QFETCH(QString, way);
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        m.soundon->setChecked(true);
        m.spinLimit = 1; // each spin is over before the next key or click
        credits = 5;
        QWidget* lever = m.Command1;
        const double atRest = knobRow(m.Command1->picture().toImage());
        if (way == "Press") {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(lever);
            QCOMPARE(button->role(), QAccessible::Button);
            QCOMPARE(button->text(QAccessible::Name), QString("Lever"));
            QVERIFY(button->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
            // A second Press while the first shows the lever down is the same one.
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QVERIFY(knobRow(m.Command1->picture().toImage()) > atRest + 40); // shown down
            button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(int(credits), 4);
        } else if (way == "Space") {
            QTest::keyClick(lever, Qt::Key_Space);
        } else if (way == "Enter") {
            QTest::keyClick(lever, Qt::Key_Return);
        } else if (way == "keypad Enter") {
            QTest::keyClick(lever, Qt::Key_Enter, Qt::KeypadModifier);
        } else if (way == "Space held" || way == "Enter held") {
            // A held key repeats as release and press pairs, which Qt marks as
            // repeats only now and then.
            const Qt::Key key = way == "Space held" ? Qt::Key_Space : Qt::Key_Return;
            QTest::keyPress(lever, key);
            for (bool marked : {true, false, false, true}) {
                QKeyEvent up(QEvent::KeyRelease, key, {}, QString(), marked);
                QApplication::sendEvent(lever, &up);
                QKeyEvent down(QEvent::KeyPress, key, {}, QString(), marked);
                QApplication::sendEvent(lever, &down);
            }
            QTest::keyRelease(lever, key);
        } else {
            doubleClick(lever);
        }
        QTest::qWait(150); // a late second pull would come within this
        QCOMPARE(int(credits), 4);
        QCOMPARE(game.cues.played.count("lever.wav"), 1);
        QVERIFY(!m.spinning);
        QCOMPARE(knobRow(m.Command1->picture().toImage()), atRest);
    }

    void aMissingLeverPictureKeepsTheLever() {
        GameFixture game;
        Form1& m = game.machine();
        QTemporaryDir empty;
        rt::settings().programFolder = empty.path();
        const QImage before = m.Command1->picture().toImage();
        m.Command1_MouseDown();
        m.Command1_MouseUp();
        QCOMPARE(m.Command1->picture().toImage(), before);
        QVERIFY(!m.Command1->picture().isNull());
    }

    void theAddMoneyPrompt_data() {
        QTest::addColumn<QVariant>("answer");
        QTest::addColumn<int>("startCash");
        QTest::addColumn<int>("cash");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("add 25") << QVariant("25") << 10 << 35 << "";
        QTest::newRow("take 20") << QVariant("-20") << 10 << -10 << "";
        QTest::newRow("spaces and sign") << QVariant(" +7 ") << 0 << 7 << "";
        QTest::newRow("Cancel") << QVariant() << 10 << 10 << "";
        QTest::newRow("empty") << QVariant("  ") << 10 << 10 << "";
        QTest::newRow("not a number") << QVariant("12.5") << 10 << 10 << "Cheat!";
        QTest::newRow("past the range") << QVariant("32768") << 10 << 10 << "Cheat!";
        QTest::newRow("sum past the top") << QVariant("32767") << 10 << 10 << "Too much!";
        QTest::newRow("sum past the bottom") << QVariant("-32768") << -1 << -1 << "Too much!";
    }
    void theAddMoneyPrompt() {
        QFETCH(QVariant, answer);
        QFETCH(int, startCash);
        QFETCH(int, cash);
        QFETCH(QString, complaint);
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        Module1::cash = static_cast<Counter>(startCash);
        game.prompts.answers = {answer.isValid() ? std::optional(answer.toString()) : std::nullopt};
        // A single click does nothing; a double-click opens the prompt.
        QTest::mouseClick(m.Label1, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(game.prompts.inputTitles.isEmpty());
        QTest::mouseDClick(m.Label1, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(game.prompts.inputTitles, QStringList({"Cheat!"}));
        QCOMPARE(int(Module1::cash), cash);
        if (complaint.isEmpty()) {
            QVERIFY(game.prompts.messages.empty());
        } else {
            QCOMPARE(game.prompts.messages.size(), size_t(1));
            QCOMPARE(game.prompts.messages[0].title, complaint);
            QCOMPARE(game.prompts.messages[0].icon, rt::Prompts::Icon::Exclamation);
        }
    }

    void negativeCashRefusesEveryCoin() {
        GameFixture game;
        game.prompts.answers = {QString("-20")};
        game.machine().Label1_DblClick();
        QCOMPARE(int(Module1::cash), -10);
        game.machine().Timer1_Timer();
        QCOMPARE(walletWindow().cashlbl->caption(), QString("-10"));
        for (auto* coin : {walletWindow().eur1, walletWindow().eur50})
            coin->click();
        QCOMPARE(game.prompts.messages.size(), size_t(2));
        QCOMPARE(int(Module1::cash), -10);
        QCOMPARE(int(credits), 0);
    }
};

QTEST_MAIN(TestLever)
#include "test_lever.moc"
