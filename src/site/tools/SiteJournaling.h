// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CloneJob.h"
#include "ParamJobs.h"
#include "SiteFolder.h"
#include "TestRunResult.h"

#include <QString>
#include <optional>

// What a tool did to a drive of a site, turned into journal entries and
// appended through SiteFolder::record(). Every function tries each of its
// entries and returns the first failure ("the journal … cannot be written:
// No space left on device"), empty when all are in: the tool says it, and
// goes on with what it does (a STOP is never held back by the journal).
//
// `tool` names who sent it ("vfdctl set", "parameters", "restore", "clone",
// "commission", "serve"), `line` the site's line.
//
// Values are journaled as the catalogue shows them ("12.5" for P0.14 = 125),
// without the unit. A write that never went out (WriteItem::NotWritten, or
// still Pending: the restore ended before it) is not journaled: the journal
// holds what reached, or may have reached, a drive.
namespace SiteJournaling {

// The journal's word for what became of a write; nullopt for one never sent.
std::optional<JournalEntry::Outcome> outcomeOf(const WriteItem& item);

// The entry of one parameter write, for those who append it themselves (the
// service, whose journal is written on a thread of its own).
JournalEntry writeEntry(const QString& tool, const QString& line, quint8 drive, quint16 reg,
                        std::optional<quint16> before, quint16 asked, JournalEntry::Outcome outcome,
                        std::optional<quint16> readBack = {});

// One parameter write (P0.03 = asked), raw values. before: what the drive held
// before it, nullopt when not known; readBack: what it read back afterwards.
QString recordWrite(const SiteFolder& site, const QString& tool, const QString& line, quint8 drive,
                    quint16 reg, std::optional<quint16> before, quint16 asked,
                    JournalEntry::Outcome outcome, std::optional<quint16> readBack = {});

// Every write of a restore (RestoreJob::items(), or a plan's items after it
// ran) to one drive; the value before each from `before` (the drive's set as
// read before the writes; an empty set when not read).
QString recordWrites(const SiteFolder& site, const QString& tool, const QString& line, quint8 drive,
                     const QList<WriteItem>& items, const ParamSet& before = ParamSet());

// The writes of one clone target (Target::writes after CloneJob::targetWritten),
// and of every target of a clone after it finished.
QString recordCloneTarget(const SiteFolder& site, const QString& tool, const QString& line,
                          const CloneJob::Target& target);
QString recordClone(const SiteFolder& site, const QString& tool, const QString& line,
                    const CloneJob& job);

// A run command started ("forward 30.00 Hz", "jog reverse") and the STOP that
// ended it ("STOP: time up", "STOP: no answer").
QString recordRunStarted(const SiteFolder& site, const QString& tool, const QString& line,
                         quint8 drive, const QString& command);
QString recordRunStopped(const SiteFolder& site, const QString& tool, const QString& line,
                         quint8 drive, const QString& command);

// A test run with its result (testRunWord) and the file it was saved in
// (empty: not saved); nothing is journaled for a run refused before any run
// command went out (sentAnything false): it reached no drive.
QString recordTestRun(const SiteFolder& site, const QString& tool, const QString& line,
                      const TestRunResult& run, const QString& file);

// "passed", "failed: CHECK" (the first check that failed, or why the run
// ended when none did) or "not completed".
QString testRunWord(const TestRunResult& run);
// What a test run asked of the drive: "forward and reverse 30.00 Hz, 20 s each".
QString testRunCommand(const TestRunPlan& plan);

} // namespace SiteJournaling
