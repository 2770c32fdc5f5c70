#include "shared/NumberPrompt.h"

#include "runtime/Prompts.h"
#include "shared/Seams.h"
#include "shared/WholeNumber.h"

std::optional<int> askWholeNumber(const QString& prompt, const QString& title, int low, int high) {
    const auto answer = seams().prompts().input(prompt, title);
    if (!answer || answer->trimmed().isEmpty())
        return std::nullopt;
    const auto number = parseWholeNumber(*answer, low, high);
    if (!number)
        seams().prompts().message(
            QStringLiteral("Please type a whole number from %1 to %2.").arg(low).arg(high), title,
            rt::Prompts::Icon::Exclamation);
    return number;
}
