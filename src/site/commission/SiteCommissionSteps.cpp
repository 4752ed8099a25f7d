// SPDX-License-Identifier: GPL-3.0-or-later
// The reference a source drive's read becomes, the row's clones, its test
// runs and the report.
#include "CloneJob.h"
#include "CommissionReport.h"
#include "Destination.h"
#include "DriveSurvey.h"
#include "LinkClient.h"
#include "NumberText.h"
#include "ParamSetFile.h"
#include "SiteCommission.h"
#include "SiteJournaling.h"
#include "SiteStatus.h"
#include "TestRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace {

// Who the journal names for what the job sent.
const QString kTool = QStringLiteral("commission");

// The set a clone target holds afterwards, when every parameter of it is
// known: as read for the preview, with what each write read back. A write
// whose read-back went unheard leaves the drive unknown.
std::optional<ParamSet> setAfter(const CloneJob::Target& t)
{
    ParamSet set = t.before;
    for (const WriteItem& w : t.writes) {
        if (w.outcome == WriteItem::Outcome::Written ||
            w.outcome == WriteItem::Outcome::ReadBackDiffers) {
            if (!w.readBack)
                return std::nullopt;
            set.values[w.reg] = ParamValue{ParamValue::State::Value, *w.readBack};
        } else if (w.outcome != WriteItem::Outcome::Refused &&
                   w.outcome != WriteItem::Outcome::NotWritten) {
            return std::nullopt;
        }
    }
    for (const quint16 reg : ParamCatalogue::offeredRegisters()) {
        // A reserved parameter holds nothing to compare: the preview leaves
        // it out, a whole read would record it as such.
        if (!set.values.contains(reg) && ParamCatalogue::reserved(reg))
            set.values.insert(reg, ParamValue{ParamValue::State::Reserved, 0});
        if (!set.values.contains(reg) ||
            !(set.values[reg].hasValue() || set.values[reg].state == ParamValue::State::Reserved))
            return std::nullopt;
    }
    return set;
}

} // namespace

void SiteCommission::takeAsReference(Reference& ref, const ParamSet& set)
{
    const QString path =
        QDir(m_site.layout().folder(SiteLayout::Kind::ParameterSets)).filePath(ref.file);
    if (!QFileInfo::exists(path)) {
        // Made exclusively: a file that appeared meanwhile is not replaced.
        QFile file(path);
        const QByteArray bytes = ParamSetFile::ToCsv(set);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            ref.refusal = QStringLiteral("the reference %1 could not be made: %2")
                              .arg(ref.file, file.errorString());
            if (file.isOpen())
                file.remove();
            return;
        }
        ref.set = set;
        return;
    }
    const ParamSetFile::LoadResult loaded = ParamSetFile::Load(path);
    if (!loaded.set) {
        ref.refusal =
            QStringLiteral("the reference %1 cannot be read: %2").arg(ref.file, loaded.error);
        return;
    }
    ParamSet wanted = *loaded.set;
    for (const quint16 reg : CloneJob::DefaultLeaveOut())
        wanted.values.remove(reg);
    const QList<ParamDifference> differs = CompareSets(wanted, set);
    if (differs.isEmpty()) {
        ref.set = set;
        return;
    }
    QStringList numbers;
    for (const ParamDifference& p : differs.mid(0, 5))
        numbers << ParamCatalogue::number(p.reg);
    ref.refusal =
        QStringLiteral("drive %1 differs from its reference %2 in %3 (%4%5), which is "
                       "never replaced: name a new reference for the row, or set the "
                       "drive back; nothing was written to the row")
            .arg(*ref.source)
            .arg(ref.file, NumberText::Counted(int(differs.size()), "parameter", "parameters"),
                 numbers.join(QStringLiteral(", ")),
                 differs.size() > 5 ? QStringLiteral(", ...") : QString());
}

