#include "runtime/CheckBox.h"
#include "runtime/CommandButton.h"
#include "runtime/Label.h"
#include "runtime/PictureBox.h"
#include "runtime/Sign.h"
#include "support/GameFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    void aLabelChangesOnlyWhenItsTextDoes() {
        rt::Label label;
        QSignalSpy changes(&label, &rt::Label::Change);
        label.setCaption("Credits: 0");
        label.setCaption("Credits: 0");
        label.setCaption("Credits: 1");
        label.setCaption("Credits: 1");
        label.setCaption("");
        QCOMPARE(changes.count(), 3);
        QCOMPARE(label.caption(), QString());
    }

    void aLabelTellsClicksFromDoubleClicks() {
        rt::Label label;
        label.resize(20, 20);
        label.show();
        QSignalSpy clicks(&label, &rt::Label::Click);
        QSignalSpy doubles(&label, &rt::Label::DblClick);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(clicks.count(), 1); // a double-click is not two clicks more
        // Released elsewhere: no click.
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(clicks.count(), 1);
    }

    void aPictureBoxClicksOnRelease() {
        rt::PictureBox box;
        box.resize(40, 200);
        box.show();
        QStringList events;
        connect(&box, &QAbstractButton::pressed, &box, [&] { events << "down"; });
        connect(&box, &QAbstractButton::released, &box, [&] { events << "up"; });
        connect(&box, &QAbstractButton::clicked, &box, [&] { events << "click"; });
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(events, QStringList({"down", "up", "click"}));
        events.clear();
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(100, 10));
        QCOMPARE(events, QStringList({"down", "up"}));
    }

    // Space held on a button or check box is one press, however the repeats
    // of the held key reach the program: some marked as repeats, some not.
    // Enter presses a button as Space does, but not a check box.
    void aHeldKeyIsOnePress_data() {
        QTest::addColumn<bool>("checkBox");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("presses"); // each time the key goes down and up
        QTest::newRow("Space, button") << false << int(Qt::Key_Space) << 1;
        QTest::newRow("Space, check box") << true << int(Qt::Key_Space) << 1;
        QTest::newRow("Enter, button") << false << int(Qt::Key_Return) << 1;
        QTest::newRow("keypad Enter, button") << false << int(Qt::Key_Enter) << 1;
        QTest::newRow("Enter, check box") << true << int(Qt::Key_Return) << 0;
    }
    void aHeldKeyIsOnePress() {
        QFETCH(bool, checkBox);
        QFETCH(int, key);
        QFETCH(int, presses);
        rt::CommandButton button;
        rt::CheckBox box;
        QAbstractButton* control = checkBox ? static_cast<QAbstractButton*>(&box) : &button;
        control->resize(80, 20);
        control->show();
        const auto keypad = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QStringLiteral("\r");
        QSignalSpy clicks(control, &QAbstractButton::clicked);
        QTest::keyClick(control, Qt::Key(key), keypad);
        QTRY_COMPARE(clicks.count(), presses);
        QTest::keyPress(control, Qt::Key(key), keypad);
        for (bool marked : {false, true, false, false}) {
            QKeyEvent up(QEvent::KeyRelease, key, keypad, text, marked);
            QApplication::sendEvent(control, &up);
            QKeyEvent down(QEvent::KeyPress, key, keypad, text, marked);
            QApplication::sendEvent(control, &down);
        }
        QCOMPARE(control->isDown(), presses > 0);
        QTest::keyRelease(control, Qt::Key(key), keypad);
        QTRY_COMPARE(clicks.count(), 2 * presses);
        QTest::qWait(100);
        QCOMPARE(clicks.count(), 2 * presses);
    }

    // No focus mark shows, also after mouse play, until the first key that
    // moves or uses the focus in the window; from then on it stays.
    void focusMarksWaitForTheKeyboard() {
        QWidget window;
        window.resize(60, 220);
        auto* lever = new rt::PictureBox(&window);
        lever->setGeometry(10, 10, 41, 201);
        lever->setFocusPolicy(Qt::TabFocus);
        QPalette black = lever->palette();
        black.setColor(QPalette::Window, Qt::black);
        lever->setPalette(black);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        lever->setFocus();
        // Light pixels along its black edge, where the mark goes.
        auto marked = [lever] {
            const QImage shot = lever->grab().toImage();
            for (int y = 0; y < shot.height(); ++y)
                if (qGray(shot.pixel(0, y)) > 100)
                    return true;
            return false;
        };
        QVERIFY(!marked());
        QTest::mouseClick(lever, Qt::LeftButton);
        QVERIFY(!marked());
        QTest::keyClick(lever, Qt::Key_Down);
        QVERIFY(lever->hasFocus());
        QVERIFY(marked());
        QTest::mouseClick(lever, Qt::LeftButton);
        QVERIFY(marked());
    }

    // Unlit, a sign shows nothing but its background, and assistive
    // technology finds it hidden and nameless; lit again, it is all back.
    void aSignSwitchesOnAndOff() {
        rt::Sign sign;
        QPalette palette = sign.palette();
        palette.setColor(QPalette::Window, Qt::black);
        palette.setColor(QPalette::WindowText, QColor(0xff, 0x80, 0x00));
        sign.setPalette(palette);
        sign.setCaption(QStringLiteral("INSERT COIN"));
        sign.resize(170, 33);
        sign.show();
        auto lightPixels = [&sign] {
            const QImage image = sign.grab().toImage();
            int light = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    light += qGray(image.pixel(x, y)) > 40;
            return light;
        };
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&sign);
        QVERIFY(accessible);
        for (bool lit : {true, false, true}) {
            sign.setLit(lit);
            QCOMPARE(sign.isLit(), lit);
            QCOMPARE(lightPixels() > 20, lit);
            QCOMPARE(accessible->text(QAccessible::Name),
                     lit ? QStringLiteral("INSERT COIN") : QString());
            QCOMPARE(bool(accessible->state().invisible), !lit);
        }
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
