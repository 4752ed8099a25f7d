// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteStatus.h"

#include "BoundedRead.h"
#include "CloneJob.h"
#include "ParamSetFile.h"
#include "SiteJournaling.h"
#include "TestRunResult.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>

namespace {

// A test run file larger than this is not one this program wrote.
constexpr qint64 kTestRunFileLimit = 64 << 20;

QJsonValue orNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue timeOrNull(const QDateTime& time)
{
    return time.isValid() ? QJsonValue(time.toString(Qt::ISODate)) : QJsonValue();
}

// The drive's newest backup against its reference set; writes journaled
// since the backup make it stale.
void compareParameters(SiteDriveStatus& row, const SiteFolder& site, const SiteLine& line,
                       const QList<JournalEntry>& journal)
{
    row.reference = site.referencePath(line, row.address);
    row.backup = site.newest(SiteLayout::Kind::ParameterSets, line.name, row.address,
                             SiteOutputs::backupWhat(), SiteOutputs::backupExtension());
    row.backupTime = SiteStatus::timeOfName(row.backup);
    if (row.reference.isEmpty()) {
        row.parameters = SiteDriveStatus::Parameters::NoReference;
        return;
    }
    const ParamSetFile::LoadResult reference = ParamSetFile::Load(row.reference);
    if (!reference.set) {
        row.parameters = SiteDriveStatus::Parameters::ReferenceUnreadable;
        row.parametersProblem =
            QStringLiteral("%1%2: %3")
                .arg(QFileInfo(row.reference).fileName(),
                     reference.line > 0 ? QStringLiteral(", line %1").arg(reference.line)
                                        : QString(),
                     reference.error);
        return;
    }
    if (row.backup.isEmpty()) {
        row.parameters = SiteDriveStatus::Parameters::NotRead;
        return;
    }
    // The name holds the second the backup was made: a write within that
    // second counts as after it, so a doubt says "not read" rather than "matches".
    for (const JournalEntry& e : journal) {
        if (e.kind == JournalEntry::Kind::Write && e.line == line.name && e.drive == row.address &&
            e.outcome != JournalEntry::Outcome::Refused && e.time.toUTC() >= row.backupTime) {
            row.parameters = SiteDriveStatus::Parameters::NotReadSinceWrite;
            return;
        }
    }
    const ParamSetFile::LoadResult backup = ParamSetFile::Load(row.backup);
    if (!backup.set) {
        row.parameters = SiteDriveStatus::Parameters::NotRead;
        row.parametersProblem =
            QStringLiteral("%1: %2").arg(QFileInfo(row.backup).fileName(), backup.error);
        return;
    }
    ParamSet wanted = *reference.set;
    for (const quint16 reg : CloneJob::DefaultLeaveOut())
        wanted.values.remove(reg);
    row.parameters = SiteDriveStatus::Parameters::Compared;
    for (const ParamDifference& d : CompareSets(*backup.set, wanted)) {
        const auto it = backup.set->values.constFind(d.reg);
        if (d.right && (it == backup.set->values.cend() || !it->hasValue()))
            ++row.notAnswered;
        else if (d.right)
            ++row.differences;
        // A value the reference does not hold is no difference from it.
    }
}

void lastTestRun(SiteDriveStatus& row, const SiteFolder& site, const SiteLine& line)
{
    row.testRunFile = site.newest(SiteLayout::Kind::TestRuns, line.name, row.address,
                                  SiteOutputs::testRunWhat(), SiteOutputs::testRunExtension());
    row.testRunTime = SiteStatus::timeOfName(row.testRunFile);
    if (row.testRunFile.isEmpty())
        return;
    const BoundedRead read = readFileAtMost(row.testRunFile, kTestRunFileLimit);
    QJsonObject o;
    if (read.outcome == BoundedRead::Outcome::Read)
        o = QJsonDocument::fromJson(read.bytes).object();
    // As testrun -o writes it, or the whole --json document of a run.
    if (o.contains(QStringLiteral("testRun")))
        o = o.value(QStringLiteral("testRun")).toObject();
    QString problem;
    const std::optional<TestRunResult> run = TestRunResult::fromJson(o, &problem);
    if (!run) {
        row.testRun = QStringLiteral("not readable");
        return;
    }
    row.testRun = SiteJournaling::testRunWord(*run);
    row.testRunFailed = row.testRun.startsWith(QStringLiteral("failed"));
    if (run->ended.isValid())
        row.testRunTime = run->ended.toUTC();
}

// The newest file of the drive or of its whole line, whichever came later.
void newestOf(const SiteFolder& site, const SiteLine& line, quint8 address, SiteLayout::Kind kind,
              const QString& what, const QString& extension, QString& file, QDateTime& time)
{
    const QString own = site.newest(kind, line.name, address, what, extension);
    const QString whole = site.newest(kind, line.name, 0, what, extension);
    const QDateTime ownTime = SiteStatus::timeOfName(own);
    const QDateTime wholeTime = SiteStatus::timeOfName(whole);
    const bool takeWhole = !whole.isEmpty() && (own.isEmpty() || wholeTime > ownTime);
    file = takeWhole ? whole : own;
    time = takeWhole ? wholeTime : ownTime;
}

} // namespace

