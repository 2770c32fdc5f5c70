#pragma once

#include "runtime/CommandButton.h"
#include "runtime/Label.h"
#include "shared/Forms.h"

#include <optional>

// The wallet: a small tool window that shows the euro left in the wallet and
// turns them into credits, 4 a euro. It never lends.
class Form2 : public Forms::WalletWindow {
    Q_OBJECT
public:
    // Builds the window hidden, at its design place.
    Form2();
    ~Form2() override;

    rt::CommandButton* Command1; // "Close"
    rt::Label* Label1;           // "You have: €"
    rt::Label* cashlbl;
    rt::CommandButton* eur1;
    rt::CommandButton* eur2;
    rt::CommandButton* eur5;
    rt::CommandButton* eur10;
    rt::CommandButton* eur20;
    rt::CommandButton* eur50;
    rt::Label* Label2; // "Put in:"

    // Shows the window modeless, without an owner, where it was last left,
    // raised and active; a minimised wallet comes back too.
    void showWallet() override;
    // Takes the window away for good; if one of its handlers is still
    // running (a refusal on screen), it goes once that handler returns.
    void unload() override;
    // Writes the euro left in the wallet into cashlbl.
    void showCash() override;

    void Command1_Click();
    void eur1_Click();
    void eur2_Click();
    void eur5_Click();
    void eur10_Click();
    void eur20_Click();
    void eur50_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void coinIn(int euro);
    void hideWallet();
    std::optional<QPoint> closedAt_; // the client area's place at the last "Close"

    int busy_ = 0;
    bool unloaded_ = false;
};
