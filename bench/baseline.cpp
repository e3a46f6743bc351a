// The smallest Qt Widgets program that maps a borderless window: the yardstick of the bar's figures.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    window.resize(480, 48);
    window.move(100, 0);
    window.show();
    return app.exec();
}
