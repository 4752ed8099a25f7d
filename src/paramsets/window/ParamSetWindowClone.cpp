// SPDX-License-Identifier: GPL-3.0-or-later
// The Drive Parameters window: cloning set A to a row of drives.
#include "ParamSetWindow.h"

#include "DriveList.h"
#include "NumberText.h"
#include "Prompter.h"
#include "ShownText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace {
const char* const kTitle = QT_TRANSLATE_NOOP("ParamSetWindow", "Drive Parameters");
} // namespace

std::optional<QList<quint8>> ParamSetWindow::cloneTargets()
{
    if (CloneTargets->text().trimmed().isEmpty()) {
        m_prompter.warn(this, tr(kTitle), tr("Give the target drives, for example 2,3,4."));
        return std::nullopt;
    }
    QString problem;
    const std::optional<QList<quint8>> list = DriveList::parse(CloneTargets->text(), &problem);
    if (!list)
        m_prompter.warn(this, tr(kTitle), problem + u'.');
    return list;
}

void ParamSetWindow::ClonePreview_Click()
{
    if (busy() || m_a.values.isEmpty())
        return;
    const std::optional<QList<quint8>> targets = cloneTargets();
    if (!targets)
        return;
    QSet<quint16> leaveOut = CloneJob::DefaultLeaveOut();
    if (IncludeAddress->isChecked())
        leaveOut.remove(0x0800);
    if (const QString refusal = CloneJob::SharedAddressRefusal(m_a, int(targets->size()), leaveOut);
        !refusal.isEmpty()) {
        m_prompter.warn(this, tr(kTitle), ShownText::of(refusal));
        return;
    }
    m_clone = std::make_unique<CloneJob>(m_client, m_a, *targets);
    if (IncludeAddress->isChecked())
        m_clone->leaveOut.remove(0x0800);
    if (IncludeLine->isChecked())
        m_clone->leaveOut.remove(0x0801);
    m_clone->writesAllowed = m_writesAllowed;
    startJob(tr("Reading the target drives ..."));
    connect(m_clone.get(), &CloneJob::progress, this, [this](const QString&, int done, int total) {
        Progress->setMaximum(total);
        Progress->setValue(done);
    });
    connect(m_clone.get(), &CloneJob::previewReady, this, [this] {
        for (const CloneJob::Target& t : m_clone->targets()) {
            if (t.readFailed) {
                report(tr("Drive %1 does not answer: it will be left alone.").arg(t.address));
                continue;
            }
            QStringList lines;
            for (const WriteItem& w : t.plan.writes)
                lines << tr("  %1 %2: %3 -> %4")
                             .arg(ParamCatalogue::number(w.reg), ParamCatalogue::displayName(w.reg),
                                  ShownOrDash(w.reg, t.before.raw(w.reg)),
                                  ParamCatalogue::shown(w.reg, w.raw));
            report(tr("Drive %1: %2 to write").arg(t.address).arg(t.plan.writes.size()));
            if (!lines.isEmpty())
                report(lines.join(u'\n'));
            for (const QString& left : t.plan.leftOut)
                report(tr("  left out: %1").arg(left));
            for (const QString& left : t.plan.notAsked)
                report(tr("  left out as asked (tick its box to write it): %1").arg(left));
        }
        endJob();
    });
    m_clone->preview();
}

void ParamSetWindow::CloneApply_Click()
{
    if (!m_clone || m_clone->running())
        return;
    int toWrite = 0;
    for (const CloneJob::Target& t : m_clone->targets())
        toWrite += !t.readFailed && !t.plan.writes.isEmpty();
    if (toWrite == 0) {
        m_prompter.warn(this, tr(kTitle), tr("No drive needs a write: nothing to clone."));
        return;
    }
    if (!writingOpen() ||
        !m_prompter.askYesNo(this, tr(kTitle),
                             tr("Write set A to %1 as previewed?")
                                 .arg(NumberText::Counted(toWrite, "drive", "drives"))))
        return;
    startJob(tr("Cloning ..."));
    // Each target's writes go into the site's journal as the target is done.
    connect(m_clone.get(), &CloneJob::targetWritten, this,
            [this](int index) { journalCloneTarget(m_clone->targets().at(index)); });
    connect(m_clone.get(), &CloneJob::finished, this, [this] {
        for (const CloneJob::Target& t : m_clone->targets()) {
            report(t.restoreSummary);
            if (const QString verified = CloneJob::VerifyLine(t); !verified.isEmpty())
                report(verified);
        }
        m_clone.release()->deleteLater();
        endJob();
    });
    m_clone->apply();
}
