// SPDX-License-Identifier: GPL-3.0-or-later
// The Site window's table: a row a drive of the site, its name written back
// into the site file, and the scan that adds the drives the line answers for.
#include "LinkClient.h"
#include "Prompter.h"
#include "SiteWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>

namespace {

QTableWidgetItem* fixedItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

void SiteWindow::fillTable()
{
    m_filling = true;
    // What the drives said stays with their rows: the files are read again.
    const QList<SiteDriveStatus> said = m_rows;
    m_rows = m_site ? SiteStatus::fromFiles(*m_site) : QList<SiteDriveStatus>();
    table->clearContents();
    table->setRowCount(0);
    for (const SiteDriveStatus& s : std::as_const(m_rows)) {
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, LineColumn, fixedItem(s.line));
        auto* address = fixedItem(QString::number(s.address));
        address->setData(Qt::UserRole, s.address);
        address->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, AddressColumn, address);
        auto* name = new QTableWidgetItem(s.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        name->setToolTip(tr("Double-click to name the drive"));
        table->setItem(row, NameColumn, name);
        for (int c = EditionColumn; c < ColumnCount; ++c)
            table->setItem(row, c, fixedItem(QString()));
        fillStatus(row);
    }
    for (const SiteDriveStatus& s : said)
        if (s.asked)
            takeDriveSaid(s);
    // The names get room for "Conveyor 3" and the like, not a column's
    // worth of the title alone.
    table->setColumnWidth(
        NameColumn, std::max(table->columnWidth(NameColumn),
                             table->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 14));
    m_filling = false;
}

int SiteWindow::rowOf(const QString& line, quint8 address) const
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, LineColumn)->text() == line &&
            table->item(r, AddressColumn)->data(Qt::UserRole).toUInt() == address)
            return r;
    }
    return -1;
}

void SiteWindow::nameEdited(QTableWidgetItem* item)
{
    if (m_filling || !m_site || item->column() != NameColumn)
        return;
    const int row = item->row();
    const QString line = table->item(row, LineColumn)->text();
    const auto address = quint8(table->item(row, AddressColumn)->data(Qt::UserRole).toUInt());
    const SiteLine* siteLine = m_site->site().line(line);
    const SiteDrive* drive = siteLine ? siteLine->drive(address) : nullptr;
    const QString before = drive ? drive->name : QString();
    const QString name = item->text().simplified();
    if (name == before) {
        if (item->text() != name) {
            m_filling = true;
            item->setText(name);
            m_filling = false;
        }
        return;
    }
    // The file is changed in memory first and then saved whole; either step
    // failing leaves the file on disk and the name shown as they were.
    const SiteFile kept = m_site->file();
    QString error;
    if (!m_site->file().setDriveName(line, address, name, &error) ||
        !(error = m_site->save()).isEmpty()) {
        m_site->file() = kept;
        m_filling = true;
        item->setText(before);
        m_filling = false;
        warn(tr("The name of drive %1 could not be kept in %2: %3")
                 .arg(address)
                 .arg(QDir::toNativeSeparators(m_site->root() + u'/' + SiteFile::fileName()),
                      error));
        return;
    }
    say(name.isEmpty() ? tr("Drive %1 of line %2 has no name now.").arg(address).arg(line)
                       : tr("Drive %1 of line %2 is \"%3\" now.").arg(address).arg(line, name));
}

void SiteWindow::Scan_Click()
{
    if (!m_site || m_scan.running())
        return;
    // The scan asks every address; the gentle reading waits for it.
    m_again.stop();
    m_status.cancel();
    const QString line = currentLine();
    const SiteLine* siteLine = m_site->site().line(line);
    if (!siteLine)
        return;
    const SerialPort& port = m_client.link().port();
    if (!port.isOpen()) {
        say(tr("Open the port in the main window first (the site's line %1 is on %2).")
                .arg(line, siteLine->port));
        return;
    }
    m_scanLine = line;
    m_scan.start(1, 31);
    QString text = tr("Scanning line %1 on %2 ...").arg(line, port.portName());
    if (siteLine->port.compare(port.portName(), Qt::CaseInsensitive) != 0)
        text += u' ' + tr("(the site names %1 for this line)").arg(siteLine->port);
    say(text);
    enableControls();
}

void SiteWindow::scanFinished(bool cancelled)
{
    enableControls();
    if (!m_site || cancelled) {
        say(tr("The scan was cancelled; the site is as it was."));
        return;
    }
    QList<quint8> found;
    for (const ScanEntry& e : m_scan.entries())
        found << e.address;
    const SiteLine* before = m_site->site().line(m_scanLine);
    QList<quint8> added;
    for (quint8 a : found) {
        if (before && !before->drive(a))
            added << a;
    }
    if (!added.isEmpty()) {
        const SiteFile kept = m_site->file();
        QString error;
        if (!m_site->file().addDrives(m_scanLine, found, &error) ||
            !(error = m_site->save()).isEmpty()) {
            m_site->file() = kept;
            warn(tr("The drives found could not be added to the site file: %1").arg(error));
        }
    }
    fillTable();
    // What the scan heard is what the drives say now.
    for (const ScanEntry& e : m_scan.entries()) {
        SiteDriveStatus s;
        s.line = m_scanLine;
        s.address = e.address;
        s.asked = true;
        s.answered = !e.exceptionCode;
        s.edition = e.edition;
        s.readiness = e.readiness;
        s.running = e.running;
        s.reverse = e.reverse;
        s.fault = e.fault;
        s.faultNumber = e.faultNumber;
        s.faultText = e.faultText;
        takeDriveSaid(s);
    }
    readDrives();
    QStringList words;
    for (quint8 a : found)
        words << QString::number(a);
    say(found.isEmpty()   ? tr("No drive answered on line %1.").arg(m_scanLine)
        : added.isEmpty() ? tr("Line %1: drives %2 answered; all were in the site already.")
                                .arg(m_scanLine, words.join(u','))
                          : tr("Line %1: drives %2 answered; %3 added to the site.")
                                .arg(m_scanLine, words.join(u','))
                                .arg(added.size()));
}
