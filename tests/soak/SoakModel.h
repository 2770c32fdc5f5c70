#pragma once

#include <QString>
#include <array>
#include <optional>

// The rules of the machine as a small state machine, kept beside the real
// game by the soak test and compared with it after every action. It is
// written from the rules of play alone and shares no code with the game: it
// counts in plain ints and checks the 16-bit range itself, reads typed text
// with its own parser and rounds with its own integer arithmetic.
namespace soak {

constexpr int lowest = -32768;
constexpr int highest = 32767;

// A modal box the rules say must be shown.
struct Box {
    QString title;
    QString prompt;
    bool critical = false; // the stop icon; otherwise the exclamation icon
};

// What typed text is: empty (nothing at all after trimming white space), a whole
// number, or anything else. Numbers far outside every range the game asks
// for are reported as too large to matter.
struct Typed {
    enum Kind { Empty, Number, NotNumber } kind = NotNumber;
    long long value = 0;
};
Typed readTyped(const QString& text);

// quarters / 4 rounded to the nearest whole number, ties to the even one.
long long quartersRoundedHalfEven(long long quarters);

// What a pull did when it was taken.
struct PullStart {
    bool accepted = false;
    bool converted = false; // it called the score-to-credits conversion
    std::optional<Box> box; // that conversion's refusal
};

// What the machine shows after a pull, reel by reel.
using Reels = std::array<int, 3>;

class Model {
public:
    // A fresh program: the machine window just loaded.
    Model();

    // --- What the player and the timers do ---------------------------------
    // Each step that may show a box is split in two: what is decided before
    // the box, and the rewriting of the texts that comes after it.
    std::optional<Box> coinIn(int euro);
    std::optional<Box> scoreToCredits() { return convert(credits); }
    std::optional<Box> scoreToCash() { return convert(cash); }
    void updateLabels();
    void holdClicked(int reel); // 0, 1, 2
    void soundClicked() { sound = !sound; }
    void ctsClicked() { cts = !cts; }
    void aplayClicked() { aplay = !aplay; }
    void speedClicked();
    void walletButton();
    void walletCloseButton() { walletVisible = false; }
    void walletCloseBox();
    void refresh(); // Timer1
    // Timer2 firing; gives whether it goes on to pull (then call pull()).
    bool autoplayFired();
    // A lever click or autoplay's pull; the credit is taken at once. Then
    // pullTexts(), after the conversion's box if there is one.
    PullStart pull();
    void pullTexts(const PullStart& start);
    // The end of an accepted spin, with the reels it stopped on. Gives the
    // points paid.
    int spinEnded(const Reels& reels);
    // The answers to the two prompts; nullopt is Cancel.
    std::optional<Box> spinLimitAnswer(const std::optional<QString>& answer);
    std::optional<Box> addMoneyAnswer(const std::optional<QString>& answer);
    void machineClosed();

    // --- The state the rules define -----------------------------------------
    bool open = true;
    int credits = 0;
    int cash = 10;
    int score = 0;
    int spinLimit = 75;
    std::array<bool, 3> held{};
    bool holdsEnabled = false;
    bool sound = false, speed = false, cts = false, aplay = false;
    bool timer2Armed = false;
    bool spinning = false;
    bool holdTouched = false;
    bool coinVisible = true;
    bool walletLoaded = false;
    bool walletVisible = false;
    int addAmount = 0;
    QString creditsText = QStringLiteral("Credits: 0");
    QString scoreText = QStringLiteral("Score: 0");
    QString cashText; // meaningful while the wallet is loaded

    // Gives why the state is impossible under the rules, or nothing.
    std::optional<QString> outOfRange() const;

private:
    std::optional<Box> convert(int& target);
    void toggleHold(int reel);
    void pay(int points, std::array<bool, 3> reels);
};

Box tooMuch();

} // namespace soak
