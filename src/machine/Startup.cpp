#include "machine/Form1.h"

#include "machine/Symbols.h"
#include "runtime/Pictures.h"
#include "runtime/ProgramInfo.h"
#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "runtime/Seams.h"
#include "shared/Forms.h"
#include "shared/Module1.h"

#include <cmath>

void Form1::Form_Load() {
    if (auto* random = rt::seams().random)
        random->seedFromClock();
    setWindowTitle(windowTitle() + QLatin1Char(' ') + QString::number(rt::versionMajor()) +
                   QLatin1Char('.') + QString::number(rt::versionRevision()));
    // The start-up symbols are only pictures: reel1..reel3 stay 0 until the
    // first spin draws them.
    showSymbol(hok1, Rand(1, 7));
    showSymbol(hok2, Rand(1, 7));
    showSymbol(hok3, Rand(1, 7));
    held1 = held2 = held3 = false;
    stop1 = stop2 = stop3 = false;
    Module1::credits = 0;
    Module1::cash = 10;
    spinning = false;
    holdTouched = false;
    spinLimit = 75;
}

void Form1::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1->stop();
    Timer2->stop();
    Forms::unloadWallet();
    Forms::setClosing(true);
    // A prompt left open would keep the program alive behind a closed window.
    if (auto* prompts = rt::seams().prompts)
        prompts->closeAll();
}

Counter Form1::Rand(Counter low, Counter high) {
    const float r = rt::seams().random ? rt::seams().random->next() : 0.0f;
    const auto count = toCounter(static_cast<long long>(high) - low + 1);
    if (!count)
        return low;
    // The product stays in double precision: rounding it back to single
    // precision could turn a draw just below 1 into the count itself.
    const double product = static_cast<double>(static_cast<float>(*count)) * r;
    return toCounter(static_cast<long long>(std::floor(product)) + low).value_or(low);
}

void Form1::showSymbol(rt::ImageBox* reel, Counter symbol) {
    const QString fileName = QString::number(symbol) + QStringLiteral(".jpg");
    if (auto picture = rt::loadPicture(rt::inProgramFolder(fileName)))
        reel->setPicture(*picture);
    else
        reel->setPicture(rt::numberFace(symbol, reel->size()));
    reel->setAccessibleDescription(symbolDescription(symbol));
}
