// SPDX-License-Identifier: GPL-3.0-or-later
// The job's frame, the scan and the backups of the reference source drives.
#include "SiteCommission.h"
#include "SiteStatus.h"

#include "CloneJob.h"
#include "DriveSurvey.h"
#include "LineScan.h"
#include "LinkClient.h"
#include "NumberText.h"
#include "ParamJobs.h"
#include "ParamSetFile.h"
#include "RtuProtocol.h"
#include "TestRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

bool SiteCommission::DriveSummary::commissioned() const
{
    if (stopped || !run || !run->passed())
        return false;
    return std::all_of(steps.begin(), steps.end(),
                       [](const StepResult& s) { return s.outcome == Outcome::Done; });
}

QString SiteCommission::stepName(Step step)
{
    switch (step) {
    case Step::Scan:
        return QStringLiteral("scan");
    case Step::Backup:
        return QStringLiteral("backup");
    case Step::Clone:
        return QStringLiteral("clone");
    case Step::TestRun:
        return QStringLiteral("test run");
    case Step::Report:
        return QStringLiteral("report");
    }
    return {};
}

QString SiteCommission::outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return QStringLiteral("done");
    case Outcome::Failed:
        return QStringLiteral("failed");
    case Outcome::NotReached:
        return QStringLiteral("not reached");
    }
    return {};
}

QString SiteCommission::problemOf(const SiteFolder& site, const QString& line,
                                  const QList<quint8>& drives)
{
    QString why;
    const SiteLine* l = site.line(line, &why);
    if (!l)
        return why;
    for (const quint8 a : drives)
        if (!l->drive(a))
            return QStringLiteral("drive %1 is not a drive of line %2").arg(a).arg(l->name);
    if (l->drives.isEmpty())
        return QStringLiteral("line %1 has no drives to commission").arg(l->name);
    if (!site.site().testRunOf(*l).hz)
        return QStringLiteral("the site names no test frequency: test-hz = HZ in [site] or "
                              "[line %1]")
            .arg(l->name);
    return {};
}

QString SiteCommission::plan() const
{
    const SiteLine* line = m_site.line(m_line, nullptr);
    if (!line)
        return m_problem;
    QStringList sources;
    QStringList targets;
    for (const quint8 a : m_drives) {
        const SiteDrive* d = line->drive(a);
        if (d->referenceSource)
            sources << QString::number(a);
        else if (!d->reference.isEmpty())
            targets << QString::number(a);
    }
    // Each plural form a text of its own, so the English stays as written.
    const QString drives =
        (m_drives.size() == 1 ? tr("%1 drive") : tr("%1 drives")).arg(m_drives.size());
    QString text = tr("Commission %1 of line %2:").arg(drives, line->name);
    if (!sources.isEmpty())
        text += tr(" back up %1 (reference source);").arg(sources.join(u','));
    if (!targets.isEmpty())
        text += tr(" write the references to %1;").arg(targets.join(u','));
    text += tr(" run each drive forward%1 at %2 Hz for %3 s (%4 at a time); "
               "then the report. Go ahead?")
                .arg(m_plan.reverse ? tr(" and in reverse") : QString(),
                     NumberText::Fixed2(m_plan.hz), QString::number(m_plan.holdMs / 1000.0))
                .arg(m_parallel);
    return text;
}

