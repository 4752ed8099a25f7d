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

    LinkClient& m_client;
    Prompter& m_prompter;
    QList<TestRunResult> m_runs;
    QPointer<DriveSurvey> m_survey;
};
