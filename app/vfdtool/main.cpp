#include "Form1.h"
#include "demo.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vfdtool"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Commissions, drives and watches frequency inverters over an RS-485 "
                       "line (Modbus RTU master, drives 1..31).\n"
                       "The port is opened in the program with \"Open Serial\"."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Preselect the serial port NAME instead of COM1: COM1..COM16, a device "
                       "path such as /dev/ttyUSB0, or SIM for simulated drives 1 to 3."),
        QStringLiteral("NAME"));
    const QCommandLineOption noWelcomeOption(QStringLiteral("no-welcome"),
                                             QStringLiteral("Start without the welcome window."));
    parser.addOption(portOption);
    parser.addOption(noWelcomeOption);
    parser.process(app);

    demo window;
    if (parser.isSet(portOption))
        window.selectPort(parser.value(portOption));

    if (parser.isSet(noWelcomeOption)) {
        window.show();
    } else {
        // The welcome window deletes itself once it has handed over.
        auto* welcome = new Form1([&window] { window.show(); });
        welcome->show();
    }
    return app.exec();
}
