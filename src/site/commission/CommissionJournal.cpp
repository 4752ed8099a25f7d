// SPDX-License-Identifier: GPL-3.0-or-later
// What the job journals: each write of its clones and each test run.
#include "NumberText.h"
#include "SiteCommission.h"

namespace {

const QString kTool = QStringLiteral("commission");

} // namespace

void SiteCommission::journalWrites(quint8 drive, const ParamSet& before,
                                   const QList<WriteItem>& writes)
{
    for (const WriteItem& w : writes) {
        if (w.outcome == WriteItem::Outcome::NotWritten || w.outcome == WriteItem::Outcome::Pending)
            continue; // never sent: nothing reached the drive
        JournalEntry e;
        e.kind = JournalEntry::Kind::Write;
        e.tool = kTool;
        e.line = m_line;
        e.drive = drive;
        e.parameter = ParamCatalogue::number(w.reg);
        if (const std::optional<quint16> raw = before.raw(w.reg))
            e.before = ParamCatalogue::shown(w.reg, *raw);
        e.asked = ParamCatalogue::shown(w.reg, w.raw);
        switch (w.outcome) {
        case WriteItem::Outcome::Written:
            e.outcome = JournalEntry::Outcome::Verified;
            break;
        case WriteItem::Outcome::Refused:
        case WriteItem::Outcome::ReadBackDiffers: // answered, and not taken as asked
            e.outcome = JournalEntry::Outcome::Refused;
            break;
        default:
            e.outcome = JournalEntry::Outcome::NoAnswer;
            break;
        }
        if (const QString why = m_site.record(e); !why.isEmpty())
            emit progress(QStringLiteral("The journal could not take a write: %1").arg(why));
    }
}

void SiteCommission::journalRun(const TestRunResult& r, const QString& file)
{
    const QString command = QStringLiteral("forward%1 %2 Hz")
                                .arg(r.plan.reverse ? QStringLiteral(" and reverse") : QString(),
                                     NumberText::Fixed2(r.plan.hz));
    QList<JournalEntry> entries;
    if (r.sentAnything) {
        JournalEntry started;
        started.kind = JournalEntry::Kind::RunStarted;
        started.time = r.started;
        started.command = command;
        JournalEntry stopped;
        stopped.kind = JournalEntry::Kind::RunStopped;
        stopped.time = r.ended;
        stopped.command =
            r.stopAnswered ? QStringLiteral("stop") : QStringLiteral("stop, no answer");
        entries << started << stopped;
    }
    JournalEntry run;
    run.kind = JournalEntry::Kind::TestRun;
    run.time = r.ended;
    run.command = command;
    run.result = r.verdict();
    run.file = file;
    entries << run;
    for (JournalEntry& e : entries) {
        e.tool = kTool;
        e.line = m_line;
        e.drive = r.plan.address;
        if (const QString why = m_site.record(e); !why.isEmpty())
            emit progress(QStringLiteral("The journal could not take a test run: %1").arg(why));
    }
}
