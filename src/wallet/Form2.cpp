#include "wallet/Form2.h"

#include "runtime/Design.h"
#include "runtime/TaskBar.h"
#include "shared/Forms.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

constexpr std::uint32_t black = 0x00000000;
constexpr std::uint32_t yellow = 0x0000FFFF;
constexpr std::uint32_t brown = 0x00004080;
constexpr rt::FontDesign textFont{"Comic Sans MS", 18, true};
constexpr rt::FontDesign coinFont{"Comic Sans MS", 15.75, true};

const rt::ControlDesign walletTable[] = {
    {"Command1", {240, 120, 5055, 375}, "Close", brown},
    {"Label1", {360, 720, 2175, 735}, "You have: €", black, yellow, textFont},
    {"cashlbl", {2520, 720, 2535, 735}, "10", black, yellow, textFont},
    {"eur1", {1320, 1800, 615, 615}, "€1", std::nullopt, std::nullopt, coinFont},
    {"eur2", {1920, 1800, 615, 615}, "€2", std::nullopt, std::nullopt, coinFont},
    {"eur5", {2520, 1800, 615, 615}, "€5", std::nullopt, std::nullopt, coinFont},
    {"eur10", {3120, 1800, 735, 615}, "€10", std::nullopt, std::nullopt, coinFont},
    {"eur20", {3840, 1800, 735, 615}, "€20", std::nullopt, std::nullopt, coinFont},
    {"eur50", {4560, 1800, 735, 615}, "€50", std::nullopt, std::nullopt, coinFont},
    {"Label2", {120, 1800, 1215, 735}, "Put in:", black, yellow, textFont},
};

constexpr rt::TwipRect clientArea{5100, 8565, 5550, 2715};

} // namespace

Form2::Form2()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("This is your wallet, use it wisely!"));
    rt::setWindowBackColour(*this, black);
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
    rt::applyDesign(*this, walletTable);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(eur1, &QPushButton::clicked, this, &Form2::eur1_Click);
    connect(eur2, &QPushButton::clicked, this, &Form2::eur2_Click);
    connect(eur5, &QPushButton::clicked, this, &Form2::eur5_Click);
    connect(eur10, &QPushButton::clicked, this, &Form2::eur10_Click);
    connect(eur20, &QPushButton::clicked, this, &Form2::eur20_Click);
    connect(eur50, &QPushButton::clicked, this, &Form2::eur50_Click);

    // The design place, moved just enough to keep the whole window on a
    // smaller screen.
    QRect place = clientArea.pixels();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        constexpr int titleBar = 24; // room for the frame above the client area
        place.moveRight(std::min(place.right(), available.right()));
        place.moveBottom(std::min(place.bottom(), available.bottom()));
        place.moveLeft(std::max(place.left(), available.left()));
        place.moveTop(std::max(place.top(), available.top() + titleBar));
    }
    setGeometry(place);
    setFixedSize(place.size());
    designPlace_ = place.topLeft();
    rt::keepOffTaskBar(*this);
}

Form2::~Form2() {
    Forms::forgetWallet(this);
}

void Form2::showWallet() {
    show();
    raise();
    activateWindow();
    if (!shownBefore_) {
        shownBefore_ = true;
        // The frame is known only once the window manager has taken the window.
        QTimer::singleShot(150, this, &Form2::placeWhole);
    }
}

void Form2::placeWhole() {
    const QScreen* onScreen = screen();
    if (!onScreen || !isVisible())
        return;
    // The frame where it belongs with the client area at its design place.
    QRect frame = frameGeometry().translated(designPlace_ - geometry().topLeft());
    const QRect available = onScreen->availableGeometry();
    // Right and bottom first, then left and top, so the title bar stays reachable.
    frame.moveRight(std::min(frame.right(), available.right()));
    frame.moveBottom(std::min(frame.bottom(), available.bottom()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    frame.moveTop(std::max(frame.top(), available.top()));
    if (frame.topLeft() != pos())
        move(frame.topLeft());
}

void Form2::Command1_Click() {
    hide();
}

void Form2::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Forms::forgetWallet(this);
    hide();
    if (busy_ == 0)
        deleteLater();
}

void Form2::closeEvent(QCloseEvent* event) {
    // The close box unloads the wallet; the next refresh makes a fresh one.
    event->accept();
    unload();
}
