#pragma once

#include <QString>
#include <optional>

namespace rt {

// The runtime's modal message box and input box. Tests answer them through
// a scripted stand-in; the program uses QtPrompts.
class Prompts {
public:
    enum class Icon { Critical, Exclamation };

    virtual ~Prompts() = default;
    // Shows a modal box with one OK button and returns when it is closed.
    virtual void message(const QString& prompt, const QString& title, Icon icon) = 0;
    // Shows a modal input box with an empty default text. Cancel gives nullopt.
    virtual std::optional<QString> input(const QString& prompt, const QString& title) = 0;
    // Closes whatever box is open, as if cancelled; used when the program ends.
    virtual void closeAll() {}
};

class QtPrompts final : public Prompts {
public:
    void message(const QString& prompt, const QString& title, Icon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title) override;
    void closeAll() override;
};

} // namespace rt