void SiteDriveStatus::takeWhatTheDriveSaid(const SiteDriveStatus& newer)
{
    asked = newer.asked;
    answered = newer.answered;
    edition = newer.edition;
    readiness = newer.readiness;
    running = newer.running;
    reverse = newer.reverse;
    fault = newer.fault;
    faultNumber = newer.faultNumber;
    faultText = newer.faultText;
}

QString SiteDriveStatus::label() const
{
    return name.isEmpty() ? QString::number(address) : name;
}

QString SiteDriveStatus::readinessText() const
{
    if (!asked)
        return QStringLiteral("not read");
    if (!readiness.known())
        return QStringLiteral("no answer");
    return readiness.ready() ? QStringLiteral("ready") : readiness.note();
}

QString SiteDriveStatus::stateText() const
{
    if (!asked)
        return QStringLiteral("not read");
    if (!answered)
        return QStringLiteral("no answer");
    QString text = running
                       ? (reverse ? QStringLiteral("run reverse") : QStringLiteral("run forward"))
                       : QStringLiteral("stop");
    if (fault)
        text += QStringLiteral(", fault: ") + faultText;
    return text;
}

QString SiteDriveStatus::parametersText() const
{
    switch (parameters) {
    case Parameters::NoReference:
        return QStringLiteral("no reference");
    case Parameters::ReferenceUnreadable:
        return QStringLiteral("reference not readable");
    case Parameters::NotRead:
        return QStringLiteral("not read");
    case Parameters::NotReadSinceWrite:
        return QStringLiteral("not read since the last write");
    case Parameters::Compared:
        break;
    }
    if (differences == 0 && notAnswered == 0)
        return QStringLiteral("matches");
    QStringList parts;
    if (differences > 0)
        parts << QStringLiteral("%1 differ").arg(differences);
    if (notAnswered > 0)
        parts << QStringLiteral("%1 not answered").arg(notAnswered);
    return parts.join(QStringLiteral(", "));
}

