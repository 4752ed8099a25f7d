// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder inside an open site: a new file of the site for each
// recording, trip snapshots in the site's snapshots folder.
#include "RecorderWindow.h"
#include "SiteFolder.h"
#include "SiteNote.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>

void RecorderWindow::setSite(SiteFolder* site, const QString& line)
{
    m_site = site;
    m_siteLine = line;
    siteNote->setSite(site);
    // The file and snapshot fields name places outside the site: while one
    // is open they are not used, and say so.
    csvPath->setPlaceholderText(site ? tr("a new file in the site") : QString());
    snapshotDir->setPlaceholderText(site ? tr("the site's snapshots folder")
                                         : tr("next to the file"));
    showDestination();
}

void RecorderWindow::setDrives(const QList<quint8>& list)
{
    if (list.isEmpty() || m_recording.running())
        return;
    QStringList words;
    for (quint8 d : list)
        words << QString::number(d);
    drives->setText(words.join(u','));
}

QString RecorderWindow::newSiteFile(const QList<quint8>& list, QString* error) const
{
    // One drive's recording is named by the drive; several drives' by the line.
    const quint8 drive = list.size() == 1 ? list.first() : 0;
    return m_site->layout().create(SiteLayout::Kind::Recordings, m_siteLine, drive,
                                   QStringLiteral("recording"), QStringLiteral("csv"),
                                   QDateTime::currentDateTimeUtc(), error);
}

QString RecorderWindow::siteDestinationText() const
{
    const SiteLayout layout = m_site->layout();
    const QString snapshots = QDir::toNativeSeparators(layout.folder(SiteLayout::Kind::Snapshots));
    if (!writeCsv->isChecked())
        return tr("No file is written: the recording stays in the chart only; trip "
                  "snapshots go to %1.")
            .arg(snapshots);
    return tr("The recording goes to a new file in %1; trip snapshots go to %2.")
        .arg(QDir::toNativeSeparators(layout.folder(SiteLayout::Kind::Recordings)), snapshots);
}
