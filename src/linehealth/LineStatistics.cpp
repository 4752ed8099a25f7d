// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineStatistics.h"
#include "RtuProtocol.h"
#include "UsbLatency.h"

#include <algorithm>

LineStatistics::LineStatistics(Hexedit& link, QObject* parent) : QObject(parent), m_link(link)
{
    m_steady.start();
    clock = [this] { return m_steady.nsecsElapsed() / 1e6; };
    connect(&link, &Hexedit::frameSent, this, &LineStatistics::onSent);
    connect(&link, &Hexedit::answerReceived, this, &LineStatistics::onAnswer);
    connect(&link, &Hexedit::answerTimedOut, this, &LineStatistics::onTimedOut);
    connect(&link, &Hexedit::lateAnswerReceived, this, &LineStatistics::onLate);
}

void LineStatistics::reset()
{
    m_drives.clear();
    m_unframedBytes = 0;
    emit changed();
}

void LineStatistics::onSent(const QByteArray& frame)
{
    // Nobody answers a broadcast: it is no drive's request.
    if (frame.isEmpty() || quint8(frame[0]) == Rtu::BroadcastAddress)
        return;
    m_sentAt = clock();
    ++m_drives[quint8(frame[0])].counters.sent;
    emit changed();
}

void LineStatistics::onAnswer(const QByteArray& request, const QByteArray& answer)
{
    if (request.isEmpty() || answer.size() < 2)
        return;
    Drive& d = m_drives[quint8(request[0])];
    const double ms = std::max(0.0, clock() - m_sentAt);
    d.counters.totalAnswerMs += ms;
    d.counters.maxAnswerMs = std::max(d.counters.maxAnswerMs, ms);
    countAnswer(d, answer);
}

void LineStatistics::countAnswer(Drive& d, const QByteArray& answer)
{
    if (quint8(answer[1]) & Rtu::ExceptionFlag)
        ++d.counters.exceptions;
    else
        ++d.counters.answered;
    // A refusal is an answer too: the drive is there and talking.
    d.failuresInRow = 0;
    emit changed();
}

void LineStatistics::onTimedOut(const QByteArray& request, int strayBytes)
{
    if (request.isEmpty() || quint8(request[0]) == Rtu::BroadcastAddress)
        return;
    const quint8 address = quint8(request[0]);
    Drive& d = m_drives[address];
    if (strayBytes > 0)
        ++d.counters.damaged;
    else
        ++d.counters.timedOut;
    m_unframedBytes += strayBytes;
    m_lastTimedOut = address;
    m_lastTimeOutDamaged = strayBytes > 0;
    m_lastTimeOutStray = strayBytes;
    if (++d.failuresInRow == FailuresForSilence)
        emit driveNotAnswering(address);
    emit changed();
}

void LineStatistics::onLate(const QByteArray& request, const QByteArray& answer, bool timedOut)
{
    if (request.isEmpty() || answer.size() < 2)
        return;
    const quint8 address = quint8(request[0]);
    Drive& d = m_drives[address];
    ++d.counters.late;
    if (!timedOut || address != m_lastTimedOut)
        return; // counted as an answer when it is handed on
    // Its time-out was counted, and its bytes perhaps as damaged: it was an
    // answer after all, only a late one.
    if (m_lastTimeOutDamaged) {
        d.counters.damaged = std::max(0, d.counters.damaged - 1);
        m_unframedBytes = std::max<qint64>(0, m_unframedBytes - m_lastTimeOutStray);
    } else {
        d.counters.timedOut = std::max(0, d.counters.timedOut - 1);
    }
    m_lastTimedOut = 0;
    countAnswer(d, answer);
}

QStringList LineStatistics::columnTitles()
{
    return {QStringLiteral("Drive"),        QStringLiteral("Requests"),
            QStringLiteral("Answers"),      QStringLiteral("Late answers"),
            QStringLiteral("Time-outs"),    QStringLiteral("Damaged"),
            QStringLiteral("Exceptions"),   QStringLiteral("Mean answer ms"),
            QStringLiteral("Max answer ms")};
}

QStringList LineStatistics::rowTexts(quint8 address) const
{
    const DriveCounters c = m_drives.value(address).counters;
    return {QString::number(address),
            QString::number(c.sent),
            QString::number(c.answered),
            QString::number(c.late),
            QString::number(c.timedOut),
            QString::number(c.damaged),
            QString::number(c.exceptions),
            QString::number(c.meanAnswerMs(), 'f', 1),
            QString::number(c.maxAnswerMs, 'f', 1)};
}

QString LineStatistics::tableText() const
{
    QString text = columnTitles().join(u'\t') + u'\n';
    for (quint8 address : m_drives.keys())
        text += rowTexts(address).join(u'\t') + u'\n';
    text += QStringLiteral("Bytes in no frame\t%1\n").arg(m_unframedBytes);
    return text;
}

QString LineStatistics::adapterAdvice() const
{
    SerialPort& port = m_link.port();
    const std::optional<int> ms = port.isOpen() ? port.adapterLatencyMs() : std::nullopt;
    if (!ms || *ms <= UsbLatency::WorthSayingMs)
        return QString();
    return UsbLatency::advice(port.portName(), *ms);
}
