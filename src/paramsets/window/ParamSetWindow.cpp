// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamSetWindow.h"
#include "NumberText.h"

#include "ParamSetFile.h"
#include "Prompter.h"
#include "ShownText.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kTitle = QT_TRANSLATE_NOOP("ParamSetWindow", "Drive Parameters");
const char* const kFilter = QT_TRANSLATE_NOOP("ParamSetWindow", "Parameter sets (*.csv)");

} // namespace

ParamSetWindow::ParamSetWindow(LinkClient& client, Prompter& prompter,
                               std::function<bool()> writesAllowed, QWidget* parent)
    : QWidget(parent), m_client(client), m_prompter(prompter),
      m_writesAllowed(std::move(writesAllowed))
{
    setObjectName(QStringLiteral("ParamSetWindow"));
    setWindowTitle(tr(kTitle));
    chooseOpenFile = [this] {
        return QFileDialog::getOpenFileName(this, tr("Open Parameter Set"), QString(), tr(kFilter));
    };
    chooseSaveFile = [this] {
        QFileDialog dialog(this, tr("Save Parameter Set"), QString(), tr(kFilter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    build();
    endJob();
    showWriteLock();
}

void ParamSetWindow::showWriteLock()
{
    const bool open = !m_writesAllowed || m_writesAllowed();
    WriteLock->setText(open ? tr("Parameter writing is open.")
                            : tr("Parameter writing is locked: \"Set\" → \"Password\" opens it."));
}

bool ParamSetWindow::writingOpen()
{
    showWriteLock();
    if (!m_writesAllowed || m_writesAllowed())
        return true;
    m_prompter.warn(this, tr(kTitle),
                    tr("Parameter writing is locked: open the lock in \"Set\" → \"Password\" "
                       "first. Nothing was written."));
    return false;
}

ParamSetWindow::~ParamSetWindow()
{
    // A job still running goes with the window: its session lets go of the
    // line, and an answer still to come reaches nobody.
    for (QObject* job :
         {static_cast<QObject*>(m_read.get()), static_cast<QObject*>(m_restore.get()),
          static_cast<QObject*>(m_clone.get())}) {
        if (job)
            job->disconnect(this);
    }
}

bool ParamSetWindow::busy() const
{
    return m_read || m_restore || (m_clone && m_clone->running());
}

void ParamSetWindow::startJob(const QString& what)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ReadA, OpenA, SaveA, ReadB, OpenB, DefaultsB,
                                                      Restore, ClonePreview, CloneApply})
        w->setEnabled(false);
    Cancel->setEnabled(true);
    Progress->setValue(0);
    report(what);
}

void ParamSetWindow::endJob()
{
    for (QWidget* w : std::initializer_list<QWidget*>{ReadA, OpenA, ReadB, OpenB, DefaultsB})
        w->setEnabled(true);
    SaveA->setEnabled(!m_a.values.isEmpty());
    Restore->setEnabled(!m_a.values.isEmpty() && m_b.address != 0);
    ClonePreview->setEnabled(!m_a.values.isEmpty());
    CloneApply->setEnabled(m_clone != nullptr);
    Cancel->setEnabled(false);
}

namespace {

// "10.0 s", or the value alone when the parameter has no unit or no value.
QString withUnit(quint16 reg, const QString& value)
{
    const QString unit = ParamCatalogue::unit(reg);
    return unit.isEmpty() || value.isEmpty() || !(value.front().isDigit() || value.front() == u'-')
               ? value
               : value + u' ' + unit;
}

} // namespace

void ParamSetWindow::report(const QString& text)
{
    // The jobs' results come in English; the report shows them in the
    // user's language.
    Report->appendPlainText(ShownText::of(text));
}

void ParamSetWindow::readDrive(quint8 address, ParamSet& into, QLabel* origin)
{
    m_read = std::make_unique<ReadJob>(m_client, address);
    startJob(tr("Reading drive %1 ...").arg(address));
    connect(m_read.get(), &ReadJob::progress, this, [this](int done, int total) {
        Progress->setMaximum(total);
        Progress->setValue(done);
    });
    connect(m_read.get(), &ReadJob::finished, this, [this, &into, origin, address] {
        ReadJob* job = m_read.release();
        job->deleteLater();
        const ReadJob& r = *job;
        if (r.cancelled()) {
            report(tr("Reading drive %1 cancelled.").arg(address));
        } else {
            into = r.result();
            origin->setText(tr("drive %1, read %2")
                                .arg(address)
                                .arg(into.readAt.toString(QStringLiteral("HH:mm:ss"))));
            const QList<quint16> missing = r.unanswered();
            QStringList numbers;
            for (quint16 reg : missing)
                numbers << ParamCatalogue::number(reg);
            report(
                missing.isEmpty()
                    ? tr("Drive %1 read: %2 parameters.").arg(address).arg(into.values.size())
                    : tr("Drive %1 read; not answered: %2").arg(address).arg(numbers.join(u' ')));
        }
        endJob();
        showComparison();
    });
    m_read->start();
}

