// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackPort.h"

LoopbackPort::LoopbackPort(QObject* parent) : MemoryPort(parent) {}

SerialPort::OpenError LoopbackPort::open()
{
    const OpenError error = m_nextOpenError;
    m_nextOpenError = OpenError::None;
    if (error != OpenError::None)
        return error;
    if (isOpen())
        return OpenError::PortBusy;
    setOpen(true);
    return OpenError::None;
}

void LoopbackPort::close()
{
    setOpen(false);
}

bool LoopbackPort::write(const QByteArray& block)
{
    if (!isOpen())
        return false;
    m_written.append(block);
    return true;
}

void LoopbackPort::inject(const QByteArray& bytes)
{
    if (!isOpen())
        return;
    for (const char c : bytes)
        arrive(quint8(c));
    emit bytesReceived();
}

void LoopbackPort::simulateDeviceLoss(const QString& reason)
{
    if (!isOpen())
        return;
    close();
    setErrorString(reason);
    emit deviceLost();
}
