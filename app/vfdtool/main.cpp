#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("vfdtool: the main window is still being built."));
    label.setMargin(24);
    label.show();
    return app.exec();
}