void ParamSetWindow::ReadA_Click()
{
    if (!busy())
        readDrive(quint8(AddressA->value()), m_a, OriginA);
}

void ParamSetWindow::ReadB_Click()
{
    if (!busy())
        readDrive(quint8(AddressB->value()), m_b, OriginB);
}

bool ParamSetWindow::openFile(ParamSet& into, QLabel* origin)
{
    const QString path = chooseOpenFile ? chooseOpenFile() : QString();
    if (path.isEmpty())
        return false;
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
    if (!loaded.set) {
        m_prompter.warn(this, tr(kTitle),
                        loaded.line > 0
                            ? tr("%1, line %2: %3")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(loaded.line)
                                  .arg(loaded.error)
                            : tr("%1: %2").arg(QDir::toNativeSeparators(path), loaded.error));
        return false;
    }
    into = *loaded.set;
    into.origin = QFileInfo(path).fileName();
    into.address = 0; // a file is no drive to write to
    origin->setText(tr("file %1").arg(into.origin));
    report(tr("Opened %1: %2 parameters.").arg(into.origin).arg(into.values.size()));
    endJob();
    showComparison();
    return true;
}

void ParamSetWindow::OpenA_Click()
{
    if (!busy())
        openFile(m_a, OriginA);
}

void ParamSetWindow::OpenB_Click()
{
    if (!busy())
        openFile(m_b, OriginB);
}

void ParamSetWindow::DefaultsB_Click()
{
    if (busy())
        return;
    m_b = ParamSet::defaults();
    OriginB->setText(tr("the catalogue's defaults"));
    endJob();
    showComparison();
}

