// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineScan.h"
#include "ParamJobs.h"
#include "ParamSet.h"
#include "SiteFolder.h"
#include "TestRunResult.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CloneJob;
class DriveSurvey;
class LineScan;
class LinkSession;
class LinkClient;
class ReadJob;
class TestRun;

// A row of a site's line commissioned in one go: the line scanned; each
// reference source drive read whole and kept as a backup (and made its
// reference where that file is not there yet); its set written to every
// drive of the same reference, each write read back; every drive test-run
// as the site says (several at once where the site allows it); then the
// commissioning report. Each step is saved into the site and journaled as
// it ends. A step that fails for a drive takes that drive no further, the
// rest of the row goes on; the summary says drive by drive what was done.
// Cancel lets the exchange under way end and STOPs every running drive
// first; no report is made then.
class SiteCommission : public QObject
{
    Q_OBJECT
public:
    enum class Step
    {
        Scan,
        Backup, // reference source drives only
        Clone,  // drives with a reference, other than its source
        TestRun,
        Report
    };
    Q_ENUM(Step)
    enum class Outcome
    {
        Done,
        Failed,     // the drive is taken no further
        NotReached, // the job was cancelled, or ended, before it
    };
    Q_ENUM(Outcome)

    struct StepResult
    {
        Step step = Step::Scan;
        Outcome outcome = Outcome::NotReached;
        QString text; // what was done, or why not
        QString file; // what the step saved into the site, if anything
    };
    struct DriveSummary
    {
        quint8 address = 0;
        QString label;           // "3 (Conveyor 3)"
        QList<StepResult> steps; // the steps that apply to the drive, in order
        bool stopped = false;    // a step failed
        std::optional<TestRunResult> run;
        // Every step done and the test run passed.
        bool commissioned() const;
    };

    // A read this old no longer stands for the drive in the report.
    static constexpr qint64 kRecentReadS = 3600;
    static QString stepName(Step step); // "scan", "backup", ...
    static QString outcomeName(Outcome outcome);

    // drives: of the line; empty for all of them.
    SiteCommission(LinkClient& client, const SiteFolder& site, const QString& line,
                   const QList<quint8>& drives, QObject* parent = nullptr);
    ~SiteCommission() override;

    // Asked before the clone writes to a drive (the program's write lock);
    // false refuses those writes. Unset: the start of the job is the consent.
    std::function<bool()> writesAllowed;

    // Why the job cannot start (no such line or drive, no test frequency),
    // empty when it can: found before anything is sent.
    static QString problemOf(const SiteFolder& site, const QString& line,
                             const QList<quint8>& drives);
    QString problem() const;
    // What the job is about to do, in words, for the one question before it.
    QString plan() const;
    void start();
    void cancel();
    bool running() const { return m_running; }
    bool cancelled() const { return m_cancelled; }
    QList<quint8> drives() const { return m_drives; }
    const QList<DriveSummary>& summary() const { return m_summary; }
    bool allCommissioned() const;
    QString reportPath() const { return m_reportPath; }
    // Test runs going at once, at most (the site's parallel).
    int parallel() const { return m_parallel; }
    // Drives whose set the report took from a read of this job.
    QList<quint8> reusedReads() const { return m_reused; }

signals:
    // drive 0: the whole line (the scan, the report).
    void stepStarted(quint8 drive, SiteCommission::Step step);
    void stepEnded(quint8 drive, SiteCommission::Step step, SiteCommission::Outcome outcome,
                   const QString& text, const QString& file);
    // What goes on now, in words ("Reading drive 1: 40 of 185").
    void progress(const QString& text);
    void finished();

private:
    struct Reference
    {
        QString file;                 // its name in the parameter sets folder
        QList<quint8> targets;        // drives of the job to write it to
        std::optional<quint8> source; // its source drive, when the job reads it
        std::optional<ParamSet> set;  // what is written
        QString refusal;              // why nothing is written
    };
    // A drive's whole set as this job knows it, and when it was read.
    struct Known
    {
        ParamSet set;
        QDateTime at;
    };

    DriveSummary* driveOf(quint8 address);
    void begin(quint8 drive, Step step);
    void endStep(quint8 drive, Step step, Outcome outcome, const QString& text,
                 const QString& file = QString());
    bool live(quint8 drive) const;

    void scan();
    void scanned();
    void askAgain();
    void scanDone();
    void nextBackup();
    void backedUp(quint8 address);
    void takeAsReference(Reference& ref, const ParamSet& set);
    void nextClone();
    void cloned(Reference& ref);
    void nextRuns();
    void ranOne(TestRun* run);
    void report();
    void reported();
    void end();

    // What the journal said when it could not take an entry, said on.
    void journaled(const QString& problem);

    LinkClient& m_client;
    SiteFolder m_site;
    QString m_line;
    QList<quint8> m_drives;
    QString m_problem;
    TestRunPlan m_plan; // the address is each drive's
    int m_parallel = 1;

    QList<DriveSummary> m_summary;
    QList<Reference> m_references;
    QList<quint8> m_sources; // reference source drives of the job, in order
    QMap<quint8, Known> m_known;
    QList<quint8> m_reused;
    int m_at = 0;
    QList<quint8> m_toRun;
    QList<TestRun*> m_runs;
    QList<quint8> m_runStarted; // drives whose run command is journaled as started
    QList<TestRunResult> m_results;
    QString m_reportPath;
    bool m_running = false;
    bool m_cancelled = false;

    LineScan* m_scan = nullptr;
    QList<ScanEntry> m_found;         // what the scan (and the second asking) heard
    QList<quint8> m_silent;           // drives still to be asked again
    LinkSession* m_session = nullptr; // owned: the second asking
    ReadJob* m_read = nullptr;
    CloneJob* m_clone = nullptr;
    DriveSurvey* m_survey = nullptr;
};
