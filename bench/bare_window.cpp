// The yardstick for Orvantis's start-up: the least a Qt Widgets program can
// show, a main window holding one label. startup_probe starts it and
// Orvantis the same way, so the difference between the two is what Orvantis
// itself adds.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setCentralWidget(new QLabel(QStringLiteral("A bare Qt window")));
    // The size of Orvantis's window (its 732 x 455 client area and a menu
    // bar), so that both fill the same pixels.
    window.resize(732, 475);
    window.show();
    return QApplication::exec();
}
