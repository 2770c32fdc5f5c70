// Plays one cue file through the cue player, as the game does, and ends: for
// the tests that see whether a program with sound ends. Says how long the cue
// took once it has.
#include "sound/SystemCuePlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: cue_and_exit CUE.wav\n", stderr);
        return 2;
    }
    sound::SystemCuePlayer player;
    QElapsedTimer clock;
    clock.start();
    player.play(QByteArray(argv[1]));
    std::printf("played in %lld ms\n", static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
    return 0;
}
