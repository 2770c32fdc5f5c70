#include "shared/Module1.h"

#include "runtime/ProgramInfo.h"
#include "runtime/Prompts.h"
#include "shared/Forms.h"
#include "shared/Seams.h"
#include "sound/CuePlayer.h"

#include <QFile>

namespace Module1 {

void PlaySnd() {
    seams().cues().play(QFile::encodeName(rt::inProgramFolder(soundFile)));
}

void UpdateLabels() {
    if (Forms::MachineWindow* machine = Forms::machine()) {
        machine->showCredits();
        machine->showScore();
    }
    // The lose cue above may have let the machine window close meanwhile;
    // the wallet then is not brought back.
    if (Forms::closing())
        return;
    Forms::wallet().showCash();
}

namespace {

// Turns 4 points into 1 of the target, dividing first and rounding once on
// the sum, ties to even. A result the target cannot hold changes nothing.
void convertScoreInto(Counter& target) {
    if (score > 3) {
        if (auto converted = roundHalfEvenToCounter(score / 4.0 + target)) {
            target = *converted;
            score = 0;
        } else {
            TooMuch();
        }
    }
    UpdateLabels();
}

} // namespace

void scoretocreds_Click() {
    convertScoreInto(credits);
}

void Command6_Click() {
    convertScoreInto(cash);
}

void TooMuch() {
    seams().prompts().message(QStringLiteral("The machine can't count that high."),
                              QStringLiteral("Too much!"), rt::Prompts::Icon::Exclamation);
}

} // namespace Module1
