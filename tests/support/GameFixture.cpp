#include "support/GameFixture.h"

#include "runtime/LookAndFeel.h"
#include "shared/Forms.h"
#include "shared/Module1.h"

#include <QCoreApplication>
#include <QTest>

GameFixture::GameFixture(std::initializer_list<int> startSymbols) {
    installTestServices(random, cues, prompts);
    startFreshProgram();
    random.symbols(startSymbols);
    machine_ = std::make_unique<Form1>();
    machine_->Timer1->stop();
}

GameFixture::~GameFixture() {
    machine_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    removeTestServices();
}

void GameFixture::clickLever() {
    QTest::mouseClick(machine_->Command1, Qt::LeftButton);
}

void doubleClick(QWidget* target) {
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::mouseDClick(target, Qt::LeftButton);
    QTest::mouseRelease(target, Qt::LeftButton);
}

void startFreshProgram() {
    Module1::credits = Module1::cash = Module1::score = 0;
    Module1::soundFile.clear();
}

Form2& walletWindow() {
    return static_cast<Form2&>(Forms::wallet());
}

void setUpTestApplication() {
    rt::setUpLookAndFeel();
}
