#include "support/TestServices.h"

#include "runtime/Settings.h"
#include "shared/Seams.h"

#include <QCoreApplication>
#include <QFileInfo>

float ScriptedRandom::next() {
    ++drawn;
    if (draws.empty())
        return 0.0f;
    const float r = draws.front();
    draws.pop_front();
    return r;
}

void ScriptedRandom::symbols(std::initializer_list<int> sequence) {
    // The middle of symbol n's seventh of [0, 1).
    for (int n : sequence)
        draws.push_back((static_cast<float>(n) - 0.5f) / 7.0f);
}

void RecordingCues::play(const QByteArray& path) {
    const QString name = QFile::decodeName(path);
    played << (name.endsWith(QLatin1Char('/')) ? QString() : QFileInfo(name).fileName());
    if (duringCue)
        duringCue();
}

void ScriptedPrompts::message(const QString& prompt, const QString& title, Icon icon) {
    messages.push_back({prompt, title, icon});
    if (whileOpen)
        whileOpen();
}

std::optional<QString> ScriptedPrompts::input(const QString&, const QString& title) {
    inputTitles << title;
    if (whileOpen)
        whileOpen();
    if (answers.empty())
        return std::nullopt;
    // Copied out as plain values: GCC cannot see through a moved optional.
    const bool cancelled = !answers.front().has_value();
    const QString text = answers.front().value_or(QString());
    answers.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

void installTestServices(rt::RandomSource& random, sound::CuePlayer& cues, rt::Prompts& prompts) {
    seams().install(random, cues, prompts);
    rt::settings().tickFloor = std::chrono::milliseconds::zero();
    rt::settings().programFolder = QCoreApplication::applicationDirPath();
}

void removeTestServices() {
    seams().remove();
}
