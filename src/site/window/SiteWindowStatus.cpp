// SPDX-License-Identifier: GPL-3.0-or-later
// The Site window's status columns and the mark of a drive that needs
// attention.
#include "SiteWindow.h"

#include <QFileInfo>
#include <QTableWidget>

namespace {

QString key(const QString& line, quint8 address)
{
    return line + u'/' + QString::number(address);
}

} // namespace

void SiteWindow::fillStatus(int row)
{
    const QString line = table->item(row, LineColumn)->text();
    const auto address = quint8(table->item(row, AddressColumn)->data(Qt::UserRole).toUInt());
    QStringList attention;
    if (const auto heard = m_heard.constFind(key(line, address)); heard != m_heard.constEnd()) {
        const ScanEntry& e = *heard;
        table->item(row, EditionColumn)->setText(e.editionText());
        table->item(row, ReadinessColumn)
            ->setText(!e.readiness.known()  ? tr("not read")
                      : e.readiness.ready() ? tr("ready")
                                            : e.readiness.note());
        table->item(row, StateColumn)
            ->setText(e.fault ? tr("fault: %1").arg(e.faultText)
                              : e.stateText() + u' ' + e.directionText());
        if (e.fault)
            attention << tr("fault");
        if (e.readiness.known() && !e.readiness.ready())
            attention << tr("not ready");
    }
    const auto newest = [&](SiteLayout::Kind kind) {
        const QString path = m_site->newest(kind, line, address);
        return path.isEmpty() ? tr("none") : QFileInfo(path).fileName();
    };
    table->item(row, TestRunColumn)->setText(newest(SiteLayout::Kind::TestRuns));
    table->item(row, RecordingColumn)->setText(newest(SiteLayout::Kind::Recordings));
    table->item(row, ReportColumn)->setText(newest(SiteLayout::Kind::Reports));
    table->item(row, ParametersColumn)->setText(tr("not read"));
    // Colour alone would be lost on some screens and to some eyes: the
    // attention column says it in words and a mark as well.
    const bool needs = !attention.isEmpty();
    table->item(row, AttentionColumn)
        ->setText(needs ? QStringLiteral("⚠ ") + attention.join(QStringLiteral(", ")) : QString());
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem* item = table->item(row, c);
        item->setBackground(needs ? QBrush(QColor(255, 214, 170)) : QBrush());
        item->setForeground(needs ? QBrush(QColor(60, 20, 0)) : QBrush());
    }
}

void SiteWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
}

void SiteWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
}
