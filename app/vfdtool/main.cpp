#include "Form1.h"
#include "demo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Commissions, drives and watches frequency inverters over an RS-485 "
                       "line (Modbus RTU master, drives 1..31).\n"
                       "The port is opened in the program with \"Open Serial\"."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and quit."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Preselect the serial port NAME instead of COM1: COM1..COM16, a device "
                       "path such as /dev/ttyUSB0, SIM for simulated drives 1 to 3, or "
                       "tcp://HOST:PORT for drives behind a serial-to-Ethernet gateway."),
        QStringLiteral("NAME"));
    const QCommandLineOption noWelcomeOption(QStringLiteral("no-welcome"),
                                             QStringLiteral("Start without the welcome window."));
    parser.addOption(helpOption);
    parser.addOption(portOption);
    parser.addOption(noWelcomeOption);

    // Help is answered before any window system is touched, so it also works
    // on a terminal without a display.
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == u"-h" || argument == u"--help" || argument == u"-help") {
            std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                            QStringLiteral("vfdtool"))),
                       stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vfdtool"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // QApplication has taken its own options (-platform, -style, ...) by now.
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "vfdtool: %s\nTry vfdtool --help.\n", qPrintable(parser.errorText()));
        return 2;
    }

    if (parser.isSet(portOption) && parser.value(portOption).trimmed().isEmpty()) {
        std::fprintf(stderr, "vfdtool: --port needs a port name.\nTry vfdtool --help.\n");
        return 2;
    }

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
