// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <memory>

class QSocketNotifier;

// A single-shot timer to the microsecond. Bytes on a line at 38400 baud are
// 0.29 ms apart, finer than the millisecond a QTimer counts in; on Linux a
// timerfd wakes the event loop on time, elsewhere a precise QTimer rounds up
// to the next millisecond.
class WakeTimer : public QObject
{
    Q_OBJECT
public:
    explicit WakeTimer(QObject* parent = nullptr);
    ~WakeTimer() override;

    // Fires once after this many microseconds (0 or less: as soon as the event loop turns).
    void startUs(qint64 us);
    void stop();

signals:
    void timeout();

private:
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_fallback;
};