SiteCommission::SiteCommission(LinkClient& client, const SiteFolder& site, const QString& line,
                               const QList<quint8>& drives, QObject* parent)
    : QObject(parent), m_client(client), m_site(site), m_line(line)
{
    m_problem = problemOf(site, line, drives);
    if (!m_problem.isEmpty())
        return;
    const SiteLine* l = m_site.line(line, nullptr);
    m_line = l->name;
    for (const SiteDrive& d : l->drives)
        if (drives.isEmpty() || drives.contains(d.address))
            m_drives << d.address;
    const SiteTestRun test = m_site.site().testRunOf(*l);
    m_plan.hz = *test.hz;
    m_plan.holdMs = test.holdMs.value_or(m_plan.holdMs);
    m_plan.reverse = test.reverse.value_or(false);
    for (const QString& text : test.expect.value_or(QStringList()))
        if (const auto limit = ExpectLimit::parse(text, nullptr))
            m_plan.limits << *limit;
    m_parallel = std::max(1, m_site.site().parallel);

    // What each drive will go through, so a window can show the row at once.
    for (const quint8 a : m_drives) {
        const SiteDrive* d = l->drive(a);
        DriveSummary s;
        s.address = a;
        s.label = SiteFolder::driveLabel(*l, a);
        s.steps << StepResult{Step::Scan, Outcome::NotReached, {}, {}};
        if (d->referenceSource)
            s.steps << StepResult{Step::Backup, Outcome::NotReached, {}, {}};
        else if (!d->reference.isEmpty())
            s.steps << StepResult{Step::Clone, Outcome::NotReached, {}, {}};
        s.steps << StepResult{Step::TestRun, Outcome::NotReached, {}, {}}
                << StepResult{Step::Report, Outcome::NotReached, {}, {}};
        m_summary << s;
        if (d->referenceSource)
            m_sources << a;
    }
    // The references the chosen drives take, each with its source on this line.
    for (const quint8 a : m_drives) {
        const SiteDrive* d = l->drive(a);
        if (d->reference.isEmpty())
            continue;
        auto ref = std::find_if(m_references.begin(), m_references.end(),
                                [&](const Reference& r) { return r.file == d->reference; });
        if (ref == m_references.end()) {
            m_references << Reference{d->reference, {}, {}, {}, {}};
            ref = m_references.end() - 1;
            for (const SiteDrive& other : l->drives)
                if (other.referenceSource && other.reference == d->reference)
                    ref->source = other.address;
        }
        if (!d->referenceSource)
            ref->targets << a;
    }
}

SiteCommission::~SiteCommission()
{
    // Runs still going (a window closed) stop their drives as they go.
    qDeleteAll(m_runs);
}

QString SiteCommission::problem() const
{
    return m_problem;
}

bool SiteCommission::allCommissioned() const
{
    return !m_summary.isEmpty() &&
           std::all_of(m_summary.begin(), m_summary.end(),
                       [](const DriveSummary& s) { return s.commissioned(); });
}

SiteCommission::DriveSummary* SiteCommission::driveOf(quint8 address)
{
    for (DriveSummary& s : m_summary)
        if (s.address == address)
            return &s;
    return nullptr;
}

bool SiteCommission::live(quint8 drive) const
{
    for (const DriveSummary& s : m_summary)
        if (s.address == drive)
            return !s.stopped;
    return false;
}

void SiteCommission::begin(quint8 drive, Step step)
{
    emit stepStarted(drive, step);
}

void SiteCommission::endStep(quint8 drive, Step step, Outcome outcome, const QString& text,
                             const QString& file)
{
    DriveSummary* s = driveOf(drive);
    if (!s)
        return;
    for (StepResult& r : s->steps)
        if (r.step == step) {
            r.outcome = outcome;
            r.text = text;
            r.file = file;
        }
    if (outcome == Outcome::Failed)
        s->stopped = true;
    emit stepEnded(drive, step, outcome, text, file);
}

void SiteCommission::start()
{
    if (m_running)
        return;
    m_running = true;
    m_cancelled = false;
    if (!m_problem.isEmpty()) {
        emit progress(m_problem);
        end();
        return;
    }
    scan();
}

