#include "runtime/Label.h"
#include "runtime/PictureBox.h"
#include "support/GameFixture.h"

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
        connect(&box, &rt::PictureBox::MouseDown, &box, [&] { events << "down"; });
        connect(&box, &rt::PictureBox::MouseUp, &box, [&] { events << "up"; });
        connect(&box, &rt::PictureBox::Click, &box, [&] { events << "click"; });
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(events, QStringList({"down", "up", "click"}));
        events.clear();
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(100, 10));
        QCOMPARE(events, QStringList({"down", "up"}));
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
