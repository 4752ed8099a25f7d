// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinkClient.h"
#include "RecordValues.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

class BlockReader;

// What the status register said of one drive in one round.
struct DriveState
{
    bool known = false; // false: the status read had no answer
    bool running = false;
    bool reverse = false;
    bool fault = false;
    int faultNumber = 0;
};

// One pass over every watched drive: the status and each chosen value.
struct SampleRound
{
    QDateTime time;       // when the round's first request was handed to the link
    QList<double> values; // drive-major: drives x values; NaN where no answer came
    QList<DriveState> states;
};

// A change worth a mark on the time axis and a row of its own.
struct RecordEvent
{
    enum class Kind
    {
        Run,
        Stop,
        Trip,
        FaultCleared,
        NoAnswer, // the drive does not answer its status (from the start, or no more)
        Note,     // anything else the recording wants to say
    };
    QDateTime time;
    Kind kind = Kind::Note;
    quint8 address = 0;
    int faultNumber = 0;
    QString text;
};

// Reads the chosen values of the chosen drives round-robin through the link
// client: one request at a time, each drive's status first. The values of a
// drive that takes standard reads of several registers come in blocks (see
// BlockReader): a block's values carry no decimal code, so each value's code
// is learnt from a single read of it first, and again whenever the drive was
// silent and answers anew. A drive that refuses blocks, or has not answered
// its status this round, is read one value at a time. With no interval
// the next round starts as soon as the last answer is in; otherwise rounds
// start on the interval (a round longer than the interval just delays the
// next one). A round in which nothing could be asked (a gateway still
// connecting, a port refusing the write) is no sample: no row, no events, and
// the next round waits at least one answer time-out, not a spin. The link client lets run commands
// the user gives go out between two reads, so recording never delays them by more than one request.
class Sampler : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinIntervalMs = 100;
    static constexpr int MaxIntervalMs = 60000;

    explicit Sampler(LinkClient& client, QObject* parent = nullptr);
    ~Sampler() override;

    // intervalMs 0: as fast as the line allows; else clamped to 100 ms .. 60 s.
    void setup(const QList<quint8>& drives, const QList<RecordValue>& values, int intervalMs);
    const QList<quint8>& drives() const { return m_drives; }
    const QList<RecordValue>& values() const { return m_values; }
    int intervalMs() const { return m_intervalMs; }

    void start();
    void stop();
    bool running() const { return m_running; }
    // Rounds in which something was asked (and a row written).
    qint64 rounds() const { return m_rounds; }
    // Whether any drive has answered its status since start().
    bool anyAnswered() const;
    LinkClient& client() { return m_client; }

    // Wall-clock time of samples; tests put their own here.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

signals:
    void roundDone(const SampleRound& round);
    // One drive's status and values of this round are in (its entries of the
    // round filled, the later drives' not yet): for those who hand on each
    // drive at once rather than wait for the whole round.
    void driveRead(int drive, const SampleRound& round);
    void event(const RecordEvent& event);
    // The port closed or its device went: the sampler has stopped.
    void portClosed();

private:
    void beginRound();
    void readNext();
    void take(const LinkResult& result);
    void readValuesInBlocks(int drive);
    bool takeFromBlock(int drive, quint16 reg, const LinkResult& result);
    void driveDone(int drive);
    bool portGone(const LinkResult& result);
    bool codesKnown(int drive) const;
    void takeValue(int drive, int item, const LinkResult& result);
    void endRound();
    void compare(int drive, const DriveState& before, const DriveState& now);

    LinkClient& m_client;
    LinkSession* m_session; // owned: its answers die with the sampler
    QList<quint8> m_drives;
    QList<RecordValue> m_values;
    int m_intervalMs = 0;
    bool m_running = false;
    quint64 m_generation = 0; // answers of a stopped recording are dropped
    qint64 m_rounds = 0;
    int m_step = 0;
    bool m_askedThisRound = false;
    bool m_askedThisDrive = false;
    SampleRound m_round;
    QList<DriveState> m_last;
    QList<bool> m_statusSeen; // a status read of the drive has ended in an answer or silence
    QList<bool> m_heard;      // the drive has answered its status
    // Per drive and value: the decimal code its single reads carry, or one of
    // these while none is known.
    static constexpr int CodeUnknown = -1;
    static constexpr int CodeRefused = -2; // the drive refuses the register
    QList<QList<int>> m_codes;
    QList<BlockReader*> m_readers; // one per drive, owned as children
    // The registers one block pass asks, in order: the chosen ones and those
    // in small gaps between them (cheaper than another exchange).
    QList<quint16> m_blockList;
    QDateTime m_roundStarted;
    QTimer m_next;
};
