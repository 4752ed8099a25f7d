// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinkClient.h"
#include "Readiness.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// One drive that answered a scan.
struct ScanEntry
{
    quint8 address = 0;
    bool running = false;
    bool reverse = false;
    bool fault = false;
    int faultNumber = 0;
    QString faultText;                   // "Normal" when the drive reports no fault
    std::optional<double> edition;       // the software edition, running value 28
    std::optional<quint8> exceptionCode; // the drive refused the status read
    bool late = false;                   // answered only after its time-out had passed
    Readiness readiness;                 // run-command and frequency sources, as read

    QString stateText() const;
    QString directionText() const;
    QString editionText() const;
};

// Asks every address of a range once for its status and, from each drive that
// answers, its software edition and whether it obeys the line (P0.04, P0.01). A silent address
// costs one answer time-out; an attempt that heard bytes making no answer (a damaged answer) is
// asked once more. The line is held for the whole scan: the main window's polling stands aside and
// resumes afterwards.
class LineScan : public QObject
{
    Q_OBJECT
public:
    explicit LineScan(LinkClient& client, QObject* parent = nullptr);
    ~LineScan() override;

    // false when a scan is already running or the range is empty.
    bool start(int from = 1, int to = 31);
    void cancel();
    bool running() const { return m_running; }

    QList<ScanEntry> entries() const { return m_entries; }
    double elapsedMs() const { return m_elapsedMs; }

    // Tab-separated table with a heading line, as the window copies it.
    static QString tableText(const QList<ScanEntry>& entries);
    static QStringList columnTitles();
    static QStringList rowTexts(const ScanEntry& entry);

signals:
    void progress(int done, int total);
    void found(const ScanEntry& entry);
    void finished(bool cancelled);

private:
    void askStatus(int attempt);
    void onStatus(const LinkResult& result, int attempt);
    void askEdition(int row);
    void next();
    void end(bool cancelled);
    void onLateStatus(const StatusReply& reply);

    LinkClient& m_client;
    LinkSession* m_session; // owned: its answers die with this job
    bool m_running = false;
    int m_from = 1;
    int m_to = 31;
    int m_address = 0;
    // Bumped per scan, so results of a cancelled scan are ignored.
    int m_generation = 0;
    QList<ScanEntry> m_entries;
    QList<quint8> m_timedOut; // addresses whose status read went unanswered
    QElapsedTimer m_timer;
    double m_elapsedMs = 0;
};
