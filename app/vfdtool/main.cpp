// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"
#include "Language.h"
#include "SavedSettings.h"
#include "VfdVersion.h"
#include "demo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#ifdef Q_OS_UNIX
#include "PseudoTerminal.h"
#endif

int main(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Commissions, drives and watches frequency inverters over an RS-485 "
                       "line (Modbus RTU master, drives 1..31).\n"
                       "The port is opened in the program with \"Open Serial\" (or at start "
                       "with --open). The port, "
                       "its line settings, the rhythms, the drive choice, the skin colour "
                       "and the window's place are kept between runs in %1.")
            .arg(QDir::toNativeSeparators(SavedSettings::defaultLocation())));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and quit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and quit."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Preselect the serial port NAME instead of the remembered one (COM1 "
                       "on the first run): COM1..COM16, a device path such as /dev/ttyUSB0, "
                       "SIM for simulated drives 1 to 3, tcp://HOST:PORT for drives "
                       "behind a serial-to-Ethernet gateway in transparent mode, or "
                       "mbtcp://HOST:PORT for one in Modbus TCP mode."),
        QStringLiteral("NAME"));
    const QCommandLineOption openOption(
        QStringLiteral("open"),
        QStringLiteral("Open the port as soon as the main window shows and start polling, as "
                       "\"Open Serial\" and then \"Start\" do (try: --port SIM --open)."));
    const QCommandLineOption noWelcomeOption(QStringLiteral("no-welcome"),
                                             QStringLiteral("Start without the welcome window."));
    const QCommandLineOption resetOption(
        QStringLiteral("reset-settings"),
        QStringLiteral("Forget every kept setting and start as on the first run."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(portOption);
    parser.addOption(openOption);
    parser.addOption(noWelcomeOption);
    parser.addOption(resetOption);

    // Help and version are answered before any window system is touched, so
    // they also work on a terminal without a display.
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == u"-h" || argument == u"--help" || argument == u"-help") {
            std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                            QStringLiteral("vfdtool"))),
                       stdout);
            return 0;
        }
        if (argument == u"-v" || argument == u"--version") {
            std::printf("vfdtool %s\n", VFD_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vfdtool"));
    QApplication::setApplicationVersion(QStringLiteral(VFD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(VFD_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vfdtool/vfdtool.png")));
#ifdef Q_OS_UNIX
    // Ended by the session (log-out) or a terminal: quit in order, so the
    // settings are kept as for a closed window.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     [] { QCoreApplication::quit(); });
#endif

    // QApplication has taken its own options (-platform, -style, ...) by now.
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "vfdtool: %s\nTry vfdtool --help.\n", qPrintable(parser.errorText()));
        return 2;
    }

    if (parser.isSet(portOption) && parser.value(portOption).trimmed().isEmpty()) {
        std::fprintf(stderr, "vfdtool: --port needs a port name.\nTry vfdtool --help.\n");
        return 2;
    }

    SavedSettings saved(SavedSettings::defaultLocation());
    if (parser.isSet(resetOption) && !saved.forget()) {
        std::fprintf(stderr, "vfdtool: cannot remove %s; starting without it.\n",
                     qPrintable(QDir::toNativeSeparators(saved.filePath())));
    }

    // The language is settled before the first window is built: the one
    // chosen in the program, else the system's. Texts whose translation could
    // not be loaded stay English; the program runs all the same.
    const QString language = SavedSettings::keptLanguage(saved.filePath());
    const QString speaking = Language::choose(language);
    const QStringList missing = Language::install(speaking);
    // Dates and times on show follow a language chosen against the system's.
    if (speaking == QLatin1String(Language::Chinese) && QLocale().language() != QLocale::Chinese)
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    if (!missing.isEmpty())
        std::fprintf(stderr, "vfdtool: no translation in %s; those texts stay English.\n",
                     qPrintable(missing.join(QStringLiteral(", "))));

    demo window;
    window.setLanguageChoice(language);
    // The sites opened last are kept beside the settings, in a file of their own.
    window.setRecentSitesFile(QFileInfo(saved.filePath()).absolutePath() +
                              QStringLiteral("/sites.conf"));
    bool portChosen = !parser.isSet(resetOption) && saved.restore(window);
    if (parser.isSet(portOption)) {
        window.selectPort(parser.value(portOption));
        portChosen = true;
    }
    // A port the user chose before and that is gone now (an adapter left at
    // home) stays chosen, and the window says so; nothing else is taken instead.
    if (portChosen)
        SavedSettings::reportMissingPort(window);
    saved.watch(window);
    if (parser.isSet(portOption))
        saved.store(window); // the port named here is the one to come back to

    const bool openAtStart = parser.isSet(openOption);
    const auto showMain = [&window, openAtStart] {
        window.show();
        // Once the window is up, so that a refusal's message box stands over it.
        if (openAtStart)
            QTimer::singleShot(0, &window, [&window] { window.openAndPoll(); });
    };
    if (parser.isSet(noWelcomeOption)) {
        showMain();
    } else {
        // The welcome window deletes itself once it has handed over.
        auto* welcome = new Form1(showMain);
        welcome->show();
    }
    return app.exec();
}
