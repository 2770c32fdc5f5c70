// The cue player through a real sound server, as a desktop plays it: Debian's
// PulseAudio, and PipeWire with its PulseAudio service, each the test's own,
// with a null sink whose monitor is recorded.
#include "runtime/TestCues.h"
#include "sound/SystemCuePlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
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

using sound::SystemCuePlayer;

namespace {

// What a cue is looked for by, in the recording: shorter than a cycle (below).
constexpr std::size_t piece = 64;

// The cue's pieces in the recording, each looked for after the last one
// found, from from on: where the first found begins, where the last found
// ends (from, with none), how many were not found, and whether the cue's
// last samples were.
struct Scan {
    std::optional<std::size_t> begin;
    std::size_t end;
    std::size_t lost = 0;
    bool tail = false;
};
Scan scan(const Samples& heard, const Samples& cue, std::size_t from) {
    Scan found{std::nullopt, from};
    for (std::size_t start = 0; start + piece <= cue.size(); start += piece) {
        const auto cueAt = cue.begin() + static_cast<std::ptrdiff_t>(start);
        const auto at = std::search(heard.begin() + static_cast<std::ptrdiff_t>(found.end),
                                    heard.end(), cueAt, cueAt + piece);
        if (at == heard.end()) {
            ++found.lost;
            continue;
        }
        found.end = static_cast<std::size_t>(at - heard.begin()) + piece;
        found.begin = found.begin.value_or(found.end - piece);
    }
    const auto tail = cue.end() - static_cast<std::ptrdiff_t>(std::min(piece, cue.size()));
    found.tail = std::search(heard.begin() + static_cast<std::ptrdiff_t>(from), heard.end(), tail,
                             cue.end()) != heard.end();
    return found;
}

// Where the cue ends in the recording, at or after from, if it is heard in
// order, to its last samples, and whole but for a tenth of it. A PipeWire server on a busy machine
// (seen on virtual machines whose host takes their processors away for a few
// milliseconds at a time) now and then misses a cycle (3 ms here) and plays
// silence for it instead of what a stream gave it: at the worst moments one
// cycle in eight. The cue is looked for in pieces shorter than a cycle, so
// that a dropped cycle costs what it dropped and no more.
// Also gives, when asked, how many pieces were lost.
std::optional<std::size_t> heardIn(const Samples& heard, const Samples& cue, std::size_t from = 0,
                                   std::size_t* lostPieces = nullptr) {
    const Scan found = scan(heard, cue, from);
    if (lostPieces != nullptr) {
        *lostPieces = found.lost;
    }
    if (!found.tail || found.lost > std::max<std::size_t>(2, cue.size() / piece / 10) ||
        found.end == from) {
        return std::nullopt;
    }
    return found.end;
}

// Whether the server dropped a cycle while the cue played: a cue has no
// silence in it, so silence between its first and last pieces heard is a
// cycle the server missed.
bool droppedWithin(const Samples& heard, const Samples& cue, std::size_t from) {
    const Scan found = scan(heard, cue, from);
    std::size_t run = 0;
    for (std::size_t i = found.begin.value_or(found.end); i < found.end; ++i) {
        run = heard[i] == 0 ? run + 1 : 0;
        if (run >= piece / 2) {
            return true;
        }
    }
    return false;
}

enum class Kind { PulseAudio, PipeWire };

} // namespace

Q_DECLARE_METATYPE(Kind)

namespace {

// A sound server with one null sink, "out", at the cues' own rate, so that
// what it plays can be found sample for sample; its sockets in a private
// runtime folder: no other server or sound card is touched. PipeWire comes as
// a desktop runs it: the server, its session manager and its PulseAudio
// service, on a session bus of their own.
class SoundServer {
public:
    explicit SoundServer(Kind kind) : kind_(kind) {}
    // Where its sockets are, as XDG_RUNTIME_DIR.
    QString runtimeDir() const { return dir_.path(); }
    QString socket() const { return dir_.filePath(QStringLiteral("pulse/native")); }
    QString address() const { return QStringLiteral("unix:") + socket(); }