void ParamSetWindow::SaveA_Click()
{
    if (m_a.values.isEmpty() || busy())
        return;
    // A set of "no answer" rows holds nothing worth a file.
    const int answered = m_a.answered();
    if (answered == 0) {
        m_prompter.warn(this, tr(kTitle),
                        tr("Set A holds no parameter a drive answered; nothing was saved."));
        return;
    }
    if (m_site) {
        saveIntoSite();
        return;
    }
    const QString path = chooseSaveFile ? chooseSaveFile() : QString();
    if (path.isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(path);
    const int missing = int(m_a.values.size()) - answered;
    const std::optional<int> before = ParamSetFile::AnsweredInFile(path);
    if (before && *before > answered &&
        !m_prompter.askYesNo(this, tr(kTitle),
                             tr("%1 holds %2 answered parameters; set A has %3 (%4 not "
                                "answered). Replace the file?")
                                 .arg(shown)
                                 .arg(*before)
                                 .arg(answered)
                                 .arg(missing))) {
        report(tr("%1 was left as it was.").arg(shown));
        return;
    }
    if (const QString error = ParamSetFile::Save(m_a, path); !error.isEmpty()) {
        m_prompter.warn(this, tr(kTitle),
                        tr("The parameter set could not be saved to %1: %2").arg(shown, error));
        return;
    }
    report(missing == 0 ? tr("Saved to %1.").arg(shown)
                        : tr("Saved to %1: %2 read, %3 not answered.")
                              .arg(shown)
                              .arg(NumberText::Counted(answered, "parameter", "parameters"))
                              .arg(missing));
}

void ParamSetWindow::DifferencesOnly_Click()
{
    // The same comparison, shown another way: the report has said it already.
    showComparison(false);
}

void ParamSetWindow::showComparison(bool say)
{
    Differences->setRowCount(0);
    if (m_a.values.isEmpty() || m_b.values.isEmpty())
        return;
    const QList<ParamDifference> list = CompareSets(m_a, m_b, DifferencesOnly->isChecked());
    Differences->setRowCount(int(list.size()));
    for (int row = 0; row < list.size(); ++row) {
        const ParamDifference& d = list[row];
        auto* tick = new QTableWidgetItem;
        // Every differing parameter A has a value for is ticked to be written,
        // but for the drive's address and line settings: written, they would
        // cut the drive off from the rest.
        if (d.differs && d.left) {
            tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            tick->setCheckState(CloneJob::DefaultLeaveOut().contains(d.reg) ? Qt::Unchecked
                                                                            : Qt::Checked);
        } else {
            tick->setFlags(Qt::ItemIsEnabled);
        }
        tick->setData(Qt::UserRole, d.reg);
        Differences->setItem(row, 0, tick);
        const QStringList texts = {ParamCatalogue::number(d.reg),
                                   ParamCatalogue::displayName(d.reg), ShownOrDash(d.reg, d.left),
                                   ShownOrDash(d.reg, d.right), ParamCatalogue::unit(d.reg)};
        for (int column = 0; column < texts.size(); ++column)
            Differences->setItem(row, column + 1, new QTableWidgetItem(texts[column]));
        // The English name as the drive's manual has it, to match either manual.
        Differences->item(row, 2)->setToolTip(ParamCatalogue::name(d.reg));
    }
    Differences->resizeColumnsToContents();
    // The names take what width is left over.
    Differences->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    if (say)
        report(tr("%1 between A and B.")
                   .arg(NumberText::Counted(CompareSets(m_a, m_b, true).size(), "difference",
                                            "differences")));
}

QSet<quint16> ParamSetWindow::ticked() const
{
    QSet<quint16> set;
    for (int row = 0; row < Differences->rowCount(); ++row) {
        const QTableWidgetItem* item = Differences->item(row, 0);
        if (item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked)
            set.insert(quint16(item->data(Qt::UserRole).toUInt()));
    }
    return set;
}

void ParamSetWindow::Restore_Click()
{
    if (busy() || m_a.values.isEmpty() || m_b.address == 0)
        return;
    const QSet<quint16> wanted = ticked();
    QSet<quint16> leaveOut;
    for (quint16 reg : ParamCatalogue::offeredRegisters()) {
        if (!wanted.contains(reg))
            leaveOut.insert(reg);
    }
    const WritePlan plan = PlanWrites(m_a, m_b, leaveOut);
    const quint8 address = m_b.address;
    if (plan.writes.isEmpty()) {
        m_prompter.warn(this, tr(kTitle), tr("Nothing to write to drive %1.").arg(address));
        return;
    }
    QString question = tr("Write %1 to drive %2?")
                           .arg(NumberText::Counted(plan.writes.size(), "parameter", "parameters"))
                           .arg(address);
    // What is about to change, parameter by parameter; a box taller than the
    // screen could not be answered, so a long list is cut short.
    constexpr qsizetype kListed = 20;
    question += u'\n';
    for (const WriteItem& w : plan.writes.first(std::min(plan.writes.size(), kListed)))
        question +=
            u'\n' + tr("%1 %2: %3 -> %4")
                        .arg(ParamCatalogue::number(w.reg), ParamCatalogue::displayName(w.reg),
                             withUnit(w.reg, ShownOrDash(w.reg, m_b.raw(w.reg))),
                             withUnit(w.reg, ParamCatalogue::shown(w.reg, w.raw)));
    if (plan.writes.size() > kListed)
        question +=
            u'\n' +
            tr("... and %1 more, as ticked in the table.").arg(plan.writes.size() - kListed);
    if (!plan.leftOut.isEmpty())
        question += QStringLiteral("\n\n") + tr("Left out:") + u'\n' + plan.leftOut.join(u'\n');
    // The drive's own address and line settings stay unticked unless chosen:
    // say so when they differ, every time.
    QStringList ownUntouched;
    for (const QString& line : plan.notAsked) {
        if (line.startsWith(QLatin1String("P8.00")) || line.startsWith(QLatin1String("P8.01")))
            ownUntouched << line;
    }
    if (!ownUntouched.isEmpty())
        question += QStringLiteral("\n\n") + tr("Not ticked, so not written:") + u'\n' +
                    ownUntouched.join(u'\n');
    if (!writingOpen() || !m_prompter.askYesNo(this, tr(kTitle), question))
        return;
    m_restore = std::make_unique<RestoreJob>(m_client, address, plan.writes);
    m_restore->writesAllowed = m_writesAllowed;
    startJob(tr("Writing %1 to drive %2 ...")
                 .arg(NumberText::Counted(plan.writes.size(), "parameter", "parameters"))
                 .arg(address));
    connect(m_restore.get(), &RestoreJob::progress, this, [this](int done, int total) {
        Progress->setMaximum(total);
        Progress->setValue(done);
    });
    connect(m_restore.get(), &RestoreJob::finished, this, [this, address] {
        RestoreJob* job = m_restore.release();
        job->deleteLater();
        journalRestore(*job, address, m_b);
        report(job->summary());
        const RestoreJob::Refusal refusal = job->refusal();
        endJob();
        if (refusal != RestoreJob::Refusal::None)
            m_prompter.warn(this, tr(kTitle), ShownText::of(RefusalText(refusal, address)));
        else
            readDrive(address, m_b, OriginB); // compare again: no difference should be left
    });
    m_restore->start();
}

void ParamSetWindow::Cancel_Click()
{
    if (m_read)
        m_read->cancel();
    if (m_restore)
        m_restore->cancel();
    if (m_clone)
        m_clone->cancel();
}
