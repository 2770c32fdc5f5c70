#pragma once
// Cue files made by the cue player's tests, with samples that can be found
// again in what the player sent on.
#include "WavFile.h"
#include "sound/Cues.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <unistd.h>
#include <vector>

using Samples = std::vector<std::int16_t>;

constexpr int rate = sound::cueRate;

inline Samples samplesOf(const QByteArray& bytes) {
    Samples out(static_cast<std::size_t>(bytes.size()) / sizeof(std::int16_t));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(std::int16_t));
    return out;
}

// Distinct, never-silent values, so that a match in the output can only be
// this cue and a gap or a swap shows.
inline Samples pattern(std::uint32_t seed, int count) {
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> value(1000, 30000);
    Samples out(static_cast<std::size_t>(count));
    for (auto& s : out) {
        s = static_cast<std::int16_t>(engine() % 2 ? value(engine) : -value(engine));
    }
    return out;
}

// What the cue player says on stderr while one of these lives: its file
// takes the place of stderr's.
class SaidOnStderr {
public:
    SaidOnStderr() {
        std::fflush(stderr);
        if (file_.open()) {
            saved_ = ::dup(STDERR_FILENO);
            ::dup2(file_.handle(), STDERR_FILENO);
        }
    }
    ~SaidOnStderr() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    SaidOnStderr(const SaidOnStderr&) = delete;
    SaidOnStderr& operator=(const SaidOnStderr&) = delete;

    // The player's own lines, each by its first words: "silent", "back" or
    // "lost" for "rolvanger: sound is silent, ...", and so on.
    QStringList said() {
        std::fflush(stderr);
        QFile read(file_.fileName());
        read.open(QIODevice::ReadOnly);
        QStringList words;
        for (const QByteArray& line : read.readAll().split('\n')) {
            QList<QByteArray> parts = line.split(' ');
            parts.removeAll("is");
            if (parts.size() > 2 && parts[0] == "rolvanger:" && parts[1] == "sound") {
                words << QString::fromLatin1(parts[2]).remove(QLatin1Char(','));
            }
        }
        return words;
    }

private:
    QTemporaryFile file_;
    int saved_ = -1;
};

// cue_and_exit, beside the test, played the cue with the environment given:
// whether play() returned, and whether the program then ended, each within
// ten seconds (a hang, against the second or two they take).
struct PlayedAndEnded {
    bool played = false;
    bool ended = false;
};
inline PlayedAndEnded playAndExit(const QByteArray& cue, const QProcessEnvironment& environment) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/cue_and_exit"),
                  {QFile::decodeName(cue)});
    PlayedAndEnded result;
    result.ended = program.waitForFinished(10000) && program.exitCode() == 0;
    result.played = program.readAllStandardOutput().startsWith("played in ");
    if (!result.ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    return result;
}
