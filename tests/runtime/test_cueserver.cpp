// The cue player through a real sound server: a PulseAudio of the test's own,
// with a null sink whose monitor is recorded.
#include "runtime/SdlCuePlayer.h"
#include "runtime/TestCues.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <sys/prctl.h>
#include <thread>
#include <vector>

using rt::SdlCuePlayer;

namespace {

// Where the cue ends in the recording, at or after from, if it is heard in
// order and whole but for a tenth of its pieces of 10 ms (at least two). A
// sound server drops what comes too late to be played, and on a machine
// loaded well beyond its cores the thread that plays sometimes is (seen at a
// load of 12 on 2 cores: a piece or three lost in a cue of 200 ms).
std::optional<std::size_t> heardIn(const Samples& heard, const Samples& cue, std::size_t from = 0) {
    constexpr std::size_t piece = rate / 100;
    std::size_t at = from;
    std::size_t lost = 0;
    for (std::size_t start = 0; start + piece <= cue.size(); start += piece) {
        const auto cueAt = cue.begin() + static_cast<std::ptrdiff_t>(start);
        const auto found = std::search(heard.begin() + static_cast<std::ptrdiff_t>(at), heard.end(),
                                       cueAt, cueAt + piece);
        if (found == heard.end()) {
            ++lost;
        } else {
            at = static_cast<std::size_t>(found - heard.begin()) + piece;
        }
    }
    if (lost > std::max<std::size_t>(2, cue.size() / piece / 10) || at == from) {
        return std::nullopt;
    }
    return at;
}

// Debian's pulseaudio with one null sink, its native socket in a private
// runtime folder: no other server or sound card is touched.
class SoundServer {
public:
    QString socket() const { return dir_.filePath(QStringLiteral("pulse/native")); }
    QString address() const { return QStringLiteral("unix:") + socket(); }

    // Empty when it runs; otherwise why not.
    QString start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        env.insert(QStringLiteral("HOME"), dir_.path());
        daemon_.setProcessEnvironment(env);
        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        // Goes with the test, even one that crashes.
        daemon_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        daemon_.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
             QStringLiteral("--load=module-null-sink sink_name=out rate=44100 channels=1"),
             QStringLiteral("--load=module-native-protocol-unix")});
        if (!daemon_.waitForStarted(5000)) {
            return daemon_.errorString();
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (daemon_.state() != QProcess::Running) {
                return QString::fromLocal8Bit(daemon_.readAll()).trimmed();
            }
            if (QFile::exists(socket()) && pactl({QStringLiteral("info")}).contains("Server")) {
                return {};
            }
            daemon_.waitForFinished(100);
        }
        return QStringLiteral("no socket after 10 s");
    }

    // As a crash would; from any thread. stop() then reaps it.
    void crash() { ::kill(static_cast<pid_t>(daemon_.processId()), SIGKILL); }

    void kill() {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }

    QByteArray pactl(const QStringList& arguments) const {
        QProcess process;
        process.start(QStringLiteral("pactl"),
                      QStringList{QStringLiteral("--server=") + address()} << arguments);
        process.waitForFinished(10000);
        return process.readAllStandardOutput();
    }

    ~SoundServer() { kill(); }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
};

// What the null sink plays, as parec hears its monitor.
class Recording {
public:
    explicit Recording(const SoundServer& server) {
        parec_.start(QStringLiteral("parec"),
                     {QStringLiteral("--server=") + server.address(), QStringLiteral("-d"),
                      QStringLiteral("out.monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=44100"), QStringLiteral("--latency-msec=20")});
        parec_.waitForStarted(5000);
        // The sink plays silence when nothing else: the first of it shows
        // that the recording has begun.
        QElapsedTimer clock;
        clock.start();
        while (samples_.empty() && clock.elapsed() < 5000) {
            listen(50);
        }
    }
    ~Recording() {
        parec_.kill();
        parec_.waitForFinished(5000);
    }

    // Takes in what was recorded over the next milliseconds.
    const Samples& listen(int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            parec_.waitForReadyRead(milliseconds - static_cast<int>(clock.elapsed()));
            bytes_ += parec_.readAllStandardOutput();
        }
        samples_.resize(static_cast<std::size_t>(bytes_.size()) / 2);
        if (!samples_.empty()) {
            std::memcpy(samples_.data(), bytes_.constData(), samples_.size() * 2);
        }
        return samples_;
    }

