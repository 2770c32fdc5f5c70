#include "runtime/Seams.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Module1;

namespace {

// Where the knob is: the topmost row with a clearly red pixel.
int knobRow(const QPixmap& lever) {
    const QImage image = lever.toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                return y;
        }
    return -1;
}

} // namespace

class TestLever : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void theLeverIsPulledWithAnyButton() {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            GameFixture game;
            Form1& m = game.machine();
            m.show();
            m.spinLimit = 1;
            credits = 1;
            const int atRest = knobRow(m.Command1->picture());
            QTest::mousePress(m.Command1, button);
            QVERIFY(knobRow(m.Command1->picture()) > atRest + 40);
            QCOMPARE(int(credits), 1); // nothing pulls before the release
            int knobWhenSpinStarts = -1;
            QTimer::singleShot(0, &m, [&] { knobWhenSpinStarts = knobRow(m.Command1->picture()); });
            QTest::mouseRelease(m.Command1, button);
            QCOMPARE(knobWhenSpinStarts, atRest);
            QCOMPARE(int(credits), 0);
        }
    }

    void aMissingLeverPictureKeepsTheLever() {
        GameFixture game;
        Form1& m = game.machine();
        QTemporaryDir empty;
        rt::seams().programFolder = empty.path();
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
        QCOMPARE(Forms::wallet().cashlbl->caption(), QString("-10"));
        for (auto* coin : {Forms::wallet().eur1, Forms::wallet().eur50})
            coin->click();
        QCOMPARE(game.prompts.messages.size(), size_t(2));
        QCOMPARE(int(Module1::cash), -10);
        QCOMPARE(int(credits), 0);
    }
};

QTEST_MAIN(TestLever)
#include "test_lever.moc"
