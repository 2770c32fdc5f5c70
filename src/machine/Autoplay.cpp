#include "machine/Form1.h"

#include "runtime/Prompts.h"
#include "runtime/Seams.h"
#include "shared/WholeNumber.h"

void Form1::Timer2_Timer() {
    Timer2->stop();
    if (unloaded_)
        return;
    if (aplay->value() == 1)
        Command1_Click();
}

void Form1::speedm_Click() {
    spinLimit = speedm->value() == 1 ? 1 : 50;
}

void Form1::Label2_Click() {
    auto* prompts = rt::seams().prompts;
    if (!prompts)
        return;
    const auto answer =
        prompts->input(QStringLiteral("Give your spin limit"), QStringLiteral("Spinlimit"));
    if (!answer || answer->trimmed().isEmpty())
        return;
    // Four times the limit must still be a counter: a spin counts its ticks
    // up to it.
    if (const auto limit = parseWholeNumber(*answer, -8192, 8191))
        spinLimit = static_cast<Counter>(*limit);
    else
        prompts->message(QStringLiteral("Please type a whole number from -8192 to 8191."),
                         QStringLiteral("Spinlimit"), rt::Prompts::Icon::Exclamation);
}
