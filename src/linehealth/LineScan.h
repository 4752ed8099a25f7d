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

// Asks every address of a range for its status, and then each drive that
// answered for its software edition and whether it obeys the line (P0.04,
// P0.01). A silent address costs what its port needs (see
// Hexedit::SilentAllowanceMs): on a pseudo-terminal or a built-in UART no more
// than the time an answer would take to begin. A late answer heard from an
// address, or bytes that made no answer while a silent address was waited
// for, make the scan ask again, with an allowance long enough for a drive
// set to answer slowly (P8.03 up to 200 ms), at that address and at the
// silent ones asked shortly before: a slow drive is not missed for the speed
// of the rest. The line is held for the whole scan: the main window's polling
// stands aside and resumes afterwards.
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
    // Time to the end of the first round, every address asked for its status.
    double statusRoundMs() const { return m_statusRoundMs; }

    // Tab-separated table with a heading line, as the window copies it.
    static QString tableText(const QList<ScanEntry>& entries);
    static QStringList columnTitles();
    static QStringList rowTexts(const ScanEntry& entry);

signals:
    void progress(int done, int total);
    void found(const ScanEntry& entry);
    void finished(bool cancelled);

private:
    struct Silent
    {
        quint8 address = 0;
        double askedAtMs = 0;
    };
    void next();
    void askStatus(quint8 address, bool lookAgain);
    void onStatus(quint8 address, bool lookAgain, const LinkResult& result);
    void suspectEarlierSilence(quint8 address);
    void lookAgainAt(quint8 address);
    void askRest(int row);
    void end(bool cancelled);
    void onLateStatus(const StatusReply& reply);
    bool isListed(quint8 address) const;

    LinkClient& m_client;
    LinkSession* m_session; // owned: its answers die with this job
    bool m_running = false;
    int m_from = 1;
    int m_to = 31;
    int m_nextAddress = 0; // next address of the first round
    // Bumped per scan, so results of a cancelled scan are ignored.
    int m_generation = 0;
    QList<ScanEntry> m_entries;
    QList<int> m_restToAsk;    // rows whose edition and sources are still to be read
    QList<Silent> m_silent;    // addresses whose status read went unanswered
    QList<quint8> m_lookAgain; // asked again with the long allowance
    QList<quint8> m_lookedAgain;
    QList<StatusReply> m_heardLate; // statuses heard after their time-out
    QElapsedTimer m_timer;
    double m_elapsedMs = 0;
    double m_statusRoundMs = 0;
};
