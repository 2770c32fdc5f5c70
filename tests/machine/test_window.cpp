#include "runtime/WindowPlace.h"
#include "shared/Forms.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QAccessible>
#include <QFontInfo>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <optional>
#include <utility>

Q_DECLARE_METATYPE(rt::Gravity)

namespace {

QColor textColour(QWidget* w) {
    const bool button = w->inherits("QPushButton");
    return w->palette().color(QPalette::Active,
                              button ? QPalette::ButtonText : QPalette::WindowText);
}

QColor backColour(QWidget* w) {
    if (w->inherits("QPushButton"))
        return w->palette().color(QPalette::Button);
    return w->palette().color(w->backgroundRole());
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void theWindow() {
        GameFixture game;
        Form1& m = game.machine();
        QCOMPARE(m.size(), QSize(587, 336));
        QCOMPARE(m.minimumSize(), m.maximumSize());
        QVERIFY(!(m.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(m.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(m.palette().color(QPalette::Window), QColor(Qt::black));
        const QImage icon = m.windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixelColor(0, 0), QColor(Qt::white));
        QVERIFY(m.Timer1->interval() == 100 && m.Timer2->interval() == 500);
        QVERIFY(!m.Timer2->isActive());
        // No window manager tells of a frame here: the client area is centred
        // as the window is shown.
        m.show();
        const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((m.geometry().center() - middle).manhattanLength() <= 1);
    }

    // The middle of the screen's free area, frame and all: a frame the
    // window manager told of is taken into the place, one it did not tell
    // of is left to it. On a smaller area the title bar stays on it.
    void centredOnScreen_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("told");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<rt::Gravity>("gravity");
        const QRect screen(0, 0, 1024, 768);
        QTest::newRow("frame told") << screen << true << QPoint(218, 234) << rt::Gravity::Static;
        QTest::newRow("frame untold") << screen << false << QPoint(218, 216) << rt::Gravity::Centre;
        QTest::newRow("too short")
            << QRect(0, 40, 1024, 300) << false << QPoint(218, 40) << rt::Gravity::North;
        QTest::newRow("smaller") << QRect(0, 0, 500, 300) << true << QPoint(0, 37)
                                 << rt::Gravity::Static;
    }
    void centredOnScreen() {
        QFETCH(QRect, area);
        QFETCH(bool, told);
        QFETCH(QPoint, place);
        QFETCH(rt::Gravity, gravity);
        const auto frame = told ? std::optional(QMargins(0, 37, 0, 0)) : std::nullopt;
        const rt::Place centred = rt::centredIn(area, QSize(587, 336), frame);
        QCOMPARE(centred.client, place);
        QCOMPARE(centred.gravity, gravity);
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("text");
        const QColor yellow(255, 255, 0), red(255, 0, 0), black(Qt::black), green(0, 128, 0),
            orange(255, 128, 0);
        QTest::newRow("Command2") << "Command2" << QRect(24, 264, 121, 38) << "HOLD" << yellow
                                  << black;
        QTest::newRow("Command3") << "Command3" << QRect(184, 264, 121, 38) << "HOLD" << yellow
                                  << black;
        QTest::newRow("Command4") << "Command4" << QRect(344, 264, 121, 38) << "HOLD" << yellow
                                  << black;
        QTest::newRow("Command1") << "Command1" << QRect(512, 112, 41, 201) << "Lever" << black
                                  << black;
        QTest::newRow("sclbl") << "sclbl" << QRect(0, 0, 113, 17) << "Score: 0" << black << red;
        QTest::newRow("cdlbl") << "cdlbl" << QRect(0, 16, 113, 17) << "Credits: 0" << black << red;
        QTest::newRow("coin") << "coin" << QRect(216, 8, 169, 33) << "INSERT COIN" << black
                              << orange;
        QTest::newRow("Command5") << "Command5" << QRect(8, 96, 105, 17) << "Wallet" << green
                                  << black;
        QTest::newRow("scoretocreds")
            << "scoretocreds" << QRect(8, 72, 105, 17) << "Score to Credits" << green << black;
        QTest::newRow("Command6") << "Command6" << QRect(8, 48, 105, 17) << "Score to Cash" << green
                                  << black;
        QTest::newRow("Label1") << "Label1" << QRect(0, 320, 9, 17) << "Label1" << black << black;
        QTest::newRow("aplay") << "aplay" << QRect(464, 312, 73, 17) << "Autoplay:" << black << red;
        QTest::newRow("cts") << "cts" << QRect(336, 312, 121, 17) << "Auto score to credits"
                             << black << red;
        QTest::newRow("soundon") << "soundon" << QRect(8, 312, 81, 17) << "Sound" << black << red;
        QTest::newRow("speedm") << "speedm" << QRect(72, 312, 81, 17) << "Speed Mode" << black
                                << red;
        QTest::newRow("Label2") << "Label2" << QRect(576, 8, 9, 9) << "Label2" << black << black;
        QTest::newRow("hok1") << "hok1" << QRect(24, 136, 121, 105) << "Reel 1" << QColor()
                              << QColor();
        QTest::newRow("hok2") << "hok2" << QRect(184, 136, 121, 105) << "Reel 2" << QColor()
                              << QColor();
        QTest::newRow("hok3") << "hok3" << QRect(344, 136, 121, 105) << "Reel 3" << QColor()
                              << QColor();
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QFETCH(QColor, back);
        QFETCH(QColor, text);
        GameFixture game;
        auto* control = game.machine().findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
        // What a screen reader announces.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), caption);
        QVERIFY(control->isVisibleTo(&game.machine()));
        if (back.isValid())
            QCOMPARE(backColour(control), back);
        if (text.isValid())
            QCOMPARE(textColour(control), text);
    }

    void initialStatesAndFonts() {
        GameFixture game;
        Form1& m = game.machine();
        for (auto* hold : {m.Command2, m.Command3, m.Command4}) {
            QVERIFY(!hold->isEnabled());
            QCOMPARE(QFontInfo(hold->font()).family(), QString("Comic Neue"));
            QVERIFY(hold->font().bold());
            QCOMPARE(hold->font().pixelSize(), 19); // 14.25 pt
        }
        QCOMPARE(m.coin->font().pixelSize(), 24); // 18 pt
        QVERIFY(m.coin->font().bold());
        for (auto* box : {m.aplay, m.cts, m.soundon, m.speedm})
            QCOMPARE(box->value(), 0);
        // The lever starts with its stored picture at natural size.
        QCOMPARE(m.Command1->picture().size(), QSize(42, 200));
        // Tab order follows the design: the holds, the lever, ... Label2.
        QWidget* w = m.Command2;
        QStringList chain;
        for (int i = 0; i < 12; ++i, w = w->nextInFocusChain())
            if (w->focusPolicy() != Qt::NoFocus)
                chain << w->objectName();
        QCOMPARE(chain.mid(0, 5),
                 QStringList({"Command2", "Command3", "Command4", "Command1", "Command5"}));
    }

    void checkBoxesToggleAnywhereOnTheirArea() {
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        // The left end and the right end; "Sound" is covered at its right
        // end by "Speed Mode", so its caption's middle stands in there.
        for (auto* box : {m.aplay, m.cts, m.soundon, m.speedm}) {
            const int right = box == m.soundon ? 40 : box->width() - 3;
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(2, 8));
            QCOMPARE(box->value(), 1);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(right, 8));
            QCOMPARE(box->value(), 0);
        }
        // With the box on the right, assistive technology is told the whole
        // area, box included, as it is drawn and reacts.
        for (auto* box : {m.aplay, m.cts})
            QCOMPARE(QAccessible::queryAccessibleInterface(box)->rect(),
                     QRect(box->mapToGlobal(QPoint()), box->size()));
    }

