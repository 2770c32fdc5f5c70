// The baseline for start-up and memory: a plain Qt Widgets window of the
// machine window's size showing one line of text, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Brim's Rolvanger"));
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.setAlignment(Qt::AlignCenter);
    QFont font = window.font();
    font.setPixelSize(40);
    window.setFont(font);
    window.setFixedSize(587, 336);
    // Centred, as the machine window is.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), window.size());
        place.moveCenter(screen->availableGeometry().center());
        window.move(place.topLeft());
    }
    window.show();
    return QApplication::exec();
}
