// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestRun.h"

#include <QPointer>
#include <QWidget>

class LinkClient;
class Prompter;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class SiteFolder;
class SiteNote;

// "Test Run...": one drive run forward (and in reverse) to a frequency, held
// and stopped, with the chart growing as it runs and the checks at the end.
// Closing the window mid-run stops the drive.
class TestRunWindow : public QWidget
{
    Q_OBJECT
public:
    TestRunWindow(LinkClient& client, Prompter& prompter, QWidget* parent = nullptr);
    ~TestRunWindow() override;

    QSpinBox* driveBox = nullptr;
    QDoubleSpinBox* hzBox = nullptr;
    QSpinBox* holdBox = nullptr;
    QCheckBox* reverseBox = nullptr;
    QLineEdit* limitsEdit = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* saveButton = nullptr;
    QLabel* stateLabel = nullptr;
    QLabel* chart = nullptr;
    QTableWidget* checks = nullptr;

    SiteNote* siteNote = nullptr;

    // While a site is open (nullptr: none), each finished run is saved into
    // its test runs folder under a name of its own; line: the site's line.
    void setSite(SiteFolder* site, const QString& line);
    // The drive to start from: the first of those given.
    void setDrives(const QList<quint8>& drives);
    // Where the last run was saved in the site (empty: nowhere yet).
    QString savedInSite() const { return m_savedInSite; }

    // The run under way or last finished; nullptr before the first.
    TestRun* run() const { return m_run.data(); }
    // Results of this window's finished runs, latest last.
    const QList<TestRunResult>& results() const { return m_results; }

public slots:
    void startRun();
    void cancelRun();
    // Writes the last result where asked (a file the report takes).
    bool saveResult(const QString& path = QString());

signals:
    void runFinished(const TestRunResult& result);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setBusy(bool busy);
    void showChart();
    void showChecks(const TestRunResult& result);
    // The finished run saved into the open site, said where.
    void saveIntoSite(const TestRunResult& result);
    // The run's command once it went out, and at the end its STOP and result,
    // into the open site's journal.
    void journalStart();
    void journalEnd(const TestRunResult& result);

    LinkClient& m_client;
    Prompter& m_prompter;
    QPointer<TestRun> m_run;
    QList<TestRunResult> m_results;
    SiteFolder* m_site = nullptr;
    QString m_siteLine;
    QString m_savedInSite;
    bool m_startJournaled = false;
};
