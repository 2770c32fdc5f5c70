#include "machine/Form1.h"

#include "shared/NumberPrompt.h"

void Form1::Label2_Click() {
    // Four times the limit must still be a counter: a spin counts its ticks
    // up to it.
    if (const auto limit = askWholeNumber(QStringLiteral("Give your spin limit"),
                                          QStringLiteral("Spinlimit"), -8192, 8191))
        spinLimit = static_cast<Counter>(*limit);
}
