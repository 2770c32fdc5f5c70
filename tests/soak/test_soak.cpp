// Random play: the real machine and wallet windows, driven through thousands
// of random actions in random order, also in the middle of spins and while
// boxes are open, and compared after every action with an independent model
// of the rules (SoakModel). The run is chosen by a seed, printed at the start;
// the same seed and count replay it exactly:
//   ROLVANGER_SOAK_SEED=<seed> ROLVANGER_SOAK_ACTIONS=<count> test_soak
#include "machine/Form1.h"
#include "runtime/LookAndFeel.h"
#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "soak/SoakModel.h"
#include "sound/CuePlayer.h"
#include "support/GameFixture.h"
#include "support/TestServices.h"
#include "wallet/Form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_SANITIZERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_SANITIZERS 1
#endif
#endif

namespace {

// Outer actions per run; nested ones come on top. Either run also stops at
// its time budget (ROLVANGER_SOAK_SECONDS), saying how far it got; the
// sanitizer build is slower, and its budget shorter.
constexpr long long defaultActions = 20000;
#ifdef SOAK_UNDER_SANITIZERS
constexpr long long defaultSeconds = 180;
#else
constexpr long long defaultSeconds = 300;
#endif

// ---------------------------------------------------------------------------
// Stand-ins for the services, all fed from the run's seed.

// The machine's draws. Now and then the two extreme draws, 0 and the last
// value below 1, so that Rand is tried at its edges.
class SeededDraws final : public rt::RandomSource {
public:
    explicit SeededDraws(std::uint64_t seed) : engine_(seed) {}
    void seedFromClock() override {}
    float next() override {
        const std::uint64_t bits = engine_();
        if (bits % 64 == 0)
            return 0.0f;
        if (bits % 64 == 1)
            return 16777215.0f / 16777216.0f;
        return static_cast<float>((bits >> 40) & 0xFFFFFF) / 16777216.0f;
    }

private:
    std::mt19937_64 engine_;
};

// Cues take no time here; what is played is counted.
class CountedCues final : public sound::CuePlayer {
public:
    void play(const QByteArray& path) override {
        const QString full = QFile::decodeName(path);
        last = full.endsWith(QLatin1Char('/')) ? QString() : QFileInfo(full).fileName();
        ++played;
        if (last == QLatin1String("lose.wav"))
            ++lose;
        if (onCue)
            onCue(full, last);
    }
    QString last;
    long long played = 0;
    long long lose = 0;
    std::function<void(const QString&, const QString&)> onCue;
};

// Boxes are answered by the soak itself, which may act while one is open.
class AnsweredPrompts final : public rt::Prompts {
public:
    void message(const QString& prompt, const QString& title, Icon icon) override {
        onMessage(prompt, title, icon);
    }
    std::optional<QString> input(const QString& prompt, const QString& title) override {
        return onInput(prompt, title);
    }
    void closeAll() override { ++closeAllCalls; }