void SiteCommission::nextClone()
{
    while (m_at < m_references.size()) {
        Reference& ref = m_references[m_at];
        QList<quint8> targets;
        for (const quint8 a : std::as_const(ref.targets))
            if (live(a))
                targets << a;
        if (targets.isEmpty()) {
            ++m_at;
            continue;
        }
        if (!ref.set) {
            for (const quint8 a : targets)
                endStep(a, Step::Clone, Outcome::Failed, ref.refusal);
            ++m_at;
            continue;
        }
        for (const quint8 a : targets)
            begin(a, Step::Clone);
        m_clone = new CloneJob(m_client, *ref.set, targets, this);
        m_clone->writesAllowed = writesAllowed;
        // Each target's writes are journaled as they end, not at the row's end.
        connect(m_clone, &CloneJob::targetWritten, this, [this](int index) {
            journaled(SiteJournaling::recordCloneTarget(m_site, kTool, m_line,
                                                        m_clone->targets()[index]));
        });
        connect(m_clone, &CloneJob::progress, this,
                [this](const QString& what, int done, int total) {
                    emit progress(QStringLiteral("%1: %2 of %3").arg(what).arg(done).arg(total));
                });
        connect(m_clone, &CloneJob::previewReady, this, [this] {
            if (m_cancelled) {
                cloned(m_references[m_at]);
                return;
            }
            m_clone->apply();
        });
        connect(m_clone, &CloneJob::finished, this, [this] { cloned(m_references[m_at]); });
        m_clone->preview();
        return;
    }
    if (m_cancelled) {
        end();
        return;
    }
    for (const quint8 a : std::as_const(m_drives))
        if (live(a))
            m_toRun << a;
    nextRuns();
}

void SiteCommission::cloned(Reference& ref)
{
    CloneJob* job = m_clone;
    m_clone = nullptr;
    job->deleteLater();
    for (const CloneJob::Target& t : job->targets()) {
        if (t.readFailed) {
            endStep(t.address, Step::Clone, Outcome::Failed,
                    QStringLiteral("drive %1 did not answer the reading before the writes: "
                                   "nothing written")
                        .arg(t.address));
            continue;
        }
        if (t.restoreSummary.isEmpty()) {
            endStep(t.address, Step::Clone, Outcome::NotReached,
                    QStringLiteral("cancelled before its writes"));
            continue;
        }
        const bool done = t.restoreComplete && t.differencesAfter == 0 && t.unansweredAfter == 0;
        if (done) {
            if (const std::optional<ParamSet> after = setAfter(t))
                m_known.insert(t.address, Known{*after, QDateTime::currentDateTime()});
            endStep(t.address, Step::Clone, Outcome::Done,
                    t.writes.isEmpty()
                        ? QStringLiteral("matched %1 already").arg(ref.file)
                        : QStringLiteral("%1 of %2, each read back")
                              .arg(NumberText::Counted(int(t.writes.size()), "write", "writes"),
                                   ref.file));
        } else {
            QString why = t.restoreSummary;
            if (const QString verified = CloneJob::VerifyLine(t); !verified.isEmpty())
                why += u' ' + verified;
            for (const QString& left : t.plan.leftOut)
                why += QStringLiteral(" Left out %1.").arg(left);
            endStep(t.address, Step::Clone, Outcome::Failed, why.simplified());
        }
    }
    if (m_cancelled) {
        end();
        return;
    }
    ++m_at;
    nextClone();
}

void SiteCommission::nextRuns()
{
    while (!m_cancelled && m_runs.size() < m_parallel && !m_toRun.isEmpty()) {
        const quint8 a = m_toRun.takeFirst();
        TestRunPlan plan = m_plan;
        plan.address = a;
        begin(a, Step::TestRun);
        // No confirmFault: a drive that reports a fault is refused, not asked about.
        auto* run = new TestRun(m_client, plan, this);
        m_runs << run;
        connect(run, &TestRun::progress, this, [this, a](const QString& text) {
            emit progress(QStringLiteral("Drive %1: %2").arg(a).arg(text));
        });
        // The first sample follows the first run command.
        connect(run, &TestRun::sampled, this, [this, run, a] {
            if (!run->result().sentAnything || m_runStarted.contains(a))
                return;
            m_runStarted << a;
            journaled(SiteJournaling::recordRunStarted(
                m_site, kTool, m_line, a, SiteJournaling::testRunCommand(run->result().plan)));
        });
        connect(run, &TestRun::finished, this, [this, run] { ranOne(run); });
        run->start();
    }
    if (m_runs.isEmpty()) {
        if (m_cancelled)
            end();
        else
            report();
    }
}

