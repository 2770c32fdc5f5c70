#include "machine/Form1.h"

#include "shared/Module1.h"
#include "shared/NumberPrompt.h"

void Form1::Label1_DblClick() {
    const auto amount = askWholeNumber(QStringLiteral("How much money do you want to add?"),
                                       QStringLiteral("Cheat!"), static_cast<int>(counterMin),
                                       static_cast<int>(counterMax));
    if (!amount)
        return;
    addAmount = static_cast<Counter>(*amount);
    if (const auto sum = toCounter(static_cast<long long>(Module1::cash) + addAmount))
        Module1::cash = *sum;
    else
        Module1::TooMuch();
}
