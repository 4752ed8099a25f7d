// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModbusTcpFrames.h"
#include "TcpPort.h"

#include <deque>

// Drives behind a serial-to-Ethernet gateway in Modbus TCP mode,
// "mbtcp://HOST:PORT". The link goes on writing and reading RTU frames; this
// port turns each frame written into a Modbus TCP request (the unit id is the
// drive's address) and each reply to it back into the RTU frame the receive
// assembler expects. A reply that does not fit the request awaiting its
// answer is dropped here and never reaches the link. Connecting, and every
// reason a connection fails, are those of a transparent gateway.
class ModbusTcpPort : public TcpPort
{
    Q_OBJECT
public:
    explicit ModbusTcpPort(QObject* parent = nullptr);

    OpenError open() override;
    void close() override;
    qint64 bytesWaiting() const override;
    void takePending() override;
    std::optional<quint8> readByte() override;
    // Takes whole RTU frames only, as the link writes them.
    bool write(const QByteArray& block) override;
    void clearInput() override;

    // Replies dropped since the port was opened: not awaited, or a damaged stream.
    int droppedReplies() const { return m_frames.droppedReplies(); }

protected:
    void socketReadable() override;

private:
    // Moves what the connection holds through the framing; true when a reply came of it.
    bool pull();

    ModbusTcp::ClientFraming m_frames;
    std::deque<quint8> m_received;
};
