// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's site: the Site window, the one site open, handed to the
// tool windows, and the parameter window's writes in its journal.
#include "CommissionWindow.h"
#include "Form2.h"
#include "ParamSetWindow.h"
#include "RecorderWindow.h"
#include "ReportWindow.h"
#include "SiteFolder.h"
#include "SiteJournaling.h"
#include "SiteWindow.h"
#include "StatusPanels.h"
#include "TestRunWindow.h"
#include "demo.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

void demo::site_window_Click()
{
    const bool fresh = !m_siteWindow;
    SiteWindow* window = showWindow(m_siteWindow, m_client, m_prompter);
    window->setLineDefaults(m_port.portName(), m_settings.settingsText());
    if (!fresh)
        return;
    window->setRecentFile(m_recentSitesFile);
    connect(window, &SiteWindow::siteChosen, this, &demo::takeSite);
    connect(window, &SiteWindow::toolRequested, this, &demo::openToolOn);
    window->commission = [this](const QString& line, const QList<quint8>& drives) {
        commissionOn(line, drives);
    };
    window->setSite(m_site.get());
}

void demo::commissionOn(const QString& line, const QList<quint8>& drives)
{
    if (!m_site)
        return;
    // One row at a time on the line: a job under way is shown, not doubled.
    if (m_commission && m_commission->running()) {
        m_commission->raise();
        m_commission->activateWindow();
        return;
    }
    if (m_commission)
        m_commission->close();
    auto* window = new CommissionWindow(m_client, m_prompter, *m_site, line, drives, this);
    window->writesAllowed = [this] { return data_set->isEnabled(); };
    window->lineProblem = [this, line]() -> QString {
        const SiteLine* l = m_site ? m_site->site().line(line) : nullptr;
        if (!l)
            return tr("The site has no line %1.").arg(line);
        if (!m_port.isOpen())
            return tr("Open the port of line %1 (%2) first.")
                .arg(l->name, l->port.isEmpty() ? m_port.portName() : l->port);
        if (!l->port.isEmpty() && l->port.compare(m_port.portName(), Qt::CaseInsensitive) != 0)
            return tr("Line %1 is on port %2, but %3 is open.")
                .arg(l->name, l->port, m_port.portName());
        return {};
    };
    connect(window, &CommissionWindow::openReport, this,
            [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    m_commission = window;
    window->show();
}

void demo::takeSite(const SiteFolder& site)
{
    m_site = std::make_unique<SiteFolder>(site);
    m_journalToldFailed = false;
    // The tools work on the site's line on this window's port, else its first.
    m_siteLine.clear();
    for (const SiteLine& line : m_site->site().lines) {
        if (m_siteLine.isEmpty() || line.port.compare(m_port.portName(), Qt::CaseInsensitive) == 0)
            m_siteLine = line.name;
        if (line.port.compare(m_port.portName(), Qt::CaseInsensitive) == 0)
            break;
    }
    if (const SiteLine* line = m_site->site().line(m_siteLine);
        line && !line->port.isEmpty() &&
        line->port.compare(m_port.portName(), Qt::CaseInsensitive) != 0) {
        // A closed port is set to the site's line, as the user would; an open
        // one is the user's to change, and is only told of.
        if (!m_port.isOpen()) {
            selectPort(line->port);
            takeLineSettings(line->settings);
            StatusBar1->showNotice(
                tr("The site's line %1: port %2, %3.").arg(line->name, line->port, line->settings));
        } else {
            StatusBar1->showNotice(tr("The site's line %1 is on port %2; %3 is open now.")
                                       .arg(line->name, line->port, m_port.portName()));
        }
    }
    handSiteToAll();
}

QList<quint8> demo::siteDrives(const QString& line) const
{
    QList<quint8> drives;
    if (const SiteLine* l = m_site ? m_site->site().line(line) : nullptr)
        for (const SiteDrive& d : l->drives)
            drives << d.address;
    return drives;
}

void demo::handSiteToAll()
{
    if (m_siteWindow)
        m_siteWindow->setSite(m_site.get());
    if (m_paramSets)
        handSiteTo(m_paramSets.data(), false);
    if (m_recorder)
        handSiteTo(m_recorder.data(), false);
    if (auto* w = findChild<TestRunWindow*>(QString(), Qt::FindDirectChildrenOnly))
        handSiteTo(w, false);
    if (auto* w = findChild<ReportWindow*>(QString(), Qt::FindDirectChildrenOnly))
        handSiteTo(w, false);
}

void demo::openToolOn(SiteWindow::Tool tool, const QString& line, const QList<quint8>& drives)
{
    if (!m_site)
        return;
    m_siteLine = line;
    auto onDrives = [&](auto* window) {
        if (!window)
            return;
        window->setSite(m_site.get(), line);
        window->setDrives(drives);
    };
    switch (tool) {
    case SiteWindow::Tool::Parameters:
        drive_parameters_Click();
        onDrives(m_paramSets.data());
        break;
    case SiteWindow::Tool::Recorder:
        recorder_Click();
        onDrives(m_recorder.data());
        break;
    case SiteWindow::Tool::TestRun:
        findChild<QAction*>(QStringLiteral("test_run"))->trigger();
        onDrives(findChild<TestRunWindow*>(QString(), Qt::FindDirectChildrenOnly));
        break;
    case SiteWindow::Tool::Report:
        findChild<QAction*>(QStringLiteral("commissioning_report"))->trigger();
        onDrives(findChild<ReportWindow*>(QString(), Qt::FindDirectChildrenOnly));
        break;
    }
}

void demo::journalParameterWrite(quint8 address, quint16 reg, quint16 raw, int outcome)
{
    if (!m_site)
        return;
    // The drive echoes a write it took: that echo is the parameter window's
    // read-back.
    const JournalEntry::Outcome said =
        Form2::WriteOutcome(outcome) == Form2::WriteOutcome::Written
            ? JournalEntry::Outcome::Verified
        : Form2::WriteOutcome(outcome) == Form2::WriteOutcome::Refused
            ? JournalEntry::Outcome::Refused
            : JournalEntry::Outcome::NoAnswer;
    const QString error = SiteJournaling::recordWrite(
        *m_site, QStringLiteral("parameters"), m_siteLine, address, reg, std::nullopt, raw, said);
    // The parameter window keeps its own look: the main window says it, once
    // for each site opened.
    if (!error.isEmpty() && !m_journalToldFailed) {
        m_journalToldFailed = true;
        StatusBar1->showNotice(tr("The site's journal could not be written: %1").arg(error));
    }
}
