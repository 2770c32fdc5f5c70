// The spin as the program runs it: the real machine window, random source and
// cue player (through the sound server, or where SDL_AUDIODRIVER says), Qt's offscreen
// platform. Only the random source is wrapped, to note when each tick draws.
//
// usage: bench_spin pace [SPINS]     default spins (limit 75), sound off and
//                                    on, then with the tick floor off; a
//                                    spin is timed from the lever's click
//                                    to the last reel stopped
//        bench_spin memory [SPINS]   resident memory over SPINS (1000)
//                                    speed-mode spins (limit 1)
//        bench_spin game             a short game touching every part, then
//                                    the program's own way out; for the leak
//                                    check under valgrind
// Prints "key value" lines, times in milliseconds, memory in kB.
#include "Stats.h"
#include "machine/Form1.h"
#include "runtime/LookAndFeel.h"
#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "runtime/Settings.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "sound/SystemCuePlayer.h"
#include "wallet/Form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The machine's own generator, noting the moment the first draw of each tick
// is made: the time between two such moments in one spin is one whole tick.
class TickClock final : public rt::RandomSource {
public:
    explicit TickClock(rt::RandomSource& real) : real_(real) {}
    void seedFromClock() override { real_.seedFromClock(); }
    float next() override {
        const auto* machine = static_cast<const Form1*>(Forms::machine());
        if (machine && machine->spinning && machine->ticks != lastTick_ && !spins_.empty()) {
            lastTick_ = machine->ticks;
            spins_.back().push_back(Clock::now());
        }
        return real_.next();
    }
    void newSpin() {
        spins_.emplace_back();
        lastTick_ = -1;
    }
    // The lengths of the ticks noted since the last call, in milliseconds.
    std::vector<double> takeTicks() {
        std::vector<double> lengths;
        for (const auto& starts : spins_)
            for (std::size_t i = 1; i < starts.size(); ++i)
                lengths.push_back(
                    std::chrono::duration<double, std::milli>(starts[i] - starts[i - 1]).count());
        spins_.clear();
        return lengths;
    }

private:
    rt::RandomSource& real_;
    int lastTick_ = -1;
    std::vector<std::vector<Clock::time_point>> spins_;
};

// Notes the moment the last reel stops: the loop then unlocks the hold
// buttons, before the reels are compared and a win is paid (with Sound on,
// after a win cue of up to a second).
class ReelsStopped final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && static_cast<QWidget*>(watched)->isEnabled())
            at = Clock::now();
        return false;
    }
    Clock::time_point at;
};

void settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// One pull of the lever, as a click runs it: milliseconds from the click to
// the last reel stopped.
double pull(Form1& machine, TickClock& ticks) {
    // Plenty of credits: the last one would bring the lose cue into the spin.
    Module1::credits = 30000;
    ticks.newSpin();
    ReelsStopped stopped;
    machine.Command2->installEventFilter(&stopped);
    const Clock::time_point start = Clock::now();
    machine.Command1_Click();
    const Clock::time_point end = stopped.at > start ? stopped.at : Clock::now();
    machine.Command2->removeEventFilter(&stopped);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void pace(Form1& machine, TickClock& ticks, int spins) {
    for (const bool sound : {false, true}) {
        machine.soundon->setChecked(sound);
        const char* key = sound ? "sound_on" : "sound_off";
        std::vector<double> spinTimes;
        for (int i = 0; i < spins; ++i) {
            spinTimes.push_back(pull(machine, ticks));
            settle(50);
        }
        const std::vector<double> tickTimes = ticks.takeTicks();
        std::printf("%s_spin_median_ms %.1f\n", key, bench::median(spinTimes));
        std::printf("%s_tick_median_ms %.2f\n", key, bench::median(tickTimes));
        std::printf("%s_tick_p95_ms %.2f\n", key, bench::percentile(tickTimes, 95));
        std::printf("%s_tick_max_ms %.2f\n", key, bench::percentile(tickTimes, 100));
        std::fflush(stdout);
    }

    // Without the floor a tick lasts only as long as its own work.
    machine.soundon->setChecked(false);
    rt::settings().tickFloor = 0ms;
    std::vector<double> perTick;
    for (int i = 0; i < spins; ++i) {
        perTick.push_back(pull(machine, ticks) / (4.0 * machine.spinLimit));
        settle(50);
    }
    const std::vector<double> tickTimes = ticks.takeTicks();
    rt::settings().tickFloor = 10ms;
    std::printf("floor_off_spin_tick_mean_ms %.3f\n", bench::median(perTick));
    std::printf("floor_off_tick_median_ms %.3f\n", bench::median(tickTimes));
    std::printf("floor_off_tick_p95_ms %.3f\n", bench::percentile(tickTimes, 95));
}

void memory(Form1& machine, TickClock& ticks, int spins) {
    machine.speedm->setChecked(true);
    machine.speedm_Click();
    // The first spins load what every later one uses (the pictures' decoder).
    for (int i = 0; i < 10; ++i) {
        pull(machine, ticks);
        QCoreApplication::processEvents();
    }
    ticks.takeTicks();
    const long rssBefore = residentKilobytes();
    const auto heapBefore = static_cast<long>(mallinfo2().uordblks / 1024);
    for (int i = 0; i < spins; ++i) {
        pull(machine, ticks);
        QCoreApplication::processEvents();
        ticks.takeTicks(); // keeps the bench's own notes out of the figure
    }
    settle(200);
    const long rssAfter = residentKilobytes();
    const auto heapAfter = static_cast<long>(mallinfo2().uordblks / 1024);
    std::printf("spins %d\n", spins);
    std::printf("rss_before_kb %ld\n", rssBefore);
    std::printf("rss_growth_kb %ld\n", rssAfter - rssBefore);
    std::printf("heap_growth_kb %ld\n", heapAfter - heapBefore);
}

// Every part once: sound, holds, Speed Mode, the wallet and its coins, both
// conversions, autoplay down to the last credit and its lose cue.
void game(Form1& machine, TickClock& ticks) {
    machine.soundon->setChecked(true);
    machine.speedm->setChecked(true);
    machine.speedm_Click();
    machine.Command5_Click();
    static_cast<Form2&>(Forms::wallet()).eur5_Click();
    settle(200);
    for (int i = 0; i < 6; ++i) {
        machine.Command1_Click();
        if (machine.Command2->isEnabled())
            machine.Command2_Click();
        settle(50);
    }
    Module1::score = 9;
    Module1::scoretocreds_Click();
    Module1::score = 5;
    Module1::Command6_Click();
    static_cast<Form2&>(Forms::wallet()).Command1_Click();
    Module1::credits = 2;
    machine.aplay->setChecked(true);
    machine.Command1_Click();
    settle(3000);
    ticks.takeTicks();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "pace" && mode != "memory" && mode != "game") {
        std::fprintf(stderr, "usage: bench_spin pace [SPINS] | memory [SPINS] | game\n");
        return 2;
    }

    // As main() does, with the random source wrapped.
    QApplication app(argc, argv);
    rt::setUpLookAndFeel();
    rt::ClockRandomSource real;
    sound::SystemCuePlayer cues;
    rt::QtPrompts prompts;
    TickClock ticks(real);
    seams().install(ticks, cues, prompts);
    {
        Form1 machine;
        machine.show();
        settle(300);
        if (mode == "pace")
            pace(machine, ticks, argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
        else if (mode == "memory")
            memory(machine, ticks, argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000);
        else
            game(machine, ticks);
        std::fflush(stdout);
        machine.close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    seams().remove();
    return 0;
}
