// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
class SimulatedBus;

// What a technician does at the simulated drives themselves, typed on
// vfdsim's standard input a line at a time, past the line and its master:
//   keypad ADDRESS P0.14=RAW   a parameter set at the drive's keypad (the raw
//                              register value, judged by the drive's limits)
//   trip ADDRESS NUMBER        the drive trips with the fault
// Each line is answered on standard error ("vfdsim: keypad: ...").
class SimKeypad : public QObject
{
    Q_OBJECT
public:
    explicit SimKeypad(SimulatedBus& bus, QObject* parent = nullptr);

    // Reads standard input from now on; nothing when it is closed already.
    void listen();
    // One line; what became of it, for the log.
    QString apply(const QString& line);

signals:
    void said(const QString& text);

private:
    void readInput();

    SimulatedBus& m_bus;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};
