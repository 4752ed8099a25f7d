// SPDX-License-Identifier: GPL-3.0-or-later
// The Drive Parameters window inside an open site: the drives it starts from
// and the backups it keeps there.
#include "NumberText.h"
#include "ParamSetFile.h"
#include "ParamSetWindow.h"
#include "Prompter.h"
#include "SiteFolder.h"
#include "SiteJournaling.h"
#include "SiteNote.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

void ParamSetWindow::setSite(SiteFolder* site, const QString& line)
{
    m_site = site;
    m_siteLine = line;
    siteNote->setSite(site);
    // No file name is asked while a site is open: the button says so.
    const QString caption = site ? tr("Save to Site") : tr("Save File...");
    SaveA->setText(caption);
    SaveA->setAccessibleName(caption);
}

void ParamSetWindow::setDrives(const QList<quint8>& drives)
{
    if (drives.isEmpty() || busy())
        return;
    AddressA->setValue(drives.first());
    AddressB->setValue(drives.size() > 1 ? drives[1] : drives.first());
    QStringList rest;
    for (quint8 d : drives.mid(1))
        rest << QString::number(d);
    CloneTargets->setText(rest.join(u','));
}

bool ParamSetWindow::saveIntoSite()
{
    const QString title = tr("Drive Parameters");
    // A set read from a drive is that drive's backup; one opened from a file
    // belongs to no drive and is kept as the line's.
    const quint8 drive = m_a.address;
    QString error;
    const QString path =
        m_site->layout().create(SiteLayout::Kind::ParameterSets, m_siteLine, drive,
                                drive != 0 ? QStringLiteral("backup") : QStringLiteral("set"),
                                QStringLiteral("csv"), QDateTime::currentDateTimeUtc(), &error);
    if (path.isEmpty()) {
        m_prompter.warn(this, title,
                        tr("The parameter set could not be saved into the site: %1").arg(error));
        return false;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (const QString failed = ParamSetFile::Save(m_a, path); !failed.isEmpty()) {
        // The name was taken for this file alone: an empty one left behind
        // would only puzzle whoever looks into the folder.
        QFile::remove(path);
        m_prompter.warn(this, title,
                        tr("The parameter set could not be saved to %1: %2").arg(shown, failed));
        return false;
    }
    const int answered = m_a.answered();
    const int missing = int(m_a.values.size()) - answered;
    Report->appendPlainText(missing == 0
                                ? tr("Saved to %1.").arg(shown)
                                : tr("Saved to %1: %2 read, %3 not answered.")
                                      .arg(shown)
                                      .arg(NumberText::Counted(answered, "parameter", "parameters"))
                                      .arg(missing));
    siteNote->saved(path);
    return true;
}

void ParamSetWindow::journalRestore(const RestoreJob& job, quint8 address, const ParamSet& before)
{
    if (m_site)
        siteNote->journaled(SiteJournaling::recordWrites(
            *m_site, QStringLiteral("restore"), m_siteLine, address, job.items(),
            before.address == address ? before : ParamSet()));
}

void ParamSetWindow::journalCloneTarget(const CloneJob::Target& target)
{
    if (m_site)
        siteNote->journaled(SiteJournaling::recordCloneTarget(*m_site, QStringLiteral("clone"),
                                                              m_siteLine, target));
}
