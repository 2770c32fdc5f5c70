#include "wallet/Form2.h"

#include "runtime/Design.h"
#include "runtime/TaskBar.h"
#include "runtime/WindowPlace.h"
#include "shared/Colours.h"
#include "shared/Forms.h"
#include "wallet/window/Layout.h"

#include <QCloseEvent>
#include <utility>

Form2::Form2()
    : WalletWindow(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromUtf8(wallet_window::caption));
    rt::setWindowBackColour(*this, colours::black);
    Command1 = rt::addControl<rt::CommandButton>(*this, "Command1");
    Label1 = rt::addControl<rt::Label>(*this, "Label1");
    cashlbl = rt::addControl<rt::Label>(*this, "cashlbl");
    eur1 = rt::addControl<rt::CommandButton>(*this, "eur1");
    eur2 = rt::addControl<rt::CommandButton>(*this, "eur2");
    eur5 = rt::addControl<rt::CommandButton>(*this, "eur5");
    eur10 = rt::addControl<rt::CommandButton>(*this, "eur10");
    eur20 = rt::addControl<rt::CommandButton>(*this, "eur20");
    eur50 = rt::addControl<rt::CommandButton>(*this, "eur50");
    Label2 = rt::addControl<rt::Label>(*this, "Label2");
    rt::applyDesign(*this, wallet_window::controls());

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(eur1, &QPushButton::clicked, this, &Form2::eur1_Click);
    connect(eur2, &QPushButton::clicked, this, &Form2::eur2_Click);
    connect(eur5, &QPushButton::clicked, this, &Form2::eur5_Click);
    connect(eur10, &QPushButton::clicked, this, &Form2::eur10_Click);
    connect(eur20, &QPushButton::clicked, this, &Form2::eur20_Click);
    connect(eur50, &QPushButton::clicked, this, &Form2::eur50_Click);

    setFixedSize(wallet_window::clientArea.pixels().size());
    rt::placeOnScreen(*this, wallet_window::clientArea.pixels().topLeft());
    rt::keepOffTaskBar(*this);
}

Form2::~Form2() {
    Forms::forgetWallet(this);
}

void Form2::showWallet() {
    // A window manager may move a window it lets go of (GNOME's puts it where
    // its frame was), so a hidden wallet is put back where it was closed.
    if (closedAt_)
        setGeometry(QRect(*std::exchange(closedAt_, std::nullopt), size()));
    // Minimised, the window is still shown as far as the program can tell.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Form2::Command1_Click() {
    if (isVisible())
        closedAt_ = geometry().topLeft();
    hideWallet();
}

void Form2::hideWallet() {
    const bool hadKeyboard = isActiveWindow();
    hide();
    // The keyboard goes back to the machine, as it does on the desktop the
    // game comes from: a window manager may give it to no window at all
    // (openbox does, when the machine is off the task bar).
    Forms::MachineWindow* machine = Forms::machine();
    if (hadKeyboard && machine && !machine->unloaded() && machine->isVisible())
        machine->activateWindow();
}

void Form2::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Forms::forgetWallet(this);
    hideWallet();
    if (busy_ == 0)
        deleteLater();
}

void Form2::closeEvent(QCloseEvent* event) {
    // The close box unloads the wallet; the next refresh makes a fresh one.
    event->accept();
    unload();
}
