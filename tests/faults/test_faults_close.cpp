// Closing the machine window at the worst moments, in the program as main()
// runs it: the real services (clock-seeded draws, the SDL cue player on the
// dummy driver, Qt's message and input boxes), the real tick floor, and the
// event loop's exec(). Each close must end the program cleanly: exec()
// returns 0 soon, no window is left on screen or alive, and nothing the
// player had changes on the way out.
#include "machine/Form1.h"
#include "runtime/LookAndFeel.h"
#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "runtime/Settings.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "sound/SystemCuePlayer.h"
#include "support/GameFixture.h"
#include "wallet/Form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <thread>

using namespace Module1;

namespace {

// The program as main() makes it.
class Program {
public:
    Program() {
        startFreshProgram();
        rt::settings().tickFloor = std::chrono::milliseconds(10);
        rt::settings().programFolder.clear();
        seams().install(random, cues, prompts);
        machine = new Form1();
        machine->show();
        machine->activateWindow();
        (void)QTest::qWaitForWindowActive(machine);
    }
    ~Program() {
        delete machine.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        seams().remove();
    }

    // Runs the event loop with the script started from it, as a player's
    // first click would be; gives exec()'s status, or -1 when it had to be
    // stopped from outside.
    int exec(const std::function<void()>& script, int limitMs = 15000) {
        QTimer::singleShot(0, machine, script);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            stuck = true;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QDialog*>(window))
                    box->reject();
            QCoreApplication::exit(-1);
        });
        watchdog.start(limitMs);
        clock.start();
        const int status = QApplication::exec();
        took = clock.elapsed();
        return stuck ? -1 : status;
    }

    // What a clean end leaves: the machine unloaded and hidden, no window of
    // the program shown, and none alive once deletions have run.
    QString leftBehind() const {
        if (!machine)
            return QStringLiteral("the machine window was deleted under main()");
        if (!machine->unloaded())
            return QStringLiteral("the machine window was not unloaded");
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                return QStringLiteral("still shown: %1 \"%2\"")
                    .arg(QString::fromLatin1(window->metaObject()->className()),
                         window->windowTitle());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (Forms::walletLoaded())
            return QStringLiteral("the wallet is still loaded");
        return QString();
    }

    rt::ClockRandomSource random;
    sound::SystemCuePlayer cues;
    rt::QtPrompts prompts;
    QPointer<Form1> machine;
    QElapsedTimer clock;
    qint64 took = 0;
    bool stuck = false;
};

// Acts once on the first modal box of the given kind, whenever it opens.
template <class Box> void whenOpen(std::function<void(Box*)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* box = qobject_cast<Box*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(box);
        }
    });
    poll->start();
}

// The window manager's close box. (While a modal box is open the window
// manager's close is held back by Qt; the machine is then closed by the
// program's own side, as a session ending would.)
void closeBox(Form1* machine) {
    machine->windowHandle()->close();
}

} // namespace

