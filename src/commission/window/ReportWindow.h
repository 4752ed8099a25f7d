// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveSurvey.h"
#include "TestRunResult.h"

#include <QPointer>
#include <QWidget>

class LinkClient;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class SiteFolder;
class SiteNote;

// "Commissioning Report...": the chosen drives read and written up as a PDF
// (and HTML beside it) with the test runs given, for the customer to sign.
class ReportWindow : public QWidget
{
    Q_OBJECT
public:
    ReportWindow(LinkClient& client, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* drivesEdit = nullptr;
    QLineEdit* siteEdit = nullptr;
    QLineEdit* technicianEdit = nullptr;
    QComboBox* paperBox = nullptr;
    QCheckBox* appendixCheck = nullptr; // whole sets at the end; ticked for up to 4 drives
    QListWidget* runList = nullptr;
    QPushButton* addRunButton = nullptr;
    QPushButton* removeRunButton = nullptr;
    QLineEdit* fileEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QPushButton* makeButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* stateLabel = nullptr;
    SiteNote* siteNote = nullptr;

    // While a site is open (nullptr: none), the report goes into its reports
    // folder under a name of its own, and the site's name, technician and
    // drives of the line are filled in; line: the site's line.
    void setSite(SiteFolder* site, const QString& line);
    // The drives to report on, as given.
    void setDrives(const QList<quint8>& drives);

    // A finished run to include (from the test run window, or a file).
    void addRun(const TestRunResult& run);
    bool addRunFile(const QString& path);
    const QList<TestRunResult>& runs() const { return m_runs; }

public slots:
    void makeReport();
    void cancelReport();

signals:
    void reportWritten(const QString& pdfPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setBusy(bool busy);
    void write();
    // The report's file: the one named, or a new one of the open site (empty
    // and said when none could be made).
    QString reportPath();

    LinkClient& m_client;
    Prompter& m_prompter;
    QList<TestRunResult> m_runs;
    QPointer<DriveSurvey> m_survey;
    SiteFolder* m_site = nullptr;
    QString m_siteLine;
};
