// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// What vfdsim was asked to do, read from its command line.
struct SimOptions
{
    bool pty = false;
    QString device;
    std::optional<quint16> tcpPort; // serve on 127.0.0.1 at this port (0: any free one)
    bool modbusTcp = false;         // ... in Modbus TCP mode rather than transparent
    QString settings = QStringLiteral("9600,E,8,1");
    QList<quint8> drives{1, 2, 3};
    bool log = false;
    bool pacing = true; // line timing on a pseudo-terminal or TCP
    double corruptPercent = 0;
    std::optional<quint32> seed;
    QList<QPair<quint8, int>> faults; // address, fault number
    // Faults that come once a drive has run for a while.
    struct LaterFault
    {
        quint8 address = 0;
        int number = 0;
        double afterS = 0;
    };
    QList<LaterFault> laterFaults;
    // Drives left at the keypad's run-command and frequency sources.
    QList<quint8> factorySources;
    // Drives that take only the dialect's single reads: a standard read is
    // refused (singleReads) or not answered (silentBlocks).
    QList<quint8> singleReads;
    QList<quint8> silentBlocks;
    // Drives that answer at most this many registers of a standard read.
    QList<QPair<quint8, int>> shortBlocks;
};

class SimCommandLine
{
public:
    enum class Outcome
    {
        Run,
        ShowHelp,
        ShowVersion,
        Error
    };

    Outcome parse(const QStringList& arguments);
    const SimOptions& options() const { return m_options; }
    QString errorText() const { return m_error; }
    QString helpText() const { return m_help; }
    static QString version();

    // "2:11": drive 2 trips with fault number 11 (1..255).
    static std::optional<QPair<quint8, int>> parseFault(const QString& text);
    // "2:11:5": drive 2 trips with fault 11 once it has run for 5 s.
    static std::optional<SimOptions::LaterFault> parseLaterFault(const QString& text);

private:
    // A drive list option whose drives must all be simulated; false with
    // m_error set otherwise.
    bool takeDriveList(const QString& text, const QString& option, QList<quint8>& into);

    SimOptions m_options;
    QString m_error;
    QString m_help;
};
