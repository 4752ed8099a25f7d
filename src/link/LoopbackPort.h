// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MemoryPort.h"

#include <QList>

// An in-memory port: every written block is kept for inspection and the test
// injects the bytes the far end would send. Injected bytes wait in the input
// and raise "bytesReceived" as a real port would.
class LoopbackPort : public MemoryPort
{
    Q_OBJECT
public:
    explicit LoopbackPort(QObject* parent = nullptr);

    OpenError open() override;
    void close() override;
    bool write(const QByteArray& block) override;

    QList<QByteArray> written() const { return m_written; }
    void clearWritten() { m_written.clear(); }
    // Queues bytes as received and emits bytesReceived (also while closed, the
    // bytes are then dropped, as a closed device receives nothing).
    void inject(const QByteArray& bytes);
    // Makes the next open() fail with this error (None: opens normally).
    void failNextOpen(OpenError error) { m_nextOpenError = error; }
    // Acts as if the device vanished: closes and emits deviceLost, with the
    // system's words for it as errorString().
    void simulateDeviceLoss(const QString& reason = QString());

private:
    QList<QByteArray> m_written;
    OpenError m_nextOpenError = OpenError::None;
};