void SiteCommission::ranOne(TestRun* run)
{
    m_runs.removeOne(run);
    run->deleteLater();
    const TestRunResult& r = run->result();
    m_results << r;
    const quint8 a = r.plan.address;
    if (DriveSummary* s = driveOf(a))
        s->run = r;
    QString why;
    QString path = m_site.layout().create(
        SiteLayout::Kind::TestRuns, m_line, a, SiteOutputs::testRunWhat(),
        SiteOutputs::testRunExtension(),
        r.started.isValid() ? r.started : QDateTime::currentDateTime(), &why);
    if (!path.isEmpty())
        why = saveWhole(path, QJsonDocument(r.json()).toJson());
    const QString name = why.isEmpty() ? QFileInfo(path).fileName() : QString();
    if (r.sentAnything)
        journaled(SiteJournaling::recordRunStopped(
            m_site, kTool, m_line, a,
            r.stopAnswered ? QStringLiteral("STOP") : QStringLiteral("STOP: no answer")));
    journaled(SiteJournaling::recordTestRun(m_site, kTool, m_line, r, name));
    if (!why.isEmpty())
        endStep(a, Step::TestRun, Outcome::Failed,
                QStringLiteral("%1 (%2); the run could not be saved: %3")
                    .arg(r.verdict(), r.endReason, why));
    else if (r.cancelled && !r.sentAnything)
        endStep(a, Step::TestRun, Outcome::NotReached, r.endReason, name);
    else
        endStep(a, Step::TestRun, r.passed() ? Outcome::Done : Outcome::Failed,
                r.passed() ? QStringLiteral("passed") : r.endReason, name);
    nextRuns();
}

void SiteCommission::report()
{
    begin(0, Step::Report);
    QString why;
    m_reportPath =
        m_site.layout().create(SiteLayout::Kind::Reports, m_line, 0, SiteOutputs::reportWhat(),
                               SiteOutputs::reportExtension(), QDateTime::currentDateTime(), &why);
    if (m_reportPath.isEmpty()) {
        for (const quint8 a : std::as_const(m_drives))
            endStep(a, Step::Report, Outcome::Failed,
                    QStringLiteral("the report could not be made: %1").arg(why));
        end();
        return;
    }
    emit progress(QStringLiteral("Reading the drives for the report"));
    m_survey = new DriveSurvey(m_client, m_drives, this);
    const QDateTime oldest = QDateTime::currentDateTime().addSecs(-kRecentReadS);
    for (auto it = m_known.cbegin(); it != m_known.cend(); ++it)
        if (it->at >= oldest) {
            m_survey->setKnownSet(it.key(), it->set);
            m_reused << it.key();
        }
    connect(m_survey, &DriveSurvey::progress, this,
            [this](const QString& text, int, int) { emit progress(text); });
    connect(m_survey, &DriveSurvey::finished, this, &SiteCommission::reported);
    m_survey->start();
}

void SiteCommission::reported()
{
    DriveSurvey* survey = m_survey;
    m_survey = nullptr;
    survey->deleteLater();
    if (m_cancelled) {
        // The name was taken for this report alone; nothing is in it.
        QFile::remove(m_reportPath);
        m_reportPath.clear();
        end();
        return;
    }
    ReportInput input;
    input.site = m_site.site().name;
    input.technician = m_site.site().technician;
    input.portName = m_client.link().port().portName();
    input.lineSettings = m_client.link().port().settings();
    input.made = QDateTime::currentDateTime();
    input.drives = survey->records();
    input.runs = m_results;
    const QString error = CommissionReport::Write(input, m_reportPath);
    const QString name = QFileInfo(m_reportPath).fileName();
    for (const DriveRecord& d : input.drives) {
        if (!error.isEmpty())
            endStep(d.address, Step::Report, Outcome::Failed, error);
        else if (!d.answered)
            endStep(d.address, Step::Report, Outcome::Failed,
                    QStringLiteral("did not answer for the report; it says so"), name);
        else
            endStep(d.address, Step::Report, Outcome::Done, QStringLiteral("in %1").arg(name),
                    name);
    }
    end();
}

void SiteCommission::journaled(const QString& problem)
{
    if (!problem.isEmpty())
        emit progress(problem);
}

void SiteCommission::end()
{
    if (!m_running)
        return;
    m_running = false;
    emit finished();
}
