// SPDX-License-Identifier: GPL-3.0-or-later
// vfdsim: simulated drives served on a pseudo-terminal, a serial device or a
// loopback TCP port (transparent or in Modbus TCP mode).
#include "DevicePort.h"
#include "HalfDuplexLine.h"
#include "ModbusTcpGateway.h"
#include "PseudoTerminal.h"
#include "SimClock.h"
#include "SimCommandLine.h"
#ifdef Q_OS_UNIX
#include "SimKeypad.h"
#endif
#include "SimulatedBus.h"
#include "TcpBusServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <cstdio>

namespace {

void printLine(std::FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vfdsim"));
    QCoreApplication::setApplicationVersion(SimCommandLine::version());

    SimCommandLine commandLine;
    switch (commandLine.parse(QCoreApplication::arguments())) {
    case SimCommandLine::Outcome::ShowHelp:
        printLine(stdout, commandLine.helpText());
        return 0;
    case SimCommandLine::Outcome::ShowVersion:
        printLine(stdout, QStringLiteral("vfdsim %1").arg(QCoreApplication::applicationVersion()));
        return 0;
    case SimCommandLine::Outcome::Error:
        printLine(stderr,
                  QStringLiteral("vfdsim: %1\nTry 'vfdsim --help'.").arg(commandLine.errorText()));
        return 2;
    case SimCommandLine::Outcome::Run:
        break;
    }
    const SimOptions& options = commandLine.options();

    SteadyClock clock;
    SimulatedBus bus(options.drives);
    for (const auto& [address, number] : options.faults)
        bus.drive(address)->trip(number);
    for (const SimOptions::LaterFault& f : options.laterFaults)
        bus.drive(f.address)->tripAfterRunning(f.number, f.afterS);
    for (quint8 address : options.factorySources)
        bus.drive(address)->factorySources();
    for (quint8 address : options.singleReads)
        bus.drive(address)->setStandardReads(SimulatedDrive::StandardReads::Refused);
    for (quint8 address : options.silentBlocks)
        bus.drive(address)->setStandardReads(SimulatedDrive::StandardReads::Ignored);
    for (const auto& [address, most] : options.shortBlocks)
        bus.drive(address)->setMostPerRead(most);
    HalfDuplexLine line(bus, clock);
    // A serial device's own line has timed the bytes already; a pseudo-terminal's has not.
    const bool stream = options.pty || options.tcpPort.has_value();
    line.setPaced(options.pacing && stream);
    if (!stream)
        line.setSilenceFloorUs(HalfDuplexLine::kDeviceSilenceFloorUs);
    line.setLineSettings(*SerialSettings::parse(options.settings));
    line.server().setCorruption(options.corruptPercent,
                                options.seed.value_or(QRandomGenerator::global()->generate()));
    const auto logTraffic = [](const QString& text) {
        printLine(stderr, QDateTime::currentDateTime().toString(u"HH:mm:ss.zzz ") + text);
    };
    if (options.log)
        QObject::connect(&line, &HalfDuplexLine::traffic, logTraffic);

    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     [] { QCoreApplication::exit(0); });

    PseudoTerminal pty;
    DevicePort device;
    TcpBusServer tcp;
    ModbusTcpGateway gateway(bus, clock);
    if (options.tcpPort && options.modbusTcp) {
        gateway.setPaced(options.pacing);
        gateway.setLineSettings(*SerialSettings::parse(options.settings));
        gateway.server().setCorruption(
            options.corruptPercent, options.seed.value_or(QRandomGenerator::global()->generate()));
        if (!gateway.listen(*options.tcpPort)) {
            printLine(stderr, QStringLiteral("vfdsim: cannot listen on 127.0.0.1:%1: %2")
                                  .arg(*options.tcpPort)
                                  .arg(gateway.errorString()));
            return 1;
        }
        printLine(stdout, gateway.portName());
        if (options.log) {
            QObject::connect(&gateway, &ModbusTcpGateway::traffic, logTraffic);
            for (auto signal : {&ModbusTcpGateway::clientChanged, &ModbusTcpGateway::clientRefused})
                QObject::connect(&gateway, signal, [](const QString& text) {
                    printLine(stderr, QStringLiteral("vfdsim: client ") + text);
                });
        }
    } else if (options.tcpPort) {
        if (!tcp.listen(*options.tcpPort)) {
            printLine(stderr, QStringLiteral("vfdsim: cannot listen on 127.0.0.1:%1: %2")
                                  .arg(*options.tcpPort)
                                  .arg(tcp.errorString()));
            return 1;
        }
        printLine(stdout, tcp.portName());
        QObject::connect(&tcp, &TcpBusServer::received, &line, &HalfDuplexLine::feed);
        QObject::connect(&line, &HalfDuplexLine::output, &tcp,
                         [&tcp](const QByteArray& bytes) { tcp.write(bytes); });
        QObject::connect(&tcp, &TcpBusServer::clientChanged, &line,
                         [&line, &options](const QString& text) {
                             line.clear();
                             if (options.log)
                                 printLine(stderr, QStringLiteral("vfdsim: client ") + text);
                         });
        QObject::connect(&tcp, &TcpBusServer::clientRefused, [&options](const QString& text) {
            if (options.log)
                printLine(stderr, QStringLiteral("vfdsim: client ") + text);
        });
    } else if (options.pty) {
        if (!pty.open()) {
            printLine(stderr, QStringLiteral("vfdsim: cannot create a pseudo-terminal: %1")
                                  .arg(pty.errorString()));
            return 1;
        }
        // The first line of output is the device to open; tests and users read it.
        printLine(stdout, pty.slavePath());
        QObject::connect(&pty, &PseudoTerminal::received, &line, &HalfDuplexLine::feed);
        QObject::connect(&line, &HalfDuplexLine::output, &pty, [&pty](const QByteArray& bytes) {
            if (!pty.write(bytes))
                printLine(stderr, QStringLiteral("vfdsim: the pseudo-terminal is not being read; "
                                                 "reply bytes dropped"));
        });
    } else {
        device.setPortName(options.device);
        device.setSettings(options.settings);
        if (device.open() != SerialPort::OpenError::None) {
            printLine(stderr, QStringLiteral("vfdsim: cannot open %1: %2")
                                  .arg(options.device, device.errorString()));
            return 1;
        }
        QObject::connect(&device, &SerialPort::bytesReceived, &line, [&device, &line] {
            QByteArray bytes;
            while (const std::optional<quint8> byte = device.readByte())
                bytes.append(char(*byte));
            line.feed(bytes);
        });
        QObject::connect(&line, &HalfDuplexLine::output, &device,
                         [&device](const QByteArray& bytes) { device.write(bytes); });
        QObject::connect(&device, &SerialPort::deviceLost, &app, [&device] {
            printLine(stderr,
                      QStringLiteral("vfdsim: the device went away: %1").arg(device.errorString()));
            QCoreApplication::exit(1);
        });
        printLine(stdout, options.device);
    }
    if (options.log) {
        QStringList served;
        for (quint8 address : options.drives)
            served.append(QString::number(address));
        printLine(
            stderr,
            QStringLiteral("vfdsim: drives %1 at %2").arg(served.join(u','), options.settings));
    }
#ifdef Q_OS_UNIX
    // A technician at the drives themselves, past the line: for tests, and by hand.
    SimKeypad keypad(bus);
    QObject::connect(&keypad, &SimKeypad::said, [](const QString& text) {
        printLine(stderr, QStringLiteral("vfdsim: ") + text);
    });
    keypad.listen();
#endif
    return app.exec();
}