    // A colour-faced button's face is its back colour, flat, in every state,
    // inside an edge that is raised at rest and sunken while held down.
    void colourFacedButtonsShowTheirColour() {
        GameFixture game;
        Form1& m = game.machine();
        Form2& wallet = walletWindow();
        m.ToggleHold2();
        const QColor green(0, 128, 0), yellow(255, 255, 0), red(255, 0, 0), brown(128, 64, 0);
        const struct {
            rt::CommandButton* button;
            QColor face;
        } rows[] = {{m.Command5, green},  {m.Command6, green}, {m.scoretocreds, green},
                    {m.Command2, yellow}, {m.Command3, red},   {wallet.Command1, brown}};
        for (const auto& row : rows) {
            rt::CommandButton* b = row.button;
            const QByteArray nameBytes = b->objectName().toUtf8();
            const char* name = nameBytes.constData();
            // Each state alive, then disabled, as hold buttons are between spins.
            const bool enabled = b->isEnabled();
            b->setEnabled(true);
            b->window()->show();
            QVERIFY(QTest::qWaitForWindowExposed(b->window()));
            // Sampled a few pixels in from the left edge, half-way down: the
            // face, clear of the edge, the focus mark and the caption.
            const int middle = b->height() / 2;
            const QImage atRest = b->grab().toImage();
            QCOMPARE(atRest.pixelColor(5, middle), row.face);
            QVERIFY2(atRest.pixelColor(0, middle).lightness() > row.face.lightness() &&
                         atRest.pixelColor(b->width() - 1, middle).lightness() <
                             row.face.lightness(),
                     name);
            b->setAttribute(Qt::WA_UnderMouse, true);
            QCOMPARE(b->grab().toImage().pixelColor(5, middle), row.face);
            b->setAttribute(Qt::WA_UnderMouse, false);
            b->setDown(true);
            const QImage pressed = b->grab().toImage();
            b->setDown(false);
            QCOMPARE(pressed.pixelColor(5, middle), row.face);
            QVERIFY2(pressed.pixelColor(0, middle).lightness() < row.face.lightness(), name);
            // Focus shows on every face colour as a black and white dotted mark,
            // once the keyboard is used in the window.
            QTest::keyClick(b->window(), Qt::Key_Down);
            b->activateWindow();
            b->setFocus();
            QVERIFY(QTest::qWaitForWindowActive(b->window()));
            QTRY_VERIFY(b->hasFocus());
            const QImage focused = b->grab().toImage();
            QCOMPARE(focused.pixelColor(5, middle), row.face);
            QSet<QRgb> mark;
            for (int y = 3; y < b->height() - 3; ++y)
                mark.insert(focused.pixel(3, y));
            QVERIFY2(mark.contains(qRgb(0, 0, 0)) && mark.contains(qRgb(255, 255, 255)), name);
            b->clearFocus();
            // Disabled: the same face, the caption greyed.
            const QImage live = b->grab().toImage();
            b->setEnabled(false);
            const QImage dead = b->grab().toImage();
            b->setEnabled(enabled);
            QCOMPARE(dead.pixelColor(5, middle), row.face);
            // The caption: black text alive, grey text, no black, disabled.
            auto caption = [&](const QImage& image) {
                int darkest = 255;
                bool drawn = false;
                for (int y = 3; y < image.height() - 3; ++y)
                    for (int x = 6; x < image.width() - 6; ++x) {
                        darkest = std::min(darkest, qGray(image.pixel(x, y)));
                        drawn = drawn || image.pixelColor(x, y) != row.face;
                    }
                return std::pair(drawn, darkest);
            };
            QVERIFY2(caption(live).first && caption(live).second < 40, name);
            QVERIFY2(caption(dead).first && caption(dead).second > 40, name);
        }
    }

    void theReelsScaleAnyPicture() {
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        const QImage shot = m.grab().toImage();
        // Inside each reel the symbol fills the area: no black gaps.
        for (auto* reel : {m.hok1, m.hok2, m.hok3}) {
            const QRect inside = reel->geometry().adjusted(2, 2, -2, -2);
            for (QPoint p : {inside.topLeft(), inside.bottomRight(), inside.center()})
                QVERIFY(shot.pixelColor(p).lightness() > 0);
        }
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
