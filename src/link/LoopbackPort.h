// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SerialPort.h"

#include <QList>
#include <deque>

// An in-memory port: every written block is kept for inspection and the test
// injects the bytes the far end would send. Injected bytes wait in the input
// and raise "bytesReceived" as a real port would.
class LoopbackPort : public SerialPort
{
    Q_OBJECT
public:
    explicit LoopbackPort(QObject* parent = nullptr);

    OpenError open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    qint64 bytesWaiting() const override { return qint64(m_input.size()); }
    std::optional<quint8> readByte() override;
    bool write(const QByteArray& block) override;
    void clearInput() override { m_input.clear(); }
    void clearOutput() override {}

    QList<QByteArray> written() const { return m_written; }
    void clearWritten() { m_written.clear(); }
    // Queues bytes as received and emits bytesReceived (also while closed, the
    // bytes are then dropped, as a closed device receives nothing).
    void inject(const QByteArray& bytes);
    // Makes the next open() fail with this error (None: opens normally).
    void failNextOpen(OpenError error) { m_nextOpenError = error; }
    // Acts as if the device vanished: closes and emits deviceLost.
    void simulateDeviceLoss();

private:
    bool m_open = false;
    std::deque<quint8> m_input;
    QList<QByteArray> m_written;
    OpenError m_nextOpenError = OpenError::None;
};
