// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryPort.h"

std::optional<quint8> MemoryPort::readByte()
{
    if (!m_open || m_input.empty())
        return std::nullopt;
    const quint8 byte = m_input.front();
    m_input.pop_front();
    return byte;
}

void MemoryPort::setOpen(bool open)
{
    m_open = open;
    m_input.clear();
}

void MemoryPort::arrive(quint8 byte)
{
    if (m_open)
        m_input.push_back(byte);
}