private:
    QProcess parec_;
    QByteArray bytes_;
    Samples samples_;
};

} // namespace

class TestCueServer : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    SoundServer server_;

    QByteArray cueFile(const QString& name, const Samples& samples) {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(wav(1, rate, 16, pcm16(samples))) < 0) {
            return {};
        }
        return QFile::encodeName(file.fileName());
    }

    // Plays the cue now and then until the server's recording has it.
    bool heardWithin(SdlCuePlayer& player, const QByteArray& cue, const Samples& samples,
                     int milliseconds) {
        Recording recording(server_);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            player.play(cue);
            if (heardIn(recording.listen(200), samples)) {
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
            QSKIP("pulseaudio is not installed: the sound server path is not tested");
        }
        if (const QString why = server_.start(); !why.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("pulseaudio cannot start here (%1): the sound "
                                            "server path is not tested")
                                 .arg(why)));
        }
        qputenv("SDL_AUDIODRIVER", "pulseaudio");
        qputenv("PULSE_SERVER", server_.address().toLocal8Bit());
    }

    // Everything the sink plays is recorded: each cue whole, in order.
    void cuesAreHeardWholeAndInOrder() {
        const Samples first = pattern(1, rate / 5);
        const Samples second = pattern(2, rate / 10);
        const QByteArray firstCue = cueFile(QStringLiteral("first.wav"), first);
        const QByteArray secondCue = cueFile(QStringLiteral("second.wav"), second);
        SdlCuePlayer player;
        // The stream is playing before the recording starts, and the server
        // is given time to play both on a busy machine.
        player.play(cueFile(QStringLiteral("warm.wav"), pattern(4, rate / 50)));
        Recording recording(server_);
        player.play(firstCue);
        player.play(secondCue);
        std::optional<std::size_t> firstEnd;
        std::optional<std::size_t> secondEnd;
        QElapsedTimer clock;
        clock.start();
        while (!secondEnd && clock.elapsed() < 3000) {
            const Samples& heard = recording.listen(250);
            firstEnd = heardIn(heard, first);
            if (firstEnd)
                secondEnd = heardIn(heard, second, *firstEnd);
        }
        QVERIFY2(firstEnd, "first cue missing or broken");
        QVERIFY2(secondEnd, "second cue missing, broken or early");
    }

    // The desktop's sound settings list the game by these.
    void mixerKnowsTheGame() {
        SdlCuePlayer player;
        player.play(cueFile(QStringLiteral("short.wav"), pattern(3, rate / 50)));
        const QByteArray clients =
            server_.pactl({QStringLiteral("list"), QStringLiteral("clients")});
        const QByteArray streams =
            server_.pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")});
        QVERIFY2(clients.contains("application.name = \"Brim's Rolvanger\""), clients);
        QVERIFY2(clients.contains("application.icon_name = \"rolvanger\""), clients);
        QVERIFY2(streams.contains("application.name = \"Brim's Rolvanger\""), streams);
        QVERIFY2(streams.contains("media.name = \"Sound effects\""), streams);
        QVERIFY2(streams.contains("media.role = \"game\""), streams);
    }

    // A game that starts without a server gets its sound when one appears;
    // the server killed in the middle of a cue does not hold the game up,
    // and sound comes back when the server does. Cues keep their length all
    // along.
    void soundComesBackWithTheServer() {
        const Samples beep = pattern(4, rate / 10);
        const QByteArray beepCue = cueFile(QStringLiteral("beep.wav"), beep);
        const QByteArray longCue = cueFile(QStringLiteral("long.wav"), pattern(5, 2 * rate));
        server_.kill();
        SdlCuePlayer player;
        QElapsedTimer clock;
        clock.start();
        player.play(beepCue);
        QVERIFY2(clock.elapsed() >= 100 && clock.elapsed() < 1100,
                 qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(server_.start(), QString());
        QVERIFY2(heardWithin(player, beepCue, beep, 8000), "no sound once a server appeared");

        std::thread killer([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            server_.crash();
        });
        clock.start();
        player.play(longCue);
        const qint64 took = clock.elapsed();
        killer.join();
        server_.kill();
        QVERIFY2(took >= 2000 && took < 3000, qPrintable(QString::number(took)));

        QCOMPARE(server_.start(), QString());
        QVERIFY2(heardWithin(player, beepCue, beep, 8000), "no sound after the server came back");
    }
};

QTEST_GUILESS_MAIN(TestCueServer)
#include "test_cueserver.moc"
