// The built program itself, started from a copy of its folder with broken
// media and without a sound device, under Qt's offscreen platform: it must
// start and keep running, and say on stderr what it could not use. (Nothing
// clicks here, so this covers what start-up touches; the in-process fault
// tests cover the rest.)
#include "faults/FaultSupport.h"

#include <QProcess>
#include <QTest>

using faults::Breakage;
using faults::ProgramFolder;

namespace {

struct Run {
    bool started = false;
    bool stillRunning = false;
    QString errors;
};

// Starts the program from the folder, lets it run for a while, then ends it.
Run runFor(const ProgramFolder& folder, const QString& audioDriver, int ms) {
    const QString program = folder.filePath(QStringLiteral("rolvanger"));
    QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/rolvanger"), program);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), audioDriver);
    process.setProcessEnvironment(env);
    process.start(program, {});
    Run run;
    run.started = process.waitForStarted(5000);
    if (!run.started)
        return run;
    process.waitForFinished(ms); // returns false while it keeps running
    run.stillRunning = process.state() == QProcess::Running;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

class TestFaultsProcess : public QObject {
    Q_OBJECT
private slots:
    // Every symbol picture broken in its own way: whichever three the start
    // draws, each reel shows its number and stderr names the files.
    void brokenPicturesAndNoSound() {
        ProgramFolder folder;
        const Breakage ways[] = {Breakage::Missing, Breakage::Garbage, Breakage::Empty,
                                 Breakage::Folder,  Breakage::Pipe,    Breakage::OtherFormat,
                                 Breakage::Missing};
        for (int n = 1; n <= 7; ++n)
            QVERIFY(folder.breakFile(QStringLiteral("%1.jpg").arg(n), ways[n - 1]));
        for (const char* cue : {"lever.wav", "roll.wav", "hold.wav", "win.wav", "lose.wav"})
            QVERIFY(folder.breakFile(QString::fromLatin1(cue), Breakage::Garbage));
        QVERIFY(folder.breakFile(QStringLiteral("leverup.jpg"), Breakage::Folder));
        const Run run = runFor(folder, QStringLiteral("bogus"), 2500);
        QVERIFY(run.started);
        QVERIFY2(run.stillRunning, qPrintable(run.errors));
        QVERIFY2(
            run.errors.contains(QLatin1String("rolvanger: sound is silent, no sound server (")),
            qPrintable(run.errors));
        int named = 0;
        for (int n = 1; n <= 7; ++n)
            named += run.errors.count(QStringLiteral("rolvanger: cannot read picture %1")
                                          .arg(folder.filePath(QStringLiteral("%1.jpg").arg(n))));
        // Three reels at start, each file named once however often drawn.
        QVERIFY2(named >= 1 && named <= 3, qPrintable(run.errors));
    }

    // The same program folder, whole, on the dummy driver: no complaint.
    void wholeFolderRunsQuietly() {
        ProgramFolder folder;
        const Run run = runFor(folder, QStringLiteral("dummy"), 1500);
        QVERIFY(run.started);
        QVERIFY(run.stillRunning);
        QVERIFY2(!run.errors.contains(QLatin1String("rolvanger:")), qPrintable(run.errors));
    }

    // Started where no window system can be reached: a plain message and
    // status 1, not an abort.
    void noDisplay() {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":31999")); // no such server
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rolvanger"), {});
        QVERIFY(process.waitForFinished(10000));
        const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(errors.contains(QLatin1String(
                     "rolvanger: no display to show the windows on (DISPLAY is :31999)")),
                 qPrintable(errors));
        QVERIFY2(!errors.contains(QLatin1String("Reinstalling")), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestFaultsProcess)
#include "test_faults_process.moc"
