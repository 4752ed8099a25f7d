// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteJournaling.h"

#include "NumberText.h"

namespace SiteJournaling {

namespace {

// Each entry goes in even when an earlier one did not: a disk with room
// again takes the rest. The first failure is the one said.
struct FirstFailure
{
    QString text;
    void add(const QString& failure)
    {
        if (text.isEmpty())
            text = failure;
    }
};

JournalEntry entry(JournalEntry::Kind kind, const QString& tool, const QString& line, quint8 drive)
{
    JournalEntry e;
    e.kind = kind;
    e.tool = tool;
    e.line = line;
    e.drive = drive;
    return e;
}

} // namespace

std::optional<JournalEntry::Outcome> outcomeOf(const WriteItem& item)
{
    using O = WriteItem::Outcome;
    switch (item.outcome) {
    case O::Written:
        return JournalEntry::Outcome::Verified;
    case O::Refused:
        return JournalEntry::Outcome::Refused;
    case O::ReadBackDiffers:
        return JournalEntry::Outcome::ReadBackDiffers;
    case O::NotReadBack:
        return JournalEntry::Outcome::NotReadBack;
    case O::SentNoAnswer:
        return JournalEntry::Outcome::NoAnswer;
    case O::NotWritten:
    case O::Pending:
        break;
    }
    return std::nullopt;
}

JournalEntry writeEntry(const QString& tool, const QString& line, quint8 drive, quint16 reg,
                        std::optional<quint16> before, quint16 asked, JournalEntry::Outcome outcome,
                        std::optional<quint16> readBack)
{
    JournalEntry e = entry(JournalEntry::Kind::Write, tool, line, drive);
    e.parameter = ParamCatalogue::number(reg);
    if (before)
        e.before = ParamCatalogue::shown(reg, *before);
    e.asked = ParamCatalogue::shown(reg, asked);
    e.outcome = outcome;
    if (readBack)
        e.readBack = ParamCatalogue::shown(reg, *readBack);
    return e;
}

QString recordWrite(const SiteFolder& site, const QString& tool, const QString& line, quint8 drive,
                    quint16 reg, std::optional<quint16> before, quint16 asked,
                    JournalEntry::Outcome outcome, std::optional<quint16> readBack)
{
    return site.record(writeEntry(tool, line, drive, reg, before, asked, outcome, readBack));
}

QString recordWrites(const SiteFolder& site, const QString& tool, const QString& line, quint8 drive,
                     const QList<WriteItem>& items, const ParamSet& before)
{
    FirstFailure failure;
    for (const WriteItem& w : items) {
        const std::optional<JournalEntry::Outcome> outcome = outcomeOf(w);
        if (!outcome)
            continue;
        failure.add(recordWrite(site, tool, line, drive, w.reg, before.raw(w.reg), w.raw, *outcome,
                                w.outcome == WriteItem::Outcome::Written ? std::optional<quint16>()
                                                                         : w.readBack));
    }
    return failure.text;
}

QString recordCloneTarget(const SiteFolder& site, const QString& tool, const QString& line,
                          const CloneJob::Target& target)
{
    return recordWrites(site, tool, line, target.address, target.writes, target.before);
}

QString recordClone(const SiteFolder& site, const QString& tool, const QString& line,
                    const CloneJob& job)
{
    FirstFailure failure;
    for (const CloneJob::Target& t : job.targets())
        failure.add(recordCloneTarget(site, tool, line, t));
    return failure.text;
}

QString recordRunStarted(const SiteFolder& site, const QString& tool, const QString& line,
                         quint8 drive, const QString& command)
{
    JournalEntry e = entry(JournalEntry::Kind::RunStarted, tool, line, drive);
    e.command = command;
    return site.record(e);
}

QString recordRunStopped(const SiteFolder& site, const QString& tool, const QString& line,
                         quint8 drive, const QString& command)
{
    JournalEntry e = entry(JournalEntry::Kind::RunStopped, tool, line, drive);
    e.command = command;
    return site.record(e);
}

QString testRunWord(const TestRunResult& run)
{
    if (run.passed())
        return QStringLiteral("passed");
    // As TestRunResult::verdict() has it: only the user's stop leaves a run
    // "not completed"; a trip or a lost answer fails it.
    if (run.cancelled)
        return QStringLiteral("not completed");
    for (const TestRunCheck& c : run.checks)
        if (c.reached && !c.passed)
            return QStringLiteral("failed: ") + c.name;
    return QStringLiteral("failed: ") + run.endReason;
}

QString testRunCommand(const TestRunPlan& plan)
{
    return QStringLiteral("%1 %2 Hz, %3 s%4")
        .arg(plan.reverse ? QStringLiteral("forward and reverse") : QStringLiteral("forward"),
             NumberText::Fixed2(plan.hz), QString::number(plan.holdMs / 1000.0),
             plan.reverse ? QStringLiteral(" each way") : QString());
}

QString recordTestRun(const SiteFolder& site, const QString& tool, const QString& line,
                      const TestRunResult& run, const QString& file)
{
    if (!run.sentAnything)
        return {};
    JournalEntry e = entry(JournalEntry::Kind::TestRun, tool, line, run.plan.address);
    e.command = testRunCommand(run.plan);
    e.result = testRunWord(run);
    e.file = file;
    if (run.ended.isValid())
        e.time = run.ended;
    return site.record(e);
}

} // namespace SiteJournaling
