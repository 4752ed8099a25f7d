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

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("vfdtool", source);
}

// The command line's options, described in the language installed when they
// are made: the help reads as the windows will.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            text(QT_TRANSLATE_NOOP("vfdtool", "Show this help and quit."))};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               text(QT_TRANSLATE_NOOP("vfdtool", "Show the version and quit."))};
    QCommandLineOption port{
        QStringLiteral("port"),
        text(QT_TRANSLATE_NOOP("vfdtool",
                               "Preselect the serial port NAME instead of the remembered one (COM1 "
                               "on the first run): COM1..COM16, a device path such as "
                               "/dev/ttyUSB0, SIM for simulated drives 1 to 3, tcp://HOST:PORT for "
                               "drives behind a serial-to-Ethernet gateway in transparent mode, or "
                               "mbtcp://HOST:PORT for one in Modbus TCP mode.")),
        text(QT_TRANSLATE_NOOP("vfdtool", "NAME"))};
    QCommandLineOption open{
        QStringLiteral("open"),
        text(QT_TRANSLATE_NOOP("vfdtool",
                               "Open the port as soon as the main window shows and start polling, "
                               "as \"Open Serial\" and then \"Start\" do (try: --port SIM "
                               "--open)."))};
    QCommandLineOption noWelcome{
        QStringLiteral("no-welcome"),
        text(QT_TRANSLATE_NOOP("vfdtool", "Start without the welcome window."))};
    QCommandLineOption reset{
        QStringLiteral("reset-settings"),
        text(QT_TRANSLATE_NOOP("vfdtool",
                               "Forget every kept setting and start as on the first run."))};

    void addTo(QCommandLineParser& parser) const
    {
        parser.setApplicationDescription(
            text(QT_TRANSLATE_NOOP(
                     "vfdtool",
                     "Commissions, drives and watches frequency inverters over an RS-485 line "
                     "(Modbus RTU master, drives 1..31).\nThe port is opened in the program with "
                     "\"Open Serial\" (or at start with --open). The port, its line settings, the "
                     "rhythms, the drive choice, the skin colour and the window's place are kept "
                     "between runs in %1."))
                .arg(QDir::toNativeSeparators(SavedSettings::defaultLocation())));
        for (const QCommandLineOption* option : {&help, &version, &port, &open, &noWelcome, &reset})
            parser.addOption(*option);
    }
};

// The language is the one chosen in the program, else the system's. Texts
// whose translation could not be loaded stay English; the program runs all
// the same. Returns the language spoken.
QString speak(const QString& chosen, bool tellMissing)
{
    const QString speaking = Language::choose(chosen);
    const QStringList missing = Language::install(speaking);
    if (!missing.isEmpty() && tellMissing)
        std::fprintf(stderr, "vfdtool: no translation in %s; those texts stay English.\n",
                     qPrintable(missing.join(QStringLiteral(", "))));
    return speaking;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and version are answered before any window system is touched, so
    // they also work on a terminal without a display.
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == u"-h" || argument == u"--help" || argument == u"-help") {
            // A plain application only to hold the translations; named so,
            // the usage line says "vfdtool" however the program was started.
            int helpArgc = 1;
            char helpName[] = "vfdtool";
            char* helpArgv[] = {helpName, nullptr};
            const QCoreApplication helpOnly(helpArgc, helpArgv);
            speak(SavedSettings::keptLanguage(SavedSettings::defaultLocation()), false);
            QCommandLineParser parser;
            const Options options;
            options.addTo(parser);
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

    // The language is settled before the first word is said (a refused
    // option included); --reset-settings below forgets a chosen one.
    QString language = SavedSettings::keptLanguage(SavedSettings::defaultLocation());
    QString speaking = speak(language, true);
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    // QApplication has taken its own options (-platform, -style, ...) by now.
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "vfdtool: %s\n%s\n", qPrintable(parser.errorText()),
                     qPrintable(text(QT_TRANSLATE_NOOP("vfdtool", "Try vfdtool --help."))));
        return 2;
    }

    if (parser.isSet(options.port) && parser.value(options.port).trimmed().isEmpty()) {
        std::fprintf(stderr, "vfdtool: %s\n%s\n",
                     qPrintable(text(QT_TRANSLATE_NOOP("vfdtool", "--port needs a port name."))),
                     qPrintable(text(QT_TRANSLATE_NOOP("vfdtool", "Try vfdtool --help."))));
        return 2;
    }

    SavedSettings saved(SavedSettings::defaultLocation());
    if (parser.isSet(options.reset) && !saved.forget()) {
        std::fprintf(stderr, "vfdtool: cannot remove %s; starting without it.\n",
                     qPrintable(QDir::toNativeSeparators(saved.filePath())));
    }

    if (parser.isSet(options.reset)) {
        language = SavedSettings::keptLanguage(saved.filePath());
        speaking = speak(language, false);
    }
    // Dates and times on show follow a language chosen against the system's.
    if (speaking == QLatin1String(Language::Chinese) && QLocale().language() != QLocale::Chinese)
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    demo window;
    window.setLanguageChoice(language);
    // The sites opened last are kept beside the settings, in a file of their own.
    window.setRecentSitesFile(QFileInfo(saved.filePath()).absolutePath() +
                              QStringLiteral("/sites.conf"));
    bool portChosen = !parser.isSet(options.reset) && saved.restore(window);
    if (parser.isSet(options.port)) {
        window.selectPort(parser.value(options.port));
        portChosen = true;
    }
    // A port the user chose before and that is gone now (an adapter left at
    // home) stays chosen, and the window says so; nothing else is taken instead.
    if (portChosen)
        SavedSettings::reportMissingPort(window);
    saved.watch(window);
    if (parser.isSet(options.port))
        saved.store(window); // the port named here is the one to come back to

    const bool openAtStart = parser.isSet(options.open);
    const auto showMain = [&window, openAtStart] {
        window.show();
        // Once the window is up, so that a refusal's message box stands over it.
        if (openAtStart)
            QTimer::singleShot(0, &window, [&window] { window.openAndPoll(); });
    };
    if (parser.isSet(options.noWelcome)) {
        showMain();
    } else {
        // The welcome window deletes itself once it has handed over.
        auto* welcome = new Form1(showMain);
        welcome->show();
    }
    return app.exec();
}
