// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatedDrive.h"

#include <QByteArray>
#include <QList>
#include <memory>
#include <optional>
#include <vector>

// Drives sharing one RS-485 line. The bus takes complete request frames, lets
// the addressed drive act on them and says what, if anything, goes back and
// after how long. The dialect: function 3 with a register count of 0 reads one
// register and answers in the drive's own reply layouts; a count of 1..125 gets
// a standard Modbus reply; function 6 writes one register; function 16 writes
// the control block at 0x2000. Requests with a bad CRC or for an address no
// drive has get no answer; address 0 reaches every drive and is never answered.
class SimulatedBus
{
public:
    struct Reply
    {
        QByteArray frame;
        int delayMs = 0; // the answering drive's response delay, P8.03
    };

    // Modbus exception codes the drives use.
    enum Exception : quint8
    {
        IllegalFunction = 1,
        IllegalAddress = 2,
        IllegalValue = 3
    };

    explicit SimulatedBus(const QList<quint8>& addresses = {1, 2, 3});

    // The drive now answering to this address, or nullptr.
    SimulatedDrive* drive(quint8 address);
    QList<SimulatedDrive*> drives();

    qint64 nowUs() const { return m_nowUs; }
    // Runs every drive's dynamics up to the given time (earlier times are ignored).
    void advanceTo(qint64 us);

    std::optional<Reply> handle(const QByteArray& request);
    // What the drives did not do that was asked of them, and why (for the log).
    QStringList takeNotes();

    static bool hasValidCrc(const QByteArray& frame);

private:
    std::optional<QByteArray> execute(SimulatedDrive& drive, const QByteArray& request);
    std::optional<QByteArray> readRequest(SimulatedDrive& drive, const QByteArray& request);
    std::optional<QByteArray> writeSingle(SimulatedDrive& drive, const QByteArray& request);
    std::optional<QByteArray> writeControl(SimulatedDrive& drive, const QByteArray& request);
    bool addressFree(quint8 address, const SimulatedDrive& except) const;

    std::vector<std::unique_ptr<SimulatedDrive>> m_drives;
    qint64 m_nowUs = 0;
};
