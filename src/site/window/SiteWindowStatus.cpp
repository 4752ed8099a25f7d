// SPDX-License-Identifier: GPL-3.0-or-later
// The Site window's status columns, the mark of a drive that needs
// attention, and the drives read gently while the window shows.
#include "LinkClient.h"
#include "ShownText.h"
#include "SiteWindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTableWidget>

namespace {

// Between two readings of the line's drives: the state of a row is a glance,
// not a watch, and the line is the other tools' first.
constexpr int kReadAgainMs = 5000;

QString when(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                          : QString();
}

// "passed (2026-12-10 05:30)", "none"; the file's name goes to the tip.
QString fileCell(const QString& text, const QString& path, const QDateTime& time)
{
    if (path.isEmpty())
        return text.isEmpty() ? QCoreApplication::translate("SiteWindow", "none") : text;
    const QString at = when(time);
    return text.isEmpty() ? at : at.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, at);
}

} // namespace

void SiteWindow::fillStatus(int row)
{
    const SiteDriveStatus& s = m_rows.at(row);
    const QStringList texts = ShownText::of(SiteStatus::rowTexts(s), "SiteStatus");
    for (int c = EditionColumn; c <= ParametersColumn; ++c) {
        table->item(row, c)->setText(texts.value(c));
        table->item(row, c)->setToolTip(texts.value(c));
    }
    if (!s.parametersProblem.isEmpty())
        table->item(row, ParametersColumn)
            ->setToolTip(ShownText::of(s.parametersProblem, "SiteStatus"));
    const auto file = [&](int column, const QString& text, const QString& path,
                          const QDateTime& time) {
        QTableWidgetItem* item = table->item(row, column);
        item->setText(fileCell(text, path, time));
        item->setToolTip(path.isEmpty() ? QString() : QFileInfo(path).fileName());
    };
    file(TestRunColumn, ShownText::of(s.testRun, "SiteStatus"), s.testRunFile, s.testRunTime);
    file(RecordingColumn, QString(), s.recordingFile, s.recordingTime);
    file(ReportColumn, QString(), s.reportFile, s.reportTime);
    // Colour alone would be lost on some screens and to some eyes: the
    // attention column says it in words, after a mark.
    // The mark says in a word or two what is wrong; the other cells of the
    // row, and the mark's tip, say it whole.
    const bool needs = s.attention();
    QStringList words;
    if (s.asked && s.answered && s.fault)
        words << tr("fault");
    if (s.asked && s.answered && s.readiness.known() && !s.readiness.ready())
        words << tr("not ready");
    if (s.parameters == SiteDriveStatus::Parameters::Compared && s.differences > 0)
        words << tr("parameters differ");
    if (s.testRunFailed)
        words << tr("test run failed");
    if (needs && words.isEmpty())
        words << tr("see the row");
    QTableWidgetItem* mark = table->item(row, AttentionColumn);
    mark->setText(needs ? QStringLiteral("⚠ ") + words.join(QStringLiteral(", ")) : QString());
    mark->setToolTip(needs ? ShownText::of(s.attentionReasons(), "SiteStatus").join(u'\n')
                           : QString());
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem* item = table->item(row, c);
        item->setBackground(needs ? QBrush(QColor(255, 214, 170)) : QBrush());
        item->setForeground(needs ? QBrush(QColor(60, 20, 0)) : QBrush());
    }
}

void SiteWindow::takeDriveSaid(const SiteDriveStatus& said)
{
    const int row = rowOf(said.line, said.address);
    if (row < 0)
        return;
    m_rows[row].takeWhatTheDriveSaid(said);
    const bool filling = m_filling;
    m_filling = true;
    fillStatus(row);
    m_filling = filling;
}

void SiteWindow::readDrives()
{
    m_again.stop();
    if (!m_site || !isVisible() || m_status.running() || m_scan.running() ||
        !m_client.link().port().isOpen())
        return;
    // Only the line on this port: the others are on lines the program has
    // not opened.
    QList<SiteDriveStatus> rows;
    const QString line = currentLine();
    for (const SiteDriveStatus& s : m_rows)
        if (s.line == line)
            rows << s;
    if (!rows.isEmpty())
        m_status.start(rows);
}

void SiteWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    readDrives();
}

void SiteWindow::hideEvent(QHideEvent* event)
{
    // Nobody looks: the drives are left alone.
    m_again.stop();
    m_status.cancel();
    QWidget::hideEvent(event);
}