    std::function<void(const QString&, const QString&, Icon)> onMessage;
    std::function<std::optional<QString>(const QString&, const QString&)> onInput;
    int closeAllCalls = 0;
};

// ---------------------------------------------------------------------------
// The actions a player (or a timer) can take.

enum class Act {
    Lever,
    Hold1,
    Hold2,
    Hold3,
    Sound,
    Speed,
    Cts,
    Autoplay,
    ScoreToCredits,
    ScoreToCash,
    WalletButton,
    Coin1,
    Coin2,
    Coin5,
    Coin10,
    Coin20,
    Coin50,
    WalletClose,
    WalletCloseBox,
    SpinLimitPrompt,
    SpinLimitDoubleClick,
    AddMoneyPrompt,
    AddMoneySingleClick,
    Timer1,
    Timer2,
    CloseMachine,
    Count
};
constexpr std::size_t actCount = static_cast<std::size_t>(Act::Count);

const char* actName(Act act) {
    static const char* const names[] = {"lever",
                                        "hold 1",
                                        "hold 2",
                                        "hold 3",
                                        "Sound",
                                        "Speed Mode",
                                        "Auto score",
                                        "Autoplay",
                                        "Score to Credits",
                                        "Score to Cash",
                                        "Wallet",
                                        "coin 1",
                                        "coin 2",
                                        "coin 5",
                                        "coin 10",
                                        "coin 20",
                                        "coin 50",
                                        "wallet Close",
                                        "wallet close box",
                                        "spin-limit prompt",
                                        "spin-limit label double-click",
                                        "add-money prompt",
                                        "add-money label single click",
                                        "Timer1",
                                        "Timer2",
                                        "close machine"};
    static_assert(std::size(names) == actCount);
    return names[static_cast<std::size_t>(act)];
}

// How often each action is chosen, before a session's own variation.
// clang-format off
constexpr std::array<double, actCount> baseWeights = {
    14, 3, 3, 3,      // lever, holds
    2, 3, 2, 3,       // check boxes
    3, 2, 3,          // conversions, Wallet
    2, 2, 2, 2, 2, 2, // coins
    2, 1,             // wallet Close, close box
    3, 0.5, 3, 0.5,   // prompts
    8, 12, 0.25};     // timers, close
// clang-format on

int coinValue(Act act) {
    switch (act) {
    case Act::Coin1:
        return 1;
    case Act::Coin2:
        return 2;
    case Act::Coin5:
        return 5;
    case Act::Coin10:
        return 10;
    case Act::Coin20:
        return 20;
    case Act::Coin50:
        return 50;
    default:
        return 0;
    }
}

// One action on its way: what the rules say it must still show.
struct Frame {
    Act act = Act::Count;
    long long number = 0;
    // Message boxes still to come, in order, each with what the rules do once
    // it is closed.
    std::deque<std::pair<soak::Box, std::function<void()>>> boxes;
    QString inputTitle; // the input box it must open, if any
    int inputsSeen = 0;
    bool pull = false;
    bool accepted = false;
    bool preSpin = false; // inside the refusal box of its own pull's conversion
    long long limitWrites = 0;
    soak::Reels reelsAtStart{};
    std::array<bool, 3> heldAtStart{};
};

QString quoted(const std::optional<QString>& answer) {
    if (!answer)
        return QStringLiteral("Cancel");
    return QLatin1Char('"') + *answer + QLatin1Char('"');
}

QString boxText(const soak::Box& box) {
    return QStringLiteral("[%1: %2]").arg(box.title, box.prompt);
}

bool filteredWarning(const QString& message) {
    // Clicks on disabled buttons are part of the abuse.
    return message.startsWith(QLatin1String("Mouse event"));
}

QtMessageHandler previousHandler = nullptr;
int warningsShown = 0;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && filteredWarning(message))
        return;
    if (type == QtWarningMsg && ++warningsShown > 20)
        return;
    previousHandler(type, context, message);
}

// ---------------------------------------------------------------------------

class Soak : public QObject {
public:
    Soak(std::uint64_t seed, long long actions, long long seconds)
        : seed_(seed), outerActions_(actions), budgetMs_(seconds * 1000), choices_(seed),
          draws_(seed ^ 0x9E3779B97F4A7C15ULL) {
        installTestServices(draws_, cues_, prompts_);
        cues_.onCue = [this](const QString& path, const QString& name) { cueHeard(path, name); };
        prompts_.onMessage = [this](const QString& prompt, const QString& title,
                                    rt::Prompts::Icon icon) { messageShown(prompt, title, icon); };
        prompts_.onInput = [this](const QString& prompt, const QString& title) {
            return inputShown(prompt, title);
        };
        // Fires at every round of event processing: inside a spin, that is
        // where the player's clicks and the timers come in.
        injector_.setInterval(0);
        QObject::connect(&injector_, &QTimer::timeout, this, [this] { injectDuringSpin(); });
        injector_.start();
    }

    ~Soak() override {
        injector_.stop();
        machine_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        removeTestServices();
    }

    // Runs the whole soak; gives the failure, or nothing.
    std::optional<QString> run() {
        QElapsedTimer clock;
        clock.start();
        for (long long i = 0; i < outerActions_ && !failed_; ++i) {
            if (clock.elapsed() > budgetMs_) {
                std::printf("soak: time budget spent after %lld of %lld outer actions\n", i,
                            outerActions_);
                break;
            }
            if (!machine_ || !model_.open)
                startSession();
            if (failed_)
                break;
            perform(choose(false));
            if (!failed_)
                checkIdle();
        }
        if (!failed_ && machine_)
            endSession();
        seconds_ = clock.elapsed() / 1000.0;
        if (failed_)
            return failure_;
        return std::nullopt;
    }

