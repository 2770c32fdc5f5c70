#include "wallet/Form2.h"

#include "runtime/Prompts.h"
#include "shared/Module1.h"
#include "shared/Seams.h"

void Form2::eur1_Click() {
    coinIn(1);
}
void Form2::eur2_Click() {
    coinIn(2);
}
void Form2::eur5_Click() {
    coinIn(5);
}
void Form2::eur10_Click() {
    coinIn(10);
}
void Form2::eur20_Click() {
    coinIn(20);
}
void Form2::eur50_Click() {
    coinIn(50);
}

void Form2::coinIn(int euro) {
    using namespace Module1;
    // The window may be unloaded while a refusal is on screen; it is then
    // deleted only once this handler is done with it.
    ++busy_;
    const int left = cash - euro;
    if (left < 0) {
        seams().prompts().message(QStringLiteral("Hey! no loans buddy!"), QStringLiteral("Loan?"),
                                  rt::Prompts::Icon::Critical);
    } else if (const auto topped = toCounter(credits + 4LL * euro)) {
        cash = static_cast<Counter>(left);
        credits = *topped;
    } else {
        TooMuch();
    }
    if (--busy_ == 0 && unloaded_)
        deleteLater();
}

void Form2::showCash() {
    cashlbl->setCaption(QString::number(Module1::cash));
}
