// SPDX-License-Identifier: GPL-3.0-or-later
#include "WakeTimer.h"

#include <QSocketNotifier>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

WakeTimer::WakeTimer(QObject* parent) : QObject(parent)
{
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &WakeTimer::timeout);
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        quint64 expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) == sizeof expirations)
            emit timeout();
    });
#endif
}

WakeTimer::~WakeTimer()
{
#ifdef Q_OS_LINUX
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void WakeTimer::startUs(qint64 us)
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        // A zero time would disarm the timer; one nanosecond fires at once.
        const qint64 ns = std::max<qint64>(us, 0) * 1000 + 1;
        itimerspec when{};
        when.it_value.tv_sec = time_t(ns / 1'000'000'000);
        when.it_value.tv_nsec = long(ns % 1'000'000'000);
        ::timerfd_settime(m_fd, 0, &when, nullptr);
        return;
    }
#endif
    m_fallback.start(int(std::clamp<qint64>((us + 999) / 1000, 0, 60'000)));
}

void WakeTimer::stop()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec never{};
        ::timerfd_settime(m_fd, 0, &never, nullptr);
        return;
    }
#endif
    m_fallback.stop();
}
