// SPDX-License-Identifier: GPL-3.0-or-later
// What the window marks as not current: the values a silent drive left behind,
// and a typed frequency that has not been taken yet.
#include "NumberText.h"
#include "RunningValues.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "demo.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QColor kStaleText(Qt::gray);
// The background of a frequency box whose text is not the value being sent.
const QColor kUnsentBase(255, 236, 150);

} // namespace

void demo::paintRole(QLineEdit* box, QPalette::ColorRole role, const std::optional<QColor>& colour)
{
    // The box's own colour is kept the first time it is changed, so it can
    // come back exactly as it was built.
    if (!m_freshLook.contains(box))
        m_freshLook.insert(box, box->palette());
    QPalette palette = box->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, colour.value_or(m_freshLook.value(box).color(group, role)));
    box->setPalette(palette);
}

std::array<QLineEdit*, RunningValues::CountSet + 1> demo::valueBoxes() const
{
    return {Text24, Text25, Text3,  Text6,  Text7,  Text8,  Text9,  Text10, Text11, Text12,
            Text13, Text14, Text15, Text16, Text17, Text18, Text19, Text20, Text21};
}

void demo::showStale(bool stale)
{
    showFreshness();
    const std::optional<quint8> drive = m_monitor.shownDrive();
    StatusBar1->setNotice(stale && drive ? tr("Drive %1: no answer since %2")
                                               .arg(*drive)
                                               .arg(m_monitor.silentSince().time().toString(
                                                   QStringLiteral("HH:mm:ss")))
                                         : QString());
}

void demo::showFreshness()
{
    // Nothing is cleared: the user sees the last values and that they are old.
    const bool silent = m_monitor.stale();
    auto mark = [&](QLineEdit* box, bool outdated) {
        paintRole(box, QPalette::Text,
                  silent || outdated ? std::optional(kStaleText) : std::nullopt);
    };
    const auto boxes = valueBoxes();
    for (std::size_t index = 0; index < boxes.size(); ++index)
        mark(boxes[index], m_monitor.outdated(int(index)));
    // The two choosers' boxes show whichever value was chosen.
    mark(Text22, FaultRecordSelect != 0 && m_monitor.outdated(FaultRecordSelect));
    mark(Text23, LastErrorValueSelect != 0 && m_monitor.outdated(LastErrorValueSelect));
    const bool stateOld = m_monitor.statusOutdated();
    for (QLineEdit* box : {Text29, Text30, Text4})
        mark(box, stateOld);
    StatusBar1->panel(StatusPanels::RunState)->setEnabled(!silent && !stateOld);
}

void demo::judgeFreshness()
{
    // One sweep is the whole poll schedule at the poll timer's rhythm.
    m_monitor.setSweepMs(qint64(Timer1->interval()) * Hexedit::PollItemCount);
    m_monitor.checkFreshness();
}

void demo::showUnsent(QLineEdit* box)
{
    // A typed frequency is taken when editing ends; until then the drive runs
    // at the value taken before, and the box must not pass for it.
    const QString& taken = box == Text1 ? m_forwardFrequency : m_reverseFrequency;
    const std::optional<double> shown = NumberText::ParseDecimal(box->text());
    const bool unsent = !shown || shown != NumberText::ParseDecimal(taken);
    paintRole(box, QPalette::Base, unsent ? std::optional(kUnsentBase) : std::nullopt);
    box->setToolTip(unsent ? tr("not sent yet: press Enter") : QString());
}

double demo::RhythmNumber(const QString& text)
{
    // A pasted number may come with blanks in front; they are no part of it.
    qsizetype first = 0;
    while (first < text.size() && (text[first] == u' ' || text[first] == u'\t'))
        ++first;
    return Tab::LeadingNumber(text.sliced(first).toStdString());
}
