// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"
#include "TestRunResult.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class LinkClient;
class LinkSession;
class Sampler;
struct SampleRound;

// A drive run through a checked profile: readiness, acceleration and limits
// read first; then forward (and, if asked, reverse) to the set frequency,
// held, and stopped, while the drive's values are sampled. The run command is
// repeated on the main window's control rhythm, so a drive set to stop when
// commands stop does so should this program die. The commands are the run's
// own frames on the line: the main window's commands, and the drive they
// follow, are left alone.
// Cancel, a trip, a lost answer or any error ends the run with STOP, and the
// result says why the run ended. A drive that reports a fault at the start is
// sent nothing unless confirmFault agrees.
class TestRun : public QObject
{
    Q_OBJECT
public:
    // The main window's control rhythm.
    static constexpr int ControlRhythmMs = 500;
    static constexpr int SampleIntervalMs = 200;

    TestRun(LinkClient& client, const TestRunPlan& plan, QObject* parent = nullptr);
    ~TestRun() override;

    // Asked (with a sentence naming drive and fault) when the drive reports a
    // fault before anything was sent; false or unset refuses the run.
    std::function<bool(const QString& question)> confirmFault;

    void start();
    // Ends the run with STOP (at once, before anything else waiting).
    void cancel();
    bool running() const { return m_phase != Phase::Idle && m_phase != Phase::Done; }
    const TestRunResult& result() const { return m_result; }

    // The frequency counts as reached within this of the set frequency.
    static double toleranceHz(double hz);

signals:
    // What the run does now, in words ("accelerating forward to 50.00 Hz").
    void progress(const QString& text);
    void sampled(const TestRunSample& sample);
    void finished();

private:
    enum class Phase
    {
        Idle,
        Preparing,
        Resetting, // STOP to clear a fault the user chose to run despite
        Ramp,
        Hold,
        Stopping,
        Done
    };

    void prepared();
    void beginRun();
    void beginDirection(bool reverse);
    void onRound(const SampleRound& round);
    void onCommandAnswered(const QByteArray& request, bool answered);
    void end(const QString& why, bool error);
    void stopTick();
    void finish();
    // Hands the command for the drive to the line; false when it cannot go.
    bool sendCommand(RunCommand command);
    void addChecks();
    double seconds() const;
    double expectedRampS(bool reverse) const;

    LinkClient& m_client;
    LinkSession* m_session; // owned: its answers die with the run
    TestRunResult m_result;
    Phase m_phase = Phase::Idle;
    bool m_commanding = false; // past the checks: commands may go
    RunCommand m_command = RunCommand::None;
    quint64 m_commandTicket = 0;  // its frame last handed to the line
    bool m_submitting = false;    // handing it over: what is sent meanwhile is its own
    Sampler* m_sampler = nullptr; // owned as a child
    QTimer m_rhythm;
    QElapsedTimer m_clock;
    bool m_reverseNow = false;
    bool m_throughStandstill = false;
    double m_phaseStart = 0;
    double m_holdStart = 0;
    double m_stopStart = 0;
    bool m_errorEnd = false;
    int m_silentCommands = 0;
    bool m_faultAtStart = false;
    bool m_faultClearedSeen = false;
    QList<bool> m_holding; // per sample: taken while holding the set frequency
    // What each direction showed: when (since its command) it reached the
    // frequency, the frequency then, and the direction the drive reported.
    struct Reached
    {
        bool tried = false;
        std::optional<double> afterS;
        double hz = 0;
        double highest = 0;
        bool reportedReverse = false;
        double heldS = 0;          // how long it held the set frequency
        bool rampTimedOut = false; // the run ended because it was not reached in time
    };
    Reached m_forward;
    Reached m_reverse;
    std::optional<TestRunSample> m_trip;
    int m_tripNumber = 0;
};