    // Empty when it runs; otherwise why not.
    QString start() {
        kill();
        // The sockets a killed server left would pass for the new one's.
        QDir(dir_.filePath(QStringLiteral("pulse"))).removeRecursively();
        for (const QString& left : QDir(dir_.path()).entryList(QDir::Files | QDir::System)) {
            QFile::remove(dir_.filePath(left));
        }
        if (kind_ == Kind::PulseAudio) {
            launch(QStringLiteral("pulseaudio"),
                   {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
                    QStringLiteral("--load=module-null-sink sink_name=out rate=44100 channels=1"),
                    QStringLiteral("--load=module-native-protocol-unix")});
        } else {
            QDir(dir_.path()).mkpath(QStringLiteral("config/pipewire/pipewire.conf.d"));
            QFile conf(dir_.filePath(QStringLiteral("config/pipewire/pipewire.conf.d/test.conf")));
            conf.open(QIODevice::WriteOnly);
            conf.write("context.properties = { default.clock.rate = 44100 }\n"
                       "context.objects = [ { factory = adapter args = {\n"
                       "  factory.name = support.null-audio-sink node.name = \"out\"\n"
                       "  media.class = \"Audio/Sink\" object.linger = true\n"
                       "  audio.rate = 44100 audio.channels = 1 audio.position = [ MONO ] } } ]\n");
            conf.close();
            launch(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"),
                    QStringLiteral("--address=unix:path=") + dir_.filePath(QStringLiteral("bus")),
                    QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
            launch(QStringLiteral("pipewire"), {});
            waitFor([&] { return QFile::exists(dir_.filePath(QStringLiteral("pipewire-0"))); });
            launch(QStringLiteral("wireplumber"), {});
            launch(QStringLiteral("pipewire-pulse"), {});
        }
        for (QProcess* daemon : daemons_) {
            if (!daemon->waitForStarted(5000)) {
                return daemon->program() + QStringLiteral(": ") + daemon->errorString();
            }
        }
        const bool ready = waitFor([&] {
            return QFile::exists(socket()) &&
                   pactl({QStringLiteral("get-default-sink")}).trimmed() == "out";
        });
        for (QProcess* daemon : daemons_) {
            if (daemon->state() != QProcess::Running) {
                return daemon->program() + QStringLiteral(": ") +
                       QString::fromLocal8Bit(daemon->readAll()).trimmed();
            }
        }
        return ready ? QString() : QStringLiteral("no sink \"out\" after 20 s");
    }

    // As a crash would; from any thread. kill() then reaps it.
    void crash() {
        for (QProcess* daemon : daemons_) {
            ::kill(static_cast<pid_t>(daemon->processId()), SIGKILL);
        }
    }

    void kill() {
        for (QProcess* daemon : daemons_) {
            daemon->kill();
            daemon->waitForFinished(5000);
        }
        qDeleteAll(daemons_);
        daemons_.clear();
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
    void launch(const QString& program, const QStringList& arguments) {
        auto* daemon = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* folder : {"XDG_RUNTIME_DIR", "HOME", "XDG_STATE_HOME"}) {
            env.insert(QString::fromLatin1(folder), dir_.path());
        }
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=") + dir_.filePath(QStringLiteral("bus")));
        env.remove(QStringLiteral("PULSE_SERVER"));
        daemon->setProcessEnvironment(env);
        daemon->setProcessChannelMode(QProcess::MergedChannels);
        // Goes with the test, even one that crashes.
        daemon->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        daemon->start(program, arguments);
        daemons_.append(daemon);
    }

    // Waits up to 20 s, and less as soon as done() holds.
    template <typename Done> static bool waitFor(Done done) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > 20000) {
                return false;
            }
            QTest::qSleep(50);
        }
        return true;
    }

    Kind kind_;
    QTemporaryDir dir_;
    QList<QProcess*> daemons_;
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

    // Takes in what the sink plays over the next second of its own time,
    // however long the machine takes for it (within ten).
    const Samples& listenASecond() {
        const std::size_t until = samples_.size() + rate;
        QElapsedTimer clock;
        clock.start();
        while (samples_.size() < until && clock.elapsed() < 10000) {
            listen(50);
        }
        return samples_;
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
    SoundServer pulseAudio_{Kind::PulseAudio};
    SoundServer pipeWire_{Kind::PipeWire};
    QString pulseAudioMissing_;
    QString pipeWireMissing_;

    // The server of the row that runs.
    SoundServer& server() {
        QFETCH_GLOBAL(Kind, kind);
        return kind == Kind::PulseAudio ? pulseAudio_ : pipeWire_;
    }

    QByteArray cueFile(const QString& name, const Samples& samples) {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(wavfile::make(1, rate, 16, wavfile::pcm16(samples))) < 0) {
            return {};
        }
        return QFile::encodeName(file.fileName());
    }

    // Plays the cue now and then until the server's recording has it.
    bool heardWithin(SystemCuePlayer& player, const QByteArray& cue, const Samples& samples,
                     int milliseconds) {
        Recording recording(server());
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

    static QString start(SoundServer& server, const QStringList& programs) {
        for (const QString& program : programs) {
            if (QStandardPaths::findExecutable(program).isEmpty()) {
                return program + QStringLiteral(" is not installed");
            }
        }
        return server.start();
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("PulseAudio") << Kind::PulseAudio;
        QTest::newRow("PipeWire") << Kind::PipeWire;
    }

    void initTestCase() {
        QVERIFY(dir_.isValid());
        pulseAudioMissing_ = start(pulseAudio_, {QStringLiteral("pulseaudio")});
        pipeWireMissing_ =
            start(pipeWire_, {QStringLiteral("pipewire"), QStringLiteral("wireplumber"),
                              QStringLiteral("pipewire-pulse"), QStringLiteral("dbus-daemon")});
        // As a desktop plays: no driver named for SDL, the server found by
        // libpulse. Where the sound goes is told (and checked) in each row.
        qunsetenv("SDL_AUDIODRIVER");
        QLoggingCategory::setFilterRules(QStringLiteral("rolvanger.sound.info=true"));
    }

    void init() {
        QFETCH_GLOBAL(Kind, kind);
        const QString& missing = kind == Kind::PulseAudio ? pulseAudioMissing_ : pipeWireMissing_;
        if (!missing.isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("the server cannot start here (%1)").arg(missing)));
        }
        qputenv("PULSE_SERVER", server().address().toLocal8Bit());
    }

    void cleanup() { qunsetenv("SDL_AUDIODRIVER"); }

    // Through each output the player keeps for a sound server: its own
    // stream, and SDL's PulseAudio driver, which plays where libpulse cannot
    // be loaded.
    void cuesAreHeardWholeAndInOrder_data() {
        QTest::addColumn<QByteArray>("driver");
        QTest::addColumn<QString>("goesTo");
        QTest::newRow("libpulse") << QByteArray() << "the sound server through libpulse";
        QTest::newRow("SDL") << QByteArray("pulseaudio") << "SDL's pulseaudio driver";
    }

    // Everything the sink plays is recorded: each cue whole, in order, and
    // a cue whole before the next is played: none of it waits for that.
    void cuesAreHeardWholeAndInOrder() {
        QFETCH(QByteArray, driver);
        QFETCH(QString, goesTo);
        if (!driver.isEmpty()) {
            qputenv("SDL_AUDIODRIVER", driver);
        }
        QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("sound goes to ") + goesTo));
        const Samples first = pattern(1, rate / 5);
        const Samples second = pattern(2, rate / 10);
        const QByteArray firstCue = cueFile(QStringLiteral("first.wav"), first);
        const QByteArray secondCue = cueFile(QStringLiteral("second.wav"), second);
        SystemCuePlayer player;
        // The stream is playing before the recording starts. The first
        // opening can take longer than the first cue waits for it (a server
        // still starting, a busy machine), and that cue is then silent.
        const Samples warm = pattern(4, rate / 50);
        QVERIFY(heardWithin(player, cueFile(QStringLiteral("warm.wav"), warm), warm, 10000));
        Recording recording(server());
        // A server that drops more than a tenth of a cue (a busy machine,
        // above) does so in bursts: ten tries, over twenty seconds and more.
        // A cue that waits, goes missing, loses its end or comes out of turn
        // does so every time, also in a try where the server dropped nothing.
        // If it dropped something in every try, the row cannot judge and
        // says so, and ctest counts it skipped (see tests/CMakeLists.txt). A
        // failure tells the fewest pieces each cue lost in a try.
        std::size_t firstLost = first.size() / piece;
        std::size_t secondLost = second.size() / piece;
        int triesDropped = 0;
        for (int tries = 0; tries < 10; ++tries) {
            const std::size_t from = recording.listen(0).size();
            player.play(firstCue);
            std::size_t lost = 0;
            const std::optional<std::size_t> firstEnd =
                heardIn(recording.listenASecond(), first, from, &lost);
            firstLost = std::min(firstLost, lost);
            if (!firstEnd) {
                triesDropped += droppedWithin(recording.listen(0), first, from);
                continue;
            }
            player.play(secondCue);
            const bool secondHeard =
                heardIn(recording.listenASecond(), second, *firstEnd, &lost).has_value();
            secondLost = std::min(secondLost, lost);
            if (secondHeard) {
                return;
            }
            triesDropped += droppedWithin(recording.listen(0), second, *firstEnd);
        }
        const QByteArray why =
            QStringLiteral("in each of 10 tries, the first cue missing, broken or "
                           "waiting for the next, or the second missing, broken "
                           "or early; pieces of 64 samples lost at the fewest: "
                           "%1 of %2 of the first, %3 of %4 of the second")
                .arg(firstLost)
                .arg(first.size() / piece)
                .arg(secondLost)
                .arg(second.size() / piece)
                .toUtf8();
        if (triesDropped == 10) {
            QSKIP(QByteArray("could not judge: the server dropped sound in each of 10 tries (a "
                             "busy machine); " +
                             why)
                      .constData());
        }
        QFAIL(why.constData());
    }

    // The desktop's sound settings list the game by these, on the stream
    // libpulse makes.
    void mixerKnowsTheGame() {
        QTest::ignoreMessage(QtInfoMsg, "sound goes to the sound server through libpulse");
        SystemCuePlayer player;
        const Samples cue = pattern(3, rate / 50);
        QVERIFY(heardWithin(player, cueFile(QStringLiteral("short.wav"), cue), cue, 10000));
        const QByteArray clients =
            server().pactl({QStringLiteral("list"), QStringLiteral("clients")});
        const QByteArray streams =
            server().pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")});
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
        server().kill();
        SaidOnStderr stderrFile;
        SystemCuePlayer player;
        QElapsedTimer clock;
        clock.start();
        player.play(beepCue);
        // Its length; the bound only catches a hang.
        QVERIFY2(clock.elapsed() >= 100 && clock.elapsed() < 10000,
                 qPrintable(QString::number(clock.elapsed())));

        QCOMPARE(server().start(), QString());
        QVERIFY2(heardWithin(player, beepCue, beep, 8000), "no sound once a server appeared");

        std::thread killer([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            server().crash();
        });
        clock.start();
        player.play(longCue);
        const qint64 took = clock.elapsed();
        killer.join();
        server().kill();
        // The cue's 2 s, and at most a second more for the loss to show
        // (and half a second for a busy machine): more is the game held up.
        QVERIFY2(took >= 2000 && took < 3500, qPrintable(QString::number(took)));

        QCOMPARE(server().start(), QString());
        QVERIFY2(heardWithin(player, beepCue, beep, 8000), "no sound after the server came back");
        // Each change said once, as it happened.
        QCOMPARE(stderrFile.said(), QStringList({"silent", "back", "lost", "back"}));
    }

    // A player who names SDL's driver gets it, even where a server answers.
    void namedDriverIsHonoured() {
        const Samples cue = pattern(6, rate / 20);
        const QString out = dir_.filePath(QStringLiteral("disk.raw"));
        QFile::remove(out);
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(out));
        QTest::ignoreMessage(QtInfoMsg, "sound goes to SDL's disk driver");
        {
            SystemCuePlayer player;
            player.play(cueFile(QStringLiteral("named.wav"), cue));
        }
        QFile file(out);
        QVERIFY2(file.open(QIODevice::ReadOnly), "nothing played on the driver named");
        const Samples heard = samplesOf(file.readAll());
        QVERIFY(std::search(heard.begin(), heard.end(), cue.begin(), cue.end()) != heard.end());
    }

    // SDL's own PipeWire driver, which some players name for their games,
    // once hung the program as it closed its device.
    void closesOnSdlsPipeWireDriver() {
        QFETCH_GLOBAL(Kind, kind);
        if (kind != Kind::PipeWire) {
            QSKIP("SDL's PipeWire driver needs PipeWire");
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), server().runtimeDir());
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("pipewire"));
        const PlayedAndEnded run =
            playAndExit(cueFile(QStringLiteral("short.wav"), pattern(3, rate / 50)), environment);
        QVERIFY(run.played);
        QVERIFY2(run.ended, "the program did not end");
    }
};

QTEST_GUILESS_MAIN(TestCueServer)
#include "test_cueserver.moc"
