#include "shared/Module1.h"

#include "machine/Form1.h"
#include "runtime/CuePlayer.h"
#include "runtime/ProgramInfo.h"
#include "runtime/Prompts.h"
#include "runtime/Seams.h"
#include "shared/Forms.h"
#include "wallet/Form2.h"

#include <QFile>

namespace Module1 {

void PlaySnd() {
    rt::seams().cues().play(QFile::encodeName(rt::inProgramFolder(soundFile)));
}

void UpdateLabels() {
    if (Form1* machine = Forms::machine()) {
        machine->showCredits();
        machine->showScore();
    }
    // The lose cue above may have let the machine window close meanwhile;
    // the wallet then is not brought back.
    if (Forms::closing())
        return;
    Forms::wallet().cashlbl->setCaption(QString::number(cash));
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
    rt::seams().prompts().message(QStringLiteral("The machine can't count that high."),
                                  QStringLiteral("Too much!"), rt::Prompts::Icon::Exclamation);
}

} // namespace Module1
