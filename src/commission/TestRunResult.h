// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Readiness.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A limit the technician expects a running value to keep during a test run,
// written as "current<4.5" or "dc-bus>=500": a recorder key, a comparison and
// a number. An upper limit holds for every sample of the run, a lower one for
// every sample taken while the drive holds the set frequency (a ramp starts
// from nothing).
struct ExpectLimit
{
    enum class Op
    {
        Less,
        LessOrEqual,
        Greater,
        GreaterOrEqual
    };
    QString key; // the recorder's key of the value
    Op op = Op::Less;
    double bound = 0;

    bool upper() const { return op == Op::Less || op == Op::LessOrEqual; }
    bool holds(double value) const;
    QString text() const; // "current < 4.5"
    // nullopt, with the reason in *problem, for text that is no such limit.
    static std::optional<ExpectLimit> parse(const QString& text, QString* problem);
};

// What a test run is asked to do.
struct TestRunPlan
{
    quint8 address = 1;
    double hz = 0;         // the set frequency, both directions
    qint64 holdMs = 20000; // held at the set frequency in each direction
    bool reverse = false;  // after forward, the same in reverse
    QList<ExpectLimit> limits;
    bool runDespiteFault = false; // the user confirmed a run of a drive that reports a fault
};

// One check of the run: what was measured and whether it passed.
struct TestRunCheck
{
    QString name;     // "Readiness", "Frequency reached (forward)", ...
    QString expected; // what passing means
    QString measured; // what was seen
    bool passed = false;
    // False for a check the run ended before (cancelled, or a direction cut
    // short): it neither passed nor failed, it was not reached.
    bool reached = true;
    // What went wrong, in a sentence with units, for a check that failed
    // ("current peaked at 5.1 A, limit 4.5 A"); empty otherwise.
    QString failure = {};

    // "PASS", "FAIL" or "NOT REACHED", as every list of checks shows it.
    QString resultWord() const;
};

// One sample of the run: seconds since the first command, the status, and
// the values in the order of TestRunResult::keys (NaN where no answer came).
struct TestRunSample
{
    double seconds = 0;
    bool known = false; // the status was answered
    bool running = false;
    bool reverse = false;
    bool fault = false;
    QList<double> values;
};

// The whole of a finished test run; written to a file beside the report and
// read back by it.
struct TestRunResult
{
    TestRunPlan plan;
    QDateTime started;
    QDateTime ended;
    Readiness readiness;
    // Parameters the checks stand on, as read from the drive.
    std::optional<double> accelerationS; // P0.14
    std::optional<double> decelerationS; // P0.15
    std::optional<double> baseHz;        // P0.08
    std::optional<double> upperHz;       // P0.06
    bool sentAnything = false;           // false: refused before any run command went out
    bool stopAnswered = false;
    QString endReason;      // why the run ended, in words
    bool completed = false; // the whole plan was carried out
    bool cancelled = false; // stopped by the user (Ctrl-C, a stop signal, the window's Cancel)
    QList<TestRunCheck> checks;
    // The recorder keys sampled: the five every run records, then those the
    // limits name besides.
    QStringList keys;
    QList<TestRunSample> samples;

    // Only a run that carried out its whole plan can pass.
    bool passed() const;
    // "passed", "failed", or "not completed" for a cancelled run.
    QString verdict() const;
    // The checks the run ended before, by name.
    QStringList notReached() const;
    QJsonObject json() const;
    // nullopt, with *problem, for a document that is no test run.
    static std::optional<TestRunResult> fromJson(const QJsonObject& o, QString* problem);
};

// The keys every test run samples: output and set frequency, current,
// voltage and DC bus.
QStringList TestRunKeys();
