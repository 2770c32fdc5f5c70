// The floor for the idle figure: a plain Qt Widgets window of the machine
// window's size whose only work is what the machine's display refresh must
// do while it waits for a coin, blink one label every 100 ms.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Blinking window"));
    window.setFixedSize(587, 336);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0xff, 0x80, 0x00));
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    // Where the machine window shows "INSERT COIN", in a face of its size.
    QLabel coin(QStringLiteral("INSERT COIN"), &window);
    coin.setGeometry(216, 8, 169, 33);
    QFont font = coin.font();
    font.setPixelSize(24);
    font.setBold(true);
    coin.setFont(font);

    QTimer refresh;
    refresh.setInterval(100);
    QObject::connect(&refresh, &QTimer::timeout, [&coin] { coin.setVisible(coin.isHidden()); });
    refresh.start();
    // Centred, as the machine window is: under a pointer resting mid-screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), window.size());
        place.moveCenter(screen->availableGeometry().center());
        window.move(place.topLeft());
    }
    window.show();
    return QApplication::exec();
}
