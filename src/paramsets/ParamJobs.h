// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockReader.h"
#include "LinkClient.h"
#include "ParamSet.h"

#include <QObject>
#include <QSet>
#include <functional>

// Reads every offered parameter (or the ones given) of one drive. The job
// holds the line while it runs; a parameter that stays unanswered after the
// retries is recorded as such, and a drive that stops answering altogether
// ends the read early with the rest recorded unanswered. Reserved rows carry
// no value and are not asked: they are the holes between the blocks in which
// a drive that takes block reads is read (see BlockReader).
class ReadJob : public QObject
{
    Q_OBJECT
public:
    ReadJob(LinkClient& client, quint8 address, QObject* parent = nullptr);
    void setRegisters(const QList<quint16>& registers) { m_registers = registers; }

    void start();
    void cancel();
    bool running() const { return m_running; }

    const ParamSet& result() const { return m_set; }
    QList<quint16> unanswered() const;
    bool cancelled() const { return m_cancelled; }
    bool driveLost() const { return m_lost; }
    // Exchanges the last read put on the line.
    int exchanges() const { return m_reader->exchanges(); }

signals:
    void progress(int done, int total);
    void finished();

private:
    bool take(quint16 reg, const LinkResult& r);
    void fillReservedBefore(int index);
    void end();

    LinkSession* m_session; // owned: its answers die with this job
    BlockReader* m_reader;  // owned
    quint8 m_address;
    QList<quint16> m_registers;
    ParamSet m_set;
    int m_at = 0;
    int m_silentInARow = 0;
    bool m_running = false;
    bool m_cancelled = false;
    bool m_lost = false;
};

// One write of a restore or clone.
struct WriteItem
{
    quint16 reg = 0;
    quint16 raw = 0;
    enum class Outcome
    {
        Pending,
        Written,         // written and read back the same
        Refused,         // the drive refused it (exception), also after the others
        ReadBackDiffers, // the drive took it but reads back another value
        NotReadBack,     // the drive acknowledged the write; its read-back went unanswered
        SentNoAnswer,    // the write went out and no answer came: it may have been taken
        NotWritten,      // never sent: the restore ended before it (drive lost, cancelled)
    };
    Outcome outcome = Outcome::Pending;
    quint8 exceptionCode = 0;
    std::optional<quint16> readBack;

    // The outcome in a word or three, as reports and JSON give it ("verified",
    // "refused", "reads back differently", "written, not read back",
    // "sent, no answer: may have been written", "not written").
    QString outcomeWord() const;
};

// What a restore may write: the parameters of the wanted set that differ from
// the drive's, are not reserved, lie within the catalogue's limits and are
// not left out. Refusals are listed with their reason.
struct WritePlan
{
    QList<WriteItem> writes;
    QStringList leftOut; // "P0.03: outside 0.00 .. 400" and the like
    // Parameters that differ but were left out as asked (the drive's own
    // address and line settings by default), with why: said every time.
    QStringList notAsked;
};
WritePlan PlanWrites(const ParamSet& wanted, const ParamSet& drive, const QSet<quint16>& leaveOut);

// Writes a plan to one drive, each write verified by reading it back.
// Refuses to start for address 0, with writes locked, or while the drive
// reports "Run" (asked first). Limit parameters go first; a write the drive
// refuses is tried again after the others, for as long as that gets further.
// The drive's address (P8.00) and line settings (P8.01) go last, in that
// order: once taken, the drive answers at its new address (where the rest
// then goes) or no longer at these line settings. Cancel lets the exchange on
// the line end and records what it did.
//
// ReadBack::AfterWrites writes one value after another and then reads all
// those the drive took back at once, in blocks where it takes them (see
// BlockReader): a value that reads back otherwise, or not at all, in a block
// is asked again on its own, and that answer decides, as it would at once.
// The written set is read back before the drive's address or line settings
// are written, and before the drive stops the restore: what it acknowledged
// is read back before it is reported, should it still answer.
class RestoreJob : public QObject
{
    Q_OBJECT
public:
    enum class Refusal
    {
        None,
        Broadcast,
        Locked,
        Running,
        NoStatus,
        OutsideLimits
    };

    RestoreJob(LinkClient& client, quint8 address, const QList<WriteItem>& writes,
               QObject* parent = nullptr);
    enum class ReadBack
    {
        EachWrite,   // every write read back before the next goes
        AfterWrites, // the writes first, then read back together
    };

    // Asked before anything is sent; false refuses the restore.
    std::function<bool()> writesAllowed;
    ReadBack readBack = ReadBack::EachWrite;

    void start();
    void cancel();
    bool running() const { return m_running; }

    Refusal refusal() const { return m_refusal; }
    const QList<WriteItem>& items() const { return m_items; }
    bool driveLost() const { return m_lost; }
    bool cancelled() const { return m_cancelled; }
    // Where the drive answers now: its new address once P8.00 was taken.
    quint8 answersAt() const { return m_target; }
    int written() const;
    bool complete() const; // everything written and verified
    // A readable account: refusal, or counts and the writes that failed.
    QString summary() const;

signals:
    void progress(int done, int total);
    void finished();

private:
    void checkStatus();
    void nextWrite();
    void verify(int item);
    void readBackThen(std::function<void()> then);
    bool judgeBlock(quint16 reg, const LinkResult& r);
    void recheckThen(std::function<void()> then);
    bool judge(int item, const LinkResult& r);
    void emitProgress();
    void endRound();
    void end();

    LinkSession* m_session;
    BlockReader* m_reader = nullptr; // the read-back under way, owned
    QList<int> m_unverified;         // taken by the drive, still to be read back
    QList<int> m_recheck;            // read back otherwise in a block: asked again alone
    bool m_readBackSilent = false;   // the drive stopped answering the read-back
    int m_steps = 0;                 // writes the drive answered so far
    quint8 m_address;
    quint8 m_target; // where requests go: m_address until P8.00 is taken
    QList<WriteItem> m_items;
    QList<int> m_round; // items of this round, in order
    QList<int> m_refusedNow;
    int m_at = 0;
    bool m_progressThisRound = false;
    Refusal m_refusal = Refusal::None;
    bool m_running = false;
    bool m_lost = false;
    bool m_cancelled = false;
};

QString RefusalText(RestoreJob::Refusal refusal, quint8 address);
