#pragma once

#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "sound/CuePlayer.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

// A random source that gives the draws a test scripts, then 0.
class ScriptedRandom final : public rt::RandomSource {
public:
    void seedFromClock() override { ++seeds; }
    float next() override;
    // Scripts the draws that make Rand(1, 7) give these symbols.
    void symbols(std::initializer_list<int> sequence);

    std::deque<float> draws;
    int seeds = 0;
    int drawn = 0;
};

// Records which cue files were played (their names, without the folder).
class RecordingCues final : public sound::CuePlayer {
public:
    void play(const QByteArray& path) override;

    QStringList played;
    // Runs during each cue, as if events queued meanwhile; may be empty.
    std::function<void()> duringCue;
};

// Answers message and input boxes as a test scripts, recording every box.
class ScriptedPrompts final : public rt::Prompts {
public:
    struct Message {
        QString prompt, title;
        Icon icon;
    };
    void message(const QString& prompt, const QString& title, Icon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title) override;

    std::vector<Message> messages;
    QStringList inputTitles;
    // The next answers of input boxes; nullopt is Cancel. Empty: Cancel.
    std::deque<std::optional<QString>> answers;
    // Runs while a box is open, as the player could act meanwhile.
    std::function<void()> whileOpen;
};

// Puts a test's services in the seams, with no tick floor and the test
// program's own folder as the program folder; and takes them out again.
void installTestServices(rt::RandomSource& random, sound::CuePlayer& cues, rt::Prompts& prompts);
void removeTestServices();
