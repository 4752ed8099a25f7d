// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimCommandLine.h"

#include "DriveList.h"
#include "VfdVersion.h"

#include <QCommandLineParser>
#include <QRegularExpression>

QString SimCommandLine::version()
{
    return QStringLiteral(VFD_VERSION);
}

std::optional<QPair<quint8, int>> SimCommandLine::parseFault(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,3})\\s*:\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int address = m.captured(1).toInt();
    const int number = m.captured(2).toInt();
    if (address < 1 || address > DriveList::kHighestAddress || number < 1 || number > 255)
        return std::nullopt;
    return QPair<quint8, int>(quint8(address), number);
}

std::optional<SimOptions::LaterFault> SimCommandLine::parseLaterFault(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const std::optional<QPair<quint8, int>> fault = parseFault(text.left(colon));
    bool ok = false;
    const double seconds = text.mid(colon + 1).trimmed().toDouble(&ok);
    if (!fault || !ok || !(seconds >= 0) || seconds > 86400)
        return std::nullopt;
    return SimOptions::LaterFault{fault->first, fault->second, seconds};
}

SimCommandLine::Outcome SimCommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated frequency inverters on a serial line. The drives answer Modbus RTU "
        "requests as real ones do: their own reply layouts for single-register reads "
        "(register count 0), standard replies for reads of 1..125 registers, parameter "
        "writes within the catalogue's limits, and run commands at register 0x2000.\n"
        "Each drive ramps at its acceleration and deceleration times (P0.14/P0.15), "
        "answers after its response delay (P8.03) and stops by itself when no run "
        "command came within its communication time-out (P8.02). A tripped drive is "
        "reset by a stop followed by a run command.\n\n"
        "Serve them on a pseudo-terminal, on a real serial device, or on a TCP port of "
        "127.0.0.1 as a serial-to-Ethernet gateway does (one client at a time): in "
        "transparent mode with --tcp (open tcp://127.0.0.1:PORT in vfdtool), or in Modbus "
        "TCP mode with --modbus-tcp (open mbtcp://127.0.0.1:PORT; the unit id is the drive "
        "address). The first line of standard output names what to open. Ctrl-C ends the "
        "program.\n\n"
        "A pseudo-terminal or a TCP connection carries bytes at once, so there the line "
        "is timed as an RS-485 line at the given settings: a request counts as heard "
        "when its bytes "
        "would have arrived at the baud rate (bits per character from data bits, parity "
        "and stop bits), a frame ends after 3.5 characters of silence (at least 3 ms), "
        "and the reply goes out byte by byte at the baud rate after the response delay. "
        "Only a frame whose CRC matches as a whole is answered. Bytes heard while a reply "
        "is on the line collide with it: the drive ignores them, the reply arrives "
        "damaged and --log says \"collision\". A serial device's own line does the "
        "timing."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Shows the version."));
    const QCommandLineOption pty(
        QStringLiteral("pty"),
        QStringLiteral("Serves on a new pseudo-terminal and prints its path."));
    const QCommandLineOption device(QStringList{QStringLiteral("device"), QStringLiteral("port")},
                                    QStringLiteral("Serves on the serial device <path>."),
                                    QStringLiteral("path"));
    const QCommandLineOption tcp(
        QStringLiteral("tcp"),
        QStringLiteral("Serves on TCP port <port> of 127.0.0.1 (0: a free port) and prints "
                       "tcp://127.0.0.1:<port>."),
        QStringLiteral("port"));
    const QCommandLineOption modbusTcp(
        QStringLiteral("modbus-tcp"),
        QStringLiteral("Serves on TCP port <port> of 127.0.0.1 (0: a free port) as a gateway in "
                       "Modbus TCP mode and prints mbtcp://127.0.0.1:<port>."),
        QStringLiteral("port"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Line settings baud,parity,data bits,stop bits (default 9600,E,8,1)."),
        QStringLiteral("settings"), m_options.settings);
    const QCommandLineOption drives(
        QStringLiteral("drives"),
        QStringLiteral(
            "Drive addresses to simulate, for example 1-3 or 1,4,7-9 (1..31; default 1-3)."),
        QStringLiteral("list"), QStringLiteral("1-3"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Prints every request and reply in hex on standard error."));
    const QCommandLineOption noPacing(
        QStringLiteral("no-pacing"),
        QStringLiteral("Takes a request as soon as its bytes are in and writes each reply at "
                       "once after the response delay, without line timing or collisions (for "
                       "tests that only need answers)."));
    const QCommandLineOption corrupt(
        QStringLiteral("corrupt"),
        QStringLiteral("Flips a random bit in this share of the reply bytes (0..100)."),
        QStringLiteral("percent"), QStringLiteral("0"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed for --corrupt, to repeat a run."),
                                  QStringLiteral("n"));
    const QCommandLineOption fault(
        QStringList{QStringLiteral("fault"), QStringLiteral("trip")},
        QStringLiteral("Trips drive ADDR with fault NUMBER at start (repeatable)."),
        QStringLiteral("ADDR:NUMBER"));
    const QCommandLineOption tripAfter(
        QStringLiteral("trip-after"),
        QStringLiteral("Trips drive ADDR with fault NUMBER once it has run for SECONDS "
                       "(repeatable)."),
        QStringLiteral("ADDR:NUMBER:SECONDS"));
    const QCommandLineOption factory(
        QStringLiteral("factory-sources"),
        QStringLiteral("Leaves these drives (a list as for --drives) at the factory's run-command "
                       "and frequency sources, keypad (P0.04 = 0, P0.01 = 1): they answer run "
                       "commands from the line and do not run. Other drives start set up for the "
                       "line (P0.04 = 2, P0.01 = 3)."),
        QStringLiteral("list"));
    const QCommandLineOption singleReads(
        QStringLiteral("single-reads"),
        QStringLiteral("These drives (a list as for --drives) take only the dialect's single reads "
                       "(register count 0): a standard read of one or more registers is refused "
                       "with exception 3."),
        QStringLiteral("list"));
    const QCommandLineOption silentBlocks(
        QStringLiteral("silent-blocks"),
        QStringLiteral("As --single-reads, but these drives do not answer a standard read at "
                       "all."),
        QStringLiteral("list"));
    const QCommandLineOption shortBlocks(
        QStringLiteral("short-blocks"),
        QStringLiteral("Drive ADDR answers at most COUNT registers of a standard read, from its "
                       "first register on (repeatable)."),
        QStringLiteral("ADDR:COUNT"));
    parser.addOptions({help, version, pty, device, tcp, modbusTcp, settings, drives, log, noPacing,
                       corrupt, seed, fault, tripAfter, factory, singleReads, silentBlocks,
                       shortBlocks});
    m_help = parser.helpText() +
             QStringLiteral("\nStandard input takes what is done at the drives themselves, a "
                            "line each:\n"
                            "  keypad ADDRESS P0.14=RAW   set a parameter's register value\n"
                            "  trip ADDRESS NUMBER        trip the drive with the fault\n");
    // The parser names the program by the path it was started with; the usage
    // line shows what a user types instead.
    const qsizetype usageEnd = m_help.indexOf(u'\n');
    if (m_help.startsWith(u"Usage: ") && usageEnd > 0)
        m_help.replace(0, usageEnd, QStringLiteral("Usage: vfdsim [options]"));

    if (!parser.parse(arguments)) {
        m_error = parser.errorText();
        return Outcome::Error;
    }
    if (parser.isSet(help))
        return Outcome::ShowHelp;
    if (parser.isSet(version))
        return Outcome::ShowVersion;
    if (!parser.positionalArguments().isEmpty()) {
        m_error =
            QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());
        return Outcome::Error;
    }

    m_options.pty = parser.isSet(pty);
    m_options.device = parser.value(device);
    if (int(m_options.pty) + int(parser.isSet(device)) + int(parser.isSet(tcp)) +
            int(parser.isSet(modbusTcp)) !=
        1) {
        m_error = QStringLiteral(
            "Give one of --pty, --device <path>, --tcp <port> or --modbus-tcp <port>.");
        return Outcome::Error;
    }
    for (const QCommandLineOption* option : {&tcp, &modbusTcp}) {
        if (!parser.isSet(*option))
            continue;
        bool ok = false;
        const uint port = parser.value(*option).toUInt(&ok);
        if (!ok || port > 65535) {
            m_error = QStringLiteral("--%1 takes a port number from 0 to 65535.")
                          .arg(option->names().constFirst());
            return Outcome::Error;
        }
        m_options.tcpPort = quint16(port);
        m_options.modbusTcp = option == &modbusTcp;
    }
    if (parser.isSet(device) && m_options.device.trimmed().isEmpty()) {
        m_error = QStringLiteral("--device needs a device path.");
        return Outcome::Error;
    }
    m_options.settings = parser.value(settings);
    if (!SerialSettings::parse(m_options.settings)) {
        m_error = QStringLiteral("Bad line settings \"%1\"; expected for example 9600,E,8,1.")
                      .arg(m_options.settings);
        return Outcome::Error;
    }
    QString problem;
    const std::optional<QList<quint8>> addresses = DriveList::parse(parser.value(drives), &problem);
    if (!addresses) {
        m_error = QStringLiteral("Bad drive list: %1; expected for example 1-3 or 1,4,7-9 "
                                 "with addresses 1..31.")
                      .arg(problem);
        return Outcome::Error;
    }
    m_options.drives = *addresses;
    m_options.log = parser.isSet(log);
    m_options.pacing = !parser.isSet(noPacing);

    bool ok = false;
    m_options.corruptPercent = parser.value(corrupt).toDouble(&ok);
    if (!ok || m_options.corruptPercent < 0 || m_options.corruptPercent > 100) {
        m_error = QStringLiteral("--corrupt takes a share from 0 to 100.");
        return Outcome::Error;
    }
    if (parser.isSet(seed)) {
        const quint32 value = parser.value(seed).toUInt(&ok);
        if (!ok) {
            m_error = QStringLiteral("--seed takes a whole number.");
            return Outcome::Error;
        }
        m_options.seed = value;
    }
    for (const QString& text : parser.values(fault)) {
        const std::optional<QPair<quint8, int>> f = parseFault(text);
        if (!f) {
            m_error = QStringLiteral("Bad fault \"%1\"; expected ADDR:NUMBER, for example 2:11.")
                          .arg(text);
            return Outcome::Error;
        }
        if (!m_options.drives.contains(f->first)) {
            m_error = QStringLiteral("Fault for drive %1, which is not simulated.").arg(f->first);
            return Outcome::Error;
        }
        m_options.faults.append(*f);
    }
    for (const QString& text : parser.values(tripAfter)) {
        const std::optional<SimOptions::LaterFault> f = parseLaterFault(text);
        if (!f) {
            m_error = QStringLiteral("Bad --trip-after \"%1\"; expected ADDR:NUMBER:SECONDS, for "
                                     "example 2:11:5.")
                          .arg(text);
            return Outcome::Error;
        }
        if (!m_options.drives.contains(f->address)) {
            m_error = QStringLiteral("--trip-after names drive %1, which is not simulated.")
                          .arg(f->address);
            return Outcome::Error;
        }
        m_options.laterFaults.append(*f);
    }
    if (parser.isSet(factory)) {
        const std::optional<QList<quint8>> chosen =
            DriveList::parse(parser.value(factory), &problem);
        if (!chosen) {
            m_error = QStringLiteral("Bad --factory-sources list: %1.").arg(problem);
            return Outcome::Error;
        }
        for (quint8 address : *chosen) {
            if (!m_options.drives.contains(address)) {
                m_error = QStringLiteral("--factory-sources names drive %1, which is not "
                                         "simulated.")
                              .arg(address);
                return Outcome::Error;
            }
        }
        m_options.factorySources = *chosen;
    }
    if (parser.isSet(singleReads) &&
        !takeDriveList(parser.value(singleReads), QStringLiteral("--single-reads"),
                       m_options.singleReads))
        return Outcome::Error;
    if (parser.isSet(silentBlocks) &&
        !takeDriveList(parser.value(silentBlocks), QStringLiteral("--silent-blocks"),
                       m_options.silentBlocks))
        return Outcome::Error;
    for (const QString& text : parser.values(shortBlocks)) {
        const std::optional<QPair<quint8, int>> most = parseFault(text);
        if (!most || most->second > 125) {
            m_error = QStringLiteral("Bad --short-blocks \"%1\"; expected ADDR:COUNT with a count "
                                     "of 1..125, for example 2:8.")
                          .arg(text);
            return Outcome::Error;
        }
        if (!m_options.drives.contains(most->first)) {
            m_error = QStringLiteral("--short-blocks names drive %1, which is not simulated.")
                          .arg(most->first);
            return Outcome::Error;
        }
        m_options.shortBlocks.append(*most);
    }
    return Outcome::Run;
}

bool SimCommandLine::takeDriveList(const QString& text, const QString& option, QList<quint8>& into)
{
    QString problem;
    const std::optional<QList<quint8>> chosen = DriveList::parse(text, &problem);
    if (!chosen) {
        m_error = QStringLiteral("Bad %1 list: %2.").arg(option, problem);
        return false;
    }
    for (quint8 address : *chosen) {
        if (!m_options.drives.contains(address)) {
            m_error = QStringLiteral("%1 names drive %2, which is not simulated.")
                          .arg(option)
                          .arg(address);
            return false;
        }
    }
    into = *chosen;
    return true;
}
