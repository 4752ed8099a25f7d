// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackPort.h"

LoopbackPort::LoopbackPort(QObject* parent) : SerialPort(parent) {}

SerialPort::OpenError LoopbackPort::open()
{
    const OpenError error = m_nextOpenError;
    m_nextOpenError = OpenError::None;
    if (error != OpenError::None)
        return error;
    if (m_open)
        return OpenError::PortBusy;
    m_open = true;
    return OpenError::None;
}

void LoopbackPort::close()
{
    m_open = false;
    m_input.clear();
}

std::optional<quint8> LoopbackPort::readByte()
{
    if (!m_open || m_input.empty())
        return std::nullopt;
    const quint8 byte = m_input.front();
    m_input.pop_front();
    return byte;
}

bool LoopbackPort::write(const QByteArray& block)
{
    if (!m_open)
        return false;
    m_written.append(block);
    return true;
}

void LoopbackPort::inject(const QByteArray& bytes)
{
    if (!m_open)
        return;
    for (const char c : bytes)
        m_input.push_back(quint8(c));
    emit bytesReceived();
}

void LoopbackPort::simulateDeviceLoss()
{
    if (!m_open)
        return;
    close();
    emit deviceLost();
}
