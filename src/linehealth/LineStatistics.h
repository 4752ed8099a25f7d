// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <functional>

// What the line has seen of one drive.
struct DriveCounters
{
    int sent = 0;
    int answered = 0; // late answers included
    int late = 0;     // answers that came after their time-out
    int timedOut = 0;
    int damaged = 0;
    int exceptions = 0;
    double totalAnswerMs = 0;
    double maxAnswerMs = 0;
    double meanAnswerMs() const
    {
        return answered + exceptions > 0 ? totalAnswerMs / (answered + exceptions) : 0;
    }
};

// Per-drive figures of everything that goes over the link, whoever sent it:
// the main window's polls and commands as much as the tools' requests. It
// listens to the link's turn-taking (a frame out, its answer, or its
// time-out with the bytes heard meanwhile), so it needs nothing from the
// senders.
class LineStatistics : public QObject
{
    Q_OBJECT
public:
    // Failed answers in a row after which a drive counts as not answering.
    static constexpr int FailuresForSilence = 3;

    struct Drive
    {
        DriveCounters counters;
        int failuresInRow = 0;
        bool failing() const { return failuresInRow >= FailuresForSilence; }
    };

    explicit LineStatistics(Hexedit& link, QObject* parent = nullptr);

    QList<quint8> addresses() const { return m_drives.keys(); }
    Drive drive(quint8 address) const { return m_drives.value(address); }
    // Bytes heard while an answer was awaited that made no frame.
    qint64 unframedBytes() const { return m_unframedBytes; }
    void reset();

    // The figures as a tab-separated table with a heading line.
    QString tableText() const;
    // What to do about a USB adapter whose latency timer slows every answer;
    // empty for any other port or a timer already turned down.
    QString adapterAdvice() const;
    static QStringList columnTitles();
    QStringList rowTexts(quint8 address) const;

    // Milliseconds of a steady clock; tests put a manual one here.
    std::function<double()> clock;

signals:
    void changed();
    // Once each time a drive goes from answering to failing.
    void driveNotAnswering(quint8 address);

private:
    void onSent(const QByteArray& frame);
    void onAnswer(const QByteArray& request, const QByteArray& answer);
    void onTimedOut(const QByteArray& request, int strayBytes);
    void countAnswer(Drive& d, const QByteArray& answer);
    void onLate(const QByteArray& request, const QByteArray& answer, bool timedOut);

    Hexedit& m_link;
    QMap<quint8, Drive> m_drives;
    qint64 m_unframedBytes = 0;
    double m_sentAt = 0;
    // The last time-out counted, and whether it was counted as damaged, should
    // its answer come after all.
    quint8 m_lastTimedOut = 0;
    bool m_lastTimeOutDamaged = false;
    int m_lastTimeOutStray = 0;
    QElapsedTimer m_steady;
};
