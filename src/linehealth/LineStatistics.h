// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "LinkClient.h" // DriveCounters

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <functional>

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

    QMap<quint8, Drive> m_drives;
    qint64 m_unframedBytes = 0;
    double m_sentAt = 0;
    QElapsedTimer m_steady;
};