class TestFaultsClose : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        rt::setUpLookAndFeel();
        qputenv("SDL_AUDIODRIVER", "dummy");
    }

    void midSpin() {
        Program program;
        Form1* m = program.machine;
        m->soundon->setChecked(true); // each tick plays its cue as well
        m->spinLimit = 100;           // 400 ticks, at least 4 s
        credits = 3;
        const int status = program.exec([m] {
            // Closed once the reels have begun to turn, however long the
            // sound device took to open on a loaded machine.
            auto* watch = new QTimer(m);
            QObject::connect(watch, &QTimer::timeout, m, [m, watch] {
                if (m->ticks > 0) {
                    watch->stop();
                    closeBox(m);
                }
            });
            watch->start(20);
            QTest::mouseClick(m->Command1, Qt::LeftButton);
        });
        QCOMPARE(status, 0);
        // The spin was cut short (the ticks say so); the bound only catches
        // a hang.
        QVERIFY2(program.took < 20000, qPrintable(QString::number(program.took)));
        QCOMPARE(program.leftBehind(), QString());
        QCOMPARE(int(credits), 2);
        QVERIFY(m->ticks > 0 && m->ticks < 400);
    }

    // A cue holds up the whole program, closes included: the close that
    // comes in while the lose cue plays is taken right after it, and the
    // spin it interrupts ends there.
    void midCue() {
        Program program;
        Form1* m = program.machine;
        m->spinLimit = 100;
        credits = 1; // the pull takes the last credit with no score: the lose cue
        std::thread windowManager;
        const int status = program.exec([&] {
            m->Timer1_Timer(); // the texts show the credit that is about to go
            windowManager = std::thread([m] {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                // As the window system's close would come: queued for the
                // program's thread, which is busy playing the cue.
                QMetaObject::invokeMethod(
                    m, [m] { closeBox(m); }, Qt::QueuedConnection);
            });
            QTest::mouseClick(m->Command1, Qt::LeftButton);
        });
        windowManager.join();
        QCOMPARE(status, 0);
        QCOMPARE(soundFile, QString("lose.wav"));
        QVERIFY2(program.took >= 500, qPrintable(QString::number(program.took)));  // heard out
        QVERIFY2(program.took < 20000, qPrintable(QString::number(program.took))); // no hang
        QCOMPARE(program.leftBehind(), QString());
        QVERIFY(m->ticks <= 1);
    }

    void withWalletShown() {
        Program program;
        Form1* m = program.machine;
        QPointer<Form2> wallet;
        const int status = program.exec([&] {
            QTest::mouseClick(m->Command5, Qt::LeftButton);
            wallet = &walletWindow();
            QTimer::singleShot(50, m, [m] { closeBox(m); });
        });
        QCOMPARE(status, 0);
        QCOMPARE(program.leftBehind(), QString());
        QVERIFY(wallet.isNull());
    }

    // Every box the program can open, open while the machine closes, both
    // with the machine idle and from inside a running spin.
    void withBoxOpen_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("duringSpin");
        for (bool spin : {false, true}) {
            const char* when = spin ? "during a spin" : "idle";
            for (const char* box : {"spin-limit prompt", "add-money prompt", "spin-limit refusal",
                                    "add-money refusal", "too much", "loan"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(box, when))) << QString(box) << spin;
        }
    }
    void withBoxOpen() {
        QFETCH(QString, box);
        QFETCH(bool, duringSpin);
        Program program;
        Form1* m = program.machine;
        m->spinLimit = 100;
        credits = duringSpin ? 3 : 0;
        if (box == "loan") {
            m->Command5_Click();
            walletWindow().activateWindow();
            (void)QTest::qWaitForWindowActive(&walletWindow());
        }
        const QString answer = box == "spin-limit refusal"  ? QString("abc")
                               : box == "add-money refusal" ? QString("1e3")
                               : box == "too much"          ? QString("32767")
                                                            : QString();
        const bool answered = !answer.isEmpty();
        const bool onInputBox = box.endsWith("prompt");
        int handlersDone = 0;
        QString closedOn;

        auto open = [&] {
            if (box == "loan") {
                cash = 0;
                QTest::mouseClick(walletWindow().eur1, Qt::LeftButton);
            } else if (box.startsWith("spin-limit")) {
                QTest::mouseClick(m->Label2, Qt::LeftButton);
            } else {
                doubleClick(m->Label1);
            }
            ++handlersDone; // the handler has returned
        };
        auto closeMachine = [&](QWidget* openBox) {
            closedOn = openBox->windowTitle();
            m->close();
        };
        if (answered)
            whenOpen<QInputDialog>([&](QInputDialog* input) {
                input->setTextValue(answer);
                input->accept();
            });
        if (onInputBox)
            whenOpen<QInputDialog>([&](QInputDialog* input) { closeMachine(input); });
        else
            whenOpen<QMessageBox>([&](QMessageBox* message) { closeMachine(message); });

        const Counter cashBefore = box == "loan" ? 0 : cash;
        const int status = program.exec([&] {
            if (duringSpin) {
                QTimer::singleShot(100, m, open);
                QTest::mouseClick(m->Command1, Qt::LeftButton);
                ++handlersDone;
            } else {
                open();
            }
        });
        QCOMPARE(status, 0);
        QVERIFY2(program.took < 20000, qPrintable(QString::number(program.took))); // no hang
        QCOMPARE(handlersDone, duringSpin ? 2 : 1);
        QVERIFY(!closedOn.isEmpty());
        QCOMPARE(program.leftBehind(), QString());
        // Nothing the box was about took effect on the way out.
        QCOMPARE(int(m->spinLimit), 100);
        QCOMPARE(int(cash), int(cashBefore));
        QCOMPARE(int(credits), duringSpin ? 2 : 0);
        if (duringSpin)
            QVERIFY(m->ticks < 400);
    }

    // Autoplay armed when the window closes: its firing never comes, and
    // never pulls.
    void withAutoplayArmed() {
        Program program;
        Form1* m = program.machine;
        m->aplay->setChecked(true);
        m->spinLimit = 1;
        credits = 3;
        const int status = program.exec([m] {
            QTest::mouseClick(m->Command1, Qt::LeftButton);
            QTimer::singleShot(100, m, [m] { closeBox(m); });
        });
        QCOMPARE(status, 0);
        QCOMPARE(int(credits), 2);
        QTest::qWait(700);
        QCOMPARE(int(credits), 2);
        QCOMPARE(program.leftBehind(), QString());
    }
};

QTEST_MAIN(TestFaultsClose)
#include "test_faults_close.moc"