    void printFigures() const {
        std::printf("soak: %lld actions (%lld outer, %lld nested, deepest %d), %lld sessions, "
                    "%.1f s\n",
                    actionsDone_, outerDone_, actionsDone_ - outerDone_, deepest_, sessions_,
                    seconds_);
        std::printf("soak: pulls %lld accepted, %lld refused; %lld spin ticks; %lld cues, "
                    "%lld lose cues\n",
                    pullsAccepted_, pullsRefused_, ticks_, cues_.played, cues_.lose);
        std::printf("soak: %lld answers typed (%lld accepted); boxes:", answers_, answersTaken_);
        for (const auto& [title, count] : boxesShown_)
            std::printf(" %s %lld;", qPrintable(title), count);
        std::printf("\nsoak: by action:");
        for (std::size_t a = 0; a < actCount; ++a)
            std::printf(" %s %lld;", actName(static_cast<Act>(a)), byAction_[a]);
        std::printf("\n");
        std::fflush(stdout);
    }

    QString replayHint() const {
        QString text =
            QStringLiteral("replay with ROLVANGER_SOAK_SEED=%1 ROLVANGER_SOAK_ACTIONS=%2\n"
                           "last actions (nesting shown by indent):\n")
                .arg(seed_)
                .arg(outerDone_);
        for (const auto& entry : log_)
            text += QStringLiteral("  ") + entry.second + QLatin1Char('\n');
        return text;
    }

private:
    // --- sessions ------------------------------------------------------------

    void startSession() {
        if (machine_)
            endSession();
        startFreshProgram();
        model_ = soak::Model();
        lastPullUsedHold_ = false;
        machine_ = std::make_unique<Form1>();
        Form1& m = *machine_;
        // The soak fires both timers itself; Timer2 keeps its arming but never
        // runs out on its own.
        m.Timer1->stop();
        m.Timer2->setInterval(24 * 60 * 60 * 1000);
        m.show();
        QObject::connect(m.cdlbl, &rt::Label::Change, this, [this] { textChanged(); });
        QObject::connect(m.sclbl, &rt::Label::Change, this, [this] { textChanged(); });
        std::uniform_real_distribution<double> spread(0.2, 2.0);
        for (std::size_t a = 0; a < actCount; ++a)
            weights_[a] = baseWeights[a] * spread(choices_);
        nestRate_ = std::uniform_real_distribution<double>(0.005, 0.25)(choices_);
        ++sessions_;
        note(0, QStringLiteral("-- new program (session %1)").arg(sessions_));
        checkState(QStringLiteral("start-up"));
    }

