#include "machine/Form1.h"

#include "machine/window/Layout.h"
#include "runtime/Pictures.h"
#include "runtime/TaskBar.h"
#include "runtime/WindowPlace.h"
#include "shared/Colours.h"
#include "shared/Forms.h"
#include "shared/Module1.h"
#include "wallet/Form2.h"

using namespace machine_window;

// A plain window, not a dialog: GNOME's window manager gives a dialog without
// an owner a task-bar button, whatever the dialog asks for.
Form1::Form1()
    : MachineWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    Forms::setMachine(this);
    Forms::makeWalletWith([]() -> Forms::WalletWindow* { return new Form2(); });
    buildControls();
    connectEvents();
    Form_Load();
}

Form1::~Form1() {
    Forms::unloadWallet();
    if (Forms::machine() == this)
        Forms::setMachine(nullptr);
}

void Form1::buildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(storedCaption));
    QIcon icon(QPixmap(QStringLiteral(":/form1/icon.png")));
    icon.addPixmap(QPixmap(QStringLiteral(":/form1/icon-64.png")));
    setWindowIcon(icon);
    setFixedSize(rt::twipsToPixels(clientWidthTwips), rt::twipsToPixels(clientHeightTwips));
    rt::setWindowBackColour(*this, colours::black);
    // Created in tab order, so that the table's order is also the focus chain.
    Command2 = rt::addControl<rt::CommandButton>(*this, "Command2");
    Command3 = rt::addControl<rt::CommandButton>(*this, "Command3");
    Command4 = rt::addControl<rt::CommandButton>(*this, "Command4");
    Command1 = rt::addControl<rt::PictureBox>(*this, "Command1");
    sclbl = rt::addControl<rt::Label>(*this, "sclbl");
    cdlbl = rt::addControl<rt::Label>(*this, "cdlbl");
    coin = rt::addControl<rt::Sign>(*this, "coin");
    Command5 = rt::addControl<rt::CommandButton>(*this, "Command5");
    scoretocreds = rt::addControl<rt::CommandButton>(*this, "scoretocreds");
    Command6 = rt::addControl<rt::CommandButton>(*this, "Command6");
    Label1 = rt::addControl<rt::Label>(*this, "Label1");
    aplay = rt::addControl<rt::CheckBox>(*this, "aplay");
    cts = rt::addControl<rt::CheckBox>(*this, "cts");
    soundon = rt::addControl<rt::CheckBox>(*this, "soundon");
    speedm = rt::addControl<rt::CheckBox>(*this, "speedm");
    Label2 = rt::addControl<rt::Label>(*this, "Label2");
    hok1 = rt::addControl<rt::ImageBox>(*this, "hok1");
    hok2 = rt::addControl<rt::ImageBox>(*this, "hok2");
    hok3 = rt::addControl<rt::ImageBox>(*this, "hok3");
    rt::applyDesign(*this, controls());
    rt::applyDesign(*this, reels());

    for (auto* hold : {Command2, Command3, Command4})
        hold->setEnabled(false);
    aplay->putBoxOnRight();
    cts->putBoxOnRight();
    Command1->setFocusPolicy(Qt::TabFocus);
    Command1->setAccessibleName(QStringLiteral("Lever"));
    Command1->setPicture(QPixmap(QStringLiteral(":/form1/lever.jpg")));
    const QPixmap white(QStringLiteral(":/form1/white.jpg"));
    int number = 1;
    for (auto* reel : {hok1, hok2, hok3}) {
        reel->setPicture(white);
        reel->setAccessibleName(QStringLiteral("Reel %1").arg(number++));
    }

    // Precise timers: a coarse one may fire up to 5 % early, and autoplay's
    // half second is something a player can count.
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(100);
    Timer2 = new QTimer(this);
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(500);

    rt::centreOnScreen(*this);
    rt::keepOffTaskBar(*this);
}

void Form1::connectEvents() {
    connect(Command1, &QAbstractButton::clicked, this, &Form1::Command1_Click);
    connect(Command1, &QAbstractButton::pressed, this, &Form1::Command1_MouseDown);
    connect(Command1, &QAbstractButton::released, this, &Form1::Command1_MouseUp);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, [] { Module1::Command6_Click(); });
    connect(scoretocreds, &QPushButton::clicked, this, [] { Module1::scoretocreds_Click(); });
    connect(speedm, &QCheckBox::clicked, this, &Form1::speedm_Click);
    connect(Label1, &rt::Label::DblClick, this, &Form1::Label1_DblClick);
    connect(Label2, &rt::Label::Click, this, &Form1::Label2_Click);
    connect(cdlbl, &rt::Label::Change, this, &Form1::cdlbl_Change);
    connect(sclbl, &rt::Label::Change, this, &Form1::sclbl_Change);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    Timer1->start();
}
