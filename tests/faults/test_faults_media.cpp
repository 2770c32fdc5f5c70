// Broken media and no sound card: the real machine window and the real cue
// player on SDL's dummy driver, with the program folder's files missing,
// corrupt, replaced by a folder or a pipe. The game must go on as decided:
// a reel shows its number, the lever keeps its picture, a cue plays the
// default chime, and stderr names a broken picture once.
#include "faults/FaultSupport.h"
#include "runtime/Settings.h"
#include "runtime/TestCues.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "sound/Cues.h"
#include "sound/SystemCuePlayer.h"
#include "support/GameFixture.h"

#include <QElapsedTimer>
#include <QTest>

using faults::Breakage;
using faults::ProgramFolder;
using faults::StderrCapture;

Q_DECLARE_METATYPE(faults::Breakage)

namespace {

// The face a reel shows for an unreadable symbol: white, with dark strokes
// (the number) in the middle.
bool isNumberFace(const QPixmap& picture, QSize reel) {
    if (picture.size() != reel)
        return false;
    const QImage image = picture.toImage();
    if (image.pixelColor(2, 2) != Qt::white)
        return false;
    int dark = 0;
    for (int y = reel.height() / 4; y < reel.height() * 3 / 4; ++y)
        for (int x = reel.width() / 4; x < reel.width() * 3 / 4; ++x)
            dark += image.pixelColor(x, y).lightness() < 80;
    return dark > 50;
}

int linesNaming(const QString& text, const QString& path) {
    int count = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        count += line.contains(QLatin1String("cannot read picture")) && line.endsWith(path);
    return count;
}

// Rows for every breakage; with a rate column, the rate 0 means "not made
// by hand".
void addBreakages(bool withRate) {
    QTest::addColumn<Breakage>("breakage");
    if (withRate)
        QTest::addColumn<int>("rate");
    for (Breakage b : {Breakage::Missing, Breakage::Garbage, Breakage::Empty, Breakage::Folder,
                       Breakage::Pipe, Breakage::OtherFormat}) {
        auto& row = QTest::newRow(faults::breakageName(b)) << b;
        if (withRate)
            row << 0;
    }
}

} // namespace

