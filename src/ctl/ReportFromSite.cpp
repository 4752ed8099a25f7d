// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportFromSite.h"

#include "CtlContext.h"
#include "ParamSetFile.h"
#include "ShownText.h"
#include "SiteFolder.h"

#include <QDir>

namespace {

QString outcomeText(const JournalEntry& e)
{
    switch (e.outcome) {
    case JournalEntry::Outcome::Verified:
        return QStringLiteral("verified");
    case JournalEntry::Outcome::Refused:
        return CtlText::tr("refused by the drive");
    case JournalEntry::Outcome::NoAnswer:
        return CtlText::tr("no answer: may have been taken");
    case JournalEntry::Outcome::ReadBackDiffers:
        return CtlText::tr("reads back %1").arg(e.readBack.value_or(QStringLiteral("otherwise")));
    case JournalEntry::Outcome::NotReadBack:
        return CtlText::tr("taken, not read back");
    }
    return {};
}

} // namespace

QStringList FillReportFromSite(ReportInput& input, const SiteFolder& site, const SiteLine& line,
                               const QList<quint8>& drives)
{
    QStringList problems;
    input.customer = input.customer.isEmpty() ? site.site().customer : input.customer;
    for (quint8 a : drives) {
        if (const SiteDrive* d = line.drive(a); d && !d->name.isEmpty())
            input.names.insert(a, d->name);
        const QString path = site.referencePath(line, a);
        if (path.isEmpty())
            continue;
        const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
        if (!loaded.set) {
            problems << CtlText::tr("the reference set of drive %1 (%2) could not be read: %3; "
                                    "it is compared with the defaults only")
                            .arg(a)
                            .arg(path, ShownText::of(loaded.error));
            continue;
        }
        ParamSet ref = *loaded.set;
        ref.origin = QDir(site.root()).relativeFilePath(path);
        input.references.insert(a, ref);
    }
    const JournalReading journal = Journal::read(site.layout().journalPath());
    if (!journal.problems.isEmpty())
        problems << CtlText::tr("the site's journal has %1 unreadable line(s); the report "
                                "lists the writes it could read")
                        .arg(journal.problems.size());
    for (const JournalEntry& e : journal.entries) {
        if (e.kind != JournalEntry::Kind::Write || e.line != line.name || !drives.contains(e.drive))
            continue;
        input.writes << ReportWrite{
            e.drive, e.time,        e.tool, e.parameter, e.before.value_or(QString()),
            e.asked, outcomeText(e)};
    }
    return problems;
}
