// Program entry of Pelmora.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Pelmora"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pelmora 1.1"));
    window.show();
    return app.exec();
}
