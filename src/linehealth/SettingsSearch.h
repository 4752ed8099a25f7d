// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinkClient.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

// Finds the line settings the drives speak: tries every baud rate the drives
// offer, fastest first, with no, odd and even parity at one and two stop bits,
// and asks each address of a range for its status until a drive answers with
// a right CRC. The port is switched for each try; when the search ends the
// port is back at its original settings, and the caller decides whether to
// take what was found (take()).
//
// A drive's answer is confirmed by asking it again at the same setting: an
// answer that was only late for the setting before would otherwise be taken
// for an answer at this one. When the confirmation fails, the setting before
// is asked once more, then the sweep goes on.
class SettingsSearch : public QObject
{
    Q_OBJECT
public:
    explicit SettingsSearch(LinkClient& client, QObject* parent = nullptr);
    ~SettingsSearch() override;

    // The settings tried, in order.
    static QStringList candidates();

    bool start(int from = 1, int to = 31);
    void cancel();
    bool running() const { return m_running; }

    // What was found ("19200,O,8,1") and the drive that answered; empty when
    // nothing was found.
    QString foundSettings() const { return m_found; }
    int foundAddress() const { return m_foundAddress; }
    QString originalSettings() const { return m_original; }
    int triesMade() const { return m_tries; }
    double elapsedMs() const { return m_elapsedMs; }
    // Puts the port at the found settings; false when nothing was found or
    // the port refuses them.
    bool take();

signals:
    // A try of one setting begins (index into candidates()).
    void trying(int index, const QString& settings);
    void finished(bool foundOne, bool cancelled);

private:
    void tryNext();
    bool switchTo(int candidate);
    void ask();
    void onAnswer(const LinkResult& result);
    void confirm(int candidate, bool fallback);
    void end(bool cancelled);

    LinkClient& m_client;
    LinkSession* m_session; // owned: its answers die with this job
    bool m_running = false;
    int m_from = 1;
    int m_to = 31;
    int m_candidate = -1;
    // While an answer is being confirmed: the setting asked, and whether it is
    // the one before the setting where the first answer came.
    int m_confirming = -1;
    bool m_fallback = false;
    int m_address = 0;
    int m_generation = 0;
    int m_tries = 0;
    QString m_original;
    QString m_found;
    int m_foundAddress = 0;
    QElapsedTimer m_timer;
    double m_elapsedMs = 0;
};
