// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <deque>

// What every in-memory port shares: the open flag and the queue of received
// bytes the link reads one at a time. Where the bytes come from (a test
// injecting them, simulated drives answering) is the subclass's business.
class MemoryPort : public SerialPort
{
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() const override { return qint64(m_input.size()); }
    std::optional<quint8> readByte() override;
    void clearInput() override { m_input.clear(); }
    void clearOutput() override {}

protected:
    // Opening and closing both start with nothing received.
    void setOpen(bool open);
    // A byte has come in; a closed port receives nothing.
    void arrive(quint8 byte);

private:
    bool m_open = false;
    std::deque<quint8> m_input;
};
