// SPDX-License-Identifier: GPL-3.0-or-later
// The checks of a finished test run, each with what was measured.
#include "NumberText.h"
#include "ParamSet.h"
#include "RecordValues.h"
#include "TestRun.h"

#include <cmath>

namespace {

QString hzText(double hz)
{
    return NumberText::Fixed2(hz) + QStringLiteral(" Hz");
}

QString secondsText(double s)
{
    return QString::number(s, 'f', 1) + QStringLiteral(" s");
}

QString directionText(bool reverse)
{
    return reverse ? QStringLiteral("reverse") : QStringLiteral("forward");
}

// " A" for the current, "" for a value without unit.
QString unitOf(const QString& key)
{
    const std::optional<RecordValue> value = RecordValues::byKey(key);
    return value && *value->unit ? u' ' + QString::fromUtf8(value->unit) : QString();
}

} // namespace

void TestRun::addChecks()
{
    TestRunResult& r = m_result;
    const Readiness& ready = r.readiness;
    auto sourceText = [](const std::optional<quint16>& v) {
        return v ? QString::number(*v) : QStringLiteral("no answer");
    };
    r.checks << TestRunCheck{
        QStringLiteral("Readiness"),
        QStringLiteral("P0.04 = 2 (serial line), P0.01 = 3 (serial line)"),
        QStringLiteral("P0.04 = %1, P0.01 = %2")
            .arg(sourceText(ready.runSource), sourceText(ready.frequencySource)),
        ready.ready()};
    if (!ready.ready())
        r.checks.last().failure =
            QStringLiteral("the drive will ignore the line (%1)").arg(r.checks.last().measured);
    if (!r.sentAnything)
        return;

    const double tolerance = toleranceHz(r.plan.hz);
    for (bool reverse : {false, true}) {
        if (reverse && !r.plan.reverse)
            continue;
        const Reached& seen = reverse ? m_reverse : m_forward;
        const double expected = expectedRampS(reverse);
        const double earliest = std::max(0.0, expected * 0.5 - 1.0);
        const double latest = expected * 1.5 + 3.0;
        const QString dir = directionText(reverse);
        TestRunCheck reached{QStringLiteral("Frequency reached (%1)").arg(dir),
                             QStringLiteral("%1 ± %2 within %3 to %4 (P0.14 = %5%6)")
                                 .arg(hzText(r.plan.hz), hzText(tolerance), secondsText(earliest),
                                      secondsText(latest), secondsText(r.accelerationS.value_or(0)),
                                      reverse ? QStringLiteral(", P0.15 = %1 from the forward run")
                                                    .arg(secondsText(r.decelerationS.value_or(0)))
                                              : QString()),
                             QString(), false};
        // A direction the run ended before (cancelled, or lost on the way
        // for another reason) was not reached; one that ran out of time
        // failed.
        const bool cutShort = !r.completed && !seen.rampTimedOut;
        if (!seen.tried) {
            reached.measured = QStringLiteral("not run: the run had ended");
            reached.reached = false;
        } else if (!seen.afterS) {
            reached.measured = QStringLiteral("not reached (highest %1)").arg(hzText(seen.highest));
            reached.reached = !cutShort;
            reached.failure = QStringLiteral("%1 %2 not reached, highest %3")
                                  .arg(dir, hzText(r.plan.hz), hzText(seen.highest));
        } else {
            reached.measured =
                QStringLiteral("%1 after %2").arg(hzText(seen.hz), secondsText(*seen.afterS));
            reached.passed = *seen.afterS >= earliest && *seen.afterS <= latest;
            reached.failure = QStringLiteral("%1 %2 reached after %3, expected within %4 to %5")
                                  .arg(dir, hzText(r.plan.hz), secondsText(*seen.afterS),
                                       secondsText(earliest), secondsText(latest));
        }
        if (reached.passed || !reached.reached)
            reached.failure.clear();
        r.checks << reached;
        TestRunCheck direction{
            QStringLiteral("Direction (%1)").arg(dir),
            QStringLiteral("the drive reports %1 at the set frequency").arg(dir),
            seen.afterS ? QStringLiteral("%1 reported").arg(directionText(seen.reportedReverse))
                        : QStringLiteral("not reached"),
            seen.afterS && seen.reportedReverse == reverse};
        direction.reached = seen.afterS || !cutShort;
        if (!direction.passed && direction.reached)
            direction.failure =
                seen.afterS ? QStringLiteral("run %1, the drive reported %2")
                                  .arg(dir, directionText(seen.reportedReverse))
                            : QStringLiteral("%1 %2 not reached").arg(dir, hzText(r.plan.hz));
        r.checks << direction;
        const double holdS = r.plan.holdMs / 1000.0;
        TestRunCheck held{
            QStringLiteral("Held (%1)").arg(dir),
            QStringLiteral("%1 held for %2").arg(hzText(r.plan.hz), secondsText(holdS)),
            seen.afterS ? QStringLiteral("held %1").arg(secondsText(seen.heldS))
                        : QStringLiteral("not reached"),
            false};
        held.passed = seen.afterS && seen.heldS * 1000 >= r.plan.holdMs;
        if (!held.passed && cutShort) {
            held.reached = false;
            if (seen.afterS)
                held.measured +=
                    QStringLiteral(" of %1: the run ended first").arg(secondsText(holdS));
        }
        if (!held.passed && held.reached)
            held.failure =
                seen.afterS
                    ? QStringLiteral("%1 %2 held %3 of %4")
                          .arg(dir, hzText(r.plan.hz), secondsText(seen.heldS), secondsText(holdS))
                    : QStringLiteral("%1 %2 not reached, so not held").arg(dir, hzText(r.plan.hz));
        r.checks << held;
    }

    r.checks << TestRunCheck{QStringLiteral("No trip"), QStringLiteral("no fault during the run"),
                             m_trip ? QStringLiteral("%1 at %2")
                                          .arg(r.endReason.section(QStringLiteral(": "), 1),
                                               secondsText(m_trip->seconds))
                                    : QStringLiteral("none"),
                             !m_trip};
    if (m_trip)
        r.checks.last().failure = QStringLiteral("tripped: %1").arg(r.checks.last().measured);

    for (const ExpectLimit& limit : r.plan.limits) {
        const int column = int(r.keys.indexOf(limit.key));
        std::optional<double> worst;
        for (int i = 0; i < r.samples.size(); ++i) {
            const double v = r.samples[i].values.value(column, std::nan(""));
            if (std::isnan(v) || (!limit.upper() && !m_holding.value(i)))
                continue;
            if (!worst || (limit.upper() ? v > *worst : v < *worst))
                worst = v;
        }
        const QString unit = unitOf(limit.key);
        TestRunCheck c{QStringLiteral("Limit %1%2").arg(limit.text(), unit),
                       limit.upper() ? QStringLiteral("every sample of the run")
                                     : QStringLiteral("every sample at the set frequency"),
                       QString(), false};
        if (!worst) {
            c.measured = QStringLiteral("no sample");
            c.failure = QStringLiteral("no sample of %1 to check its limit").arg(limit.key);
        } else {
            const QString value = NumberText::Plain(float(*worst)) + unit;
            c.measured = QStringLiteral("%1 %2").arg(
                limit.upper() ? QStringLiteral("highest") : QStringLiteral("lowest"), value);
            c.passed = limit.holds(*worst);
            if (!c.passed)
                c.failure = QStringLiteral("%1 %2 %3, limit %4")
                                .arg(limit.key,
                                     limit.upper() ? QStringLiteral("peaked at")
                                                   : QStringLiteral("fell to"),
                                     value, NumberText::ParameterValue(limit.bound) + unit);
        }
        r.checks << c;
    }

    const double lastHz = r.samples.isEmpty() ? std::nan("") : r.samples.last().values.value(0);
    // STOP lets the drive ramp down or coast: a frequency above nothing at
    // the last sample is the motor still slowing, not a STOP ignored.
    QString stopped = QStringLiteral("STOP not answered");
    if (r.stopAnswered)
        stopped = std::isnan(lastHz) || std::fabs(lastHz) < 0.005
                      ? QStringLiteral("STOP answered")
                      : QStringLiteral("STOP answered; still coasting down, %1 at the last sample")
                            .arg(hzText(lastHz));
    r.checks << TestRunCheck{QStringLiteral("Stopped"), QStringLiteral("the drive answers STOP"),
                             stopped, r.stopAnswered};
    if (!r.stopAnswered)
        r.checks.last().failure = QStringLiteral("the drive did not answer STOP");
}
