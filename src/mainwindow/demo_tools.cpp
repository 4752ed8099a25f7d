// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "Tools" menu: the line scan, the line statistics, the
// test run and the commissioning report.
#include "LineStatisticsWindow.h"
#include "ReportWindow.h"
#include "ScanWindow.h"
#include "StatusPanels.h"
#include "TestRunWindow.h"
#include "demo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>

namespace {

template <class Window> void bringUp(Window* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// The commissioning windows are found by their object names: one of each,
// made afresh once closed.
template <class Window> Window* openTool(demo* owner, LinkClient& client, Prompter& prompter)
{
    Window* window = owner->findChild<Window*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new Window(client, prompter, owner);
    bringUp(window);
    return window;
}

} // namespace

void demo::buildToolsMenu()
{
    scan_line = tools->addAction(tr("&Scan Line..."));
    scan_line->setObjectName(QStringLiteral("scan_line"));
    line_statistics = tools->addAction(tr("&Line Statistics..."));
    line_statistics->setObjectName(QStringLiteral("line_statistics"));
    connect(scan_line, &QAction::triggered, this, &demo::scan_line_Click);
    connect(line_statistics, &QAction::triggered, this, &demo::line_statistics_Click);
    QAction* testRun = tools->addAction(tr("&Test Run..."));
    testRun->setObjectName(QStringLiteral("test_run"));
    QAction* report = tools->addAction(tr("&Commissioning Report..."));
    report->setObjectName(QStringLiteral("commissioning_report"));
    // A run finished while the report window is open joins its list.
    auto toReport = [this](const TestRunResult& result) {
        if (auto* window = findChild<ReportWindow*>(QString(), Qt::FindDirectChildrenOnly))
            window->addRun(result);
    };
    connect(testRun, &QAction::triggered, this, [this, toReport] {
        const bool fresh = !findChild<TestRunWindow*>(QString(), Qt::FindDirectChildrenOnly);
        auto* window = openTool<TestRunWindow>(this, m_client, m_prompter);
        if (fresh) {
            connect(window, &TestRunWindow::runFinished, this, toReport);
            handSiteTo(window, true);
        }
    });
    connect(report, &QAction::triggered, this, [this] {
        const bool fresh = !findChild<ReportWindow*>(QString(), Qt::FindDirectChildrenOnly);
        auto* window = openTool<ReportWindow>(this, m_client, m_prompter);
        if (fresh)
            handSiteTo(window, true);
        // The runs of this session so far are offered at once.
        if (auto* runs = findChild<TestRunWindow*>(QString(), Qt::FindDirectChildrenOnly);
            runs && fresh)
            for (const TestRunResult& r : runs->results())
                window->addRun(r);
    });
    // Said once each time a drive goes from answering to failing. The drive on
    // display has its own, patient notice (whole poll rounds without an
    // answer), which this one must not run ahead of.
    connect(&m_lineStats, &LineStatistics::driveNotAnswering, this, [this](quint8 address) {
        if (address == m_monitor.watchedDrive())
            return;
        StatusBar1->showPassingNotice(tr("drive %1 not answering").arg(address));
    });
}

void demo::scan_line_Click()
{
    if (!m_scanWindow) {
        m_scanWindow = new ScanWindow(m_client, m_prompter, this);
        connect(m_scanWindow, &ScanWindow::driveChosen, this, &demo::watchSingleDrive);
        connect(m_scanWindow, &ScanWindow::settingsTaken, this, &demo::takeLineSettings);
    }
    bringUp(m_scanWindow.data());
}

void demo::line_statistics_Click()
{
    if (!m_statsWindow)
        m_statsWindow = new LineStatisticsWindow(m_lineStats, this);
    bringUp(m_statsWindow.data());
}

void demo::watchSingleDrive(quint8 address)
{
    const int index = Combo2->findText(QString::number(address));
    if (index < 0)
        return;
    Check1->setChecked(true);
    Check1_Click();
    Combo2->setCurrentIndex(index);
}

void demo::takeLineSettings(const QString& settings)
{
    const auto line = SerialSettings::parse(settings);
    if (!line)
        return;
    // Kept as the settings window shows them, so it and the next opening agree.
    m_settings.BaudRate = QString::number(line->baudRate);
    m_settings.ParityName = SerialSettings::parityName(line->parity);
    m_settings.DataBits = QString::number(line->dataBits);
    m_settings.StopBits =
        line->stopBits == SerialSettings::StopBits::Two ? QStringLiteral("2") : QStringLiteral("1");
    StatusBar1->setPanelText(StatusPanels::Settings, m_settings.panelText());
    emit keptStateChanged();
}
