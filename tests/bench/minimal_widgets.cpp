// The yardstick for the window itself: a plain Qt Widgets window of the main
// window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal-widgets"));
    window.setFixedSize(797, 574);
    window.show();
    return QApplication::exec();
}
