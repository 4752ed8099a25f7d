// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriftReference.h"

#include "CloneJob.h"
#include "ParamSet.h"
#include "ParamSetFile.h"
#include "SiteStatus.h"

#include <QFileInfo>

std::optional<DriftReference> DriftReference::of(const SiteFolder& site, const SiteLine& line,
                                                 quint8 address, QString* why)
{
    QString path = site.referencePath(line, address);
    QString against = QStringLiteral("reference ");
    // A reference the site names but has not read yet (its source drive not
    // commissioned) stands for nothing: the newest backup does.
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        path = site.newest(SiteLayout::Kind::ParameterSets, line.name, address,
                           SiteOutputs::backupWhat(), SiteOutputs::backupExtension());
        against = QStringLiteral("backup ");
    }
    if (path.isEmpty()) {
        *why = QStringLiteral("the site holds no reference set and no backup of it");
        return std::nullopt;
    }
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
    if (!loaded.set) {
        *why = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), loaded.error);
        return std::nullopt;
    }
    DriftReference r;
    r.against = against + QFileInfo(path).fileName();
    const QSet<quint16> leftOut = CloneJob::DefaultLeaveOut();
    for (auto it = loaded.set->values.cbegin(); it != loaded.set->values.cend(); ++it)
        if (it->hasValue() && !ParamCatalogue::reserved(it.key()) && !leftOut.contains(it.key()))
            r.values.insert(it.key(), it->raw);
    // A set's own name holds when it was made; a reference a person put
    // there may not, and then its file's time stands for it.
    QDateTime made = SiteStatus::timeOfName(path);
    if (!made.isValid())
        made = QFileInfo(path).lastModified();
    for (const JournalEntry& e : Journal::read(site.layout().journalPath()).entries) {
        if (e.line != line.name || e.drive != address)
            continue;
        const std::optional<quint16> reg = ParamCatalogue::registerOf(e.parameter);
        if (!reg || !r.values.contains(*reg))
            continue;
        if (e.kind == JournalEntry::Kind::Drift) {
            if (e.result == u"cleared")
                r.open.remove(*reg);
            else if (!r.open.contains(*reg))
                r.open.insert(*reg, {e.time, e.readBack.value_or(QString())});
            else
                r.open[*reg].now = e.readBack.value_or(QString());
            continue;
        }
        if (e.kind != JournalEntry::Kind::Write || e.outcome == JournalEntry::Outcome::Refused ||
            e.time.toUTC() < made.toUTC())
            continue;
        // What the write left in the drive: what it read back, else what was asked.
        const QString left = e.outcome == JournalEntry::Outcome::ReadBackDiffers && e.readBack
                                 ? *e.readBack
                                 : e.asked;
        if (const std::optional<quint16> raw = ParamCatalogue::rawOf(*reg, left)) {
            r.values.insert(*reg, *raw);
            // A write is a decision: what it replaced is no longer a drift.
            r.open.remove(*reg);
        }
    }
    return r;
}
