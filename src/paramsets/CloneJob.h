// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ParamJobs.h"

#include <QObject>
#include <memory>

// One set to several drives. First a preview: each target is read (what it
// did not answer is asked once more, so no write is planned from an unknown
// value) and what would be written to it worked out. Then, when asked, each
// target gets a restore under the same rules as a single one, its writes
// sent one after another and then read back together, in blocks where the
// drive takes them (RestoreJob::ReadBack::AfterWrites); a full second read of
// every target, compared with the source, is there for who wants it
// (Verify::Full).
class CloneJob : public QObject
{
    Q_OBJECT
public:
    struct Target
    {
        quint8 address = 0;
        ParamSet before; // as read for the preview
        WritePlan plan;  // what the restore would write
        bool readFailed = false;
        QString restoreSummary; // after apply
        // After apply: each write of the plan and what became of it (empty
        // for a target the apply did not reach), for the journal of a site.
        QList<WriteItem> writes;
        bool restoreComplete = false;
        int differencesAfter = -1; // verify pass: -1 not run
        int unansweredAfter = 0;   // parameters the verify asked and got no answer for
    };
    enum class Verify
    {
        ReadBack, // each write read back: what the line allows, no more
        Full,     // and every parameter of the target read again afterwards
    };

    // Left out unless asked for: the drive's own address and its line settings.
    static QSet<quint16> DefaultLeaveOut() { return {0x0800, 0x0801}; }
    // The one address of a set written to several drives would give them all
    // one address: why that is refused, or empty where it is not asked for.
    static QString SharedAddressRefusal(const ParamSet& source, int targetCount,
                                        const QSet<quint16>& leaveOut);

    CloneJob(LinkClient& client, const ParamSet& source, const QList<quint8>& targets,
             QObject* parent = nullptr);
    QSet<quint16> leaveOut = DefaultLeaveOut();
    Verify verify = Verify::ReadBack;
    std::function<bool()> writesAllowed;

    void preview();
    void apply();
    void cancel();
    bool running() const { return bool(m_read) || bool(m_restore); }
    const QList<Target>& targets() const { return m_targets; }
    bool allDone() const; // every target written completely and verified the same
    bool cancelled() const { return m_cancelled; }
    // "Drive 2 verified: 0 differences left.", with what went unanswered; empty
    // for a target the verify did not reach.
    static QString VerifyLine(const Target& target);

signals:
    void progress(const QString& what, int done, int total);
    void previewReady();
    // A target's writes are done (targets()[index].writes holds them), before
    // the next target begins: a tool journals them as they complete.
    void targetWritten(int index);
    void finished();

private:
    void previewNext();
    void previewRead(const QList<quint16>& registers, bool again);
    void applyNext();
    void verifyNext();
    QList<quint16> sourceRegisters() const;

    LinkClient& m_client;
    ParamSet m_source;
    QList<Target> m_targets;
    int m_at = 0;
    bool m_cancelled = false;
    std::unique_ptr<ReadJob> m_read;
    std::unique_ptr<RestoreJob> m_restore;
};