void SiteCommission::cancel()
{
    if (!m_running || m_cancelled)
        return;
    m_cancelled = true;
    emit progress(QStringLiteral("Cancelling: stopping the running drives first"));
    // Each part lets its exchange end; its end hands on to end().
    if (m_scan)
        m_scan->cancel();
    if (m_read)
        m_read->cancel();
    if (m_clone)
        m_clone->cancel();
    if (m_survey)
        m_survey->cancel();
    if (m_session)
        m_session->cancel(); // its callback then ends the job
    for (TestRun* run : std::as_const(m_runs))
        run->cancel();
    if (!m_scan && !m_read && !m_clone && !m_survey && m_runs.isEmpty() &&
        !(m_session && m_session->busy()))
        QMetaObject::invokeMethod(this, &SiteCommission::end, Qt::QueuedConnection);
}

void SiteCommission::scan()
{
    begin(0, Step::Scan);
    emit progress(QStringLiteral("Scanning line %1").arg(m_line));
    m_scan = new LineScan(m_client, this);
    connect(m_scan, &LineScan::finished, this, [this](bool) { scanned(); });
    const auto [low, high] = std::minmax_element(m_drives.begin(), m_drives.end());
    m_scan->start(*low, *high);
}

void SiteCommission::scanned()
{
    m_found = m_scan->entries();
    m_scan->deleteLater();
    m_scan = nullptr;
    m_silent.clear();
    for (const quint8 a : std::as_const(m_drives))
        if (std::none_of(m_found.begin(), m_found.end(),
                         [a](const ScanEntry& x) { return x.address == a; }))
            m_silent << a;
    askAgain();
}

void SiteCommission::askAgain()
{
    if (m_cancelled) {
        end();
        return;
    }
    if (m_silent.isEmpty()) {
        scanDone();
        return;
    }
    // A drive the site names is not given up on one missed answer: the scan
    // asks each address once; a silent one is asked again, with retries.
    if (!m_session) {
        m_session = m_client.openSession(this);
        m_session->setRetries(2);
    }
    const quint8 a = m_silent.takeFirst();
    m_session->submit(LinkRequest::read(a, Rtu::StatusRegister), [this, a](const LinkResult& r) {
        if (r.ok() && r.answer.size() >= Rtu::MonitorReplyLength) {
            const StatusReply status = Hexedit::DecodeStatus(r.answer);
            ScanEntry e;
            e.address = a;
            e.running = status.running;
            e.fault = status.fault;
            e.faultNumber = status.fault ? status.faultNumber : 0;
            e.late = true; // silent at the scan: its edition and readiness were not read
            m_found << e;
        }
        askAgain();
    });
}

void SiteCommission::scanDone()
{
    for (const quint8 a : std::as_const(m_drives)) {
        const auto e = std::find_if(m_found.cbegin(), m_found.cend(),
                                    [a](const ScanEntry& x) { return x.address == a; });
        if (e == m_found.cend()) {
            endStep(a, Step::Scan, Outcome::Failed,
                    QStringLiteral("drive %1 does not answer").arg(a));
            continue;
        }
        QString text =
            e->late ? QStringLiteral("answers when asked again, %1")
                          .arg(e->fault     ? QStringLiteral("reports a fault")
                               : e->running ? QStringLiteral("run")
                                            : QStringLiteral("stop"))
                    : QStringLiteral("answers, edition %1, %2")
                          .arg(e->editionText(), e->fault ? QStringLiteral("fault: ") + e->faultText
                                                          : e->stateText().toLower());
        if (e->readiness.known() && !e->readiness.ready())
            text += QStringLiteral(", takes no run commands from the line");
        endStep(a, Step::Scan, Outcome::Done, text);
    }
    m_at = 0;
    nextBackup();
}

