#include "machine/Form1.h"

#include "runtime/Pictures.h"
#include "runtime/ProgramInfo.h"

void Form1::Command1_MouseDown() {
    showLeverPicture("leverdown.jpg");
}

void Form1::Command1_MouseUp() {
    showLeverPicture("leverup.jpg");
}

void Form1::showLeverPicture(const char* fileName) {
    // A picture that cannot be read leaves the lever as it is.
    if (auto picture = rt::loadPicture(rt::inProgramFolder(QString::fromLatin1(fileName)))) {
        Command1->setPicture(*picture);
        // Painted now: the pull that follows the release holds up the window.
        Command1->repaint();
    }
}
