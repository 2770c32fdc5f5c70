#include "machine/Form1.h"

#include "runtime/Pictures.h"
#include "runtime/ProgramInfo.h"
#include "runtime/Prompts.h"
#include "runtime/Seams.h"
#include "shared/Module1.h"
#include "shared/WholeNumber.h"

void Form1::Command1_MouseDown() {
    showLeverPicture("leverdown.jpg");
}

void Form1::Command1_MouseUp() {
    showLeverPicture("leverup.jpg");
}

void Form1::showLeverPicture(const char* fileName) {
    // A picture that cannot be read leaves the lever as it is.
    if (auto picture = rt::loadPicture(rt::inProgramFolder(QString::fromLatin1(fileName)))) {
        Command1->setPicture(*picture);
        // Painted now: the pull that follows the release holds up the window.
        Command1->repaint();
    }
}

void Form1::Label1_DblClick() {
    auto* prompts = rt::seams().prompts;
    if (!prompts)
        return;
    const auto answer = prompts->input(QStringLiteral("How much money do you want to add?"),
                                       QStringLiteral("Cheat!"));
    if (!answer || answer->trimmed().isEmpty())
        return;
    const auto amount = parseWholeNumber(*answer, counterMin, counterMax);
    if (!amount) {
        prompts->message(QStringLiteral("Please type a whole number from -32768 to 32767."),
                         QStringLiteral("Cheat!"), rt::Prompts::Icon::Exclamation);
        return;
    }
    addAmount = static_cast<Counter>(*amount);
    if (const auto sum = toCounter(static_cast<long long>(Module1::cash) + addAmount))
        Module1::cash = *sum;
    else
        Module1::TooMuch();
}
