#include "machine/Form1.h"

#include "machine/Symbols.h"
#include "runtime/Pictures.h"
#include "runtime/ProgramInfo.h"

void Form1::showSymbol(rt::ImageBox* reel, Counter symbol) {
    const QString fileName = QString::number(symbol) + QStringLiteral(".jpg");
    if (auto picture = rt::loadPicture(rt::inProgramFolder(fileName)))
        reel->setPicture(*picture);
    else
        reel->setPicture(rt::numberFace(symbol, reel->size()));
    reel->setAccessibleDescription(symbolDescription(symbol));
}
