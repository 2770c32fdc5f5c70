#pragma once

#include "runtime/CheckBox.h"
#include "runtime/CommandButton.h"
#include "runtime/ImageBox.h"
#include "runtime/Label.h"
#include "runtime/PictureBox.h"
#include "runtime/Sign.h"
#include "shared/Counter.h"
#include "shared/Forms.h"

#include <QTimer>
#include <chrono>

// The machine window: the reels, the lever, the holds and every switch of the
// game. Its handlers carry the names of the controls and events they serve.
class Form1 : public Forms::MachineWindow {
    Q_OBJECT
public:
    // Builds the window with every control in its designed state and runs
    // Form_Load, as the runtime does before a window is first shown.
    Form1();
    ~Form1() override;

    // The one public method: a whole number from low to high, each equally
    // likely, drawn from the machine's random generator.
    Counter Rand(Counter low, Counter high);

    // Controls, named as the game names them.
    rt::ImageBox* hok1;
    rt::ImageBox* hok2;
    rt::ImageBox* hok3;
    rt::PictureBox* Command1;    // the lever
    rt::CommandButton* Command2; // hold reel 1
    rt::CommandButton* Command3; // hold reel 2
    rt::CommandButton* Command4; // hold reel 3
    rt::Label* sclbl;
    rt::Label* cdlbl;
    rt::Sign* coin;
    rt::CommandButton* Command5; // "Wallet"
    rt::CommandButton* scoretocreds;
    rt::CommandButton* Command6; // "Score to Cash"
    rt::Label* Label1;           // the camouflaged add-money label
    rt::CheckBox* aplay;
    rt::CheckBox* cts;
    rt::CheckBox* soundon;
    rt::CheckBox* speedm;
    rt::Label* Label2; // the camouflaged spin-limit label
    QTimer* Timer1;    // display refresh, every 100 ms
    QTimer* Timer2;    // autoplay's next pull, 500 ms after a spin

    // The machine's state; all of it starts zeroed with the window.
    bool held1 = false, held2 = false, held3 = false;
    bool stop1 = false, stop2 = false, stop3 = false;
    Counter ticks = 0;
    Counter reel1 = 0, reel2 = 0, reel3 = 0;
    bool spinning = false;
    Counter addAmount = 0;
    bool holdTouched = false;
    Counter spinLimit = 0;

    // Start-up and unloading.
    void Form_Load();
    void Form_Unload();
    bool unloaded() const override { return unloaded_; }

    // The lever, the spin and the holds.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void ToggleHold1();
    void ToggleHold2();
    void ToggleHold3();
    void LockHolds();
    void UnlockHolds();

    // Payouts; each says how many points it paid.
    int CheckReels();
    int PayTriple();
    int PayPair13();
    int PayPair12();
    int PayPair23();

    // Autoplay, Speed Mode and the spin-limit prompt.
    void Timer2_Timer();
    void speedm_Click();
    void Label2_Click();

    // The display refresh and the lose cue.
    void Timer1_Timer();
    // Writes "Credits: n" and "Score: n": the one place each caption is made.
    void showCredits() override;
    void showScore() override;
    void cdlbl_Change();
    void sclbl_Change();

    // The lever picture and the add-money prompt.
    void Command1_MouseDown();
    void Command1_MouseUp();
    void Label1_DblClick();

    // Shows the wallet window.
    void Command5_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectEvents();
    // Shows symbol n in a reel window, and names it for screen readers.
    void showSymbol(rt::ImageBox* reel, Counter symbol);
    void toggleHold(bool& held, rt::CommandButton* button);
    int pay(Counter points, bool holdReel1, bool holdReel2, bool holdReel3);
    void waitOutTick(std::chrono::steady_clock::time_point tickStart);
    void showLeverPicture(const char* fileName);
    void loseCueIfBroke();

    bool unloaded_ = false;
};
