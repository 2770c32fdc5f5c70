#include "runtime/TestCues.h"
#include "sound/SystemCuePlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <vector>

using sound::SystemCuePlayer;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Where needle starts in haystack at or after from; haystack.size() if nowhere.
std::size_t find(const Samples& haystack, const Samples& needle, std::size_t from = 0) {
    const auto begin = haystack.begin() + static_cast<std::ptrdiff_t>(from);
    return static_cast<std::size_t>(
        std::search(begin, haystack.end(), needle.begin(), needle.end()) - haystack.begin());
}

} // namespace

class TestCuePlayer : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    // What the player said in the last heardOnDisk().
    QStringList said_;

    QByteArray local(const QString& name) const { return QFile::encodeName(dir_.filePath(name)); }

    // Runs the player on SDL's disk driver and returns what reached the
    // "device". The player is gone before the file is read: closing the device
    // drops whatever is still queued, so only what play() waited for is there.
    // The device is made slower than the clock, so that waiting for the cue's
    // length is not mistaken for waiting for the device.
    Samples heardOnDisk(const std::function<void(SystemCuePlayer&)>& use) {
        const QString out = dir_.filePath("device.raw");
        QFile::remove(out);
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(out));
        qputenv("SDL_DISKAUDIODELAY", "10"); // ms per buffer of about 6 ms
        {
            SaidOnStderr stderrFile;
            {
                SystemCuePlayer player;
                use(player);
            }
            said_ = stderrFile.said();
        }
        QFile file(out);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return samplesOf(file.readAll());
    }

    Samples playOnDisk(const QList<QByteArray>& paths) {
        return heardOnDisk([&](SystemCuePlayer& player) {
            for (const QByteArray& path : paths) {
                player.play(path);
            }
        });
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void cuesArePlayedWholeAndInOrder() {
        const Samples first = pattern(1, rate / 10);
        const Samples second = pattern(2, rate / 20);
        writeFile(dir_.filePath("first.wav"), wavfile::make(1, rate, 16, wavfile::pcm16(first)));
        writeFile(dir_.filePath("second.wav"), wavfile::make(1, rate, 16, wavfile::pcm16(second)));

        // The repeat is served from memory and must sound the same.
        const Samples heard =
            playOnDisk({local("first.wav"), local("second.wav"), local("first.wav")});

        const std::size_t at = find(heard, first);
        QVERIFY2(at < heard.size(), "first cue missing or broken");
        const std::size_t then = find(heard, second, at + first.size());
        QVERIFY2(then < heard.size(), "second cue missing or early");
        QVERIFY2(find(heard, first, then + second.size()) < heard.size(), "repeated cue missing");
        // Sound that was never lost is never said to be back.
        QCOMPARE(said_, QStringList());
    }

    void unusableCuePlaysDefaultChime_data() {
        QTest::addColumn<QString>("name");
        writeFile(dir_.filePath("text.wav"), "not a sound at all");
        writeFile(dir_.filePath("cut.wav"),
                  wavfile::make(1, rate, 16, QByteArray(4000, 'x')).left(30));
        QTest::newRow("missing file") << "nowhere.wav";
        QTest::newRow("empty cue name names the folder") << "";
        QTest::newRow("not a WAV") << "text.wav";
        QTest::newRow("truncated header") << "cut.wav";
    }

    void unusableCuePlaysDefaultChime() {
        QFETCH(QString, name);
        const QByteArray path = QFile::encodeName(dir_.path() + '/' + name);
        const Samples heard = playOnDisk({path});
        QVERIFY(find(heard, samplesOf(sound::defaultChime())) < heard.size());
    }

    void cueThatTurnsUpLaterIsPlayed() {
        const QByteArray path = local("late.wav");
        const Samples cue = pattern(3, rate / 20);
        QFile::remove(dir_.filePath("late.wav"));
        const Samples heard = heardOnDisk([&](SystemCuePlayer& player) {
            player.play(path);
            writeFile(dir_.filePath("late.wav"), wavfile::make(1, rate, 16, wavfile::pcm16(cue)));
            player.play(path);
        });
        const std::size_t chimeAt = find(heard, samplesOf(sound::defaultChime()));
        QVERIFY(chimeAt < heard.size());
        QVERIFY(find(heard, cue, chimeAt) < heard.size());
    }

    // Formats the device does not take: what is heard is the cue's length of
    // sound at the cue's level, wherever the conversion smooths an edge.
    void otherFormatsAreConverted_data() {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("bits");
        QTest::newRow("8-bit") << 1 << rate << 8;
        QTest::newRow("stereo") << 2 << rate << 16;
        QTest::newRow("half rate") << 1 << rate / 2 << 16;
        QTest::newRow("stereo 8-bit at 48 kHz") << 2 << 48000 << 8;
    }

    void otherFormatsAreConverted() {
        QFETCH(int, channels);
        QFETCH(int, sampleRate);
        QFETCH(int, bits);
        // A square wave between two uneven levels never passes through silence.
        const int frames = sampleRate / 5;
        QByteArray data;
        for (int i = 0; i < frames; ++i) {
            const bool high = (i / 441) % 2 == 0;
            for (int c = 0; c < channels; ++c) {
                if (bits == 8) {
                    data.append(static_cast<char>(high ? 128 + 80 : 128 - 40));
                } else {
                    wavfile::putLittleEndian(data,
                                             static_cast<std::uint16_t>(high ? 20000 : -10000), 2);
                }
            }
        }
        writeFile(dir_.filePath("other.wav"), wavfile::make(channels, sampleRate, bits, data));

        const Samples heard = playOnDisk({local("other.wav")});
        const auto loud = std::count_if(heard.begin(), heard.end(),
                                        [](std::int16_t s) { return std::abs(s) > 4000; });
        const int expected = rate / 5;
        QVERIFY2(std::abs(loud - expected) < expected / 50,
                 qPrintable(QString("%1 loud samples, expected about %2").arg(loud).arg(expected)));
        QVERIFY(*std::max_element(heard.begin(), heard.end()) > 15000);
        QVERIFY(*std::min_element(heard.begin(), heard.end()) < -7000);
    }

    // Between cues the device rests. Left running, even paused, SDL's audio
    // thread wakes every buffer to play silence and the game costs CPU while
    // it waits; on the disk driver a running device goes on writing.
    void deviceRestsBetweenCues() {
        writeFile(dir_.filePath("short.wav"),
                  wavfile::make(1, rate, 16, wavfile::pcm16(pattern(4, rate / 50))));
        const QString out = dir_.filePath("device.raw");
        qint64 grown = -1;
        heardOnDisk([&](SystemCuePlayer& player) {
            player.play(local("short.wav"));
            const qint64 before = QFileInfo(out).size();
            QTest::qSleep(500); // 50 buffers at the disk driver's pace
            grown = QFileInfo(out).size() - before;
        });
        // At most a buffer on its way as the cue ended, and stdio's buffer.
        QVERIFY2(grown >= 0 && grown < 8192, qPrintable(QString("%1 bytes written").arg(grown)));
    }

    // A driver that never answers as its device opens (SDL's disk driver
    // writing into a pipe that nobody reads): the first cue waits for it only
    // a moment and is silent, and the program still ends.
    void programEndsWhileItsDriverHangs() {
        const QString pipe = dir_.filePath("nobody-reads");
        QFile::remove(pipe);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        writeFile(dir_.filePath("short.wav"),
                  wavfile::make(1, rate, 16, wavfile::pcm16(pattern(5, rate / 20))));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SDL_AUDIODRIVER", "disk");
        environment.insert("SDL_DISKAUDIOFILE", pipe);
        const PlayedAndEnded run = playAndExit(local("short.wav"), environment);
        QVERIFY2(run.played, "the first cue waited for the opening");
        QVERIFY2(run.ended, "the program did not end");
    }

    // Probing for a device is slow and must not hold up the program's start:
    // a player that nothing has asked to sound yet leaves the device closed.
    void deviceIsNotOpenedBeforeItIsWanted() {
        const QString out = dir_.filePath("device.raw");
        bool opened = true;
        heardOnDisk([&](SystemCuePlayer&) {
            QTest::qSleep(200);
            opened = QFileInfo::exists(out);
        });
        QVERIFY(!opened);
    }
};

QTEST_GUILESS_MAIN(TestCuePlayer)
#include "test_cueplayer.moc"