class TestFaultsMedia : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        setUpTestApplication();
        qputenv("SDL_AUDIODRIVER", "dummy");
    }

    void brokenSymbolPicture_data() { addBreakages(false); }
    void brokenSymbolPicture() {
        QFETCH(Breakage, breakage);
        GameFixture game;
        Form1& m = game.machine();
        ProgramFolder folder;
        QVERIFY(folder.breakFile(QStringLiteral("3.jpg"), breakage));
        rt::settings().programFolder = folder.path();
        m.spinLimit = 1;
        Module1::credits = 2;
        StderrCapture err;
        for (int pull = 0; pull < 2; ++pull) {
            // Every reel draws symbol 3, which cannot be read.
            game.random.symbols({3, 3, 3, 3, 3, 3});
            m.Command1_Click();
        }
        const QString written = err.text();
        QCOMPARE(int(Module1::credits), 0); // both pulls ran
        QCOMPARE(int(Module1::score), 16);
        for (rt::ImageBox* reel : {m.hok1, m.hok2, m.hok3}) {
            QVERIFY2(isNumberFace(reel->picture(), reel->size()), qPrintable(reel->objectName()));
            QCOMPARE(reel->accessibleDescription(), QString("3 orange"));
        }
        // Named once, however often it is drawn.
        QCOMPARE(linesNaming(written, folder.filePath(QStringLiteral("3.jpg"))), 1);
    }

    // A picture shown once and broken while the game runs is read again, not
    // served from what was kept of it: the reel shows the number.
    void symbolPictureBrokenDuringGame_data() {
        QTest::addColumn<Breakage>("breakage");
        for (Breakage b : {Breakage::Missing, Breakage::Garbage, Breakage::OtherFormat})
            QTest::newRow(faults::breakageName(b)) << b;
    }
    void symbolPictureBrokenDuringGame() {
        QFETCH(Breakage, breakage);
        GameFixture game;
        Form1& m = game.machine();
        ProgramFolder folder;
        rt::settings().programFolder = folder.path();
        m.spinLimit = 1;
        Module1::credits = 2;
        StderrCapture err;
        game.random.symbols({3, 3, 3, 3, 3, 3});
        m.Command1_Click();
        for (rt::ImageBox* reel : {m.hok1, m.hok2, m.hok3})
            QVERIFY(!isNumberFace(reel->picture(), reel->size()));
        QVERIFY(folder.breakFile(QStringLiteral("3.jpg"), breakage));
        game.random.symbols({3, 3, 3, 3, 3, 3});
        m.Command1_Click();
        err.text();
        for (rt::ImageBox* reel : {m.hok1, m.hok2, m.hok3})
            QVERIFY2(isNumberFace(reel->picture(), reel->size()), qPrintable(reel->objectName()));
    }

    // A JPEG cut short still gives a picture (what could be decoded), never
    // an empty reel.
    void truncatedSymbolPicture() {
        GameFixture game;
        Form1& m = game.machine();
        ProgramFolder folder;
        QVERIFY(folder.breakFile(QStringLiteral("5.jpg"), Breakage::Truncated));
        rt::settings().programFolder = folder.path();
        m.spinLimit = 1;
        Module1::credits = 1;
        StderrCapture err;
        game.random.symbols({5, 5, 5, 5, 5, 5});
        m.Command1_Click();
        err.text();
        QCOMPARE(int(Module1::credits), 0);
        for (rt::ImageBox* reel : {m.hok1, m.hok2, m.hok3}) {
            QVERIFY(!reel->picture().isNull());
            QVERIFY(reel->picture().width() > 1);
        }
    }

    void brokenLeverPicture_data() { addBreakages(false); }
    void brokenLeverPicture() {
        QFETCH(Breakage, breakage);
        GameFixture game;
        Form1& m = game.machine();
        m.show();
        ProgramFolder folder;
        QVERIFY(folder.breakFile(QStringLiteral("leverdown.jpg"), breakage));
        QVERIFY(folder.breakFile(QStringLiteral("leverup.jpg"), breakage));
        rt::settings().programFolder = folder.path();
        m.spinLimit = 1;
        Module1::credits = 2;
        const QImage atRest = m.Command1->picture().toImage();
        StderrCapture err;
        QTest::mouseClick(m.Command1, Qt::LeftButton);
        QTest::mouseClick(m.Command1, Qt::RightButton);
        const QString written = err.text();
        QCOMPARE(m.Command1->picture().toImage(), atRest);
        QCOMPARE(int(Module1::credits), 0); // the pulls still came
        QCOMPARE(linesNaming(written, folder.filePath(QStringLiteral("leverdown.jpg"))), 1);
        QCOMPARE(linesNaming(written, folder.filePath(QStringLiteral("leverup.jpg"))), 1);
    }

    // Anything that is not a usable WAV file plays the default chime, at
    // once and quietly.
    void brokenCue_data() {
        addBreakages(true);
        // 4 KB whose header claims one sample a second: an hour of sound
        // from a corrupt header, which would hold up the whole game.
        QTest::newRow("a rate of 1 Hz") << Breakage::Missing << 1;
        QTest::newRow("a rate of 100 Hz") << Breakage::Missing << 100;
    }
    void brokenCue() {
        QFETCH(Breakage, breakage);
        QFETCH(int, rate);
        ProgramFolder folder;
        const QString name = QStringLiteral("lose.wav");
        if (rate > 0)
            QVERIFY(ProgramFolder::write(folder.filePath(name),
                                         wavfile::make(1, rate, 8, QByteArray(4096, '\x40'))));
        else
            QVERIFY(folder.breakFile(name, breakage));
        StderrCapture err;
        const QByteArray cue = sound::decodeCue(QFile::encodeName(folder.filePath(name)));
        QCOMPARE(err.text(), QString());
        QVERIFY(cue == sound::defaultChime());
    }

    // The other side of the rate check: a real telephone-quality cue plays
    // as itself.
    void lowButRealRateCuePlays() {
        ProgramFolder folder;
        const QString file = folder.filePath(QStringLiteral("win.wav"));
        QVERIFY(ProgramFolder::write(file, wavfile::make(1, 8000, 8, QByteArray(800, '\x70'))));
        const QByteArray cue = sound::decodeCue(QFile::encodeName(file));
        QVERIFY(cue != sound::defaultChime());
        // 0.1 s at the device's rate, give or take the resampler's edges.
        QVERIFY(qAbs(cue.size() / sound::cueBytesPerFrame - sound::cueRate / 10) < 200);
    }

    // A whole pull with Sound on, every cue broken in its own way: each cue
    // is the chime, heard to its end, and the game goes on.
    void aPullWithEveryCueBroken() {
        GameFixture game;
        Form1& m = game.machine();
        ProgramFolder folder;
        QVERIFY(folder.breakFile(QStringLiteral("lever.wav"), Breakage::Missing));
        QVERIFY(folder.breakFile(QStringLiteral("roll.wav"), Breakage::Folder));
        QVERIFY(folder.breakFile(QStringLiteral("lose.wav"), Breakage::Pipe));
        QVERIFY(folder.breakFile(QStringLiteral("win.wav"), Breakage::Garbage));
        sound::SystemCuePlayer player;
        seams().use(player);
        rt::settings().programFolder = folder.path();
        m.soundon->setChecked(true);
        m.spinLimit = 1;
        Module1::credits = 1;
        m.Timer1_Timer(); // shows the credit, so that its going sounds the lose cue
        game.random.symbols({2, 2, 2, 2, 2, 2});
        QElapsedTimer clock;
        clock.start();
        m.Command1_Click();
        const qint64 took = clock.elapsed();
        seams().use(game.cues);
        QCOMPARE(int(Module1::credits), 0);
        QCOMPARE(int(Module1::score), 8);
        QVERIFY(!m.spinning);
        // lever, lose (credits 0, score 0), four ticks and the win: seven
        // chimes of about a third of a second each, none cut short, none hung.
        const qint64 chimeMs =
            sound::defaultChime().size() / sound::cueBytesPerFrame * 1000 / sound::cueRate;
        QVERIFY2(took >= 7 * chimeMs, qPrintable(QString::number(took)));
        QVERIFY2(took < 7 * chimeMs + 20000, qPrintable(QString::number(took))); // no hang
    }

    // No sound device at all: one line says so, and every cue still takes
    // its own length, so the game keeps its pace.
    void noAudioDevice() {
        qputenv("SDL_AUDIODRIVER", "bogus");
        StderrCapture err;
        QElapsedTimer clock;
        {
            sound::SystemCuePlayer player;
            const QByteArray lose = QFile::encodeName(QCoreApplication::applicationDirPath() +
                                                      QStringLiteral("/lose.wav"));
            const qint64 length =
                sound::decodeCue(lose).size() / sound::cueBytesPerFrame * 1000 / sound::cueRate;
            QVERIFY(length > 100);
            clock.start();
            player.play(lose);
            const qint64 took = clock.elapsed();
            // Its length; the bound only catches a hang.
            QVERIFY2(took >= length && took < length + 10000, qPrintable(QString::number(took)));
        }
        qputenv("SDL_AUDIODRIVER", "dummy");
        const QString written = err.text();
        QCOMPARE(written.count(QLatin1String("rolvanger: sound is silent, no sound server (")), 1);
    }
};

QTEST_MAIN(TestFaultsMedia)
#include "test_faults_media.moc"
