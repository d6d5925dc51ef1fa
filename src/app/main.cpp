#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("VE2Z"));
    window.resize(224, 167);
    window.show();
    return app.exec();
}