    void endSession() {
        Form1& m = *machine_;
        if (!m.unloaded()) {
            model_.machineClosed();
            m.close();
        }
        checkState(QStringLiteral("closing"));
        QPointer<Form1> gone = machine_.get();
        machine_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<Form1*>(window) || qobject_cast<Form2*>(window))
                fail(QStringLiteral("a window of the game outlived its program: %1")
                         .arg(window->objectName()));
    }

    // --- choosing --------------------------------------------------------------

    bool walletShown() const {
        return model_.walletLoaded && Forms::walletLoaded() && walletWindow().isVisible();
    }

    bool available(Act act) const {
        if (!machine_ || !model_.open)
            return false;
        switch (act) {
        case Act::Coin1:
        case Act::Coin2:
        case Act::Coin5:
        case Act::Coin10:
        case Act::Coin20:
        case Act::Coin50:
        case Act::WalletClose:
        case Act::WalletCloseBox:
            return walletShown();
        case Act::Timer2:
            return machine_->Timer2->isActive();
        default:
            return true;
        }
    }

    Act choose(bool nested) {
        std::array<double, actCount> w{};
        for (std::size_t a = 0; a < actCount; ++a) {
            const Act act = static_cast<Act>(a);
            if (!available(act))
                continue;
            w[a] = weights_[a];
            // Inside a spin the window closes less often, so spins run on.
            if (nested && act == Act::CloseMachine)
                w[a] *= 0.3;
        }
        std::discrete_distribution<std::size_t> pick(w.begin(), w.end());
        return static_cast<Act>(pick(choices_));
    }

    // While a modal box is open, only the timers run (and, rarely, the
    // machine window is made to close).
    std::optional<Act> chooseWhileModal() {
        std::array<double, 4> w{30, 6, available(Act::Timer2) ? 6.0 : 0.0, 0.6};
        std::discrete_distribution<int> pick(w.begin(), w.end());
        switch (pick(choices_)) {
        case 1:
            return Act::Timer1;
        case 2:
            return Act::Timer2;
        case 3:
            return Act::CloseMachine;
        default:
            return std::nullopt;
        }
    }

    bool chance(double p) { return std::bernoulli_distribution(p)(choices_); }
    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(choices_);
    }

    Qt::MouseButton anyButton() {
        static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                                  Qt::MiddleButton};
        return buttons[between(0, 3)];
    }

    // Text for a prompt: numbers in and out of range, padded, signed, empty,
    // garbage, and Cancel.
    std::optional<QString> randomAnswer(bool spinLimit) {
        const int kind = between(0, 99);
        auto pad = [this](QString text) {
            if (chance(0.2))
                text = QString(between(1, 3), QLatin1Char(' ')) + text;
            if (chance(0.2))
                text += QString(between(1, 3), QLatin1Char(' '));
            return text;
        };
        if (kind < 8)
            return std::nullopt;
        if (kind < 13)
            return QString();
        if (kind < 16)
            return QString(between(1, 4), QLatin1Char(' '));
        if (kind < 48) {
            // The common case: a small number, so that spins stay short.
            const int value = spinLimit ? between(-3, 8) : between(-60, 250);
            QString text = QString::number(value);
            if (value >= 0 && chance(0.15))
                text.prepend(QLatin1Char('+'));
            if (chance(0.05))
                text.prepend(QStringLiteral("00"));
            return pad(text);
        }
        if (kind < 58) {
            static const char* const edges[] = {"-8193",  "-8192", "8191",   "8192",      "-32769",
                                                "-32768", "32767", "32768",  "0",         "-0",
                                                "+0",     "65536", "-65536", "2147483648"};
            return pad(QString::fromLatin1(edges[between(0, 13)]));
        }
        if (kind < 66) {
            // Large but often accepted: long spins, or the counters' edges.
            const int value =
                spinLimit ? between(9, chance(0.1) ? 2000 : 120) : between(-32768, 32767);
            return pad(QString::number(value));
        }
        if (kind < 72) {
            QString digits = QString::number(between(1, 9));
            const int length = between(6, 30);
            while (digits.size() < length)
                digits += QChar(u'0' + between(0, 9));
            return pad(chance(0.5) ? digits : QStringLiteral("-") + digits);
        }
        if (kind < 86) {
            static const char16_t* const garbage[] = {
                u"12.5",  u"1e3", u"abc",  u"&H10",   u"5 5",          u"--5", u"+-3",
                u"+",     u"-",   u"0x10", u"\u0663", u"\uff11\uff12", u"7a",  u"\u00bd",
                u"1,000", u"٣٣",  u"\t7",  u"7\n",    u"NaN",          u"inf", u"- 4"};
            return QString::fromUtf16(garbage[between(0, 20)]);
        }
        static const char alphabet[] = "0123456789+-. eExXaAH&,";
        QString junk;
        const int length = between(1, 8);
        for (int i = 0; i < length; ++i)
            junk += QLatin1Char(alphabet[between(0, sizeof(alphabet) - 2)]);
        return junk;
    }

    // --- performing ---------------------------------------------------------------

    // The log keeps the last actions, each on its own line, so that what
    // happens later in an action is added to its line, not to the line of
    // an action nested in it.
    void note(long long number, const QString& line) {
        log_.emplace_back(number, line);
        while (log_.size() > 24)
            log_.pop_front();
    }

    void annotate(const QString& more) {
        const long long number = frames_.empty() ? 0 : frames_.back()->number;
        for (auto entry = log_.rbegin(); entry != log_.rend(); ++entry)
            if (entry->first == number) {
                entry->second += QLatin1Char(' ') + more;
                return;
            }
    }

    void perform(Act act) {
        Frame frame;
        frame.act = act;
        frame.number = ++actionsDone_;
        if (frames_.empty())
            ++outerDone_;
        ++byAction_[static_cast<std::size_t>(act)];
        frames_.push_back(&frame);
        deepest_ = std::max(deepest_, static_cast<int>(frames_.size()));
        note(frame.number,
             QStringLiteral("#%1 %2%3")
                 .arg(frame.number)
                 .arg(QString(2 * static_cast<int>(frames_.size() - 1), QLatin1Char(' ')))
                 .arg(QString::fromLatin1(actName(act))));
        carryOut(frame);
        frames_.pop_back();
        if (failed_)
            return;
        if (!frame.boxes.empty())
            fail(QStringLiteral("%1 never showed %2")
                     .arg(actName(act), boxText(frame.boxes.front().first)));
        if (!frame.inputTitle.isEmpty() && frame.inputsSeen != 1 && model_.open)
            fail(QStringLiteral("%1 opened %2 input boxes, not one")
                     .arg(actName(act))
                     .arg(frame.inputsSeen));
        checkState(QStringLiteral("after #%1 %2").arg(frame.number).arg(actName(act)));
    }

    void carryOut(Frame& frame) {
        Form1& m = *machine_;
        switch (frame.act) {
        case Act::Lever:
            pull(
                frame, [&] { QTest::mouseClick(m.Command1, anyButton()); }, true);
            break;
        case Act::Timer2:
            pull(
                frame, [&] { m.Timer2_Timer(); }, model_.autoplayFired());
            break;
        case Act::Hold1:
        case Act::Hold2:
        case Act::Hold3: {
            const int reel = static_cast<int>(frame.act) - static_cast<int>(Act::Hold1);
            model_.holdClicked(reel);
            rt::CommandButton* const buttons[] = {m.Command2, m.Command3, m.Command4};
            QTest::mouseClick(buttons[reel], Qt::LeftButton);
            break;
        }
        case Act::Sound:
            model_.soundClicked();
            QTest::mouseClick(m.soundon, Qt::LeftButton);
            break;
        case Act::Speed:
            model_.speedClicked();
            ++limitWrites_;
            QTest::mouseClick(m.speedm, Qt::LeftButton);
            break;
        case Act::Cts:
            model_.ctsClicked();
            QTest::mouseClick(m.cts, Qt::LeftButton);
            break;
        case Act::Autoplay:
            model_.aplayClicked();
            QTest::mouseClick(m.aplay, Qt::LeftButton);
            break;
        case Act::ScoreToCredits:
            expect(frame, model_.scoreToCredits(), [this] { model_.updateLabels(); });
            QTest::mouseClick(m.scoretocreds, Qt::LeftButton);
            break;
        case Act::ScoreToCash:
            expect(frame, model_.scoreToCash(), [this] { model_.updateLabels(); });
            QTest::mouseClick(m.Command6, Qt::LeftButton);
            break;
        case Act::WalletButton:
            model_.walletButton();
            QTest::mouseClick(m.Command5, Qt::LeftButton);
            break;
        case Act::Coin1:
        case Act::Coin2:
        case Act::Coin5:
        case Act::Coin10:
        case Act::Coin20:
        case Act::Coin50: {
            const int euro = coinValue(frame.act);
            Form2& wallet = walletWindow();
            expect(frame, model_.coinIn(euro));
            QTest::mouseClick(wallet.findChild<QPushButton*>(QStringLiteral("eur%1").arg(euro)),
                              Qt::LeftButton);
            break;
        }
        case Act::WalletClose:
            model_.walletCloseButton();
            QTest::mouseClick(walletWindow().Command1, Qt::LeftButton);
            break;
        case Act::WalletCloseBox:
            model_.walletCloseBox();
            walletWindow().close();
            break;
        case Act::SpinLimitPrompt:
            frame.inputTitle = QStringLiteral("Spinlimit");
            QTest::mouseClick(m.Label2, Qt::LeftButton);
            break;
        case Act::SpinLimitDoubleClick:
            frame.inputTitle = QStringLiteral("Spinlimit");
            doubleClick(m.Label2);
            break;
        case Act::AddMoneyPrompt:
            frame.inputTitle = QStringLiteral("Cheat!");
            doubleClick(m.Label1);
            break;
        case Act::AddMoneySingleClick:
            QTest::mouseClick(m.Label1, Qt::LeftButton);
            break;
        case Act::Timer1: {
            const QString credits = model_.creditsText;
            const QString score = model_.scoreText;
            model_.refresh();
            const bool broke = model_.credits == 0 && model_.score == 0;
            const long long expectedLose =
                broke ? (credits != model_.creditsText) + (score != model_.scoreText) : 0;
            const long long lose = cues_.lose;
            m.Timer1_Timer();
            if (cues_.lose - lose != expectedLose)
                fail(QStringLiteral("a refresh played the lose cue %1 times, not %2")
                         .arg(cues_.lose - lose)
                         .arg(expectedLose));
            break;
        }
        case Act::CloseMachine:
            model_.machineClosed();
            m.close();
            break;
        case Act::Count:
            break;
        }
    }

    // A box the rules call for, and what follows it once it is closed (at
    // once when there is no box).
    void expect(Frame& frame, const std::optional<soak::Box>& box,
                const std::function<void()>& then = {}) {
        if (box) {
            frame.boxes.emplace_back(*box, then);
            annotate(QStringLiteral("-> refused"));
        } else if (then) {
            then();
        }
    }

    void pull(Frame& frame, const std::function<void()>& trigger, bool attempts) {
        Form1& m = *machine_;
        frame.pull = true;
        frame.reelsAtStart = {m.reel1, m.reel2, m.reel3};
        frame.heldAtStart = {m.Command2->text() == QLatin1String("HOLDING"),
                             m.Command3->text() == QLatin1String("HOLDING"),
                             m.Command4->text() == QLatin1String("HOLDING")};
        frame.limitWrites = limitWrites_;
        soak::PullStart start;
        if (attempts)
            start = model_.pull();
        frame.accepted = start.accepted;
        if (frame.accepted)
            expect(frame, start.box, [this, start] { model_.pullTexts(start); });
        if (frame.accepted) {
            ++pullsAccepted_;
            const bool usesHold =
                frame.heldAtStart[0] || frame.heldAtStart[1] || frame.heldAtStart[2];
            if (usesHold && lastPullUsedHold_)
                fail(QStringLiteral("reels held on two pulls in a row"));
            lastPullUsedHold_ = usesHold;
            annotate(QStringLiteral("(pulls, limit %1%2)")
                         .arg(model_.spinLimit)
                         .arg(usesHold ? QStringLiteral(", holding") : QString()));
        } else if (attempts) {
            ++pullsRefused_;
        }
        trigger();
        if (!frame.accepted || !model_.open || failed_)
            return;
        // The spin has ended: what the reels stopped on decides the payout.
        const soak::Reels reels = {m.reel1, m.reel2, m.reel3};
        for (std::size_t r = 0; r < 3; ++r) {
            if (frame.heldAtStart[r] && reels[r] != frame.reelsAtStart[r])
                fail(QStringLiteral("held reel %1 changed from %2 to %3")
                         .arg(r + 1)
                         .arg(frame.reelsAtStart[r])
                         .arg(reels[r]));
            if (reels[r] != frame.reelsAtStart[r] && (reels[r] < 1 || reels[r] > 7))
                fail(QStringLiteral("reel %1 stopped on %2").arg(r + 1).arg(reels[r]));
        }
        const int limit = model_.spinLimit;
        const bool limitKept = frame.limitWrites == limitWrites_;
        if (limitKept && m.ticks != std::max(0, 4 * limit))
            fail(QStringLiteral("a spin with limit %1 ran %2 ticks").arg(limit).arg(m.ticks));
        if (m.ticks < 4 * limit)
            fail(QStringLiteral("a spin ended after %1 ticks with limit %2")
                     .arg(m.ticks)
                     .arg(limit));
        if (limitKept && limit >= 1)
            for (std::size_t r = 0; r < 3; ++r)
                if (!frame.heldAtStart[r] && (reels[r] < 1 || reels[r] > 7))
                    fail(QStringLiteral("reel %1 never drew in a spin of limit %2")
                             .arg(r + 1)
                             .arg(limit));
        ticks_ += m.ticks;
        const int paid = model_.spinEnded(reels);
        annotate(QStringLiteral("-> %1 %2 %3 paid %4")
                     .arg(reels[0])
                     .arg(reels[1])
                     .arg(reels[2])
                     .arg(paid));
    }

    // --- what happens inside the program ------------------------------------------

    bool preSpin() const {
        for (const Frame* f : frames_)
            if (f->preSpin)
                return true;
        return false;
    }

    void injectDuringSpin() {
        if (frames_.empty() || failed_ || !model_.open || frames_.size() >= 8)
            return;
        if (!chance(nestRate_))
            return;
        if (modalDepth_ > 0) {
            if (auto act = chooseWhileModal())
                perform(*act);
            return;
        }
        perform(choose(true));
    }

    void actWhileBoxOpen() {
        ++modalDepth_;
        const int count = chance(0.7) ? 0 : between(1, 3);
        for (int i = 0; i < count && !failed_ && model_.open && frames_.size() < 8; ++i)
            if (auto act = chooseWhileModal())
                perform(*act);
        --modalDepth_;
    }

    void messageShown(const QString& prompt, const QString& title, rt::Prompts::Icon icon) {
        ++boxesShown_[title];
        if (frames_.empty())
            return fail(QStringLiteral("a box outside any action: %1").arg(title));
        Frame& frame = *frames_.back();
        const soak::Box shown{title, prompt, icon == rt::Prompts::Icon::Critical};
        annotate(boxText(shown));
        if (frame.boxes.empty())
            return fail(QStringLiteral("%1 showed an unexpected box %2")
                            .arg(actName(frame.act), boxText(shown)));
        const auto [wanted, then] = frame.boxes.front();
        frame.boxes.pop_front();
        if (wanted.title != shown.title || wanted.prompt != shown.prompt ||
            wanted.critical != shown.critical)
            return fail(QStringLiteral("%1 showed %2 instead of %3")
                            .arg(actName(frame.act), boxText(shown), boxText(wanted)));
        frame.preSpin = frame.pull;
        actWhileBoxOpen();
        frame.preSpin = false;
        if (then)
            then();
    }

    std::optional<QString> inputShown(const QString& prompt, const QString& title) {
        if (frames_.empty()) {
            fail(QStringLiteral("an input box outside any action: %1").arg(title));
            return std::nullopt;
        }
        Frame& frame = *frames_.back();
        ++frame.inputsSeen;
        const bool spinLimit = title == QLatin1String("Spinlimit");
        const QString wantedPrompt = spinLimit
                                         ? QStringLiteral("Give your spin limit")
                                         : QStringLiteral("How much money do you want to add?");
        if (frame.inputTitle != title || prompt != wantedPrompt || frame.inputsSeen > 1) {
            fail(QStringLiteral("%1 opened the input box [%2: %3]")
                     .arg(actName(frame.act), title, prompt));
            return std::nullopt;
        }
        const int closed = prompts_.closeAllCalls;
        actWhileBoxOpen();
        // A box closed under the player's hands answers as Cancel.
        std::optional<QString> answer;
        if (prompts_.closeAllCalls == closed)
            answer = randomAnswer(spinLimit);
        ++answers_;
        annotate(QStringLiteral("typed ") + quoted(answer));
        const auto box = spinLimit ? model_.spinLimitAnswer(answer) : model_.addMoneyAnswer(answer);
        if (answer && !box && soak::readTyped(*answer).kind == soak::Typed::Number) {
            ++answersTaken_;
            if (spinLimit)
                ++limitWrites_;
        }
        expect(frame, box);
        return answer;
    }

    void cueHeard(const QString& path, const QString& name) {
        static const QStringList known = {QString(),
                                          QStringLiteral("lever.wav"),
                                          QStringLiteral("roll.wav"),
                                          QStringLiteral("hold.wav"),
                                          QStringLiteral("win.wav"),
                                          QStringLiteral("lose.wav")};
        if (!known.contains(name))
            fail(QStringLiteral("an unknown cue was played: %1").arg(path));
        const QString folder = QCoreApplication::applicationDirPath();
        if (!path.startsWith(folder))
            fail(QStringLiteral("a cue from outside the program folder: %1").arg(path));
    }

    // Runs after the machine's own handler of a text change: with credits and
    // score both 0, the lose cue must just have played.
    void textChanged() {
        if (Module1::credits == 0 && Module1::score == 0 && cues_.last != QLatin1String("lose.wav"))
            fail(QStringLiteral("a text changed with credits and score 0, but no lose cue"));
        cues_.last.clear();
    }

    // --- checks -----------------------------------------------------------------------

    void fail(const QString& what) {
        if (failed_)
            return;
        failed_ = true;
        failure_ = what;
    }

    template <class A, class B> void same(const char* what, const A& program, const B& model) {
        if (program != model)
            fail(QStringLiteral("%1 is %2, the rules say %3")
                     .arg(QString::fromLatin1(what))
                     .arg(QVariant::fromValue(program).toString())
                     .arg(QVariant::fromValue(model).toString()));
    }

    void checkState(const QString& when) {
        if (failed_)
            return;
        if (auto why = model_.outOfRange())
            return fail(*why + QStringLiteral(" (") + when + QLatin1Char(')'));
        Form1& m = *machine_;
        same("the window being closed", m.unloaded(), !model_.open);
        if (!model_.open) {
            if (m.isVisible())
                fail(QStringLiteral("the machine window is still shown after closing"));
            if (Forms::walletLoaded())
                fail(QStringLiteral("the wallet is still there after the machine closed"));
            if (!Forms::closing())
                fail(QStringLiteral("the machine window closed without unloading"));
        }
        if (failed_)
            failure_ += QStringLiteral(" (") + when + QLatin1Char(')');
        if (failed_ || !model_.open)
            return;
        same("credits", int(Module1::credits), model_.credits);
        same("cash", int(Module1::cash), model_.cash);
        same("score", int(Module1::score), model_.score);
        same("the spin limit", int(m.spinLimit), model_.spinLimit);
        same("Sound", m.soundon->value() == 1, model_.sound);
        same("Speed Mode", m.speedm->value() == 1, model_.speed);
        same("Auto score to credits", m.cts->value() == 1, model_.cts);
        same("Autoplay", m.aplay->value() == 1, model_.aplay);
        same("Timer2 armed", m.Timer2->isActive(), model_.timer2Armed);
        same("INSERT COIN shown", m.coin->isLit(), model_.coinVisible);
        same("the credits text", m.cdlbl->caption(), model_.creditsText);
        same("the score text", m.sclbl->caption(), model_.scoreText);
        const bool held[] = {m.held1, m.held2, m.held3};
        rt::CommandButton* const buttons[] = {m.Command2, m.Command3, m.Command4};
        for (std::size_t r = 0; r < 3; ++r) {
            same("a hold", held[r], model_.held[r]);
            same("a hold button's caption", buttons[r]->text(),
                 model_.held[r] ? QStringLiteral("HOLDING") : QStringLiteral("HOLD"));
            same("a hold button's colour", buttons[r]->backColour(),
                 model_.held[r] ? QColor(255, 0, 0) : QColor(255, 255, 0));
            if (!preSpin())
                same("a hold button being enabled", buttons[r]->isEnabled(), model_.holdsEnabled);
        }
        if (!preSpin())
            same("spinning", m.spinning, model_.spinning);
        same("the wallet being loaded", Forms::walletLoaded(), model_.walletLoaded);
        if (Forms::walletLoaded() && model_.walletLoaded) {
            Form2& wallet = walletWindow();
            same("the wallet being shown", wallet.isVisible(), model_.walletVisible);
            same("the wallet's text", wallet.cashlbl->caption(), model_.cashText);
        }
        if (failed_)
            failure_ += QStringLiteral(" (") + when + QLatin1Char(')');
    }

    // Between actions the program is idle, as in its event loop.
    void checkIdle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!model_.open)
            return;
        Form1& m = *machine_;
        if (m.spinning)
            return fail(QStringLiteral("a spin is left running while the program is idle"));
        if (m.stop1 || m.stop2 || m.stop3)
            fail(QStringLiteral("stop flags left set after a spin"));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window != &m && !qobject_cast<Form2*>(window))
                fail(QStringLiteral("a stray window is shown: %1").arg(window->windowTitle()));
        checkState(QStringLiteral("idle"));
    }

    const std::uint64_t seed_;
    const long long outerActions_;
    const long long budgetMs_;
    std::mt19937_64 choices_;
    SeededDraws draws_;
    CountedCues cues_;
    AnsweredPrompts prompts_;
    QTimer injector_;
    std::unique_ptr<Form1> machine_;
    soak::Model model_;
    std::vector<Frame*> frames_;
    int modalDepth_ = 0;
    std::array<double, actCount> weights_{};
    double nestRate_ = 0.05;
    long long limitWrites_ = 0;
    bool lastPullUsedHold_ = false;

    bool failed_ = false;
    QString failure_;
    std::deque<std::pair<long long, QString>> log_;

    long long actionsDone_ = 0, outerDone_ = 0, sessions_ = 0;
    long long pullsAccepted_ = 0, pullsRefused_ = 0, ticks_ = 0;
    long long answers_ = 0, answersTaken_ = 0;
    int deepest_ = 0;
    std::map<QString, long long> boxesShown_;
    std::array<long long, actCount> byAction_{};
    double seconds_ = 0;
};

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        rt::setUpLookAndFeel();
        previousHandler = qInstallMessageHandler(quietHandler);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void randomPlay() {
        const std::uint64_t clockSeed = static_cast<std::uint64_t>(
            std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
        const std::uint64_t seed = envNumber("ROLVANGER_SOAK_SEED", clockSeed);
        const long long actions =
            static_cast<long long>(envNumber("ROLVANGER_SOAK_ACTIONS", defaultActions));
        const long long seconds =
            static_cast<long long>(envNumber("ROLVANGER_SOAK_SECONDS", defaultSeconds));
        std::printf("soak: seed %llu, %lld actions, at most %lld s\n",
                    static_cast<unsigned long long>(seed), actions, seconds);
        std::fflush(stdout);
        Soak soak(seed, actions, seconds);
        const auto failure = soak.run();
        soak.printFigures();
        if (failure) {
            std::fprintf(stderr, "soak: FAILED: %s\n%s", qPrintable(*failure),
                         qPrintable(soak.replayHint()));
            QFAIL(qPrintable(*failure));
        }
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