QString SiteDriveStatus::fileText(const QString& path, const QDateTime& time)
{
    if (path.isEmpty())
        return QStringLiteral("none");
    return QStringLiteral("%1 (%2)").arg(
        QFileInfo(path).fileName(),
        time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QStringList SiteDriveStatus::attentionReasons() const
{
    QStringList reasons;
    if (asked && answered && fault)
        reasons << QStringLiteral("fault: ") + faultText;
    if (asked && readiness.known() && !readiness.ready())
        reasons << QStringLiteral("not ready: ") + readiness.note();
    if (parameters == Parameters::Compared && differences > 0)
        reasons << QStringLiteral("%1 parameters differ from the reference").arg(differences);
    if (testRunFailed)
        reasons << QStringLiteral("test run ") + testRun;
    return reasons;
}

bool SiteDriveStatus::attention() const
{
    return !attentionReasons().isEmpty();
}

QJsonObject SiteDriveStatus::json() const
{
    QJsonObject o{{QStringLiteral("line"), line},
                  {QStringLiteral("drive"), int(address)},
                  {QStringLiteral("name"), orNull(name)},
                  {QStringLiteral("asked"), asked},
                  {QStringLiteral("answered"), answered},
                  {QStringLiteral("parameters"), parametersText()},
                  {QStringLiteral("differences"),
                   parameters == Parameters::Compared ? QJsonValue(differences) : QJsonValue()},
                  {QStringLiteral("reference"), orNull(QFileInfo(reference).fileName())},
                  {QStringLiteral("backup"), orNull(backup)},
                  {QStringLiteral("backupTime"), timeOrNull(backupTime)},
                  {QStringLiteral("testRun"), testRun},
                  {QStringLiteral("testRunFile"), orNull(testRunFile)},
                  {QStringLiteral("testRunTime"), timeOrNull(testRunTime)},
                  {QStringLiteral("recording"), orNull(recordingFile)},
                  {QStringLiteral("recordingTime"), timeOrNull(recordingTime)},
                  {QStringLiteral("report"), orNull(reportFile)},
                  {QStringLiteral("reportTime"), timeOrNull(reportTime)},
                  {QStringLiteral("attention"), attention()},
                  {QStringLiteral("reasons"), QJsonArray::fromStringList(attentionReasons())}};
    if (!parametersProblem.isEmpty())
        o.insert(QStringLiteral("parametersProblem"), parametersProblem);
    if (asked && answered) {
        // As the drive shows it (2.10), not as a float widened (2.0999...).
        o.insert(QStringLiteral("edition"),
                 edition ? QJsonValue(std::round(*edition * 100) / 100) : QJsonValue());
        o.insert(QStringLiteral("state"), running ? QStringLiteral("run") : QStringLiteral("stop"));
        o.insert(QStringLiteral("direction"),
                 reverse ? QStringLiteral("reverse") : QStringLiteral("forward"));
        o.insert(QStringLiteral("fault"), fault);
        o.insert(QStringLiteral("faultText"), faultText);
        o.insert(QStringLiteral("ready"),
                 readiness.known() ? QJsonValue(readiness.ready()) : QJsonValue());
        o.insert(QStringLiteral("readiness"), readinessText());
    }
    return o;
}

namespace SiteStatus {

QDateTime timeOfName(const QString& path)
{
    static const QRegularExpression stamp(QStringLiteral("-(\\d{8}T\\d{6})Z"));
    const QRegularExpressionMatch m = stamp.match(QFileInfo(path).fileName());
    if (!m.hasMatch())
        return {};
    QDateTime t = QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMdd'T'HHmmss"));
    t.setTimeZone(QTimeZone::utc());
    return t;
}

QList<SiteDriveStatus> fromFiles(const SiteFolder& site, const SiteLine& line)
{
    const JournalReading journal = Journal::read(site.layout().journalPath());
    QList<SiteDriveStatus> rows;
    for (const SiteDrive& d : line.drives) {
        SiteDriveStatus row;
        row.line = line.name;
        row.address = d.address;
        row.name = d.name;
        row.readiness.address = d.address;
        compareParameters(row, site, line, journal.entries);
        lastTestRun(row, site, line);
        newestOf(site, line, d.address, SiteLayout::Kind::Recordings, SiteOutputs::recordingWhat(),
                 SiteOutputs::recordingExtension(), row.recordingFile, row.recordingTime);
        newestOf(site, line, d.address, SiteLayout::Kind::Reports, SiteOutputs::reportWhat(),
                 SiteOutputs::reportExtension(), row.reportFile, row.reportTime);
        rows << row;
    }
    return rows;
}

QList<SiteDriveStatus> fromFiles(const SiteFolder& site)
{
    QList<SiteDriveStatus> rows;
    for (const SiteLine& line : site.site().lines)
        rows += fromFiles(site, line);
    return rows;
}

QStringList columnTitles()
{
    return {QStringLiteral("Line"),       QStringLiteral("Drive"),     QStringLiteral("Name"),
            QStringLiteral("Edition"),    QStringLiteral("Readiness"), QStringLiteral("State"),
            QStringLiteral("Parameters"), QStringLiteral("Test run"),  QStringLiteral("Recording"),
            QStringLiteral("Report"),     QStringLiteral("Attention")};
}

QStringList rowTexts(const SiteDriveStatus& row)
{
    const QString edition = row.edition ? QString::number(*row.edition, 'f', 2)
                            : row.asked ? QStringLiteral("—")
                                        : QStringLiteral("not read");
    return {row.line,
            QString::number(row.address),
            row.name.isEmpty() ? QStringLiteral("—") : row.name,
            edition,
            row.readinessText(),
            row.stateText(),
            row.parametersText(),
            row.testRun,
            SiteDriveStatus::fileText(row.recordingFile, row.recordingTime),
            SiteDriveStatus::fileText(row.reportFile, row.reportTime),
            row.attention() ? row.attentionReasons().join(QStringLiteral("; ")) : QString()};
}

} // namespace SiteStatus