void SiteCommission::nextBackup()
{
    while (m_at < m_sources.size() && !live(m_sources[m_at]))
        ++m_at;
    if (m_cancelled || m_at >= m_sources.size()) {
        if (m_cancelled) {
            end();
            return;
        }
        // References without a source drive in the job are written as the
        // file holds them.
        for (Reference& ref : m_references) {
            if (ref.set || !ref.refusal.isEmpty())
                continue;
            if (ref.source && m_drives.contains(*ref.source)) {
                ref.refusal =
                    QStringLiteral("its reference source, drive %1, was not read").arg(*ref.source);
                continue;
            }
            const QString path =
                QDir(m_site.layout().folder(SiteLayout::Kind::ParameterSets)).filePath(ref.file);
            if (!QFileInfo::exists(path)) {
                ref.refusal =
                    ref.source
                        ? QStringLiteral("%1 is not there yet: commission its source, drive %2, "
                                         "with the row")
                              .arg(ref.file)
                              .arg(*ref.source)
                        : QStringLiteral("%1 is not there and no drive is its source "
                                         "(reference-source = yes)")
                              .arg(ref.file);
                continue;
            }
            const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
            if (!loaded.set)
                ref.refusal =
                    QStringLiteral("%1%2: %3")
                        .arg(ref.file,
                             loaded.line > 0 ? QStringLiteral(", line %1").arg(loaded.line)
                                             : QString(),
                             loaded.error);
            else
                ref.set = *loaded.set;
        }
        m_at = 0;
        nextClone();
        return;
    }
    const quint8 a = m_sources[m_at];
    begin(a, Step::Backup);
    m_read = new ReadJob(m_client, a, this);
    connect(m_read, &ReadJob::progress, this, [this, a](int done, int total) {
        emit progress(QStringLiteral("Reading drive %1: %2 of %3").arg(a).arg(done).arg(total));
    });
    connect(m_read, &ReadJob::finished, this, [this, a] { backedUp(a); });
    m_read->start();
}

void SiteCommission::backedUp(quint8 address)
{
    ReadJob* read = m_read;
    m_read = nullptr;
    read->deleteLater();
    const SiteDrive* d = m_site.site().line(m_line)->drive(address);
    Reference* ref = nullptr;
    for (Reference& r : m_references)
        if (r.file == d->reference)
            ref = &r;
    if (read->cancelled()) {
        endStep(address, Step::Backup, Outcome::NotReached,
                QStringLiteral("cancelled: nothing was saved"));
        end();
        return;
    }
    const ParamSet set = read->result();
    const int missing = int(read->unanswered().size());
    auto fail = [&](const QString& why, const QString& file = QString()) {
        endStep(address, Step::Backup, Outcome::Failed, why, file);
        if (ref)
            ref->refusal = QStringLiteral("its reference source, drive %1, could not be backed up")
                               .arg(address);
        ++m_at;
        nextBackup();
    };
    if (set.answered() == 0) {
        fail(QStringLiteral("drive %1 answered for no parameter: nothing was saved").arg(address));
        return;
    }
    QString why;
    const QString path = m_site.layout().create(
        SiteLayout::Kind::ParameterSets, m_line, address, SiteOutputs::backupWhat(),
        SiteOutputs::backupExtension(), QDateTime::currentDateTime(), &why);
    if (path.isEmpty()) {
        fail(QStringLiteral("the backup could not be saved: %1").arg(why));
        return;
    }
    if (const QString error = ParamSetFile::Save(set, path); !error.isEmpty()) {
        fail(QStringLiteral("the backup could not be saved: %1").arg(error));
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (missing > 0 || read->driveLost()) {
        fail(QStringLiteral("%1 not answered: saved, not taken as the reference")
                 .arg(NumberText::Counted(missing, "parameter", "parameters")),
             name);
        return;
    }
    m_known.insert(address, Known{set, QDateTime::currentDateTime()});
    QString text = QStringLiteral("%1 parameters read").arg(set.answered());
    if (ref) {
        takeAsReference(*ref, set);
        if (ref->set && ref->refusal.isEmpty())
            text += QStringLiteral("; the reference %1").arg(ref->file);
    }
    // A reference that does not take the set fails its row's clones, not
    // the backup: the drive's own steps go on.
    if (ref && !ref->refusal.isEmpty())
        text += QStringLiteral("; not taken as %1").arg(ref->file);
    endStep(address, Step::Backup, Outcome::Done, text, name);
    ++m_at;
    nextBackup();
}
